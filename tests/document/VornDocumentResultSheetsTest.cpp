// The grid's Filter and Sort in a document's real window: the toolbar's items follow the grid's table
// and the busy root, and the toolbar's Sort opens the sort sheet, whose Set sorts the table's rows.
#include "BackendTestSupport.h"
#include "DocumentTestSupport.h"
#include "DocumentWindowFixture.h"
#include "WaitFor.h"
#include "browser/BrowserController.h"
#include "browser/BrowserElementStore.h"
#include "client/VornRootClient.h"
#include "document/VornDocument.h"
#include "resultset/ResultsetController.h"
#include "resultset/ResultsetTableModel.h"
#include "resultset/ResultsetViewController.h"
#include "resultset/SortWindowController.h"
#include "window/FeaturedToolbar.h"
#include "window/ToolbarController.h"
#include "window/ToolbarItem.h"
#include "window/ToolbarItemAdjustableLayout.h"
#include "window/VornTabbedWindowController.h"

#include <QAbstractButton>
#include <QDialog>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

namespace
{

const QString table = QStringLiteral("sheets_doc_fruit");

class VornDocumentResultSheetsTest : public DatabaseTest, protected DocumentWindowFixture
{
protected:
    void SetUp() override
    {
        startedDocumentBackend();
        DatabaseTest::SetUp();
        if (IsSkipped())
            return;
        ASSERT_NO_FATAL_FAILURE(
            createTable(target_, table,
                        {"CREATE TABLE " + table + " (id INTEGER, name VARCHAR(20))",
                         "INSERT INTO " + table + " VALUES (1, 'apple'), (2, 'pear'), (3, 'fig')"}));
        ASSERT_NO_FATAL_FAILURE(openDocumentWindow());
        ASSERT_NO_FATAL_FAILURE(connectTo(target_));
        ASSERT_NO_FATAL_FAILURE(showConnectionSchema());
        const BrowserElementStore *store = document->browserController()->dataBrowserElementStore();
        BrowserElementPtr element;
        ASSERT_WAIT_FOR_MS(element = store->findElementInStoreWithName(table, store->selectedSchema()),
                           30000);
        ASSERT_NO_FATAL_FAILURE(selectInBrowser(element));
        ASSERT_EQ(grid->tableModel()->rowCount(), 3);
        window->window()->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window->window()));
    }

    void TearDown() override { closeDocumentWindow(); }

    ToolbarItem *toolbarItem(const QString &action) const
    {
        FeaturedToolbar *toolbar = window->toolbarController()->toolbar();
        toolbar->validateVisibleItems();
        for (ToolbarItem *item : toolbar->items()) {
            if (item->itemAction() == action)
                return item;
        }
        return nullptr;
    }

    QString firstId() const { return grid->tableModel()->index(0, 1).data().toString(); }
};

TEST_P(VornDocumentResultSheetsTest, TheToolbarsSortOpensTheSheetWhoseSetSortsTheRows)
{
    for (const char *action : {"filter:", "sort:"}) {
        ToolbarItem *item = toolbarItem(action);
        ASSERT_NE(item, nullptr) << action;
        EXPECT_TRUE(item->isEnabled()) << action;
    }
    ASSERT_TRUE(document->vornRoot()->reserveRoot("busy"));
    EXPECT_FALSE(toolbarItem("sort:")->isEnabled()) << "not while the root is busy";
    document->vornRoot()->releaseReservedRoot();

    auto *button = qobject_cast<QAbstractButton *>(toolbarItem("sort:")->view());
    ASSERT_NE(button, nullptr);
    ASSERT_TRUE(button->isEnabled());
    button->click();
    SortWindowController *sheet = grid->sortWindowController();
    ASSERT_NE(sheet, nullptr);
    ASSERT_TRUE(sheet->panel()->isVisible());
    EXPECT_EQ(sheet->panel()->parentWidget(), window->window()) << "a sheet of the document's window";
    EXPECT_EQ(sheet->remainingColumnNames(), (QStringList{"id", "name"}));

    sheet->tableAvailable()->selectRow(0);
    sheet->addDescButton()->click();
    sheet->setButton()->click();
    waitForIdle();
    ASSERT_WAIT_FOR_EQ(firstId(), QString("3"));
    EXPECT_EQ(document->resultsetController()->quickSortColumnSortDirection("id"), 2);
}

INSTANTIATE_TEST_SUITE_P(Databases, VornDocumentResultSheetsTest, ::testing::Values("SQLite"),
                         [](const auto &info) { return info.param.toStdString(); });

} // namespace
