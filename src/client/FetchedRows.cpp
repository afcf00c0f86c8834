#include "client/FetchedRows.h"

#include <algorithm>
#include <limits>

namespace
{
QHash<QString, int> indexesOf(const QStringList &names)
{
    QHash<QString, int> indexes;
    for (qsizetype i = names.size() - 1; i >= 0; --i)
        indexes.insert(names[i], int(i));
    return indexes;
}
} // namespace

FetchedRows::FetchedRows(QStringList columnNames)
    : columnNames_(std::move(columnNames)), columnIndexes_(indexesOf(columnNames_))
{
}

bool FetchedRows::append(QStringView packed)
{
    if (packed.isEmpty())
        return true;
    std::shared_ptr<const PackedRows> portion = PackedRows::unpack(packed, int(columnNames_.size()), memory_);
    if (!portion)
        return false;
    std::lock_guard lock(mutex_);
    if (portion->rowCount() > std::numeric_limits<qint32>::max() - rowCount_)
        return false;
    if (portion->rowCount() == 0)
        return true;
    firstRows_.push_back(rowCount_);
    rowCount_ += portion->rowCount();
    portions_.push_back(std::move(portion));
    return true;
}

qint32 FetchedRows::rowCount() const
{
    std::lock_guard lock(mutex_);
    return rowCount_;
}

std::optional<VornRow> FetchedRows::row(qint32 row) const
{
    std::lock_guard lock(mutex_);
    if (row < 1 || row > rowCount_)
        return std::nullopt;
    // The last portion that starts before the row holds it.
    const auto after = std::upper_bound(firstRows_.begin(), firstRows_.end(), row - 1);
    const size_t portion = size_t(after - firstRows_.begin()) - 1;
    return VornRow(portions_[portion], row - 1 - firstRows_[portion]);
}
