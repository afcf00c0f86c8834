// The result grid's model over a 1,000,000-row, 5-column table (id, name, amount, timestamp, flag) on
// PostgreSQL, MariaDB and SQLite, with the row limit lifted:
//  - the first 100 rows: from the statement to 100 rows read through the grid's table model, and to the
//    first rows painted by the grid, beside plain JDBC's own first 100 rows (fetch size 100);
//  - every row read through the table model, every cell as the grid reads it (data() for display), paged
//    through willDisplayRange and the preload worker, beside the floor of plain JDBC with its rows handed
//    across JNI in batches of strings, measured in the same run and VM;
//  - the memory per row the model keeps: the process's resident size before and after loading all rows
//    (the first large read of the process), and the Java heap in use after a collection, which holds no
//    rows once they have crossed.
// Each figure: the cold run, the median of the warm runs and the ratio to its floor.
//
// Run from the build tree with the test servers' settings (each database runs in a process of its own):
//   source $VORN_TEST_STATE/servers.env && build/bin/bench_resultset_grid [PostgreSQL|MariaDB|SQLite]
#include "../support/BenchConnection.h"
#include "../support/RowBench.h"
#include "bridge/ThreadController.h"
#include "client/SqlConnectionClient.h"
#include "client/VornResultset.h"
#include "kit/UserNotifier.h"
#include "platform/DesktopNotifier.h"
#include "resultset/ResultsetController.h"
#include "resultset/ResultsetControllerDelegate.h"
#include "resultset/ResultsetTableModel.h"
#include "resultset/ResultsetViewController.h"
#include "status/StatusManager.h"

#include <QApplication>
#include <QDBusConnection>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTableView>
#include <QTimer>

#include <cstdio>
#include <functional>

namespace
{
using namespace RowBench;

// The document around the model: reservations through the root, row updates to whoever waits for them.
class BenchDocument : public BenchConnection<ResultsetControllerDelegate>
{
public:
    explicit BenchDocument(VornRootClientPtr root) : BenchConnection(std::move(root), "BENCH") {}
    void resultsetWillUpdate() override {}
    void resultsetCancelledUpdate() override {}
    void resultSetRemovedRowAt(qint64) override {}
    void resultsetHasBeenUpdated() override
    {
        if (updated)
            updated();
    }
    void resultsetQuickFilterOrSortHasBeenUpdated() override {}
    void resultSetRequestsNewDocumentForUpdatedFilter(const ExtendedFilterPtr &, const BrowserElementPtr &,
                                                      bool) override
    {
    }
    void resultsetHasBeenReset() override {}
    BrowserElementPtr resultsetNeedsSelectedElement() override { return nullptr; }
    void resultsetSelectedSession(const QVariantMap &, const QStringList &, const QVariantList &) override {}

    std::function<void()> updated;
};

// A connected root with the model of a document over it.
class Bench
{
public:
    explicit Bench(const Database &database)
        : root(connectedRoot(database, 0)), desktop(QDBusConnection("no-desktop")), notifier(desktop),
          status(std::make_shared<StatusManager>(root, notifier)), document(root), model(root)
    {
        model.setDelegate(&document);
        model.setThreadController(std::make_shared<ThreadController>());
        model.setStatusManager(status);
    }
    ~Bench()
    {
        grid.setResultsetController(nullptr);
        tableModel.reset(nullptr);
        status->endStatusManager();
        root->endConnection();
    }

    void execute(const QString &sql)
    {
        if (!root->sqlConnection()->executeQuery(sql, {}))
            fail(sql + ": " + root->lastOutcome().errorMessage);
        model.resetResultsetFromRoot();
    }

    // Drops the result and waits until its cursor is closed, outside any timing.
    void clear()
    {
        grid.setResultsetController(nullptr);
        tableModel.reset(nullptr);
        root->clearResultset();
        execute("SELECT 1");
        root->clearResultset();
        model.resetResultsetFromRoot();
    }

    // Reads the cells of the table model's rows [from, to) as the grid reads them.
    qint64 readCells(int from, int to)
    {
        qint64 characters = 0;
        const int columns = tableModel.columnCount();
        for (int row = from; row < to; ++row) {
            for (int column = 1; column < columns; ++column)
                characters +=
                    tableModel.data(tableModel.index(row, column), Qt::DisplayRole).toString().size();
        }
        return characters;
    }

    // Asks the model for the rows after the last and waits until the preload has delivered them.
    void preloadMore()
    {
        QEventLoop loop;
        document.updated = [&] {
            tableModel.noteNumberOfRowsChanged();
            loop.quit();
        };
        const int rows = tableModel.rowCount();
        model.willDisplayRange(std::max(1, rows - 5), 10);
        if (!model.isPreloading())
            fail("No preload started");
        QTimer::singleShot(120000, &loop,
                           [&] { fail("A preload did not end: " + status->connectionStatusText()); });
        loop.exec();
        document.updated = nullptr;
    }

