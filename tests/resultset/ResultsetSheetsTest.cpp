// The grid's filter and sort sheets over a real SQLite table: when the grid offers them, what they open
// with, Set applying to the rows, and Cancel leaving the rows as they were.
#include "ResultsetTestSupport.h"
#include "WaitFor.h"
#include "resultset/FilterWindowController.h"
#include "resultset/ResultsetTableModel.h"
#include "resultset/ResultsetViewController.h"
#include "resultset/SortWindowController.h"

#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace
{
class ResultsetSheetsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        fixture_ = std::make_unique<ResultsetFixture>(sqliteTarget(folder_), 2000);
        ASSERT_TRUE(fixture_->root.run("CREATE TABLE item (id INTEGER PRIMARY KEY, name VARCHAR(40), "
                                       "amount DECIMAL(8, 2))"));
        for (int id = 1; id <= 6; ++id)
            ASSERT_TRUE(
                fixture_->root.run(QString("INSERT INTO item VALUES (%1, 'n%2', %1.5)").arg(id).arg(id % 3)));
        ASSERT_TRUE(fixture_->showTable("item"));
        grid_.view()->resize(700, 400);
        grid_.view()->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(grid_.view()));
        fixture_->document.grid = &grid_;
        grid_.setResultsetController(fixture_->controller.get());
    }

    void TearDown() override
    {
        if (fixture_)
            fixture_->waitForIdle();
    }

    // The ids in the grid's rows, as it shows them.
    QStringList ids() const
    {
        QStringList shown;
        for (int row = 0; row < grid_.tableModel()->rowCount(); ++row)
            shown << grid_.tableModel()->index(row, 1).data().toString();
        return shown;
    }

    int sortReservations() const { return int(fixture_->document.reservations.count("Sorting results")); }

    static void selectRow(QTableView *table, int row)
    {
        table->selectionModel()->clearSelection();
        table->selectRow(row);
    }

    QTemporaryDir folder_;
    // Outlives the fixture, which lets go of it.
    ResultsetViewController grid_;
    std::unique_ptr<ResultsetFixture> fixture_;
};
} // namespace

TEST_F(ResultsetSheetsTest, SheetsAreOfferedForATablesRowsOnly)
{
    EXPECT_TRUE(grid_.validateAction("sort:"));
    EXPECT_TRUE(grid_.validateAction("filter:"));

    ASSERT_TRUE(fixture_->client->reserveRoot("busy"));
    EXPECT_FALSE(grid_.validateAction("sort:")) << "not while the root is busy";
    fixture_->client->releaseReservedRoot();

    ASSERT_TRUE(fixture_->show("SELECT id FROM item"));
    grid_.resultsetReset();
    EXPECT_FALSE(grid_.validateAction("sort:")) << "a statement's result has no sort of its own";
    EXPECT_FALSE(grid_.validateAction("filter:"));

    grid_.setResultsetController(nullptr);
    EXPECT_FALSE(grid_.validateAction("filter:"));
}

TEST_F(ResultsetSheetsTest, SortSheetSortsOnlyOnSet)
{
    grid_.sort(nullptr);
    SortWindowController *sheet = grid_.sortWindowController();
    ASSERT_NE(sheet, nullptr);
    EXPECT_TRUE(sheet->panel()->isVisible());
    EXPECT_EQ(sheet->remainingColumnNames(), (QStringList{"id", "name", "amount"}));
    EXPECT_TRUE(sheet->currentSort().isEmpty());

    selectRow(sheet->tableAvailable(), 1);
    sheet->addDescButton()->click();
    selectRow(sheet->tableAvailable(), 0);
    sheet->addDescButton()->click();
    sheet->cancel();
    ASSERT_TRUE(fixture_->waitForIdle());
    EXPECT_EQ(sortReservations(), 0);
    EXPECT_TRUE(fixture_->controller->quickSortColumns().isEmpty()) << "Cancel keeps the grid's sort";
    EXPECT_EQ(ids(), (QStringList{"1", "2", "3", "4", "5", "6"}));

    grid_.sort(nullptr);
    EXPECT_EQ(grid_.sortWindowController(), sheet) << "made once, then kept";
    EXPECT_TRUE(sheet->currentSort().isEmpty()) << "the cancelled entries are gone";
    selectRow(sheet->tableAvailable(), 1);
    sheet->addDescButton()->click(); // name, descending
    selectRow(sheet->tableAvailable(), 0);
    sheet->addAscButton()->click(); // then id, ascending
    sheet->setButton()->click();
    ASSERT_WAIT_FOR(sortReservations() == 1);
    ASSERT_TRUE(fixture_->waitForIdle());
    ASSERT_WAIT_FOR_EQ(ids(), (QStringList{"2", "5", "1", "4", "3", "6"}));
    EXPECT_EQ(fixture_->controller->quickSortColumns(), (QList<VornSort>{{"name", "DESC"}, {"id", "ASC"}}));

    grid_.sort(nullptr);
    EXPECT_EQ(sheet->currentSort(), (QList<VornSort>{{"name", "DESC"}, {"id", "ASC"}}))
        << "the sheet opens with the grid's sort";
    EXPECT_EQ(sheet->remainingColumnNames(), QStringList{"amount"});
    sheet->cancel();
}

TEST_F(ResultsetSheetsTest, FilterSheetSetMakesTheOneCustomRow)
{
    grid_.filter(nullptr);
    FilterWindowController *sheet = grid_.filterWindowController();
    ASSERT_NE(sheet, nullptr);
    EXPECT_TRUE(sheet->panel()->isVisible());
    EXPECT_TRUE(sheet->filter().isEmpty());
    ASSERT_EQ(sheet->columnNames()->count(), 3) << "the table's columns, not the markers after them";
    EXPECT_EQ(sheet->columnNames()->itemText(0), "id");

    // A condition written by the backend for the chosen column, operator and value.
    sheet->operators()->setCurrentIndex(sheet->operators()->findData(">"));
    sheet->value()->setText("3");
    sheet->andAction();
    sheet->columnNames()->setCurrentIndex(1);
    sheet->operators()->setCurrentIndex(sheet->operators()->findData("="));
    sheet->value()->setText("n1");
    sheet->andNotAction();
    const QString condition = sheet->filter();
    EXPECT_TRUE(condition.contains(" AND NOT ")) << condition.toStdString();

    sheet->setButton()->click();
    ASSERT_TRUE(fixture_->waitForIdle());
    ASSERT_WAIT_FOR_EQ(ids(), (QStringList{"5", "6"}));
    EXPECT_EQ(fixture_->controller->quickFilterColumnColumns(), QVariantList{"__CUSTOM_FILTER__"});
    EXPECT_EQ(fixture_->controller->quickFilterColumnOperators(), QVariantList{"__CUSTOM_FILTER__"});
    EXPECT_EQ(fixture_->controller->quickFilterColumnValues(), QVariantList{condition});

    grid_.filter(nullptr);
    EXPECT_EQ(grid_.filterWindowController(), sheet);
    EXPECT_TRUE(sheet->filter().contains(condition)) << "the sheet opens with the filter in force";
    sheet->filterText()->setPlainText("id < 3");
    sheet->cancel();
    ASSERT_TRUE(fixture_->waitForIdle());
    EXPECT_EQ(ids(), (QStringList{"5", "6"})) << "Cancel keeps the grid's filter";

    grid_.filter(nullptr);
    sheet->clearFilter();
    sheet->setButton()->click();
    ASSERT_TRUE(fixture_->waitForIdle());
    // An empty condition filters nothing.
    ASSERT_WAIT_FOR_EQ(ids().size(), 6);
}
