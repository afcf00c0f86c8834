#include "BrowserTestSupport.h"

#include "WaitFor.h"
#include "bridge/ThreadController.h"
#include "platform/Preferences.h"
#include "platform/UserDefaults.h"
#include "status/StatusManager.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace
{

QStringList loadedNames(const QList<BrowserCall> &loads)
{
    QStringList names;
    for (const BrowserCall &call : loads)
        names << call.arguments.value(2).toString();
    return names;
}

QStringList elementNames(const QList<BrowserElementPtr> &elements)
{
    QStringList names;
    for (const BrowserElementPtr &element : elements)
        names << element->name();
    return names;
}

QStringList historyNames(const BrowserController &controller)
{
    QStringList names;
    for (const BrowserControllerLoadingElementPtr &entry : controller.browserHistory())
        names << entry->element()->name();
    return names;
}

class BrowserControllerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        UserDefaults::standard().setObject(5, PreferenceKey::browser_recent_count);
        UserDefaults::standard().setObject(true, PreferenceKey::browser_recent_enabled);
        UserDefaults::standard().setObject(true, PreferenceKey::browser_favourite_enabled);
        f.browser->addObjects("HR", "TABLE", {"Customers", "EMP", "Items", "Orders", "Stock"});
        f.browser->addObjects("SALES", "TABLE", {"INVOICES"}, false);
        f.root->setFullyLoaded("HR");
        f.controller->setResourceFolder(resources.path());
        f.controller->resetBrowserFromRoot();
    }

    BrowserElementPtr element(const QString &name) const
    {
        return f.controller->dataBrowserElementStore()->findElementInStoreWithName(name, "HR");
    }

    // Selects the element as the outline does and waits until its load has ended.
    void select(const QString &name)
    {
        const BrowserElementPtr chosen = element(name);
        ASSERT_TRUE(chosen) << name.toStdString();
        f.controller->setActiveElementStoreSelection(chosen, nullptr);
        f.controller->browserDidChangeElementSelection(chosen);
        ASSERT_TRUE(f.waitForIdle());
    }

    QTemporaryDir resources;
    BrowserFixture f;
};

TEST_F(BrowserControllerTest, OnlyTheLatestOfSelectionsMadeDuringALoadIsLoaded)
{
    f.browser->holdLoads(true);
    f.controller->browserDidChangeElementSelection(element("Orders"));
    ASSERT_WAIT_FOR(f.browser->heldLoads() == 1);
    EXPECT_TRUE(f.controller->isLoading());

    const int focusRequests = f.document.focusRequests;
    EXPECT_TRUE(f.controller->browserShouldChangeElementSelection());
    EXPECT_EQ(f.document.focusRequests, focusRequests);
    for (const QString &name : QStringList{"Customers", "Items", "Stock"})
        f.controller->browserDidChangeElementSelection(element(name));
    EXPECT_EQ(f.controller->desiredSelection()->element()->name(), "Stock");

    f.browser->holdLoads(false);
    ASSERT_WAIT_FOR(f.document.loadedElements.size() == 1);
    ASSERT_TRUE(f.waitForIdle());
    // The superseded load is not shown; the last selection is.
    EXPECT_EQ(f.document.loadedElements, QStringList{"Stock"});
    EXPECT_EQ(loadedNames(f.browser->loads()), (QStringList{"Orders", "Stock"}));
    EXPECT_EQ(historyNames(*f.controller), (QStringList{"Orders", "Stock"}));
    EXPECT_EQ(f.document.reservations.count(), 2);
    EXPECT_EQ(f.document.events.mid(f.document.events.size() - 2),
              (QStringList{"browserWillUpdate", "browserDidUpdate"}));
    EXPECT_EQ(elementNames(f.controller->sharedRecentItems()->elements()), QStringList{"Stock"});
}

TEST_F(BrowserControllerTest, ALoadEndingAfterAResetChangesNothing)
{
    f.browser->holdLoads(true);
    f.controller->browserDidChangeElementSelection(element("Orders"));
    ASSERT_WAIT_FOR(f.browser->heldLoads() == 1);
    f.controller->resetBrowserFromRoot();
    f.browser->holdLoads(false);
    ASSERT_TRUE(f.waitForIdle());
    ASSERT_WAIT_FOR(f.root->releases == 1);
    EXPECT_TRUE(f.document.loadedElements.isEmpty());
    EXPECT_TRUE(f.controller->browserHistory().isEmpty());
    EXPECT_TRUE(f.controller->sharedRecentItems()->elements().isEmpty());
}

