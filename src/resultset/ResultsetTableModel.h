#pragma once

#include <QAbstractTableModel>
#include <QHash>
#include <QPixmap>
#include <QStringList>

#include <functional>

class ResultsetController;

// The grid's table model over the result-set model. Column 0 is the row-number column "_ROWNUM_COL";
// every other column is identified by the backend's unique column name and titled by its label; columns
// of numbers are right-aligned. Grid rows count from 0, the result-set model's from 1.
class ResultsetTableModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    static const QString rowNumberColumn; // "_ROWNUM_COL"

    explicit ResultsetTableModel(QObject *parent = nullptr);

    // Takes the columns and the row count of the result-set model (or none).
    void reset(ResultsetController *resultsetController);
    // Takes the model's new row count: added rows are inserted, fewer rows reset the rows.
    void noteNumberOfRowsChanged();
    // One row (0-based) went from the result-set model.
    void rowRemoved(int row);
    // A new row (0-based) came into the result-set model there.
    void rowInserted(int row);
    // The row's values changed (written, or an edit dropped).
    void rowChanged(int row);
    // Header decorations of sorted columns, by identifier.
    void setSortImages(const QHash<QString, QPixmap> &images);

    QString identifier(int column) const;
    // The column with that identifier; -1 when there is none.
    int columnForIdentifier(const QString &identifier) const;
    QStringList identifiers() const { return identifiers_; }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    // Data cells of an editable result take typed values; whether a cell may start editing is the
    // result-set model's to say when editing starts.
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    // Cells may be dragged once a writer puts them on the drag's pasteboard (null refuses the drag).
    using PasteboardWriter = std::function<QMimeData *(const QModelIndexList &)>;
    void setPasteboardWriter(PasteboardWriter writer) { pasteboardWriter_ = std::move(writer); }
    QStringList mimeTypes() const override;
    QMimeData *mimeData(const QModelIndexList &indexes) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    ResultsetController *resultsetController_ = nullptr;
    QStringList identifiers_;
    QStringList titles_;
    QList<bool> numberColumns_;
    int rowCount_ = 0;
    bool editable_ = false;
    QHash<QString, QPixmap> sortImages_;
    PasteboardWriter pasteboardWriter_;
};
