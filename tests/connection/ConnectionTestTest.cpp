#include "connection/ConnectionTest.h"
#include "WaitFor.h"

#include "BackendTestSupport.h"
#include "TestServers.h"
#include "connection/ConnectionParameters.h"
#include "platform/FileBookmarks.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <gtest/gtest.h>

namespace
{

struct Result {
    bool successful = false;
    QString text;
};

const QString couldNotConnect = "Vorn couldn't connect to the database:\n\n";

class ConnectionTestTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { ASSERT_NE(startedBackend(), nullptr); }

    // Runs a test to its end.
    static Result run(const ConnectionTest::Target &target)
    {
        ConnectionTest test;
        QSignalSpy finished(&test, &ConnectionTest::finished);
        test.start(target);
        EXPECT_TRUE(test.isRunning());
        EXPECT_TRUE(finished.wait(60000));
        if (finished.isEmpty())
            return {};
        EXPECT_FALSE(test.isRunning());
        return {finished.first().at(0).toBool(), finished.first().at(1).toString()};
    }

    static ConnectionTest::Target postgres(const TestServer &server)
    {
        ConnectionTest::Target target;
        target.type = "PostgreSQL";
        target.server = server.host;
        target.port = server.port;
        target.database = server.database;
        target.userName = server.user;
        target.password = server.password;
        return target;
    }

    // A PostgreSQL target on a server that never answers.
    static ConnectionTest::Target silentTarget(const SilentServer &silent, int timeoutSeconds)
    {
        ConnectionTest::Target target;
        target.type = "PostgreSQL";
        target.server = "127.0.0.1";
        target.port = silent.port();
        target.database = "db";
        target.userName = "user";
        target.timeoutSeconds = timeoutSeconds;
        return target;
    }

    // A local-file target for the file, bookmarked as the browse button does.
    static ConnectionTest::Target sqlite(const QString &path, bool bookmarked = true)
    {
        ConnectionTest::Target target;
        target.type = "SQLite";
        target.localFile = true;
        target.database = QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded);
        if (bookmarked)
            ConnectionParameters::storeBookmark(FileBookmarks::bookmarkDataForFile(target.database),
                                                target.database);
        return target;
    }

    QTemporaryDir folder;
};

TEST_F(ConnectionTestTest, ResultTextsTellSuccessFailureAndTimeOut)
{
    EXPECT_EQ(ConnectionTest::resultText(true, "ignored"), "Vorn successfully made a connection");
    EXPECT_EQ(ConnectionTest::resultText(false, "FATAL: no such role"),
              couldNotConnect + "FATAL: no such role");
    EXPECT_EQ(ConnectionTest::resultText(false, "TIME_OUT"),
              couldNotConnect + "A time-out occurred before a connection could be made.");
}

TEST_F(ConnectionTestTest, LocalFileConnects)
{
    const QString path = folder.filePath("shop.db");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)); // An empty file is an empty SQLite database.
    file.close();
    const Result result = run(sqlite(path));
    EXPECT_TRUE(result.successful) << result.text.toStdString();
    EXPECT_EQ(result.text, "Vorn successfully made a connection");
}

// A file typed into the field, never chosen with Browse: as a path or a file URL it connects when it
// exists and is said not to exist otherwise (and is not created); text that names no local file
// asks to choose the file again.
TEST_F(ConnectionTestTest, TypedLocalFileConnectsWhenItExistsAndIsToldMissingOtherwise)
{
    const QString present = folder.filePath("typed ✓.db");
    QFile(present).open(QIODevice::WriteOnly);
    const QString missing = folder.filePath("missing.db");
    const struct {
        QString typed;
        bool successful;
        QString says;
    } cases[] = {
        {present, true, "Vorn successfully made a connection"},
        {QUrl::fromLocalFile(present).toString(QUrl::FullyEncoded), true,
         "Vorn successfully made a connection"},
        {missing, false, "The database file '" + missing + "' does not exist."},
        {QUrl::fromLocalFile(missing).toString(), false,
         "The database file '" + missing + "' does not exist."},
        {"https://example.org/shop.db", false, "use 'Browse' to re-select the local database file"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.typed.toStdString());
        ConnectionTest::Target target = sqlite(present, false);
        target.database = c.typed;
        const Result result = run(target);
        EXPECT_EQ(result.successful, c.successful);
        EXPECT_TRUE(result.text.contains(c.says)) << result.text.toStdString();
    }
    EXPECT_FALSE(QFile::exists(missing));
}

TEST_F(ConnectionTestTest, MovedLocalFileFailsWithTheBackendsMessageAndIsNotCreated)
{
    const QString path = folder.filePath("moved.db");
    QFile(path).open(QIODevice::WriteOnly);
    const ConnectionTest::Target target = sqlite(path);
    ASSERT_TRUE(QFile::remove(path));
    const Result result = run(target);
    EXPECT_FALSE(result.successful);
    EXPECT_TRUE(result.text.startsWith(couldNotConnect)) << result.text.toStdString();
    EXPECT_TRUE(result.text.contains("does not exist")) << result.text.toStdString();
    EXPECT_FALSE(QFile::exists(path));
}

