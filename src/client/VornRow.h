#pragma once

#include "client/PackedRows.h"
#include "client/VornCell.h"

#include <memory>

// One fetched row of a result set: a place in the portion that holds it, which it keeps alive; a new row
// not yet written has no portion and only NULL cells. Cheap to copy; reading its cells takes no lock and
// calls no Java.
class VornRow
{
public:
    VornRow(std::shared_ptr<const PackedRows> portion, int row) : portion_(std::move(portion)), row_(row) {}

    int columnCount() const { return portion_ ? portion_->columnCount() : 0; }
    // The cell of a column (0-based); a NULL cell for a column the row does not have.
    VornCell cell(int column) const
    {
        return column >= 0 && column < columnCount() ? portion_->cell(row_, column) : VornCell{};
    }

private:
    std::shared_ptr<const PackedRows> portion_;
    int row_;
};
