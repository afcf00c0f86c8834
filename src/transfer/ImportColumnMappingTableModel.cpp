#include "transfer/ImportColumnMappingTableModel.h"

#include "transfer/ImportController.h"

#include <QBrush>
#include <QCoreApplication>

void ImportColumnMappingTableModel::reload()
{
    beginResetModel();
    endResetModel();
}

qint64 ImportColumnMappingTableModel::firstEnabledMapForColumn(const QString &target) const
{
    const QList<ImportColumnPtr> columns = importController_->importOptions().nonHiddenImportColumns();
    for (qsizetype row = 0; row < columns.size(); ++row) {
        if (columns[row]->enabled && columns[row]->map_to == target)
            return row;
    }
    return -1;
}

int ImportColumnMappingTableModel::rowCount(const QModelIndex &parent) const
{
    if (parent.isValid() || !importController_)
        return 0;
    return int(importController_->importOptions().nonHiddenImportColumns().size());
}

int ImportColumnMappingTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : 3;
}

QVariant ImportColumnMappingTableModel::data(const QModelIndex &index, int role) const
{
    const QList<ImportColumnPtr> columns = importController_->importOptions().nonHiddenImportColumns();
    if (!index.isValid() || index.row() >= columns.size())
        return {};
    const ImportColumn &column = *columns[index.row()];
    switch (index.column()) {
    case Active:
        return role == Qt::CheckStateRole ? QVariant(column.enabled ? Qt::Checked : Qt::Unchecked)
                                          : QVariant();
    case Source:
        return role == Qt::DisplayRole ? QVariant(column.column_name) : QVariant();
    case Target:
        if (role == Qt::DisplayRole)
            return column.map_to;
        if (role == Qt::ForegroundRole && column.enabled && !column.map_to.isEmpty() &&
            firstEnabledMapForColumn(column.map_to) != index.row())
            return QBrush(Qt::red);
        return {};
    default:
        return {};
    }
}

bool ImportColumnMappingTableModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    const QList<ImportColumnPtr> columns = importController_->importOptions().nonHiddenImportColumns();
    if (!index.isValid() || index.column() != Active || role != Qt::CheckStateRole ||
        index.row() >= columns.size())
        return false;
    ImportColumn &column = *columns[index.row()];
    column.enabled = value.toInt() == Qt::Checked;
    // The column must be mapped again.
    column.map_to.clear();
    // Other rows' red marks may change with it.
    emit dataChanged(this->index(0, 0), this->index(rowCount() - 1, Target));
    return true;
}

Qt::ItemFlags ImportColumnMappingTableModel::flags(const QModelIndex &index) const
{
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (index.column() == Active)
        flags |= Qt::ItemIsUserCheckable;
    return flags;
}

QVariant ImportColumnMappingTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case Active:
        return QCoreApplication::translate("importer", "Import");
    case Source:
        return QCoreApplication::translate("importer", "Source column");
    case Target:
        return QCoreApplication::translate("importer", "Table column");
    default:
        return {};
    }
}
