#include "connection/DatabaseTypeTraits.h"

#include "client/VornRootClient.h"

bool DatabaseTypeTraits::hasLocalDatabaseFileConnection(const QString &type) const
{
    return VornRootClient::databaseTypeHasLocalDatabaseFileConnection(type);
}

bool DatabaseTypeTraits::hasDedicatedTransactionSupport(const QString &type) const
{
    return VornRootClient::databaseTypeHasDedicatedTransactionSupport(type);
}