TEST_F(BrowserControllerTest, ARefusedReservationLeavesTheRequestWaitingForTheRoot)
{
    f.document.refuseReservations = true;
    f.controller->browserDidChangeElementSelection(element("EMP"));
    EXPECT_FALSE(f.controller->isLoading());
    EXPECT_TRUE(f.browser->loads().isEmpty());

    // A later selection replaces the waiting one; the end of someone else's reservation starts it.
    f.controller->browserDidChangeElementSelection(element("Orders"));
    f.document.refuseReservations = false;
    f.document.connectedControllerWantsEndRootReservation(f.controller.get());
    ASSERT_WAIT_FOR(f.document.loadedElements == QStringList{"Orders"});
    EXPECT_EQ(loadedNames(f.browser->loads()), QStringList{"Orders"});
}

TEST_F(BrowserControllerTest, AFilterTheColumnRefusesIsDroppedOnceAndTheElementLoadsAgain)
{
    for (const QString &message : QStringList{"INVALID_INPUT", "Unparseable date: \"x\""}) {
        f.browser->clearCalls();
        f.document.loadedElements.clear();
        f.status->clear();
        f.browser->failLoadsOf("EMP", message, 1);
        auto filter = std::make_shared<Filter>();
        filter->setElement(element("EMP"));
        filter->setColumnName("HIREDATE");
        filter->setValues({"x"});
        f.controller->requestExternalLoadOfFilter(filter);
        ASSERT_WAIT_FOR(f.document.loadedElements == QStringList{"EMP"});
        ASSERT_TRUE(f.waitForIdle());
        const QList<BrowserCall> loads = f.browser->loads();
        ASSERT_EQ(loads.size(), 2) << message.toStdString();
        EXPECT_EQ(loads[0].selector, "selectElementWithFilter");
        EXPECT_EQ(loads[1].selector, "selectElement");
        ASSERT_EQ(f.alerts().size(), 1);
        EXPECT_TRUE(f.alerts().last().contains("reloaded without the additional filter"));
    }
}

TEST_F(BrowserControllerTest, AnUnfilteredLoadThatReportsInvalidInputIsNotRepeated)
{
    f.browser->failLoadsOf("EMP", "INVALID_INPUT");
    select("EMP");
    EXPECT_EQ(f.browser->loads().size(), 1);
    EXPECT_EQ(f.document.loadedElements, QStringList{"<none>"});
    ASSERT_EQ(f.alerts().size(), 1);
    EXPECT_EQ(f.alerts().first(),
              "Database error: A database error occurred while trying to load the resultset.\nINVALID_INPUT");
}

TEST_F(BrowserControllerTest, FailedLoadsAlertByKindAndLeaveTheHistory)
{
    struct Case {
        const char *what;
        BrowserElementPtr element;
        QString title;
        QString status;
    };
    auto management = std::make_shared<BrowserElement>("Locks", "Management", "LOCKS",
                                                       BrowserElement::ManagementActivity, "MANAGEMENT");
    management->setOptions({{"query", "SELECT locks"}});
    const QList<Case> cases = {
        {"table", element("EMP"), "Database error", "Error loading resultset"},
        {"management view", management, "Management mode error", "Management mode error"},
    };
    select("Orders");
    for (const Case &c : cases) {
        // A management view is loaded by its query.
        const QString loaded = c.element->options().value("query", c.element->name()).toString();
        f.browser->failLoadsOf(loaded, "ORA-00942 table or view does not exist");
        f.document.loadedElements.clear();
        f.status->clear();
        f.controller->loadElement(
            BrowserControllerLoadingElement::elementWithElement(c.element, FilterPtr()));
        ASSERT_TRUE(f.waitForIdle());
        EXPECT_EQ(f.document.loadedElements, QStringList{"<none>"}) << c.what;
        ASSERT_EQ(f.alerts().size(), 1) << c.what;
        EXPECT_TRUE(f.alerts().last().startsWith(c.title + ": ")) << c.what;
        EXPECT_TRUE(f.alerts().last().endsWith("ORA-00942 table or view does not exist")) << c.what;
        EXPECT_EQ(f.status->connectionStatusText(), c.status) << c.what;
        EXPECT_EQ(historyNames(*f.controller), QStringList{"Orders"}) << c.what;
    }
}

