#include "document/PaneSelection.h"

#include "window/VornTabbedWindowController.h"

PaneSelection::PaneSelection(std::function<VornTabbedWindowController *()> windowController)
    : windowController_(std::move(windowController))
{
}

void PaneSelection::show(ContentPane pane)
{
    if (pane == active_)
        return;
    active_ = pane;
    refresh();
}

void PaneSelection::refresh() const
{
    if (VornTabbedWindowController *controller = windowController_())
        controller->showContent(active_);
}

void PaneSelection::beginRun()
{
    if (active_ != ContentPane::Busy)
        beforeRun_ = active_;
    show(ContentPane::Busy);
}

void PaneSelection::endRunWithoutExecution(bool resultCleared)
{
    if (active_ != ContentPane::Busy)
        return;
    show(resultCleared ? ContentPane::Nothing : beforeRun_);
}
