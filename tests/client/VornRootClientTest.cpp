// The typed client of a document's backend root against the real backend: a SQLite file and the test
// servers. Tables carry the prefix vrc_.
#include "client/VornRootClient.h"
#include "BackendTestSupport.h"
#include "TestServers.h"
#include "bridge/QoJavaBridge.h"
#include "client/JavaCall.h"
#include "client/SqlConnectionClient.h"
#include "client/VornResultset.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <functional>

namespace
{

ConnectRequestFields requestFor(const DatabaseTarget &target, int flags = 0)
{
    return {target.server,
            target.port,
            target.database,
            target.user,
            target.password,
            target.type,
            QStringLiteral("Vorn test"),
            10,
            flags};
}

VornRootClientPtr initializedRoot()
{
    if (!startedBackend())
        return nullptr;
    VornRootClientPtr root = VornRootClient::create();
    if (root)
        root->initRoot({QDir::tempPath()});
    return root;
}

// Runs the text on the root's connection; the backend's failure message when it did not succeed.
::testing::AssertionResult run(VornRootClient &root, const QString &sql)
{
    root.sqlConnection()->executeQuery(sql, {});
    const BackendOutcome outcome = root.lastOutcome();
    if (outcome)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << sql.toStdString() << ": " << outcome.errorMessage.toStdString();
}

// The rows the query gives, as the root's result set counts them; -1 without a result set.
int rowsOf(VornRootClient &root, const QString &query)
{
    EXPECT_TRUE(run(root, query));
    const std::optional<ResultsetState> state = root.resultsetState();
    return state ? state->rowCount : -1;
}

class VornRootClientTest : public DatabaseTest
{
protected:
    // A root connected to the test's database; flags as startNewConnection takes them (1: auto-commit).
    VornRootClientPtr connectedRoot(int flags)
    {
        VornRootClientPtr root = initializedRoot();
        EXPECT_NE(root, nullptr);
        if (!root)
            return nullptr;
        const BackendOutcome outcome = root->startNewConnection(requestFor(target_, flags));
        EXPECT_TRUE(outcome.successful) << outcome.errorMessage.toStdString();
        EXPECT_TRUE(outcome.errorMessage.isNull());
        return root;
    }
};

VORN_FOR_EVERY_DATABASE(VornRootClientTest);

} // namespace

TEST_P(VornRootClientTest, TypedGettersBeforeAndAfterConnecting)
{
    const bool sqlite = GetParam() == "SQLite";
    const bool mysql = GetParam() == "MySQL";
    struct Getter {
        QString name;
        std::function<QVariant(const VornRootClient &)> read;
        QVariant unconnected;
        QVariant connected;
    };
    const std::vector<Getter> getters{
        {"hasConnection", [](auto &root) { return QVariant(root.hasConnection()); }, false, true},
        {"isConnected", [](auto &root) { return QVariant(root.isConnected()); }, false, true},
        {"connectionType", [](auto &root) { return QVariant(root.connectionType()); }, QString(), GetParam()},
        {"database", [](auto &root) { return QVariant(root.database()); }, QString(), target_.database},
        {"userName", [](auto &root) { return QVariant(root.userName()); }, QString(), target_.user},
        {"server", [](auto &root) { return QVariant(root.server()); }, QString(), target_.server},
        {"localDatabaseFileConnection",
         [](auto &root) { return QVariant(root.localDatabaseFileConnection()); }, false, sqlite},
        {"dataDefinitionCausesTransactionCommit",
         [](auto &root) { return QVariant(root.dataDefinitionCausesTransactionCommit()); }, false, mysql},
        {"dirty", [](auto &root) { return QVariant(root.dirty()); }, false, false},
        {"dirtySeconds", [](auto &root) { return QVariant(root.dirtySeconds()); }, 0, 0},
        {"reserved", [](auto &root) { return QVariant(root.reserved()); }, false, false},
        {"allowFocusChange", [](auto &root) { return QVariant(root.allowFocusChange()); }, true, true},
        {"supportsRecycleBin", [](auto &root) { return QVariant(root.supportsRecycleBin()); }, false, false},
        {"connectionInfo holds the login",
         [](auto &root) { return root.connectionInfo().value("connectedAs"); }, QVariant(), target_.user},
        {"reservedWords hold SELECT",
         [](auto &root) { return QVariant(root.reservedWords().contains("SELECT", Qt::CaseInsensitive)); },
         true, true},
        {"defaultReservedWords hold SELECT",
         [](auto &root) {
             return QVariant(root.defaultReservedWords().contains("SELECT", Qt::CaseInsensitive));
         },
         true, true},
        {"no result set", [](auto &root) { return QVariant(!root.resultset() && !root.resultsetState()); },
         true, true},
        {"sqlConnection", [](auto &root) { return QVariant(root.sqlConnection() != nullptr); }, true, true},
        {"browser", [](auto &root) { return QVariant(root.browser() != nullptr); }, false, true},
    };

    VornRootClientPtr root = initializedRoot();
    ASSERT_NE(root, nullptr);
    for (const Getter &getter : getters)
        EXPECT_EQ(getter.read(*root), getter.unconnected) << "unconnected " << getter.name.toStdString();
    const BackendOutcome connected = root->startNewConnection(requestFor(target_));
    ASSERT_TRUE(connected.successful) << connected.errorMessage.toStdString();
    for (const Getter &getter : getters)
        EXPECT_EQ(getter.read(*root), getter.connected) << "connected " << getter.name.toStdString();
    root->endConnection();
    EXPECT_FALSE(root->hasConnection());
    EXPECT_TRUE(root->lastOutcome().successful) << "no getter failed in the bridge";
    root->deInitialize();
}

