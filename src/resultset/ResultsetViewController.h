#pragma once

// The kit header needs its two overlay views complete.
#include "kit/DragAndDroppableTableView.h"
#include "kit/DragAndDroppableTableViewOtherView.h"
#include "kit/DragAndDroppableTableViewSourceView.h"
#include "kit/VisualShortcut.h"
#include "resultset/QuickFilterController.h"
#include "resultset/RecordEditControllerDelegate.h"
#include "resultset/ResultsetDimension.h"
#include "window/PaneViewController.h"

#include <QHash>
#include <QLabel>
#include <QMimeData>
#include <QPixmap>
#include <QPointer>
#include <QTableView>

#include <memory>

class Filter;
class RecordEditController;
class ResultsetController;
class ResultsetSplitView;
class ResultsetTableModel;

// The result pane: a grid of the rows of the document's result-set model. Its first column is the
// row-number column; the others are identified by the backend's unique column names and titled by their
// labels, so duplicate labels keep their own values and layouts. Column widths and order are remembered
// per result-set description for the life of the controller. Scrolling reports the visible rows to the
// model, which fetches more rows ahead. A line under the grid says when the result stops at the row
// limit. The quick-filter bar sits above the grid in a split view. Main thread only.
class ResultsetViewController : public PaneViewController,
                                public VisualShortcutAdopter,
                                public RecordEditControllerDelegate,
                                public DragAndDroppableTableViewDelegate,
                                public QuickFilterControllerDelegate
{
    Q_OBJECT
public:
    // The narrowest the row-number column gets; it widens for row numbers with more digits.
    static constexpr int rowNumberColumnWidth = 43;
    static constexpr int minimumColumnWidth = 80;
    // A column is made no wider than this for its title and values; the user may widen it further.
    static constexpr int maximumFittedColumnWidth = 400;
    // The rows whose values give the columns their widths: the backend's first portion.
    static constexpr int firstPageRows = 100;

    explicit ResultsetViewController(QObject *parent = nullptr);
    ~ResultsetViewController() override;

    QTableView *tableView() const { return tableView_; }
    ResultsetTableModel *tableModel() const { return tableModel_; }
    QLabel *rowLimitNotice() const { return rowLimitNotice_; }

    // Binds the document's model (not owned; bind null before it goes) and rebuilds the columns.
    void setResultsetController(ResultsetController *resultsetController);
    ResultsetController *resultsetController() const { return resultsetController_; }

    // The model's columns may have changed.
    void resultsetReset();
    // Rows were added or changed.
    void resultsetUpdated();
    // The filter or the sort changed: back to the first row.
    void resultsetQuickFilterOrSortUpdated();
    void resultsetWillUpdate();
    void resultsetCancelledUpdate();
    void cancelTableViewUpdates();
    // A row (1-based) was removed from the model.
    void resultsetRemovedRowAt(qint64 row);
    // The focus leaves the result: remember its layout.
    void resultsetWillBeOrderedOut();

    void encodeInferfaceState(QVariantMap &archive) const override;
    void decodeInferfaceState(const QVariantMap &archive) override;
    void setDefaultInterfaceState() override;
    void detachModel() override;

    Q_INVOKABLE void selectResultset(QObject *sender);
    Q_INVOKABLE void refresh(QObject *sender);
    // A new record (or a copy of the selected one) at the selected row, which moves down, or at the
    // top; its first data column opens for typing.
    Q_INVOKABLE void addRow(QObject *sender);
    Q_INVOKABLE void duplicate(QObject *sender);
    // Removes the selected rows.
    Q_INVOKABLE void deleteRow(QObject *sender);
    // Drops the row edit and shows the row as it was.
    Q_INVOKABLE void cancel(QObject *sender);
    // The current date, or date and time, replaces the text of the cell being typed into.
    Q_INVOKABLE void insertDate(QObject *sender);
    Q_INVOKABLE void insertTime(QObject *sender);
    // The next value of the sequence named by the sender's "representedObject" [sequence, column]
    // replaces the text of the cell being typed into.
    Q_INVOKABLE void selectSequence(QObject *sender);
    // Removes the clicked row (0-based), or the whole selection when the clicked row is part of it.
    void deleteRowFromContext(int clickedRow);
    // The popup editor for the current cell (a long value).
    Q_INVOKABLE void edit(QObject *sender);
    class CellEditorControllerViewController *cellEditor() const { return cellEditor_; }
    // All values of the selected record (or of the sender's "row" property) in the record editor.
    Q_INVOKABLE void editRecord(QObject *sender);
    RecordEditController *recordEditController() const { return recordEditController_.get(); }

    bool recordEditorColumnIsClobOrLargeString(const QString &column) override;
    bool recordEditorColumnIsBlob(const QString &column) override;
    bool recordEditorColumnIsBlobEmpty(const QString &column) override;
    bool recordEditorLoadBlobFor(const QString &column, const QString &path) override;
    bool recordEditorSaveBlobFor(const QString &column, const QString &path) override;
    bool recordEditorClearBlobFor(const QString &column) override;
    Q_INVOKABLE bool validateAction(const QString &action) const;
    // Ctrl-Alt-L selects the grid.
    QList<VisualShortcut> visualShortcuts() override;

    // The sort indicator of a direction (1 ascending, else descending), numbered when sequence > 0.
    static QPixmap sortImage(int direction, int sequence);

    // The quick-filter bar, the grid's drags of values and its context menu.
    static inline const QString beganDragNotification = QStringLiteral("ResultsetViewController_BeganDrag");
    static inline const QString updatedDragNotification =
        QStringLiteral("ResultsetViewController_UpdatedDrag");
    static inline const QString endedDragNotification = QStringLiteral("ResultsetViewController_EndedDrag");
    QuickFilterController *quickFilterController() const { return quickFilterController_; }
    ResultsetSplitView *resultsetSplitView() const { return resultsetSplitView_; }
    Q_INVOKABLE void selectQuickFilter(QObject *sender);
    // Filters by the value a context-menu item carries: [element, column, value, add, modifiers].
    Q_INVOKABLE void selectFromContextMenu(QObject *sender);
    // A value as a menu title shows it: quoted, its middle cut out from 31 characters on.
    static QString shownMenuValue(const QString &value);

    bool quickFilter(QuickFilterController *controller, const QString &columnName, const QString &value,
                     const QString &operatorCode, const QString &type) override;
    void quickFilterWasUpdated(QuickFilterController *controller) override;
    void quickFilterRequestsRelayout(QuickFilterController *controller) override;
    QString quickFilterNeedsCustomFilterForColumn(const QString &columnName, const QStringList &values,
                                                  bool negative) override;
    void quickFilterWantsToClearFilterAndSort(QuickFilterController *controller) override;
    void quickFilterWantsToStoreCurrentFilter(QuickFilterController *) override { storeCurrentQuickFilter(); }
    void quickFilterWantsToEditStoredFilters(QuickFilterController *) override { editStoredQuickFilters(); }
    ResultsetController *quickFilterNeedsResultsetControllerForFilterStorage() override;

    DragAndDropItemSource *dragAndDroppableTableViewItemFromPasteboard(DragAndDroppableTableView *table,
                                                                       const QMimeData *pasteboard) override;
    void dragAndDroppableTableViewDragBegan(DragAndDroppableTableView *table) override;
    void dragAndDroppableTableViewDragMoved(DragAndDroppableTableView *table) override;
    void dragAndDroppableTableViewDragEnded(DragAndDroppableTableView *table) override;
    void dragAndDroppableTableViewNeedsUpdatedPasteboard(DragAndDroppableTableView *table,
                                                         QMimeData *pasteboard,
                                                         Qt::KeyboardModifiers modifiers) override;
    QMenu *dragAndDroppableTableViewNeedsMenuForRow(DragAndDroppableTableView *table, int row, int column,
                                                    bool inEditMode) override;

private:
    void buildColumns();
    // By logical column; the row-number column's entry is unused.
    QList<int> fittedColumnWidths() const;
    void fitRowNumberColumn();
    void resetSortDescriptors();
    void headerClicked(int column);
    void columnMoved(int logical, int oldVisual, int newVisual);
    void columnResized(int logical, int oldSize, int newSize);
    void storeDimension();
    void loadDimensions();
    void reportVisibleRange();
    void showRowLimitNotice();
    bool eventFilter(QObject *watched, QEvent *event) override;
    // In-place editing (see ResultsetViewControllerEditing.cpp).
    void setUpEditing();
    bool mayEditCell(const QModelIndex &index);
    void currentRowChanged(const QModelIndex &current, const QModelIndex &previous);
    void editorClosed();
    // After Return: the row is written, then the next row selected (none after the last).
    void endTableEditingUsingReturn();
    int selectedRow() const;
    void removeRows(QList<int> rows);
    void selectRowAfterRemoval();
    void replaceEditorText(const QString &text);
    // Applies the record editor's values that changed (NULL stays apart from empty text).
    void recordEditResult(const QVariantMap &result, const QVariantMap &shownValues);

    ResultsetController *resultsetController_ = nullptr;
    QPointer<QTableView> tableView_;
    // Says that the result stops at the row limit; hidden otherwise.
    QPointer<QLabel> rowLimitNotice_;
    ResultsetTableModel *tableModel_ = nullptr;
    QHash<QString, ResultsetDimension> resultsetDimensions_;
    // Set while columns are built or restored, so those changes are not recorded as the user's.
    bool arranging_ = false;
    // Set while the selection is put back on a row whose edit could not be written.
    bool keepingEditedRow_ = false;
    // The row selected once the rows being removed have gone; -1 when no removal runs.
    int rowAfterRemoval_ = -1;
    class ResultsetCellDelegate *cellDelegate_ = nullptr;
    std::unique_ptr<RecordEditController> recordEditController_;
    class CellEditorControllerViewController *cellEditor_ = nullptr;
    void startEditOnRow(int row, int column);
    void cellEditorClosed(const QString &text);
    // Clicks on cells (see ResultsetViewControllerClicks.cpp).
    void setUpClicks();
    void tableClick(const QModelIndex &index);
    void tableDoubleClick(const QModelIndex &index);
    // The header dragged downwards (see ResultsetViewControllerColumnDrag.cpp); false when refused.
    bool columnDraggedOut(int column);

    // The quick-filter bar (see ResultsetViewControllerQuickFilter.cpp).
    QWidget *setUpQuickFilter(QWidget *gridPane);
    // The bar's height follows its rows, unless the model hides it.
    void fitQuickFilter(bool animate);
    QuickFilterController *quickFilterController_ = nullptr;
    ResultsetSplitView *resultsetSplitView_ = nullptr;
    // Drags of values (see ResultsetViewControllerDrag.cpp).
    void setUpDragging();
    int draggedColumn(const QModelIndexList &indexes) const;
    QMimeData *pasteboardFor(const QModelIndexList &indexes);
    void writePasteboard(QMimeData *data, const Filter &filter) const;
    void postDragNotification(const QString &name);
    QPointer<QMimeData> dragPasteboard_;
    bool modifiersChangedInDrag_ = false;
    // The context menu (see ResultsetViewControllerContextMenu.cpp).
    void addValueItems(QMenu *menu, int row, int column);
    // Filter, sort and stored-filter sheets.
public:
    // The filter sheet over the current filter; Set makes its text the one custom quick-filter row.
    Q_INVOKABLE void filter(QObject *sender);
    // The sort sheet over the current sort; Set sorts the rows as the sheet shows.
    Q_INVOKABLE void sort(QObject *sender);
    // The sheet that stores the current quick filter under a name.
    void storeCurrentQuickFilter();
    // The sheet that renames and deletes the stored filters of the shown table.
    void editStoredQuickFilters();
    // Made on first use, then kept; null before.
    class FilterWindowController *filterWindowController() const { return filterWindowController_; }
    class SortWindowController *sortWindowController() const { return sortWindowController_; }

private:
    // For a sheet's command, whether the grid performs it now (in valid); false for other commands.
    bool validateSheetAction(const QString &action, bool *valid) const;
    // Answers the sheets for the grid.
    class SheetDelegate;
    SheetDelegate *sheetDelegate_ = nullptr;
    class FilterWindowController *filterWindowController_ = nullptr;
    class SortWindowController *sortWindowController_ = nullptr;
};
