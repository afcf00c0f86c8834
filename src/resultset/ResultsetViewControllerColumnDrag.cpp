// A column header dragged downwards drags the whole loaded column out of the grid, as a drag of all its
// cells would.
#include "resultset/ResultsetViewController.h"

#include "kit/DragAndDroppableTableView.h"
#include "kit/DragAndDroppableTableViewOtherView.h"
#include "kit/DragAndDroppableTableViewSourceView.h"
#include "resultset/ResultsetController.h"
#include "resultset/ResultsetTableModel.h"

bool ResultsetViewController::columnDraggedOut(int column)
{
    // Management views, results that cannot be read again, the row-number column and large objects
    // give nothing to drag.
    if (!resultsetController_ || resultsetController_->management() || !resultsetController_->canRefresh() ||
        column <= 0 || resultsetController_->columnIsBlob(tableModel_->identifier(column)))
        return false;
    auto *grid = qobject_cast<DragAndDroppableTableView *>(tableView_.data());
    return grid && grid->dragColumn(column);
}
