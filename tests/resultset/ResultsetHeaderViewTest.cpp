// The grid header tells a click, a column move and a vertical drag apart by distance, and leaves presses
// near a column's edge to the standard header.
#include "resultset/ResultsetHeaderView.h"

#include <QApplication>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

namespace
{
class ResultsetHeaderViewTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        model_.setColumnCount(3);
        model_.setRowCount(2);
        header_ = new ResultsetHeaderView(&table_);
        table_.setHorizontalHeader(header_);
        table_.setModel(&model_);
        header_->setSectionsMovable(true);
        for (int column = 0; column < 3; ++column)
            header_->resizeSection(column, 100);
        table_.resize(400, 200);
        table_.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&table_));
    }

    void send(QEvent::Type type, QPointF point, Qt::MouseButtons buttons = Qt::LeftButton)
    {
        QMouseEvent event(type, point, header_->viewport()->mapToGlobal(point), Qt::LeftButton, buttons,
                          Qt::NoModifier);
        QApplication::sendEvent(header_->viewport(), &event);
    }

    // A press at the point, moves by the offsets in turn, and the release.
    void gesture(QPointF point, const QList<QPointF> &moves)
    {
        send(QEvent::MouseButtonPress, point);
        for (const QPointF &move : moves)
            send(QEvent::MouseMove, point + move);
        send(QEvent::MouseButtonRelease, point + (moves.isEmpty() ? QPointF() : moves.last()), Qt::NoButton);
    }

    QStandardItemModel model_;
    QTableView table_;
    ResultsetHeaderView *header_ = nullptr;
};
} // namespace

TEST_F(ResultsetHeaderViewTest, GesturesAreToldApartByDistance)
{
    struct Case {
        const char *what;
        qreal x;
        QList<QPointF> moves;
        int clicks;
        int verticalDrags;
    };
    const qreal y = 10;
    const Case cases[] = {
        {"5 inside the right edge resizes", 95, {}, 0, 0},
        {"6 inside the right edge clicks", 94, {}, 1, 0},
        {"5 inside the left edge resizes", 105, {}, 0, 0},
        {"6 inside the left edge clicks", 106, {}, 1, 0},
        {"3 down is still a click", 150, {{0, 3}}, 1, 0},
        {"3.5 down drags the column out", 150, {{0, 3.5}}, 0, 1},
        {"3.5 up drags the column out", 150, {{0, -3.5}}, 0, 1},
        {"over 3 across first moves the column", 150, {{3.5, 0}, {3.5, 20}}, 0, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        QSignalSpy clicks(header_, &ResultsetHeaderView::didClickTableColumn);
        QSignalSpy drags(header_, &ResultsetHeaderView::startedVerticalDragForColumn);
        gesture(QPointF(c.x, y), c.moves);
        EXPECT_EQ(clicks.size(), c.clicks);
        EXPECT_EQ(drags.size(), c.verticalDrags);
        if (!clicks.isEmpty()) {
            EXPECT_EQ(clicks.first().first().toInt(), header_->logicalIndexAt(int(c.x)));
        }
    }
}
