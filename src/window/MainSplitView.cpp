#include "window/MainSplitView.h"

#include "platform/NotificationCenter.h"

MainSplitView::MainSplitView(QWidget *parent) : CommonSplitView(Qt::Horizontal, parent)
{
    static const int requirements[5] = {220, 220, 200, 200, 300};
    setDimensionRequirements(requirements);
    setIdentifier("MainSplitView");
    setViewAEnabled(true);
    setViewBEnabled(true);
}

void MainSplitView::setViewAEnabled(bool enabled)
{
    CommonSplitView::setViewAEnabled(enabled);
    if (enabled)
        NotificationCenter::defaultCenter().postNotification("MainSplitViewABecameVisible");
}

void MainSplitView::setViewBEnabled(bool enabled)
{
    CommonSplitView::setViewBEnabled(enabled);
    if (enabled)
        NotificationCenter::defaultCenter().postNotification("MainSplitViewBBecameVisible");
}