TEST_F(ConnectionTestTest, PostgreSQLConnectsAndAWrongPasswordIsTold)
{
    const std::optional<TestServer> server = TestServers::postgres();
    VORN_REQUIRE_SERVER(server, "PostgreSQL");
    const Result good = run(postgres(*server));
    EXPECT_TRUE(good.successful) << good.text.toStdString();
    EXPECT_EQ(good.text, "Vorn successfully made a connection");

    ConnectionTest::Target wrong = postgres(*server);
    wrong.password = "not-the-password";
    const Result bad = run(wrong);
    EXPECT_FALSE(bad.successful);
    EXPECT_TRUE(bad.text.startsWith(couldNotConnect)) << bad.text.toStdString();
    EXPECT_TRUE(bad.text.contains("password")) << bad.text.toStdString();
}

TEST_F(ConnectionTestTest, SilentServerTimesOut)
{
    SilentServer silent;
    const Result result = run(silentTarget(silent, 2));
    EXPECT_FALSE(result.successful);
    EXPECT_EQ(result.text, couldNotConnect + "A time-out occurred before a connection could be made.");
}

// A bridge failure on the test's thread is the test's failed outcome, told in the bridge's words;
// the thread still leaves the VM, and the next test runs as usual.
TEST_F(ConnectionTestTest, BridgeFailureOnTheTestsThreadIsItsFailedOutcome)
{
    const struct {
        QString backendClassName;
        QString message;
    } cases[] = {
        {"nl/dalmerik/vorn/NoSuchRoot", "Class 'nl/dalmerik/vorn/NoSuchRoot' couldn't be found"},
        {"java/lang/Integer", "Empty constructor not found for"},
    };
    for (const auto &failing : cases) {
        SCOPED_TRACE(failing.backendClassName.toStdString());
        const QString path = folder.filePath("unreached.db");
        QFile(path).open(QIODevice::WriteOnly);
        ConnectionTest::Target target = sqlite(path);
        target.backendClassName = failing.backendClassName;
        const Result result = run(target);
        EXPECT_FALSE(result.successful);
        EXPECT_TRUE(result.text.startsWith(couldNotConnect + failing.message)) << result.text.toStdString();
        ASSERT_WAIT_FOR_EQ_MS(ConnectionTest::runningThreads(), 0, 10000);

        const Result next = run(sqlite(path));
        EXPECT_TRUE(next.successful) << next.text.toStdString();
    }
}

TEST_F(ConnectionTestTest, CancelledTestEndsItsThreadAtOnceAndANewerTestIsUnaffected)
{
    SilentServer silent;
    const ConnectionTest::Target hanging = silentTarget(silent, 60);

    auto cancelled = std::make_unique<ConnectionTest>();
    QSignalSpy cancelledFinished(cancelled.get(), &ConnectionTest::finished);
    cancelled->start(hanging);
    // The driver is inside its connect once the server has the connection.
    ASSERT_WAIT_FOR_MS(silent.hasPendingConnections(), 20000);
    cancelled->cancel();

    const QString path = folder.filePath("newer.db");
    QFile(path).open(QIODevice::WriteOnly);
    ConnectionTest newer;
    QSignalSpy newerFinished(&newer, &ConnectionTest::finished);
    newer.start(sqlite(path));

    // Far sooner than the minute the cancelled one would have waited.
    ASSERT_TRUE(cancelledFinished.wait(10000));
    EXPECT_FALSE(cancelledFinished.first().at(0).toBool());
    EXPECT_FALSE(cancelled->isRunning());
    ASSERT_TRUE(newerFinished.count() == 1 || newerFinished.wait(30000));
    EXPECT_TRUE(newerFinished.first().at(0).toBool()) << newerFinished.first().at(1).toString().toStdString();
    ASSERT_WAIT_FOR_EQ_MS(ConnectionTest::runningThreads(), 0, 10000);
}

TEST_F(ConnectionTestTest, TestObjectGoneBeforeItsThreadEndsDropsTheResult)
{
    SilentServer silent;
    const ConnectionTest::Target hanging = silentTarget(silent, 60);
    {
        ConnectionTest test;
        test.start(hanging);
        ASSERT_WAIT_FOR_MS(silent.hasPendingConnections(), 20000);
    } // Destroying the test cancels it.
    ASSERT_WAIT_FOR_EQ_MS(ConnectionTest::runningThreads(), 0, 10000);
    // The posted result finds no object: nothing happens.
    QCoreApplication::processEvents();
}

} // namespace
