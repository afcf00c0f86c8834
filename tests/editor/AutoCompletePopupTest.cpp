#include "EditorTestSupport.h"
#include "WaitFor.h"

#include "editor/AutoCompleteViewController.h"
#include "editor/SQLEditorTextStorage.h"
#include "editor/SQLTextView.h"
#include "editor/SQLTextViewCompletion.h"
#include "platform/Preferences.h"

#include <QFrame>
#include <QListWidget>
#include <QTest>
#include <gtest/gtest.h>

using namespace EditorTestSupport;

namespace
{

class BeepCountingTextView : public SQLTextView
{
public:
    int beeps = 0;

protected:
    void beep() override { ++beeps; }
};

// Knows the table emp with two columns.
class EmpSource : public SQLCompletionSource
{
public:
    QStringList autoCompleteNeedsObjectNamesForAutoCompleteOfType(const QString &) override { return {}; }
    QStringList autoCompleteNeedsTableAndViewNamesForAutoComplete() override { return {"DEPT", "EMP"}; }
    QStringList autoCompleteNeedsTableAndViewNamesForAutoCompleteInSchema(const QString &) override
    {
        return {};
    }
    QStringList autoCompleteEditorNeedsColumnNamesForAutoCompleteInTables(
        const QStringList &tables, bool, const std::optional<QList<SQLCompletionAlias>> &) override
    {
        return tables == QStringList{"emp"} ? QStringList{"EMPNO", "ENAME"} : QStringList{};
    }
};

class AutoCompletePopupTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        writeDefaultPreferences();
        UserDefaults::standard().setObject(false, PreferenceKey::syntaxAutoComplete);
        view.textStorage()->setAutoCompleteSource(source);
        view.resize(600, 400);
        view.show();
        popup.setDelegate(&view.completion());
        processEvents();
    }

    // The text with the caret at its end.
    void setText(const QString &text)
    {
        view.textStorage()->replaceContents(text);
        view.setSelectedRange(int(text.size()), 0);
        processEvents();
    }

    QString text() const { return view.toPlainText(); }
    QString rest() const { return view.completion().inlineRest(); }
    AutoCompleteViewController *viewPopup() const { return view.completion().autoCompleteViewController(); }

    BeepCountingTextView view;
    std::shared_ptr<EmpSource> source = std::make_shared<EmpSource>();
    AutoCompleteViewController popup;
};

TEST_F(AutoCompletePopupTest, TypingNarrowsAndReturnTakesTheWordInItsOwnCase)
{
    setText("s");
    ASSERT_TRUE(popup.runOverView(&view, {}, {"select", "SET", "update"}, "s", {0, 1}));
    EXPECT_EQ(popup.activeWordSuggestions(), QStringList({"select", "SET"}));
    EXPECT_TRUE(popup.window()->isVisible());
    EXPECT_EQ(text(), "s");
    EXPECT_EQ(rest(), "elect");

    QTest::keyClick(&view, Qt::Key_E);
    EXPECT_EQ(popup.activeWordSuggestions(), QStringList({"select", "SET"}));
    EXPECT_EQ(text(), "se");
    EXPECT_EQ(rest(), "lect");
    QTest::keyClick(&view, Qt::Key_L);
    EXPECT_EQ(popup.activeWordSuggestions(), QStringList({"select"}));
    EXPECT_EQ(text(), "sel");
    EXPECT_EQ(popup.visibleRowCount(), 1);

    QTest::keyClick(&view, Qt::Key_Return);
    EXPECT_FALSE(popup.isActive());
    EXPECT_FALSE(popup.window()->isVisible());
    EXPECT_EQ(text(), "select");
    EXPECT_EQ(rest(), "");
    EXPECT_EQ(view.textCursor().position(), 6);
}

TEST_F(AutoCompletePopupTest, EscapeRestoresWhatWasTyped)
{
    setText("x s");
    ASSERT_TRUE(popup.runOverView(&view, {}, {"select", "SET"}, "s", {2, 1}));
    QTest::keyClick(&view, Qt::Key_Down);
    EXPECT_EQ(popup.selectedWord(), "SET");
    EXPECT_EQ(text(), "x S"); // the shown suggestion's own case
    EXPECT_EQ(rest(), "ET");

    QTest::keyClick(&view, Qt::Key_Escape);
    EXPECT_FALSE(popup.isActive());
    EXPECT_EQ(text(), "x s");
    EXPECT_EQ(rest(), "");
    EXPECT_EQ(view.textCursor().position(), 3);
}

