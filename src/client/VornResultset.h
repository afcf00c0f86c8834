#pragma once

#include "bridge/QoJavaObject.h"
#include "client/FetchedRows.h"
#include "client/VornRow.h"

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantMap>

#include <memory>
#include <mutex>
#include <optional>

class VornResultsetMetaData;

// The backend's result set ("nl/dalmerik/vorn/VornResultset") of one statement or object. The rows the
// backend fetches cross to this side a portion at a time and are kept here (FetchedRows): rows are read
// without calling Java, 1-based. Column names and labels do not change for the life of a result set, so
// they are read once. One client per backend result set (the root client hands out the same one), since
// rows cross only once. Other calls go to Java: use it on a thread that may call Java.
class VornResultset
{
public:
    explicit VornResultset(QoJavaObjectPtr object);

    QoJavaObjectPtr object() const { return object_; }

    // The rows fetched so far; rows the backend fetched meanwhile cross first.
    qint32 rowCount() const;
    bool fullyLoaded() const;
    // The row limit ended the result while the database had more rows.
    bool stoppedAtRowLimit() const;
    // Fetches the next portion of rows and takes it over; the outcome is on the root (a portion that
    // cannot be read is a failure of the calling thread, see JavaCall).
    void preload() const;
    // The row; none when it has not been fetched.
    std::optional<VornRow> getRow(qint32 row) const;
    // The cells of a row by column name as text, character large objects by their text; SQL NULL and
    // binary values (which have no text) left out. Empty when the row is not fetched.
    QVariantMap rowValues(qint32 row) const;
    // The column with that name (0-based); -1 when there is none. The guess, where the column should be,
    // is checked (see FetchedRows).
    int columnIndex(const QString &columnName, int guess = -1) const;

    QStringList columnNames() const;
    QStringList columnLabels() const;
    QString tableName() const;
    QString resultSetDescription() const;
    QString selectStatement() const;
    bool readOnly() const;
    QString readOnlyReason() const;
    QStringList searchableColumnNames() const;
    // "S", "N", "D", "B" (binary) or another code; null for an unknown column.
    QString primaryColumnTypeForColumn(const QString &columnName) const;
    VornResultsetMetaData resultsetMetaData() const;

    // Conditions on a column as SQL text, names quoted and values written as the database's literals;
    // null when the condition cannot be written.
    QString queryPartForColumnValueAndOperator(const QString &columnName, const QString &value,
                                               const QString &operatorCode) const;
    // Equal to the value (a null value: IS NULL); negated when asked.
    QString queryPartForColumnAndValue(const QString &columnName, const QString &value, bool negative) const;
    QString inQueryForColumnAndValues(const QString &columnName, const QStringList &values,
                                      bool negative) const;

    // Editing the rows of a table by primary key: one row at a time, its values kept by the backend until
    // the row ends. The rows kept here follow every change (see FetchedRows). The outcome of the calls
    // that write is on the root (lastActionSuccessful, lastErrorMessage).
    // The columns of the table's primary key; empty for a result that is not editable.
    QStringList primaryKeyColumnNames() const;
    bool editing() const;
    bool adding() const;
    bool hasADirtyEdit() const;
    // The row being edited; -1 when none.
    qint32 editingOnRow() const;
    // Starts editing the row (or allows it, on the row being edited); binary columns are not typed into.
    bool canStartEditing(const QString &columnName, qint32 row) const;
    bool canStartEditingRow(qint32 row) const;
    // A null value is SQL NULL.
    void setValueForColumnOnRow(const QString &columnName, qint32 row, const QString &value) const;
    // Writes the row being edited and shows it as the database now holds it; the edit stays open when
    // the database refuses it.
    void canEndEditing(qint32 row) const;
    // Drops the edit; a new row goes. Whether a row was being edited.
    bool cancel() const;
    // An empty row before the row, edited from now on.
    void addRow(qint32 row) const;
    // Deletes the row in the database and here.
    void removeRow(qint32 row) const;
    void uploadBlobForColumnOnRowFrom(const QString &columnName, qint32 row, const QString &path) const;
    void downloadBlobForColumnOnRowTo(const QString &columnName, qint32 row, const QString &path) const;
    void clearBlobForColumnOnRow(const QString &columnName, qint32 row) const;

private:
    // The last write succeeded, by the root's outcome and the bridge's.
    bool succeeded() const;
    // Shows the row the backend read back after a write.
    void takeWrittenRow(qint32 row) const;
    FetchedRows &rows() const;
    // Takes over the rows the backend has fetched since the last take.
    void takeRows() const;

    QoJavaObjectPtr object_;
    mutable std::once_flag columnsRead_;
    mutable QStringList columnLabels_;
    mutable std::unique_ptr<FetchedRows> rows_;
    // Portions cross one at a time, so that they arrive in order.
    mutable std::mutex takeMutex_;
};

using VornResultsetPtr = std::shared_ptr<VornResultset>;
