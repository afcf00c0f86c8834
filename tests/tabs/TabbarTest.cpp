#include "TabsTestSupport.h"
#include "WaitFor.h"

#include "kit/TabDragWindow.h"
#include "platform/UserDefaults.h"
#include "tabs/Tab.h"
#include "tabs/Tabbar.h"

#include <QDragEnterEvent>
#include <QMenu>
#include <QMimeData>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace
{

class TabbarTest : public ::testing::Test
{
protected:
    void TearDown() override
    {
        for (TabbedWindowController *controller : TabbedWindowController::allWindowControllers())
            delete controller;
    }

    TestWindowController *windowWith(int tabs, int width = 1000, QPoint at = {0, 0})
    {
        auto *controller = new TestWindowController;
        controller->realTabbar = true;
        controller->loadWindow();
        controller->window()->setGeometry(QRect(at + QPoint(0, 40), QSize(width, 300)));
        controller->window()->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(controller->window()));
        for (int i = 0; i < tabs; ++i) {
            documents_.push_back(std::make_unique<TestDocument>(QString("T%1").arg(documents_.size())));
            documents_.back()->makeWindowControllers(controller, false);
        }
        bar(controller)->reEvaluateTabs(false);
        return controller;
    }

    static Tabbar *bar(TabbedWindowController *controller)
    {
        return static_cast<Tabbar *>(controller->tabbar());
    }

    static QStringList names(const TabbedWindowController *controller)
    {
        QStringList result;
        for (const TabbedDocument *document : controller->documents())
            result << document->contextDisplayName();
        return result;
    }

    std::vector<std::unique_ptr<TestDocument>> documents_;
};

} // namespace

TEST(TabbarLayout, WidthsOverflowAndAddButton)
{
    struct Case {
        int barWidth;
        int tabs;
        bool foreign;
        QList<int> widths;
        int visible;
        int addOrigin;
    };
    const Case cases[] = {
        {1000, 2, false, {384, 384}, 2, 768},
        {1000, 3, false, {322, 322, 324}, 3, 968},
        {1000, 8, false, {136, 136, 136, 136, 136, 136, 152, 0}, 7, 968},
        {1000, 2, true, {322, 324}, 2, 768}, // room made for a foreign tab hovering
        {1000, 0, false, {}, 0, 0},
        {200, 1, false, {168}, 1, 168},
        {100, 1, false, {0}, 0, 68}, // too narrow for one tab: hidden, no division by zero
        {40, 3, false, {0, 0, 0}, 0, 8},
        {20, 2, false, {0, 0}, 0, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(QString("%1 wide, %2 tabs").arg(c.barWidth).arg(c.tabs).toStdString());
        QList<int> widths;
        for (int i = 0; i < c.tabs; ++i)
            widths << Tabbar::tabWidthFor(i, c.tabs, c.foreign, c.barWidth);
        EXPECT_EQ(widths, c.widths);
        EXPECT_EQ(Tabbar::visibleTabCountFor(c.tabs, c.barWidth), c.visible);
        EXPECT_EQ(Tabbar::addTabOriginFor(c.tabs, c.barWidth), c.addOrigin);
    }
}

TEST_F(TabbarTest, OverflowingTabsGoBehindTheMenuAndTheActiveOneIsKeptInView)
{
    TestWindowController *controller = windowWith(8);
    Tabbar *tabbar = bar(controller);
    ASSERT_EQ(tabbar->width(), 1000);
    ASSERT_EQ(tabbar->allTabs().size(), 8);
    EXPECT_EQ(tabbar->allTabs().at(0)->geometry(), QRect(0, 0, 137, 24)); // drawn one wider
    EXPECT_EQ(tabbar->allTabs().at(6)->geometry(), QRect(816, 0, 153, 24));
    EXPECT_TRUE(tabbar->allTabs().at(7)->isHidden());
    EXPECT_TRUE(tabbar->allTabs().at(6)->extensionTab());
    EXPECT_FALSE(tabbar->allTabs().at(5)->extensionTab());
    EXPECT_EQ(tabbar->addTabTab()->x(), 968);

    // The last tab opened became active and was moved into view.
    EXPECT_EQ(names(controller), (QStringList{"T0", "T1", "T2", "T3", "T4", "T5", "T7", "T6"}));
    std::unique_ptr<QMenu> menu(tabbar->extendedTabsMenu());
    ASSERT_EQ(menu->actions().size(), 1);
    EXPECT_EQ(menu->actions().at(0)->text(), "T6");
    EXPECT_FALSE(menu->actions().at(0)->isChecked());
    menu->actions().at(0)->trigger(); // activates it, and it moves to the last shown place
    EXPECT_EQ(controller->activeDocument()->contextDisplayName(), "T6");
    EXPECT_EQ(controller->activeTab(), 6);
    EXPECT_EQ(tabbar->allTabs().at(6)->title(), "T6");
    EXPECT_TRUE(tabbar->allTabs().at(6)->activeTab());
}

TEST_F(TabbarTest, ClicksAndCtrlDigitsActivateTabs)
{
    TestWindowController *controller = windowWith(3);
    Tabbar *tabbar = bar(controller);
    QTest::mouseClick(tabbar, Qt::LeftButton, Qt::NoModifier, QPoint(330, 10));
    EXPECT_EQ(controller->activeTab(), 1);
    QTest::mouseClick(tabbar, Qt::LeftButton, Qt::NoModifier, QPoint(980, 10)); // the add button's place
    EXPECT_EQ(controller->activeTab(), 1);
    EXPECT_EQ(tabbar->allTabs().at(2)->activationKeyEquivalent(), "3");
    EXPECT_EQ(tabbar->addTabTab()->activationKey(), -2);
    controller->window()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(controller->window()));
    QTest::keyClick(controller->window(), Qt::Key_3, Qt::ControlModifier);
    WAIT_FOR((controller->activeTab()) == (2)); // the button clicks itself a moment later
    QList<VisualShortcut> shortcuts = tabbar->allTabs().at(0)->visualShortcuts();
    ASSERT_EQ(shortcuts.size(), 1);
    EXPECT_EQ(shortcuts[0].keyEquivalent, "1");
    EXPECT_EQ(shortcuts[0].modifierFlags, Qt::ControlModifier);
    EXPECT_EQ(tabbar->addTabTab()->visualShortcuts().at(0).keyEquivalent, "t");
    EXPECT_TRUE(tabbar->allTabs().at(0)->activeTab() == false && tabbar->allTabs().at(2)->activeTab());
    controller->window()->grab().save("/tmp/tabs-window.png");
}

