#include "platform/DesktopNotifier.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

namespace
{
const char *const Service = "org.freedesktop.Notifications";
const char *const Path = "/org/freedesktop/Notifications";
const char *const Interface = "org.freedesktop.Notifications";
const char *const LauncherPath = "/nl/dalmerik/vorn/LauncherEntry";
const char *const LauncherInterface = "com.canonical.Unity.LauncherEntry";
const char *const AppUri = "application://vorn.desktop";
// Reasons of NotificationClosed that take the notification off the screen for good.
constexpr uint DismissedByUser = 2;
constexpr uint ClosedByCall = 3;
constexpr int CallTimeoutMs = 2000;
} // namespace

DesktopNotifier &DesktopNotifier::system()
{
    static DesktopNotifier notifier(QDBusConnection::sessionBus());
    return notifier;
}

DesktopNotifier::DesktopNotifier(const QDBusConnection &bus, QObject *parent) : QObject(parent), bus_(bus)
{
    if (!bus_.isConnected())
        return;
    bus_.connect(QString(), Path, Interface, "ActionInvoked", this, SLOT(actionInvoked(uint, QString)));
    bus_.connect(QString(), Path, Interface, "NotificationClosed", this,
                 SLOT(notificationClosed(uint, uint)));
}

DesktopNotifier::~DesktopNotifier() = default;

void DesktopNotifier::deliver(const QString &title, const QString &message, const QVariantMap &userInfo)
{
    sending_ = userInfo;
    const quint32 id = sendNotify(title, message);
    if (id)
        delivered_.insert(id, userInfo);
}

void DesktopNotifier::remove(quint32 id)
{
    if (delivered_.remove(id))
        sendClose(id);
}

void DesktopNotifier::removeAll()
{
    const QList<quint32> ids = delivered_.keys();
    for (quint32 id : ids)
        remove(id);
}

void DesktopNotifier::setBadgeCount(qint64 count)
{
    sendLauncherUpdate({{"count", count > 0 ? count : 0}, {"count-visible", count > 0}});
}

void DesktopNotifier::setBusy(bool busy)
{
    sendLauncherUpdate({{"progress", busy ? 0.5 : 0.0}, {"progress-visible", busy}});
}

quint32 DesktopNotifier::sendNotify(const QString &title, const QString &message)
{
    if (!bus_.isConnected())
        return 0;
    QDBusMessage call = QDBusMessage::createMethodCall(Service, Path, Interface, "Notify");
    const QVariantMap hints{{"desktop-entry", "vorn"}, {"sound-name", "message-new-instant"}};
    // Only the default action: a click on the notification, no extra button.
    call << QString("Vorn") << uint(0) << QString() << title << message << QStringList{"default", ""} << hints
         << int(-1);
    // Where no desktop answers, the call fails and nothing is listed.
    auto *watcher = new QDBusPendingCallWatcher(bus_.asyncCall(call, CallTimeoutMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, watcher, userInfo = sending_] {
        const QDBusPendingReply<uint> reply = *watcher;
        if (!reply.isError() && reply.value())
            delivered_.insert(reply.value(), userInfo);
        watcher->deleteLater();
    });
    return 0;
}

void DesktopNotifier::sendClose(quint32 id)
{
    if (!bus_.isConnected())
        return;
    QDBusMessage call = QDBusMessage::createMethodCall(Service, Path, Interface, "CloseNotification");
    call << uint(id);
    bus_.call(call, QDBus::NoBlock);
}

void DesktopNotifier::sendLauncherUpdate(const QVariantMap &properties)
{
    if (!bus_.isConnected())
        return;
    QDBusMessage signal = QDBusMessage::createSignal(LauncherPath, LauncherInterface, "Update");
    signal << QString(AppUri) << properties;
    bus_.send(signal);
}

void DesktopNotifier::actionInvoked(uint id, const QString &actionKey)
{
    if (actionKey == "default" && delivered_.contains(id))
        emit activated(id);
}

void DesktopNotifier::notificationClosed(uint id, uint reason)
{
    if (reason == DismissedByUser || reason == ClosedByCall)
        delivered_.remove(id);
}
