// The sheets of the stored quick filters, opened from the grid over a real SQLite table and its real
// model: storing under a name, renaming in place, deleting, names of white space alone refused, and the
// stored filters seen again from another root of the same database.
#include "ResultsetTestSupport.h"
#include "WaitFor.h"
#include "resultset/EditedStoredFilters.h"
#include "resultset/ResultsetViewController.h"
#include "resultset/StoreQuickFilter.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace
{
class StoredFilterSheetsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        fixture_ = std::make_unique<ResultsetFixture>(sqliteTarget(folder_), 2000);
        ASSERT_TRUE(fixture_->root.run("CREATE TABLE item (id INTEGER PRIMARY KEY, name VARCHAR(40))"));
        for (int id = 1; id <= 4; ++id)
            ASSERT_TRUE(fixture_->root.run(QString("INSERT INTO item VALUES (%1, 'n%1')").arg(id)));
        ASSERT_TRUE(fixture_->showTable("item"));
        grid_.view()->resize(600, 300);
        grid_.view()->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(grid_.view()));
        fixture_->document.grid = &grid_;
        grid_.setResultsetController(model());
        model()->updateQuickFilterWithColumns({"id"}, {">"}, {"2"});
        ASSERT_TRUE(fixture_->waitForIdle());
    }

    void TearDown() override
    {
        if (fixture_)
            fixture_->waitForIdle();
    }

    ResultsetController *model() const { return fixture_->controller.get(); }

    // The grid's name sheet, once it is open.
    StoreQuickFilter *storeSheet()
    {
        VORN_WAIT_UNTIL(sheetsGone(), 5000);
        grid_.storeCurrentQuickFilter();
        StoreQuickFilter *sheet = grid_.view()->findChild<StoreQuickFilter *>();
        EXPECT_TRUE(sheet && sheet->isVisible());
        return sheet;
    }

    void store(const QString &name)
    {
        StoreQuickFilter *sheet = storeSheet();
        ASSERT_NE(sheet, nullptr);
        sheet->textfield()->setText(name);
        sheet->saveButton()->click();
        ASSERT_WAIT_FOR(sheetsGone());
    }

    // Ended sheets go.
    bool sheetsGone() const
    {
        return !grid_.view()->findChild<StoreQuickFilter *>() &&
               !grid_.view()->findChild<EditedStoredFilters *>();
    }

    EditedStoredFilters *editSheet()
    {
        VORN_WAIT_UNTIL(sheetsGone(), 5000);
        grid_.editStoredQuickFilters();
        EditedStoredFilters *sheet = grid_.view()->findChild<EditedStoredFilters *>();
        EXPECT_TRUE(sheet && sheet->isVisible());
        return sheet;
    }

    QTemporaryDir folder_;
    // Outlives the fixture, which lets go of it.
    ResultsetViewController grid_;
    std::unique_ptr<ResultsetFixture> fixture_;
};
} // namespace

TEST_F(StoredFilterSheetsTest, TheNameSheetStoresOnlyOnSave)
{
    StoreQuickFilter *sheet = storeSheet();
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(sheet->name(), "New Filter");
    sheet->cancel();
    ASSERT_WAIT_FOR(sheetsGone());
    EXPECT_TRUE(model()->availableStoredFilter().isEmpty());

    store("above two");
    EXPECT_EQ(model()->availableStoredFilter(), QStringList{"above two"});
    EXPECT_EQ(model()->currentStoredFilter(), "above two");
    EXPECT_TRUE(fixture_->alerts().isEmpty()) << fixture_->alerts().join("\n").toStdString();
}

