// Closing the document and the checks before a disconnect; saving before a close.

#include "connection/ClosingConnectionController.h"
#include "connection/ClosingDocumentController.h"
#include "document/BrowserRouting.h"
#include "document/ConnectionLife.h"
#include "document/DocumentSaving.h"
#include "document/ManagementRefresh.h"
#include "document/VornDocument.h"
#include "document/VornDocumentSession.h"
#include "platform/MainThread.h"
#include "status/LoggerController.h"
#include "status/StatusManager.h"
#include "tabs/TabbedWindowController.h"

void VornDocument::canCloseDocumentWithDelegate(CloseCallback shouldClose)
{
    runClosingCheck(closingDocumentController_.get(), std::move(shouldClose));
}

void VornDocument::canDisconnectDocumentWithDelegate(CloseCallback shouldClose)
{
    runClosingCheck(closingConnectionController_.get(), std::move(shouldClose));
}

void VornDocument::canQuitDocumentWithDelegate(QuitCallback shouldQuit)
{
    reviewingForQuit_ = true;
    discardOnQuit_ = false;
    runClosingCheck(closingDocumentController_.get(),
                    [shouldQuit = std::move(shouldQuit)](TabbedDocument *document, bool answer) {
                        auto *self = static_cast<VornDocument *>(document);
                        self->reviewingForQuit_ = false;
                        shouldQuit(self, answer, answer && self->discardOnQuit_);
                    });
}

void VornDocument::runClosingCheck(ClosingConnectionController *checker, CloseCallback shouldClose)
{
    // The checks of an earlier request are still asking: this one waits for nothing and stays.
    if (checker->isRunning()) {
        shouldClose(this, false);
        return;
    }
    checker->setShouldCloseCallback([shouldClose = std::move(shouldClose)](
                                        ClosingConnectionControllerDelegate *document, bool answer, void *) {
        shouldClose(static_cast<VornDocument *>(document), answer);
    });
    checker->setShouldCloseContextInfo(nullptr);
    showThisDocument();
    checker->runOnWindow(windowForSheet());
}

void VornDocument::destroyResources()
{
    session_->statusManager->loggerController()->destroy();
}

void VornDocument::close()
{
    if (isClosed())
        return;
    dirtyCheckTimer_.reset();
    managementRefresh_->stop();
    discardDirtyDocument();
    connectionLife_->closeDocument();
    MainWindowDocument::close();
}

bool VornDocument::isDocumentEdited()
{
    return hasDirtyConnection() || hasRunningQuery() || hasDirtyDocument();
}

// Closing checks.

bool VornDocument::canChangeFocus()
{
    return connectedControllerWantsToChangeFocus(nullptr, true);
}

bool VornDocument::hasConnection()
{
    return session_->vornRoot->hasConnection();
}

bool VornDocument::hasDirtyConnection()
{
    return session_->vornRoot->hasConnection() && session_->vornRoot->dirty();
}

bool VornDocument::hasRunningQuery()
{
    return session_->vornRoot->hasConnection() && statusManagerCanCancelAction(nullptr);
}

void VornDocument::cancelRunningQuery()
{
    statusManagerCancelAction(nullptr);
}

void VornDocument::cancelledClosingConnectionDidRollback()
{
    browserRouting_->browserNeedsARefresh();
}

bool VornDocument::hasDirtyDocument()
{
    return TabbedDocument::isDocumentEdited();
}

void VornDocument::discardDirtyDocument()
{
    if (reviewingForQuit_) {
        discardOnQuit_ = true; // the quit review discards, once every document has agreed
        return;
    }
    setDocumentEdited(false);
    documentStatusUpdated();
}

void VornDocument::saveDocumentWithDelegate(std::function<void(bool saved)> didSave)
{
    saving_->save(std::move(didSave));
}
