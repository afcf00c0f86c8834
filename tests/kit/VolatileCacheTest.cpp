#include "kit/VolatileCache.h"

#include <gtest/gtest.h>

namespace
{

struct FakeClock {
    double now = 1000;
    VolatileCache::Clock clock()
    {
        return [this] { return now; };
    }
};

QStringList present(VolatileCache &cache, const QStringList &keys)
{
    QStringList found;
    for (const QString &key : keys) {
        if (cache.objectForKey(key).isValid())
            found << key;
    }
    return found;
}

} // namespace

TEST(VolatileCache, CountLimitDropsTheOldestEntry)
{
    FakeClock time;
    VolatileCache cache(2, 300, time.clock());
    for (const char *key : {"a", "b", "c"}) {
        cache.setObject(QString(key).toUpper(), key);
        time.now += 1;
    }
    EXPECT_EQ(present(cache, {"a", "b", "c"}), (QStringList{"b", "c"}));
    cache.setObject("A", "a");
    EXPECT_EQ(present(cache, {"a", "b", "c"}), (QStringList{"a", "c"}));
    EXPECT_EQ(cache.objectForKey("a"), QVariant("A"));

    // Stored in the same instant: the one stored first goes first.
    VolatileCache sameTime(2, 300, time.clock());
    sameTime.setObject(1, "x");
    sameTime.setObject(2, "y");
    sameTime.setObject(3, "z");
    EXPECT_EQ(present(sameTime, {"x", "y", "z"}), (QStringList{"y", "z"}));
}

TEST(VolatileCache, ReinsertingRestartsTheAgeWithoutEvicting)
{
    FakeClock time;
    VolatileCache cache(2, 300, time.clock());
    cache.setObject(1, "a");
    time.now += 1;
    cache.setObject(2, "b");
    time.now += 1;
    cache.setObject(10, "a");
    EXPECT_EQ(cache.count(), 2);
    cache.setObject(3, "c"); // b is now the oldest
    EXPECT_EQ(present(cache, {"a", "b", "c"}), (QStringList{"a", "c"}));
    time.now += 299; // a was stored 300 s ago: exactly the limit still counts
    EXPECT_EQ(cache.objectForKey("a"), QVariant(10));
}

TEST(VolatileCache, EntriesExpireOnLookupAfterMaxAge)
{
    FakeClock time;
    VolatileCache cache(50, 300, time.clock());
    cache.setObject(QStringList{"id", "name"}, "SCOTT.EMP");
    cache.setObject(1, "other");
    time.now += 300;
    EXPECT_EQ(cache.objectForKey("SCOTT.EMP").toStringList(), (QStringList{"id", "name"}));
    time.now += 0.001;
    EXPECT_FALSE(cache.objectForKey("SCOTT.EMP").isValid());
    EXPECT_EQ(cache.count(), 1); // removed by that lookup; the other is only removed when asked
    cache.removeObjectForKey("other");
    EXPECT_EQ(cache.count(), 0);
}

TEST(VolatileCache, ClearEmptiesEverything)
{
    VolatileCache cache(20, 600);
    cache.setObject(1, "a");
    cache.setObject(2, "b");
    cache.clear();
    EXPECT_FALSE(cache.objectForKey("a").isValid());
    EXPECT_FALSE(cache.objectForKey("b").isValid());
    cache.setObject(3, "a");
    EXPECT_EQ(cache.objectForKey("a"), QVariant(3));
}
