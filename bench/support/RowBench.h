#pragma once

// What the row benchmarks share: the three databases with the same 1,000,000-row table, the plain JDBC
// peer that measures the floors in the same VM, timings split into the cold run and the median of the
// warm runs, and the process's resident size.
#include "bridge/QoJavaObject.h"
#include "client/VornRootClient.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

namespace RowBench
{

constexpr int tableRows = 1000000;
// The first 100 rows: the cold run first thing; the warm ones after the full reads and runs that only
// warm the JIT up for this path.
constexpr int firstRowsWarmUp = 30;
constexpr int firstRowsRuns = 15;
// All rows: after the cold run, the measured warm runs.
constexpr int fullReadRuns = 7;
extern const QString table;

[[noreturn]] void fail(const QString &message);

// A database the benchmarks read from: a test server or the benchmark's own SQLite file.
struct Database {
    QString type; // as the backend names it: "PostgreSQL", "MySQL", "SQLite"
    QString name; // as the tables print it
    QString server;
    QString port;
    QString database;
    QString user;
    QString password;
    QString jdbcUrl;
};

// "PostgreSQL", "MariaDB" or "SQLite" (the servers from the environment that scripts/test-servers
// writes); fails when the servers are not started.
Database database(const QString &name);
const QStringList &databaseNames();

// Each database in a process of its own, so that every one starts cold: with an argument the program
// runs run() for that database; without one it runs itself once per database and returns the worst
// exit code.
int forEachDatabase(int argc, char **argv, const std::function<int(const Database &)> &run);

// Starts the shared bridge from the build tree's Info.plist with the peer's jar on the class path.
void startBridge();

// A root connected to the database, initialised like a document's with the given row limit.
VornRootClientPtr connectedRoot(const Database &database, int rowLimit);

// The plain JDBC peer (nl.dalmerik.vorn.bench.JdbcPeer) on a connection of its own.
class JdbcPeer
{
public:
    explicit JdbcPeer(const Database &database);
    ~JdbcPeer();

    // Creates the benchmark table unless it holds its rows already.
    void ensureTable();
    // Runs a statement and commits; fails the benchmark when it fails.
    void run(const QString &sql);
    // The first column of the query's first row.
    QString firstValue(const QString &sql);
    // Milliseconds from the query to its first 100 rows, fetch size 100.
    double firstRowsMilliseconds();
    // Rows per second of reading all rows with getString, fetch size 10,000.
    double readAllRate();
    // Rows per second of reading all rows and handing them to this side in batches of 10,000 as
    // arrays of strings, each string copied out through JNI.
    double batchedJniRate();

private:
    QoJavaObjectPtr peer_;
    Database database_;
};

// The cold run and the warm runs of one measure, the warm ones in the order they ran.
struct Runs {
    double cold = 0;
    std::vector<double> warm;
    void add(double value);
    double median() const;
    // The median of the ratios of each warm run to the floor's run of the same round; the ratio of the
    // medians when the two were not run side by side.
    double ratioTo(const Runs &floor) const;
};

// The process's resident size in megabytes; freed native memory is handed back first.
double residentMegabytes();
// Bytes of the Java heap in use after a full collection.
double javaHeapInUseMegabytes();

// One of the measures taken side by side: what it adds to, and how it is taken.
struct Measure {
    Runs *into;
    std::function<double()> take;
};

// Takes the measures one after the other, round after round (A B A B ...): warmUp rounds unmeasured,
// then runs rounds measured. Other work on the machine comes and goes; taken in turn, every measure
// sees the same share of it, and each round's ratio compares runs made under the same load.
void measureInterleaved(int warmUp, int runs, const std::vector<Measure> &measures);

// One line of a result table: what, the cold run, the warm median and, when a floor is given, the
// ratio to it (Runs::ratioTo; "higher is better" or "lower is better" as the unit says). The header
// shows the machine's load, which the figures depend on where other work shares the cores.
void printHeader(const QString &title);
void printRow(const QString &what, const Runs &runs, const QString &unit, const Runs *floor = nullptr);

} // namespace RowBench
