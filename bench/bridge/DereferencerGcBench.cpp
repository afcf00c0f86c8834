// What the de-referencer's System.gc() after each pass costs while rows are read across the bridge.
// A SQLite table (200,000 rows unless given) is read three times through the backend the way the
// result grid reads it (executeQuery::, preload, then getRow: converted to a dictionary per row: two
// proxies released per row), with the de-referencer running without gc (the floor) and with gc.
// Each run is a fresh process, so that its memory figures are its own; the modes alternate and the
// median of the runs is shown. Prints rows per second, the process's resident memory and Java heap
// in use while reading, the process's CPU time per row, and the ratios with gc / without gc.
//
// Run from the build tree: build/bin/bench_bridge_dereferencer_gc [runs per mode, default 3] [table rows]
#include "bridge/JavaUtils.h"
#include "bridge/QoJavaBridge.h"
#include "bridge/QoJavaClass.h"
#include "bridge/QoJavaObject.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <sys/resource.h>
#include <thread>
#include <vector>

namespace
{
int tableRows = 200000; // the second argument changes it
constexpr int readsPerRun = 3;
const QString table = QStringLiteral("bench_rows");

[[noreturn]] void fail(const QString &message)
{
    std::fprintf(stderr, "%s\n", qPrintable(message));
    std::exit(1);
}

QoJavaObjectPtr connectedRoot(const QString &databasePath)
{
    QoJavaObjectPtr root = QoJavaBridge::javaBridge()->instanceOfObject("nl/dalmerik/vorn/VornRoot");
    if (!root)
        fail("The Java VM did not start: run from the build tree.");
    root->call("initRoot:::::::", {QString(), "dd-MM-yyyy HH:mm:ss.S", 1, 0, 1, 0, 0});
    root->call("startNewConnection:::::::::",
               {"", "", databasePath, "", "", "SQLite", "Vorn benchmark", 10, 1});
    if (!root->call("lastActionSuccessful").toBool())
        fail("Cannot open " + databasePath + ": " + root->call("lastErrorMessage").toString());
    return root;
}

void execute(const QoJavaObjectPtr &root, const QString &sql)
{
    const QoJavaObjectPtr sqlConnection = root->call("sqlConnection").value<QoJavaObjectPtr>();
    sqlConnection->call("executeQuery::", {sql, QVariant::fromValue(JavaUtils::vectorFromArray({}))});
    if (!root->call("lastActionSuccessful").toBool())
        fail(sql + ": " + root->call("lastErrorMessage").toString());
}

void fillTable(const QString &databasePath)
{
    QFile(databasePath).open(QIODevice::WriteOnly); // the backend opens only existing files
    const QoJavaObjectPtr root = connectedRoot(databasePath);
    execute(root, "CREATE TABLE " + table +
                      " (id INTEGER PRIMARY KEY, name TEXT, amount REAL, created TEXT, flag INTEGER)");
    execute(root, QString("INSERT INTO %1 WITH RECURSIVE g(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM g "
                          "WHERE x < %2) SELECT x, 'name ' || x, x / 100.0, "
                          "datetime('2024-01-01', '+' || x || ' seconds'), x % 2 FROM g")
                      .arg(table)
                      .arg(tableRows));
    root->call("endConnection");
}

// Every row of the table, each converted to a dictionary; the number of rows read.
int readAllRows(const QoJavaObjectPtr &root)
{
    execute(root, "SELECT * FROM " + table);
    const QoJavaObjectPtr rows = root->call("resultset").value<QoJavaObjectPtr>();
    int read = 0;
    for (;;) {
        const int count = rows->call("rowCount").toInt();
        for (; read < count; ++read)
            JavaUtils::dictionaryFromHashtable(rows->call("getRow:", {read + 1}).value<QoJavaObjectPtr>());
        if (rows->call("fullyLoaded").toBool())
            break;
        rows->call("preload");
    }
    root->call("clearResultset");
    return read;
}

qint64 residentKilobytes()
{
    QFile status("/proc/self/status");
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    }
    return 0;
}

