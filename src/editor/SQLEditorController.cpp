#include "editor/SQLEditorController.h"

#include "client/SqlConnectionClient.h"
#include "editor/EditorLog.h"
#include "editor/QueryHistoryRecorder.h"
#include "editor/SQLEditorControllerDelegate.h"
#include "editor/SQLEditorTextStorage.h"
#include "editor/UnpairedSurrogate.h"
#include "platform/MainThread.h"
#include "status/StatusManager.h"

#include <QApplication>
#include <QRegularExpression>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <initializer_list>

namespace
{

const QString threadName = QStringLiteral("SQLEditorController._executeQueriesThread");

QString text(const char *key)
{
    return QCoreApplication::translate("sqleditorcontroller", key);
}

// The translated text with "%ld", "%d" and "%@" filled in order.
QString format(const char *key, std::initializer_list<QString> arguments)
{
    QString result = text(key);
    qsizetype from = 0;
    for (const QString &argument : arguments) {
        static const QRegularExpression placeholder(QStringLiteral("%(ld|d|@)"));
        const QRegularExpressionMatch match = placeholder.match(result, from);
        if (!match.hasMatch())
            break;
        result.replace(match.capturedStart(), match.capturedLength(), argument);
        from = match.capturedStart() + argument.size();
    }
    return result;
}

QString number(qint64 value)
{
    return QString::number(value);
}

QString withTiming(const QString &message, const QString &timing)
{
    return format("%@\n\nTiming: %@", {message, timing});
}

// The parser's single empty component of an empty text is no statement either. A MySQL executable
// comment ("/*!40101 SET NAMES utf8 */") is text the server runs, as every MySQL client sends it.
bool isContent(const SQLParserComponentPtr &component)
{
    if (component->string().isEmpty())
        return false;
    switch (component->parserComponentType()) {
    case SQLParserComponent::Comment:
        return component->string().startsWith(QLatin1String("/*!"));
    case SQLParserComponent::Whitespace:
    case SQLParserComponent::Newline:
    case SQLParserComponent::QueryBreak:
        return false;
    default:
        return true;
    }
}

QString parameterName(const SQLParserComponentPtr &parameter)
{
    return parameter->string().mid(1).toUpper();
}

bool isDataDefinition(const QString &statementType)
{
    return statementType.startsWith(QLatin1String("DROP")) ||
           statementType.startsWith(QLatin1String("CREATE")) ||
           statementType.startsWith(QLatin1String("ALTER"));
}

double steadySeconds()
{
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

} // namespace

// What the controller and its runs share. owner is read and cleared on the main thread only: what
// a run posts for a controller that is gone is dropped.
struct SQLEditorController::Shared {
    SQLEditorController *owner = nullptr;
    std::atomic<bool> isExecuting{false};
    std::atomic<bool> isCanceling{false};
    std::atomic<bool> ddlDirtyFlag{false};

    // Queued on the main thread without waiting.
    static void post(const std::shared_ptr<Shared> &shared, std::function<void(SQLEditorController &)> work)
    {
        MainThread::post([shared, work = std::move(work)] {
            if (shared->owner)
                work(*shared->owner);
        });
    }
};

// One run: on the worker the statements in order until one fails or a cancel stops the run, then
// on the main thread its outcome for the document.
class SQLEditorController::Execution
{
public:
    Execution(SQLEditorController &controller, SQLStatementList statements, QVariantMap values)
        : shared_(controller.shared_), root_(controller.vornRoot()),
          statusManager_(controller.statusManager()), clock_(controller.clock_),
          statements_(std::move(statements)), values_(std::move(values))
    {
    }

    // Worker thread.
    void run(const WorkerControl &control)
    {
        control_ = control;
        start_ = clock_();
        connection_ = root_->sqlConnection();
        if (connection_)
            runStatements();
        else
            fail(root_->lastOutcome().errorMessage);
        end();
    }

