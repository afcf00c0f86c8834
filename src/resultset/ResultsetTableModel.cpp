#include "resultset/ResultsetTableModel.h"

#include "resultset/Filter.h"
#include "resultset/ResultsetController.h"

#include <QMimeData>

#include <limits>

const QString ResultsetTableModel::rowNumberColumn = QStringLiteral("_ROWNUM_COL");

ResultsetTableModel::ResultsetTableModel(QObject *parent) : QAbstractTableModel(parent) {}

namespace
{
int clampedRowCount(const ResultsetController *controller)
{
    if (!controller)
        return 0;
    return int(std::min<qint64>(controller->numberOfRowsInResultset(), std::numeric_limits<int>::max()));
}
} // namespace

void ResultsetTableModel::reset(ResultsetController *resultsetController)
{
    beginResetModel();
    resultsetController_ = resultsetController;
    identifiers_ = QStringList{rowNumberColumn};
    titles_ = QStringList{QString()};
    numberColumns_ = QList<bool>{false};
    sortImages_.clear();
    if (resultsetController_) {
        const QStringList names = resultsetController_->columnNames();
        const QStringList labels = resultsetController_->columnLabels();
        identifiers_ += names;
        for (qsizetype i = 0; i < names.size(); ++i) {
            titles_.append(labels.size() == names.size() ? labels[i] : QString());
            numberColumns_.append(resultsetController_->isNumberColumn(names[i]));
        }
    }
    rowCount_ = clampedRowCount(resultsetController_);
    editable_ = resultsetController_ && resultsetController_->canEditResultSet();
    endResetModel();
}

void ResultsetTableModel::noteNumberOfRowsChanged()
{
    const int count = clampedRowCount(resultsetController_);
    if (count > rowCount_) {
        beginInsertRows({}, rowCount_, count - 1);
        rowCount_ = count;
        endInsertRows();
    } else if (count < rowCount_) {
        beginResetModel();
        rowCount_ = count;
        endResetModel();
    } else if (rowCount_ > 0) {
        emit dataChanged(index(0, 0), index(rowCount_ - 1, columnCount() - 1));
    }
}

void ResultsetTableModel::rowRemoved(int row)
{
    if (row < 0 || row >= rowCount_) {
        noteNumberOfRowsChanged();
        return;
    }
    beginRemoveRows({}, row, row);
    --rowCount_;
    endRemoveRows();
}

void ResultsetTableModel::rowInserted(int row)
{
    if (row < 0 || row > rowCount_) {
        noteNumberOfRowsChanged();
        return;
    }
    beginInsertRows({}, row, row);
    ++rowCount_;
    endInsertRows();
}

void ResultsetTableModel::rowChanged(int row)
{
    if (row >= 0 && row < rowCount_)
        emit dataChanged(index(row, 0), index(row, columnCount() - 1));
}

Qt::ItemFlags ResultsetTableModel::flags(const QModelIndex &index) const
{
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (editable_ && index.isValid() && index.column() > 0)
        flags |= Qt::ItemIsEditable;
    if (index.isValid() && pasteboardWriter_)
        flags |= Qt::ItemIsDragEnabled;
    return flags;
}

QStringList ResultsetTableModel::mimeTypes() const
{
    return {QStringLiteral("text/plain"), Filter::filterItemType, Filter::sqlFilterItemType};
}

QMimeData *ResultsetTableModel::mimeData(const QModelIndexList &indexes) const
{
    return pasteboardWriter_ ? pasteboardWriter_(indexes) : nullptr;
}

bool ResultsetTableModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != Qt::EditRole || !editable_ || !index.isValid() || index.column() == 0 ||
        !resultsetController_)
        return false;
    // The editor hands back the text it showed: an untouched cell (NULL among them) stays as it is.
    if (data(index, Qt::DisplayRole).toString() == value.toString())
        return true;
    resultsetController_->setValueOfColumn(identifiers_[index.column()], index.row() + 1, value.toString());
    emit dataChanged(index, index);
    return true;
}

void ResultsetTableModel::setSortImages(const QHash<QString, QPixmap> &images)
{
    sortImages_ = images;
    emit headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
}

QString ResultsetTableModel::identifier(int column) const
{
    return identifiers_.value(column);
}

int ResultsetTableModel::columnForIdentifier(const QString &identifier) const
{
    return int(identifiers_.indexOf(identifier));
}

int ResultsetTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : rowCount_;
}

int ResultsetTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(identifiers_.size());
}

QVariant ResultsetTableModel::data(const QModelIndex &index, int role) const
{
    // Numbers line up by their last digit.
    if (role == Qt::TextAlignmentRole && index.isValid() && numberColumns_.value(index.column()))
        return QVariant(Qt::AlignRight | Qt::AlignVCenter);
    if (role == Qt::EditRole && index.column() > 0)
        role = Qt::DisplayRole;
    if (role != Qt::DisplayRole || !index.isValid() || index.column() == 0 || !resultsetController_)
        return index.column() == 0 && role == Qt::DisplayRole ? QVariant(QString()) : QVariant();
    // Grid column n is the model's column n - 1.
    return resultsetController_->objectValueForColumn(identifiers_[index.column()], index.row() + 1,
                                                      index.column() - 1);
}

QVariant ResultsetTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= identifiers_.size())
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::DisplayRole)
        return titles_[section];
    if (role == Qt::DecorationRole && sortImages_.contains(identifiers_[section]))
        return sortImages_.value(identifiers_[section]);
    return QVariant();
}
