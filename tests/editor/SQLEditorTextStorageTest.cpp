#include "EditorTestSupport.h"
#include "WaitFor.h"
#include "platform/Preferences.h"

#include "editor/SQLEditorTextStorage.h"
#include "platform/NotificationCenter.h"

#include <QSignalSpy>
#include <QTextBlock>
#include <QTextCursor>
#include <gtest/gtest.h>

using namespace EditorTestSupport;

namespace
{
class SQLEditorTextStorageTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        writeDefaultPreferences();
        storage = std::make_unique<SQLEditorTextStorage>();
        processEvents();
    }

    void load(const QString &text)
    {
        storage->replaceContents(text);
        processEvents();
    }

    void insert(int position, const QString &text)
    {
        QTextCursor cursor(storage.get());
        cursor.setPosition(position);
        cursor.insertText(text);
    }

    // Colours the whole text the way a view does when all of it has been shown.
    void showAll()
    {
        for (qint64 at = 0; at < storage->length(); at += 50000)
            storage->redrawSyntaxInRange({at, std::min<qint64>(50000, storage->length() - at)});
    }

    std::unique_ptr<SQLEditorTextStorage> storage;
};

// A script of `statements` lines "select <n> from t;".
QString longScript(int statements)
{
    QString text;
    for (int k = 0; k < statements; ++k)
        text += QStringLiteral("select %1 from t;\n").arg(k);
    return text;
}

QString componentTexts(const SQLParserComponentList &components)
{
    return SQLParserComponent::stringForComponents(components, false, true);
}
} // namespace

TEST_F(SQLEditorTextStorageTest, ReservedWordsAreLookedUpInLowerCase)
{
    struct Case {
        QStringList reserved;
        QString text;
        bool reservedColour;
    };
    const Case cases[] = {
        {{"select", "from"}, "SELECT a FROM t", true},
        {{"select", "from"}, "select a from t", true},
        {{"select", "from"}, "SeLeCt a from t", true},
        {{"SELECT", "FROM"}, "SELECT a FROM t", false}, // a list in upper case matches nothing
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text.toStdString() + " / " + c.reserved.join(',').toStdString());
        storage = std::make_unique<SQLEditorTextStorage>();
        storage->setReservedWords(c.reserved);
        load(c.text);
        const QColor expected =
            c.reservedColour ? storage->syntaxReservedColor() : storage->syntaxNormalColor();
        EXPECT_EQ(colorAt(*storage, 0), expected);
        EXPECT_EQ(colorAt(*storage, 9), expected);
        EXPECT_EQ(colorAt(*storage, 7), storage->syntaxNormalColor()); // the column a
    }
}

TEST_F(SQLEditorTextStorageTest, QuotedIdentifiersAreComparedPerDialect)
{
    struct Case {
        bool mySQL;
        QString text;
        bool contextColour;
    };
    const Case cases[] = {
        {false, "\"emp\"", true},   {false, "\"EMP\"", false}, // the default dialect matches case
        {true, "`emp`", true},      {true, "`EMP`", true},     // MySQL compares lower-cased
        {false, "\"dept\"", false}, {false, "\"emp", true},    // no closing quote: the name runs to the end
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        storage = std::make_unique<SQLEditorTextStorage>();
        storage->setContextWords({"EMP"});
        storage->setDialectForConnectionType(c.mySQL ? "MySQL" : "");
        load(c.text);
        const QColor expected =
            c.contextColour ? storage->syntaxContextColor() : storage->syntaxLiteralColor();
        EXPECT_EQ(colorAt(*storage, 1), expected);
    }
}

TEST_F(SQLEditorTextStorageTest, TheConnectionTypeChoosesTheDialect)
{
    // A PostgreSQL function body is one literal only in the PostgreSQL dialect.
    const QString text = "select $$a;b$$;";
    const struct {
        QString type;
        bool literal;
    } cases[] = {{"PostgreSQL", true}, {"MySQL", false}, {"SQLite", false}, {QString(), false}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.type.toStdString());
        storage = std::make_unique<SQLEditorTextStorage>();
        storage->setDialectForConnectionType(c.type);
        load(text);
        EXPECT_EQ(colorAt(*storage, int(text.indexOf(';'))) == storage->syntaxLiteralColor(), c.literal);
    }
}

