#include "sql/SQLParserComponentStore.h"

#include <sys/mman.h>

#include <algorithm>
#include <cstring>
#include <new>

namespace
{
// The least room a gap that had to grow leaves for the edits after it.
constexpr qint64 minimumGap = 1024;
constexpr size_t hugePage = size_t(2) << 20;

// Large stores live in huge pages where the system offers them: filling a new store then takes a
// few page faults instead of thousands, which costs more than the scan itself.
quint32 *allocateWords(qint64 count)
{
    const size_t bytes = size_t(std::max<qint64>(count, 1)) * sizeof(quint32);
    if (bytes < hugePage)
        return static_cast<quint32 *>(std::malloc(bytes));
    const size_t rounded = (bytes + hugePage - 1) / hugePage * hugePage;
    void *words = std::aligned_alloc(hugePage, rounded);
    if (words)
        madvise(words, rounded, MADV_HUGEPAGE);
    return static_cast<quint32 *>(words);
}
} // namespace

SQLParserComponentStore::SQLParserComponentStore(const SQLParserComponentStore &other)
    : words_(allocateWords(other.capacity_)), capacity_(other.capacity_), gapStart_(other.gapStart_),
      gapEnd_(other.gapEnd_), longLengths_(other.longLengths_)
{
    if (!words_)
        throw std::bad_alloc();
    std::copy(other.words_.get(), other.words_.get() + capacity_, words_.get());
}

SQLParserComponentStore &SQLParserComponentStore::operator=(const SQLParserComponentStore &other)
{
    if (this != &other)
        *this = SQLParserComponentStore(other);
    return *this;
}

void SQLParserComponentStore::setType(qint64 index, quint64 type)
{
    quint32 &word = words_[index < gapStart_ ? index : index + (gapEnd_ - gapStart_)];
    word = (word & ~TypeMask) | quint32(type);
}

quint32 SQLParserComponentStore::wordFor(qint64 length, quint64 type)
{
    Q_ASSERT_X(type <= TypeMask, "SQLParserComponentStore", "component type out of range");
    if (length < FirstLongMark)
        return quint32(length) << TypeBits | quint32(type);
    Q_ASSERT_X(longLengths_.size() < (1u << 20), "SQLParserComponentStore", "too many long components");
    longLengths_.push_back(length);
    return (FirstLongMark + quint32(longLengths_.size() - 1)) << TypeBits | quint32(type);
}

void SQLParserComponentStore::clear(qint64 expectedSize)
{
    longLengths_.clear();
    if (capacity_ < expectedSize) {
        words_.reset(allocateWords(expectedSize));
        if (!words_)
            throw std::bad_alloc();
        capacity_ = expectedSize;
    }
    gapStart_ = 0;
    gapEnd_ = capacity_;
}

void SQLParserComponentStore::append(qint64 length, quint64 type)
{
    Q_ASSERT_X(gapEnd_ == capacity_, "SQLParserComponentStore::append", "the gap is not at the end");
    insert(length, type);
}

void SQLParserComponentStore::beginReplace(qint64 from)
{
    Q_ASSERT_X(from >= 0 && from <= size(), "SQLParserComponentStore::beginReplace", "outside the store");
    moveGapTo(from);
}

void SQLParserComponentStore::insert(qint64 length, quint64 type)
{
    if (gapStart_ == gapEnd_)
        reserveGap(1);
    words_[gapStart_++] = wordFor(length, type);
}

void SQLParserComponentStore::moveGapTo(qint64 index)
{
    const qint64 gap = gapEnd_ - gapStart_;
    quint32 *words = words_.get();
    if (index < gapStart_)
        std::memmove(words + index + gap, words + index, size_t(gapStart_ - index) * sizeof(quint32));
    else if (index > gapStart_)
        std::memmove(words + gapStart_, words + gapEnd_, size_t(index - gapStart_) * sizeof(quint32));
    gapStart_ = index;
    gapEnd_ = index + gap;
}

void SQLParserComponentStore::reserveGap(qint64 length)
{
    const qint64 gap = gapEnd_ - gapStart_;
    if (gap >= length)
        return;
    const qint64 kept = size();
    const qint64 newGap = std::max({length, kept / 4, minimumGap});
    std::unique_ptr<quint32[], Free> grown(allocateWords(kept + newGap));
    if (!grown)
        throw std::bad_alloc();
    std::copy(words_.get(), words_.get() + gapStart_, grown.get());
    std::copy(words_.get() + gapEnd_, words_.get() + capacity_, grown.get() + gapStart_ + newGap);
    words_ = std::move(grown);
    capacity_ = kept + newGap;
    gapEnd_ = gapStart_ + newGap;
}
