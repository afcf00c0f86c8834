#pragma once

#include "kit/AssistantWindowSubViewController.h"
#include "transfer/ExportSubViewControllerDelegate.h"

#include <QPointer>
#include <QWidget>

class ExportController;

// A page of the export assistant. It keeps no settings of its own: every control shows what the export
// controller holds and writes each change straight back. The page owns its view until the wizard
// places it.
class ExportSubViewController : public AssistantWindowSubViewController
{
public:
    ExportSubViewController() = default;
    ExportSubViewController(const ExportSubViewController &) = delete;
    ExportSubViewController &operator=(const ExportSubViewController &) = delete;
    ~ExportSubViewController() override
    {
        if (view_ && !view_->parent())
            delete view_;
    }

    QWidget *view() override { return view_; }
    void updateInterface() override {}
    // Whether the user may go on from this page.
    virtual bool canContinue() const { return false; }

    void setExportController(ExportController *controller) { exportController_ = controller; }
    void setDelegate(ExportSubViewControllerDelegate *delegate) { delegate_ = delegate; }

protected:
    void setView(QWidget *view) { view_ = view; }
    void changed()
    {
        if (delegate_)
            delegate_->exportSubViewControllerUpdated(this);
    }

    ExportController *exportController_ = nullptr;
    ExportSubViewControllerDelegate *delegate_ = nullptr;

private:
    QPointer<QWidget> view_;
};
