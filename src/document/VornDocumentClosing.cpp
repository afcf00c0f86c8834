// Closing the document and the checks before a disconnect; saving before a close.

#include "connection/ClosingConnectionController.h"
#include "connection/ClosingDocumentController.h"
#include "document/ConnectionLife.h"
#include "document/VornDocument.h"
#include "document/VornDocumentSession.h"
#include "platform/MainThread.h"
#include "status/LoggerController.h"
#include "status/StatusManager.h"
#include "tabs/TabbedWindowController.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QPointer>

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
    // The browser reloads what it shows here once it exists.
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
