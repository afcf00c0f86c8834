// The recycle bin of a document through the real backend: a root of the test's own whose bin is held
// in memory (no Oracle server runs here) crosses the bridge as the product's does. The browser's request
// opens the window's sheet on the document's bin, the toolbar follows what the bin holds, and a failed
// restore alerts with the database's message and marks nothing changed.
#include "DocumentTestSupport.h"
#include "WaitFor.h"
#include "bridge/ThreadController.h"
#include "browser/RecycleBinViewController.h"
#include "browser/RecyclebinController.h"
#include "document/BrowserRouting.h"
#include "document/RecyclebinRouting.h"
#include "document/VornDocument.h"
#include "platform/Preferences.h"
#include "platform/UserDefaults.h"
#include "window/VornTabbedWindowController.h"

#include <QMessageBox>
#include <QPushButton>
#include <QTreeWidget>

#include <gtest/gtest.h>

namespace
{

const QString binRootClass = QStringLiteral("nl/dalmerik/vorn/RecyclebinTestRoot");
constexpr qint64 trash = 0x80;
constexpr qint64 fullTrash = 0x100;

class VornDocumentRecyclebinTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        startedDocumentBackend();
        UserDefaults::standard().setObject(true, PreferenceKey::recycleBinSupport);
        VornDocument::registerWindowPanes();
        document = std::make_unique<VornDocument>(binRootClass, nullptr);
        document->makeWindowControllers();
        document->setPreventConnectionOnShowWindows(true);
        document->showWindows();
        window = document->vornWindowController();
        ASSERT_NE(window, nullptr);
    }

    void TearDown() override
    {
        if (sheet && sheet->alert())
            sheet->alert()->reject();
        if (document && !document->isClosed())
            window->doCloseDoc(document.get(), true);
    }

    void waitForIdle()
    {
        ASSERT_WAIT_FOR_MS(!document->recyclebinRouting().recyclebinController()->busy() &&
                               document->threadController()->numberOfRegisteredThreads(true) == 0 &&
                               !document->vornRoot()->reserved(),
                           20000);
    }

    void select(const QString &originalName)
    {
        const QList<QTreeWidgetItem *> rows =
            sheet->dataview()->findItems(originalName, Qt::MatchExactly | Qt::MatchRecursive, 0);
        ASSERT_EQ(rows.size(), 1) << originalName.toStdString();
        sheet->dataview()->setCurrentItem(rows.first());
    }

    std::unique_ptr<VornDocument> document;
    VornTabbedWindowController *window = nullptr;
    RecycleBinViewController *sheet = nullptr;
};

TEST_F(VornDocumentRecyclebinTest, TheBrowserOpensTheBinAndTheToolbarFollowsIt)
{
    EXPECT_TRUE(document->toolbarFeatures() & trash);
    EXPECT_FALSE(document->toolbarFeatures() & fullTrash);
    UserDefaults::standard().setObject(false, PreferenceKey::recycleBinSupport);
    EXPECT_FALSE(document->toolbarFeatures() & trash) << "the preferences turn the bin off";
    UserDefaults::standard().setObject(true, PreferenceKey::recycleBinSupport);

    document->browserRouting().browserWantsToOpenRecyclebin();
    sheet = qobject_cast<RecycleBinViewController *>(window->sharedRecycleBinViewController());
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(sheet->recyclebinController(), document->recyclebinRouting().recyclebinController());
    ASSERT_NO_FATAL_FAILURE(waitForIdle());
    ASSERT_TRUE(sheet->window() && sheet->window()->isVisible());
    ASSERT_EQ(sheet->dataview()->topLevelItemCount(), 2);
    EXPECT_EQ(sheet->dataview()->topLevelItem(0)->childCount(), 1) << "the index came with its table";
    EXPECT_TRUE(document->recyclebinIsFull());
    EXPECT_TRUE(document->toolbarFeatures() & fullTrash);

    // Restoring a table whose name is taken fails with the database's message; nothing was restored.
    select("LINES");
    sheet->restoreButton()->click();
    ASSERT_NO_FATAL_FAILURE(waitForIdle());
    ASSERT_WAIT_FOR(sheet->alert() && sheet->alert()->isVisible());
    EXPECT_EQ(sheet->alert()->text(), "Error restoring object from recyclebin");
    EXPECT_EQ(sheet->alert()->informativeText(), "ORA-38312: original name is used by an existing object");
    EXPECT_FALSE(document->dirtyDDL());
    EXPECT_EQ(sheet->dataview()->topLevelItemCount(), 2);
    sheet->alert()->accept();

    select("ORDERS");
    sheet->restoreButton()->click();
    ASSERT_NO_FATAL_FAILURE(waitForIdle());
    EXPECT_TRUE(document->dirtyDDL()) << "a restored table changes the schema";
    EXPECT_EQ(sheet->dataview()->topLevelItemCount(), 1);

    sheet->purgeAllButton()->click();
    ASSERT_TRUE(sheet->alert());
    for (QAbstractButton *button : sheet->alert()->buttons())
        if (button->text() == "Empty bin")
            button->click();
    ASSERT_NO_FATAL_FAILURE(waitForIdle());
    EXPECT_EQ(sheet->dataview()->topLevelItemCount(), 0);
    EXPECT_FALSE(document->recyclebinIsFull());
    EXPECT_FALSE(document->toolbarFeatures() & fullTrash);
}

} // namespace
