#include "editor/QueryRecallTableModel.h"

#include "editor/QueryRecallController.h"

#include <QCoreApplication>
#include <QFontDatabase>
#include <QMimeData>

QueryRecallTableModel::QueryRecallTableModel(QObject *parent) : QAbstractTableModel(parent) {}

void QueryRecallTableModel::setController(QueryRecallController *controller)
{
    controller_ = controller;
    reload();
}

void QueryRecallTableModel::reload()
{
    beginResetModel();
    endResetModel();
}

QString QueryRecallTableModel::queryForRow(int row) const
{
    if (!controller_ || row < 0 || row >= controller_->queryCount())
        return QString();
    return SQLParserComponent::stringForComponents(controller_->componentsForQueryAt(row), false);
}

int QueryRecallTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() || !controller_ ? 0 : int(controller_->queryCount());
}

int QueryRecallTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : 2;
}

QVariant QueryRecallTableModel::data(const QModelIndex &index, int role) const
{
    if (!controller_ || !index.isValid() || index.row() >= controller_->queryCount())
        return {};
    if (index.column() == statementColumn) {
        if (role == Qt::DisplayRole)
            return queryForRow(index.row()).trimmed();
        if (role == Qt::ToolTipRole)
            return queryForRow(index.row());
        if (role == Qt::FontRole)
            return QFontDatabase::systemFont(QFontDatabase::FixedFont);
        if (role == Qt::TextAlignmentRole)
            return int(Qt::AlignLeft | Qt::AlignTop);
    }
    if (index.column() == storeColumn && role == Qt::CheckStateRole)
        return controller_->storeForQueryAt(index.row()) ? Qt::Checked : Qt::Unchecked;
    return {};
}

QVariant QueryRecallTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    return section == storeColumn ? QCoreApplication::translate("queryrecall", "Retain")
                                  : QCoreApplication::translate("queryrecall", "Statement");
}

Qt::ItemFlags QueryRecallTableModel::flags(const QModelIndex &index) const
{
    Qt::ItemFlags flags = QAbstractTableModel::flags(index) | Qt::ItemIsDragEnabled;
    if (index.column() == storeColumn)
        flags |= Qt::ItemIsUserCheckable;
    return flags;
}

bool QueryRecallTableModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!controller_ || index.column() != storeColumn || role != Qt::CheckStateRole ||
        index.row() >= controller_->queryCount())
        return false;
    // The store filters and tells the window again, which reloads this model.
    controller_->updateStoreForQueryAt(index.row(), value.toInt() == Qt::Checked);
    return true;
}

QStringList QueryRecallTableModel::mimeTypes() const
{
    return {QStringLiteral("text/plain"), filterItemType};
}

QMimeData *QueryRecallTableModel::mimeData(const QModelIndexList &indexes) const
{
    if (indexes.isEmpty())
        return nullptr;
    const QString query = queryForRow(indexes.first().row());
    auto *data = new QMimeData;
    data->setText(query);
    data->setData(filterItemType, query.toUtf8());
    return data;
}
