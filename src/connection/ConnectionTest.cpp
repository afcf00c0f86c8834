#include "connection/ConnectionTest.h"
#include "platform/AppFolders.h"

#include "bridge/QoJavaBridge.h"
#include "bridge/QoJavaBridgeException.h"
#include "client/VornRootClient.h"
#include "connection/ConnectedController.h"
#include "connection/ConnectionParameters.h"
#include "platform/FileBookmarks.h"
#include "platform/MainThread.h"

#include <QCoreApplication>
#include <QLoggingCategory>
#include <QPointer>

#include <atomic>
#include <mutex>
#include <thread>

namespace
{

Q_LOGGING_CATEGORY(connectionTestLog, "vorn.connections")

QString connectionText(const char *text)
{
    return QCoreApplication::translate("connection", text);
}

std::atomic<int> runningThreadCount{0};

} // namespace

// What the test's thread and the object share: the root while it lives, and a cancel that may
// come before the root exists.
struct ConnectionTest::Shared {
    std::mutex mutex;
    VornRootClientPtr root;
    bool cancelled = false;
    QPointer<ConnectionTest> owner;
};

ConnectionTest::ConnectionTest(QObject *parent) : QObject(parent), shared_(std::make_shared<Shared>())
{
    shared_->owner = this;
}

ConnectionTest::~ConnectionTest()
{
    cancel();
}

void ConnectionTest::start(const Target &target)
{
    Q_ASSERT_X(!running_, "ConnectionTest::start", "A connection test runs once");
    running_ = true;
    ++runningThreadCount;
    std::thread(&ConnectionTest::run, shared_, target).detach();
}

void ConnectionTest::cancel()
{
    VornRootClientPtr root;
    {
        std::lock_guard lock(shared_->mutex);
        shared_->cancelled = true;
        root = shared_->root;
    }
    // The backend answers a cancel at once, without waiting for the connect it gives up.
    if (root && running_)
        root->cancelConnecting();
}

int ConnectionTest::runningThreads()
{
    return runningThreadCount.load();
}

QString ConnectionTest::resultText(bool successful, const QString &errorMessage)
{
    if (successful)
        return connectionText("Vorn successfully made a connection");
    const QString message = errorMessage == QLatin1String("TIME_OUT")
                                ? connectionText("A time-out occurred before a connection could be made.")
                                : errorMessage;
    return connectionText("Vorn couldn't connect to the database:\n\n%1").arg(message);
}

QString ConnectionTest::noLocalBookmarkText()
{
    return connectionText("Vorn couldn't connect to the database:\n\n%1")
        .arg(connectionText("Vorn cannot open the local database file, as it hasn't been opened from this "
                            "application before. Please edit this connection and use 'Browse' to "
                            "re-select the local database file."));
}

void ConnectionTest::run(std::shared_ptr<Shared> shared, Target target)
{
    QoJavaBridge *bridge = QoJavaBridge::javaBridge();
    bridge->attachNativeThread(QStringLiteral("Connection test"));
    // A failure escaping this thread would end the application: it is the test's failed outcome.
    Outcome outcome;
    try {
        outcome = connect(shared, target);
    } catch (const QoJavaBridgeException &exception) {
        qCWarning(connectionTestLog).noquote() << "Connection test failed in the bridge:" << exception.what();
        outcome = {false, resultText(false, exception.reason())};
    } catch (const std::exception &exception) {
        qCWarning(connectionTestLog).noquote() << "Connection test failed:" << exception.what();
        outcome = {false, resultText(false, QString::fromLocal8Bit(exception.what()))};
    }
    {
        // A cancel must not reach a root the failed test left behind.
        std::lock_guard lock(shared->mutex);
        shared->root.reset();
    }
    bridge->removeNativeThread();
    --runningThreadCount;
    MainThread::post([shared, outcome] {
        if (shared->owner)
            shared->owner->complete(outcome);
    });
}

ConnectionTest::Outcome ConnectionTest::connect(const std::shared_ptr<Shared> &shared, const Target &target)
{
    QString database = target.database;
    if (target.localFile) {
        database = localDatabasePath(target.database);
        if (database.isEmpty())
            return {false, noLocalBookmarkText()};
    }
    VornRootClientPtr root = VornRootClient::create(target.backendClassName);
    if (!root)
        return {false, resultText(false, connectionText("The Java backend is not available."))};
    root->initRoot({AppFolders::support()});
    bool cancelled = false;
    {
        std::lock_guard lock(shared->mutex);
        cancelled = shared->cancelled;
        shared->root = root;
    }
    Outcome outcome{false, resultText(false, QStringLiteral("CANCEL_CONNECT"))};
    if (!cancelled) {
        const bool local = target.localFile;
        const BackendOutcome connected = root->startNewConnection(
            {local ? QString("") : target.server, local ? QString("") : target.port, database,
             local ? QString("") : target.userName, local ? QString("") : target.password, target.type,
             QStringLiteral("Vorn"), target.timeoutSeconds, 0});
        outcome = {connected.successful, resultText(connected.successful, connected.errorMessage)};
    }
    {
        std::lock_guard lock(shared->mutex);
        shared->root.reset();
    }
    root->endConnection();
    root->deInitialize();
    return outcome;
}

QString ConnectionTest::localDatabasePath(const QString &file)
{
    const QByteArray bookmark = ConnectionParameters::bookmarkForFile(file);
    if (!bookmark.isNull()) {
        const QString path = FileBookmarks::resolveBookmark(bookmark);
        if (!path.isEmpty())
            return path;
    }
    // A typed path is as good as a chosen file here. One that is gone or was never there still
    // goes to the backend, which says that it does not exist and creates nothing.
    return QString::fromUtf8(FileBookmarks::bookmarkDataForFile(file));
}

void ConnectionTest::complete(const Outcome &outcome)
{
    running_ = false;
    emit finished(outcome.successful, outcome.text);
}
