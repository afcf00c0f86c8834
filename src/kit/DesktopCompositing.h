#pragma once

// Whether the desktop blends translucent windows with what lies beneath them. On X11 only a running
// compositing manager does: without one the clear parts of a window show black, so pictures floating
// over other windows must be drawn opaque, or inside the window they belong to.
class DesktopCompositing
{
public:
    // Asked anew each time: a compositing manager can start or stop while the program runs.
    static bool isActive();
};
