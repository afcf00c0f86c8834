// Line cutting of printed scripts, cells and header values.
#include "transfer/PrintText.h"
#include "transfer/PrintColouredText.h"

#include <QTextCursor>
#include <QTextDocument>

#include <gtest/gtest.h>

namespace
{

QString repeated(QChar c, int count)
{
    return QString(count, c);
}

TEST(PrintTextTest, ScriptLinesAreCutAtTheLastSpaceWithin160Characters)
{
    struct Case {
        const char *name;
        QString line;
        QList<int> pieceLengths;
    };
    const QString spaced = repeated('a', 100) + " " + repeated('b', 60); // 161 characters
    const std::vector<Case> cases{
        {"short line stays whole", repeated('x', 160), {160}},
        {"space at 100: 100 and 61 starting with it", spaced, {100, 61}},
        {"no space: every 160", repeated('x', 400), {160, 160, 80}},
        {"space only at 0 counts as none", " " + repeated('x', 200), {160, 41}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const QStringList pieces = PrintText::breakUpSentence(c.line);
        QList<int> lengths;
        for (const QString &piece : pieces)
            lengths << int(piece.size());
        EXPECT_EQ(lengths, c.pieceLengths);
        EXPECT_EQ(pieces.join(QString()), c.line) << "nothing of the line is lost";
    }
    EXPECT_TRUE(PrintText::breakUpSentence(spaced).at(1).startsWith(' '));
}

TEST(PrintTextTest, AScriptSplitsAtNewlinesAndAnEmptyOneHasNoLines)
{
    EXPECT_TRUE(PrintText::breakUpScript(QString()).isEmpty());
    EXPECT_EQ(PrintText::breakUpScript("select 1\n\nfrom t\n"), QStringList({"select 1", "", "from t", ""}));
}

TEST(PrintTextTest, CellValuesWrapAt80WithoutLosingCharacters)
{
    // 200 characters in words of 9 and a space: every line ends at the last space before 80.
    QString words;
    while (words.size() < 200)
        words += "abcdefghi ";
    words = words.left(200);
    const QStringList lines = PrintText::breakUpMaxWidth(words).split('\n');
    ASSERT_EQ(lines.size(), 3);
    for (const QString &line : lines)
        EXPECT_LE(line.size(), 80);
    EXPECT_EQ(lines.join(' '), words.trimmed());

    // Without spaces the character at the cut stays on the next line.
    const QString solid = repeated('a', 80) + "Z" + repeated('b', 10);
    EXPECT_EQ(PrintText::breakUpMaxWidth(solid), repeated('a', 80) + "\nZ" + repeated('b', 10));
    EXPECT_EQ(PrintText::breakUpMaxWidth("  padded \n  second  "), "padded\nsecond");
}

TEST(PrintTextTest, HeaderValuesWrapAt40AndAreCutAfterEightLines)
{
    QStringList tenLines;
    for (int i = 1; i <= 10; ++i)
        tenLines << QString("line %1").arg(i);
    const QString filter = tenLines.join('\n');

    const QStringList cut = PrintText::breakUpMaxHeaderWidthAndHeight(filter, true).split('\n');
    ASSERT_EQ(cut.size(), 8);
    EXPECT_EQ(cut.last(), "line 8...");
    EXPECT_EQ(PrintText::breakUpMaxHeaderWidthAndHeight(filter, false).split('\n').size(), 10);
    // Exactly eight lines lose nothing, so they get no "...".
    EXPECT_FALSE(
        PrintText::breakUpMaxHeaderWidthAndHeight(tenLines.mid(0, 8).join('\n'), true).contains("..."));

    const QStringList wrapped = PrintText::breakUpMaxHeaderWidthAndHeight(
                                    "select id, name, amount from orders where amount > 100", false)
                                    .split('\n');
    for (const QString &line : wrapped)
        EXPECT_LE(line.size(), 40);
}

TEST(PrintTextTest, LongColumnNamesAreShortened)
{
    EXPECT_EQ(PrintText::shortenedColumnName(repeated('c', 30)), repeated('c', 30));
    EXPECT_EQ(PrintText::shortenedColumnName(repeated('c', 31)), repeated('c', 27) + "...");
}

} // namespace

namespace
{

TEST(PrintColouredTextTest, ColoursFollowTheirTextAcrossACutLine)
{
    QTextDocument document;
    QTextCursor cursor(&document);
    QTextCharFormat red;
    red.setForeground(QColor(Qt::red));
    cursor.insertText(QString(150, 'a'));
    cursor.insertText(QString(20, 'r'), red);
    cursor.insertText(QString(30, 'b') + "\nselect", QTextCharFormat());
    const QList<PrintColouredLine> lines = PrintColouredText::lines(document);
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines.at(0).text.size(), 160);
    ASSERT_EQ(lines.at(0).runs.size(), 1);
    EXPECT_EQ(lines.at(0).runs.at(0).start, 150);
    EXPECT_EQ(lines.at(0).runs.at(0).length, 10);
    ASSERT_EQ(lines.at(1).runs.size(), 1);
    EXPECT_EQ(lines.at(1).runs.at(0).start, 0);
    EXPECT_EQ(lines.at(1).runs.at(0).length, 10);
    EXPECT_EQ(lines.at(1).runs.at(0).color, QColor(Qt::red));
    EXPECT_EQ(lines.at(2).text, "select");
    EXPECT_TRUE(lines.at(2).runs.isEmpty());
    EXPECT_TRUE(PrintColouredText::lines(QTextDocument()).isEmpty());
}

} // namespace