TEST_F(TabbarTest, TabsBeyondNineHaveTwoDigitKeysThatNoKeyMatches)
{
    TestWindowController *controller = windowWith(11, 3000);
    Tab *eleventh = bar(controller)->allTabs().at(10);
    EXPECT_EQ(eleventh->activationKeyEquivalent(), "11");
    EXPECT_EQ(eleventh->visualShortcuts().at(0).keyEquivalent, "11");
}

TEST(Tab, BadgeStates)
{
    Tab tab(QRect(0, 0, 200, 24));
    tab.setHasAlert(true);
    EXPECT_TRUE(tab.isBadgeVisible());
    EXPECT_TRUE(tab.badgeImageName().endsWith("TabAlert"));
    EXPECT_TRUE(tab.isPulsing());
    tab.setHasSuccess(true);
    EXPECT_TRUE(tab.badgeImageName().endsWith("TabCheck")); // the check wins
    tab.setHasAlert(false);
    EXPECT_TRUE(tab.isBadgeVisible()); // success still holds
    EXPECT_TRUE(tab.badgeImageName().endsWith("TabCheck"));
    tab.setHasSuccess(false);
    EXPECT_FALSE(tab.isBadgeVisible());
    tab.setIsBusy(true);
    EXPECT_TRUE(tab.isSpinnerVisible());
    tab.setIsBusy(false);
    EXPECT_FALSE(tab.isSpinnerVisible());

    Tab quiet(QRect(0, 0, 200, 24));
    quiet.setAnimate(false); // as during the bar's layout pass
    quiet.setHasAlert(true);
    EXPECT_FALSE(quiet.isPulsing());
    quiet.setAnimate(true);
    quiet.setHasSuccess(true);
    EXPECT_TRUE(quiet.isPulsing());
}