    VornRootClientPtr root;
    DesktopNotifier desktop;
    UserNotifier notifier;
    std::shared_ptr<StatusManager> status;
    BenchDocument document;
    ResultsetController model;
    ResultsetTableModel tableModel;
    ResultsetViewController grid;
};

double firstRowsThroughModelMilliseconds(Bench &bench)
{
    QElapsedTimer timer;
    timer.start();
    bench.execute("SELECT * FROM " + table);
    bench.tableModel.reset(&bench.model);
    if (bench.tableModel.rowCount() < 100)
        fail("The first portion holds fewer than 100 rows");
    bench.readCells(0, 100);
    const double elapsed = double(timer.nsecsElapsed()) / 1e6;
    bench.clear();
    return elapsed;
}

double firstRowsPaintedMilliseconds(Bench &bench)
{
    QElapsedTimer timer;
    timer.start();
    bench.execute("SELECT * FROM " + table);
    bench.grid.setResultsetController(&bench.model);
    bench.grid.tableView()->viewport()->repaint();
    const double elapsed = double(timer.nsecsElapsed()) / 1e6;
    bench.clear();
    return elapsed;
}

// One read of every row through the table model: rows per second, and the seconds spent reading cells
// and waiting for preloads. The rows stay in the model until the next clear.
struct FullRead {
    double rate;
    double readingSeconds;
    double preloadSeconds;
};

FullRead fullRead(Bench &bench)
{
    QElapsedTimer timer;
    timer.start();
    bench.execute("SELECT * FROM " + table);
    bench.tableModel.reset(&bench.model);
    int read = 0;
    qint64 reading = 0;
    qint64 preloading = 0;
    for (;;) {
        const int rows = bench.tableModel.rowCount();
        const qint64 readStart = timer.nsecsElapsed();
        bench.readCells(read, rows);
        reading += timer.nsecsElapsed() - readStart;
        read = rows;
        if (bench.model.vornResultset()->fullyLoaded())
            break;
        const qint64 preloadStart = timer.nsecsElapsed();
        bench.preloadMore();
        preloading += timer.nsecsElapsed() - preloadStart;
    }
    const double elapsed = double(timer.nsecsElapsed()) / 1e9;
    if (read != tableRows)
        fail(QString("Read %1 rows instead of %2").arg(read).arg(tableRows));
    return {tableRows / elapsed, double(reading) / 1e9, double(preloading) / 1e9};
}

int run(const Database &database)
{
    JdbcPeer peer(database);
    peer.ensureTable();
    Bench bench(database);
    bench.grid.view()->resize(1000, 700);
    bench.grid.view()->show();
    QCoreApplication::processEvents();

    Runs jdbcFirst, modelFirst, paintedFirst;
    jdbcFirst.add(peer.firstRowsMilliseconds());
    modelFirst.add(firstRowsThroughModelMilliseconds(bench));
    paintedFirst.add(firstRowsPaintedMilliseconds(bench));

    // The first large read of the process: what the model keeps per row, and what Java keeps.
    Runs memoryBefore, memoryAfter, javaBefore, javaAfter, bytesPerRow, modelAll, reading, preloading,
        jniBatches;
    const auto addRead = [&](const FullRead &done) {
        modelAll.add(done.rate);
        reading.add(done.readingSeconds * 1000);
        preloading.add(done.preloadSeconds * 1000);
    };
    javaBefore.add(javaHeapInUseMegabytes());
    memoryBefore.add(residentMegabytes());
    addRead(fullRead(bench));
    memoryAfter.add(residentMegabytes());
    javaAfter.add(javaHeapInUseMegabytes());
    bytesPerRow.add((memoryAfter.cold - memoryBefore.cold) * 1024 * 1024 / tableRows);
    bench.clear();

    jniBatches.add(peer.batchedJniRate());
    for (int run = 0; run < fullReadRuns; ++run) {
        jniBatches.add(peer.batchedJniRate());
        addRead(fullRead(bench));
        bench.clear();
    }
    measureInterleaved(firstRowsWarmUp, firstRowsRuns,
                       {{&jdbcFirst, [&] { return peer.firstRowsMilliseconds(); }},
                        {&modelFirst, [&] { return firstRowsThroughModelMilliseconds(bench); }},
                        {&paintedFirst, [&] { return firstRowsPaintedMilliseconds(bench); }}});

    printHeader(QString("%1: %2 rows x 5 columns through the grid's model, row limit lifted")
                    .arg(database.name)
                    .arg(tableRows));
    printRow("JDBC, fetch size 100: first 100 rows", jdbcFirst, "ms");
    printRow("model: statement + first 100 rows via data()", modelFirst, "ms", &jdbcFirst);
    printRow("grid: statement + first rows painted", paintedFirst, "ms", &jdbcFirst);
    printRow("JDBC, then batches of String[] across JNI (floor)", jniBatches, "rows/s");
    printRow("model: all rows, every cell via data()", modelAll, "rows/s", &jniBatches);
    printRow("  of which reading cells through data()", reading, "ms");
    printRow("  of which preloads (worker, Java, rows crossing)", preloading, "ms");
    std::printf("  memory (first large read of the process, cold only)\n");
    printRow("resident size before loading", memoryBefore, "MB");
    printRow("resident size with all rows in the model", memoryAfter, "MB");
    printRow("resident size per row", bytesPerRow, "B/row");
    printRow("Java heap in use after a collection, before", javaBefore, "MB");
    printRow("Java heap in use after a collection, rows loaded", javaAfter, "MB");
    return 0;
}
} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    return forEachDatabase(argc, argv, run);
}
