#pragma once

#include <QKeySequence>
#include <QList>
#include <QString>

class QAction;
class QMenu;
class QWidget;

// Menu items that send a command through the command router from their window. An item is enabled
// while a responder of its window performs its command; that responder may also retitle the item
// through an invokable bool validateMenuItem(QAction *item), whose answer then enables it.
//
// A shortcut works only while its item is enabled, so the items of a window's menu bar are
// validated again just before the shortcut map looks at a key (installKeyValidation). A key that a
// visible control of the window owns (a button's or a widget shortcut's) stays with the control,
// as a view's key equivalent comes before the menu's; a key of an enabled item is the menu's even
// where the focused text field has a use of its own for it.
namespace CommandMenu
{

QAction *addItem(QMenu *menu, QWidget *window, const QString &title, const QString &action,
                 const QList<QKeySequence> &shortcuts = {});
// The command an item sends ("newTab:"); empty for items without one.
QString actionOf(const QAction *item);

void validateItem(QAction *item, QWidget *window);
// Every command item of the menu and of its submenus.
void validate(QMenu *menu, QWidget *window);
// Validates the menu each time it opens.
void validateOnShow(QMenu *menu, QWidget *window);
// Every menu of the window's menu bar.
void validateMenuBar(QWidget *window);

// Once per application: validates a window's menu bar before each key with a modifier.
void installKeyValidation();

} // namespace CommandMenu
