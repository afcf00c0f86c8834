#include "sql/SQLParserSeekCache.h"
#include "sql/SQLParserComponent.h"

#include <QRandomGenerator>
#include <gtest/gtest.h>

namespace
{

using C = SQLParserComponent;

// The answer of a table read the long way: the greatest key at or below (or below) the bound.
qint64 greatest(const QList<qint64> &keys, qint64 bound, bool inclusive)
{
    qint64 found = -1;
    for (const qint64 key : keys) {
        if ((inclusive ? key <= bound : key < bound) && key > found)
            found = key;
    }
    return found;
}

// Entries added in any order, lookups and resets: every answer is the one the key lists themselves
// give, and a reset leaves no entry at or after its index.
TEST(SQLParserSeekCache, AnswersAsItsKeyListsReadInFull)
{
    QRandomGenerator random(5);
    SQLParserSeekCache cache;
    for (int step = 0; step < 5000; ++step) {
        const qint64 at = random.bounded(100000);
        switch (random.bounded(6)) {
        case 0:
        case 1:
            cache.addCacheStringIndex(at, at / 7, random.bounded(2) ? C::QueryBreak : C::QuerySeparator);
            break;
        case 2:
            cache.addCacheLineForStringIndex(at, at / 7, 1 + at / 40); // line numbers grow with positions
            break;
        case 3:
            if (random.bounded(20) == 0)
                cache.resetAfterStringIndex(at);
            break;
        default:
            break;
        }
        for (const quint64 type : {quint64(C::QueryBreak), quint64(C::QuerySeparator)}) {
            qint64 found = -2;
            const qint64 index = cache.maximumComponentIndexBeforeStringIndex(at, type, &found);
            const QList<qint64> &keys =
                type == C::QueryBreak ? cache.keys_queryBreak() : cache.keys_querySeparator();
            const qint64 expected = greatest(keys, at, true);
            ASSERT_EQ(index, expected < 0 ? -1 : expected / 7) << "step " << step;
            if (expected >= 0) {
                ASSERT_EQ(found, expected);
            }
        }
        qint64 foundAt = -2, foundLine = -2;
        const qint64 byPosition = cache.maximumComponentIndexBeforeStringIndex(at, &foundAt, &foundLine);
        const qint64 position = greatest(cache.keys_lines(), at, false);
        ASSERT_EQ(byPosition, position < 0 ? -1 : position / 7) << "step " << step;
        const qint64 line = 1 + at / 40;
        const qint64 byLine = cache.maximumComponentIndexBeforeLineIndex(line, &foundAt, &foundLine);
        const qint64 lineKey = greatest(cache.keys_char_for_lines(), line, false);
        ASSERT_EQ(byLine, lineKey < 0 ? -1 : cache.indices_char_for_lines().value(lineKey).first)
            << "step " << step;
    }
    cache.resetAfterStringIndex(50000);
    for (const qint64 key : cache.keys_querySeparator())
        EXPECT_LT(key, 50000);
    for (const auto &entry : cache.indices_char_for_lines())
        EXPECT_LT(entry.second, 50000);
}

} // namespace
