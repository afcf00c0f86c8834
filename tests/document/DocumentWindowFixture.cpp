#include "DocumentWindowFixture.h"

#include "BackendTestSupport.h"
#include "DocumentTestSupport.h"
#include "WaitFor.h"
#include "bridge/ThreadController.h"
#include "browser/BrowserController.h"
#include "browser/BrowserElementStore.h"
#include "document/VornDocument.h"
#include "editor/SQLEditorController.h"
#include "editor/SQLEditorViewController.h"
#include "editor/SQLTextView.h"
#include "resultset/ResultsetTableModel.h"
#include "resultset/ResultsetViewController.h"
#include "window/VornTabbedWindowController.h"

#include <QTextCursor>

using Pane = VornTabbedWindowController::Pane;

void DocumentWindowFixture::openDocumentWindow()
{
    VornDocument::registerWindowPanes();
    document = std::make_unique<VornDocument>();
    document->makeWindowControllers();
    document->setPreventConnectionOnShowWindows(true);
    document->showWindows();
    window = document->vornWindowController();
    ASSERT_NE(window, nullptr);
    editor = qobject_cast<SQLEditorViewController *>(window->pane(Pane::SqlEditor));
    grid = qobject_cast<ResultsetViewController *>(window->pane(Pane::Resultset));
    ASSERT_NE(editor, nullptr);
    ASSERT_NE(grid, nullptr);
}

void DocumentWindowFixture::closeDocumentWindow()
{
    if (document && !document->isClosed() && window)
        window->doCloseDoc(document.get(), true);
    // Gone now, before the fixture's own members (the folder of its files) go.
    document.reset();
    window = nullptr;
    editor = nullptr;
    grid = nullptr;
}

void DocumentWindowFixture::connectTo(const DatabaseTarget &target, quint64 autoCommit)
{
    document->setConnectionParameters(parametersFor(target, autoCommit));
    document->goStartupConnection();
    ASSERT_WAIT_FOR_MS(!document->connecting(), 30000);
    ASSERT_TRUE(document->vornRoot()->hasConnection());
    waitForIdle();
}

void DocumentWindowFixture::waitForIdle()
{
    ASSERT_WAIT_FOR_MS(document->threadController()->numberOfRegisteredThreads(true) == 0 &&
                           !document->vornRoot()->reserved() && !document->browserController()->isLoading(),
                       30000);
}

void DocumentWindowFixture::showConnectionSchema()
{
    BrowserController *browser = document->browserController();
    const QString schema = browser->dataBrowserElementStore()->selectedSchema();
    ASSERT_FALSE(schema.isEmpty());
    ASSERT_TRUE(browser->browserShouldChangeSchemaSelection(schema));
    browser->browserDidChangeSchemaSelection(schema);
    waitForIdle();
}

void DocumentWindowFixture::selectInBrowser(const BrowserElementPtr &element)
{
    ASSERT_TRUE(element);
    BrowserController *browser = document->browserController();
    ASSERT_TRUE(browser->browserShouldChangeElementSelection());
    browser->setActiveElementStoreSelection(element, nullptr);
    browser->browserDidChangeElementSelection(element);
    waitForIdle();
}

void DocumentWindowFixture::type(const QString &sql)
{
    editor->sqlTextView()->selectAll();
    editor->sqlTextView()->insertPlainText(sql);
    editor->sqlTextView()->moveCursor(QTextCursor::End);
}

void DocumentWindowFixture::runToEnd(const QString &sql)
{
    type(sql);
    editor->executeSql(nullptr);
    waitForRun();
}

void DocumentWindowFixture::waitForRun()
{
    ASSERT_WAIT_FOR_MS(!document->sqlEditorController()->isExecuting(), 30000);
    ASSERT_WAIT_FOR_EQ(document->threadController()->numberOfRegisteredThreads(true), 0);
    ASSERT_WAIT_FOR(document->activeContent() != ContentPane::Busy);
    ASSERT_WAIT_FOR(!document->vornRoot()->reserved());
}

QString DocumentWindowFixture::cell(int row, int column) const
{
    const ResultsetTableModel *model = grid->tableModel();
    return model->data(model->index(row, column), Qt::DisplayRole).toString();
}

void createTable(const DatabaseTarget &target, const QString &table, const QStringList &statements)
{
    TestRoot setup;
    ASSERT_TRUE(setup.connect(target, 10, 1)) << setup.lastErrorMessage().toStdString();
    setup.execute("DROP TABLE " + table);
    for (const QString &statement : statements)
        ASSERT_TRUE(setup.run(statement)) << statement.toStdString();
    setup.call("endConnection");
}
