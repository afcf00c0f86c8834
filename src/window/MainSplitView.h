#pragma once

#include "window/CommonSplitView.h"

// The side-by-side split view of the main window: browser, centre, info column. Enabling a side
// announces it ("MainSplitViewABecameVisible" / "MainSplitViewBBecameVisible").
class MainSplitView : public CommonSplitView
{
    Q_OBJECT
public:
    explicit MainSplitView(QWidget *parent = nullptr);

    using CommonSplitView::setViewAEnabled;
    using CommonSplitView::setViewBEnabled;
    void setViewAEnabled(bool enabled) override;
    void setViewBEnabled(bool enabled) override;
};
