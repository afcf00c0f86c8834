#pragma once

#include <QWidget>

// The clear layer the shortcut labels are laid out in, over the window they describe. Where the
// desktop composes translucent windows it is a borderless window of its own above that window, so
// that labels may hang over the window's edges. Elsewhere a clear window would paint black: the layer
// is then a child laid over the window's contents. Either way it takes no input.
class ShortcutWindow : public QWidget
{
    Q_OBJECT
public:
    // frame: in screen coordinates for a window of its own; a child covers the whole window.
    ShortcutWindow(QWidget *window, const QRect &frame, bool ownWindow);

    // Fades the labels out, then hides and goes.
    void fadeOut();
};
