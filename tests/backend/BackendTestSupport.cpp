#include "BackendTestSupport.h"

#include "TestServers.h"
#include "bridge/JavaUtils.h"
#include "bridge/QoJavaBridge.h"
#include "bridge/ThreadController.h"
#include "platform/Bundle.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

void PrintTo(const QVariant &value, std::ostream *out)
{
    QString text;
    QDebug(&text) << value;
    *out << text.toStdString();
}

void PrintTo(const QString &value, std::ostream *out)
{
    *out << '"' << value.toStdString() << '"';
}

QoJavaBridge *startedBackend()
{
    static bool configured = [] {
        const Bundle build(qEnvironmentVariable("VORN_BUILD_DIR"));
        QoJavaBridge::setSharedConfiguration(build.infoDictionary(), build.bundlePath());
        return true;
    }();
    Q_UNUSED(configured);
    return QoJavaBridge::javaBridge();
}

std::optional<DatabaseTarget> serverTarget(const QString &type)
{
    const std::optional<TestServer> server =
        type == "PostgreSQL" ? TestServers::postgres() : TestServers::mariadb();
    if (!server)
        return std::nullopt;
    return DatabaseTarget{type, server->host, server->port, server->database, server->user, server->password};
}

DatabaseTarget sqliteTarget(const QTemporaryDir &folder, const QString &fileName)
{
    const QString path = folder.filePath(fileName);
    QFile file(path);
    if (!file.exists()) {
        file.open(QIODevice::WriteOnly);
        file.close();
    }
    return DatabaseTarget{"SQLite", "", "", path, "", ""};
}

TestRoot::TestRoot(int rowLimit, const QString &timestampPattern, bool roundMidnight)
    : root_(startedBackend()->instanceOfObject("nl/dalmerik/vorn/VornRoot"))
{
    root_->call("initRoot:::::::",
                {QDir::tempPath(), timestampPattern, 1, 0, roundMidnight ? 1 : 0, rowLimit, 0});
}

QVariant TestRoot::call(const QString &selector, const QVariantList &args) const
{
    return root_->call(selector, args);
}

bool TestRoot::connect(const DatabaseTarget &target, int timeoutSeconds, int flags, const QString &clientName)
{
    call("startNewConnection:::::::::", {target.server, target.port, target.database, target.user,
                                         target.password, target.type, clientName, timeoutSeconds, flags});
    return lastActionSuccessful();
}

bool TestRoot::execute(const QString &sql, const QVariantList &parameters) const
{
    const QVariant vector = QVariant::fromValue(JavaUtils::vectorFromArray(parameters));
    return sqlConnection()->call("executeQuery::", {sql, vector}).toBool();
}

::testing::AssertionResult TestRoot::run(const QString &sql, const QVariantList &parameters) const
{
    execute(sql, parameters);
    if (lastActionSuccessful())
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << sql.toStdString() << ": " << lastErrorMessage().toStdString();
}

QoJavaObjectPtr TestRoot::sqlConnection() const
{
    return asObject(call("sqlConnection"));
}

QoJavaObjectPtr TestRoot::resultset() const
{
    return asObject(call("resultset"));
}

void DatabaseTest::SetUp()
{
    if (GetParam() == "SQLite") {
        target_ = sqliteTarget(folder_);
        return;
    }
    auto server = serverTarget(GetParam());
    VORN_REQUIRE_SERVER(server, GetParam().toStdString());
    target_ = *server;
}

std::unique_ptr<TestRoot> DatabaseTest::connected(int flags, int rowLimit, bool roundMidnight,
                                                  const QString &clientName)
{
    auto root = std::make_unique<TestRoot>(rowLimit, "dd-MM-yyyy HH:mm:ss.S", roundMidnight);
    EXPECT_TRUE(root->connect(target_, 10, flags, clientName)) << root->lastErrorMessage().toStdString();
    return root;
}

QoJavaObjectPtr asObject(const QVariant &value)
{
    return value.value<QoJavaObjectPtr>();
}

QStringList stringList(const QVariant &vector)
{
    QStringList strings;
    for (const QVariant &element : JavaUtils::arrayFromVector(asObject(vector)))
        strings << element.toString();
    return strings;
}

QVariantMap dictionary(const QVariant &hashtable)
{
    return JavaUtils::dictionaryFromHashtable(asObject(hashtable));
}

JavaThread::JavaThread(std::function<void()> work)
    : thread_([work = std::move(work)] {
          ThreadController threads(startedBackend());
          threads.registerThread("backend test worker");
          work();
          threads.unRegisterThread();
      })
{
}

JavaThread::~JavaThread()
{
    join();
}

void JavaThread::join()
{
    if (thread_.joinable())
        thread_.join();
}
