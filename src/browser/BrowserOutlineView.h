#pragma once

#include "kit/DragAndDroppableOutlineView.h"

#include <QPersistentModelIndex>

// What the browser pane decides for its outline: which rows clicks and arrow keys may select, what
// modified clicks do, and which drops the rows take.
class BrowserOutlineViewDelegate
{
public:
    virtual ~BrowserOutlineViewDelegate() = default;
    // A plain click or an arrow key is about to select the element row; false keeps the selection.
    virtual bool outlineShouldSelect(const QModelIndex &index) = 0;
    // Arrow keys never land on rows this refuses; they pass over them.
    virtual bool outlineKeyMaySelect(const QModelIndex &index) = 0;
    // The up arrow reached the section header: true when it hands the keyboard to the search field.
    virtual bool outlineUpArrowLeavesAt(const QModelIndex &section) = 0;
    // A click with Ctrl or Alt on an element row, which does not select it.
    virtual void outlineModifiedClick(const QModelIndex &index, Qt::KeyboardModifiers modifiers) = 0;
    virtual bool outlineValidateDrop(const QMimeData *data, const QModelIndex &target) = 0;
    virtual bool outlineAcceptDrop(const QMimeData *data, const QModelIndex &target, const QPoint &position,
                                   Qt::KeyboardModifiers modifiers) = 0;
};

// The schema browser's outline: element rows drag out as filter items, grid filters drop on element
// rows, and clicks and arrow keys follow the pane's selection rules.
class BrowserOutlineView : public DragAndDroppableOutlineView
{
    Q_OBJECT
public:
    explicit BrowserOutlineView(QWidget *parent = nullptr);

    void setOutlineDelegate(BrowserOutlineViewDelegate *delegate) { outlineDelegate_ = delegate; }

protected:
    QModelIndex moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    bool isSection(const QModelIndex &index) const;
    QModelIndex nextKeyRow(bool up) const;

    BrowserOutlineViewDelegate *outlineDelegate_ = nullptr;
    QPersistentModelIndex modifiedPress_;
};
