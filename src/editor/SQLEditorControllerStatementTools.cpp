// Explain, format, "Copy as" and printing of the SQL editor model: the services that work on the one
// statement the user points at rather than on the block a run takes.
#include "client/VornAnalyserClient.h"
#include "editor/SQLCodeExport.h"
#include "editor/SQLEditorController.h"
#include "editor/SQLEditorControllerDelegate.h"
#include "editor/SQLEditorTextStorage.h"
#include "sql/SQLInterpreter.h"
#include "sql/SQLParserParseProperties.h"
#include "status/StatusManager.h"

#include <QCoreApplication>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextLayout>

namespace
{

const QString analyseThreadName = QStringLiteral("SQLEditorController._analyseQueryInThread");

QString text(const char *key)
{
    return QCoreApplication::translate("sqleditorcontroller", key);
}

QString joined(const QString &first, const QString &second)
{
    return QStringLiteral("%1\n\n%2").arg(first, second);
}

// What an explain's worker found, for the main thread.
struct Analysis {
    bool missingPlanTable = false;
    std::optional<QVariantMap> plan;
};

void analyse(const QString &statement, const VornRootClientPtr &root,
             const std::shared_ptr<StatusManager> &status,
             const std::shared_ptr<std::atomic<bool>> &planTableAvailable, Analysis &analysis)
{
    status->setActiveConnectionStatus(text("Analysing SQL Statement"), StatusManager::SqlEditor);
    const std::shared_ptr<VornAnalyserClient> analyser = root->analyse();
    const QString failedTitle = text("Error analysing SQL statement");
    if (!*planTableAvailable && !(analyser && analyser->planTableAvailable())) {
        analysis.missingPlanTable = true;
        status->setConnectionStatus(failedTitle, text("Missing table plan"), StatusManager::SqlEditor);
        return;
    }
    *planTableAvailable = true;
    QVariantMap plan = analyser ? analyser->getPlanTable(statement) : QVariantMap();
    if (const BackendOutcome outcome = root->lastOutcome(); !outcome || !analyser) {
        status->runErrorWithTitle(failedTitle,
                                  joined(text("An error occured while analysing the selected SQL statement."),
                                         outcome.errorMessage));
        status->setConnectionStatus(failedTitle, outcome.errorMessage, StatusManager::SqlEditor);
        return;
    }
    analysis.plan = std::move(plan);
    status->setConnectionStatus(text("Successfully analysed SQL Statement"), QString(),
                                StatusManager::SqlEditor);
}

// A statement's text for a string literal: a line comment would swallow the rest of a literal joined onto
// one line, so comments become block comments; their line breaks stay.
QString codeText(const SQLParserComponentList &statement, const SQLParserParseProperties *properties)
{
    QString text;
    for (const SQLParserComponentPtr &component : statement) {
        if (properties && component->parserComponentType() == SQLParserComponent::Comment) {
            const QString comment = component->string();
            const bool lineBreak = comment.endsWith(u'\n');
            const QString body = lineBreak ? comment.chopped(1) : comment;
            const bool block = body.startsWith(properties->blockCommentStart());
            text += SQLParserComponent::convertToBlockComment(block ? body : body + u' ', *properties);
            if (lineBreak)
                text += u'\n';
        } else {
            text += component->string();
        }
    }
    return text.trimmed();
}

} // namespace

SQLParserComponentList SQLEditorController::componentsForStatementAt(TextRange range,
                                                                     TextRange *extendedRange) const
{
    if (range.length > 0)
        return sqlEditorTextStorage_->parsedComponentsInRange(range, extendedRange);
    return sqlEditorTextStorage_->parsedComponentsBetweenQuerySeparatorsAroundLocation(range.location,
                                                                                       extendedRange);
}

bool SQLEditorController::canAnalyseSQLInRange(TextRange range, bool fastValidation)
{
    return vornRoot()->analysisSupported() && canExecuteSQLInRange(range, fastValidation);
}

