#pragma once

#include "ProgramHome.h"
#include "WaitFor.h"
#include "XvfbDesktop.h"

#include <QStandardPaths>
#include <gtest/gtest.h>

// The real program's home on a private X desktop with "club.sql" connected to "club.db", whose table
// members holds (1, Ann), (2, Bob), (3, Cas).
class ClubOnDesktopTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(desktop.error().isEmpty()) << desktop.error().toStdString();
        if (QStandardPaths::findExecutable("sqlite3").isEmpty())
            GTEST_SKIP() << "sqlite3 is needed to make and read the database";
        const QString made = home.make("club", "Club",
                                       "create table members (id integer primary key, name text);"
                                       "insert into members values (1, 'Ann'), (2, 'Bob'), (3, 'Cas');",
                                       R"("browser_skip_favourite_keyboard_navigation": true)");
        ASSERT_TRUE(made.isEmpty()) << made.toStdString();
    }

    XvfbDesktop desktop;
    ProgramHome home;
};

// Starts the program on the home's "club.sql" and opens the table members from the browser's search
// field, as a user does with the keys. Answers the document window once the table fills its grid; 0
// when the program did not get that far.
inline quint64 showClubMembers(XvfbDesktop &desktop, const ProgramHome &home)
{
    constexpr int startMs = 90000;
    desktop.startVorn(home.path(), {home.documentPath()});
    const quint64 window = desktop.waitForWindow("club\\.sql", startMs);
    if (window == 0)
        return 0;
    VORN_WAIT_UNTIL(home.logsHold("Connected with club.db"), startMs);
    if (!home.logsHold("Connected with club.db") || !desktop.focus(window))
        return 0;
    if (!desktop.key("ctrl+alt+b") || !desktop.type("memb") || !desktop.key("Down"))
        return 0;
    VORN_WAIT_UNTIL(desktop.windowName(window).startsWith("members "), 30000);
    return desktop.windowName(window).startsWith("members ") ? window : 0;
}
