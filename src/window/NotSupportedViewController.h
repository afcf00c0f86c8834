#pragma once

#include "window/PaneViewController.h"

// The content pane shown for something the connected database does not support.
class NotSupportedViewController : public PaneViewController
{
    Q_OBJECT
public:
    explicit NotSupportedViewController(QObject *parent = nullptr);
};
