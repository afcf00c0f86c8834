#include "document/DocumentHelper.h"

#include "platform/Bundle.h"
#include "platform/UserDefaults.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace
{

const QString line2 =
    " * This section is part of the Vorn database client application, it can safely be removed.\n";

ConnectionParameters connection(const QString &server, const QString &database, const QString &user)
{
    ConnectionParameters parameters;
    parameters.setConnectionName(QStringLiteral("Sales {test} */ db"));
    parameters.setDatabaseType("PostgreSQL");
    parameters.setServer(server);
    parameters.setPort("5432");
    parameters.setDatabase(database);
    parameters.setUserName(user);
    parameters.setAutoCommit(1);
    parameters.setLabel(3);
    return parameters;
}

struct ReadBack {
    bool recognised = false;
    QString sql;
    ConnectionParametersPtr parameters;
    std::optional<QVariantMap> arguments;
    std::optional<QVariantMap> options;
};

ReadBack readBack(const QString &text, UserDefaults *defaults = nullptr)
{
    ReadBack result;
    result.sql = text;
    result.recognised = DocumentHelper::obtainStoredSettingsFromSql(
        result.sql, result.parameters, result.arguments, result.options, defaults);
    return result;
}

class DocumentHelperTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { Bundle::setMainBundlePrefix(qEnvironmentVariable("VORN_BUILD_DIR")); }

    QTemporaryDir folder;
    UserDefaults defaults{folder.filePath("defaults.json")};
};

} // namespace

TEST_F(DocumentHelperTest, RoundTripKeepsAwkwardTextsAndValues)
{
    const struct {
        const char *name;
        QString sql;
        QString argument;
        QString server;
    } cases[] = {
        {"line comment", "select 1 -- one\n-- two", "x--y", "db.example.org"},
        {"hash", "# MySQL comment\nselect '#';", "a#b##", "db#1"},
        {"backslash", "select '\\\\n', '\\';", "C:\\temp\\", "back\\slash"},
        {"comment end", "/* old */ select 1 */", "*/", "evil*/host"},
        {"braces", "select '{\"a\":1}' from t where x = '}'", "{}}{", "{brace}"},
        {"non-ASCII", "select 'Grüße', '日本語', '🙂'", "Łódź", "münchen.example"},
        {"starts with an empty line", "\nselect 1;\n", "", "host"},
        {"two empty lines", "\n\nselect 1", "\n", "host"},
        {"marker in the text", "select '\"application\":\"Vorn 3\"'", "\"application\":\"Vorn 3\"", "h"},
        {"escape look-alikes", "select '\\-\\-', '\\#', '\\*\\/'", "\\-\\-\\#\\*\\/", "h"},
        {"empty", "", "v", "h"},
    };
    for (const auto &c : cases) {
        const ConnectionParameters parameters = connection(c.server, "db " + c.argument, "user" + c.argument);
        const QVariantMap arguments{{"name", c.argument}, {"other--#", "plain"}};
        const QVariantMap options{{"creator", "Ann " + c.argument}, {"created", 123.5}};
        QString text = c.sql;
        ASSERT_TRUE(DocumentHelper::createStorageSettingsForSQL(text, &parameters, arguments, options));
        ASSERT_TRUE(text.endsWith(c.sql)) << c.name;
        EXPECT_EQ(text.indexOf("*/"), text.indexOf(" */\n") + 1) << c.name;
        EXPECT_EQ(text.section('\n', 1, 1) + '\n', line2) << c.name;

        const ReadBack read = readBack(text);
        ASSERT_TRUE(read.recognised) << c.name;
        EXPECT_EQ(read.sql, c.sql) << c.name;
        ASSERT_TRUE(read.parameters) << c.name;
        EXPECT_EQ(read.parameters->dictionary(), parameters.dictionary()) << c.name;
        EXPECT_EQ(read.arguments, arguments) << c.name;
        ASSERT_TRUE(read.options.has_value()) << c.name;
        EXPECT_EQ(read.options->value("creator"), options.value("creator")) << c.name;
        EXPECT_EQ(read.options->value("created").toDouble(), 123.5) << c.name;
        EXPECT_EQ(read.options->value("application"), "Vorn 3") << c.name;
    }
}