TEST_F(AutoCompletePopupTest, DeleteWidensUntilThePrefixIsEmptyThenCloses)
{
    setText("se");
    ASSERT_TRUE(popup.runOverView(&view, {}, {"select", "SET", "update"}, "se", {0, 2}));
    QTest::keyClick(&view, Qt::Key_Backspace);
    EXPECT_EQ(popup.prefix(), "s");
    EXPECT_EQ(text(), "s");
    QTest::keyClick(&view, Qt::Key_Backspace);
    EXPECT_EQ(popup.prefix(), "");
    EXPECT_EQ(popup.activeWordSuggestions(), QStringList({"select", "SET", "update"}));
    EXPECT_EQ(text(), "");
    EXPECT_TRUE(popup.isActive());

    QTest::keyClick(&view, Qt::Key_Backspace);
    EXPECT_FALSE(popup.isActive());
    EXPECT_EQ(text(), "");
}

TEST_F(AutoCompletePopupTest, TwelveMatchesShowTenRowsAndTheArrowsReachTheRest)
{
    QStringList words;
    for (int k = 1; k <= 12; ++k)
        words << QStringLiteral("col%1").arg(k, 2, 10, QChar(u'0'));
    setText("");
    ASSERT_TRUE(popup.runOverView(&view, {}, words, "", {0, 0}));
    EXPECT_EQ(popup.visibleRowCount(), AutoCompleteViewController::maximumVisibleRows);
    for (int k = 1; k < 12; ++k)
        QTest::keyClick(&view, Qt::Key_Down);
    EXPECT_EQ(popup.selectedWord(), "col12");
    QTest::keyClick(&view, Qt::Key_Tab);
    EXPECT_EQ(text(), "col12");
}

TEST_F(AutoCompletePopupTest, NoMatchingWordShowsNothing)
{
    setText("q");
    EXPECT_FALSE(popup.runOverView(&view, {}, {"select"}, "q", {0, 1}));
    EXPECT_FALSE(popup.isActive());
    EXPECT_FALSE(popup.window()->isVisible());
    EXPECT_EQ(text(), "q");
}

TEST_F(AutoCompletePopupTest, ATypedKeyWithoutMatchClosesAndStays)
{
    setText("s");
    ASSERT_TRUE(popup.runOverView(&view, {}, {"select"}, "s", {0, 1}));
    QTest::keyClick(&view, Qt::Key_Q);
    EXPECT_FALSE(popup.isActive());
    EXPECT_EQ(text(), "sq");
    EXPECT_EQ(rest(), "");
}

TEST_F(AutoCompletePopupTest, KeysThePopupDoesNotUseCloseItAndReachTheText)
{
    setText("s x");
    view.setSelectedRange(1, 0);
    ASSERT_TRUE(popup.runOverView(&view, {}, {"select"}, "s", {0, 1}));
    QTest::keyClick(&view, Qt::Key_Delete);
    EXPECT_FALSE(popup.isActive());
    EXPECT_EQ(text(), "sx");
}

TEST_F(AutoCompletePopupTest, FastTypingKeepsEveryKey)
{
    UserDefaults::standard().setObject(true, PreferenceKey::syntaxAutoComplete);
    setText("");
    const QString typed = "select * from emp e where e.ename = 1 and";
    QTest::keyClicks(&view, typed);
    processEvents();
    QTest::keyClick(&view, Qt::Key_Delete);
    processEvents();
    EXPECT_EQ(text(), typed);
}

TEST_F(AutoCompletePopupTest, ClickElsewhereOrShortcutCloses)
{
    setText("s");
    ASSERT_TRUE(popup.runOverView(&view, {}, {"select"}, "s", {0, 1}));
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, QPoint(200, 200));
    EXPECT_FALSE(popup.isActive());
    EXPECT_EQ(text(), "s");

    ASSERT_TRUE(popup.runOverView(&view, {}, {"select"}, "s", {0, 1}));
    QTest::keyClick(&view, Qt::Key_A, Qt::ControlModifier);
    EXPECT_FALSE(popup.isActive());
    EXPECT_EQ(text(), "s");
}

