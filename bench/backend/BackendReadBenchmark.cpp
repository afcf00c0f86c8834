// Reads a 1,000,000-row, 5-column PostgreSQL table through the backend the way the result grid does
// (executeQuery::, then preload and getRow: converted to a dictionary per row) and beside it with
// psql: the time to the first 100 rows (psql: a cursor and FETCH 100) and rows per second for all
// rows (psql: \copy to /dev/null). Prints the figures and their ratios.
//
// Run from the build tree with the test servers' settings:
//   source /tmp/vorn-test-servers/servers.env && build/bin/bench_backend_read
#include "bridge/JavaUtils.h"
#include "bridge/QoJavaBridge.h"
#include "bridge/QoJavaObject.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include "../support/PostgresBench.h"


#include <algorithm>
#include <cstdio>
#include <vector>

namespace
{
using namespace PostgresBench;

constexpr int TableRows = 1000000;
constexpr int Repeats = 5;
const QString Table = "vorn_bench_rows";

QoJavaObjectPtr connectedRoot(const Server &server, int rowLimit)
{
    QoJavaObjectPtr root = QoJavaBridge::javaBridge()->instanceOfObject("nl/dalmerik/vorn/VornRoot");
    if (!root)
        fail("The Java VM did not start: run from the build tree.");
    root->call("initRoot:::::::", {QString(), "dd-MM-yyyy HH:mm:ss.S", 1, 0, 1, rowLimit, 0});
    root->call("startNewConnection:::::::::", {server.host, server.port, server.database, server.user,
                                               server.password, "PostgreSQL", "Vorn benchmark", 10, 1});
    if (!root->call("lastActionSuccessful").toBool())
        fail("Cannot connect: " + root->call("lastErrorMessage").toString());
    return root;
}

bool execute(const QoJavaObjectPtr &root, const QString &sql)
{
    const QoJavaObjectPtr sqlConnection = root->call("sqlConnection").value<QoJavaObjectPtr>();
    const bool rows =
        sqlConnection->call("executeQuery::", {sql, QVariant::fromValue(JavaUtils::vectorFromArray({}))})
            .toBool();
    if (!root->call("lastActionSuccessful").toBool())
        fail(sql + ": " + root->call("lastErrorMessage").toString());
    return rows;
}

void ensureTable(const Server &server)
{
    const QoJavaObjectPtr root = connectedRoot(server, 10);
    execute(
        root,
        QString("SELECT count(*) AS n FROM information_schema.tables WHERE table_name = '%1'").arg(Table));
    const QoJavaObjectPtr check = root->call("resultset").value<QoJavaObjectPtr>();
    if (JavaUtils::dictionaryFromHashtable(check->call("getRow:", {1}).value<QoJavaObjectPtr>())
            .value("n")
            .toInt() > 0) {
        execute(root, "SELECT count(*) AS n FROM " + Table);
        const QoJavaObjectPtr count = root->call("resultset").value<QoJavaObjectPtr>();
        if (JavaUtils::dictionaryFromHashtable(count->call("getRow:", {1}).value<QoJavaObjectPtr>())
                .value("n")
                .toInt() == TableRows)
            return;
        execute(root, "DROP TABLE " + Table);
    }
    std::printf("Filling %s with %d rows...\n", qPrintable(Table), TableRows);
    execute(root, "CREATE TABLE " + Table +
                      " (id BIGINT PRIMARY KEY, name VARCHAR(40), amount NUMERIC(12, 2), created TIMESTAMP, "
                      "flag BOOLEAN)");
    execute(root, QString("INSERT INTO %1 SELECT g, 'name ' || g, g / 100.0, TIMESTAMP '2024-01-01' + g * "
                          "INTERVAL '1 second', g % 2 = 0 FROM generate_series(1, %2) g")
                      .arg(Table)
                      .arg(TableRows));
    execute(root, "ANALYZE " + Table);
    root->call("endConnection");
}

// Milliseconds psql reports for each line of the script (\timing), in order.

double backendFirstRowsMilliseconds(const Server &server)
{
    const QoJavaObjectPtr root = connectedRoot(server, 10000);
    std::vector<double> times;
    for (int run = 0; run < Repeats; ++run) {
        QElapsedTimer timer;
        timer.start();
        execute(root, "SELECT * FROM " + Table);
        const QoJavaObjectPtr rows = root->call("resultset").value<QoJavaObjectPtr>();
        for (int row = 1; row <= 100; ++row)
            JavaUtils::dictionaryFromHashtable(rows->call("getRow:", {row}).value<QoJavaObjectPtr>());
        times.push_back(timer.nsecsElapsed() / 1e6);
        root->call("clearResultset");
    }
    root->call("endConnection");
    return median(times);
}

double psqlFirstRowsMilliseconds(const Server &server)
{
    std::vector<double> times;
    for (int run = 0; run < Repeats; ++run) {
        const std::vector<double> timings = psqlTimings(
            server, QString("BEGIN;\nDECLARE c CURSOR FOR SELECT * FROM %1;\nFETCH 100 FROM c;\nCOMMIT;\n")
                        .arg(Table));
        if (timings.size() < 3)
            fail("psql reported no timings");
        times.push_back(timings[1] + timings[2]);
    }
    return median(times);
}

struct FullRead {
    double seconds;
    int rows;
};

FullRead backendFullRead(const Server &server, bool readRows)
{
    const QoJavaObjectPtr root = connectedRoot(server, 0);
    QElapsedTimer timer;
    timer.start();
    execute(root, "SELECT * FROM " + Table);
    const QoJavaObjectPtr rows = root->call("resultset").value<QoJavaObjectPtr>();
    int read = 0;
    for (;;) {
        const int count = rows->call("rowCount").toInt();
        for (; readRows && read < count; ++read)
            JavaUtils::dictionaryFromHashtable(rows->call("getRow:", {read + 1}).value<QoJavaObjectPtr>());
        if (rows->call("fullyLoaded").toBool())
            break;
        rows->call("preload");
        if (!root->call("lastActionSuccessful").toBool())
            fail("preload: " + root->call("lastErrorMessage").toString());
    }
    const FullRead result{timer.nsecsElapsed() / 1e9, rows->call("rowCount").toInt()};
    root->call("clearResultset");
    root->call("endConnection");
    return result;
}

double psqlCopySeconds(const Server &server)
{
    const std::vector<double> timings = psqlTimings(server, QString("\\copy %1 TO '/dev/null'\n").arg(Table));
    if (timings.empty())
        fail("psql reported no timing for \\copy");
    return timings.back() / 1000.0;
}
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const Server server;
    if (server.host.isEmpty())
        fail("Set VORN_PG_HOST, VORN_PG_PORT, VORN_PG_DATABASE, VORN_PG_USER and VORN_PG_PASSWORD "
             "(source /tmp/vorn-test-servers/servers.env).");
    ensureTable(server);

