#pragma once

#include "transfer/ImportColumn.h"

#include <QAbstractTableModel>

class ImportController;

// The preview grid's rows: the first rows of the source as the import controller read them, with an
// optional first row naming each column's target, as read or converted. It keeps no data: every call
// reads the controller's current rows and options.
class ImportPreviewTableModel : public QAbstractTableModel
{
public:
    explicit ImportPreviewTableModel(QObject *parent = nullptr) : QAbstractTableModel(parent) {}

    void setImportController(ImportController *controller) { importController_ = controller; }
    void setDisplayTargetColumns(bool display) { displayTargetColumns_ = display; }
    bool displayTargetColumns() const { return displayTargetColumns_; }
    void setHideUnusedSourceColumns(bool hide) { hideUnusedSourceColumns_ = hide; }
    void setConverted(bool converted) { converted_ = converted; }
    // Reads everything again.
    void reload();

    // The import columns that get grid columns, in grid order.
    QList<ImportColumnPtr> determineColumns() const;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    QVariant targetData(const ImportColumn &column, int role) const;

    ImportController *importController_ = nullptr;
    QList<ImportColumnPtr> columns_;
    bool displayTargetColumns_ = false;
    bool hideUnusedSourceColumns_ = false;
    bool converted_ = false;
};
