// The SQL editor model: statements from the editor text, parameters, and runs on the background
// runner against the fake root, reported through a real status manager to a fake document.
#include "../status/StatusManagerFakes.h"
#include "EditorControllerFakes.h"
#include "EditorTestSupport.h"
#include "FakeVornRootClient.h"
#include "WaitFor.h"

#include "bridge/QoJavaBridge.h"
#include "bridge/ThreadController.h"
#include "editor/QueryHistoryRecorder.h"
#include "editor/SQLEditorController.h"
#include "platform/MainThread.h"

#include <QTest>
#include <QThread>
#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <mutex>

namespace
{

// Status texts as the status bar sees them: "busy: text" or "final: text".
class StatusRecorder : public FakeDocument
{
public:
    void statusManagerHasStatusUpdate(StatusManager *manager) override
    {
        statuses << QString(manager->activeStatus() ? "busy: " : "final: ") + manager->connectionStatusText();
    }
    QStringList statuses;
};

class RecordingHistory : public QueryHistoryRecorder
{
public:
    void registerQuery(const SQLParserComponentList &query,
                       const ConnectionParametersPtr &parameters) override
    {
        queries << SQLParserComponent::stringForComponents(query, false).trimmed();
        withParameters = withParameters && parameters;
    }
    QStringList queries;
    bool withParameters = true;
};

// Holds a run's worker at its first step, naming itself to the bridge (which, without a VM, warns),
// until the test opens the gate.
class WorkerGate
{
public:
    WorkerGate()
    {
        {
            std::lock_guard lock(mutex_);
            arrived_ = false;
            open_ = false;
        }
        previous_ = qInstallMessageHandler(&WorkerGate::handle);
    }
    ~WorkerGate()
    {
        open();
        qInstallMessageHandler(previous_);
    }
    bool workerArrived()
    {
        std::lock_guard lock(mutex_);
        return arrived_;
    }
    void open()
    {
        std::lock_guard lock(mutex_);
        open_ = true;
        changed_.notify_all();
    }

private:
    static void handle(QtMsgType type, const QMessageLogContext &context, const QString &message)
    {
        if (MainThread::isMainThread() || !message.contains(QLatin1String("attaching native thread"))) {
            previous_(type, context, message);
            return;
        }
        std::unique_lock lock(mutex_);
        arrived_ = true;
        changed_.wait(lock, [] { return open_; });
    }

    static inline QtMessageHandler previous_ = nullptr;
    static inline std::mutex mutex_;
    static inline std::condition_variable changed_;
    static inline bool arrived_ = false;
    static inline bool open_ = false;
};

SQLParserComponentList componentsOf(const QString &sql)
{
    SQLEditorTextStorage storage;
    storage.replaceContents(sql);
    return storage.parsedComponents();
}

QStringList statementTexts(const SQLStatementList &statements)
{
    QStringList texts;
    for (const SQLParserComponentList &statement : statements)
        texts << SQLParserComponent::stringForComponents(statement, false).trimmed();
    return texts;
}

class SQLEditorControllerTest : public ::testing::Test
{
protected:
    SQLEditorControllerTest()
    {
        EditorTestSupport::writeDefaultPreferences();
        statusManager->setDelegate(&statusRecorder);
        makeController();
        QueryHistoryRecorder::setShared(&history);
    }
    ~SQLEditorControllerTest() override
    {
        QueryHistoryRecorder::setShared(nullptr);
        statusManager->setDelegate(nullptr);
    }

    void makeController()
    {
        document.root = root;
        controller = std::make_unique<BeepCountingController>(root);
        controller->setDelegate(static_cast<SQLEditorControllerDelegate *>(&document));
        controller->setStatusManager(statusManager);
        controller->setThreadController(threads);
        // The worker's first reading starts the run, every later one is 0.042 s on; a Stop on the main
        // thread reads the start.
        controller->setClock([calls = std::make_shared<std::atomic<int>>(0)] {
            if (QThread::currentThread() == QCoreApplication::instance()->thread())
                return 10.0;
            return (*calls)++ ? 10.042 : 10.0;
        });
    }

