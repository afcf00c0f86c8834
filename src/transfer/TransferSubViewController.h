#pragma once

#include "kit/AssistantWindowSubViewController.h"

#include <QPointer>
#include <QWidget>

// A page of the import or the export assistant. It keeps no settings of its own: every control shows
// what its controller holds and writes each change straight back. The page owns its view until the
// wizard places it.
class TransferSubViewController : public AssistantWindowSubViewController
{
public:
    TransferSubViewController() = default;
    TransferSubViewController(const TransferSubViewController &) = delete;
    TransferSubViewController &operator=(const TransferSubViewController &) = delete;
    ~TransferSubViewController() override
    {
        if (view_ && !view_->parent())
            delete view_;
    }

    QWidget *view() override { return view_; }
    void updateInterface() override {}
    // Whether the user may go on from this page.
    virtual bool canContinue() const { return false; }

protected:
    void setView(QWidget *view) { view_ = view; }

private:
    QPointer<QWidget> view_;
};
