// Statements typed in the editor run through the real backend against a SQLite file and the test servers:
// parameters, a result set, an error and a cancelled long statement.
#include "../backend/BackendTestSupport.h"
#include "../status/StatusManagerFakes.h"
#include "EditorTestSupport.h"
#include "LongStatements.h"
#include "TcpProxy.h"
#include "TestServers.h"

#include "WaitFor.h"

#include "bridge/ThreadController.h"
#include "client/VornResultset.h"
#include "client/VornRootClient.h"
#include "editor/SQLEditorController.h"
#include "editor/SQLEditorControllerDelegate.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace
{

// A root of its own through the shared bridge, initialised like a document's root.
VornRootClientPtr newRoot()
{
    startedBackend();
    VornRootClientPtr root = VornRootClient::create();
    if (!root)
        return nullptr;
    RootSettings settings;
    settings.supportFolder = QDir::tempPath();
    settings.quickFilterUseLikeMatchOnNumeric = false;
    root->initRoot(settings);
    return root;
}

// A document that lends the root as the real one does and answers the parameter form at once.
class Document : public SQLEditorControllerDelegate
{
public:
    bool connectedControllerWantsRootReservationFor(ConnectedController *, const QString &activity) override
    {
        return root->reserveRoot(activity);
    }
    void connectedControllerWantsEndRootReservation(ConnectedController *) override
    {
        root->releaseReservedRoot();
        ++releases;
    }
    bool connectedControllerWantsToChangeFocus(ConnectedController *, bool) override { return true; }
    bool connectedControllerWantsClearRootSelection(ConnectedController *) override
    {
        root->clearResultset();
        return true;
    }
    ConnectionParametersPtr connectedControllerWantsConnectionParameters(ConnectedController *) override
    {
        return nullptr;
    }
    QString connectedControllerWantsUniqueConnectionIdentifier(ConnectedController *) override { return "T"; }

    void sqlEditorControllerWillExecuteStatement() override {}
    void sqlEditorControllerDidNotExecute(bool) override { ++notExecuted; }
    void sqlEditorControllerNeedsParameters(const QStringList &names, const QVariant &userInfo,
                                            ParameterAction action, const QVariantMap &) override
    {
        action(ParameterAnswer{names, parameters, userInfo});
    }
    void sqlEditorControllerLoadedResultSetWithInfo(const LoadedResultInfo &info) override { loaded << info; }
    void sqlEditorControllerExecutionResult(const QString &message) override { results << message; }

    VornRootClientPtr root;
    QVariantMap parameters;
    int releases = 0;
    int notExecuted = 0;
    QList<LoadedResultInfo> loaded;
    QStringList results;
};

class SQLEditorControllerBackendTest : public ::testing::TestWithParam<QString>
{
protected:
    void SetUp() override
    {
        EditorTestSupport::writeDefaultPreferences();
        DatabaseTarget target;
        if (GetParam() == "SQLite") {
            target = sqliteTarget(folder_);
        } else {
            auto server = serverTarget(GetParam());
            VORN_REQUIRE_SERVER(server, GetParam().toStdString());
            target = *server;
        }
        root_ = newRoot();
        ASSERT_TRUE(root_) << "no Java VM";
        // Auto-commit (flag 1), 10 s to connect.
        const ConnectRequestFields request{.server = target.server,
                                           .port = target.port,
                                           .database = target.database,
                                           .userName = target.user,
                                           .password = target.password,
                                           .databaseType = target.type,
                                           .clientName = "Vorn test",
                                           .timeOutSeconds = 10,
                                           .flags = 1};
        const BackendOutcome connected = root_->startNewConnection(request);
        ASSERT_TRUE(connected) << connected.errorMessage.toStdString();
        document_.root = root_;
        statusManager_ = std::make_shared<StatusManager>(root_, notifier_.notifier);
        controller_ = std::make_unique<SQLEditorController>(root_);
        controller_->setDelegate(static_cast<SQLEditorControllerDelegate *>(&document_));
        controller_->setStatusManager(statusManager_);
        controller_->setThreadController(threads_);
        controller_->resetSqlEditorFromRoot();
    }

    void TearDown() override
    {
        if (controller_)
            run("DROP TABLE IF EXISTS vse_items");
    }

    // Starts the whole text as one block.
    void start(const QString &sql)
    {
        controller_->setContents(sql);
        ASSERT_TRUE(controller_->canExecuteSQLInRange({0, 0}));
        TextRange extended;
        controller_->executeSQLInRange({0, 0}, &extended);
    }
    void waitForEnd(int releasesBefore)
    {
        ASSERT_WAIT_FOR_MS(document_.releases > releasesBefore, 60000);
        ASSERT_WAIT_FOR_MS(threads_->numberOfRegisteredThreads(true) == 0, 10000);
        EditorTestSupport::processEvents();
    }
    void run(const QString &sql)
    {
        const int releases = document_.releases;
        start(sql);
        waitForEnd(releases);
    }
    // The last result without its timing, which must be there.
    QString lastResult() const
    {
        if (document_.results.isEmpty())
            return QString();
        const QString result = document_.results.last();
        const QRegularExpression timing("\n\nTiming: \\d+\\.\\d\\d seconds$");
        EXPECT_TRUE(result.contains(timing)) << result.toStdString();
        return result.section(timing, 0, 0);
    }

    QString longStatement() const { return longStatementFor(GetParam()); }

    QTemporaryDir folder_;
    VornRootClientPtr root_;
    Document document_;
    FakeClock clock_;
    FakeNotifier notifier_{clock_};
    std::shared_ptr<StatusManager> statusManager_;
    std::shared_ptr<ThreadController> threads_ = std::make_shared<ThreadController>(startedBackend());
    std::unique_ptr<SQLEditorController> controller_;
};

INSTANTIATE_TEST_SUITE_P(Databases, SQLEditorControllerBackendTest,
                         ::testing::Values("SQLite", "PostgreSQL", "MySQL"),
                         [](const auto &info) { return info.param.toStdString(); });

} // namespace