    // Runs the whole text, or the block at a caret, and waits until the reservation is given back.
    void run(const QString &sql, TextRange range = {0, -1})
    {
        controller->setContents(sql);
        runRange(range.length < 0 ? TextRange{0, controller->sqlEditorTextStorage()->length()} : range);
    }
    void runRange(TextRange range)
    {
        const int releases = document.releases;
        controller->executeSQLInRange(range, &extended);
        waitForEnd(releases);
    }
    void waitForEnd(int releasesBefore)
    {
        ASSERT_WAIT_FOR_MS(document.releases > releasesBefore, 10000);
        ASSERT_WAIT_FOR_MS(threads->numberOfRegisteredThreads(true) == 0, 10000);
        EditorTestSupport::processEvents();
    }
    QStringList alertTitles() const { return EditorControllerFakes::alertTitles(*statusManager); }

    QoJavaBridge bridge{QVariantMap(), QString()};
    std::shared_ptr<ThreadController> threads = std::make_shared<ThreadController>(&bridge);
    FakeClock clock;
    FakeNotifier notifier{clock};
    std::shared_ptr<FakeVornRootClient> statusRoot = std::make_shared<FakeVornRootClient>();
    std::shared_ptr<StatusManager> statusManager =
        std::make_shared<StatusManager>(statusRoot, notifier.notifier);
    StatusRecorder statusRecorder;
    std::shared_ptr<FakeVornRootClient> root = std::make_shared<FakeVornRootClient>();
    FakeEditorDocument document;
    RecordingHistory history;
    std::unique_ptr<BeepCountingController> controller;
    TextRange extended;
};

} // namespace

TEST(SQLEditorControllerStatements, SplitAtSeparatorsDroppingGroupsWithoutContent)
{
    EditorTestSupport::writeDefaultPreferences();
    const struct {
        QString sql;
        QStringList statements;
    } cases[] = {
        {"SELECT 1", {"SELECT 1"}},
        {"SELECT 1;; SELECT 2", {"SELECT 1", "SELECT 2"}},
        {"SELECT 1;", {"SELECT 1"}},
        {"SELECT 1;\n  -- only a comment\n", {"SELECT 1"}},
        {"/* head */;\n;SELECT 2;\n\n;", {"SELECT 2"}},
        {"/*!40101 SET NAMES utf8 */;\nSELECT 2", {"/*!40101 SET NAMES utf8 */", "SELECT 2"}},
        {"SELECT 'a;b' FROM t; -- x;y\nSELECT 3", {"SELECT 'a;b' FROM t", "-- x;y\nSELECT 3"}},
        {"-- nothing but a comment", {}},
        {" ;; ", {}},
        {"", {}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.sql.toStdString());
        EXPECT_EQ(statementTexts(SQLEditorController::componentsToQueries(componentsOf(c.sql))),
                  c.statements);
    }
}

TEST(SQLEditorControllerStatements, ParameterNamesUpperCasedOnceInOrderOfFirstUse)
{
    EditorTestSupport::writeDefaultPreferences();
    const struct {
        QString sql;
        QStringList names;
    } cases[] = {
        {"SELECT * FROM t WHERE a = :id OR b = :Id OR c = :name", {"ID", "NAME"}},
        {"SELECT x::int, y::text FROM t WHERE z = :z", {"Z"}},
        {"SELECT ':quoted' FROM t -- :commented", {}},
        {"UPDATE t SET a = :b_2;\nDELETE FROM t WHERE c = :B_2 AND d = :a", {"B_2", "A"}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.sql.toStdString());
        EXPECT_EQ(SQLEditorController::parameterNames(componentsOf(c.sql)), c.names);
    }
}

TEST(SQLEditorControllerStatements, SentTextHasOneMarkAndOneValuePerOccurrence)
{
    EditorTestSupport::writeDefaultPreferences();
    const QString sql = "\n  SELECT :a, :B FROM t\n  WHERE x = :A  \n";
    const auto request = SQLEditorController::statementRequest(componentsOf(sql), {{"A", 7}, {"B", "text"}});
    EXPECT_EQ(request.query, "SELECT ?, ? FROM t\n  WHERE x = ?");
    EXPECT_EQ(request.source, sql);
    EXPECT_EQ(request.queryParameters, QVariantList({7, "text", 7}));
    EXPECT_EQ(request.queryComponents.size(), componentsOf(sql).size());
}

