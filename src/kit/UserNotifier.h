#pragma once

#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QVariantMap>

#include <functional>

class DesktopNotifier;
class UserNotifierResponseTarget;

// Tells the user, outside the document window, that something happened: posts desktop
// notifications (a click brings the target back), keeps the launcher's count of documents that
// want attention, and shows the launcher busy once the oldest busy period passes 2 seconds.
//
// Busy objects are registered from any thread; the start and end times are taken on the calling
// thread and the registry itself is only changed on the main thread, keyed by the object's
// address. Everything else runs on the main thread.
class UserNotifier : public QObject
{
    Q_OBJECT
public:
    // Seconds on a steady time line.
    using Clock = std::function<double()>;
    static constexpr double ShortBusyPeriod = 1.0;
    static constexpr double BusyIndicationAfter = 2.0;
    static constexpr int BusyCheckIntervalMs = 500;
    static inline const QString ResponseTargetKey = QStringLiteral("UserNotifierResponseTargetKey");

    static UserNotifier &instance();
    static double systemClock();
    explicit UserNotifier(DesktopNotifier &notifier, Clock clock = &UserNotifier::systemClock,
                          QObject *parent = nullptr);
    ~UserNotifier() override;

    // message: "title" and "message". Main thread only.
    void postNotification(const QVariantMap &message, UserNotifierResponseTarget *target = nullptr);

    void registerBusyObject(const void *object);
    // An empty message posts nothing. Posts when asked and the busy period lasted 1.0 s or more.
    void unregisterBusyObject(const void *object, const QVariantMap &statusMessage, bool postNotifications,
                              UserNotifierResponseTarget *target);

    QString registerUserNotifierResponseTarget(UserNotifierResponseTarget *target);
    void unregisterUserNotifierResponseTarget(UserNotifierResponseTarget *target);
    void clearNotifications(UserNotifierResponseTarget *target);
    void clearAllNotifications();

    // The documents' TabbedDocumentState values, asked for the attention count.
    void setDocumentStatesProvider(std::function<QList<int>()> provider);
    void updateApplicationAlertCount();

    // State of the busy tracking, as the main thread sees it.
    int busyObjectCount() const { return int(busyObjects_.size()); }
    bool busyTimerRunning() const { return busyTimer_.isActive(); }
    bool busyIndicated() const { return busyIndicated_; }
    void busyCheck();

private:
    QString registrationOf(const UserNotifierResponseTarget *target) const;
    void timerUpdate();
    void activated(quint32 id);

    DesktopNotifier &notifier_;
    Clock clock_;
    QHash<quintptr, double> busyObjects_;
    QTimer busyTimer_;
    bool busyIndicated_ = false;
    QHash<QString, UserNotifierResponseTarget *> targets_;
    std::function<QList<int>()> documentStates_;
};
