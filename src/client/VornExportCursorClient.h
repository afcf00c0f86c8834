#pragma once

#include "bridge/QoJavaObject.h"
#include "client/PackedRows.h"
#include "client/RowMemory.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <memory>

class VornResultset;
class VornRootClient;

// The backend's export cursor ("nl/dalmerik/vorn/VornExportCursor"): the rows of one query, streamed for
// an export in batches that cross packed, as the grid's rows do, and are unpacked into flat arrays here.
// The cursor keeps its first failure, so an export that lost rows on the way cannot end as a success.
// Use it on one worker thread that may call Java (the probe for column names may run on the main thread).
class VornExportCursorClient
{
public:
    // A cursor over the query's rows on the root's connection; null when the backend refused it.
    static std::unique_ptr<VornExportCursorClient> forQuery(const VornRootClient &root, const QString &sql);
    // A cursor over all rows of the result set (its statement runs again); null when refused.
    static std::unique_ptr<VornExportCursorClient> forResultset(const VornResultset &resultset);

    explicit VornExportCursorClient(QoJavaObjectPtr cursor);

    // Runs the query; false when it failed (see failure()).
    bool begin();
    // The next batch of rows, display values as in the grid; null when there are no more or a call failed.
    std::shared_ptr<const PackedRows> nextRows();
    // As nextRows, each cell the SQL literal of its value (NULL cells stay NULL).
    std::shared_ptr<const PackedRows> nextSqlValues();
    // Ends the query; harmless when repeated.
    void close();

    QStringList columnNames() const;
    // Column name to type code ("S", "N", "D", "B", "C", "O").
    QHash<QString, QString> columnTypes() const;
    QString safeTableIdentifier(const QString &name) const;
    QString safeColumnIdentifier(const QString &name) const;

    // The first failure of the cursor, of the bridge or of a batch that could not be read; null when none.
    QString failure() const;

private:
    std::shared_ptr<const PackedRows> unpack(const char *selector);

    QoJavaObjectPtr cursor_;
    RowMemory memory_;
    int columnCount_ = -1;
    mutable QString localFailure_;
};
