// The filter sheet on its own: the column and operator pop-ups built from quick-filter column
// information, conditions appended with AND, OR and AND NOT, the refusal of a text that would end the
// statement, and how the sheet ends. The operator titles are checked here as the sheet shows them.
#include "resultset/FilterWindowController.h"
#include "resultset/FilterWindowControllerDelegate.h"
#include "resultset/QuickFilterOperatorTitles.h"

#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

namespace
{
QVariantMap column(const QString &name, const QString &type, const QStringList &operators)
{
    return {{"name", name}, {"type", type}, {"operators", operators}, {"preferredOperator", QString()}};
}

// Answers conditions as "column operator value"; none for the value "bad".
struct Grid : FilterWindowControllerDelegate {
    void filterWindowEndedWithStatus(FilterWindowController *sheet, int status) override
    {
        statuses.append(status);
        filterAtEnd = sheet->filter();
    }
    QString filterWindowNeedsQueryForColumn(FilterWindowController *, const QString &columnName,
                                            const QString &value, const QString &operatorCode) override
    {
        asked.append(QStringList{columnName, value, operatorCode});
        if (value == "bad")
            return QString();
        return QString("%1 %2 %3").arg(columnName, operatorCode, value);
    }
    QList<int> statuses;
    QString filterAtEnd;
    QList<QStringList> asked;
};

class FilterWindowControllerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        window.resize(700, 400);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        sheet.setDelegate(&grid);
    }

    void open(const QString &filter)
    {
        sheet.setFilter(filter, info);
        sheet.showOnWindow(&window);
    }

    QStringList items(const QComboBox *box, int role = Qt::DisplayRole) const
    {
        QStringList texts;
        for (int i = 0; i < box->count(); ++i)
            texts << box->itemData(i, role).toString();
        return texts;
    }

    const QVariantList info{column("NAME", "S", {"LIKE", "=", "IS NULL", "SOUNDS"}),
                            column("BORN", "D", {"=", ">=", "NOT IS NULL"}),
                            QVariantMap{{"name", "__EMPTY__"}}, column("__CUSTOM_FILTER__", "", {})};
    QWidget window;
    Grid grid;
    FilterWindowController sheet;
};
} // namespace

TEST(QuickFilterOperatorTitlesTest, CodesReadByTheColumnType)
{
    struct Case {
        const char *code;
        const char *type;
        const char *title;
    };
    const Case cases[] = {
        {"LIKE", "S", "Contains"},
        {"NOTLIKE", "S", "Does not contain"},
        {"STARTSWITH", "S", "Starts with"},
        {"ENDSWITH", "D", "Ends with"},
        {"=", "N", "Equal to"},
        {"=", "D", "On"},
        {"!=", "S", "Is not equal to"},
        {"!=", "D", "Not on"},
        {">", "N", "Greater than"},
        {">", "D", "After"},
        {"<", "N", "Smaller than"},
        {"<", "D", "Before"},
        {"<=", "N", "Smaller or equal to"},
        {"<=", "D", "On or before"},
        {">=", "N", "Greater or equal to"},
        {">=", "D", "On or after"},
        {"IS NULL", "D", "Is empty"},
        {"NOT IS NULL", "S", "Is not empty"},
        {"SOUNDS", "S", "SOUNDS"},
        {"", "S", ""},
    };
    for (const Case &c : cases)
        EXPECT_EQ(textualOperatorForOperator(c.code, c.type), c.title) << c.code << " " << c.type;
}

TEST_F(FilterWindowControllerTest, PopUpsListColumnsUpToTheSeparatorAndOperatorsWithTheirCodes)
{
    open("NAME = 'x'");
    EXPECT_TRUE(sheet.panel()->isVisible());
    EXPECT_EQ(sheet.filterText()->toPlainText(), "NAME = 'x'");
    EXPECT_EQ(items(sheet.columnNames()), (QStringList{"NAME", "BORN"}));
    EXPECT_EQ(items(sheet.operators()), (QStringList{"Contains", "Equal to", "Is empty", "SOUNDS"}));
    EXPECT_EQ(items(sheet.operators(), Qt::UserRole), (QStringList{"LIKE", "=", "IS NULL", "SOUNDS"}));

    sheet.columnNames()->setCurrentIndex(1);
    EXPECT_EQ(items(sheet.operators()), (QStringList{"On", "On or after", "Is not empty"}));
    EXPECT_EQ(items(sheet.operators(), Qt::UserRole), (QStringList{"=", ">=", "NOT IS NULL"}));
    EXPECT_EQ(sheet.infoForColumn("BORN").value("type"), "D");
    EXPECT_TRUE(sheet.infoForColumn("MISSING").isEmpty());
}