    // Worker thread: a bridge failure that escaped the clients ends the run with its reason.
    void runFailed(const QString &reason)
    {
        fail(reason);
        end();
    }

    // Main thread, the controller alive.
    void deliver(SQLEditorControllerDelegate *delegate) const
    {
        if (!delegate)
            return;
        if (loaded_)
            delegate->sqlEditorControllerLoadedResultSetWithInfo(*loaded_);
        else if (!result_.isNull())
            delegate->sqlEditorControllerExecutionResult(result_);
    }

private:
    qint64 count() const { return statements_.size(); }
    bool canceled() const { return control_.isCanceled(); }

    void runStatements()
    {
        const qint64 n = count();
        statusManager_->setActiveConnectionStatus(
            n == 1 ? text("Executing SQL Statement") : format("Executing %ld SQL Statements", {number(n)}));
        for (done_ = 0; done_ < n;) {
            if (done_ > 0)
                statusManager_->setActiveConnectionStatus(
                    format("Executing SQL statement %ld of %ld", {number(done_ + 1), number(n)}));
            const StatementRequest request = statementRequest(statements_.at(done_), values_);
            lastSource_ = request.source;
            statusManager_->setActiveConnectionStatusAdditionalDetails(request.query);
            if (!runQuery(request)) {
                failed_ = true;
                return;
            }
            if (done_ < n - 1)
                statusManager_->setActiveConnectionStatusAdditionalDetails(message_);
            const SQLParserComponentList statement = statements_.at(done_);
            Shared::post(shared_,
                         [statement](SQLEditorController &owner) { owner.registerQuery(statement); });
            if (canceled() && done_ < n - 1)
                return;
            ++done_;
        }
    }

    // One statement; replaces the message and the result-set flag, answers success.
    bool runQuery(const StatementRequest &request)
    {
        if (const QString refusal = unsendableTextReason(request); !refusal.isNull()) {
            fail(refusal);
            return false;
        }
        const std::optional<bool> executable = connection_->executable(request.query);
        if (!executable) {
            fail(root_->lastOutcome().errorMessage);
            return false;
        }
        if (!*executable) {
            message_ = QStringLiteral("");
            statusManager_->setConnectionStatus(message_);
            return true;
        }
        const bool producedRows = connection_->executeQuery(request.query, request.queryParameters);
        hasResultset_ = false;
        if (const BackendOutcome outcome = root_->lastOutcome(); !outcome) {
            fail(outcome.errorMessage);
            return false;
        }
        hasResultset_ = producedRows;
        message_ = text("SQL statement executed successfully");
        if (!producedRows) {
            const QString type = connection_->statementType();
            message_ = messageForStatement(type, connection_->resultCount());
            if (isDataDefinition(type))
                shared_->ddlDirtyFlag = true;
        }
        return true;
    }

    void fail(const QString &error)
    {
        failed_ = true;
        shared_->isExecuting = false;
        // The user stopped the statement: that is no error to alert about, nor a success to mark.
        if (isStoppedStatementError(error)) {
            message_ = text("Stopped execution of SQL statement");
            statusManager_->setStoppedConnectionStatus(message_, StatusManager::SqlEditor);
            return;
        }
        message_ = format("%@\n\n%@", {text("An error occurred while executing the SQL statement."), error});
        const QString title = text("Error executing SQL Statement");
        statusManager_->setConnectionStatus(title, error, StatusManager::SqlEditor);
        statusManager_->runErrorWithTitle(title, message_);
    }