TEST_P(SQLEditorControllerBackendTest, CreateInsertWithParametersAndSelectIntoAResultSet)
{
    run("DROP TABLE IF EXISTS vse_items");
    document_.parameters = {{"ID", "7"}, {"NAME", "seven"}, {"NEXT", "8"}};
    run("CREATE TABLE vse_items (id INTEGER, name VARCHAR(40));\n"
        "INSERT INTO vse_items VALUES (:id, :name);\n"
        "INSERT INTO vse_items VALUES (:next, :Name);\n"
        "SELECT id, name FROM vse_items\n  WHERE name = :NAME ORDER BY id");
    ASSERT_EQ(document_.loaded.size(), 1) << document_.results.join('|').toStdString();
    EXPECT_EQ(document_.loaded.first().source,
              "\nSELECT id, name FROM vse_items\n  WHERE name = :NAME ORDER BY id");
    EXPECT_GE(document_.loaded.first().timing, 0.0);
    EXPECT_EQ(statusManager_->connectionStatusText(), "SQL statement executed successfully");
    EXPECT_TRUE(controller_->ddlDirtyFlag());
    const VornResultsetPtr rows = root_->resultset();
    ASSERT_TRUE(rows);
    EXPECT_EQ(rows->rowCount(), 2);
    const QVariantMap first = rows->rowValues(1);
    EXPECT_EQ(first.value(first.contains("id") ? "id" : "ID").toInt(), 7);

    document_.parameters = {{"ID", "9"}, {"NAME", "nine"}};
    run("INSERT INTO vse_items VALUES (:id, :name)");
    EXPECT_EQ(lastResult(), "Successfully inserted 1 row");
    run("UPDATE vse_items SET name = 'x' WHERE id > 7");
    EXPECT_EQ(lastResult(), "Successfully updated 2 rows");
    EXPECT_EQ(controller_->getSqlParameterCache().value("NAME"), "nine");
}

TEST_P(SQLEditorControllerBackendTest, AFailingStatementEndsTheRunWithItsError)
{
    run("DROP TABLE IF EXISTS vse_items");
    run("CREATE TABLE vse_items (id INTEGER);\nSELECT * FROM vse_missing_table;\nDROP TABLE vse_items");
    const QString result = lastResult();
    EXPECT_TRUE(result.startsWith("An error occurred while executing the SQL statement.\n\n"))
        << result.toStdString();
    EXPECT_TRUE(result.contains("vse_missing_table", Qt::CaseInsensitive)) << result.toStdString();
    EXPECT_EQ(statusManager_->connectionStatusText(), "Error executing SQL Statement");
    ASSERT_EQ(statusManager_->messageQueue().size(), 1);
    EXPECT_EQ(statusManager_->messageQueue().first()->title, "Error executing SQL Statement");
    run("SELECT id FROM vse_items");
    EXPECT_EQ(document_.loaded.size(), 1) << "the table after the failure was not dropped";
}

