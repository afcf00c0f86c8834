// A 100,000-row, 10-column workbook (numbers, dates, text) on PostgreSQL, both ways, each beside
// LibreOffice's headless conversion of the same data in the same run: the table exported to XLSX
// (LibreOffice: the same rows as CSV converted to XLSX), and that workbook imported into a copy of the
// table (LibreOffice: the workbook converted to CSV). Prints the seconds of each, their ratio, and the
// peak memory after each of our steps at half and at all the rows. The goal: both faster than
// LibreOffice, with memory that does not grow with the row count beyond the shared strings.
//
// Run from the build tree with the test servers' settings:
//   source $VORN_TEST_STATE/servers.env && build/bin/bench_transfer_xlsx
#include "../support/PostgresBench.h"
#include "../support/RowBench.h"
#include "client/SqlConnectionClient.h"
#include "client/VornExportCursorClient.h"
#include "client/VornImporterClient.h"
#include "platform/Bundle.h"
#include "platform/Preferences.h"
#include "platform/UserDefaults.h"
#include "transfer/XLSXExporter.h"
#include "transfer/XLSXImporter.h"
#include "transfer/XLSXUnpackCache.h"

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

// The peak resident memory of the process so far, in MiB.
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

double importSeconds(VornRootClient &root, const QString &file, qint64 expected)
{
    execute(root, "TRUNCATE " + target);
    QElapsedTimer timer;
    timer.start();
    auto cache = std::make_shared<XLSXUnpackCache>();
    ImportOptions options;
    options.reset();
    {
        XLSXImporter detector(options, file, cache);
        detector.autoDetect();
        options = detector.importOptions();
    }
    XLSXImporter reader(options, file, cache);
    if (!reader.openForImport(false))
        fail("import open failed: " + reader.error());
    ImportOptions &read = reader.importOptions();
    const std::shared_ptr<VornImporterClient> importer = root.importer();
    QList<ImportColumnTarget> columns;
    for (const ImportColumnPtr &column : read.import_columns)
        columns.append({column->column_name, QString()});
    if (!importer->prepareImport(QString(), target, columns))
        fail("prepareImport: " + root.lastErrorMessage());
    qint64 rows = 0;
    while (const std::optional<ImportRow> row = reader.readNextRow()) {
        QVariantMap values;
        for (const ImportColumnPtr &column : read.import_columns) {
            const ImportValue value = read.convertColumnValue(row->value(column->column_name), *column);
            if (value.kind != ImportValue::Missing && value.kind != ImportValue::Invalid)
                values.insert(column->column_name, value.backendText());
        }
        importer->addRow(values);
        ++rows;
    }
    importer->closeImport();
    if (rows != expected)
        fail(QString("imported %1 rows of %2").arg(rows).arg(expected));
    return timer.nsecsElapsed() / 1e9;
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
    QApplication app(argc, argv);
    Bundle::setMainBundlePrefix(QCoreApplication::applicationDirPath() + "/..");
    UserDefaults::standard().setObject(QStringLiteral("d-M-yyyy HH:mm:ss.S"),
                                       PreferenceKey::cocoaTimestampDataFormat);
    const Database postgres = database("PostgreSQL");
    startBridge();
    VornRootClientPtr root = connectedRoot(postgres, 0);
    QTemporaryDir folder;
    const PostgresBench::Server server;
    for (const int rows : {50000, 100000}) {
        createTable(*root, rows);
        const QString ours = folder.filePath(QString("ours-%1.xlsx").arg(rows));
        const double exported = exportSeconds(*root, ours);
        const double exportPeak = peakMiB();
        const double imported = importSeconds(*root, ours, rows);
        const double importPeak = peakMiB();
        std::printf("%d rows: export %.2f s (peak %.0f MiB), import %.2f s (peak %.0f MiB)\n", rows, exported,
                    exportPeak, imported, importPeak);
        if (rows < 100000)
            continue;
        const QString csv = folder.filePath("same.csv");
        PostgresBench::psqlTimings(
            server, QString("\\copy (SELECT * FROM %1 ORDER BY n) TO '%2' WITH (FORMAT csv, HEADER)\n")
                        .arg(source, csv));
        libreOfficeSeconds(folder, csv, "ods"); // starts and warms LibreOffice's profile; not counted
        const double loExport = libreOfficeSeconds(folder, csv, "xlsx");
        const double loImport = libreOfficeSeconds(folder, ours, "csv");
        std::printf("LibreOffice: CSV to XLSX %.2f s, XLSX to CSV %.2f s\n", loExport, loImport);
        std::printf("ratio (ours / LibreOffice, goal < 1): export %.2f, import %.2f\n", exported / loExport,
                    imported / loImport);
    }
    execute(*root, "DROP TABLE IF EXISTS " + source);
    execute(*root, "DROP TABLE IF EXISTS " + target);
    return 0;
}
