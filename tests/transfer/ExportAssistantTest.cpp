// The export assistant's pages over a real root: the source list, the column checks and moves, the
// format options with the workbook's sheet name, the overview texts and whole runs from the first page
// to a file.
#include "ExportTestSupport.h"
#include "WaitFor.h"

#include "bridge/ThreadController.h"
#include "kit/AssistantWindowController.h"
#include "platform/Bundle.h"
#include "platform/Preferences.h"
#include "platform/UserDefaults.h"
#include "transfer/ExportColumnTableModel.h"
#include "transfer/ExportColumnViewController.h"
#include "transfer/ExportController.h"
#include "transfer/ExportFormatViewController.h"
#include "transfer/ExportInitialViewController.h"
#include "transfer/ExportOverviewViewController.h"
#include "transfer/ExportStatusViewController.h"
#include "transfer/ExportViewController.h"
#include "transfer/XLSXPackage.h"
#include "transfer/XLSXWorkbook.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QTest>

using namespace ExportTestSupport;

namespace
{
class ExportAssistantTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        root_ = connectedRoot(sqliteTarget(folder_));
        ASSERT_TRUE(root_);
        UserDefaults::standard().removeObjectForKey(PreferenceKey::exportFormat);
        UserDefaults::standard().setObject(false, PreferenceKey::export_skip_autofill);
        ASSERT_TRUE(run(*root_, "CREATE TABLE vxp_a (id INTEGER, name TEXT, note TEXT)"));
        ASSERT_TRUE(run(*root_, "INSERT INTO vxp_a VALUES (1, 'one', 'x'), (2, 'two', 'y')"));
        ASSERT_TRUE(run(*root_, "CREATE TABLE vxp_b (k INTEGER)"));
        document_.root = root_;
        controller_ = std::make_unique<ExportController>(root_);
        document_.elements = {element("vxp_a"), element("vxp_b")};
        controller_->setDelegate(&document_);
        controller_->setExportDelegate(&document_);
        controller_->setThreadController(threads_);
        controller_->reset();
        assistant_.setExportController(controller_.get());
        document_.assistant = &assistant_;
        window_.resize(800, 600);
        window_.show();
    }
    void TearDown() override { ASSERT_WAIT_FOR_MS(threads_->numberOfRegisteredThreads(true) == 0, 10000); }

    static BrowserElementPtr element(const QString &name)
    {
        return std::make_shared<BrowserElement>(name, QString(), "TABLE", BrowserElement::Table);
    }
    AssistantWindowController &wizard() { return *assistant_.assistantWindowController(); }

    QTemporaryDir folder_;
    VornRootClientPtr root_ = nullptr;
    ExportDocument document_;
    std::shared_ptr<ThreadController> threads_ = std::make_shared<ThreadController>(startedBackend());
    std::unique_ptr<ExportController> controller_;
    ExportViewController assistant_;
    QWidget window_;
};
} // namespace