TEST_F(SQLEditorTextStorageTest, ComponentsTakeTheirColoursAndMarks)
{
    storage->setReservedWords({"select", "from", "where"});
    storage->setContextWords({"emp"});
    load("select ename -- who\nfrom emp where x = 'a' and y = :p1;\n\n\nselect 1");
    const QString &text = storage->string();
    EXPECT_EQ(colorAt(*storage, int(text.indexOf("ename"))), storage->syntaxNormalColor());
    EXPECT_EQ(colorAt(*storage, int(text.indexOf("-- who"))), storage->syntaxCommentColor());
    EXPECT_EQ(colorAt(*storage, int(text.indexOf("emp "))), storage->syntaxContextColor());
    EXPECT_EQ(colorAt(*storage, int(text.indexOf("'a'"))), storage->syntaxLiteralColor());
    const int parameter = int(text.indexOf(":p1"));
    EXPECT_TRUE(isParameterAt(*storage, parameter));
    EXPECT_TRUE(isParameterAt(*storage, parameter + 2));
    EXPECT_FALSE(isParameterAt(*storage, parameter - 2));

    // "…:p1;" ends line 2; its line feed and the two empty lines form the gap.
    const QTextBlock statementLine = storage->findBlock(parameter);
    EXPECT_TRUE(SQLEditorTextStorage::blockIsInQueryBreak(statementLine));
    EXPECT_TRUE(SQLEditorTextStorage::blockIsInQueryBreak(statementLine.next()));
    EXPECT_TRUE(SQLEditorTextStorage::blockIsInQueryBreak(statementLine.next().next()));
    EXPECT_FALSE(SQLEditorTextStorage::blockIsInQueryBreak(storage->firstBlock())); // a comment's line feed
    EXPECT_FALSE(SQLEditorTextStorage::blockIsInQueryBreak(storage->lastBlock()));
}

TEST_F(SQLEditorTextStorageTest, ColouringOffPaintsNormalAndKeepsMarks)
{
    storage->setReservedWords({"select"});
    load("select :a\n\n\nselect 1");
    ASSERT_TRUE(isParameterAt(*storage, 7));
    storage->setPerformSyntaxColoring(false);
    storage->redrawSyntaxInRange({0, storage->length()}, storage->parsedComponents(), 0);
    for (int i : {0, 7, 17})
        EXPECT_EQ(colorAt(*storage, i), storage->syntaxNormalColor()) << i;
    EXPECT_TRUE(isParameterAt(*storage, 7));
    EXPECT_TRUE(SQLEditorTextStorage::blockIsInQueryBreak(storage->firstBlock().next()));
}

TEST_F(SQLEditorTextStorageTest, ColouringPreferenceIsReadOnUpdate)
{
    storage->setReservedWords({"select"});
    load("select 1");
    ASSERT_EQ(colorAt(*storage, 0), storage->syntaxReservedColor());
    UserDefaults::standard().setObject(false, "performSyntaxColoring");
    UserDefaults::standard().setObject("#123456", "syntaxNormalColor");
    NotificationCenter::defaultCenter().postNotification(Preferences::sqlPreferenceUpdateNotification);
    processEvents();
    EXPECT_FALSE(storage->performSyntaxColoring());
    EXPECT_EQ(colorAt(*storage, 0), QColor("#123456"));
    UserDefaults::standard().setObject(true, "performSyntaxColoring");
    UserDefaults::standard().setObject("#000000", "syntaxNormalColor");
}

TEST_F(SQLEditorTextStorageTest, TypingRecoloursTheEditedLine)
{
    storage->setReservedWords({"select", "from"});
    load("selec a from t\nfrom");
    EXPECT_EQ(colorAt(*storage, 0), storage->syntaxNormalColor());
    insert(5, "t");
    EXPECT_EQ(storage->string(), "select a from t\nfrom");
    EXPECT_EQ(colorAt(*storage, 0), storage->syntaxReservedColor());
    // The rest of the line moved by one character and is coloured where it now stands.
    EXPECT_EQ(colorAt(*storage, 9), storage->syntaxReservedColor());
    EXPECT_EQ(colorAt(*storage, 8), storage->syntaxNormalColor());
    EXPECT_EQ(colorAt(*storage, 7), storage->syntaxNormalColor());
}

