// A 100,000-row, 10-column workbook (numbers, dates, text) on PostgreSQL, both ways, each beside
// LibreOffice's headless conversion of the same data in the same run: the table exported to XLSX
// (LibreOffice: the same rows as CSV converted to XLSX), and that workbook imported into a copy of the
// table (LibreOffice: the workbook converted to CSV). Prints the seconds of each (the first run and the
// median of the warm runs), their ratio, and the peak memory of each of our steps at half and at all the
// rows, each step once in a process of its own so that no step inherits what another left (the Java
// heap grows and stays grown). The goal: both faster than LibreOffice, with memory that does not grow
// with the row count beyond the shared strings.
//
// Run from the build tree with the test servers' settings:
//   source $VORN_TEST_STATE/servers.env && build/bin/bench_transfer_xlsx [runs, 3 unless given]
#include "../support/ImportBench.h"
#include "../support/PostgresBench.h"
#include "../support/RowBench.h"
#include "app/SystemTimeZone.h"
#include "bridge/QoJavaBridge.h"
#include "bridge/ThreadController.h"
#include "client/SqlConnectionClient.h"
#include "client/VornExportCursorClient.h"
#include "platform/Bundle.h"
#include "platform/Preferences.h"
#include "platform/UserDefaults.h"
#include "transfer/ImportController.h"
#include "transfer/XLSXExporter.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QUrl>

#include <cstdio>

namespace
{
using namespace RowBench;

const QString source = QStringLiteral("vxb_xlsx");
const QString target = QStringLiteral("vxb_xlsx_copy");

void execute(VornRootClient &root, const QString &sql)
{
    root.sqlConnection()->executeQuery(sql, {});
    if (!root.lastOutcome())
        fail(sql + ": " + root.lastOutcome().errorMessage);
}

void createTable(VornRootClient &root, int rows)
{
    execute(root, "DROP TABLE IF EXISTS " + source);
    execute(root, "DROP TABLE IF EXISTS " + target);
    execute(root, "CREATE TABLE " + source +
                      " AS SELECT g AS n, g * 1.25 AS amount, "
                      "DATE '2000-01-01' + g % 9000 AS day, TIMESTAMP '2019-03-31 00:00' + g * INTERVAL '7 "
                      "minutes' AS at, "
                      "'name ' || g AS name, 'group ' || g % 100 AS grp, md5(g::text) AS hash, "
                      "g % 7 AS weekday, 'constant' AS fixed, 'note ' || g % 1000 AS note "
                      "FROM generate_series(1, " +
                      QString::number(rows) + ") g");
    execute(root, "CREATE TABLE " + target + " AS SELECT * FROM " + source + " WHERE 1=0");
}

// Starts the peak resident memory afresh from what the process holds now.
void resetPeak()
{
    QFile clear("/proc/self/clear_refs");
    if (!clear.open(QIODevice::WriteOnly) || clear.write("5") != 1)
        fail("Cannot reset the peak resident memory");
}

// The peak resident memory of the process since the last reset, in MiB.
double peakMiB()
{
    QFile status("/proc/self/status");
    status.open(QIODevice::ReadOnly);
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    }
    return 0;
}

double exportSeconds(VornRootClient &root, const QString &file)
{
    const QString sql = "SELECT * FROM " + source + " ORDER BY n";
    auto probe = VornExportCursorClient::forQuery(root, sql + " LIMIT 0");
    probe->begin();
    ExportRun run;
    run.options.loadColumns(probe->columnNames(), probe->columnTypes());
    probe->close();
    auto cursor = VornExportCursorClient::forQuery(root, sql);
    run.cursor = cursor.get();
    run.temporaryFile = file;
    run.cancelled = [] { return false; };
    XLSXExporter exporter;
    QElapsedTimer timer;
    timer.start();
    exporter.runForExport(run);
    if (!exporter.errorMessage().isNull())
        fail("export failed: " + exporter.errorMessage());
    return timer.nsecsElapsed() / 1e9;
}

// From choosing the workbook to the last row in the table, as the import assistant goes: detection and
// the preview, then the run.
double importSeconds(const VornRootClientPtr &root, const QString &file, qint64 expected)
{
    execute(*root, "TRUNCATE " + target);
    ImportOwner owner(root, QStringLiteral("IMPORT_BENCH"));
    ImportController controller(root);
    controller.setDelegate(&owner);
    controller.setImportDelegate(&owner);
    controller.setThreadController(std::make_shared<ThreadController>(QoJavaBridge::javaBridge()));
    QElapsedTimer timer;
    timer.start();
    controller.setSelectedFilePath(file);
    controller.setSelectedTable(QString(), target);
    ImportBench::waitUntil([&] { return controller.hadInitialPreview(); });
    // The columns keep their order: each goes into the table column of its name.
    for (const ImportColumnPtr &column : controller.importOptions().import_columns)
        ImportOptions::setMappingOfColumn(*column, column->column_name);
    controller.beginImport();
    ImportBench::waitUntil(
        [&] { return controller.state() >= ImportController::Completed && !root->reserved(); });
    const double seconds = timer.nsecsElapsed() / 1e9;
    controller.endImportController();
    if (controller.state() != ImportController::Completed || controller.rowsImported() != expected)
        fail(QString("import ended in state %1 after %2 of %3 rows: %4 %5")
                 .arg(controller.state())
                 .arg(controller.rowsImported())
                 .arg(expected)
                 .arg(controller.errorMessage(), controller.importResultErrorLog().left(400)));
    return seconds;
}

