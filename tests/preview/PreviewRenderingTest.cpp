// The preview's colouring: one component type after another in rich text and HTML, the reserved
// words, query breaks, the dialect of the stored connection, and the escaping of both outputs.
#include "PreviewRendering.h"
#include "PreviewHeader.h"
#include "RichText.h"

#include <gtest/gtest.h>

#include <QSet>

namespace
{

const RichTextColour red{255, 0, 0};
const RichTextColour blue{0, 0, 255};
const RichTextColour green{0, 128, 0};
const RichTextColour purple{128, 0, 128};
const RichTextColour pink{255, 204, 255};
const RichTextColour lightGrey{170, 170, 170};

ConnectionParameters connectionOfType(const QString &databaseType)
{
    ConnectionParameters parameters;
    parameters.setDatabaseType(databaseType);
    return parameters;
}

// The HTML of the text in the dialect of the database type (none: no connection).
QString html(const QString &sql, const QString &databaseType = QString())
{
    const ConnectionParameters parameters = connectionOfType(databaseType);
    return sqlToHTML(sql, reservedWords(), databaseType.isNull() ? nullptr : &parameters);
}

RichText rtf(const QString &sql, const QString &databaseType = QString())
{
    const ConnectionParameters parameters = connectionOfType(databaseType);
    return sqlToRtf(sql, reservedWords(), databaseType.isNull() ? nullptr : &parameters);
}

struct ComponentCase {
    const char *sql;
    const char *html;
    std::optional<RichTextColour> foreground;
    std::optional<RichTextColour> background;
};

class ComponentClassTest : public ::testing::TestWithParam<ComponentCase>
{
};

TEST_P(ComponentClassTest, OneComponentGetsTheLookOfItsType)
{
    const ComponentCase &c = GetParam();
    EXPECT_EQ(html(QString::fromUtf8(c.sql)), QString::fromUtf8(c.html));
    const RichText text = rtf(QString::fromUtf8(c.sql));
    ASSERT_EQ(text.runs().size(), 1);
    EXPECT_EQ(text.runs().first().text, QString::fromUtf8(c.sql));
    EXPECT_EQ(text.runs().first().foreground, c.foreground);
    EXPECT_EQ(text.runs().first().background, c.background);
}

INSTANTIATE_TEST_SUITE_P(
    ComponentTypes, ComponentClassTest,
    ::testing::Values(ComponentCase{"'it is'", "<span class=\"literal\">'it is'</span>", red, {}},
                      ComponentCase{"42.5", "<span class=\"literal\">42.5</span>", red, {}},
                      ComponentCase{"WHERE", "<span class=\"reserved\">WHERE</span>", blue, {}},
                      ComponentCase{"customers", "customers", {}, {}},
                      ComponentCase{"\"Select\"", "<span class=\"identifier\">\"Select\"</span>", {}, {}},
                      ComponentCase{"-- note", "<span class=\"comment\">-- note</span>", green, {}},
                      ComponentCase{"/* a\nb */", "<span class=\"comment\">/* a<br/>b */</span>", green, {}},
                      ComponentCase{":name", "<span class=\"inputparameter\">:name</span>", purple, pink},
                      ComponentCase{";", ";", {}, {}}, ComponentCase{"   ", "   ", {}, {}},
                      ComponentCase{"\n", "<br/>", {}, {}}));

TEST(ReservedWordsTest, AreMatchedWhateverTheirCase)
{
    EXPECT_EQ(html("select SELECT SeLeCt nvl2 Varchar2 custom"),
              "<span class=\"reserved\">select</span> <span class=\"reserved\">SELECT</span> "
              "<span class=\"reserved\">SeLeCt</span> <span class=\"reserved\">nvl2</span> "
              "<span class=\"reserved\">Varchar2</span> custom");
}

TEST(ReservedWordsTest, ListHoldsTheOracleWordsInUpperCase)
{
    const QStringList words = reservedWords();
    const QSet<QString> distinct(words.cbegin(), words.cend());
    EXPECT_EQ(distinct.size(), 297);
    for (const QString &word : words)
        EXPECT_EQ(word, word.toUpper());
    for (const char *word : {"ACCESS", "NVL2", "ROWNUM", "STATEMENT_ID", "VARCHAR2", "WRITE"})
        EXPECT_TRUE(distinct.contains(QLatin1String(word))) << word;
    EXPECT_FALSE(distinct.contains(QStringLiteral("LIMIT")));
}

TEST(QueryBreakTest, BlankLineBetweenStatementsBecomesAGreyLineOfHyphens)
{
    const RichText text = rtf("SELECT 1;\n\nSELECT 2;");
    const QString line = QString(84, '-');
    EXPECT_EQ(text.string(), "SELECT 1;\n\n" + line + "\n\nSELECT 2;");
    const auto breakRun = std::find_if(text.runs().cbegin(), text.runs().cend(),
                                       [&](const RichTextRun &run) { return run.text.contains(line); });
    ASSERT_NE(breakRun, text.runs().cend());
    EXPECT_EQ(breakRun->text.size(), 88);
    EXPECT_EQ(breakRun->foreground, lightGrey);

    EXPECT_EQ(html("SELECT 1;\n\nSELECT 2;"),
              "<span class=\"reserved\">SELECT</span> <span class=\"literal\">1</span>;"
              "<span class=\"querybreak\">&nbsp;</span><br/><br/>"
              "<span class=\"reserved\">SELECT</span> <span "
              "class=\"literal\">2</span>;");
}

struct DialectCase {
    const char *databaseType; // null: no connection
    const char *sql;
    const char *html;
};

class DialectTest : public ::testing::TestWithParam<DialectCase>
{
};

TEST_P(DialectTest, StoredConnectionChoosesTheDialect)
{
    const DialectCase &c = GetParam();
    const QString type = c.databaseType ? QString::fromUtf8(c.databaseType) : QString();
    EXPECT_EQ(html(QString::fromUtf8(c.sql), type), QString::fromUtf8(c.html));
}

INSTANTIATE_TEST_SUITE_P(
    Dialects, DialectTest,
    ::testing::Values(DialectCase{"MySQL", "`select`", "<span class=\"identifier\">`select`</span>"},
                      DialectCase{"MySQL", "# note", "<span class=\"comment\"># note</span>"},
                      DialectCase{"MySQL", "\"text\"", "<span class=\"literal\">\"text\"</span>"},
                      DialectCase{"Oracle", "# note", "# note"},
                      DialectCase{nullptr, "\"select\"", "<span class=\"identifier\">\"select\"</span>"},
                      DialectCase{"PostgreSQL", "$$ select $$",
                                  "<span class=\"literal\">$$ select $$</span>"},
                      DialectCase{"Oracle", "$$ select $$", "$$ <span class=\"reserved\">select</span> $$"},
                      DialectCase{"PostgreSQL", "a[1:2]",
                                  "a[<span class=\"literal\">1</span>:<span "
                                  "class=\"literal\">2</span>]"}));

TEST(SafeHtmlTest, EscapesMarkupOnceAndKeepsLineBreaks)
{
    EXPECT_EQ(safeHTML("a<b&c>", QString()), "a&lt;b&amp;c&gt;");
    EXPECT_EQ(safeHTML("&lt;", QString()), "&amp;lt;");
    EXPECT_EQ(safeHTML("x\ny", QStringLiteral("comment")), "<span class=\"comment\">x<br/>y</span>");
}

TEST(RtfDataTest, EscapesControlCharactersBracesAndNonAscii)
{
    RichText text;
    text.append(RichTextRun{QStringLiteral("a\\b{c}d\té€\U0001F600\n"), {}, {}, false});
    const QByteArray rtf = text.rtfData();
    EXPECT_TRUE(rtf.startsWith("{\\rtf1\\ansi"));
    EXPECT_TRUE(rtf.contains("a\\\\b\\{c\\}d\\tab \\u233?\\u8364?\\u-10179?\\u-8704?\\par"))
        << rtf.constData();
    EXPECT_TRUE(rtf.endsWith("}\n"));
    for (const char byte : rtf)
        EXPECT_LT(static_cast<unsigned char>(byte), 0x80);
}

TEST(RtfDataTest, ColoursGoToOneTableAndRunsPointIntoIt)
{
    const QByteArray data = rtf(":p 'x' 'y'").rtfData();
    EXPECT_TRUE(data.contains("{\\colortbl;\\red128\\green0\\blue128;\\red255\\green204\\blue255;"
                              "\\red255\\green0\\blue0;}"))
        << data.constData();
    EXPECT_TRUE(data.contains("{\\cf1\\cb2 :p}"));
    EXPECT_TRUE(data.contains("{\\cf3 'x'}{\\cf0  }{\\cf3 'y'}"));
}

TEST(DocumentHeaderTest, NamesTheConnectionWithItsDetailsAndEscapesThem)
{
    ConnectionParameters parameters;
    parameters.setConnectionName(QStringLiteral("Sales <live>"));
    parameters.setUserName(QStringLiteral("anna&co"));
    parameters.setDatabase(QStringLiteral("crm"));
    parameters.setServer(QStringLiteral("db.example"));
    parameters.setPort(QStringLiteral("5432"));
    parameters.setDatabaseType(QStringLiteral("PostgreSQL"));
    const QVariantMap options{
        {"creator", "Anna"}, {"created", 700000000.0}, {"modifier", "Bob"}, {"modified", 0}};
    const QString header = createDocumentHeader(&parameters, options, QStringLiteral("q.sql"));
    EXPECT_TRUE(header.startsWith("<div id='headercontent'><div id='connectionName'>Sales &lt;live&gt;</div>"
                                  "<div id='applicationName'>Vorn 3</div>"))
        << header.toStdString();
    EXPECT_TRUE(header.contains("<tr><td>Username:</td><td>anna&amp;co</td></tr><tr><td>Database:</td><td>crm"
                                "</td></tr><tr><td>Server:</td><td>db.example:5432</td></tr>"
                                "<tr><td>Database type:</td><td>PostgreSQL</td></tr></table>"));
    EXPECT_TRUE(header.contains("<tr><td>Created:</td><td>Anna</td></tr><tr><td></td><td>"));
    EXPECT_FALSE(header.contains("Modified")) << "a modified time of 0 shows no row";
    EXPECT_TRUE(header.endsWith("</div><div id='icon'> </div>"));
}

TEST(DocumentHeaderTest, FallsBackToFileNameAndShowsOnlyWhatIsThere)
{
    ConnectionParameters parameters;
    parameters.setServer(QStringLiteral("db.example"));
    const PreviewHeader header =
        PreviewHeader::create(&parameters, {{"applicationVersion", "2"}}, QStringLiteral("report.sql"));
    EXPECT_EQ(header.title, "report.sql");
    EXPECT_EQ(header.applicationName, "Vorn 2");
    EXPECT_TRUE(header.connectionDetails.isEmpty()) << "a server without a port shows no server row";
    EXPECT_EQ(PreviewHeader::create(nullptr, {}, QStringLiteral("x.sql")).applicationName, "Vorn 3");
}

TEST(DocumentHeaderTest, RichTextBlockStartsWithTheConnectionName)
{
    ConnectionParameters parameters;
    parameters.setConnectionName(QStringLiteral("Sales"));
    parameters.setDatabaseType(QStringLiteral("MySQL"));
    const RichText block = PreviewHeader::create(&parameters, {}, QStringLiteral("q.sql")).richText();
    ASSERT_FALSE(block.runs().isEmpty());
    EXPECT_EQ(block.runs().first().text, "Sales\n");
    EXPECT_TRUE(block.runs().first().bold);
    EXPECT_TRUE(block.string().contains("Database type: MySQL\n"));
    EXPECT_TRUE(block.string().endsWith(QString(84, '-') + "\n\n"));
}

} // namespace
