// The grid's editing: cells typed into in place, rows that are written when the selection leaves them,
// new, copied and removed records, and cancelling an edit.
#include "resultset/ResultsetViewController.h"

#include "resultset/CellEditorControllerViewController.h"
#include "resultset/ResultsetCellDelegate.h"
#include "resultset/ResultsetController.h"
#include "resultset/ResultsetFieldEditorMenu.h"
#include "resultset/ResultsetRowNumberDelegate.h"
#include "resultset/ResultsetTableModel.h"

#include <QApplication>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QScrollBar>
#include <QTableView>
#include <QTimer>

#include <algorithm>

namespace
{
// Room kept visible left of a cell that starts editing near the grid's left edge.
const int leftMargin = 46;
} // namespace

void ResultsetViewController::setUpEditing()
{
    cellDelegate_ = new ResultsetCellDelegate([this](const QModelIndex &index) { return mayEditCell(index); },
                                              tableView_);
    tableView_->setItemDelegate(cellDelegate_);
    cellDelegate_->setEditorMenuItems([this](QMenu *menu, const QModelIndex &index) {
        ResultsetFieldEditorMenu::addEditModeItems(menu, resultsetController_,
                                                   tableModel_->identifier(index.column()), this);
    });
    // Double clicks start editing through the click rules.
    tableView_->setEditTriggers(QAbstractItemView::EditKeyPressed);
    setUpClicks();
    connect(cellDelegate_, &QAbstractItemDelegate::closeEditor, this, &ResultsetViewController::editorClosed);
    connect(tableModel_, &QAbstractItemModel::modelReset, this, [this] {
        connect(tableView_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
                &ResultsetViewController::currentRowChanged, Qt::UniqueConnection);
    });
    connect(tableView_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &ResultsetViewController::currentRowChanged, Qt::UniqueConnection);
    if (auto *rowNumbers = qobject_cast<ResultsetRowNumberDelegate *>(tableView_->itemDelegateForColumn(0))) {
        rowNumbers->setEditedRowTest([this](int row) {
            return resultsetController_ && resultsetController_->editingRowNumber() == row + 1;
        });
    }
    // A typed value makes its row's number show the unsent change.
    connect(tableModel_, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex &topLeft) { tableView_->update(tableModel_->index(topLeft.row(), 0)); });
}

bool ResultsetViewController::mayEditCell(const QModelIndex &index)
{
    if (!resultsetController_ || !index.isValid() || index.column() == 0)
        return false;
    if (tableView_->selectionModel()->selectedRows().size() >= 2)
        return false;
    if (!resultsetController_->shouldEditColumn(tableModel_->identifier(index.column()), index.row() + 1))
        return false;
    QRect cell = tableView_->visualRect(index);
    if (cell.left() < leftMargin)
        cell.translate(-leftMargin, 0);
    const int left = tableView_->horizontalScrollBar()->value() + cell.left();
    if (cell.left() < 0)
        tableView_->horizontalScrollBar()->setValue(std::max(0, left));
    tableView_->scrollTo(index);
    return true;
}

