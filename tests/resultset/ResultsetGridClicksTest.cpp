// The grid's click rules, the mark of the row with unsent changes, the items of a cell editor's context
// menu and a column dragged out by its header, offscreen over a real SQLite table with a large-object
// column; sequences on the PostgreSQL and MariaDB test servers.
#include "ResultsetTestSupport.h"
#include "TestServers.h"
#include "WaitFor.h"
#include "kit/DragAndDropItemSource.h"
#include "kit/DragAndDroppableTableView.h"
#include "kit/DragAndDroppableTableViewOtherView.h"
#include "kit/DragAndDroppableTableViewSourceView.h"
#include "resultset/CellEditorControllerViewController.h"
#include "resultset/ResultsetController.h"
#include "resultset/ResultsetHeaderView.h"
#include "resultset/ResultsetRowNumberDelegate.h"
#include "resultset/ResultsetTableModel.h"
#include "resultset/ResultsetViewController.h"

#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

namespace
{
class GridFixture
{
public:
    explicit GridFixture(const DatabaseTarget &target)
        : fixture(std::make_unique<ResultsetFixture>(target, 2000))
    {
    }

    ~GridFixture()
    {
        grid.setResultsetController(nullptr);
        fixture->document.grid = nullptr;
    }

    ::testing::AssertionResult show(const QString &table)
    {
        if (::testing::AssertionResult shown = fixture->showTable(table); !shown)
            return shown;
        grid.view()->resize(800, 400);
        grid.view()->show();
        if (!QTest::qWaitForWindowExposed(grid.view()))
            return ::testing::AssertionFailure() << "the grid is not shown";
        fixture->document.grid = &grid;
        grid.setResultsetController(fixture->controller.get());
        return ::testing::AssertionSuccess();
    }

    QTableView *table() const { return grid.tableView(); }
    QModelIndex index(int row, int column) const { return grid.tableModel()->index(row, column); }
    QString cell(int row, int column) const { return index(row, column).data().toString(); }
    QLineEdit *editor() const { return qobject_cast<QLineEdit *>(QApplication::focusWidget()); }
    QPoint centre(int row, int column) const { return table()->visualRect(index(row, column)).center(); }
    void click(int row, int column, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::mouseClick(table()->viewport(), Qt::LeftButton, modifiers, centre(row, column));
    }
    void doubleClick(int row, int column, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        click(row, column, modifiers);
        QTest::mouseDClick(table()->viewport(), Qt::LeftButton, modifiers, centre(row, column));
    }

    std::unique_ptr<ResultsetFixture> fixture;
    ResultsetViewController grid;
};

class ResultsetGridClicksTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        grid_ = std::make_unique<GridFixture>(sqliteTarget(folder_));
        ResultsetFixture &f = *grid_->fixture;
        ASSERT_TRUE(f.root.run("CREATE TABLE item (id INTEGER PRIMARY KEY, name VARCHAR(40), data BLOB)"));
        for (int id = 1; id <= 5; ++id)
            ASSERT_TRUE(f.root.run(QString("INSERT INTO item (id, name) VALUES (%1, 'n%1')").arg(id)));
        ASSERT_TRUE(grid_->show("item"));
    }

    QTemporaryDir folder_;
    std::unique_ptr<GridFixture> grid_;
};

// The context menu that is open; null when none is.
QMenu *shownMenu()
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (auto *menu = qobject_cast<QMenu *>(widget); menu && menu->isVisible())
            return menu;
    }
    return nullptr;
}

// Records what a drag would carry, and starts none.
class RefusingDragDelegate : public DragAndDroppableTableViewDelegate
{
public:
    DragAndDropItemSource *dragAndDroppableTableViewItemFromPasteboard(DragAndDroppableTableView *,
                                                                       const QMimeData *data) override
    {
        ++asked;
        formats = data->formats();
        return nullptr;
    }
    int asked = 0;
    QStringList formats;
};
} // namespace

