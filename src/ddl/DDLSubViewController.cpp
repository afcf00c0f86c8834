#include "ddl/DDLSubViewController.h"

#include "client/VornAssistantClient.h"
#include "client/VornBrowserClient.h"
#include "ddl/DDLController.h"
#include "ddl/DDLSubViewControllerDelegate.h"

DDLSubViewController::DDLSubViewController() : view_(new QWidget) {}

DDLSubViewController::~DDLSubViewController()
{
    delete view_;
}

std::shared_ptr<VornBrowserClient> DDLSubViewController::browser() const
{
    return ddlController_ ? ddlController_->vornRoot()->browser() : nullptr;
}

std::shared_ptr<VornAssistantClient> DDLSubViewController::assistant() const
{
    return ddlController_ ? ddlController_->assistantClient() : nullptr;
}

QVariant DDLSubViewController::shared(const QString &key) const
{
    return sharedData_ ? sharedData_->value(key) : QVariant();
}

void DDLSubViewController::setShared(const QString &key, const QVariant &value)
{
    if (sharedData_)
        sharedData_->insert(key, value);
}

void DDLSubViewController::removeShared(const QString &key)
{
    if (sharedData_)
        sharedData_->remove(key);
}

void DDLSubViewController::tellUpdated()
{
    if (delegate_)
        delegate_->DDLSubViewControllerDelegateUpdated(this);
}
