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
    const qint32 count = portion->rowCount();
    runs_.push_back(Run{std::move(portion), 0, count});
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
    // The last run that starts before the row holds it.
    const auto after = std::upper_bound(firstRows_.begin(), firstRows_.end(), row - 1);
    const size_t run = size_t(after - firstRows_.begin()) - 1;
    return VornRow(runs_[run].portion, runs_[run].first + row - 1 - firstRows_[run]);
}

size_t FetchedRows::splitAt(qint32 row)
{
    if (row >= rowCount_)
        return runs_.size();
    const auto after = std::upper_bound(firstRows_.begin(), firstRows_.end(), row);
    const size_t index = size_t(after - firstRows_.begin()) - 1;
    const qint32 offset = row - firstRows_[index];
    if (offset == 0)
        return index;
    Run &run = runs_[index];
    Run tail{run.portion, run.first + offset, run.count - offset};
    run.count = offset;
    runs_.insert(runs_.begin() + qsizetype(index) + 1, std::move(tail));
    firstRows_.insert(firstRows_.begin() + qsizetype(index) + 1, row);
    return index + 1;
}

void FetchedRows::insertRun(qint32 row, Run run)
{
    const size_t index = splitAt(row);
    runs_.insert(runs_.begin() + qsizetype(index), std::move(run));
    firstRows_.insert(firstRows_.begin() + qsizetype(index), row);
    recount(index);
}

void FetchedRows::recount(size_t from)
{
    qint32 first = from == 0 ? 0 : firstRows_[from - 1] + runs_[from - 1].count;
    for (size_t i = from; i < runs_.size(); ++i) {
        firstRows_[i] = first;
        first += runs_[i].count;
    }
    rowCount_ = first;
}

bool FetchedRows::insertBlankRow(qint32 row)
{
    std::lock_guard lock(mutex_);
    if (row < 1 || row > rowCount_ + 1 || rowCount_ == std::numeric_limits<qint32>::max())
        return false;
    insertRun(row - 1, Run{nullptr, 0, 1});
    return true;
}

bool FetchedRows::removeRow(qint32 row)
{
    std::lock_guard lock(mutex_);
    if (row < 1 || row > rowCount_)
        return false;
    const size_t index = splitAt(row - 1);
    Run &run = runs_[index];
    ++run.first;
    if (--run.count == 0) {
        runs_.erase(runs_.begin() + qsizetype(index));
        firstRows_.erase(firstRows_.begin() + qsizetype(index));
    }
    recount(index);
    return true;
}

bool FetchedRows::replaceRow(qint32 row, QStringView packed)
{
    std::shared_ptr<const PackedRows> portion = PackedRows::unpack(packed, int(columnNames_.size()), memory_);
    if (!portion || portion->rowCount() != 1)
        return false;
    std::lock_guard lock(mutex_);
    if (row < 1 || row > rowCount_)
        return false;
    const size_t index = splitAt(row - 1);
    Run &run = runs_[index];
    ++run.first;
    if (--run.count == 0) {
        runs_.erase(runs_.begin() + qsizetype(index));
        firstRows_.erase(firstRows_.begin() + qsizetype(index));
    }
    recount(index);
    insertRun(row - 1, Run{std::move(portion), 0, 1});
    return true;
}
