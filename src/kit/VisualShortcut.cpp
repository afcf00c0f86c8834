#include "kit/VisualShortcut.h"

VisualShortcut VisualShortcut::visualShortCutWithView(QWidget *view, const QString &keyEquivalent,
                                                      Qt::KeyboardModifiers modifierFlags, bool enabled)
{
    return visualShortCutWithView(view, QRect(), keyEquivalent, modifierFlags, enabled);
}

VisualShortcut VisualShortcut::visualShortCutWithView(QWidget *view, const QRect &useFrame,
                                                      const QString &keyEquivalent,
                                                      Qt::KeyboardModifiers modifierFlags, bool enabled)
{
    VisualShortcut shortcut;
    shortcut.view = view;
    shortcut.frame = useFrame;
    shortcut.keyEquivalent = keyEquivalent;
    shortcut.modifierFlags = modifierFlags;
    shortcut.enabled = enabled;
    return shortcut;
}
