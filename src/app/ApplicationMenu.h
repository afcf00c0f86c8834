#pragma once

#include <QKeySequence>
#include <QString>

class QAction;

class QMainWindow;
class QMenu;
class QMenuBar;

// The application's menus, given to each of its windows (there is no shared menu bar). Every item
// sends its command through the command router from its window, so the window, its document or
// the application performs it; items nobody performs are disabled when their menu opens.
class ApplicationMenu
{
public:
    static QMenuBar *install(QMainWindow *window);
    // The command an item sends ("newTab:"); empty for items without one.
    static QString actionOf(const QAction *item);

private:
    static void addItem(QMenu *menu, QMainWindow *window, const QString &title, const QString &action,
                        const QKeySequence &shortcut = {});
};