TEST_F(StoredFilterSheetsTest, NamesOfWhiteSpaceAloneAreRefusedInTheSheets)
{
    StoreQuickFilter *sheet = storeSheet();
    ASSERT_NE(sheet, nullptr);
    for (const char *name : {"", "   "}) {
        sheet->textfield()->setText(name);
        EXPECT_FALSE(sheet->saveButton()->isEnabled()) << '"' << name << '"';
        EXPECT_TRUE(sheet->notice()->isVisible());
        EXPECT_EQ(sheet->notice()->text(), "A stored filter needs a name.");
        sheet->save();
        EXPECT_TRUE(sheet->isVisible()) << "the sheet stays open";
    }
    EXPECT_TRUE(model()->availableStoredFilter().isEmpty());
    sheet->textfield()->setText(" spaced ");
    EXPECT_TRUE(sheet->saveButton()->isEnabled());
    EXPECT_FALSE(sheet->notice()->isVisible());
    sheet->save();
    ASSERT_WAIT_FOR(sheetsGone());
    EXPECT_EQ(model()->availableStoredFilter(), QStringList{" spaced "}) << "kept as typed";

    EditedStoredFilters *edit = editSheet();
    ASSERT_NE(edit, nullptr);
    EXPECT_FALSE(edit->rename(0, "  "));
    EXPECT_TRUE(edit->notice()->isVisible());
    EXPECT_EQ(edit->notice()->text(), "A stored filter needs a name.");
    QCoreApplication::processEvents();
    EXPECT_EQ(edit->names(), QStringList{" spaced "}) << "the old name stays";
    edit->closeAction();
}

TEST_F(StoredFilterSheetsTest, TheListRenamesAndDeletesByName)
{
    store("first");
    store("second");
    store("third");
    EditedStoredFilters *sheet = editSheet();
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(sheet->names(), (QStringList{"first", "second", "third"}));
    EXPECT_EQ(sheet->dataview()->model()->rowCount(), 3);
    EXPECT_FALSE(sheet->removeButton()->isEnabled()) << "nothing selected";
    sheet->deleteAction();
    EXPECT_EQ(model()->availableStoredFilter().size(), 3) << "delete does nothing without a selection";

    // Typed in place; Close hands the name being typed over before the sheet ends.
    QTableView *table = sheet->dataview();
    table->selectRow(1);
    EXPECT_TRUE(sheet->removeButton()->isEnabled());
    table->edit(table->model()->index(1, 0));
    auto *editor = qobject_cast<QLineEdit *>(table->indexWidget(table->model()->index(1, 0)));
    ASSERT_NE(editor, nullptr);
    editor->setText("2nd");
    sheet->closeAction();
    EXPECT_EQ(model()->availableStoredFilter(), (QStringList{"first", "2nd", "third"}));
    ASSERT_WAIT_FOR(sheetsGone());

    sheet = editSheet();
    ASSERT_NE(sheet, nullptr);
    sheet->dataview()->selectRow(0);
    sheet->removeButton()->click();
    EXPECT_EQ(sheet->names(), (QStringList{"2nd", "third"})) << "read again after the change";
    EXPECT_EQ(model()->availableStoredFilter(), (QStringList{"2nd", "third"}));

    // A name in use is the backend's to refuse; the list keeps what it kept.
    EXPECT_FALSE(sheet->rename(0, "third"));
    QCoreApplication::processEvents();
    EXPECT_EQ(sheet->names(), (QStringList{"2nd", "third"}));
    EXPECT_TRUE(fixture_->alerts().join("\n").contains("exists already"));

    ASSERT_TRUE(fixture_->client->reserveRoot("busy"));
    sheet->reloadList();
    EXPECT_TRUE(sheet->names().isEmpty()) << "nothing is listed while the root is busy";
    fixture_->client->releaseReservedRoot();
    sheet->closeAction();
}

TEST_F(StoredFilterSheetsTest, StoredFiltersAreSeenFromAnotherRoot)
{
    store("kept");
    EditedStoredFilters *sheet = editSheet();
    ASSERT_NE(sheet, nullptr);
    EXPECT_TRUE(sheet->rename(0, "kept and renamed"));
    sheet->closeAction();

    ResultsetFixture other(sqliteTarget(folder_), 2000);
    ASSERT_TRUE(other.showTable("item"));
    EXPECT_EQ(other.controller->availableStoredFilter(), QStringList{"kept and renamed"});
    other.controller->loadStoredFilter("kept and renamed");
    ASSERT_TRUE(other.waitForIdle());
    EXPECT_EQ(other.controller->numberOfRowsInResultset(), 2) << "the stored condition applies";
    EXPECT_EQ(other.controller->quickFilterColumnValues(), QVariantList{"2"});
}
