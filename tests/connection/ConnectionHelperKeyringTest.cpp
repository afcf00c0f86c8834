// Runs against a real Secret Service (GNOME Keyring on a private session bus).
#include "connection/ConnectionHelper.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <gtest/gtest.h>

namespace
{

using Attributes = QMap<QString, QString>;

// Items the Secret Service holds for a service and account, asked of the service itself.
int itemCount(const QString &service, const QString &account)
{
    qDBusRegisterMetaType<Attributes>();
    QDBusMessage call = QDBusMessage::createMethodCall("org.freedesktop.secrets", "/org/freedesktop/secrets",
                                                       "org.freedesktop.Secret.Service", "SearchItems");
    call << QVariant::fromValue(Attributes{{"server", service}, {"user", account}});
    const QDBusMessage reply = QDBusConnection::sessionBus().call(call);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().size() != 2)
        return -1;
    const auto unlocked = qdbus_cast<QList<QDBusObjectPath>>(reply.arguments().at(0));
    const auto locked = qdbus_cast<QList<QDBusObjectPath>>(reply.arguments().at(1));
    return int(unlocked.size() + locked.size());
}

} // namespace

TEST(ConnectionHelperKeyring, StoresReplacesAndLooksUpPasswords)
{
    ASSERT_TRUE(QDBusConnection::sessionBus().isConnected()) << "run through with-secret-service.sh";
    const QString type = "PostgreSQL", server = "dbhöst", port = "5432", database = "sales", user = "jürgen";

    EXPECT_FALSE(ConnectionHelper::passwordFromKeychainType(type, server, port, database, user).has_value());

    ConnectionHelper::storePasswordInKeychainType(type, server, port, database, user, "first");
    ConnectionHelper::storePasswordInKeychainType(type, server, port, database, user, "sécret ✓ 密码");
    EXPECT_EQ(ConnectionHelper::passwordFromKeychainType(type, server, port, database, user),
              std::optional<QString>("sécret ✓ 密码"));
    EXPECT_EQ(itemCount(ConnectionHelper::urlForDatabaseType(type, server, port, database, user),
                        ConnectionHelper::accountForUserName(user, server, database)),
              1);

    // A local file's empty password is a found item, not a missing one.
    const QString file = "file:///home/me/data/shop.db";
    ConnectionHelper::storePasswordInKeychainType("SQLite", "", "", file, "", "");
    EXPECT_EQ(ConnectionHelper::passwordFromKeychainType("SQLite", "", "", file, ""),
              std::optional<QString>(""));
    EXPECT_FALSE(ConnectionHelper::passwordFromKeychainType("SQLite", "", "", file + "x", "").has_value());
}