TEST_F(ResultsetGridClicksTest, AltClickOnTheSelectedRowOpensThePopupButNotOnALargeObject)
{
    GridFixture &g = *grid_;
    g.click(1, 2);
    EXPECT_FALSE(g.grid.cellEditor() && g.grid.cellEditor()->active()) << "a plain click only selects";

    g.click(1, 2, Qt::AltModifier);
    CellEditorControllerViewController *popup = g.grid.cellEditor();
    ASSERT_TRUE(popup && popup->active());
    EXPECT_EQ(popup->editingRow(), 1);
    EXPECT_EQ(popup->editingColumnName(), "name");
    EXPECT_EQ(popup->stringValue(), "n2");
    popup->hide();

    g.click(2, 3, Qt::AltModifier);
    EXPECT_FALSE(popup->active()) << "a large object is not typed into";
    EXPECT_EQ(g.editor(), nullptr);
}

TEST_F(ResultsetGridClicksTest, DoubleClickTypesInPlaceButNotWithAlt)
{
    GridFixture &g = *grid_;
    g.doubleClick(3, 2, Qt::AltModifier);
    QApplication::processEvents();
    EXPECT_EQ(g.editor(), nullptr);

    g.doubleClick(3, 2);
    ASSERT_WAIT_FOR(g.editor() != nullptr);
    EXPECT_EQ(g.editor()->text(), "n4");
    EXPECT_EQ(g.table()->currentIndex(), g.index(3, 2));
}

TEST_F(ResultsetGridClicksTest, TheRowWithUnsentChangesIsMarkedUntilItIsWritten)
{
    GridFixture &g = *grid_;
    auto *rowNumbers = qobject_cast<ResultsetRowNumberDelegate *>(g.table()->itemDelegateForColumn(0));
    ASSERT_NE(rowNumbers, nullptr);
    g.doubleClick(2, 2);
    ASSERT_WAIT_FOR(g.editor() != nullptr);
    EXPECT_FALSE(rowNumbers->isEdited(2)) << "nothing typed yet";
    g.editor()->setText("changed");
    g.table()->setFocus();
    EXPECT_TRUE(rowNumbers->isEdited(2));
    EXPECT_FALSE(rowNumbers->isEdited(1));

    g.grid.cancel(nullptr);
    EXPECT_FALSE(rowNumbers->isEdited(2)) << "a dropped edit leaves no mark";

    g.doubleClick(2, 2);
    ASSERT_WAIT_FOR(g.editor() != nullptr);
    g.editor()->setText("written");
    g.table()->setFocus();
    ASSERT_TRUE(rowNumbers->isEdited(2));
    g.table()->selectRow(4);
    ASSERT_TRUE(g.fixture->waitForIdle());
    EXPECT_FALSE(rowNumbers->isEdited(2)) << "the row was written when the selection left it";
    EXPECT_EQ(g.cell(2, 2), "written");
    EXPECT_FALSE(ResultsetRowNumberDelegate::editedToolTip().isEmpty());
}

TEST_F(ResultsetGridClicksTest, TheCellEditorsMenuInsertsDatesAndIgnoresMalformedSequenceItems)
{
    GridFixture &g = *grid_;
    g.doubleClick(0, 2);
    ASSERT_WAIT_FOR(g.editor() != nullptr);
    QLineEdit *editor = g.editor();
    ASSERT_EQ(editor->contextMenuPolicy(), Qt::CustomContextMenu);
    emit editor->customContextMenuRequested(QPoint(2, 2));
    QMenu *menu = shownMenu();
    ASSERT_NE(menu, nullptr);
    QStringList titles;
    for (QAction *item : menu->actions())
        titles << item->text();
    EXPECT_TRUE(titles.contains("Insert Current Date"));
    EXPECT_EQ(titles.last(), "Insert Current Time and Date");
    EXPECT_FALSE(titles.join("|").contains("Use Sequence")) << "SQLite has no sequences";
    EXPECT_GT(titles.indexOf("Insert Current Date"), 2) << "after the standard text commands";
    menu->actions()[titles.indexOf("Insert Current Date")]->trigger();
    menu->close();
    EXPECT_EQ(editor->text(), g.fixture->controller->dateValueForEditor());

    QObject malformed;
    malformed.setProperty("representedObject", QStringList{"only one"});
    g.grid.selectSequence(&malformed);
    g.grid.selectSequence(nullptr);
    EXPECT_EQ(editor->text(), g.fixture->controller->dateValueForEditor());
}

