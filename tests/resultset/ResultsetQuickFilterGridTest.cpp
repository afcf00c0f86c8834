// The quick-filter bar, the drags of values and the context menu of the grid over a real table, in
// SQLite and PostgreSQL: typed and dropped conditions filter the rows, dragged cells carry their values
// and the condition the database words for them, and the menu offers to filter by a cell's value.
#include "ResultsetTestSupport.h"
#include "TestServers.h"
#include "WaitFor.h"
#include "kit/DragAndDroppableTableView.h"
#include "platform/NotificationCenter.h"
#include "resultset/Filter.h"
#include "resultset/QuickFilterController.h"
#include "resultset/QuickFilterItem.h"
#include "resultset/QuickFilterView.h"
#include "resultset/ResultsetSplitView.h"
#include "resultset/ResultsetTableModel.h"
#include "resultset/ResultsetViewController.h"

#include <QComboBox>
#include <QDropEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace
{
class ResultsetQuickFilterGridTest : public ResultsetDatabaseTest
{
protected:
    void SetUp() override
    {
        ResultsetDatabaseTest::SetUp();
        if (IsSkipped())
            return;
        fixture_ = std::make_unique<ResultsetFixture>(target_, 2000);
        const QString blob = GetParam() == "PostgreSQL" ? "BYTEA" : "BLOB";
        for (const QString &sql :
             {QString("DROP TABLE IF EXISTS vqf_member"),
              QString("CREATE TABLE vqf_member (id INTEGER NOT NULL PRIMARY KEY, name VARCHAR(40), "
                      "city VARCHAR(40), photo %1)")
                  .arg(blob),
              QString(
                  "INSERT INTO vqf_member (id, name, city) VALUES (1, 'Ann', 'Oslo'), (2, 'Bob', 'Rome'), "
                  "(3, 'Cas', 'Oslo'), (4, 'O''Neil', NULL)")})
            ASSERT_TRUE(fixture_->root.run(sql)) << sql.toStdString();
        ASSERT_TRUE(fixture_->showTable("vqf_member"));
        model_ = fixture_->controller.get();
        grid_.view()->resize(900, 500);
        grid_.view()->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(grid_.view()));
        fixture_->document.grid = &grid_;
        grid_.setResultsetController(model_);
    }

    void TearDown() override
    {
        grid_.setResultsetController(nullptr);
        if (fixture_)
            fixture_->root.run("DROP TABLE IF EXISTS vqf_member");
    }

    QStringList names() const
    {
        QStringList shown;
        const int column = grid_.tableModel()->columnForIdentifier("name");
        for (int row = 0; row < grid_.tableModel()->rowCount(); ++row)
            shown << grid_.tableModel()->index(row, column).data().toString();
        return shown;
    }

    QModelIndexList cells(const QString &column, const QList<int> &rows) const
    {
        QModelIndexList indexes;
        for (int row : rows)
            indexes << grid_.tableModel()->index(row, grid_.tableModel()->columnForIdentifier(column));
        return indexes;
    }

    QuickFilterController *bar() const { return grid_.quickFilterController(); }

    void choose(QComboBox *menu, const QString &code)
    {
        const int index = menu->findData(code);
        ASSERT_GE(index, 0) << code.toStdString();
        menu->setCurrentIndex(index);
        emit menu->activated(index);
    }

    // Outlives the fixture, whose document lets go of it.
    ResultsetViewController grid_;
    std::unique_ptr<ResultsetFixture> fixture_;
    ResultsetController *model_ = nullptr;
};

INSTANTIATE_TEST_SUITE_P(Databases, ResultsetQuickFilterGridTest, ::testing::Values("SQLite", "PostgreSQL"),
                         [](const auto &info) { return info.param.toStdString(); });

