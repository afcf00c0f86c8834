#include "sql/SQLParserComponent.h"
#include "sql/SQLParserParseProperties.h"

#include <gtest/gtest.h>

namespace
{

using C = SQLParserComponent;

TEST(SQLParserComponent, CountsNewlinesOnceAndKeepsAnExplicitCount)
{
    auto counted = C::componentWithType(C::Literal, "a\nb\n");
    EXPECT_EQ(counted->length(), 4);
    EXPECT_EQ(counted->newlines(), 2);
    auto set = C::componentWithType(C::Literal, "a\nb\n");
    set->setNewlines(7);
    EXPECT_EQ(set->newlines(), 7);
    set->setString("xyz");
    EXPECT_EQ(set->length(), 4) << "setString leaves the length alone";
}

TEST(SQLParserComponent, DescribesByTypeName)
{
    EXPECT_EQ(C::componentWithType(C::Whitespace, "   ")->description(), "Whitespace: 3");
    EXPECT_EQ(C::componentWithType(C::QueryBreak, "\n\n")->description(), "QueryBreak: 2");
    EXPECT_EQ(C::componentWithType(C::Identifier, "abc")->description(), "Identifier: abc");
    EXPECT_EQ(C::componentWithType(7, "x")->description(), "None: x");
}

TEST(SQLParserComponent, ArchivesStringAndTypeOnlyAndRejectsMalformedArchives)
{
    QVariantMap coder;
    C::componentWithType(C::Comment, "-- x\n")->encodeWithCoder(coder);
    EXPECT_EQ(coder.keys(), QStringList({"string", "type"}));
    const auto restored = C::initWithCoder(coder);
    ASSERT_TRUE(restored);
    EXPECT_EQ(restored->parserComponentType(), quint64(C::Comment));
    EXPECT_EQ(restored->string(), "-- x\n");
    EXPECT_EQ(restored->length(), 5);
    EXPECT_EQ(restored->newlines(), 1);

    EXPECT_FALSE(C::initWithCoder({}));
    EXPECT_FALSE(C::initWithCoder({{"string", "x"}, {"type", 99}}));
    EXPECT_FALSE(C::initWithCoder({{"string", 3}, {"type", 1}}));
    EXPECT_FALSE(C::initWithCoder({{"string", "x"}, {"type", "abc"}}));
}

TEST(SQLParserComponent, JoinsTextsTrimmingAndLeavingOutComments)
{
    const SQLParserComponentList components = {C::componentWithType(C::Whitespace, " "),
                                               C::componentWithType(C::Comment, "-- c\n"),
                                               C::componentWithType(C::Identifier, "x")};
    EXPECT_EQ(C::stringForComponents(components, true), "x");
    EXPECT_EQ(C::stringForComponents(components, false), " -- c\nx");
    EXPECT_EQ(C::stringForComponents(components, true, true), "-- c\nx");
    const auto properties = SQLParserParseProperties::defaultParseProperties();
    EXPECT_EQ(C::stringForComponents(components, false, false, &properties), " /* c\n*/x");
}

TEST(SQLParserComponent, ConvertsLineCommentsToBlockComments)
{
    const auto standard = SQLParserParseProperties::defaultParseProperties();
    const auto mysql = SQLParserParseProperties::mySQLParseProperties();
    struct Case {
        const SQLParserParseProperties &properties;
        QString comment;
        QString expected;
    };
    const Case cases[] = {
        {standard, "-- abc\n", "/* abc\n*/"},
        {standard, "/* k */", "/* k */"},
        {mysql, "# note\n", "/* note\n*/"},
        {mysql, "-- x\n", "/*x\n*/"},
        // Markers inside a line comment must neither close the block early nor nest a new one.
        {standard, "-- a */ b /* c\n", "/* a * / b / * c\n*/"},
        {standard, "-- a*/*/\n", "/* a* / * /\n*/"},
        {standard, "-- path/", "/* path/ */"},
        {mysql, "#/x\n", "/* /x\n*/"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(C::convertToBlockComment(c.comment, c.properties), c.expected) << c.comment.toStdString();
}

TEST(SQLParserParseProperties, DialectsDifferOnlyWhereMySQLDoes)
{
    const auto d = SQLParserParseProperties::defaultParseProperties();
    const auto m = SQLParserParseProperties::mySQLParseProperties();
    EXPECT_EQ(d.id(), 1);
    EXPECT_EQ(m.id(), 2);
    EXPECT_EQ(d.literalQuote2(), u'\'');
    EXPECT_EQ(m.literalQuote2(), u'"');
    EXPECT_EQ(d.identifierQuote(), u'"');
    EXPECT_EQ(m.identifierQuote(), u'`');
    EXPECT_EQ(d.lineCommentStartChar3(), 0);
    EXPECT_EQ(m.lineCommentStartChar3(), u' ');
    EXPECT_EQ(m.lineCommentStartLength(), 3);
    EXPECT_EQ(m.lineCommentStart2Char1(), u'#');
    EXPECT_TRUE(d.quotedIdentifierMustMatchCase());
    EXPECT_FALSE(m.quotedIdentifierMustMatchCase());
    EXPECT_FALSE(d.backslashEscapesQuotes());
    EXPECT_TRUE(m.backslashEscapesQuotes());
    for (const auto &p : {d, m}) {
        EXPECT_EQ(p.blockCommentStart(), "/*");
        EXPECT_EQ(p.blockCommentEnd(), "*/");
        EXPECT_EQ(p.querySeparator(), u';');
        EXPECT_EQ(p.inputParameter(), u':');
        EXPECT_EQ(p.literalQuote(), u'\'');
    }
}

} // namespace