TEST_P(SQLEditorControllerBackendTest, HalfACharacterIsRefusedWithWhereItIsAndNothingIsSent)
{
    run("DROP TABLE IF EXISTS vse_items");
    run("CREATE TABLE vse_items (id INTEGER, name VARCHAR(40))");
    const QChar high(0xD83D), low(0xDE42);
    const struct {
        const char *name;
        QString sql;
        QVariantMap parameters;
        QString where;
    } cases[] = {
        {"a high surrogate in the text",
         "INSERT INTO vse_items\nVALUES (1, 'a" + QString(high) + "b')",
         {},
         "at line 2, column 14."},
        {"a low surrogate first",
         "INSERT INTO vse_items VALUES (2, '" + QString(low) + "')",
         {},
         "at line 1, column 35."},
        {"a second statement, on an indented line",
         "SELECT 1;\n  SELECT '" + QString(high),
         {},
         "at line 1, column 9."},
        {"a parameter's value",
         "INSERT INTO vse_items VALUES (3, :name)",
         {{"NAME", "xy" + QString(low)}},
         "parameter :name holds half a character (an unpaired UTF-16 surrogate) at position 3."},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        document_.parameters = c.parameters;
        run(c.sql);
        const QString result = lastResult();
        EXPECT_TRUE(result.startsWith("An error occurred while executing the SQL statement.\n\n"))
            << result.toStdString();
        EXPECT_TRUE(result.contains(c.where)) << result.toStdString();
        EXPECT_TRUE(result.contains("was not sent")) << result.toStdString();
        EXPECT_EQ(statusManager_->connectionStatusText(), "Error executing SQL Statement");
    }
    // A whole character of two surrogates is text like any other.
    document_.parameters = {{"NAME", QString(high) + low}};
    run("INSERT INTO vse_items VALUES (4, :name)");
    EXPECT_EQ(lastResult(), "Successfully inserted 1 row");
    run("DELETE FROM vse_items");
    EXPECT_EQ(lastResult(), "Successfully deleted 1 row") << "none of the refused rows reached the table";
}

TEST_P(SQLEditorControllerBackendTest, ALongStatementIsStopped)
{
    const int releases = document_.releases;
    start(longStatement());
    // The client has no question for it: the test asks the backend's browser itself.
    const QoJavaObjectPtr browser = asObject(root_->object()->call("browser"));
    ASSERT_WAIT_FOR_MS(browser->call("canStopStoppableStatement").toBool(), 10000);
    ASSERT_TRUE(controller_->canCancelExecution());
    EXPECT_FALSE(controller_->canExecuteSQLInRange({0, 0})) << "the root is reserved while it runs";
    controller_->cancelExecution();
    waitForEnd(releases);
    EXPECT_EQ(lastResult(), "Stopped execution of SQL statement");
    EXPECT_EQ(statusManager_->connectionStatusText(), "Stopped execution of SQL statement");
    EXPECT_TRUE(statusManager_->messageQueue().isEmpty()) << "a stop is no error to alert about";
    run("SELECT 1");
    EXPECT_EQ(document_.loaded.size(), 1) << "the connection works after the stop";
}

TEST_P(SQLEditorControllerBackendTest, AStopRightAfterTheStartIsNeverLost)
{
    // Sleeps where the server has them: a statement that ran on would only wait, not burn the server.
    const QString statement = GetParam() == "PostgreSQL" ? "SELECT pg_sleep(60)"
                              : GetParam() == "MySQL"    ? "SELECT SLEEP(60)"
                                                         : longStatement();
    for (int attempt = 0; attempt < 5; ++attempt) {
        SCOPED_TRACE(attempt);
        const int releases = document_.releases;
        start(statement);
        ASSERT_WAIT_FOR(controller_->isExecuting());
        controller_->cancelExecution();
        ASSERT_WAIT_FOR_MS(document_.releases > releases, 20000);
        waitForEnd(releases);
        EXPECT_EQ(lastResult(), "Stopped execution of SQL statement");
    }
}