TEST_P(ResultsetQuickFilterGridTest, AConditionTypedIntoTheBarFiltersTheGrid)
{
    ASSERT_EQ(bar()->rows().size(), 1);
    EXPECT_EQ(grid_.resultsetSplitView()->topPane()->height(), 30);
    const QList<VisualShortcut> shortcuts = grid_.visualShortcuts();
    ASSERT_EQ(shortcuts.size(), 2);
    EXPECT_EQ(shortcuts[1].keyEquivalent, "f");
    EXPECT_EQ(shortcuts[1].modifierFlags, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_EQ(shortcuts[1].subTitle, "Select the QuickFilter");
    QuickFilterItem *row = bar()->rows().first();
    choose(row->columnsMenu(), "city");
    choose(row->operatorsMenu(), "=");
    QTest::keyClicks(row->searchField(), "Oslo");
    ASSERT_TRUE(fixture_->waitForIdle());
    ASSERT_WAIT_FOR_EQ(names(), (QStringList{"Ann", "Cas"}));
    EXPECT_EQ(model_->quickFilterColumnValues(), QVariantList{"Oslo"});

    // A quote in the value is a value, not SQL.
    choose(row->columnsMenu(), "name");
    choose(row->operatorsMenu(), "=");
    row->searchField()->selectAll();
    QTest::keyClicks(row->searchField(), "O'Neil");
    ASSERT_TRUE(fixture_->waitForIdle());
    ASSERT_WAIT_FOR_EQ(names(), QStringList{"O'Neil"});
}

TEST_P(ResultsetQuickFilterGridTest, ACustomConditionRefusedWhileTypingKeepsTheRowsFilterable)
{
    model_->updateQuickFilterWithColumns({"city"}, {"="}, {"Oslo"});
    ASSERT_TRUE(fixture_->waitForIdle());
    ASSERT_WAIT_FOR_EQ(names(), (QStringList{"Ann", "Cas"}));
    grid_.resultsetReset();
    QuickFilterItem *row = bar()->rows().first();
    choose(row->columnsMenu(), "__CUSTOM_FILTER__");
    ASSERT_TRUE(fixture_->waitForIdle());
    // Halfway through typing the condition is no SQL the database takes.
    row->textField()->setPlainText("id >");
    ASSERT_TRUE(fixture_->waitForIdle());
    EXPECT_FALSE(model_->quickFilterValid());
    EXPECT_TRUE(model_->canRefresh()) << "the rows shown are still the table's";
    EXPECT_FALSE(model_->disableQuickFilter());
    ASSERT_WAIT_FOR_EQ(grid_.resultsetSplitView()->topPane()->height(), 4 + 72);
    row->textField()->setPlainText("id > 2");
    ASSERT_TRUE(fixture_->waitForIdle());
    ASSERT_WAIT_FOR_EQ(names(), (QStringList{"Cas", "O'Neil"}));
    EXPECT_TRUE(model_->quickFilterValid());
}

TEST_P(ResultsetQuickFilterGridTest, DraggedCellsCarryTheirValuesAndTheirCondition)
{
    std::unique_ptr<QMimeData> data(grid_.tableModel()->mimeData(cells("city", {0, 1, 2})));
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(data->text(), "Oslo\nRome\n");
    const FilterPtr filter = Filter::fromArchive(data->data(Filter::filterItemType));
    ASSERT_NE(filter, nullptr);
    EXPECT_EQ(filter->columnName(), "city");
    EXPECT_EQ(filter->values(), (QStringList{"Oslo", "Rome"}));
    EXPECT_EQ(filter->rowIndexes(), (QList<qint64>{0, 1, 2}));
    EXPECT_FALSE(filter->isNot());
    ASSERT_NE(filter->element(), nullptr);
    EXPECT_EQ(filter->element()->name(), "vqf_member");
    EXPECT_EQ(filter->element()->browserType(), BrowserElement::Table);
    const QString condition = QString::fromUtf8(data->data(Filter::sqlFilterItemType));
    EXPECT_TRUE(condition.contains("IN")) << condition.toStdString();
    EXPECT_TRUE(condition.contains("'Oslo'")) << condition.toStdString();

    // Alt during the drag negates it, and back.
    grid_.dragAndDroppableTableViewNeedsUpdatedPasteboard(nullptr, data.get(), Qt::AltModifier);
    EXPECT_TRUE(Filter::fromArchive(data->data(Filter::filterItemType))->isNot());
    const QString negated = QString::fromUtf8(data->data(Filter::sqlFilterItemType));
    EXPECT_TRUE(negated.contains("NOT")) << negated.toStdString();
    grid_.dragAndDroppableTableViewNeedsUpdatedPasteboard(nullptr, data.get(), Qt::NoModifier);
    EXPECT_FALSE(Filter::fromArchive(data->data(Filter::filterItemType))->isNot());
    EXPECT_EQ(QString::fromUtf8(data->data(Filter::sqlFilterItemType)), condition);

    // Nothing to drag from the row numbers or a large object.
    EXPECT_EQ(std::unique_ptr<QMimeData>(grid_.tableModel()->mimeData({grid_.tableModel()->index(0, 0)})),
              nullptr);
    EXPECT_EQ(std::unique_ptr<QMimeData>(grid_.tableModel()->mimeData(cells("photo", {0, 1}))), nullptr);
}

TEST_P(ResultsetQuickFilterGridTest, AGridValueDroppedOnTheBarFiltersByIt)
{
    std::unique_ptr<QMimeData> data(grid_.tableModel()->mimeData(cells("name", {1})));
    ASSERT_NE(data, nullptr);
    QuickFilterView *view = bar()->view();
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view, &enter);
    ASSERT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view, &drop);
    ASSERT_TRUE(fixture_->waitForIdle());
    ASSERT_WAIT_FOR_EQ(names(), QStringList{"Bob"});
    ASSERT_EQ(bar()->rows().size(), 1) << "the blank row took the value";
    EXPECT_EQ(bar()->request(), (QuickFilterRequest{{"name"}, {"="}, {"Bob"}}));

    // Two values become one custom condition worded by the database.
    Filter pair;
    pair.setColumnName("city");
    pair.setValues({"Oslo", "Rome"});
    bar()->quickFilterReceivedFilterItem(pair);
    ASSERT_TRUE(fixture_->waitForIdle());
    ASSERT_EQ(bar()->rows().size(), 2);
    EXPECT_TRUE(bar()->rows()[1]->isCustomFilter());
    EXPECT_EQ(bar()->requiredHeight(), 4 + 26 + 72);
    ASSERT_WAIT_FOR_EQ(names(), QStringList{"Bob"});
    ASSERT_WAIT_FOR_EQ(grid_.resultsetSplitView()->topPane()->height(), 102);
}

