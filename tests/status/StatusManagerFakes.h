#pragma once

// Fakes of what a status manager talks to: its document and the desktop under the application's
// notifier. The backend root's fake is FakeVornRootClient.

#include "kit/UserNotifier.h"
#include "platform/DesktopNotifier.h"
#include "status/StatusBarElement.h"
#include "status/StatusManager.h"
#include "status/StatusManagerDelegate.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QHash>
#include <QList>
#include <QThread>
#include <QVariantMap>
#include <QWidget>

#include <functional>

struct FakeClock {
    double now = 1000.0;
    std::function<double()> function()
    {
        return [this] { return now; };
    }
};

// Stands in for the desktop under the real user notifier: records what it shows and closes.
class FakeDesktop : public DesktopNotifier
{
public:
    FakeDesktop() : DesktopNotifier(QDBusConnection("no-desktop")) {}
    void click(quint32 id) { emit activated(id); }

    QStringList shown;
    QList<quint32> closed;

protected:
    quint32 sendNotify(const QString &title, const QString &message) override
    {
        shown << title + ": " + message;
        return quint32(shown.size());
    }
    void sendClose(quint32 id) override { closed << id; }
    void sendLauncherUpdate(const QVariantMap &) override {}
};

// The real user notifier over a fake desktop, on the test's clock.
struct FakeNotifier {
    explicit FakeNotifier(FakeClock &clock) : notifier(desktop, clock.function())
    {
        notifier.setDocumentStatesProvider([this] {
            ++alertCountUpdates;
            return QList<int>();
        });
    }

    FakeDesktop desktop;
    UserNotifier notifier;
    int alertCountUpdates = 0;
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
