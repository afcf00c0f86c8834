#pragma once

#include <QString>

#include <optional>

// Passwords of saved connections, one keyring item per connection, found by a service and an
// account string built from the connection's type, server, port, database and user name.
// Nothing deletes items. Main thread only.
class ConnectionHelper
{
public:
    static QString urlForDatabaseType(const QString &type, const QString &server, const QString &port,
                                      const QString &database, const QString &userName);
    static QString accountForUserName(const QString &userName, const QString &server,
                                      const QString &database);

    // The stored password; nullopt when there is no item or the keyring failed.
    static std::optional<QString> passwordFromKeychainType(const QString &type, const QString &server,
                                                           const QString &port, const QString &database,
                                                           const QString &username);
    // Adds the item or replaces its password. Failures are logged by the keyring layer only:
    // the connection itself is saved elsewhere, and the user can type the password again.
    static void storePasswordInKeychainType(const QString &type, const QString &server, const QString &port,
                                            const QString &database, const QString &username,
                                            const QString &password);
};
