// The browser reaches the document's DDL controller: a truncate and a drop confirmed in the document's
// real window show their outcome in the text pane and mark the schema for reloading, and an assistant's
// script lands in the SQL editor, selected.
#include "BackendTestSupport.h"
#include "DocumentTestSupport.h"
#include "DocumentWindowFixture.h"
#include "WaitFor.h"
#include "browser/BrowserController.h"
#include "browser/BrowserControllerDelegate.h"
#include "client/VornBrowserClient.h"
#include "ddl/DDLController.h"
#include "document/BrowserRouting.h"
#include "document/VornDocument.h"
#include "editor/SQLEditorController.h"
#include "editor/SQLEditorTextStorage.h"
#include "window/SimpleTextController.h"
#include "window/VornTabbedWindowController.h"

#include <gtest/gtest.h>

namespace
{

const QString table = QStringLiteral("ddl_doc_fruit");

class VornDocumentDdlTest : public DatabaseTest, protected DocumentWindowFixture
{
protected:
    void SetUp() override
    {
        startedDocumentBackend();
        DatabaseTest::SetUp();
        if (IsSkipped())
            return;
        ASSERT_NO_FATAL_FAILURE(
            createTable(target_, table,
                        {"CREATE TABLE " + table + " (id INTEGER)", "INSERT INTO " + table + " VALUES (1)"}));
        ASSERT_NO_FATAL_FAILURE(openDocumentWindow());
        ASSERT_NO_FATAL_FAILURE(connectTo(target_));
    }

    void TearDown() override { closeDocumentWindow(); }

    BrowserElementPtr element() const
    {
        return std::make_shared<BrowserElement>(table, document->vornRoot()->browser()->selectedSchema(),
                                                "TABLE", BrowserElement::Table);
    }
    DDLController *ddl() const
    {
        return static_cast<BrowserControllerDelegate &>(document->browserRouting())
            .browserWantsDDLController();
    }
};

TEST_P(VornDocumentDdlTest, TruncateAndDropThroughTheBrowsersControllerShowTheirOutcome)
{
    DDLController *controller = ddl();
    ASSERT_NE(controller, nullptr);
    ASSERT_TRUE(controller->canTruncate(element()));

    controller->truncate(element(), window->window());
    ASSERT_TRUE(answerMessageBox("Truncate"));
    ASSERT_WAIT_FOR(document->simpleTextController()->text() == "Truncated " + table);
    EXPECT_EQ(document->activeContent(), ContentPane::SimpleText);
    EXPECT_FALSE(document->dirtyDDL());
    waitForIdle();

    controller->drop(element(), window->window());
    ASSERT_TRUE(answerMessageBox("Drop"));
    ASSERT_WAIT_FOR(document->simpleTextController()->text() == "Dropped " + table);
    EXPECT_TRUE(document->dirtyDDL()) << "the schema's metadata is read again";
    waitForIdle();
}

TEST_P(VornDocumentDdlTest, ScriptForTheEditorIsAppendedAndSelected)
{
    SQLEditorController *editor = document->sqlEditorController();
    editor->sqlEditorTextStorage()->replaceContents("SELECT 1;");
    ddl()->assistantWantsToInsertCodeIntoEditor("CREATE TABLE t(\n\ta INT\n);");
    EXPECT_EQ(editor->sqlEditorTextStorage()->toPlainText(), "SELECT 1;\n\nCREATE TABLE t(\n\ta INT\n);");
    ddl()->assistantWantsToInsertCodeIntoEditor(QString());
    EXPECT_TRUE(editor->sqlEditorTextStorage()->toPlainText().endsWith("a INT\n);"));
}

INSTANTIATE_TEST_SUITE_P(Databases, VornDocumentDdlTest, ::testing::Values("SQLite", "PostgreSQL"),
                         [](const auto &info) { return info.param.toStdString(); });

} // namespace
