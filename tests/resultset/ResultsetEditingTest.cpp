// The edit side of the result-set model over a real SQLite table: ending row edits, removals by key,
// new and copied rows, and the texts the editors get.
#include "ResultsetTestSupport.h"
#include "WaitFor.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace
{
class ResultsetEditingTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        fixture_ = std::make_unique<ResultsetFixture>(sqliteTarget(folder_), 2000);
        ASSERT_TRUE(
            fixture_->root.run("CREATE TABLE item (id INTEGER PRIMARY KEY, name VARCHAR(40), data BLOB)"));
        for (int id = 1; id <= 8; ++id)
            ASSERT_TRUE(
                fixture_->root.run(QString("INSERT INTO item (id, name) VALUES (%1, 'n%1')").arg(id)));
        ASSERT_TRUE(fixture_->showTable("item"));
        model_ = fixture_->controller.get();
    }

    // The shown rows as "id:name".
    QStringList shown() const
    {
        QStringList rows;
        for (qint64 row = 1; row <= model_->numberOfRowsInResultset(); ++row)
            rows << model_->objectValueForColumn("id", row).toString() + ":" +
                        model_->objectValueForColumn("name", row).toString();
        return rows;
    }

    QStringList stored() const
    {
        ResultsetFixture reader(sqliteTarget(folder_), 2000);
        EXPECT_TRUE(reader.show("SELECT id, name FROM item ORDER BY id"));
        QStringList rows;
        for (qint64 row = 1; row <= reader.controller->numberOfRowsInResultset(); ++row)
            rows << reader.controller->objectValueForColumn("id", row).toString() + ":" +
                        reader.controller->objectValueForColumn("name", row).toString();
        return rows;
    }

    QTemporaryDir folder_;
    std::unique_ptr<ResultsetFixture> fixture_;
    ResultsetController *model_ = nullptr;
};
} // namespace

TEST_F(ResultsetEditingTest, AnUnchangedEditEndsWithoutTheRoot)
{
    ASSERT_TRUE(model_->canEditResultSet());
    ASSERT_TRUE(model_->shouldEditColumn("name", 2));
    EXPECT_TRUE(model_->shouldEndEdit());
    EXPECT_TRUE(fixture_->document.reservations.isEmpty());
    EXPECT_EQ(model_->editingRowNumber(), -1);
    EXPECT_FALSE(model_->canCancel());
}

TEST_F(ResultsetEditingTest, AChangedRowIsWrittenAndShownUnderTheReservation)
{
    ASSERT_TRUE(model_->shouldEditColumn("name", 2));
    model_->setValueOfColumn("name", 2, "changed");
    EXPECT_EQ(model_->editingRowNumber(), 2);
    EXPECT_EQ(model_->objectValueForColumn("name", 2).toString(), "changed");
    EXPECT_TRUE(model_->shouldEndEdit());
    EXPECT_EQ(fixture_->document.reservations, QStringList{"Updating table"});
    EXPECT_EQ(fixture_->document.releases, 1);
    EXPECT_EQ(model_->editingRowNumber(), -1);
    EXPECT_EQ(shown().mid(0, 3), (QStringList{"1:n1", "2:changed", "3:n3"}));
    EXPECT_EQ(stored().mid(0, 3), (QStringList{"1:n1", "2:changed", "3:n3"}));
}

TEST_F(ResultsetEditingTest, AFailedWriteKeepsTheEditUntilCancelled)
{
    ASSERT_TRUE(model_->shouldEditColumn("id", 3));
    model_->setValueOfColumn("id", 3, "1"); // the key of another row
    EXPECT_FALSE(model_->shouldEndEdit());
    EXPECT_EQ(model_->editingRowNumber(), 3);
    EXPECT_EQ(model_->objectValueForColumn("id", 3).toString(), "1");
    ASSERT_WAIT_FOR(fixture_->alerts().size() == 1);
    EXPECT_TRUE(fixture_->alerts()[0].startsWith("Database error: Couldn't update the resultset.\n"));

    // The root busy elsewhere: the row stays in edit, nothing is written.
    fixture_->document.refuseReservations = true;
    EXPECT_FALSE(model_->shouldEndEdit());
    EXPECT_EQ(model_->editingRowNumber(), 3);

    EXPECT_TRUE(model_->canCancel());
    EXPECT_TRUE(model_->cancel());
    EXPECT_EQ(model_->editingRowNumber(), -1);
    EXPECT_EQ(model_->objectValueForColumn("id", 3).toString(), "3");
    EXPECT_EQ(stored(), shown());
}

