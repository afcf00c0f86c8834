#pragma once

#include <QTreeView>

class DragAndDropItemSource;
class DragAndDroppableOutlineView;
class QMenu;
class QMimeData;

// What the schema browser's controller does for its outline's drags and context menu.
class DragAndDroppableOutlineViewDelegate
{
public:
    virtual ~DragAndDroppableOutlineViewDelegate() = default;
    // Reads the dragged item from the drag's data; the caller takes it.
    virtual DragAndDropItemSource *
    dragAndDroppableOutlineViewItemFromPasteboard(DragAndDroppableOutlineView *, const QMimeData *) = 0;
    virtual void dragAndDroppableOutlineViewDragBegan(DragAndDroppableOutlineView *) {}
    virtual void dragAndDroppableOutlineViewDragMoved(DragAndDroppableOutlineView *) {}
    virtual void dragAndDroppableOutlineViewDragEnded(DragAndDroppableOutlineView *) {}
    virtual void dragAndDroppableOutlineViewNeedsUpdatedPasteboard(DragAndDroppableOutlineView *, QMimeData *,
                                                                   Qt::KeyboardModifiers)
    {
    }
    // The caller takes the menu.
    virtual QMenu *dragAndDroppableOutlineViewNeedsContextMenu(DragAndDroppableOutlineView *, const QPoint &)
    {
        return nullptr;
    }
};

// The schema browser's outline: drags items out as tokens and reports the drag to its delegate.
class DragAndDroppableOutlineView : public QTreeView
{
    Q_OBJECT
public:
    explicit DragAndDroppableOutlineView(QWidget *parent = nullptr);
    DragAndDroppableOutlineViewDelegate *dragDelegate() const { return delegate_; }
    void setDragDelegate(DragAndDroppableOutlineViewDelegate *delegate) { delegate_ = delegate; }
    void draggingSessionMoved(QMimeData *pasteboard, Qt::KeyboardModifiers modifiers, bool modifiersChanged);
    QPixmap currentDragImage() const { return dragImage_; }

protected:
    void startDrag(Qt::DropActions supportedActions) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    DragAndDroppableOutlineViewDelegate *delegate_ = nullptr;
    QPixmap dragImage_;
};
