#pragma once

#include "window/PaneViewController.h"

// Stands in the main window for a pane whose own controller is not part of the program yet:
// it shows the pane's name and keeps no state.
class PlaceholderPaneViewController : public PaneViewController
{
    Q_OBJECT
public:
    explicit PlaceholderPaneViewController(const QString &name, QObject *parent = nullptr);
};
