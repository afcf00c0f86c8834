#pragma once

#include "editor/SQLCompletionSource.h"
#include "sql/SQLInterpreterComponent.h"
#include "sql/TextRange.h"

#include <QStringList>

class SQLEditorTextStorage;

// Answers two questions about the statement around a text index: which words may be typed there
// (keywords chosen by the clause, or names from the completion source) with the stretch a chosen word
// replaces, and whether a condition dropped there joins the statement with "WHERE" or "AND". The
// interpreter types an injected marker that stands for the word about to be typed. Nothing is kept
// between questions; only the statement around the index is read, so a long script costs no more.
class SQLCompletion
{
public:
    // source may be null: then only keywords are offered.
    SQLCompletion(const SQLEditorTextStorage &storage, SQLCompletionSource *source);

    static const QStringList statementKeywords;
    static const QStringList aliasFollowers;
    static const QStringList joinWords;
    static const QStringList objectKinds;
    static const QStringList conditionWords;
    static const QStringList aggregateWords;

    // extendedRange receives the stretch the chosen word replaces.
    QStringList autoCompleteItemsAtLocation(qint64 location, TextRange *extendedRange = nullptr) const;
    // foundComponent receives the component completed (null when none), inComponentLocation the
    // location's offset into it.
    QStringList wordSuggestionsAtLocation(qint64 location,
                                          SQLInterpreterComponentPtr *foundComponent = nullptr,
                                          qint64 *inComponentLocation = nullptr) const;
    // "WHERE", "AND" or a null string.
    QString combinerForInsertedTermAt(qint64 location) const;

private:
    QStringList suggestionsForComponent(const SQLInterpreterComponentList &statement,
                                        const SQLInterpreterComponentPtr &component) const;
    QStringList columnSuggestions(const SQLInterpreterComponentList &statement,
                                  const SQLInterpreterComponentPtr &component) const;

    const SQLEditorTextStorage &storage_;
    SQLCompletionSource *source_;
};
