// Statements through the root's SQL connection: parameters, counts and types, transactions and cancel.
#include "BackendTestSupport.h"
#include "LongStatements.h"
#include "TestServers.h"
#include "WaitFor.h"
#include "bridge/QoJavaBridge.h"
#include "bridge/QoJavaClass.h"

#include <QTest>
#include <gtest/gtest.h>

#include <atomic>
#include <future>

namespace
{
class BackendStatementTest : public DatabaseTest
{
protected:
    QVariant firstValue(const TestRoot &root, const QString &sql, const QString &column)
    {
        EXPECT_TRUE(root.execute(sql)) << root.lastErrorMessage().toStdString();
        return dictionary(root.resultset()->call("getRow:", {1})).value(column);
    }

    QString longStatement() const { return longStatementFor(GetParam()); }
};

VORN_FOR_EVERY_DATABASE(BackendStatementTest);
} // namespace

TEST_P(BackendStatementTest, CountsAndTypesOfStatementsWithoutRows)
{
    auto root = connected(1);
    root->execute("DROP TABLE IF EXISTS vbs_counts");
    struct Case {
        QString sql;
        QString type;
        int count;
    };
    const std::vector<Case> cases{
        {"CREATE TABLE vbs_counts (id INTEGER, name VARCHAR(40))", "CREATE", -2},
        {"INSERT INTO vbs_counts VALUES (1, 'a'), (2, 'b'), (3, 'c')", "INSERT", 3},
        {"  -- leading comment\n  update vbs_counts SET name = 'x' WHERE id > 1", "UPDATE", 2},
        {"/* block */ DELETE FROM vbs_counts WHERE id = 1", "DELETE", 1},
        {"DELETE FROM vbs_counts WHERE id = 99", "DELETE", 0},
        {"DROP TABLE vbs_counts", "DROP", -2},
    };
    const QoJavaObjectPtr sql = root->sqlConnection();
    for (const Case &c : cases) {
        SCOPED_TRACE(c.sql.toStdString());
        EXPECT_FALSE(root->execute(c.sql));
        ASSERT_TRUE(root->lastActionSuccessful()) << root->lastErrorMessage().toStdString();
        EXPECT_EQ(sql->call("statementType").toString(), c.type);
        if (c.count != -2) {
            EXPECT_EQ(sql->call("resultCount").toInt(), c.count);
        }
        EXPECT_FALSE(root->resultset()) << "a statement without rows leaves no result set";
    }
    EXPECT_TRUE(sql->call("executable:", {"SELECT 1"}).toBool());
    EXPECT_FALSE(sql->call("executable:", {"  -- only a comment\n"}).toBool());
    EXPECT_FALSE(sql->call("executable:", {"/* only a comment */"}).toBool());
    EXPECT_TRUE(sql->call("executable:", {"/*!40101 SET @vorn_x = 1 */"}).toBool())
        << "a MySQL executable comment is sent";
}

TEST_P(BackendStatementTest, QuestionMarksTakeOneValuePerOccurrence)
{
    auto root = connected(1);
    root->execute("DROP TABLE IF EXISTS vbs_params");
    ASSERT_TRUE(root->run("CREATE TABLE vbs_params (id INTEGER, name VARCHAR(40), note VARCHAR(40))"));
    ASSERT_TRUE(
        root->run("INSERT INTO vbs_params VALUES (?, ?, ?)", {"1", QString("Zoë ☃ 漢字"), QVariant()}));
    ASSERT_TRUE(root->run("INSERT INTO vbs_params VALUES (?, ?, ?)", {"2", "it's", "x"}));

    EXPECT_TRUE(root->execute("SELECT id, name, note FROM vbs_params WHERE id = ? OR name = ? ORDER BY id",
                              {"1", "it's"}));
    const QoJavaObjectPtr rows = root->resultset();
    ASSERT_TRUE(rows);
    EXPECT_EQ(rows->call("rowCount").toInt(), 2);
    const QVariantMap first = dictionary(rows->call("getRow:", {1}));
    EXPECT_EQ(first.value("name").toString(), QString("Zoë ☃ 漢字"));
    EXPECT_FALSE(first.contains("note")) << "NULL is an absent key";
    EXPECT_EQ(dictionary(rows->call("getRow:", {2})).value("name").toString(), "it's");

    EXPECT_FALSE(root->execute("SELECT nonexistent_column FROM vbs_params"));
    EXPECT_FALSE(root->lastActionSuccessful());
    EXPECT_TRUE(root->lastErrorMessage().contains("nonexistent_column"))
        << root->lastErrorMessage().toStdString();
    EXPECT_TRUE(root->isTrue("isConnected")) << "a failed statement is not a broken connection";
    root->execute("DROP TABLE vbs_params");
}

