// The result-set model over the real backend: reset, cells, distinct values, paging, refresh and the
// ExtendedFilter archive with backend sort objects.
#include "ResultsetTestSupport.h"
#include "TestServers.h"
#include "bridge/QoJavaBridge.h"
#include "resultset/ExtendedFilter.h"
#include "status/StatusManager.h"

#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

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
    EXPECT_FALSE(model.canEditResultSet());
    EXPECT_FALSE(model.canCancel());
    EXPECT_EQ(model.editingRowNumber(), -1);

    EXPECT_EQ(
        model.extendedResultsetDescription(),
        QVariantMap({{"query", "SELECT t.id, doc, data, note, t.id AS id, 7 AS id FROM t ORDER BY t.id"}}));
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
    ASSERT_TRUE(QTest::qWaitFor([&] { return fixture.document.updates == 1; }));
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
    ASSERT_TRUE(QTest::qWaitFor([&] { return !fixture.alerts().isEmpty(); }));
    EXPECT_TRUE(fixture.alerts().first().startsWith(
        "Database error: A database error occured while reading from the resultset.\n"))
        << fixture.alerts().first().toStdString();
    EXPECT_EQ(fixture.status->connectionStatusText(), "Error loading resultset");
    ASSERT_TRUE(QTest::qWaitFor([&] { return fixture.document.releases == 1; }));
    QCoreApplication::processEvents();
    EXPECT_EQ(fixture.document.updates, 0);
    EXPECT_EQ(fixture.controller->numberOfRowsInResultset(), 100);
    EXPECT_EQ(fixture.controller->objectValueForColumn("n", 100).toString(), "100");
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
    ASSERT_TRUE(QTest::qWaitFor([&] { return fixture.document.filterOrSortUpdates == 1; }));
    EXPECT_EQ(fixture.document.updates, 1);
    EXPECT_EQ(fixture.document.releases, 1);
    EXPECT_NE(fixture.controller->vornResultset()->object().get(), before.get());
    EXPECT_EQ(fixture.controller->numberOfRowsInResultset(), 2);
    EXPECT_EQ(fixture.status->connectionStatusText(), "Resultset loaded successfully");
}

TEST_F(ResultsetControllerTest, ExtendedFilterArchiveMakesNewSortObjects)
{
    QoJavaBridge *bridge = startedBackend();
    QList<QoJavaObjectPtr> sort;
    for (const auto &[name, direction] : {std::pair{"name_2", "DESC"}, std::pair{"id", "ASC"}}) {
        QoJavaObjectPtr object = bridge->instanceOfObject("nl/dalmerik/vorn/VornSort");
        object->call("initSort::", {QString(name), QString(direction)});
        sort << object;
    }
    ExtendedFilter filter;
    filter.setQuickFilterColumns({"id", "__CUSTOM_FILTER__"});
    filter.setQuickFilterOperators({"=", "__CUSTOM_FILTER__"});
    filter.setQuickFilterValues({"5", QVariant()});
    filter.setQuickFilterSort(sort);

    const ExtendedFilterPtr read = ExtendedFilter::fromArchive(filter.archive(), bridge);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->quickFilterColumns(), filter.quickFilterColumns());
    EXPECT_EQ(read->quickFilterOperators(), filter.quickFilterOperators());
    EXPECT_EQ(read->quickFilterValues().size(), 2);
    EXPECT_FALSE(read->quickFilterValues()[1].isValid());
    ASSERT_EQ(read->quickFilterSort().size(), 2);
    EXPECT_NE(read->quickFilterSort()[0], sort[0]);
    EXPECT_EQ(read->quickFilterSort()[0]->call("name").toString(), "name_2");
    EXPECT_EQ(read->quickFilterSort()[0]->call("direction").toString(), "DESC");
    EXPECT_EQ(read->quickFilterSort()[1]->call("name").toString(), "id");

    const ExtendedFilterPtr empty = ExtendedFilter::fromArchive(ExtendedFilter().archive(), bridge);
    ASSERT_TRUE(empty);
    EXPECT_TRUE(empty->quickFilterSort().isEmpty());
    EXPECT_FALSE(ExtendedFilter::fromArchive("not a filter", bridge));
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
    EXPECT_TRUE(QTest::qWaitFor([&] { return fixture.document.updates == fixture.document.releases; }));
}
