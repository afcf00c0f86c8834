#include "SQLTestSupport.h"

#include <QRandomGenerator>
#include <gtest/gtest.h>

namespace
{

using C = SQLParserComponent;

struct Edit {
    TextRange range;
    QString replacement;
};

// Applies one edit to the text and to the parser, as the editor does after every change.
QString apply(SQLParser &parser, const QString &text, const Edit &edit, TextRange *reparsed = nullptr,
              SQLParserComponentList *components = nullptr)
{
    QString result = text;
    result.replace(edit.range.location, edit.range.length, edit.replacement);
    parser.updateSourceRange(edit.range, edit.replacement.length() - edit.range.length, edit.replacement,
                             result, reparsed, components);
    return result;
}

SQLParser parserFor(Dialect dialect)
{
    SQLParser parser;
    parser.setParseProperties(propertiesFor(dialect));
    return parser;
}

TEST(SQLIncrementalReparse, LoadingTypingAndDeletingFollowTheDesign)
{
    SQLParser parser = parserFor(Dialect::Default);
    TextRange reparsed;
    SQLParserComponentList fresh;
    QString text = apply(parser, "", {{0, 0}, "select 1"}, &reparsed, &fresh);
    EXPECT_EQ(tokensOf(parser.allParsedComponents()),
              (Tokens{{C::Identifier, "select"}, {C::Whitespace, " "}, {C::Literal, "1"}}));
    EXPECT_EQ(reparsed, (TextRange{0, 8}));
    EXPECT_EQ(tokensOf(fresh), tokensOf(parser.allParsedComponents()));

    SQLParser ab = parserFor(Dialect::Default);
    text = apply(ab, "", {{0, 0}, "ab"});
    text = apply(ab, text, {{2, 0}, "x"}, &reparsed);
    EXPECT_EQ(tokensOf(ab.allParsedComponents()), (Tokens{{C::Identifier, "abx"}}));
    EXPECT_EQ(reparsed, (TextRange{0, 3}));

    text = apply(ab, text, {{0, 3}, ""}, &reparsed, &fresh);
    EXPECT_TRUE(ab.allParsedComponents().isEmpty());
    EXPECT_TRUE(ab.parsedComponentsInRange({0, 0}).isEmpty());
    apply(ab, text, {{0, 0}, "z"});
    EXPECT_EQ(tokensOf(ab.allParsedComponents()), (Tokens{{C::Identifier, "z"}}));
}

// The scan runs on past the edit until its components end where old ones end: a quote runs to the
// end of the text, a comment opener or closer only as far as the comment it changes reaches.
TEST(SQLIncrementalReparse, ReparseRunsOnOnlyAsFarAsTheEditChangesTheText)
{
    struct Case {
        QString text;
        Edit edit;
        TextRange reparsed;
    };
    const Case cases[] = {
        {"a b c", {{0, 0}, "'"}, {0, 6}},           // the rest becomes one literal
        {"'a' b", {{2, 1}, ""}, {0, 4}},            // its closer goes: the same
        {"'abc' d", {{2, 1}, ""}, {0, 4}},          // a letter inside a literal
        {"* x */ y", {{0, 0}, "/"}, {0, 7}},        // an opener: up to the closer
        {"/* a */ b", {{3, 0}, "x"}, {0, 8}},       // a letter inside a comment
        {"/* a b */ c", {{4, 0}, "*/"}, {0, 11}},   // a closer: up to the old one
        {"select a from t", {{8, 0}, "b"}, {7, 3}}, // a letter in a word
        {"-- a\nb c\nd", {{1, 1}, ""}, {0, 4}},     // a line comment that goes: up to its line feed
    };
    for (const Case &c : cases) {
        SQLParser parser = parserFor(Dialect::Default);
        const QString before = apply(parser, "", {{0, 0}, c.text});
        TextRange reparsed;
        const QString after = apply(parser, before, c.edit, &reparsed);
        EXPECT_EQ(tokensOf(parser.allParsedComponents()), tokensOf(parser.parsedComponentsForString2(after)));
        EXPECT_EQ(reparsed, c.reparsed) << visible(c.text).toStdString();
    }
}

// Edits the design's run-on test alone would get wrong; each must equal a full scan.
TEST(SQLIncrementalReparse, EditsThatChangeTheContextOfLaterComponents)
{
    struct Case {
        Dialect dialect;
        QString text;
        Edit edit;
    };
    const Case cases[] = {
        {Dialect::Default, "-- a\n\nb", {{0, 1}, ""}},  // the comment goes, "\n" + "\n" become one break
        {Dialect::Default, "- a\n\nb", {{0, 0}, "-"}},  // and comes back
        {Dialect::Default, "-- x\n\nb", {{6, 0}, "c"}}, // typing after a single-"\n" break
        {Dialect::MySQL, "'a\\' b' c", {{2, 1}, ""}},   // deleting a backslash closes the literal
        {Dialect::MySQL, "'a' b' c", {{2, 0}, "\\"}},   // typing one escapes the quote
        {Dialect::MySQL, "'a\\\\' b' c", {{3, 1}, ""}}, // two backslashes become one
        {Dialect::Default, "x:int", {{1, 0}, ":"}},     // a parameter becomes the tail of a cast
        {Dialect::Default, "x::int", {{1, 1}, ""}},     // and back
        {Dialect::MySQL, "--x y", {{2, 0}, " "}},       // a dash run becomes a comment
        {Dialect::Default, "/* a */ b */ c", {{2, 0}, "*/"}},
        {Dialect::Default, "a;b", {{2, 0}, "c"}},
    };
    for (const Case &c : cases) {
        SQLParser parser = parserFor(c.dialect);
        const QString before = apply(parser, "", {{0, 0}, c.text});
        const QString after = apply(parser, before, c.edit);
        EXPECT_EQ(tokensOf(parser.allParsedComponents()), tokensOf(parser.parsedComponentsForString2(after)))
            << "«" << visible(before).toStdString() << "» → «" << visible(after).toStdString() << "»";
    }
}

// PostgreSQL components whose kind depends on text further on: a dollar tag needs its closing $,
// U& its quote.
TEST(SQLIncrementalReparse, PostgreSQLEditsThatChangeQuotingEqualAFullScan)
{
    struct Case {
        QString text;
        Edit edit;
    };
    const Case cases[] = {
        {"$$ a; b $$; c", {{4, 1}, "x"}},     // typing inside a body keeps one literal
        {"$$ a; b $$; c", {{3, 0}, "$$"}},    // closing the body early
        {"$$ a; b $$; c", {{1, 1}, ""}},      // the opener goes
        {"$ab x; $ab$", {{3, 0}, "$"}},       // a tag gets its closing $
        {"$ab$ x; $ab$", {{3, 1}, ""}},       // and loses it
        {"v $a$ x $a$", {{1, 1}, ""}},        // the $ comes to continue a word
        {"U& 'a;b'; c", {{2, 1}, ""}},        // U& meets its quote
        {"U&x 'a;b'; c", {{2, 1}, "'"}},      // by typing it
        {"E 'a\\'; b'; c", {{1, 1}, ""}},     // E meets its quote: the backslash escapes
        {"/* a */ b; */ c", {{2, 0}, "/* "}}, // a nested opener needs a second closer
        {"a[1 :2]", {{3, 1}, ""}},            // a parameter becomes the end of a slice
    };
    for (const Case &c : cases) {
        SQLParser parser;
        parser.setParseProperties(SQLParserParseProperties::postgreSQLParseProperties());
        const QString before = apply(parser, "", {{0, 0}, c.text});
        const QString after = apply(parser, before, c.edit);
        EXPECT_EQ(tokensOf(parser.allParsedComponents()), tokensOf(parser.parsedComponentsForString2(after)))
            << "«" << visible(before).toStdString() << "» → «" << visible(after).toStdString() << "»";
    }
}

TEST(SQLIncrementalReparse, AnEditThatDoesNotFitTheTextReparsesEverything)
{
    SQLParser parser = parserFor(Dialect::Default);
    apply(parser, "", {{0, 0}, "select 1"});
    // The caller lost track: the range lies beyond the parsed text.
    parser.updateSourceRange({40, 2}, 0, "x", "select 2 from t");
    EXPECT_EQ(tokensOf(parser.allParsedComponents()),
              tokensOf(parser.parsedComponentsForString2("select 2 from t")));
    EXPECT_EQ(parser.source(), "select 2 from t");

    // The parser's own text inserted into itself.
    EXPECT_TRUE(parser.replaceSourceRange({8, 0}, parser.source()));
    EXPECT_EQ(parser.source(), "select 2select 2 from t from t");
    EXPECT_EQ(tokensOf(parser.allParsedComponents()),
              tokensOf(parser.parsedComponentsForString2(parser.source())));
    parser.updateSourceRange({0, 0}, 0, "select 2 from t", "select 2 from t");

    // An edit of the parser's own text outside it is refused and changes nothing.
    for (const TextRange outside : {TextRange{40, 2}, TextRange{-1, 1}, TextRange{10, 6}}) {
        EXPECT_FALSE(parser.replaceSourceRange(outside, "x"));
        EXPECT_EQ(parser.source(), "select 2 from t");
        EXPECT_EQ(tokensOf(parser.allParsedComponents()),
                  tokensOf(parser.parsedComponentsForString2("select 2 from t")));
    }
}

TEST(SQLIncrementalReparse, SeekCacheForgetsEverythingAtAndAfterAnEdit)
{
    SQLParser parser = parserFor(Dialect::Default);
    QString text;
    for (int k = 0; k < 3000; ++k)
        text += QStringLiteral("select a, b from t where x = %1;\n\n").arg(k);
    text = apply(parser, "", {{0, 0}, text});
    parser.parsedComponentsInRange({text.length() - 1, 0});
    parser.lineNumberForCharacterAtIndex(text.length() - 1);
    ASSERT_FALSE(parser.seekCache().keys_querySeparator().isEmpty());
    ASSERT_FALSE(parser.seekCache().keys_queryBreak().isEmpty());
    ASSERT_FALSE(parser.seekCache().keys_lines().isEmpty());

    const qint64 at = text.length() / 2;
    TextRange reparsed;
    apply(parser, text, {{at, 0}, "z"}, &reparsed);
    const SQLParserSeekCache &cache = parser.seekCache();
    for (const auto *keys : {&cache.keys_querySeparator(), &cache.keys_queryBreak(), &cache.keys_lines()}) {
        for (const qint64 key : *keys)
            EXPECT_LT(key, reparsed.location);
    }
    for (const auto &entry : cache.indices_char_for_lines())
        EXPECT_LT(entry.second, reparsed.location);
    EXPECT_FALSE(cache.keys_querySeparator().isEmpty()) << "entries before the edit stay";
}

// The heart of it: after every random edit the incrementally kept list must be exactly what a
// full scan of the new text gives, and lookups through the seek cache must answer as a fresh
// parser (with an empty cache) does.
class Differential
{
public:
    Differential(Dialect dialect, quint32 seed)
        : properties_(propertiesFor(dialect)), name_(dialectName(dialect)), seed_(seed), random_(seed)
    {
    }
    // The PostgreSQL dialect, whose edits also draw on its own quotes and comments.
    explicit Differential(quint32 seed)
        : properties_(SQLParserParseProperties::postgreSQLParseProperties()), name_("PostgreSQL"),
          postgreSQL_(true), seed_(seed), random_(seed)
    {
    }

