#include "kit/AdvancedWindow.h"
#include "WaitFor.h"
#include "kit/AdvancedWindowKeyAwareView.h"

#include <QSignalSpy>
#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>

namespace
{

struct Delegate : AdvancedWindowDelegate, AdvancedWindowClosingDelegate {
    int closeAll = 0;
    int closeTab = 0;
    int willClose = 0;
    int didClose = 0;
    void closeAllTabs() override { ++closeAll; }
    void performCloseTab() override { ++closeTab; }
    void windowWillClose() override { ++willClose; }
    void advancedWindowDidClose(AdvancedWindow *) override { ++didClose; }
};

struct AwareView : QWidget, AdvancedWindowKeyAwareView {
    using QWidget::QWidget;
    int told = 0;
    void windowKeyChanged(bool) override { ++told; }
};

struct AwareTable : QTableView, AdvancedWindowKeyAwareView {
    using QTableView::QTableView;
    int told = 0;
    void windowKeyChanged(bool) override { ++told; }
};

} // namespace

TEST(AdvancedWindow, CloseTabOverrideClosesWithFadeThenTellsClosingDelegate)
{
    AdvancedWindow window;
    Delegate delegate;
    window.setDelegate(&delegate);
    window.setClosingDelegate(&delegate);
    window.setEnableCloseTabOverride(true);
    window.show();
    window.performCloseTab();
    EXPECT_TRUE(window.isVisible()); // still fading
    WAIT_FOR(!window.isVisible());
    EXPECT_EQ(window.windowOpacity(), 1.0);
    EXPECT_EQ(delegate.willClose, 1);
    WAIT_FOR(delegate.didClose == 1);
    EXPECT_EQ(delegate.closeAll + delegate.closeTab, 0);
}

TEST(AdvancedWindow, TabbedWindowHandsCloseAndCloseTabToItsDelegate)
{
    AdvancedWindow window;
    Delegate delegate;
    window.setDelegate(&delegate);
    window.show();
    window.performCloseTab();
    window.performClose();
    window.close(); // as the title bar's close button does
    EXPECT_EQ(delegate.closeTab, 1);
    EXPECT_EQ(delegate.closeAll, 2);
    EXPECT_TRUE(window.isVisible());
}

TEST(AdvancedWindow, EscapeClosesOnlyWhenAllowed)
{
    AdvancedWindow window;
    Delegate delegate;
    window.setClosingDelegate(&delegate);
    window.setEnableCloseTabOverride(true);
    window.show();
    // Another window starts its fading close right after the Escape: once it has closed, a close
    // the Escape had started would have ended too.
    AdvancedWindow reference;
    Delegate referenceDelegate;
    reference.setClosingDelegate(&referenceDelegate);
    reference.show();
    QTest::keyClick(&window, Qt::Key_Escape);
    reference.closeWindow();
    ASSERT_WAIT_FOR_EQ(referenceDelegate.didClose, 1);
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(delegate.didClose, 0);

    window.setEnableCloseByCancel(true);
    QTest::keyClick(&window, Qt::Key_Escape);
    WAIT_FOR(!window.isVisible());
    WAIT_FOR(delegate.didClose == 1);
}

TEST(AdvancedWindow, FullScreenToggleOnlyWhileEnabled)
{
    AdvancedWindow window;
    window.show();
    window.setEnableFullScreen(false);
    window.toggleFullScreen();
    EXPECT_FALSE(AdvancedWindow::isFullScreen(&window));
    window.setEnableFullScreen(true);
    window.toggleFullScreen();
    EXPECT_TRUE(AdvancedWindow::isFullScreen(&window));
    window.toggleFullScreen();
    EXPECT_FALSE(AdvancedWindow::isFullScreen(&window));
}

TEST(AdvancedWindow, KeyChangesReachAwareViewsButNotItemViews)
{
    AdvancedWindow window;
    auto *central = new AwareView;
    window.setCentralWidget(central);
    auto *inner = new AwareView(central);
    auto *table = new AwareTable(central);
    auto *insideTable = new AwareView(table->viewport());
    window.redrawKeyViews();
    EXPECT_EQ(central->told, 1);
    EXPECT_EQ(inner->told, 1);
    EXPECT_EQ(table->told, 0);
    EXPECT_EQ(insideTable->told, 0);
}

TEST(AdvancedWindow, ActiveLookFollowsActivationAndUtilityWindows)
{
    AdvancedWindow window;
    auto *view = new QWidget;
    window.setCentralWidget(view);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    EXPECT_TRUE(AdvancedWindow::viewShouldDrawAsActive(view));
    AdvancedWindow other;
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    EXPECT_FALSE(AdvancedWindow::viewShouldDrawAsActive(view));
    QWidget panel(nullptr, Qt::Tool);
    EXPECT_TRUE(AdvancedWindow::windowShouldDrawAsActive(&panel));
}
