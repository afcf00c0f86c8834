#include "transfer/ImportPreviewTableModel.h"

#include "transfer/ImportController.h"
#include "transfer/ImportPreviewCell.h"
#include "transfer/ImportUtils.h"

#include <QBrush>
#include <QColor>
#include <QFont>
#include <QFontDatabase>

void ImportPreviewTableModel::reload()
{
    beginResetModel();
    columns_ = determineColumns();
    endResetModel();
}

QList<ImportColumnPtr> ImportPreviewTableModel::determineColumns() const
{
    if (!importController_)
        return {};
    QList<ImportColumnPtr> columns;
    for (const ImportColumnPtr &column : importController_->importOptions().nonHiddenImportColumns()) {
        if (!hideUnusedSourceColumns_ || column->enabled)
            columns.append(column);
    }
    return columns;
}

int ImportPreviewTableModel::rowCount(const QModelIndex &parent) const
{
    if (parent.isValid() || !importController_)
        return 0;
    return int(importController_->previewRowCount()) + (displayTargetColumns_ ? 1 : 0);
}

int ImportPreviewTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(columns_.size());
}

QVariant ImportPreviewTableModel::targetData(const ImportColumn &column, int role) const
{
    const bool mapped = column.enabled && !column.map_to.isEmpty();
    const QString type = importController_->importOptions().target_column_types.value(column.map_to);
    switch (role) {
    case Qt::DisplayRole:
        return mapped ? QStringLiteral(" %1 ").arg(column.map_to) : QString();
    case Qt::DecorationRole:
        if (!mapped || type.isEmpty())
            return {};
        // A text target takes any source type.
        return ImportUtils::imageForLetter(type,
                                           type != QLatin1String("S") && type != column.input_column_type);
    case Qt::FontRole: {
        QFont bold = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
        bold.setPointSize(10);
        bold.setBold(true);
        return bold;
    }
    case Qt::BackgroundRole:
        return QBrush(QColor::fromRgbF(0.8f, 0.8f, 0.8f));
    default:
        return {};
    }
}

QVariant ImportPreviewTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.column() >= columns_.size() || !importController_)
        return {};
    const ImportColumn &column = *columns_[index.column()];
    if (displayTargetColumns_ && index.row() == 0)
        return targetData(column, role);
    if (role == Qt::ForegroundRole && displayTargetColumns_ && !column.enabled)
        return QBrush(Qt::lightGray);
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
        return {};
    const qsizetype row = index.row() - (displayTargetColumns_ ? 1 : 0);
    if (row >= importController_->previewRowCount())
        return {};
    const QString value = importController_->dataRowPreview(row).value(column.column_name);
    if (!converted_)
        return value;
    return ImportPreviewCell::convertedText(importController_->importOptions(), column, value);
}

QVariant ImportPreviewTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= columns_.size())
        return QAbstractTableModel::headerData(section, orientation, role);
    const ImportColumn &column = *columns_[section];
    if (role == Qt::DisplayRole)
        return column.column_name;
    if (role == Qt::DecorationRole && !column.input_column_type.isEmpty())
        return ImportUtils::imageForLetter(column.input_column_type);
    return {};
}
