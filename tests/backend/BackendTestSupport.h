#pragma once

#include "bridge/QoJavaObject.h"

#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariant>

#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <thread>

#include <gtest/gtest.h>

class QoJavaBridge;

// Readable QVariants in test failures.
void PrintTo(const QVariant &value, std::ostream *out);
QT_BEGIN_NAMESPACE
void PrintTo(const QString &value, std::ostream *out);
QT_END_NAMESPACE

// The shared bridge, started once per test binary from the build tree's Info.plist: the product
// jar and the Debian JDBC drivers, as the application runs them.
QoJavaBridge *startedBackend();

// Where a root connects: the arguments of startNewConnection::::::::: but the time-out and flags.
struct DatabaseTarget {
    QString type;
    QString server;
    QString port;
    QString database;
    QString user;
    QString password;
};

// A test server's target, or nothing when the server is not running.
std::optional<DatabaseTarget> serverTarget(const QString &type);
// An empty SQLite database file in the folder.
DatabaseTarget sqliteTarget(const QTemporaryDir &folder, const QString &fileName = "test.db");

// A VornRoot of its own, initialised like a document's root.
class TestRoot
{
public:
    explicit TestRoot(int rowLimit = 2000, const QString &timestampPattern = "dd-MM-yyyy HH:mm:ss.S",
                      bool roundMidnight = true);

    QVariant call(const QString &selector, const QVariantList &args = {}) const;
    bool isTrue(const QString &selector) const { return call(selector).toBool(); }
    bool lastActionSuccessful() const { return isTrue("lastActionSuccessful"); }
    QString lastErrorMessage() const { return call("lastErrorMessage").toString(); }

    // startNewConnection:::::::::; true when connected.
    bool connect(const DatabaseTarget &target, int timeoutSeconds = 10, int flags = 0,
                 const QString &clientName = "Vorn test");
    // executeQuery:: on the root's SQL connection; true when it produced rows (check the outcome apart).
    bool execute(const QString &sql, const QVariantList &parameters = {}) const;
    // execute() that must succeed; the failure message otherwise.
    ::testing::AssertionResult run(const QString &sql, const QVariantList &parameters = {}) const;

    QoJavaObjectPtr sqlConnection() const;
    QoJavaObjectPtr resultset() const;
    QoJavaObjectPtr object() const { return root_; }

private:
    QoJavaObjectPtr root_;
};

QoJavaObjectPtr asObject(const QVariant &value);
// Java Vector of strings / Hashtable as native values.
QStringList stringList(const QVariant &vector);
QVariantMap dictionary(const QVariant &hashtable);

// A test run once per database: the SQLite file and each test server (skipped when a server is not
// running, failed in CI). Tables carry a prefix of their test binary, so binaries running side by side
// on one server never share one.
class DatabaseTest : public ::testing::TestWithParam<QString>
{
protected:
    void SetUp() override;
    // A connected root; flags as startNewConnection takes them (1 is auto-commit).
    std::unique_ptr<TestRoot> connected(int flags, int rowLimit = 2000, bool roundMidnight = true,
                                        const QString &clientName = "Vorn test");

    QTemporaryDir folder_;
    DatabaseTarget target_;
};

// Instantiates a DatabaseTest suite for SQLite, PostgreSQL and MySQL.
#define VORN_FOR_EVERY_DATABASE(Suite)                                                                       \
    INSTANTIATE_TEST_SUITE_P(Databases, Suite, ::testing::Values("SQLite", "PostgreSQL", "MySQL"),           \
                             [](const auto &info) { return info.param.toStdString(); })

// A thread that may call Java: registered with a ThreadController (attached) while it runs.
class JavaThread
{
public:
    explicit JavaThread(std::function<void()> work);
    ~JavaThread();
    void join();

private:
    std::thread thread_;
};
