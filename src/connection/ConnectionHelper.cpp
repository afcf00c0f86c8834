#include "connection/ConnectionHelper.h"

#include "platform/Keychain.h"

#include <QPair>
#include <QSet>

namespace
{

QString schemeForDatabaseType(const QString &type)
{
    if (type == QLatin1String("MySQL"))
        return QStringLiteral("mysql");
    if (type == QLatin1String("PostgreSQL"))
        return QStringLiteral("postgresql");
    if (type == QLatin1String("SQL Server"))
        return QStringLiteral("sqlserver");
    return QStringLiteral("oracle");
}

// The last component of a path or URL string, trailing slashes ignored.
QString lastPathComponent(QString path)
{
    while (path.size() > 1 && path.endsWith('/'))
        path.chop(1);
    if (path == QLatin1String("/"))
        return path;
    return path.mid(path.lastIndexOf('/') + 1);
}

using Item = QPair<QString, QString>;

// Items whose last store in the shared keychain failed in this run, by service and account.
QSet<Item> &unstoredItems()
{
    static const Keychain *keychain = nullptr;
    static QSet<Item> items;
    if (keychain != &Keychain::shared()) {
        keychain = &Keychain::shared();
        items.clear();
    }
    return items;
}

} // namespace

QString ConnectionHelper::urlForDatabaseType(const QString &type, const QString &server, const QString &port,
                                             const QString &database, const QString &userName)
{
    if (type == QLatin1String("SQLite"))
        return QStringLiteral("vorn:sqlite//%1").arg(database);
    return QStringLiteral("vorn:%1//%2@%3:%4/%5")
        .arg(schemeForDatabaseType(type), userName, server, port, database);
}

QString ConnectionHelper::accountForUserName(const QString &userName, const QString &server,
                                             const QString &database)
{
    if (userName.isEmpty())
        return QStringLiteral("Database login for %1").arg(lastPathComponent(database));
    return QStringLiteral("Database login for %1 @ %2").arg(userName, server);
}

std::optional<QString> ConnectionHelper::passwordFromKeychainType(const QString &type, const QString &server,
                                                                  const QString &port,
                                                                  const QString &database,
                                                                  const QString &username)
{
    const Item item{urlForDatabaseType(type, server, port, database, username),
                    accountForUserName(username, server, database)};
    if (unstoredItems().contains(item))
        return std::nullopt;
    return Keychain::shared().findPassword(item.first, item.second);
}

bool ConnectionHelper::storePasswordInKeychainType(const QString &type, const QString &server,
                                                   const QString &port, const QString &database,
                                                   const QString &username, const QString &password)
{
    const Item item{urlForDatabaseType(type, server, port, database, username),
                    accountForUserName(username, server, database)};
    const bool stored = Keychain::shared().storePassword(item.first, item.second, password);
    if (stored)
        unstoredItems().remove(item);
    else
        unstoredItems().insert(item);
    return stored;
}
