#pragma once

// Fakes of what a status manager talks to: its document, the backend root and the application's
// notifier. The notifier keeps the real one's rules: an object registered twice keeps its first
// start, and a notification is delivered only for a busy period of at least one second.

#include "document/StatusBarElement.h"
#include "document/StatusManager.h"
#include "document/StatusManagerDelegate.h"
#include "document/StatusManagerRoot.h"
#include "document/StatusNotifier.h"

#include <QCoreApplication>
#include <QHash>
#include <QList>
#include <QThread>
#include <QVariantMap>
#include <QWidget>

#include <functional>
#include <map>

struct FakeClock {
    double now = 1000.0;
    std::function<double()> function()
    {
        return [this] { return now; };
    }
};

class FakeNotifier : public StatusNotifier
{
public:
    explicit FakeNotifier(FakeClock &clock) : clock_(clock) {}

    void registerBusyObject(const void *object) override
    {
        ++busyRegistrations;
        busySince.try_emplace(object, clock_.now);
    }
    void unregisterBusyObject(const void *object, const QVariantMap &statusMessage, bool postNotifications,
                              StatusManager *target) override
    {
        ++busyUnregistrations;
        const auto it = busySince.find(object);
        if (it == busySince.end())
            return;
        const bool shortPeriod = clock_.now - it->second < 1.0;
        busySince.erase(it);
        if (postNotifications && !shortPeriod && !statusMessage.isEmpty())
            delivered.append({statusMessage, target});
    }
    void postNotification(const QVariantMap &message, StatusManager *target) override
    {
        delivered.append({message, target});
    }
    void registerUserNotifierResponseTarget(StatusManager *target) override { targets.append(target); }
    void unregisterUserNotifierResponseTarget(StatusManager *target) override { targets.removeOne(target); }
    void clearNotifications(StatusManager *target) override { cleared.append(target); }
    void updateApplicationAlertCount() override { ++alertCountUpdates; }

    struct Delivery {
        QVariantMap message;
        StatusManager *target;
    };
    std::map<const void *, double> busySince;
    int busyRegistrations = 0;
    int busyUnregistrations = 0;
    QList<Delivery> delivered;
    QList<StatusManager *> targets;
    QList<StatusManager *> cleared;
    int alertCountUpdates = 0;

private:
    FakeClock &clock_;
};

class FakeRoot : public StatusManagerRoot
{
public:
    bool hasResultset() const override { return resultset; }
    qint32 resultsetRowCount() const override { return rowCount; }
    bool resultsetFullyLoaded() const override { return fullyLoaded; }
    bool resultsetReadOnly() const override { return readOnly; }
    QString resultsetReadOnlyReason() const override { return readOnlyReason; }
    QString connectionType() const override { return type; }

    bool resultset = false;
    qint32 rowCount = 0;
    bool fullyLoaded = false;
    bool readOnly = false;
    QString readOnlyReason;
    QString type = QStringLiteral("PostgreSQL");
};

class FakeElement : public StatusBarElement
{
public:
    explicit FakeElement(QString name) : name_(std::move(name)) {}
    QString name() const override { return name_; }
    QIcon icon() const override
    {
        QPixmap pixmap(14, 14);
        pixmap.fill(Qt::darkCyan);
        return QIcon(pixmap);
    }

private:
    QString name_;
};

class FakeDocument : public StatusManagerDelegate
{
public:
    void statusManagerHasStatusUpdate(StatusManager *) override
    {
        ++statusUpdates;
        updatedOnMainThread =
            updatedOnMainThread && QThread::currentThread() == QCoreApplication::instance()->thread();
    }
    void statusManagerHasTextOnlyStatusUpdate(StatusManager *) override { ++textOnlyUpdates; }
    void statusManagerHasAlert(StatusManager *manager) override
    {
        ++alertNotices;
        if (window)
            manager->runAlertIfAvailable(window);
    }
    bool statusManagerCurrentElementSupportsNotifications(StatusManager *) override
    {
        return supportsNotifications;
    }
    bool statusManagerDocumentIsActive(StatusManager *) override { return isActive; }
    bool statusManagerCanCancelAction(StatusManager *) override { return canCancel; }
    void statusManagerCancelAction(StatusManager *) override { requests << "cancel"; }
    void statusManagerWantsToDisconnect(StatusManager *) override { requests << "disconnect"; }
    void statusManagerWantsToReconnect(StatusManager *) override { requests << "reconnect"; }
    qint64 statusManagerConnectionStatus(StatusManager *) override { return connectionState; }
    QString statusManagerWantsReconnectName(StatusManager *) override { return connectionName; }
    QString statusManagerNeedsSelectedSchema(StatusManager *) override { return schema; }
    const StatusBarElement *statusManagerNeedsBrowserElement(StatusManager *) override { return element; }
    void statusManagerWantsToActivateDocument(StatusManager *) override { requests << "activate"; }

    QWidget *window = nullptr;
    bool supportsNotifications = true;
    bool isActive = true;
    bool canCancel = false;
    qint64 connectionState = 2;
    QString connectionName;
    QString schema;
    const StatusBarElement *element = nullptr;

    int statusUpdates = 0;
    int textOnlyUpdates = 0;
    int alertNotices = 0;
    bool updatedOnMainThread = true;
    QStringList requests;
};