// User and system time of the whole process (every Java thread, the collector's included).
double processCpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Samples the process's resident memory and the Java heap in use every 100 ms while it lives.
class MemorySampler
{
public:
    MemorySampler()
        : thread_([this] {
              QoJavaBridge *bridge = QoJavaBridge::javaBridge();
              bridge->attachNativeThread(QStringLiteral("MemorySampler"));
              const QoJavaObjectPtr runtime = bridge->classForName("java/lang/Runtime")
                                                  ->callStatic("getRuntime")
                                                  .value<QoJavaObjectPtr>();
              while (!stop_) {
                  const qint64 heapUsed =
                      runtime->call("totalMemory").toLongLong() - runtime->call("freeMemory").toLongLong();
                  peakHeapKilobytes = std::max(peakHeapKilobytes.load(), heapUsed / 1024);
                  const qint64 resident = residentKilobytes();
                  peakResidentKilobytes = std::max(peakResidentKilobytes.load(), resident);
                  residentSum += resident;
                  ++samples;
                  QThread::msleep(100);
              }
              bridge->removeNativeThread();
          })
    {
    }
    ~MemorySampler() { stop(); }
    void stop()
    {
        stop_ = true;
        if (thread_.joinable())
            thread_.join();
    }

    std::atomic<qint64> peakResidentKilobytes{0};
    std::atomic<qint64> peakHeapKilobytes{0};
    std::atomic<qint64> residentSum{0};
    std::atomic<qint64> samples{0};

private:
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

struct RunResult {
    double rowsPerSecond = 0;
    double peakResidentMb = 0;
    double meanResidentMb = 0;
    double peakHeapMb = 0;
    double cpuMicrosecondsPerRow = 0;
    double gcRequests = 0;
};

// One run in this process: warm up, wait for the de-referencer's passes, then read and measure.
void runAndPrint(const QString &databasePath, bool requestGc)
{
    QoJavaBridge *bridge = QoJavaBridge::javaBridge();
    bridge->setDereferencerRequestsGc(requestGc);
    const QoJavaObjectPtr root = connectedRoot(databasePath);
    readAllRows(root);
    // The de-referencer's first pass comes ten seconds after the VM started.
    QDeadlineTimer deadline(60000);
    while (bridge->dereferenceStatistics().passes == 0 && !deadline.hasExpired())
        QThread::msleep(100);
    if (bridge->dereferenceStatistics().passes == 0)
        fail("The de-referencer made no pass.");

    const auto before = bridge->dereferenceStatistics();
    MemorySampler sampler;
    const double cpuBefore = processCpuSeconds();
    QElapsedTimer timer;
    timer.start();
    qint64 rows = 0;
    for (int read = 0; read < readsPerRun; ++read)
        rows += readAllRows(root);
    const double seconds = timer.nsecsElapsed() / 1e9;
    const double cpuSeconds = processCpuSeconds() - cpuBefore;
    sampler.stop();
    if (rows != qint64(tableRows) * readsPerRun)
        fail(QString("Read %1 rows instead of %2").arg(rows).arg(qint64(tableRows) * readsPerRun));
    const auto after = bridge->dereferenceStatistics();
    std::printf("RESULT %.1f %.1f %.1f %.1f %.3f %llu\n", rows / seconds,
                sampler.peakResidentKilobytes / 1024.0,
                sampler.residentSum / 1024.0 / std::max<qint64>(1, sampler.samples),
                sampler.peakHeapKilobytes / 1024.0, cpuSeconds * 1e6 / rows,
                static_cast<unsigned long long>(after.gcRequests - before.gcRequests));
    root->call("endConnection");
}

RunResult runInChild(const QString &databasePath, bool requestGc)
{
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(),
                {"--run", databasePath, requestGc ? QStringLiteral("gc") : QStringLiteral("no-gc"),
                 QString::number(tableRows)});
    if (!child.waitForFinished(900000) || child.exitCode() != 0)
        fail("A benchmark run failed.");
    for (const QByteArray &line : child.readAllStandardOutput().split('\n')) {
        if (!line.startsWith("RESULT "))
            continue;
        const QList<QByteArray> f = line.split(' ');
        return {f.value(1).toDouble(), f.value(2).toDouble(), f.value(3).toDouble(),
                f.value(4).toDouble(), f.value(5).toDouble(), f.value(6).toDouble()};
    }
    fail("A benchmark run printed no result.");
}

