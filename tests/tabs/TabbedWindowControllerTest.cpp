#include "TabsTestSupport.h"
#include "WaitFor.h"

#include "kit/CommandRouter.h"

#include <QAction>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace
{

class NewTabResponder : public QObject
{
    Q_OBJECT
public:
    int newTabs = 0;
    Q_INVOKABLE void newTab(QObject *) { ++newTabs; }
};

class TabbedWindowControllerTest : public ::testing::Test
{
protected:
    void TearDown() override
    {
        for (TabbedWindowController *controller : TabbedWindowController::allWindowControllers())
            delete controller;
    }

    TestDocument *document(const QString &name)
    {
        documents_.push_back(std::make_unique<TestDocument>(name, &log));
        documents_.back()->madeControllers = &made;
        return documents_.back().get();
    }

    // A shown window holding the named documents as tabs, the first one active.
    TestWindowController *windowWith(const QStringList &names, bool activate = false)
    {
        auto *controller = new TestWindowController(&log);
        controller->loadWindow();
        controller->window()->resize(400, 200);
        controller->window()->show();
        if (activate) {
            controller->window()->activateWindow();
            EXPECT_TRUE(QTest::qWaitForWindowActive(controller->window()));
        }
        for (const QString &name : names)
            document(name)->makeWindowControllers(controller, false);
        if (!names.isEmpty())
            controller->activateTab(0);
        log.take();
        return controller;
    }

    static QStringList names(const TabbedWindowController *controller)
    {
        QStringList result;
        for (const TabbedDocument *document : controller->documents())
            result << document->contextDisplayName();
        return result;
    }

    HookLog log;
    QList<TestWindowController *> made;
    std::vector<std::unique_ptr<TestDocument>> documents_;
};

} // namespace

TEST_F(TabbedWindowControllerTest, ActivationRunsTheHooksInOrder)
{
    TestWindowController *controller = windowWith({}, true);
    TestDocument *a = document("A");
    a->makeWindowControllers(controller, true);
    EXPECT_EQ(log.take(), (QStringList{"A.load", "controller.default", "controller.activeDocumentUpdated",
                                       "A.orderFront", "A.becomeMain"}));
    TestDocument *b = document("B");
    b->makeWindowControllers(controller, true);
    EXPECT_EQ(log.take(),
              (QStringList{"A.resignMain", "A.orderOut", "controller.encode", "B.load", "controller.default",
                           "controller.activeDocumentUpdated", "B.orderFront", "B.becomeMain"}));
    controller->activateDocument(a);
    EXPECT_EQ(log.take(),
              (QStringList{"B.resignMain", "B.orderOut", "controller.encode", "A.load", "controller.decode",
                           "controller.activeDocumentUpdated", "A.orderFront", "A.becomeMain"}));
    controller->activateDocument(a); // already active: nothing runs, nothing is archived
    EXPECT_TRUE(log.take().isEmpty());
    EXPECT_EQ(controller->window()->windowTitle(), "A (Untitled)");
}

TEST_F(TabbedWindowControllerTest, SwitchingBackRestoresStateAndFocusWithTheEditEnded)
{
    TestWindowController *controller = windowWith({"A", "B"}, true);
    TabbedDocument *a = controller->documents().at(0);
    TabbedDocument *b = controller->documents().at(1);
    controller->field->setText("alpha");
    controller->field->setFocus();
    ASSERT_EQ(controller->window()->focusWidget(), controller->field);
    QSignalSpy ended(controller->field, &QLineEdit::editingFinished);

    controller->activateDocument(b);
    EXPECT_EQ(ended.count(), 1);
    EXPECT_EQ(controller->field->text(), ""); // B has no state yet: the default
    controller->field->setText("beta");
    controller->other->setFocus();

    controller->activateDocument(a);
    EXPECT_EQ(controller->field->text(), "alpha");
    EXPECT_EQ(controller->window()->focusWidget(), controller->field);
    controller->activateDocument(b);
    EXPECT_EQ(controller->field->text(), "beta");
    EXPECT_EQ(controller->window()->focusWidget(), controller->other);
}

