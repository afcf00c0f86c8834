// Connecting, failing to connect, time-outs, cancels and the root's reservation, through the bridge.
#include "BackendTestSupport.h"
#include "SilentServer.h"
#include "TestServers.h"
#include "bridge/JavaUtils.h"
#include "bridge/QoJavaBridge.h"
#include "bridge/QoJavaClass.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <atomic>
#include <vector>

namespace
{
QList<DatabaseTarget> availableTargets(const QTemporaryDir &folder)
{
    QList<DatabaseTarget> targets{sqliteTarget(folder)};
    for (const QString type : {"PostgreSQL", "MySQL"}) {
        if (auto target = serverTarget(type))
            targets << *target;
        else if (TestServers::required())
            ADD_FAILURE() << type.toStdString() << " test server missing";
    }
    return targets;
}
} // namespace

TEST(BackendConnectionTest, DatabaseTypesAnswerTheirStaticQuestions)
{
    QoJavaClass *rootClass = startedBackend()->classForName("nl.dalmerik.vorn.VornRoot");
    ASSERT_NE(rootClass, nullptr);
    struct Case {
        QString type;
        bool localFile;
        bool dedicatedTransactions;
    };
    const std::vector<Case> cases{{"SQLite", true, true},  {"PostgreSQL", false, true},
                                  {"MySQL", false, false}, {"SQL Server", false, true},
                                  {"Oracle", false, true}, {"DB2", false, false}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.type.toStdString());
        EXPECT_EQ(rootClass->callStatic("databaseTypeHasLocalDatabaseFileConnection:", {c.type}).toBool(),
                  c.localFile);
        EXPECT_EQ(rootClass->callStatic("databaseTypeHasDedicatedTransactionSupport:", {c.type}).toBool(),
                  c.dedicatedTransactions);
    }
}

TEST(BackendConnectionTest, StartUpClassesLoadByName)
{
    for (const QString name : {"VornBrowser", "VornConnectionMetaData", "VornResultset", "VornInfo",
                               "VornResultsetMetaData", "VornCatalogSchema"})
        EXPECT_NE(startedBackend()->classForName("nl/dalmerik/vorn/" + name), nullptr) << name.toStdString();
    // The start-up warm-up: a root made, initialised and de-initialised without a connection.
    TestRoot warmUp(2000);
    warmUp.call("deInitialize");
    EXPECT_TRUE(warmUp.lastActionSuccessful());
}

TEST(BackendConnectionTest, ConnectsAndDescribesTheConnection)
{
    QTemporaryDir folder;
    for (const DatabaseTarget &target : availableTargets(folder)) {
        SCOPED_TRACE(target.type.toStdString());
        TestRoot root;
        EXPECT_FALSE(root.isTrue("hasConnection"));
        ASSERT_TRUE(root.connect(target)) << root.lastErrorMessage().toStdString();
        EXPECT_TRUE(root.isTrue("hasConnection"));
        EXPECT_TRUE(root.isTrue("isConnected"));
        EXPECT_EQ(root.call("connectionType").toString(), target.type);
        EXPECT_EQ(root.call("database").toString(), target.database);
        EXPECT_EQ(root.call("server").toString(), target.server);
        EXPECT_EQ(root.call("username").toString(), target.user);
        EXPECT_EQ(root.isTrue("localDatabaseFileConnection"), target.type == "SQLite");

        const QVariantMap info = dictionary(root.call("connectionInfo"));
        for (const QString key : {"connectedAs", "connectedTo", "connectedSince", "dbDriverName",
                                  "dbDriverVersion", "dbProductName", "dbProductVersion"})
            EXPECT_TRUE(info.contains(key)) << key.toStdString();
        EXPECT_TRUE(info.value("connectedTo").toString().contains(target.database));

        const QoJavaObjectPtr browser = asObject(root.call("browser"));
        ASSERT_TRUE(browser);
        const QString schema = browser->call("selectedSchema").toString();
        EXPECT_FALSE(schema.isEmpty());
        EXPECT_TRUE(stringList(browser->call("schemas")).contains(schema));

        const QoJavaObjectPtr metaData = asObject(root.call("connectionMetaData"));
        const QStringList reserved = stringList(metaData->call("reservedWords"));
        EXPECT_TRUE(reserved.contains("select"));
        for (const QString &word : reserved)
            ASSERT_EQ(word, word.toLower());
        EXPECT_TRUE(metaData->description().contains(target.database));

        root.call("endConnection");
        EXPECT_TRUE(root.lastActionSuccessful());
        EXPECT_FALSE(root.isTrue("hasConnection"));
        EXPECT_FALSE(root.isTrue("isConnected"));
    }
}