// The history cases: loads, back, a new load cutting the forward entries, a statement's result.
TEST_F(BrowserControllerTest, HistoryMovesLikeABrowsers)
{
    for (const QString &name : QStringList{"Orders", "Customers", "Items"})
        select(name);
    EXPECT_EQ(f.controller->browserHistoryPointer(), 3u);
    EXPECT_EQ(elementNames(f.controller->backHistory()), (QStringList{"Customers", "Orders"}));
    EXPECT_TRUE(f.controller->canNavigateBack());
    EXPECT_FALSE(f.controller->canNavigateForward());

    f.controller->navigateBack();
    ASSERT_TRUE(f.waitForIdle());
    EXPECT_EQ(f.document.loadedElements.last(), "Customers");
    EXPECT_EQ(f.controller->browserHistoryPointer(), 2u);
    EXPECT_EQ(elementNames(f.controller->forwardHistory()), QStringList{"Items"});

    select("Stock");
    EXPECT_EQ(historyNames(*f.controller), (QStringList{"Orders", "Customers", "Stock"}));
    EXPECT_EQ(f.controller->browserHistoryPointer(), 3u);

    // A statement's result: the shown entry joins the back list and back returns to it.
    f.controller->nonBrowserResultWasLoaded();
    EXPECT_EQ(elementNames(f.controller->backHistory()), (QStringList{"Stock", "Customers", "Orders"}));
    EXPECT_TRUE(f.controller->forwardHistory().isEmpty());
    f.controller->navigateBack();
    ASSERT_TRUE(f.waitForIdle());
    EXPECT_EQ(f.document.loadedElements.last(), "Stock");
    EXPECT_EQ(f.controller->browserHistoryPointer(), 3u);
    EXPECT_EQ(historyNames(*f.controller), (QStringList{"Orders", "Customers", "Stock"}));

    // Clicking the shown element again adds an entry.
    select("Stock");
    EXPECT_EQ(historyNames(*f.controller), (QStringList{"Orders", "Customers", "Stock", "Stock"}));
}

TEST_F(BrowserControllerTest, HistoryMenusChooseEntriesAndIgnoreStaleIndices)
{
    for (const QString &name : QStringList{"Orders", "Customers", "Items", "Stock"})
        select(name);
    EXPECT_EQ(elementNames(f.controller->backHistory()), (QStringList{"Items", "Customers", "Orders"}));
    f.controller->selectItem(1, true);
    ASSERT_TRUE(f.waitForIdle());
    EXPECT_EQ(f.document.loadedElements.last(), "Customers");
    EXPECT_EQ(f.controller->browserHistoryPointer(), 2u);
    EXPECT_EQ(elementNames(f.controller->forwardHistory()), (QStringList{"Items", "Stock"}));

    f.controller->selectItem(0, false);
    ASSERT_TRUE(f.waitForIdle());
    EXPECT_EQ(f.document.loadedElements.last(), "Items");
    EXPECT_EQ(f.controller->browserHistoryPointer(), 3u);
    EXPECT_EQ(historyNames(*f.controller).size(), 4);

    // Menus built before the history changed.
    const qsizetype loads = f.browser->loads().size();
    f.controller->selectItem(7, true);
    f.controller->selectItem(2, false);
    EXPECT_EQ(f.controller->browserHistoryPointer(), 3u);
    EXPECT_EQ(f.browser->loads().size(), loads);
}