    QString randomPiece()
    {
        static const QStringList pieces = {"a",
                                           "b",
                                           "select",
                                           " ",
                                           "  ",
                                           "\t",
                                           "\n",
                                           "\n\n",
                                           "'",
                                           "\"",
                                           "`",
                                           "-",
                                           "--",
                                           "-- ",
                                           "/",
                                           "*",
                                           "/*",
                                           "*/",
                                           "#",
                                           ";",
                                           ":",
                                           "::",
                                           ":p",
                                           ".",
                                           "\\",
                                           "\\\\",
                                           "<",
                                           "=",
                                           "1",
                                           ".5",
                                           "é",
                                           "\r",
                                           "_",
                                           "(",
                                           ")",
                                           "!",
                                           "'x'",
                                           "/**/",
                                           "DELIMITER //",
                                           "\nDELIMITER ;\n",
                                           "delimiter $$ x",
                                           "//",
                                           "$$"};
        static const QStringList postgreSQLPieces = {"$",
                                                     "$$",
                                                     "$a$",
                                                     "$b$",
                                                     "v$",
                                                     "$1",
                                                     "E'",
                                                     "e'x\\'",
                                                     "U&'",
                                                     "U&\"",
                                                     "&",
                                                     "[1:2]",
                                                     "/* /*",
                                                     "a[",
                                                     "]",
                                                     "CREATE FUNCTION f() ",
                                                     "begin atomic ",
                                                     "BEGIN",
                                                     "END",
                                                     "case",
                                                     "create or replace procedure p(",
                                                     "or "};
        QString piece;
        const int count = 1 + random_.bounded(3);
        for (int k = 0; k < count; ++k) {
            if (postgreSQL_ && random_.bounded(2))
                piece += postgreSQLPieces.at(random_.bounded(postgreSQLPieces.size()));
            else
                piece += pieces.at(random_.bounded(pieces.size()));
        }
        return piece;
    }

