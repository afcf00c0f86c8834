#pragma once

#include "client/BackgroundRunner.h"
#include "client/VornResultset.h"
#include "client/VornSort.h"
#include "connection/ConnectedController.h"
#include "resultset/ExtendedFilter.h"
#include "resultset/ExtendedResultsetDescription.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantList>
#include <QVariantMap>

#include <atomic>
#include <memory>
#include <mutex>

class ResultsetControllerDelegate;
class VornBrowserClient;

// The model of the one result set a document shows in its grid, over the backend result set of the
// document's root. Rows are counted from 1. The native side keeps no copy of the rows: every cell is read
// from the backend. More rows are fetched on a worker thread when the visible rows come within 10 rows of
// the end of what is loaded. Public operations belong to the main thread; the delegate must also be a
// ResultsetControllerDelegate.
class ResultsetController : public ConnectedController
{
public:
    explicit ResultsetController(VornRootClientPtr vornRoot);

    ResultsetControllerDelegate *resultsetDelegate() const;

    // Takes over the root's current result set (or none).
    void resetResultsetFromRoot();

    qint64 numberOfRowsInResultset() const;
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
    // management columns formatted, the empty string during a preload; invalid for NULL.
    QVariant objectValueForColumn(const QString &columnName, qint64 row) const;
    // The distinct values of the column in the rows, in first-seen order; NULLs are skipped.
    QVariantList uniqueObjectValuesForColumn(const QString &columnName, const QList<qint64> &rows) const;

    bool canEditResultSet() const;
    qint64 editingRowNumber() const { return editingRowNumber_; }
    bool canCancel() const;

    // Sorting: the current sort of the backend browser. Changing it arrives with the quick filters; until
    // then the change operations leave the sort as it is.
    QStringList quickSortColumnCurrentSort() const;
    // 0 not sorted, 1 ascending, 2 descending.
    int quickSortColumnSortDirection(const QString &columnName) const;
    QList<VornSort> quickSortColumns() const;
    QStringList quickSortColumnInfo() const;
    void clearQuickSort();
    void setQuickSort(const QString &columnName, int order);
    void addQuickSort(const QString &columnName, int order);

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
    // The row as the backend gave it last: the grid asks for a row's cells one after another.
    QoJavaObjectPtr fetchedRow(const VornResultsetPtr &resultset, qint64 row) const;
    QString filterDescription(const VornBrowserClient &browser) const;
    void preload(const VornResultsetPtr &resultset);
    void doRefresh();

    // Runs from the start of a preload until its result was handled.
    std::shared_ptr<BackgroundLane> preloadLane_ = std::make_shared<BackgroundLane>();
    std::atomic<bool> filtering_{false};
    mutable std::mutex mutex_;
    VornResultsetPtr vornResultset_;
    QVariantList quickFilterColumnInfo_;
    QVariantList quickFilterColumnColumns_;
    QVariantList quickFilterColumnOperators_;
    QVariantList quickFilterColumnValues_;
    bool quickFilterValid_ = false;
    bool management_ = false;
    qint64 editingRowNumber_ = -1;
    mutable VornResultsetPtr lastRowResultset_;
    mutable qint64 lastRowNumber_ = 0;
    mutable QoJavaObjectPtr lastRow_;
};