TEST_F(TabbedWindowControllerTest, RemovingTheActiveTabActivatesTheRightNeighbourOrTheNewLast)
{
    struct Case {
        int active;
        int removed;
        QString expectedActive;
    };
    const Case cases[] = {
        {1, 1, "C"}, // middle: right neighbour
        {3, 3, "C"}, // last: the new last tab
        {0, 0, "B"},
        {1, 2, "B"}, // not the active one: the active tab stays
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.removed);
        TestWindowController *controller = windowWith({"A", "B", "C", "D"});
        controller->activateTab(c.active);
        controller->removeDocument(controller->documents().at(c.removed));
        ASSERT_EQ(controller->documents().size(), 3);
        EXPECT_EQ(controller->activeDocument()->contextDisplayName(), c.expectedActive);
        delete controller;
    }
    TestWindowController *controller = windowWith({"A", "B", "C"});
    TabbedDocument *b = controller->documents().at(1);
    controller->closeTab(1); // made active first, so its right neighbour follows
    EXPECT_EQ(names(controller), (QStringList{"A", "C"}));
    EXPECT_EQ(controller->activeDocument()->contextDisplayName(), "C");
    EXPECT_TRUE(b->isClosed());
    EXPECT_EQ(b->sharedWindowController(), nullptr);
}

TEST_F(TabbedWindowControllerTest, MoveTabEndsAtTheTargetIndex)
{
    struct Case {
        int from;
        int to;
        QStringList order;
    };
    const Case cases[] = {
        {0, 2, {"B", "C", "A", "D"}}, {3, 1, {"A", "D", "B", "C"}}, {2, 2, {"A", "B", "C", "D"}},
        {0, 3, {"B", "C", "D", "A"}}, {3, 0, {"D", "A", "B", "C"}}, {1, 9, {"A", "B", "C", "D"}},
    };
    for (const Case &c : cases) {
        TestWindowController *controller = windowWith({"A", "B", "C", "D"});
        controller->moveTabFrom(c.from, c.to);
        EXPECT_EQ(names(controller), c.order) << c.from << "->" << c.to;
        delete controller;
    }
}

TEST_F(TabbedWindowControllerTest, CloseAllAsksFromTheRightAndStopsOnRefusal)
{
    QPointer<TestWindowController> controller = windowWith({"A", "B", "C", "D"});
    documents_[1]->closeAnswer = [this](TabbedDocument::CloseCallback answer) {
        answer(documents_[1].get(), false);
    };
    controller->closeAllTabs();
    EXPECT_EQ(log.take().filter("askClose"), (QStringList{"D.askClose", "C.askClose", "B.askClose"}));
    EXPECT_EQ(names(controller), (QStringList{"A", "B"}));
    EXPECT_TRUE(controller->window()->isVisible());
    EXPECT_TRUE(documents_[2]->isClosed());
    EXPECT_FALSE(documents_[1]->isClosed());

    // Answers that come later (after a sheet): a second request meanwhile asks nobody twice.
    TabbedDocument::CloseCallback pending;
    documents_[1]->closeAnswer = [&pending](TabbedDocument::CloseCallback answer) { pending = answer; };
    controller->closeAllTabs();
    controller->closeAllTabs();
    EXPECT_EQ(log.take().filter("askClose"), (QStringList{"B.askClose"}));
    pending(documents_[1].get(), true);
    EXPECT_TRUE(log.take().contains("controller.clearControllers"));
    WAIT_FOR(controller.isNull()); // the window closed and the controller went with it
}

