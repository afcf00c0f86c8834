// The export controller end to end on a real root: a table to a file (also on another file system),
// to the clipboard, cancelled and refused runs, and the export defaults it keeps.
#include "ExportTestSupport.h"
#include "WaitFor.h"

#include "bridge/ThreadController.h"
#include "platform/Preferences.h"
#include "platform/UserDefaults.h"
#include "transfer/ExportController.h"

#include <QClipboard>
#include <QGuiApplication>

using namespace ExportTestSupport;

namespace
{
class ExportControllerTest : public ExportDatabaseTest
{
protected:
    void SetUp() override
    {
        ExportDatabaseTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        UserDefaults::standard().removeObjectForKey(PreferenceKey::exportFormat);
        ASSERT_TRUE(run(*root_, "CREATE TABLE vxp_people (id INTEGER, name VARCHAR(40))"));
        ASSERT_TRUE(run(*root_, "INSERT INTO vxp_people VALUES (1, 'Ann'), (2, 'O''Brien'), (3, NULL)"));
        document_.root = root_;
        controller_ = std::make_unique<ExportController>(root_);
        controller_->setDelegate(&document_);
        controller_->setExportDelegate(&document_);
        controller_->setThreadController(threads_);
        controller_->reset();
    }
    void TearDown() override
    {
        if (controller_)
            ASSERT_WAIT_FOR_MS(threads_->numberOfRegisteredThreads(true) == 0, 10000);
        if (root_)
            run(*root_, "DROP TABLE IF EXISTS vxp_people");
    }

    BrowserElementPtr people() const
    {
        return std::make_shared<BrowserElement>("vxp_people", QString(), "TABLE", BrowserElement::Table);
    }
    // Chooses the table and the format with plain CSV options, and runs until the rows are written.
    void exportPeople(const QString &format)
    {
        controller_->setSelectedBrowserElement(people());
        controller_->setSelectedFormat(format);
        controller_->exportOptions().doubleQuoteResults = false;
        controller_->exportOptions().stringEncoding = ExportOptions::Utf8;
        controller_->beginExport();
        // As the status page does: act on the update that tells of the outcome.
        ASSERT_WAIT_FOR_MS(!document_.states.isEmpty() && document_.states.last() >= ExportStateExported,
                           30000);
    }

    ExportDocument document_;
    std::shared_ptr<ThreadController> threads_ = std::make_shared<ThreadController>(startedBackend());
    std::unique_ptr<ExportController> controller_;
};

VORN_FOR_EVERY_DATABASE(ExportControllerTest);
} // namespace

TEST_P(ExportControllerTest, ATableGoesToAFileOnAnotherFileSystemReplacingWhatWasThere)
{
    QTemporaryDir destinationFolder("/dev/shm/vorn-export-test-XXXXXX");
    ASSERT_TRUE(destinationFolder.isValid());
    const QString destination = destinationFolder.filePath("people.csv");
    QFile old(destination);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly) && old.write("old\n") == 4);
    old.close();

    exportPeople("csv");
    ASSERT_EQ(controller_->state(), ExportStateExported) << controller_->errorMessage().toStdString();
    EXPECT_EQ(controller_->exportedCount(), 3);
    const QString temporary = controller_->temporaryFile();
    EXPECT_TRUE(QFileInfo(temporary).fileName().startsWith("vorn-export-"));
    EXPECT_TRUE(temporary.endsWith(".dat"));
    EXPECT_EQ(controller_->exportOptions().columns.size(), 2) << "the table's columns were loaded";

    controller_->setSelectedFileURL(destination);
    controller_->finishExport();
    ASSERT_WAIT_FOR_EQ_MS(controller_->state(), qint64(ExportStateFinished), 10000);
    const QByteArray written = fileBytes(destination);
    EXPECT_TRUE(written.startsWith("id,name\n")) << written.toStdString();
    EXPECT_TRUE(written.contains("2,O'Brien\n"));
    EXPECT_EQ(written.count('\n'), 4);
    EXPECT_FALSE(QFile::exists(temporary));
    WAIT_FOR(document_.states.contains(ExportStateFinished));
}

TEST_P(ExportControllerTest, SqlOfATableGoesToTheClipboard)
{
    controller_->exportOptions().exportToClipboard = true;
    exportPeople("sql");
    ASSERT_EQ(controller_->state(), ExportStateExported) << controller_->errorMessage().toStdString();
    controller_->finishExport();
    ASSERT_WAIT_FOR_EQ_MS(controller_->state(), qint64(ExportStateFinished), 10000);
    const QString text = QGuiApplication::clipboard()->text();
    EXPECT_TRUE(text.startsWith("insert into vxp_people (id, name) values (")) << text.toStdString();
    EXPECT_TRUE(text.contains("'O''Brien'"));
    EXPECT_EQ(text.count('\n'), 3);
}

