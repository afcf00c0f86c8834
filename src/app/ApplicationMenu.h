#pragma once

#include <QString>

class QAction;
class QMainWindow;
class QMenu;
class QMenuBar;

// The application's menus, given to each of its windows (there is no shared menu bar): File, Edit,
// View, Query, Results, Window and Help. Every item sends its command through the command router
// from its window, so the focused view, the window, its document or the application performs it;
// an item nobody performs now is disabled, and its shortcut with it. Commands of panes the program
// does not have yet are left out.
class ApplicationMenu
{
public:
    static QMenuBar *install(QMainWindow *window);
    // The command an item sends ("newTab:"); empty for items without one.
    static QString actionOf(const QAction *item);

private:
    static void addFileMenu(QMenuBar *bar, QMainWindow *window);
    static void addEditMenu(QMenuBar *bar, QMainWindow *window);
    static void addViewMenu(QMenuBar *bar, QMainWindow *window);
    static void addQueryMenu(QMenuBar *bar, QMainWindow *window);
    static void addResultsMenu(QMenuBar *bar, QMainWindow *window);
    static void addWindowMenu(QMenuBar *bar, QMainWindow *window);
    static void addHelpMenu(QMenuBar *bar, QMainWindow *window);
};