// One step once in a fresh process (this program with --peak): its peak resident memory, and what the
// process held when the step began.
struct Peak {
    double start = 0;
    double peak = 0;
};

Peak peakInChild(const QString &step, int rows, const QString &file)
{
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(), {"--peak", step, QString::number(rows), file});
    if (!child.waitForFinished(-1) || child.exitCode() != 0)
        fail("The " + step + " step failed in its own process");
    const QStringList figures = QString::fromLatin1(child.readAllStandardOutput()).split(' ');
    if (figures.size() != 2)
        fail("The " + step + " step printed no figures");
    return {figures[0].toDouble(), figures[1].toDouble()};
}

int runPeakStep(const QString &step, int rows, const QString &file)
{
    startBridge();
    VornRootClientPtr root = connectedRoot(database("PostgreSQL"), 0);
    const double start = residentMegabytes();
    resetPeak();
    if (step == QLatin1String("export"))
        exportSeconds(*root, file);
    else
        importSeconds(root, file, rows);
    std::printf("%.1f %.1f", start, peakMiB());
    return 0;
}

double libreOfficeSeconds(const QTemporaryDir &folder, const QString &file, const QString &format)
{
    QElapsedTimer timer;
    timer.start();
    QProcess process;
    process.start("soffice",
                  {"-env:UserInstallation=" + QUrl::fromLocalFile(folder.filePath("profile")).toString(),
                   "--headless", "--norestore", "--convert-to", format, "--outdir", folder.filePath("lo"),
                   file});
    if (!process.waitForFinished(-1) || process.exitCode() != 0)
        fail("LibreOffice failed: " + QString::fromLocal8Bit(process.readAllStandardError()));
    return timer.nsecsElapsed() / 1e9;
}

} // namespace

int main(int argc, char **argv)
{
    // As the program starts.
    SystemTimeZone::nameInEnvironment();
    QApplication app(argc, argv);
    const int runs = argc > 1 ? qMax(1, QString(argv[1]).toInt()) : 3;
    Bundle::setMainBundlePrefix(QCoreApplication::applicationDirPath() + "/..");
    UserDefaults::standard().setObject(QStringLiteral("d-M-yyyy HH:mm:ss.S"),
                                       PreferenceKey::cocoaTimestampDataFormat);
    if (argc == 5 && QByteArray(argv[1]) == "--peak")
        return runPeakStep(QString(argv[2]), QString(argv[3]).toInt(), QString(argv[4]));
    const Database postgres = database("PostgreSQL");
    startBridge();
    VornRootClientPtr root = connectedRoot(postgres, 0);
    QTemporaryDir folder;
    const PostgresBench::Server server;
    std::printf("XLSX of 10 columns (numbers, dates, text) on PostgreSQL; first run and median of %d more\n",
                runs);
    Runs exported, imported;
    for (const int rows : {50000, 100000}) {
        createTable(*root, rows);
        const QString ours = folder.filePath(QString("ours-%1.xlsx").arg(rows));
        Runs exportTimes, importTimes;
        for (int run = 0; run <= runs; ++run) {
            exportTimes.add(exportSeconds(*root, ours));
            importTimes.add(importSeconds(root, ours, rows));
        }
        Runs exportStarts, exportPeaks, importStarts, importPeaks;
        for (int run = 0; run <= runs; ++run) {
            const Peak exportPeak = peakInChild("export", rows, folder.filePath("child.xlsx"));
            exportStarts.add(exportPeak.start);
            exportPeaks.add(exportPeak.peak);
            const Peak importPeak = peakInChild("import", rows, ours);
            importStarts.add(importPeak.start);
            importPeaks.add(importPeak.peak);
        }
        const QString label = QString::number(rows) + " rows ";
        printRow(label + "export (ours)", exportTimes, "s");
        printRow(label + "import (ours)", importTimes, "s");
        printRow(label + "export: resident at start", exportStarts, "MiB");
        printRow(label + "export: peak resident", exportPeaks, "MiB");
        printRow(label + "import: resident at start", importStarts, "MiB");
        printRow(label + "import: peak resident", importPeaks, "MiB");
        exported = exportTimes;
        imported = importTimes;
    }
    const QString csv = folder.filePath("same.csv");
    PostgresBench::psqlTimings(
        server,
        QString("\\copy (SELECT * FROM %1 ORDER BY n) TO '%2' WITH (FORMAT csv, HEADER)\n").arg(source, csv));
    libreOfficeSeconds(folder, csv, "ods"); // starts and warms LibreOffice's profile; not counted
    Runs loExport, loImport;
    for (int run = 0; run <= runs; ++run) {
        loExport.add(libreOfficeSeconds(folder, csv, "xlsx"));
        loImport.add(libreOfficeSeconds(folder, folder.filePath("ours-100000.xlsx"), "csv"));
    }
    printRow("100000 rows CSV to XLSX (LibreOffice)", loExport, "s");
    printRow("100000 rows XLSX to CSV (LibreOffice)", loImport, "s");
    printRow("100000 rows export, ours vs LibreOffice (goal < 1)", exported, "s", &loExport);
    printRow("100000 rows import, ours vs LibreOffice (goal < 1)", imported, "s", &loImport);
    execute(*root, "DROP TABLE IF EXISTS " + source);
    execute(*root, "DROP TABLE IF EXISTS " + target);
    return 0;
}