TEST_F(SQLEditorTextStorageTest, AnOpeningQuoteColoursTheRestAsLiteral)
{
    storage->setReservedWords({"select"});
    load("a b\nselect c");
    insert(0, "'");
    ASSERT_EQ(storage->string(), "'a b\nselect c");
    EXPECT_EQ(colorAt(*storage, 7), storage->syntaxLiteralColor());
    QTextCursor cursor(storage.get());
    cursor.setPosition(0);
    cursor.deleteChar();
    EXPECT_EQ(colorAt(*storage, 6), storage->syntaxReservedColor());
}

TEST_F(SQLEditorTextStorageTest, UndoKeepsTheParserInStep)
{
    storage->setReservedWords({"select"});
    load("select 1");
    insert(8, ";\nselect 2");
    storage->undo();
    EXPECT_EQ(storage->string(), "select 1");
    EXPECT_EQ(componentTexts(storage->parsedComponents()), "select 1");
    storage->redo();
    EXPECT_EQ(componentTexts(storage->parsedComponents()), "select 1;\nselect 2");
    EXPECT_EQ(colorAt(*storage, 10), storage->syntaxReservedColor());
}

TEST_F(SQLEditorTextStorageTest, EditRoadSkipsIdenticalAndEmptyReplacements)
{
    for (const int size : {100, 101}) {
        SCOPED_TRACE(size);
        const QString text(size, u'x');
        storage->replaceCharactersInRange({0, 0}, text);
        QSignalSpy changes(storage.get(), &QTextDocument::contentsChange);
        storage->replaceCharactersInRange({0, size}, text);
        EXPECT_EQ(changes.count(), size > 100 ? 0 : 1);
        EXPECT_EQ(storage->string(), text);
        storage->replaceCharactersInRange({0, 0}, QString());
        EXPECT_EQ(changes.count(), size > 100 ? 0 : 1);
        storage->replaceCharactersInRange({0, storage->length()}, QString());
    }
}

TEST_F(SQLEditorTextStorageTest, LineCount)
{
    EXPECT_EQ(storage->lineCount(), 1);
    load("a\nb\n");
    EXPECT_EQ(storage->lineCount(), 3);
    EXPECT_EQ(storage->lineNumberForCharacterAtIndex(2), 2);
    EXPECT_EQ(storage->characterIndexForLineNumber(3), 4);
}

TEST_F(SQLEditorTextStorageTest, LineBreaksAreUnified)
{
    const std::pair<QString, QString> cases[] = {
        {"a\r\nb", "a\nb"},           // Windows: one line feed, not a blank line
        {"a\r\n\r\nb", "a\n\nb"},     // a Windows blank line stays one blank line
        {"a\rb\rc", "a\nb\nc"},       // classic Mac
        {"a\n\rb", "a\nb"},           // LF CR
        {"a\r\rb", "a\n\nb"},         // two lone CRs are a blank line
        {"select 1\n", "select 1\n"}, // nothing to do
    };
    for (const auto &[raw, unified] : cases) {
        SCOPED_TRACE(raw.toStdString());
        EXPECT_EQ(SQLEditorTextStorage::generalizeLineBreaks(raw), unified);
    }
    load("select 1\r\nfrom t\r\n\r\nselect 2");
    EXPECT_EQ(storage->string(), "select 1\nfrom t\n\nselect 2");
    TextRange found;
    const auto statement = storage->parsedComponentsBetweenQueryBreaksAtLocation(0, &found);
    EXPECT_EQ(componentTexts(statement), "select 1\nfrom t"); // one statement, not one per line
}

