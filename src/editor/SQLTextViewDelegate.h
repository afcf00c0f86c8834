#pragma once

class QContextMenuEvent;
class QMenu;
class SQLTextView;

// Optional listener of an SQL text view: told of every selection change, and may add to its context menu.
class SQLTextViewDelegate
{
public:
    virtual ~SQLTextViewDelegate() = default;
    virtual void textViewSelectionChanged(SQLTextView *textView, int location, int length)
    {
        (void)textView;
        (void)location;
        (void)length;
    }
    // The menu to show for a right click at the character index; the standard menu by default.
    virtual QMenu *textViewMenu(SQLTextView *textView, QMenu *menu, QContextMenuEvent *event, int index)
    {
        (void)textView;
        (void)event;
        (void)index;
        return menu;
    }
};