TEST_P(BackendStatementTest, CommitRollbackAndUncommittedChanges)
{
    auto setup = connected(1);
    setup->execute("DROP TABLE IF EXISTS vbs_tx");
    ASSERT_TRUE(setup->run("CREATE TABLE vbs_tx (id INTEGER)"));
    setup.reset();

    auto root = connected(0);
    EXPECT_FALSE(root->isTrue("dirty"));
    ASSERT_TRUE(root->run("SELECT id FROM vbs_tx"));
    EXPECT_FALSE(root->isTrue("dirty")) << "reading changes nothing";
    ASSERT_TRUE(root->run("INSERT INTO vbs_tx VALUES (1)"));
    EXPECT_TRUE(root->isTrue("dirty"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return root->call("dirtySeconds").toInt() >= 1; }, 5000));
    root->call("resetDirtySeconds");
    EXPECT_EQ(root->call("dirtySeconds").toInt(), 0);
    EXPECT_TRUE(root->isTrue("dirty"));

    root->call("rollback");
    ASSERT_TRUE(root->lastActionSuccessful()) << root->lastErrorMessage().toStdString();
    EXPECT_FALSE(root->isTrue("dirty"));
    EXPECT_EQ(firstValue(*root, "SELECT count(*) AS n FROM vbs_tx", "n").toString(), "0");

    ASSERT_TRUE(root->run("INSERT INTO vbs_tx VALUES (2)"));
    root->call("commit");
    ASSERT_TRUE(root->lastActionSuccessful()) << root->lastErrorMessage().toStdString();
    EXPECT_FALSE(root->isTrue("dirty"));
    root.reset();

    auto other = connected(1);
    EXPECT_EQ(firstValue(*other, "SELECT count(*) AS n FROM vbs_tx", "n").toString(), "1");
    ASSERT_TRUE(other->run("INSERT INTO vbs_tx VALUES (3)"));
    EXPECT_FALSE(other->isTrue("dirty")) << "auto-commit leaves nothing to commit";
    other->call("commit");
    EXPECT_TRUE(other->lastActionSuccessful());
    other->execute("DROP TABLE vbs_tx");
}

TEST_P(BackendStatementTest, AFailureThatSpoilsTheTransactionLeavesItToBeEnded)
{
    auto root = connected(0);
    EXPECT_FALSE(root->execute("SELECT * FROM vbs_no_such_table"));
    // PostgreSQL refuses everything after a failure until the transaction ends.
    EXPECT_EQ(root->isTrue("dirty"), GetParam() == "PostgreSQL");
    root->call("rollback");
    EXPECT_TRUE(root->lastActionSuccessful()) << root->lastErrorMessage().toStdString();
    EXPECT_FALSE(root->isTrue("dirty"));
    EXPECT_TRUE(root->run("SELECT 1"));
}

