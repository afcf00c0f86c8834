#include "SQLTestSupport.h"

#include <gtest/gtest.h>

namespace
{

using C = SQLParserComponent;

QStringList texts(const SQLParserComponentList &components)
{
    QStringList out;
    for (const auto &c : components)
        out << c->string();
    return out;
}

struct Loaded {
    explicit Loaded(const QString &text)
    {
        parser.setParseProperties(SQLParserParseProperties::defaultParseProperties());
        load(parser, text);
    }
    SQLParser parser;
};

TEST(SQLLookup, BlockBetweenBlankLines)
{
    struct Case {
        QString text;
        qint64 at;
        QStringList expected;
        TextRange range;
    };
    constexpr TextRange untouched{-7, -7};
    const Case cases[] = {
        {"a\n\nb", 2, {}, {1, 2}}, // inside the break: nothing, the break's own range
        {"a\n\nb", 3, {"b"}, {3, 1}},
        {"a\n\nb", 0, {"a"}, {0, 1}},
        {"a\n\nb", 4, {}, untouched}, // the very end of the text
        {"select 1\nfrom t", 8, {}, untouched},
        {"select 1\nfrom t", 7, {"select", " ", "1", "\n", "from", " ", "t"}, {0, 15}},
        {"\nx\n\n", 1, {"x"}, {1, 1}}, // leading empty line skipped, trailing newline dropped
        {"a\nb\n\n\nc", 2, {"a", "\n", "b"}, {0, 3}},
        {"", 0, {}, untouched},
    };
    for (const Case &c : cases) {
        Loaded loaded(c.text);
        TextRange range = untouched;
        const auto block = loaded.parser.parsedComponentsBetweenQueryBreaksAroundLocation(c.at, &range);
        EXPECT_EQ(texts(block), c.expected) << visible(c.text).toStdString() << " at " << c.at;
        EXPECT_EQ(range, c.range) << visible(c.text).toStdString() << " at " << c.at;
    }
}

TEST(SQLLookup, StatementBetweenSeparators)
{
    struct Case {
        QString text;
        qint64 at;
        qint64 maximum;
        QStringList expected;
        TextRange range;
    };
    constexpr TextRange notFound{TextRange::NotFound, 0};
    const Case cases[] = {
        {"a;b", 1, -1, {"a", ";"}, {0, 2}},
        {"a;b", 2, -1, {"b"}, {2, 1}},
        {"a;b", 0, -1, {"a", ";"}, {0, 2}},
        {"a b", 3, -1, {"a", " ", "b"}, {0, 3}},
        {"w x y z", 6, -1, {"w", " ", "x", " ", "y", " ", "z"}, {0, 7}},
        {"w x y z", 6, 2, {"w", " ", "x", " ", "y", " "}, {0, 5}},
        {"a\n\nb;c", 4, -1, {"b", ";"}, {3, 2}},
        {"a\n\nb", 0, -1, {"a"}, {0, 1}},
        {"a;", 2, -1, {}, notFound},
        {"", 0, -1, {}, notFound},
    };
    for (const Case &c : cases) {
        Loaded loaded(c.text);
        TextRange range{-7, -7};
        const auto statement =
            loaded.parser.parsedComponentsBetweenQuerySeparatorsAroundLocation(c.at, c.maximum, &range);
        EXPECT_EQ(texts(statement), c.expected) << visible(c.text).toStdString() << " at " << c.at;
        EXPECT_EQ(range, c.range) << visible(c.text).toStdString() << " at " << c.at;
    }
}

TEST(SQLLookup, StartOfQueryBreakAndLines)
{
    Loaded breaks("a\n\nb");
    EXPECT_FALSE(breaks.parser.characterIsStartOfQueryBreak(1));
    EXPECT_TRUE(breaks.parser.characterIsStartOfQueryBreak(2));
    EXPECT_FALSE(breaks.parser.characterIsStartOfQueryBreak(3));

    Loaded lines("a\nb");
    EXPECT_EQ(lines.parser.lineNumberForCharacterAtIndex(0), 1);
    EXPECT_EQ(lines.parser.lineNumberForCharacterAtIndex(1), 1);
    EXPECT_EQ(lines.parser.lineNumberForCharacterAtIndex(2), 2);
    EXPECT_EQ(lines.parser.lineNumberForCharacterAtIndex(3), 2);
    EXPECT_EQ(lines.parser.characterIndexForLineNumber(1), 0);
    EXPECT_EQ(lines.parser.characterIndexForLineNumber(2), 2);
    EXPECT_EQ(lines.parser.characterIndexForLineNumber(3), 3) << "beyond the last line: the text length";

    Loaded inside("x\n\n\n-- c\n/* a\nb */y");
    const qint64 expectedStarts[] = {0, 2, 3, 4, 9, 14};
    for (qint64 line = 1; line <= 6; ++line)
        EXPECT_EQ(inside.parser.characterIndexForLineNumber(line), expectedStarts[line - 1]) << line;
    EXPECT_EQ(inside.parser.lineNumberForCharacterAtIndex(12), 5);
    EXPECT_EQ(inside.parser.lineNumberForCharacterAtIndex(16), 6);
}

TEST(SQLLookup, NewlineCounting)
{
    const QString text = "a\nb\n\nc";
    EXPECT_EQ(SQLParser::countNewlinesInString(text, {0, 6}), 3);
    EXPECT_EQ(SQLParser::countNewlinesInString(text, {2, 2}), 1);
    EXPECT_EQ(SQLParser::countIndexAtNewlinesNo(2, text, {0, 6}), 3);
    EXPECT_EQ(SQLParser::countIndexAtNewlinesNo(1, text, {2, 4}), 1);
    EXPECT_EQ(SQLParser::countIndexAtNewlinesNo(5, text, {0, 6}), 6);
}

// A document many seek-cache spacings long: lookups near the end, then back near the start,
// then after edits, answer as computed straight from the text.
TEST(SQLLookup, LongDocumentAnswersThroughTheSeekCache)
{
    QString text;
    QList<qint64> statementStarts;
    for (int k = 0; k < 6000; ++k) {
        statementStarts << text.length();
        text += QStringLiteral("select a, b from t%1 where c = 1;\n").arg(k);
        if (k % 50 == 49)
            text += u'\n';
    }
    Loaded loaded(text);
    SQLParser &parser = loaded.parser;
    ASSERT_GT(parser.allParsedComponents().size(), 10 * 1001);

    const auto expectStatementAt = [&](int k) {
        const qint64 at = statementStarts[k] + 3;
        TextRange range;
        const auto statement = parser.parsedComponentsBetweenQuerySeparatorsAroundLocation(at, &range);
        // A statement begins after the previous separator, with the line feed that follows it,
        // or after a blank line.
        const qint64 afterSeparator = text.lastIndexOf(u';', statementStarts[k]) + 1;
        const qint64 start = statementStarts[k] - afterSeparator >= 2 ? statementStarts[k] : afterSeparator;
        const qint64 end = text.indexOf(u';', start) + 1;
        ASSERT_EQ(range, (TextRange{start, end - start})) << "statement " << k;
        EXPECT_EQ(SQLParserComponent::stringForComponents(statement, false), text.mid(start, end - start));
        EXPECT_EQ(parser.lineNumberForCharacterAtIndex(at), 1 + text.left(at).count(u'\n')) << k;
        const qint64 line = 1 + text.left(statementStarts[k]).count(u'\n');
        EXPECT_EQ(parser.characterIndexForLineNumber(line), statementStarts[k]) << k;
    };
    for (const int k : {5999, 5990, 3000, 10, 0, 4321, 5999})
        expectStatementAt(k);
    EXPECT_FALSE(parser.seekCache().keys_lines().isEmpty());

    TextRange block;
    parser.parsedComponentsInRange({text.length(), 0});
    parser.parsedComponentsBetweenQueryBreaksAroundLocation(statementStarts[5990], &block);
    const qint64 blockEnd = text.lastIndexOf(u';') + 1;
    EXPECT_EQ(block, (TextRange{statementStarts[5950], blockEnd - statementStarts[5950]}));
    EXPECT_FALSE(parser.seekCache().keys_queryBreak().isEmpty());
    EXPECT_FALSE(parser.seekCache().keys_querySeparator().isEmpty());
    EXPECT_EQ(parser.characterIndexForLineNumber(1 << 30), text.length());
    EXPECT_EQ(parser.lineNumberForCharacterAtIndex(text.length()), 1 + text.count(u'\n'));

    // Edits in the middle shift everything after them; the answers must follow.
    const QString inserted = QStringLiteral("select x;\n\n");
    text.insert(statementStarts[3000], inserted);
    parser.updateSourceRange({statementStarts[3000], 0}, inserted.length(), inserted, text);
    for (int k = 3000; k < statementStarts.size(); ++k)
        statementStarts[k] += inserted.length();
    for (const int k : {5999, 2999, 3000, 3001, 100})
        expectStatementAt(k);
}

} // namespace