TEST(BackendConnectionTest, FailedConnectsSayWhyAndLeaveNoConnection)
{
    QTemporaryDir folder;
    const QString missingFile = folder.filePath("missing.db");
    const SilentServer closedSoon;
    const QString unusedPort = closedSoon.port();
    struct Case {
        QString name;
        DatabaseTarget target;
        QString messagePart;
    };
    std::vector<Case> cases{
        {"missing SQLite file", {"SQLite", "", "", missingFile, "", ""}, "does not exist"},
        {"unknown host",
         {"PostgreSQL", "no-such-host.invalid", "5432", "db", "u", "p"},
         "no-such-host.invalid"},
        {"SQL Server without a server", {"SQL Server", "127.0.0.1", "1", "db", "u", "p"}, "refused"},
        {"Oracle without its driver",
         {"Oracle", "127.0.0.1", "1521", "db", "u", "p"},
         "oracle.jdbc.OracleDriver"},
        {"port that is no number", {"MySQL", "127.0.0.1", "abc", "db", "u", "p"}, "not a valid port"},
        {"unknown database type", {"DB2", "127.0.0.1", "1", "db", "u", "p"}, "DB2"},
    };
    if (auto postgres = serverTarget("PostgreSQL")) {
        postgres->password = "wrong";
        cases.push_back({"PostgreSQL bad password", *postgres, "password authentication failed"});
    }
    if (auto mariadb = serverTarget("MySQL")) {
        mariadb->password = "wrong";
        cases.push_back({"MariaDB bad password", *mariadb, "Access denied"});
    }
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name.toStdString());
        TestRoot root;
        EXPECT_FALSE(root.connect(c.target, 5));
        EXPECT_TRUE(root.lastErrorMessage().contains(c.messagePart)) << root.lastErrorMessage().toStdString();
        EXPECT_FALSE(root.isTrue("hasConnection"));
        root.call("endConnection");
        EXPECT_TRUE(root.lastActionSuccessful());
        root.call("deInitialize");
    }
    EXPECT_FALSE(QFile::exists(missingFile)) << "connecting must never create a database file";
}

