#pragma once

#include <QString>

#include <optional>

// Connection facts of the throwaway database servers that scripts/test-servers starts.
struct TestServer {
    QString host;
    QString port;
    QString database;
    QString user;
    QString password;
    QString jdbcUrl;
};

namespace TestServers {
// The server's facts from the environment (VORN_PG_* / VORN_MY_*), or nothing when the
// servers were not started.
std::optional<TestServer> postgres();
std::optional<TestServer> mariadb();
// True when running in CI, where a missing server is a failure rather than a skip.
bool required();
} // namespace TestServers

// Skips the current test with a clear message when the server is absent, fails in CI.
#define VORN_REQUIRE_SERVER(optionalServer, what)                                                  \
    do {                                                                                            \
        if (!(optionalServer)) {                                                                    \
            if (TestServers::required())                                                            \
                FAIL() << what << " test server missing: run scripts/test-servers start";          \
            GTEST_SKIP() << what << " test server not started (scripts/test-servers start)";       \
        }                                                                                           \
    } while (false)
