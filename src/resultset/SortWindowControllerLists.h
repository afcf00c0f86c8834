#pragma once

#include <QAbstractTableModel>

class SortWindowController;

// One of the sort sheet's two lists as a table: the available column names, or the current sort entries
// (name, direction). The rows and the moves by dragging belong to the controller; this only shows them.
class SortWindowControllerList : public QAbstractTableModel
{
public:
    enum class Kind { Available, Current };

    SortWindowControllerList(SortWindowController &controller, Kind kind, QObject *parent = nullptr);

    Kind kind() const { return kind_; }
    // The controller's rows changed.
    void reload();

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    QStringList mimeTypes() const override;
    QMimeData *mimeData(const QModelIndexList &indexes) const override;
    Qt::DropActions supportedDragActions() const override { return Qt::MoveAction; }
    Qt::DropActions supportedDropActions() const override { return Qt::MoveAction; }
    bool canDropMimeData(const QMimeData *data, Qt::DropAction action, int row, int column,
                         const QModelIndex &parent) const override;
    bool dropMimeData(const QMimeData *data, Qt::DropAction action, int row, int column,
                      const QModelIndex &parent) override;

private:
    // A drop in the empty area below the rows goes after the last row.
    int dropRow(int row) const;

    SortWindowController &controller_;
    Kind kind_;
};