TEST_F(TabbedWindowControllerTest, ClosedDocumentsLeaveNoStateOrFocusBehind)
{
    TestWindowController *controller = windowWith({"A", "B", "C"}, true);
    for (int tab : {1, 2, 0, 1, 0}) {
        controller->field->setFocus();
        controller->activateTab(tab);
    }
    TabbedDocument *b = documents_[1].get();
    ASSERT_TRUE(controller->windowStatesForDocuments().contains(b->documentId()));
    ASSERT_TRUE(controller->firstRespondersForDocuments().contains(b->documentId()));
    controller->closeTab(1);
    EXPECT_FALSE(controller->windowStatesForDocuments().contains(b->documentId()));
    EXPECT_FALSE(controller->firstRespondersForDocuments().contains(b->documentId()));
    // The document leaving as the active tab stored nothing either on its way out.
    controller->closeTab(controller->activeTab());
    EXPECT_EQ(controller->windowStatesForDocuments().size(), 1);
    EXPECT_EQ(controller->firstRespondersForDocuments().size(), 1);

    // A new document never meets an old one's state, wherever it is allocated.
    const quint64 oldId = documents_[0]->documentId();
    documents_.clear();
    TestDocument *fresh = document("E");
    EXPECT_GT(fresh->documentId(), oldId);
    log.take();
    fresh->makeWindowControllers(controller, true);
    EXPECT_TRUE(log.take().contains("controller.default"));
}

TEST_F(TabbedWindowControllerTest, FocusTargetIsHeldWeakly)
{
    TestWindowController *controller = windowWith({"A", "B"}, true);
    auto *temporary = new QLineEdit(controller->mainContent());
    temporary->show();
    temporary->setFocus();
    controller->activateTab(1);
    delete temporary;
    controller->activateTab(0); // the remembered field is gone: no focus is given to anything stale
    EXPECT_EQ(controller->window()->focusWidget(), nullptr);
}

TEST_F(TabbedWindowControllerTest, TabsAnswerTheBarFromTheirDocuments)
{
    TestWindowController *controller = windowWith({"A", "B", ""});
    documents_[0]->setFilePath("/tmp/report.sql");
    documents_[1]->state = TabbedDocumentStateAlert;
    documents_[1]->setTabLabel(4);
    EXPECT_EQ(controller->titleForTab(0), "A (report.sql)");
    EXPECT_EQ(controller->titleForTab(1), "B");
    EXPECT_EQ(controller->titleForTab(2), "Untitled");
    EXPECT_EQ(controller->labelForTab(1), 4u);
    EXPECT_TRUE(controller->isAlertForTab(1));
    EXPECT_FALSE(controller->isBusyForTab(1));
    documents_[2]->state = TabbedDocumentStateBusy;
    EXPECT_TRUE(controller->isBusyForTab(2));
    EXPECT_EQ(controller->activeTab(), 0);
    controller->selectPreviousTab();
    EXPECT_EQ(controller->activeTab(), 2);
    controller->selectNextTab();
    EXPECT_EQ(controller->activeTab(), 0);

    controller->bar->reEvaluatedTabs.clear();
    documents_[1]->documentStatusUpdated();
    EXPECT_EQ(controller->bar->reEvaluatedTabs, QList<int>{1});
    TestDocument outside("X");
    outside.documentUpdated(); // in no window: nothing to redraw
    controller->registerForExternalDragType("com.ostrel.apps.vorn.filter-item");
    EXPECT_EQ(controller->bar->externalTypes, QStringList{"com.ostrel.apps.vorn.filter-item"});
}

TEST_F(TabbedWindowControllerTest, TabListChangesRedrawTheBarAndTheWindowMenu)
{
    CountingWindowMenu menu;
    TestWindowController *controller = windowWith({"A"});
    const int bar = controller->bar->reEvaluations;
    const int menus = menu.updates;
    document("B")->makeWindowControllers(controller, true);
    EXPECT_GT(controller->bar->reEvaluations, bar);
    EXPECT_GT(menu.updates, menus);
    EXPECT_EQ(controller->bar->delegate(), controller);
}

