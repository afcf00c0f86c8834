#pragma once

#include <QVariantMap>

class StatusManager;

// The application-wide busy registry and user notifications as the status manager uses them.
// registerBusyObject and unregisterBusyObject may be called from any thread, the rest from the
// main thread. A notification is delivered for a busy period only when it lasted at least 1 s.
class StatusNotifier
{
public:
    virtual ~StatusNotifier() = default;

    virtual void registerBusyObject(const void *object) = 0;
    virtual void unregisterBusyObject(const void *object, const QVariantMap &statusMessage,
                                      bool postNotifications, StatusManager *userNotifierResponseTarget) = 0;
    virtual void postNotification(const QVariantMap &message, StatusManager *userNotifierResponseTarget) = 0;
    virtual void registerUserNotifierResponseTarget(StatusManager *target) = 0;
    virtual void unregisterUserNotifierResponseTarget(StatusManager *target) = 0;
    virtual void clearNotifications(StatusManager *target) = 0;
    virtual void updateApplicationAlertCount() = 0;
};
