#include "connection/ClosingDocumentController.h"

#include "connection/ClosingDocumentControllerDelegate.h"
#include "platform/MainThread.h"

#include <QCoreApplication>

void ClosingDocumentController::setDelegate(ClosingDocumentControllerDelegate *delegate)
{
    documentDelegate_ = delegate;
    ClosingConnectionController::setDelegate(delegate);
}

void ClosingDocumentController::closingConnectionCompleted()
{
    runDirtyDocumentCheck();
}

void ClosingDocumentController::runDirtyDocumentCheck()
{
    if (!documentDelegate_->hasDirtyDocument()) {
        closingDocumentCompleted();
        return;
    }
    enum { Save, DontSave, Cancel };
    const auto text = [](const char *source) { return QCoreApplication::translate("alerts", source); };
    runSheet(text("Do you want to save changes to this document before closing?"),
             text("If you don't save, your changes will be lost."),
             {text("Save"), text("Don't Save"), text("Cancel")}, Cancel, [this](int answer) {
                 if (answer == DontSave) {
                     documentDelegate_->discardDirtyDocument();
                     closingDocumentCompleted();
                 } else if (answer == Save) {
                     documentDelegate_->saveDocumentWithDelegate([this](bool saved) {
                         if (saved)
                             closingDocumentCompleted();
                         else
                             runCancelled();
                     });
                 } else {
                     runCancelled();
                 }
             });
}

void ClosingDocumentController::closingDocumentCompleted()
{
    postToMainThread([this] { runCompleted(true); });
}
