#include "connection/ConnectionParameters.h"

#include "platform/UserDefaults.h"

#include <QDataStream>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace
{

ConnectionParameters sample()
{
    ConnectionParameters p;
    p.setConnectionName("Prod");
    p.setDatabaseType("Oracle");
    p.setServer("db1");
    p.setPort("1521");
    p.setDatabase("SALES");
    p.setUserName("Scott");
    p.setAutoCommit(1);
    p.setLabel(0);
    return p;
}

struct DictionaryCase {
    const char *what;
    QVariantMap dictionary;
    QString name, type, server, port;
    quint64 autoCommit, label;
};

} // namespace

TEST(ConnectionParameters, DictionaryFallbacksAndNumericStrings)
{
    const DictionaryCase cases[] = {
        {"empty", {}, "Nameless connection", "Oracle", "", "", 2, 0},
        {"older type key", {{"databasetype", "MySQL"}}, "Nameless connection", "MySQL", "", "", 2, 0},
        {"newer type key wins",
         {{"databasetype", "MySQL"}, {"databaseType", "PostgreSQL"}},
         "Nameless connection",
         "PostgreSQL",
         "",
         "",
         2,
         0},
        {"numbers", {{"name", "a"}, {"autocommit", 0}, {"label", 5}}, "a", "Oracle", "", "", 0, 5},
        {"numbers read back as double",
         {{"autocommit", 1.0}, {"label", 9.0}},
         "Nameless connection",
         "Oracle",
         "",
         "",
         1,
         9},
        {"numeric strings",
         {{"autocommit", "1"}, {"label", " 7"}},
         "Nameless connection",
         "Oracle",
         "",
         "",
         1,
         7},
        {"leading digits count",
         {{"label", "3abc"}, {"autocommit", "x"}},
         "Nameless connection",
         "Oracle",
         "",
         "",
         0,
         3},
        {"text fields",
         {{"server", "h"}, {"port", "5432"}, {"databaseType", "SQL Server"}},
         "Nameless connection",
         "SQL Server",
         "h",
         "5432",
         2,
         0},
    };
    for (const DictionaryCase &c : cases) {
        SCOPED_TRACE(c.what);
        const ConnectionParameters p(c.dictionary);
        EXPECT_EQ(p.connectionName(), c.name);
        EXPECT_EQ(p.databaseType(), c.type);
        EXPECT_EQ(p.server(), c.server);
        EXPECT_EQ(p.port(), c.port);
        EXPECT_FALSE(p.database().isNull());
        EXPECT_FALSE(p.userName().isNull());
        EXPECT_EQ(p.autoCommit(), c.autoCommit);
        EXPECT_EQ(p.label(), c.label);
        EXPECT_FALSE(p.password().has_value());
    }
}

TEST(ConnectionParameters, DictionaryFormHasEightKeysAndNoPassword)
{
    ConnectionParameters p = sample();
    p.setPassword("tiger");
    const QVariantMap dictionary = p.dictionary();
    EXPECT_EQ(dictionary.keys(), (QStringList{"autocommit", "database", "databaseType", "label", "name",
                                              "port", "server", "username"}));
    const ConnectionParameters back(dictionary);
    EXPECT_FALSE(back.password().has_value());
    ConnectionParameters expected = p;
    expected.setPassword(std::nullopt);
    EXPECT_TRUE(back.isEqualTo(expected));
}

TEST(ConnectionParameters, SequentialArchiveKeepsPasswordAndDropsName)
{
    ConnectionParameters p = sample();
    p.setPassword("");
    p.setLabel(4);
    QByteArray data;
    {
        QDataStream out(&data, QIODevice::WriteOnly);
        p.encodeWithCoder(out);
    }
    QDataStream in(data);
    const ConnectionParameters back(in);
    ASSERT_EQ(in.status(), QDataStream::Ok);
    EXPECT_TRUE(back.connectionName().isNull());
    EXPECT_EQ(back.password(), std::optional<QString>(""));
    EXPECT_EQ(back.server(), "db1");
    EXPECT_EQ(back.autoCommit(), 1u);
    EXPECT_EQ(back.label(), 4u);

    QDataStream truncated(data.left(data.size() / 2));
    const ConnectionParameters broken(truncated);
    EXPECT_NE(truncated.status(), QDataStream::Ok);
    EXPECT_TRUE(broken.server().isNull());
}

TEST(ConnectionParameters, SearchStringWithAndWithoutLabel)
{
    const struct {
        quint64 label;
        const char *expected;
    } cases[] = {{0, "db1 sales scott oracle prod"},
                 {3, "db1 sales scott oracle prod yellow"},
                 {9, "db1 sales scott oracle prod white"},
                 {10, "db1 sales scott oracle prod"}};
    for (const auto &c : cases) {
        ConnectionParameters p = sample();
        p.setLabel(c.label);
        EXPECT_EQ(p.searchString(), c.expected) << c.label;
    }
}

TEST(ConnectionParameters, Equality)
{
    const auto changed = [](auto change) {
        ConnectionParameters p = sample();
        change(p);
        return p;
    };
    const struct {
        const char *what;
        ConnectionParameters a, b;
        bool equal;
    } cases[] = {
        {"same values, no passwords", sample(), sample(), true},
        {"label differs", sample(), changed([](ConnectionParameters &p) { p.setLabel(2); }), false},
        {"auto-commit differs", sample(), changed([](ConnectionParameters &p) { p.setAutoCommit(2); }),
         false},
        {"unset vs empty password", sample(), changed([](ConnectionParameters &p) { p.setPassword(""); }),
         false},
        {"same passwords", changed([](ConnectionParameters &p) { p.setPassword("x"); }),
         changed([](ConnectionParameters &p) { p.setPassword("x"); }), true},
        {"case of the server", sample(), changed([](ConnectionParameters &p) { p.setServer("DB1"); }), false},
        {"two group headers", ConnectionParameters(), ConnectionParameters(), false},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(c.a.isEqualTo(c.b), c.equal) << c.what;
        EXPECT_EQ(c.b.isEqualTo(c.a), c.equal) << c.what;
    }
}

TEST(ConnectionParameters, BookmarksAreKeptPerFile)
{
    QTemporaryDir dir;
    UserDefaults defaults(dir.filePath("defaults.json"));
    EXPECT_TRUE(ConnectionParameters::bookmarkForFile("file:///a.db", &defaults).isNull());
    ConnectionParameters::storeBookmark("/a.db", "file:///a.db", &defaults);
    ConnectionParameters::storeBookmark("/b.db", "file:///b.db", &defaults);
    ConnectionParameters::storeBookmark("/a2.db", "file:///a.db", &defaults);

    UserDefaults reopened(dir.filePath("defaults.json"));
    EXPECT_EQ(ConnectionParameters::bookmarkForFile("file:///a.db", &reopened), "/a2.db");
    EXPECT_EQ(ConnectionParameters::bookmarkForFile("file:///b.db", &reopened), "/b.db");
    EXPECT_TRUE(ConnectionParameters::bookmarkForFile("file:///c.db", &reopened).isNull());
}
