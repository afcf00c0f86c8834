// The activity viewer's reading of the backend's connection list: the order of parents and children
// and the texts of one row.
#include "document/ActivityEntries.h"

#include <gtest/gtest.h>

namespace
{

QVariant entry(qint64 uid, std::optional<qint64> parent = std::nullopt)
{
    QVariantMap settings{{"uid", uid}, {"state", "IDLE"}};
    if (parent)
        settings.insert("parentUid", *parent);
    return QVariantMap{{"settings", settings}};
}

QList<qint64> uids(const QList<QVariantMap> &ordered)
{
    QList<qint64> list;
    for (const QVariantMap &settings : ordered)
        list << settings.value("uid").toLongLong();
    return list;
}

TEST(ActivityEntriesTest, ChildrenStandUnderTheirParentOrAppendedWhenNotYetMet)
{
    struct Case {
        const char *name;
        QVariantList entries;
        QList<qint64> expected;
    };
    const QList<Case> cases{
        {"top-level entries keep the backend's order", {entry(1), entry(2), entry(3)}, {1, 2, 3}},
        {"a child goes right under its parent", {entry(1), entry(2), entry(3, 1)}, {1, 3, 2}},
        // The one listed last comes first: each is inserted right after the parent.
        {"of several children the last listed comes first",
         {entry(1), entry(4, 1), entry(5, 1), entry(2)},
         {1, 5, 4, 2}},
        {"a child listed before its parent stands above it", {entry(3, 1), entry(1), entry(2)}, {3, 1, 2}},
        {"a child whose parent is missing is appended", {entry(1), entry(7, 99), entry(2)}, {1, 7, 2}},
        {"a grandchild follows its own parent", {entry(1), entry(2, 1), entry(3, 2)}, {1, 2, 3}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(uids(ActivityEntries::ordered(c.entries)), c.expected) << c.name;
}

TEST(ActivityEntriesTest, RowTextsFollowTheState)
{
    struct Case {
        const char *name;
        QVariantMap settings;
        QString status;
        QString message;
        bool active;
        std::optional<double> progress;
    };
    const QList<Case> cases{
        {"idle without connection info", {{"state", "IDLE"}}, "Not connected", "Idle", false, std::nullopt},
        {"idle with connection info",
         {{"state", "IDLE"}, {"connectionInfo", "PostgreSQL vorn@db on host"}, {"activity", "stale"}},
         "PostgreSQL vorn@db on host",
         "Idle",
         false,
         std::nullopt},
        {"connecting names the connection",
         {{"state", "CONNECT"}, {"connectionInfo", "SQLite x.db"}},
         "Connecting to SQLite x.db...",
         "",
         true,
         std::nullopt},
        {"connecting without info", {{"state", "CONNECT"}}, "Connecting...", "", true, std::nullopt},
        {"executing shows the statement",
         {{"state", "EXECUTING_QUERY"}, {"activity", "SELECT 1"}},
         "Executing SQL statement...",
         "SELECT 1",
         true,
         std::nullopt},
        {"keep alive has its own message",
         {{"state", "KEEP_ALIVE"}, {"activity", "ping"}},
         "Keep connection alive...",
         "Keep connection alive...",
         true,
         std::nullopt},
        {"progress is passed on",
         {{"state", "IMPORT_DATA"}, {"progress", 0.25}},
         "Importing data...",
         "",
         true,
         0.25},
        {"an unknown code shows no status", {{"state", "SOMETHING_NEW"}}, "", "", true, std::nullopt},
        {"no code is not active", {}, "", "", false, std::nullopt},
    };
    for (const Case &c : cases) {
        const ActivityEntries::RowText row = ActivityEntries::rowText(c.settings, true);
        EXPECT_EQ(row.status, c.status) << c.name;
        EXPECT_EQ(row.message, c.message) << c.name;
        EXPECT_EQ(row.active, c.active) << c.name;
        EXPECT_EQ(row.progress, c.progress) << c.name;
        EXPECT_TRUE(row.stopable) << c.name;
    }
}

TEST(ActivityEntriesTest, SharedTextsForIndexAndColumnCodes)
{
    EXPECT_EQ(ActivityEntries::stateString("OBJECT_INFO_INDICES"),
              ActivityEntries::stateString("CONNECTION_META_DATA_INDICES"));
    EXPECT_EQ(ActivityEntries::stateString("OBJECT_INFO_COLUMNS"), "Retrieving column information...");
    EXPECT_EQ(ActivityEntries::stateString("CHECK_META_DATA"), "Validating connection information...");
}

} // namespace
