// The management views and session pages come from the program's own resources: a browser and an info
// column given no folder of their own find them where the build tree (like an installation) keeps them.
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
    int views = 0;
    for (const BrowserElementSectionPtr &section : store->sectionsOfSchema(store->selectedSchema()))
        views += int(section->elements().size());
    EXPECT_GT(views, 0) << "the management list is empty";

    InfoController info(f.root);
    info.setManagementMode(true);
    info.resetManagementUsingSessionIdentifier({"42"});
    EXPECT_GT(info.infoItemSections().size(), 1) << "no session pages";
}

INSTANTIATE_TEST_SUITE_P(Servers, ManagementResourcesTest, ::testing::Values("PostgreSQL", "MySQL"));

} // namespace