TEST_F(SQLEditorTextStorageTest, StatementBetweenBlankLinesAtTheCaret)
{
    load("select 1\nfrom t\n\nselect 2");
    struct Case {
        qint64 caret;
        QString statement;
    };
    const Case cases[] = {
        {0, "select 1\nfrom t"},
        {8, "select 1\nfrom t"},  // just before a line feed: the statement on its left
        {15, "select 1\nfrom t"}, // at the end of its last line
        {17, "select 2"},
        {25, "select 2"}, // the end of the text
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.caret);
        TextRange found;
        EXPECT_EQ(componentTexts(storage->parsedComponentsBetweenQueryBreaksAtLocation(c.caret, &found)),
                  c.statement);
        EXPECT_EQ(storage->string().mid(found.location, found.length), c.statement);
    }
    load("\nselect 1");
    EXPECT_TRUE(storage->parsedComponentsBetweenQueryBreaksAtLocation(0).isEmpty());
    load("");
    EXPECT_TRUE(storage->parsedComponentsBetweenQueryBreaksAtLocation(0).isEmpty());
}

TEST_F(SQLEditorTextStorageTest, SelectionComponentsAndTheirRange)
{
    load("select a, b from t");
    TextRange extended;
    const auto components = storage->parsedComponentsInRange({7, 4}, &extended);
    EXPECT_EQ(componentTexts(components), "a, b");
    EXPECT_EQ(extended, (TextRange{7, 4}));
    // Without an extended range the touching neighbours stay.
    EXPECT_EQ(componentTexts(storage->parsedComponentsInRange({7, 4})), " a, b ");
}

TEST_F(SQLEditorTextStorageTest, BraceMatching)
{
    struct Case {
        QString text;
        qint64 brace;
        bool answer;
        TextRange partner;
    };
    const TextRange none{-1, 0};
    const Case cases[] = {
        {"(a)", 2, true, {0, 1}},
        {"(a[1)", 4, true, none}, // crossed braces: no partner, the caller
                                  // beeps
        {"a)", 1, true, none},
        {"f((a), [b])", 10, true, {1, 1}},
        {"[a]", 2, true, {0, 1}},
        {"x;(a)", 4, true, {2, 1}},
        {"(a;b)", 4, true, none}, // the opener is in another statement
        {"'a)'", 2, false, none}, // inside a literal
        {"-- a)\nb", 4, false, none},
        {"(a)", 1, false, none}, // no closing brace
        {"(a)", 3, false, none}, // beyond the text
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        load(c.text);
        TextRange partner = none;
        EXPECT_EQ(storage->findRelatedBraceForRange({c.brace, 1}, &partner), c.answer);
        EXPECT_EQ(partner, c.partner);
    }
}

TEST_F(SQLEditorTextStorageTest, ActiveRangeIsCutAndClearedByTheNextEdit)
{
    load("select 1");
    QSignalSpy display(storage.get(), &SQLEditorTextStorage::needsDisplay);
    storage->markActiveRange({0, 0});
    EXPECT_EQ(display.count(), 0);
    storage->markActiveRange({4, 20});
    EXPECT_EQ(storage->lastMarkedActiveRange(), (TextRange{4, 4}));
    EXPECT_EQ(storage->activeHintColor(), QColor("#e6ffe6"));
    insert(0, "x");
    EXPECT_EQ(storage->lastMarkedActiveRange().length, 0);
    EXPECT_EQ(display.count(), 2);
}

TEST_F(SQLEditorTextStorageTest, RedrawsLongerThanTheLimitAreDropped)
{
    QString text;
    while (text.size() < 100100)
        text += "select 1\n";
    for (const qint64 length : {100000, 100001}) {
        SCOPED_TRACE(length);
        storage = std::make_unique<SQLEditorTextStorage>();
        storage->setReservedWords({"select"});
        load(text);
        const int far = int(text.lastIndexOf("select", 99000));
        ASSERT_FALSE(colorAt(*storage, far).isValid()); // only the start is coloured at load
        storage->redrawSyntaxInRange({0, length});
        EXPECT_EQ(colorAt(*storage, far).isValid(), length == 100000);
    }
}

