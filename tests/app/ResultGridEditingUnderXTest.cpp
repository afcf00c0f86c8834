// The result grid of the real program on a private X desktop, driven with real keys only: a table opened
// from the schema browser, one of its cells typed into, the row written with Return, and the value read
// back from the database file by another program. The screen with the edited grid is saved in the build
// folder as "artifacts/grid-editing.png".
#include "ClubOnDesktopTest.h"
#include "WaitFor.h"

#include <QDir>
#include <gtest/gtest.h>

namespace
{

using ResultGridEditingUnderXTest = ClubOnDesktopTest;

TEST_F(ResultGridEditingUnderXTest, ACellTypedIntoIsWrittenToTheDatabaseOnReturn)
{
    // The table, found with the browser's search field, fills the grid.
    const quint64 window = showClubMembers(desktop, home);
    ASSERT_NE(window, 0u) << "the members table was not shown";

    // The grid takes the keyboard with its first row selected; the name of that row is typed over.
    ASSERT_TRUE(desktop.key("ctrl+alt+l"));
    ASSERT_TRUE(desktop.key("Home Right Right F2"));
    ASSERT_TRUE(desktop.key("ctrl+a"));
    ASSERT_TRUE(desktop.type("Annie"));
    const QString screens = qEnvironmentVariable("VORN_BUILD_DIR") + "/artifacts";
    QDir().mkpath(screens);
    desktop.screenshot().save(screens + "/grid-editing-typed.png");
    EXPECT_EQ(home.sqlite("select name from members where id = 1"), "Ann") << "nothing written while typing";
    ASSERT_TRUE(desktop.key("Return"));
    ASSERT_WAIT_FOR_MS(home.sqlite("select name from members where id = 1") == "Annie", 30000);
    EXPECT_EQ(home.sqlite("select group_concat(name, ',') from (select name from members order by id)"),
              "Annie,Bob,Cas");
    desktop.screenshot().save(screens + "/grid-editing.png");
}

} // namespace