TEST(BackendConnectionTest, TheServerFieldTakesOneHostAndNothingElse)
{
    const QString refused = "is not a valid host name";
    const QString closedPort = SilentServer().port(); // closed again at once: connects are refused
    struct Case {
        QString type;
        QString server;
        QString port;
        // A part of the message; empty when the value must pass to the driver.
        QString refusal;
    };
    std::vector<Case> cases{
        // Further hosts, ports, paths and driver options never ride along in the server field.
        {"PostgreSQL", "127.0.0.1:1/db?password=x&sslmode=disable", "", refused},
        {"PostgreSQL", "127.0.0.1,127.0.0.2", "", refused},
        {"MySQL", "127.0.0.1/?allowLoadLocalInfile=true", "", refused},
        {"MySQL", "user@127.0.0.1", "", refused},
        {"SQL Server", "127.0.0.1;user=sa", "", refused},
        {"SQL Server", "[::1]", "", "takes no IPv6 address"},
        {"Oracle", "127.0.0.1/orcl?x=1", "", refused},
        {"Oracle", "127.0.0.1", "1521", "is not a valid Oracle service name"},
        // Forms no address has.
        {"PostgreSQL", "a b", "", refused},
        {"PostgreSQL", "[::1", "", refused},
        {"PostgreSQL", "[db.example.org]", "", refused},
        {"PostgreSQL", "999.1.1.1", "", refused},
        {"MySQL", "-db.example.org", "", refused},
        {"MySQL", "1:2:3:4:5:6:7:8:9", "", refused},
        {"MySQL", "", "", "No server was given."},
        // Host names, IPv4 and IPv6 (bare or in brackets) reach the driver, which finds nothing there.
        {"PostgreSQL", "no-such-host.invalid", closedPort, "no-such-host.invalid"},
        {"PostgreSQL", "my_db.invalid", closedPort, "my_db.invalid"},
        {"PostgreSQL", "127.0.0.2", closedPort, ""},
        {"PostgreSQL", "::1", closedPort, ""},
        {"MySQL", "[::1]", closedPort, ""},
        {"SQL Server", "127.0.0.2", closedPort, ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE((c.type + " " + c.server).toStdString());
        TestRoot root;
        const QString database = c.type == "Oracle" && c.port == "1521" ? "orcl?x=1" : "db";
        EXPECT_FALSE(root.connect({c.type, c.server, c.port, database, "u", "p"}, 5));
        const QString message = root.lastErrorMessage();
        if (c.refusal.isEmpty())
            EXPECT_FALSE(message.contains(refused)) << message.toStdString();
        else
            EXPECT_TRUE(message.contains(c.refusal)) << message.toStdString();
        EXPECT_FALSE(root.isTrue("hasConnection"));
    }

    // The real servers through an IPv6 address that maps their IPv4 one.
    for (const QString type : {"PostgreSQL", "MySQL"}) {
        auto server = serverTarget(type);
        if (!server)
            continue;
        SCOPED_TRACE(type.toStdString());
        server->server = "[::ffff:" + server->server + "]";
        TestRoot root;
        EXPECT_TRUE(root.connect(*server, 10)) << root.lastErrorMessage().toStdString();
    }
}

TEST(BackendConnectionTest, ConnectsToAHangingServerTimeOutOrAreCancelled)
{
    for (const QString type : {"PostgreSQL", "MySQL", "SQL Server"}) {
        SCOPED_TRACE(type.toStdString());
        TestRoot timed;
        const SilentServer timingOut;
        EXPECT_FALSE(timed.connect({type, "127.0.0.1", timingOut.port(), "db", "user", "secret"}, 1));
        EXPECT_EQ(timed.lastErrorMessage(), "TIME_OUT");

        // Without a time-out only a cancel from another thread ends the wait.
        const SilentServer listener;
        const DatabaseTarget hanging{type, "127.0.0.1", listener.port(), "db", "user", "secret"};
        TestRoot cancelled;
        QString outcome;
        JavaThread connecting([&] {
            cancelled.connect(hanging, 0);
            outcome = cancelled.lastErrorMessage();
        });
        ASSERT_TRUE(listener.hasPendingConnections(10000));
        cancelled.call("cancelConnecting");
        connecting.join();
        EXPECT_EQ(outcome, "CANCEL_CONNECT");
        EXPECT_FALSE(cancelled.isTrue("hasConnection"));
    }
}

TEST(BackendConnectionTest, EndAndDeInitializeDuringAConnectStopIt)
{
    for (const QString selector : {"endConnection", "deInitialize"}) {
        SCOPED_TRACE(selector.toStdString());
        const SilentServer listener;
        TestRoot root;
        QString outcome;
        JavaThread connecting([&] {
            root.connect({"PostgreSQL", "127.0.0.1", listener.port(), "db", "u", "p"}, 0);
            outcome = root.lastErrorMessage();
        });
        ASSERT_TRUE(listener.hasPendingConnections(10000));
        root.call(selector);
        connecting.join();
        EXPECT_EQ(outcome, "CANCEL_CONNECT");
        EXPECT_FALSE(root.isTrue("hasConnection"));
    }
}

TEST(BackendConnectionTest, ReservationIsExclusiveAcrossThreadsAndNeverEndsTheConnection)
{
    QTemporaryDir folder;
    TestRoot root;
    // Granted before a connection exists: the connect itself runs reserved.
    ASSERT_TRUE(root.call("reserveRoot:", {"Connecting to the database"}).toBool());
    ASSERT_TRUE(root.connect(sqliteTarget(folder)));
    root.call("releaseReservedRoot");
    EXPECT_FALSE(root.isTrue("reserved"));

    std::atomic<int> granted{0};
    {
        std::vector<std::unique_ptr<JavaThread>> threads;
        for (int i = 0; i < 8; ++i)
            threads.push_back(std::make_unique<JavaThread>([&] {
                if (root.call("reserveRoot:", {"SQL Statement Execution"}).toBool())
                    ++granted;
            }));
    }
    EXPECT_EQ(granted.load(), 1);
    EXPECT_TRUE(root.isTrue("reserved"));
    EXPECT_FALSE(root.call("reserveRoot:", {"Loading more results"}).toBool());
    EXPECT_TRUE(root.isTrue("hasConnection")) << "a busy root is not a lost connection";
    EXPECT_TRUE(root.isTrue("isConnected"));

    root.call("releaseReservedRoot");
    EXPECT_TRUE(root.call("reserveRoot:", {"Loading more results"}).toBool());
    root.call("releaseReservedRoot");
}

TEST(BackendConnectionTest, EndingTheConnectionDuringAStatementLeaksNoConnection)
{
    auto postgres = serverTarget("PostgreSQL");
    VORN_REQUIRE_SERVER(postgres, "PostgreSQL");
    const QString clientName = "Vorn leak check";
    TestRoot observer;
    ASSERT_TRUE(observer.connect(*postgres, 10, 1));
    auto connectionsOfClient = [&] {
        EXPECT_TRUE(observer.execute("SELECT count(*) AS n FROM pg_stat_activity WHERE application_name = ?",
                                     {clientName}));
        return dictionary(observer.resultset()->call("getRow:", {1})).value("n").toInt();
    };

    TestRoot root;
    ASSERT_TRUE(root.connect(*postgres, 10, 1, clientName));
    EXPECT_EQ(connectionsOfClient(), 1);
    QString outcome;
    JavaThread statement([&] {
        root.execute("SELECT pg_sleep(60)");
        outcome = root.lastErrorMessage();
    });
    const QoJavaObjectPtr browser = asObject(root.call("browser"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return browser->call("canStopStoppableStatement").toBool(); }, 10000));
    root.call("endConnection");
    EXPECT_FALSE(root.isTrue("hasConnection"));
    statement.join();
    EXPECT_EQ(outcome, "CANCELLED");
    EXPECT_TRUE(QTest::qWaitFor([&] { return connectionsOfClient() == 0; }, 10000));
}