TEST_F(ExportAssistantTest, AWholeRunFromTheSourcePageToAFile)
{
    assistant_.startupImportOnWindow(&window_);
    ExportInitialViewController &source = *assistant_.exportInitialViewController();
    QComboBox &sources = *source.sources();
    // No result set: the prompt, a separator and the tables.
    ASSERT_EQ(sources.count(), 4);
    EXPECT_EQ(sources.itemText(2), "vxp_a");
    EXPECT_FALSE(wizard().nextButton()->isEnabled());
    sources.setCurrentIndex(1);
    emit sources.activated(1);
    EXPECT_FALSE(source.canContinue()) << "the separator chooses nothing";
    sources.setCurrentIndex(2);
    emit sources.activated(2);
    ASSERT_TRUE(source.canContinue());
    EXPECT_TRUE(wizard().nextButton()->isEnabled());
    EXPECT_EQ(wizard().nextButton()->text(), "Next");
    wizard().next();

    ExportColumnViewController &columns = *assistant_.exportColumnViewController();
    ASSERT_EQ(wizard().currentViewController(), &columns);
    ExportColumnTableModel &model = *columns.model();
    ASSERT_EQ(model.rowCount(), 3);
    // Dragging row 2 just above itself or just below changes nothing; above row 0 moves it first.
    QMimeData drag;
    drag.setData(ExportColumnTableModel::DragType, "2");
    EXPECT_FALSE(model.canDropMimeData(&drag, Qt::MoveAction, -1, -1, model.index(1, 0)));
    model.dropMimeData(&drag, Qt::MoveAction, 2, 0, {});
    model.dropMimeData(&drag, Qt::MoveAction, 3, 0, {});
    EXPECT_EQ(controller_->exportOptions().columns[2].column_name, "note");
    model.dropMimeData(&drag, Qt::MoveAction, 0, 0, {});
    EXPECT_EQ(controller_->exportOptions().columns[0].column_name, "note");
    columns.selectNone();
    EXPECT_FALSE(columns.canContinue());
    model.setData(model.index(1, 1), Qt::Checked, Qt::CheckStateRole);
    model.setData(model.index(1, 0), "  ", Qt::EditRole);
    EXPECT_FALSE(columns.canContinue()) << "an exported column needs a name";
    model.setData(model.index(1, 0), "Number", Qt::EditRole);
    model.setData(model.index(2, 1), Qt::Checked, Qt::CheckStateRole);
    model.setData(model.index(0, 0), " ", Qt::EditRole);
    EXPECT_TRUE(columns.canContinue()) << "a column left out may have a blank name";
    wizard().next();

    ExportFormatViewController &format = *assistant_.exportFormatViewController();
    ASSERT_EQ(wizard().currentViewController(), &format);
    ASSERT_EQ(format.formats()->count(), 5) << "prompt, separator, XLSX, CSV and SQL";
    format.formats()->setCurrentIndex(3);
    format.updateFormat(3);
    EXPECT_EQ(controller_->selectedFormat(), "csv");
    EXPECT_TRUE(format.customOptions()->isVisibleTo(format.view()));
    format.delimiter()->button(3)->setChecked(true);
    format.delimiterOther()->setText("");
    format.optionUpdate();
    EXPECT_EQ(controller_->exportOptions().delimiter, QChar(u'|'));
    EXPECT_EQ(format.delimiterOther()->text(), "|");
    format.doubleQuoteResults()->setChecked(false);
    format.optionUpdate();
    EXPECT_EQ(UserDefaults::standard().stringForKey(PreferenceKey::exportCSVSeparator), "|");
    wizard().next();

    ExportOverviewViewController &overview = *assistant_.exportOverviewViewController();
    ASSERT_EQ(wizard().currentViewController(), &overview);
    EXPECT_EQ(wizard().nextButton()->text(), "Export");
    EXPECT_EQ(overview.format()->text(), "Comma Separated Values (.csv)");
    EXPECT_EQ(overview.destination()->text(), "File, encoding: UTF-8");
    EXPECT_EQ(overview.source()->text(), "vxp_a");
    EXPECT_EQ(overview.columns()->text(), "Number, name");
    EXPECT_EQ(overview.records()->text(), "All records and a column header");
    EXPECT_EQ(overview.additional()->text(), "'|' delimiter");

    QTemporaryDir destinationFolder("/dev/shm/vorn-assistant-XXXXXX");
    const QString destination = destinationFolder.filePath("a.csv");
    ExportStatusViewController &status = *assistant_.exportStatusViewController();
    QString askedType;
    status.setDestinationChooser([&](QWidget *, const QString &type) {
        askedType = type;
        return destination;
    });
    wizard().next();
    ASSERT_EQ(wizard().currentViewController(), &status);
    ASSERT_WAIT_FOR_EQ_MS(controller_->state(), qint64(ExportStateFinished), 30000);
    WAIT_FOR(status.statusMessage()->text().startsWith("Finished, exported 2 records"));
    EXPECT_EQ(askedType, "csv");
    EXPECT_EQ(status.statusMessage()->text(),
              "Finished, exported 2 records\nThe results have been stored in a.csv");
    EXPECT_EQ(fileBytes(destination), "Number|name\n1|one\n2|two\n");
    EXPECT_EQ(wizard().nextButton()->text(), "Close");
    EXPECT_FALSE(wizard().previousButton()->isEnabled());
    EXPECT_FALSE(status.cancelButton()->isEnabled());
}

