#include "sql/SQLParserSeekCache.h"

#include "sql/SQLParserComponent.h"
#include "sql/SqlLog.h"

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
}

qint64 SQLParserSeekCache::maximumComponentIndexBeforeStringIndex(qint64 stringIndex, quint64 componentType,
                                                                  qint64 *foundStringIndex) const
{
    const bool isBreak = componentType == SQLParserComponent::QueryBreak;
    const auto &keys = isBreak ? keys_queryBreak_ : keys_querySeparator_;
    const auto &indices = isBreak ? indices_queryBreak_ : indices_querySeparator_;
    qint64 found = -1;
    for (const qint64 key : keys) {
        if (key <= stringIndex && key > found)
            found = key;
    }
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
    }
    if (!indices_char_for_lines_.contains(lineIndex)) {
        keys_char_for_lines_.append(lineIndex);
        indices_char_for_lines_.insert(lineIndex, {forComponentIndex, stringIndex});
    }
}

qint64 SQLParserSeekCache::maximumComponentIndexBeforeStringIndex(qint64 stringIndex,
                                                                  qint64 *foundStringIndex,
                                                                  qint64 *foundLineIndex) const
{
    qint64 found = -1;
    for (const qint64 key : keys_lines_) {
        if (key < stringIndex && key > found)
            found = key;
    }
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
    qint64 found = -1;
    for (const qint64 key : keys_char_for_lines_) {
        if (key < lineIndex && key > found)
            found = key;
    }
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
        return true;
    });

    if (keys_queryBreak_.size() != indices_queryBreak_.size()) {
        qCWarning(lcSql) << "seek cache out of step:" << keys_queryBreak_.size() << "query break keys,"
                         << indices_queryBreak_.size() << "indices";
        qCDebug(lcSql) << "keys" << keys_queryBreak_ << "indices" << indices_queryBreak_;
    }
}
