#pragma once

#include <QHash>
#include <QList>

#include <utility>
#include <vector>

// Remembers, for a sparse set of positions, which component starts there, so that lookups in
// long documents start near their target instead of at the first component. Every entry names
// a component start; a missing entry only makes a walk longer. Keys stay in the order they were
// added, which walks from different starting entries do not keep sorted; a sorted copy of each key
// list answers the lookups, which run several times per keystroke in a long script.
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
    // The greatest key of a sorted list at or below (or, not inclusive, below) a bound; -1 for none.
    static qint64 greatestKey(const std::vector<qint64> &sorted, qint64 bound, bool inclusive);
    static void insertSorted(std::vector<qint64> &sorted, qint64 key);
    static void eraseSorted(std::vector<qint64> &sorted, qint64 key);

    std::vector<qint64> sortedQueryBreaks_;
    std::vector<qint64> sortedQuerySeparators_;
    std::vector<qint64> sortedLines_;
    std::vector<qint64> sortedLineNumbers_;
    std::vector<qint64> sortedLinePositions_; // the string indices of the positions-by-line entries
    QList<qint64> keys_queryBreak_;
    QHash<qint64, qint64> indices_queryBreak_;
    QList<qint64> keys_querySeparator_;
    QHash<qint64, qint64> indices_querySeparator_;
    QList<qint64> keys_lines_;
    QHash<qint64, Pair> indices_lines_;
    QList<qint64> keys_char_for_lines_;
    QHash<qint64, Pair> indices_char_for_lines_;
};
