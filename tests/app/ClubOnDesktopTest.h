#pragma once

#include "ProgramHome.h"
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
