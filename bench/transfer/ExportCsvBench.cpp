// The CSV export of a 1,000,000-row, 5-column table on PostgreSQL (the row benchmarks' table), from the
// export cursor through the CSV exporter to a file, beside psql's \copy of the same rows to a CSV file,
// measured in the same run, round after round: rows per second of each (median of the warm runs) and the
// median of the rounds' ratios. The goal is an export at least half as fast as \copy.
//
// Run from the build tree with the test servers' settings:
//   source $VORN_TEST_STATE/servers.env && build/bin/bench_transfer_export
#include "../support/PostgresBench.h"
#include "../support/RowBench.h"
#include "../support/SqlScriptBench.h"
#include "client/VornExportCursorClient.h"
#include "transfer/CSVExporter.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>

namespace
{
using namespace RowBench;

constexpr int MeasuredRuns = 5;

double exportRate(VornRootClient &root, const QString &file)
{
    auto cursor = VornExportCursorClient::forQuery(root, "SELECT * FROM " + table);
    if (!cursor)
        fail("no export cursor");
    ExportRun run;
    run.cursor = cursor.get();
    run.temporaryFile = file;
    run.cancelled = [] { return false; };
    // The table's own column names, whatever the row benchmarks call them.
    auto probe = VornExportCursorClient::forQuery(root, "SELECT * FROM " + table + " WHERE 1=0");
    probe->begin();
    run.options.loadColumns(probe->columnNames(), probe->columnTypes());
    probe->close();
    CSVExporter exporter;
    QElapsedTimer timer;
    timer.start();
    exporter.runForExport(run);
    const double seconds = timer.nsecsElapsed() / 1e9;
    if (!exporter.errorMessage().isNull() || exporter.processed() != tableRows)
        fail(QString("export failed after %1 rows: %2")
                 .arg(exporter.processed())
                 .arg(exporter.errorMessage()));
    return tableRows / seconds;
}

double copyRate(const PostgresBench::Server &server, const QString &file)
{
    const std::vector<double> timings = PostgresBench::psqlTimings(
        server, QString("\\copy (SELECT * FROM %1) TO '%2' WITH (FORMAT csv, HEADER)\n").arg(table, file));
    if (timings.empty())
        fail("psql printed no timing for \\copy");
    return tableRows / (timings.back() / 1000.0);
}
} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const Database postgres = database("PostgreSQL");
    startBridge();
    {
        JdbcPeer peer(postgres);
        peer.ensureTable();
    }
    VornRootClientPtr root = connectedRoot(postgres, 0);
    QTemporaryDir folder;
    const PostgresBench::Server server;
    // The first round warms up (the JIT, the server's cache); then export and \copy take turns, so each
    // round's ratio compares runs made under the same load.
    Runs exports, copies;
    measureInterleaved(0, MeasuredRuns + 1,
                       {{&exports, [&] { return exportRate(*root, folder.filePath("export.csv")); }},
                        {&copies, [&] { return copyRate(server, folder.filePath("copy.csv")); }}});
    std::printf(
        "\nPostgreSQL: CSV export of %d rows x 5 columns beside psql's \\copy (%s)\n"
        "  (cold: the first round; warm: median of %d rounds; vs floor: median of the rounds' ratios)\n",
        tableRows, qPrintable(SqlScriptBench::machineLoad()), MeasuredRuns);
    std::printf("  %-52s %12s %12s %-8s %s\n", "path", "cold", "warm median", "unit", "vs floor");
    printRow("psql \\copy (SELECT ...) TO file, CSV (floor)", copies, "rows/s");
    printRow("export cursor through the CSV exporter to a file", exports, "rows/s", &copies);
    std::printf("  goal: at least 0.5 of \\copy\n");
    std::printf("file sizes: export %lld bytes, \\copy %lld bytes\n",
                QFile(folder.filePath("export.csv")).size(), QFile(folder.filePath("copy.csv")).size());
    return 0;
}
