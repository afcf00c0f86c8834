#pragma once

#include <QPointer>
#include <QRect>
#include <QString>
#include <QWidget>

// One keyboard shortcut as the shortcut overlay shows it: the control it points at and the keys.
// Modifiers are Qt's: Ctrl where the design says Command, Alt for Option, Meta for Control.
struct VisualShortcut {
    static VisualShortcut visualShortCutWithView(QWidget *view, const QString &keyEquivalent,
                                                 Qt::KeyboardModifiers modifierFlags, bool enabled);
    // frame: where to point instead of the view's own frame, in the coordinates of the view's parent.
    static VisualShortcut visualShortCutWithView(QWidget *view, const QRect &useFrame,
                                                 const QString &keyEquivalent,
                                                 Qt::KeyboardModifiers modifierFlags, bool enabled);

    QPointer<QWidget> view;
    QRect frame; // null: the view's own frame
    // The key as typed ("f", "\r" for Return, "\033" for Escape) or a glyph given directly ("⎋").
    QString keyEquivalent;
    QString subTitle;
    Qt::KeyboardModifiers modifierFlags;
    // Drawn further from its control, so that labels of neighbouring controls do not cover each other.
    bool shouldBump = false;
    bool enabled = true;
};

// Panes, panels, views, window controllers and toolbar items that have shortcuts to show.
class VisualShortcutAdopter
{
public:
    virtual ~VisualShortcutAdopter() = default;
    // The shortcuts as they are now; possibly none.
    virtual QList<VisualShortcut> visualShortcuts() = 0;
};
