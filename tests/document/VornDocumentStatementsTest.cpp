// A connection document in a real window runs statements from its editor pane against SQLite through
// the real backend: what the content pane shows afterwards, the parameter form, and the busy pane put
// back when nothing runs.
#include "BackendTestSupport.h"
#include "DocumentTestSupport.h"
#include "DocumentWindowFixture.h"
#include "LongStatements.h"
#include "TcpProxy.h"
#include "TestServers.h"
#include "WaitFor.h"
#include "bridge/ThreadController.h"
#include "document/StatusManagerViewController.h"
#include "document/StatusManagerViewPart.h"
#include "document/VornDocument.h"
#include "editor/SQLEditorController.h"
#include "editor/SQLEditorViewController.h"
#include "editor/SQLTextView.h"
#include "platform/UserDefaults.h"
#include "resultset/InputPanelController.h"
#include "resultset/ParameterInputController.h"
#include "resultset/ResultsetController.h"
#include "resultset/ResultsetTableModel.h"
#include "resultset/ResultsetViewController.h"
#include "status/StatusManager.h"
#include "window/ContentSplitView.h"
#include "window/EmptyViewController.h"
#include "window/SimpleTextController.h"
#include "window/SimpleTextViewController.h"
#include "window/VornTabbedWindowController.h"

#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace
{

using Pane = VornTabbedWindowController::Pane;

class VornDocumentStatementsTest : public ::testing::Test, protected DocumentWindowFixture
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

    // Runs the editor's text as Execute does.
    void execute() { editor->executeSql(nullptr); }

    QWidget *contentView() const { return window->contentSplitView()->contentView(); }

    QTemporaryDir folder;
};

TEST_F(VornDocumentStatementsTest, StatementsWithoutRowsShowTheirMessageAndASelectShowsTheGrid)
{
    connectTo(sqliteTarget(folder));
    EXPECT_EQ(editor->sqlEditorController(), document->sqlEditorController());
    EXPECT_EQ(grid->resultsetController(), document->resultsetController());

    const struct {
        const char *sql;
        const char *message;
    } cases[] = {
        {"CREATE TABLE fruit (id INTEGER, name TEXT)", "CREATE statement executed successfully"},
        {"INSERT INTO fruit VALUES (1, 'apple'), (2, 'pear')", "Successfully inserted 2 rows"},
        {"INSERT INTO fruit VALUES (3, 'fig');\nDELETE FROM fruit WHERE id = 3",
         "Successfully executed 2 SQL statements"},
        {"UPDATE fruit SET name = name WHERE id = 9", "No rows updated"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.sql);
        runToEnd(c.sql);
        EXPECT_EQ(document->activeContent(), ContentPane::SimpleText);
        EXPECT_EQ(contentView(), window->simpleTextViewController()->view());
        const QString text = document->simpleTextController()->text();
        EXPECT_TRUE(text.startsWith(QString(c.message) + "\n\nTiming: ")) << text.toStdString();
    }
    // A CREATE leaves the schema to be re-read; the run's report of it is taken.
    EXPECT_TRUE(document->dirtyDDL());
    EXPECT_FALSE(document->sqlEditorController()->ddlDirtyFlag());

    runToEnd("SELECT id, name AS label, name FROM fruit ORDER BY id");
    EXPECT_EQ(document->activeContent(), ContentPane::Resultset);
    EXPECT_EQ(contentView(), grid->view());
    ASSERT_EQ(grid->tableModel()->rowCount(), 2);
    ASSERT_EQ(grid->tableModel()->columnCount(), 4);
    EXPECT_EQ(cell(0, 1), "1");
    EXPECT_EQ(cell(1, 2), "pear");
    EXPECT_EQ(cell(1, 3), "pear");
    ASSERT_NE(document->statementResultElement(), nullptr);
    EXPECT_EQ(document->statementResultElement()->name(), "SQL Statement");
    EXPECT_EQ(document->statementResultElement()->browserType(), BrowserElement::StatementResult);
}