TEST(Tab, LabelDotAndTitlePlacement)
{
    UserDefaults::standard().setObject(true, "showColorLabelTabs");
    UserDefaults::standard().setObject(false, "showColorLabelTabsWide");
    QWidget host;
    auto *tab = new Tab(QRect(0, 0, 300, 24), &host);
    host.show();
    tab->setLabel(2);
    tab->setTitle(QString(200, QChar('W'))); // far wider than the tab
    Tab::Layout layout = tab->layoutForDrawing();
    EXPECT_EQ(layout.labelMark, QRectF(22, 6, 12, 12));
    EXPECT_EQ(layout.text.x(), 34);
    tab->setTitle("ab");
    layout = tab->layoutForDrawing();
    EXPECT_GT(layout.text.x(), 100); // centred
    EXPECT_EQ(layout.labelMark.right(), layout.text.x());
    tab->setLabel(0);
    EXPECT_TRUE(tab->layoutForDrawing().labelMark.isNull());
    UserDefaults::standard().setObject(true, "showColorLabelTabsWide");
    tab->setLabel(3);
    layout = tab->layoutForDrawing();
    EXPECT_TRUE(layout.wideLabel);
    tab->setTitle("");
    EXPECT_TRUE(tab->layoutForDrawing().labelMark.isNull()); // too small to draw
    UserDefaults::standard().setObject(false, "showColorLabelTabsWide");
    EXPECT_TRUE(Tab::imageForLabel(0).isNull());
    EXPECT_EQ(Tab::imageForLabel(5).size(), QSize(16, 16));
}

