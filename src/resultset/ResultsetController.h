#pragma once

#include "client/BackgroundRunner.h"
#include "client/VornResultset.h"
#include "client/VornSort.h"
#include "connection/ConnectedController.h"
#include "elements/BrowserElement.h"
#include "resultset/ExtendedFilter.h"
#include "resultset/ExtendedResultsetDescription.h"
#include "resultset/QuickFilterRequest.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QVariant>
#include <QVariantList>
#include <QVariantMap>

#include <atomic>
#include <memory>
#include <mutex>
#include <optional>

class ResultsetControllerDelegate;
class VornBrowserClient;

// The model of the one result set a document shows in its grid, over the backend result set of the
// document's root. Rows are counted from 1. The rows fetched so far are kept natively by the result set's
// client, so reading a cell calls no Java. More rows are fetched on a worker thread when the visible rows
// come within 10 rows of the end of what is loaded. Public operations belong to the main thread; the
// delegate must also be a ResultsetControllerDelegate.
class ResultsetController : public ConnectedController
{
public:
    explicit ResultsetController(VornRootClientPtr vornRoot);

    ResultsetControllerDelegate *resultsetDelegate() const;

    // Takes over the root's current result set (or none).
    void resetResultsetFromRoot();

    qint64 numberOfRowsInResultset() const;
    // The row limit ended the result while the database had more rows.
    bool stoppedAtRowLimit() const;
    // The backend's unique column names: they identify columns everywhere.
    QStringList columnNames() const;
    // The titles of the columns; may be missing or of another length than the names.
    QStringList columnLabels() const;
    // Whether the column holds numbers (exact or floating), by its unique name.
    bool isNumberColumn(const QString &columnName) const;
    QString tableName() const;
    // Null without a result set; grid layouts are remembered under it.
    QString resultsetDescription() const;
    QString tableSchema() const;
    QString tableType() const;
    // The query for a statement's result; the table, its filter and its sort for an object's.
    ExtendedResultsetDescription extendedResultsetDescription() const;

    // Visible rows {location, length}, 1-based: starts a preload when they come within 10 rows of the
    // end of what is loaded. The sum saturates, so {10, the largest integer} asks whenever more rows exist.
    void willDisplayRange(qint64 location, qint64 length);
    // Whether visible rows {location, length} of a result set not fully loaded ask for more rows.
    static bool wantsMoreRows(qint64 location, qint64 length, qint64 rowCount);

    bool canRefresh() const;
    void refresh();

    // The display value of a cell: text of a character large object, "<<Binary>>" for binary values,
    // management columns formatted, the empty string during a preload; invalid for NULL and for a row
    // not fetched.
    QVariant objectValueForColumn(const QString &columnName, qint64 row) const;
    // The same, told where the column should stand in columnNames() (0-based; checked): the grid reads
    // every cell it shows this way.
    QVariant objectValueForColumn(const QString &columnName, qint64 row, int columnGuess) const;
    // The distinct values of the column in the rows, in first-seen order; NULLs are skipped.
    QVariantList uniqueObjectValuesForColumn(const QString &columnName, const QList<qint64> &rows) const;

    bool canEditResultSet() const;
    qint64 editingRowNumber() const { return editingRowNumber_; }
    bool canCancel() const;

    // Row edits (the backend keeps the edited row's values until the row ends; rows here follow). An
    // edit may start only while the root is free.
    bool shouldEditColumn(const QString &columnName, qint64 row) const;
    bool shouldEditRow(qint64 row) const;
    // Keeps a value of the row being edited (null: SQL NULL); the cell shows it from now on.
    void setValueOfColumn(const QString &columnName, qint64 row, const QString &value);
    // Ends the row edit: unchanged, it is dropped; else written under the root's reservation. False when
    // the root is busy or the database refused the row, which then stays in edit.
    bool shouldEndEdit();
    // Drops the row edit (and a new row); whether there was one.
    bool cancel();
    // A new empty row, or a copy of the row (without its large objects and key), before the row; the new
    // row's number, or -1 when nothing was added.
    qint64 addRecordAtRow(qint64 row);
    qint64 duplicateRowAt(qint64 row);
    // Deletes the rows by primary key on a worker thread (a new row is only dropped).
    void removeRecordAtRows(const QList<qint64> &rows);

