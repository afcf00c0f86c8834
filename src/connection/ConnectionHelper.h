#pragma once

#include <QString>

#include <optional>

// Passwords of saved connections, one keyring item per connection, found by a service and an
// account string built from the connection's type, server, port, database and user name.
// Nothing deletes items. A password the keyring refused to store is not looked up again in this
// run (its item may hold an older one), so the next connect asks for it. Main thread only.
class ConnectionHelper
{
public:
    static QString urlForDatabaseType(const QString &type, const QString &server, const QString &port,
                                      const QString &database, const QString &userName);
    static QString accountForUserName(const QString &userName, const QString &server,
                                      const QString &database);

    // The stored password; nullopt when there is no item, the keyring failed, or the last store of
    // this item failed.
    static std::optional<QString> passwordFromKeychainType(const QString &type, const QString &server,
                                                           const QString &port, const QString &database,
                                                           const QString &username);
    // Adds the item or replaces its password. False when the keyring did not store it: the
    // caller tells the user, whose next connect then asks for the password.
    static bool storePasswordInKeychainType(const QString &type, const QString &server, const QString &port,
                                            const QString &database, const QString &username,
                                            const QString &password);
};
