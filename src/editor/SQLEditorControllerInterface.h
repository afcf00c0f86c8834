#pragma once

#include "sql/TextRange.h"

#include <QString>
#include <QStringList>

class SQLEditorTextStorage;

// What the editor pane asks of the SQL editor model of the shown document: its text and the commands
// on the statement at the caret or the selection. The model implements it; the pane never owns it.
class SQLEditorControllerInterface
{
public:
    virtual ~SQLEditorControllerInterface() = default;

    virtual SQLEditorTextStorage *sqlEditorTextStorage() const = 0;

    // fastValidation answers without parsing long texts (menu validation).
    virtual bool canExecuteSQLInRange(TextRange range, bool fastValidation) = 0;
    // Runs the selection, or the block between blank lines around a caret; extendedRange receives
    // what runs.
    virtual void executeSQLInRange(TextRange range, TextRange *extendedRange) = 0;
    virtual bool canAnalyseSQLInRange(TextRange range, bool fastValidation) = 0;
    virtual void analyseSQLInRange(TextRange range, TextRange *extendedRange) = 0;
    virtual bool canFormatSQLInRange(TextRange range) = 0;
    // The formatted statement and the range it replaces; null when there is nothing to format.
    virtual QString formattedSQLInRange(TextRange range, TextRange *extendedRange) = 0;
    virtual bool canExportSQLInRange(TextRange range) = 0;
    virtual QString exportedSQLInRange(TextRange range, TextRange *extendedRange, const QString &format) = 0;
    // Export-format identifiers in menu order: "" a separator, "--…" a section header.
    virtual QStringList sqlExportFormats() const = 0;
    virtual QString displayNameForSqlExportFormat(const QString &format) const = 0;
    virtual bool canCancelExecution() = 0;
    virtual void cancelExecution() = 0;
};
