#pragma once

#include "client/VornSort.h"
#include "resultset/SortWindowControllerLists.h"

#include <QDialog>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QPushButton>
#include <QStringList>
#include <QTableView>

class QMimeData;
class SortWindowControllerDelegate;

// The sort sheet: the columns still available beside the current sort entries, each a column with a
// direction. Buttons and drags move columns between the lists and reorder the entries; a double-click
// flips an entry's direction. The sheet works on its own copy of the sort, which the delegate reads only
// after Set, so a cancelled sheet changes nothing. Main thread only.
class SortWindowController : public QObject
{
    Q_OBJECT
public:
    using List = SortWindowControllerList::Kind;
    // The drag of a current entry (its row as decimal text) and of an available column (its name).
    static constexpr const char *currentDragType = "SortWindowControllerDND";
    static constexpr const char *availableDragType = "SortWindowControllerDNDb";

    explicit SortWindowController(QObject *parent = nullptr);
    ~SortWindowController() override;

    SortWindowControllerDelegate *delegate() const { return delegate_; }
    void setDelegate(SortWindowControllerDelegate *delegate) { delegate_ = delegate; }
    const QList<VornSort> &currentSort() const { return currentSort_; }
    const QStringList &columnNames() const { return columnNames_; }
    const QStringList &remainingColumnNames() const { return remainingColumnNames_; }

    // Loads a copy of the sort over the sortable column names, in their order.
    void setSort(const QList<VornSort> &sort, const QStringList &columnNames);
    // Runs the sheet on the window without blocking; the delegate hears how it ended.
    void showOnWindow(QWidget *window);

    // Button actions.
    void setSortAction();
    void cancel();
    void addAsc() { add(QStringLiteral("ASC")); }
    void addDesc() { add(QStringLiteral("DESC")); }
    // The selected entry's column goes back to the end of the available list.
    void remove();
    void clearSort();
    // Flips the direction of the selected entry.
    void currentDouble();
    // The buttons follow the selections.
    void updateInterface();

    // The lists' rows.
    int numberOfRows(List list) const;
    QString objectValue(List list, int column, int row) const;
    // A drag of the rows (the first counts) out of the list; null when nothing can be dragged.
    QMimeData *writeRows(List list, const QList<int> &rows);
    // Whether the drag may be dropped before the row (rowCount: after the last); never onto a row. Only
    // drags out of this sheet are taken.
    bool validateDrop(List list, const QMimeData *data, int row, bool ontoRow) const;
    bool acceptDrop(List list, const QMimeData *data, int row);

    QDialog *panel() const { return panel_; }
    QTableView *tableAvailable() const { return tableAvailable_; }
    QTableView *tableCurrent() const { return tableCurrent_; }
    QPushButton *addAscButton() const { return addAscButton_; }
    QPushButton *addDescButton() const { return addDescButton_; }
    QPushButton *removeButton() const { return removeButton_; }
    QPushButton *setButton() const { return setButton_; }

private:
    void buildPanel();
    void ensurePanel();
    void add(const QString &direction);
    void panelEnded(int returnCode);
    static int selectedRow(const QTableView *table);
    // Both lists shown again, with the rows selected (-1: none).
    void reload(int availableRow, int currentRow);
    // The row a drag of a current entry names, when it is one of this sheet's.
    int draggedEntry(const QMimeData *data) const;

    SortWindowControllerDelegate *delegate_ = nullptr;
    QList<VornSort> currentSort_;
    QStringList columnNames_;
    QStringList remainingColumnNames_;
    SortWindowControllerList availableList_{*this, List::Available};
    SortWindowControllerList currentList_{*this, List::Current};
    // The drag this sheet started last: drops of anything else are refused.
    mutable QPointer<QMimeData> lastDrag_;
    QPointer<QDialog> panel_;
    QPointer<QTableView> tableAvailable_;
    QPointer<QTableView> tableCurrent_;
    QPointer<QPushButton> addAscButton_;
    QPointer<QPushButton> addDescButton_;
    QPointer<QPushButton> removeButton_;
    QPointer<QPushButton> setButton_;
};
