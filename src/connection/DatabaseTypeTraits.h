#pragma once

#include <QString>

// What the connection editor asks about a database type. The backend's root class knows; tests may
// answer in code.
class DatabaseTypeTraits
{
public:
    virtual ~DatabaseTypeTraits() = default;

    // The type connects to a local database file instead of a server.
    virtual bool hasLocalDatabaseFileConnection(const QString &type) const;
    // The type has transactions of its own; without, the editor proposes "ask" for auto-commit.
    virtual bool hasDedicatedTransactionSupport(const QString &type) const;
};
