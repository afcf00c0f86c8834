// The import of a 1,000,000-row, 5-column CSV file into a table of each database, through the import
// controller as the assistant runs it (file reader, value conversion, backend importer), beside the
// database's own loader of the same file in the same run: sqlite3's .import, psql's \copy and MariaDB's
// LOAD DATA LOCAL. Prints rows per second of each (median of the warm runs) and their ratio; the goal is
// an import at least half as fast as the native loader.
//
// Run from the build tree with the test servers' settings:
//   source $VORN_TEST_STATE/servers.env && build/bin/bench_transfer_import [PostgreSQL|MariaDB|SQLite]
#include "../support/ImportBench.h"
#include "../support/PostgresBench.h"
#include "../support/RowBench.h"
#include "bridge/QoJavaBridge.h"
#include "bridge/ThreadController.h"
#include "client/VornRootClient.h"
#include "transfer/ImportController.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>

namespace
{
using namespace ImportBench;
using namespace RowBench;

constexpr int MeasuredRuns = 3;
const QString importTable = QStringLiteral("vorn_bench_import");

// id, name (some with a comma or a quote), amount, a timestamp with milliseconds and a flag.
void writeSource(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        fail("Cannot write " + path);
    QByteArray text = "id,name,amount,created,flag\n";
    for (int i = 1; i <= tableRows; ++i) {
        const QByteArray name =
            i % 10 == 0 ? "\"name, \"\"" + QByteArray::number(i) + "\"\"\"" : "name " + QByteArray::number(i);
        const int seconds = i % 86400;
        text += QByteArray::number(i) + ',' + name + ',' + QByteArray::number(i / 100.0, 'f', 2) +
                QStringLiteral(",2024-01-01 %1:%2:%3.%4,")
                    .arg(seconds / 3600, 2, 10, QChar('0'))
                    .arg(seconds / 60 % 60, 2, 10, QChar('0'))
                    .arg(seconds % 60, 2, 10, QChar('0'))
                    .arg(i % 1000, 3, 10, QChar('0'))
                    .toLatin1() +
                QByteArray::number(i % 2) + '\n';
        if (text.size() > (1 << 22)) {
            file.write(text);
            text.clear();
        }
    }
    file.write(text);
}

QString createStatement(const QString &type)
{
    const QString stamp = type == "MySQL" ? "DATETIME(3)" : "TIMESTAMP";
    return "CREATE TABLE " + importTable +
           " (id BIGINT PRIMARY KEY, name VARCHAR(40), amount DECIMAL(12, 2), created " + stamp +
           ", flag INTEGER)";
}

void recreateTable(JdbcPeer &peer, const Database &database)
{
    peer.run("DROP TABLE IF EXISTS " + importTable);
    peer.run(createStatement(database.type));
}

qint64 countRows(JdbcPeer &peer)
{
    return peer.firstValue("SELECT count(*) FROM " + importTable).toLongLong();
}

// Seconds the program took, or a failure with its output.
double timedProcess(const QString &program, const QStringList &arguments, const QByteArray &input,
                    const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment())
{
    QProcess process;
    process.setProcessEnvironment(environment);
    QElapsedTimer timer;
    timer.start();
    process.start(program, arguments);
    process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished(600000) || process.exitCode() != 0)
        fail(program + " failed: " + QString::fromUtf8(process.readAllStandardError()));
    return timer.nsecsElapsed() / 1e9;
}

double nativeRate(const Database &database, const QString &source)
{
    double seconds = 0;
    if (database.type == "SQLite") {
        seconds = timedProcess("sqlite3", {database.database},
                               (".import --csv --skip 1 '" + source + "' " + importTable + "\n").toUtf8());
    } else if (database.type == "PostgreSQL") {
        const PostgresBench::Server server;
        const std::vector<double> timings = PostgresBench::psqlTimings(
            server, QString("\\copy %1 FROM '%2' WITH (FORMAT csv, HEADER)\n").arg(importTable, source));
        if (timings.empty())
            fail("psql printed no timing for \\copy");
        seconds = timings.back() / 1000.0;
    } else {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("MYSQL_PWD", database.password);
        const QString load = QString("LOAD DATA LOCAL INFILE '%1' INTO TABLE %2 FIELDS TERMINATED BY ',' "
                                     "OPTIONALLY ENCLOSED BY '\"' LINES TERMINATED BY '\\n' IGNORE 1 LINES")
                                 .arg(source, importTable);
        seconds = timedProcess("mariadb",
                               {"--no-defaults", "--local-infile=1", "-h", database.server, "-P",
                                database.port, "-u", database.user, database.database},
                               load.toUtf8(), environment);
    }
    return tableRows / seconds;
}

double vornRate(const VornRootClientPtr &root, const QString &source)
{
    ImportOwner owner(root, QStringLiteral("IMPORT_BENCH"));
    ImportController controller(root);
    controller.setDelegate(&owner);
    controller.setImportDelegate(&owner);
    controller.setThreadController(std::make_shared<ThreadController>(QoJavaBridge::javaBridge()));
    controller.setSelectedFilePath(source);
    controller.setSelectedTable(QString(), importTable);
    waitUntil([&] { return controller.hadInitialPreview(); });
    QElapsedTimer timer;
    timer.start();
    controller.beginImport();
    waitUntil([&] { return controller.state() >= ImportController::Completed && !root->reserved(); });
    const double seconds = timer.nsecsElapsed() / 1e9;
    if (controller.state() != ImportController::Completed || controller.rowsImported() != tableRows)
        fail(QString("import ended in state %1 after %2 rows: %3 %4")
                 .arg(controller.state())
                 .arg(controller.rowsImported())
                 .arg(controller.errorMessage(), controller.importResultErrorLog().left(400)));
    return tableRows / seconds;
}

int run(const Database &given)
{
    QTemporaryDir folder;
    // A SQLite file of this run's own, not the row benchmarks' shared one.
    Database database = given;
    if (database.type == "SQLite") {
        database.database = folder.filePath("import.sqlite");
        database.jdbcUrl = "jdbc:sqlite:" + database.database;
    }
    const QString source = folder.filePath("source.csv");
    writeSource(source);
    // The peer first: it creates the SQLite file the root then opens.
    JdbcPeer peer(database);
    const VornRootClientPtr root = connectedRoot(database, 0);
    std::vector<double> imports;
    std::vector<double> natives;
    // The first of each warms up (the JIT, the server's cache) and is not counted.
    for (int i = 0; i <= MeasuredRuns; ++i) {
        recreateTable(peer, database);
        const double native = nativeRate(database, source);
        if (countRows(peer) != tableRows)
            fail("the native loader did not load every row");
        recreateTable(peer, database);
        const double imported = vornRate(root, source);
        if (countRows(peer) != tableRows)
            fail("the import did not write every row");
        std::printf("%s run %d: import %.0f rows/s, native %.0f rows/s\n", qPrintable(database.name), i,
                    imported, native);
        std::fflush(stdout);
        if (i > 0) {
            imports.push_back(imported);
            natives.push_back(native);
        }
    }
    peer.run("DROP TABLE IF EXISTS " + importTable);
    const double importMedian = PostgresBench::median(imports);
    const double nativeMedian = PostgresBench::median(natives);
    std::printf(
        "%s: CSV import of %d rows %.0f rows/s; native loader %.0f rows/s; ratio %.2f (goal >= 0.5)\n",
        qPrintable(database.name), tableRows, importMedian, nativeMedian, importMedian / nativeMedian);
    std::fflush(stdout);
    return 0;
}
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    return forEachDatabase(argc, argv, run);
}
