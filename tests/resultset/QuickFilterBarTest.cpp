// The quick-filter bar offscreen: its rows and their menus, the bar's heights and layout, drops, the
// management entries and the lists they make, and the split between bar and grid.
#include "WaitFor.h"
#include "resultset/Filter.h"
#include "resultset/QuickFilterController.h"
#include "resultset/QuickFilterItem.h"
#include "resultset/QuickFilterRadioItem.h"
#include "resultset/QuickFilterSearchItem.h"
#include "resultset/QuickFilterView.h"
#include "resultset/ResultsetSplitView.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QScrollArea>
#include <QStandardItemModel>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

namespace
{
QVariantMap column(const QString &name, const QString &type = "S",
                   const QStringList &operators = {"LIKE", "=", "!=", "IS NULL", "NOT IS NULL"},
                   const QString &preferred = "LIKE")
{
    return {{"name", name}, {"type", type}, {"operators", operators}, {"preferredOperator", preferred}};
}

QVariantList standardColumns()
{
    return {column("name"), column("amount", "N", {"=", ">", "<", "IS NULL"}, "="),
            column("__EMPTY__", "", {}, ""), column("__CUSTOM_FILTER__", "", {}, "")};
}

QStringList menuTitles(const QComboBox *menu)
{
    QStringList titles;
    for (int i = 0; i < menu->count(); ++i) {
        const bool separator =
            menu->itemData(i, Qt::AccessibleDescriptionRole).toString() == QLatin1String("separator");
        titles << (separator ? QStringLiteral("---") : menu->itemText(i));
    }
    return titles;
}

class RecordingDelegate : public QuickFilterControllerDelegate
{
public:
    bool quickFilter(QuickFilterController *, const QString &column, const QString &value, const QString &,
                     const QString &type) override
    {
        verified << column;
        return !(type == "N" && value.contains('x'));
    }
    void quickFilterWasUpdated(QuickFilterController *controller) override
    {
        requests << controller->request();
    }
    void quickFilterRequestsRelayout(QuickFilterController *) override { ++relayouts; }
    QString quickFilterNeedsCustomFilterForColumn(const QString &column, const QStringList &values,
                                                  bool negative) override
    {
        return QString("\"%1\" %2IN ('%3')").arg(column, negative ? "NOT " : "", values.join("', '"));
    }
    void quickFilterWantsToClearFilterAndSort(QuickFilterController *) override { ++clears; }
    void quickFilterWantsToStoreCurrentFilter(QuickFilterController *) override {}
    void quickFilterWantsToEditStoredFilters(QuickFilterController *) override {}
    ResultsetController *quickFilterNeedsResultsetControllerForFilterStorage() override { return nullptr; }

    QStringList verified;
    QList<QuickFilterRequest> requests;
    int relayouts = 0;
    int clears = 0;
};

// A bar in its scroll area, 600 wide, as the grid's split view holds it.
class QuickFilterBarTest : public ::testing::Test
{
protected:
    QuickFilterBarTest()
    {
        pane.resize(600, 200);
        bar = new QuickFilterView;
        pane.setWidget(bar);
        controller = std::make_unique<QuickFilterController>(bar, &pane);
        controller->setDelegate(&delegate);
        pane.show();
    }

    FilterPtr filter(const QString &columnName, const QStringList &values, bool negated = false)
    {
        auto item = std::make_shared<Filter>();
        item->setColumnName(columnName);
        item->setValues(values);
        item->setNot(negated);
        return item;
    }