void SQLEditorController::analyseSQLInRange(TextRange range, TextRange *extendedRange)
{
    SQLEditorControllerDelegate *delegate = sqlEditorDelegate();
    if (!delegate || !requestFocusChangeEndEditing(true))
        return;
    delegate->sqlEditorControllerWillExecuteStatement();
    if (extendedRange)
        *extendedRange = range;
    const SQLParserComponentList components = componentsForStatementAt(range, extendedRange);
    if (extendedRange)
        sqlEditorTextStorage_->markActiveRange(*extendedRange);
    const SQLStatementList statements = componentsToQueries(components);
    // The document shows its busy pane since sqlEditorControllerWillExecuteStatement: every explain that
    // brings no plan tells it so, and it puts back what it showed.
    if (statements.isEmpty()) {
        beep();
        delegate->sqlEditorControllerDidNotExecute(false);
        return;
    }
    if (statements.size() > 1) {
        statusManager()->runErrorWithTitle(
            text("Cannot analyse multiple SQL statements"),
            text("You need to select exactly one SQL statement. You can do this by narrowing you selection, "
                 "or by "
                 "pointing the cursor at the desired statement without a selection."));
        delegate->sqlEditorControllerDidNotExecute(false);
        return;
    }
    QString statement;
    for (const SQLParserComponentPtr &component : statements.first())
        statement += component->parserComponentType() == SQLParserComponent::InputParameter
                         ? QStringLiteral("?")
                         : component->string();
    const bool cleared = clearRootSelection();
    if (!requestRootReservation(QCoreApplication::translate("activity", "Analysing SQL statement"))) {
        delegate->sqlEditorControllerDidNotExecute(cleared);
        return;
    }
    auto analysis = std::make_shared<Analysis>();
    BackgroundJob job;
    job.threadName = analyseThreadName;
    job.work = [statement, root = vornRoot(), status = statusManager(), available = planTableAvailable_,
                analysis](const WorkerControl &) { analyse(statement, root, status, available, *analysis); };
    job.failed = [status = statusManager()](const QString &reason) {
        status->setConnectionStatus(text("Error analysing SQL statement"), reason, StatusManager::SqlEditor);
    };
    job.done = [this, analysis, cleared] {
        SQLEditorControllerDelegate *owner = sqlEditorDelegate();
        if (!owner)
            return;
        if (analysis->plan) {
            owner->sqlEditorControllerAnalysisResult(*analysis->plan);
            return;
        }
        owner->sqlEditorControllerDidNotExecute(cleared);
        if (analysis->missingPlanTable)
            owner->sqlEditorControllerRequiresMissingPlanTable();
    };
    runReserved(std::move(job));
}

bool SQLEditorController::canFormatSQLInRange(TextRange range)
{
    const SQLParserComponentList components = sqlEditorTextStorage_->parsedComponentsInRange(range);
    if (components.size() >= 2)
        return true;
    return components.size() == 1 &&
           !SQLParserComponent::stringForComponents(components, true, true).isEmpty();
}

QString SQLEditorController::formattedSQLInRange(TextRange range, TextRange *extendedRange)
{
    TextRange covered = range;
    const SQLParserComponentList components = componentsForStatementAt(range, &covered);
    if (components.isEmpty()) {
        if (extendedRange)
            *extendedRange = range;
        return QStringLiteral("");
    }
    if (extendedRange)
        *extendedRange = covered;
    return SQLInterpreter().formatComponents(components);
}

bool SQLEditorController::canExportSQLInRange(TextRange range)
{
    return canFormatSQLInRange(range);
}

QString SQLEditorController::exportedSQLInRange(TextRange range, TextRange *extendedRange,
                                                const QString &format)
{
    TextRange covered = range;
    const SQLParserComponentList components = componentsForStatementAt(range, &covered);
    if (extendedRange)
        *extendedRange = covered;
    QStringList statements;
    for (const SQLParserComponentList &statement : componentsToQueries(components))
        statements << codeText(statement, sqlEditorTextStorage_->parseProperties());
    return SQLCodeExport::exportStatements(statements, SQLCodeExport::formatDescription(format),
                                           SQLCodeExport::isMultiLine(format));
}

QStringList SQLEditorController::sqlExportFormats() const
{
    return SQLCodeExport::sqlExportFormats();
}

QString SQLEditorController::displayNameForSqlExportFormat(const QString &format) const
{
    return SQLCodeExport::displayNameForSqlExportFormat(format);
}

// The colours live in the lines' layouts, which a copy of the document would lose: they become the
// copy's character formats.
std::unique_ptr<QTextDocument> SQLEditorController::printViewNeedsContentString() const
{
    auto copy = std::make_unique<QTextDocument>();
    copy->setDefaultFont(sqlEditorTextStorage_->defaultFont());
    QTextCursor cursor(copy.get());
    for (QTextBlock block = sqlEditorTextStorage_->begin(); block.isValid(); block = block.next()) {
        if (block != sqlEditorTextStorage_->begin())
            cursor.insertBlock();
        const int start = cursor.position();
        cursor.insertText(block.text());
        for (const QTextLayout::FormatRange &range : block.layout()->formats()) {
            QTextCursor span(copy.get());
            span.setPosition(start + range.start);
            span.setPosition(start + range.start + range.length, QTextCursor::KeepAnchor);
            span.mergeCharFormat(range.format);
        }
    }
    return copy;
}

QString SQLEditorController::printViewNeedsContentTypeString() const
{
    return text("SQL Script");
}

QString SQLEditorController::printViewNeedsTitle() const
{
    return text("SQL Script");
}

QString SQLEditorController::printViewNeedsFileName() const
{
    SQLEditorControllerDelegate *delegate = sqlEditorDelegate();
    return delegate ? delegate->sqlEditorControllerNeedsFilename() : QString();
}
