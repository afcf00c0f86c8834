#pragma once

#include <QAbstractTableModel>

class QueryRecallController;

// The history window's rows: the statement (column 0) and its Retain mark (column 1, a check box that
// writes the history at once). Rows drag out as plain text and as an SQL filter item.
class QueryRecallTableModel : public QAbstractTableModel
{
public:
    static constexpr int statementColumn = 0;
    static constexpr int storeColumn = 1;
    static inline const QString filterItemType = QStringLiteral("com.ostrel.apps.vorn.sql.filter-item");

    explicit QueryRecallTableModel(QObject *parent = nullptr);

    void setController(QueryRecallController *controller);
    void reload();
    QString queryForRow(int row) const;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;
    QStringList mimeTypes() const override;
    QMimeData *mimeData(const QModelIndexList &indexes) const override;
    Qt::DropActions supportedDragActions() const override { return Qt::CopyAction; }

private:
    QueryRecallController *controller_ = nullptr;
};
