// The record editor over the grid of a real SQLite table: only changed values are written, NULL stays
// apart from empty text, and Clear and Import wait for OK (Cancel leaves the large object as it was).
#include "ResultsetTestSupport.h"
#include "WaitFor.h"
#include "resultset/BlobButton.h"
#include "resultset/RecordEditController.h"
#include "resultset/ResultsetController.h"
#include "resultset/ResultsetTableModel.h"
#include "resultset/ResultsetViewController.h"

#include <QDialog>
#include <QFile>
#include <QLineEdit>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace
{
class RecordEditorTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        fixture_ = std::make_unique<ResultsetFixture>(sqliteTarget(folder_), 2000);
        ASSERT_TRUE(fixture_->root.run("CREATE TABLE item (id INTEGER PRIMARY KEY, name VARCHAR(40), "
                                       "note VARCHAR(40), data BLOB)"));
        ASSERT_TRUE(fixture_->root.run("INSERT INTO item VALUES (1, 'one', NULL, X'0102')"));
        ASSERT_TRUE(fixture_->root.run("INSERT INTO item VALUES (2, 'two', '', NULL)"));
        ASSERT_TRUE(fixture_->showTable("item"));
        grid_.view()->resize(800, 400);
        grid_.view()->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(grid_.view()));
        fixture_->document.grid = &grid_;
        grid_.setResultsetController(fixture_->controller.get());
        model_ = fixture_->controller.get();
    }

    void TearDown() override
    {
        grid_.setResultsetController(nullptr);
        if (fixture_)
            fixture_->document.grid = nullptr;
        fixture_.reset();
    }

    // Opens the editor on the row; the fields by name.
    QHash<QString, InputPanelControllerFieldPtr> open(int row)
    {
        grid_.tableView()->selectRow(row);
        grid_.editRecord(nullptr);
        QHash<QString, InputPanelControllerFieldPtr> fields;
        if (!grid_.recordEditController())
            return fields;
        for (const InputPanelControllerFieldPtr &field :
             grid_.recordEditController()->inputPanelController()->getFields())
            fields.insert(field->name(), field);
        return fields;
    }
    InputPanelController *panel() const { return grid_.recordEditController()->inputPanelController(); }
    void press(const InputPanelControllerFieldPtr &field, int tag)
    {
        QTest::mouseClick(field->custom()[tag - 1], Qt::LeftButton);
    }

    QTemporaryDir folder_;
    std::unique_ptr<ResultsetFixture> fixture_;
    ResultsetViewController grid_;
    ResultsetController *model_ = nullptr;
};
} // namespace

TEST_F(RecordEditorTest, CancelUndoesAStagedClear)
{
    auto fields = open(0);
    ASSERT_EQ(fields.size(), 4);
    EXPECT_EQ(fields["data"]->type(), InputPanelControllerField::Blob);
    EXPECT_TRUE(fields["data"]->custom()[0]->isEnabled());
    press(fields["data"], BlobButton::Clear);
    EXPECT_FALSE(fields["data"]->custom()[0]->isEnabled());
    panel()->endSheet(0);
    EXPECT_FALSE(model_->blobValueIsEmpty("data", 1));
    model_->cancel();

    fields = open(0);
    press(fields["data"], BlobButton::Clear);
    panel()->endSheet(1);
    EXPECT_TRUE(model_->blobValueIsEmpty("data", 1));
}

TEST_F(RecordEditorTest, ImportWaitsForOkAndOnlyChangedValuesAreWritten)
{
    QTemporaryDir files;
    const QString path = files.filePath("in.bin");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("bytes");
    file.close();

    auto fields = open(1);
    ASSERT_EQ(fields.size(), 4);
    EXPECT_FALSE(fields["data"]->custom()[0]->isEnabled());
    grid_.recordEditController()->setFileChooser(
        [&](const QString &, const QString &, bool) { return path; });
    press(fields["data"], BlobButton::Import);
    EXPECT_TRUE(fields["data"]->custom()[0]->isEnabled());
    EXPECT_TRUE(model_->blobValueIsEmpty("data", 2));
    qobject_cast<QLineEdit *>(fields["name"]->inputField())->setText("TWO");
    panel()->endSheet(1);
    EXPECT_FALSE(model_->blobValueIsEmpty("data", 2));
    ASSERT_TRUE(model_->shouldEndEdit());

    // Row 1's NULL note shown as empty text and left alone stays NULL; the empty note of row 2 stays empty.
    fields = open(0);
    panel()->endSheet(1);
    EXPECT_EQ(model_->editingRowNumber(), -1);
    EXPECT_TRUE(model_->shouldEndEdit());
    ASSERT_TRUE(fixture_->showTable("item"));
    grid_.resultsetReset();
    EXPECT_FALSE(model_->objectValueForColumn("note", 1).isValid());
    EXPECT_EQ(model_->objectValueForColumn("note", 2).toString(), "");
    EXPECT_EQ(model_->objectValueForColumn("name", 2).toString(), "TWO");
    EXPECT_FALSE(model_->blobValueIsEmpty("data", 2));
}
