#pragma once

#include "client/PackedRows.h"
#include "client/RowMemory.h"
#include "client/VornRow.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <memory>
#include <mutex>
#include <optional>
#include <vector>

// The rows of one result set that have crossed from the backend, kept natively: one table of column
// names for all rows, and the rows themselves packed portion by portion as they arrived, in memory of
// their own. Portions never change: rows are kept as runs of consecutive rows of a portion, so an edit
// inserts, removes or replaces a row by splitting a run (a row written back is a portion of its own, a
// new row not yet written has no portion and only NULL cells). Any thread may change and read.
class FetchedRows
{
public:
    explicit FetchedRows(QStringList columnNames);

    const QStringList &columnNames() const { return columnNames_; }
    // The column with that name (0-based); -1 when there is none. A caller that knows where the column
    // should be passes it as the guess, which is checked.
    int columnIndex(const QString &columnName, int guess = -1) const
    {
        if (guess >= 0 && guess < columnNames_.size() && columnNames_[guess] == columnName)
            return guess;
        return columnIndexes_.value(columnName, -1);
    }

    // Adds a portion of packed rows after the others; false, adding nothing, when it cannot be read.
    bool append(QStringView packed);
    qint32 rowCount() const;
    // The row (1-based); none when it has not arrived.
    std::optional<VornRow> row(qint32 row) const;

    // A blank row before the row (1-based; one past the last appends); the rows after it move down.
    bool insertBlankRow(qint32 row);
    // Removes the row; the rows after it move up.
    bool removeRow(qint32 row);
    // The row takes the one packed row (as append reads it); false, changing nothing, when it cannot.
    bool replaceRow(qint32 row, QStringView packed);

private:
    // Consecutive rows of one portion (none: blank rows).
    struct Run {
        std::shared_ptr<const PackedRows> portion;
        qint32 first;
        qint32 count;
    };
    // The run holding the row (0-based) once it starts there: splits the run that holds it. Under mutex_.
    size_t splitAt(qint32 row);
    void insertRun(qint32 row, Run run);
    void recount(size_t from);

    const QStringList columnNames_;
    const QHash<QString, int> columnIndexes_;
    RowMemory memory_;
    mutable std::mutex mutex_;
    std::vector<Run> runs_;
    // The number of rows before each run.
    std::vector<qint32> firstRows_;
    qint32 rowCount_ = 0;
};
