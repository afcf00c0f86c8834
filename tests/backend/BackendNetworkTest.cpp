// Network faults between the backend and the real servers, made by a loopback proxy in front of them:
// connections that are cut or go silent.
#include "BackendTestSupport.h"
#include "TcpProxy.h"
#include "TestServers.h"
#include "WaitFor.h"

#include <QDir>
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

#include <atomic>
#include <memory>
#include <vector>

namespace
{

const QString lost = QStringLiteral("The connection to the server was lost: ");

// How the kernel probes a silent connection.
struct KeepAlive {
    int enabled = -1;
    int idleSeconds = -1;
    int intervalSeconds = -1;
    int probes = -1;
    bool operator==(const KeepAlive &) const = default;
};

void PrintTo(const KeepAlive &k, std::ostream *out)
{
    *out << "{on " << k.enabled << ", idle " << k.idleSeconds << " s, every " << k.intervalSeconds << " s, "
         << k.probes << " probes}";
}

quint16 peerPort(int fd)
{
    sockaddr_storage peer{};
    socklen_t length = sizeof peer;
    if (::getpeername(fd, reinterpret_cast<sockaddr *>(&peer), &length) != 0)
        return 0;
    if (peer.ss_family == AF_INET)
        return ntohs(reinterpret_cast<sockaddr_in *>(&peer)->sin_port);
    if (peer.ss_family == AF_INET6)
        return ntohs(reinterpret_cast<sockaddr_in6 *>(&peer)->sin6_port);
    return 0;
}

// The keep-alive of every socket of this process that is connected to the port.
std::vector<KeepAlive> socketsConnectedTo(const QString &port)
{
    std::vector<KeepAlive> found;
    for (const QString &name : QDir("/proc/self/fd").entryList(QDir::AllEntries | QDir::System)) {
        bool isNumber = false;
        const int fd = name.toInt(&isNumber);
        if (!isNumber || peerPort(fd) != port.toUShort())
            continue;
        KeepAlive k;
        socklen_t length = sizeof(int);
        ::getsockopt(fd, SOL_SOCKET, SO_KEEPALIVE, &k.enabled, &length);
        ::getsockopt(fd, IPPROTO_TCP, TCP_KEEPIDLE, &k.idleSeconds, &length);
        ::getsockopt(fd, IPPROTO_TCP, TCP_KEEPINTVL, &k.intervalSeconds, &length);
        ::getsockopt(fd, IPPROTO_TCP, TCP_KEEPCNT, &k.probes, &length);
        found.push_back(k);
    }
    return found;
}

// One server (the test's parameter) reached through a proxy of the test's own.
class BackendNetworkTest : public ::testing::TestWithParam<QString>
{
protected:
    void SetUp() override
    {
        auto server = serverTarget(GetParam());
        VORN_REQUIRE_SERVER(server, GetParam().toStdString());
        proxy_ = std::make_unique<TcpProxy>(server->server, server->port);
        ASSERT_NE(proxy_->port(), "0");
        target_ = *server;
        target_.port = proxy_->port();
    }

    // A root connected through the proxy; flags as startNewConnection takes them (1 is auto-commit).
    std::unique_ptr<TestRoot> connected(int flags = 1, int timeoutSeconds = 10)
    {
        auto root = std::make_unique<TestRoot>();
        EXPECT_TRUE(root->connect(target_, timeoutSeconds, flags)) << root->lastErrorMessage().toStdString();
        return root;
    }

    // Waits until the root's statement runs on the server.
    static void waitUntilRunning(const TestRoot &root)
    {
        const QoJavaObjectPtr browser = asObject(root.call("browser"));
        ASSERT_WAIT_FOR_MS(browser->call("canStopStoppableStatement").toBool(), 10000);
    }

    std::unique_ptr<TcpProxy> proxy_;
    DatabaseTarget target_;
};

INSTANTIATE_TEST_SUITE_P(Servers, BackendNetworkTest, ::testing::Values("PostgreSQL", "MySQL"),
                         [](const auto &info) { return info.param.toStdString(); });

} // namespace

