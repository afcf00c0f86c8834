// Editing in the result grid over a real SQLite table, offscreen: new and copied records and where they
// go, Return moving on, removals from the context row, cancelling, and a NULL cell left untouched.
#include "ResultsetTestSupport.h"
#include "WaitFor.h"
#include "resultset/CellEditorControllerViewController.h"
#include "resultset/ResultsetController.h"
#include "resultset/ResultsetTableModel.h"
#include "resultset/ResultsetViewController.h"

#include <QApplication>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace
{
class ResultsetGridEditingTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        fixture_ = std::make_unique<ResultsetFixture>(sqliteTarget(folder_), 2000);
        ASSERT_TRUE(fixture_->root.run("CREATE TABLE item (id INTEGER PRIMARY KEY, name VARCHAR(40))"));
        for (int id = 1; id <= 8; ++id)
            ASSERT_TRUE(fixture_->root.run(QString("INSERT INTO item VALUES (%1, 'n%1')").arg(id)));
        ASSERT_TRUE(fixture_->showTable("item"));
        grid_.view()->resize(800, 400);
        grid_.view()->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(grid_.view()));
        fixture_->document.grid = &grid_;
        grid_.setResultsetController(fixture_->controller.get());
    }

    void TearDown() override
    {
        grid_.setResultsetController(nullptr);
        if (fixture_)
            fixture_->document.grid = nullptr;
        fixture_.reset();
    }

    QTableView *table() const { return grid_.tableView(); }
    QString cell(int row, int column) const
    {
        return grid_.tableModel()->index(row, column).data().toString();
    }
    QStringList ids() const
    {
        QStringList shown;
        for (int row = 0; row < grid_.tableModel()->rowCount(); ++row)
            shown << cell(row, 1);
        return shown;
    }
    QList<int> selectedRows() const
    {
        QList<int> rows;
        for (const QModelIndex &index : table()->selectionModel()->selectedRows())
            rows << index.row();
        std::sort(rows.begin(), rows.end());
        return rows;
    }
    QLineEdit *editor() const { return qobject_cast<QLineEdit *>(QApplication::focusWidget()); }
    void type(const QString &text)
    {
        ASSERT_TRUE(editor());
        editor()->selectAll();
        QTest::keyClicks(editor(), text);
    }

    QTemporaryDir folder_;
    std::unique_ptr<ResultsetFixture> fixture_;
    ResultsetViewController grid_;
};
} // namespace

TEST_F(ResultsetGridEditingTest, NewRecordsGoAtTheSelectedRowOrTheTop)
{
    EXPECT_TRUE(grid_.validateAction("addRow:"));
    EXPECT_FALSE(grid_.validateAction("deleteRow:"));
    grid_.addRow(nullptr);
    EXPECT_EQ(grid_.tableModel()->rowCount(), 9);
    EXPECT_EQ(selectedRows(), QList<int>{0});
    ASSERT_WAIT_FOR(editor() != nullptr);
    EXPECT_EQ(table()->currentIndex().column(), 1);
    type("20");
    QTest::keyClick(editor(), Qt::Key_Return);
    ASSERT_WAIT_FOR(fixture_->controller->editingRowNumber() == -1);
    EXPECT_EQ(selectedRows(), QList<int>{1});
    EXPECT_EQ(ids().mid(0, 3), (QStringList{"20", "1", "2"}));

    // With row 5 selected the copy becomes row 5 and the old row 5 moves to 6.
    table()->selectRow(5);
    grid_.duplicate(nullptr);
    EXPECT_EQ(selectedRows(), QList<int>{5});
    EXPECT_EQ(cell(5, 2), "n5");
    EXPECT_EQ(cell(5, 1), "");
    EXPECT_EQ(cell(6, 1), "5");
    ASSERT_WAIT_FOR(editor() != nullptr);
    type("50");
    QTest::keyClick(editor(), Qt::Key_Return);
    ASSERT_WAIT_FOR(fixture_->controller->editingRowNumber() == -1);
    EXPECT_EQ(ids(), (QStringList{"20", "1", "2", "3", "4", "50", "5", "6", "7", "8"}));
}

TEST_F(ResultsetGridEditingTest, ReturnInTheLastRowLeavesNoSelection)
{
    const int last = grid_.tableModel()->rowCount() - 1;
    table()->selectRow(last);
    const QModelIndex name = grid_.tableModel()->index(last, 2);
    table()->setCurrentIndex(name);
    table()->edit(name);
    ASSERT_WAIT_FOR(editor() != nullptr);
    type("last");
    QTest::keyClick(editor(), Qt::Key_Return);
    ASSERT_WAIT_FOR(fixture_->controller->editingRowNumber() == -1);
    ASSERT_WAIT_FOR(selectedRows().isEmpty());
    EXPECT_EQ(cell(last, 2), "last");
}