    const double firstBackend = backendFirstRowsMilliseconds(server);
    const double firstPsql = psqlFirstRowsMilliseconds(server);
    std::printf("First 100 rows (median of %d)\n", Repeats);
    std::printf("  backend executeQuery:: + 100 x getRow:  %9.2f ms\n", firstBackend);
    std::printf("  psql DECLARE + FETCH 100                %9.2f ms\n", firstPsql);
    std::printf("  ratio backend / psql                    %9.2f\n\n", firstBackend / firstPsql);

    const FullRead fetched = backendFullRead(server, false);
    const FullRead read = backendFullRead(server, true);
    const double copy = psqlCopySeconds(server);
    if (read.rows != TableRows || fetched.rows != TableRows)
        fail(QString("Read %1 rows instead of %2").arg(read.rows).arg(TableRows));
    const double backendRate = read.rows / read.seconds;
    const double fetchRate = fetched.rows / fetched.seconds;
    const double copyRate = TableRows / copy;
    std::printf("All %d rows, row limit lifted\n", TableRows);
    std::printf("  backend preload + getRow: per row       %12.0f rows/s (%.2f s)\n", backendRate,
                read.seconds);
    std::printf("  backend preload alone                   %12.0f rows/s (%.2f s)\n", fetchRate,
                fetched.seconds);
    std::printf("  psql \\copy TO /dev/null                 %12.0f rows/s (%.2f s)\n", copyRate, copy);
    std::printf("  ratio psql / backend (preload + getRow) %12.2f\n", copyRate / backendRate);
    std::printf("  ratio psql / backend (preload alone)    %12.2f\n", copyRate / fetchRate);
    return 0;
}
