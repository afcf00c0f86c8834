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
// their own. Portions are only ever added; any thread may add and read.
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

private:
    const QStringList columnNames_;
    const QHash<QString, int> columnIndexes_;
    RowMemory memory_;
    mutable std::mutex mutex_;
    std::vector<std::shared_ptr<const PackedRows>> portions_;
    // The number of rows before each portion.
    std::vector<qint32> firstRows_;
    qint32 rowCount_ = 0;
};
