#pragma once

#include "window/PaneViewController.h"

class StatusManagerViewController;

// The status bar as a pane of the main window, which places its view at the bottom. The document
// in front hands its status manager to the bar inside.
class StatusManagerPaneViewController : public PaneViewController
{
    Q_OBJECT
public:
    explicit StatusManagerPaneViewController(QObject *parent = nullptr);

    StatusManagerViewController *statusManagerViewController() const { return statusManagerViewController_; }
    void detachModel() override;

private:
    StatusManagerViewController *statusManagerViewController_; // a child
};
