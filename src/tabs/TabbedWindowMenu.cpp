#include "tabs/TabbedWindowMenu.h"

namespace
{
TabbedWindowMenu *sharedMenu = nullptr;
}

TabbedWindowMenu *TabbedWindowMenu::shared()
{
    return sharedMenu;
}

void TabbedWindowMenu::setShared(TabbedWindowMenu *menu)
{
    sharedMenu = menu;
}
