// The result-set model over the real backend: reset, cells, distinct values, paging, refresh and work
// that outlives its model; the description and sort of a browser object over the fake root.
#include "FakeVornRootClient.h"
#include "ResultsetTestSupport.h"
#include "TestServers.h"
#include "WaitFor.h"
#include "resultset/ExtendedFilter.h"
#include "status/StatusManager.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <limits>

namespace
{
const qint64 largest = std::numeric_limits<qint64>::max();

class ResultsetControllerTest : public ::testing::Test
{
protected:
    QTemporaryDir folder_;
};

using ResultsetControllerDatabaseTest = ResultsetDatabaseTest;

INSTANTIATE_TEST_SUITE_P(Databases, ResultsetControllerDatabaseTest,
                         ::testing::Values("SQLite", "PostgreSQL", "MySQL"),
                         [](const auto &info) { return info.param.toStdString(); });
} // namespace

TEST(ResultsetPagingRuleTest, VisibleRowsNearTheEndAskForMore)
{
    struct Case {
        qint64 location;
        qint64 length;
        qint64 rowCount;
        bool wanted;
    };
    const Case cases[] = {
        {85, 10, 100, true},    // 95 > 90
        {80, 10, 100, false},   // 90 is not beyond 90
        {91, 10, 100, true},    // ends at 101: no exception for that sum
        {1, 20, 100, false},    // the first rows of a large result
        {1, 4, 5, true},        // fewer than 10 rows loaded: the last rows stay reachable
        {1, 0, 0, true},        // nothing loaded yet
        {10, largest, 5, true}, // the touch after removals
        {10, largest, 100000, true},
        {largest, largest, 100, true}, // saturates instead of wrapping round
        {-5, 2, 100, false},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(ResultsetController::wantsMoreRows(c.location, c.length, c.rowCount), c.wanted)
            << c.location << ", " << c.length << " of " << c.rowCount;
    }
}

TEST_F(ResultsetControllerTest, ResetWithoutConnectionOrResult)
{
    ResultsetFixture fixture(sqliteTarget(folder_), 10000);
    ASSERT_TRUE(fixture.show("SELECT 1 AS a"));
    EXPECT_TRUE(fixture.controller->vornResultset());
    EXPECT_TRUE(fixture.controller->quickFilterValid());

    fixture.root.call("clearResultset");
    fixture.controller->resetResultsetFromRoot();
    EXPECT_FALSE(fixture.controller->vornResultset());
    EXPECT_TRUE(fixture.controller->quickFilterValid());
    EXPECT_TRUE(fixture.controller->quickFilterColumnInfo().isEmpty());
    EXPECT_EQ(fixture.controller->numberOfRowsInResultset(), 0);
    EXPECT_TRUE(fixture.controller->columnNames().isEmpty());
    EXPECT_TRUE(fixture.controller->resultsetDescription().isNull());
    EXPECT_FALSE(fixture.controller->objectValueForColumn("a", 1).isValid());

    fixture.root.call("endConnection");
    fixture.controller->resetResultsetFromRoot();
    EXPECT_FALSE(fixture.controller->vornResultset());
    EXPECT_FALSE(fixture.controller->quickFilterValid());
}