TEST_F(DocumentHelperTest, WritesTheHeaderByteForByte)
{
    QString text = "select 1";
    DocumentHelper::createStorageSettingsForSQL(text, nullptr, {{"p", "x--y#z\\w"}}, {});
    const QString version = DocumentHelper::applicationVersion();
    EXPECT_TRUE(version.contains(" (")) << version.toStdString();
    const QString json = "{\"arguments\":{\"p\":\"x\\-\\-y\\#z\\\\\\\\w\"},\"connection\":{},"
                         "\"documentOptions\":{\"application\":\"Vorn 3\",\"applicationVersion\":\"" +
                         version + "\"}}";
    EXPECT_EQ(text.section('\n', 0, 0),
              "/* Vorn Reconnect: server:;database:;username:;databasetype:; " + json + " ");
    EXPECT_TRUE(text.section('\n', 2, 2).startsWith(" * More info at "));
    EXPECT_TRUE(text.section('\n', 2, 2).endsWith(" */"));
    EXPECT_EQ(text.section('\n', 3), "select 1");

    const ReadBack read = readBack(text);
    ASSERT_TRUE(read.parameters);
    EXPECT_EQ(read.parameters->dictionary(), ConnectionParameters(QVariantMap()).dictionary());
    EXPECT_EQ(read.arguments->value("p"), "x--y#z\\w");
}

TEST_F(DocumentHelperTest, ConnectionTextCannotEndTheCommentOrHideTheSettings)
{
    const ConnectionParameters parameters = connection("srv*/{x}", "d}b\nx", "u{*/");
    QString text = "select 1";
    DocumentHelper::createStorageSettingsForSQL(text, &parameters, {}, {});
    const QString line1 = text.section('\n', 0, 0);
    EXPECT_TRUE(line1.startsWith("/* Vorn Reconnect: server:srv* /(x):5432;database:d)b x;username:u(* /;"
                                 "databasetype:PostgreSQL; {"))
        << line1.toStdString();
    const ReadBack read = readBack(text);
    ASSERT_TRUE(read.recognised);
    EXPECT_EQ(read.sql, "select 1");
    ASSERT_TRUE(read.parameters);
    EXPECT_EQ(read.parameters->server(), "srv*/{x}");
    EXPECT_EQ(read.parameters->userName(), "u{*/");
}

TEST_F(DocumentHelperTest, MalformedHeaders)
{
    const QString start = "/* Vorn Reconnect: server:h:1;database:d;username:u;databasetype:MySQL; ";
    const QString tail = "\n * More info at x */\nselect 1";
    const struct {
        const char *name;
        QString text;
        bool recognised;
        QString sql;
        bool settings;
    } cases[] = {
        {"bad JSON", start + "{\"application\":\"Vorn 3\", oops}" + tail, true, "select 1", false},
        {"not an object", start + "[\"application\":\"Vorn 3\"]" + tail, false, "select 1", false},
        {"no brace pair", start + "\"application\":\"Vorn 3\"" + tail, false, "select 1", false},
        {"braces reversed", start + "}\"application\":\"Vorn 3\"{" + tail, false, "select 1", false},
        {"no brace pair, old header after it",
         start + "\"application\":\"Vorn 3\" */\n" +
             "/* Vorn Reconnect: server:old;databasetype:MySQL; */\nselect 2",
         true, "select 2", true},
        {"header not at the start", "select 0;\n" + start + "{\"application\":\"Vorn 3\"}" + tail, false,
         "select 0;\n" + start + "{\"application\":\"Vorn 3\"}" + tail, false},
        {"no comment end", start + "{\"application\":\"Vorn 3\"}\nselect 1", false,
         start + "{\"application\":\"Vorn 3\"}\nselect 1", false},
        {"plain SQL", "select 1", false, "select 1", false},
    };
    for (const auto &c : cases) {
        ReadBack read;
        read.sql = c.text;
        read.arguments = QVariantMap{{"kept", 1}};
        read.recognised = DocumentHelper::obtainStoredSettingsFromSql(read.sql, read.parameters,
                                                                      read.arguments, read.options);
        EXPECT_EQ(read.recognised, c.recognised) << c.name;
        EXPECT_EQ(read.sql, c.sql) << c.name;
        EXPECT_EQ(bool(read.parameters), c.settings) << c.name;
        EXPECT_EQ(read.arguments->contains("kept"), !c.settings) << c.name;
    }
}

