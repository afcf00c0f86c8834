#include "client/PackedRows.h"

#include <algorithm>
#include <limits>

namespace
{
// The backend's cell tags (EncodedRows.java).
enum Tag : char16_t { NullTag, TextTag, CharacterLobTag, CharacterLobNullTag, BinaryTag, BinaryNullTag };

// Reads a number (seven bits to a character, lowest first, 0x80 marking more) and moves past it; false
// when the text breaks off or the number exceeds 32 bits.
inline bool readNumber(const char16_t *packed, qsizetype size, qsizetype &position, qint64 &number)
{
    number = 0;
    for (int shift = 0; shift < 35; shift += 7) {
        if (position >= size)
            return false;
        const char16_t part = packed[position++];
        if (part > 0xFF)
            return false;
        number |= qint64(part & 0x7F) << shift;
        if (part < 0x80)
            return number <= std::numeric_limits<qint32>::max();
    }
    return false;
}

VornCell::Kind kindOf(char16_t tag)
{
    switch (tag) {
    case TextTag:
        return VornCell::Kind::Text;
    case CharacterLobTag:
        return VornCell::Kind::CharacterLob;
    case CharacterLobNullTag:
        return VornCell::Kind::CharacterLobNull;
    case BinaryTag:
        return VornCell::Kind::Binary;
    case BinaryNullTag:
        return VornCell::Kind::BinaryNull;
    default:
        return VornCell::Kind::Null;
    }
}

// What the first pass learns of the cells: how many, their text's length, and whether all is Latin-1.
struct Census {
    qsizetype cells = 0;
    qsizetype textLength = 0;
    bool latin1 = true;
};

// Checks every cell from position to the end; false when one breaks off or has an unknown tag.
bool takeCensus(const char16_t *packed, qsizetype size, qsizetype position, Census &census)
{
    char16_t widest = 0;
    while (position < size) {
        const char16_t tag = packed[position++];
        ++census.cells;
        if (tag == TextTag || tag == CharacterLobTag) {
            qint64 length = 0;
            if (!readNumber(packed, size, position, length) || size - position < length)
                return false;
            for (const char16_t *c = packed + position, *end = c + length; c != end; ++c)
                widest |= *c;
            position += length;
            census.textLength += length;
        } else if (tag > BinaryNullTag) {
            return false;
        }
    }
    // Tags and numbers are Latin-1 by the checks above: the cells' text tells.
    census.latin1 = widest <= 0xFF;
    return true;
}
} // namespace

std::shared_ptr<const PackedRows> PackedRows::unpack(QStringView packed, int columns, RowMemory &memory)
{
    const char16_t *characters = packed.utf16();
    const qsizetype size = packed.size();
    qsizetype start = 0;
    qint64 rowCount = 0;
    if (columns < 0 || !readNumber(characters, size, start, rowCount))
        return nullptr;
    // First pass: check the text and size the arrays exactly.
    Census census;
    if (!takeCensus(characters, size, start, census) || census.cells != rowCount * columns ||
        census.textLength > qsizetype(std::numeric_limits<quint32>::max()))
        return nullptr;
    const bool latin1 = census.latin1;

    // One allocation: the ends (4-byte aligned first), the text, the kinds.
    const size_t endsSize = size_t(census.cells) * sizeof(quint32);
    const size_t textSize = size_t(census.textLength) * (latin1 ? 1 : sizeof(char16_t));
    const RowMemory::Space space = memory.allocate(endsSize + textSize + size_t(census.cells));
    if (!space.data)
        return nullptr;
    auto *ends = reinterpret_cast<quint32 *>(space.data);
    std::byte *text = space.data + endsSize;
    auto *kinds = reinterpret_cast<VornCell::Kind *>(space.data + endsSize + textSize);
    quint32 end = 0;
    qsizetype index = 0;
    // Second pass over text the first has checked.
    for (qsizetype position = start; position < size; ++index) {
        const char16_t tag = characters[position++];
        if (tag == TextTag || tag == CharacterLobTag) {
            qint64 length = 0;
            readNumber(characters, size, position, length);
            const char16_t *from = characters + position;
            if (latin1)
                std::copy_n(from, length, reinterpret_cast<char *>(text) + end);
            else
                std::copy_n(from, length, reinterpret_cast<char16_t *>(text) + end);
            position += length;
            end += quint32(length);
        }
        ends[index] = end;
        kinds[index] = kindOf(tag);
    }

    std::shared_ptr<PackedRows> rows(new PackedRows);
    rows->columns_ = columns;
    rows->rowCount_ = int(rowCount);
    rows->memory_ = space.owner;
    rows->ends_ = ends;
    rows->text_ = text;
    rows->latin1_ = latin1;
    rows->kinds_ = kinds;
    return rows;
}

VornCell PackedRows::cell(int row, int column) const
{
    const size_t index = size_t(row) * size_t(columns_) + size_t(column);
    const quint32 start = index == 0 ? 0 : ends_[index - 1];
    const qsizetype length = qsizetype(ends_[index] - start);
    if (latin1_)
        return VornCell{kinds_[index],
                        QLatin1StringView(reinterpret_cast<const char *>(text_) + start, length)};
    return VornCell{kinds_[index], QStringView(reinterpret_cast<const char16_t *>(text_) + start, length)};
}