TEST_F(ResultsetGridEditingTest, ContextRemovalTakesTheSelectionOnlyWhenClickedInside)
{
    table()->selectionModel()->select(grid_.tableModel()->index(1, 0),
                                      QItemSelectionModel::Select | QItemSelectionModel::Rows);
    table()->selectionModel()->select(grid_.tableModel()->index(2, 0),
                                      QItemSelectionModel::Select | QItemSelectionModel::Rows);
    grid_.deleteRowFromContext(6);
    ASSERT_TRUE(fixture_->waitForIdle());
    ASSERT_WAIT_FOR(grid_.tableModel()->rowCount() == 7);
    EXPECT_EQ(ids(), (QStringList{"1", "2", "3", "4", "5", "6", "8"}));

    table()->clearSelection();
    table()->selectionModel()->select(grid_.tableModel()->index(1, 0),
                                      QItemSelectionModel::Select | QItemSelectionModel::Rows);
    table()->selectionModel()->select(grid_.tableModel()->index(2, 0),
                                      QItemSelectionModel::Select | QItemSelectionModel::Rows);
    grid_.deleteRowFromContext(2);
    ASSERT_TRUE(fixture_->waitForIdle());
    ASSERT_WAIT_FOR(grid_.tableModel()->rowCount() == 5);
    EXPECT_EQ(ids(), (QStringList{"1", "4", "5", "6", "8"}));
    EXPECT_EQ(selectedRows(), QList<int>{1});
}

TEST_F(ResultsetGridEditingTest, CancelRestoresTheRowAndTwoSelectedRowsAreNotEdited)
{
    table()->selectRow(3);
    const QModelIndex name = grid_.tableModel()->index(3, 2);
    table()->edit(name);
    ASSERT_WAIT_FOR(editor() != nullptr);
    type("typed");
    table()->setFocus(); // hands the text over
    EXPECT_EQ(cell(3, 2), "typed");
    EXPECT_TRUE(grid_.validateAction("cancel:"));
    grid_.cancel(nullptr);
    EXPECT_EQ(cell(3, 2), "n4");
    EXPECT_EQ(selectedRows(), QList<int>{3});
    EXPECT_EQ(fixture_->controller->editingRowNumber(), -1);

    // A new record cancelled goes again.
    grid_.addRow(nullptr);
    EXPECT_EQ(grid_.tableModel()->rowCount(), 9);
    grid_.cancel(nullptr);
    EXPECT_EQ(grid_.tableModel()->rowCount(), 8);
    EXPECT_EQ(cell(3, 1), "4");

    table()->selectionModel()->select(grid_.tableModel()->index(4, 0),
                                      QItemSelectionModel::Select | QItemSelectionModel::Rows);
    ASSERT_EQ(selectedRows().size(), 2);
    table()->edit(grid_.tableModel()->index(4, 2));
    QApplication::processEvents();
    EXPECT_EQ(editor(), nullptr);
}

TEST_F(ResultsetGridEditingTest, AnUntouchedNullCellStaysNull)
{
    ASSERT_TRUE(fixture_->root.run("UPDATE item SET name = NULL WHERE id = 2"));
    ASSERT_TRUE(fixture_->showTable("item"));
    grid_.resultsetReset();
    table()->selectRow(1);
    table()->edit(grid_.tableModel()->index(1, 2));
    ASSERT_WAIT_FOR(editor() != nullptr);
    table()->setFocus();
    EXPECT_TRUE(fixture_->controller->shouldEndEdit());
    EXPECT_TRUE(fixture_->document.reservations.isEmpty());
    EXPECT_FALSE(grid_.tableModel()->index(1, 2).data().isValid());
}

TEST_F(ResultsetGridEditingTest, ThePopupEditorWritesOnCloseAndStartsEachCellWithoutUndo)
{
    table()->selectRow(2);
    table()->setCurrentIndex(grid_.tableModel()->index(2, 2));
    grid_.edit(nullptr);
    CellEditorControllerViewController *popup = grid_.cellEditor();
    ASSERT_TRUE(popup && popup->active());
    EXPECT_EQ(popup->stringValue(), "n3");
    EXPECT_FALSE(popup->textView()->document()->isUndoAvailable());
    QTest::keyClicks(popup->textView(), " and more");
    EXPECT_TRUE(popup->textView()->document()->isUndoAvailable());
    popup->hide();
    EXPECT_FALSE(popup->active());
    EXPECT_EQ(cell(2, 2), "n3 and more");

    // Another cell of the row being edited starts again without undo.
    table()->setCurrentIndex(grid_.tableModel()->index(2, 1));
    grid_.edit(nullptr);
    ASSERT_TRUE(popup->active());
    EXPECT_FALSE(popup->textView()->document()->isUndoAvailable());
    QTest::keyClicks(popup->textView(), "9");
    popup->hide();
    EXPECT_EQ(cell(2, 1), "39");
    ASSERT_TRUE(fixture_->controller->shouldEndEdit());
    EXPECT_EQ(cell(2, 1), "39");
    EXPECT_EQ(cell(2, 2), "n3 and more");
}
