#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// An alias of the statement being completed: the alias text and the table text it stands for.
struct SQLCompletionAlias {
    QString alias;
    QString refers;
    bool operator==(const SQLCompletionAlias &) const = default;
};

// Where the editor's completion gets object, table and column names (the connection document). Each
// answer is shown as it comes; a source that does not know the names yet answers an empty list at once
// rather than making the editor wait.
class SQLCompletionSource
{
public:
    virtual ~SQLCompletionSource() = default;
    // kind: the object kind as typed after a DDL verb, in upper case (TABLE, SEQUENCE, ...).
    virtual QStringList autoCompleteNeedsObjectNamesForAutoCompleteOfType(const QString &kind) = 0;
    virtual QStringList autoCompleteNeedsTableAndViewNamesForAutoComplete() = 0;
    // schema: as typed.
    virtual QStringList autoCompleteNeedsTableAndViewNamesForAutoCompleteInSchema(const QString &schema) = 0;
    // tables: as typed; no aliases is not the same as an empty list of them.
    virtual QStringList autoCompleteEditorNeedsColumnNamesForAutoCompleteInTables(
        const QStringList &tables, bool restrictedToTables,
        const std::optional<QList<SQLCompletionAlias>> &usedAliases) = 0;
};
