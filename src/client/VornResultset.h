#pragma once

#include "bridge/QoJavaObject.h"

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantMap>

#include <memory>
#include <mutex>

class VornResultsetMetaData;

// The backend's result set ("nl/dalmerik/vorn/VornResultset") of one statement or object: the rows
// fetched so far, 1-based, each a Hashtable keyed by the backend's unique column names with SQL NULL
// left out. Column names and labels do not change for the life of a result set, so they are read once.
// Calls go to Java: use it on a thread that may call Java.
class VornResultset
{
public:
    explicit VornResultset(QoJavaObjectPtr object);
    // Null for a Java null.
    static std::shared_ptr<VornResultset> fromVariant(const QVariant &value);

    QoJavaObjectPtr object() const { return object_; }

    qint32 rowCount() const;
    bool fullyLoaded() const;
    // Fetches the next portion of rows; the outcome is on the root.
    void preload() const;
    // The row's Hashtable; null when the row is not fetched.
    QoJavaObjectPtr getRow(qint32 row) const;
    // The cells of a row by column name, SQL NULL left out; empty when the row is not fetched.
    QVariantMap rowValues(qint32 row) const;
    // The cell of a row fetched with getRow: a string, a number, an invalid QVariant for NULL or a
    // missing row, or a cell wrapper (see VornCellWrapper).
    static QVariant cell(const QoJavaObjectPtr &row, const QString &columnName);

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

private:
    QoJavaObjectPtr object_;
    mutable std::once_flag columnsRead_;
    mutable QStringList columnNames_;
    mutable QStringList columnLabels_;
};

using VornResultsetPtr = std::shared_ptr<VornResultset>;
