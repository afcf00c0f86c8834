#pragma once

#include <QtGlobal>

#include <cstdlib>
#include <memory>
#include <vector>

// The component list of a whole document in compact form: per component only its length and type.
// A ten-megabyte script holds millions of components, so each is one 32-bit word in a gap buffer
// instead of an object: an edit moves only the words between it and the previous edit. Positions
// come from summing lengths, texts from the document.
class SQLParserComponentStore
{
public:
    struct Entry {
        qint64 length;
        quint64 type;
    };

    SQLParserComponentStore() = default;
    SQLParserComponentStore(const SQLParserComponentStore &other);
    SQLParserComponentStore &operator=(const SQLParserComponentStore &other);
    SQLParserComponentStore(SQLParserComponentStore &&) noexcept = default;
    SQLParserComponentStore &operator=(SQLParserComponentStore &&) noexcept = default;

    qint64 size() const { return capacity_ - (gapEnd_ - gapStart_); }
    Entry at(qint64 index) const
    {
        const quint32 word = words_[index < gapStart_ ? index : index + (gapEnd_ - gapStart_)];
        return {lengthOf(word), word & TypeMask};
    }
    void setType(qint64 index, quint64 type);

    // Empties the store and keeps its memory for the components of a whole scan, appended in order.
    void clear(qint64 expectedSize);
    void append(qint64 length, quint64 type);

    // Replacing a stretch while it is scanned again: from `from` on the components are old ones, which
    // the scan reads one by one and drops as it passes them, inserting new ones before them.
    void beginReplace(qint64 from);
    bool hasOld() const { return gapEnd_ < capacity_; }
    Entry nextOld() const { return {lengthOf(words_[gapEnd_]), words_[gapEnd_] & TypeMask}; }
    void dropOld() { ++gapEnd_; }
    void insert(qint64 length, quint64 type);

private:
    // The type takes the low four bits and the length the rest. A component too long for them (a
    // quarter of a billion characters: an unclosed quote in a huge text) keeps its length in a side
    // table, and its word the place in that table.
    static constexpr quint32 TypeBits = 4;
    static constexpr quint32 TypeMask = (1u << TypeBits) - 1;
    static constexpr quint32 FirstLongMark = (1u << (32 - TypeBits)) - (1u << 20);

    struct Free {
        void operator()(quint32 *words) const { std::free(words); }
    };

    qint64 lengthOf(quint32 word) const
    {
        const quint32 length = word >> TypeBits;
        return length < FirstLongMark ? length : longLengths_[length - FirstLongMark];
    }
    quint32 wordFor(qint64 length, quint64 type);
    void moveGapTo(qint64 index);
    void reserveGap(qint64 length);

    std::unique_ptr<quint32[], Free> words_;
    qint64 capacity_ = 0;
    qint64 gapStart_ = 0;
    qint64 gapEnd_ = 0;
    std::vector<qint64> longLengths_;
};
