#include "editor/TextRangeSet.h"

#include <gtest/gtest.h>

#include <ostream>

inline void PrintTo(const TextRange &range, std::ostream *os)
{
    *os << "(" << range.location << ", " << range.length << ")";
}

namespace
{

using Ranges = std::vector<TextRange>;

TextRangeSet setOf(const Ranges &ranges)
{
    TextRangeSet set;
    for (const TextRange &range : ranges)
        set.add(range);
    return set;
}

TEST(TextRangeSet, AddingJoinsTouchingStretchesAndRemovingCutsThem)
{
    TextRangeSet set = setOf({{10, 5}, {30, 5}, {15, 5}});
    EXPECT_EQ(set.ranges(), (Ranges{{10, 10}, {30, 5}}));
    EXPECT_TRUE(set.contains({12, 8}));
    EXPECT_FALSE(set.contains({12, 9}));
    set.add({18, 13});
    EXPECT_EQ(set.ranges(), (Ranges{{10, 25}}));
    set.remove({20, 5});
    EXPECT_EQ(set.ranges(), (Ranges{{10, 10}, {25, 10}}));
    EXPECT_EQ(set.intersected({15, 15}).ranges(), (Ranges{{15, 5}, {25, 5}}));
    set.add({0, 0});
    EXPECT_EQ(set.ranges().size(), 2u);
}

// A stretch before an edit stays, one after it moves by the change, one around it keeps its parts
// outside the edited characters; the inserted characters are never in the set.
TEST(TextRangeSet, StretchesFollowEdits)
{
    struct Case {
        Ranges before;
        TextRange replaced;
        qint64 inserted;
        Ranges after;
    };
    const Case cases[] = {
        {{{0, 10}}, {20, 0}, 3, {{0, 10}}},            // before the edit
        {{{30, 10}}, {20, 2}, 5, {{33, 10}}},          // after it
        {{{10, 20}}, {15, 0}, 3, {{10, 5}, {18, 15}}}, // typing inside
        {{{10, 20}}, {15, 5}, 0, {{10, 15}}},          // deleting inside
        {{{10, 20}}, {5, 30}, 2, {}},                  // all of it replaced
        {{{10, 10}}, {20, 0}, 4, {{10, 10}}},          // typing at its end
        {{{10, 10}}, {10, 0}, 4, {{14, 10}}},          // typing at its start
    };
    for (const Case &c : cases) {
        TextRangeSet set = setOf(c.before);
        set.applyEdit(c.replaced, c.inserted);
        EXPECT_EQ(set.ranges(), c.after)
            << c.replaced.location << " " << c.replaced.length << " " << c.inserted;
    }
}

TEST(TextRangeSet, FirstGapInARange)
{
    const TextRangeSet set = setOf({{10, 10}, {30, 10}});
    EXPECT_EQ(set.firstGap({0, 50}), (TextRange{0, 10}));
    EXPECT_EQ(set.firstGap({12, 30}), (TextRange{20, 10}));
    EXPECT_EQ(set.firstGap({32, 20}), (TextRange{40, 12}));
    EXPECT_EQ(set.firstGap({12, 5}).length, 0);
    EXPECT_EQ(set.firstGap({10, 30}), (TextRange{20, 10}));
    EXPECT_EQ(TextRangeSet().firstGap({5, 5}), (TextRange{5, 5}));
}

TEST(TextRangeSet, KeepsTheLongestStretches)
{
    TextRangeSet set = setOf({{0, 5}, {10, 50}, {100, 1}, {200, 20}});
    set.keepLongest(2);
    EXPECT_EQ(set.ranges(), (Ranges{{10, 50}, {200, 20}}));
}

} // namespace