TEST_P(BackendStatementTest, AnAutoCommitQueryWhoseCommitFailsIsAFailedStatement)
{
    if (GetParam() != "PostgreSQL")
        GTEST_SKIP() << "only PostgreSQL defers foreign keys to the commit";
    auto root = connected(1);
    root->execute("DROP TABLE IF EXISTS vbs_child");
    root->execute("DROP TABLE IF EXISTS vbs_parent");
    ASSERT_TRUE(root->run("CREATE TABLE vbs_parent (id INTEGER PRIMARY KEY)"));
    ASSERT_TRUE(root->run("CREATE TABLE vbs_child (id INTEGER, parent INTEGER REFERENCES vbs_parent "
                          "DEFERRABLE INITIALLY DEFERRED)"));
    // One row, and more rows than the first portion: the check comes at the commit either way.
    for (const QString rows : {"VALUES (1, 99)", "SELECT g, 99 FROM generate_series(1, 500) g"}) {
        SCOPED_TRACE(rows.toStdString());
        const bool producedRows =
            root->execute("WITH ins AS (INSERT INTO vbs_child " + rows + " RETURNING id) SELECT id FROM ins");
        EXPECT_FALSE(root->lastActionSuccessful());
        EXPECT_TRUE(root->lastErrorMessage().contains("foreign key"))
            << root->lastErrorMessage().toStdString();
        EXPECT_FALSE(producedRows);
        EXPECT_FALSE(root->resultset()) << "no rows of a statement that did not happen";
        EXPECT_TRUE(root->isTrue("isConnected"));
    }
    EXPECT_EQ(firstValue(*root, "SELECT count(*) AS n FROM vbs_child", "n").toString(), "0");

    // A commit that holds keeps the statement's rows and changes.
    EXPECT_TRUE(
        root->execute("WITH ins AS (INSERT INTO vbs_parent VALUES (99) RETURNING id) SELECT id FROM ins"));
    EXPECT_TRUE(root->lastActionSuccessful()) << root->lastErrorMessage().toStdString();
    auto other = connected(1);
    EXPECT_EQ(firstValue(*other, "SELECT count(*) AS n FROM vbs_parent", "n").toString(), "1");
    root->execute("DROP TABLE vbs_child");
    root->execute("DROP TABLE vbs_parent");
}

// An auto-commit query that reads by its words streams in a read-only transaction of its own, so its
// first rows need no second round trip to learn whether it wrote. A write hidden in a function must still
// land exactly once, or fail loudly.
TEST_P(BackendStatementTest, AnAutoCommitQueryThatWritesThroughAFunctionWritesOnceOrFails)
{
    if (GetParam() != "PostgreSQL")
        GTEST_SKIP() << "only PostgreSQL streams a query in a transaction of its own";
    auto setup = connected(1);
    setup->execute("DROP TABLE IF EXISTS vbs_log");
    ASSERT_TRUE(setup->run("CREATE TABLE vbs_log (n INTEGER)"));
    ASSERT_TRUE(setup->run("CREATE OR REPLACE FUNCTION vbs_log_from(n int, first int) RETURNS int AS $$ "
                           "BEGIN IF n >= first THEN INSERT INTO vbs_log VALUES (n); END IF; RETURN n; END "
                           "$$ LANGUAGE plpgsql"));
    auto logged = [&] { return firstValue(*setup, "SELECT count(*) AS n FROM vbs_log", "n").toInt(); };
    auto root = connected(1, 0);
    auto loadAll = [&] {
        const QoJavaObjectPtr rows = root->resultset();
        while (root->lastActionSuccessful() && !rows->call("fullyLoaded").toBool())
            rows->call("preload");
        return rows->call("rowCount").toInt();
    };

    // A write on the first row is refused before any row shows; the query runs again as a writer.
    ASSERT_TRUE(root->execute("SELECT vbs_log_from(g, 1) AS n FROM generate_series(1, 3) g"))
        << root->lastErrorMessage().toStdString();
    EXPECT_EQ(loadAll(), 3);
    EXPECT_EQ(logged(), 3) << "the write lands once, committed";

    // A write only past the first rows: the rows shown cannot be taken back, so the load fails with a
    // message and writes nothing; the same text then runs as a writer.
    const QString late = "SELECT vbs_log_from(g, 300) AS n FROM generate_series(1, 400) g";
    ASSERT_TRUE(root->execute(late)) << root->lastErrorMessage().toStdString();
    loadAll();
    EXPECT_FALSE(root->lastActionSuccessful());
    EXPECT_TRUE(root->lastErrorMessage().contains("Run it again")) << root->lastErrorMessage().toStdString();
    EXPECT_EQ(logged(), 3);
    ASSERT_TRUE(root->execute(late)) << root->lastErrorMessage().toStdString();
    EXPECT_EQ(loadAll(), 400);
    EXPECT_TRUE(root->lastActionSuccessful()) << root->lastErrorMessage().toStdString();
    EXPECT_EQ(logged(), 3 + 101);

    // Where every transaction is read-only, the write fails with the server's own word only.
    ASSERT_TRUE(root->run("SET default_transaction_read_only = on"));
    EXPECT_FALSE(root->execute("SELECT vbs_log_from(1, 1) AS n"));
    EXPECT_FALSE(root->lastActionSuccessful());
    EXPECT_TRUE(root->lastErrorMessage().contains("read-only")) << root->lastErrorMessage().toStdString();
    EXPECT_FALSE(root->lastErrorMessage().contains("Run it again"));
    EXPECT_EQ(logged(), 3 + 101);
    ASSERT_TRUE(root->run("SET default_transaction_read_only = off"));
    EXPECT_TRUE(root->run("SELECT 1")) << "the connection works on";
    root.reset();

    setup->execute("DROP FUNCTION vbs_log_from(int, int)");
    setup->execute("DROP TABLE vbs_log");
}

