#include "RowBench.h"
#include "SqlScriptBench.h"

#include "bridge/QoJavaBridge.h"
#include "bridge/QoJavaClass.h"
#include "bridge/QoJavaMethod.h"
#include "platform/Bundle.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <malloc.h>

namespace RowBench
{

const QString table = QStringLiteral("vorn_bench_rows");

namespace
{
const QString peerClass = QStringLiteral("nl/dalmerik/vorn/bench/JdbcPeer");
constexpr int portionRows = 10000;

Database serverDatabase(const QString &type, const QString &name, const QString &prefix)
{
    auto value = [&](const char *key) { return qEnvironmentVariable(qPrintable(prefix + key)); };
    Database database{
        type,        name, value("HOST"), value("PORT"), value("DATABASE"), value("USER"), value("PASSWORD"),
        value("URL")};
    if (database.server.isEmpty())
        fail(QString("Set %1HOST and the rest: source the servers.env that scripts/test-servers writes.")
                 .arg(prefix));
    return database;
}

// The statements that fill the table: id, name, amount, timestamp and flag, in each dialect.
QStringList fillStatements(const QString &type)
{
    const QString rows = QString::number(tableRows);
    if (type == "PostgreSQL")
        return {
            "CREATE TABLE " + table +
                " AS SELECT g::bigint AS id, 'name ' || g AS name, (g / 100.0)::numeric(12, 2) AS amount, "
                "TIMESTAMP '2024-01-01' + g * INTERVAL '1 second' AS created, g % 2 = 0 AS flag "
                "FROM generate_series(1, " +
                rows + ") g",
            "ANALYZE " + table};
    if (type == "MySQL")
        return {"CREATE TABLE " + table +
                    " (id BIGINT PRIMARY KEY, name VARCHAR(40), amount DECIMAL(12, 2), created DATETIME, "
                    "flag BOOLEAN)",
                "INSERT INTO " + table +
                    " SELECT seq, CONCAT('name ', seq), seq / 100, TIMESTAMP '2024-01-01 00:00:00' + "
                    "INTERVAL seq SECOND, seq % 2 = 0 FROM seq_1_to_" +
                    rows};
    return {"CREATE TABLE " + table +
                " (id INTEGER PRIMARY KEY, name TEXT, amount REAL, created TIMESTAMP, flag INTEGER)",
            "WITH RECURSIVE g(n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM g WHERE n < " + rows +
                ") INSERT INTO " + table +
                " SELECT n, 'name ' || n, n / 100.0, datetime('2024-01-01', '+' || n || ' seconds'), "
                "n % 2 = 0 FROM g"};
}

double seconds(qint64 nanoseconds)
{
    return double(nanoseconds) / 1e9;
}
} // namespace

void fail(const QString &message)
{
    std::fprintf(stderr, "%s\n", qPrintable(message));
    std::exit(1);
}

const QStringList &databaseNames()
{
    static const QStringList names{"PostgreSQL", "MariaDB", "SQLite"};
    return names;
}

Database database(const QString &name)
{
    if (name == "PostgreSQL")
        return serverDatabase("PostgreSQL", name, "VORN_PG_");
    if (name == "MariaDB")
        return serverDatabase("MySQL", name, "VORN_MY_");
    if (name == "SQLite") {
        const QString path = QDir::temp().filePath("vorn-bench-rows.sqlite");
        return Database{"SQLite", name,      QString(), QString(),
                        path,     QString(), QString(), "jdbc:sqlite:" + path};
    }
    fail("Unknown database " + name + ": one of " + databaseNames().join(", "));
}

int forEachDatabase(int argc, char **argv, const std::function<int(const Database &)> &run)
{
    if (argc > 1) {
        startBridge();
        return run(database(QString::fromLocal8Bit(argv[1])));
    }
    int worst = 0;
    for (const QString &name : databaseNames()) {
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedChannels);
        child.start(QCoreApplication::applicationFilePath(), {name});
        child.waitForFinished(-1);
        worst = std::max(worst, child.exitStatus() == QProcess::NormalExit ? child.exitCode() : 1);
    }
    return worst;
}

