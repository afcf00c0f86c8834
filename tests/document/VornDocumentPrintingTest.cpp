// File > Print of a connection document in a real window on SQLite: what it offers to print, the
// question when two things can be printed, and the printout itself (to PDF, read back as text).
#include "BackendTestSupport.h"
#include "DocumentTestSupport.h"
#include "DocumentWindowFixture.h"
#include "TestServers.h"
#include "WaitFor.h"
#include "browser/BrowserController.h"
#include "client/BackgroundRunner.h"
#include "document/DocumentPrinting.h"
#include "document/VornDocument.h"
#include "editor/SQLEditorController.h"
#include "elements/BrowserElement.h"
#include "platform/PreferenceDefaults.h"
#include "platform/UserDefaults.h"
#include "transfer/PrintView.h"
#include "window/ContentSplitView.h"
#include "window/SimpleTextController.h"
#include "window/VornTabbedWindowController.h"

#include <QMessageBox>
#include <QPrinter>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace
{

class VornDocumentPrintingTest : public ::testing::Test, protected DocumentWindowFixture
{
protected:
    void SetUp() override
    {
        startedDocumentBackend();
        ASSERT_TRUE(folder.isValid());
        PreferenceDefaults::setDefaultPreferences(UserDefaults::standard());
        ASSERT_NO_FATAL_FAILURE(openDocumentWindow());
        // The editor pane is shown, as the user has it when there is a script to print.
        window->contentSplitView()->setViewAEnabled(true, false);
        ASSERT_NO_FATAL_FAILURE(connectTo(sqliteTarget(folder)));
        document->printing().setPrintRunner([this](QPrinter &printer, PrintView &view) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(folder.filePath("out.pdf"));
            view.print(printer, WorkerControl(nullptr));
            ++printed;
            return true;
        });
    }

    void TearDown() override { closeDocumentWindow(); }

    QString printedText()
    {
        QProcess process;
        process.start("pdftotext", {"-layout", folder.filePath("out.pdf"), "-"});
        process.waitForFinished(60000);
        return QString::fromUtf8(process.readAllStandardOutput());
    }

    void waitForPrint(int count)
    {
        ASSERT_WAIT_FOR_MS(printed == count, 30000);
        ASSERT_WAIT_FOR(!document->vornRoot()->reserved());
    }

    QTemporaryDir folder;
    int printed = 0;
};

TEST_F(VornDocumentPrintingTest, NothingToPrintOnlyBeeps)
{
    type(QString());
    document->printing().printDocument();
    EXPECT_EQ(document->printing().activePrintView(), nullptr);
    EXPECT_EQ(waitForMessageBox(), nullptr);
    EXPECT_EQ(printed, 0);
}

TEST_F(VornDocumentPrintingTest, RowsPrintWithoutAQuestionWhenTheScriptIsOnlyWhiteSpace)
{
    runToEnd("CREATE TABLE fruit (id INTEGER PRIMARY KEY, name TEXT)");
    runToEnd("INSERT INTO fruit VALUES (1, 'apple'), (2, 'pear')");
    runToEnd("SELECT id, name FROM fruit ORDER BY id");
    ASSERT_EQ(document->activeContent(), ContentPane::Resultset);
    type("  \n\t ");
    document->printing().printDocument();
    waitForPrint(1);
    const QString text = printedText();
    EXPECT_TRUE(text.contains("pear")) << text.toStdString();
    EXPECT_TRUE(text.contains("SQL Statement :"));
    EXPECT_TRUE(text.contains("Page 1 of 1"));
    EXPECT_EQ(document->printing().activePrintView(), nullptr) << "the view is dropped after the job";
}

TEST_F(VornDocumentPrintingTest, ScriptAndRowsAskWhichAndAHiddenEditorIsNeverOffered)
{
    runToEnd("SELECT 'row text' AS t");
    type("SELECT 'row text' AS t -- the script");
    ASSERT_TRUE(document->printing().scriptAvailable());
    ASSERT_TRUE(document->printing().rowsAvailable());
    document->printing().printDocument();
    ASSERT_TRUE(answerMessageBox("SQL Script"));
    waitForPrint(1);
    EXPECT_TRUE(printedText().contains("-- the script"));

    document->printing().printDocument();
    ASSERT_TRUE(answerMessageBox("Cancel"));
    EXPECT_EQ(document->printing().activePrintView(), nullptr);

    window->contentSplitView()->setViewAEnabled(false, false);
    EXPECT_FALSE(document->printing().scriptAvailable());
    document->printing().printDocument();
    waitForPrint(2);
    EXPECT_FALSE(printedText().contains("-- the script")) << "the rows, without a question";
}

TEST_F(VornDocumentPrintingTest, AnObjectsTextPrintsAndAStatementsMessageDoesNot)
{
    runToEnd("CREATE TABLE printed_t (a int)");
    ASSERT_EQ(document->activeContent(), ContentPane::SimpleText);
    EXPECT_FALSE(document->printing().contentAvailable()) << "a statement's message is no object's text";
    runToEnd("CREATE INDEX printed_i ON printed_t (a)");

    // The index loaded through the browser shows its definition, which prints as the index.
    BrowserController *browser = document->browserController();
    const auto index = std::make_shared<BrowserElement>("printed_i", "main", "INDEX", BrowserElement::Index);
    browser->loadElement(BrowserControllerLoadingElement::elementWithElement(index, FilterPtr()));
    ASSERT_WAIT_FOR_MS(!document->vornRoot()->reserved() && !browser->isLoading(), 30000);
    ASSERT_EQ(document->activeContent(), ContentPane::SimpleText);
    ASSERT_TRUE(document->printing().contentAvailable());

    document->printing().printDocument();
    ASSERT_TRUE(answerMessageBox("Index")) << "the script and the index's text can both print";
    waitForPrint(1);
    const QString printout = printedText();
    EXPECT_TRUE(printout.contains("CREATE INDEX printed_i ON printed_t (a)")) << printout.toStdString();
    EXPECT_TRUE(printout.contains("Page 1 of 1")) << printout.toStdString();
}

} // namespace
