#include "TestServers.h"

namespace {
std::optional<TestServer> fromEnvironment(const char *prefix)
{
    auto value = [prefix](const char *key) {
        return qEnvironmentVariable((QString(prefix) + key).toLatin1().constData());
    };
    TestServer server{value("HOST"), value("PORT"), value("DATABASE"),
                      value("USER"), value("PASSWORD"), value("URL")};
    if (server.host.isEmpty() || server.port.isEmpty())
        return std::nullopt;
    return server;
}
} // namespace

namespace TestServers {
std::optional<TestServer> postgres() { return fromEnvironment("VORN_PG_"); }
std::optional<TestServer> mariadb() { return fromEnvironment("VORN_MY_"); }
bool required() { return qEnvironmentVariable("CI") == "true"; }
} // namespace TestServers
