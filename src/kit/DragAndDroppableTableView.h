#pragma once

#include <QPointer>
#include <QTableView>
#include <QVariantMap>

#include <memory>

class DragAndDropItemSource;
class DragAndDroppableTableView;
class DragAndDroppableTableViewOtherView;
class DragAndDroppableTableViewSourceView;
class QMenu;
class QMimeData;

// What the result grid's controller does for its grid's drags, menus and Escape.
class DragAndDroppableTableViewDelegate
{
public:
    virtual ~DragAndDroppableTableViewDelegate() = default;
    // Reads the dragged item from the drag's data (written by the model); the caller takes it.
    virtual DragAndDropItemSource *
    dragAndDroppableTableViewItemFromPasteboard(DragAndDroppableTableView *table,
                                                const QMimeData *pasteboard) = 0;
    virtual void dragAndDroppableTableViewDragBegan(DragAndDroppableTableView *) {}
    virtual void dragAndDroppableTableViewDragMoved(DragAndDroppableTableView *) {}
    virtual void dragAndDroppableTableViewDragEnded(DragAndDroppableTableView *) {}
    // The modifier keys changed during the drag: rewrite the item for them (a negated filter).
    virtual void dragAndDroppableTableViewNeedsUpdatedPasteboard(DragAndDroppableTableView *, QMimeData *,
                                                                 Qt::KeyboardModifiers)
    {
    }
    // The menu for the cell (-1 where the point hits no row or column); the caller takes it.
    virtual QMenu *dragAndDroppableTableViewNeedsMenuForRow(DragAndDroppableTableView *, int, int, bool)
    {
        return nullptr;
    }
    // Escape outside editing; false lets it travel on.
    virtual bool cancelOperation(DragAndDroppableTableView *) { return false; }
};

// The result grid: drags a filter item out as a token, dims the rest of the grid and highlights the
// dragged cells while the drag lasts, and hands Escape and context menus to its delegate.
class DragAndDroppableTableView : public QTableView
{
    Q_OBJECT
public:
    explicit DragAndDroppableTableView(QWidget *parent = nullptr);
    ~DragAndDroppableTableView() override;

    DragAndDroppableTableViewDelegate *dragDelegate() const { return delegate_; }
    void setDragDelegate(DragAndDroppableTableViewDelegate *delegate) { delegate_ = delegate; }
    bool disableScroll() const { return disableScroll_; }
    bool isEditingCell() const { return state() == EditingState; }
    DragAndDroppableTableViewOtherView *otherView() const { return otherView_; }
    DragAndDroppableTableViewSourceView *sourceView() const { return sourceView_; }

    // The steps of a drag, in order.
    void draggingSessionWillBegin(const DragAndDropItemSource &item);
    void draggingSessionMoved(QMimeData *pasteboard, Qt::KeyboardModifiers modifiers, bool modifiersChanged);
    void draggingSessionEnded();
    void hideDragAndDropHighlight();
    // Drags every row of the column, as a drag of those cells would; false when nothing was dragged.
    bool dragColumn(int column);
    // The token now on the drag (updated when the modifiers changed).
    QPixmap currentDragImage() const { return dragImage_; }

    // Where the highlight settles: the dragged rows in the dragged column (before its 2-point margin).
    static QRectF highlightTargetRect(const QRectF &columnRect, const QRectF &firstRowRect,
                                      const QRectF &lastRowRect, bool isLastColumn);

    void encodeInferfaceState(QVariantMap &archive) const;
    void decodeInferfaceState(const QVariantMap &archive);
    void setDefaultInterfaceState() {}
    void cancelOperation();

protected:
    void startDrag(Qt::DropActions supportedActions) override;
    void keyPressEvent(QKeyEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    bool edit(const QModelIndex &index, EditTrigger trigger, QEvent *event) override;

private:
    QRectF columnRect(const QString &columnName) const;
    bool dragIndexes(const QModelIndexList &indexes, Qt::DropActions supportedActions);

    DragAndDroppableTableViewDelegate *delegate_ = nullptr;
    bool disableScroll_ = false;
    QPointer<DragAndDroppableTableViewOtherView> otherView_;
    QPointer<DragAndDroppableTableViewSourceView> sourceView_;
    QPixmap dragImage_;
};