TEST(BackendConnectionTest, SchemaContentsAreCachedUntilReloaded)
{
    QTemporaryDir folder;
    QList<DatabaseTarget> targets = availableTargets(folder);
    for (const DatabaseTarget &target : targets) {
        SCOPED_TRACE(target.type.toStdString());
        TestRoot root;
        ASSERT_TRUE(root.connect(target, 10, 1));
        root.execute("DROP TABLE IF EXISTS vbc_cached");
        ASSERT_TRUE(root.run("CREATE TABLE vbc_cached (vbc_column INTEGER)"));
        const QString schema = asObject(root.call("browser"))->call("selectedSchema").toString();
        const QoJavaObjectPtr metaData = asObject(root.call("connectionMetaData"));

        EXPECT_FALSE(root.call("fullyLoadedForSchema:", {schema}).toBool());
        root.call("fullyLoadForSchema:", {schema});
        ASSERT_TRUE(root.lastActionSuccessful()) << root.lastErrorMessage().toStdString();
        EXPECT_TRUE(root.call("fullyLoadedForSchema:", {schema}).toBool());
        const QStringList names = stringList(metaData->call("contextWords"));
        EXPECT_TRUE(names.contains("vbc_cached"));
        EXPECT_TRUE(names.contains("vbc_column"));

        root.call("reloadConnectionMetaDataCache");
        EXPECT_TRUE(root.lastActionSuccessful());
        EXPECT_FALSE(root.call("fullyLoadedForSchema:", {schema}).toBool());
        EXPECT_TRUE(stringList(metaData->call("contextWords")).isEmpty());
        root.execute("DROP TABLE vbc_cached");
    }
}

TEST(BackendConnectionTest, SortsKeepTheirColumnAndDirection)
{
    struct Case {
        QString direction;
        QString expected;
    };
    for (const Case &c :
         {Case{"ASC", "ASC"}, Case{"desc", "DESC"}, Case{"sideways", "ASC"}, Case{{}, "ASC"}}) {
        const QoJavaObjectPtr sort = startedBackend()->instanceOfObject("nl/dalmerik/vorn/VornSort");
        sort->call("initSort::", {"id_2", c.direction.isNull() ? QVariant() : QVariant(c.direction)});
        EXPECT_EQ(sort->call("name").toString(), "id_2");
        EXPECT_EQ(sort->call("direction").toString(), c.expected) << c.direction.toStdString();
    }
}
