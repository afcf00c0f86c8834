// The sort sheet on its own: the two lists, the buttons, the drags between and within the lists, the
// flip of a direction by double-click, and how the sheet ends.
#include "resultset/SortWindowController.h"
#include "WaitFor.h"
#include "resultset/SortWindowControllerDelegate.h"

#include <QDialog>
#include <QMimeData>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>

namespace
{
using List = SortWindowController::List;

QList<VornSort> sorts(std::initializer_list<std::pair<const char *, const char *>> entries)
{
    QList<VornSort> list;
    for (const auto &[name, direction] : entries)
        list.append(VornSort{name, direction});
    return list;
}

struct EndRecorder : SortWindowControllerDelegate {
    void sortWindowEndedWithStatus(SortWindowController *sheet, int status) override
    {
        statuses.append(status);
        sortAtEnd = sheet->currentSort();
    }
    QList<int> statuses;
    QList<VornSort> sortAtEnd;
};

class SortWindowControllerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        window.resize(600, 400);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        sheet.setDelegate(&recorder);
    }

    void open(const QList<VornSort> &sort, const QStringList &columns = {"A", "B", "C", "D"})
    {
        sheet.setSort(sort, columns);
        sheet.showOnWindow(&window);
    }

    void select(QTableView *table, int row)
    {
        table->selectionModel()->clearSelection();
        if (row >= 0)
            table->selectRow(row);
    }

    QStringList currentTexts() const
    {
        QStringList texts;
        for (int row = 0; row < sheet.numberOfRows(List::Current); ++row)
            texts << sheet.objectValue(List::Current, 0, row) + " " +
                         sheet.objectValue(List::Current, 1, row);
        return texts;
    }

    // Drags the row out of one list and drops it before the row of the other (or the same) list.
    bool drag(List from, int row, List to, int before)
    {
        std::unique_ptr<QMimeData> data(sheet.writeRows(from, {row}));
        return data && sheet.acceptDrop(to, data.get(), before);
    }

    QWidget window;
    EndRecorder recorder;
    SortWindowController sheet;
};
} // namespace

TEST_F(SortWindowControllerTest, OpeningShowsTheColumnsLeftBesideTheSort)
{
    open(sorts({{"B", "ASC"}}), {"A", "B", "C"});
    EXPECT_EQ(sheet.remainingColumnNames(), (QStringList{"A", "C"}));
    EXPECT_EQ(currentTexts(), QStringList{"B Ascending"});
    EXPECT_TRUE(sheet.panel()->isVisible());
    EXPECT_TRUE(sheet.panel()->isModal());
    EXPECT_EQ(sheet.tableAvailable()->model()->rowCount(), 2);
    EXPECT_EQ(sheet.tableCurrent()->model()->index(0, 1).data().toString(), "Ascending");
}

TEST_F(SortWindowControllerTest, ButtonsFollowTheSelectionsAndMoveColumns)
{
    open(sorts({{"B", "DESC"}}));
    select(sheet.tableAvailable(), -1);
    select(sheet.tableCurrent(), -1);
    EXPECT_FALSE(sheet.addAscButton()->isEnabled());
    EXPECT_FALSE(sheet.addDescButton()->isEnabled());
    EXPECT_FALSE(sheet.removeButton()->isEnabled());

    select(sheet.tableAvailable(), 1); // C
    EXPECT_TRUE(sheet.addAscButton()->isEnabled());
    sheet.addDescButton()->click();
    EXPECT_EQ(currentTexts(), (QStringList{"B Descending", "C Descending"}));
    EXPECT_EQ(sheet.remainingColumnNames(), (QStringList{"A", "D"}));
    sheet.addAscButton()->click(); // the next column stays selected: D
    EXPECT_EQ(currentTexts(), (QStringList{"B Descending", "C Descending", "D Ascending"}));

    select(sheet.tableCurrent(), 0);
    EXPECT_TRUE(sheet.removeButton()->isEnabled());
    sheet.removeButton()->click();
    EXPECT_EQ(sheet.remainingColumnNames(), (QStringList{"A", "B"})) << "the button appends at the end";
    EXPECT_EQ(currentTexts(), (QStringList{"C Descending", "D Ascending"}));

    sheet.clearSort();
    EXPECT_TRUE(currentTexts().isEmpty());
    EXPECT_EQ(sheet.remainingColumnNames(), (QStringList{"A", "B", "C", "D"})) << "in the order given";
}

