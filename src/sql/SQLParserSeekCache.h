#pragma once

#include <QHash>
#include <QList>

#include <utility>

// Remembers, for a sparse set of positions, which component starts there, so that lookups in
// long documents start near their target instead of at the first component. Every entry names
// a component start; a missing entry only makes a walk longer. Keys stay in the order they were
// added, which walks from different starting entries do not keep sorted, so every lookup weighs
// all keys.
class SQLParserSeekCache
{
public:
    using Pair = std::pair<qint64, qint64>;

    void reset();

    // Type 9 (QueryBreak) goes to the query-break table, anything else to the separator table.
    void addCacheStringIndex(qint64 stringIndex, qint64 forComponentIndex, quint64 componentType);
    // The entry with the largest key at or below stringIndex (a key equal to it counts): writes
    // its string index and returns its component index, or -1.
    qint64 maximumComponentIndexBeforeStringIndex(qint64 stringIndex, quint64 componentType,
                                                  qint64 *foundStringIndex) const;

    void addCacheLineForStringIndex(qint64 stringIndex, qint64 forComponentIndex, qint64 lineIndex);
    // Line entries strictly before the string index, or strictly below the line.
    qint64 maximumComponentIndexBeforeStringIndex(qint64 stringIndex, qint64 *foundStringIndex,
                                                  qint64 *foundLineIndex) const;
    qint64 maximumComponentIndexBeforeLineIndex(qint64 lineIndex, qint64 *foundStringIndex,
                                                qint64 *foundLineIndex) const;

    // Forgets every entry at or after the string index.
    void resetAfterStringIndex(qint64 stringIndex);

    const QList<qint64> &keys_queryBreak() const { return keys_queryBreak_; }
    const QHash<qint64, qint64> &indices_queryBreak() const { return indices_queryBreak_; }
    const QList<qint64> &keys_querySeparator() const { return keys_querySeparator_; }
    const QHash<qint64, qint64> &indices_querySeparator() const { return indices_querySeparator_; }
    // Value: component index, line number.
    const QList<qint64> &keys_lines() const { return keys_lines_; }
    const QHash<qint64, Pair> &indices_lines() const { return indices_lines_; }
    // Value: component index, string index.
    const QList<qint64> &keys_char_for_lines() const { return keys_char_for_lines_; }
    const QHash<qint64, Pair> &indices_char_for_lines() const { return indices_char_for_lines_; }

private:
    QList<qint64> keys_queryBreak_;
    QHash<qint64, qint64> indices_queryBreak_;
    QList<qint64> keys_querySeparator_;
    QHash<qint64, qint64> indices_querySeparator_;
    QList<qint64> keys_lines_;
    QHash<qint64, Pair> indices_lines_;
    QList<qint64> keys_char_for_lines_;
    QHash<qint64, Pair> indices_char_for_lines_;
};
