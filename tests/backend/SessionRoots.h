#pragma once

// Typed roots connected to a test server as a document's are, for the tests that act on another
// connection's session: connecting one, reading the id the server gives its session, ending them.
#include "BackendTestSupport.h"
#include "client/SqlConnectionClient.h"
#include "client/VornResultset.h"
#include "client/VornRootClient.h"

#include <QDir>

#include <gtest/gtest.h>

#include <initializer_list>

// A root connected to the target with auto-commit, or null (with a test failure) when it did not connect.
inline VornRootClientPtr connectedSessionRoot(const DatabaseTarget &target, const QString &clientName)
{
    VornRootClientPtr root = VornRootClient::create();
    if (!root)
        return nullptr;
    root->initRoot({QDir::tempPath()});
    const BackendOutcome outcome =
        root->startNewConnection({target.server, target.port, target.database, target.user, target.password,
                                  target.type, clientName, 10, 1});
    EXPECT_TRUE(outcome.successful) << outcome.errorMessage.toStdString();
    return outcome.successful ? root : nullptr;
}

// The server's id of the root's session (PostgreSQL's backend pid, MariaDB's connection id), as the
// management views show it; invalid when it could not be read.
inline QVariant sessionIdOf(VornRootClient &root, const QString &type)
{
    root.sqlConnection()->executeQuery(
        type == "PostgreSQL" ? "SELECT pg_backend_pid() AS id" : "SELECT CONNECTION_ID() AS id", {});
    const VornResultsetPtr rows = root.resultset();
    return rows && rows->rowCount() == 1 ? rows->rowValues(1).value("id") : QVariant();
}

inline void endSessionRoots(std::initializer_list<VornRootClientPtr> roots)
{
    for (const VornRootClientPtr &root : roots)
        if (root) {
            root->endConnection();
            root->deInitialize();
        }
}
