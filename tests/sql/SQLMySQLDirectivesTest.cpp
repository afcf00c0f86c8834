#include "SQLTestSupport.h"

#include <gtest/gtest.h>

namespace
{

using C = SQLParserComponent;
constexpr quint64 N = C::None, W = C::Whitespace, I = C::Identifier, S = C::QuerySeparator, NL = C::Newline;

SQLParser mySQLParser()
{
    SQLParser parser;
    parser.setParseProperties(SQLParserParseProperties::mySQLParseProperties());
    return parser;
}

TEST(SQLMySQLDirectives, ADelimiterLineIsOneSeparatorAndSetsTheNextOnes)
{
    struct Case {
        QString text;
        Tokens expected;
    };
    const Case cases[] = {
        {"DELIMITER //\na;b//", {{S, "DELIMITER //"}, {NL, "\n"}, {I, "a"}, {N, ";"}, {I, "b"}, {S, "//"}}},
        {"  delimiter $$ rest\nx$$", {{S, "  delimiter $$ rest"}, {NL, "\n"}, {I, "x"}, {S, "$$"}}},
        {"DELIMITER //\nDELIMITER ;\na;",
         {{S, "DELIMITER //"}, {NL, "\n"}, {S, "DELIMITER ;"}, {NL, "\n"}, {I, "a"}, {S, ";"}}},
        // Only at the start of a line, with a separator after it, never inside quotes or comments.
        {"x DELIMITER //", {{I, "x"}, {W, " "}, {I, "DELIMITER"}, {W, " "}, {N, "/"}, {N, "/"}}},
        {"DELIMITER\n", {{I, "DELIMITER"}, {NL, "\n"}}},
        {"DELIMITERS //", {{I, "DELIMITERS"}, {W, " "}, {N, "/"}, {N, "/"}}},
        {"DELIMITER \\d", {{I, "DELIMITER"}, {W, " "}, {N, "\\"}, {I, "d"}}},
        {"'\nDELIMITER //'", {{C::Literal, "'\nDELIMITER //'"}}},
    };
    for (const Case &c : cases) {
        const Tokens actual = tokensOf(mySQLParser().parsedComponentsForString2(c.text));
        EXPECT_EQ(actual, c.expected) << "text «" << visible(c.text).toStdString() << "»\n  got      "
                                      << describe(actual) << "\n  expected " << describe(c.expected);
    }
    // Other dialects know no directive.
    SQLParser standard;
    standard.setParseProperties(SQLParserParseProperties::defaultParseProperties());
    EXPECT_EQ(tokensOf(standard.parsedComponentsForString2("DELIMITER //\n")).front(),
              (Tokens::value_type{I, "DELIMITER"}));
}

TEST(SQLMySQLDirectives, AProcedureScriptSplitsAsTheMySQLClientSplitsIt)
{
    const QString script = QStringLiteral("DROP PROCEDURE IF EXISTS add_two;\n"
                                          "DELIMITER //\n"
                                          "CREATE PROCEDURE add_two(IN n INT)\n"
                                          "BEGIN\n"
                                          "    INSERT INTO t VALUES (n); -- first;\n"
                                          "    INSERT INTO t VALUES (n + 1);\n"
                                          "END //\n"
                                          "DELIMITER ;\n"
                                          "CALL add_two(1);\n");
    const QStringList expected = {"DROP PROCEDURE IF EXISTS add_two",
                                  "CREATE PROCEDURE add_two(IN n INT)\n"
                                  "BEGIN\n"
                                  "    INSERT INTO t VALUES (n); -- first;\n"
                                  "    INSERT INTO t VALUES (n + 1);\n"
                                  "END",
                                  "CALL add_two(1)"};
    SQLParser parser = mySQLParser();
    load(parser, script);
    EXPECT_EQ(statementsOf(parser.allParsedComponents()), expected);

    TextRange found;
    const auto statement =
        parser.parsedComponentsBetweenQuerySeparatorsAroundLocation(script.indexOf("(n + 1)"), &found);
    EXPECT_EQ(script.mid(found.location, found.length).trimmed(),
              QStringLiteral("CREATE PROCEDURE add_two(IN n INT)\nBEGIN\n    INSERT INTO t VALUES (n); -- "
                             "first;\n    INSERT INTO t VALUES (n + 1);\nEND //"));
    EXPECT_FALSE(statement.isEmpty());
}

// Editing a DELIMITER line changes how everything after it splits; the kept list must always be
// what a full scan gives.
TEST(SQLMySQLDirectives, EditsOfDirectivesEqualAFullScan)
{
    struct Edit {
        QString text;
        TextRange range;
        QString replacement;
    };
    const QString body = QStringLiteral("DELIMITER //\nBEGIN a; b; END//\nDELIMITER ;\nc; d;");
    const Edit edits[] = {
        {body, {10, 2}, "$$"},                         // another separator
        {body, {0, 1}, ""},                            // the directive goes
        {"ELIMITER //\na; b//\nc;", {0, 0}, "D"},      // and comes back
        {"DELIMITER \na; b//\nc;", {10, 0}, "//"},     // its separator is typed last
        {"x\nDELIMITER //\na; b//", {1, 1}, ""},       // joined to the line before it
        {"x DELIMITER //\na; b//", {1, 1}, "\n"},      // moved to a line of its own
        {body, {body.indexOf("DELIMITER ;"), 11}, ""}, // the closing directive goes
        {body, {body.length(), 0}, "\nDELIMITER |\ne| f;"},
    };
    for (const Edit &e : edits) {
        SQLParser parser = mySQLParser();
        load(parser, e.text);
        QString after = e.text;
        after.replace(e.range.location, e.range.length, e.replacement);
        parser.updateSourceRange(e.range, e.replacement.length() - e.range.length, e.replacement, after);
        const Tokens actual = tokensOf(parser.allParsedComponents());
        const Tokens expected = tokensOf(parser.parsedComponentsForString2(after));
        EXPECT_EQ(actual, expected) << "«" << visible(e.text).toStdString() << "» → «"
                                    << visible(after).toStdString() << "»\n  got      " << describe(actual)
                                    << "\n  expected " << describe(expected);
    }
}

} // namespace
