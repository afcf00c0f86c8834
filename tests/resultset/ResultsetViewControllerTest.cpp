// The result grid over a real result set: columns, widths, duplicate labels, remembered layouts and paging
// by scrolling against SQLite, PostgreSQL and MariaDB.
#include "resultset/ResultsetViewController.h"
#include "ResultsetTestSupport.h"
#include "TestServers.h"
#include "WaitFor.h"
#include "resultset/ResultsetTableModel.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QImage>
#include <QScrollBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace
{
// A grid in a shown window of the given width, bound to a fixture's model.
struct ShownGrid {
    explicit ShownGrid(int width = 800, int height = 400)
    {
        grid.view()->resize(width, height);
        grid.view()->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(grid.view()));
    }
    ~ShownGrid() { grid.setResultsetController(nullptr); }

    void bind(ResultsetFixture &fixture)
    {
        fixture.document.grid = &grid;
        grid.setResultsetController(fixture.controller.get());
    }
    QHeaderView *header() const { return grid.tableView()->horizontalHeader(); }
    int width(int column) const { return header()->sectionSize(column); }
    QString cell(int row, int column) const
    {
        return grid.tableModel()->index(row, column).data().toString();
    }
    QString title(int column) const
    {
        return grid.tableModel()->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
    }

    ResultsetViewController grid;
};

class ResultsetViewControllerTest : public ::testing::Test
{
protected:
    QTemporaryDir folder_;
};

using ResultsetGridPagingTest = ResultsetDatabaseTest;

INSTANTIATE_TEST_SUITE_P(Databases, ResultsetGridPagingTest,
                         ::testing::Values("SQLite", "PostgreSQL", "MySQL"),
                         [](const auto &info) { return info.param.toStdString(); });

// Scrolls to the last row until no more rows arrive; the row count reached.
int scrollToTheEnd(ShownGrid &shown, ResultsetFixture &fixture)
{
    for (;;) {
        const int rows = shown.grid.tableModel()->rowCount();
        shown.grid.tableView()->scrollToBottom();
        QCoreApplication::processEvents();
        EXPECT_TRUE(fixture.waitForIdle());
        QCoreApplication::processEvents();
        if (shown.grid.tableModel()->rowCount() == rows && !fixture.controller->isPreloading())
            return rows;
    }
}
} // namespace