TEST_F(VornDocumentStatementsTest, ParametersAreAskedOnASheetAndACancelledFormPutsThePreviousPaneBack)
{
    connectTo(sqliteTarget(folder));
    runToEnd("CREATE TABLE t (id INTEGER, name TEXT);\nINSERT INTO t VALUES (1, 'one'), (2, 'two')");
    runToEnd("SELECT name FROM t ORDER BY id");
    ASSERT_EQ(document->activeContent(), ContentPane::Resultset);

    InputPanelController *form = document->parameterInputController()->inputPanelController();
    type("SELECT name FROM t WHERE id = :Id OR id = :ID + 5");
    execute();
    ASSERT_WAIT_FOR(form->window() && form->window()->isVisible());
    EXPECT_EQ(document->activeContent(), ContentPane::Busy);
    ASSERT_EQ(form->getFields().size(), 1);
    EXPECT_EQ(form->getFields()[0]->name(), "ID");
    form->endSheet(0);
    ASSERT_WAIT_FOR_EQ(document->activeContent(), ContentPane::Resultset);
    EXPECT_EQ(contentView(), grid->view());
    EXPECT_EQ(cell(1, 1), "two") << "the previous result is still the one shown";
    EXPECT_FALSE(document->vornRoot()->reserved());

    execute();
    ASSERT_WAIT_FOR(form->window() && form->window()->isVisible());
    auto *input = qobject_cast<QLineEdit *>(form->getFields()[0]->inputField());
    ASSERT_NE(input, nullptr);
    input->setText("2");
    form->endSheet(1);
    waitForRun();
    EXPECT_EQ(document->activeContent(), ContentPane::Resultset);
    ASSERT_EQ(grid->tableModel()->rowCount(), 1);
    EXPECT_EQ(cell(0, 1), "two");
    EXPECT_EQ(document->sqlParameterCache().value("ID").toString(), "2");
}

TEST_F(VornDocumentStatementsTest, ABusyPaneIsNotLeftBehindWhenNothingRuns)
{
    connectTo(sqliteTarget(folder));
    runToEnd("SELECT 1 AS one");
    ASSERT_EQ(document->activeContent(), ContentPane::Resultset);

    // Only a comment: nothing to run, the grid comes back as it was.
    document->sqlEditorController()->setContents("-- nothing here;");
    document->sqlEditorController()->executeSQLInRange({0, 0}, nullptr);
    EXPECT_EQ(document->activeContent(), ContentPane::Resultset);
    EXPECT_EQ(contentView(), grid->view());
    ASSERT_EQ(grid->tableModel()->rowCount(), 1);

    // Another action holds the root: the run dropped the result before it was refused, so the grid
    // shows nothing and the empty pane stands instead of the busy one.
    ASSERT_TRUE(document->connectedControllerWantsRootReservationFor(nullptr, "Other action"));
    document->sqlEditorController()->setContents("SELECT 2");
    document->sqlEditorController()->executeSQLInRange({0, 0}, nullptr);
    ASSERT_WAIT_FOR_EQ(document->activeContent(), ContentPane::Nothing);
    EXPECT_EQ(contentView(), window->emptyViewController()->view());
    EXPECT_EQ(grid->tableModel()->rowCount(), 0);
    EXPECT_FALSE(document->sqlEditorController()->isExecuting());
    document->connectedControllerWantsEndRootReservation(nullptr);
}

TEST_F(VornDocumentStatementsTest, TheStatusBarCancelsARunningStatement)
{
    connectTo(sqliteTarget(folder));
    StatusManager *status = document->statusManager().get();
    EXPECT_FALSE(document->statusManagerCanCancelAction(status));
    type(longStatementFor("SQLite"));
    execute();
    // Cancel once the statement runs in the database, not before it got there.
    const QoJavaObjectPtr browser = document->vornRoot()->object()->call("browser").value<QoJavaObjectPtr>();
    ASSERT_NE(browser, nullptr);
    ASSERT_WAIT_FOR_MS(browser->call("canStopStoppableStatement").toBool(), 10000);
    ASSERT_WAIT_FOR_MS(document->statusManagerCanCancelAction(status), 10000);
    // The user turns to another window meanwhile: the document ends in the background.
    QWidget elsewhere;
    elsewhere.show();
    elsewhere.activateWindow();
    ASSERT_WAIT_FOR(!document->statusManagerDocumentIsActive(status));
    document->statusManagerCancelAction(status);
    waitForRun();
    EXPECT_EQ(document->activeContent(), ContentPane::SimpleText);
    const QString text = document->simpleTextController()->text();
    EXPECT_TRUE(text.startsWith("Stopped execution of SQL statement\n\nTiming: ")) << text.toStdString();
    EXPECT_EQ(status->connectionStatusText(), "Stopped execution of SQL statement");
    QCoreApplication::processEvents();
    EXPECT_FALSE(status->hasPendingAlert()) << "a stop is no error to alert about";
    EXPECT_EQ(status->statusFlag(), StatusManager::NoAttention);
    EXPECT_NE(document->documentState(), TabbedDocumentStateSuccess) << "nor a success to mark";
}

