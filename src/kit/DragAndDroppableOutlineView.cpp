#include "kit/DragAndDroppableOutlineView.h"

#include "kit/DragAndDropItem.h"
#include "kit/DragAndDropItemSource.h"
#include "kit/WatchedDrag.h"

#include <QContextMenuEvent>
#include <QDrag>
#include <QMenu>
#include <QMimeData>

#include <memory>

DragAndDroppableOutlineView::DragAndDroppableOutlineView(QWidget *parent) : QTreeView(parent)
{
    setDragEnabled(true);
}

void DragAndDroppableOutlineView::draggingSessionMoved(QMimeData *pasteboard, Qt::KeyboardModifiers modifiers,
                                                       bool modifiersChanged)
{
    if (modifiersChanged && delegate_ && pasteboard) {
        delegate_->dragAndDroppableOutlineViewNeedsUpdatedPasteboard(this, pasteboard, modifiers);
        const std::unique_ptr<DragAndDropItemSource> item(
            delegate_->dragAndDroppableOutlineViewItemFromPasteboard(this, pasteboard));
        if (item)
            dragImage_ = DragAndDropItem::imageForDragAndDropItemSource(*item);
    }
    if (delegate_)
        delegate_->dragAndDroppableOutlineViewDragMoved(this);
}

void DragAndDroppableOutlineView::startDrag(Qt::DropActions supportedActions)
{
    const QModelIndexList indexes = selectedIndexes();
    if (!model() || indexes.isEmpty() || !delegate_) {
        QTreeView::startDrag(supportedActions);
        return;
    }
    QMimeData *data = model()->mimeData(indexes);
    if (!data)
        return;
    const std::unique_ptr<DragAndDropItemSource> item(
        delegate_->dragAndDroppableOutlineViewItemFromPasteboard(this, data));
    auto *drag = new QDrag(this);
    drag->setMimeData(data);
    if (item) {
        dragImage_ = DragAndDropItem::imageForDragAndDropItemSource(*item);
        drag->setPixmap(dragImage_);
    }
    delegate_->dragAndDroppableOutlineViewDragBegan(this);
    execWatchedDrag(*drag, supportedActions, [&](Qt::KeyboardModifiers now, bool changed) {
        draggingSessionMoved(data, now, changed);
        if (changed && !dragImage_.isNull())
            drag->setPixmap(dragImage_);
    });
    delegate_->dragAndDroppableOutlineViewDragEnded(this);
}

void DragAndDroppableOutlineView::contextMenuEvent(QContextMenuEvent *event)
{
    if (!delegate_)
        return;
    if (QMenu *menu = delegate_->dragAndDroppableOutlineViewNeedsContextMenu(this, event->pos())) {
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu->popup(event->globalPos());
    }
}