TEST_F(BrowserControllerTest, AnEntryRemembersTheFilterOfItsShownElementOnly)
{
    auto filter = std::make_shared<ExtendedFilter>();
    filter->setQuickFilterColumns({"NAME"});
    filter->setQuickFilterOperators({"="});
    filter->setQuickFilterValues({"Smith"});
    filter->setQuickFilterSort({VornSort{"NAME", "ASC"}});

    f.controller->quickFilterUpdatedForCurrentSelection(filter); // empty history: nothing
    select("Orders");
    f.controller->quickFilterUpdatedForCurrentSelection(filter);
    EXPECT_EQ(f.controller->browserHistory().first()->extendedFilter(), filter);

    // A failed load leaves another element selected than the current entry's: the entry keeps its own.
    f.browser->failLoadsOf("Items", "gone");
    select("Items");
    f.controller->quickFilterUpdatedForCurrentSelection(std::make_shared<ExtendedFilter>());
    EXPECT_EQ(f.controller->browserHistory().first()->extendedFilter(), filter);

    select("Customers");
    f.controller->selectItem(0, true); // back to Orders, with its quick filters and sort
    ASSERT_TRUE(f.waitForIdle());
    const BrowserCall last = f.browser->loads().last();
    EXPECT_EQ(last.selector, "selectElementWithQuickFiltersAndSort");
    EXPECT_EQ(last.arguments.value(2), "Orders");
    EXPECT_EQ(last.arguments.value(5).toList(), QVariantList{"Smith"});
    EXPECT_EQ(last.arguments.value(6).toStringList(), QStringList{"NAME ASC"});
}

TEST_F(BrowserControllerTest, ACachedSchemaSwitchesAtOnceAnUncachedOneLoadsOnAWorker)
{
    f.browser->addObjects("HR2", "VIEW", {"V1"});
    EXPECT_TRUE(f.controller->browserShouldChangeSchemaSelection("HR2"));
    f.controller->browserDidChangeSchemaSelection("HR2");
    EXPECT_TRUE(f.document.reservations.isEmpty());
    EXPECT_EQ(f.browser->selectedSchema(), "HR2");
    EXPECT_EQ(f.controller->dataBrowserElementStore()->sectionsOfSchema("HR2").size(), 3);

    ASSERT_FALSE(f.controller->dataBrowserElementStore()->sectionsPerSchema().contains("SALES"));
    EXPECT_TRUE(f.controller->browserShouldChangeSchemaSelection("SALES"));
    EXPECT_EQ(f.document.reservations, QStringList{"Loading schema SALES"});
    f.controller->browserDidChangeSchemaSelection("SALES");
    ASSERT_TRUE(f.waitForIdle());
    EXPECT_TRUE(f.browser->hasCachedTypesOfSchema("SALES"));
    EXPECT_EQ(f.status->connectionStatusText(), "Loaded schema SALES");
    EXPECT_EQ(f.controller->dataBrowserElementStore()->selectedSchema(), "SALES");
    EXPECT_EQ(
        elementNames(f.controller->dataBrowserElementStore()->sectionsOfSchema("SALES").last()->elements()),
        QStringList{"INVOICES"});
    EXPECT_TRUE(f.root->fullyLoadedForSchema("SALES"));

    f.root->reservedByOther = true;
    EXPECT_FALSE(f.controller->browserShouldChangeSchemaSelection("HR"));
    f.root->reservedByOther = false;
}

TEST_F(BrowserControllerTest, AFailedSchemaLoadAlertsAndKeepsTheFavouritesOfThatSchema)
{
    auto invoice = std::make_shared<BrowserElement>("INVOICES", "SALES", "TABLE", BrowserElement::Table);
    f.controller->updateFavouriteStatus(true, *invoice);
    f.browser->failSchemaLoad("SALES", "permission denied");
    EXPECT_TRUE(f.controller->browserShouldChangeSchemaSelection("SALES"));
    ASSERT_TRUE(f.waitForIdle());
    EXPECT_EQ(f.alerts(), QStringList{"Couldn't load schema: The database returned: permission denied"});
    EXPECT_TRUE(f.controller->itemIsFavourite(*invoice));
}

