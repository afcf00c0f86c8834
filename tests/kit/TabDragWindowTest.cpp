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

TEST(TabDragWindow, FadesBetweenTabPictureAndWindowPictureWhereTheDesktopComposes)
{
    QWidget barWindow;
    barWindow.setGeometry(100, 100, 600, 300);
    auto *bar = new QWidget(&barWindow);
    bar->setGeometry(0, 0, 600, 24);
    barWindow.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&barWindow));
    const QPoint barOrigin = bar->mapToGlobal(QPoint(0, 0));

    TabDragWindow drag(QRect(barOrigin, QSize(160, 24)), true);
    EXPECT_TRUE(drag.testAttribute(Qt::WA_TranslucentBackground));
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

TEST(TabDragWindow, WithoutCompositingShowsOneOpaquePictureAtATime)
{
    // Clear pixels of a window show black where nothing composes the desktop: nothing may rely on
    // them, nor on window opacity.
    QWidget barWindow;
    barWindow.setGeometry(100, 100, 600, 300);
    auto *bar = new QWidget(&barWindow);
    bar->setGeometry(0, 0, 600, 24);
    barWindow.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&barWindow));
    const QPoint barOrigin = bar->mapToGlobal(QPoint(0, 0));

    TabDragWindow drag(QRect(barOrigin, QSize(160, 24)), false);
    QWidget *windowPicture = drag.subWindow();
    EXPECT_FALSE(drag.testAttribute(Qt::WA_TranslucentBackground));
    EXPECT_FALSE(windowPicture->testAttribute(Qt::WA_TranslucentBackground));
    QPixmap tab(160, 24);
    tab.fill(Qt::gray);
    drag.setTabImage(tab, tab.size(), 1.0);
    QPixmap window(400, 300);
    window.fill(Qt::blue);
    drag.setImage(window, QSize(160, 120), 0.5);
    drag.setSnappingTabBar(bar);
    EXPECT_FALSE(drag.isVisible()); // nothing shows before the bar orders it front
    EXPECT_FALSE(windowPicture->isVisible());

    drag.orderFront();
    EXPECT_TRUE(drag.isVisible());
    EXPECT_FALSE(windowPicture->isVisible());
    drag.setOrigin(barOrigin + QPoint(50, 200)); // off the bar: only the window picture
    EXPECT_FALSE(drag.isVisible());
    EXPECT_TRUE(windowPicture->isVisible());
    EXPECT_EQ(windowPicture->geometry(), QRect(drag.x(), drag.y() + 12 - 60, 160, 120));
    EXPECT_EQ(windowPicture->windowOpacity(), 1.0);
    // Faded over its own plain background, as much as the composed picture fades over the desktop.
    const QColor background = windowPicture->palette().color(QPalette::Window);
    const QColor shown = windowPicture->grab().toImage().pixelColor(80, 60);
    const double alpha = 0.5 * TabDragWindow::offTabAlpha;
    EXPECT_NEAR(shown.red(), background.red() * (1 - alpha), 3);
    EXPECT_NEAR(shown.blue(), background.blue() * (1 - alpha) + 255 * alpha, 3);
    EXPECT_EQ(shown.alpha(), 255);

    drag.setOrigin(barOrigin + QPoint(30, 10)); // back onto the bar
    EXPECT_TRUE(drag.isVisible());
    EXPECT_FALSE(windowPicture->isVisible());
    EXPECT_EQ(drag.windowOpacity(), 1.0);
}

TEST(TransparentWindow, IsBorderlessAndClear)
{
    TransparentWindow window(QRect(10, 10, 50, 40));
    EXPECT_TRUE(window.windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_TRUE(window.testAttribute(Qt::WA_TranslucentBackground));
    EXPECT_EQ(window.geometry(), QRect(10, 10, 50, 40));
}