TEST(SQLEditorControllerStatements, MessagePerStatementTypeAndRowCount)
{
    const struct {
        QString type;
        qint32 count;
        QString message;
    } cases[] = {
        {"INSERT", 0, "No rows inserted"},
        {"INSERT", 1, "Successfully inserted 1 row"},
        {"INSERT", 12, "Successfully inserted 12 rows"},
        {"INSERT", -1, "SQL statement executed successfully"},
        {"DELETE", 0, "No rows deleted"},
        {"DELETE", 1, "Successfully deleted 1 row"},
        {"DELETE", 3, "Successfully deleted 3 rows"},
        {"DELETE", -1, "SQL statement executed successfully"},
        {"UPDATE", 0, "No rows updated"},
        {"UPDATE", 1, "Successfully updated 1 row"},
        {"UPDATE", 2000, "Successfully updated 2000 rows"},
        {"UPDATE", -2, "SQL statement executed successfully"},
        {"DROP", -1, "DROP statement executed successfully"},
        {"CREATE", 0, "CREATE statement executed successfully"},
        {"TRUNCATE", 5, "TRUNCATE statement executed successfully"},
        {"ALTER", -1, "ALTER statement executed successfully"},
        {"COMMIT", 0, "COMMIT statement executed successfully"},
        {"ROLLBACK", 0, "ROLLBACK statement executed successfully"},
        {"GRANT", 0, "SQL statement executed successfully"},
        {"", -1, "SQL statement executed successfully"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE((c.type + " " + QString::number(c.count)).toStdString());
        EXPECT_EQ(SQLEditorController::messageForStatement(c.type, c.count), c.message);
    }
}

TEST(SQLEditorControllerStatements, TimingIsCutToHundredths)
{
    const std::pair<double, QString> cases[] = {
        {0.009, "0.00 seconds"},   {0.042, "0.04 seconds"}, {1.5, "1.50 seconds"},
        {72.339, "72.33 seconds"}, {100, "100.00 seconds"}, {0, "0.00 seconds"},
    };
    for (const auto &[seconds, timing] : cases)
        EXPECT_EQ(SQLEditorController::timingText(seconds), timing) << seconds;
}

TEST(SQLEditorControllerStatements, StoppedStatementsOfEveryDatabaseAreRecognised)
{
    EXPECT_TRUE(SQLEditorController::isStoppedStatementError("CANCELLED"));
    EXPECT_TRUE(SQLEditorController::isStoppedStatementError(
        "ORA-01013: user requested cancel of current operation"));
    EXPECT_FALSE(
        SQLEditorController::isStoppedStatementError("ERROR: relation \"cancelled\" does not exist"));
    EXPECT_FALSE(SQLEditorController::isStoppedStatementError(""));
}

TEST_F(SQLEditorControllerTest, OneStatementEndsWithItsMessageAndTiming)
{
    run("INSERT INTO t VALUES (1)");
    EXPECT_EQ(root->connection->sentTexts(), QStringList({"INSERT INTO t VALUES (1)"}));
    EXPECT_EQ(document.results, QStringList({"Successfully inserted 1 row\n\nTiming: 0.04 seconds"}));
    EXPECT_EQ(statusRecorder.statuses,
              QStringList({"busy: Executing SQL Statement", "final: Successfully inserted 1 row"}));
    EXPECT_EQ(statusManager->statusManagerSource(), StatusManager::SqlEditor);
    EXPECT_EQ(document.reservations, QStringList({"SQL Statement Execution"}));
    EXPECT_EQ(document.releases, 1);
    EXPECT_TRUE(document.releasedOnMainThread);
    EXPECT_EQ(document.willExecute, 1);
    EXPECT_EQ(document.clearedSelections, 1);
    EXPECT_EQ(history.queries, QStringList({"INSERT INTO t VALUES (1)"}));
    EXPECT_TRUE(history.withParameters);
    EXPECT_FALSE(controller->isExecuting());
    EXPECT_EQ(controller->sqlEditorTextStorage()->lastMarkedActiveRange(), extended);
}

TEST_F(SQLEditorControllerTest, RunOutcomes)
{
    const struct {
        const char *name;
        QString sql;
        std::vector<std::pair<QString, FakeStatement>> plan;
        QStringList sent;
        QStringList statuses;
        QString result; // null: a result set was handed over
        QStringList history;
        QStringList alerts;
    } cases[] = {
        {"failure at 2 of 3",
         "CREATE TABLE a (x int); INSERT INTO a VALUES (1); DROP TABLE a",
         {{"INSERT INTO a VALUES (1)", FakeStatement::failing("duplicate key")}},
         {"CREATE TABLE a (x int)", "INSERT INTO a VALUES (1)"},
         {"busy: Executing 3 SQL Statements", "busy: Executing SQL statement 2 of 3",
          "final: Error executing SQL Statement"},
         "An error occurred while executing the SQL statement.\n\nduplicate key\n\nTiming: 0.04 seconds",
         {"CREATE TABLE a (x int)"},
         {"Error executing SQL Statement"}},
        {"result set last",
         "UPDATE a SET x = 2;\nSELECT x FROM a",
         {{"UPDATE a SET x = 2", FakeStatement::counting(4)}},
         {"UPDATE a SET x = 2", "SELECT x FROM a"},
         {"busy: Executing 2 SQL Statements", "busy: Executing SQL statement 2 of 2",
          "final: SQL statement executed successfully"},
         QString(),
         {"UPDATE a SET x = 2", "SELECT x FROM a"},
         {}},
        {"result set in the middle",
         "DELETE FROM a; SELECT x FROM a; COMMIT",
         {{"DELETE FROM a", FakeStatement::counting(0)}},
         {"DELETE FROM a", "SELECT x FROM a", "COMMIT"},
         {"busy: Executing 3 SQL Statements", "busy: Executing SQL statement 2 of 3",
          "busy: Executing SQL statement 3 of 3", "final: Successfully executed 3 SQL statements"},
         "Successfully executed 3 SQL statements\n\nTiming: 0.04 seconds",
         {"DELETE FROM a", "SELECT x FROM a", "COMMIT"},
         {}},
        {"a statement the backend declines counts as run",
         "VACUUM",
         {{"VACUUM", FakeStatement::declined()}},
         {},
         {"busy: Executing SQL Statement", "final: ", "final: "},
         "\n\nTiming: 0.04 seconds",
         {"VACUUM"},
         {}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        root = std::make_shared<FakeVornRootClient>();
        for (const auto &[sql, outcome] : c.plan)
            root->connection->plan(sql, outcome);
        makeController();
        document.results.clear();
        document.loadedResultsets.clear();
        statusRecorder.statuses.clear();
        history.queries.clear();
        statusManager->clear();

        run(c.sql);
        EXPECT_EQ(root->connection->sentTexts(), c.sent);
        EXPECT_EQ(statusRecorder.statuses, c.statuses);
        EXPECT_EQ(history.queries, c.history);
        EXPECT_EQ(alertTitles(), c.alerts);
        if (c.result.isNull()) {
            EXPECT_TRUE(document.results.isEmpty());
            ASSERT_EQ(document.loadedResultsets.size(), 1);
            EXPECT_NEAR(document.loadedResultsets.first().timing, 0.042, 1e-9);
            EXPECT_EQ(document.loadedResultsets.first().source, "\nSELECT x FROM a");
        } else {
            EXPECT_TRUE(document.loadedResultsets.isEmpty());
            EXPECT_EQ(document.results, QStringList({c.result}));
        }
    }
}

TEST_F(SQLEditorControllerTest, CancelDuringTwoOfFive)
{
    const QString sql = "INSERT INTO a VALUES (1); UPDATE a SET x = 1; DELETE FROM a; COMMIT; DROP TABLE a";
    const struct {
        const char *name;
        bool aborts;
        QString finalStatus;
        QString result;
        QStringList alerts;
        QStringList history;
        // With the document in the background: a stop is no finished action to mark.
        qint64 flag;
    } cases[] = {
        {"the backend stops the statement",
         true,
         "final: Stopped execution of SQL statement",
         "Stopped execution of SQL statement\n\nTiming: 0.04 seconds",
         {},
         {"INSERT INTO a VALUES (1)"},
         StatusManager::NoAttention},
        {"the statement completes anyway",
         false,
         "final: Cancelled execution after 2 of 5 SQL statements",
         "Cancelled execution after 2 of 5 SQL statements\n\nTiming: 0.04 seconds",
         {},
         {"INSERT INTO a VALUES (1)", "UPDATE a SET x = 1"},
         StatusManager::ActionFinished},
    };
    statusRecorder.isActive = false;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        root = std::make_shared<FakeVornRootClient>();
        root->connection->plan("UPDATE a SET x = 1", FakeStatement::waiting(c.aborts));
        makeController();
        document.results.clear();
        statusRecorder.statuses.clear();
        history.queries.clear();
        statusManager->clear();
        statusManager->clearStatusFlag();
        const int releases = document.releases;
        controller->setContents(sql);

        controller->executeSQLInRange({0, 0}, &extended);
        EXPECT_FALSE(controller->canCancelExecution());
        ASSERT_WAIT_FOR_MS(root->connection->waitingForCancel(), 10000);
        EXPECT_TRUE(controller->canCancelExecution());
        controller->cancelExecution();
        // The worker may end the run at once; while it has not, Stop stays available. (The run only
        // goes from executing to ended, so a run still executing after the read was so during it.)
        const bool stopAvailable = controller->canCancelExecution();
        EXPECT_TRUE(stopAvailable || !controller->isExecuting())
            << "Stop stays available while the statement runs";
        waitForEnd(releases);

        EXPECT_EQ(root->connection->sentTexts(),
                  QStringList({"INSERT INTO a VALUES (1)", "UPDATE a SET x = 1"}));
        EXPECT_EQ(statusRecorder.statuses.last(), c.finalStatus);
        EXPECT_EQ(document.results, QStringList({c.result}));
        EXPECT_EQ(alertTitles(), c.alerts);
        EXPECT_EQ(history.queries, c.history);
        EXPECT_EQ(statusManager->statusFlag(), c.flag);
        EXPECT_FALSE(controller->isExecuting());
        EXPECT_FALSE(controller->isCanceling());
    }
}

TEST_F(SQLEditorControllerTest, CancelDuringTheLastStatementThatCompletesChangesNothing)
{
    root->connection->plan("UPDATE a SET x = 1", FakeStatement::waiting(false, 3));
    controller->setContents("INSERT INTO a VALUES (1); UPDATE a SET x = 1");
    controller->executeSQLInRange({0, 0}, &extended);
    ASSERT_WAIT_FOR_MS(root->connection->waitingForCancel(), 10000);
    controller->cancelExecution();
    waitForEnd(0);
    EXPECT_EQ(document.results,
              QStringList({"Successfully executed 2 SQL statements\n\nTiming: 0.04 seconds"}));
    EXPECT_EQ(history.queries.size(), 2);
}

TEST_F(SQLEditorControllerTest, ACancelBeforeTheWorkerStartsStopsTheRun)
{
    WorkerGate gate;
    controller->setContents("INSERT INTO a VALUES (1); UPDATE a SET x = 1");
    controller->executeSQLInRange({0, 0}, &extended);
    ASSERT_WAIT_FOR_MS(gate.workerArrived(), 10000);
    EXPECT_TRUE(controller->isExecuting());
    EXPECT_TRUE(controller->canCancelExecution());
    controller->cancelExecution();
    gate.open();
    waitForEnd(0);
    EXPECT_EQ(root->connection->sentTexts(), QStringList({"INSERT INTO a VALUES (1)"}));
    EXPECT_EQ(document.results,
              QStringList({"Cancelled execution after 1 of 2 SQL statements\n\nTiming: 0.04 seconds"}));
}

TEST_F(SQLEditorControllerTest, ParametersAreAskedOnceAndSentPerOccurrence)
{
    controller->updateSqlParameterCache({{"ID", "earlier"}, {"OTHER", "kept"}});
    controller->setContents(
        "SELECT * FROM t WHERE a = :id OR b = :Id;\nUPDATE t SET c = :name WHERE d = :ID");
    controller->executeSQLInRange({0, 0}, &extended);
    EditorTestSupport::processEvents();
    EXPECT_EQ(document.parameterNames, QStringList({"ID", "NAME"}));
    EXPECT_EQ(document.parameterCache.value("ID"), "earlier");
    EXPECT_TRUE(document.reservations.isEmpty()) << "nothing is reserved while the form is up";

    document.answerParameters({{"ID", "42"}, {"NAME", "n"}});
    waitForEnd(0);
    const auto sent = root->connection->sent();
    ASSERT_EQ(sent.size(), 2);
    EXPECT_EQ(sent[0],
              std::make_pair(QString("SELECT * FROM t WHERE a = ? OR b = ?"), QVariantList({"42", "42"})));
    EXPECT_EQ(sent[1], std::make_pair(QString("UPDATE t SET c = ? WHERE d = ?"), QVariantList({"n", "42"})));
    EXPECT_EQ(controller->getSqlParameterCache(),
              QVariantMap({{"ID", "42"}, {"NAME", "n"}, {"OTHER", "kept"}}));
    EXPECT_EQ(history.queries, QStringList({"SELECT * FROM t WHERE a = :id OR b = :Id",
                                            "UPDATE t SET c = :name WHERE d = :ID"}));
}

TEST_F(SQLEditorControllerTest, RunsThatNeverStartTellTheDocumentWhetherTheResultWasCleared)
{
    controller->setContents("SELECT :a FROM t");
    controller->executeSQLInRange({0, 0}, &extended);
    document.parameterAction(std::nullopt);
    EXPECT_EQ(document.notExecuted, QList<bool>({false})) << "form cancelled";

    controller->setContents("-- nothing to run\n");
    controller->executeSQLInRange({0, 0}, &extended);
    EXPECT_EQ(controller->beeps, 1);
    EXPECT_EQ(document.notExecuted, QList<bool>({false, false})) << "nothing to run";

    document.grantReservation = false;
    controller->setContents("SELECT 1 FROM t");
    controller->executeSQLInRange({0, 0}, &extended);
    EditorTestSupport::processEvents();
    EXPECT_EQ(document.notExecuted, QList<bool>({false, false, true})) << "reservation refused";
    EXPECT_EQ(document.willExecute, 3);

    document.allowFocus = false;
    controller->executeSQLInRange({0, 0}, &extended);
    EditorTestSupport::processEvents();
    EXPECT_EQ(document.willExecute, 3) << "a refused focus change starts nothing";
    EXPECT_TRUE(root->connection->sent().isEmpty());
    EXPECT_EQ(document.releases, 0);
}

TEST_F(SQLEditorControllerTest, ACaretRunsTheBlockBetweenBlankLinesAroundIt)
{
    const QString sql = "SELECT 1 FROM a;\nSELECT 2 FROM a\n\nSELECT 3 FROM a\n";
    const struct {
        qint64 caret;
        QStringList sent;
    } cases[] = {
        {0, {"SELECT 1 FROM a", "SELECT 2 FROM a"}},
        {20, {"SELECT 1 FROM a", "SELECT 2 FROM a"}},
        {sql.indexOf("SELECT 3"), {"SELECT 3 FROM a"}},
        {sql.size() - 1, {"SELECT 3 FROM a"}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.caret);
        root = std::make_shared<FakeVornRootClient>();
        makeController();
        run(sql, {c.caret, 0});
        EXPECT_EQ(root->connection->sentTexts(), c.sent);
        const QString marked = sql.mid(extended.location, extended.length);
        EXPECT_TRUE(marked.contains(c.sent.first()) && marked.contains(c.sent.last()))
            << marked.toStdString();
        EXPECT_FALSE(marked.contains(c.sent.first() == "SELECT 3 FROM a" ? "SELECT 1" : "SELECT 3"));
    }
}

TEST_F(SQLEditorControllerTest, DataDefinitionMarksTheSchemaAsChanged)
{
    const std::pair<QString, bool> cases[] = {
        {"TRUNCATE TABLE a", false},      {"INSERT INTO a VALUES (1)", false},
        {"CREATE TABLE b (x int)", true}, {"ALTER TABLE b ADD y int", true},
        {"DROP TABLE b", true},
    };
    for (const auto &[sql, dirty] : cases) {
        SCOPED_TRACE(sql.toStdString());
        controller->setDdlDirtyFlag(false);
        run(sql);
        EXPECT_EQ(controller->ddlDirtyFlag(), dirty);
    }
}

TEST_F(SQLEditorControllerTest, WhetherTheTextCanRun)
{
    controller->setContents("SELECT 1 FROM t");
    EXPECT_TRUE(controller->canExecuteSQLInRange({0, 0}));
    EXPECT_TRUE(controller->canExecuteSQLInRange({0, 6}));
    root->reservedByOther = true;
    EXPECT_FALSE(controller->canExecuteSQLInRange({0, 0}));
    root->reservedByOther = false;
    root->connected = false;
    EXPECT_FALSE(controller->canExecuteSQLInRange({0, 0}));
    root->connected = true;

    controller->setContents("");
    EXPECT_FALSE(controller->canExecuteSQLInRange({0, 0}));
    controller->setContents(QString(10001, u' '));
    EXPECT_TRUE(controller->canExecuteSQLInRange({0, 0}, true)) << "long texts are not parsed for menus";
}

TEST_F(SQLEditorControllerTest, TextAppendedAfterAnEmptyLine)
{
    controller->setContents("SELECT 1");
    const TextRange range = controller->insertTextAddEnd("CREATE TABLE x (\r\n  id int\r\n)");
    EXPECT_EQ(controller->contents(), "SELECT 1\n\nCREATE TABLE x (\n  id int\n)");
    EXPECT_EQ(controller->contents().mid(range.location, range.length), "CREATE TABLE x (\n  id int\n)");
}

TEST_F(SQLEditorControllerTest, DialectAndWordsFollowTheConnection)
{
    const auto names = [&] {
        EditorTestSupport::processEvents();
        return SQLEditorController::parameterNames(controller->sqlEditorTextStorage()->parsedComponents());
    };
    controller->setContents("SELECT a FROM t WHERE b = :b # :c");
    root->type = "MySQL";
    controller->resetSqlEditorFromRoot();
    EXPECT_EQ(controller->sqlEditorTextStorage()->contextWords(), QStringList({"orders"}));
    EXPECT_EQ(names(), QStringList({"B"})) << "# starts a comment in MySQL";

    controller->setPlanTableAvailable(true);
    root->connected = false;
    controller->resetSqlEditorFromRoot();
    EXPECT_EQ(names(), QStringList({"B", "C"}));
    EXPECT_FALSE(controller->planTableAvailable());

    root->connected = true;
    controller->metaDataWasExternallyUpdated();
    EXPECT_EQ(names(), QStringList({"B"}));
}

TEST_F(SQLEditorControllerTest, AControllerGoneDuringARunDropsItsResultsAndFreesTheRootOnce)
{
    FakeStatement completesWithRows = FakeStatement::waiting(false);
    completesWithRows.producesRows = true;
    const std::pair<const char *, FakeStatement> cases[] = {
        {"the statement is stopped", FakeStatement::waiting(true)},
        {"the statement completes with rows", completesWithRows},
    };
    for (const auto &[name, statement] : cases) {
        SCOPED_TRACE(name);
        root = std::make_shared<FakeVornRootClient>();
        root->connection->plan("SELECT x FROM a", statement);
        makeController();
        const int documentReleases = document.releases;
        controller->setContents("SELECT x FROM a");
        controller->executeSQLInRange({0, 0}, &extended);
        ASSERT_WAIT_FOR_MS(root->connection->waitingForCancel(), 10000);
        ASSERT_TRUE(root->reserved());
        controller.reset();
        root->connection->cancelQuery();
        ASSERT_WAIT_FOR_MS(root->releases == 1, 10000);
        ASSERT_WAIT_FOR_MS(threads->numberOfRegisteredThreads(true) == 0, 10000);
        EditorTestSupport::processEvents();
        EXPECT_EQ(root->releases, 1);
        EXPECT_FALSE(root->reserved()) << "the root is not left reserved";
        EXPECT_EQ(document.releases, documentReleases) << "the document is not asked for a gone controller";
        EXPECT_TRUE(document.results.isEmpty());
        EXPECT_TRUE(document.loadedResultsets.isEmpty());
        EXPECT_TRUE(history.queries.isEmpty());
    }
}

TEST_F(SQLEditorControllerTest, ARunHoldingTheLastReferenceEndsTheStatusManagerOnTheMainThread)
{
    std::atomic<bool> deleted{false};
    std::atomic<bool> deletedOnMainThread{false};
    auto manager = std::shared_ptr<StatusManager>(new StatusManager(statusRoot, notifier.notifier),
                                                  [&](StatusManager *gone) {
                                                      deleted = true;
                                                      deletedOnMainThread = MainThread::isMainThread();
                                                      // Its timers must still end where they live.
                                                      MainThread::post([gone] { delete gone; });
                                                  });
    controller->setStatusManager(manager);
    root->connection->plan("UPDATE a SET x = 1", FakeStatement::waiting(true));
    controller->setContents("UPDATE a SET x = 1");
    controller->executeSQLInRange({0, 0}, &extended);
    ASSERT_WAIT_FOR_MS(root->connection->waitingForCancel(), 10000);
    // The document closes during the run.
    controller.reset();
    manager.reset();
    root->connection->cancelQuery();
    ASSERT_WAIT_FOR_MS(deleted.load(), 10000);
    EXPECT_TRUE(deletedOnMainThread.load());
}
