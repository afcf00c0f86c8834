#pragma once

#include "kit/AssistantWindowSubViewController.h"

#include <QPointer>
#include <QVariantMap>
#include <QWidget>

#include <memory>

class DDLController;
class DDLSubViewControllerDelegate;
class VornAssistantClient;
class VornBrowserClient;

// The data of one assistant run, shared by all its pages: plain strings, numbers, lists and maps under
// fixed keys, so the script can be rebuilt from it alone.
using DdlSharedData = std::shared_ptr<QVariantMap>;

// A page of a create assistant. It owns its view, built in code; the wizard only shows it. Main thread.
class DDLSubViewController : public AssistantWindowSubViewController
{
public:
    DDLSubViewController();
    ~DDLSubViewController() override;

    QWidget *view() override { return view_; }
    void updateInterface() override {}
    // Whether the page holds all the input it needs.
    virtual bool canContinue() { return true; }

    DDLController *ddlController() const { return ddlController_; }
    // Pages fill their controls from the connected database here.
    virtual void setDdlController(DDLController *controller) { ddlController_ = controller; }
    DDLSubViewControllerDelegate *delegate() const { return delegate_; }
    void setDelegate(DDLSubViewControllerDelegate *delegate) { delegate_ = delegate; }
    const DdlSharedData &sharedData() const { return sharedData_; }
    virtual void setSharedData(DdlSharedData data) { sharedData_ = std::move(data); }

protected:
    // The root's browser and assistant of the controller's connection; null without one.
    std::shared_ptr<VornBrowserClient> browser() const;
    std::shared_ptr<VornAssistantClient> assistant() const;
    QVariant shared(const QString &key) const;
    void setShared(const QString &key, const QVariant &value);
    void removeShared(const QString &key);
    void tellUpdated();

    QPointer<QWidget> view_;

private:
    DDLController *ddlController_ = nullptr;
    DDLSubViewControllerDelegate *delegate_ = nullptr;
    DdlSharedData sharedData_;
};
