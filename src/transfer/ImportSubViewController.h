#pragma once

#include "kit/AssistantWindowSubViewController.h"
#include "transfer/ImportSubViewControllerDelegate.h"

#include <QPointer>
#include <QWidget>

class ImportController;
class ImportPreviewViewController;

// A page of the import assistant. It keeps no settings of its own: every control shows what the
// import controller holds and writes each change straight back. The page owns its view until the
// wizard places it.
class ImportSubViewController : public AssistantWindowSubViewController
{
public:
    ImportSubViewController() = default;
    ImportSubViewController(const ImportSubViewController &) = delete;
    ImportSubViewController &operator=(const ImportSubViewController &) = delete;
    ~ImportSubViewController() override
    {
        if (view_ && !view_->parent())
            delete view_;
    }

    QWidget *view() override { return view_; }
    void updateInterface() override {}
    // Whether the user may go on from this page.
    virtual bool canContinue() const { return false; }
    // Pages that show the shared preview take it below their own controls and set what it shows.
    virtual void setImportPreviewViewController(ImportPreviewViewController *) {}

    virtual void setImportController(ImportController *controller) { importController_ = controller; }
    ImportController *importController() const { return importController_; }
    void setDelegate(ImportSubViewControllerDelegate *delegate) { delegate_ = delegate; }

protected:
    void setView(QWidget *view) { view_ = view; }
    void changed()
    {
        if (delegate_)
            delegate_->importSubViewControllerUpdated(this);
    }

    ImportController *importController_ = nullptr;
    ImportSubViewControllerDelegate *delegate_ = nullptr;

private:
    QPointer<QWidget> view_;
};