TEST_F(ResultsetGridClicksTest, AHeaderDraggedDownDragsItsWholeColumnButNotALargeObject)
{
    GridFixture &g = *grid_;
    auto *view = qobject_cast<DragAndDroppableTableView *>(g.table());
    ASSERT_NE(view, nullptr);
    RefusingDragDelegate drags;
    view->setDragDelegate(&drags);
    auto *header = qobject_cast<ResultsetHeaderView *>(g.table()->horizontalHeader());
    ASSERT_NE(header, nullptr);
    const auto dragDown = [&](int column) {
        const QPoint start(header->sectionViewportPosition(column) + header->sectionSize(column) / 2, 8);
        QTest::mousePress(header->viewport(), Qt::LeftButton, {}, start);
        QMouseEvent move(QEvent::MouseMove, QPointF(start) + QPointF(0, 4),
                         header->viewport()->mapToGlobal(start), Qt::NoButton, Qt::LeftButton,
                         Qt::NoModifier);
        QApplication::sendEvent(header->viewport(), &move);
        QTest::mouseRelease(header->viewport(), Qt::LeftButton, {}, start + QPoint(0, 4));
    };
    dragDown(2);
    EXPECT_EQ(drags.asked, 1) << "the name column goes out";
    EXPECT_FALSE(drags.formats.isEmpty());
    dragDown(3);
    dragDown(0);
    EXPECT_EQ(drags.asked, 1) << "neither the large object nor the row numbers";
    view->setDragDelegate(nullptr);
}

class ResultsetSequenceMenuTest : public ::testing::TestWithParam<QString>
{
protected:
    void SetUp() override
    {
        auto server = serverTarget(GetParam());
        VORN_REQUIRE_SERVER(server, GetParam().toStdString());
        grid_ = std::make_unique<GridFixture>(*server);
        ResultsetFixture &f = *grid_->fixture;
        for (const QString &sql :
             {QString("DROP TABLE IF EXISTS vgc_item"), QString("DROP SEQUENCE IF EXISTS vgc_seq"),
              QString("CREATE TABLE vgc_item (id INTEGER NOT NULL PRIMARY KEY, name VARCHAR(40))"),
              QString("INSERT INTO vgc_item VALUES (1, 'one')"),
              QString("CREATE SEQUENCE vgc_seq START WITH 41")})
            ASSERT_TRUE(f.root.run(sql)) << sql.toStdString();
        ASSERT_TRUE(grid_->show("vgc_item"));
    }

    std::unique_ptr<GridFixture> grid_;
};

TEST_P(ResultsetSequenceMenuTest, ASequenceItemTypesTheNextValueAndIsOfferedFirstNextTime)
{
    GridFixture &g = *grid_;
    QString last;
    EXPECT_TRUE(g.fixture->controller->sequencesForColumn("id", &last).contains("vgc_seq"));
    EXPECT_TRUE(last.isEmpty());

    g.doubleClick(0, 1);
    ASSERT_WAIT_FOR(g.editor() != nullptr);
    emit g.editor()->customContextMenuRequested(QPoint(2, 2));
    QMenu *shown = shownMenu();
    ASSERT_NE(shown, nullptr);
    QMenu *sequences = shown->findChild<QMenu *>("sequenceMenu");
    ASSERT_NE(sequences, nullptr);
    QAction *item = nullptr;
    for (QAction *action : sequences->actions()) {
        if (action->text() == "vgc_seq")
            item = action;
    }
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->property("representedObject").toStringList(), (QStringList{"vgc_seq", "id"}));
    item->trigger();
    shown->close();
    EXPECT_EQ(g.editor()->text(), "41");

    // The sequence used last heads the next menu.
    emit g.editor()->customContextMenuRequested(QPoint(2, 2));
    shown = shownMenu();
    ASSERT_NE(shown, nullptr);
    QStringList titles;
    for (QAction *action : shown->actions())
        titles << action->text();
    shown->close();
    EXPECT_TRUE(titles.contains("Use Sequence \"vgc_seq\"")) << titles.join(", ").toStdString();
}

INSTANTIATE_TEST_SUITE_P(Servers, ResultsetSequenceMenuTest, ::testing::Values("PostgreSQL", "MySQL"));
