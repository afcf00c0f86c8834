#include "sql/SQLTextBuffer.h"

#include <algorithm>
#include <cstring>

namespace
{
// A gap that has to grow makes room for this many characters at least, and for a share of the text,
// so that opening it again after it filled up (or was closed) is rare.
constexpr qint64 minimumGap = 4096;
constexpr qint64 gapShare = 64;
} // namespace

void SQLTextBuffer::assign(const QString &text)
{
    storage_ = text;
    gapStart_ = gapEnd_ = text.size();
}

QString SQLTextBuffer::mid(qint64 position, qint64 length) const
{
    if (position + length <= gapStart_)
        return storage_.mid(position, length);
    if (position >= gapStart_)
        return storage_.mid(position + gapLength(), length);
    QString text = storage_.mid(position, gapStart_ - position);
    text += QStringView(storage_).mid(gapEnd_, position + length - gapStart_);
    return text;
}

qint64 SQLTextBuffer::countNewlines(TextRange range) const
{
    const QStringView all(storage_);
    const qint64 before = std::clamp(gapStart_ - range.location, qint64(0), range.length);
    return all.mid(range.location, before).count(u'\n') +
           all.mid(std::max(range.location, gapStart_) + gapLength(), range.length - before).count(u'\n');
}

void SQLTextBuffer::replace(TextRange range, QStringView text)
{
    Q_ASSERT_X(range.location >= 0 && range.length >= 0 && range.end() <= length(), "SQLTextBuffer::replace",
               "range outside the text");
    moveGapTo(range.end());
    gapStart_ = range.location; // the replaced characters join the gap
    const qint64 missing = text.size() - gapLength();
    if (missing > 0) {
        const qint64 oldSize = storage_.size();
        const qint64 added = std::max({missing, minimumGap, length() / gapShare});
        if (storage_.capacity() < oldSize + added)
            storage_.reserve(oldSize + added + oldSize / 8);
        storage_.resize(oldSize + added);
        char16_t *data = reinterpret_cast<char16_t *>(storage_.data());
        std::memmove(data + gapEnd_ + added, data + gapEnd_, size_t(oldSize - gapEnd_) * sizeof(char16_t));
        gapEnd_ += added;
    }
    char16_t *data = reinterpret_cast<char16_t *>(storage_.data());
    std::copy(text.utf16(), text.utf16() + text.size(), data + gapStart_);
    gapStart_ += text.size();
}

const QString &SQLTextBuffer::string() const
{
    if (gapLength() > 0) {
        const qint64 textLength = length();
        moveGapTo(textLength);
        storage_.resize(textLength); // keeps the memory for the next gap
        gapStart_ = gapEnd_ = textLength;
    }
    return storage_;
}

const char16_t *SQLTextBuffer::contiguousFrom(qint64 position) const
{
    const qint64 target = std::max<qint64>(0, position - 1);
    if (gapStart_ > target)
        moveGapTo(target);
    return reinterpret_cast<const char16_t *>(storage_.constData()) + gapLength();
}

void SQLTextBuffer::moveGapTo(qint64 index) const
{
    const qint64 gap = gapLength();
    if (gap > 0 && index != gapStart_) {
        char16_t *data = reinterpret_cast<char16_t *>(storage_.data());
        if (index < gapStart_)
            std::memmove(data + index + gap, data + index, size_t(gapStart_ - index) * sizeof(char16_t));
        else
            std::memmove(data + gapStart_, data + gapEnd_, size_t(index - gapStart_) * sizeof(char16_t));
    }
    gapStart_ = index;
    gapEnd_ = index + gap;
}