TEST_P(VornRootClientTest, CommitAndRollbackEndTheTransaction)
{
    VornRootClientPtr root = connectedRoot(0);
    ASSERT_NE(root, nullptr);
    run(*root, "DROP TABLE IF EXISTS vrc_transactions");
    ASSERT_TRUE(run(*root, "CREATE TABLE vrc_transactions (v INTEGER)"));
    ASSERT_TRUE(root->commit().successful);

    ASSERT_TRUE(run(*root, "INSERT INTO vrc_transactions VALUES (1)"));
    EXPECT_TRUE(root->dirty());
    const BackendOutcome rolledBack = root->rollback();
    EXPECT_TRUE(rolledBack.successful) << rolledBack.errorMessage.toStdString();
    EXPECT_FALSE(root->dirty());
    EXPECT_EQ(rowsOf(*root, "SELECT v FROM vrc_transactions"), 0);

    ASSERT_TRUE(run(*root, "INSERT INTO vrc_transactions VALUES (2)"));
    EXPECT_TRUE(root->dirty());
    const BackendOutcome committed = root->commit();
    EXPECT_TRUE(committed.successful) << committed.errorMessage.toStdString();
    EXPECT_FALSE(root->dirty());
    // Another connection sees the committed row.
    VornRootClientPtr other = connectedRoot(1);
    ASSERT_NE(other, nullptr);
    EXPECT_EQ(rowsOf(*other, "SELECT v FROM vrc_transactions"), 1);
    other->deInitialize();

    EXPECT_TRUE(run(*root, "DROP TABLE vrc_transactions"));
    EXPECT_TRUE(root->commit().successful);
    root->deInitialize();
}

TEST(VornRootClient, CommitAndRollbackWithoutAConnectionFailWithTheBackendsMessage)
{
    VornRootClientPtr root = initializedRoot();
    ASSERT_NE(root, nullptr);
    for (const bool commit : {true, false}) {
        const BackendOutcome outcome = commit ? root->commit() : root->rollback();
        EXPECT_FALSE(outcome);
        EXPECT_EQ(outcome.errorMessage, "Not connected to a database.") << (commit ? "commit" : "rollback");
    }
    root->deInitialize();
}