TEST_F(ExportAssistantTest, TheSheetNameFieldNamesTheWorkbooksSheet)
{
    Bundle::setMainBundlePrefix(qEnvironmentVariable("VORN_BUILD_DIR"));
    controller_->setSelectedBrowserElement(element("vxp_a"));
    assistant_.startupImportOnWindow(&window_);
    wizard().next();
    wizard().next();
    ExportFormatViewController &format = *assistant_.exportFormatViewController();
    ASSERT_EQ(wizard().currentViewController(), &format);
    format.formats()->setCurrentIndex(3);
    format.updateFormat(3);
    EXPECT_FALSE(format.sheetDestinationOptions()->isVisibleTo(format.view())) << "CSV has no sheet";
    EXPECT_TRUE(format.destinationOptions()->isVisibleTo(format.view()));

    format.formats()->setCurrentIndex(2);
    format.updateFormat(2);
    ASSERT_EQ(controller_->selectedFormat(), "xlsx");
    EXPECT_TRUE(format.sheetDestinationOptions()->isVisibleTo(format.view()));
    EXPECT_FALSE(format.destinationOptions()->isVisibleTo(format.view())) << "they share one place";
    EXPECT_EQ(format.sheetName()->text(), "vxp_a") << "the table names the sheet at first";
    format.sheetName()->clear();
    QTest::keyClicks(format.sheetName(), "Q1: north/south");
    EXPECT_EQ(controller_->exportOptions().sheetName, "Q1: north/south");
    EXPECT_EQ(format.sheetName()->text(), "Q1: north/south");
    wizard().next();

    // The overview tells the name the workbook will hold, which spreadsheet programs accept.
    EXPECT_EQ(assistant_.exportOverviewViewController()->additional()->text(),
              "Results will be stored in sheet 'Q1_ north_south'");
    QTemporaryDir destinationFolder;
    const QString destination = destinationFolder.filePath("a.xlsx");
    ExportStatusViewController &status = *assistant_.exportStatusViewController();
    status.setDestinationChooser([&](QWidget *, const QString &) { return destination; });
    wizard().next();
    ASSERT_WAIT_FOR_EQ_MS(controller_->state(), qint64(ExportStateFinished), 30000);
    ASSERT_TRUE(XLSXPackage::unpack(destination, destinationFolder.filePath("unpacked")).isNull());
    const std::optional<XLSXWorkbook> workbook =
        XLSXWorkbook::read(destinationFolder.filePath("unpacked/xl/workbook.xml"));
    ASSERT_TRUE(workbook);
    ASSERT_EQ(workbook->sheets().size(), 1);
    EXPECT_EQ(workbook->sheets().first().name, "Q1_ north_south");
}

TEST_F(ExportAssistantTest, DecliningTheDestinationCancelsTheRun)
{
    controller_->setSelectedBrowserElement(element("vxp_b"));
    controller_->setSelectedFormat("sql");
    UserDefaults::standard().setObject(true, PreferenceKey::export_skip_autofill);
    assistant_.startupImportOnWindow(&window_);
    EXPECT_EQ(wizard().currentViewController(), assistant_.exportOverviewViewController())
        << "a remembered choice skips to the overview, never past it";
    assistant_.exportStatusViewController()->setDestinationChooser(
        [](QWidget *, const QString &) { return QString(); });
    wizard().next();
    ASSERT_WAIT_FOR_EQ_MS(controller_->state(), qint64(ExportStateCancelled), 30000);
    WAIT_FOR(assistant_.exportStatusViewController()->statusMessage()->text() == "Export cancelled");
    EXPECT_FALSE(QFile::exists(controller_->temporaryFile()));
}

TEST_F(ExportAssistantTest, OverviewShortensLongTextsAtBlanks)
{
    assistant_.startupImportOnWindow(&window_);
    const ExportOverviewViewController &overview = *assistant_.exportOverviewViewController();
    QStringList names;
    for (int i = 0; i < 200; ++i)
        names << QString("column_%1").arg(i);
    const QString shortened = overview.stripToFewLines(names.join(", "), 300, 50);
    EXPECT_TRUE(shortened.endsWith("...")) << shortened.toStdString();
    EXPECT_FALSE(shortened.endsWith(",...")) << "the last name keeps no comma";
    EXPECT_EQ(overview.stripToFewLines("a, b", 300, 50), "a, b");
    const QString unbroken(400, 'x');
    EXPECT_EQ(overview.stripToFewLines(unbroken, 100, 20), unbroken);
}