TEST_F(TabbedWindowControllerTest, OnlyTheActiveTabHasAWindowController)
{
    TestWindowController *controller = windowWith({"A", "B"});
    TestDocument *a = documents_[0].get();
    TestDocument *b = documents_[1].get();
    EXPECT_TRUE(a->isVisible());
    EXPECT_EQ(a->windowController(), controller);
    EXPECT_EQ(a->windowControllers().size(), 1);
    EXPECT_FALSE(b->isVisible());
    EXPECT_EQ(b->windowController(), nullptr);
    EXPECT_TRUE(b->windowControllers().isEmpty());
    EXPECT_EQ(b->sharedWindowController(), controller);
    a->makeWindowControllers(controller, true); // already the active tab: no second tab
    EXPECT_EQ(controller->documents().size(), 2);
    b->showThisDocument();
    EXPECT_TRUE(b->isVisible());
}

TEST_F(TabbedWindowControllerTest, DroppedTabKeepsItsStateAndEmptiedWindowCloses)
{
    TestWindowController *source = windowWith({"A", "B"});
    QPointer<TestWindowController> target = windowWith({"C"});
    source->field->setText("state of A");
    source->activateTab(1);
    source->field->setText("state of B");
    source->activateTab(0);

    // B (not active) goes to the end of the other window's bar with the state it had.
    source->tabShouldBeDroppedToForeignTabBar(target->bar, 1, 1, source->bar);
    EXPECT_EQ(names(source), QStringList{"A"});
    EXPECT_EQ(names(target), (QStringList{"C", "B"}));
    EXPECT_EQ(target->activeDocument()->contextDisplayName(), "B");
    EXPECT_EQ(target->field->text(), "state of B");
    EXPECT_EQ(documents_[1]->sharedWindowController(), target);

    // The only tab, moved away: its state is the one on screen, and its window closes.
    QPointer<TestWindowController> emptied = source;
    source->field->setText("A edited");
    source->tabShouldBeDroppedToForeignTabBar(target->bar, 0, 0, source->bar);
    EXPECT_EQ(names(target), (QStringList{"A", "C", "B"}));
    EXPECT_EQ(target->field->text(), "A edited");
    WAIT_FOR(emptied.isNull());
}

TEST_F(TabbedWindowControllerTest, TearingOffATabGivesItAWindowOfItsOwn)
{
    TestWindowController *controller = windowWith({"A"});
    controller->tabShouldBeMovedToOwnWindow(0); // the only tab: nothing happens
    EXPECT_TRUE(made.isEmpty());
    document("B")->makeWindowControllers(controller, true);
    controller->field->setText("B's state");
    controller->tabShouldBeMovedToOwnWindow(1);
    ASSERT_EQ(made.size(), 1);
    EXPECT_EQ(names(controller), QStringList{"A"});
    EXPECT_EQ(names(made[0]), QStringList{"B"});
    EXPECT_EQ(made[0]->field->text(), "B's state");
    EXPECT_TRUE(made[0]->window()->isVisible());
}

TEST_F(TabbedWindowControllerTest, CollectAllTabsGathersEveryWindowInOrder)
{
    TestWindowController *first = windowWith({"A", "B"});
    QPointer<TestWindowController> second = windowWith({"C"});
    QPointer<TestWindowController> third = windowWith({"D", "E", "F"});
    first->collectAllTabs();
    EXPECT_EQ(names(first), (QStringList{"A", "B", "C", "D", "E", "F"}));
    WAIT_FOR(second.isNull() && third.isNull());
    EXPECT_EQ(TabbedWindowController::allWindowControllers(), QList<TabbedWindowController *>{first});
}