TEST(VornRootClient, FailedConnectGivesTheBackendsMessage)
{
    QTemporaryDir folder;
    DatabaseTarget missingFile = sqliteTarget(folder, "missing.db");
    missingFile.database = folder.filePath("gone/missing.db");
    DatabaseTarget unknownType = missingFile;
    unknownType.type = "Nope";
    struct Case {
        QString name;
        std::optional<DatabaseTarget> target;
        QString message; // the whole message, or a part of it
        bool whole;
    };
    std::vector<Case> cases{
        {"unknown type", unknownType, "Vorn cannot connect to databases of type 'Nope'.", true},
        {"missing SQLite file", missingFile, "does not exist", false},
    };
    for (const QString type : {"PostgreSQL", "MySQL"}) {
        std::optional<DatabaseTarget> wrongPassword = serverTarget(type);
        if (wrongPassword)
            wrongPassword->password = "not-the-password";
        else if (TestServers::required())
            ADD_FAILURE() << type.toStdString() << " test server missing";
        cases.push_back({type + " with a wrong password", wrongPassword, "password", false});
    }
    for (const Case &c : cases) {
        if (!c.target)
            continue;
        SCOPED_TRACE(c.name.toStdString());
        VornRootClientPtr root = initializedRoot();
        ASSERT_NE(root, nullptr);
        const BackendOutcome outcome = root->startNewConnection(requestFor(*c.target));
        EXPECT_FALSE(outcome);
        if (c.whole) {
            EXPECT_EQ(outcome.errorMessage, c.message);
        } else {
            EXPECT_TRUE(outcome.errorMessage.contains(c.message, Qt::CaseInsensitive))
                << outcome.errorMessage.toStdString();
        }
        EXPECT_FALSE(root->hasConnection());
        root->deInitialize();
    }
}

TEST(VornRootClient, ResultsetStateFollowsTheRootsCurrentResultset)
{
    QTemporaryDir folder;
    VornRootClientPtr root = initializedRoot();
    ASSERT_NE(root, nullptr);
    ASSERT_TRUE(root->startNewConnection(requestFor(sqliteTarget(folder), 1)).successful);
    EXPECT_FALSE(root->resultsetState());

    ASSERT_TRUE(run(*root, "create table people (id integer primary key, name text)"));
    ASSERT_TRUE(run(*root, "insert into people (name) values ('Ann'), ('Bo'), ('Cy')"));
    EXPECT_FALSE(root->resultsetState()) << "a statement without rows leaves no result set";
    ASSERT_TRUE(run(*root, "select * from people"));
    const std::optional<ResultsetState> state = root->resultsetState();
    ASSERT_TRUE(state);
    EXPECT_EQ(state->rowCount, 3);
    EXPECT_TRUE(state->fullyLoaded);
    // A statement's result cannot be edited.
    EXPECT_TRUE(state->readOnly);
    EXPECT_EQ(state->readOnlyReason, "NOSTATE");
    EXPECT_EQ(root->sqlConnection()->statementType(), "SELECT");

    // Rows cross once: whoever asks for the current result set gets the one client that holds them.
    const VornResultsetPtr people = root->resultset();
    ASSERT_NE(people, nullptr);
    EXPECT_EQ(people->rowValues(2).value("name"), "Bo");
    EXPECT_EQ(root->resultset(), people);
    EXPECT_EQ(root->resultset()->rowValues(3).value("name"), "Cy");
    ASSERT_TRUE(run(*root, "select name from people where id = 1"));
    const VornResultsetPtr first = root->resultset();
    EXPECT_NE(first, people);
    EXPECT_EQ(first->rowValues(1), QVariantMap({{"name", "Ann"}}));
    EXPECT_EQ(people->rowCount(), 3) << "an older result keeps the rows it took";

    root->clearResultset();
    EXPECT_FALSE(root->resultsetState());
    EXPECT_EQ(root->resultset(), nullptr);
    root->deInitialize();
}

TEST(VornRootClient, OneReservationAtATime)
{
    VornRootClientPtr root = initializedRoot();
    ASSERT_NE(root, nullptr);
    EXPECT_FALSE(root->reserved());
    EXPECT_TRUE(root->reserveRoot("Committing changes"));
    EXPECT_TRUE(root->reserved());
    bool reservedByWorker = true;
    JavaThread([&] { reservedByWorker = root->reserveRoot("Refreshing"); }).join();
    EXPECT_FALSE(reservedByWorker) << "held by the first action";
    root->releaseReservedRoot();
    EXPECT_FALSE(root->reserved());
    JavaThread([&] { reservedByWorker = root->reserveRoot("Refreshing"); }).join();
    EXPECT_TRUE(reservedByWorker);
    EXPECT_TRUE(root->reserved());
    root->releaseReservedRoot();
    root->deInitialize();
}

