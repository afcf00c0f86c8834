#include "kit/UserNotifier.h"

#include "kit/UserNotifierResponseTarget.h"
#include "platform/DesktopNotifier.h"
#include "platform/MainThread.h"

#include <QDateTime>
#include <QPointer>

#include <algorithm>
#include <chrono>

namespace
{
// Document states that want the user's attention: alert and success.
constexpr int AlertState = 3;
constexpr int SuccessState = 4;
} // namespace

UserNotifier &UserNotifier::instance()
{
    // Function-local statics are made once even when first called from several threads.
    static UserNotifier notifier(DesktopNotifier::system());
    return notifier;
}

double UserNotifier::systemClock()
{
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

UserNotifier::UserNotifier(DesktopNotifier &notifier, Clock clock, QObject *parent)
    : QObject(parent), notifier_(notifier), clock_(std::move(clock))
{
    notifier_.removeAll();
    busyTimer_.setInterval(BusyCheckIntervalMs);
    connect(&busyTimer_, &QTimer::timeout, this, &UserNotifier::busyCheck);
    connect(&notifier_, &DesktopNotifier::activated, this, &UserNotifier::activated);
}

UserNotifier::~UserNotifier() = default;

void UserNotifier::postNotification(const QVariantMap &message, UserNotifierResponseTarget *target)
{
    Q_ASSERT_X(MainThread::isMainThread(), "postNotification", "Should be called on main thread");
    QVariantMap userInfo = message;
    if (target) {
        const QString key = registrationOf(target);
        if (!key.isEmpty())
            userInfo.insert(ResponseTargetKey, key);
    }
    notifier_.deliver(userInfo.value("title").toString(), userInfo.value("message").toString(), userInfo);
}

void UserNotifier::registerBusyObject(const void *object)
{
    const double start = clock_();
    const quintptr key = reinterpret_cast<quintptr>(object);
    QPointer<UserNotifier> self(this);
    MainThread::post([self, key, start] {
        if (!self || self->busyObjects_.contains(key))
            return;
        self->busyObjects_.insert(key, start);
        self->timerUpdate();
    });
}

void UserNotifier::unregisterBusyObject(const void *object, const QVariantMap &statusMessage,
                                        bool postNotifications, UserNotifierResponseTarget *target)
{
    const double end = clock_();
    const quintptr key = reinterpret_cast<quintptr>(object);
    QPointer<UserNotifier> self(this);
    MainThread::post([self, key, end, statusMessage, postNotifications, target] {
        if (!self || !self->busyObjects_.contains(key))
            return;
        const bool isShort = end - self->busyObjects_.take(key) < ShortBusyPeriod;
        self->timerUpdate();
        if (postNotifications && !isShort && !statusMessage.isEmpty())
            self->postNotification(statusMessage, target);
    });
}

void UserNotifier::timerUpdate()
{
    if (busyObjects_.isEmpty() && busyTimer_.isActive()) {
        busyTimer_.stop();
        busyCheck();
    } else if (!busyObjects_.isEmpty() && !busyTimer_.isActive()) {
        busyTimer_.start();
    }
}

void UserNotifier::busyCheck()
{
    const double now = clock_();
    double earliest = now;
    for (double start : std::as_const(busyObjects_))
        earliest = std::min(earliest, start);
    const bool busy = now - earliest > BusyIndicationAfter;
    if (busy != busyIndicated_) {
        busyIndicated_ = busy;
        notifier_.setBusy(busy);
    }
}

QString UserNotifier::registerUserNotifierResponseTarget(UserNotifierResponseTarget *target)
{
    const double now = double(QDateTime::currentMSecsSinceEpoch()) / 1000.0;
    QString key = QString::asprintf("%f-%p", now, static_cast<void *>(target));
    while (targets_.contains(key))
        key += "'";
    targets_.insert(key, target);
    return key;
}

QString UserNotifier::registrationOf(const UserNotifierResponseTarget *target) const
{
    for (auto it = targets_.cbegin(); it != targets_.cend(); ++it) {
        if (it.value() == target)
            return it.key();
    }
    return {};
}

void UserNotifier::unregisterUserNotifierResponseTarget(UserNotifierResponseTarget *target)
{
    clearNotifications(target);
    const QString key = registrationOf(target);
    if (!key.isEmpty())
        targets_.remove(key);
}

void UserNotifier::clearNotifications(UserNotifierResponseTarget *target)
{
    const QString key = registrationOf(target);
    if (key.isEmpty())
        return;
    const QList<quint32> delivered = notifier_.deliveredNotifications();
    for (quint32 id : delivered) {
        if (notifier_.userInfo(id).value(ResponseTargetKey).toString() == key)
            notifier_.remove(id);
    }
}

void UserNotifier::clearAllNotifications()
{
    notifier_.removeAll();
}

void UserNotifier::setDocumentStatesProvider(std::function<QList<int>()> provider)
{
    documentStates_ = std::move(provider);
}

void UserNotifier::updateApplicationAlertCount()
{
    if (!MainThread::isMainThread()) {
        QPointer<UserNotifier> self(this);
        MainThread::post([self] {
            if (self)
                self->updateApplicationAlertCount();
        });
        return;
    }
    const QList<int> states = documentStates_ ? documentStates_() : QList<int>();
    const auto count = std::count_if(states.begin(), states.end(),
                                     [](int s) { return s == AlertState || s == SuccessState; });
    notifier_.setBadgeCount(count);
}

void UserNotifier::activated(quint32 id)
{
    const QString key = notifier_.userInfo(id).value(ResponseTargetKey).toString();
    if (UserNotifierResponseTarget *target = targets_.value(key))
        target->userRespondedToUserNotifier();
    notifier_.remove(id);
}
