// Closing the document, the checks before a disconnect and the open-transaction reminder.

#include "bridge/QoJavaBridgeException.h"
#include "bridge/ThreadController.h"
#include "connection/ClosingConnectionController.h"
#include "connection/ClosingDocumentController.h"
#include "document/VornDocument.h"
#include "document/VornDocumentSession.h"
#include "platform/MainThread.h"
#include "status/LoggerController.h"
#include "status/StatusManager.h"
#include "tabs/TabbedWindowController.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QPointer>

#include <thread>

namespace
{

QString documentText(const char *text)
{
    return QCoreApplication::translate("document", text);
}

} // namespace

void VornDocument::canCloseDocumentWithDelegate(CloseCallback shouldClose)
{
    runClosingCheck(closingDocumentController_.get(), std::move(shouldClose));
}

void VornDocument::canDisconnectDocumentWithDelegate(CloseCallback shouldClose)
{
    runClosingCheck(closingConnectionController_.get(), std::move(shouldClose));
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

void VornDocument::documentShouldDisconnect(bool shouldDisconnect)
{
    if (shouldDisconnect) {
        session_->vornRoot->call(QStringLiteral("endConnection"));
        clearConnectionState();
        session_->statusManager->setConnectionStatus(
            QCoreApplication::translate("connection", "Disconnected from the database"));
    }
    documentStatusUpdated();
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
    discardDirtyDocument();
    const bool endRootHere = session_->closeDocument();
    // A running connect is asked to stop; it ends the root itself when it has finished.
    cancelConnectingWait(false);
    if (endRootHere)
        session_->endRoot();
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
    return rootIs("hasConnection");
}

bool VornDocument::hasDirtyConnection()
{
    return rootIs("hasConnection") && rootIs("dirty");
}

bool VornDocument::hasRunningQuery()
{
    return rootIs("hasConnection") && statusManagerCanCancelAction(nullptr);
}

void VornDocument::cancelRunningQuery()
{
    statusManagerCancelAction(nullptr);
}

void VornDocument::cancelledClosingConnectionDidRollback()
{
    // The browser reloads what it shows here once it exists.
}

bool VornDocument::hasDirtyDocument()
{
    return TabbedDocument::isDocumentEdited();
}

void VornDocument::discardDirtyDocument()
{
    setDocumentEdited(false);
    documentStatusUpdated();
}

void VornDocument::saveDocumentWithDelegate(std::function<void(bool saved)> didSave)
{
    if (!filePath().isEmpty()) {
        didSave(saveAndReport(filePath()));
        return;
    }
    auto *panel = new QFileDialog(windowForSheet(), documentText("Save"));
    panel->setAcceptMode(QFileDialog::AcceptSave);
    panel->setNameFilter(documentText("SQL documents (*.sql)"));
    panel->setDefaultSuffix(QStringLiteral("sql"));
    panel->setWindowModality(windowForSheet() ? Qt::WindowModal : Qt::ApplicationModal);
    QObject::connect(panel, &QFileDialog::finished, this, [this, panel, didSave](int result) {
        panel->deleteLater();
        const QStringList chosen = panel->selectedFiles();
        didSave(result == QDialog::Accepted && !chosen.isEmpty() && saveAndReport(chosen.first()));
    });
    panel->open();
}

bool VornDocument::saveAndReport(const QString &path)
{
    QString error;
    if (saveToFile(path, &error))
        return true;
    session_->statusManager->runErrorWithTitle(documentText("The document could not be saved."), error);
    return false;
}

// Open-transaction reminder.

void VornDocument::checkForOutstandingTransaction()
{
    if (!rootIs("hasConnection") || !rootIs("dirty"))
        return;
    if (session_->vornRoot->call(QStringLiteral("dirtySeconds")).toInt() < dirtyWarningSeconds)
        return;
    session_->statusManager->runErrorWithTitle(
        documentText("This connection has had uncommitted changes for more than 5 minutes."),
        documentText(
            "To prevent database locks it is advised to Commit or Rollback these changes.\nOther users or "
            "automated process might need to process the same records, they will need to wait until the "
            "changes of this connection done."),
        documentText("Commit"), documentText("Cancel"), documentText("Rollback"),
        [guard = QPointer<VornDocument>(this)](int returnCode) {
            if (guard)
                guard->checkForOutstandingTransactionResponse(returnCode);
        });
    session_->vornRoot->call(QStringLiteral("resetDirtySeconds"));
}

void VornDocument::checkForOutstandingTransactionResponse(int returnCode)
{
    if (returnCode == 1 || returnCode == -1)
        startReminderTransactionEnd(returnCode == 1);
    session_->vornRoot->call(QStringLiteral("resetDirtySeconds"));
}

// Commit or rollback on a worker that holds the reservation, as the closing checks do.
void VornDocument::startReminderTransactionEnd(bool commit)
{
    const QString activity =
        QCoreApplication::translate("activity", commit ? "Committing changes" : "Rollback changes");
    if (!connectedControllerWantsRootReservationFor(nullptr, activity))
        return;
    std::thread([commit, session = session_, guard = QPointer<VornDocument>(this)]() mutable {
        session->threadController->registerThread(QStringLiteral("Committing or Rollback"));
        ClosingConnectionController::rollbackOrCommit(commit, session->vornRoot, *session->statusManager);
        session->threadController->unRegisterThread();
        MainThread::post([guard, session = std::move(session)] {
            if (guard)
                guard->connectedControllerWantsEndRootReservation(nullptr);
            else
                session->vornRoot->call(QStringLiteral("releaseReservedRoot"));
        });
    }).detach();
}
