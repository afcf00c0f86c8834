#pragma once

#include <QDBusConnection>
#include <QHash>
#include <QObject>
#include <QVariantMap>

// The desktop's notification service and launcher in place of a notification centre and a Dock:
// notifications go to org.freedesktop.Notifications, the attention count and the busy state go
// out as the com.canonical.Unity.LauncherEntry "Update" signal. Where no desktop answers,
// nothing is shown and nothing fails. The notifier remembers what it delivered (with each
// notification's user info) until the notification is removed or the user closes it.
// Main thread only.
class DesktopNotifier : public QObject
{
    Q_OBJECT
public:
    static DesktopNotifier &system();
    // Talks to the desktop over the given bus.
    explicit DesktopNotifier(const QDBusConnection &bus, QObject *parent = nullptr);
    ~DesktopNotifier() override;

    // Shows a notification with the default sound. It is listed once the desktop has shown it;
    // nothing waits for the desktop's answer.
    void deliver(const QString &title, const QString &message, const QVariantMap &userInfo);
    QList<quint32> deliveredNotifications() const { return delivered_.keys(); }
    QVariantMap userInfo(quint32 id) const { return delivered_.value(id); }
    void remove(quint32 id);
    void removeAll();

    // The launcher's count badge; 0 or less removes it.
    void setBadgeCount(qint64 count);
    // The launcher's progress bar, shown while busy.
    void setBusy(bool busy);

signals:
    // The user clicked a delivered notification.
    void activated(quint32 id);

protected:
    // The desktop calls; a test overrides them to stand in for a desktop.
    // Answers the notification's id when it is known at once. The desktop's answer comes later
    // (nothing waits for it): then 0, and the notification is listed when the answer arrives.
    virtual quint32 sendNotify(const QString &title, const QString &message);
    virtual void sendClose(quint32 id);
    virtual void sendLauncherUpdate(const QVariantMap &properties);

private slots:
    void actionInvoked(uint id, const QString &actionKey);
    void notificationClosed(uint id, uint reason);

private:
    QDBusConnection bus_;
    QHash<quint32, QVariantMap> delivered_;
    // The user info of the notification being sent, for the desktop's later answer.
    QVariantMap sending_;
};