TEST_P(BackendStatementTest, ManualCommitCountsEveryStatementThatMayHaveWritten)
{
    const QString type = GetParam();
    auto setup = connected(1);
    setup->execute("DROP TABLE IF EXISTS vbs_work");
    setup->execute("DROP TABLE IF EXISTS vbs_copy");
    ASSERT_TRUE(setup->run("CREATE TABLE vbs_work (id INTEGER)"));
    ASSERT_TRUE(setup->run("INSERT INTO vbs_work VALUES (1)"));
    if (type == "PostgreSQL") {
        ASSERT_TRUE(setup->run("CREATE OR REPLACE FUNCTION vbs_touch() RETURNS int AS $$ BEGIN "
                               "INSERT INTO vbs_work VALUES (0); RETURN 1; END $$ LANGUAGE plpgsql"));
    } else if (type == "MySQL") {
        setup->execute("DROP FUNCTION IF EXISTS vbs_touch");
        ASSERT_TRUE(setup->run("CREATE FUNCTION vbs_touch() RETURNS INT MODIFIES SQL DATA BEGIN "
                               "INSERT INTO vbs_work VALUES (0); RETURN 1; END"));
    }
    struct Case {
        QString sql;
        bool dirty;
    };
    std::vector<Case> cases{
        {"SELECT id FROM vbs_work", false},
        {"WITH w AS (SELECT id FROM vbs_work) SELECT id FROM w", false},
        {"INSERT INTO vbs_work VALUES (2)", true},
    };
    if (type == "PostgreSQL") {
        cases.push_back({"SELECT vbs_touch()", true});
        cases.push_back({"SELECT vbs_touch() FROM generate_series(1, 150)", true});
        cases.push_back(
            {"WITH ins AS (INSERT INTO vbs_work VALUES (3) RETURNING id) SELECT id FROM ins", true});
        cases.push_back({"SELECT id INTO vbs_copy FROM vbs_work", true});
        cases.push_back({"UPDATE vbs_work SET id = 4 WHERE 1 = 0", false});
    } else if (type == "MySQL") {
        cases.push_back({"SELECT vbs_touch()", true});
        cases.push_back({"SELECT vbs_touch() FROM seq_1_to_150", true});
        cases.push_back({"SELECT id INTO @vbs_id FROM vbs_work LIMIT 1", false});
        cases.push_back({"UPDATE vbs_work SET id = 4 WHERE 1 = 0", false});
    }
    auto root = connected(0);
    for (const Case &c : cases) {
        SCOPED_TRACE(c.sql.toStdString());
        ASSERT_TRUE(root->run(c.sql));
        EXPECT_EQ(root->isTrue("dirty"), c.dirty);
        // A read after a change leaves the change counted.
        ASSERT_TRUE(root->run("SELECT id FROM vbs_work"));
        EXPECT_EQ(root->isTrue("dirty"), c.dirty);
        root->call("rollback");
        ASSERT_TRUE(root->lastActionSuccessful()) << root->lastErrorMessage().toStdString();
        EXPECT_FALSE(root->isTrue("dirty"));
    }
    // Committing leaves nothing counted, for the statements after it too.
    ASSERT_TRUE(root->run("INSERT INTO vbs_work VALUES (5)"));
    root->call("commit");
    ASSERT_TRUE(root->run("SELECT id FROM vbs_work"));
    EXPECT_FALSE(root->isTrue("dirty"));
    ASSERT_TRUE(root->run("INSERT INTO vbs_work VALUES (6)"));
    ASSERT_TRUE(root->run("COMMIT"));
    ASSERT_TRUE(root->run("SELECT id FROM vbs_work"));
    EXPECT_FALSE(root->isTrue("dirty"));
    root.reset();

    if (type != "SQLite")
        setup->execute(type == "PostgreSQL" ? "DROP FUNCTION vbs_touch()" : "DROP FUNCTION vbs_touch");
    setup->execute("DROP TABLE IF EXISTS vbs_copy");
    setup->execute("DROP TABLE vbs_work");
}

