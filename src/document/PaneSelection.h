#pragma once

#include "window/ContentPane.h"

#include <functional>

class VornTabbedWindowController;

// Which content pane a document shows, kept so that the window can be told again when the document
// comes back into a window, and the pane to put back when a statement's run showed the busy pane but
// nothing ran.
class PaneSelection
{
public:
    // Asked each time: the document's window controller, or null while it has none.
    explicit PaneSelection(std::function<VornTabbedWindowController *()> windowController);

    ContentPane active() const { return active_; }
    // Shows the pane when it is not already the active one.
    void show(ContentPane pane);
    // Tells the window the active pane again.
    void refresh() const;

    // A run begins: the busy pane shows, and the pane before it is remembered.
    void beginRun();
    // The run ended without running anything: the remembered pane comes back, or the empty pane when
    // the result it showed was dropped.
    void endRunWithoutExecution(bool resultCleared);

private:
    std::function<VornTabbedWindowController *()> windowController_;
    ContentPane active_ = ContentPane::Nothing;
    ContentPane beforeRun_ = ContentPane::Nothing;
};
