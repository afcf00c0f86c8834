#include "BrowserTestSupport.h"
#include "WaitFor.h"

#include "browser/BrowserCompletionSource.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace
{

class BrowserCompletionSourceTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        f.browser->addObjects("HR", "TABLE", {"EMP", "DEPT"});
        f.browser->setSelectedSchema("HR");
        f.browser->setColumns("HR", "EMP", {"EMPNO", "ENAME"});
        f.browser->setColumns("HR", "DEPT", {"DEPTNO"});
        f.controller->setResourceFolder(resources.path());
        f.controller->resetBrowserFromRoot();
    }

    QStringList columnsOfEmp()
    {
        return source.autoCompleteEditorNeedsColumnNamesForAutoCompleteInTables({"EMP"}, true, std::nullopt);
    }

    QTemporaryDir resources;
    BrowserFixture f;
    BrowserCompletionSource source{*f.controller};
};

TEST_F(BrowserCompletionSourceTest, ColumnsAreReadInTheBackgroundBeforeTheyAreOffered)
{
    EXPECT_TRUE(columnsOfEmp().isEmpty());
    EXPECT_TRUE(columnsOfEmp().isEmpty()); // one read at a time
    ASSERT_WAIT_FOR(source.columnsKnownForSchema("HR"));
    EXPECT_EQ(f.browser->callCount("allColumnsInSchema"), 1);
    const int tableReads = f.browser->callCount("allColumnsInTable");
    EXPECT_EQ(columnsOfEmp(), (QStringList{"EMPNO", "ENAME"}));
    EXPECT_EQ(f.browser->callCount("allColumnsInTable"), tableReads + 1);

    source.forgetNames();
    EXPECT_TRUE(columnsOfEmp().isEmpty());
    ASSERT_WAIT_FOR(source.columnsKnownForSchema("HR"));
    EXPECT_EQ(f.browser->callCount("allColumnsInSchema"), 2);
}

TEST_F(BrowserCompletionSourceTest, TablesComeFromTheLoadedStore)
{
    EXPECT_EQ(source.autoCompleteNeedsTableAndViewNamesForAutoComplete(), (QStringList{"DEPT", "EMP"}));
    EXPECT_EQ(source.autoCompleteNeedsObjectNamesForAutoCompleteOfType("TABLE"),
              (QStringList{"DEPT", "EMP"}));
}

// A schema the browser has not loaded: keywords only at first, never a store load (it would hold the
// connection), then the names read in the background.
TEST_F(BrowserCompletionSourceTest, AnUnloadedSchemaOffersItsNamesOnceReadInTheBackground)
{
    f.browser->addObjects("SALES", "TABLE", {"ORDERS"}, false);
    f.browser->addObjects("SALES", "VIEW", {"OPEN_ORDERS"}, false);
    const int loads = f.browser->callCount("typesInSchema");

    EXPECT_TRUE(source.autoCompleteNeedsTableAndViewNamesForAutoCompleteInSchema("SALES").isEmpty());
    EXPECT_FALSE(f.root->reserved()) << "a statement typed next must be able to run";
    ASSERT_WAIT_FOR(source.tableNamesKnownForSchema("SALES"));
    EXPECT_EQ(source.autoCompleteNeedsTableAndViewNamesForAutoCompleteInSchema("SALES"),
              (QStringList{"OPEN_ORDERS", "ORDERS"}))
        << "qualified against the selected schema, as the user typed the schema";
    EXPECT_EQ(f.browser->callCount("readElementsOfSchemaWhenFree"), 1);

    f.controller->browserElementStore()->setSelectedSchema("SALES");
    f.browser->setSelectedSchema("SALES");
    EXPECT_EQ(source.autoCompleteNeedsTableAndViewNamesForAutoComplete(),
              (QStringList{"OPEN_ORDERS", "ORDERS"}));
    EXPECT_TRUE(columnsOfEmp().isEmpty());
    ASSERT_TRUE(f.waitForIdle());
    EXPECT_EQ(f.browser->callCount("typesInSchema"), loads);
    EXPECT_FALSE(f.root->reserved());

    source.forgetNames();
    EXPECT_TRUE(source.autoCompleteNeedsTableAndViewNamesForAutoComplete().isEmpty());
    ASSERT_WAIT_FOR(source.tableNamesKnownForSchema("SALES"));
    EXPECT_EQ(f.browser->callCount("readElementsOfSchemaWhenFree"), 2);
}

// A busy connection reads nothing: nothing is remembered, and a later question asks again.
TEST_F(BrowserCompletionSourceTest, NamesUnreadWhileTheConnectionIsBusyAreAskedForAgain)
{
    const auto askAndCountReads = [&] {
        EXPECT_TRUE(source.autoCompleteNeedsTableAndViewNamesForAutoCompleteInSchema("ELSEWHERE").isEmpty());
        return f.browser->callCount("readElementsOfSchemaWhenFree");
    };
    ASSERT_WAIT_FOR(askAndCountReads() >= 2);
    EXPECT_FALSE(source.tableNamesKnownForSchema("ELSEWHERE"));
}

TEST_F(BrowserCompletionSourceTest, AFinishedReadAfterTheSourceWentChangesNothing)
{
    {
        BrowserCompletionSource shortLived(*f.controller);
        shortLived.autoCompleteEditorNeedsColumnNamesForAutoCompleteInTables({"EMP"}, true, std::nullopt);
    }
    EXPECT_TRUE(f.waitForIdle());
}

} // namespace
