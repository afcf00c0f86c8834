// The welcome screen without a Java VM: its progress bar and its three states.
#include "app/WelcomeScreenController.h"
#include "app/WelcomeScreenProgress.h"

#include <QImage>
#include <QLabel>
#include <QTest>
#include <gtest/gtest.h>

namespace
{

QImage render(WelcomeScreenProgress &bar)
{
    QImage image(bar.size(), QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    bar.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

TEST(WelcomeScreenProgressTest, BarGrowsFromTheLeftAndBrightensTowardsItsMiddle)
{
    WelcomeScreenProgress bar;
    bar.resize(200, 12);
    bar.setProgress(0.0f);
    const QImage empty = render(bar);
    EXPECT_EQ(empty.pixelColor(0, 6).alpha(), 0) << "nothing drawn at 0";

    bar.setProgress(0.5f);
    EXPECT_EQ(bar.filledWidth(200), 100);
    const QImage half = render(bar);
    EXPECT_EQ(half.pixelColor(99, 6).alpha(), 255);
    EXPECT_EQ(half.pixelColor(100, 6).alpha(), 0);
    EXPECT_EQ(half.pixelColor(50, 0).alpha(), 0) << "the top row stays clear";
    EXPECT_LT(half.pixelColor(50, 1).red(), half.pixelColor(50, 6).red()) << "lighter in the middle";

    bar.setProgress(1.0f);
    EXPECT_EQ(render(bar).pixelColor(199, 6).alpha(), 255) << "full width at 1";
}

class WelcomeScreenTest : public ::testing::Test
{
protected:
    WelcomeScreenController welcome{QVariantMap{{"CFBundleShortVersionString", "3.0.0"},
                                                {"BuildNumber", "42"},
                                                {"NSHumanReadableCopyright", "Copyright"}}};
};

TEST_F(WelcomeScreenTest, WaitScreenCannotBeClosedAndShowsTheVersion)
{
    welcome.orderOutWaitScreen();
    EXPECT_TRUE(welcome.window()->isVisible());
    EXPECT_EQ(welcome.window()->height(), WelcomeScreenController::WaitScreenHeight);
    EXPECT_FALSE(welcome.window()->windowFlags().testFlag(Qt::WindowCloseButtonHint));
    EXPECT_EQ(welcome.versionField()->text(), "Version 3.0.0 (42)");
    EXPECT_FALSE(welcome.isShowingList());
    welcome.setStartupProgress(0.75f);
    EXPECT_FLOAT_EQ(welcome.progress()->progress(), 0.75f);
}

TEST_F(WelcomeScreenTest, ListGrowsTheWindowOnceAndEscapeClosesIt)
{
    welcome.orderOutWaitScreen();
    welcome.orderOut();
    EXPECT_TRUE(welcome.isShowingList());
    EXPECT_EQ(welcome.window()->height(), WelcomeScreenController::ListHeight);
    EXPECT_TRUE(welcome.window()->windowFlags().testFlag(Qt::WindowCloseButtonHint));
    welcome.window()->resize(welcome.window()->width(), 600);
    welcome.orderOut();
    EXPECT_EQ(welcome.window()->height(), 600) << "a second showing keeps the frame";

    welcome.setEditMode(true);
    welcome.cancelOperation();
    EXPECT_TRUE(welcome.window()->isVisible()) << "Escape while editing stays";
    welcome.setEditMode(false);
    welcome.cancelOperation();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !welcome.window()->isVisible(); }, 5000));

    welcome.orderOut();
    EXPECT_TRUE(welcome.isShowingList()) << "shown again after closing";
    welcome.close();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !welcome.window()->isVisible(); }, 5000));
}

} // namespace
