// Network faults between the backend and the real servers, made by a loopback proxy in front of them:
// connections that are cut or go silent.
#include "BackendTestSupport.h"
#include "LongStatements.h"
#include "TcpProxy.h"
#include "TestServers.h"
#include "WaitFor.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>

namespace
{

const QString lost = QStringLiteral("The connection to the server was lost: ");

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
            JavaThread statement([&] {
                root->execute(longStatementFor(GetParam()));
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