TEST_F(TabbarTest, DraggedTabMovesAlongItsBarOrIntoAnotherWindow)
{
    TestWindowController *source = windowWith(3, 1000, {0, 0});
    TestWindowController *target = windowWith(1, 1000, {0, 400});
    Tabbar *from = bar(source);
    Tabbar *to = bar(target);
    EXPECT_FALSE(from->beginTabDrag(QPoint(340, 10), QPoint(345, 10))); // only the active tab moves
    source->activateTab(1);
    source->field->setText("state of T1");
    ASSERT_TRUE(from->beginTabDrag(QPoint(340, 10), QPoint(345, 10)));
    EXPECT_EQ(from->currentDragDraggingTabNo(), 1);
    EXPECT_TRUE(from->allTabs().at(1)->currentlyBeingDragged());

    // Over the other bar, a gap opens where it would land.
    QMimeData mime;
    mime.setData(Tabbar::tabDragType, "Tab");
    QDragEnterEvent enter(QPoint(600, 10), Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(to, &enter);
    EXPECT_TRUE(enter.isAccepted());
    EXPECT_TRUE(to->receivingForeignDrag());
    EXPECT_EQ(from->currentDragWindow()->snappingTabBar(), to);
    QDragMoveEvent move(QPoint(700, 10), Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(to, &move);
    EXPECT_EQ(from->foreignTabHoverLocation(), 1); // capped at the bar's number of tabs
    QDropEvent drop(QPointF(700, 10), Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(to, &drop);
    EXPECT_TRUE(drop.isAccepted());
    from->endTabDrag();
    EXPECT_EQ(names(source), (QStringList{"T0", "T2"}));
    EXPECT_EQ(names(target), (QStringList{"T3", "T1"}));
    EXPECT_EQ(target->field->text(), "state of T1");
    EXPECT_EQ(from->currentDragWindow(), nullptr);

    // Along its own bar: dropped past the last tab, it lands at the last place.
    source->activateTab(0);
    ASSERT_TRUE(from->beginTabDrag(QPoint(10, 10), QPoint(15, 10)));
    QDragMoveEvent along(QPoint(900, 10), Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QDragEnterEvent enterOwn(QPoint(10, 10), Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(from, &enterOwn);
    QApplication::sendEvent(from, &along);
    from->endTabDrag();
    EXPECT_EQ(names(source), (QStringList{"T2", "T0"}));
}

TEST_F(TabbarTest, ATabDraggedOffTheBarBeforeTheDragStartedTearsOff)
{
    // A fast drag leaves the bar before the drag starts, so the bar never sees it go.
    struct Case {
        const char *name;
        QPoint pointerAtStart;
        QStringList staying;
    };
    const Case cases[] = {
        {"still over the bar: dropped back on it", {420, 12}, {"T0", "T1"}},
        {"below the bar already", {420, 200}, {"T0"}},
        {"above the window already", {420, -300}, {"T0"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        documents_.clear();
        TearDown();
        TestWindowController *controller = windowWith(2);
        Tabbar *tabbar = bar(controller);
        ASSERT_EQ(controller->activeTab(), 1);
        ASSERT_TRUE(tabbar->beginTabDrag(QPoint(400, 12), c.pointerAtStart));
        EXPECT_EQ(tabbar->currentDragWindow()->snappingTabBar() == tabbar, c.staying.size() == 2);
        tabbar->endTabDrag();
        EXPECT_EQ(names(controller), c.staying);
        EXPECT_EQ(TabbedWindowController::allWindowControllers().size(), 3 - c.staying.size());
    }
}

TEST_F(TabbarTest, AFreeDraggedTabComingBackOverItsBarStaysInIt)
{
    TestWindowController *controller = windowWith(2);
    Tabbar *tabbar = bar(controller);
    ASSERT_TRUE(tabbar->beginTabDrag(QPoint(400, 12), QPoint(400, 250)));
    QMimeData mime;
    mime.setData(Tabbar::tabDragType, "Tab");
    QDragEnterEvent back(QPoint(60, 10), Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(tabbar, &back);
    EXPECT_TRUE(back.isAccepted());
    EXPECT_EQ(tabbar->currentDragWindow()->snappingTabBar(), tabbar);
    QDragMoveEvent over(QPoint(60, 10), Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(tabbar, &over);
    tabbar->endTabDrag();
    EXPECT_EQ(names(controller), (QStringList{"T1", "T0"}));
    EXPECT_EQ(TabbedWindowController::allWindowControllers().size(), 1);
}

TEST_F(TabbarTest, OnlyRegisteredItemsAndOwnTabsAreTaken)
{
    TestWindowController *controller = windowWith(1);
    Tabbar *tabbar = bar(controller);
    const QPoint free(900, 10); // right of the add button: the bar itself
    QMimeData tab;
    tab.setData(Tabbar::tabDragType, "Tab"); // no drag of ours running: from another process
    QDragEnterEvent foreignTab(free, Qt::MoveAction, &tab, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(tabbar, &foreignTab);
    EXPECT_FALSE(foreignTab.isAccepted());

    QMimeData item;
    item.setData("com.ostrel.apps.vorn.filter-item", "payload");
    QDragEnterEvent unregistered(free, Qt::CopyAction, &item, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(tabbar, &unregistered);
    EXPECT_FALSE(unregistered.isAccepted());

    controller->registerForExternalDragType("com.ostrel.apps.vorn.filter-item");
    QDragEnterEvent registered(free, Qt::CopyAction, &item, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(tabbar, &registered);
    EXPECT_TRUE(registered.isAccepted());
    QDropEvent drop(free, Qt::CopyAction, &item, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(tabbar, &drop);
    EXPECT_TRUE(drop.isAccepted());
    // Handed on as its type and raw bytes: only whoever knows the type reads them.
    EXPECT_EQ(controller->externalDrops, QStringList{"com.ostrel.apps.vorn.filter-item=payload"});
}

TEST_F(TabbarTest, ItemsDraggedOverTabsSwitchTabsAndOnlyTheAddButtonTakesThem)
{
    TestWindowController *controller = windowWith(2);
    Tabbar *tabbar = bar(controller);
    controller->registerForExternalDragType("com.ostrel.apps.vorn.filter-item");
    // Only the bar takes drags, so a dragged tab reaches it over its tabs too.
    for (Tab *tab : tabbar->allTabs() + QList<Tab *>{tabbar->addTabTab()})
        EXPECT_FALSE(tab->acceptDrops());

    QMimeData item;
    item.setData("com.ostrel.apps.vorn.filter-item", "payload");
    const QPoint firstTab(100, 10);
    const QPoint addButton(tabbar->addTabTab()->geometry().center());
    auto send = [&](QDropEvent &&event) {
        QApplication::sendEvent(tabbar, &event);
        return event.isAccepted();
    };
    auto enter = [&](QPoint at) { return QDragEnterEvent(at, Qt::CopyAction, &item, Qt::LeftButton, {}); };
    auto move = [&](QPoint at) { return QDragMoveEvent(at, Qt::CopyAction, &item, Qt::LeftButton, {}); };
    auto drop = [&](QPoint at) { return QDropEvent(at, Qt::CopyAction, &item, Qt::LeftButton, {}); };

    ASSERT_EQ(controller->activeTab(), 1);
    EXPECT_TRUE(send(enter(firstTab))); // taken by the bar, so that moves follow
    EXPECT_EQ(controller->activeTab(), 0);
    EXPECT_FALSE(send(move(firstTab))); // but not droppable on the tab
    EXPECT_FALSE(send(drop(firstTab)));
    EXPECT_TRUE(controller->externalDrops.isEmpty());

    send(enter(firstTab));
    EXPECT_TRUE(send(move(addButton)));
    EXPECT_TRUE(send(drop(addButton)));
    EXPECT_EQ(controller->externalDrops, QStringList{"com.ostrel.apps.vorn.filter-item=payload"});
}