TEST_P(ExportControllerTest, DecliningTheDestinationCancelsAndDeletesTheRows)
{
    exportPeople("csv");
    ASSERT_EQ(controller_->state(), ExportStateExported);
    const QString temporary = controller_->temporaryFile();
    ASSERT_TRUE(QFile::exists(temporary));
    controller_->cancelExport();
    EXPECT_EQ(controller_->state(), ExportStateCancelled);
    EXPECT_FALSE(QFile::exists(temporary));
    controller_->finishExport();
    EXPECT_EQ(controller_->state(), ExportStateCancelled) << "a cancelled run cannot be finished";
}

TEST_P(ExportControllerTest, RunsWithoutSourceOrFormatOrRootAreRefusedWithAMessage)
{
    struct Case {
        bool source;
        QString format;
        bool rootBusy;
        QString message;
    };
    const Case cases[] = {
        {false, "csv", false, "Choose a table or the current result set to export."},
        {true, "", false, "Choose an export format."},
        {true, "xls", false, "Choose an export format."},
        {true, "csv", true, "Couldn't access the database"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.message.toStdString());
        controller_->reset();
        if (c.source)
            controller_->setSelectedBrowserElement(people());
        controller_->setSelectedFormat(c.format);
        if (c.rootBusy) {
            ASSERT_TRUE(root_->reserveRoot("Someone else"));
        }
        controller_->beginExport();
        if (c.rootBusy)
            root_->releaseReservedRoot();
        EXPECT_EQ(controller_->state(), ExportStateError);
        EXPECT_EQ(controller_->errorMessage(), c.message);
        EXPECT_EQ(threads_->numberOfRegisteredThreads(true), 0);
        WAIT_FOR(!document_.states.isEmpty() && document_.states.last() == ExportStateError);
    }
}

TEST_P(ExportControllerTest, FormatsFollowTheSourceAndSettingsBecomeTheDefaults)
{
    EXPECT_EQ(controller_->supportedFormats(), (QStringList{"xlsx", "csv"}));
    controller_->setSelectedBrowserElement(people());
    EXPECT_EQ(controller_->supportedFormats(), (QStringList{"xlsx", "csv", "sql"}));
    EXPECT_EQ(controller_->exportOptions().sheetName, "vxp_people");

    controller_->setSelectedFormat("sql");
    document_.description = ExtendedResultsetDescription{"SELECT 1", "", "", ""};
    controller_->setSelectCurrentResultset(true);
    EXPECT_FALSE(controller_->selectedBrowserElement());
    EXPECT_EQ(controller_->selectedFormat(), "xlsx") << "no table is known for SQL";
    EXPECT_EQ(controller_->exportOptions().sheetName, "Export");

    controller_->exportOptions().delimiter = u'§';
    controller_->exportOptions().recordSourceCount = 7;
    controller_->exportOptions().stringEncoding = ExportOptions::WindowsGreek;
    controller_->exportOptions().exportToClipboard = true;
    controller_->setSelectedFormat("xlsx");
    EXPECT_FALSE(controller_->exportOptions().exportToClipboard) << "a workbook is a file";
    controller_->setSelectedFormat("csv");
    controller_->settingsUpdate();
    controller_->reset();
    EXPECT_EQ(controller_->selectedFormat(), "csv");
    EXPECT_EQ(controller_->exportOptions().delimiter, QChar(u'§'));
    EXPECT_EQ(controller_->exportOptions().recordSourceCount, 7);
    EXPECT_EQ(controller_->exportOptions().stringEncoding, ExportOptions::WindowsGreek);
    EXPECT_FALSE(controller_->selectCurrentResultset());
}

TEST_P(ExportControllerTest, TheCurrentResultIsReadAgainInFull)
{
    ASSERT_TRUE(run(*root_, "SELECT name FROM vxp_people ORDER BY id"));
    controller_->setSelectCurrentResultset(true);
    ASSERT_EQ(controller_->exportOptions().columns.size(), 1);
    controller_->setSelectedFormat("csv");
    controller_->exportOptions().includeHeaders = false;
    controller_->beginExport();
    ASSERT_WAIT_FOR_MS(controller_->state() >= ExportStateExported, 30000);
    ASSERT_EQ(controller_->state(), ExportStateExported) << controller_->errorMessage().toStdString();
    EXPECT_EQ(fileBytes(controller_->temporaryFile()), "\"Ann\"\n\"O'Brien\"\n\n");
}