void startBridge()
{
    const Bundle bundle = Bundle::mainBundle();
    QVariantMap info = bundle.infoDictionary();
    QVariantMap bridge = info.value("QoJavaBridge").toMap();
    bridge.insert("Libraries", bridge.value("Libraries").toList() << QStringLiteral(VORN_BENCH_PEER_JAR));
    info.insert("QoJavaBridge", bridge);
    QoJavaBridge::setSharedConfiguration(info, bundle.bundlePath());
    if (!QoJavaBridge::javaBridge()->hasVirtualMachine())
        fail("The Java VM did not start: run the benchmark from the build tree (build/bin).");
}

VornRootClientPtr connectedRoot(const Database &database, int rowLimit)
{
    const VornRootClientPtr root = VornRootClient::create();
    if (!root)
        fail("No backend root");
    RootSettings settings;
    settings.supportFolder = QDir::tempPath();
    settings.resultsetRowLimit = rowLimit;
    root->initRoot(settings);
    const BackendOutcome connected =
        root->startNewConnection({database.server, database.port, database.database, database.user,
                                  database.password, database.type, "Vorn benchmark", 10, 1});
    if (!connected)
        fail("Cannot connect to " + database.name + ": " + connected.errorMessage);
    return root;
}

JdbcPeer::JdbcPeer(const Database &database) : database_(database)
{
    QoJavaClass *javaClass = QoJavaBridge::javaBridge()->classForName(peerClass);
    peer_ = javaClass->callStatic("open:::", {database.jdbcUrl, database.user, database.password})
                .value<QoJavaObjectPtr>();
    if (!peer_)
        fail("The JDBC peer cannot connect to " + database.jdbcUrl);
}

JdbcPeer::~JdbcPeer()
{
    peer_->call("close");
}

void JdbcPeer::ensureTable()
{
    if (peer_->call("firstValue:", {"SELECT count(*) FROM " + table}).toString().toInt() == tableRows)
        return;
    peer_->call("run:", {"DROP TABLE IF EXISTS " + table});
    std::printf("Filling %s on %s with %d rows...\n", qPrintable(table), qPrintable(database_.name),
                tableRows);
    std::fflush(stdout);
    for (const QString &statement : fillStatements(database_.type)) {
        if (!peer_->call("run:", {statement}).toBool())
            fail(statement + ": " + peer_->call("lastError").toString());
    }
}

void JdbcPeer::run(const QString &sql)
{
    if (!peer_->call("run:", {sql}).toBool())
        fail(sql + ": " + peer_->call("lastError").toString());
}

QString JdbcPeer::firstValue(const QString &sql)
{
    return peer_->call("firstValue:", {sql}).toString();
}

double JdbcPeer::firstRowsMilliseconds()
{
    const qint64 elapsed = peer_->call("firstRows::", {"SELECT * FROM " + table, 100}).toLongLong();
    if (elapsed < 0 || peer_->call("lastRowCount").toInt() != 100)
        fail("JDBC first rows: " + peer_->call("lastError").toString());
    return double(elapsed) / 1e6;
}

double JdbcPeer::readAllRate()
{
    const qint64 elapsed = peer_->call("readAll::", {"SELECT * FROM " + table, portionRows}).toLongLong();
    if (elapsed < 0 || peer_->call("lastRowCount").toInt() != tableRows)
        fail("JDBC full read: " + peer_->call("lastError").toString());
    return tableRows / seconds(elapsed);
}

