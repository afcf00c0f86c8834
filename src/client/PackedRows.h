#pragma once

#include "client/RowMemory.h"
#include "client/VornCell.h"

#include <QStringView>

#include <memory>

// One portion of rows as the backend handed it over, unpacked into three flat arrays in the result set's
// row memory: the text of every cell one after another, where each cell's text ends, and each cell's
// kind. No object per row or cell, 5 bytes per cell beside its text, which takes one byte a character
// when the whole portion is Latin-1 (as most data is) and two otherwise. Immutable once made, so readers
// need no lock.
class PackedRows
{
public:
    // The rows of the backend's packed text (VornResultset.takeRows: the number of rows, then per cell a
    // tag, and for cells with text its length and the text; numbers seven bits to a character, lowest
    // first, 0x80 marking more); null when the text does not hold that many rows of that many columns,
    // or no memory is left for them.
    static std::shared_ptr<const PackedRows> unpack(QStringView packed, int columns, RowMemory &memory);

    int rowCount() const { return rowCount_; }
    int columnCount() const { return columns_; }
    // The cell of a row and column (both 0-based, within range).
    VornCell cell(int row, int column) const;

private:
    PackedRows() = default;

    int columns_ = 0;
    int rowCount_ = 0;
    std::shared_ptr<const void> memory_;
    const quint32 *ends_ = nullptr;
    const std::byte *text_ = nullptr;
    bool latin1_ = false;
    const VornCell::Kind *kinds_ = nullptr;
};
