#include "transfer/ExportColumnTableModel.h"

#include "transfer/ExportController.h"

#include <QCoreApplication>
#include <QMimeData>
#include <QSet>

namespace
{
enum Column { Name, Export };
}

ExportColumnTableModel::ExportColumnTableModel(ExportController *controller, QObject *parent)
    : QAbstractTableModel(parent), controller_(controller)
{
}

void ExportColumnTableModel::reload()
{
    beginResetModel();
    endResetModel();
}

int ExportColumnTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(controller_->exportOptions().columns.size());
}

int ExportColumnTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : 2;
}

QVariant ExportColumnTableModel::data(const QModelIndex &index, int role) const
{
    const ExportColumn &column = controller_->exportOptions().columns.at(index.row());
    if (index.column() == Name && (role == Qt::DisplayRole || role == Qt::EditRole))
        return column.name;
    if (index.column() == Export && role == Qt::CheckStateRole)
        return column.enabled ? Qt::Checked : Qt::Unchecked;
    return {};
}

QVariant ExportColumnTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    return QCoreApplication::translate("export", section == Name ? "Column" : "Export");
}

bool ExportColumnTableModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    ExportColumn &column = controller_->exportOptions().columns[index.row()];
    if (index.column() == Name && role == Qt::EditRole)
        column.name = value.toString();
    else if (index.column() == Export && role == Qt::CheckStateRole)
        column.enabled = value.toInt() == Qt::Checked;
    else
        return false;
    emit dataChanged(index, index);
    emit edited();
    return true;
}

Qt::ItemFlags ExportColumnTableModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::ItemIsDropEnabled;
    const Qt::ItemFlags common = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled;
    return common | (index.column() == Name ? Qt::ItemIsEditable : Qt::ItemIsUserCheckable);
}

QStringList ExportColumnTableModel::mimeTypes() const
{
    return {DragType};
}

QMimeData *ExportColumnTableModel::mimeData(const QModelIndexList &indexes) const
{
    QSet<int> rows;
    for (const QModelIndex &index : indexes)
        rows.insert(index.row());
    // One column moves at a time.
    if (rows.size() != 1 || *rows.begin() >= rowCount())
        return nullptr;
    auto *data = new QMimeData;
    data->setData(DragType, QByteArray::number(*rows.begin()));
    return data;
}

Qt::DropActions ExportColumnTableModel::supportedDropActions() const
{
    return Qt::MoveAction;
}

bool ExportColumnTableModel::canDropMimeData(const QMimeData *data, Qt::DropAction, int row, int,
                                             const QModelIndex &parent) const
{
    // Only between rows: a drop onto a row is refused.
    return data && data->hasFormat(DragType) && !parent.isValid() && row >= 0;
}

bool ExportColumnTableModel::dropMimeData(const QMimeData *data, Qt::DropAction action, int row, int column,
                                          const QModelIndex &parent)
{
    if (!canDropMimeData(data, action, row, column, parent))
        return false;
    bool ok = false;
    const int source = data->data(DragType).toInt(&ok);
    if (!ok || source == row || source == row - 1)
        return false;
    controller_->exportOptions().moveColumn(source, row);
    reload();
    emit edited();
    // The move is done here; the view must not remove the dragged row afterwards.
    return false;
}
