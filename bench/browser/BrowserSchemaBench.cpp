// Times, for a PostgreSQL schema of 2,000 tables with 10 columns each (20,000 columns), the way from
// choosing the schema in the browser to its filled element store (the schema load on the runner, which
// also reads the schema's columns and keys, and the store's rebuild), and the first answer of the
// completion's column names for the whole schema: once after that load, and once with the columns not
// yet read (read from the catalogue on the asking thread); beside psql running the same catalogue
// queries in the same run. Prints the medians and their ratios.
//
// Run from the build tree with the test servers' settings:
//   source $VORN_TEST_STATE/servers.env && QT_QPA_PLATFORM=offscreen build/bin/bench_browser_schema
#include "bridge/JavaUtils.h"
#include "bridge/QoJavaBridge.h"
#include "bridge/ThreadController.h"
#include "browser/BrowserController.h"
#include "browser/BrowserControllerDelegate.h"
#include "client/VornBrowserClient.h"
#include "client/VornRootClient.h"
#include "connection/ConnectedControllerDelegate.h"
#include "kit/UserNotifier.h"
#include "platform/DesktopNotifier.h"
#include "status/StatusManager.h"

#include "../support/BenchConnection.h"
#include "../support/PostgresBench.h"
#include <QApplication>
#include <QDBusConnection>
#include <QElapsedTimer>
#include <QThread>

#include <cstdio>
#include <vector>

