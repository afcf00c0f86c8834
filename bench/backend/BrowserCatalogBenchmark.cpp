// The schema browser's catalogue of a PostgreSQL schema with 2,000 tables and 20,000 columns, read
// through the typed client the way the element store and completion ask for it, beside psql running
// the same catalogue queries in the same run. Each backend run starts on a new connection, so nothing
// is cached. Prints the medians and their ratios.
//
// Run from the build tree with the test servers' settings:
//   source $VORN_TEST_STATE/servers.env && build/bin/bench_browser_catalog
#include "bridge/QoJavaBridge.h"
#include "client/VornBrowserClient.h"
#include "client/VornRootClient.h"

#include "../support/PostgresBench.h"
#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdio>
#include <vector>

namespace
{
using namespace PostgresBench;

constexpr int Tables = 2000;
constexpr int ColumnsPerTable = 10;
constexpr int Repeats = 5;
const QString Schema = "vorn_bench_catalog";

// The backend's PostgreSQL catalogue queries for one schema, with the schema as a literal.
const QString ElementsQuery =
    "SELECT CASE c.relkind WHEN 'v' THEN 'VIEW' WHEN 'm' THEN 'VIEW' WHEN 'i' THEN 'INDEX' "
    "WHEN 'I' THEN 'INDEX' WHEN 'S' THEN 'SEQUENCE' ELSE 'TABLE' END, c.relname, NULL "
    "FROM pg_catalog.pg_class c JOIN pg_catalog.pg_namespace n ON n.oid = c.relnamespace "
    "WHERE n.nspname = '%1' AND c.relkind IN ('r', 'p', 'f', 'v', 'm', 'i', 'I', 'S') "
    "UNION ALL SELECT 'CONSTRAINT', t.relname || '.' || k.conname, NULL "
    "FROM pg_catalog.pg_constraint k JOIN pg_catalog.pg_class t ON t.oid = k.conrelid "
    "JOIN pg_catalog.pg_namespace n ON n.oid = t.relnamespace WHERE n.nspname = '%1' "
    "UNION ALL SELECT 'TRIGGER', t.relname || '.' || g.tgname, NULL "
    "FROM pg_catalog.pg_trigger g JOIN pg_catalog.pg_class t ON t.oid = g.tgrelid "
    "JOIN pg_catalog.pg_namespace n ON n.oid = t.relnamespace WHERE n.nspname = '%1' AND NOT g.tgisinternal "
    "UNION ALL SELECT CASE p.prokind WHEN 'p' THEN 'PROCEDURE' ELSE 'FUNCTION' END, p.proname, NULL "
    "FROM pg_catalog.pg_proc p JOIN pg_catalog.pg_namespace n ON n.oid = p.pronamespace "
    "WHERE n.nspname = '%1';\n";
const QString ColumnsQuery =
    "SELECT c.relname, a.attname FROM pg_catalog.pg_attribute a "
    "JOIN pg_catalog.pg_class c ON c.oid = a.attrelid "
    "JOIN pg_catalog.pg_namespace n ON n.oid = c.relnamespace "
    "WHERE n.nspname = '%1' AND c.relkind IN ('r', 'p', 'f', 'v', 'm') AND a.attnum > 0 "
    "AND NOT a.attisdropped ORDER BY c.relname, a.attnum;\n";

VornRootClientPtr connectedRoot(const Server &server)
{
    VornRootClientPtr root = VornRootClient::create();
    if (!root)
        fail("The Java VM did not start: run from the build tree.");
    root->initRoot({QString()});
    const BackendOutcome connected =
        root->startNewConnection({server.host, server.port, server.database, server.user, server.password,
                                  "PostgreSQL", "Vorn benchmark", 10, 1});
    if (!connected)
        fail("Cannot connect: " + connected.errorMessage);
    return root;
}

void ensureSchema(const Server &server)
{
    const QString script =
        QString("SELECT count(*) FROM information_schema.tables WHERE table_schema = '%1';\n").arg(Schema);
    QProcess psql;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("PGPASSWORD", server.password);
    psql.setProcessEnvironment(environment);
    psql.start("psql", {"-X", "-q", "-t", "-A", "-h", server.host, "-p", server.port, "-U", server.user, "-d",
                        server.database, "-c", script});
    if (!psql.waitForFinished(60000) || psql.exitCode() != 0)
        fail("psql failed: " + QString::fromUtf8(psql.readAllStandardError()));
    if (QString::fromUtf8(psql.readAllStandardOutput()).trimmed().toInt() == Tables)
        return;
    std::printf("Creating %s with %d tables of %d columns...\n", qPrintable(Schema), Tables, ColumnsPerTable);
    QString columns = "id INTEGER PRIMARY KEY";
    for (int column = 2; column <= ColumnsPerTable; ++column)
        columns += QString(", column_%1 VARCHAR(20)").arg(column);
    psqlTimings(server, QString("DROP SCHEMA IF EXISTS %1 CASCADE;\nCREATE SCHEMA %1;\n"
                                "DO $$ BEGIN FOR i IN 1..%2 LOOP "
                                "EXECUTE format('CREATE TABLE %1.table_%s (%3)', i); END LOOP; END $$;\n")
                            .arg(Schema)
                            .arg(Tables)
                            .arg(columns));
}

struct BackendRun {
    double elementsMs;
    double columnsMs;
    int names;
    int columns;
};

// Selecting the schema to every element name of every type, as the element store reads them; then the
// first answer of completion's column names (the schema's columns, read once).
BackendRun backendRun(const Server &server)
{
    VornRootClientPtr root = connectedRoot(server);
    std::shared_ptr<VornBrowserClient> browser = root->browser();
    QElapsedTimer timer;
    timer.start();
    browser->setSelectedSchema(Schema);
    int names = 0;
    const QStringList types = browser->typesInSchema(Schema);
    for (const QString &type : types)
        names += int(browser->elementsOfTypeInSchemaLike(type, Schema, "").size());
    const double elementsMs = timer.nsecsElapsed() / 1e6;
    if (!root->lastOutcome())
        fail("typesInSchema: " + root->lastErrorMessage());
    timer.restart();
    const int columns = int(browser->allColumnsInSchema(Schema).size());
    const double columnsMs = timer.nsecsElapsed() / 1e6;
    root->endConnection();
    root->deInitialize();
    return {elementsMs, columnsMs, names, columns};
}
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const Server server;
    if (server.host.isEmpty())
        fail("Set VORN_PG_HOST, VORN_PG_PORT, VORN_PG_DATABASE, VORN_PG_USER and VORN_PG_PASSWORD "
             "(source the servers.env of scripts/test-servers).");
    ensureSchema(server);