TEST_F(SQLEditorTextStorageTest, WordListsRecolourAfterOneQueuedReparse)
{
    load("select emp");
    EXPECT_EQ(colorAt(*storage, 7), storage->syntaxNormalColor());
    storage->setContextWords({"EMP"});
    storage->setReservedWords({"select"});
    EXPECT_TRUE(storage->fullSyntaxReparsePending());
    processEvents();
    EXPECT_FALSE(storage->fullSyntaxReparsePending());
    EXPECT_EQ(colorAt(*storage, 7), storage->syntaxContextColor());
    EXPECT_EQ(colorAt(*storage, 0), storage->syntaxReservedColor());
}

// A quote that turns the rest of a long text into a literal colours the stretch around it at once and
// what was coloured further on in steps afterwards, while events run; deleting the quote again in the
// middle of that leaves every colour right.
TEST_F(SQLEditorTextStorageTest, ALongRecolouringRunsInStepsAfterTheEdit)
{
    storage->setReservedWords({"select", "from"});
    load(longScript(20000));
    showAll();
    const int far = int(storage->string().lastIndexOf("select"));
    ASSERT_EQ(colorAt(*storage, far), storage->syntaxReservedColor());

    insert(0, "\"");
    EXPECT_EQ(colorAt(*storage, 1), storage->syntaxLiteralColor());
    EXPECT_EQ(colorAt(*storage, far + 1), storage->syntaxReservedColor())
        << "not yet: the edit returns first";
    EXPECT_TRUE(storage->recolouringPending());
    ASSERT_WAIT_FOR(!storage->recolouringPending());
    EXPECT_EQ(colorAt(*storage, far + 1), storage->syntaxLiteralColor());

    // Deleting the quote while the recolouring it caused is still under way.
    insert(0, "'");
    QTextCursor cursor(storage.get());
    cursor.setPosition(0);
    cursor.deleteChar();
    cursor.deleteChar();
    ASSERT_WAIT_FOR(!storage->recolouringPending());
    const int middle = int(storage->string().indexOf("select", storage->length() / 2));
    for (const int at : {0, 10, middle, far})
        EXPECT_EQ(colorAt(*storage, at), storage->syntaxReservedColor()) << at;
}

// New word lists recolour at once what is near the start and, in steps, all that was coloured before.
TEST_F(SQLEditorTextStorageTest, NewWordListsRecolourWhatWasColoured)
{
    load(longScript(20000));
    showAll();
    const int far = int(storage->string().lastIndexOf("select"));
    ASSERT_EQ(colorAt(*storage, far), storage->syntaxNormalColor());
    storage->setReservedWords({"select"});
    processEvents();
    ASSERT_WAIT_FOR(!storage->recolouringPending());
    EXPECT_EQ(colorAt(*storage, far), storage->syntaxReservedColor());
}

// A component is coloured over at most 10000 characters per pass: a pass whose start lies in a longer
// one counts as coloured only up to there, and colouring the range as shown goes on from there.
TEST_F(SQLEditorTextStorageTest, ALongComponentCountsAsColouredOnlyAsFarAsItWasDrawn)
{
    load("/*" + QString(25000, u'x') + "*/ select");
    qint64 offset = 0;
    const SQLParserComponentList components = storage->parsedComponentsInRange({0, 30000}, nullptr, &offset);
    storage->redrawSyntaxInRange({0, 30000}, components, offset);
    EXPECT_EQ(storage->syntaxColouredRange(), (TextRange{0, 10000}));
    EXPECT_FALSE(colorAt(*storage, 15000).isValid());
    storage->redrawSyntaxInRange({0, 30000});
    EXPECT_EQ(colorAt(*storage, 15000), storage->syntaxCommentColor());
    EXPECT_EQ(colorAt(*storage, 25001), storage->syntaxCommentColor());
    EXPECT_EQ(storage->syntaxColouredRange(), (TextRange{0, 30000}));
}

// Typing in a coloured stretch keeps the rest of it coloured: showing it again colours nothing anew.
TEST_F(SQLEditorTextStorageTest, ColouredStretchesSurviveEditsAroundThem)
{
    storage->setReservedWords({"select"});
    load(longScript(3000));
    showAll();
    insert(30000, "x");
    const TextRange coloured = storage->syntaxColouredRange();
    EXPECT_EQ(coloured, (TextRange{0, storage->length()}));
    EXPECT_FALSE(storage->recolouringPending());
}
