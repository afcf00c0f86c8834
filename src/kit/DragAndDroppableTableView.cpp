#include "kit/DragAndDroppableTableView.h"

#include "kit/DragAndDropItem.h"
#include "kit/DragAndDropItemSource.h"
#include "kit/DragAndDroppableTableViewOtherView.h"
#include "kit/DragAndDroppableTableViewSourceView.h"
#include "kit/WatchedDrag.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QDrag>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QPropertyAnimation>
#include <QScrollBar>

DragAndDroppableTableView::DragAndDroppableTableView(QWidget *parent) : QTableView(parent)
{
    setDragEnabled(true);
}

DragAndDroppableTableView::~DragAndDroppableTableView() = default;

QRectF DragAndDroppableTableView::highlightTargetRect(const QRectF &columnRect, const QRectF &firstRowRect,
                                                      const QRectF &lastRowRect, bool isLastColumn)
{
    const double top = std::min(firstRowRect.y(), lastRowRect.y());
    const double bottom = std::max(firstRowRect.bottom(), lastRowRect.bottom());
    QRectF cell = QRectF(firstRowRect.x(), top, firstRowRect.width(), bottom - top).intersected(columnRect);
    if (isLastColumn)
        cell.setWidth(cell.width() - 2);
    cell.setWidth(cell.width() - 1);
    return cell;
}

QRectF DragAndDroppableTableView::columnRect(const QString &columnName) const
{
    if (!model())
        return {};
    for (int column = 0; column < model()->columnCount(); ++column) {
        if (model()->headerData(column, Qt::Horizontal).toString() == columnName)
            return QRectF(columnViewportPosition(column) + horizontalOffset(), 0, columnWidth(column),
                          verticalHeader()->length());
    }
    return {};
}

void DragAndDroppableTableView::draggingSessionWillBegin(const DragAndDropItemSource &item)
{
    hideDragAndDropHighlight();
    QList<int> rows = item.rowIndexes();
    std::sort(rows.begin(), rows.end());
    if (rows.isEmpty() || !model())
        return;
    setStyleSheet("QTableView { selection-background-color: transparent; }");
    const QRectF column = columnRect(item.columnName());
    const double pitch = rowHeight(rows.first());
    // Rows in document coordinates (unscrolled), as the column rectangle is.
    auto rowRect = [&](int row) {
        return QRectF(0, rowViewportPosition(row) + verticalOffset(), horizontalHeader()->length(),
                      rowHeight(row));
    };
    const QRectF first = rowRect(rows.first());
    const QRectF last = rowRect(rows.last());
    const double top = std::min(first.y(), last.y());
    const QRectF rowsRect(first.x(), top, first.width(), std::max(first.bottom(), last.bottom()) - top);
    const bool lastColumn =
        model()->headerData(model()->columnCount() - 1, Qt::Horizontal).toString() == item.columnName();
    const QRectF cell = highlightTargetRect(column, first, last, lastColumn);
    const QPointF delta(horizontalOffset(), verticalOffset());
    const QRectF visible(delta, QSizeF(viewport()->size()));

    otherView_ = new DragAndDroppableTableViewOtherView(viewport());
    otherView_->setGeometry(QRect(0, 0, viewport()->width(), viewport()->height()));
    otherView_->setPath(DragAndDroppableTableViewOtherView::cutOutPath(
        QRectF(QPointF(0, 0), visible.size()), column, rows, pitch, QPointF(delta.x(), delta.y() + 1)));
    sourceView_ = new DragAndDroppableTableViewSourceView(viewport());
    sourceView_->setGeometry(rowsRect.translated(-delta).toRect());
    sourceView_->setRows(rows);
    sourceView_->setRowHeight(float(pitch));
    otherView_->show();
    sourceView_->show();
    const QColor selected = palette().color(QPalette::Highlight);
    sourceView_->setContentColor(selected);
    sourceView_->setBorderColor(selected);
    otherView_->setColor(QColor::fromRgbF(1, 1, 1, 0));

    auto animate = [](QObject *target, const char *property, const QVariant &to) {
        auto *animation = new QPropertyAnimation(target, property, target);
        animation->setDuration(200);
        animation->setEndValue(to);
        animation->start(QAbstractAnimation::DeleteWhenStopped);
    };
    animate(otherView_, "color", QColor::fromRgbF(1, 1, 1, 0.75));
    animate(sourceView_, "geometry", cell.translated(-delta).adjusted(-2, -2, 2, 2).toRect());
    animate(sourceView_, "contentColor", QColor::fromRgbF(229 / 255.0, 247 / 255.0, 237 / 255.0, 0.2));
    animate(sourceView_, "borderColor", QColor::fromRgbF(143 / 255.0, 201 / 255.0, 0.5066666666666667, 1.0));
    if (delegate_)
        delegate_->dragAndDroppableTableViewDragBegan(this);
    disableScroll_ = true;
}

void DragAndDroppableTableView::draggingSessionMoved(QMimeData *pasteboard, Qt::KeyboardModifiers modifiers,
                                                     bool modifiersChanged)
{
    if (modifiersChanged && delegate_ && pasteboard) {
        delegate_->dragAndDroppableTableViewNeedsUpdatedPasteboard(this, pasteboard, modifiers);
        const std::unique_ptr<DragAndDropItemSource> item(
            delegate_->dragAndDroppableTableViewItemFromPasteboard(this, pasteboard));
        if (item)
            dragImage_ = DragAndDropItem::imageForDragAndDropItemSource(*item);
    }
    if (delegate_)
        delegate_->dragAndDroppableTableViewDragMoved(this);
}

