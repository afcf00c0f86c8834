#include "EditorTestSupport.h"
#include "platform/Preferences.h"

#include "editor/SQLEditorControllerInterface.h"
#include "editor/SQLEditorRulerView.h"
#include "editor/SQLEditorTextStorage.h"
#include "editor/SQLEditorViewController.h"
#include "editor/SQLTextView.h"
#include "kit/CommandRouter.h"
#include "platform/NotificationCenter.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>

using namespace EditorTestSupport;

namespace
{
// An editor model that records what the pane asks of it.
class FakeEditorController : public SQLEditorControllerInterface
{
public:
    SQLEditorTextStorage *sqlEditorTextStorage() const override { return storage.get(); }
    bool canExecuteSQLInRange(TextRange, bool fastValidation) override
    {
        lastFastValidation = fastValidation;
        return canRun;
    }
    void executeSQLInRange(TextRange range, TextRange *extendedRange) override
    {
        executed.push_back(range);
        if (extendedRange)
            *extendedRange = range;
    }
    bool canAnalyseSQLInRange(TextRange, bool) override { return canRun; }
    void analyseSQLInRange(TextRange range, TextRange *) override { analysed.push_back(range); }
    bool canFormatSQLInRange(TextRange) override { return canRun; }
    QString formattedSQLInRange(TextRange range, TextRange *extendedRange) override
    {
        requested.push_back(range);
        *extendedRange = statementRange;
        return formatted;
    }
    bool canExportSQLInRange(TextRange) override { return canRun; }
    QString exportedSQLInRange(TextRange range, TextRange *extendedRange, const QString &format) override
    {
        requested.push_back(range);
        *extendedRange = statementRange;
        return "code in " + format;
    }
    QStringList sqlExportFormats() const override { return formats; }
    QString displayNameForSqlExportFormat(const QString &format) const override { return format.toUpper(); }
    bool canCancelExecution() override { return canRun; }
    void cancelExecution() override { ++cancels; }

    std::unique_ptr<SQLEditorTextStorage> storage = std::make_unique<SQLEditorTextStorage>();
    bool canRun = true;
    QStringList formats{"--Languages", "java", "", "php"};
    bool lastFastValidation = false;
    std::vector<TextRange> executed;
    std::vector<TextRange> analysed;
    std::vector<TextRange> requested;
    TextRange statementRange;
    QString formatted;
    int cancels = 0;
};

class TestPane : public SQLEditorViewController
{
public:
    int beeps = 0;

protected:
    void beep() override { ++beeps; }
};

class SQLEditorViewControllerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        writeDefaultPreferences();
        pane = std::make_unique<TestPane>();
        pane->view()->resize(500, 300);
        pane->view()->show();
        pane->setSqlEditorController(&model);
        processEvents();
    }

    void TearDown() override { pane->setSqlEditorController(nullptr); }

    void setText(const QString &text)
    {
        model.storage->replaceContents(text);
        processEvents();
    }
    QString text() const { return model.storage->string(); }

    FakeEditorController model;
    std::unique_ptr<TestPane> pane;
};
} // namespace

TEST_F(SQLEditorViewControllerTest, EachBoundModelKeepsItsTextAndUndoHistory)
{
    FakeEditorController other;
    other.storage->replaceContents("select 2");
    setText("select 1");
    pane->sqlTextView()->setSelectedRange(8, 0);
    QTest::keyClicks(pane->sqlTextView(), " x");
    pane->setSqlEditorController(&other);
    EXPECT_EQ(pane->sqlTextView()->toPlainText(), "select 2");
    EXPECT_EQ(pane->sqlTextView()->selectedLocation(), 0);
    pane->setSqlEditorController(&model);
    EXPECT_EQ(pane->sqlTextView()->toPlainText(), "select 1 x");
    pane->sqlTextView()->undo();
    EXPECT_EQ(text(), "select 1");
    EXPECT_NE(pane->sqlTextView()->verticalRuler(), nullptr);
    pane->detachModel(); // an empty text of the view's own, never the gone model's
    EXPECT_EQ(pane->sqlTextView()->toPlainText(), "");
    EXPECT_NE(pane->sqlTextView()->textStorage(), model.storage.get());
}

TEST_F(SQLEditorViewControllerTest, ExecuteRunsTheSelectionOrBeeps)
{
    setText("select 1");
    pane->sqlTextView()->setSelectedRange(2, 3);
    pane->executeSql(nullptr);
    ASSERT_EQ(model.executed.size(), 1u);
    EXPECT_EQ(model.executed[0], (TextRange{2, 3}));
    EXPECT_FALSE(model.lastFastValidation);
    model.canRun = false;
    pane->executeSql(nullptr);
    pane->analyseSql(nullptr);
    EXPECT_EQ(model.executed.size(), 1u);
    EXPECT_TRUE(model.analysed.empty());
    EXPECT_EQ(pane->beeps, 2);
}

