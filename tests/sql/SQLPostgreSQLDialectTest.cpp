#include "SQLTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>

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

// The statements the editor runs: the text between separator components that holds more than
// whitespace and comments.
QStringList statementsOf(const SQLParserComponentList &components)
{
    QStringList statements;
    SQLParserComponentList group;
    const auto close = [&] {
        const bool content = std::any_of(group.cbegin(), group.cend(), [](const SQLParserComponentPtr &c) {
            const quint64 type = c->parserComponentType();
            return type != C::Whitespace && type != C::Newline && type != C::QueryBreak && type != C::Comment;
        });
        if (content)
            statements.append(SQLParserComponent::stringForComponents(group, false, true).trimmed());
        group.clear();
    };
    for (const SQLParserComponentPtr &component : components) {
        if (component->parserComponentType() == C::QuerySeparator)
            close();
        else
            group.append(component);
    }
    close();
    return statements;
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

} // namespace