TEST_F(AutoCompletePopupTest, TypingALetterOpensCompletionOnlyWhenSwitchedOn)
{
    setText("");
    QTest::keyClicks(&view, "s");
    processEvents();
    EXPECT_EQ(viewPopup(), nullptr);

    UserDefaults::standard().setObject(true, PreferenceKey::syntaxAutoComplete);
    setText("");
    QTest::keyClicks(&view, "select");
    processEvents();
    QTest::keyClick(&view, Qt::Key_Space);
    processEvents();
    EXPECT_EQ(text(), "select ");
    ASSERT_NE(viewPopup(), nullptr);
    EXPECT_FALSE(viewPopup()->isActive()); // a space closes it and never opens it

    setText("");
    QTest::keyClick(&view, Qt::Key_S);
    ASSERT_WAIT_FOR(viewPopup()->isActive());
    EXPECT_EQ(viewPopup()->activeWordSuggestions(), QStringList({"select"}));
    EXPECT_EQ(text(), "s");
    EXPECT_EQ(rest(), "elect");
    QTest::keyClick(&view, Qt::Key_Return);
    EXPECT_EQ(text(), "select");
    EXPECT_EQ(view.beeps, 0);
}

TEST_F(AutoCompletePopupTest, TypingInCommentsAndStringsOpensNothingAndTypingANameStillDoes)
{
    UserDefaults::standard().setObject(true, PreferenceKey::syntaxAutoComplete);
    const QString text = "select * from emp where ename = 'SMITH' /* a note */";
    for (const QString &before : {QStringLiteral("'SM"), QStringLiteral("a no")}) {
        SCOPED_TRACE(before.toStdString());
        setText(text);
        view.setSelectedRange(int(text.indexOf(before) + before.size()), 0);
        QTest::keyClick(&view, Qt::Key_E);
        processEvents();
        EXPECT_TRUE(viewPopup() == nullptr || !viewPopup()->isActive());
    }
    EXPECT_EQ(view.beeps, 0);

    setText("select * from ");
    QTest::keyClick(&view, Qt::Key_E);
    ASSERT_WAIT_FOR(viewPopup()->isActive());
    EXPECT_EQ(viewPopup()->activeWordSuggestions(), QStringList({"EMP"}));
    EXPECT_EQ(rest(), "MP");
}

TEST_F(AutoCompletePopupTest, ADotReopensCompletionForTheColumns)
{
    setText("select * from emp e where e");
    view.runAutoCompleteAtCursor(true);
    ASSERT_TRUE(viewPopup()->isActive());
    EXPECT_EQ(viewPopup()->activeWordSuggestions(), QStringList({"EMPNO", "ENAME", "e"}));
    QTest::keyClick(&view, Qt::Key_Period);
    EXPECT_EQ(text(), "select * from emp e where e.");
    ASSERT_WAIT_FOR(viewPopup()->isActive());
    EXPECT_EQ(viewPopup()->prefix(), "");
    EXPECT_EQ(viewPopup()->activeWordSuggestions(), QStringList({"EMPNO", "ENAME"}));
}

TEST_F(AutoCompletePopupTest, ASecondRequestCancelsAndAnEmptyRequestBeeps)
{
    setText("select * from ");
    view.runAutoCompleteAtCursor(true);
    ASSERT_TRUE(viewPopup()->isActive());
    view.runAutoCompleteAtCursor(true);
    EXPECT_FALSE(viewPopup()->isActive());
    EXPECT_EQ(view.beeps, 0);

    setText("select a -- a note");
    view.runAutoCompleteAtCursor(true);
    EXPECT_FALSE(viewPopup()->isActive());
    EXPECT_EQ(view.beeps, 1);
    view.runAutoCompleteAtCursor(false);
    EXPECT_EQ(view.beeps, 1);
}

TEST_F(AutoCompletePopupTest, EscapeInTheEditorAsksForCompletion)
{
    setText("select * from ");
    QTest::keyClick(&view, Qt::Key_Escape);
    ASSERT_NE(viewPopup(), nullptr);
    EXPECT_TRUE(viewPopup()->isActive());
    EXPECT_EQ(viewPopup()->activeWordSuggestions(), QStringList({"DEPT", "EMP"}));
    QTest::keyClick(&view, Qt::Key_Escape);
    EXPECT_FALSE(viewPopup()->isActive());
    EXPECT_EQ(text(), "select * from ");
}

} // namespace
