#pragma once

#include <QString>

class SQLEditorTextStorage;

// A filter condition dropped into SQL text from the result grid or the schema browser joins the
// statement at the drop point: after a table name with "WHERE", after a condition with "AND", with the
// spaces, line feeds and indentation that keep the statement readable.
class SQLFilterDrop
{
public:
    // The drag type that carries the condition as SQL text (UTF-8).
    static inline const QString sqlFilterItemType = QStringLiteral("com.ostrel.apps.vorn.sql.filter-item");

    // The text to insert at the index for the condition.
    static QString textForDrop(const SQLEditorTextStorage &storage, qint64 index, const QString &condition);
};
