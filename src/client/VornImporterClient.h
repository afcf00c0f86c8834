#pragma once

#include "bridge/QoJavaObject.h"
#include "client/ImportRowPacker.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariantMap>

// A column of an import's target table: its name and value type code ("S", "N", "D").
struct ImportTargetColumn {
    QString name;
    QString type;
};

// What an import writes into one target column: the column, and for a sequence column the sequence
// whose next value it takes.
struct ImportColumnTarget {
    QString name;
    QString sequenceName;
};

// A row the database refused: its number in the run (from 1), the database's reason and the values
// as they were given.
struct RefusedImportRow {
    qint64 row = 0;
    QString message;
    QVariantMap values;
    // For the row a run stopped at: the rows after it that were taken but not written.
    qint64 rowsNotWritten = 0;
};

// The root's importer ("nl/dalmerik/vorn/VornImporter"), which writes rows into a table in batches.
// Calls come from the import thread inside the root reservation; the outcome of each is the root's
// lastOutcome(). Virtual for the fake.
class VornImporterClient
{
public:
    explicit VornImporterClient(QoJavaObjectPtr importer);
    VornImporterClient(const VornImporterClient &) = delete;
    VornImporterClient &operator=(const VornImporterClient &) = delete;
    virtual ~VornImporterClient();

    virtual QList<ImportTargetColumn> columnsOfTable(const QString &schema, const QString &table);
    virtual bool prepareImport(const QString &schema, const QString &table,
                               const QList<ImportColumnTarget> &columns);
    virtual void setStopOnError(bool stop);
    // Target column to value text; a column left out is NULL.
    virtual bool addRow(const QVariantMap &row);
    // The packed rows, one value per prepared column in its order; the number taken (fewer once the run
    // stopped at a refused row; -1 when the call failed, see the root's lastOutcome()). The packer is
    // emptied.
    virtual int addRows(ImportRowPacker &rows);
    virtual bool closeImport();
    virtual QList<RefusedImportRow> takeRefusedRows();
    virtual QString qualifiedTableNameFor(const QString &schema, const QString &name);
    virtual QString qualifiedColumnName(const QString &name);
    // The value as an SQL literal for a column of the type code; "NULL" for a null value.
    virtual QString safeColumnValue(const QString &value, const QString &type);
    virtual bool supportsSequences();
    virtual QStringList sequences(const QString &schema);
    virtual QString nextValueExpression(const QString &schema, const QString &sequence);

protected:
    VornImporterClient();

private:
    QoJavaObjectPtr importer_;
};
