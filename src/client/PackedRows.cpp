#include "client/PackedRows.h"

#include <algorithm>
#include <limits>
#include <optional>

namespace
{
// The backend's cell tags (EncodedRows.java).
enum Tag : char16_t { NullTag, TextTag, CharacterLobTag, CharacterLobNullTag, BinaryTag, BinaryNullTag };

struct Cell {
    VornCell::Kind kind;
    qsizetype textStart = 0;
    qsizetype textLength = 0;
};

// Reads a number (seven bits to a character, lowest first, 0x80 marking more) and moves past it; none when
// the text breaks off or the number exceeds 32 bits.
std::optional<qint64> readNumber(QStringView packed, qsizetype &position)
{
    qint64 number = 0;
    for (int shift = 0; shift < 35; shift += 7) {
        if (position >= packed.size())
            return std::nullopt;
        const char16_t part = packed[position++].unicode();
        if (part > 0xFF)
            return std::nullopt;
        number |= qint64(part & 0x7F) << shift;
        if (part < 0x80)
            return number <= std::numeric_limits<qint32>::max() ? std::optional<qint64>(number)
                                                                : std::nullopt;
    }
    return std::nullopt;
}

// Reads the cell at position and moves past it; none when the text breaks off or the tag is unknown.
std::optional<Cell> readCell(QStringView packed, qsizetype &position)
{
    if (position >= packed.size())
        return std::nullopt;
    switch (packed[position++].unicode()) {
    case NullTag:
        return Cell{VornCell::Kind::Null};
    case CharacterLobNullTag:
        return Cell{VornCell::Kind::CharacterLobNull};
    case BinaryTag:
        return Cell{VornCell::Kind::Binary};
    case BinaryNullTag:
        return Cell{VornCell::Kind::BinaryNull};
    case TextTag:
    case CharacterLobTag: {
        const bool lob = packed[position - 1].unicode() == CharacterLobTag;
        const std::optional<qint64> length = readNumber(packed, position);
        if (!length || packed.size() - position < *length)
            return std::nullopt;
        const Cell cell{lob ? VornCell::Kind::CharacterLob : VornCell::Kind::Text, position, *length};
        position += *length;
        return cell;
    }
    default:
        return std::nullopt;
    }
}
} // namespace

std::shared_ptr<const PackedRows> PackedRows::unpack(QStringView packed, int columns, RowMemory &memory)
{
    qsizetype start = 0;
    const std::optional<qint64> rowCount = readNumber(packed, start);
    if (columns < 0 || !rowCount)
        return nullptr;
    // First pass: check the text and size the arrays exactly.
    qsizetype cells = 0;
    qsizetype textLength = 0;
    for (qsizetype position = start; position < packed.size(); ++cells) {
        const std::optional<Cell> cell = readCell(packed, position);
        if (!cell)
            return nullptr;
        textLength += cell->textLength;
    }
    if (cells != *rowCount * columns || textLength > qsizetype(std::numeric_limits<quint32>::max()))
        return nullptr;
    // Tags and numbers are Latin-1 too: the whole text tells.
    char16_t widest = 0;
    for (const QChar c : packed)
        widest |= c.unicode();
    const bool latin1 = widest <= 0xFF;

    // One allocation: the ends (4-byte aligned first), the text, the kinds.
    const size_t endsSize = size_t(cells) * sizeof(quint32);
    const size_t textSize = size_t(textLength) * (latin1 ? 1 : sizeof(char16_t));
    const RowMemory::Space space = memory.allocate(endsSize + textSize + size_t(cells));
    if (!space.data)
        return nullptr;
    auto *ends = reinterpret_cast<quint32 *>(space.data);
    std::byte *text = space.data + endsSize;
    auto *kinds = reinterpret_cast<VornCell::Kind *>(space.data + endsSize + textSize);
    quint32 end = 0;
    qsizetype index = 0;
    for (qsizetype position = start; position < packed.size(); ++index) {
        const Cell cell = *readCell(packed, position);
        const char16_t *from = packed.utf16() + cell.textStart;
        if (latin1)
            std::transform(from, from + cell.textLength, reinterpret_cast<char *>(text) + end,
                           [](char16_t c) { return char(c); });
        else
            std::copy_n(from, cell.textLength, reinterpret_cast<char16_t *>(text) + end);
        end += quint32(cell.textLength);
        ends[index] = end;
        kinds[index] = cell.kind;
    }

    std::shared_ptr<PackedRows> rows(new PackedRows);
    rows->columns_ = columns;
    rows->rowCount_ = int(*rowCount);
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
