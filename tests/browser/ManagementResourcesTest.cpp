// The management views and session pages come from the program's own resources: a browser and an info
// column given no folder of their own find them where the build tree (like an installation) keeps them,
// and the list stays while the pane and the schema loads go on around it.
#include "BrowserTestSupport.h"
#include "FakeVornRootClient.h"

#include "browser/BrowserController.h"
#include "browser/BrowserElementStore.h"
#include "browser/InfoController.h"
#include "platform/Bundle.h"

#include <gtest/gtest.h>

namespace
{

class ManagementResourcesTest : public ::testing::TestWithParam<const char *>
{
protected:
    void SetUp() override { Bundle::setMainBundlePrefix(qEnvironmentVariable("VORN_BUILD_DIR")); }
};

TEST_P(ManagementResourcesTest, TheProgramsOwnViewsAndSessionPagesAreFound)
{
    BrowserFixture f;
    f.root->type = GetParam();
    f.controller->resetBrowserFromRoot();
    f.controller->toggleManagementMode();
    const BrowserElementStore *store = f.controller->managementBrowserElementStore();
    ASSERT_NE(store, nullptr);
    const auto views = [store] {
        int count = 0;
        for (const BrowserElementSectionPtr &section : store->sectionsOfSchema(store->selectedSchema()))
            count += int(section->elements().size());
        return count;
    };
    const int listed = views();
    EXPECT_GT(listed, 0) << "the management list is empty";

    // The pane choosing its one schema again, or a schema load ending meanwhile, keeps the list: the
    // management list is no schema of the database.
    const QString management = store->selectedSchema();
    EXPECT_TRUE(f.controller->browserShouldChangeSchemaSelection(management));
    EXPECT_TRUE(f.document.reservations.isEmpty()) << "nothing to load";
    f.controller->browserDidChangeSchemaSelection(management);
    f.controller->updateAfterSchemaLoadForSchema(management);
    EXPECT_EQ(views(), listed);

    InfoController info(f.root);
    info.setManagementMode(true);
    info.resetManagementUsingSessionIdentifier({"42"});
    EXPECT_GT(info.infoItemSections().size(), 1) << "no session pages";
}

INSTANTIATE_TEST_SUITE_P(Servers, ManagementResourcesTest, ::testing::Values("PostgreSQL", "MySQL"));

} // namespace
