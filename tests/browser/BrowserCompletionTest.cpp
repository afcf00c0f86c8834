#include "BrowserTestSupport.h"

#include "platform/Preferences.h"
#include "platform/UserDefaults.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace
{

class BrowserCompletionTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        UserDefaults::standard().setObject(true, PreferenceKey::browser_recent_enabled);
        UserDefaults::standard().setObject(true, PreferenceKey::browser_favourite_enabled);
        f.browser->addObjects("HR", "TABLE", {"EMP", "DEPT"});
        f.browser->addObjects("HR", "VIEW", {"emp_view"});
        f.browser->addObjects("HR", "SEQUENCE", {"EMP_SEQ"});
        f.browser->addObjects("SALES", "TABLE", {"ORDERS"});
        f.browser->setSelectedSchema("HR");
        f.browser->setColumns("HR", "EMP", {"EMPNO", "ENAME", "DEPTNO"});
        f.browser->setColumns("HR", "DEPT", {"DEPTNO", "dname"});
        f.browser->setKeys("EMP", {{"EMP_DEPT_FK", "DEPTNO", "DEPT", "DEPTNO"}});
        f.controller->setResourceFolder(resources.path());
        f.controller->setColumnCacheClock([this] { return now; });
        f.controller->resetBrowserFromRoot();
    }

    QTemporaryDir resources;
    BrowserFixture f;
    double now = 1000.0;
};

TEST_F(BrowserCompletionTest, UniqueAndSortedIgnoresCase)
{
    EXPECT_EQ(BrowserController::uniqueAndSorted({"b", "A", "a", "B", "A"}),
              (QStringList{"A", "a", "b", "B"}));
}

TEST_F(BrowserCompletionTest, TableAndViewNamesComeFromTheLoadedSchemas)
{
    EXPECT_EQ(f.controller->tableAndViewNamesForAutoComplete(),
              (QStringList{"DEPT", "EMP", "emp_view", "SALES.ORDERS"}));
    EXPECT_EQ(f.controller->tableAndViewNamesForAutoCompleteInSchema("HR"),
              (QStringList{"DEPT", "EMP", "emp_view"}));
    EXPECT_TRUE(f.controller->tableAndViewNamesForAutoCompleteInSchema("NOWHERE").isEmpty());
}

TEST_F(BrowserCompletionTest, ObjectNamesWalkTheFavouritesToo)
{
    auto orders = std::make_shared<BrowserElement>("ORDERS", "SALES", "TABLE", BrowserElement::Table);
    f.controller->updateFavouriteStatus(true, *orders);
    EXPECT_EQ(f.controller->objectNamesForAutoCompleteOfType("TABLE"),
              (QStringList{"DEPT", "EMP", "SALES.ORDERS"}));
    EXPECT_EQ(f.controller->objectNamesForAutoCompleteOfType("SEQUENCE"), QStringList{"EMP_SEQ"});
    EXPECT_TRUE(f.controller->objectNamesForAutoCompleteOfType("table").isEmpty());
}

TEST_F(BrowserCompletionTest, ColumnsOfTheSchemaOrTheTablesWithSequences)
{
    struct Case {
        const char *what;
        QStringList tables;
        bool restricted;
        QStringList expected;
    };
    const QList<Case> cases = {
        {"the whole schema", {}, false, {"DEPTNO", "dname", "EMP_SEQ", "EMPNO", "ENAME"}},
        {"one table, case-insensitive", {"emp"}, false, {"DEPTNO", "EMP_SEQ", "EMPNO", "ENAME"}},
        {"restricted", {"EMP", "DEPT"}, true, {"DEPTNO", "dname", "EMPNO", "ENAME"}},
        {"a sequence wins", {"EMP", "emp_seq", "DEPT"}, true, {"nextval", "currval"}},
        {"a schema prefix matches nothing", {"HR.EMP"}, true, {}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(f.controller->columnNamesForAutoCompleteInTables(c.tables, c.restricted, std::nullopt),
                  c.expected)
            << c.what;
}

TEST_F(BrowserCompletionTest, JoinConditionsForOneTableAndItsAliases)
{
    const QList<CompletionAlias> aliases{{"d", "DEPT"}, {"e", "EMP"}};
    const QStringList names = f.controller->columnNamesForAutoCompleteInTables({"EMP"}, true, aliases);
    EXPECT_EQ(names, (QStringList{"DEPTNO", "DEPTNO = d.DEPTNO", "EMPNO", "ENAME"}));
    const QStringList two = f.controller->columnNamesForAutoCompleteInTables({"EMP", "DEPT"}, true, aliases);
    EXPECT_FALSE(two.join(',').contains('='));
}

TEST_F(BrowserCompletionTest, ColumnAnswersAreCachedUntilTheyAgeOrTheSchemaChanges)
{
    const auto ask = [this] {
        return f.controller->columnNamesForAutoCompleteInTables({"EMP"}, true, std::nullopt);
    };
    const QStringList first = ask();
    const int calls = f.browser->callCount("allColumnsInTable");
    EXPECT_EQ(ask(), first);
    EXPECT_EQ(f.browser->callCount("allColumnsInTable"), calls);

    now += 301.0;
    ask();
    EXPECT_EQ(f.browser->callCount("allColumnsInTable"), calls + 1);

    f.controller->browserDidChangeSchemaSelection("SALES");
    f.controller->browserDidChangeSchemaSelection("HR");
    ask();
    EXPECT_EQ(f.browser->callCount("allColumnsInTable"), calls + 2);

    // Sequences answer at once and are not kept.
    f.controller->columnNamesForAutoCompleteInTables({"EMP_SEQ"}, true, std::nullopt);
    f.controller->columnNamesForAutoCompleteInTables({"EMP_SEQ"}, true, std::nullopt);
    EXPECT_EQ(f.controller->columnNamesForAutoCompleteInTables({"EMP_SEQ"}, true, std::nullopt),
              (QStringList{"nextval", "currval"}));
}

} // namespace
