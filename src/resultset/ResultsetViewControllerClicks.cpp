// The grid's click rules: an Alt-click on a cell of the selected row opens the popup editor (a large
// object only beeps; a management view selects its row instead), and a double click types into the cell
// in place. A header dragged downwards drags its column out.
#include "resultset/ResultsetViewController.h"

#include "resultset/ResultsetController.h"
#include "resultset/ResultsetHeaderView.h"
#include "resultset/ResultsetTableModel.h"

#include <QApplication>
#include <QGuiApplication>
#include <QTableView>

void ResultsetViewController::setUpClicks()
{
    connect(tableView_, &QAbstractItemView::clicked, this, &ResultsetViewController::tableClick);
    connect(tableView_, &QAbstractItemView::doubleClicked, this, &ResultsetViewController::tableDoubleClick);
    if (auto *header = qobject_cast<ResultsetHeaderView *>(tableView_->horizontalHeader()))
        connect(header, &ResultsetHeaderView::startedVerticalDragForColumn, this,
                [this](int column) { columnDraggedOut(column); });
}

void ResultsetViewController::tableClick(const QModelIndex &index)
{
    // The row-number column has no value to edit.
    if (!resultsetController_ || !index.isValid() || index.column() == 0 || index.row() != selectedRow())
        return;
    if (!(QGuiApplication::keyboardModifiers() & Qt::AltModifier))
        return;
    if (resultsetController_->columnIsBlob(tableModel_->identifier(index.column()))) {
        QApplication::beep();
        return;
    }
    if (resultsetController_->management())
        resultsetController_->selectManagementRow(index.row());
    else
        startEditOnRow(index.row(), index.column());
}

void ResultsetViewController::tableDoubleClick(const QModelIndex &index)
{
    if (!resultsetController_ || !index.isValid())
        return;
    if (resultsetController_->management()) {
        resultsetController_->selectManagementRow(index.row());
        return;
    }
    if (QGuiApplication::keyboardModifiers() & Qt::AltModifier || index.row() != selectedRow())
        return;
    // The cell delegate asks whether the cell may be edited before the editor opens.
    tableView_->edit(index);
}