TEST_F(FilterWindowControllerTest, ConnectivesJoinConditionsToTheText)
{
    struct Case {
        const char *text;
        void (FilterWindowController::*action)();
        const char *expected;
    };
    const Case cases[] = {
        {"", &FilterWindowController::andAction, "BORN >= 2001"},
        {"  \n", &FilterWindowController::orAction, "  \nBORN >= 2001"},
        {"a = 1", &FilterWindowController::andAction, "a = 1 AND BORN >= 2001"},
        {"a = 1", &FilterWindowController::orAction, "a = 1 OR BORN >= 2001"},
        {"a = 1", &FilterWindowController::andNotAction, "a = 1 AND NOT BORN >= 2001"},
    };
    for (const Case &c : cases) {
        open(c.text);
        sheet.columnNames()->setCurrentIndex(1);
        sheet.operators()->setCurrentIndex(1);
        sheet.value()->setText("2001");
        (sheet.*c.action)();
        EXPECT_EQ(sheet.filter(), c.expected) << c.text;
        sheet.cancel();
    }
    EXPECT_EQ(grid.asked.last(), (QStringList{"BORN", "2001", ">="})) << "the operator's code, not its title";

    open("a = 1");
    sheet.value()->setText("bad");
    sheet.andAction();
    EXPECT_EQ(sheet.filter(), "a = 1") << "nothing without a condition";
    EXPECT_TRUE(sheet.notice()->isVisibleTo(sheet.panel()));
    sheet.value()->setText("ok");
    sheet.orAction();
    EXPECT_EQ(sheet.filter(), "a = 1 OR NAME LIKE ok");
    EXPECT_FALSE(sheet.notice()->isVisibleTo(sheet.panel()));
    sheet.filterText()->undo();
    EXPECT_EQ(sheet.filter(), "a = 1") << "an appended condition is undone as one edit";
}

TEST_F(FilterWindowControllerTest, SetHandsOverTheTextAndRefusesASecondStatement)
{
    for (const char *text : {"", "NAME = 'a;b'", "\"odd;name\" = 1", "x = 1\n  AND y = 2"}) {
        open(text);
        sheet.setButton()->click();
        EXPECT_FALSE(sheet.panel()->isVisible()) << text;
        EXPECT_EQ(grid.statuses.last(), 1) << text;
        EXPECT_EQ(grid.filterAtEnd, text);
    }
    const qsizetype ended = grid.statuses.size();
    open("NAME = 'a'; DROP TABLE people");
    sheet.setButton()->click();
    EXPECT_TRUE(sheet.panel()->isVisible()) << "the sheet stays with what was typed";
    EXPECT_TRUE(sheet.notice()->isVisibleTo(sheet.panel()));
    EXPECT_TRUE(sheet.notice()->text().contains("';'"));
    EXPECT_EQ(grid.statuses.size(), ended);
    sheet.clearFilter();
    EXPECT_TRUE(sheet.filter().isEmpty());
    EXPECT_FALSE(sheet.notice()->isVisibleTo(sheet.panel())) << "the notice goes with the text";
    QTest::keyClick(sheet.filterText(), Qt::Key_Escape);
    EXPECT_EQ(grid.statuses.last(), 0) << "Escape cancels";
}

TEST_F(FilterWindowControllerTest, ASheetTakenDownWithItsWindowIsMadeAgain)
{
    {
        QWidget other;
        other.show();
        sheet.setFilter("x = 1", info);
        sheet.showOnWindow(&other);
        sheet.cancel();
    }
    EXPECT_EQ(sheet.panel(), nullptr);
    open("y = 2");
    EXPECT_TRUE(sheet.panel()->isVisible());
    EXPECT_EQ(sheet.filter(), "y = 2");
}
