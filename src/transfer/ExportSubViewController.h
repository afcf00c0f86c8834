#pragma once

#include "transfer/ExportSubViewControllerDelegate.h"
#include "transfer/TransferSubViewController.h"

class ExportController;

// A page of the export assistant, on the document's export controller.
class ExportSubViewController : public TransferSubViewController
{
public:
    void setExportController(ExportController *controller) { exportController_ = controller; }
    void setDelegate(ExportSubViewControllerDelegate *delegate) { delegate_ = delegate; }

protected:
    void changed()
    {
        if (delegate_)
            delegate_->exportSubViewControllerUpdated(this);
    }

    ExportController *exportController_ = nullptr;
    ExportSubViewControllerDelegate *delegate_ = nullptr;
};
