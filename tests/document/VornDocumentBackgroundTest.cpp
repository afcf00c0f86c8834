// A connection document through the real backend with what runs beside the user's work: the background
// checker (on a clock moved by hand), the management views' auto-refresh, Stop from the status bar or the
// activity viewer, and the activity viewer's rows.
#include "BackendTestSupport.h"
#include "DocumentTestSupport.h"
#include "DocumentWindowFixture.h"
#include "LongStatements.h"
#include "TestServers.h"
#include "WaitFor.h"
#include "bridge/ThreadController.h"
#include "browser/BrowserController.h"
#include "browser/BrowserElementSection.h"
#include "browser/BrowserElementStore.h"
#include "browser/InfoController.h"
#include "client/VornBrowserClient.h"
#include "document/ActivityViewerController.h"
#include "document/BackgroundController.h"
#include "document/InfoColumnRouting.h"
#include "document/ManagementRefresh.h"
#include "document/VornDocument.h"
#include "editor/SQLEditorController.h"
#include "editor/SQLEditorViewController.h"
#include "editor/SQLTextView.h"
#include "platform/PropertyList.h"
#include "platform/UserDefaults.h"
#include "resultset/ResultsetController.h"
#include "resultset/ResultsetTableModel.h"
#include "resultset/ResultsetViewController.h"
#include "status/StatusManager.h"
#include "window/SimpleTextController.h"

#include <QLabel>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QToolButton>

#include <gtest/gtest.h>

#include <map>

namespace
{

// Calls that wait until the test moves time.
class ManualTimers : public BackgroundCheckTimers
{
public:
    Cancel after(double, std::function<void()>) override
    {
        return [] {};
    }
};

class VornDocumentBackgroundTest : public ::testing::Test, protected DocumentWindowFixture
{
protected:
    void SetUp() override
    {
        startedDocumentBackend();
        ASSERT_TRUE(folder.isValid());
        UserDefaults::standard().setObject(true, "timeOutWhileConnecting");
        ASSERT_NO_FATAL_FAILURE(openDocumentWindow());
    }

    void TearDown() override { closeDocumentWindow(); }

    void waitUntilIdle()
    {
        ASSERT_WAIT_FOR_MS(!document->sqlEditorController()->isExecuting(), 30000);
        ASSERT_WAIT_FOR_EQ_MS(document->threadController()->numberOfRegisteredThreads(true), 0, 30000);
        ASSERT_WAIT_FOR_MS(!document->vornRoot()->reserved(), 30000);
    }

    // Runs a statement without rows from the editor; its message is in the text pane afterwards.
    void run(const QString &sql)
    {
        document->simpleTextController()->setText(QString());
        editor->sqlTextView()->setPlainText(sql);
        editor->sqlTextView()->moveCursor(QTextCursor::End);
        editor->executeSql(nullptr);
        ASSERT_WAIT_FOR_MS(!document->simpleTextController()->text().isEmpty(), 30000);
        waitUntilIdle();
    }

    // Management views of the connection type from the test's own list; before connecting.
    void useManagementViews(const QString &type, const QVariantList &elements)
    {
        const QVariantList list{
            QVariantMap{{"type", "BrowserElementSectionTypeManagementActivity"}, {"elements", elements}}};
        ASSERT_TRUE(PropertyList::writeFile(list, QString("%1/Management%2.plist").arg(folder.path(), type)));
        document->browserController()->setResourceFolder(folder.path());
    }

    BrowserElementPtr managementView(const QString &name) const
    {
        const BrowserElementStore *store = document->browserController()->managementBrowserElementStore();
        if (!store)
            return nullptr;
        for (const BrowserElementSectionPtr &section : store->sectionsOfSchema(store->selectedSchema())) {
            for (const BrowserElementPtr &element : section->elements()) {
                if (element->name() == name)
                    return element;
            }
        }
        return nullptr;
    }

    // A checker over this document alone, started, whose timers never fire by themselves.
    std::unique_ptr<BackgroundController> checker()
    {
        auto made = std::make_unique<BackgroundController>(
            [support = document->backgroundSupport()] {
                return QList<BackgroundControllerSupportPtr>{support};
            },
            std::make_unique<ManualTimers>());
        made->startup();
        return made;
    }