TEST_F(ResultsetControllerTest, CellsShowWrappersAndDuplicateNamesKeepTheirOwnValues)
{
    ResultsetFixture fixture(sqliteTarget(folder_), 10000);
    ASSERT_TRUE(fixture.root.run("CREATE TABLE t (id INTEGER, doc CLOB, data BLOB, note TEXT)"));
    ASSERT_TRUE(
        fixture.root.run("INSERT INTO t VALUES (1, 'long text', x'0102', NULL), (2, NULL, NULL, 'n')"));
    ASSERT_TRUE(fixture.show("SELECT t.id, doc, data, note, t.id AS id, 7 AS id FROM t ORDER BY t.id"));
    ResultsetController &model = *fixture.controller;

    const QStringList names = model.columnNames();
    ASSERT_EQ(names.size(), 6);
    EXPECT_EQ(QStringList(names).removeDuplicates(), 0) << "the backend's names are unique";
    EXPECT_EQ(model.columnLabels(), QStringList({"id", "doc", "data", "note", "id", "id"}));
    EXPECT_EQ(model.numberOfRowsInResultset(), 2);

    EXPECT_EQ(model.objectValueForColumn(names[1], 1).toString(), "long text");
    EXPECT_EQ(model.objectValueForColumn(names[2], 1).toString(), "<<Binary>>");
    EXPECT_FALSE(model.objectValueForColumn(names[3], 1).isValid()) << "NULL";
    EXPECT_EQ(model.objectValueForColumn(names[3], 2).toString(), "n");
    EXPECT_EQ(model.objectValueForColumn(names[0], 2).toString(), "2");
    EXPECT_EQ(model.objectValueForColumn(names[4], 2).toString(), "2");
    EXPECT_EQ(model.objectValueForColumn(names[5], 2).toString(), "7");
    EXPECT_FALSE(model.objectValueForColumn(names[0], 3).isValid()) << "a row not fetched";
    EXPECT_EQ(model.uniqueObjectValuesForColumn(names[1], {1, 2}), QVariantList({"long text"}));
    EXPECT_EQ(model.uniqueObjectValuesForColumn(names[2], {1, 2}), QVariantList())
        << "binary values have no text";
    EXPECT_FALSE(model.canEditResultSet());
    EXPECT_FALSE(model.canCancel());
    EXPECT_EQ(model.editingRowNumber(), -1);

    const ExtendedResultsetDescription description = model.extendedResultsetDescription();
    EXPECT_EQ(description.query, "SELECT t.id, doc, data, note, t.id AS id, 7 AS id FROM t ORDER BY t.id");
    EXPECT_TRUE(description.table.isEmpty());
    EXPECT_TRUE(description.filter.isEmpty());
    EXPECT_TRUE(description.sort.isEmpty());
}

TEST(ResultsetObjectTest, DescriptionAndSortFollowTheBrowser)
{
    auto root = std::make_shared<FakeVornRootClient>();
    FakeVornBrowserClient &browser = *root->browserClient;
    browser.objectName = "EMP";
    browser.freeFilter = "salary > 1000";
    browser.sorts = {{"name_2", "DESC"}, {"id", "ASC"}};
    ResultsetController model(root);

    const ExtendedResultsetDescription description = model.extendedResultsetDescription();
    EXPECT_TRUE(description.query.isEmpty());
    EXPECT_EQ(description.table, "EMP");
    EXPECT_EQ(description.filter, "salary > 1000");
    EXPECT_EQ(description.sort, "name_2 descending, id ascending");
    EXPECT_EQ(model.quickSortColumnCurrentSort(), QStringList({"name_2", "id"}));
    EXPECT_EQ(model.quickSortColumnSortDirection("name_2"), 2);
    EXPECT_EQ(model.quickSortColumnSortDirection("id"), 1);
    EXPECT_EQ(model.quickSortColumnSortDirection("salary"), 0);
    EXPECT_EQ(model.extendedFilter()->quickFilterSort(), browser.sorts);

    browser.freeFilter.clear();
    browser.sorts.clear();
    ExtendedResultsetDescription tableOnly;
    tableOnly.table = "EMP";
    EXPECT_EQ(model.extendedResultsetDescription(), tableOnly);
    EXPECT_TRUE(model.quickSortColumnCurrentSort().isEmpty());
}

TEST_F(ResultsetControllerTest, DistinctValuesInFirstSeenOrder)
{
    ResultsetFixture fixture(sqliteTarget(folder_), 10000);
    ASSERT_TRUE(fixture.show("SELECT * FROM (VALUES ('b', 'x'), ('a', NULL), ('b', 'y'), (NULL, 'z'))"));
    const QStringList names = fixture.controller->columnNames();
    EXPECT_EQ(fixture.controller->uniqueObjectValuesForColumn(names[0], {4, 3, 2, 1}),
              QVariantList({"b", "a"}));
    EXPECT_EQ(fixture.controller->uniqueObjectValuesForColumn(names[1], {2}), QVariantList());
    EXPECT_EQ(fixture.controller->uniqueObjectValuesForColumn(names[1], {1, 3}), QVariantList({"x", "y"}));
}

TEST_F(ResultsetControllerTest, ManagementColumnsAreFormatted)
{
    ResultsetFixture fixture(sqliteTarget(folder_), 10000);
    auto element = std::make_shared<BrowserElement>("Sessions", "Management", "Activity", 20, "MANAGEMENT");
    element->setOptions({{"secondColumns", QStringList{"secs", "nosecs"}},
                         {"percentageColumns", QStringList{"pct", "nopct"}},
                         {"byteColumns", QStringList{"bytes", "nobytes"}}});
    fixture.document.selectedElement = element;
    ASSERT_TRUE(fixture.show("SELECT 90 AS secs, NULL AS nosecs, 12 AS pct, NULL AS nopct, 2048 AS bytes, "
                             "NULL AS nobytes, 'plain' AS other"));
    ResultsetController &model = *fixture.controller;
    EXPECT_TRUE(model.management());
    EXPECT_EQ(model.objectValueForColumn("secs", 1).toString(), "1m 30s");
    EXPECT_EQ(model.objectValueForColumn("nosecs", 1).toString(), "0s");
    EXPECT_EQ(model.objectValueForColumn("pct", 1).toString(), "12 %");
    EXPECT_EQ(model.objectValueForColumn("nopct", 1).toString(), "");
    EXPECT_EQ(model.objectValueForColumn("bytes", 1).toString(), "2 KB");
    EXPECT_EQ(model.objectValueForColumn("nobytes", 1).toString(), "");
    EXPECT_EQ(model.objectValueForColumn("other", 1).toString(), "plain");
}