TEST_F(ResultsetViewControllerTest, WithoutModelOnlyTheRowNumberColumn)
{
    ShownGrid shown;
    EXPECT_EQ(shown.grid.tableModel()->columnCount(), 1);
    EXPECT_EQ(shown.grid.tableModel()->rowCount(), 0);
    EXPECT_EQ(shown.grid.tableModel()->identifier(0), "_ROWNUM_COL");
    EXPECT_EQ(shown.width(0), 43);

    const QList<VisualShortcut> shortcuts = shown.grid.visualShortcuts();
    ASSERT_EQ(shortcuts.size(), 1);
    EXPECT_EQ(shortcuts[0].keyEquivalent, "l");
    EXPECT_EQ(shortcuts[0].modifierFlags, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_EQ(shortcuts[0].subTitle, "Select the resultset");

    ResultsetFixture fixture(sqliteTarget(folder_), 10000);
    ASSERT_TRUE(fixture.root.run("CREATE TABLE t (n INTEGER)"));
    fixture.controller->resetResultsetFromRoot();
    shown.bind(fixture);
    EXPECT_EQ(shown.grid.tableModel()->columnCount(), 1);
}

TEST_F(ResultsetViewControllerTest, ColumnsByUniqueNameTitledByLabel)
{
    ShownGrid shown(1000);
    ResultsetFixture fixture(sqliteTarget(folder_), 10000);
    ASSERT_TRUE(fixture.show("SELECT 1 AS a, 2 AS a, NULL AS b UNION ALL SELECT 3, 4, 'x'"));
    shown.bind(fixture);
    ResultsetTableModel *model = shown.grid.tableModel();
    ASSERT_EQ(model->columnCount(), 4);
    EXPECT_EQ(model->identifiers().mid(1), fixture.controller->columnNames());
    EXPECT_NE(model->identifier(1), model->identifier(2));
    EXPECT_EQ(shown.title(1), "a");
    EXPECT_EQ(shown.title(2), "a");
    EXPECT_EQ(shown.title(0), "");
    EXPECT_EQ(shown.cell(0, 1), "1");
    EXPECT_EQ(shown.cell(0, 2), "2");
    EXPECT_EQ(shown.cell(1, 2), "4");
    EXPECT_EQ(shown.cell(0, 0), "");
    EXPECT_FALSE(model->index(0, 3).data().isValid());
    EXPECT_EQ(shown.cell(1, 3), "x");

    for (int column = 1; column <= 3; ++column)
        EXPECT_EQ(shown.width(column), ResultsetViewController::minimumColumnWidth)
            << "short titles and values";
    EXPECT_EQ(shown.width(0), 43);

    const QString path = qEnvironmentVariable("VORN_BUILD_DIR") + "/resultset-grid.png";
    EXPECT_TRUE(shown.grid.view()->grab().save(path));
}

// Each column as wide as its title and the values of the first page, within the minimum and maximum
// widths; numbers right-aligned.
TEST_F(ResultsetViewControllerTest, ColumnsFitTitleAndFirstPageNumbersAlignRight)
{
    const QString medium = "a value that needs more room than the minimum";
    const QString longTitle = "a_column_title_that_needs_more_room";
    ShownGrid shown(1400);
    ResultsetFixture fixture(sqliteTarget(folder_), 10000);
    ASSERT_TRUE(fixture.root.run(
        QString("CREATE TABLE t (id INTEGER, amount REAL, early TEXT, late TEXT, %1 TEXT, essay TEXT)")
            .arg(longTitle)));
    ASSERT_TRUE(fixture.root.run(
        QString("WITH RECURSIVE c(n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM c WHERE n < 150) "
                "INSERT INTO t SELECT n, n * 1.5, CASE WHEN n = 50 THEN '%1' ELSE 'x' END, "
                "CASE WHEN n = 120 THEN '%1' ELSE 'x' END, 'y', CASE WHEN n = 1 THEN '%2' END FROM c")
            .arg(medium, QString(600, 'w'))));
    ASSERT_TRUE(fixture.show("SELECT * FROM t ORDER BY id"));
    shown.bind(fixture);
    ResultsetTableModel *model = shown.grid.tableModel();
    ASSERT_EQ(model->columnCount(), 7);
    ASSERT_EQ(model->rowCount(), 100) << "the first page";

    const QFontMetrics cells(shown.grid.tableView()->font());
    const QFontMetrics titles(shown.header()->font());
    EXPECT_EQ(shown.width(1), ResultsetViewController::minimumColumnWidth);
    EXPECT_GT(shown.width(3), cells.horizontalAdvance(medium)) << "a value on the first page";
    EXPECT_EQ(shown.width(4), ResultsetViewController::minimumColumnWidth) << "a value past the first page";
    EXPECT_GT(shown.width(5), titles.horizontalAdvance(longTitle)) << "the title";
    EXPECT_EQ(shown.width(6), ResultsetViewController::maximumFittedColumnWidth) << "a very long value";

    const auto alignment = [&](int column) {
        return Qt::Alignment(model->index(0, column).data(Qt::TextAlignmentRole).toInt()) &
               Qt::AlignHorizontal_Mask;
    };
    EXPECT_EQ(alignment(1), Qt::AlignRight) << "integer";
    EXPECT_EQ(alignment(2), Qt::AlignRight) << "floating point";
    for (int column : {0, 3, 6})
        EXPECT_NE(alignment(column), Qt::AlignRight) << column;

    // Widths the user chose win over the fitted ones when the result comes back.
    shown.header()->resizeSection(6, 150);
    ASSERT_TRUE(fixture.show("SELECT * FROM t ORDER BY id"));
    shown.grid.resultsetReset();
    EXPECT_EQ(shown.width(6), 150);

    const QString path = qEnvironmentVariable("VORN_BUILD_DIR") + "/resultset-fitted-columns.png";
    EXPECT_TRUE(shown.grid.view()->grab().save(path));
}

namespace
{
// The horizontal extent of the dark pixels of an image; {-1, -1} when there are none.
std::pair<int, int> inkExtent(const QImage &image)
{
    int left = -1;
    int right = -1;
    for (int x = 0; x < image.width(); ++x) {
        for (int y = 0; y < image.height(); ++y) {
            if (qGray(image.pixel(x, y)) < 200) {
                left = left < 0 ? x : left;
                right = x;
                break;
            }
        }
    }
    return {left, right};
}
} // namespace

TEST_F(ResultsetViewControllerTest, RowNumbersShowAllTheirDigits)
{
    ShownGrid shown(600, 300);
    ResultsetFixture fixture(sqliteTarget(folder_), 0);
    ASSERT_TRUE(fixture.show(numbersQuery("SQLite", 10000)));
    shown.bind(fixture);
    EXPECT_EQ(shown.width(0), ResultsetViewController::rowNumberColumnWidth) << "three digits fit";
    ASSERT_EQ(scrollToTheEnd(shown, fixture), 10000);

    // The last row number as drawn: its first digit is not cut off at the left edge of the column.
    QTableView *table = shown.grid.tableView();
    const QRect cell = table->visualRect(shown.grid.tableModel()->index(9999, 0));
    ASSERT_TRUE(table->viewport()->rect().contains(cell));
    const QImage image = table->viewport()->grab(cell).toImage();
    const auto [left, right] = inkExtent(image);
    ASSERT_GE(left, 0) << "the row number is drawn";
    EXPECT_GT(left, 1);
    EXPECT_GE(right - left + 1, table->fontMetrics().tightBoundingRect("10000").width() - 2);
    EXPECT_TRUE(image.save(qEnvironmentVariable("VORN_BUILD_DIR") + "/resultset-row-number.png"));
}

TEST_F(ResultsetViewControllerTest, RowNumberColumnStaysFirstAndLayoutsAreRemembered)
{
    ShownGrid shown(600);
    ResultsetFixture fixture(sqliteTarget(folder_), 10000);
    ASSERT_TRUE(fixture.show("SELECT 1 AS a, 2 AS b, 3 AS c"));
    shown.bind(fixture);
    QHeaderView *header = shown.header();

    header->moveSection(2, 0);
    EXPECT_EQ(header->logicalIndex(0), 0) << "nothing moves before the row-number column";
    header->moveSection(0, 2);
    EXPECT_EQ(header->logicalIndex(0), 0) << "the row-number column does not move";
    header->moveSection(3, 1);
    EXPECT_EQ(header->logicalIndex(1), 3);
    header->resizeSection(2, 150);
    header->resizeSection(1, 20);
    EXPECT_EQ(shown.width(1), 80) << "data columns keep their minimum width";

    // The same description gets the same layout; another statement gets its own.
    ASSERT_TRUE(fixture.show("SELECT 9 AS x"));
    shown.grid.resultsetReset();
    EXPECT_EQ(header->count(), 2);
    ASSERT_TRUE(fixture.show("SELECT 4 AS a, 5 AS b, 6 AS c"));
    shown.grid.resultsetReset();
    EXPECT_EQ(header->logicalIndex(1), 3);
    EXPECT_EQ(shown.width(2), 150);
    EXPECT_EQ(shown.cell(0, 3), "6");
}

TEST_F(ResultsetViewControllerTest, InterfaceStateKeepsSelectionAndPosition)
{
    ShownGrid shown(600, 200);
    ResultsetFixture fixture(sqliteTarget(folder_), 10000);
    ASSERT_TRUE(fixture.show(numbersQuery("SQLite", 50)));
    shown.bind(fixture);
    shown.grid.tableView()->selectRow(30);
    shown.grid.tableView()->scrollTo(shown.grid.tableModel()->index(30, 1));
    QVariantMap state;
    shown.grid.encodeInferfaceState(state);
    const int position = shown.grid.tableView()->verticalScrollBar()->value();
    EXPECT_GT(position, 0);

    shown.grid.setDefaultInterfaceState();
    shown.grid.tableView()->clearSelection();
    EXPECT_EQ(shown.grid.tableView()->verticalScrollBar()->value(), 0);
    shown.grid.decodeInferfaceState(state);
    EXPECT_EQ(shown.grid.tableView()->verticalScrollBar()->value(), position);
    const auto selected = shown.grid.tableView()->selectionModel()->selectedRows();
    ASSERT_EQ(selected.size(), 1);
    EXPECT_EQ(selected[0].row(), 30);
}

TEST_F(ResultsetViewControllerTest, ScrollingNearTheEndLoadsMoreRows)
{
    ShownGrid shown(600, 300);
    ResultsetFixture fixture(sqliteTarget(folder_), 10000);
    ASSERT_TRUE(fixture.show(numbersQuery("SQLite", 1000)));
    shown.bind(fixture);
    ASSERT_TRUE(fixture.waitForIdle());
    EXPECT_EQ(shown.grid.tableModel()->rowCount(), 100);
    EXPECT_TRUE(fixture.document.reservations.isEmpty()) << "the first rows ask for nothing";

    // Grid row 88 is model row 89: more than ten rows remain below it; row 90 is within ten of the end.
    QTableView *table = shown.grid.tableView();
    table->scrollTo(shown.grid.tableModel()->index(88, 1), QAbstractItemView::PositionAtBottom);
    ASSERT_TRUE(fixture.waitForIdle());
    EXPECT_TRUE(fixture.document.reservations.isEmpty());
    table->scrollTo(shown.grid.tableModel()->index(89, 1), QAbstractItemView::PositionAtBottom);
    ASSERT_TRUE(fixture.waitForIdle());
    EXPECT_EQ(fixture.document.reservations, QStringList({"Loading more results"}));
    ASSERT_WAIT_FOR(shown.grid.tableModel()->rowCount() > 100);
    EXPECT_EQ(shown.cell(150, 1), "151");
}

TEST_P(ResultsetGridPagingTest, ScrollingReachesTheRowLimitAndWithoutItTheEnd)
{
    ShownGrid shown(800, 400);
    {
        ResultsetFixture fixture(target_, 10000);
        ASSERT_TRUE(fixture.show(numbersQuery(GetParam(), 50000)));
        shown.bind(fixture);
        EXPECT_EQ(scrollToTheEnd(shown, fixture), 10000);
        EXPECT_TRUE(fixture.controller->vornResultset()->fullyLoaded());
        EXPECT_EQ(shown.cell(9999, 2), "row 10000");
        shown.grid.setResultsetController(nullptr);
    }
    ResultsetFixture fixture(target_, 0);
    ASSERT_TRUE(fixture.show(numbersQuery(GetParam(), 50000)));
    shown.bind(fixture);
    EXPECT_EQ(scrollToTheEnd(shown, fixture), 50000);
    EXPECT_EQ(shown.cell(49999, 2), "row 50000");
    EXPECT_EQ(shown.cell(0, 1), "1");
    EXPECT_TRUE(fixture.alerts().isEmpty()) << fixture.alerts().join('\n').toStdString();
}