    Edit randomEdit(const QString &text)
    {
        const qint64 location = random_.bounded(int(text.length()) + 1);
        const qint64 room = text.length() - location;
        qint64 length = 0;
        const int kind = random_.bounded(10);
        if (kind < 4)
            length = std::min<qint64>(room, random_.bounded(4));
        else if (kind == 4)
            length = room ? random_.bounded(int(room) + 1) : 0;
        const bool insert = kind != 5 && (length == 0 || random_.bounded(2));
        return {{location, length}, insert ? randomPiece() : QString()};
    }

    void run(QString text, int edits, bool withLookups)
    {
        SQLParser parser = newParser();
        text = apply(parser, "", {{0, 0}, text});
        for (int step = 0; step < edits; ++step) {
            const QString before = text;
            const Edit edit = randomEdit(text);
            TextRange reparsed;
            SQLParserComponentList fresh;
            // Half the edits go to the parser's own text in place, as the editor makes them.
            if (random_.bounded(2)) {
                text.replace(edit.range.location, edit.range.length, edit.replacement);
                EXPECT_TRUE(parser.replaceSourceRange(edit.range, edit.replacement, &reparsed, &fresh));
            } else {
                text = apply(parser, text, edit, &reparsed, &fresh);
            }
            if (step % 5 == 4) { // asking for the whole text closes the buffer's gap: not after every edit
                EXPECT_EQ(parser.source(), text);
            }
            const Tokens expected = tokensOf(parser.parsedComponentsForString2(text));
            const Tokens actual = tokensOf(parser.allParsedComponents());
            if (actual != expected) {
                ADD_FAILURE() << "dialect " << name_ << " seed " << seed_ << " step " << step
                              << "\n  before «" << visible(before).toStdString() << "»\n  edit at "
                              << edit.range.location << " length " << edit.range.length << " with «"
                              << visible(edit.replacement).toStdString() << "»\n  after  «"
                              << visible(text).toStdString() << "»\n  got      " << describe(actual)
                              << "\n  expected " << describe(expected);
                return;
            }
            checkReparsed(parser, text, edit, reparsed, fresh, step);
            if (withLookups && !checkLookups(parser, text, step))
                return;
        }
    }

private:
    SQLParser newParser() const
    {
        SQLParser parser;
        parser.setParseProperties(properties_);
        return parser;
    }