TEST_F(ResultsetControllerTest, PreloadsOnlyWhenWantedAndTheRootIsFree)
{
    ResultsetFixture fixture(sqliteTarget(folder_), 10000);
    ASSERT_TRUE(fixture.show(numbersQuery("SQLite", 1000)));
    ResultsetController &model = *fixture.controller;
    ASSERT_EQ(model.numberOfRowsInResultset(), 100);

    model.willDisplayRange(80, 10);
    EXPECT_TRUE(fixture.document.reservations.isEmpty());

    fixture.document.refuseReservations = true;
    model.willDisplayRange(85, 10);
    EXPECT_EQ(fixture.document.reservations, QStringList({"Loading more results"}));
    EXPECT_FALSE(model.isPreloading());

    // A root held by another action is not asked at all.
    fixture.document.refuseReservations = false;
    ASSERT_TRUE(fixture.root.call("reserveRoot:", {"Other work"}).toBool());
    model.willDisplayRange(85, 10);
    EXPECT_EQ(fixture.document.reservations.size(), 1);
    fixture.root.call("releaseReservedRoot");

    model.willDisplayRange(91, 10);
    EXPECT_TRUE(model.isPreloading());
    // While the preload runs, cells are not read and no second preload starts.
    EXPECT_EQ(model.objectValueForColumn("n", 1).toString(), "");
    model.willDisplayRange(91, 10);
    EXPECT_EQ(fixture.document.reservations.size(), 2);
    ASSERT_TRUE(fixture.waitForIdle());
    ASSERT_WAIT_FOR_EQ(fixture.document.updates, 1);
    EXPECT_EQ(fixture.document.releases, 1);
    EXPECT_EQ(fixture.document.filterOrSortUpdates, 0);
    EXPECT_GT(model.numberOfRowsInResultset(), 100);
    EXPECT_EQ(model.objectValueForColumn("n", 150).toString(), "150");
    EXPECT_EQ(fixture.status->connectionStatusText(), "Resultset loaded successfully");
}

TEST(ResultsetPreloadFailureTest, AlertsAndKeepsTheRows)
{
    const auto server = serverTarget("PostgreSQL");
    VORN_REQUIRE_SERVER(server, "PostgreSQL");
    ResultsetFixture fixture(*server, 10000);
    ASSERT_TRUE(fixture.show("SELECT pg_backend_pid() AS pid"));
    const QString pid = fixture.controller->objectValueForColumn("pid", 1).toString();
    ASSERT_TRUE(fixture.show(numbersQuery("PostgreSQL", 100000)));

    // The server ends the session under the open cursor: the next portion cannot come.
    TestRoot other;
    ASSERT_TRUE(other.connect(*server, 10, 1));
    ASSERT_TRUE(other.run("SELECT pg_terminate_backend(" + pid + ")"));
    other.call("endConnection");

    fixture.controller->willDisplayRange(95, 10);
    ASSERT_TRUE(fixture.controller->isPreloading());
    ASSERT_TRUE(fixture.waitForIdle());
    ASSERT_WAIT_FOR(!fixture.alerts().isEmpty());
    EXPECT_TRUE(fixture.alerts().first().startsWith(
        "Database error: A database error occurred while reading from the resultset.\n"))
        << fixture.alerts().first().toStdString();
    EXPECT_EQ(fixture.status->connectionStatusText(), "Error loading resultset");
    ASSERT_WAIT_FOR_EQ(fixture.document.releases, 1);
    QCoreApplication::processEvents();
    EXPECT_EQ(fixture.document.updates, 0);
    EXPECT_EQ(fixture.controller->numberOfRowsInResultset(), 100);
    EXPECT_EQ(fixture.controller->objectValueForColumn("n", 100).toString(), "100");
    EXPECT_TRUE(fixture.status->resultsetLoadFailed()) << "the 100 rows are not the whole result";

    fixture.root.call("endConnection");
    ASSERT_TRUE(fixture.root.connect(*server, 10, 1));
    ASSERT_TRUE(fixture.show("SELECT 1 AS n"));
    EXPECT_FALSE(fixture.status->resultsetLoadFailed()) << "a new result starts without the mark";
}

