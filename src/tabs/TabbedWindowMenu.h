#pragma once

// The application's Window menu, which lists every tabbed window with its tabs. Window controllers
// tell it when their tabs change; the application's document controller is the one there is.
class TabbedWindowMenu
{
public:
    virtual ~TabbedWindowMenu() = default;
    virtual void updateWindowMenu() = 0;

    static TabbedWindowMenu *shared();
    // Registered by the document controller for its lifetime; nullptr unregisters.
    static void setShared(TabbedWindowMenu *menu);
};
