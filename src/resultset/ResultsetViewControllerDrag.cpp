// Grid values dragged out as a filter item: the distinct values of the column under the pointer in the
// dragged rows, as text, as a filter item and as the SQL condition the model words for them. While the
// drag lasts the grid announces it, so the schema browser can offer its drop targets.
#include "resultset/ResultsetViewController.h"

#include "kit/CommandRouter.h"
#include "kit/DragAndDroppableTableView.h"
#include "platform/NotificationCenter.h"
#include "resultset/FilterDragSource.h"
#include "resultset/ResultsetController.h"
#include "resultset/ResultsetTableModel.h"
#include "tabs/TabbedDocument.h"
#include "tabs/TabbedWindowController.h"

#include <QCursor>
#include <QGuiApplication>
#include <QMimeData>

#include <algorithm>

namespace
{
// Option in the design; Shift as well, for desktops whose window manager takes Alt-drags.
bool negatedBy(Qt::KeyboardModifiers modifiers)
{
    return modifiers & (Qt::AltModifier | Qt::ShiftModifier);
}

QString lines(const QStringList &values)
{
    QString text;
    for (const QString &value : values)
        text += value + QLatin1Char('\n');
    return text;
}

QList<qint64> modelRows(const QList<qint64> &gridRows)
{
    QList<qint64> rows;
    for (qint64 row : gridRows)
        rows.append(row + 1);
    return rows;
}

FilterPtr filterOf(const QMimeData *data)
{
    return data && data->hasFormat(Filter::filterItemType)
               ? Filter::fromArchive(data->data(Filter::filterItemType))
               : nullptr;
}
} // namespace

void ResultsetViewController::setUpDragging()
{
    if (auto *grid = qobject_cast<DragAndDroppableTableView *>(tableView_.data()))
        grid->setDragDelegate(this);
    tableModel_->setPasteboardWriter(
        [this](const QModelIndexList &indexes) { return pasteboardFor(indexes); });
}

int ResultsetViewController::draggedColumn(const QModelIndexList &indexes) const
{
    // A column dragged out by its header gives its own cells; a drag of rows takes the column under the
    // pointer (over the header, the column below it).
    const int first = indexes.first().column();
    if (std::all_of(indexes.cbegin(), indexes.cend(),
                    [first](const QModelIndex &i) { return i.column() == first; }))
        return first;
    return tableView_->columnAt(tableView_->viewport()->mapFromGlobal(QCursor::pos()).x());
}

QMimeData *ResultsetViewController::pasteboardFor(const QModelIndexList &indexes)
{
    ResultsetController *model = resultsetController_;
    if (!model || model->management() || !model->canRefresh() || indexes.isEmpty())
        return nullptr;
    const int column = draggedColumn(indexes);
    if (column <= 0)
        return nullptr;
    const QString name = tableModel_->identifier(column);
    if (model->columnIsBlob(name))
        return nullptr;
    QList<qint64> rows;
    for (const QModelIndex &index : indexes) {
        if (!rows.contains(index.row()))
            rows.append(index.row());
    }
    std::sort(rows.begin(), rows.end());
    auto filter = std::make_shared<Filter>();
    filter->setColumnName(name);
    filter->setNot(negatedBy(QGuiApplication::queryKeyboardModifiers()));
    filter->setRowIndexes(rows);
    QStringList values;
    for (const QVariant &value : model->uniqueObjectValuesForColumn(name, modelRows(rows)))
        values.append(value.toString());
    filter->setValues(values);
    const QString table = model->tableType();
    filter->setElement(std::make_shared<BrowserElement>(model->tableName(), model->tableSchema(), table,
                                                        table.isNull() ? BrowserElement::StatementResult
                                                                       : BrowserElement::Table));
    if (auto *window = qobject_cast<TabbedWindowController *>(
            CommandRouter::shared().windowResponder(tableView_->window())))
        filter->setSourceDocument(window->activeDocument());
    auto *data = new QMimeData;
    writePasteboard(data, *filter);
    dragPasteboard_ = data;
    return data;
}

void ResultsetViewController::writePasteboard(QMimeData *data, const Filter &filter) const
{
    data->setText(lines(filter.values()));
    data->setData(Filter::filterItemType, filter.archive());
    const QString condition = resultsetController_
                                  ? resultsetController_->queryPartForUniqueObjectValuesForColumn(
                                        filter.columnName(), modelRows(filter.rowIndexes()), filter.isNot())
                                  : QString();
    if (condition.isNull())
        data->removeFormat(Filter::sqlFilterItemType);
    else
        data->setData(Filter::sqlFilterItemType, condition.toUtf8());
}

DragAndDropItemSource *
ResultsetViewController::dragAndDroppableTableViewItemFromPasteboard(DragAndDroppableTableView *,
                                                                     const QMimeData *pasteboard)
{
    const FilterPtr filter = filterOf(pasteboard);
    return filter ? new FilterDragSource(filter) : nullptr;
}

void ResultsetViewController::dragAndDroppableTableViewNeedsUpdatedPasteboard(DragAndDroppableTableView *,
                                                                              QMimeData *pasteboard,
                                                                              Qt::KeyboardModifiers modifiers)
{
    const FilterPtr filter = filterOf(pasteboard);
    if (!filter)
        return;
    filter->setNot(negatedBy(modifiers));
    writePasteboard(pasteboard, *filter);
    modifiersChangedInDrag_ = true;
}

void ResultsetViewController::postDragNotification(const QString &name)
{
    const FilterPtr filter = filterOf(dragPasteboard_);
    NotificationCenter::defaultCenter().postNotification(
        name, this, {{QStringLiteral("filter"), filter ? QVariant::fromValue(filter) : QVariant()}});
}

void ResultsetViewController::dragAndDroppableTableViewDragBegan(DragAndDroppableTableView *)
{
    postDragNotification(beganDragNotification);
}

void ResultsetViewController::dragAndDroppableTableViewDragMoved(DragAndDroppableTableView *)
{
    if (!modifiersChangedInDrag_)
        return;
    modifiersChangedInDrag_ = false;
    postDragNotification(updatedDragNotification);
}

void ResultsetViewController::dragAndDroppableTableViewDragEnded(DragAndDroppableTableView *)
{
    postDragNotification(endedDragNotification);
}