class VornDocumentServerStatementsTest : public VornDocumentStatementsTest,
                                         public ::testing::WithParamInterface<QString>
{
};

// A statement with a parameter fills the grid through the real driver (MySQL: the MariaDB server).
TEST_P(VornDocumentServerStatementsTest, AParameterisedSelectFillsTheGrid)
{
    const std::optional<DatabaseTarget> target = serverTarget(GetParam());
    VORN_REQUIRE_SERVER(target, GetParam().toStdString());
    connectTo(*target);
    runToEnd("DROP TABLE IF EXISTS route_grid");
    runToEnd("CREATE TABLE route_grid (id INTEGER, label VARCHAR(20))");
    runToEnd("INSERT INTO route_grid VALUES (1, 'first'), (2, 'second'), (3, 'third')");
    EXPECT_TRUE(document->simpleTextController()->text().startsWith("Successfully inserted 3 rows"));
    document->updateSqlParameterCache({{"LOW", "2"}});
    InputPanelController *form = document->parameterInputController()->inputPanelController();
    type("SELECT label FROM route_grid WHERE id >= :low ORDER BY id");
    execute();
    ASSERT_WAIT_FOR(form->window() && form->window()->isVisible());
    form->endSheet(1);
    waitForRun();
    EXPECT_EQ(document->activeContent(), ContentPane::Resultset);
    ASSERT_EQ(grid->tableModel()->rowCount(), 2);
    EXPECT_EQ(cell(0, 1), "second");
    EXPECT_EQ(cell(1, 1), "third");
    runToEnd("DROP TABLE route_grid");
}

// The network goes while a large result is read page by page: the status bar keeps the count of the
// rows that came and says that loading failed; it never passes them off as the whole result.
TEST_P(VornDocumentServerStatementsTest, APageThatFailsToLoadLeavesTheCountMarkedIncomplete)
{
    std::optional<DatabaseTarget> target = serverTarget(GetParam());
    VORN_REQUIRE_SERVER(target, GetParam().toStdString());
    TcpProxy proxy(target->server, target->port);
    ASSERT_NE(proxy.port(), "0");
    target->port = proxy.port();
    connectTo(*target);
    // Wide rows, so that the rows on their way cannot all wait in the sockets' buffers.
    runToEnd(GetParam() == "PostgreSQL"
                 ? "SELECT g AS n, repeat('x', 100000) AS filler FROM generate_series(1, 2000) g"
                 : "SELECT seq AS n, REPEAT('x', 100000) AS filler FROM seq_1_to_2000");
    ASSERT_EQ(document->activeContent(), ContentPane::Resultset)
        << document->simpleTextController()->text().toStdString();
    auto *bar = window->pane(Pane::Status)->findChild<StatusManagerViewController *>();
    ASSERT_NE(bar, nullptr);
    ResultsetController *model = document->resultsetController();
    const qint64 firstPage = model->numberOfRowsInResultset();
    ASSERT_GT(firstPage, 0);
    ASSERT_LT(firstPage, 2000);
    EXPECT_EQ(bar->recordsView()->text(), QString("Loaded %1 records").arg(firstPage));

    proxy.cut();
    // Scrolling to the end asks for the next page until one fails (rows still buffered may come first).
    for (int page = 0; page < 20 && !document->statusManager()->resultsetLoadFailed(); ++page) {
        const qint64 rows = model->numberOfRowsInResultset();
        model->willDisplayRange(rows - 5, 10);
        ASSERT_WAIT_FOR_MS(!model->isPreloading() && !document->vornRoot()->reserved(), 30000);
        ASSERT_WAIT_FOR_EQ(document->threadController()->numberOfRegisteredThreads(true), 0);
    }
    const qint64 loaded = model->numberOfRowsInResultset();
    EXPECT_LT(loaded, 2000);
    ASSERT_WAIT_FOR_EQ(bar->recordsView()->text(),
                       QString("Loaded %1 records, loading the rest failed").arg(loaded));
    EXPECT_EQ(document->statusManager()->connectionStatusText(), "Error loading resultset");
}

INSTANTIATE_TEST_SUITE_P(Servers, VornDocumentServerStatementsTest, ::testing::Values("PostgreSQL", "MySQL"),
                         [](const auto &info) { return info.param.toStdString(); });

} // namespace
