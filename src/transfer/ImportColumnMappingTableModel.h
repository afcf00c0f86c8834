#pragma once

#include <QAbstractTableModel>

class ImportController;

// The mapping page's table: one row per non-hidden import column, with its on/off check, its source
// name and its target. A target that an earlier enabled column already takes shows in red. Switching a
// column on or off clears its target.
class ImportColumnMappingTableModel : public QAbstractTableModel
{
public:
    enum Column { Active, Source, Target };

    explicit ImportColumnMappingTableModel(QObject *parent = nullptr) : QAbstractTableModel(parent) {}

    void setImportController(ImportController *controller) { importController_ = controller; }
    void reload();
    // The row of the first enabled non-hidden column mapped to the target, or -1.
    qint64 firstEnabledMapForColumn(const QString &target) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    ImportController *importController_ = nullptr;
};