// A bridge failure (here a selector the root does not have) never escapes the client: the call
// answers its neutral value, and the failure is the calling thread's until an outcome takes it.
TEST(VornRootClient, BridgeFailureAnswersNeutrallyAndFailsTheCallingThreadsNextOutcome)
{
    VornRootClientPtr root = initializedRoot();
    ASSERT_NE(root, nullptr);
    const QoJavaClass *rootClass = startedBackend()->classForName(VornRootClient::className);
    ASSERT_NE(rootClass, nullptr);
    ASSERT_TRUE(JavaCall::takeFailure().isNull()) << "no failure left over";

    struct Case {
        QString name;
        std::function<bool()> callAnswersNeutrally;
        QString failure;
    };
    const std::vector<Case> cases{
        {"send", [&] { return !JavaCall::send(root->object(), "noSuchSelector").isValid(); },
         "Method noSuchSelector not found"},
        {"send with a missing argument",
         [&] { return !JavaCall::send(root->object(), "reserveRoot").isValid(); },
         "Method reserveRoot not found"},
        {"sendStatic",
         [&] { return !JavaCall::sendStatic(rootClass, "noSuchClassMethod:", {"x"}).isValid(); },
         "Method noSuchClassMethod: not found"},
        {"object", [&] { return JavaCall::object(root->object(), "noSuchPart") == nullptr; },
         "Method noSuchPart not found"},
        {"strings of something else than a vector",
         [&] { return JavaCall::strings(QVariant::fromValue(root->object())).isEmpty(); },
         "Method size not found"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name.toStdString());
        bool neutral = false;
        EXPECT_NO_THROW(neutral = c.callAnswersNeutrally());
        EXPECT_TRUE(neutral);
        EXPECT_EQ(JavaCall::takeFailure(), c.failure);
        EXPECT_TRUE(JavaCall::takeFailure().isNull()) << "taken once";
    }

    // Nothing to call is no failure.
    EXPECT_FALSE(JavaCall::send(nullptr, "noSuchSelector").isValid());
    EXPECT_EQ(JavaCall::object(nullptr, "sqlConnection"), nullptr);
    EXPECT_TRUE(JavaCall::takeFailure().isNull());

    // The backend's own verdict is a success, yet the thread's bridge failure makes the outcome fail,
    // once; the first failure is the one told.
    JavaCall::send(root->object(), "noSuchSelector");
    JavaCall::send(root->object(), "otherSelector");
    EXPECT_TRUE(root->lastActionSuccessful());
    const BackendOutcome failed = root->lastOutcome();
    EXPECT_FALSE(failed);
    EXPECT_EQ(failed.errorMessage, "Method noSuchSelector not found");
    EXPECT_TRUE(root->lastOutcome().successful);

    // Another thread's failure stays with that thread.
    BackendOutcome workerOutcome;
    JavaThread([&] {
        JavaCall::send(root->object(), "noSuchSelector");
        workerOutcome = root->lastOutcome();
    }).join();
    EXPECT_FALSE(workerOutcome);
    EXPECT_EQ(workerOutcome.errorMessage, "Method noSuchSelector not found");
    EXPECT_TRUE(root->lastOutcome().successful);
    root->deInitialize();
}

TEST(VornRootClient, QuestionsAboutADatabaseType)
{
    ASSERT_NE(startedBackend(), nullptr);
    const struct {
        QString type;
        bool localFile;
        bool dedicatedTransactions;
    } cases[] = {
        {"SQLite", true, true},
        {"PostgreSQL", false, true},
        {"MySQL", false, false},
        {"Nope", false, false},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(VornRootClient::databaseTypeHasLocalDatabaseFileConnection(c.type), c.localFile)
            << c.type.toStdString();
        EXPECT_EQ(VornRootClient::databaseTypeHasDedicatedTransactionSupport(c.type), c.dedicatedTransactions)
            << c.type.toStdString();
    }
    EXPECT_TRUE(JavaCall::takeFailure().isNull());
}