TEST_F(SortWindowControllerTest, DragsMoveRowsBetweenAndWithinTheLists)
{
    struct Case {
        const char *what;
        List from;
        int row;
        List to;
        int before;
        QStringList current;
        QStringList available;
    };
    const QList<Case> cases{
        {"the first entry below the third is last",
         List::Current,
         0,
         List::Current,
         3,
         {"B Ascending", "C Descending", "A Ascending"},
         {"D"}},
        {"the last entry above the first is first",
         List::Current,
         2,
         List::Current,
         0,
         {"C Descending", "A Ascending", "B Ascending"},
         {"D"}},
        {"an entry dropped where it is stays",
         List::Current,
         1,
         List::Current,
         2,
         {"A Ascending", "B Ascending", "C Descending"},
         {"D"}},
        {"an available column is added ascending where dropped",
         List::Available,
         0,
         List::Current,
         1,
         {"A Ascending", "D Ascending", "B Ascending", "C Descending"},
         {}},
        {"an entry dragged back lands where dropped",
         List::Current,
         1,
         List::Available,
         0,
         {"A Ascending", "C Descending"},
         {"B", "D"}},
        {"an entry dragged below the available columns goes last",
         List::Current,
         0,
         List::Available,
         1,
         {"B Ascending", "C Descending"},
         {"D", "A"}},
    };
    for (const Case &c : cases) {
        open(sorts({{"A", "ASC"}, {"B", "ASC"}, {"C", "DESC"}}));
        EXPECT_TRUE(drag(c.from, c.row, c.to, c.before)) << c.what;
        EXPECT_EQ(currentTexts(), c.current) << c.what;
        EXPECT_EQ(sheet.remainingColumnNames(), c.available) << c.what;
        sheet.cancel();
    }
}

TEST_F(SortWindowControllerTest, DropsOntoRowsOrFromElsewhereAreRefused)
{
    open(sorts({{"A", "ASC"}, {"B", "ASC"}}));
    std::unique_ptr<QMimeData> entry(sheet.writeRows(List::Current, {0}));
    EXPECT_FALSE(sheet.validateDrop(List::Current, entry.get(), 1, true)) << "onto a row";
    EXPECT_TRUE(sheet.validateDrop(List::Current, entry.get(), 1, false));
    std::unique_ptr<QMimeData> column(sheet.writeRows(List::Available, {0}));
    EXPECT_FALSE(sheet.validateDrop(List::Available, column.get(), 0, false)) << "available onto itself";
    EXPECT_TRUE(sheet.validateDrop(List::Current, column.get(), 0, false));

    // The same content from another sheet names rows of that sheet's lists.
    QMimeData foreign;
    foreign.setData(SortWindowController::currentDragType, "0");
    EXPECT_FALSE(sheet.acceptDrop(List::Available, &foreign, 0));
    QMimeData outOfRange;
    outOfRange.setData(SortWindowController::currentDragType, "7");
    EXPECT_FALSE(sheet.acceptDrop(List::Available, &outOfRange, 0));
    EXPECT_EQ(sheet.currentSort().size(), 2);

    // Through the table's model as a view drops: between rows, after the last, not onto one.
    QAbstractItemModel *current = sheet.tableCurrent()->model();
    std::unique_ptr<QMimeData> again(sheet.writeRows(List::Available, {0}));
    EXPECT_FALSE(current->dropMimeData(again.get(), Qt::MoveAction, -1, -1, current->index(0, 0)));
    EXPECT_TRUE(current->dropMimeData(again.get(), Qt::MoveAction, -1, -1, QModelIndex()));
    EXPECT_EQ(currentTexts(), (QStringList{"A Ascending", "B Ascending", "C Ascending"}));
}

TEST_F(SortWindowControllerTest, DoubleClickFlipsTheDirection)
{
    open(sorts({{"A", "ASC"}, {"B", "DESC"}}));
    QTableView *table = sheet.tableCurrent();
    ASSERT_WAIT_FOR(table->isVisible());
    for (const char *expected : {"Descending", "Ascending"}) {
        const QRect cell = table->visualRect(table->model()->index(0, 1));
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, cell.center());
        QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, cell.center());
        EXPECT_EQ(sheet.objectValue(List::Current, 1, 0), expected);
    }
    EXPECT_EQ(sheet.objectValue(List::Current, 1, 1), "Descending") << "only the clicked entry";
    select(table, -1);
    sheet.currentDouble();
    EXPECT_EQ(currentTexts(), (QStringList{"A Ascending", "B Descending"})) << "nothing without a selection";
}

TEST_F(SortWindowControllerTest, SetAndCancelEndTheSheetWithTheirCodes)
{
    const QList<VornSort> given = sorts({{"A", "ASC"}});
    open(given);
    select(sheet.tableCurrent(), 0);
    sheet.currentDouble();
    sheet.cancel();
    EXPECT_EQ(recorder.statuses, QList<int>{0});
    EXPECT_FALSE(sheet.panel()->isVisible());
    EXPECT_EQ(given, sorts({{"A", "ASC"}})) << "the sheet flips its own copy";

    open(given);
    EXPECT_EQ(currentTexts(), QStringList{"A Ascending"}) << "a cancelled sheet leaves no trace";
    select(sheet.tableAvailable(), 0);
    sheet.addDesc();
    sheet.setButton()->click();
    EXPECT_EQ(recorder.statuses, (QList<int>{0, 1}));
    EXPECT_EQ(recorder.sortAtEnd, sorts({{"A", "ASC"}, {"B", "DESC"}}));

    open(given);
    QTest::keyClick(sheet.tableAvailable(), Qt::Key_Escape);
    EXPECT_EQ(recorder.statuses, (QList<int>{0, 1, 0})) << "Escape cancels";
}
