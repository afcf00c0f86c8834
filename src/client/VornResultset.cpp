#include "client/VornResultset.h"
#include "client/JavaCall.h"

#include "bridge/JavaUtils.h"
#include "client/VornResultsetMetaData.h"

namespace
{
QStringList stringsOf(const QVariant &vector)
{
    QStringList strings;
    for (const QVariant &element : JavaUtils::arrayFromVector(vector.value<QoJavaObjectPtr>()))
        strings.append(element.toString());
    return strings;
}
} // namespace

VornResultset::VornResultset(QoJavaObjectPtr object) : object_(std::move(object))
{
    Q_ASSERT_X(object_, "VornResultset", "A result set needs its backend object");
}

FetchedRows &VornResultset::rows() const
{
    std::call_once(columnsRead_, [this] {
        rows_ =
            std::make_unique<FetchedRows>(stringsOf(JavaCall::send(object_, QStringLiteral("columnNames"))));
        columnLabels_ = stringsOf(JavaCall::send(object_, QStringLiteral("columnLabels")));
    });
    return *rows_;
}

void VornResultset::takeRows() const
{
    FetchedRows &fetched = rows();
    std::lock_guard lock(takeMutex_);
    for (;;) {
        const QString packed = JavaCall::send(object_, QStringLiteral("takeRows")).toString();
        if (packed.isEmpty())
            return;
        // The rows are the backend's no more: rows that cannot be read are lost, which must not pass unseen.
        if (!fetched.append(packed)) {
            JavaCall::fail(
                QStringLiteral("takeRows"),
                QStringLiteral("The rows the database sent could not be read or kept (%1 characters).")
                    .arg(packed.size()));
            return;
        }
    }
}

qint32 VornResultset::rowCount() const
{
    takeRows();
    return rows().rowCount();
}

bool VornResultset::fullyLoaded() const
{
    return JavaCall::send(object_, QStringLiteral("fullyLoaded")).toBool();
}

bool VornResultset::stoppedAtRowLimit() const
{
    return JavaCall::send(object_, QStringLiteral("stoppedAtRowLimit")).toBool();
}

void VornResultset::preload() const
{
    JavaCall::takeFailure(); // the outcome is this preload's alone
    JavaCall::send(object_, QStringLiteral("preload"));
    takeRows();
}

std::optional<VornRow> VornResultset::getRow(qint32 row) const
{
    if (row < 1)
        return std::nullopt;
    // A row beyond those here may be waiting in the backend (read there by a commit, for one).
    if (row > rows().rowCount())
        takeRows();
    return rows().row(row);
}

QVariantMap VornResultset::rowValues(qint32 row) const
{
    QVariantMap values;
    const std::optional<VornRow> fetched = getRow(row);
    if (!fetched)
        return values;
    const QStringList &names = rows().columnNames();
    for (int column = 0; column < fetched->columnCount(); ++column) {
        const QString text = fetched->cell(column).string();
        if (!text.isNull())
            values.insert(names[column], text);
    }
    return values;
}

int VornResultset::columnIndex(const QString &columnName, int guess) const
{
    return rows().columnIndex(columnName, guess);
}

QStringList VornResultset::columnNames() const
{
    return rows().columnNames();
}

QStringList VornResultset::columnLabels() const
{
    rows();
    return columnLabels_;
}

QString VornResultset::tableName() const
{
    return JavaCall::send(object_, QStringLiteral("tableName")).toString();
}

QString VornResultset::resultSetDescription() const
{
    return JavaCall::send(object_, QStringLiteral("resultSetDescription")).toString();
}

QString VornResultset::selectStatement() const
{
    return JavaCall::send(object_, QStringLiteral("selectStatement")).toString();
}

bool VornResultset::readOnly() const
{
    return JavaCall::send(object_, QStringLiteral("readOnly")).toBool();
}

QString VornResultset::readOnlyReason() const
{
    return JavaCall::send(object_, QStringLiteral("readOnlyReason")).toString();
}

QStringList VornResultset::searchableColumnNames() const
{
    return stringsOf(JavaCall::send(object_, QStringLiteral("searchableColumnNames")));
}

QString VornResultset::primaryColumnTypeForColumn(const QString &columnName) const
{
    return JavaCall::send(object_, QStringLiteral("primaryColumnTypeForColumn:"), {columnName}).toString();
}

VornResultsetMetaData VornResultset::resultsetMetaData() const
{
    return VornResultsetMetaData(
        JavaCall::send(object_, QStringLiteral("resultsetMetaData")).value<QoJavaObjectPtr>());
}