    void checkReparsed(SQLParser &parser, const QString &text, const Edit &edit, TextRange reparsed,
                       const SQLParserComponentList &fresh, int step)
    {
        QString joined;
        for (const auto &c : fresh)
            joined += c->string();
        EXPECT_EQ(joined, text.mid(reparsed.location, reparsed.length))
            << "seed " << seed_ << " step " << step;
        EXPECT_LE(reparsed.location, edit.range.location) << "seed " << seed_ << " step " << step;
        EXPECT_GE(reparsed.end(), edit.range.location + edit.replacement.length())
            << "seed " << seed_ << " step " << step;
        Q_UNUSED(parser);
    }

    bool checkLookups(SQLParser &parser, const QString &text, int step)
    {
        SQLParser reference = newParser();
        load(reference, text);
        for (int probe = 0; probe < 4; ++probe) {
            const qint64 at = random_.bounded(int(text.length()) + 1);
            TextRange got, want;
            const auto statement = parser.parsedComponentsBetweenQuerySeparatorsAroundLocation(at, &got);
            const auto wanted = reference.parsedComponentsBetweenQuerySeparatorsAroundLocation(at, &want);
            const auto block = parser.parsedComponentsBetweenQueryBreaksAroundLocation(at, &got);
            const auto wantedBlock = reference.parsedComponentsBetweenQueryBreaksAroundLocation(at, &want);
            qint64 offset = -1, wantedOffset = -1, index = -1, wantedIndex = -1;
            const auto touching = parser.parsedComponentsInRange({at, 0}, &offset, &index);
            const auto wantedTouching =
                reference.parsedComponentsInRange({at, 0}, &wantedOffset, &wantedIndex);
            const qint64 line = parser.lineNumberForCharacterAtIndex(at);
            const qint64 lineStart = parser.characterIndexForLineNumber(line);
            const bool same =
                tokensOf(statement) == tokensOf(wanted) && got == want &&
                tokensOf(block) == tokensOf(wantedBlock) && tokensOf(touching) == tokensOf(wantedTouching) &&
                offset == wantedOffset && index == wantedIndex && line == 1 + text.left(at).count(u'\n') &&
                lineStart == (line == 1 ? 0 : text.lastIndexOf(u'\n', at - 1) + 1) &&
                parser.characterIsStartOfQueryBreak(at) == reference.characterIsStartOfQueryBreak(at);
            if (!same) {
                ADD_FAILURE() << "lookup at " << at << " differs: dialect " << name_ << " seed " << seed_
                              << " step " << step << "\n  text «" << visible(text).toStdString() << "»";
                return false;
            }
        }
        return true;
    }

