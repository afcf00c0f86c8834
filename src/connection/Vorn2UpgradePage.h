#pragma once

#include "kit/AssistantWindowSubViewController.h"

#include <QPointer>
#include <QWidget>

// A page of the older-version import: it owns its view until the wizard shows it, and deletes it
// when the view is not placed anywhere.
class Vorn2UpgradePage : public AssistantWindowSubViewController
{
public:
    ~Vorn2UpgradePage() override
    {
        if (view_ && !view_->parent())
            delete view_;
    }
    QWidget *view() override { return view_; }
    void updateInterface() override {}

protected:
    void setView(QWidget *view) { view_ = view; }

private:
    QPointer<QWidget> view_;
};
