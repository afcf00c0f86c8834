#include "kit/TabDragWindow.h"
#include "WaitFor.h"
#include "kit/TransparentWindow.h"

#include <QTest>
#include <gtest/gtest.h>

TEST(TabDragWindow, SnapsOntoTheBarWithinSixtyPointsAndStaysInsideIt)
{
    const QRect bar(100, 200, 800, 24); // screen rectangle of a tab bar
    const int width = 200;
    struct Case {
        QPoint proposed;
        bool snaps;
        QPoint landed;
    };
    const Case cases[] = {
        {{300, 259}, true, {300, 200}},  // 59 points below
        {{300, 141}, true, {300, 200}},  // 59 points above
        {{300, 260}, false, {300, 260}}, // 60 points: free
        {{300, 140}, false, {300, 140}},
        {{1, 210}, true, {100, 200}},    // centre just right of the bar's left edge: clamped to it
        {{0, 210}, false, {0, 210}},     // centre exactly on the left edge: no snap
        {{799, 210}, true, {700, 200}},  // far right: the picture ends at the bar's end
        {{800, 210}, false, {800, 210}}, // centre exactly on the right edge
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(QString("%1,%2").arg(c.proposed.x()).arg(c.proposed.y()).toStdString());
        bool onTab = !c.snaps;
        EXPECT_EQ(TabDragWindow::snappedOrigin(bar, width, c.proposed, &onTab), c.landed);
        EXPECT_EQ(onTab, c.snaps);
    }
}

TEST(TabDragWindow, SwitchesBetweenTabPictureAndWindowPicture)
{
    QWidget barWindow;
    barWindow.setGeometry(100, 100, 600, 300);
    auto *bar = new QWidget(&barWindow);
    bar->setGeometry(0, 0, 600, 24);
    barWindow.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&barWindow));
    const QPoint barOrigin = bar->mapToGlobal(QPoint(0, 0));

    TabDragWindow drag(QRect(barOrigin, QSize(160, 24)));
    EXPECT_EQ(drag.subWindow()->geometry(), QRect(barOrigin.x(), barOrigin.y() + 12 - 60, 160, 120));
    EXPECT_EQ(drag.subWindow()->windowOpacity(), 0.0);
    QPixmap tab(160, 24);
    tab.fill(Qt::gray);
    drag.setTabImage(tab, tab.size(), 1.0);
    EXPECT_FLOAT_EQ(drag.originalWidth(), 160);
    drag.setSnappingTabBar(bar);
    EXPECT_TRUE(drag.onTab());
    EXPECT_EQ(drag.pos(), barOrigin);

    drag.setOrigin(barOrigin + QPoint(50, 200)); // away from the bar: the window picture shows
    EXPECT_FALSE(drag.onTab());
    EXPECT_EQ(drag.windowOpacity(), 0.0);
    WAIT_FOR((drag.subWindow()->windowOpacity()) == (0.8));
    EXPECT_EQ(drag.pos(), barOrigin + QPoint(50, 200));
    QPixmap window(400, 300);
    window.fill(Qt::blue);
    drag.setImage(window, QSize(160, 120), 0.5);
    EXPECT_EQ(drag.subWindow()->geometry(), QRect(drag.x(), drag.y() + 12 - 60, 160, 120));

    drag.setOrigin(barOrigin + QPoint(30, 10)); // back onto the bar
    EXPECT_TRUE(drag.onTab());
    EXPECT_EQ(drag.windowOpacity(), 1.0);
    WAIT_FOR((drag.subWindow()->windowOpacity()) == (0.0));
    EXPECT_EQ(drag.pos(), QPoint(barOrigin.x() + 30, barOrigin.y()));

    drag.setSnappingTabBar(nullptr); // detached: never snaps
    EXPECT_FALSE(drag.onTab());
}

TEST(TransparentWindow, IsBorderlessAndClear)
{
    TransparentWindow window(QRect(10, 10, 50, 40));
    EXPECT_TRUE(window.windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_TRUE(window.testAttribute(Qt::WA_TranslucentBackground));
    EXPECT_EQ(window.geometry(), QRect(10, 10, 50, 40));
}
