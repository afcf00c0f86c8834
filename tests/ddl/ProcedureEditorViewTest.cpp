#include "FakeVornRootClient.h"
#include "WaitFor.h"
#include "ddl/ProcedureEditorController.h"
#include "ddl/ProcedureEditorViewController.h"
#include "editor/SQLEditorTextStorage.h"
#include "editor/SQLTextView.h"

#include <QComboBox>
#include <QSignalSpy>
#include <QTextBrowser>

#include <gtest/gtest.h>

// The stored-code pane over a package held in memory: the member pop-up following the caret, the
// warning lines and their links, and edits going back to the backend.
namespace
{

const QString header = QStringLiteral("create package pkg as\n"       // 1
                                      "  function a return number;\n" // 2
                                      "\n"                            // 3
                                      "  procedure b;\n"              // 4
                                      "  procedure c;\n"              // 5
                                      "end;\n");                      // 6

class ProcedureEditorViewTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        root->procedureClient = std::make_shared<FakeVornProcedureClient>();
        root->procedureClient->storedSource = root->procedureClient->source = header;
        root->procedureClient->storedBody = root->procedureClient->body = QStringLiteral(
            "create package body pkg as\n  function a return number is begin return 1; end;\nend;\n");
        controller.resetProcedureFromRoot();
        pane.setProcedureEditorController(&controller);
        pane.procedureReset();
        pane.view()->resize(600, 400);
        pane.view()->show();
    }

    std::shared_ptr<FakeVornRootClient> root = std::make_shared<FakeVornRootClient>();
    ProcedureEditorController controller{root};
    ProcedureEditorViewController pane;
};

TEST_F(ProcedureEditorViewTest, MemberPopUpFollowsTheCaretOnceAfterABurst)
{
    ASSERT_EQ(pane.procedureList()->count(), 3);
    pane.procedureList()->setCurrentIndex(0);
    QSignalSpy updates(pane.procedureList(), &QComboBox::currentIndexChanged);
    SQLEditorTextStorage *text = controller.sqlEditorTextStorage();
    // Ten caret moves in a row, ending on the line after the last member.
    for (int move = 0; move < 10; ++move) {
        const qint64 line = move % 2 ? 4 : 2;
        pane.sqlTextView()->setSelectedRange(int(text->characterIndexForLineNumber(line)), 0);
    }
    pane.sqlTextView()->setSelectedRange(int(text->characterIndexForLineNumber(6)), 0);
    EXPECT_EQ(updates.count(), 0) << "nothing follows before the pause";
    ASSERT_WAIT_FOR(updates.count() > 0);
    EXPECT_EQ(pane.procedureList()->currentIndex(), 2);
    // A second update would come within another delay.
    VORN_WAIT_UNTIL(updates.count() > 1, 2 * ProcedureEditorViewController::caretFollowDelayMs);
    EXPECT_EQ(updates.count(), 1) << "one update for the whole burst";

    // Before the first member the pop-up keeps its choice.
    pane.sqlTextView()->setSelectedRange(0, 0);
    pane.autoproclistupdate();
    EXPECT_EQ(pane.procedureList()->currentIndex(), 2);
}

TEST_F(ProcedureEditorViewTest, EditsGoBackAndRescanTheMembers)
{
    pane.sqlTextView()->moveCursor(QTextCursor::End);
    pane.sqlTextView()->insertPlainText(QStringLiteral("procedure d;\n"));
    EXPECT_TRUE(root->procedureClient->source.endsWith("procedure d;\n"));
    EXPECT_TRUE(controller.canRevert());
    pane.autoproclistupdate();
    EXPECT_EQ(pane.procedureList()->count(), 4);
    EXPECT_EQ(controller.selectableProcedures().last().resultName, "4 procedure d");
}

TEST_F(ProcedureEditorViewTest, WarningLinksSelectTheirLine)
{
    root->procedureClient->warnings = {QVariantMap{{"position", "0:0"}, {"message", "whole object"}},
                                       QVariantMap{{"position", "4:3"}, {"message", "in the header"}},
                                       QVariantMap{{"position", "8:0"}, {"message", "past the header"}}};
    controller.loadWarnings();
    pane.procedureUpdate();
    const QString shown = pane.warningView()->toPlainText();
    EXPECT_TRUE(shown.contains("Error: whole object")) << shown.toStdString();
    EXPECT_TRUE(shown.contains("Line 4, column 3: in the header")) << shown.toStdString();
    EXPECT_TRUE(pane.warningView()->toHtml().contains("href=\"8\""));

    pane.warningLinkClicked(4);
    EXPECT_FALSE(pane.modusIsBody());
    EXPECT_EQ(pane.sqlTextView()->textCursor().selectedText(), "  procedure b;\u2029");

    pane.warningLinkClicked(8);
    EXPECT_TRUE(pane.modusIsBody()) << "a line past the header's end lies in the body";
}

} // namespace