TEST_F(BrowserControllerTest, ReloadEmptiesTheStoreOnlyOnceReservedAndRebuildsIt)
{
    select("Orders");
    f.document.refuseReservations = true;
    f.controller->reloadConnectionInfo();
    EXPECT_TRUE(f.controller->dataBrowserElementStore());
    EXPECT_EQ(f.root->metadataReloads, 0);

    f.document.refuseReservations = false;
    f.controller->reloadConnectionInfo();
    EXPECT_FALSE(f.controller->dataBrowserElementStore());
    ASSERT_TRUE(f.waitForIdle());
    ASSERT_WAIT_FOR(f.controller->dataBrowserElementStore());
    EXPECT_EQ(f.root->metadataReloads, 1);
    EXPECT_TRUE(f.controller->browserHistory().isEmpty());
    EXPECT_EQ(f.controller->browserHistoryPointer(), 0u);
    EXPECT_TRUE(f.document.events.contains("browserDidReloadConnectionInfo"));
    EXPECT_EQ(f.status->connectionStatusText(), "Successfully reloaded connection info");

    // A failed reload says so and still leaves a browser to work with.
    f.root->reloadError = "connection reset";
    f.controller->reloadConnectionInfo();
    ASSERT_TRUE(f.waitForIdle());
    ASSERT_WAIT_FOR(f.controller->dataBrowserElementStore());
    EXPECT_EQ(f.alerts().last(), "Database error: Couldn't reload connection info\nconnection reset");
}

TEST_F(BrowserControllerTest, CommitAndRollbackTellTheDocumentWhatChanged)
{
    struct Case {
        const char *what;
        bool commit;
        bool refresh;
        QString error;
        bool withBrowser;
        QStringList events;
    };
    const QList<Case> cases = {
        {"commit", true, false, {}, true, {"commitOrRollbackCompleted"}},
        {"commit, refresh", true, true, {}, true, {"resultsetHasBeenUpdated", "commitOrRollbackCompleted"}},
        {"failed commit", true, false, "deadlock", true, {"commitOrRollbackCompleted"}},
        {"rollback", false, false, {}, true, {"browserNeedsARefresh", "commitOrRollbackCompleted"}},
        {"failed rollback",
         false,
         false,
         "gone",
         true,
         {"browserNeedsARefresh", "commitOrRollbackCompleted"}},
        {"rollback without browser", false, false, {}, false, {"commitOrRollbackCompleted"}},
    };
    for (const Case &c : cases) {
        f.document.events.clear();
        f.root->refreshAfterCommit = c.refresh;
        f.root->lastAction->set(c.error);
        f.root->browserClient = c.withBrowser ? f.browser : nullptr;
        const int releases = f.root->releases;
        c.commit ? f.controller->commit() : f.controller->rollback();
        ASSERT_TRUE(f.waitForIdle()) << c.what;
        ASSERT_WAIT_FOR(!f.document.events.isEmpty());
        EXPECT_EQ(f.document.events, c.events) << c.what;
        EXPECT_EQ(f.root->releases, releases + 1) << c.what;
        if (!c.error.isNull()) {
            EXPECT_TRUE(f.alerts().last().endsWith(c.error)) << c.what;
        }
    }
    f.root->browserClient = f.browser;
}

TEST_F(BrowserControllerTest, ActionChecksFollowTheRoot)
{
    EXPECT_FALSE(f.controller->canCommitOrRollback());
    f.root->dirtyConnection = true;
    EXPECT_TRUE(f.controller->canCommitOrRollback());
    EXPECT_TRUE(f.controller->canImport());
    f.controller->toggleManagementMode();
    EXPECT_FALSE(f.controller->canImport());
    EXPECT_TRUE(f.controller->canExport());
    f.root->reservedByOther = true;
    EXPECT_FALSE(f.controller->canCommitOrRollback());
    EXPECT_FALSE(f.controller->canToggleManagementMode());
    EXPECT_FALSE(f.controller->canReloadConnectionInfo());
    f.root->reservedByOther = false;
}