    // The final status and the outcome to deliver; the run no longer counts as executing.
    void end()
    {
        const double elapsed = clock_() - start_;
        const QString timing = timingText(elapsed);
        const qint64 n = count();
        if (failed_) {
            result_ = withTiming(message_, timing);
        } else if (canceled() && done_ != n) {
            const QString status =
                format("Cancelled execution after %ld of %ld SQL statements", {number(done_ + 1), number(n)});
            statusManager_->setConnectionStatus(status, QString(), StatusManager::SqlEditor);
            result_ = withTiming(status, timing);
        } else if (hasResultset_) {
            statusManager_->setConnectionStatus(message_, QString(), StatusManager::SqlEditor);
            loaded_ = LoadedResultInfo{elapsed, lastSource_};
        } else if (n != 1) {
            const QString status = format("Successfully executed %ld SQL statements", {number(n)});
            statusManager_->setConnectionStatus(status, QString(), StatusManager::SqlEditor);
            result_ = withTiming(status, timing);
        } else {
            statusManager_->setConnectionStatus(message_, QString(), StatusManager::SqlEditor);
            result_ = withTiming(message_, timing);
        }
        shared_->isCanceling = false;
        shared_->isExecuting = false;
    }

    std::shared_ptr<Shared> shared_;
    VornRootClientPtr root_;
    std::shared_ptr<SqlConnectionClient> connection_;
    std::shared_ptr<StatusManager> statusManager_;
    std::function<double()> clock_;
    SQLStatementList statements_;
    QVariantMap values_;
    WorkerControl control_{nullptr};
    double start_ = 0;
    qint64 done_ = 0;
    bool failed_ = false;
    bool hasResultset_ = false;
    QString message_;
    QString lastSource_;
    // What the document gets: a result set, or else the message with the timing.
    std::optional<LoadedResultInfo> loaded_;
    QString result_;
};

SQLEditorController::SQLEditorController(VornRootClientPtr vornRoot)
    : ConnectedController(std::move(vornRoot)),
      sqlEditorTextStorage_(std::make_unique<SQLEditorTextStorage>()), shared_(std::make_shared<Shared>()),
      clock_(steadySeconds)
{
    shared_->owner = this;
    sqlEditorTextStorage_->setReservedWords(this->vornRoot()->defaultReservedWords());
}

SQLEditorController::~SQLEditorController()
{
    shared_->owner = nullptr;
}

SQLEditorControllerDelegate *SQLEditorController::sqlEditorDelegate() const
{
    return dynamic_cast<SQLEditorControllerDelegate *>(delegate());
}

void SQLEditorController::applyDialect(bool connected)
{
    sqlEditorTextStorage_->setDialectForConnectionType(connected ? vornRoot()->connectionType() : QString());
}

void SQLEditorController::applyWordLists()
{
    sqlEditorTextStorage_->setReservedWords(vornRoot()->reservedWords());
    sqlEditorTextStorage_->setContextWords(vornRoot()->contextWords());
}

void SQLEditorController::resetSqlEditorFromRoot()
{
    applyDialect(vornRoot()->isConnected());
    applyWordLists();
    *planTableAvailable_ = false;
}

void SQLEditorController::metaDataWasExternallyUpdated()
{
    *planTableAvailable_ = false;
    applyWordLists();
    applyDialect(vornRoot()->hasConnection());
}

QString SQLEditorController::contents() const
{
    return sqlEditorTextStorage_->string();
}

void SQLEditorController::setContents(const QString &contents)
{
    sqlEditorTextStorage_->replaceContents(contents);
}

TextRange SQLEditorController::insertTextAddEnd(const QString &string)
{
    // The storage would turn a CR LF pair into two line breaks and the range would miss the text.
    const QString inserted = SQLEditorTextStorage::generalizeLineBreaks(string);
    const qint64 end = sqlEditorTextStorage_->length();
    sqlEditorTextStorage_->replaceCharactersInRange({end, 0}, QStringLiteral("\n\n") + inserted);
    return {end + 2, inserted.size()};
}

void SQLEditorController::updateSqlParameterCache(const QVariantMap &values)
{
    sqlParameterCache_.insert(values);
}

bool SQLEditorController::canExecuteSQLInRange(TextRange range, bool fastValidation)
{
    if (!vornRoot()->hasConnection() || vornRoot()->reserved())
        return false;
    if (fastValidation && sqlEditorTextStorage_->length() > 10000)
        return true;
    const SQLParserComponentList components = componentsForRange(range, nullptr);
    return !components.isEmpty() && !(components.size() == 1 && components.first()->length() == 0);
}

SQLParserComponentList SQLEditorController::componentsForRange(TextRange range,
                                                               TextRange *extendedRange) const
{
    if (range.length > 0)
        return sqlEditorTextStorage_->parsedComponentsInRange(range, extendedRange);
    return sqlEditorTextStorage_->parsedComponentsBetweenQueryBreaksAtLocation(range.location, extendedRange);
}

void SQLEditorController::executeSQLInRange(TextRange range, TextRange *extendedRange)
{
    if (!requestFocusChangeEndEditing(true))
        return;
    if (extendedRange)
        *extendedRange = range;
    const SQLParserComponentList components = componentsForRange(range, extendedRange);
    if (extendedRange)
        sqlEditorTextStorage_->markActiveRange(*extendedRange);
    executeComponents(components);
}

void SQLEditorController::executeComponents(const SQLParserComponentList &components)
{
    SQLEditorControllerDelegate *delegate = sqlEditorDelegate();
    if (!delegate)
        return;
    delegate->sqlEditorControllerWillExecuteStatement();
    const QStringList names = parameterNames(components);
    const SQLStatementList statements = componentsToQueries(components);
    if (statements.isEmpty()) {
        beep();
        delegate->sqlEditorControllerDidNotExecute(false);
        return;
    }
    const QVariant userInfo = QVariant::fromValue(statements);
    if (!names.isEmpty()) {
        const std::weak_ptr<Shared> shared = shared_;
        delegate->sqlEditorControllerNeedsParameters(
            names, userInfo,
            [shared](const std::optional<ParameterAnswer> &answer) {
                if (const std::shared_ptr<Shared> alive = shared.lock(); alive && alive->owner)
                    alive->owner->executeAfterParameterInput(answer);
            },
            sqlParameterCache_);
        return;
    }
    const ParameterAnswer answer{QStringList(), QVariantMap(), userInfo};
    Shared::post(shared_, [answer](SQLEditorController &owner) { owner.executeAfterParameterInput(answer); });
}

void SQLEditorController::executeAfterParameterInput(const std::optional<ParameterAnswer> &answer)
{
    SQLEditorControllerDelegate *delegate = sqlEditorDelegate();
    const SQLStatementList statements =
        answer ? answer->userInfo.value<SQLStatementList>() : SQLStatementList();
    if (statements.isEmpty()) {
        if (delegate)
            delegate->sqlEditorControllerDidNotExecute(false);
        return;
    }
    const QVariantMap &values = answer->parameterValues;
    for (const QString &name : answer->parameterNames)
        sqlParameterCache_.insert(name, values.value(name));
    const bool cleared = clearRootSelection();
    if (!requestRootReservation(QCoreApplication::translate("activity", "SQL Statement Execution"))) {
        if (delegate)
            delegate->sqlEditorControllerDidNotExecute(cleared);
        return;
    }
    Q_ASSERT_X(statusManager(), "SQLEditorController", "A run needs the document's status manager");
    auto execution = std::make_shared<Execution>(*this, statements, values);
    // Set before the worker starts, and the runner opens the lane's cancel before it returns: a
    // cancel that comes before the first statement is not lost.
    shared_->isExecuting = true;
    shared_->isCanceling = false;
    ++runNumber_;
    BackgroundJob job;
    job.threadName = threadName;
    job.lane = executionLane_;
    // The run holds the document's parts; the runner lets go of it on the main thread, where the
    // status manager's timers and log live, also when the document closed meanwhile.
    job.work = [execution](const WorkerControl &control) { execution->run(control); };
    job.failed = [execution](const QString &reason) { execution->runFailed(reason); };
    job.done = [this, execution] { execution->deliver(sqlEditorDelegate()); };
    runReserved(std::move(job));
}

// Stop stays available while the statement runs: a cancel can be lost on its way or go unanswered.
bool SQLEditorController::canCancelExecution()
{
    return vornRoot()->hasConnection() && shared_->isExecuting;
}

void SQLEditorController::cancelExecution()
{
    const QString entry = QStringLiteral("SQLEditorController -(void)cancelExecution;");
    qCDebug(lcEditor).noquote() << entry;
    if (!vornRoot()->hasConnection())
        return;
    if (shared_->isCanceling) {
        repeatCancel();
        return;
    }
    qCDebug(lcEditor).noquote() << entry + QStringLiteral(" 2");
    shared_->isCanceling = true;
    firstStopAt_ = clock_();
    executionLane_->cancel();
    qCDebug(lcEditor).noquote() << entry + QStringLiteral(" 3");
    if (const std::shared_ptr<SqlConnectionClient> connection = vornRoot()->sqlConnection())
        connection->cancelQuery();
    qCDebug(lcEditor).noquote() << entry + QStringLiteral(" 4");
}

// A further Stop of the same run: soon after the first the cancel goes out again; once the server has
// left it unanswered for a while (a stalled network), the user may drop the connection instead.
void SQLEditorController::repeatCancel()
{
    if (!shared_->isExecuting)
        return;
    if (clock_() - firstStopAt_ < unansweredStopSeconds) {
        if (const std::shared_ptr<SqlConnectionClient> connection = vornRoot()->sqlConnection())
            connection->cancelQuery();
        return;
    }
    const std::weak_ptr<Shared> shared = shared_;
    const quint64 run = runNumber_;
    statusManager()->runErrorWithTitle(
        text("The database does not answer"),
        text("The database has not answered the request to stop the statement. Drop the connection to end "
             "the statement now? You can reconnect afterwards."),
        text("Drop Connection"), text("Keep Waiting"), QString(), [shared, run](int returnCode) {
            const std::shared_ptr<Shared> alive = shared.lock();
            // The answer may come after the statement ended by itself, or during a later run.
            if (returnCode == 1 && alive && alive->owner && alive->isExecuting &&
                alive->owner->runNumber_ == run)
                alive->owner->vornRoot()->dropConnection();
        });
}

SQLStatementList SQLEditorController::componentsToQueries(const SQLParserComponentList &components)
{
    SQLStatementList statements;
    SQLParserComponentList group;
    const auto close = [&] {
        if (std::any_of(group.cbegin(), group.cend(), isContent))
            statements.append(group);
        group.clear();
    };
    for (const SQLParserComponentPtr &component : components) {
        if (component->parserComponentType() == SQLParserComponent::QuerySeparator)
            close();
        else
            group.append(component);
    }
    close();
    return statements;
}

QStringList SQLEditorController::parameterNames(const SQLParserComponentList &components)
{
    QStringList names;
    for (const SQLParserComponentPtr &component : components) {
        if (component->parserComponentType() != SQLParserComponent::InputParameter)
            continue;
        const QString name = parameterName(component);
        if (!names.contains(name))
            names.append(name);
    }
    return names;
}

SQLEditorController::StatementRequest
SQLEditorController::statementRequest(const SQLParserComponentList &statement, const QVariantMap &values)
{
    StatementRequest request;
    request.queryComponents = statement;
    QString query;
    for (const SQLParserComponentPtr &component : statement) {
        request.source += component->string();
        if (component->parserComponentType() == SQLParserComponent::InputParameter) {
            query += u'?';
            request.queryParameters.append(values.value(parameterName(component)));
        } else {
            query += component->string();
        }
    }
    request.query = query.trimmed();
    return request;
}

QString SQLEditorController::unsendableTextReason(const StatementRequest &request)
{
    // Lines and columns count from the statement's first character, as the user sees it.
    qsizetype start = 0;
    while (start < request.source.size() && request.source.at(start).isSpace())
        ++start;
    const QString statement = request.source.mid(start);
    if (const qsizetype at = unpairedSurrogateIndex(statement); at >= 0) {
        const qsizetype lineStart = statement.lastIndexOf(u'\n', at) + 1;
        return format("The statement holds half a character (an unpaired UTF-16 surrogate) at line %ld, "
                      "column %ld. It was not sent: the database would have received \"?\" in its place.",
                      {number(statement.left(at).count(u'\n') + 1), number(at - lineStart + 1)});
    }
    qsizetype position = 0;
    for (const SQLParserComponentPtr &component : request.queryComponents) {
        if (component->parserComponentType() != SQLParserComponent::InputParameter)
            continue;
        const QVariant value = request.queryParameters.value(position++);
        if (value.typeId() != QMetaType::QString)
            continue;
        if (const qsizetype at = unpairedSurrogateIndex(value.toString()); at >= 0)
            return format(
                "The value of parameter %@ holds half a character (an unpaired UTF-16 surrogate) at "
                "position %ld. The statement was not sent: the database would have received \"?\" "
                "in its place.",
                {component->string(), number(at + 1)});
    }
    return QString();
}

QString SQLEditorController::messageForStatement(const QString &statementType, qint32 resultCount)
{
    struct Verb {
        const char *verb;
        const char *none;
        const char *one;
        const char *many;
    };
    static const Verb counted[] = {
        {"INSERT", "No rows inserted", "Successfully inserted 1 row", "Successfully inserted %d rows"},
        {"DELETE", "No rows deleted", "Successfully deleted 1 row", "Successfully deleted %d rows"},
        {"UPDATE", "No rows updated", "Successfully updated 1 row", "Successfully updated %d rows"},
    };
    static const std::pair<const char *, const char *> uncounted[] = {
        {"DROP", "DROP statement executed successfully"},
        {"CREATE", "CREATE statement executed successfully"},
        {"TRUNCATE", "TRUNCATE statement executed successfully"},
        {"ALTER", "ALTER statement executed successfully"},
        {"COMMIT", "COMMIT statement executed successfully"},
        {"ROLLBACK", "ROLLBACK statement executed successfully"},
    };
    for (const auto &[verb, message] : uncounted) {
        if (statementType.startsWith(QLatin1String(verb)))
            return text(message);
    }
    for (const Verb &verb : counted) {
        if (!statementType.startsWith(QLatin1String(verb.verb)))
            continue;
        // A driver that reports no count gives a negative one: no row count to speak of then.
        if (resultCount < 0)
            break;
        if (resultCount == 0)
            return text(verb.none);
        return resultCount == 1 ? text(verb.one) : format(verb.many, {number(resultCount)});
    }
    return text("SQL statement executed successfully");
}

QString SQLEditorController::timingText(double seconds)
{
    const qint64 centiseconds = qint64(std::trunc(100 * seconds));
    return format("%ld.%ld%ld seconds",
                  {number(centiseconds / 100), number(centiseconds / 10 % 10), number(centiseconds % 10)});
}

bool SQLEditorController::isStoppedStatementError(const QString &error)
{
    // Oracle names the stop by its code; the backend says so itself for every other database.
    return error.contains(QLatin1String("ORA-01013")) || error.trimmed() == QLatin1String("CANCELLED");
}

void SQLEditorController::registerQuery(const SQLParserComponentList &query)
{
    QueryHistoryRecorder *recorder = QueryHistoryRecorder::shared();
    if (!recorder || !delegate())
        return;
    recorder->registerQuery(query, delegate()->connectedControllerWantsConnectionParameters(this));
}

bool SQLEditorController::ddlDirtyFlag() const
{
    return shared_->ddlDirtyFlag;
}

void SQLEditorController::setDdlDirtyFlag(bool dirty)
{
    shared_->ddlDirtyFlag = dirty;
}

bool SQLEditorController::isExecuting() const
{
    return shared_->isExecuting;
}

bool SQLEditorController::isCanceling() const
{
    return shared_->isCanceling;
}

void SQLEditorController::setClock(std::function<double()> clock)
{
    clock_ = std::move(clock);
}

void SQLEditorController::beep()
{
    QApplication::beep();
}