namespace
{
using namespace PostgresBench;

constexpr int tables = 2000;
constexpr int columnsPerTable = 10;
constexpr int repeats = 5;
const QString schema = "vorn_bench_browser";

// The document around the browser: reservations through the root; the rest is not needed here.
class BenchDocument : public BenchConnection<ConnectedControllerDelegate>, public BrowserControllerDelegate
{
public:
    explicit BenchDocument(VornRootClientPtr root) : BenchConnection(std::move(root), "BENCH_BROWSER") {}
    void resultsetHasBeenUpdated() override {}
    void browserHasBeenUpdated() override {}
    void browserControllerLoadedElement(const BrowserElementPtr &) override {}
    void browserNeedsARefresh() override {}
    void browserWillUpdate() override {}
    void browserDidUpdate(const std::optional<BrowserElementSectionUpdate> &) override {}
    void browserWantsToConnect() override {}
    void browserWantsToDisconnect() override {}
    void browserDidReloadConnectionInfo() override {}
    void browserRequestsNewDocumentFor(const BrowserElementPtr &, const FilterPtr &, bool) override {}
    void browserWantsImportOfDataIntoElement(const BrowserElementPtr &) override {}
    void browserWantsExportOfElement(const BrowserElementPtr &) override {}
    void browserWantsInfoOfElement(const BrowserElementPtr &) override {}
    void browserWantsToOpenRecyclebin() override {}
    void browserNeedsBackgroundReloadConnectionInfo() override {}
    void commitOrRollbackCompleted() override {}
    void browserUpdatedManagementMode() override {}
    DDLController *browserWantsDDLController() override { return nullptr; }
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

void ensureSchema(const QoJavaObjectPtr &root)
{
    execute(root, QString("SELECT count(*) FROM pg_catalog.pg_class c JOIN pg_catalog.pg_namespace n "
                          "ON n.oid = c.relnamespace WHERE n.nspname = '%1' AND c.relkind = 'r'")
                      .arg(schema));
    if (firstCell(root).toInt() == tables)
        return;
    std::printf("Creating %d tables of %d columns in %s...\n", tables, columnsPerTable, qPrintable(schema));
    execute(root, QString("DROP SCHEMA IF EXISTS %1 CASCADE").arg(schema));
    execute(root, QString("CREATE SCHEMA %1").arg(schema));
    QStringList columns;
    for (int c = 1; c <= columnsPerTable; ++c)
        columns << QString("c%1 integer").arg(c);
    execute(root, QString("DO $$ BEGIN FOR i IN 1..%1 LOOP EXECUTE format('CREATE TABLE %2.t%s (%3)', i); "
                          "END LOOP; END $$")
                      .arg(tables)
                      .arg(schema, columns.join(", ")));
    execute(root, "ANALYZE");
}

// psql's own times for the catalogue queries the backend sends for the schema's objects and columns.
std::pair<double, double> psqlCatalogueMilliseconds(const Server &server)
{
    const QString objects =
        QString(
            "SELECT CASE c.relkind WHEN 'v' THEN 'VIEW' WHEN 'm' THEN 'VIEW' WHEN 'i' THEN 'INDEX' "
            "WHEN 'I' THEN 'INDEX' WHEN 'S' THEN 'SEQUENCE' ELSE 'TABLE' END, c.relname, NULL "
            "FROM pg_catalog.pg_class c JOIN pg_catalog.pg_namespace n ON n.oid = c.relnamespace "
            "WHERE n.nspname = '%1' AND c.relkind IN ('r', 'p', 'f', 'v', 'm', 'i', 'I', 'S') "
            "UNION ALL SELECT 'CONSTRAINT', t.relname || '.' || k.conname, NULL "
            "FROM pg_catalog.pg_constraint k JOIN pg_catalog.pg_class t ON t.oid = k.conrelid "
            "JOIN pg_catalog.pg_namespace n ON n.oid = t.relnamespace WHERE n.nspname = '%1' "
            "UNION ALL SELECT 'TRIGGER', t.relname || '.' || g.tgname, NULL "
            "FROM pg_catalog.pg_trigger g JOIN pg_catalog.pg_class t ON t.oid = g.tgrelid "
            "JOIN pg_catalog.pg_namespace n ON n.oid = t.relnamespace WHERE n.nspname = '%1' "
            "AND NOT g.tgisinternal "
            "UNION ALL SELECT CASE p.prokind WHEN 'p' THEN 'PROCEDURE' ELSE 'FUNCTION' END, p.proname, NULL "
            "FROM pg_catalog.pg_proc p JOIN pg_catalog.pg_namespace n ON n.oid = p.pronamespace "
            "WHERE n.nspname = '%1';\n")
            .arg(schema);
    const QString columns = QString("SELECT c.relname, a.attname FROM pg_catalog.pg_attribute a "
                                    "JOIN pg_catalog.pg_class c ON c.oid = a.attrelid "
                                    "JOIN pg_catalog.pg_namespace n ON n.oid = c.relnamespace "
                                    "WHERE n.nspname = '%1' AND c.relkind IN ('r', 'p', 'f', 'v', 'm') "
                                    "AND a.attnum > 0 AND NOT a.attisdropped ORDER BY c.relname, a.attnum;\n")
                                .arg(schema);
    // Rows go to /dev/null as a client would read them, without printing them.
    const std::vector<double> timings = psqlTimings(server, "\\o /dev/null\n" + objects + columns);
    if (timings.size() < 2)
        fail("psql reported no timings");
    return {timings[0], timings[1]};
}

// Runs the event loop until the condition holds; false after two minutes.
template <typename Condition> bool waitUntil(Condition condition)
{
    QElapsedTimer waited;
    waited.start();
    while (!condition()) {
        if (waited.elapsed() > 120000)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::usleep(200);
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
             "(source $VORN_TEST_STATE/servers.env).");
    const QoJavaObjectPtr root = QoJavaBridge::javaBridge()->instanceOfObject("nl/dalmerik/vorn/VornRoot");
    if (!root)
        fail("The Java VM did not start: run from the build tree.");
    root->call("initRoot:::::::", {QString(), "dd-MM-yyyy HH:mm:ss.S", 1, 0, 1, 2000, 0});
    root->call("startNewConnection:::::::::", {server.host, server.port, server.database, server.user,
                                               server.password, "PostgreSQL", "Vorn benchmark", 10, 1});
    if (!root->call("lastActionSuccessful").toBool())
        fail("Cannot connect: " + root->call("lastErrorMessage").toString());
    ensureSchema(root);

    DesktopNotifier desktop(QDBusConnection("no-desktop"));
    UserNotifier notifier(desktop);
    const VornRootClientPtr client = std::make_shared<VornRootClient>(root);
    auto status = std::make_shared<StatusManager>(client, notifier);
    BenchDocument document(client);
    BrowserController browser(client);
    browser.setDelegate(static_cast<ConnectedControllerDelegate *>(&document));
    browser.setThreadController(std::make_shared<ThreadController>());
    browser.setStatusManager(status);

    std::vector<double> storeFilled;
    std::vector<double> firstAnswer;
    std::vector<double> unreadAnswer;
    std::vector<double> psqlObjects;
    std::vector<double> psqlColumns;
    qsizetype answered = 0;
    for (int run = 0; run < repeats; ++run) {
        // Nothing of the schema is cached: the metadata is read anew and the browser starts from it.
        client->reloadConnectionMetaDataCache();
        client->browser()->setSelectedSchema(QString());
        browser.resetBrowserFromRoot();

        QElapsedTimer timer;
        timer.start();
        if (!browser.browserShouldChangeSchemaSelection(schema))
            fail("The schema was refused.");
        browser.dataBrowserElementStore()->setSelectedSchema(schema);
        browser.browserDidChangeSchemaSelection(schema);
        const BrowserElementStore &store = *browser.dataBrowserElementStore();
        if (!waitUntil([&] { return store.sectionsPerSchema().contains(schema) && !client->reserved(); }))
            fail("The schema did not load.");
        storeFilled.push_back(timer.nsecsElapsed() / 1e6);

        timer.restart();
        const QStringList names = browser.columnNamesForAutoCompleteInTables({}, true, std::nullopt);
        firstAnswer.push_back(timer.nsecsElapsed() / 1e6);
        answered = names.size();

        // Only the schema's objects are known: the answer reads the columns itself.
        client->reloadConnectionMetaDataCache();
        client->browser()->setSelectedSchema(schema);
        client->browser()->typesInSchema(schema);
        browser.resetBrowserFromRoot();
        browser.dataBrowserElementStore()->setSelectedSchema(schema);
        timer.restart();
        browser.columnNamesForAutoCompleteInTables({}, true, std::nullopt);
        unreadAnswer.push_back(timer.nsecsElapsed() / 1e6);

        const auto [objects, columns] = psqlCatalogueMilliseconds(server);
        psqlObjects.push_back(objects);
        psqlColumns.push_back(columns);
    }

    const double storeMs = median(storeFilled);
    const double answerMs = median(firstAnswer);
    const double objectsMs = median(psqlObjects);
    const double columnsMs = median(psqlColumns);
    std::printf("Schema of %d tables, %d columns (medians of %d runs)\n", tables, tables * columnsPerTable,
                repeats);
    std::printf("Choosing the schema to a filled element store: %.1f ms\n", storeMs);
    std::printf("psql, the schema's objects query:              %.1f ms\n", objectsMs);
    std::printf("Ratio store / psql:                            %.1f\n", storeMs / objectsMs);
    const double unreadMs = median(unreadAnswer);
    std::printf("First answer of the column names, after it:    %.1f ms (%lld names)\n", answerMs,
                static_cast<long long>(answered));
    std::printf("First answer, the columns not yet read:        %.1f ms\n", unreadMs);
    std::printf("psql, the schema's columns query:              %.1f ms\n", columnsMs);
    std::printf("Ratio first answer (columns not read) / psql:  %.1f\n", unreadMs / columnsMs);

    status->endStatusManager();
    root->call("endConnection");
    return 0;
}
