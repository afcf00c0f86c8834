#include "sql/SQLParserComponentStore.h"

#include <QRandomGenerator>
#include <gtest/gtest.h>

namespace
{

// Replacements as a reparse makes them (old components read and dropped one by one, new ones inserted
// before them), checked against a vector, with lengths beyond what a word holds inline.
TEST(SQLParserComponentStore, RandomReplacementsKeepLengthsAndTypes)
{
    QRandomGenerator random(11);
    using Entry = SQLParserComponentStore::Entry;
    std::vector<Entry> model;
    SQLParserComponentStore store;
    store.clear(4);
    for (int k = 0; k < 10; ++k) {
        model.push_back({k, quint64(k % 12)});
        store.append(k, quint64(k % 12));
    }
    const auto randomEntry = [&] {
        const qint64 length = random.bounded(40) == 0 ? qint64(300'000'000) + random.bounded(1000)
                                                      : qint64(random.bounded(100));
        return Entry{length, quint64(random.bounded(13))};
    };
    for (int step = 0; step < 3000; ++step) {
        const qint64 from = random.bounded(int(model.size()) + 1);
        const qint64 to = from + random.bounded(int(std::min<qint64>(model.size() - from, 5)) + 1);
        std::vector<Entry> entries(size_t(random.bounded(random.bounded(30) == 0 ? 3000 : 6)));
        for (Entry &entry : entries)
            entry = randomEntry();
        store.beginReplace(from);
        for (qint64 k = from; k < to; ++k) {
            ASSERT_TRUE(store.hasOld());
            ASSERT_EQ(store.nextOld().length, model[size_t(k)].length);
            store.dropOld();
        }
        for (const Entry &entry : entries)
            store.insert(entry.length, entry.type);
        ASSERT_EQ(store.hasOld(), to < qint64(model.size()));
        model.erase(model.begin() + from, model.begin() + to);
        model.insert(model.begin() + from, entries.begin(), entries.end());
        if (!model.empty() && random.bounded(4) == 0) {
            const qint64 index = random.bounded(int(model.size()));
            model[size_t(index)].type = 9;
            store.setType(index, 9);
        }
        ASSERT_EQ(store.size(), qint64(model.size())) << "step " << step;
        for (qint64 k = 0; k < store.size(); k += 1 + random.bounded(7)) {
            ASSERT_EQ(store.at(k).length, model[size_t(k)].length) << "step " << step << " index " << k;
            ASSERT_EQ(store.at(k).type, model[size_t(k)].type) << "step " << step << " index " << k;
        }
    }
    SQLParserComponentStore copy = store;
    for (qint64 k = 0; k < store.size(); ++k)
        ASSERT_EQ(copy.at(k).length, model[size_t(k)].length);
}

} // namespace
