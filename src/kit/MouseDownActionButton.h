#pragma once

#include <QPushButton>

class QMenu;

// Builds the menu a mouse-down button pops up as its context menu. The button takes the menu.
class MouseDownActionContextButton
{
public:
    virtual ~MouseDownActionContextButton() = default;
    virtual QMenu *generateContextMenu() = 0;
};

// Builds the menu of a "new" button (the schema browser's new-object button). The button takes it.
class MouseDownActionNewButton
{
public:
    virtual ~MouseDownActionNewButton() = default;
    virtual QMenu *generateNewMenu() = 0;
};

// A button that acts on mouse-down: it pops up its menu at once, or sends its action (clicked) without
// waiting for the mouse-up.
class MouseDownActionButton : public QPushButton
{
    Q_OBJECT
public:
    explicit MouseDownActionButton(QWidget *parent = nullptr);

    void setExternalContextMenuDelegate(MouseDownActionContextButton *delegate)
    {
        contextMenuDelegate_ = delegate;
    }
    MouseDownActionContextButton *contextMenuDelegate() const { return contextMenuDelegate_; }
    void setNewMenuDelegate(MouseDownActionNewButton *delegate) { newMenuDelegate_ = delegate; }
    MouseDownActionNewButton *newMenuDelegate() const { return newMenuDelegate_; }

    // The menu to show now: none while disabled, else the context menu, else the new menu, else the
    // button's own menu. A generated menu is owned by the button until the next one replaces it.
    QMenu *popupMenu();

protected:
    void mousePressEvent(QMouseEvent *event) override;

private:
    MouseDownActionContextButton *contextMenuDelegate_ = nullptr;
    MouseDownActionNewButton *newMenuDelegate_ = nullptr;
    QMenu *generated_ = nullptr;
};