TEST_F(DocumentHelperTest, OnlyACompleteHeaderIsTakenOffTheText)
{
    const QString fields = "/* Vorn Reconnect: server:h:1;database:d;username:u;databasetype:MySQL; ";
    const QString json =
        "{\"connection\":{\"server\":\"h\"},\"documentOptions\":{\"application\":\"Vorn 3\"}}";
    const struct {
        const char *name;
        QString text;
        bool recognised;
        QString sql; // empty: the text stays as it was
    } cases[] = {
        {"a user's comment that starts like one",
         "/* Vorn Reconnect: server: prod is down */\nselect 1",
         false,
         {}},
        {"a user's comment with the server field",
         "/* Vorn Reconnect: server:prod; after upgrade */\nselect 1",
         false,
         {}},
        {"a user's comment over more lines",
         "/* Vorn Reconnect: server:prod;\nnotes of mine\n*/\nselect 1",
         false,
         {}},
        {"unterminated, old generation, a later comment",
         "/* Vorn Reconnect: server:h;database:d;username:u;\nselect 1;\n/* later */\nselect 2",
         false,
         {}},
        {"unterminated, current generation, a later comment",
         fields + json + " \nselect 1;\n/* later */\nselect 2",
         false,
         {}},
        {"unterminated to the end", fields + json + " \nselect 1", false, {}},
        {"a complete header of the current generation",
         fields + json + " \n" + line2 + " * More info at x */\nselect 1", true, "select 1"},
        {"a complete header of the previous generation",
         "/* Vorn Reconnect: server:h;database:d;username:u;\n * more\n */\nselect 1", true, "select 1"},
    };
    for (const auto &c : cases) {
        const ReadBack read = readBack(c.text, &defaults);
        EXPECT_EQ(read.recognised, c.recognised) << c.name;
        EXPECT_EQ(read.sql, c.recognised ? c.sql : c.text) << c.name;
        EXPECT_EQ(bool(read.parameters), c.recognised) << c.name;
    }
}

TEST_F(DocumentHelperTest, ReadsThePreviousGeneration)
{
    const QString text =
        "/* Vorn Reconnect: server:dbhost:1521;database:ORCL;username:scott;description:Old one;"
        "author:Ann;arguments:a+1-b+x&encminus]]y-z-c+p&encpllus]]q&encsemi]]r&enceocom]]s"
        "&encenwln]]t-a+2;\n * more */\nselect :a from dual";
    const ReadBack read = readBack(text, &defaults);
    ASSERT_TRUE(read.recognised);
    EXPECT_EQ(read.sql, "select :a from dual");
    ASSERT_TRUE(read.parameters);
    EXPECT_EQ(read.parameters->databaseType(), "Oracle");
    EXPECT_EQ(read.parameters->server(), "dbhost");
    EXPECT_EQ(read.parameters->port(), "1521");
    EXPECT_EQ(read.parameters->database(), "ORCL");
    EXPECT_EQ(read.parameters->userName(), "scott");
    EXPECT_EQ(read.parameters->connectionName(), "Old one");
    EXPECT_EQ(read.arguments, (QVariantMap{{"a", "2"}, {"b", "x-y"}, {"c", "p+q;r*/s\nt"}}));
    ASSERT_TRUE(read.options);
    EXPECT_EQ(read.options->value("creator"), "Ann");
    EXPECT_EQ(read.options->value("application"), "Vorn");
    EXPECT_EQ(read.options->value("applicationVersion"), "2");
    EXPECT_GT(read.options->value("created").toDouble(), 0);
}

TEST_F(DocumentHelperTest, PreviousGenerationFindsTheSavedConnection)
{
    QVariantMap first = connection("other", "sales", "ann").dictionary();
    QVariantMap saved = connection("dbhost", "sales", "ann").dictionary();
    saved["name"] = "Saved sales";
    saved["port"] = "";
    saved["databaseType"] = "MySQL";
    QVariantMap noPort = saved;
    noPort.remove("port");
    noPort["name"] = "Without port";
    defaults.setObject(QVariantList{first, noPort, saved}, "allConnections");

    const ReadBack read =
        readBack("/* Vorn Reconnect: server:dbhost;database:sales;username:ann;databasetype:MySQL;author:B;"
                 "description:Ignored;*/select 1",
                 &defaults);
    ASSERT_TRUE(read.parameters);
    EXPECT_EQ(read.parameters->connectionName(), "Without port");
    EXPECT_EQ(read.parameters->label(), 3u);
    EXPECT_EQ(read.sql, "select 1");
    EXPECT_TRUE(read.arguments->isEmpty());

    const ReadBack unterminated = readBack("/* Vorn Reconnect: server:dbhost;database:sales */", &defaults);
    ASSERT_TRUE(unterminated.recognised);
    EXPECT_EQ(unterminated.parameters->database(), "");
    EXPECT_EQ(unterminated.options->value("creator"), DocumentHelper::userFullName());
}

TEST(DocumentHelper, NullsAndEmptyAreEqual)
{
    const struct {
        QString a, b;
        bool equal;
    } cases[] = {
        {QString(), QString(), true}, {QString(), "", true}, {"", QString(), true}, {"", "x", false},
        {QString(), "x", false},      {"x", "x", true},      {"x", "X", false},
    };
    for (const auto &c : cases)
        EXPECT_EQ(DocumentHelper::nullsEmptyEqual(c.a, c.b), c.equal)
            << c.a.toStdString() << "|" << c.b.toStdString();
}
