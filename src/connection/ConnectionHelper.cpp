#include "connection/ConnectionHelper.h"

#include "platform/Keychain.h"

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
    return Keychain::shared().findPassword(urlForDatabaseType(type, server, port, database, username),
                                           accountForUserName(username, server, database));
}

void ConnectionHelper::storePasswordInKeychainType(const QString &type, const QString &server,
                                                   const QString &port, const QString &database,
                                                   const QString &username, const QString &password)
{
    Keychain::shared().storePassword(urlForDatabaseType(type, server, port, database, username),
                                     accountForUserName(username, server, database), password);
}
