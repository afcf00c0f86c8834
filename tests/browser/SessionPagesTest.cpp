// How a session page's rows become groups of lines: transposed pairs, concatenated text, automatic
// groups with numbered repeats, durations and percentages, actions, and the notices of empty pages.
#include "browser/SessionPages.h"

#include <gtest/gtest.h>

namespace
{
// "title|name=value;name=value" per group.
QStringList shown(const QList<InfoItemGroup> &groups)
{
    QStringList all;
    for (const InfoItemGroup &group : groups) {
        QStringList items;
        for (const InfoItem &item : group.items)
            items << (item.name.isNull() ? item.value : item.name + "=" + item.value);
        all << group.title + "|" + items.join(";");
    }
    return all;
}

QVariantMap row(std::initializer_list<std::pair<QString, QVariant>> values)
{
    QVariantMap map;
    for (const auto &[key, value] : values)
        map.insert(key, value);
    return map;
}
} // namespace

TEST(SessionPagesTest, PageFormsTurnRowsIntoGroups)
{
    struct Case {
        const char *what;
        QVariantMap info;
        QVariantList rows;
        QStringList expected;
    };
    const QVariantList pairs{row({{"name", "User"}, {"value", "scott"}}),
                             row({{"name", "Running"}, {"value", 90}}),
                             row({{"name", "Load"}, {"value", 12}})};
    const Case cases[] = {
        {"transposed, with a duration and a percentage",
         {{"type", "transpose"},
          {"secondColumns", QStringList{"Running"}},
          {"percentageColumns", QStringList{"Load"}}},
         pairs,
         {"|User=scott;Running=1m 30s;Load=12 %"}},
        {"transposed into listed groups, each keeping only its columns",
         {{"type", "transpose"},
          {"groups", QVariantList{row({{"name", "Who"}, {"columns", QStringList{"User"}}}),
                                  row({{"name", "Work"}, {"columns", QStringList{"Load"}}})}}},
         pairs,
         {"Who|User=scott", "Work|Load=12"}},
        {"concatenated into one wrapped text",
         {{"type", "concatenate"}},
         {row({{"Query", "SELECT * "}}), row({{"Query", "FROM t"}})},
         {"|SELECT * FROM t"}},
        {"plain rows with listed columns; a missing value shows empty",
         {{"groups", QVariantList{row({{"name", "Wait"}, {"columns", QStringList{"Event", "Seconds"}}})}},
          {"secondColumns", QStringList{"Seconds"}}},
         {row({{"Event", "lock"}})},
         {"Wait|Event=lock;Seconds="}},
        {"automatic groups titled and subtitled by their columns",
         {{"type", "transpose_autogroup"},
          {"autoGroupKeys", QStringList{"Mode", "Owner"}},
          {"groupTitle", "Owner"},
          {"groupSubtitle", "Object"}},
         {row({{"GROUP_NAME", "t1"}, {"Mode", "Share"}, {"Owner", "HR"}, {"Object", "EMP"}})},
         {"HR|EMP;;Mode=Share"}},
    };
    for (const Case &c : cases) {
        const QList<InfoItemGroup> groups = SessionPages::groups(c.info, c.rows, {}, {"7"}, 1);
        EXPECT_EQ(shown(groups), c.expected) << c.what;
        if (c.info.value("type") == "concatenate") {
            EXPECT_EQ(groups.first().infoItemGroupArrangement, InfoItemGroup::WrapValue) << c.what;
        }
    }
}

TEST(SessionPagesTest, RepeatedGroupNamesKeepCountingPastFour)
{
    QVariantList rows;
    for (int i = 0; i < 6; ++i)
        rows << row({{"GROUP_NAME", "X"}, {"Mode", QString::number(i)}});
    rows << row({{"GROUP_NAME", "X 2"}, {"Mode", "own"}});
    const QVariantMap info{{"type", "transpose_autogroup"},
                           {"autoGroupKeys", QStringList{"Mode"}},
                           {"groupTitle", "GROUP_NAME"}};
    EXPECT_EQ(shown(SessionPages::groups(info, rows, {}, {"1"}, 256)),
              (QStringList{"X|Mode=0", "X 2|Mode=1", "X 3|Mode=2", "X 4|Mode=3", "X 5|Mode=4", "X 6|Mode=5",
                           "X 2 2|Mode=own"}));
}

TEST(SessionPagesTest, ActionsFollowTheDataAndCarryTheSessionIdentifier)
{
    const QVariantList actions{row({{"name", "Cancel query"}, {"query", "SELECT pg_cancel_backend(?)"}})};
    const QList<InfoItemGroup> groups =
        SessionPages::groups({{"type", "transpose"}},
                             QVariantList{row({{"name", "User"}, {"value", "scott"}})}, actions, {"42"}, 1);
    ASSERT_EQ(groups.size(), 2);
    EXPECT_EQ(groups.last().title, "Actions");
    const QVariantMap action = groups.last().items.first().actionRefer.toMap();
    EXPECT_EQ(action.value("query"), "SELECT pg_cancel_backend(?)");
    EXPECT_EQ(action.value("sessionIdentifier").toStringList(), QStringList{"42"});
}

TEST(SessionPagesTest, EmptyPagesShowTheirNoticeWithoutActions)
{
    const QVariantList actions{row({{"name", "Kill"}, {"query", "KILL ?"}})};
    const std::pair<qint64, QString> cases[] = {
        {256, "No Lock information could be found."},
        {128, "No SQL information could be found."},
        {512, "No Long Operation information could be found."},
        {1, "No session information could be found, this could mean that the session no longer exists."},
    };
    for (const auto &[type, notice] : cases) {
        for (const std::optional<QVariantList> &rows :
             {std::optional<QVariantList>(), std::optional(QVariantList())})
            EXPECT_EQ(shown(SessionPages::groups({}, rows, actions, {"1"}, type)), QStringList{"|" + notice});
    }
}

TEST(SessionPagesTest, IdentifiersCrossAsTextAndSessionsAreNamedByDatabase)
{
    EXPECT_EQ(SessionPages::identifierText(QVariant(qlonglong(1234567890123))), "1234567890123");
    EXPECT_EQ(SessionPages::identifierText(QVariant(4242.0)), "4242");
    EXPECT_EQ(SessionPages::identifierText(QVariant("SID,7")), "SID,7");
    EXPECT_TRUE(SessionPages::identifierText(QVariant()).isNull());
    EXPECT_EQ(SessionPages::sessionName("MySQL", "12"), "Process: 12");
    EXPECT_EQ(SessionPages::sessionName("PostgreSQL", "12"), "Process: 12");
    EXPECT_EQ(SessionPages::sessionName("Oracle", "12"), "Session: 12");
    EXPECT_EQ(SessionPages::sectionType("InfoSessionTypeSomethingElse"), 0);
}