    std::optional<SQLParserParseProperties> properties_;
    const char *name_;
    bool postgreSQL_ = false;
    quint32 seed_;
    QRandomGenerator random_;
};

quint32 baseSeed()
{
    return qEnvironmentVariableIsSet("VORN_SQL_SEED") ? qEnvironmentVariableIntValue("VORN_SQL_SEED") : 1;
}

TEST(SQLIncrementalReparse, RandomEditsOnSmallTextsEqualAFullScan)
{
    for (const Dialect dialect : {Dialect::Default, Dialect::MySQL, Dialect::NoDialect}) {
        for (quint32 seed = baseSeed(); seed < baseSeed() + 300; ++seed) {
            Differential differential(dialect, seed);
            differential.run(differential.randomPiece(), 150, seed % 4 == 0);
            if (::testing::Test::HasFailure())
                return;
        }
    }
}

TEST(SQLIncrementalReparse, RandomPostgreSQLEditsOnSmallTextsEqualAFullScan)
{
    for (quint32 seed = baseSeed(); seed < baseSeed() + 300; ++seed) {
        Differential differential(seed);
        differential.run(differential.randomPiece(), 150, seed % 4 == 0);
        if (::testing::Test::HasFailure())
            return;
    }
}

// A document long enough for the seek cache to hold entries, edited while lookups fill it.
TEST(SQLIncrementalReparse, RandomEditsOnALongScriptEqualAFullScan)
{
    QString script;
    for (int k = 0; k < 900; ++k) {
        script +=
            QStringLiteral("select a, 'x;y', \"q\" from t%1 -- note\nwhere b = :p and c::int > 1;\n").arg(k);
        if (k % 7 == 0)
            script += QStringLiteral("/* block\n\n*/\n\n");
    }
    for (const Dialect dialect : {Dialect::Default, Dialect::MySQL, Dialect::NoDialect}) {
        for (quint32 seed = baseSeed(); seed < baseSeed() + 3; ++seed) {
            Differential differential(dialect, seed);
            differential.run(script, 120, true);
            if (::testing::Test::HasFailure())
                return;
        }
    }
}

// Edits inside and around long dollar-quoted bodies, nested comments and escaped strings.
TEST(SQLIncrementalReparse, RandomEditsOnALongPostgreSQLScriptEqualAFullScan)
{
    QString script;
    for (int k = 0; k < 300; ++k) {
        script += QStringLiteral("CREATE FUNCTION f%1() RETURNS int AS $$\nBEGIN\n  /* x; /* y */ ; */\n"
                                 "  RETURN a[1:2]; -- z\nEND\n$$ LANGUAGE plpgsql;\n"
                                 "DO $t$ BEGIN PERFORM E'it\\'s;', U&'d;'; END $t$;\n\n")
                      .arg(k);
    }
    for (quint32 seed = baseSeed(); seed < baseSeed() + 3; ++seed) {
        Differential differential(seed);
        differential.run(script, 120, true);
        if (::testing::Test::HasFailure())
            return;
    }
}

} // namespace
