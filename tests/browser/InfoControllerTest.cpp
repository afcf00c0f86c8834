// The inspector model with the fake backend: skeletons, the delayed load, the cache, stale results,
// navigation and favourites.
#include "browser/InfoController.h"
#include "FakeVornInfoClient.h"
#include "FakeVornRootClient.h"
#include "WaitFor.h"
#include "bridge/QoJavaBridge.h"
#include "bridge/ThreadController.h"
#include "browser/InfoControllerDelegate.h"
#include "connection/ConnectedControllerDelegate.h"
#include "elements/SqlBrowserElement.h"
#include "platform/NotificationCenter.h"

#include "platform/PropertyList.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace
{
QoJavaBridge &bridgeWithoutVm()
{
    static auto *bridge = new QoJavaBridge(QVariantMap(), QString());
    return *bridge;
}

class FakeInfoDelegate : public InfoControllerDelegate, public ConnectedControllerDelegate
{
public:
    bool infoControllerShouldLoadExtendedInfo(InfoController *) override { return columnShown; }
    void infoHasBeenUpdated(qint64 type) override { updates << type; }
    void requestSeparatedViewOfInfoController(std::shared_ptr<InfoController> controller) override
    {
        separated << controller;
    }
    qint64 infoControllerNeedsTabLabel(InfoController *) override { return 3; }
    QString infoControllerNeedsActiveConnectionName(InfoController *) override { return connectionName; }

    bool connectedControllerWantsRootReservationFor(ConnectedController *, const QString &) override
    {
        return true;
    }
    void connectedControllerWantsEndRootReservation(ConnectedController *) override {}
    bool connectedControllerWantsToChangeFocus(ConnectedController *, bool) override { return true; }
    bool connectedControllerWantsClearRootSelection(ConnectedController *) override { return true; }
    ConnectionParametersPtr connectedControllerWantsConnectionParameters(ConnectedController *) override
    {
        return nullptr;
    }
    QString connectedControllerWantsUniqueConnectionIdentifier(ConnectedController *) override
    {
        return "INFO_TEST_CONNECTION";
    }

    bool columnShown = true;
    QString connectionName;
    QList<qint64> updates;
    QList<std::shared_ptr<InfoController>> separated;
};

std::shared_ptr<FakeVornInfoClient> tableInfo(const QString &name = "EMP")
{
    auto info = std::make_shared<FakeVornInfoClient>();
    info->generic = {{"name", name}, {"type", "TABLE"}, {"subtype", "table"}, {"schemaTerm", "schema"}};
    info->filledGeneric = info->generic;
    info->filledGeneric.insert("primaryKeyColumns", QStringList{"ID"});
    info->indexInfo = info->constraintInfo = info->triggerInfo = true;
    info->columnList = {QVariantMap{{"name", "ID"}, {"type", "INTEGER"}, {"NoNulls", "YES"}}};
    info->indexTable = {{"names", QStringList{"EMP_IX"}},
                        {"columns", QVariantMap{{"EMP_IX", QStringList{"ID", "A"}}}}};
    info->triggerNames = {"EMP_TRG"};
    info->ddlText = "CREATE TABLE EMP (ID INTEGER)";
    return info;
}

class InfoControllerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        root->browserClient->schemaName = "HR";
        root->browserClient->describe = [this](const QString &, const QString &, const QString &name) {
            return infos.value(name);
        };
        controller->setThreadController(threads);
        controller->setDelegate(&delegate);
        controller->setInfoDelegate(&delegate);
        controller->setLoadDelayMs(50);
    }
    void TearDown() override { ASSERT_WAIT_FOR(threads->numberOfRegisteredThreads(true) == 0); }

    BrowserElementPtr table(const QString &name = "EMP")
    {
        return std::make_shared<BrowserElement>(name, "HR", "TABLE", BrowserElement::Table);
    }

    QStringList titles() const
    {
        QStringList all;
        for (const InfoItemSectionPtr &section : controller->infoItemSections())
            all << QString("%1:%2%3")
                       .arg(section->title)
                       .arg(section->type)
                       .arg(section->fullyLoaded ? "" : "?");
        return all;
    }

    std::shared_ptr<FakeVornRootClient> root = std::make_shared<FakeVornRootClient>();
    std::shared_ptr<ThreadController> threads = std::make_shared<ThreadController>(&bridgeWithoutVm());
    FakeInfoDelegate delegate;
    std::shared_ptr<InfoController> controller = std::make_shared<InfoController>(root);
    QHash<QString, std::shared_ptr<FakeVornInfoClient>> infos;
};
} // namespace

