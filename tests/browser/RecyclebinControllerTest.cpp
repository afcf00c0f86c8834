// The recycle bin over the fake backend: the controller's actions with their reservations, listings and
// failures, and the sheet's outline, buttons and questions.
#include "BrowserTestSupport.h"
#include "FakeVornRootClient.h"
#include "WaitFor.h"

#include "browser/RecycleBinViewController.h"
#include "browser/RecyclebinController.h"
#include "browser/RecyclebinControllerDelegate.h"
#include "status/StatusManager.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTreeWidget>
#include <QWidget>
#include <gtest/gtest.h>

namespace
{

QVariantMap entry(const QString &objectName, const QString &originalName, const QString &type,
                  const QString &canUndrop, const QString &canPurge, const QVariantList &children = {})
{
    QVariantMap map{
        {"objectName", objectName},          {"originalName", originalName}, {"type", type},
        {"dropTime", "2026-12-01:10:00:00"}, {"canUndrop", canUndrop},       {"canPurge", canPurge}};
    if (!children.isEmpty())
        map.insert("children", children);
    return map;
}

const QVariantList orders{
    entry("BIN$t1", "ORDERS", "TABLE", "YES", "YES", {entry("BIN$i1", "ORDERS_PK", "INDEX", "NO", "YES")}),
    entry("BIN$t2", "LINES", "TABLE", "YES", "YES")};

class RecordingDelegate : public RecyclebinControllerDelegate
{
public:
    void recyclebinUpdated() override { events << "updated"; }
    void recycledidPerformRestore() override { events << "restored"; }
    QStringList events;
};

class RecyclebinControllerTest : public ::testing::Test
{
protected:
    RecyclebinControllerTest()
    {
        bin->setContents(orders);
        controller.setDelegate(&fixture.document);
        controller.setRecyclebinDelegate(&delegate);
        controller.setThreadController(fixture.threads);
        controller.setStatusManager(fixture.status);
    }
    ~RecyclebinControllerTest() override
    {
        bin->setHoldActions(false);
        fixture.waitForIdle();
    }

    // Runs an action to its end: the bin listed again and the root free.
    void finish()
    {
        ASSERT_WAIT_FOR(!controller.busy() && !fixture.root->reserved());
        ASSERT_TRUE(fixture.waitForIdle());
    }
    QStringList objectNames() const
    {
        QStringList names;
        for (const QVariant &item : controller.items())
            names << item.toMap().value("objectName").toString();
        return names;
    }