TEST_F(ResultsetEditingTest, RemovalsReportEachRowAsItMovesUp)
{
    model_->removeRecordAtRows({6, 3, 5});
    ASSERT_TRUE(fixture_->waitForIdle());
    VORN_WAIT_UNTIL(fixture_->document.removedRows.size() == 3, 10000);
    EXPECT_EQ(fixture_->document.removedRows, (QList<qint64>{3, 4, 4}));
    EXPECT_EQ(fixture_->document.reservations, QStringList{"Removing record(s)"});
    EXPECT_EQ(fixture_->document.cancelledUpdates, 0);
    const QStringList left{"1:n1", "2:n2", "4:n4", "7:n7", "8:n8"};
    EXPECT_EQ(shown(), left);
    EXPECT_EQ(stored(), left);
}

TEST_F(ResultsetEditingTest, RemovingWhileAddingDropsOnlyTheNewRow)
{
    ASSERT_EQ(model_->addRecordAtRow(2), 2);
    EXPECT_EQ(model_->numberOfRowsInResultset(), 9);
    EXPECT_FALSE(model_->objectValueForColumn("id", 2).isValid());
    model_->removeRecordAtRows({2, 5});
    EXPECT_EQ(fixture_->document.removedRows, QList<qint64>{2});
    EXPECT_EQ(fixture_->document.willUpdates, 1);
    EXPECT_TRUE(fixture_->document.reservations.isEmpty());
    EXPECT_EQ(model_->editingRowNumber(), -1);
    EXPECT_EQ(shown(), stored());
}

TEST_F(ResultsetEditingTest, ACopyLeavesTheKeyAndLargeObjectsEmpty)
{
    ASSERT_TRUE(model_->loadBlob("data", QCoreApplication::applicationFilePath(), 4));
    EXPECT_FALSE(model_->blobValueIsEmpty("data", 4));
    EXPECT_TRUE(model_->blobValueIsEmpty("data", 5));
    EXPECT_TRUE(model_->columnIsBlob("data"));

    ASSERT_EQ(model_->duplicateRowAt(4), 4);
    EXPECT_FALSE(model_->objectValueForColumn("id", 4).isValid());
    EXPECT_EQ(model_->objectValueForColumn("name", 4).toString(), "n4");
    model_->setValueOfColumn("id", 4, "40");
    ASSERT_TRUE(model_->shouldEndEdit());
    EXPECT_EQ(model_->objectValueForColumn("id", 4).toString(), "40");
    EXPECT_TRUE(model_->blobValueIsEmpty("data", 4));
    EXPECT_FALSE(model_->blobValueIsEmpty("data", 5));
    EXPECT_EQ(stored().last(), "40:n4");
}

TEST(ResultsetEditorTextTest, LongTextsAreEditedInSeveralLines)
{
    struct Case {
        QString text;
        bool large;
    };
    const Case cases[] = {
        {QString(1001, 'x'), true},
        {QString(1000, 'x'), false},
        {QString(996, 'x') + "\n\n" + "xx", false},
        {"a\nb\nc\nd", true},
        {"", false},
    };
    for (const Case &c : cases)
        EXPECT_EQ(ResultsetController::isLargeString(c.text), c.large) << c.text.left(20).toStdString();
}

TEST(ResultsetEditorTextTest, TheDateIsTheFormattedMomentUpToItsBlank)
{
    struct Case {
        QString formatted;
        bool roundMidnight;
        QString date;
    };
    const Case cases[] = {
        {"09-12-2026 13:14:15.5", true, "09-12-2026"},
        {"09-12-2026 13:14:15.5", false, "09-12-2026 00:00:00.0"},
        {"2026-12-09", false, "2026-12-09"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(ResultsetController::dateValue(c.formatted, c.roundMidnight), c.date);
}
