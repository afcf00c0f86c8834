#include "resultset/SortWindowControllerLists.h"

#include "resultset/SortWindowController.h"

#include <QCoreApplication>
#include <QMimeData>

#include <algorithm>

SortWindowControllerList::SortWindowControllerList(SortWindowController &controller, Kind kind,
                                                   QObject *parent)
    : QAbstractTableModel(parent), controller_(controller), kind_(kind)
{
}

void SortWindowControllerList::reload()
{
    beginResetModel();
    endResetModel();
}

int SortWindowControllerList::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : controller_.numberOfRows(kind_);
}

int SortWindowControllerList::columnCount(const QModelIndex &parent) const
{
    if (parent.isValid())
        return 0;
    return kind_ == Kind::Current ? 2 : 1;
}

QVariant SortWindowControllerList::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::ToolTipRole))
        return {};
    return controller_.objectValue(kind_, index.column(), index.row());
}

QVariant SortWindowControllerList::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    if (kind_ == Kind::Available)
        return QCoreApplication::translate("sortwindow", "Available columns");
    return section == 0 ? QCoreApplication::translate("sortwindow", "Sort by")
                        : QCoreApplication::translate("sortwindow", "Direction");
}

// Rows take no drops themselves: a drop goes between rows.
Qt::ItemFlags SortWindowControllerList::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::ItemIsDropEnabled;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled;
}

QStringList SortWindowControllerList::mimeTypes() const
{
    QStringList types{QString::fromLatin1(SortWindowController::currentDragType)};
    if (kind_ == Kind::Current)
        types.append(QString::fromLatin1(SortWindowController::availableDragType));
    return types;
}

QMimeData *SortWindowControllerList::mimeData(const QModelIndexList &indexes) const
{
    QList<int> rows;
    for (const QModelIndex &index : indexes) {
        if (!rows.contains(index.row()))
            rows.append(index.row());
    }
    std::sort(rows.begin(), rows.end());
    return controller_.writeRows(kind_, rows);
}

int SortWindowControllerList::dropRow(int row) const
{
    return row < 0 ? rowCount() : row;
}

bool SortWindowControllerList::canDropMimeData(const QMimeData *data, Qt::DropAction action, int row, int,
                                               const QModelIndex &parent) const
{
    return action == Qt::MoveAction && controller_.validateDrop(kind_, data, dropRow(row), parent.isValid());
}

bool SortWindowControllerList::dropMimeData(const QMimeData *data, Qt::DropAction action, int row, int column,
                                            const QModelIndex &parent)
{
    if (!canDropMimeData(data, action, row, column, parent))
        return false;
    return controller_.acceptDrop(kind_, data, dropRow(row));
}
