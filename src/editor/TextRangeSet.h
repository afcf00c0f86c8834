#pragma once

#include "sql/TextRange.h"

#include <vector>

// Stretches of a text, kept sorted and apart (touching stretches are joined), that follow the
// text's edits. The colouring storage keeps the stretches it knows to be coloured, and those it still
// has to colour again, in two of these.
class TextRangeSet
{
public:
    const std::vector<TextRange> &ranges() const { return ranges_; }
    bool isEmpty() const { return ranges_.empty(); }
    void clear() { ranges_.clear(); }

    bool contains(TextRange range) const;
    void add(TextRange range);
    void remove(TextRange range);
    // The parts of the set inside the range.
    TextRangeSet intersected(TextRange range) const;
    // The first part of the range outside the set; length 0 when the set covers the range.
    TextRange firstGap(TextRange range) const;
    // After the stretch `replaced` of the text became `insertedLength` characters: what lay before
    // it stays, what lay after it moves with it, the stretch itself leaves the set.
    void applyEdit(TextRange replaced, qint64 insertedLength);
    // Keeps at most `count` stretches, the longest ones.
    void keepLongest(size_t count);

private:
    std::vector<TextRange> ranges_;
};
