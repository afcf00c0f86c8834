#pragma once

// Views that draw differently in an active window: told to redraw when the window's key or main
// state changes. They ask AdvancedWindow::viewShouldDrawAsActive for the look itself.
class AdvancedWindowKeyAwareView
{
public:
    virtual ~AdvancedWindowKeyAwareView() = default;
    virtual void windowKeyChanged(bool newState) = 0;
};