TEST_P(ResultsetQuickFilterGridTest, DragsAreAnnouncedWithTheirFilter)
{
    QStringList seen;
    NotificationCenter &center = NotificationCenter::defaultCenter();
    QList<QString> columns;
    auto observe = [&](const QString &name) {
        return center.addObserver(name, nullptr, [&seen, &columns, name](const Notification &notification) {
            seen << name;
            columns << qvariant_cast<FilterPtr>(notification.userInfo.value("filter"))->columnName();
        });
    };
    const auto began = observe(ResultsetViewController::beganDragNotification);
    const auto updated = observe(ResultsetViewController::updatedDragNotification);
    const auto ended = observe(ResultsetViewController::endedDragNotification);
    std::unique_ptr<QMimeData> data(grid_.tableModel()->mimeData(cells("city", {0})));
    grid_.dragAndDroppableTableViewDragBegan(nullptr);
    grid_.dragAndDroppableTableViewDragMoved(nullptr);
    grid_.dragAndDroppableTableViewNeedsUpdatedPasteboard(nullptr, data.get(), Qt::AltModifier);
    grid_.dragAndDroppableTableViewDragMoved(nullptr);
    grid_.dragAndDroppableTableViewDragEnded(nullptr);
    for (const auto &observer : {began, updated, ended})
        center.removeObserver(observer);
    EXPECT_EQ(seen, (QStringList{ResultsetViewController::beganDragNotification,
                                 ResultsetViewController::updatedDragNotification,
                                 ResultsetViewController::endedDragNotification}))
        << "a move announces only a change of the modifiers";
    EXPECT_EQ(columns, (QList<QString>{"city", "city", "city"}));
}