    QTemporaryDir folder;
};

// A document saved in management mode comes back in it, and its info column shows the management notice
// instead of an element's information.
TEST_F(VornDocumentBackgroundTest, ADocumentSavedInManagementModeOpensInIt)
{
    useManagementViews("SQLite",
                       {QVariantMap{{"name", "Still"}, {"type", "STILL"}, {"query", "SELECT 1 AS n"}}});
    document->setInitializationInfo({{"browserController", QVariantMap{{"managementMode", true}}}});
    connectTo(sqliteTarget(folder));
    EXPECT_TRUE(document->browserController()->managementMode());
    EXPECT_TRUE(document->infoColumn().infoController()->managementMode());
}

// A view that asks for it is read again a moment after each load or refresh; one that does not stays.
TEST_F(VornDocumentBackgroundTest, ManagementViewsWithAutoRefreshReadTheirRowsAgain)
{
    const DatabaseTarget target = sqliteTarget(folder);
    useManagementViews(
        "SQLite",
        {QVariantMap{{"name", "Ticks"},
                     {"type", "TICKS"},
                     {"query", "SELECT count(*) AS n FROM ticks"},
                     {"autorefresh", true}},
         QVariantMap{{"name", "Still"}, {"type", "STILL"}, {"query", "SELECT count(*) AS n FROM ticks"}}});
    connectTo(target);
    run("CREATE TABLE ticks (id INTEGER)");
    TestRoot writer;
    ASSERT_TRUE(writer.connect(target, 10, 1)); // auto-commit
    document->managementRefresh().setInterval(200);

    document->browserController()->requestExternalLoadOfElement(managementView("Ticks"), nullptr);
    VORN_WAIT_UNTIL(
        document->activeContent() == ContentPane::Resultset && grid->tableModel()->rowCount() == 1, 5000);
    ASSERT_TRUE(document->activeContent() == ContentPane::Resultset && grid->tableModel()->rowCount() == 1)
        << int(document->activeContent()) << " "
        << (document->statusManager()->messageQueue().isEmpty()
                ? std::string()
                : document->statusManager()->messageQueue().last()->message.toStdString());
    EXPECT_TRUE(document->browserController()->managementMode());
    EXPECT_EQ(cell(0, 1), "0");
    EXPECT_TRUE(document->managementRefresh().timer().isActive());

    ASSERT_TRUE(writer.run("INSERT INTO ticks VALUES (1)"));
    ASSERT_WAIT_FOR_MS(cell(0, 1) == "1", 10000);
    ASSERT_TRUE(writer.run("INSERT INTO ticks VALUES (2)"));
    ASSERT_WAIT_FOR_MS(cell(0, 1) == "2", 10000); // it keeps refreshing

    // A view without auto-refresh stops it at its load.
    document->browserController()->requestExternalLoadOfElement(managementView("Still"), nullptr);
    ASSERT_WAIT_FOR(!document->managementRefresh().timer().isActive());
    waitUntilIdle();
    ASSERT_EQ(cell(0, 1), "2");
    ASSERT_TRUE(writer.run("INSERT INTO ticks VALUES (3)"));
    QTest::qWait(600);
    EXPECT_EQ(cell(0, 1), "2");
}

// Stop from the status bar reaches a statement the browser runs, not only the editor's.
TEST_F(VornDocumentBackgroundTest, StopCancelsABrowserLoad)
{
    const DatabaseTarget target = sqliteTarget(folder);
    useManagementViews(
        "SQLite", {QVariantMap{{"name", "Slow"}, {"type", "SLOW"}, {"query", longStatementFor("SQLite")}}});
    connectTo(target);
    EXPECT_FALSE(document->statusManagerCanCancelAction(nullptr));
    document->browserController()->requestExternalLoadOfElement(managementView("Slow"), nullptr);
    ASSERT_WAIT_FOR_MS(document->statusManagerCanCancelAction(nullptr), 10000);
    ASSERT_TRUE(document->vornRoot()->reserved());
    document->statusManagerCancelAction(nullptr);
    // The minute-long statement ends at once.
    ASSERT_WAIT_FOR_MS(!document->vornRoot()->reserved(), 10000);
    EXPECT_FALSE(document->statusManagerCanCancelAction(nullptr));
}

// The checker reads the metadata on a connection of its own: a user's transaction left open on
// PostgreSQL is neither seen nor disturbed, not even by a metadata query that fails.
TEST_F(VornDocumentBackgroundTest, ChecksLeaveAnOpenPostgreSQLTransactionAlone)
{
    std::optional<DatabaseTarget> target = serverTarget("PostgreSQL");
    VORN_REQUIRE_SERVER(target, "PostgreSQL");
    const QString table = QString("bg_open_%1").arg(QCoreApplication::applicationPid());
    connectTo(*target, 0); // manual commit
    const VornRootClientPtr root = document->vornRoot();
    run(QString("CREATE TABLE %1 (id integer)").arg(table));
    run(QString("INSERT INTO %1 VALUES (1)").arg(table));
    ASSERT_TRUE(root->dirty()) << document->simpleTextController()->text().toStdString();

    const std::unique_ptr<BackgroundController> checks = checker();
    checks->backgroundUpdateCheck();
    ASSERT_WAIT_FOR_MS(!checks->isChecking(), 30000);
    // A metadata query that fails on the server.
    EXPECT_FALSE(
        root->backgroundCheckValidAndUpdateMetaData("check", {QString("bad") + QChar(0) + "name"}, true));
    // A check of the shared schema, whose answer (changed or not) follows other tests' tables.
    root->backgroundCheckValidAndUpdateMetaData("check", {"public"}, false);

    // The uncommitted table is not in the metadata: the check did not read on the user's connection.
    EXPECT_FALSE(root->contextWords().contains(table));
    // The transaction is open and usable, and its work commits.
    EXPECT_TRUE(root->dirty());
    run(QString("INSERT INTO %1 VALUES (2)").arg(table));
    EXPECT_EQ(document->activeContent(), ContentPane::SimpleText);
    ASSERT_TRUE(root->commit());
    TestRoot other;
    ASSERT_TRUE(other.connect(*target));
    ASSERT_TRUE(other.execute(QString("SELECT count(*) FROM %1").arg(table)));
    ASSERT_TRUE(other.lastActionSuccessful());

    // Once committed the next check finds the table and the document reloads.
    document->markDDLDirty(); // what the commit handler does for DDL that waited
    checks->notifyOfDirtyDocument();
    ASSERT_WAIT_FOR_MS(!checks->isChecking(), 30000);
    ASSERT_WAIT_FOR(root->contextWords().contains(table));
    EXPECT_FALSE(document->dirtyDDL());
    ASSERT_TRUE(other.run(QString("DROP TABLE %1").arg(table)));
}

// With the checker running, a connect leaves the schema's tables and columns to it.
TEST_F(VornDocumentBackgroundTest, AfterAConnectTheCheckerLoadsTheSchema)
{
    const DatabaseTarget target = sqliteTarget(folder);
    {
        TestRoot writer;
        ASSERT_TRUE(writer.connect(target, 10, 1));
        ASSERT_TRUE(writer.run("CREATE TABLE harbour (berth INTEGER, vessel TEXT)"));
    }
    // The application's checker runs, so the connect leaves the schema to it ...
    BackgroundController::instance().startup();
    connectTo(target);
    EXPECT_TRUE(document->dirtyDDL());
    EXPECT_FALSE(document->vornRoot()->contextWords().contains("vessel"));
    // ... and a pass over the document reads it.
    const std::unique_ptr<BackgroundController> checks = checker();
    checks->notifyOfDirtyDocument();
    ASSERT_WAIT_FOR_MS(!checks->isChecking(), 30000);
    EXPECT_FALSE(document->dirtyDDL());
    EXPECT_TRUE(document->vornRoot()->contextWords().contains("vessel"));
}

// The activity viewer lists the document's connection while it runs a statement, and its stop button
// stops it.
TEST_F(VornDocumentBackgroundTest, TheActivityViewerShowsAndStopsARunningStatement)
{
    UserDefaults::standard().setObject(true, "activity_viewer_show_inactive");
    const DatabaseTarget target = sqliteTarget(folder);
    connectTo(target);
    ActivityViewerController viewer(nullptr, [this](const QVariant &root) {
        return ActivityViewerController::documentWithRoot({document.get()}, root);
    });
    viewer.activate();
    const auto documentRow = [&]() -> ActivityView * {
        for (const ActivityViewDocumentState &state : viewer.documentStates()) {
            if (state.document == document.get())
                return state.activityView;
        }
        return nullptr;
    };
    ASSERT_WAIT_FOR(documentRow() != nullptr);
    EXPECT_EQ(documentRow()->messageLabel()->text(), "Idle");
    EXPECT_TRUE(documentRow()->statusLabel()->text().startsWith("SQLite"));

    const QString sql = longStatementFor("SQLite");
    editor->sqlTextView()->setPlainText(sql);
    editor->sqlTextView()->moveCursor(QTextCursor::End);
    editor->executeSql(nullptr);
    ASSERT_WAIT_FOR_MS(documentRow() && documentRow()->statusLabel()->text() == "Executing SQL statement...",
                       10000);
    EXPECT_EQ(documentRow()->messageLabel()->text(), sql);
    ASSERT_WAIT_FOR(documentRow()->stopButton()->isEnabled());
    EXPECT_TRUE(viewer.connectionSummary()->text().contains("active"));
    documentRow()->stopButton()->click();
    waitUntilIdle();
    ASSERT_WAIT_FOR(documentRow() && documentRow()->messageLabel()->text() == "Idle");
}

} // namespace
