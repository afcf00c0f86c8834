#pragma once

#include "window/PaneViewController.h"

// The blank content pane shown while a document has nothing to show.
class EmptyViewController : public PaneViewController
{
    Q_OBJECT
public:
    explicit EmptyViewController(QObject *parent = nullptr);
};