TEST_P(ResultsetQuickFilterGridTest, TheContextMenuFiltersByTheClickedValue)
{
    const int nameColumn = grid_.tableModel()->columnForIdentifier("name");
    auto titles = [](QMenu *menu) {
        QStringList list;
        for (QAction *action : menu->actions())
            list << (action->isSeparator() ? QString("---") : action->text());
        return list;
    };
    std::unique_ptr<QMenu> menu(
        grid_.dragAndDroppableTableViewNeedsMenuForRow(nullptr, 0, nameColumn, false));
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(titles(menu.get()),
              (QStringList{"Refresh", "Add record", "Remove record", "Duplicate record", "---",
                           "Find name: \"Ann\" in vqf_member", "---", "Edit Value", "Edit Record"}))
        << "no add item while nothing filters";
    EXPECT_EQ(grid_.dragAndDroppableTableViewNeedsMenuForRow(nullptr, 4, nameColumn, false), nullptr)
        << "below the last row";
    EXPECT_EQ(grid_.dragAndDroppableTableViewNeedsMenuForRow(nullptr, 0, nameColumn, true), nullptr)
        << "a cell being typed into has its own menu";

    model_->updateQuickFilterWithColumns({"city"}, {"="}, {"Oslo"});
    ASSERT_TRUE(fixture_->waitForIdle());
    ASSERT_WAIT_FOR_EQ(names(), (QStringList{"Ann", "Cas"}));
    menu.reset(grid_.dragAndDroppableTableViewNeedsMenuForRow(nullptr, 1, nameColumn, false));
    ASSERT_NE(menu, nullptr);
    const QStringList withFilter = titles(menu.get());
    ASSERT_TRUE(withFilter.contains("Add name: \"Cas\" to filter")) << withFilter.join("|").toStdString();
    for (QAction *action : menu->actions()) {
        if (action->text() == "Add name: \"Cas\" to filter")
            action->trigger();
    }
    ASSERT_TRUE(fixture_->waitForIdle());
    ASSERT_WAIT_FOR_EQ(names(), QStringList{"Cas"});
    EXPECT_EQ(bar()->request(), (QuickFilterRequest{{"city", "name"}, {"=", "="}, {"Oslo", "Cas"}}));

    menu.reset(grid_.dragAndDroppableTableViewNeedsMenuForRow(nullptr, 0, nameColumn, false));
    for (QAction *action : menu->actions()) {
        if (action->text() == "Find name: \"Cas\" in vqf_member")
            action->trigger();
    }
    ASSERT_TRUE(fixture_->waitForIdle());
    EXPECT_EQ(bar()->request(), (QuickFilterRequest{{"name"}, {"="}, {"Cas"}})) << "find replaces the filter";
}

TEST_P(ResultsetQuickFilterGridTest, TheOptionsMenuOffersStoredFiltersAndClearing)
{
    auto find = [](QMenu *menu, const QString &name) { return menu->findChild<QAction *>(name); };
    // Both databases' tables share the test's connection identifier, and so their stored filters.
    for (const QString &name : model_->availableStoredFilter())
        ASSERT_TRUE(model_->removeStoredFilter(name));
    std::unique_ptr<QMenu> menu(bar()->generateContextMenu());
    QMenu *stored = menu->findChild<QMenu *>("storedfiltermenu");
    ASSERT_NE(stored, nullptr);
    EXPECT_FALSE(stored->menuAction()->isEnabled()) << "nothing stored yet";
    EXPECT_EQ(find(menu.get(), "updateCurrentFilter"), nullptr);
    EXPECT_FALSE(find(menu.get(), "editStoredFilters")->isEnabled());
    EXPECT_TRUE(find(menu.get(), "clearFilterAndSort")->isEnabled());

    model_->updateQuickFilterWithColumns({"city"}, {"="}, {"Oslo"});
    ASSERT_TRUE(fixture_->waitForIdle());
    ASSERT_TRUE(model_->storeFilter("Oslo people"));
    menu.reset(bar()->generateContextMenu());
    stored = menu->findChild<QMenu *>("storedfiltermenu");
    ASSERT_EQ(stored->actions().size(), 1);
    EXPECT_EQ(stored->actions().first()->text(), "Oslo people");
    EXPECT_TRUE(stored->menuAction()->isEnabled());
    ASSERT_NE(find(menu.get(), "updateCurrentFilter"), nullptr);
    EXPECT_EQ(find(menu.get(), "updateCurrentFilter")->text(), "Update 'Oslo people' Filter");
    EXPECT_TRUE(find(menu.get(), "editStoredFilters")->isEnabled()) << "a stored filter can be edited";

    find(menu.get(), "clearFilterAndSort")->trigger();
    ASSERT_TRUE(fixture_->waitForIdle());
    grid_.resultsetReset(); // the document passes the model's reset on
    ASSERT_WAIT_FOR_EQ(names().size(), 4);
    EXPECT_EQ(bar()->rows().size(), 1);
    EXPECT_EQ(bar()->rows().first()->value(), "");

    menu.reset(bar()->generateContextMenu());
    stored = menu->findChild<QMenu *>("storedfiltermenu");
    ASSERT_EQ(stored->actions().size(), 1);
    stored->actions().first()->trigger();
    ASSERT_TRUE(fixture_->waitForIdle());
    grid_.resultsetReset();
    ASSERT_WAIT_FOR_EQ(names(), (QStringList{"Ann", "Cas"}));
    EXPECT_EQ(bar()->request(), (QuickFilterRequest{{"city"}, {"="}, {"Oslo"}}));
}