TEST_P(SQLEditorControllerBackendTest, AStopTheServerLeavesUnansweredCanDropTheConnection)
{
    if (GetParam() == "SQLite")
        GTEST_SKIP() << "a local file has no network to stall";
    const DatabaseTarget server = *serverTarget(GetParam());
    TcpProxy proxy(server.server, server.port);
    ConnectRequestFields request{.server = server.server,
                                 .port = proxy.port(),
                                 .database = server.database,
                                 .userName = server.user,
                                 .password = server.password,
                                 .databaseType = server.type,
                                 .clientName = "Vorn test",
                                 .timeOutSeconds = 10,
                                 .flags = 1};
    ASSERT_TRUE(root_->startNewConnection(request));
    double now = 100;
    controller_->setClock([&] { return now; });

    const int releases = document_.releases;
    start(GetParam() == "PostgreSQL" ? "SELECT pg_sleep(60)" : "SELECT SLEEP(60)");
    const QoJavaObjectPtr browser = asObject(root_->object()->call("browser"));
    ASSERT_WAIT_FOR_MS(browser->call("canStopStoppableStatement").toBool(), 10000);
    proxy.stall();
    controller_->cancelExecution();
    EXPECT_TRUE(controller_->canCancelExecution()) << "Stop stays available after a Stop";
    now += 1;
    controller_->cancelExecution(); // soon after the first: the cancel only goes out again
    EditorTestSupport::processEvents();
    EXPECT_TRUE(statusManager_->messageQueue().isEmpty());

    now += SQLEditorController::unansweredStopSeconds;
    controller_->cancelExecution();
    ASSERT_WAIT_FOR(!statusManager_->messageQueue().isEmpty());
    const std::shared_ptr<StatusManagerMessage> offer = statusManager_->messageQueue().last();
    EXPECT_EQ(offer->title, "The database does not answer");
    EXPECT_EQ(offer->defaultButton, "Drop Connection");
    EXPECT_EQ(offer->alternateButton, "Keep Waiting");
    offer->action(0);
    EXPECT_TRUE(controller_->isExecuting()) << "keeping on waiting changes nothing";
    offer->action(1);
    ASSERT_WAIT_FOR_MS(document_.releases > releases, 5000);
    waitForEnd(releases);
    EXPECT_EQ(lastResult(), "Stopped execution of SQL statement");
    EXPECT_FALSE(root_->hasConnection());
    EXPECT_FALSE(controller_->canCancelExecution());

    // With the network back, the connection comes back; then it leaves the proxy before the proxy goes.
    proxy.resume();
    ASSERT_TRUE(root_->startNewConnection(request));
    run("SELECT 1");
    EXPECT_EQ(document_.loaded.size(), 1);
    request.port = server.port;
    ASSERT_TRUE(root_->startNewConnection(request));
}

// A script that defines routines runs as the database's own client would run it: bodies are never
// cut at their inner separators (a piece "END" alone would commit the user's transaction).
TEST_P(SQLEditorControllerBackendTest, AScriptWithRoutineBodiesRunsAsItsStatements)
{
    QString script;
    if (GetParam() == "PostgreSQL") {
        script = "DROP TABLE IF EXISTS vse_items;\n"
                 "CREATE TABLE vse_items (id INTEGER);\n"
                 "CREATE OR REPLACE FUNCTION vse_add(i int) RETURNS int AS $$\n"
                 "BEGIN\n"
                 "    INSERT INTO vse_items VALUES (i);\n"
                 "    RETURN i + 1;\n"
                 "END\n"
                 "$$ LANGUAGE plpgsql;\n"
                 "CREATE OR REPLACE PROCEDURE vse_two() LANGUAGE sql\n"
                 "BEGIN ATOMIC\n"
                 "    INSERT INTO vse_items VALUES (20);\n"
                 "    INSERT INTO vse_items VALUES (CASE WHEN 1 = 1 THEN 21 ELSE 0 END);\n"
                 "END;\n"
                 "CALL vse_two();\n"
                 "SELECT vse_add(10);\n"
                 "SELECT count(*) AS n FROM vse_items";
    } else if (GetParam() == "MySQL") {
        script = "DROP TABLE IF EXISTS vse_items;\n"
                 "DROP PROCEDURE IF EXISTS vse_two;\n"
                 "CREATE TABLE vse_items (id INTEGER);\n"
                 "DELIMITER //\n"
                 "CREATE PROCEDURE vse_two()\n"
                 "BEGIN\n"
                 "    INSERT INTO vse_items VALUES (20);\n"
                 "    INSERT INTO vse_items VALUES (21);\n"
                 "END//\n"
                 "INSERT INTO vse_items VALUES (10)//\n"
                 "DELIMITER ;\n"
                 "CALL vse_two();\n"
                 "SELECT count(*) AS n FROM vse_items";
    } else {
        GTEST_SKIP() << "SQLite has no routines";
    }
    run(script);
    const QString routines = GetParam() == "PostgreSQL" ? "DROP PROCEDURE IF EXISTS vse_two; DROP FUNCTION "
                                                          "IF EXISTS vse_add"
                                                        : "DROP PROCEDURE IF EXISTS vse_two";
    ASSERT_FALSE(document_.loaded.isEmpty()) << document_.results.join('|').toStdString();
    EXPECT_EQ(document_.loaded.last().source.trimmed(), "SELECT count(*) AS n FROM vse_items");
    const VornResultsetPtr rows = root_->resultset();
    ASSERT_TRUE(rows);
    const QVariantMap counted = rows->rowValues(1);
    EXPECT_EQ(counted.value(counted.contains("n") ? "n" : "N").toInt(), 3)
        << document_.results.join('|').toStdString();
    run(routines);
}