double JdbcPeer::batchedJniRate()
{
    JNIEnv *env = QoJavaBridge::javaBridge()->environment();
    const jmethodID nextBatch = peer_->javaClass()->methodsForSelector("nextBatch:").constFirst()->methodId();
    std::vector<jchar> copied;
    QElapsedTimer timer;
    timer.start();
    if (!peer_->call("startBatches::", {"SELECT * FROM " + table, portionRows}).toBool())
        fail("JDBC batches: " + peer_->call("lastError").toString());
    for (;;) {
        auto batch =
            static_cast<jobjectArray>(env->CallObjectMethod(peer_->reference(), nextBatch, portionRows));
        if (env->ExceptionCheck() || !batch)
            break;
        const jsize cells = env->GetArrayLength(batch);
        for (jsize i = 0; i < cells; ++i) {
            auto cell = static_cast<jstring>(env->GetObjectArrayElement(batch, i));
            if (!cell)
                continue;
            const jsize length = env->GetStringLength(cell);
            copied.resize(size_t(length));
            env->GetStringRegion(cell, 0, length, copied.data());
            env->DeleteLocalRef(cell);
        }
        env->DeleteLocalRef(batch);
    }
    const qint64 elapsed = timer.nsecsElapsed();
    if (env->ExceptionCheck()) {
        env->ExceptionDescribe();
        env->ExceptionClear();
        fail("JDBC batches failed in Java");
    }
    if (peer_->call("lastRowCount").toInt() != tableRows)
        fail("JDBC batches: " + peer_->call("lastError").toString());
    return tableRows / seconds(elapsed);
}

void Runs::add(double value)
{
    if (cold == 0)
        cold = value;
    else
        warm.push_back(value);
}

double Runs::median() const
{
    if (warm.empty())
        return cold;
    std::vector<double> sorted = warm;
    std::sort(sorted.begin(), sorted.end());
    return sorted[sorted.size() / 2];
}

double Runs::ratioTo(const Runs &floor) const
{
    if (warm.empty() || warm.size() != floor.warm.size())
        return median() / floor.median();
    Runs ratios;
    ratios.cold = cold / floor.cold;
    for (size_t run = 0; run < warm.size(); ++run)
        ratios.warm.push_back(warm[run] / floor.warm[run]);
    return ratios.median();
}

double residentMegabytes()
{
    malloc_trim(0);
    QFile status("/proc/self/status");
    if (!status.open(QIODevice::ReadOnly))
        fail("Cannot read /proc/self/status");
    static const QRegularExpression rss("VmRSS:\\s+(\\d+) kB");
    return rss.match(QString::fromLatin1(status.readAll())).captured(1).toDouble() / 1024.0;
}

double javaHeapInUseMegabytes()
{
    QoJavaBridge *bridge = QoJavaBridge::javaBridge();
    bridge->classForName("java/lang/System")->callStatic("gc");
    const QoJavaObjectPtr runtime =
        bridge->classForName("java/lang/Runtime")->callStatic("getRuntime").value<QoJavaObjectPtr>();
    const qint64 used = runtime->call("totalMemory").toLongLong() - runtime->call("freeMemory").toLongLong();
    return double(used) / (1024.0 * 1024.0);
}

void measureInterleaved(int warmUp, int runs, const std::vector<Measure> &measures)
{
    for (int round = 0; round < warmUp; ++round) {
        for (const Measure &measure : measures)
            measure.take();
    }
    for (int round = 0; round < runs; ++round) {
        for (const Measure &measure : measures)
            measure.into->add(measure.take());
    }
}

void printHeader(const QString &title)
{
    std::printf("\n%s (%s)\n", qPrintable(title), qPrintable(SqlScriptBench::machineLoad()));
    std::printf(
        "  (first 100 rows: cold first thing, warm median of %d after the full reads and %d unmeasured runs;"
        "\n   all rows: median of %d warm runs; each path and its floor run in turn, round after round,"
        "\n   and vs floor is the median of the rounds' ratios)\n",
        firstRowsRuns, firstRowsWarmUp, fullReadRuns);
    std::printf("  %-52s %12s %12s %-8s %s\n", "path", "cold", "warm median", "unit", "vs floor");
}

void printRow(const QString &what, const Runs &runs, const QString &unit, const Runs *floor)
{
    const QString ratio = floor ? QString::number(runs.ratioTo(*floor), 'f', 2) : QString("floor");
    std::printf("  %-52s %12.1f %12.1f %-8s %s\n", qPrintable(what), runs.cold, runs.median(),
                qPrintable(unit), qPrintable(ratio));
    std::fflush(stdout);
}

} // namespace RowBench