    backendRun(server); // warms the VM and the server's catalogue caches
    std::vector<double> elements;
    std::vector<double> columns;
    BackendRun last{};
    for (int run = 0; run < Repeats; ++run) {
        last = backendRun(server);
        elements.push_back(last.elementsMs);
        columns.push_back(last.columnsMs);
    }
    std::vector<double> psqlElements;
    std::vector<double> psqlColumns;
    for (int run = 0; run < Repeats; ++run) {
        const std::vector<double> timings =
            psqlTimings(server, ElementsQuery.arg(Schema) + ColumnsQuery.arg(Schema));
        if (timings.size() < 2)
            fail("psql reported no timings");
        psqlElements.push_back(timings[0]);
        psqlColumns.push_back(timings[1]);
    }
    const double backendElements = median(elements);
    const double backendColumns = median(columns);
    const double psqlElementsMs = median(psqlElements);
    const double psqlColumnsMs = median(psqlColumns);
    std::printf("Schema %s: %d tables, %d columns; %d element names, %d distinct column names; "
                "median of %d\n",
                qPrintable(Schema), Tables, Tables * ColumnsPerTable, last.names, last.columns, Repeats);
    std::printf("  %-44s %10s %10s %8s\n", "", "backend", "psql", "ratio");
    std::printf("  %-44s %7.1f ms %7.1f ms %8.2f\n", "schema selected to every element name", backendElements,
                psqlElementsMs, backendElements / psqlElementsMs);
    std::printf("  %-44s %7.1f ms %7.1f ms %8.2f\n", "first answer of the schema's column names",
                backendColumns, psqlColumnsMs, backendColumns / psqlColumnsMs);
    return 0;
}
