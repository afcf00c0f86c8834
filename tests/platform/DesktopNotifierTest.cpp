#include "WaitFor.h"
#include "platform/DesktopNotifier.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace
{

// A notification server of our own on a private bus: what a desktop would run.
class FakeNotificationServer : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    struct Call {
        QString appName, summary, body;
        QStringList actions;
        QVariantMap hints;
    };
    QList<Call> notifies;
    QList<uint> closes;

public slots:
    uint Notify(const QString &appName, uint, const QString &, const QString &summary, const QString &body,
                const QStringList &actions, const QVariantMap &hints, int)
    {
        notifies.append({appName, summary, body, actions, hints});
        return uint(100 + notifies.size());
    }
    void CloseNotification(uint id) { closes.append(id); }
};

// A dbus-daemon of the test's own, so no desktop of the machine is touched.
class PrivateBus
{
public:
    PrivateBus()
    {
        daemon.start("dbus-daemon", {"--session", "--nofork", "--print-address"});
        if (daemon.waitForStarted() && daemon.waitForReadyRead(5000))
            address = QString::fromUtf8(daemon.readLine()).trimmed();
    }
    ~PrivateBus()
    {
        QDBusConnection::disconnectFromBus(name);
        daemon.kill();
        daemon.waitForFinished();
    }
    QDBusConnection connect() { return QDBusConnection::connectToBus(address, name); }
    QProcess daemon;
    QString address;
    const QString name = "vorn-test-bus";
};

class DesktopNotifierTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (bus.address.isEmpty())
            GTEST_SKIP() << "dbus-daemon could not be started";
        connection = std::make_unique<QDBusConnection>(bus.connect());
        ASSERT_TRUE(connection->isConnected());
    }
    void startDesktop()
    {
        ASSERT_TRUE(connection->registerService("org.freedesktop.Notifications"));
        ASSERT_TRUE(connection->registerObject("/org/freedesktop/Notifications", &server,
                                               QDBusConnection::ExportAllSlots));
    }
    void emitFromDesktop(const QString &signal, const QVariantList &arguments)
    {
        QDBusMessage message = QDBusMessage::createSignal("/org/freedesktop/Notifications",
                                                          "org.freedesktop.Notifications", signal);
        message.setArguments(arguments);
        connection->send(message);
    }
    PrivateBus bus;
    std::unique_ptr<QDBusConnection> connection;
    FakeNotificationServer server;
};

TEST_F(DesktopNotifierTest, WithoutADesktopNothingIsShownAndNothingFails)
{
    DesktopNotifier notifier(*connection);
    notifier.deliver("Vorn", "Done", {{"k", 1}});
    notifier.setBadgeCount(3);
    notifier.setBusy(true);
    notifier.removeAll();
    // The bus answers that nobody serves notifications; wait for that answer to have come.
    QDBusMessage ping = QDBusMessage::createMethodCall("org.freedesktop.DBus", "/org/freedesktop/DBus",
                                                       "org.freedesktop.DBus", "GetId");
    connection->call(ping);
    QCoreApplication::processEvents();
    EXPECT_TRUE(notifier.deliveredNotifications().isEmpty());

    DesktopNotifier offline(QDBusConnection("not-connected"));
    offline.deliver("Vorn", "Done", {});
    EXPECT_TRUE(offline.deliveredNotifications().isEmpty());
}

TEST_F(DesktopNotifierTest, DeliversRemembersAndRemoves)
{
    startDesktop();
    DesktopNotifier notifier(*connection);
    notifier.deliver("Vorn", "Query finished", {{"UserNotifierResponseTargetKey", "k1"}});
    ASSERT_WAIT_FOR_EQ(notifier.deliveredNotifications().size(), 1);
    const quint32 id = notifier.deliveredNotifications().first();
    ASSERT_EQ(id, 101u);
    ASSERT_EQ(server.notifies.size(), 1);
    const FakeNotificationServer::Call &call = server.notifies.first();
    EXPECT_EQ(call.summary, "Vorn");
    EXPECT_EQ(call.body, "Query finished");
    EXPECT_EQ(call.actions, (QStringList{"default", ""})) << "a click, no action button";
    EXPECT_TRUE(call.hints.contains("sound-name"));
    EXPECT_EQ(notifier.userInfo(id).value("UserNotifierResponseTargetKey").toString(), "k1");

    notifier.remove(id);
    EXPECT_TRUE(notifier.deliveredNotifications().isEmpty());
    ASSERT_WAIT_FOR_EQ(server.closes, QList<uint>{id});
}

TEST_F(DesktopNotifierTest, ClicksComeBackAndClosedOnesAreForgotten)
{
    startDesktop();
    DesktopNotifier notifier(*connection);
    for (const char *message : {"one", "two", "three"})
        notifier.deliver("Vorn", message, {});
    ASSERT_WAIT_FOR_EQ(notifier.deliveredNotifications().size(), 3);
    const quint32 clicked = 101, dismissed = 102, expired = 103;
    QSignalSpy spy(&notifier, &DesktopNotifier::activated);

    emitFromDesktop("ActionInvoked", {uint(clicked), QString("default")});
    ASSERT_TRUE(spy.wait(5000));
    EXPECT_EQ(spy.first().first().toUInt(), clicked);

    emitFromDesktop("NotificationClosed", {uint(dismissed), uint(2)});
    emitFromDesktop("NotificationClosed", {uint(expired), uint(1)});
    ASSERT_WAIT_FOR(!notifier.deliveredNotifications().contains(dismissed));
    EXPECT_TRUE(notifier.deliveredNotifications().contains(expired)) << "expired banners stay listed";
}

// Receives the launcher signal as a dock would.
class LauncherListener : public QObject
{
    Q_OBJECT
public:
    QList<QVariantMap> updates;
public slots:
    void update(const QString &, const QVariantMap &properties) { updates.append(properties); }
};

TEST_F(DesktopNotifierTest, BadgeAndBusyGoOutAsLauncherUpdates)
{
    LauncherListener listener;
    ASSERT_TRUE(connection->connect(QString(), QString(), "com.canonical.Unity.LauncherEntry", "Update",
                                    &listener, SLOT(update(QString, QVariantMap))));
    DesktopNotifier notifier(*connection);
    notifier.setBadgeCount(2);
    notifier.setBadgeCount(0);
    notifier.setBusy(true);
    ASSERT_WAIT_FOR_EQ(listener.updates.size(), 3);
    EXPECT_EQ(listener.updates[0].value("count").toLongLong(), 2);
    EXPECT_TRUE(listener.updates[0].value("count-visible").toBool());
    EXPECT_FALSE(listener.updates[1].value("count-visible").toBool());
    EXPECT_TRUE(listener.updates[2].value("progress-visible").toBool());
}

} // namespace

#include "DesktopNotifierTest.moc"