    QScrollArea pane;
    QuickFilterView *bar = nullptr;
    RecordingDelegate delegate;
    std::unique_ptr<QuickFilterController> controller;
};

TEST(QuickFilterItemTest, TheColumnMenuFollowsTheColumnInformation)
{
    QuickFilterItem row(standardColumns());
    EXPECT_EQ(menuTitles(row.columnsMenu()), (QStringList{"name", "amount", "---", "Custom Filter"}));
    EXPECT_EQ(row.columnValue(), "name");
    EXPECT_EQ(row.operatorValue(), "LIKE") << "the preferred operator";
    EXPECT_EQ(row.view()->height(), QuickFilterItem::ordinaryHeight);
}

TEST(QuickFilterItemTest, TheSortedMenuKeepsEachColumnsOwnOperators)
{
    QuickFilterItem row({column("zeta", "S", {"LIKE"}), column("alpha", "N", {"=", ">"}, "="),
                         column("Beta", "S", {"STARTSWITH"}, "STARTSWITH"), column("__CUSTOM_FILTER__")});
    row.setUseOrderColumns(true);
    EXPECT_EQ(menuTitles(row.columnsMenu()), (QStringList{"Beta", "alpha", "zeta", "---", "Custom Filter"}));
    EXPECT_EQ(row.columnValue(), "zeta") << "the selection survives the rebuild";
    row.columnsMenu()->setCurrentIndex(1);
    emit row.columnsMenu()->activated(1);
    EXPECT_EQ(row.columnValue(), "alpha");
    EXPECT_EQ(row.operatorValue(), "=");
    EXPECT_EQ(row.operatorsMenu()->count(), 2);
    row.setUseOrderColumns(false);
    EXPECT_EQ(menuTitles(row.columnsMenu()), (QStringList{"zeta", "alpha", "Beta", "---", "Custom Filter"}));
    EXPECT_EQ(row.columnValue(), "alpha");
}

TEST(QuickFilterItemTest, AColumnNamedLikeTheCustomFilterTitleStaysAColumn)
{
    QuickFilterItem row({column("Custom Filter"), column("__CUSTOM_FILTER__")});
    row.setSelectionColumn("Custom Filter", "=", "x");
    EXPECT_FALSE(row.isCustomFilter());
    EXPECT_EQ(row.columnValue(), "Custom Filter");
    EXPECT_EQ(row.value(), "x");
}

TEST(QuickFilterItemTest, ChoosingTheCustomFilterShowsTheConditionText)
{
    QuickFilterItem row(standardColumns());
    row.view()->show();
    int updates = 0;
    struct Counter : QuickFilterItemDelegate {
        int *updates;
        void quickFilterItemWasUpdated(QuickFilterItem *) override { ++*updates; }
        void quickFilterItemWantsToBeRemoved(QuickFilterItem *) override {}
        void quickFilterItemWantsToAddANewItem(QuickFilterItem *) override {}
    } counter;
    counter.updates = &updates;
    row.setDelegate(&counter);
    const int custom = row.columnsMenu()->findData("__CUSTOM_FILTER__");
    row.columnsMenu()->setCurrentIndex(custom);
    emit row.columnsMenu()->activated(custom);
    EXPECT_EQ(updates, 1);
    EXPECT_EQ(row.operatorValue(), "__CUSTOM_FILTER__");
    EXPECT_TRUE(row.textField()->isVisible());
    EXPECT_FALSE(row.operatorsMenu()->isVisible());
    EXPECT_FALSE(row.searchField()->isVisible());
    ASSERT_WAIT_FOR_EQ(row.view()->height(), QuickFilterItem::customFilterHeight);
    QTest::keyClicks(row.textField(), "a = 1");
    EXPECT_EQ(row.value(), "a = 1");
    EXPECT_EQ(updates, 6) << "each typed character is reported";
}

TEST(QuickFilterItemTest, OperatorsAreTitledByTypeAndCodesTheTableLacksShowThemselves)
{
    struct Case {
        const char *code;
        const char *type;
        const char *title;
    };
    const Case cases[] = {{"=", "S", "Equal to"},       {"=", "D", "Equal to"},
                          {">", "D", "Greater than"},   {"NOTLIKE", "D", "Does not contain"},
                          {"IS NULL", "N", "Is empty"}, {"NOT IS NULL", "S", "Is not empty"},
                          {"SOUNDS", "S", "SOUNDS"}};
    for (const Case &c : cases)
        EXPECT_EQ(QuickFilterItem::textualOperatorForOperator(c.code, c.type), c.title) << c.code << c.type;
}

TEST(QuickFilterItemTest, SelectingFromOutsideFallsBackToThePreferredOperator)
{
    QuickFilterItem row(standardColumns());
    row.view()->show();
    row.setSelectionColumn("amount", "LIKE", "12");
    EXPECT_EQ(row.operatorValue(), "=") << "amount does not offer LIKE";
    EXPECT_EQ(row.value(), "12");
    row.setSelectionColumn("name", "IS NULL", "kept");
    EXPECT_EQ(row.operatorValue(), "IS NULL");
    EXPECT_FALSE(row.searchField()->isVisible());
    EXPECT_EQ(row.searchField()->text(), "kept");
    row.setSelectionColumn("nope", "=", "1");
    EXPECT_TRUE(row.columnValue().isNull());
    EXPECT_TRUE(row.operatorValue().isNull());
    EXPECT_TRUE(row.columnType().isNull());
}

TEST(QuickFilterItemTest, AnInvalidRowShowsItsTextInRed)
{
    QuickFilterItem row(standardColumns());
    row.setValid(false);
    EXPECT_EQ(row.searchField()->palette().color(QPalette::Text), QColor::fromRgbF(1.0, 0.2, 0.0));
    row.setValid(true);
    EXPECT_NE(row.searchField()->palette().color(QPalette::Text), QColor::fromRgbF(1.0, 0.2, 0.0));
    row.setEnabled(true);
    row.setEnableRemoval(false);
    EXPECT_FALSE(row.removeButton()->isEnabled());
    EXPECT_TRUE(row.addButton()->isEnabled());
}

TEST_F(QuickFilterBarTest, OneEmptyRowNeedsThirtyPoints)
{
    controller->load(standardColumns(), {}, false, {});
    ASSERT_EQ(controller->rows().size(), 1);
    EXPECT_EQ(controller->requiredHeight(), 30);
    EXPECT_EQ(bar->height(), 30);
    EXPECT_NE(controller->optionsButton(), nullptr);
    QWidget *row = controller->rows().first()->view();
    EXPECT_EQ(row->pos(), QPoint(pane.viewport()->width() - row->width() - 10, 2)) << "right-aligned";
    EXPECT_EQ(controller->columns(), QVariantList{"name"});
}

TEST_F(QuickFilterBarTest, ACustomRowAndAnOrdinaryRowNeedAHundredAndTwoPoints)
{
    controller->load(standardColumns(),
                     {{"__CUSTOM_FILTER__", "amount"}, {"__CUSTOM_FILTER__", ">"}, {"amount > 1", "2"}},
                     false, {});
    ASSERT_EQ(controller->rows().size(), 2);
    EXPECT_EQ(controller->requiredHeight(), 102);
    EXPECT_EQ(controller->rows()[0]->view()->y(), 2);
    EXPECT_EQ(controller->rows()[1]->view()->y(), 74);
    EXPECT_EQ(controller->columns(), (QVariantList{"__CUSTOM_FILTER__", "amount"}));
    EXPECT_EQ(controller->operators(), (QVariantList{"__CUSTOM_FILTER__", ">"}));
    EXPECT_EQ(controller->values(), (QVariantList{"amount > 1", "2"}));
}

TEST_F(QuickFilterBarTest, WithoutColumnInformationTheBarIsEmpty)
{
    controller->load({}, {}, false, {});
    EXPECT_TRUE(controller->quickFilterItems().isEmpty());
    EXPECT_EQ(controller->requiredHeight(), 30);
    EXPECT_NE(controller->optionsButton(), nullptr);
    EXPECT_FALSE(controller->canSelectQuickFilter());
}

TEST_F(QuickFilterBarTest, ARowWithoutAColumnAddsToNoneOfTheLists)
{
    controller->load(standardColumns(), {{"name", "gone", "amount"}, {"=", "=", ">"}, {"a", "b", "3"}}, false,
                     {});
    ASSERT_EQ(controller->rows().size(), 3);
    EXPECT_EQ(controller->columns(), (QVariantList{"name", "amount"}));
    EXPECT_EQ(controller->operators(), (QVariantList{"=", ">"}));
    EXPECT_EQ(controller->values(), (QVariantList{"a", "3"}));
}

TEST_F(QuickFilterBarTest, TypingIntoARowRequestsTheFilterAndFlagsBadValues)
{
    controller->load(standardColumns(), {{"amount"}, {"="}, {""}}, false, {});
    QuickFilterItem *row = controller->rows().first();
    QTest::keyClicks(row->searchField(), "1x");
    ASSERT_EQ(delegate.requests.size(), 2);
    EXPECT_EQ(delegate.requests.last(), (QuickFilterRequest{{"amount"}, {"="}, {"1x"}}));
    EXPECT_FALSE(row->valid());
    QTest::keyClick(row->searchField(), Qt::Key_Backspace);
    EXPECT_TRUE(row->valid());
    EXPECT_GE(delegate.relayouts, 3);
}

TEST_F(QuickFilterBarTest, AddingAppendsAtTheEndAndRemovingTheLastRowLeavesAFreshOne)
{
    controller->load(standardColumns(), {{"name", "name", "name"}, {"=", "=", "="}, {"a", "b", "c"}}, false,
                     {});
    QuickFilterItem *first = controller->rows().first();
    first->addButton()->click();
    ASSERT_EQ(controller->rows().size(), 4);
    EXPECT_EQ(controller->rows()[0], first);
    EXPECT_EQ(controller->rows()[3]->value(), "") << "the new row comes last";
    EXPECT_EQ(controller->requiredHeight(), 4 + 4 * 26);
    ASSERT_WAIT_FOR_EQ(controller->rows()[3]->view()->y(), 2 + 3 * 26);

    controller->load(standardColumns(), {{"name"}, {"="}, {"a"}}, false, {});
    QuickFilterItem *only = controller->rows().first();
    const int before = delegate.relayouts;
    only->removeButton()->click();
    ASSERT_EQ(controller->rows().size(), 1);
    EXPECT_NE(controller->rows().first(), only);
    EXPECT_EQ(controller->rows().first()->value(), "");
    EXPECT_EQ(delegate.requests.last(), (QuickFilterRequest{{"name"}, {"LIKE"}, {""}}));
    EXPECT_EQ(delegate.relayouts, before + 1);
    EXPECT_EQ(controller->requiredHeight(), 30);
}

TEST_F(QuickFilterBarTest, DroppedFiltersBecomeRows)
{
    struct Case {
        const char *name;
        QStringList values;
        bool negated;
        const char *column;
        const char *op;
        const char *value;
    };
    const QList<Case> cases = {
        {"one value", {"Ann"}, false, "name", "=", "Ann"},
        {"one value negated", {"Ann"}, true, "name", "!=", "Ann"},
        {"no value", {}, false, "name", "IS NULL", ""},
        {"no value negated", {}, true, "name", "NOT IS NULL", ""},
        {"three values",
         {"a", "b", "c"},
         false,
         "__CUSTOM_FILTER__",
         "__CUSTOM_FILTER__",
         "\"name\" IN ('a', 'b', 'c')"},
    };
    for (const Case &c : cases) {
        controller->load(standardColumns(), {}, false, {});
        ASSERT_TRUE(controller->canReceiveFilterItem(*filter("name", c.values, c.negated)));
        controller->quickFilterReceivedFilterItem(*filter("name", c.values, c.negated));
        ASSERT_EQ(controller->rows().size(), 1) << c.name << ": the blank row is filled";
        EXPECT_EQ(delegate.requests.last(), (QuickFilterRequest{{c.column}, {c.op}, {c.value}})) << c.name;
    }
}

TEST_F(QuickFilterBarTest, ADropAfterAnEmptinessTestAddsARow)
{
    controller->load(standardColumns(), {{"name"}, {"IS NULL"}, {""}}, false, {});
    controller->quickFilterReceivedFilterItem(*filter("amount", {"3"}));
    ASSERT_EQ(controller->rows().size(), 2);
    EXPECT_EQ(controller->columns(), (QVariantList{"name", "amount"}));
    EXPECT_EQ(controller->requiredHeight(), 56);
    EXPECT_FALSE(controller->canReceiveFilterItem(*filter("unknown", {"1"}))) << "a column the bar lacks";
    EXPECT_FALSE(controller->canReceiveFilterItem(*filter("", {"1"})));
}

TEST_F(QuickFilterBarTest, TheBarTakesFilterItemsDraggedOntoIt)
{
    controller->load(standardColumns(), {}, false, {});
    QMimeData data;
    data.setData(Filter::filterItemType, filter("name", {"Bob"})->archive());
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(bar, &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(bar, &drop);
    EXPECT_EQ(delegate.requests.last(), (QuickFilterRequest{{"name"}, {"="}, {"Bob"}}));

    QMimeData unknown;
    unknown.setData(Filter::filterItemType, filter("other", {"Bob"})->archive());
    QDragEnterEvent refused(QPoint(5, 5), Qt::CopyAction, &unknown, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(bar, &refused);
    EXPECT_FALSE(refused.isAccepted());
    QMimeData text;
    text.setText("Bob");
    QDragEnterEvent plain(QPoint(5, 5), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(bar, &plain);
    EXPECT_FALSE(plain.isAccepted());
}

TEST_F(QuickFilterBarTest, ManagementEntriesMakeTheListsAndTheirOwnLayout)
{
    const QVariantList choices{QVariantMap{{"name", "All"}, {"value", ""}},
                               QVariantMap{{"name", "Tables"}, {"value", "\"Type\" = 'table'"}}};
    const QVariantMap config{
        {"options", QVariantList{QVariantMap{{"name", "Type"}, {"values", choices}},
                                 QVariantMap{{"name", "State"}, {"values", choices}},
                                 QVariantMap{{"name", "Pid"}, {"field", "pid"}, {"numeric", 1}},
                                 QVariantMap{{"name", "Name"}, {"field", "name"}}}}};
    controller->load(
        {}, {{"__CUSTOM_FILTER__", "name"}, {"__CUSTOM_FILTER__", "LIKE"}, {"\"Type\" = 'table'", "ab"}},
        true, config);
    ASSERT_EQ(controller->quickFilterItems().size(), 4);
    EXPECT_EQ(controller->optionsButton(), nullptr);
    EXPECT_TRUE(bar->managementMode());
    EXPECT_EQ(controller->columns(), (QVariantList{"__CUSTOM_FILTER__", "__CUSTOM_FILTER__", "pid", "name"}));
    EXPECT_EQ(controller->operators(), (QVariantList{"__CUSTOM_FILTER__", "__CUSTOM_FILTER__", "=", "LIKE"}));
    EXPECT_EQ(controller->values(), (QVariantList{"\"Type\" = 'table'", "\"Type\" = 'table'", "", "ab"}));

    auto *type = qobject_cast<QuickFilterRadioItem *>(controller->quickFilterItems()[0]);
    auto *state = qobject_cast<QuickFilterRadioItem *>(controller->quickFilterItems()[1]);
    auto *pid = qobject_cast<QuickFilterSearchItem *>(controller->quickFilterItems()[2]);
    auto *name = qobject_cast<QuickFilterSearchItem *>(controller->quickFilterItems()[3]);
    ASSERT_TRUE(type && state && pid && name);
    type->view()->resize(type->view()->width(), 20);
    state->view()->resize(state->view()->width(), 24);
    pid->view()->resize(pid->view()->width(), 26);
    name->view()->resize(name->view()->width(), 26);
    controller->layoutItems(false);
    EXPECT_EQ(controller->requiredHeight(), 58);
    EXPECT_EQ(type->view()->pos(), QPoint(4, 4));
    EXPECT_EQ(state->view()->pos(), QPoint(4 + type->view()->width() + 2, 4));
    EXPECT_EQ(pid->view()->pos(), QPoint(4, 28));
    EXPECT_EQ(name->view()->pos(), QPoint(4 + pid->view()->width() + 2, 28));

    type->options()[0]->click();
    EXPECT_EQ(delegate.requests.last().values[0], "");
    QTest::keyClicks(pid->search(), "7");
    EXPECT_EQ(delegate.requests.last().values, (QVariantList{"", "\"Type\" = 'table'", "7", "ab"}));
    EXPECT_FALSE(controller->canReceiveFilterItem(*filter("name", {"x"}))) << "entries stay as configured";
}

TEST(QuickFilterRadioItemTest, TheCheckedButtonFollowsTheSelection)
{
    const QVariantList values{
        QVariantMap{{"name", "All"}, {"value", "a"}}, QVariantMap{{"name", "B"}, {"value", "b"}},
        QVariantMap{{"name", "C"}, {"value", "c"}}, QVariantMap{{"name", "D"}, {"value", "d"}}};
    QuickFilterRadioItem plain("Kind", values.mid(0, 3), "nothing", QString());
    EXPECT_EQ(plain.options().size(), 3);
    EXPECT_EQ(plain.selectedRow(), 0) << "an unknown selection checks the first button";
    EXPECT_TRUE(plain.select()->isHidden());

    QuickFilterRadioItem first("Kind", values, "a", "Other");
    EXPECT_EQ(first.options().size(), 2);
    EXPECT_EQ(first.options()[1]->text(), "Other");
    EXPECT_EQ(first.selectedRow(), 0);
    EXPECT_FALSE(first.select()->isEnabled());

    QuickFilterRadioItem fourth("Kind", values, "d", "Other");
    EXPECT_EQ(fourth.selectedRow(), 1);
    EXPECT_TRUE(fourth.select()->isEnabled());
    EXPECT_EQ(fourth.select()->currentIndex(), 2);

    QuickFilterRadioItem unknown("Kind", values, QString(), "Other");
    EXPECT_EQ(unknown.selectedRow(), 0);
    EXPECT_FALSE(unknown.select()->isEnabled());
}

TEST(QuickFilterSearchItemTest, TheFieldFitsItsLabelButIsNeverNarrowerThanAHundred)
{
    QuickFilterSearchItem shortLabel("Pid", "pid", QString());
    EXPECT_EQ(shortLabel.selection(), "");
    EXPECT_EQ(shortLabel.search()->placeholderText(), "Pid");
    EXPECT_EQ(shortLabel.search()->width(), 100);
    EXPECT_EQ(shortLabel.view()->size(), shortLabel.search()->size() + QSize(4, 4));
    EXPECT_EQ(shortLabel.search()->pos(), QPoint(2, 2));

    QuickFilterSearchItem longLabel("A label that is much wider than a hundred points", "x", "typed");
    EXPECT_GT(longLabel.search()->width(), 100);
    EXPECT_EQ(longLabel.search()->text(), "typed");
}

TEST(ResultsetSplitViewTest, TheBarGetsWhatItWantsWithinTheLimits)
{
    struct Case {
        int height;
        int wanted;
        bool enabled;
        int bar;
        int grid;
    };
    const Case cases[] = {{400, 30, true, 30, 370},
                          {200, 102, true, 50, 150},
                          {160, 102, true, 30, 130},
                          {400, 102, false, 0, 400},
                          {120, 102, false, 30, 90}};
    QWidget host;
    host.resize(300, 600);
    host.show();
    for (const Case &c : cases) {
        auto *top = new QScrollArea;
        auto *bottom = new QWidget;
        ResultsetSplitView split(top, bottom, &host);
        split.show();
        split.setRequiredHeight([&c] { return c.wanted; });
        split.resize(300, c.height);
        split.resetViewEnableQuickFilter(c.enabled, false);
        EXPECT_EQ(top->geometry(), QRect(0, 0, 300, c.bar)) << c.height << " " << c.wanted;
        EXPECT_EQ(bottom->geometry(), QRect(0, c.bar, 300, c.grid)) << c.height << " " << c.wanted;
        split.resize(300, c.height + 100);
        EXPECT_EQ(top->height() + bottom->height(), c.height + 100) << "a resize fills the split view again";
    }
}

TEST(ResultsetSplitViewTest, OverlappingAnimationsEndAtTheLastRequest)
{
    QWidget host;
    host.resize(300, 600);
    host.show();
    auto *top = new QScrollArea;
    auto *bottom = new QWidget;
    ResultsetSplitView split(top, bottom, &host);
    int wanted = 30;
    split.setRequiredHeight([&wanted] { return wanted; });
    split.resize(300, 400);
    split.show();
    split.resetViewEnableQuickFilter(true, false);
    wanted = 102;
    split.resetViewEnableQuickFilter(true, true);
    wanted = 56;
    split.resetViewEnableQuickFilter(true, false);
    EXPECT_EQ(split.animating(), 2) << "a plain reset during an animation is animated too";
    ASSERT_WAIT_FOR_EQ(split.animating(), 0);
    EXPECT_EQ(top->geometry(), QRect(0, 0, 300, 56));
    EXPECT_EQ(bottom->geometry(), QRect(0, 56, 300, 344));
}

} // namespace