TEST_F(BrowserControllerTest, FavouritesAreStoredOnceAndReachEveryControllerOfTheConnection)
{
    BrowserFixture second(f.document.connectedControllerWantsUniqueConnectionIdentifier(nullptr));
    second.browser->addObjects("HR", "TABLE", {"EMP"});
    second.controller->setResourceFolder(resources.path());
    second.controller->resetBrowserFromRoot();

    const BrowserElementPtr emp = element("EMP");
    f.controller->updateFavouriteStatus(true, *emp);
    f.controller->updateFavouriteStatus(true, *emp);
    EXPECT_EQ(f.controller->connectionSettingsWithName("favourites").toStringList(),
              QStringList{emp->serializableIdentifier()});
    EXPECT_EQ(elementNames(second.controller->sharedFavourites()->elements()), QStringList{"EMP"});
    EXPECT_TRUE(second.document.events.contains("browserHasBeenUpdated"));
    EXPECT_TRUE(second.controller->itemIsFavourite(*emp));

    f.controller->updateFavouriteStatus(false, *emp);
    EXPECT_TRUE(second.controller->sharedFavourites()->elements().isEmpty());
    EXPECT_FALSE(f.controller->itemIsFavourite(*emp));
}

TEST_F(BrowserControllerTest, RecentDropsKeepTheirLimitUnderUnambiguousKeys)
{
    auto orders = std::make_shared<BrowserElement>("ORDERS", "HR", "TABLE", BrowserElement::Table);
    auto statement = std::make_shared<BrowserElement>("SQL Statement", "HR", "SQL Statement result",
                                                      BrowserElement::StatementResult);
    EXPECT_EQ(BrowserController::dropSourceKey(*orders, "CUSTOMER_ID"), "ORDERS-CUSTOMER_ID");
    EXPECT_EQ(BrowserController::dropSourceKey(*statement, "CUSTOMER_ID"), "[[SQL-CUSTOMER_ID");
    // Names holding the separator, the escape or posing as a statement never share a key.
    const BrowserElement a("A-B", "HR", "TABLE", 0);
    const BrowserElement b("A", "HR", "TABLE", 0);
    const BrowserElement sql("[[SQL", "HR", "TABLE", 0);
    EXPECT_NE(BrowserController::dropSourceKey(a, "C"), BrowserController::dropSourceKey(b, "B-C"));
    EXPECT_NE(BrowserController::dropSourceKey(sql, "C"), BrowserController::dropSourceKey(*statement, "C"));

    QStringList targets;
    for (int i = 1; i <= 6; ++i) {
        const BrowserElement target(QStringLiteral("T%1").arg(i), "HR", "TABLE", 0);
        f.controller->storeRecentDrop(*orders, "CUSTOMER_ID", target);
    }
    f.controller->storeRecentDrop(*orders, "CUSTOMER_ID", BrowserElement("T4", "HR", "TABLE", 0));
    EXPECT_EQ(elementNames(f.controller->recentDropElements(*orders, "CUSTOMER_ID")),
              (QStringList{"T2", "T3", "T4", "T5", "T6"}));

    UserDefaults::standard().setObject(0, PreferenceKey::browser_recent_count);
    f.controller->storeRecentDrop(*statement, "ID", BrowserElement("T1", "HR", "TABLE", 0));
    EXPECT_TRUE(f.controller->recentDropElements(*statement, "ID").isEmpty());
    const QVariantMap drops = f.controller->connectionSettingsWithName("quickfilterDrops").toMap();
    EXPECT_TRUE(drops.contains("[[SQL-ID"));
}

TEST_F(BrowserControllerTest, DropColumnsPutTheKeysAndTheSameNameFirst)
{
    f.browser->setColumns("HR", "Customers", {"ID", "NAME", "CUSTOMER_ID"});
    f.browser->setColumns("HR", "Stock", {"ITEM", "CUSTOMER_ID"});
    f.browser->setKeys("Orders", {{"ORD_CUST_FK", "CUST", "Customers", "ID"}});
    Filter filter;
    filter.setElement(element("Orders"));
    filter.setColumnName("CUST");

    bool hasDefault = false;
    EXPECT_EQ(f.controller->dropColumnsAvailableFor(filter, *element("Customers"), &hasDefault),
              (QStringList{"ID", "", "ID", "NAME", "CUSTOMER_ID"}));
    EXPECT_TRUE(hasDefault);

    filter.setColumnName("CUSTOMER_ID");
    hasDefault = false;
    EXPECT_EQ(f.controller->dropColumnsAvailableFor(filter, *element("Stock"), &hasDefault),
              (QStringList{"CUSTOMER_ID", "", "ITEM", "CUSTOMER_ID"}));
    EXPECT_TRUE(hasDefault);

    filter.setColumnName("OTHER");
    hasDefault = false;
    EXPECT_EQ(f.controller->dropColumnsAvailableFor(filter, *element("Stock"), &hasDefault),
              (QStringList{"ITEM", "CUSTOMER_ID"}));
    EXPECT_FALSE(hasDefault);
}

