#pragma once

#include <QAbstractTableModel>

class ExportController;

// The export columns as a table: the name written for each (editable) and whether it is exported (a
// check box). A row dragged to the gap above another moves that column there.
class ExportColumnTableModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    static inline const QString DragType = QStringLiteral("EXPORT_COLUMN_ORDER_DRAG_TYPE");

    explicit ExportColumnTableModel(ExportController *controller, QObject *parent = nullptr);

    void reload();

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QStringList mimeTypes() const override;
    QMimeData *mimeData(const QModelIndexList &indexes) const override;
    Qt::DropActions supportedDropActions() const override;
    bool canDropMimeData(const QMimeData *data, Qt::DropAction action, int row, int column,
                         const QModelIndex &parent) const override;
    bool dropMimeData(const QMimeData *data, Qt::DropAction action, int row, int column,
                      const QModelIndex &parent) override;

signals:
    void edited();

private:
    ExportController *controller_;
};
