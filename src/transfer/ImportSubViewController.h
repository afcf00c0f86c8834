#pragma once

#include "transfer/ImportSubViewControllerDelegate.h"
#include "transfer/TransferSubViewController.h"

class ImportController;
class ImportPreviewViewController;

// A page of the import assistant, on the document's import controller.
class ImportSubViewController : public TransferSubViewController
{
public:
    // Pages that show the shared preview take it below their own controls and set what it shows.
    virtual void setImportPreviewViewController(ImportPreviewViewController *) {}

    virtual void setImportController(ImportController *controller) { importController_ = controller; }
    ImportController *importController() const { return importController_; }
    void setDelegate(ImportSubViewControllerDelegate *delegate) { delegate_ = delegate; }

protected:
    void changed()
    {
        if (delegate_)
            delegate_->importSubViewControllerUpdated(this);
    }

    ImportController *importController_ = nullptr;
    ImportSubViewControllerDelegate *delegate_ = nullptr;
};
