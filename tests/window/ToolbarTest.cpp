#include "WaitFor.h"
#include "kit/CommandRouter.h"
#include "window/FeaturedToolbar.h"
#include "window/ToolbarController.h"
#include "window/ToolbarItemAdjustableLayout.h"
#include "window/ToolbarItemWithMenu_button.h"

#include <QAbstractButton>
#include <QElapsedTimer>
#include <QMainWindow>
#include <QTest>
#include <gtest/gtest.h>

namespace
{

const QString Space = FeaturedToolbar::SpaceItemIdentifier;
const QString Flex = FeaturedToolbar::FlexibleSpaceItemIdentifier;

class HistoryResponder : public QObject
{
    Q_OBJECT
public:
    int backs = 0;
    int forwards = 0;
    int menus = 0;
    QElapsedTimer sinceRelease;
    qint64 msecsUntilAction = -1;
public slots:
    void navigateBack(QObject *)
    {
        ++backs;
        msecsUntilAction = sinceRelease.elapsed();
    }
    void navigateForward(QObject *) { ++forwards; }
    void executeSql(QObject *) {}
    void toggleSplitViews(QObject *) {}

public:
    Q_INVOKABLE void showButtonMenuForSelector(const QString &, QWidget *, QPoint) { ++menus; }
};

// A window with a toolbar from a controller, shown and active.
struct ToolbarWindow {
    explicit ToolbarWindow(qint64 features)
    {
        toolbar = controller.toolbarWithFeatures(features);
        window.addToolBar(toolbar);
        window.resize(1400, 500);
        window.show();
    }
    void activate()
    {
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }
    ToolbarItem *item(const QString &identifier) const
    {
        for (ToolbarItem *i : toolbar->items()) {
            if (i->itemIdentifier() == identifier)
                return i;
        }
        return nullptr;
    }
    ToolbarController controller;
    QMainWindow window;
    FeaturedToolbar *toolbar = nullptr;
};

TEST(ToolbarTest, ItemsFollowTheFeatureBits)
{
    struct Case {
        qint64 features;
        QStringList identifiers;
    };
    const Case cases[] = {
        {0, {"previousItem", "nextItem", Flex, Space, "toolbarflexright", "ViewGroup"}},
        {0x2E,
         {"previousItem", "nextItem", Flex, "analyseItem", "executeItem", "refreshItem", Space, "addItem",
          "removeItem", "filterItem", "sortItem", "toolbarflexright", "ViewGroup"}},
        {0xAF,
         {"previousItem", "nextItem", Space, "commitItem", "rollbackItem", Space, "trashItem", Flex,
          "analyseItem", "executeItem", "refreshItem", Space, "addItem", "removeItem", "filterItem",
          "sortItem", "toolbarflexright", "ViewGroup"}},
        {0x7F,
         {"previousItem", "nextItem", Space, "commitItem", "rollbackItem", Flex, "compileItem", "analyseItem",
          "executeItem", "cancelItem", "refreshItem", Space, "addItem", "removeItem", "filterItem",
          "sortItem", "toolbarflexright", "ViewGroup"}},
    };
    ToolbarController controller;
    for (const Case &c : cases) {
        FeaturedToolbar *toolbar = controller.toolbarWithFeatures(c.features);
        EXPECT_EQ(toolbar->itemIdentifiers(), c.identifiers) << "features " << c.features;
        EXPECT_EQ(toolbar->features(), c.features);
    }
    EXPECT_EQ(FeaturedToolbar::identifierForFeatures(0x2E), "featured-toolbar-46");
    delete controller.toolbar();
}

TEST(ToolbarTest, BackAndForwardStayWhileTheRestIsRenewed)
{
    ToolbarWindow w(0x2E | 0x80);
    const QList<ToolbarItem *> before = w.toolbar->items();
    QPointer<ToolbarItem> trash = w.controller.trashItem();
    QPointer<ToolbarItemAdjustableLayout> spacer = w.controller.adjustableRightItem();
    QPointer<QAbstractButton> left = w.controller.leftPaneButton();
    ASSERT_TRUE(trash && spacer && left);

    w.toolbar->updateFeatures(0x2E | 0x80);
    EXPECT_EQ(w.toolbar->items(), before) << "the same features leave every item in place";

    w.controller.toolbarWithFeatures(0x2E | 0x80 | 0x100);
    const QList<ToolbarItem *> after = w.toolbar->items();
    EXPECT_EQ(w.toolbar->itemIdentifiers().size(), before.size());
    EXPECT_EQ(after[0], before[0]);
    EXPECT_EQ(after[1], before[1]);
    EXPECT_NE(w.controller.trashItem(), trash.data());
    EXPECT_NE(w.controller.adjustableRightItem(), spacer.data());
    EXPECT_NE(w.controller.leftPaneButton(), left.data());
    ASSERT_WAIT_FOR(!trash && !spacer); // the replaced code-made items are gone
    EXPECT_EQ(w.controller.toolbarWithFeatures(0x2E), w.toolbar) << "one toolbar, re-configured";
}

TEST(ToolbarTest, ToolbarsOfTwoWindowsHaveTheirOwnIdentifiers)
{
    ToolbarController a, b;
    FeaturedToolbar *ta = a.toolbarWithFeatures(0x2E);
    FeaturedToolbar *tb = b.toolbarWithFeatures(0x2E);
    EXPECT_NE(ta->identifier(), tb->identifier());
    delete ta;
    delete tb;
}

TEST(ToolbarTest, RecycleBinImageFollowsTheFillState)
{
    ToolbarWindow w(0xAF);
    QWidget *button = w.controller.trashItem()->view();
    EXPECT_FALSE(button->property("binFull").toBool());
    w.controller.setRecycleBinFull(true);
    EXPECT_TRUE(button->property("binFull").toBool());
    w.controller.toolbarWithFeatures(0xAF | 0x100);
    EXPECT_FALSE(w.controller.trashItem()->view()->property("binFull").toBool())
        << "a freshly inserted item shows the empty bin until told otherwise";
}

TEST(ToolbarTest, ItemsEnableOnlyInTheMainWindowAndWithATarget)
{
    ToolbarWindow w(0x2E);
    HistoryResponder responder;
    CommandRouter::shared().setWindowResponder(&w.window, &responder);
    w.activate();
    w.toolbar->validateVisibleItems();
    EXPECT_TRUE(w.item("executeItem")->isEnabled());
    EXPECT_TRUE(w.item("previousItem")->isEnabled());
    EXPECT_FALSE(w.item("addItem")->isEnabled()) << "nobody performs addRow:";

    QMainWindow other;
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    w.toolbar->validateVisibleItems();
    EXPECT_FALSE(w.item("executeItem")->isEnabled()) << "not the main window";
    EXPECT_FALSE(w.item("previousItem")->isEnabled());

    // The pane group keeps whatever state it has: validation never touches it.
    ToolbarItem *views = w.item("ViewGroup");
    views->setEnabled(true);
    w.toolbar->validateVisibleItems();
    EXPECT_TRUE(views->isEnabled());
}

TEST(ToolbarTest, ValidationCatchesUpWithoutAFocusChange)
{
    ToolbarWindow w(0x2E);
    w.activate();
    w.toolbar->validateVisibleItems();
    ASSERT_FALSE(w.item("executeItem")->isEnabled());
    HistoryResponder responder;
    CommandRouter::shared().setWindowResponder(&w.window, &responder);
    ASSERT_WAIT_FOR(w.item("executeItem")->isEnabled());
}

TEST(ToolbarTest, PressAndHoldDecidesBetweenActionAndMenu)
{
    ToolbarWindow w(0x2E);
    HistoryResponder responder;
    CommandRouter::shared().setWindowResponder(&w.window, &responder);
    w.activate();
    auto *button = static_cast<ToolbarItemWithMenu_button *>(w.item("previousItem")->view());

    QElapsedTimer sincePress;
    sincePress.start();
    QTest::mousePress(button, Qt::LeftButton);
    QTest::mouseRelease(button, Qt::LeftButton);
    responder.sinceRelease.start();
    EXPECT_EQ(responder.backs, 0) << "nothing before the hold time has passed";
    ASSERT_WAIT_FOR_EQ(responder.backs, 1);
    EXPECT_GE(sincePress.elapsed(), ToolbarItemWithMenu_button::PressAndHoldMs);
    EXPECT_EQ(responder.menus, 0);

    QTest::mousePress(button, Qt::LeftButton);
    ASSERT_WAIT_FOR_EQ(responder.menus, 1);
    EXPECT_FALSE(button->mouseIsDown());
    QTest::mouseRelease(button, Qt::LeftButton);
    // A click on the next button after it: once that action has arrived, one the held press had
    // sent would have too.
    QTest::mouseClick(w.item("nextItem")->view(), Qt::LeftButton);
    ASSERT_WAIT_FOR_EQ(responder.forwards, 1);
    EXPECT_EQ(responder.backs, 1) << "a held press sends no action";
    EXPECT_EQ(responder.menus, 1);
}

TEST(ToolbarTest, ShortcutHintsByActionAndTag)
{
    const Qt::KeyboardModifiers cmd = Qt::ControlModifier;
    struct Case {
        const char *action;
        int tag;
        const char *key;
        Qt::KeyboardModifiers modifiers;
        bool bump;
    };
    const Case cases[] = {
        {"filter:", 0, "f", cmd | Qt::ShiftModifier, true},
        {"executeSql:", 0, "\r", cmd, false},
        {"compile:", 0, "\r", cmd | Qt::AltModifier, false},
        {"toggleSplitViews:", 2, "0", Qt::MetaModifier | Qt::AltModifier | cmd, true},
        {"toggleSplitViews:", 3, "y", cmd | Qt::ShiftModifier, false},
    };
    for (const Case &c : cases) {
        const auto hint = ToolbarItem::shortcutHintForAction(c.action, c.tag);
        ASSERT_TRUE(hint.has_value()) << c.action;
        EXPECT_EQ(hint->key, c.key);
        EXPECT_EQ(hint->modifiers, c.modifiers) << c.action;
        EXPECT_EQ(hint->bump, c.bump) << c.action;
    }
    EXPECT_FALSE(ToolbarItem::shortcutHintForAction("cancelExecution:", 0));
    EXPECT_FALSE(ToolbarItem::shortcutHintForAction("toggleSplitViews:", 7));

    // What the overlay gets: one hint per pane button of the group, none for cancel.
    ToolbarWindow w(0x3E);
    const QList<VisualShortcut> panes = w.item("ViewGroup")->visualShortcuts();
    ASSERT_EQ(panes.size(), 4);
    EXPECT_EQ(panes[1].view, w.controller.leftPaneButton());
    EXPECT_EQ(panes[1].keyEquivalent, "0");
    EXPECT_TRUE(panes[1].shouldBump);
    EXPECT_TRUE(w.item("cancelItem")->visualShortcuts().isEmpty());
    const QList<VisualShortcut> back = w.item("previousItem")->visualShortcuts();
    ASSERT_EQ(back.size(), 1);
    EXPECT_EQ(back[0].keyEquivalent, "[");
    EXPECT_EQ(back[0].modifierFlags, Qt::ControlModifier | Qt::AltModifier);
}

TEST(ToolbarTest, SpacerWidthFollowsThePaneWithinItsLimits)
{
    using G = ToolbarItemAdjustableLayout::Geometry;
    struct Case {
        const char *what;
        bool left;
        G geometry;
        double expected;
    };
    const Case cases[] = {
        {"right edge 2 left of the pane", false, {10, 700, 800, 1200, false, false, false, true}, 98},
        {"left edge 2 right of the pane", true, {10, 900, 800, 1200, false, false, false, true}, 108},
        {"never wider than 200", false, {10, 100, 800, 1200, false, false, false, true}, 200},
        {"never narrower than 10", false, {10, 795, 800, 1200, false, false, false, true}, 10},
        {"pane hidden", false, {10, 700, 800, 1200, true, true, false, true}, 10},
        {"an item in the overflow menu", false, {10, 700, 800, 1200, false, false, false, false}, 10},
    };
    for (const Case &c : cases) {
        ToolbarItemAdjustableLayout item("toolbarflexright");
        item.setSynchronizeLeftSide(c.left);
        EXPECT_EQ(item.widthFor(c.geometry), c.expected) << c.what;
    }

    // The rest width it learns is measured against the window while the pane is hidden.
    ToolbarItemAdjustableLayout item("toolbarflexright");
    item.widthFor({50, 700, 800, 1200, true, true, false, true});
    EXPECT_EQ(item.minimumSupportedRestWidth(), 1150);
    item.widthFor({50, 700, 800, 1200, false, false, false, true});
    EXPECT_EQ(item.minimumSupportedRestWidth(), 750) << "only ever decreases";
    // Too little room left for the other items: the spacer gives way.
    EXPECT_EQ(item.widthFor({10, 600, 800, 1200, false, false, false, true}), 10);
}

} // namespace

#include "ToolbarTest.moc"
