#pragma once

#include "connection/ClosingConnectionController.h"

class ClosingDocumentControllerDelegate;

// The checks before a tab closes: those of the connection, then whether the unsaved document is
// saved, discarded or the close cancelled.
class ClosingDocumentController : public ClosingConnectionController
{
public:
    using ClosingConnectionController::ClosingConnectionController;

    void setDelegate(ClosingDocumentControllerDelegate *delegate);
    void closingConnectionCompleted() override;
    void closingDocumentCompleted();

private:
    void runDirtyDocumentCheck();

    ClosingDocumentControllerDelegate *documentDelegate_ = nullptr;
};
