// Times, for SELECT * FROM a 1,000,000-row PostgreSQL table, the way from Execute to the first rows
// painted in the result grid (statement, model reset, grid build, one paint of the visible rows), beside
// psql fetching its first 100 rows through a cursor in the same run; then scrolls the grid to the row
// limit (10,000) and reports the process's memory. Prints the figures and their ratios.
//
// Run from the build tree with the test servers' settings:
//   source /tmp/vorn-test-servers/servers.env && QT_QPA_PLATFORM=offscreen build/bin/bench_resultset_grid
#include "bridge/JavaUtils.h"
#include "bridge/QoJavaBridge.h"
#include "bridge/ThreadController.h"
#include "client/VornRootClient.h"
#include "kit/UserNotifier.h"
#include "platform/DesktopNotifier.h"
#include "resultset/ResultsetController.h"
#include "resultset/ResultsetControllerDelegate.h"
#include "resultset/ResultsetTableModel.h"
#include "resultset/ResultsetViewController.h"
#include "status/StatusManager.h"

#include "../support/PostgresBench.h"
#include <QApplication>
#include <QDBusConnection>
#include <QElapsedTimer>
#include <QFile>

#include <QRegularExpression>
#include <QTableView>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace
{
using namespace PostgresBench;

constexpr int tableRows = 1000000;
constexpr int rowLimit = 10000;
constexpr int repeats = 5;
const QString table = "vorn_bench_grid";

// The document around the model: reservations through the root, row updates to the grid.
class BenchDocument : public ResultsetControllerDelegate
{
public:
    explicit BenchDocument(VornRootClientPtr root) : root_(std::move(root)) {}
    bool connectedControllerWantsRootReservationFor(ConnectedController *, const QString &reason) override
    {
        return root_->reserveRoot(reason);
    }
    void connectedControllerWantsEndRootReservation(ConnectedController *) override
    {
        root_->releaseReservedRoot();
    }
    bool connectedControllerWantsToChangeFocus(ConnectedController *, bool) override { return true; }
    bool connectedControllerWantsClearRootSelection(ConnectedController *) override { return true; }
    ConnectionParametersPtr connectedControllerWantsConnectionParameters(ConnectedController *) override
    {
        return nullptr;
    }
    QString connectedControllerWantsUniqueConnectionIdentifier(ConnectedController *) override
    {
        return "BENCH";
    }
    void resultsetWillUpdate() override {}
    void resultsetCancelledUpdate() override {}
    void resultSetRemovedRowAt(qint64) override {}
    void resultsetHasBeenUpdated() override { grid->resultsetUpdated(); }
    void resultsetQuickFilterOrSortHasBeenUpdated() override {}
    void resultSetRequestsNewDocumentForUpdatedFilter(const ExtendedFilterPtr &, const BrowserElementPtr &,
                                                      bool) override
    {
    }
    void resultsetHasBeenReset() override {}
    BrowserElementPtr resultsetNeedsSelectedElement() override { return nullptr; }
    void resultsetSelectedSession(const QVariantMap &, const QStringList &, const QVariantList &) override {}

    ResultsetViewController *grid = nullptr;

private:
    VornRootClientPtr root_;
};

void execute(const QoJavaObjectPtr &root, const QString &sql)
{
    const QoJavaObjectPtr sqlConnection = root->call("sqlConnection").value<QoJavaObjectPtr>();
    sqlConnection->call("executeQuery::", {sql, QVariant::fromValue(JavaUtils::vectorFromArray({}))});
    if (!root->call("lastActionSuccessful").toBool())
        fail(sql + ": " + root->call("lastErrorMessage").toString());
}

QString firstCell(const QoJavaObjectPtr &root)
{
    const QoJavaObjectPtr rows = root->call("resultset").value<QoJavaObjectPtr>();
    const QVariantMap row =
        JavaUtils::dictionaryFromHashtable(rows->call("getRow:", {1}).value<QoJavaObjectPtr>());
    return row.isEmpty() ? QString() : row.first().toString();
}

void ensureTable(const QoJavaObjectPtr &root)
{
    execute(root, QString("SELECT to_regclass('%1') IS NOT NULL AS present").arg(table));
    if (firstCell(root) == "true") {
        execute(root, "SELECT count(*) FROM " + table);
        if (firstCell(root).toInt() == tableRows)
            return;
        execute(root, "DROP TABLE " + table);
    }
    std::printf("Filling %s with %d rows...\n", qPrintable(table), tableRows);
    execute(root, QString("CREATE TABLE %1 AS SELECT g AS id, 'name ' || g AS name, g / 100.0 AS amount, "
                          "TIMESTAMP '2024-01-01' + g * INTERVAL '1 second' AS created, g % 2 = 0 AS flag "
                          "FROM generate_series(1, %2) g")
                      .arg(table)
                      .arg(tableRows));
    execute(root, "ANALYZE " + table);
}

// psql's own time for declaring a cursor and fetching 100 rows through it.
double psqlCursorMilliseconds(const Server &server)
{
    const std::vector<double> timings = psqlTimings(
        server,
        QString("BEGIN;\nDECLARE c CURSOR FOR SELECT * FROM %1;\nFETCH 100 FROM c;\nCOMMIT;\n").arg(table));
    if (timings.size() < 3)
        fail("psql reported no timings");
    return timings[1] + timings[2];
}

double residentMegabytes()
{
    QFile status("/proc/self/status");
    status.open(QIODevice::ReadOnly);
    static const QRegularExpression rss("VmRSS:\\s+(\\d+) kB");
    return rss.match(QString::fromLatin1(status.readAll())).captured(1).toDouble() / 1024.0;
}

bool idle(const VornRootClient &root, const ResultsetController &model)
{
    QElapsedTimer waited;
    waited.start();
    while (model.isPreloading() || root.reserved()) {
        if (waited.elapsed() > 120000)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(1);
    }
    return true;
}
} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const Server server;
    if (server.host.isEmpty())
        fail("Set VORN_PG_HOST, VORN_PG_PORT, VORN_PG_DATABASE, VORN_PG_USER and VORN_PG_PASSWORD "
             "(source /tmp/vorn-test-servers/servers.env).");
    const QoJavaObjectPtr root = QoJavaBridge::javaBridge()->instanceOfObject("nl/dalmerik/vorn/VornRoot");
    if (!root)
        fail("The Java VM did not start: run from the build tree.");
    root->call("initRoot:::::::", {QString(), "dd-MM-yyyy HH:mm:ss.S", 1, 0, 1, rowLimit, 0});
    root->call("startNewConnection:::::::::", {server.host, server.port, server.database, server.user,
                                               server.password, "PostgreSQL", "Vorn benchmark", 10, 1});
    if (!root->call("lastActionSuccessful").toBool())
        fail("Cannot connect: " + root->call("lastErrorMessage").toString());
    ensureTable(root);

    DesktopNotifier desktop(QDBusConnection("no-desktop"));
    UserNotifier notifier(desktop);
    const VornRootClientPtr client = std::make_shared<VornRootClient>(root);
    auto status = std::make_shared<StatusManager>(client, notifier);
    BenchDocument document(client);
    ResultsetController model(client);
    model.setDelegate(&document);
    model.setThreadController(std::make_shared<ThreadController>());
    model.setStatusManager(status);
    ResultsetViewController grid;
    document.grid = &grid;
    grid.view()->resize(1000, 700);
    grid.view()->show();
    QCoreApplication::processEvents();
    const double memoryBefore = residentMegabytes();

    std::vector<double> painted;
    std::vector<double> executed;
    std::vector<double> bound;
    std::vector<double> psql;
    for (int run = 0; run < repeats; ++run) {
        grid.setResultsetController(nullptr);
        root->call("clearResultset");
        QElapsedTimer timer;
        timer.start();
        execute(root, "SELECT * FROM " + table);
        executed.push_back(timer.nsecsElapsed() / 1e6);
        model.resetResultsetFromRoot();
        grid.setResultsetController(&model);
        bound.push_back(timer.nsecsElapsed() / 1e6 - executed.back());
        grid.tableView()->viewport()->repaint();
        painted.push_back(timer.nsecsElapsed() / 1e6);
        psql.push_back(psqlCursorMilliseconds(server));
    }

    while (!model.vornResultset()->fullyLoaded()) {
        grid.tableView()->scrollToBottom();
        QCoreApplication::processEvents();
        if (!idle(*client, model))
            fail("A preload did not end.");
        QCoreApplication::processEvents();
    }
    grid.tableView()->viewport()->repaint();
    const double memoryAfter = residentMegabytes();
    const int rows = grid.tableModel()->rowCount();

    const double paintedMs = median(painted);
    const double psqlMs = median(psql);
    std::printf("Execute to first rows painted (median of %d): %.1f ms\n", repeats, paintedMs);
    std::printf("  of which the statement and its first portion: %.1f ms\n", median(executed));
    std::printf("  of which model reset and grid build:          %.1f ms\n", median(bound));
    std::printf("psql DECLARE + FETCH 100 (median of %d):      %.1f ms\n", repeats, psqlMs);
    std::printf("Ratio grid / psql:                          %.1f\n", paintedMs / psqlMs);
    std::printf("Rows in the grid after scrolling:           %d\n", rows);
    std::printf("Resident memory before the first statement: %.1f MB\n", memoryBefore);
    std::printf("Resident memory at the row limit:           %.1f MB\n", memoryAfter);
    std::printf("Ratio memory at the limit / before:         %.2f\n", memoryAfter / memoryBefore);

    grid.setResultsetController(nullptr);
    status->endStatusManager();
    root->call("endConnection");
    return rows == rowLimit ? 0 : 1;
}