int ResultsetViewController::selectedRow() const
{
    const QModelIndexList rows = tableView_->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

// Leaving a row writes its edit; a row the database refuses keeps the selection.
void ResultsetViewController::currentRowChanged(const QModelIndex &current, const QModelIndex &)
{
    if (!resultsetController_ || keepingEditedRow_)
        return;
    const qint64 edited = resultsetController_->editingRowNumber();
    if (edited < 1 || (current.isValid() && current.row() + 1 == edited))
        return;
    if (resultsetController_->shouldEndEdit()) {
        tableModel_->rowChanged(int(edited - 1));
        return;
    }
    keepingEditedRow_ = true;
    tableView_->selectRow(int(edited - 1));
    keepingEditedRow_ = false;
}

void ResultsetViewController::editorClosed()
{
    if (cellDelegate_->endedWithReturn())
        QTimer::singleShot(0, this, &ResultsetViewController::endTableEditingUsingReturn);
}

void ResultsetViewController::endTableEditingUsingReturn()
{
    if (!resultsetController_)
        return;
    const qint64 edited = resultsetController_->editingRowNumber();
    if (!resultsetController_->shouldEndEdit())
        return;
    if (edited > 0)
        tableModel_->rowChanged(int(edited - 1));
    const int selected = selectedRow();
    keepingEditedRow_ = true;
    if (selected >= tableModel_->rowCount() - 1) {
        tableView_->clearSelection();
        tableView_->selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
    } else {
        tableView_->selectRow(selected + 1);
    }
    keepingEditedRow_ = false;
}

void ResultsetViewController::addRow(QObject *sender)
{
    if (!resultsetController_ || !resultsetController_->canEditResultSet())
        return;
    const int position = std::max(0, selectedRow());
    const bool copy = sender && sender->property("duplicate").toBool();
    tableView_->setFocus();
    tableView_->closePersistentEditor(tableView_->currentIndex());
    const qint64 added = copy ? resultsetController_->duplicateRowAt(position + 1)
                              : resultsetController_->addRecordAtRow(position + 1);
    if (added < 0)
        return;
    tableModel_->rowInserted(position);
    if (added > 0) {
        keepingEditedRow_ = true;
        tableView_->selectRow(int(added - 1));
        keepingEditedRow_ = false;
        const QModelIndex first = tableModel_->index(position, 1);
        tableView_->setCurrentIndex(first);
        tableView_->edit(first);
    }
}

void ResultsetViewController::duplicate(QObject *)
{
    if (selectedRow() < 0)
        return;
    QObject copy;
    copy.setProperty("duplicate", true);
    addRow(&copy);
}

void ResultsetViewController::deleteRow(QObject *)
{
    QList<int> rows;
    for (const QModelIndex &index : tableView_->selectionModel()->selectedRows())
        rows << index.row();
    removeRows(rows);
}

void ResultsetViewController::deleteRowFromContext(int clickedRow)
{
    if (clickedRow < 0)
        return;
    QList<int> rows;
    for (const QModelIndex &index : tableView_->selectionModel()->selectedRows())
        rows << index.row();
    if (!rows.contains(clickedRow))
        rows = {clickedRow};
    removeRows(rows);
}

void ResultsetViewController::removeRows(QList<int> rows)
{
    if (!resultsetController_ || !resultsetController_->canEditResultSet() || rows.isEmpty())
        return;
    // An open cell editor hands its text over first.
    if (QWidget *editor = QApplication::focusWidget(); editor && tableView_->isAncestorOf(editor))
        tableView_->setFocus();
    std::sort(rows.begin(), rows.end());
    QList<qint64> modelRows;
    for (const int row : rows)
        modelRows << row + 1;
    rowAfterRemoval_ = rows.first();
    resultsetController_->removeRecordAtRows(modelRows);
}

void ResultsetViewController::selectRowAfterRemoval()
{
    if (rowAfterRemoval_ < 0 || tableModel_->rowCount() == 0)
        return;
    keepingEditedRow_ = true;
    tableView_->selectRow(std::min(rowAfterRemoval_, tableModel_->rowCount() - 1));
    keepingEditedRow_ = false;
}

void ResultsetViewController::cancel(QObject *)
{
    if (!resultsetController_)
        return;
    const int selected = selectedRow();
    const qint64 edited = resultsetController_->editingRowNumber();
    const bool added =
        resultsetController_->vornResultset() && resultsetController_->vornResultset()->adding();
    // The typed text is dropped with the edit, not handed over.
    if (QWidget *editor = QApplication::focusWidget();
        editor && tableView_->isAncestorOf(editor) && editor != tableView_)
        cellDelegate_->closeEditor(editor, QAbstractItemDelegate::RevertModelCache);
    if (!resultsetController_->cancel())
        return;
    if (added && edited > 0)
        tableModel_->rowRemoved(int(edited - 1));
    else
        tableModel_->rowChanged(int(edited - 1));
    keepingEditedRow_ = true;
    if (selected >= 0)
        tableView_->selectRow(std::min(selected, tableModel_->rowCount() - 1));
    keepingEditedRow_ = false;
    tableView_->setFocus();
}

void ResultsetViewController::replaceEditorText(const QString &text)
{
    if (auto *editor = qobject_cast<QLineEdit *>(QApplication::focusWidget());
        editor && tableView_->isAncestorOf(editor))
        editor->setText(text);
}

void ResultsetViewController::insertDate(QObject *)
{
    if (resultsetController_)
        replaceEditorText(resultsetController_->dateValueForEditor());
}

void ResultsetViewController::insertTime(QObject *)
{
    if (resultsetController_)
        replaceEditorText(resultsetController_->timeValueForEditor());
}

void ResultsetViewController::selectSequence(QObject *sender)
{
    const QStringList sequenceAndColumn =
        sender ? sender->property("representedObject").toStringList() : QStringList();
    if (!resultsetController_ || sequenceAndColumn.size() != 2)
        return;
    // No value (the connection is busy or refused): the typed text stays.
    const QString value =
        resultsetController_->sequenceValueForEditor(sequenceAndColumn[0], sequenceAndColumn[1]);
    if (!value.isNull())
        replaceEditorText(value);
}

void ResultsetViewController::edit(QObject *)
{
    const QModelIndex current = tableView_->currentIndex();
    if (current.isValid() && current.column() > 0)
        startEditOnRow(current.row(), current.column());
}

void ResultsetViewController::startEditOnRow(int row, int column)
{
    const QModelIndex index = tableModel_->index(row, column);
    if (!mayEditCell(index))
        return;
    if (!cellEditor_) {
        cellEditor_ = new CellEditorControllerViewController(tableView_);
        cellEditor_->setClosedWithUpdatedText([this](const QString &text) { cellEditorClosed(text); });
    }
    // An open cell editor hands its text over first; the popup starts from it.
    tableView_->setFocus();
    cellEditor_->setStringValue(index.data(Qt::EditRole).toString());
    cellEditor_->runForTableView(tableView_, row, column, tableModel_->identifier(column));
}

void ResultsetViewController::cellEditorClosed(const QString &text)
{
    const int row = cellEditor_->editingRow();
    const QModelIndex index = tableModel_->index(row, cellEditor_->editingColumn());
    // A cell that may no longer be edited keeps its value.
    if (!resultsetController_ || !index.isValid() ||
        !resultsetController_->shouldEditColumn(cellEditor_->editingColumnName(), row + 1))
        return;
    tableModel_->setData(index, text, Qt::EditRole);
    tableView_->setFocus();
}
