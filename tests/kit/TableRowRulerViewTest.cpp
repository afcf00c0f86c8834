#include "kit/TableRowRulerView.h"
#include "kit/NotifyingScrollView.h"
#include "kit/ScrollViewWithTableRowRuler.h"

#include <QHeaderView>
#include <QScrollBar>
#include <QStandardItemModel>
#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>

namespace
{

struct RangeRecorder : ScrollViewWithTableRowRulerDelegate {
    QList<VisibleRowRange> ranges;
    void scrollViewWithTableRowRuler(ScrollViewWithTableRowRuler *, const VisibleRowRange &range) override
    {
        ranges << range;
    }
};

struct Grid {
    QStandardItemModel model{1200, 3};
    QTableView *table = new QTableView;
    ScrollViewWithTableRowRuler scrollView{table};
    Grid()
    {
        table->setModel(&model);
        table->verticalHeader()->setDefaultSectionSize(20);
        table->verticalScrollBar()->setSingleStep(1);
        table->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
        scrollView.resize(400, 300);
        scrollView.show();
    }
};

} // namespace

TEST(TableRowRulerView, LabelsFrom1000AreSmaller)
{
    const std::tuple<qint64, const char *, bool> cases[] = {
        {0, "1", false}, {998, "999", false}, {999, "1000", true}, {12344, "12345", true}};
    TableRowRulerView ruler;
    for (const auto &[row, label, smaller] : cases) {
        EXPECT_EQ(TableRowRulerView::labelForRow(row), label);
        EXPECT_EQ(TableRowRulerView::usesSmallerFont(row), smaller);
    }
    EXPECT_LT(ruler.fontForRow(999).pointSizeF(), ruler.fontForRow(998).pointSizeF());
}

TEST(TableRowRulerView, EditedRowIsMarkedWithATip)
{
    TableRowRulerView ruler;
    ruler.setSelected(4, true);
    EXPECT_EQ(ruler.selectedRow(), 4);
    EXPECT_TRUE(ruler.selectedRowIsEdited());
    EXPECT_EQ(ruler.toolTip(), "Current record has changes that are not sent to the database yet.");
    ruler.setSelected(4, false);
    EXPECT_TRUE(ruler.toolTip().isEmpty());
}

TEST(ScrollViewWithTableRowRuler, ScrollingReportsTheVisibleRowsAndMovesTheBlocks)
{
    Grid grid;
    RangeRecorder recorder;
    grid.scrollView.setDelegate(&recorder);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&grid.scrollView));
    TableRowRulerView *ruler = grid.scrollView.rulerView();
    const QRectF before = ruler->blockRectForRow(3);
    grid.table->verticalScrollBar()->setValue(10); // half a row
    ASSERT_FALSE(recorder.ranges.isEmpty());
    EXPECT_EQ(recorder.ranges.last().location, 0);
    EXPECT_EQ(ruler->blockRectForRow(3).y(), before.y() - 10);
    grid.table->verticalScrollBar()->setValue(20 * 1000);
    EXPECT_EQ(recorder.ranges.last().location, 1000);
    EXPECT_GT(recorder.ranges.last().length, 5);
    grid.scrollView.setSelected(1002, true);
    grid.scrollView.grab().save("/tmp/tabs-row-ruler.png");

    grid.scrollView.resize(500, 200); // the ruler keeps its place and width
    EXPECT_EQ(ruler->geometry(), QRect(0, 0, ScrollViewWithTableRowRuler::rulerWidth, 200));
}

TEST(NotifyingScrollView, TellsItsDelegateAfterEveryScroll)
{
    struct Counter : NotifyingScrollViewDelegate {
        int scrolls = 0;
        void notifyingScrollViewScrolled(NotifyingScrollView *) override { ++scrolls; }
    } counter;
    NotifyingScrollView view;
    auto *content = new QWidget;
    content->resize(100, 1000);
    view.setWidget(content);
    view.resize(100, 100);
    view.show();
    view.verticalScrollBar()->setValue(50); // no delegate yet
    view.setDelegate(&counter);
    view.verticalScrollBar()->setValue(100);
    EXPECT_EQ(counter.scrolls, 1);
}
