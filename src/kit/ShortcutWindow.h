#pragma once

#include <QWidget>

// The clear, borderless window the shortcut labels are laid out in, above the window they describe.
class ShortcutWindow : public QWidget
{
    Q_OBJECT
public:
    ShortcutWindow(const QRect &frame, QWidget *parent);
};
