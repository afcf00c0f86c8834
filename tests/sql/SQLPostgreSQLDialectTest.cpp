#include "SQLTestSupport.h"

#include <gtest/gtest.h>

namespace
{

using C = SQLParserComponent;
constexpr quint64 N = C::None, W = C::Whitespace, L = C::Literal, I = C::Identifier, Q = C::QuotedIdentifier,
                  K = C::Comment, S = C::QuerySeparator, P = C::InputParameter;

enum class Kind { PostgreSQL, Default };

struct Case {
    Kind dialect;
    QString text;
    Tokens expected;
};

SQLParser parserFor(Kind dialect)
{
    SQLParser parser;
    parser.setParseProperties(dialect == Kind::PostgreSQL
                                  ? SQLParserParseProperties::postgreSQLParseProperties()
                                  : SQLParserParseProperties::defaultParseProperties());
    return parser;
}

void expectCases(const std::vector<Case> &cases)
{
    for (const Case &c : cases) {
        const Tokens actual = tokensOf(parserFor(c.dialect).parsedComponentsForString2(c.text));
        EXPECT_EQ(actual, c.expected) << (c.dialect == Kind::PostgreSQL ? "PostgreSQL" : "default")
                                      << ", text «" << visible(c.text).toStdString() << "»\n  got      "
                                      << describe(actual) << "\n  expected " << describe(c.expected);
    }
}

constexpr Kind PG = Kind::PostgreSQL, D = Kind::Default;

TEST(SQLPostgreSQLDialect, DollarQuotedStringsAreOneLiteral)
{
    expectCases({
        {PG, "$$ BEGIN RETURN 1; END $$;", {{L, "$$ BEGIN RETURN 1; END $$"}, {S, ";"}}},
        {PG, "$body$ a $$ ; $b$ $body$ x", {{L, "$body$ a $$ ; $b$ $body$"}, {W, " "}, {I, "x"}}},
        {PG, "$_t1$;$_t1$", {{L, "$_t1$;$_t1$"}}},
        {PG, "$$$$;", {{L, "$$$$"}, {S, ";"}}},
        // Unterminated: the body runs to the end, as an open quote does.
        {PG, "$a$ x; y", {{L, "$a$ x; y"}}},
        // A dollar continuing a word or number opens nothing; $1 is a positional parameter.
        {PG, "v$session;", {{I, "v"}, {N, "$"}, {I, "session"}, {S, ";"}}},
        {PG, "a$$b$$;", {{I, "a"}, {N, "$"}, {N, "$"}, {I, "b"}, {N, "$"}, {N, "$"}, {S, ";"}}},
        {PG, "$1;$2", {{N, "$"}, {L, "1"}, {S, ";"}, {N, "$"}, {L, "2"}}},
        {PG, "1$a$;", {{L, "1"}, {N, "$"}, {I, "a"}, {N, "$"}, {S, ";"}}},
        {PG, "$a b$;", {{N, "$a"}, {W, " "}, {I, "b"}, {N, "$"}, {S, ";"}}},
        {D,
         "$$ a; b $$",
         {{N, "$"},
          {N, "$"},
          {W, " "},
          {I, "a"},
          {S, ";"},
          {W, " "},
          {I, "b"},
          {W, " "},
          {N, "$"},
          {N, "$"}}},
    });
}

TEST(SQLPostgreSQLDialect, BlockCommentsNest)
{
    expectCases({
        {PG, "/* /* */ ; */ x", {{K, "/* /* */ ; */"}, {W, " "}, {I, "x"}}},
        {PG, "/**/;", {{K, "/**/"}, {S, ";"}}},
        {PG, "/*/ x */;", {{K, "/*/ x */"}, {S, ";"}}},
        {PG, "/* /* */ ;", {{K, "/* /* */ ;"}}},
        {D, "/* /* */ ; */", {{K, "/* /* */"}, {W, " "}, {S, ";"}, {W, " "}, {N, "*"}, {N, "/"}}},
    });
}

TEST(SQLPostgreSQLDialect, PrefixedStrings)
{
    expectCases({
        {PG, "E'it\\'s';", {{L, "E'it\\'s'"}, {S, ";"}}},
        {PG, "e'a\\\\';x", {{L, "e'a\\\\'"}, {S, ";"}, {I, "x"}}},
        // Without the prefix a backslash is an ordinary character.
        {PG, "'C:\\';x", {{L, "'C:\\'"}, {S, ";"}, {I, "x"}}},
        {PG, "type'x'", {{I, "type"}, {L, "'x'"}}},
        {PG, "U&'d\\0061t;a'", {{L, "U&'d\\0061t;a'"}}},
        {PG, "u&\"d;t\" x", {{Q, "u&\"d;t\""}, {W, " "}, {I, "x"}}},
        {PG, "U& 'x'", {{I, "U"}, {N, "&"}, {W, " "}, {L, "'x'"}}},
        {D, "E'it\\'s';", {{I, "E"}, {L, "'it\\'"}, {I, "s"}, {L, "';"}}},
        {D, "U&'x'", {{I, "U"}, {N, "&"}, {L, "'x'"}}},
    });
}

TEST(SQLPostgreSQLDialect, ArraySliceIsNoParameter)
{
    expectCases({
        {PG, "a[1:2]", {{I, "a"}, {N, "["}, {L, "1"}, {N, ":"}, {L, "2"}, {N, "]"}}},
        {PG, "a[lo:hi]", {{I, "a"}, {N, "["}, {I, "lo"}, {N, ":"}, {I, "hi"}, {N, "]"}}},
        {PG, "x = :p", {{I, "x"}, {W, " "}, {N, "="}, {W, " "}, {P, ":p"}}},
        {PG, "ARRAY[:a]", {{I, "ARRAY"}, {N, "["}, {P, ":a"}, {N, "]"}}},
        {PG, "x::int", {{I, "x"}, {N, ":"}, {N, ":"}, {I, "int"}}},
        {D, "a[1:2]", {{I, "a"}, {N, "["}, {L, "1"}, {P, ":2"}, {N, "]"}}},
    });
}

TEST(SQLPostgreSQLDialect, ScriptSplitsIntoWholeStatements)
{
    const QString function = QStringLiteral("CREATE FUNCTION add_one(i int) RETURNS int AS $$\n"
                                            "BEGIN\n"
                                            "    /* a comment; /* nested */ still */\n"
                                            "    RETURN i + 1; -- done;\n"
                                            "END\n"
                                            "$$ LANGUAGE plpgsql");
    const QString block = QStringLiteral("DO $body$\n"
                                         "DECLARE n text := 'x;y';\n"
                                         "BEGIN\n"
                                         "    RAISE NOTICE '%', $$;$$;\n"
                                         "END\n"
                                         "$body$");
    const QString escaped = QStringLiteral("SELECT E'it\\'s; fine', U&'d\\0061ta', (ARRAY[1,2,3])[1:2]");
    const QStringList expected = {function, block, escaped, QStringLiteral("COMMIT")};
    const QString script = expected.join(QStringLiteral(";\n\n")) + QStringLiteral(";\n");

    SQLParser parser = parserFor(PG);
    load(parser, script);
    EXPECT_EQ(statementsOf(parser.allParsedComponents()), expected);
    for (const auto &component : parser.allParsedComponents())
        EXPECT_NE(component->parserComponentType(), C::InputParameter) << component->string().toStdString();

    // The same script in the default dialect falls apart inside the bodies.
    SQLParser standard = parserFor(D);
    load(standard, script);
    EXPECT_GT(statementsOf(standard.allParsedComponents()).size(), expected.size());
}

TEST(SQLPostgreSQLDialect, RoutineBodiesKeepTheirSeparators)
{
    struct Split {
        QString script;
        QStringList statements;
    };
    const Split cases[] = {
        {"CREATE FUNCTION f() RETURNS int LANGUAGE sql BEGIN ATOMIC SELECT 1; SELECT 2; END; SELECT 3",
         {"CREATE FUNCTION f() RETURNS int LANGUAGE sql BEGIN ATOMIC SELECT 1; SELECT 2; END", "SELECT 3"}},
        {"create or replace procedure p() begin atomic select case when x then 1 else 2 end; "
         "insert into t values (1); end; commit",
         {"create or replace procedure p() begin atomic select case when x then 1 else 2 end; "
          "insert into t values (1); end",
          "commit"}},
        // A parameter named begin opens nothing; outside a routine BEGIN is a transaction.
        {"CREATE FUNCTION f(begin int) RETURNS int RETURN 1; SELECT 1",
         {"CREATE FUNCTION f(begin int) RETURNS int RETURN 1", "SELECT 1"}},
        {"BEGIN; UPDATE t SET a = 1; END; SELECT 1", {"BEGIN", "UPDATE t SET a = 1", "END", "SELECT 1"}},
        {"CREATE TABLE t (a int); BEGIN; SELECT 1", {"CREATE TABLE t (a int)", "BEGIN", "SELECT 1"}},
        // A body in dollar quotes holds no words of the statement.
        {"CREATE FUNCTION f() RETURNS void AS $$ BEGIN NULL; END $$ LANGUAGE plpgsql; SELECT 1",
         {"CREATE FUNCTION f() RETURNS void AS $$ BEGIN NULL; END $$ LANGUAGE plpgsql", "SELECT 1"}},
    };
    for (const Split &c : cases) {
        SQLParser parser = parserFor(PG);
        load(parser, c.script);
        EXPECT_EQ(statementsOf(parser.allParsedComponents()), c.statements) << c.script.toStdString();
        EXPECT_EQ(statementsOf(parser.parsedComponentsForString2(c.script)), c.statements);
    }
    // The default dialect knows no bodies.
    SQLParser standard = parserFor(D);
    load(standard, cases[0].script);
    EXPECT_EQ(statementsOf(standard.allParsedComponents()).size(), 4);
}

TEST(SQLPostgreSQLDialect, TypingABodyOpenAndClosedFollowsTheStatement)
{
    SQLParser parser = parserFor(PG);
    QString text =
        QStringLiteral("CREATE PROCEDURE p() LANGUAGE sql\n  SELECT 1;\n  SELECT 2;\nEND;\nSELECT 3;");
    load(parser, text);
    ASSERT_EQ(statementsOf(parser.allParsedComponents()).size(), 4);
    // Typing BEGIN ATOMIC before the body joins it into the procedure.
    const qint64 at = text.indexOf(u'\n');
    const QString opener = QStringLiteral(" BEGIN ATOMIC");
    text.insert(at, opener);
    parser.updateSourceRange({at, 0}, opener.length(), opener, text);
    EXPECT_EQ(tokensOf(parser.allParsedComponents()), tokensOf(parser.parsedComponentsForString2(text)));
    EXPECT_EQ(statementsOf(parser.allParsedComponents()).size(), 2);
    TextRange found;
    parser.parsedComponentsBetweenQuerySeparatorsAroundLocation(text.indexOf("SELECT 2"), &found);
    EXPECT_EQ(found.location, 0) << "the caret's statement is the whole procedure";
    // Deleting it splits the body again.
    text.remove(at, opener.length());
    parser.updateSourceRange({at, opener.length()}, -opener.length(), QString(), text);
    EXPECT_EQ(tokensOf(parser.allParsedComponents()), tokensOf(parser.parsedComponentsForString2(text)));
    EXPECT_EQ(statementsOf(parser.allParsedComponents()).size(), 4);
}

} // namespace
