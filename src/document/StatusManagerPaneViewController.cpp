#include "document/StatusManagerPaneViewController.h"

#include "document/StatusManagerViewController.h"

StatusManagerPaneViewController::StatusManagerPaneViewController(QObject *parent)
    : PaneViewController(parent), statusManagerViewController_(new StatusManagerViewController)
{
    statusManagerViewController_->setParent(this);
    setView(statusManagerViewController_->contentStatusView());
}

void StatusManagerPaneViewController::detachModel()
{
    statusManagerViewController_->setStatusManager(nullptr);
}