TEST_P(BackendStatementTest, DataDefinitionCommitsWhereTheDatabaseSaysSo)
{
    auto root = connected(0);
    root->execute("DROP TABLE IF EXISTS vbs_ddl");
    root->call("commit");
    ASSERT_TRUE(root->run("CREATE TABLE vbs_ddl (id INTEGER)"));
    const bool implicitCommit = root->isTrue("dataDefinitionCausesTransactionCommit");
    EXPECT_EQ(implicitCommit, GetParam() == "MySQL");
    EXPECT_EQ(root->isTrue("dirty"), !implicitCommit);
    root->call("commit");
    root->execute("DROP TABLE vbs_ddl");
    root->call("commit");
}

TEST_P(BackendStatementTest, ALongStatementIsCancelledFromAnotherThread)
{
    auto root = connected(1);
    bool producedRows = true;
    QString outcome;
    JavaThread statement([&] {
        producedRows = root->execute(longStatement());
        outcome = root->lastErrorMessage();
    });
    const QoJavaObjectPtr browser = asObject(root->call("browser"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return browser->call("canStopStoppableStatement").toBool(); }, 10000));
    // Getters answer while the statement holds the connection.
    EXPECT_TRUE(root->isTrue("hasConnection"));
    EXPECT_FALSE(root->isTrue("dirty"));
    root->sqlConnection()->call("cancelQuery");
    statement.join();
    EXPECT_FALSE(producedRows);
    EXPECT_EQ(outcome, "CANCELLED");
    EXPECT_TRUE(root->isTrue("isConnected"));
    EXPECT_TRUE(root->run("SELECT 1")) << "the connection works after a cancel";
}

TEST_P(BackendStatementTest, AStopBeforeTheStatementReachesTheServerStopsIt)
{
    auto root = connected(1);
    const QoJavaObjectPtr sql = root->sqlConnection();
    // The editor reserves the root, starts its worker, and the user stops before the statement is sent.
    ASSERT_TRUE(root->call("reserveRoot:", {"SQL Statement Execution"}).toBool());
    sql->call("cancelQuery");
    std::atomic<bool> done{false};
    QString outcome;
    JavaThread statement([&] {
        root->execute(longStatement());
        outcome = root->lastErrorMessage();
        done = true;
    });
    VORN_WAIT_UNTIL(done, 20000);
    const bool stopped = done;
    if (!stopped)
        sql->call("cancelQuery"); // ends the statement that ran on
    statement.join();
    EXPECT_TRUE(stopped) << "the early Stop was lost";
    EXPECT_EQ(outcome, "CANCELLED");
    root->call("releaseReservedRoot");

    // The Stop belonged to that action: neither the next reserved action nor an unreserved one is stopped.
    ASSERT_TRUE(root->call("reserveRoot:", {"SQL Statement Execution"}).toBool());
    EXPECT_TRUE(root->run("SELECT 1"));
    root->call("releaseReservedRoot");
    sql->call("cancelQuery"); // nothing runs and nothing is reserved
    EXPECT_TRUE(root->run("SELECT 1"));
}

