#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

class StartupControllerDelegate;

// Starts the Java VM and warms up the backend before any document exists: one throw-away root
// object runs the backend's initialisation once, and the classes the first connection needs are
// loaded ahead. The work runs on the main thread at the next turn of the run loop, reporting its
// progress to the delegate; failures are the bridge's to report (to its own delegate).
class StartupController : public QObject
{
    Q_OBJECT
public:
    // The backend classes loaded ahead, in pairs per progress step.
    static const QStringList &preloadedClasses();

    explicit StartupController(StartupControllerDelegate *delegate, QObject *parent = nullptr);

    StartupControllerDelegate *delegate() const { return delegate_; }
    // Schedules startupVm on the main run loop and returns at once.
    void startup();
    void startupVm();
    void startupComplete();

private:
    void warmUpBackend();
    void preload(const QString &first, const QString &second, float progress);
    void report(float progress);

    StartupControllerDelegate *delegate_;
};