RunResult median(std::vector<RunResult> runs)
{
    auto middle = [&](double RunResult::*field) {
        std::vector<double> values;
        for (const RunResult &run : runs)
            values.push_back(run.*field);
        std::sort(values.begin(), values.end());
        return values[values.size() / 2];
    };
    return {middle(&RunResult::rowsPerSecond),         middle(&RunResult::peakResidentMb),
            middle(&RunResult::meanResidentMb),        middle(&RunResult::peakHeapMb),
            middle(&RunResult::cpuMicrosecondsPerRow), middle(&RunResult::gcRequests)};
}

void printRow(const char *mode, const RunResult &r)
{
    std::printf("  %-20s %10.0f %12.1f %12.1f %13.1f %12.1f %9.0f\n", mode, r.rowsPerSecond, r.peakResidentMb,
                r.meanResidentMb, r.peakHeapMb, r.cpuMicrosecondsPerRow, r.gcRequests);
}
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    if (arguments.value(1) == "--run") {
        tableRows = arguments.value(4).toInt();
        runAndPrint(arguments.value(2), arguments.value(3) == "gc");
        return 0;
    }
    const int runsPerMode = std::max(1, arguments.value(1, "3").toInt());
    tableRows = std::max(1, arguments.value(2, QString::number(tableRows)).toInt());
    QTemporaryDir folder;
    if (!folder.isValid())
        fail("No temporary folder.");
    const QString databasePath = folder.filePath("rows.db");
    fillTable(databasePath);

    std::vector<RunResult> withoutGc, withGc;
    for (int run = 0; run < runsPerMode; ++run) {
        std::printf("Run %d of %d\n", run + 1, runsPerMode);
        std::fflush(stdout);
        // The order alternates, so that a drift in the machine's load favours neither.
        for (const bool requestGc : {run % 2 == 1, run % 2 == 0})
            (requestGc ? withGc : withoutGc).push_back(runInChild(databasePath, requestGc));
        std::printf("  without gc %8.0f rows/s, with gc %8.0f rows/s\n", withoutGc.back().rowsPerSecond,
                    withGc.back().rowsPerSecond);
        std::fflush(stdout);
    }
    const RunResult floor = median(withoutGc), gc = median(withGc);
    std::printf("\n%d-row SQLite table read %d times per run, getRow: + dictionaryFromHashtable per row; "
                "median of %d runs\n",
                tableRows, readsPerRun, runsPerMode);
    std::printf("  %-20s %10s %12s %12s %13s %12s %9s\n", "de-referencer", "rows/s", "peak RSS MB",
                "mean RSS MB", "peak heap MB", "CPU us/row", "gc calls");
    printRow("without gc (floor)", floor);
    printRow("with gc", gc);
    std::printf("  ratio with gc / without gc: rows/s %.2f, peak RSS %.2f, mean RSS %.2f, peak heap %.2f, "
                "CPU per row %.2f\n",
                gc.rowsPerSecond / floor.rowsPerSecond, gc.peakResidentMb / floor.peakResidentMb,
                gc.meanResidentMb / floor.meanResidentMb, gc.peakHeapMb / floor.peakHeapMb,
                gc.cpuMicrosecondsPerRow / floor.cpuMicrosecondsPerRow);
    return 0;
}
