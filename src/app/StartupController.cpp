#include "app/StartupController.h"
#include "client/VornRootClient.h"
#include "platform/AppFolders.h"

#include "app/StartupControllerDelegate.h"
#include "bridge/QoJavaBridge.h"
#include "bridge/QoJavaBridgeException.h"
#include "platform/MainThread.h"

#include <QPointer>

const QStringList &StartupController::preloadedClasses()
{
    static const QStringList classes{
        "nl/dalmerik/vorn/VornBrowser",           "nl/dalmerik/vorn/VornConnectionMetaData",
        "nl/dalmerik/vorn/VornResultset",         "nl/dalmerik/vorn/VornInfo",
        "nl/dalmerik/vorn/VornResultsetMetaData", "nl/dalmerik/vorn/VornCatalogSchema",
    };
    return classes;
}

StartupController::StartupController(StartupControllerDelegate *delegate, QObject *parent)
    : QObject(parent), delegate_(delegate)
{
}

void StartupController::startup()
{
    QPointer<StartupController> self(this);
    MainThread::post([self] {
        if (self)
            self->startupVm();
    });
}

void StartupController::startupVm()
{
    // The first use of the bridge starts the VM.
    QoJavaBridge::javaBridge();
    report(0.5f);
    warmUpBackend();
    report(0.75f);
    const QStringList &classes = preloadedClasses();
    preload(classes[0], classes[1], 0.83f);
    preload(classes[2], classes[3], 0.91f);
    preload(classes[4], classes[5], 1.0f);
    // Finish at the next turn of the run loop, after the last progress has been drawn.
    QPointer<StartupController> self(this);
    MainThread::post([self] {
        if (self)
            self->startupComplete();
    });
}

void StartupController::startupComplete()
{
    if (delegate_)
        delegate_->startupControllerFinished(this);
}

// The root exists only to run the backend's initialisation code once; the arguments sit where a
// document puts its own.
void StartupController::warmUpBackend()
{
    const VornRootClientPtr root = VornRootClient::create();
    if (!root)
        return;
    root->initRoot({AppFolders::support()});
    root->deInitialize();
}

void StartupController::preload(const QString &first, const QString &second, float progress)
{
    for (const QString &name : {first, second}) {
        try {
            QoJavaBridge::javaBridge()->classForName(name);
        } catch (const QoJavaBridgeException &) {
            // The bridge has told its delegate already; start-up goes on.
        }
    }
    report(progress);
}

void StartupController::report(float progress)
{
    if (delegate_)
        delegate_->startupController(this, progress);
}
