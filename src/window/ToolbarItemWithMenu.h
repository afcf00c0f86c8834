#pragma once

#include "window/ToolbarItem.h"

class ToolbarItemWithMenu_button;

// The back and forward items: a click sends the action, pressing and holding asks the
// responder for a history menu (see ToolbarItemWithMenu_button).
class ToolbarItemWithMenu : public ToolbarItem
{
    Q_OBJECT
public:
    ToolbarItemWithMenu(const QString &identifier, ToolbarItemWithMenu_button *button,
                        QObject *parent = nullptr);

    void validate() override;
    std::optional<ToolbarShortcutHint> shortcutHint() const override;
};
