#pragma once

class QMenu;

// Fills the Open Recent submenu each time it opens: the recent files, most recent first (a file
// name that occurs twice is told apart by its folder), then Clear Menu. Choosing a file opens it as
// the Open command does.
class RecentDocumentsMenu
{
public:
    static void attach(QMenu *menu);
    static void fill(QMenu *menu);
};