void DragAndDroppableTableView::draggingSessionEnded()
{
    hideDragAndDropHighlight();
    if (delegate_)
        delegate_->dragAndDroppableTableViewDragEnded(this);
}

void DragAndDroppableTableView::hideDragAndDropHighlight()
{
    delete sourceView_;
    setStyleSheet({});
    delete otherView_;
    disableScroll_ = false;
}

void DragAndDroppableTableView::startDrag(Qt::DropActions supportedActions)
{
    const QModelIndexList indexes = selectedIndexes();
    if (!model() || indexes.isEmpty() || !delegate_) {
        QTableView::startDrag(supportedActions);
        return;
    }
    dragIndexes(indexes, supportedActions);
}

bool DragAndDroppableTableView::dragColumn(int column)
{
    if (!model() || !delegate_ || column < 0 || column >= model()->columnCount() || model()->rowCount() == 0)
        return false;
    QModelIndexList indexes;
    for (int row = 0; row < model()->rowCount(); ++row)
        indexes << model()->index(row, column);
    return dragIndexes(indexes, Qt::CopyAction);
}

bool DragAndDroppableTableView::dragIndexes(const QModelIndexList &indexes, Qt::DropActions supportedActions)
{
    QMimeData *data = model()->mimeData(indexes); // the model writes the dragged item
    if (!data)
        return false;
    const std::unique_ptr<DragAndDropItemSource> item(
        delegate_->dragAndDroppableTableViewItemFromPasteboard(this, data));
    if (!item) {
        delete data;
        return false;
    }
    dragImage_ = DragAndDropItem::imageForDragAndDropItemSource(*item);
    auto *drag = new QDrag(this);
    drag->setMimeData(data);
    drag->setPixmap(dragImage_);
    draggingSessionWillBegin(*item);
    execWatchedDrag(*drag, supportedActions, [&](Qt::KeyboardModifiers now, bool changed) {
        draggingSessionMoved(data, now, changed);
        if (changed)
            drag->setPixmap(dragImage_);
    });
    draggingSessionEnded();
    return true;
}

void DragAndDroppableTableView::cancelOperation()
{
    if (state() == QAbstractItemView::EditingState) {
        // Ends the edit and keeps the grid focused.
        if (QWidget *editor = indexWidget(currentIndex()) ? indexWidget(currentIndex()) : focusWidget())
            closeEditor(editor, QAbstractItemDelegate::NoHint);
        setFocus();
        return;
    }
    if (delegate_)
        delegate_->cancelOperation(this);
}

void DragAndDroppableTableView::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        if (state() == QAbstractItemView::EditingState)
            cancelOperation();
        else if (!delegate_ || !delegate_->cancelOperation(this))
            event->ignore(); // travels on to the window
        return;
    }
    QTableView::keyPressEvent(event);
}

void DragAndDroppableTableView::wheelEvent(QWheelEvent *event)
{
    if (disableScroll_) {
        event->accept();
        return;
    }
    QTableView::wheelEvent(event);
}

void DragAndDroppableTableView::contextMenuEvent(QContextMenuEvent *event)
{
    if (!delegate_)
        return;
    // A click's event comes through the viewport in its coordinates, a key's in the grid's: the global
    // position means the same for both.
    const QPoint at = viewport()->mapFromGlobal(event->globalPos());
    if (QMenu *menu = delegate_->dragAndDroppableTableViewNeedsMenuForRow(this, rowAt(at.y()),
                                                                          columnAt(at.x()), false)) {
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu->popup(event->globalPos());
    }
}

bool DragAndDroppableTableView::edit(const QModelIndex &index, EditTrigger trigger, QEvent *event)
{
    if (!QTableView::edit(index, trigger, event))
        return false;
    // The cell editor shows the delegate's menu for that cell, in edit mode.
    QWidget *editor = QApplication::focusWidget();
    if (delegate_ && editor && viewport()->isAncestorOf(editor)) {
        editor->setContextMenuPolicy(Qt::CustomContextMenu);
        const int row = index.row();
        const int column = index.column();
        connect(editor, &QWidget::customContextMenuRequested, this,
                [this, editor, row, column](const QPoint &at) {
                    if (QMenu *menu =
                            delegate_->dragAndDroppableTableViewNeedsMenuForRow(this, row, column, true)) {
                        menu->setAttribute(Qt::WA_DeleteOnClose);
                        menu->popup(editor->mapToGlobal(at));
                    }
                });
    }
    return true;
}

void DragAndDroppableTableView::encodeInferfaceState(QVariantMap &archive) const
{
    QStringList identifiers;
    if (model()) {
        for (int visual = 0; visual < horizontalHeader()->count(); ++visual)
            identifiers
                << model()->headerData(horizontalHeader()->logicalIndex(visual), Qt::Horizontal).toString();
    }
    archive.insert("DragAndDroppableTableView.columns", identifiers);
}

void DragAndDroppableTableView::decodeInferfaceState(const QVariantMap &)
{
    // The stored column order is not applied: the next result set may have other columns.
}
