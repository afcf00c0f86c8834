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

    source.forgetColumns();
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

TEST_F(BrowserCompletionSourceTest, AnUnloadedSchemaAnswersNothingAndLeavesTheConnectionFree)
{
    f.browser->addObjects("SALES", "TABLE", {"ORDERS"}, false);
    f.controller->browserElementStore()->setSelectedSchema("SALES");
    const int loads = f.browser->callCount("typesInSchema");
    EXPECT_TRUE(source.autoCompleteNeedsTableAndViewNamesForAutoComplete().isEmpty());
    EXPECT_TRUE(columnsOfEmp().isEmpty());
    EXPECT_FALSE(f.root->reserved()) << "a statement typed next must be able to run";
    ASSERT_TRUE(f.waitForIdle());
    EXPECT_EQ(f.browser->callCount("typesInSchema"), loads);
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
