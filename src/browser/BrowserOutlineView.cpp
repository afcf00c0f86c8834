#include "browser/BrowserOutlineView.h"

#include "browser/BrowserOutlineModel.h"

#include <QDragMoveEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>

namespace
{
// Ctrl opens in a new tab or window, Alt alone opens the info: neither selects.
bool isModifiedClick(Qt::KeyboardModifiers modifiers)
{
    return modifiers & (Qt::ControlModifier | Qt::AltModifier);
}
} // namespace

BrowserOutlineView::BrowserOutlineView(QWidget *parent) : DragAndDroppableOutlineView(parent)
{
    setHeaderHidden(true);
    setRootIsDecorated(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setDragDropMode(QAbstractItemView::DragDrop);
    setDefaultDropAction(Qt::CopyAction);
    setAcceptDrops(true);
    setDropIndicatorShown(false);
    setUniformRowHeights(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setAnimated(true);
}

bool BrowserOutlineView::isSection(const QModelIndex &index) const
{
    return index.isValid() && index.data(BrowserOutlineModel::IsSectionRole).toBool();
}

QModelIndex BrowserOutlineView::nextKeyRow(bool up) const
{
    QModelIndex row = currentIndex();
    bool first = !row.isValid();
    if (first) {
        if (up || !model())
            return {};
        row = model()->index(0, 0);
    }
    while (true) {
        if (!first)
            row = up ? indexAbove(row) : indexBelow(row);
        first = false;
        if (!row.isValid())
            return {};
        if (isSection(row)) {
            if (up && outlineDelegate_ && outlineDelegate_->outlineUpArrowLeavesAt(row))
                return {};
            continue;
        }
        if (!outlineDelegate_ || outlineDelegate_->outlineKeyMaySelect(row))
            return row;
    }
}

QModelIndex BrowserOutlineView::moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers)
{
    if (cursorAction != MoveUp && cursorAction != MoveDown)
        return DragAndDroppableOutlineView::moveCursor(cursorAction, modifiers);
    const QModelIndex next = nextKeyRow(cursorAction == MoveUp);
    if (!next.isValid() || (outlineDelegate_ && !outlineDelegate_->outlineShouldSelect(next)))
        return currentIndex();
    return next;
}

void BrowserOutlineView::mousePressEvent(QMouseEvent *event)
{
    const QModelIndex index = indexAt(event->position().toPoint());
    modifiedPress_ = QPersistentModelIndex();
    if (event->button() == Qt::LeftButton && index.isValid() && !isSection(index) && outlineDelegate_) {
        if (isModifiedClick(event->modifiers())) {
            modifiedPress_ = index;
            event->accept();
            return;
        }
        if (index != currentIndex() && !outlineDelegate_->outlineShouldSelect(index)) {
            event->accept();
            return;
        }
    }
    DragAndDroppableOutlineView::mousePressEvent(event);
}

void BrowserOutlineView::mouseReleaseEvent(QMouseEvent *event)
{
    const QModelIndex index = indexAt(event->position().toPoint());
    if (modifiedPress_.isValid()) {
        const bool same = index == QModelIndex(modifiedPress_);
        modifiedPress_ = QPersistentModelIndex();
        if (same && outlineDelegate_)
            outlineDelegate_->outlineModifiedClick(index, event->modifiers());
        event->accept();
        return;
    }
    DragAndDroppableOutlineView::mouseReleaseEvent(event);
}

void BrowserOutlineView::dragEnterEvent(QDragEnterEvent *event)
{
    // Every drag is followed, so that the rows can answer as the pointer moves over them.
    event->acceptProposedAction();
}

void BrowserOutlineView::dragMoveEvent(QDragMoveEvent *event)
{
    const QModelIndex target = indexAt(event->position().toPoint());
    if (outlineDelegate_ && outlineDelegate_->outlineValidateDrop(event->mimeData(), target)) {
        event->setDropAction(Qt::CopyAction);
        event->accept(visualRect(target));
    } else {
        event->ignore();
    }
}

void BrowserOutlineView::dropEvent(QDropEvent *event)
{
    const QPoint position = event->position().toPoint();
    const QModelIndex target = indexAt(position);
    if (outlineDelegate_ && outlineDelegate_->outlineValidateDrop(event->mimeData(), target) &&
        outlineDelegate_->outlineAcceptDrop(event->mimeData(), target, position, event->modifiers())) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
}