TEST_F(SQLEditorViewControllerTest, FormatTreatsAWordOrBlanksAsTheCaret)
{
    struct Case {
        int location, length;
        TextRange asked;
    };
    const Case cases[] = {
        {7, 5, {7, 0}}, // one word: the statement around it
        {6, 1, {6, 0}}, // only a blank
        {0, 8, {0, 8}}, // words with a blank between: the selection itself
        {12, 0, {12, 0}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.location);
        setText("select ename from emp");
        model.requested.clear();
        model.statementRange = {0, 21};
        model.formatted = "SELECT ename\nFROM emp";
        pane->sqlTextView()->setSelectedRange(c.location, c.length);
        pane->formatSql(nullptr);
        ASSERT_EQ(model.requested.size(), 1u);
        EXPECT_EQ(model.requested[0], c.asked);
        EXPECT_EQ(text(), "SELECT ename\nFROM emp");
        EXPECT_EQ(pane->sqlTextView()->selectedLength(), 21);
    }
    model.storage->undo(); // the formatting was one edit
    EXPECT_EQ(text(), "select ename from emp");
    model.formatted = QString(); // nothing to format: nothing changes
    pane->formatSql(nullptr);
    EXPECT_EQ(text(), "select ename from emp");
}

TEST_F(SQLEditorViewControllerTest, CopyAsCodeFromTheContextMenu)
{
    setText("select 1;\nselect 2");
    model.statementRange = {10, 8};
    pane->sqlTextView()->setSelectedRange(12, 0);
    QMenu menu;
    pane->textViewMenu(pane->sqlTextView(), &menu, nullptr, 12);
    const QList<QAction *> items = menu.actions();
    ASSERT_EQ(items.size(), 3);
    EXPECT_TRUE(items[0]->isSeparator());
    EXPECT_EQ(items[1]->text(), "Format SQL Statement");
    QMenu *copyAs = items[2]->menu();
    ASSERT_NE(copyAs, nullptr);
    EXPECT_EQ(items[2]->text(), "Copy SQL Statement as");
    const QList<QAction *> formats = copyAs->actions();
    ASSERT_EQ(formats.size(), 4);
    EXPECT_FALSE(formats[0]->isEnabled()); // the section header
    EXPECT_EQ(formats[0]->text(), "--LANGUAGES");
    EXPECT_TRUE(formats[0]->font().bold());
    EXPECT_EQ(formats[1]->text(), "JAVA");
    EXPECT_TRUE(formats[2]->isSeparator());
    formats[3]->trigger();
    EXPECT_EQ(QApplication::clipboard()->text(), "code in php");
    EXPECT_EQ(pane->sqlTextView()->selectedLocation(), 10);
    EXPECT_EQ(pane->sqlTextView()->selectedLength(), 8);
}

TEST_F(SQLEditorViewControllerTest, ContextMenuDisablesWhatCannotRunAndHidesAnEmptyCopyMenu)
{
    setText("select 1");
    pane->view()->activateWindow();
    pane->sqlTextView()->setFocus();
    struct Case {
        bool canRun;
        QStringList formats;
        bool formatEnabled;
        bool copyShown;
    };
    const Case cases[] = {
        {true, {"--Languages", "java"}, true, true},
        {false, {"--Languages", "java"}, false, true},
        {true, {}, true, false},
        {true, {"--Languages", ""}, true, false}, // a heading alone offers nothing to copy as
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.formats.join(',').toStdString() + (c.canRun ? " can run" : " cannot run"));
        model.canRun = c.canRun;
        model.formats = c.formats;
        QMenu menu;
        pane->textViewMenu(pane->sqlTextView(), &menu, nullptr, 0);
        const QList<QAction *> items = menu.actions();
        ASSERT_EQ(items.size(), 3);
        EXPECT_EQ(items[1]->isEnabled(), c.formatEnabled) << "Format is never shown usable but inert";
        EXPECT_EQ(items[2]->isVisible(), c.copyShown);
    }
}

