#include "WaitFor.h"
#include "platform/NotificationCenter.h"
#include "platform/UserDefaults.h"
#include "window/ContentSplitView.h"
#include "window/MainSplitView.h"
#include "window/SplitViewController.h"

#include <QLabel>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace
{

// Counts the posts of one notification name while alive.
struct PostCounter {
    explicit PostCounter(const QString &name)
        : id(NotificationCenter::defaultCenter().addObserver(name, nullptr,
                                                             [this](const Notification &) { ++count; }))
    {
    }
    ~PostCounter() { NotificationCenter::defaultCenter().removeObserver(id); }
    NotificationCenter::ObserverId id;
    int count = 0;
};

class SplitViewTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        UserDefaults::standard().setObject(true, "startWithBrowserPanel");
        UserDefaults::standard().setObject(true, "startWithInfoPanel");
    }
    // A main split view of the given width with both sides visible at their defaults.
    std::unique_ptr<MainSplitView> shownMainSplitView(int width)
    {
        auto view = std::make_unique<MainSplitView>();
        view->resize(width, 400);
        view->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(view.get()));
        view->setDefaultInterfaceState();
        return view;
    }
};

TEST_F(SplitViewTest, DividerLimitsKeepMinimumSizes)
{
    auto view = shownMainSplitView(1000);
    ASSERT_EQ(view->extentOf(view->viewA()), 220);
    ASSERT_EQ(view->extentOf(view->viewB()), 220);
    struct Case {
        double proposed;
        int divider;
        int expected;
    };
    const int handle = view->handleWidth();
    const Case cases[] = {
        {150.7, 0, 200},              // below minimum A
        {300.9, 0, 300},              // rounded down, inside the limits
        {700, 0, 1000 - 220 - 300},   // centre keeps its minimum: 480
        {900, 1, 1000 - 200},         // B keeps its minimum
        {400, 1, 220 + 300 - handle}, // centre keeps its minimum behind A
        {42, 5, 42},                  // no such divider: unchanged
    };
    for (const Case &c : cases)
        EXPECT_EQ(view->constrainSplitPosition(c.proposed, c.divider), c.expected)
            << "proposed " << c.proposed << " divider " << c.divider;

    view->setViewAEnabled(false, false);
    EXPECT_EQ(view->constrainSplitPosition(100, 1), 300 - handle) << "a collapsed A counts as 0";
}

TEST_F(SplitViewTest, EnablingAVisibleSidePostsButChangesNothing)
{
    auto view = shownMainSplitView(1000);
    PostCounter a("MainSplitViewABecameVisible");
    PostCounter updates("SplitViewUpdates");
    view->setViewAEnabled(true);
    EXPECT_EQ(a.count, 1);
    EXPECT_FALSE(view->isAnimating());
    EXPECT_EQ(updates.count, 0);
    view->setViewAEnabled(true, true);
    EXPECT_EQ(a.count, 1) << "the variant with an animate flag does not post";
}

TEST_F(SplitViewTest, CollapseAnimatesAndIgnoresASecondToggle)
{
    auto view = shownMainSplitView(1000);
    PostCounter updates("SplitViewUpdates");
    view->setViewBEnabled(false);
    ASSERT_TRUE(view->isAnimating());
    view->setViewBEnabled(true);
    view->setViewAEnabled(false);
    EXPECT_TRUE(view->viewAEnabled()) << "a toggle during the animation is ignored";
    ASSERT_WAIT_FOR(!view->isAnimating());
    EXPECT_FALSE(view->viewBEnabled());
    EXPECT_EQ(updates.count, 1);
    EXPECT_EQ(view->extentOf(view->viewA()) + view->extentOf(view->viewCenter()) + view->handleWidth(), 1000);

    view->setViewBEnabled(true);
    ASSERT_WAIT_FOR(!view->isAnimating());
    EXPECT_TRUE(view->viewBEnabled());
    EXPECT_EQ(view->extentOf(view->viewB()), 220) << "expands back to its former extent";
}

TEST_F(SplitViewTest, ResizeGoesToTheCentreUntilItReachesItsMinimum)
{
    auto view = shownMainSplitView(1000);
    view->resize(1200, 400);
    EXPECT_EQ(view->extentOf(view->viewA()), 220);
    EXPECT_EQ(view->extentOf(view->viewB()), 220);
    EXPECT_TRUE(view->isGrowing());
    view->resize(700, 400);
    EXPECT_FALSE(view->isGrowing());
    EXPECT_EQ(view->extentOf(view->viewA()), 220) << "centre still took the change";
    // Now the centre is below its minimum: the sides give way, but only above their minimums.
    EXPECT_TRUE(view->shouldAdjustSizeOfSubview(view->viewA()));
    EXPECT_FALSE(view->shouldAdjustSizeOfSubview(view->viewCenter()));
    view->resize(650, 400);
    EXPECT_LT(view->extentOf(view->viewA()), 220);
}

TEST_F(SplitViewTest, CollapseStateIsSavedPerTabAndRestored)
{
    auto view = shownMainSplitView(1000);
    view->setPosition(300, 0);
    ASSERT_EQ(view->extentOf(view->viewA()), 300);
    QVariantMap tab1;
    view->encodeInferfaceState(tab1);
    EXPECT_EQ(tab1.value("MainSplitView1").toBool(), false);

    view->setViewBEnabled(false, false);
    QVariantMap tab2;
    view->encodeInferfaceState(tab2);
    EXPECT_EQ(tab2.value("MainSplitView2").toBool(), true);

    view->decodeInferfaceState(tab1);
    EXPECT_TRUE(view->viewBEnabled());
    EXPECT_EQ(view->extentOf(view->viewA()), 300) << "same frame: saved positions come back";
    view->decodeInferfaceState(tab2);
    EXPECT_FALSE(view->viewBEnabled());

    view->resize(1100, 400);
    view->decodeInferfaceState(tab1);
    EXPECT_TRUE(view->viewBEnabled());
    EXPECT_EQ(view->extentOf(view->viewA()), 220) << "another frame: dividers at their defaults";
}

TEST_F(SplitViewTest, DefaultStateFollowsThePreferencesButTheContentViewHidesBoth)
{
    UserDefaults::standard().setObject(false, "startWithInfoPanel");
    auto main = shownMainSplitView(1000);
    EXPECT_TRUE(main->viewAEnabled());
    EXPECT_FALSE(main->viewBEnabled());

    ContentSplitView content;
    content.resize(600, 800);
    content.show();
    content.setDefaultInterfaceState();
    EXPECT_FALSE(content.viewAEnabled());
    EXPECT_FALSE(content.viewBEnabled());
}

TEST_F(SplitViewTest, ContentViewSwapsTheCentrePane)
{
    MainSplitView main;
    auto *content = new ContentSplitView;
    main.setView(content, 1);
    SplitViewController controller;
    controller.setMainSplitView(&main);
    controller.setContentSplitView(content);
    main.resize(1000, 600);
    main.show();

    QLabel first("first"), second("second");
    controller.setContentView(&first);
    EXPECT_EQ(content->contentView(), &first);
    EXPECT_TRUE(first.isVisible());
    controller.setContentView(&second, true);
    EXPECT_EQ(content->contentView(), &second);
    EXPECT_FALSE(first.isVisible());
    controller.setContentView(nullptr);
    EXPECT_EQ(content->contentView(), &second) << "a null view is only logged";
    EXPECT_EQ(main.viewCenter(), content);
}

} // namespace