TEST_F(TabbedWindowControllerTest, ContextMenuAndColourLabels)
{
    TestWindowController *controller = windowWith({"A", "B"});
    NewTabResponder application;
    CommandRouter::shared().addApplicationResponder(&application);
    std::unique_ptr<QMenu> menu(controller->tabWantsContextMenu(1));
    EXPECT_EQ(menu->title(), "TabMenu");
    QStringList titles;
    for (QAction *item : menu->actions())
        titles << (item->isSeparator() ? "-" : item->text());
    EXPECT_EQ(titles, (QStringList{"New Tab", "Duplicate Tab", "-", "Close Tab", "-", "Color label", "-",
                                   "Collect All Tabs", "-", "Tab Preferences"}));
    EXPECT_EQ(menu->actions().at(0)->shortcut(), QKeySequence("Ctrl+T"));
    EXPECT_EQ(menu->actions().at(1)->shortcut(), QKeySequence("Ctrl+Shift+T"));
    QMenu *labels = menu->actions().at(5)->menu();
    ASSERT_EQ(labels->actions().size(), 10);
    EXPECT_EQ(labels->actions().at(0)->text(), "None");
    EXPECT_TRUE(labels->actions().at(0)->icon().isNull());
    EXPECT_EQ(labels->actions().at(6)->text(), "Purple");
    EXPECT_FALSE(labels->actions().at(6)->icon().isNull());
    labels->actions().at(6)->trigger();
    EXPECT_EQ(documents_[1]->tabLabel(), 6u);

    EXPECT_FALSE(menu->actions().last()->isEnabled()) << "nobody opens tab preferences: disabled, not inert";
    menu->actions().at(0)->trigger(); // New Tab goes along the chain to the application
    EXPECT_EQ(application.newTabs, 1);
    CommandRouter::shared().removeApplicationResponder(&application);
    QPointer<TestWindowController> other = windowWith({"C"});
    menu->actions().at(7)->trigger(); // Collect All Tabs: performed by the window's own controller
    EXPECT_EQ(names(controller), (QStringList{"A", "B", "C"}));
    WAIT_FOR(other.isNull());

    menu->actions().at(3)->trigger(); // Close Tab of tab 1
    EXPECT_EQ(names(controller), (QStringList{"A", "C"}));
    EXPECT_TRUE(controller->imageForLabel(0).isNull());
    EXPECT_EQ(controller->imageForLabel(12).size(), QSize(18, 18));
}

TEST(TabbedDocument, BaseHooksLogAndAnswerNeutralValues)
{
    TabbedDocument document;
    EXPECT_EQ(document.tabLabel(), 0u);
    EXPECT_TRUE(document.initializationInfo().isEmpty());
    EXPECT_EQ(document.documentState(), TabbedDocumentStateNone);
    EXPECT_EQ(document.contextDisplayName(), "contextDisplayName");
    EXPECT_TRUE(document.restorableDocumentInfo().isEmpty());
    EXPECT_EQ(document.createTabbedWindowController(), nullptr);
    document.makeWindowControllers(); // no window controller can be made: nothing happens
    EXPECT_EQ(document.sharedWindowController(), nullptr);
    EXPECT_TRUE(TabbedWindowController::allWindowControllers().isEmpty());
}

TEST(TabbedWindowController, InterfaceStateArchivesRoundTripAndRejectForeignData)
{
    const QVariantMap state{{"split", QByteArray("\x00\x01", 2)}, {"visible", true}, {"width", 240}};
    const QByteArray data = TabbedWindowController::archiveInterfaceState(state);
    EXPECT_EQ(TabbedWindowController::unarchiveInterfaceState(data), state);
    EXPECT_FALSE(TabbedWindowController::unarchiveInterfaceState({}).has_value());
    EXPECT_FALSE(TabbedWindowController::unarchiveInterfaceState("bplist00 something else").has_value());
    EXPECT_FALSE(TabbedWindowController::unarchiveInterfaceState(data.left(10)).has_value());
}

#include "TabbedWindowControllerTest.moc"
