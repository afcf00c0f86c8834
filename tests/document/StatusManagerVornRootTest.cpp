#include "../status/StatusManagerFakes.h"

#include "../backend/BackendTestSupport.h"
#include "document/StatusManagerVornRoot.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(StatusManagerVornRoot, AnswersFromTheBackendsResultSet)
{
    QTemporaryDir folder;
    TestRoot root;
    ASSERT_TRUE(root.connect(sqliteTarget(folder)));
    FakeClock clock;
    FakeNotifier notifier(clock);
    StatusManager manager(std::make_shared<StatusManagerVornRoot>(root.object()), notifier.notifier);

    EXPECT_EQ(manager.loadedRows(), -1);
    EXPECT_FALSE(manager.fullyLoaded());
    EXPECT_TRUE(manager.readOnlyReason().isNull());

    ASSERT_TRUE(root.run("create table people (id integer primary key, name text)"));
    ASSERT_TRUE(root.run("insert into people (name) values ('Ann'), ('Bo'), ('Cy')"));
    ASSERT_TRUE(root.run("select * from people"));
    EXPECT_EQ(manager.loadedRows(), 3);
    EXPECT_TRUE(manager.fullyLoaded());
    // A statement's result cannot be edited.
    EXPECT_EQ(manager.readOnlyReason(), "The results of a SQL statement cannot be edited");
    EXPECT_EQ(StatusManagerVornRoot(root.object()).connectionType(), "SQLite");
}