QStringList VornResultset::primaryKeyColumnNames() const
{
    return JavaCall::strings(JavaCall::send(object_, QStringLiteral("primaryKeyColumnNames")));
}

bool VornResultset::editing() const
{
    return JavaCall::send(object_, QStringLiteral("editing")).toBool();
}

bool VornResultset::adding() const
{
    return JavaCall::send(object_, QStringLiteral("adding")).toBool();
}

bool VornResultset::hasADirtyEdit() const
{
    return JavaCall::send(object_, QStringLiteral("hasADirtyEdit")).toBool();
}

qint32 VornResultset::editingOnRow() const
{
    const QVariant row = JavaCall::send(object_, QStringLiteral("editingOnRow"));
    return row.isValid() ? row.toInt() : -1;
}

bool VornResultset::canStartEditing(const QString &columnName, qint32 row) const
{
    // The backend knows the keys of the rows that crossed.
    if (row > rows().rowCount())
        takeRows();
    return JavaCall::send(object_, QStringLiteral("canStartEditing::"), {columnName, row}).toBool();
}

bool VornResultset::canStartEditingRow(qint32 row) const
{
    // The backend knows the keys of the rows that crossed.
    if (row > rows().rowCount())
        takeRows();
    return JavaCall::send(object_, QStringLiteral("canStartEditingRow:"), {row}).toBool();
}

void VornResultset::setValueForColumnOnRow(const QString &columnName, qint32 row, const QString &value) const
{
    const QVariant sent = value.isNull() ? QVariant() : QVariant(value);
    JavaCall::send(object_, QStringLiteral("setValueForColumnOnRow:::"), {columnName, row, sent});
}

bool VornResultset::succeeded() const
{
    const QoJavaObjectPtr root = JavaCall::object(object_, QStringLiteral("root"));
    return !JavaCall::hasFailure() && root &&
           JavaCall::send(root, QStringLiteral("lastActionSuccessful")).toBool();
}

void VornResultset::takeWrittenRow(qint32 row) const
{
    const QString packed = JavaCall::send(object_, QStringLiteral("takeWrittenRow")).toString();
    if (!packed.isEmpty() && !rows().replaceRow(row, packed))
        JavaCall::fail(QStringLiteral("takeWrittenRow"),
                       QStringLiteral("The record the database wrote could not be shown."));
}

void VornResultset::canEndEditing(qint32 row) const
{
    JavaCall::takeFailure(); // the outcome is this call's alone
    JavaCall::send(object_, QStringLiteral("canEndEditing:"), {row});
    if (succeeded())
        takeWrittenRow(row);
}

bool VornResultset::cancel() const
{
    const qint32 row = editingOnRow();
    const bool added = adding();
    const bool cancelled = JavaCall::send(object_, QStringLiteral("cancel")).toBool();
    if (cancelled && added)
        rows().removeRow(row);
    return cancelled;
}

void VornResultset::addRow(qint32 row) const
{
    // Rows the backend fetched meanwhile cross first, so both sides count the same rows.
    takeRows();
    JavaCall::takeFailure(); // the outcome is this call's alone
    JavaCall::send(object_, QStringLiteral("addRow:"), {row});
    if (succeeded())
        rows().insertBlankRow(editingOnRow());
}

void VornResultset::removeRow(qint32 row) const
{
    takeRows();
    JavaCall::takeFailure(); // the outcome is this call's alone
    JavaCall::send(object_, QStringLiteral("removeRow:"), {row});
    if (succeeded())
        rows().removeRow(row);
}

void VornResultset::uploadBlobForColumnOnRowFrom(const QString &columnName, qint32 row,
                                                 const QString &path) const
{
    takeRows();
    JavaCall::takeFailure(); // the outcome is this call's alone
    JavaCall::send(object_, QStringLiteral("uploadBlobForColumnOnRowFrom:::"), {columnName, row, path});
    if (succeeded())
        takeWrittenRow(row);
}

void VornResultset::downloadBlobForColumnOnRowTo(const QString &columnName, qint32 row,
                                                 const QString &path) const
{
    takeRows();
    JavaCall::takeFailure(); // the outcome is this call's alone
    JavaCall::send(object_, QStringLiteral("downloadBlobForColumnOnRowTo:::"), {columnName, row, path});
}

void VornResultset::clearBlobForColumnOnRow(const QString &columnName, qint32 row) const
{
    takeRows();
    JavaCall::takeFailure(); // the outcome is this call's alone
    JavaCall::send(object_, QStringLiteral("clearBlobForColumnOnRow::"), {columnName, row});
    if (succeeded())
        takeWrittenRow(row);
}
