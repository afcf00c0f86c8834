#include "editor/TextRangeSet.h"

#include <algorithm>

bool TextRangeSet::contains(TextRange range) const
{
    return std::any_of(ranges_.cbegin(), ranges_.cend(), [&](const TextRange &r) {
        return r.location <= range.location && range.end() <= r.end();
    });
}

void TextRangeSet::add(TextRange range)
{
    if (range.length <= 0)
        return;
    std::vector<TextRange> out;
    out.reserve(ranges_.size() + 1);
    qint64 start = range.location;
    qint64 end = range.end();
    bool placed = false;
    for (const TextRange &r : ranges_) {
        if (r.end() < start) {
            out.push_back(r);
        } else if (r.location > end) {
            if (!placed) {
                out.push_back({start, end - start});
                placed = true;
            }
            out.push_back(r);
        } else {
            start = std::min(start, r.location);
            end = std::max(end, r.end());
        }
    }
    if (!placed)
        out.push_back({start, end - start});
    ranges_ = std::move(out);
}

void TextRangeSet::remove(TextRange range)
{
    if (range.length <= 0)
        return;
    std::vector<TextRange> out;
    out.reserve(ranges_.size() + 1);
    for (const TextRange &r : ranges_) {
        if (r.end() <= range.location || r.location >= range.end()) {
            out.push_back(r);
            continue;
        }
        if (r.location < range.location)
            out.push_back({r.location, range.location - r.location});
        if (r.end() > range.end())
            out.push_back({range.end(), r.end() - range.end()});
    }
    ranges_ = std::move(out);
}

TextRangeSet TextRangeSet::intersected(TextRange range) const
{
    TextRangeSet set;
    for (const TextRange &r : ranges_) {
        const qint64 start = std::max(r.location, range.location);
        const qint64 end = std::min(r.end(), range.end());
        if (end > start)
            set.ranges_.push_back({start, end - start});
    }
    return set;
}

TextRange TextRangeSet::firstGap(TextRange range) const
{
    qint64 start = range.location;
    for (const TextRange &r : ranges_) {
        if (r.end() <= start)
            continue;
        if (r.location > start)
            return {start, std::min(r.location, range.end()) - start};
        start = r.end();
        if (start >= range.end())
            return {range.end(), 0};
    }
    return start < range.end() ? TextRange{start, range.end() - start} : TextRange{range.end(), 0};
}

void TextRangeSet::applyEdit(TextRange replaced, qint64 insertedLength)
{
    const qint64 delta = insertedLength - replaced.length;
    const auto map = [&](qint64 position) {
        if (position <= replaced.location)
            return position;
        return position >= replaced.end() ? position + delta : replaced.location;
    };
    std::vector<TextRange> moved;
    moved.reserve(ranges_.size());
    for (const TextRange &r : ranges_) {
        const qint64 start = map(r.location);
        const qint64 end = map(r.end());
        if (end > start)
            moved.push_back({start, end - start});
    }
    ranges_.clear();
    for (const TextRange &r : moved)
        add(r);
    remove({replaced.location, insertedLength});
}

void TextRangeSet::keepLongest(size_t count)
{
    if (ranges_.size() <= count)
        return;
    std::vector<TextRange> longest = ranges_;
    std::nth_element(longest.begin(), longest.begin() + qsizetype(count - 1), longest.end(),
                     [](const TextRange &a, const TextRange &b) { return a.length > b.length; });
    const qint64 shortestKept = longest[count - 1].length;
    std::vector<TextRange> kept;
    for (const TextRange &r : ranges_) {
        if (r.length >= shortestKept && kept.size() < count)
            kept.push_back(r);
    }
    ranges_ = std::move(kept);
}