TEST_F(ResultsetControllerTest, RefreshRunsTheStatementAgain)
{
    const DatabaseTarget target = sqliteTarget(folder_);
    ResultsetFixture fixture(target, 10000);
    ASSERT_TRUE(fixture.root.run("CREATE TABLE t (n INTEGER)"));
    ASSERT_TRUE(fixture.root.run("INSERT INTO t VALUES (1)"));
    ASSERT_TRUE(fixture.show("SELECT n FROM t"));
    ASSERT_TRUE(fixture.controller->canRefresh());
    const QoJavaObjectPtr before = fixture.controller->vornResultset()->object();

    TestRoot other;
    ASSERT_TRUE(other.connect(target, 10, 1));
    ASSERT_TRUE(other.run("INSERT INTO t VALUES (2)"));
    other.call("endConnection");

    fixture.controller->refresh();
    EXPECT_EQ(fixture.document.reservations, QStringList({"Refreshing resultset"}));
    EXPECT_FALSE(fixture.controller->canRefresh()) << "the root is reserved meanwhile";
    ASSERT_TRUE(fixture.waitForIdle());
    ASSERT_WAIT_FOR_EQ(fixture.document.filterOrSortUpdates, 1);
    EXPECT_EQ(fixture.document.updates, 1);
    EXPECT_EQ(fixture.document.releases, 1);
    EXPECT_NE(fixture.controller->vornResultset()->object().get(), before.get());
    EXPECT_EQ(fixture.controller->numberOfRowsInResultset(), 2);
    EXPECT_EQ(fixture.status->connectionStatusText(), "Resultset loaded successfully");
}

// Work whose model went before its result arrived gives the root back once and reports to nobody.
TEST_F(ResultsetControllerTest, WorkOfAModelThatWentFreesTheRootOnce)
{
    struct Case {
        const char *what;
        std::function<void(ResultsetController &)> start;
    };
    const Case cases[] = {
        {"preload", [](ResultsetController &model) { model.willDisplayRange(91, 10); }},
        {"refresh", [](ResultsetController &model) { model.refresh(); }},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        ResultsetFixture fixture(sqliteTarget(folder_, QString(c.what) + ".db"), 10000);
        ASSERT_TRUE(fixture.show(numbersQuery("SQLite", 1000)));
        c.start(*fixture.controller);
        ASSERT_EQ(fixture.document.reservations.size(), 1);
        ASSERT_TRUE(fixture.root.isTrue("reserved"));

        fixture.controller.reset();
        ASSERT_TRUE(fixture.waitForIdle()) << "the root stays reserved";
        QCoreApplication::processEvents();
        EXPECT_EQ(fixture.client->releases, 1);
        EXPECT_EQ(fixture.document.releases, 0);
        EXPECT_EQ(fixture.document.updates, 0);
        EXPECT_EQ(fixture.document.filterOrSortUpdates, 0);
    }
}

TEST_P(ResultsetControllerDatabaseTest, ModelOfAStatementResultPagesToTheEnd)
{
    ResultsetFixture fixture(target_, 0);
    ASSERT_TRUE(fixture.show(numbersQuery(GetParam(), 3000)));
    ResultsetController &model = *fixture.controller;
    EXPECT_EQ(model.columnLabels(), QStringList({"n", "label"}));
    const QStringList names = model.columnNames();
    while (!model.vornResultset()->fullyLoaded()) {
        const qint64 rows = model.numberOfRowsInResultset();
        model.willDisplayRange(rows - 5, 20);
        ASSERT_TRUE(model.isPreloading());
        ASSERT_TRUE(fixture.waitForIdle());
        ASSERT_GT(model.numberOfRowsInResultset(), rows);
    }
    EXPECT_EQ(model.numberOfRowsInResultset(), 3000);
    EXPECT_EQ(model.objectValueForColumn(names[1], 3000).toString(), "row 3000");
    EXPECT_EQ(model.objectValueForColumn(names[0], 1).toLongLong(), 1);
    model.willDisplayRange(2990, 11);
    EXPECT_FALSE(model.isPreloading()) << "a fully loaded result asks for nothing";
    WAIT_FOR(fixture.document.updates == fixture.document.releases);
}
