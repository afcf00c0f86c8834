// A connection document in a real window, through the real backend on SQLite, PostgreSQL and MariaDB:
// after connecting, its browser lists the schema's tables, and selecting one loads its rows into the
// document's grid.
#include "BackendTestSupport.h"
#include "DocumentTestSupport.h"
#include "DocumentWindowFixture.h"
#include "TestServers.h"
#include "WaitFor.h"
#include "browser/BrowserController.h"
#include "document/DocumentPrinting.h"
#include "document/VornDocument.h"
#include "resultset/ResultsetController.h"
#include "resultset/ResultsetTableModel.h"
#include "resultset/ResultsetViewController.h"
#include "status/StatusBarElement.h"
#include "status/StatusManager.h"
#include "window/SimpleTextController.h"
#include "window/SimpleTextViewController.h"
#include "window/VornTabbedWindowController.h"

#include <QPlainTextEdit>

#include <gtest/gtest.h>

namespace
{

// A table of this binary's own, so that tests running side by side on one server never share it.
const QString fruitTable = QStringLiteral("browser_doc_fruit");
const QString fruitIndex = QStringLiteral("browser_doc_fruit_by_name");

class VornDocumentBrowserTest : public DatabaseTest, protected DocumentWindowFixture
{
protected:
    void SetUp() override
    {
        startedDocumentBackend();
        DatabaseTest::SetUp();
        if (IsSkipped())
            return;
        ASSERT_NO_FATAL_FAILURE(
            createTable(target_, fruitTable,
                        {"CREATE TABLE " + fruitTable + " (id INTEGER, name VARCHAR(20))",
                         "INSERT INTO " + fruitTable + " VALUES (1, 'apple'), (2, 'pear'), (3, 'fig')",
                         "CREATE INDEX " + fruitIndex + " ON " + fruitTable + " (name)"}));
        ASSERT_NO_FATAL_FAILURE(openDocumentWindow());
    }

    void TearDown() override { closeDocumentWindow(); }

    // Connected, with the connection's own schema chosen in the browser as its pane does.
    void connect()
    {
        ASSERT_NO_FATAL_FAILURE(connectTo(target_));
        showConnectionSchema();
    }

    BrowserElementPtr fruit() const
    {
        const BrowserElementStore *store = document->browserController()->dataBrowserElementStore();
        return store ? store->findElementInStoreWithName(fruitTable, store->selectedSchema()) : nullptr;
    }

    // The index as the browser lists it ("table.name" where index names are unique per table).
    BrowserElementPtr fruitByName() const
    {
        const BrowserElementStore *store = document->browserController()->dataBrowserElementStore();
        if (!store)
            return nullptr;
        for (const BrowserElementPtr &index :
             store->browserElementsOfType(BrowserElement::Index, store->selectedSchema()))
            if (index->name().endsWith(fruitIndex))
                return index;
        return nullptr;
    }
};

TEST_P(VornDocumentBrowserTest, SelectingATableLoadsItsRowsIntoTheGrid)
{
    connect();
    ASSERT_WAIT_FOR_MS(fruit(), 30000);
    const BrowserElementPtr table = fruit();
    EXPECT_EQ(table->browserType(), BrowserElement::Table);
    EXPECT_EQ(document->statusManager()->selectedSchema(), table->schema());

    ASSERT_NO_FATAL_FAILURE(selectInBrowser(table));

    EXPECT_EQ(document->activeContent(), ContentPane::Resultset);
    ASSERT_EQ(document->resultsetController()->numberOfRowsInResultset(), 3);
    ASSERT_EQ(grid->tableModel()->rowCount(), 3);
    QStringList names;
    for (int row = 0; row < 3; ++row)
        names << cell(row, 2);
    names.sort();
    EXPECT_EQ(names, (QStringList{"apple", "fig", "pear"}));
    EXPECT_EQ(document->statusManager()->selectedElement()->name(), fruitTable);
    BrowserController *browser = document->browserController();
    EXPECT_EQ(browser->browserHistory().size(), 1);
    EXPECT_EQ(browser->sharedRecentItems()->elements().first()->name(), fruitTable);

    // A quick filter the grid applies is what the history entry reloads later.
    auto quick = std::make_shared<ExtendedFilter>();
    quick->setQuickFilterColumns({"name"});
    quick->setQuickFilterOperators({"="});
    quick->setQuickFilterValues({"pear"});
    browser->loadElement(BrowserControllerLoadingElement::elementWithElement(table, quick));
    waitForIdle();
    ASSERT_EQ(document->resultsetController()->numberOfRowsInResultset(), 1);
    EXPECT_EQ(cell(0, 2), "pear");
}

TEST_P(VornDocumentBrowserTest, SelectingAnIndexShowsItsDefinitionAsPrintableText)
{
    connect();
    ASSERT_WAIT_FOR_MS(fruitByName(), 30000);
    const BrowserElementPtr index = fruitByName();
    ASSERT_NO_FATAL_FAILURE(selectInBrowser(index));

    ASSERT_EQ(document->activeContent(), ContentPane::SimpleText);
    const SimpleTextController *text = document->simpleTextController();
    EXPECT_TRUE(text->text().contains(fruitIndex)) << text->text().toStdString();
    EXPECT_TRUE(text->text().contains(fruitTable)) << text->text().toStdString();
    ASSERT_TRUE(text->browserElement());
    EXPECT_EQ(text->browserElement()->name(), index->name());
    EXPECT_TRUE(document->printing().contentAvailable());
    EXPECT_EQ(text->printViewNeedsContentTypeString(), "Index");
    const SimpleTextViewController *pane = window->simpleTextViewController();
    EXPECT_EQ(pane->textView()->toPlainText(), text->text()) << "the pane shows what the model holds";

    // Rows of the table replace the text, and the text pane no longer offers anything to print.
    ASSERT_NO_FATAL_FAILURE(selectInBrowser(fruit()));
    EXPECT_EQ(document->activeContent(), ContentPane::Resultset);
    EXPECT_FALSE(document->printing().contentAvailable());
}

VORN_FOR_EVERY_DATABASE(VornDocumentBrowserTest);

} // namespace
