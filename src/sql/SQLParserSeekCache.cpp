#include "sql/SQLParserSeekCache.h"

#include "sql/SQLParserComponent.h"
#include "sql/SqlLog.h"

#include <algorithm>

qint64 SQLParserSeekCache::greatestKey(const std::vector<qint64> &sorted, qint64 bound, bool inclusive)
{
    const auto after = inclusive ? std::upper_bound(sorted.begin(), sorted.end(), bound)
                                 : std::lower_bound(sorted.begin(), sorted.end(), bound);
    return after == sorted.begin() ? -1 : *(after - 1);
}

void SQLParserSeekCache::insertSorted(std::vector<qint64> &sorted, qint64 key)
{
    sorted.insert(std::lower_bound(sorted.begin(), sorted.end(), key), key);
}

void SQLParserSeekCache::eraseSorted(std::vector<qint64> &sorted, qint64 key)
{
    const auto at = std::lower_bound(sorted.begin(), sorted.end(), key);
    if (at != sorted.end() && *at == key)
        sorted.erase(at);
}

void SQLParserSeekCache::reset()
{
    keys_queryBreak_.clear();
    indices_queryBreak_.clear();
    keys_querySeparator_.clear();
    indices_querySeparator_.clear();
    keys_lines_.clear();
    indices_lines_.clear();
    keys_char_for_lines_.clear();
    indices_char_for_lines_.clear();
    sortedQueryBreaks_.clear();
    sortedQuerySeparators_.clear();
    sortedLines_.clear();
    sortedLineNumbers_.clear();
    sortedLinePositions_.clear();
}

void SQLParserSeekCache::addCacheStringIndex(qint64 stringIndex, qint64 forComponentIndex,
                                             quint64 componentType)
{
    const bool isBreak = componentType == SQLParserComponent::QueryBreak;
    auto &keys = isBreak ? keys_queryBreak_ : keys_querySeparator_;
    auto &indices = isBreak ? indices_queryBreak_ : indices_querySeparator_;
    if (indices.contains(stringIndex))
        return;
    keys.append(stringIndex);
    indices.insert(stringIndex, forComponentIndex);
    insertSorted(isBreak ? sortedQueryBreaks_ : sortedQuerySeparators_, stringIndex);
}

qint64 SQLParserSeekCache::maximumComponentIndexBeforeStringIndex(qint64 stringIndex, quint64 componentType,
                                                                  qint64 *foundStringIndex) const
{
    const bool isBreak = componentType == SQLParserComponent::QueryBreak;
    const auto &keys = isBreak ? keys_queryBreak_ : keys_querySeparator_;
    const auto &indices = isBreak ? indices_queryBreak_ : indices_querySeparator_;
    Q_UNUSED(keys);
    const qint64 found =
        greatestKey(isBreak ? sortedQueryBreaks_ : sortedQuerySeparators_, stringIndex, true);
    if (found < 0)
        return -1;
    if (foundStringIndex)
        *foundStringIndex = found;
    return indices.value(found);
}

void SQLParserSeekCache::addCacheLineForStringIndex(qint64 stringIndex, qint64 forComponentIndex,
                                                    qint64 lineIndex)
{
    if (!indices_lines_.contains(stringIndex)) {
        keys_lines_.append(stringIndex);
        indices_lines_.insert(stringIndex, {forComponentIndex, lineIndex});
        insertSorted(sortedLines_, stringIndex);
    }
    if (!indices_char_for_lines_.contains(lineIndex)) {
        keys_char_for_lines_.append(lineIndex);
        indices_char_for_lines_.insert(lineIndex, {forComponentIndex, stringIndex});
        insertSorted(sortedLineNumbers_, lineIndex);
        insertSorted(sortedLinePositions_, stringIndex);
    }
}

qint64 SQLParserSeekCache::maximumComponentIndexBeforeStringIndex(qint64 stringIndex,
                                                                  qint64 *foundStringIndex,
                                                                  qint64 *foundLineIndex) const
{
    const qint64 found = greatestKey(sortedLines_, stringIndex, false);
    if (found < 0)
        return -1;
    const Pair entry = indices_lines_.value(found);
    if (foundStringIndex)
        *foundStringIndex = found;
    if (foundLineIndex)
        *foundLineIndex = entry.second;
    return entry.first;
}

qint64 SQLParserSeekCache::maximumComponentIndexBeforeLineIndex(qint64 lineIndex, qint64 *foundStringIndex,
                                                                qint64 *foundLineIndex) const
{
    const qint64 found = greatestKey(sortedLineNumbers_, lineIndex, false);
    if (found < 0)
        return -1;
    const Pair entry = indices_char_for_lines_.value(found);
    if (foundStringIndex)
        *foundStringIndex = entry.second;
    if (foundLineIndex)
        *foundLineIndex = found;
    return entry.first;
}

void SQLParserSeekCache::resetAfterStringIndex(qint64 stringIndex)
{
    const auto reaches = [stringIndex](const std::vector<qint64> &sorted) {
        return !sorted.empty() && sorted.back() >= stringIndex;
    };
    if (!reaches(sortedQueryBreaks_) && !reaches(sortedQuerySeparators_) && !reaches(sortedLines_) &&
        !reaches(sortedLinePositions_))
        return; // typing goes on where the last edit already cleared the way
    const auto cut = [stringIndex](std::vector<qint64> &sorted) {
        sorted.erase(std::lower_bound(sorted.begin(), sorted.end(), stringIndex), sorted.end());
    };
    cut(sortedQueryBreaks_);
    cut(sortedQuerySeparators_);
    cut(sortedLines_);
    cut(sortedLinePositions_);
    // Walks add entries out of position order, so a key at or after the index may sit anywhere in
    // a key list, not only at its end: every one of them goes.
    const auto dropKeys = [stringIndex](QList<qint64> &keys, QHash<qint64, qint64> &indices) {
        keys.removeIf([&](qint64 key) {
            if (key < stringIndex)
                return false;
            indices.remove(key);
            return true;
        });
    };
    dropKeys(keys_queryBreak_, indices_queryBreak_);
    dropKeys(keys_querySeparator_, indices_querySeparator_);

    keys_lines_.removeIf([&](qint64 key) {
        if (key < stringIndex)
            return false;
        indices_lines_.remove(key);
        return true;
    });
    keys_char_for_lines_.removeIf([&](qint64 line) {
        if (indices_char_for_lines_.value(line).second < stringIndex)
            return false;
        indices_char_for_lines_.remove(line);
        eraseSorted(sortedLineNumbers_, line);
        return true;
    });

    if (keys_queryBreak_.size() != indices_queryBreak_.size()) {
        qCWarning(lcSql) << "seek cache out of step:" << keys_queryBreak_.size() << "query break keys,"
                         << indices_queryBreak_.size() << "indices";
        qCDebug(lcSql) << "keys" << keys_queryBreak_ << "indices" << indices_queryBreak_;
    }
}