TEST_P(BackendNetworkTest, ACutConnectionIsReportedAsLostWithTheDriversWords)
{
    // Cut while idle: the next statement finds out; cut while a statement runs: that statement does.
    for (const bool running : {false, true}) {
        SCOPED_TRACE(running ? "cut during a statement" : "cut while idle");
        auto root = connected();
        ASSERT_TRUE(root->run("SELECT 1"));
        QString outcome;
        if (running) {
            // A statement that waits without working: the server runs a cut connection's statement to
            // its end, and a busy one would load the machine for the rest of the test run.
            const QString waiting = GetParam() == "PostgreSQL" ? "SELECT pg_sleep(30)" : "SELECT SLEEP(30)";
            JavaThread statement([&] {
                root->execute(waiting);
                outcome = root->lastErrorMessage();
            });
            waitUntilRunning(*root);
            proxy_->cut();
        } else {
            proxy_->cut();
            root->execute("SELECT 1");
            outcome = root->lastErrorMessage();
        }
        EXPECT_TRUE(outcome.startsWith(lost)) << outcome.toStdString();
        EXPECT_GT(outcome.size(), lost.size()) << "the driver's own text follows";
        EXPECT_FALSE(root->isTrue("isConnected"));
    }
    // Reconnecting through the same path works.
    auto again = connected();
    EXPECT_TRUE(again->run("SELECT 1"));
}

TEST_P(BackendNetworkTest, KeepAliveProbesASilentConnectionWithinAMinute)
{
    // With and without the preference that keeps idle connections alive with pings.
    for (const int flags : {1, 3}) {
        SCOPED_TRACE(flags);
        auto root = connected(flags);
        EXPECT_EQ(socketsConnectedTo(proxy_->port()), std::vector<KeepAlive>({{1, 30, 10, 3}}));
        root->call("endConnection");
        WAIT_FOR(socketsConnectedTo(proxy_->port()).empty());
    }
}

TEST_P(BackendNetworkTest, ASilentNetworkFailsTheBackendsOwnRoundTrips)
{
    // A connect time-out of 1 s limits silence outside statements to 6 s.
    auto root = connected(1, 1);
    ASSERT_TRUE(root->run("SELECT 1")) << "a statement leaves the limit in place again";
    proxy_->stall();
    std::atomic<bool> done{false};
    QString outcome;
    JavaThread reading([&] {
        root->call("fullyLoadForSchema:", {QString()});
        outcome = root->lastErrorMessage();
        done = true;
    });
    VORN_WAIT_UNTIL(done, 30000);
    const bool endedByItself = done;
    proxy_->cut(); // frees the reader when it would still wait
    reading.join();
    EXPECT_TRUE(endedByItself) << "the metadata read waited on a silent network";
    EXPECT_TRUE(outcome.startsWith(lost)) << outcome.toStdString();
    EXPECT_FALSE(root->isTrue("isConnected"));
}

TEST_P(BackendNetworkTest, AStatementMayBeSilentLongerThanTheLimit)
{
    auto root = connected(1, 1);
    const QString sevenSeconds = GetParam() == "PostgreSQL" ? "SELECT pg_sleep(7)" : "SELECT SLEEP(7)";
    EXPECT_TRUE(root->run(sevenSeconds));
    EXPECT_TRUE(root->isTrue("isConnected"));
}

TEST_P(BackendNetworkTest, AStatementOnAStalledNetworkEndsAtOnceWhenTheConnectionIsDropped)
{
    auto root = connected(1);
    std::atomic<bool> done{false};
    QString outcome;
    JavaThread statement([&] {
        root->execute(GetParam() == "PostgreSQL" ? "SELECT pg_sleep(60)" : "SELECT SLEEP(60)");
        outcome = root->lastErrorMessage();
        done = true;
    });
    waitUntilRunning(*root);
    proxy_->stall();
    root->sqlConnection()->call("cancelQuery"); // its own connection stalls as well

    root->call("dropConnection");
    VORN_WAIT_UNTIL(done, 5000);
    const bool endedAtOnce = done;
    proxy_->cut(); // frees the statement when it would still wait
    statement.join();
    EXPECT_TRUE(endedAtOnce);
    EXPECT_EQ(outcome, "CANCELLED");
    EXPECT_FALSE(root->isTrue("hasConnection"));
    EXPECT_FALSE(root->isTrue("isConnected"));

    // Once the network is back, connecting again works.
    proxy_->resume();
    EXPECT_TRUE(root->connect(target_, 10, 1)) << root->lastErrorMessage().toStdString();
    EXPECT_TRUE(root->run("SELECT 1"));
}
