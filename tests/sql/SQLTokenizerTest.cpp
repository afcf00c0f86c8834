#include "SQLTestSupport.h"

#include <QRandomGenerator>
#include <gtest/gtest.h>

namespace
{

using C = SQLParserComponent;
constexpr quint64 N = C::None, W = C::Whitespace, L = C::Literal, I = C::Identifier, Q = C::QuotedIdentifier,
                  K = C::Comment, NL = C::Newline, QB = C::QueryBreak, S = C::QuerySeparator,
                  P = C::InputParameter;

struct Case {
    Dialect dialect;
    QString text;
    Tokens expected;
};

Tokens scan(Dialect dialect, const QString &text)
{
    SQLParser parser;
    parser.setParseProperties(propertiesFor(dialect));
    return tokensOf(parser.parsedComponentsForString2(text));
}

void expectCases(const std::vector<Case> &cases)
{
    for (const Case &c : cases) {
        const Tokens actual = scan(c.dialect, c.text);
        EXPECT_EQ(actual, c.expected)
            << "dialect " << dialectName(c.dialect) << ", text «" << visible(c.text).toStdString()
            << "»\n  got      " << describe(actual) << "\n  expected " << describe(c.expected);
    }
}

constexpr Dialect D = Dialect::Default, M = Dialect::MySQL, X = Dialect::NoDialect;

TEST(SQLTokenizer, WordsOperatorsNumbersAndParameters)
{
    expectCases({
        {D,
         "select a.b, :p1 from t;",
         {{I, "select"},
          {W, " "},
          {I, "a"},
          {N, "."},
          {I, "b"},
          {N, ","},
          {W, " "},
          {P, ":p1"},
          {W, " "},
          {I, "from"},
          {W, " "},
          {I, "t"},
          {S, ";"}}},
        {D, "", {}},
        {D, "a<>b", {{I, "a"}, {N, "<"}, {N, ">"}, {I, "b"}}},
        {D,
         "a<=b==c!=d>=e++",
         {{I, "a"},
          {N, "<="},
          {I, "b"},
          {N, "=="},
          {I, "c"},
          {N, "!="},
          {I, "d"},
          {N, ">="},
          {I, "e"},
          {N, "++"}}},
        {D, "-.5", {{N, "-"}, {L, ".5"}}},
        {D, "1.2.3", {{L, "1.2.3"}}},
        {D, "1e5", {{L, "1"}, {I, "e5"}}},
        {D, "-1", {{L, "-1"}}},
        {D, "1-2", {{L, "1"}, {L, "-2"}}},
        {D, "_id", {{N, "_"}, {I, "id"}}},
        {D, "café", {{I, "caf"}, {N, "é"}}},
        {D, "a\t\u00a0 b", {{I, "a"}, {W, "\t\u00a0 "}, {I, "b"}}},
        {D, "\r\n", {{N, "\r"}, {NL, "\n"}}},
        {D, ":1_x :", {{P, ":1_x"}, {W, " "}, {N, ":"}}},
        {D, "a :=b", {{I, "a"}, {W, " "}, {N, ":"}, {N, "="}, {I, "b"}}},
        // The second colon of a cast is no parameter.
        {D, "x::int", {{I, "x"}, {N, ":"}, {N, ":"}, {I, "int"}}},
        {D, "':'::text", {{L, "':'"}, {N, ":"}, {N, ":"}, {I, "text"}}},
        {D, "a:::b", {{I, "a"}, {N, ":"}, {N, ":"}, {N, ":"}, {I, "b"}}},
        {M, "x--y", {{I, "x"}, {N, "--"}, {I, "y"}}},
        {X, "-- x", {{N, "--"}, {W, " "}, {I, "x"}}},
    });
}

TEST(SQLTokenizer, LinesAndBlankLines)
{
    expectCases({
        {D, "a\nb", {{I, "a"}, {NL, "\n"}, {I, "b"}}},
        {D, "a\n\nb", {{I, "a"}, {QB, "\n\n"}, {I, "b"}}},
        {D, "-- x\n\nb", {{K, "-- x\n"}, {QB, "\n"}, {I, "b"}}},
        {D, "-- x\nb", {{K, "-- x\n"}, {I, "b"}}},
        {D, "\nx", {{NL, "\n"}, {I, "x"}}},
        {D, "\n\nx", {{QB, "\n\n"}, {I, "x"}}},
        {D, "x;\n\n\ny", {{I, "x"}, {S, ";"}, {QB, "\n\n\n"}, {I, "y"}}},
        {M, "# c\n\nx", {{K, "# c\n"}, {QB, "\n"}, {I, "x"}}},
        {X, "a\n\nb", {{I, "a"}, {QB, "\n\n"}, {I, "b"}}},
    });
}

TEST(SQLTokenizer, QuotesAndBackslashes)
{
    expectCases({
        {D, "'it''s'", {{L, "'it'"}, {L, "'s'"}}},
        {D, "'abc", {{L, "'abc"}}},
        // A backslash escapes nothing outside MySQL: the literal closes and the next statement stays apart.
        {D, "'C:\\';x", {{L, "'C:\\'"}, {S, ";"}, {I, "x"}}},
        {D, "'a\\'b'", {{L, "'a\\'"}, {I, "b"}, {L, "'"}}},
        {M, "'a\\'b'", {{L, "'a\\'b'"}}},
        {M, "'C:\\\\';x", {{L, "'C:\\\\'"}, {S, ";"}, {I, "x"}}},
        {M, "'a\\\\\\'b';", {{L, "'a\\\\\\'b'"}, {S, ";"}}},
        {M, "\"a\\\"b\" c", {{L, "\"a\\\"b\""}, {W, " "}, {I, "c"}}},
        {D, "\"x\"", {{Q, "\"x\""}}},
        {M, "\"x\"", {{L, "\"x\""}}},
        {M, "`x`", {{Q, "`x`"}}},
        // Inside backquotes a backslash is an ordinary character.
        {M, "`C:\\`;x", {{Q, "`C:\\`"}, {S, ";"}, {I, "x"}}},
        {D, "`x`", {{N, "`"}, {I, "x"}, {N, "`"}}},
        {D, "'a;--b/*c' d", {{L, "'a;--b/*c'"}, {W, " "}, {I, "d"}}},
        {D, "'a\nb'", {{L, "'a\nb'"}}},
        {X, "'a';", {{N, "'"}, {I, "a"}, {N, "'"}, {N, ";"}}},
    });
}

TEST(SQLTokenizer, Comments)
{
    expectCases({
        {D, "/**/ x", {{K, "/**/"}, {W, " "}, {I, "x"}}},
        {D, "/* */ x", {{K, "/* */"}, {W, " "}, {I, "x"}}},
        {D, "/*/ x", {{K, "/*/ x"}}},
        {D, "/* a", {{K, "/* a"}}},
        {D, "/* a\n\nb */;", {{K, "/* a\n\nb */"}, {S, ";"}}},
        {D, "--1", {{K, "--1"}}},
        {D, "a -- b;c\nd", {{I, "a"}, {W, " "}, {K, "-- b;c\n"}, {I, "d"}}},
        {D, "# x", {{N, "#"}, {W, " "}, {I, "x"}}},
        {M, "# c\nx", {{K, "# c\n"}, {I, "x"}}},
        {M, "--x", {{N, "--"}, {I, "x"}}},
        {M, "-- x", {{K, "-- x"}}},
        {M, "---", {{N, "---"}}},
        {M, "/**/x", {{K, "/**/"}, {I, "x"}}},
        {X, "/* x */", {{N, "/"}, {N, "*"}, {W, " "}, {I, "x"}, {W, " "}, {N, "*"}, {N, "/"}}},
    });
}

// Whatever the text, the components cover it exactly, in order, with consistent lengths and
// newline counts.
TEST(SQLTokenizer, ComponentsConcatenateToTheInput)
{
    static const QStringList pieces = {
        "a",  "select", "1", " ", "\t", "\n", "\n\n", "'", "\"", "`", "-",  "--", "/", "*", "/*",
        "*/", "#",      ";", ":", "::", ".",  "\\",   "<", "=",  "é", "\r", "_",  "(", ")", "\u00a0"};
    for (const Dialect dialect : {Dialect::Default, Dialect::MySQL, Dialect::NoDialect}) {
        SQLParser parser;
        parser.setParseProperties(propertiesFor(dialect));
        for (quint32 seed = 1; seed <= 2000; ++seed) {
            QRandomGenerator random(seed);
            QString text;
            const int count = random.bounded(40);
            for (int k = 0; k < count; ++k)
                text += pieces.at(random.bounded(pieces.size()));
            const SQLParserComponentList components = parser.parsedComponentsForString2(text);
            QString joined;
            for (const auto &c : components) {
                ASSERT_GT(c->length(), 0) << "seed " << seed;
                ASSERT_EQ(c->length(), c->string().length());
                ASSERT_EQ(c->newlines(), c->string().count(u'\n'));
                joined += c->string();
            }
            ASSERT_EQ(joined, text) << "dialect " << dialectName(dialect) << " seed " << seed << " text «"
                                    << visible(text).toStdString() << "»";
        }
    }
}

TEST(SQLTokenizer, CharacterClassesCanBeReplaced)
{
    SQLParser parser;
    parser.setParseProperties(SQLParserParseProperties::defaultParseProperties());
    parser.setIdentifierStartCharacterSet(SQLCharacterSet::characterSetWithCharactersInString("_abc"));
    EXPECT_EQ(tokensOf(parser.parsedComponentsForString2("_ab d")), (Tokens{{I, "_ab"}, {W, " "}, {N, "d"}}));
}

} // namespace