// PostgreSQL would make the other connection wait for this one's lock on the table.
using ResultsetQuickFilterSqliteTest = ResultsetQuickFilterGridTest;
INSTANTIATE_TEST_SUITE_P(Databases, ResultsetQuickFilterSqliteTest, ::testing::Values("SQLite"),
                         [](const auto &info) { return info.param.toStdString(); });

TEST_P(ResultsetQuickFilterSqliteTest, AFailedClearLeavesTheBarShowingWhatStillFilters)
{
    model_->updateQuickFilterWithColumns({"city"}, {"="}, {"Oslo"});
    ASSERT_TRUE(fixture_->waitForIdle());
    grid_.resultsetReset();
    ASSERT_EQ(bar()->request(), (QuickFilterRequest{{"city"}, {"="}, {"Oslo"}}));
    // Another connection takes the table away, so reading it again fails.
    ResultsetFixture other(target_, 2000);
    ASSERT_TRUE(other.root.run("DROP TABLE vqf_member"));
    std::unique_ptr<QMenu> menu(bar()->generateContextMenu());
    menu->findChild<QAction *>("clearFilterAndSort")->trigger();
    ASSERT_TRUE(fixture_->waitForIdle());
    QCoreApplication::processEvents();
    EXPECT_EQ(bar()->request(), (QuickFilterRequest{{"city"}, {"="}, {"Oslo"}}));
    EXPECT_EQ(names(), (QStringList{"Ann", "Cas"})) << "the rows the bar describes";
    EXPECT_TRUE(fixture_->alerts().join("\n").contains("reading from the resultset"));
}

TEST_P(ResultsetQuickFilterGridTest, AStatementsResultHasNoBarButItsValuesDrag)
{
    ASSERT_TRUE(fixture_->show("SELECT name FROM vqf_member"));
    grid_.resultsetReset();
    EXPECT_EQ(grid_.resultsetSplitView()->topPane()->height(), 0);
    std::unique_ptr<QMimeData> data(grid_.tableModel()->mimeData(cells("name", {0})));
    ASSERT_NE(data, nullptr);
    const FilterPtr filter = Filter::fromArchive(data->data(Filter::filterItemType));
    ASSERT_NE(filter, nullptr);
    ASSERT_NE(filter->element(), nullptr);
    EXPECT_EQ(filter->element()->browserType(), BrowserElement::StatementResult);
}

TEST(ResultsetContextMenuTest, LongValuesLoseTheirMiddleInTitles)
{
    EXPECT_EQ(ResultsetViewController::shownMenuValue("Ann"), "\"Ann\"");
    const QString thirty(28, 'a');
    EXPECT_EQ(ResultsetViewController::shownMenuValue(thirty), "\"" + thirty + "\"")
        << "30 characters quoted";
    const QString forty = QString(19, 'b') + "cc" + QString(17, 'd');
    EXPECT_EQ(ResultsetViewController::shownMenuValue(forty),
              "\"" + QString(14, 'b') + "..." + QString(14, 'd') + "\"");
}

} // namespace
