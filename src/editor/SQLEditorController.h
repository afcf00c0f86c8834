#pragma once

#include "client/BackgroundRunner.h"
#include "connection/ConnectedController.h"
#include "editor/SQLEditorControllerInterface.h"
#include "sql/SQLParserComponent.h"
#include "window/PrintableController.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariantList>
#include <QVariantMap>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>

class SQLEditorControllerDelegate;
struct ParameterAnswer;

// Statements in text order, each its components without the separator.
using SQLStatementList = QList<SQLParserComponentList>;

// The SQL editor model of one connection document: its text, the remembered parameter values, and
// running the statements the user points at. A run splits the components at separators, asks the
// document for `:name` values, takes the root's reservation and sends the statements one after
// another on the background runner; progress goes to the status manager, the outcome to the
// delegate on the main thread (a result set for the grid or a message with the timing). Public
// operations belong to the main thread; the delegate must also be a SQLEditorControllerDelegate.
class SQLEditorController : public ConnectedController,
                            public SQLEditorControllerInterface,
                            public PrintableController
{
public:
    // One statement as it is sent: the text with "?" for each parameter (trimmed), the text as
    // written, and one value per parameter occurrence.
    struct StatementRequest {
        QString query;
        QString source;
        SQLParserComponentList queryComponents;
        QVariantList queryParameters;
    };

    // The document's root; its SQL connection runs the statements.
    explicit SQLEditorController(VornRootClientPtr vornRoot);
    ~SQLEditorController() override;

    SQLEditorControllerDelegate *sqlEditorDelegate() const;

    // After connecting: dialect and word lists from the connection.
    void resetSqlEditorFromRoot();
    // After a metadata refresh: the word lists and the dialect again.
    void metaDataWasExternallyUpdated();

    QString contents() const;
    void setContents(const QString &contents);
    // Appends an empty line and the string; answers the range the string now takes.
    TextRange insertTextAddEnd(const QString &string);
    // Keys are upper-case parameter names without the ":".
    void updateSqlParameterCache(const QVariantMap &values);
    QVariantMap getSqlParameterCache() const { return sqlParameterCache_; }

    SQLEditorTextStorage *sqlEditorTextStorage() const override { return sqlEditorTextStorage_.get(); }
    bool canExecuteSQLInRange(TextRange range) { return canExecuteSQLInRange(range, false); }
    bool canExecuteSQLInRange(TextRange range, bool fastValidation) override;
    void executeSQLInRange(TextRange range, TextRange *extendedRange) override;
    // Available while a run executes, also after a Stop. A Stop the server leaves unanswered for
    // unansweredStopSeconds lets a further Stop offer to drop the connection.
    bool canCancelExecution() override;
    void cancelExecution() override;
    static constexpr double unansweredStopSeconds = 5;

    // Explain, format and "Copy as" work on the selection, or on the statement around a caret
    // (between separators), not on the block a run would take.
    bool canAnalyseSQLInRange(TextRange range, bool fastValidation) override;
    // The plan of exactly one statement, on the background runner; the delegate gets the plan tree.
    void analyseSQLInRange(TextRange range, TextRange *extendedRange) override;
    bool canFormatSQLInRange(TextRange range) override;
    QString formattedSQLInRange(TextRange range, TextRange *extendedRange) override;
    bool canExportSQLInRange(TextRange range) override;
    QString exportedSQLInRange(TextRange range, TextRange *extendedRange, const QString &format) override;
    QStringList sqlExportFormats() const override;
    QString displayNameForSqlExportFormat(const QString &format) const override;

    // Printing the script: its coloured text under the title "SQL Script".
    std::unique_ptr<QTextDocument> printViewNeedsContentString() const override;
    QString printViewNeedsContentTypeString() const override;
    QString printViewNeedsTitle() const override;
    QString printViewNeedsSourceQuery() const override { return QString(); }
    QString printViewNeedsFileName() const override;

    // Splits at separators; groups of only white space and comments are dropped.
    static SQLStatementList componentsToQueries(const SQLParserComponentList &components);
    // The distinct parameter names, upper case without the ":", in order of first occurrence.
    static QStringList parameterNames(const SQLParserComponentList &components);
    // values: upper-case name to value.
    static StatementRequest statementRequest(const SQLParserComponentList &statement,
                                             const QVariantMap &values);
    // Why the statement cannot be sent as it is, naming where (its line and column, or the
    // parameter); null when it can. Text the database would receive otherwise is refused here.
    static QString unsendableTextReason(const StatementRequest &request);
    // The message of a statement that produced no rows, by its verb and row count.
    static QString messageForStatement(const QString &statementType, qint32 resultCount);
    // "%ld.%ld%ld seconds", cut (not rounded) to hundredths.
    static QString timingText(double seconds);
    // Whether a statement's error says it was stopped by a cancel.
    static bool isStoppedStatementError(const QString &error);

    // Records one executed statement in the query history, when there is one.
    void registerQuery(const SQLParserComponentList &query);

    bool ddlDirtyFlag() const;
    void setDdlDirtyFlag(bool dirty);
    bool isExecuting() const;
    bool isCanceling() const;
    bool planTableAvailable() const { return *planTableAvailable_; }
    void setPlanTableAvailable(bool available) { *planTableAvailable_ = available; }

    // Seconds on a steady clock for the timing of a run and the wait for a Stop; tests put in their own.
    void setClock(std::function<double()> clock);

protected:
    // The system beep; a seam for tests.
    virtual void beep();

private:
    struct Shared;
    class Execution;

    SQLParserComponentList componentsForRange(TextRange range, TextRange *extendedRange) const;
    // The selection's components, or the statement's around a caret.
    SQLParserComponentList componentsForStatementAt(TextRange range, TextRange *extendedRange) const;
    void executeComponents(const SQLParserComponentList &components);
    void executeAfterParameterInput(const std::optional<ParameterAnswer> &answer);
    void applyWordLists();
    void applyDialect(bool connected);
    void repeatCancel();

    std::unique_ptr<SQLEditorTextStorage> sqlEditorTextStorage_;
    QVariantMap sqlParameterCache_;
    std::shared_ptr<Shared> shared_;
    // Carries a cancel to the run's worker, also one asked before its first statement.
    std::shared_ptr<BackgroundLane> executionLane_ = std::make_shared<BackgroundLane>();
    std::function<double()> clock_;
    // Main thread: which run a Stop belongs to, and when its first Stop came.
    quint64 runNumber_ = 0;
    double firstStopAt_ = 0;
    // Set by an explain's worker once the plan table is found.
    std::shared_ptr<std::atomic<bool>> planTableAvailable_ = std::make_shared<std::atomic<bool>>(false);
};