    // Large objects and editor values.
    bool columnIsBlob(const QString &columnName) const;
    bool blobValueIsEmpty(const QString &columnName, qint64 row) const;
    bool columnIsClobOrLargeString(const QString &columnName) const;
    // Whether a text is shown in several lines: more than 1000 characters or at least three line feeds.
    static bool isLargeString(const QString &text);
    bool loadBlob(const QString &columnName, const QString &path, qint64 row);
    bool saveBlob(const QString &columnName, const QString &path, qint64 row);
    bool clearBlob(const QString &columnName, qint64 row);
    QString dateValueForEditor() const;
    QString timeValueForEditor() const;
    // The date part of a formatted moment (up to its first blank), with a midnight time when not rounded.
    static QString dateValue(const QString &formatted, bool roundMidnight);
    // The sequences that fit a sortable column (none for others), and the one chosen last.
    QStringList sequencesForColumn(const QString &columnName, QString *lastSequenceUsed) const;
    QString sequenceValueForEditor(const QString &sequence, const QString &columnName);

    // Sorting: the current sort of the backend browser. Changes load the rows again on a worker thread
    // (see ResultsetControllerFilters.cpp); one made while a filter, sort or clear runs is dropped.
    QStringList quickSortColumnCurrentSort() const;
    // 0 not sorted, 1 ascending, 2 descending.
    int quickSortColumnSortDirection(const QString &columnName) const;
    QList<VornSort> quickSortColumns() const;
    QStringList quickSortColumnInfo() const;
    void clearQuickSort();
    void setQuickSort(const QString &columnName, int order);
    void addQuickSort(const QString &columnName, int order);
    void setQuickSort(const QList<VornSort> &sort);
    // The sort list that adds the column (order 2 descending, else ascending) as the last key.
    static QList<VornSort> sortAdding(QList<VornSort> sort, const QString &columnName, int order);

    // Quick filters (see ResultsetControllerFilters.cpp). A request made while another runs, or while the
    // root or the cell edit is busy, waits; only the latest waiting request is applied.
    void updateQuickFilterWithColumns(const QVariantList &columns, const QVariantList &operators,
                                      const QVariantList &values);
    void updateQuickFilter(const QuickFilterRequest &request);
    // Applies the waiting request, if any.
    void checkForFilterUpdate();
    const std::optional<QuickFilterRequest> &desiredFilter() const { return desiredFilter_; }
    bool filterValidityCheck() const;
    bool verifyFilterForColumn(const QString &columnName, const QString &value,
                               const QString &operatorCode) const;
    bool verifyFilterForColumn(const QString &columnName, const QString &value, const QString &operatorCode,
                               const QString &type) const;
    // No quick filter or sort: a management view that hides it, or a statement's result.
    bool disableQuickFilter() const;
    // The free filter, or the text of the last quick filter: where the filter sheet starts.
    QString filterAsQuery() const;
    QString queryPartForColumn(const QString &columnName, const QString &value,
                               const QString &operatorCode) const;
    // The condition for the distinct values of the column in the (1-based) rows.
    QString queryPartForUniqueObjectValuesForColumn(const QString &columnName, const QList<qint64> &rows,
                                                    bool negative) const;
    QString customFilterForColumn(const QString &columnName, const QStringList &values, bool negative) const;
    void newDocumentFor(const ExtendedFilterPtr &filter, const BrowserElementPtr &element, bool newWindow);
    void clearFilterAndSort();