TEST_F(InfoControllerTest, NothingOrAStatementGivenToTheElementResetShowsNoInformation)
{
    for (const BrowserElementPtr &element :
         {BrowserElementPtr(),
          BrowserElementPtr(std::make_shared<SqlBrowserElement>("HR", "SELECT 1", 0.1))}) {
        controller->resetInfoUsingBrowserElementColumns(element, std::nullopt);
        EXPECT_EQ(controller->name(), "No selection");
        EXPECT_EQ(titles(), QStringList{"No information to display:1"});
        EXPECT_FALSE(controller->canEventuallyRefresh());
    }
}

TEST_F(InfoControllerTest, TheSkeletonFollowsSubtypeAndType)
{
    struct Case {
        const char *what;
        QString type;
        QString subtype;
        std::function<void(FakeVornInfoClient &)> can;
        QStringList titles;
    };
    const auto all = [](FakeVornInfoClient &info) {
        info.triggerInfo = info.indexInfo = info.constraintInfo = info.partitionInfo = info.indexColumnInfo =
            true;
    };
    const QList<Case> cases{
        {"a table with every part",
         "TABLE",
         "table",
         all,
         {"General:1?", "Columns:2?", "Indexes:4?", "Constraints:8?", "Partitions:16?", "Triggers:64?",
          "Data definition:32?"}},
        {"a view has triggers only",
         "VIEW",
         "table",
         all,
         {"General:1?", "Columns:2?", "Triggers:64?", "Data definition:32?"}},
        {"a synonym of a table has columns only",
         "SYNONYM",
         "table",
         all,
         {"General:1?", "Columns:2?", "Data definition:32?"}},
        {"a procedure has parameters",
         "FUNCTION",
         "procedure",
         all,
         {"General:1?", "Parameters:2?", "Data definition:32?"}},
        {"an index has columns and partitions",
         "INDEX",
         "index",
         all,
         {"General:1?", "Columns:2?", "Partitions:16?", "Data definition:32?"}},
        {"a trigger has its DDL", "TRIGGER", "trigger", all, {"General:1?", "Data definition:32?"}},
        {"a table that can have nothing more",
         "TABLE",
         "table",
         [](FakeVornInfoClient &info) { info.ddlInfo = false; },
         {"General:1?", "Columns:2?"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        auto info = std::make_shared<FakeVornInfoClient>();
        info->generic = {{"type", c.type}, {"subtype", c.subtype}};
        c.can(*info);
        infos["OBJ"] = info;
        controller->resetInfoUsingBrowserElementColumns(
            std::make_shared<BrowserElement>("OBJ", "HR", c.type, BrowserElement::browserTypeForType(c.type)),
            std::nullopt);
        EXPECT_EQ(titles(), c.titles);
        EXPECT_EQ(controller->name(), "OBJ");
        EXPECT_TRUE(controller->canEventuallyRefresh());
        EXPECT_FALSE(controller->canRefresh());
        controller->reset();
    }
}

TEST_F(InfoControllerTest, TheGridsColumnsAndTheSchemaLabelFillTheSkeleton)
{
    infos["EMP"] = tableInfo();
    infos["EMP"]->generic["schemaTerm"] = "database";
    controller->resetInfoUsingBrowserElementColumns(
        table(), QList<QVariantMap>{{{"label", "ID"}, {"typeName", "INT"}}});
    const InfoItemSectionPtr general = controller->findSection(1);
    ASSERT_TRUE(general);
    EXPECT_EQ(general->groups.first().items.at(1).name, "Database");
    const InfoItemSectionPtr columns = controller->findSection(2);
    ASSERT_TRUE(columns);
    EXPECT_EQ(columns->groups.first().items.first().name, "ID");
    EXPECT_EQ(columns->groups.first().items.first().value, "INT");
    EXPECT_EQ(columns->groups.first().infoItemGroupArrangement, 10);
}

TEST_F(InfoControllerTest, TheLoadFillsEverySectionAndCachesTheResult)
{
    infos["EMP"] = tableInfo();
    infos["EMP"]->obtainable = {"EMP_IX"};
    controller->resetInfoUsingBrowserElementColumns(table(), std::nullopt);
    EXPECT_TRUE(controller->loadPending());
    ASSERT_WAIT_FOR(controller->fullyLoaded() && !controller->loading());
    EXPECT_EQ(infos["EMP"]->reservations, 1);
    EXPECT_EQ(infos["EMP"]->releases, 1);
    EXPECT_EQ(infos["EMP"]->connectionsEnded, 1) << "a document's controller keeps no connection";
    EXPECT_TRUE(controller->canRefresh()) << "triggers complete their page";
    EXPECT_EQ(controller->findSection(4)->groups.first().items.first().element->type(), "INDEX");
    EXPECT_EQ(controller->findSection(64)->groups.first().items.first().name, "EMP_TRG");
    EXPECT_EQ(controller->findSection(1)->groups.at(1).title, "Primary key");
    WAIT_FOR(delegate.updates.contains(16) && delegate.updates.contains(32) && delegate.updates.contains(1));

    // Back to the table: the cached pages at once, the description asked but nothing loaded.
    controller->resetInfoUsingBrowserElementColumns(table("OTHER"), std::nullopt);
    const int asked = root->browserClient->descriptionsAsked;
    controller->resetInfoUsingBrowserElementColumns(table(), std::nullopt);
    EXPECT_EQ(root->browserClient->descriptionsAsked, asked + 1);
    EXPECT_TRUE(controller->fullyLoaded());
    EXPECT_FALSE(controller->loadPending());
    EXPECT_EQ(controller->findSection(32)->groups.first().items.first().value,
              "CREATE TABLE EMP (ID INTEGER)");

    // A refresh forgets the cache and loads again at once.
    controller->refresh();
    EXPECT_FALSE(controller->fullyLoaded());
    EXPECT_EQ(delegate.updates.last(), -1);
    ASSERT_WAIT_FOR(controller->fullyLoaded() && !controller->loading());
    EXPECT_EQ(infos["EMP"]->reservations, 2);
}

TEST_F(InfoControllerTest, ASelectionWithinTheDelayLoadsOnlyTheLast)
{
    infos["EMP"] = tableInfo("EMP");
    infos["DEPT"] = tableInfo("DEPT");
    controller->resetInfoUsingBrowserElementColumns(table("EMP"), std::nullopt);
    controller->resetInfoUsingBrowserElementColumns(table("DEPT"), std::nullopt);
    ASSERT_WAIT_FOR(controller->fullyLoaded() && !controller->loading());
    EXPECT_EQ(infos["EMP"]->reservations, 0);
    EXPECT_EQ(infos["DEPT"]->reservations, 1);
}

TEST_F(InfoControllerTest, AHiddenColumnGetsSkeletonsOnly)
{
    delegate.columnShown = false;
    infos["EMP"] = tableInfo();
    controller->resetInfoUsingBrowserElementColumns(table(), std::nullopt);
    EXPECT_FALSE(controller->loadPending());
    controller->startLoadingImmediately();
    ASSERT_WAIT_FOR(controller->fullyLoaded() && !controller->loading());
}

TEST_F(InfoControllerTest, ResultsOfAnEarlierSelectionNeverReachTheNewOne)
{
    infos["EMP"] = tableInfo("EMP");
    infos["DEPT"] = tableInfo("DEPT");
    infos["DEPT"]->ddlText = "CREATE TABLE DEPT (ID INTEGER)";
    delegate.columnShown = false; // only the loads the test starts
    controller->resetInfoUsingBrowserElementColumns(table("EMP"), std::nullopt);
    controller->startLoadingImmediately();
    // The new selection arrives before the first load's steps ran on this thread.
    controller->resetInfoUsingBrowserElementColumns(table("DEPT"), std::nullopt);
    ASSERT_WAIT_FOR(!controller->loading());
    EXPECT_FALSE(controller->findSection(32)->fullyLoaded);
    EXPECT_FALSE(controller->findSection(1)->fullyLoaded);
    controller->startLoadingImmediately();
    ASSERT_WAIT_FOR(controller->fullyLoaded() && !controller->loading());
    EXPECT_EQ(controller->findSection(32)->groups.first().items.first().value,
              "CREATE TABLE DEPT (ID INTEGER)");
}

TEST_F(InfoControllerTest, ARefusedReservationFreesTheControllerAndKeepsThePlaceholders)
{
    infos["EMP"] = tableInfo();
    infos["EMP"]->grantReservation = false;
    controller->resetInfoUsingBrowserElementColumns(table(), std::nullopt);
    controller->startLoadingImmediately();
    ASSERT_WAIT_FOR(!controller->loading());
    EXPECT_EQ(infos["EMP"]->releases, 0);
    EXPECT_FALSE(controller->fullyLoaded());
    EXPECT_EQ(controller->findSection(32)->groups.first().items.first().value, "Information not loaded yet");
}

TEST_F(InfoControllerTest, AStatementResultIsCompleteAtOnce)
{
    controller->resetInfoUsingSqlBrowserElementColumns(
        std::make_shared<SqlBrowserElement>("HR", "SELECT 1", 0.29),
        {{{"label", "1"}, {"typeName", "INTEGER"}}});
    EXPECT_EQ(titles(), (QStringList{"General:1", "Columns:2", "SQL source:32"}));
    EXPECT_EQ(controller->findSection(1)->groups.at(1).items.first().value, "0.29 seconds");
    EXPECT_EQ(controller->findSection(32)->groups.first().items.first().value, "SELECT 1");
    EXPECT_FALSE(controller->favouriteStatus().has_value());
    controller->refresh();
    EXPECT_FALSE(controller->fullyLoaded()) << "marked for loading, with nothing to load it";
    EXPECT_FALSE(controller->loading());
}

TEST_F(InfoControllerTest, FavouritesAreWrittenAndAnnounced)
{
    int announced = 0;
    const auto observer = NotificationCenter::defaultCenter().addObserver(
        InfoController::favouritesUpdatedNotification, nullptr, [&](const Notification &) { ++announced; });
    infos["EMP"] = tableInfo();
    controller->resetInfoUsingBrowserElementColumns(table(), std::nullopt);
    const QString identifier = table()->serializableIdentifier();
    EXPECT_EQ(controller->favouriteStatus(), std::optional<bool>(false));
    controller->updateFavouriteStatus(true);
    controller->updateFavouriteStatus(true);
    EXPECT_EQ(controller->connectionSettingsWithName("favourites").toStringList(), QStringList{identifier});
    EXPECT_EQ(controller->favouriteStatus(), std::optional<bool>(true));
    controller->updateFavouriteStatus(false);
    EXPECT_EQ(controller->connectionSettingsWithName("favourites").toStringList(), QStringList());
    EXPECT_EQ(announced, 3);
    controller->reset();
    controller->updateFavouriteStatus(true);
    EXPECT_EQ(announced, 4) << "announced also without an element";
    NotificationCenter::defaultCenter().removeObserver(observer);
}

TEST_F(InfoControllerTest, ReferringOpensANewControllerForThePanel)
{
    infos["EMP"] = tableInfo();
    controller->referToBrowserElement(table());
    ASSERT_EQ(delegate.separated.size(), 1);
    const auto referred = delegate.separated.first();
    EXPECT_EQ(referred->name(), "EMP");
    EXPECT_EQ(referred->vornRoot(), controller->vornRoot());
    EXPECT_FALSE(referred->loadPending()) << "no delegate yet, so no load is armed";

    // From a panel, the new controller works on the panel's own root.
    auto panelRoot = std::make_shared<FakeVornRootClient>();
    infos["EMP"]->ownRoot = panelRoot;
    controller->setKeepConnection(true);
    controller->resetInfoUsingBrowserElementColumns(table(), std::nullopt);
    controller->referToCurrentBrowserElementInSeparateWindow();
    ASSERT_EQ(delegate.separated.size(), 2);
    EXPECT_EQ(delegate.separated.last()->vornRoot(), panelRoot);

    // A statement result travels with its loaded pages.
    controller->resetInfoUsingSqlBrowserElementColumns(
        std::make_shared<SqlBrowserElement>("HR", "SELECT 1", 1), {});
    controller->referToCurrentBrowserElementInSeparateWindow();
    EXPECT_EQ(delegate.separated.last()->infoItemSections(), controller->infoItemSections());
}

TEST_F(InfoControllerTest, TheConnectionsNameAndLabel)
{
    EXPECT_EQ(controller->connectionName(), "Not connected");
    delegate.connectionName = "Shop";
    EXPECT_EQ(controller->connectionName(), "Shop");
    EXPECT_EQ(controller->connectionLabel(), 3);
}

TEST_F(InfoControllerTest, AControllerThatGoesDuringItsLoadIsLeftAlone)
{
    infos["EMP"] = tableInfo();
    controller->resetInfoUsingBrowserElementColumns(table(), std::nullopt);
    controller->startLoadingImmediately();
    controller.reset();
    ASSERT_WAIT_FOR(threads->numberOfRegisteredThreads(true) == 0);
    QCoreApplication::processEvents();
    EXPECT_GE(infos["EMP"]->connectionsEnded, 1) << "its info's connection still ends";
    EXPECT_EQ(infos["EMP"]->reservations, infos["EMP"]->releases);
}

namespace
{
const QString generalQuery = QStringLiteral("SELECT general WHERE pid = ?");
const QString cancelQuery = QStringLiteral("SELECT cancel(?)");

// A session page list with a transposed page offering one confirmed action, a page of an unknown type,
// and a current statement page.
QString writeSessionPages(const QTemporaryDir &folder, const QString &connectionType)
{
    const QVariantMap cancel{{"name", "Cancel query"},
                             {"query", cancelQuery},
                             {"confirm", "Cancel the query?"},
                             {"confirmOk", "Cancel query"},
                             {"confirmCancel", "Keep"}};
    const QVariantList pages{
        QVariantMap{
            {"type", "InfoSessionTypeGeneral"},
            {"info", QVariantMap{{"name", "General"}, {"type", "transpose"}, {"query", generalQuery}}},
            {"actions", QVariantList{cancel}}},
        QVariantMap{{"type", "InfoSessionTypeOther"}, {"info", QVariantMap{{"query", "SELECT other"}}}},
        QVariantMap{
            {"type", "InfoSessionTypeSql"},
            {"info", QVariantMap{{"name", "Current SQL"}, {"type", "concatenate"}, {"query", "SELECT sql"}}}},
    };
    PropertyList::writeFile(pages, folder.path() + "/Management" + connectionType + "Session.plist");
    return folder.path();
}

QMessageBox *visibleMessageBox()
{
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (auto *box = qobject_cast<QMessageBox *>(widget); box && box->isVisible())
            return box;
    return nullptr;
}

void press(QMessageBox *box, const QString &title)
{
    for (QAbstractButton *button : box->buttons())
        if (button->text() == title)
            return button->click();
    ADD_FAILURE() << "no button " << title.toStdString();
}
} // namespace

TEST_F(InfoControllerTest, AChosenSessionOpensItsPagesInAPanelOfItsOwn)
{
    QTemporaryDir folder;
    controller->setResourceFolder(writeSessionPages(folder, root->type));
    auto session = std::make_shared<FakeVornInfoClient>();
    session->sessionRows.insert(generalQuery, {QVariantMap{{"name", "User"}, {"value", "scott"}}});
    root->browserClient->describeSession = [session] { return session; };
    controller->setManagementMode(true);
    EXPECT_EQ(titles(), QStringList{"Management mode:1"});

    // A number from the grid crosses as text; a row without an id opens nothing.
    controller->referToManagement({QVariant()});
    EXPECT_TRUE(delegate.separated.isEmpty());
    controller->referToManagement({QVariant(4242.0)});
    ASSERT_EQ(delegate.separated.size(), 1);
    const std::shared_ptr<InfoController> panel = delegate.separated.first();
    EXPECT_EQ(panel->name(), "Process: 4242");
    EXPECT_EQ(panel->sessionIdentifier(), QStringList{"4242"});
    EXPECT_EQ(titles(), QStringList{"Management mode:1"}); // the column keeps its notice

    FakeInfoDelegate panelDelegate;
    panel->setInfoDelegate(&panelDelegate);
    panel->setThreadController(threads);
    EXPECT_FALSE(panel->fullyLoaded());
    panel->startLoadingImmediately();
    ASSERT_WAIT_FOR(panel->fullyLoaded() && !panel->loading());
    QStringList loaded;
    for (const InfoItemSectionPtr &section : panel->infoItemSections())
        loaded << section->title + ":" + QString::number(section->type);
    EXPECT_EQ(loaded, (QStringList{"General:1", "Current SQL:128"}));
    const QList<InfoItemGroup> general = panel->findSection(1)->groups;
    ASSERT_EQ(general.size(), 2) << general.first().items.first().value.toStdString();
    EXPECT_EQ(general.first().items.first().value, "scott");
    EXPECT_EQ(panel->findSection(128)->groups.first().items.first().value,
              "No SQL information could be found.");
    EXPECT_EQ(session->sessionQueries.first(), (QStringList{generalQuery, "4242", "", "transpose"}));
}

TEST_F(InfoControllerTest, SessionActionsAreConfirmedAndAFailureAlertsAndRereads)
{
    QTemporaryDir folder;
    controller->setResourceFolder(writeSessionPages(folder, root->type));
    auto session = std::make_shared<FakeVornInfoClient>();
    session->sessionRows.insert(generalQuery, {QVariantMap{{"name", "User"}, {"value", "scott"}}});
    root->browserClient->describeSession = [session] { return session; };
    controller->setManagementMode(true);
    controller->referToManagement({7});
    const std::shared_ptr<InfoController> panel = delegate.separated.value(0);
    ASSERT_NE(panel, nullptr);
    FakeInfoDelegate panelDelegate;
    panel->setInfoDelegate(&panelDelegate);
    panel->setThreadController(threads);
    panel->startLoadingImmediately();
    ASSERT_WAIT_FOR(panel->fullyLoaded() && !panel->loading());
    const QVariant action = panel->findSection(1)->groups.last().items.first().actionRefer;
    QWidget window;
    window.show();

    // Refusing sends nothing.
    panel->referToAction(action.toMap(), &window);
    ASSERT_WAIT_FOR(visibleMessageBox() != nullptr);
    QMessageBox *confirm = visibleMessageBox();
    ASSERT_NE(confirm, nullptr);
    EXPECT_EQ(confirm->text(), "Cancel the query?");
    press(confirm, "Keep");
    QTest::qWait(50);
    EXPECT_TRUE(session->actionsSent().isEmpty());

    // Confirming sends the action with the identifier as text; a failure alerts with the message and
    // the pages are read again.
    session->actionError = "permission denied to signal";
    const int readsBefore = session->sessionQueryCount();
    panel->referToAction(action.toMap(), &window);
    ASSERT_WAIT_FOR(visibleMessageBox() != nullptr);
    press(visibleMessageBox(), "Cancel query");
    ASSERT_WAIT_FOR(session->actionsSent().size() == 1);
    EXPECT_EQ(session->actionsSent().first(), (QStringList{cancelQuery, "7", ""}));
    ASSERT_WAIT_FOR(visibleMessageBox() != nullptr);
    EXPECT_EQ(visibleMessageBox()->text(), "Database error");
    EXPECT_TRUE(visibleMessageBox()->informativeText().contains("permission denied to signal"));
    press(visibleMessageBox(), "OK");
    ASSERT_WAIT_FOR(session->sessionQueryCount() > readsBefore && !panel->loading());
}
