// The connection document as the status bar's and the log pane's delegate.
#include "browser/BrowserController.h"
#include "client/VornBrowserClient.h"
#include "client/VornRootClient.h"
#include "ddl/ProcedureEditorController.h"
#include "document/BrowserRouting.h"
#include "document/ConnectionLife.h"
#include "document/LoggerViewController.h"
#include "document/ProcedureRouting.h"
#include "document/StatusManagerViewController.h"
#include "document/VornDocument.h"
#include "document/VornDocumentSession.h"
#include "editor/SQLEditorController.h"
#include "status/StatusManager.h"
#include "tabs/TabbedWindowController.h"
#include "window/VornTabbedWindowController.h"

#include <QPointer>

// Status manager and log.

void VornDocument::statusManagerHasStatusUpdate(StatusManager *)
{
    if (VornTabbedWindowController *controller = vornWindowController()) {
        using Pane = VornTabbedWindowController::Pane;
        if (auto *status = controller->pane(Pane::Status)->findChild<StatusManagerViewController *>())
            status->statusUpdated();
    }
    documentStatusUpdated();
}

void VornDocument::statusManagerHasTextOnlyStatusUpdate(StatusManager *)
{
    if (VornTabbedWindowController *controller = vornWindowController()) {
        using Pane = VornTabbedWindowController::Pane;
        if (auto *status = controller->pane(Pane::Status)->findChild<StatusManagerViewController *>())
            status->statusTextUpdated();
    }
}

void VornDocument::statusManagerHasAlert(StatusManager *manager)
{
    if (windowController())
        manager->runAlertIfAvailable(windowForSheet());
    documentStatusUpdated();
}

bool VornDocument::statusManagerCurrentElementSupportsNotifications(StatusManager *)
{
    // Management views refresh by themselves: their loads are no news worth a notification.
    return !browserController()->managementMode();
}

bool VornDocument::statusManagerDocumentIsActive(StatusManager *)
{
    TabbedWindowController *controller = windowController();
    return controller && controller->isWindowLoaded() && controller->window()->isActiveWindow();
}

bool VornDocument::statusManagerCanCancelAction(StatusManager *)
{
    const VornRootClient &root = *session_->vornRoot;
    if (connecting() && !root.hasConnection())
        return true;
    if (sqlEditorController()->canCancelExecution() ||
        procedureRouting_->procedureEditorController()->canCancelExecution())
        return true;
    const std::shared_ptr<VornBrowserClient> browser = root.browser();
    return browser && browser->canStopStoppableStatement();
}

// Stop ends what runs: a connect; else the editor's or the procedure's run, which stops their whole
// run and not only its current statement; else any other statement on the connection (a browser
// load, a refresh, a filter or sort).
void VornDocument::statusManagerCancelAction(StatusManager *)
{
    const VornRootClient &root = *session_->vornRoot;
    if (connecting() && !root.hasConnection()) {
        cancelConnecting();
    } else if (sqlEditorController()->canCancelExecution()) {
        sqlEditorController()->cancelExecution();
    } else if (procedureRouting_->procedureEditorController()->canCancelExecution()) {
        procedureRouting_->procedureEditorController()->cancelExecution();
    } else if (const std::shared_ptr<VornBrowserClient> browser = root.browser();
               browser && browser->canStopStoppableStatement()) {
        browser->stopStoppableStatement();
    }
}

void VornDocument::statusManagerWantsToDisconnect(StatusManager *)
{
    disconnect(nullptr);
}

void VornDocument::statusManagerWantsToReconnect(StatusManager *)
{
    reconnect(nullptr);
}

qint64 VornDocument::statusManagerConnectionStatus(StatusManager *)
{
    if (connecting())
        return Connecting;
    return session_->vornRoot->hasConnection() ? Connected : NotConnected;
}

QString VornDocument::statusManagerWantsReconnectName(StatusManager *)
{
    return connectionLife_->reconnectName();
}

QString VornDocument::statusManagerNeedsSelectedSchema(StatusManager *)
{
    return browserRouting_->selectedSchema();
}

const StatusBarElement *VornDocument::statusManagerNeedsBrowserElement(StatusManager *)
{
    return browserRouting_->selectedStatusBarElement();
}

void VornDocument::statusManagerWantsToActivateDocument(StatusManager *)
{
    showThisDocument();
    if (QWidget *window = windowForSheet()) {
        window->show();
        window->raise();
        window->activateWindow();
    }
}

void VornDocument::loggerControllerWasUpdated(LoggerController *)
{
    if (VornTabbedWindowController *controller = vornWindowController()) {
        if (auto *logger = qobject_cast<LoggerViewController *>(
                controller->pane(VornTabbedWindowController::Pane::Logger)))
            logger->loggingWasUpdated();
    }
}
