// Reads a 1,000,000-row, 5-column table (id, name, amount, timestamp, flag) through the backend's result
// set client, every cell as text, the way the result grid's model reads it, on PostgreSQL, MariaDB and
// SQLite; and beside it, in the same run and the same VM, the floors of a plain JDBC peer: JDBC alone, and
// JDBC with its rows handed across JNI in batches of strings. Prints, per database, the time to the first
// 100 rows and the rows per second of the whole table: the cold run, the median of the warm runs, and the
// ratio to the floor.
//
// Run from the build tree with the test servers' settings (each database runs in a process of its own):
//   source $VORN_TEST_STATE/servers.env && build/bin/bench_backend_read [PostgreSQL|MariaDB|SQLite]
#include "../support/RowBench.h"
#include "client/SqlConnectionClient.h"
#include "client/VornResultset.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdio>

namespace
{
using namespace RowBench;

// Reads every cell of the rows into text, as the grid's model hands them out.
qint64 readCells(const VornResultset &rows, qint32 from, qint32 to)
{
    qint64 characters = 0;
    for (qint32 row = from; row <= to; ++row) {
        const std::optional<VornRow> fetched = rows.getRow(row);
        if (!fetched)
            fail(QString("Row %1 is missing").arg(row));
        for (int column = 0; column < fetched->columnCount(); ++column)
            characters += fetched->cell(column).string().size();
    }
    return characters;
}

VornResultsetPtr execute(const VornRootClient &root, const QString &sql)
{
    if (!root.sqlConnection()->executeQuery(sql, {}))
        fail(sql + ": " + root.lastOutcome().errorMessage);
    return root.resultset();
}

// Drops the result and waits until its cursor is closed, outside any timing.
void clear(VornRootClient &root)
{
    root.clearResultset();
    execute(root, "SELECT 1");
    root.clearResultset();
}

double firstRowsMilliseconds(VornRootClient &root)
{
    QElapsedTimer timer;
    timer.start();
    const VornResultsetPtr rows = execute(root, "SELECT * FROM " + table);
    if (rows->rowCount() < 100)
        fail("The first portion holds fewer than 100 rows");
    readCells(*rows, 1, 100);
    const double elapsed = double(timer.nsecsElapsed()) / 1e6;
    clear(root);
    return elapsed;
}

double fullReadRate(VornRootClient &root)
{
    QElapsedTimer timer;
    timer.start();
    const VornResultsetPtr rows = execute(root, "SELECT * FROM " + table);
    qint32 read = 0;
    for (;;) {
        const qint32 count = rows->rowCount();
        readCells(*rows, read + 1, count);
        read = count;
        if (rows->fullyLoaded() && rows->rowCount() == read)
            break;
        rows->preload();
        const BackendOutcome outcome = root.lastOutcome();
        if (!outcome)
            fail("preload: " + outcome.errorMessage);
    }
    const double elapsed = double(timer.nsecsElapsed()) / 1e9;
    if (read != tableRows)
        fail(QString("Read %1 rows instead of %2").arg(read).arg(tableRows));
    clear(root);
    return tableRows / elapsed;
}

int run(const Database &database)
{
    JdbcPeer peer(database);
    peer.ensureTable();
    const VornRootClientPtr root = connectedRoot(database, 0);

    Runs jdbcFirst, backendFirst, jdbcAll, jniBatches, backendAll;
    jdbcFirst.add(peer.firstRowsMilliseconds());
    backendFirst.add(firstRowsMilliseconds(*root));
    for (int run = 0; run <= fullReadRuns; ++run) {
        jdbcAll.add(peer.readAllRate());
        jniBatches.add(peer.batchedJniRate());
        backendAll.add(fullReadRate(*root));
    }
    measureInterleaved(firstRowsWarmUp, firstRowsRuns,
                       {{&jdbcFirst, [&] { return peer.firstRowsMilliseconds(); }},
                        {&backendFirst, [&] { return firstRowsMilliseconds(*root); }}});
    root->endConnection();

    printHeader(QString("%1: %2 rows x 5 columns, row limit lifted").arg(database.name).arg(tableRows));
    printRow("JDBC, fetch size 100: first 100 rows", jdbcFirst, "ms");
    printRow("backend: statement + first 100 rows as text", backendFirst, "ms", &jdbcFirst);
    printRow("JDBC alone, getString", jdbcAll, "rows/s");
    printRow("JDBC, then batches of String[] across JNI (floor)", jniBatches, "rows/s");
    printRow("backend: portions across, every cell as text", backendAll, "rows/s", &jniBatches);
    return 0;
}
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    return forEachDatabase(argc, argv, run);
}