TEST_P(BackendStatementTest, AConnectionKilledByTheServerIsFoundBrokenByTheNextAction)
{
    if (GetParam() == "SQLite")
        GTEST_SKIP() << "a local file has no server to end the connection";
    auto root = connected(1);
    auto killer = connected(1);
    const QString ownId =
        GetParam() == "PostgreSQL" ? "SELECT pg_backend_pid() AS id" : "SELECT CONNECTION_ID() AS id";
    const QString id = firstValue(*root, ownId, "id").toString();
    ASSERT_TRUE(
        killer->run(GetParam() == "PostgreSQL" ? "SELECT pg_terminate_backend(" + id + ")" : "KILL " + id));

    EXPECT_TRUE(root->isTrue("isConnected")) << "nothing is known before the next action";
    EXPECT_FALSE(root->execute("SELECT 1"));
    EXPECT_FALSE(root->lastActionSuccessful());
    EXPECT_FALSE(root->isTrue("isConnected"));
    EXPECT_TRUE(root->isTrue("hasConnection")) << "the connection object stays until it is ended";
    root->call("endConnection");
    EXPECT_FALSE(root->isTrue("hasConnection"));
}

TEST_P(BackendStatementTest, EachThreadReadsTheOutcomeOfItsOwnLastAction)
{
    auto root = connected(1);
    std::promise<void> executed;
    std::promise<void> focusChecked;
    bool workerSucceeded = true;
    QString workerMessage;
    JavaThread worker([&] {
        root->execute("SELECT * FROM vbs_no_such_table");
        executed.set_value();
        focusChecked.get_future().wait();
        workerSucceeded = root->lastActionSuccessful();
        workerMessage = root->lastErrorMessage();
    });
    executed.get_future().wait();
    bool readerSucceeded = true;
    // A thread that made no action of its own sees the latest one.
    JavaThread([&] { readerSucceeded = root->lastActionSuccessful(); }).join();
    EXPECT_FALSE(readerSucceeded);
    // The main thread's focus check in between must not hide the worker's failure from the worker.
    EXPECT_TRUE(root->call("allowFocusChange").toBool());
    EXPECT_TRUE(root->lastActionSuccessful());
    focusChecked.set_value();
    worker.join();
    EXPECT_FALSE(workerSucceeded);
    EXPECT_TRUE(workerMessage.contains("vbs_no_such_table")) << workerMessage.toStdString();
}

TEST(BackendStatementErrorTest, AJavaErrorInsideAnActionIsAFailure)
{
    // Two lists that hold each other: the SQLite driver binds an unknown value through its text, and
    // writing that text overflows the stack.
    QTemporaryDir folder;
    TestRoot root;
    ASSERT_TRUE(root.connect(sqliteTarget(folder)));
    QoJavaClass *listClass = startedBackend()->classForName("java.util.ArrayList");
    ASSERT_NE(listClass, nullptr);
    const QoJavaObjectPtr first = listClass->newObject();
    const QoJavaObjectPtr second = listClass->newObject();
    first->call("add:", {QVariant::fromValue(second)});
    second->call("add:", {QVariant::fromValue(first)});

    EXPECT_FALSE(root.execute("SELECT ? AS v", {QVariant::fromValue(first)}));
    EXPECT_FALSE(root.lastActionSuccessful());
    EXPECT_EQ(root.lastErrorMessage(), "StackOverflowError");
    EXPECT_TRUE(root.run("SELECT 1")) << "the connection is free again";
}