    BrowserFixture fixture;
    std::shared_ptr<FakeVornRecyclebinClient> bin = fixture.root->recyclebinClient;
    RecordingDelegate delegate;
    RecyclebinController controller{fixture.root};
};

TEST_F(RecyclebinControllerTest, RefreshListsTheBinUnderItsReservation)
{
    controller.refresh();
    ASSERT_NO_FATAL_FAILURE(finish());
    EXPECT_EQ(fixture.document.reservations, QStringList{"Refresh recyclebin"});
    EXPECT_EQ(objectNames(), (QStringList{"BIN$t1", "BIN$t2"}));
    EXPECT_EQ(delegate.events, QStringList{"updated"});
    EXPECT_EQ(controller.numberOfChildrenOfItem(nullptr), 2);
    const QVariantMap first = controller.itemAt(0, nullptr);
    const QVariantMap second = controller.itemAt(1, nullptr);
    EXPECT_EQ(controller.numberOfChildrenOfItem(&first), 1);
    EXPECT_EQ(controller.itemAt(0, &first).value("originalName"), "ORDERS_PK");
    EXPECT_EQ(controller.numberOfChildrenOfItem(&second), 0) << "a missing children key is a leaf";
    EXPECT_FALSE(controller.takeFailure());
    EXPECT_EQ(fixture.root->releases, 1);
}

TEST_F(RecyclebinControllerTest, EachActionRunsThenListsTheBinAgain)
{
    struct Case {
        const char *what;
        std::function<void(RecyclebinController &)> start;
        QString reservation;
        QStringList call;
        QStringList left;
        QStringList events;
    };
    const std::vector<Case> cases{
        {"restore",
         [](auto &c) { c.restoreObject("BIN$t2", "TABLE"); },
         "Restoring object from recyclebin",
         {"restore", "TABLE", "BIN$t2"},
         {"BIN$t1"},
         {"updated", "updated", "restored"}},
        {"purge",
         [](auto &c) { c.purgeObject("BIN$t1", "TABLE"); },
         "Purging object from recyclebin",
         {"purge", "TABLE", "BIN$t1"},
         {"BIN$t2"},
         {"updated", "updated"}},
        {"empty",
         [](auto &c) { c.purgeAll(); },
         "Emptying recyclebin",
         {"purge all", "", ""},
         {},
         {"updated", "updated"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        bin->setContents(orders);
        fixture.document.reservations.clear();
        delegate.events.clear();
        const int listingsBefore = bin->updatesSoFar();
        const int callsBefore = int(bin->callsSoFar().size());
        c.start(controller);
        ASSERT_NO_FATAL_FAILURE(finish());
        EXPECT_EQ(fixture.document.reservations, QStringList{c.reservation});
        ASSERT_EQ(bin->callsSoFar().size(), callsBefore + 1);
        EXPECT_EQ(bin->callsSoFar().last(), c.call);
        EXPECT_EQ(bin->updatesSoFar(), listingsBefore + 1);
        EXPECT_EQ(objectNames(), c.left);
        EXPECT_EQ(delegate.events, c.events) << "the sheet hears of the start and of the end";
        EXPECT_FALSE(controller.takeFailure());
    }
}

TEST_F(RecyclebinControllerTest, AFailedActionIsReportedWithTheDatabasesMessageAndNeverAsRestored)
{
    const QString refusal = "ORA-38312: original name is used by an existing object";
    bin->setErrors(QString(), refusal);
    controller.restoreObject("BIN$t1", "TABLE");
    ASSERT_NO_FATAL_FAILURE(finish());
    EXPECT_FALSE(delegate.events.contains("restored"));
    EXPECT_EQ(objectNames(), (QStringList{"BIN$t1", "BIN$t2"})) << "the bin is listed as the failure left it";
    const std::optional<RecyclebinFailure> failure = controller.takeFailure();
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->title, "Error restoring object from recyclebin");
    EXPECT_EQ(failure->message, refusal);
    EXPECT_FALSE(controller.takeFailure()) << "a failure is shown once";
    EXPECT_EQ(fixture.status->connectionStatusText(), "Error restoring object from recyclebin");

    const QString lost = "ORA-03113: end-of-file on communication channel";
    bin->setErrors(lost, QString());
    controller.refresh();
    ASSERT_NO_FATAL_FAILURE(finish());
    EXPECT_TRUE(controller.items().isEmpty());
    const std::optional<RecyclebinFailure> listing = controller.takeFailure();
    ASSERT_TRUE(listing);
    EXPECT_EQ(listing->title, "Error reading the recyclebin");
    EXPECT_EQ(listing->message, lost);
}

TEST_F(RecyclebinControllerTest, AnActionWhileTheRootIsHeldElsewhereDoesNothing)
{
    controller.refresh();
    ASSERT_NO_FATAL_FAILURE(finish());
    delegate.events.clear();
    fixture.root->reservedByOther = true;
    controller.purgeAll();
    controller.restoreObject("BIN$t1", "TABLE");
    EXPECT_FALSE(controller.busy());
    EXPECT_TRUE(bin->callsSoFar().isEmpty());
    EXPECT_EQ(objectNames(), (QStringList{"BIN$t1", "BIN$t2"})) << "the bin keeps its listing";
    EXPECT_TRUE(delegate.events.isEmpty());
    fixture.root->reservedByOther = false;
}

class RecycleBinSheetTest : public RecyclebinControllerTest
{
protected:
    RecycleBinSheetTest()
    {
        host.resize(800, 600);
        host.show();
        sheet.setRecyclebinController(&controller);
        sheetDelegate.sheet = &sheet;
        controller.setRecyclebinDelegate(&sheetDelegate);
    }
    ~RecycleBinSheetTest() override
    {
        if (QMessageBox *box = sheet.alert())
            box->reject();
    }

    // The document's part: the sheet follows the bin.
    struct SheetDelegate : RecyclebinControllerDelegate {
        void recyclebinUpdated() override { sheet->recyclebinUpdated(); }
        void recycledidPerformRestore() override {}
        RecycleBinViewController *sheet = nullptr;
    };

    void open()
    {
        sheet.startupOnWindow(&host);
        ASSERT_NO_FATAL_FAILURE(finish());
        ASSERT_TRUE(sheet.window()->isVisible());
    }
    QTreeWidgetItem *row(const QString &originalName) const
    {
        const QList<QTreeWidgetItem *> found =
            sheet.dataview()->findItems(originalName, Qt::MatchExactly | Qt::MatchRecursive, 0);
        return found.isEmpty() ? nullptr : found.first();
    }
    static QString image(const QTreeWidgetItem *item, int column)
    {
        return item->data(column, Qt::UserRole + 1).toString();
    }
    void press(const QString &buttonText)
    {
        QMessageBox *box = sheet.alert();
        ASSERT_TRUE(box);
        ASSERT_WAIT_FOR(box->isVisible());
        for (QAbstractButton *button : box->buttons()) {
            if (button->text() == buttonText) {
                button->click();
                return;
            }
        }
        FAIL() << "no button " << buttonText.toStdString();
    }

    QWidget host;
    RecycleBinViewController sheet;
    SheetDelegate sheetDelegate;
};

TEST_F(RecycleBinSheetTest, AnEmptyBinOffersNothingButClose)
{
    bin->setContents({});
    ASSERT_NO_FATAL_FAILURE(open());
    EXPECT_EQ(sheet.dataview()->topLevelItemCount(), 0);
    EXPECT_FALSE(sheet.purgeAllButton()->isEnabled());
    EXPECT_FALSE(sheet.purgeButton()->isEnabled());
    EXPECT_FALSE(sheet.restoreButton()->isEnabled());
    EXPECT_FALSE(sheet.progress()->isVisible());
    sheet.closeButton()->click();
    EXPECT_FALSE(sheet.window()->isVisible());
}

TEST_F(RecycleBinSheetTest, TheOutlineShowsObjectsWithWhatWentWithThem)
{
    ASSERT_NO_FATAL_FAILURE(open());
    ASSERT_EQ(sheet.dataview()->topLevelItemCount(), 2);
    QTreeWidgetItem *table = row("ORDERS");
    ASSERT_TRUE(table);
    EXPECT_EQ(table->text(1), "TABLE");
    EXPECT_EQ(table->text(2), "2026-12-01:10:00:00");
    ASSERT_EQ(table->childCount(), 1);
    QTreeWidgetItem *index = table->child(0);
    EXPECT_EQ(index->text(0), "ORDERS_PK");
    EXPECT_TRUE(sheet.purgeAllButton()->isEnabled());
    EXPECT_FALSE(sheet.purgeButton()->isEnabled()) << "nothing selected";

    // An index may be purged, not restored.
    sheet.dataview()->setCurrentItem(index);
    EXPECT_EQ(image(index, 3), "Error");
    EXPECT_EQ(image(index, 4), "NoError");
    EXPECT_TRUE(sheet.purgeButton()->isEnabled());
    EXPECT_FALSE(sheet.restoreButton()->isEnabled());
    sheet.dataview()->setCurrentItem(table);
    EXPECT_TRUE(sheet.restoreButton()->isEnabled());
}

TEST_F(RecycleBinSheetTest, PurgeAndEmptyAskFirstAndCancelChangesNothing)
{
    ASSERT_NO_FATAL_FAILURE(open());
    sheet.dataview()->setCurrentItem(row("LINES"));
    sheet.purgeButton()->click();
    ASSERT_TRUE(sheet.alert());
    EXPECT_EQ(sheet.alert()->text(), "Are you sure you want to purge LINES ?");
    ASSERT_NO_FATAL_FAILURE(press("Cancel"));
    sheet.purgeAllButton()->click();
    ASSERT_TRUE(sheet.alert());
    EXPECT_EQ(sheet.alert()->text(), "Are you sure you want to empty the Recycle bin ?");
    ASSERT_NO_FATAL_FAILURE(press("Cancel"));
    EXPECT_TRUE(bin->callsSoFar().isEmpty());
    EXPECT_EQ(sheet.dataview()->topLevelItemCount(), 2);

    sheet.dataview()->setCurrentItem(row("LINES"));
    sheet.purgeButton()->click();
    ASSERT_NO_FATAL_FAILURE(press("Purge"));
    ASSERT_NO_FATAL_FAILURE(finish());
    ASSERT_EQ(bin->callsSoFar().size(), 1);
    EXPECT_EQ(bin->callsSoFar().first(), (QStringList{"purge", "TABLE", "BIN$t2"}));
    EXPECT_FALSE(row("LINES"));

    sheet.purgeAllButton()->click();
    ASSERT_NO_FATAL_FAILURE(press("Empty bin"));
    ASSERT_NO_FATAL_FAILURE(finish());
    EXPECT_EQ(sheet.dataview()->topLevelItemCount(), 0);
    EXPECT_FALSE(sheet.purgeAllButton()->isEnabled());
}

TEST_F(RecycleBinSheetTest, WhileAnActionRunsTheSheetShowsProgressAndOffersNothing)
{
    ASSERT_NO_FATAL_FAILURE(open());
    bin->setHoldActions(true);
    sheet.dataview()->setCurrentItem(row("ORDERS"));
    sheet.restoreButton()->click();
    ASSERT_WAIT_FOR(bin->waiting());
    EXPECT_TRUE(controller.busy());
    EXPECT_TRUE(sheet.progress()->isVisible());
    EXPECT_EQ(sheet.dataview()->topLevelItemCount(), 0);
    EXPECT_FALSE(sheet.purgeAllButton()->isEnabled());
    EXPECT_FALSE(sheet.restoreButton()->isEnabled());
    bin->setHoldActions(false);
    ASSERT_NO_FATAL_FAILURE(finish());
    EXPECT_FALSE(sheet.progress()->isVisible());
    EXPECT_EQ(sheet.dataview()->topLevelItemCount(), 1);
}

TEST_F(RecycleBinSheetTest, AFailedRestoreIsShownOnTheSheet)
{
    ASSERT_NO_FATAL_FAILURE(open());
    bin->setErrors(QString(), "ORA-38312: original name is used by an existing object");
    sheet.dataview()->setCurrentItem(row("ORDERS"));
    sheet.restoreButton()->click();
    ASSERT_NO_FATAL_FAILURE(finish());
    QMessageBox *box = sheet.alert();
    ASSERT_TRUE(box);
    EXPECT_EQ(box->text(), "Error restoring object from recyclebin");
    EXPECT_EQ(box->informativeText(), "ORA-38312: original name is used by an existing object");
    EXPECT_EQ(box->parentWidget(), sheet.window());
    EXPECT_EQ(sheet.dataview()->topLevelItemCount(), 2);
}

} // namespace