    // Stored filters of the loaded object (see ResultsetControllerStoredFilters.cpp), by name.
    QString currentStoredFilter() const;
    // Empty while the root is reserved.
    QStringList availableStoredFilter() const;
    bool canStoreCurrentFilter() const;
    bool canStoreFilterChanges() const;
    // False, with the reason in an alert, when the backend refused (an empty name, a clash).
    bool storeFilter(const QString &name);
    bool renameStoredFilter(const QString &name, const QString &newName);
    bool removeStoredFilter(const QString &name);
    bool updateCurrentStoredFilter();
    void loadStoredFilter(const QString &name);

    QVariantMap managementConfig() const;
    void selectManagementRow(qint64 row);

    ExtendedFilterPtr extendedFilter() const;

    VornResultsetPtr vornResultset() const;
    void setVornResultset(VornResultsetPtr resultset);
    QVariantList quickFilterColumnInfo() const;
    QVariantList quickFilterColumnColumns() const;
    QVariantList quickFilterColumnOperators() const;
    QVariantList quickFilterColumnValues() const;
    bool quickFilterValid() const { return quickFilterValid_; }
    void setQuickFilterValid(bool valid) { quickFilterValid_ = valid; }
    bool management() const { return management_; }
    void setManagement(bool management) { management_ = management; }
    bool isPreloading() const;
    bool isFiltering() const;

private:
    QVariant managementValue(const QString &columnName, const QVariant &cell) const;
    // The result set cells are read from, kept with the row read last (a cell costs no more than the
    // text it copies); null without a result set. Main thread.
    const VornResultset *readResultset() const;
    // The row of that result set asked for last: the grid asks for a row's cells one after another.
    const std::optional<VornRow> &fetchedRow(qint64 row) const;
    QString filterDescription(const VornBrowserClient &browser) const;
    void preload(const VornResultsetPtr &resultset);
    void doRefresh();
    // The cached row is read again: the rows changed.
    void forgetReadRow() const;
    // Ends the pending edit's state here once the backend ended it.
    void endedEdit();
    void removeRowsInBackground(const VornResultsetPtr &resultset, const QList<qint64> &rows);
    void touchPreloadAfterRemoval();
    // Reports a failed large-object operation in a modal alert; whether it succeeded.
    bool reportBlobOutcome(const char *title, const char *sentence);

    // Runs from the start of a preload until its result was handled.
    std::shared_ptr<BackgroundLane> preloadLane_ = std::make_shared<BackgroundLane>();
    std::atomic<bool> filtering_{false};
    mutable std::mutex mutex_;
    VornResultsetPtr vornResultset_;
    // Counts the replacements of vornResultset_ (written under mutex_; never 0 after the first).
    std::atomic<quint64> resultsetGeneration_{0};
    QVariantList quickFilterColumnInfo_;
    QVariantList quickFilterColumnColumns_;
    QVariantList quickFilterColumnOperators_;
    QVariantList quickFilterColumnValues_;
    bool quickFilterValid_ = false;
    bool management_ = false;
    qint64 editingRowNumber_ = -1;
    void runFilter(const QuickFilterRequest &request);
    void runSort(const QList<VornSort> &sort);
    void runClear();
    // A request the busy root refused is tried again once the root is free.
    void retryWhenRootIsFree();
    // Whether a sort or clear may start now: not switched off, nothing running, focus may move.
    bool maySortOrClear();
    bool reportStoredFilterOutcome(const BackendOutcome &outcome);

    std::optional<QuickFilterRequest> desiredFilter_;
    std::unique_ptr<QTimer> filterRetry_;
    // Timers of this model end with it.
    std::unique_ptr<QObject> timerContext_ = std::make_unique<QObject>();
    // The values typed into the row being edited, shown until the row is written or dropped.
    QHash<QString, QString> editedValues_;
    mutable VornResultsetPtr lastRowResultset_;
    // The generation of lastRowResultset_; 0: none taken yet.
    mutable quint64 readGeneration_ = 0;
    mutable qint64 lastRowNumber_ = 0;
    mutable std::optional<VornRow> lastRow_;
};
