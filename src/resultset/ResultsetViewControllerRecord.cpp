// The grid's record editor: the selected record's values in the input sheet, its large objects, and the
// changed values written back into the row edit.
#include "resultset/ResultsetViewController.h"

#include "resultset/RecordEditController.h"
#include "resultset/ResultsetController.h"
#include "resultset/ResultsetTableModel.h"

#include <QTableView>

void ResultsetViewController::editRecord(QObject *sender)
{
    if (!resultsetController_)
        return;
    const QVariant represented = sender ? sender->property("row") : QVariant();
    const int row = represented.isValid() ? represented.toInt() : selectedRow();
    if (row < 0 || row >= tableModel_->rowCount())
        return;
    if (!recordEditController_)
        recordEditController_ = std::make_unique<RecordEditController>();
    recordEditController_->setDelegate(this);
    const bool readOnly = !resultsetController_->canEditResultSet();
    recordEditController_->setReadOnly(readOnly);
    tableView_->setFocus(); // an open cell editor hands its text over
    if (row != selectedRow() && !resultsetController_->shouldEndEdit())
        return;
    tableView_->selectRow(row);
    if (resultsetController_->management()) {
        resultsetController_->selectManagementRow(row);
        return;
    }
    QVariantMap values;
    const QStringList columns = resultsetController_->columnNames();
    for (const QString &column : columns) {
        const QVariant value = resultsetController_->objectValueForColumn(column, row + 1);
        if (value.isValid())
            values.insert(column, value.toString());
    }
    // A read-only record is shown for viewing and copying.
    if (!readOnly && !resultsetController_->shouldEditRow(row + 1))
        return;
    recordEditController_->runForColumns(
        columns, tableView_->window(), QVariantMap{{"row", row}},
        [this, values](const QVariantMap &result) { recordEditResult(result, values); }, values);
}

void ResultsetViewController::recordEditResult(const QVariantMap &result, const QVariantMap &shownValues)
{
    tableView_->setFocus();
    if (result.isEmpty() || !resultsetController_ || !resultsetController_->canEditResultSet())
        return;
    const int row = result.value("userInfo").toMap().value("row").toInt();
    const QVariantMap values = result.value("values").toMap();
    for (const QString &column : result.value("columns").toStringList()) {
        // Large objects changed through their buttons, not through the result.
        if (resultsetController_->columnIsBlob(column))
            continue;
        const QString value = values.value(column).toString();
        const bool wasNull = !shownValues.contains(column);
        if ((wasNull && value.isEmpty()) || (!wasNull && shownValues.value(column).toString() == value))
            continue;
        resultsetController_->setValueOfColumn(column, row + 1, value);
    }
    tableModel_->rowChanged(row);
}

bool ResultsetViewController::recordEditorColumnIsClobOrLargeString(const QString &column)
{
    return resultsetController_ && resultsetController_->columnIsClobOrLargeString(column);
}

bool ResultsetViewController::recordEditorColumnIsBlob(const QString &column)
{
    return resultsetController_ && resultsetController_->columnIsBlob(column);
}

bool ResultsetViewController::recordEditorColumnIsBlobEmpty(const QString &column)
{
    const int row = selectedRow();
    return resultsetController_ && row >= 0 && resultsetController_->blobValueIsEmpty(column, row + 1);
}

bool ResultsetViewController::recordEditorLoadBlobFor(const QString &column, const QString &path)
{
    const int row = selectedRow();
    const bool loaded =
        resultsetController_ && row >= 0 && resultsetController_->loadBlob(column, path, row + 1);
    tableModel_->rowChanged(row);
    return loaded;
}

bool ResultsetViewController::recordEditorSaveBlobFor(const QString &column, const QString &path)
{
    const int row = selectedRow();
    return resultsetController_ && row >= 0 && resultsetController_->saveBlob(column, path, row + 1);
}

bool ResultsetViewController::recordEditorClearBlobFor(const QString &column)
{
    const int row = selectedRow();
    const bool cleared = resultsetController_ && row >= 0 && resultsetController_->clearBlob(column, row + 1);
    tableModel_->rowChanged(row);
    return cleared;
}
