#include "window/ToolbarItemWithMenu.h"

#include "window/ToolbarItemWithMenu_button.h"

ToolbarItemWithMenu::ToolbarItemWithMenu(const QString &identifier, ToolbarItemWithMenu_button *button,
                                         QObject *parent)
    : ToolbarItem(identifier, button, parent)
{
}

void ToolbarItemWithMenu::validate()
{
    const bool enabled = canPerformAction();
    setEnabled(enabled);
    view()->setEnabled(enabled);
}

std::optional<ToolbarShortcutHint> ToolbarItemWithMenu::shortcutHint() const
{
    const Qt::KeyboardModifiers modifiers = Qt::ControlModifier | Qt::AltModifier;
    if (itemAction() == "navigateBack:")
        return ToolbarShortcutHint{"[", modifiers, false};
    if (itemAction() == "navigateForward:")
        return ToolbarShortcutHint{"]", modifiers, false};
    return std::nullopt;
}