TEST_F(BrowserControllerTest, ADropOnAChosenColumnLoadsTheTargetOrOpensATab)
{
    auto filter = std::make_shared<Filter>();
    filter->setElement(element("Orders"));
    filter->setColumnName("CUSTOMER_ID");
    filter->setValues({"7"});
    EXPECT_FALSE(f.controller->shouldAcceptDrop(filter, element("Customers"), QString("ID"), true));
    EXPECT_EQ(f.document.newDocumentElement, element("Customers"));
    EXPECT_EQ(f.document.newDocumentFilter->columnName(), "ID");
    EXPECT_EQ(elementNames(f.controller->recentDropElements(*element("Orders"), "CUSTOMER_ID")),
              QStringList{"Customers"});

    auto again = std::make_shared<Filter>();
    again->setElement(element("Orders"));
    again->setColumnName("CUSTOMER_ID");
    again->setValues({"7"});
    EXPECT_TRUE(f.controller->shouldAcceptDrop(again, element("Customers"), QString("ID"), false));
    ASSERT_WAIT_FOR(f.document.loadedElements == QStringList{"Customers"});
    const BrowserCall load = f.browser->loads().last();
    EXPECT_EQ(load.selector, "selectElementWithFilter");
    EXPECT_EQ(load.arguments.value(3), "ID");
    EXPECT_EQ(load.arguments.value(4), QVariant(QString("7")));
}

TEST_F(BrowserControllerTest, RestorableStateKeepsTheRecentOrderAndTheSchema)
{
    f.browser->addObjects("HR2", "TABLE", {"P", "Q", "R"});
    f.controller->resetBrowserFromRoot();
    auto in = [](const QString &name) { return std::make_shared<BrowserElement>(name, "HR2", "TABLE", 0); };
    f.controller->dataBrowserElementStore()->setSelectedSchema("HR2");
    f.controller->dataBrowserElementStore()->updateBrowserWithSchemaElements("HR2", *f.browser);
    for (const QString &name : QStringList{"R", "Q", "P"})
        f.controller->addItemToRecentHistory(in(name));
    const QVariantMap info = f.controller->restorableDocumentInfo();
    EXPECT_EQ(info.value("selectedSchema"), "HR2");
    const QStringList recents = info.value("recents").toStringList();
    ASSERT_EQ(recents.size(), 3);
    EXPECT_EQ(BrowserElement::elementForIdentifier(recents.first())->name(), "R");

    f.controller->resetBrowserFromRoot();
    f.controller->sharedRecentItems()->setElements({});
    f.controller->restoreWithInfo(info);
    EXPECT_EQ(f.controller->dataBrowserElementStore()->selectedSchema(), "HR2");
    EXPECT_EQ(elementNames(f.controller->sharedRecentItems()->elements()), (QStringList{"P", "Q", "R"}));

    f.controller->resetBrowserFromRoot();
    f.controller->sharedRecentItems()->setElements({});
    f.controller->restoreWithInfo({{"managementMode", true}, {"recents", recents}});
    EXPECT_TRUE(f.controller->managementMode());
    EXPECT_TRUE(f.controller->sharedRecentItems()->elements().isEmpty());
}

TEST_F(BrowserControllerTest, ResetWithoutAConnectionLeavesNoStores)
{
    const BrowserElementSectionPtr favourites = f.controller->sharedFavourites();
    f.root->connected = false;
    f.controller->resetBrowserFromRoot();
    EXPECT_FALSE(f.controller->dataBrowserElementStore());
    EXPECT_FALSE(f.controller->managementBrowserElementStore());
    EXPECT_FALSE(f.controller->sharedRecentItems());
    f.root->connected = true;
    f.controller->resetBrowserFromRoot();
    EXPECT_TRUE(f.controller->sharedRecentItems());
    EXPECT_EQ(f.controller->sharedFavourites(), favourites);
}

} // namespace