TEST_F(SQLEditorViewControllerTest, HistoryStatementsLandNearTheCaret)
{
    struct Case {
        QString text;
        int caret;
        QString result;
    };
    const Case cases[] = {
        {"select 1;\n\n\nselect 2", 11, "select 1;\n\nselect 9\n\nselect 2"}, // in the gap
        {"select 1;\nselect 2", 3, "select 1;\n\nselect 9\nselect 2"},        // after the statement
        {"select 1 from t", 15, "select 1 from t\n\nselect 9"},
        {"", 0, "select 9"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        setText(c.text);
        pane->sqlTextView()->setSelectedRange(c.caret, 0);
        pane->insertQueryNearCursor("select 9");
        EXPECT_EQ(text(), c.result);
    }
}

TEST_F(SQLEditorViewControllerTest, CommandsAreValidOnlyWithTheFocusInTheText)
{
    setText("select 1");
    pane->sqlTextView()->clearFocus();
    EXPECT_FALSE(pane->validateAction("executeSql:"));
    EXPECT_FALSE(pane->validateAction("increaseIdentation:"));
    pane->view()->activateWindow();
    pane->sqlTextView()->setFocus();
    ASSERT_TRUE(pane->sqlTextView()->hasFocus());
    for (const char *action : {"executeSql:", "analyseSql:", "formatSql:", "exportSql:", "cancelExecution:",
                               "cancelOperation:", "increaseIdentation:", "decreaseIdentation:"})
        EXPECT_TRUE(pane->validateAction(action)) << action;
    EXPECT_TRUE(model.lastFastValidation); // menu validation does not parse long texts
    model.canRun = false;
    EXPECT_FALSE(pane->validateAction("executeSql:"));
    EXPECT_FALSE(pane->validateAction("cancelExecution:"));
    EXPECT_TRUE(pane->validateAction("increaseIdentation:"));
    EXPECT_FALSE(pane->validateAction("somethingElse:"));
}

TEST_F(SQLEditorViewControllerTest, InterfaceStateRestoresScrollOnlyAtTheSameSize)
{
    QString script;
    for (int i = 0; i < 300; ++i)
        script += QString("select %1;\n").arg(i);
    setText(script);
    pane->sqlTextView()->setSelectedRange(1200, 4);
    pane->sqlTextView()->verticalScrollBar()->setValue(100);
    QVariantMap state;
    pane->encodeInferfaceState(state);
    EXPECT_EQ(state.value("SQLEditor.selectedRange").toString(), "{1200, 4}");

    pane->setDefaultInterfaceState();
    EXPECT_EQ(pane->sqlTextView()->verticalScrollBar()->value(), 0);
    EXPECT_EQ(pane->sqlTextView()->selectedLocation(), script.size());
    pane->decodeInferfaceState(state);
    processEvents();
    EXPECT_EQ(pane->sqlTextView()->selectedLocation(), 1200);
    EXPECT_EQ(pane->sqlTextView()->selectedLength(), 4);
    EXPECT_EQ(pane->sqlTextView()->verticalScrollBar()->value(), 100);

    pane->sqlTextView()->setSelectedRange(0, 0);
    pane->sqlTextView()->verticalScrollBar()->setValue(100);
    QVariantMap atTheTop;
    pane->encodeInferfaceState(atTheTop);
    pane->view()->resize(500, 200); // another window size
    processEvents();
    pane->decodeInferfaceState(atTheTop);
    processEvents();
    EXPECT_EQ(pane->sqlTextView()->selectedLocation(), 0);
    EXPECT_EQ(pane->sqlTextView()->verticalScrollBar()->value(), 0);
}

TEST_F(SQLEditorViewControllerTest, FontFollowsThePreference)
{
    UserDefaults::standard().setObject(17, "syntaxFontSize");
    NotificationCenter::defaultCenter().postNotification(Preferences::sqlPreferenceUpdateNotification);
    EXPECT_EQ(pane->sqlTextView()->font().pointSize(), 17);
    UserDefaults::standard().setObject(11, "syntaxFontSize");
    NotificationCenter::defaultCenter().postNotification(Preferences::sqlPreferenceUpdateNotification);
}

TEST_F(SQLEditorViewControllerTest, CancelGoesToTheModel)
{
    pane->cancelExecution(nullptr);
    EXPECT_EQ(model.cancels, 1);
}

TEST_F(SQLEditorViewControllerTest, WindowCommandsReachThePaneAndTheText)
{
    setText("select 1\nfrom t");
    pane->view()->activateWindow();
    pane->sqlTextView()->setFocus();
    pane->sqlTextView()->setSelectedRange(0, 15);
    CommandRouter &router = CommandRouter::shared();
    router.setWindowResponder(pane->view(), pane.get()); // as the main window chains its panes
    EXPECT_TRUE(router.sendAction("increaseIdentation:", nullptr, nullptr, pane->view()));
    EXPECT_EQ(text(), "\tselect 1\n\tfrom t");
    EXPECT_TRUE(router.sendAction("executeSql:", nullptr, nullptr, pane->view()));
    ASSERT_EQ(model.executed.size(), 1u);
    EXPECT_EQ(model.executed[0], (TextRange{0, 17}));
    EXPECT_TRUE(router.sendAction("cancelOperation:", nullptr, nullptr, pane->view()));
    EXPECT_EQ(router.targetForAction("cancelOperation:", pane->view()), pane.get());
}
