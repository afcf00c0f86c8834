// The import assistant's pages over a real root: the steps and buttons, the waiting page, the options
// the pages write, the mapping rules, the converted preview, the status texts, and whole runs from the
// first page into SQLite and PostgreSQL.
#include "ExportTestSupport.h"
#include "WaitFor.h"

#include "bridge/ThreadController.h"
#include "connection/ConnectedControllerDelegate.h"
#include "kit/AssistantWindowController.h"
#include "platform/Preferences.h"
#include "platform/UserDefaults.h"
#include "transfer/ImportColumnMappingTableModel.h"
#include "transfer/ImportColumnMappingViewController.h"
#include "transfer/ImportController.h"
#include "transfer/ImportControllerDelegate.h"
#include "transfer/ImportDetectWait.h"
#include "transfer/ImportInitialViewController.h"
#include "transfer/ImportOptionsViewController.h"
#include "transfer/ImportOverviewController.h"
#include "transfer/ImportPlainTextSourceInterpretationViewController.h"
#include "transfer/ImportPreviewCell.h"
#include "transfer/ImportPreviewTableModel.h"
#include "transfer/ImportPreviewViewController.h"
#include "transfer/ImportStatusViewController.h"
#include "transfer/ImportViewController.h"
#include "transfer/ImportViewControllerDelegate.h"

#include <QAbstractButton>
#include <QBrush>
#include <QButtonGroup>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>

using namespace ExportTestSupport;

namespace
{
class Document : public ConnectedControllerDelegate,
                 public ImportControllerDelegate,
                 public ImportViewControllerDelegate
{
public:
    bool connectedControllerWantsRootReservationFor(ConnectedController *, const QString &activity) override
    {
        return root->reserveRoot(activity);
    }
    void connectedControllerWantsEndRootReservation(ConnectedController *) override
    {
        root->releaseReservedRoot();
    }
    bool connectedControllerWantsToChangeFocus(ConnectedController *, bool) override { return true; }
    bool connectedControllerWantsClearRootSelection(ConnectedController *) override { return true; }
    ConnectionParametersPtr connectedControllerWantsConnectionParameters(ConnectedController *) override
    {
        return nullptr;
    }
    QString connectedControllerWantsUniqueConnectionIdentifier(ConnectedController *) override { return "T"; }
    void importControllerHasUpdatedPreview(ImportController *) override
    {
        if (assistant)
            assistant->update();
    }
    void importControllerStatusUpdated(ImportController *) override
    {
        if (assistant)
            assistant->update();
    }
    QList<BrowserElementPtr> importControllerNeedsImportableBrowserElements(ImportController *) override
    {
        return elements;
    }
    void importControllerInsertSqlIntoEditor(ImportController *, const QString &text) override
    {
        inserted = text;
    }
    void importViewControllerFinishedSuccessful(ImportViewController *, bool successful) override
    {
        finished = successful ? 1 : 0;
    }

    VornRootClientPtr root;
    QList<BrowserElementPtr> elements;
    ImportViewController *assistant = nullptr;
    QString inserted;
    int finished = -1;
};

class ImportAssistantTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        UserDefaults::standard().setObject(false, PreferenceKey::timestampRoundMidnight);
        connect(sqliteTarget(folder_));
    }
    void TearDown() override
    {
        document_.assistant = nullptr;
        ASSERT_WAIT_FOR_MS(threads_->numberOfRegisteredThreads(true) == 0, 10000);
    }

    void connect(const DatabaseTarget &target)
    {
        root_ = connectedRoot(target);
        ASSERT_TRUE(root_);
        run(*root_, "DROP TABLE IF EXISTS via_people");
        ASSERT_TRUE(
            run(*root_, "CREATE TABLE via_people (id INTEGER, name VARCHAR(40), amount DECIMAL(10,2))"));
        document_.root = root_;
        document_.elements = {element("via_other"), element("via_people")};
        controller_ = std::make_unique<ImportController>(root_);
        controller_->setDelegate(&document_);
        controller_->setImportDelegate(&document_);
        controller_->setThreadController(threads_);
        controller_->reset();
        assistant_.setImportController(controller_.get());
        assistant_.setDelegate(&document_);
        document_.assistant = &assistant_;
        window_.resize(900, 700);
        window_.show();
    }

    static BrowserElementPtr element(const QString &name)
    {
        return std::make_shared<BrowserElement>(name, QString(), "TABLE", BrowserElement::Table);
    }
    QString writeFile(const QByteArray &content)
    {
        const QString path = folder_.filePath(QStringLiteral("source%1.csv").arg(++files_));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
        return path;
    }
    AssistantWindowController &wizard() { return *assistant_.assistantWindowController(); }
    AssistantWindowSubViewController *current() { return wizard().currentViewController(); }
    QStringList usableSteps()
    {
        QStringList steps;
        for (QAbstractButton *cell : wizard().indexCells()) {
            if (cell->isEnabled())
                steps << cell->text();
        }
        return steps;
    }

    // Starts the assistant, chooses the file and the table "via_people" and waits for the file-format
    // page, whose preview has rows.
    void startWith(const QByteArray &content)
    {
        assistant_.startupImportOnWindow(&window_);
        ImportInitialViewController &initial = *assistant_.importInitialViewController();
        initial.updatedSelectedFileUrl(writeFile(content));
        initial.selectTable(2);
        ASSERT_TRUE(wizard().nextButton()->isEnabled());
        wizard().nextButton()->click();
        ASSERT_WAIT_FOR(current() == assistant_.plainTextPage() && controller_->previewRowCount() > 0);
    }
    // From the file-format page to the status page.
    void goToStatus()
    {
        for (int step = 0; step < 4; ++step) {
            ASSERT_WAIT_FOR(wizard().nextButton()->isEnabled());
            wizard().nextButton()->click();
        }
        ASSERT_EQ(current(), assistant_.importStatusViewController());
    }
    void waitForTheEnd()
    {
        ASSERT_WAIT_FOR_MS(assistant_.importStatusViewController()->canContinue() && !root_->reserved(),
                           30000);
        QCoreApplication::processEvents();
    }

    QTemporaryDir folder_;
    VornRootClientPtr root_;
    Document document_;
    std::shared_ptr<ThreadController> threads_ = std::make_shared<ThreadController>(startedBackend());
    std::unique_ptr<ImportController> controller_;
    ImportViewController assistant_;
    QWidget window_;
    int files_ = 0;
};
} // namespace

TEST_F(ImportAssistantTest, StepsFollowTheChoicesAndTheWaitPageGivesWayToTheFilePage)
{
    assistant_.startupImportOnWindow(&window_);
    EXPECT_EQ(wizard().titleField()->text(), "Import Assistant");
    QStringList names;
    for (QAbstractButton *cell : wizard().indexCells())
        names << cell->text();
    EXPECT_EQ(names, (QStringList{"Source and destination", "File format", "Column mapping", "Import options",
                                  "Overview", "Import"}));
    EXPECT_EQ(usableSteps(), (QStringList{"Source and destination"}));
    EXPECT_FALSE(wizard().nextButton()->isEnabled());
    EXPECT_FALSE(wizard().previousButton()->isEnabled());
    EXPECT_EQ(wizard().nextButton()->text(), "Next");

    ImportInitialViewController &initial = *assistant_.importInitialViewController();
    EXPECT_EQ(initial.tables()->itemText(0), "Select table");
    EXPECT_EQ(initial.tables()->count(), 3);
    initial.updatedSelectedFileUrl(writeFile("id,name,amount\n1,Ann,1.50\n2,Bob,2.25\n"));
    EXPECT_FALSE(wizard().nextButton()->isEnabled()) << "no table yet";
    initial.selectTable(2);
    EXPECT_TRUE(wizard().nextButton()->isEnabled());
    initial.selectTable(0);
    EXPECT_FALSE(wizard().nextButton()->isEnabled()) << "\"Select table\" clears the target";
    EXPECT_TRUE(controller_->targetTable().isEmpty());
    initial.selectTable(2);
    EXPECT_EQ(controller_->targetTable(), "via_people");

    // A new file: the waiting page stands at the file-format step until the first preview exists.
    initial.updatedSelectedFileUrl(writeFile("id,name,amount\n1,Ann,1.50\n2,Bob,2.25\n"));
    wizard().nextButton()->click();
    EXPECT_EQ(current(), assistant_.importDetectWait());
    EXPECT_FALSE(wizard().nextButton()->isEnabled());
    ASSERT_WAIT_FOR(current() == assistant_.plainTextPage());
    ASSERT_WAIT_FOR(wizard().nextButton()->isEnabled());
    EXPECT_EQ(usableSteps(), (QStringList{"Source and destination", "File format", "Column mapping",
                                          "Import options", "Overview"}));

    wizard().nextButton()->click();
    EXPECT_EQ(current(), assistant_.importColumnMappingViewController());
    wizard().nextButton()->click();
    EXPECT_EQ(current(), assistant_.importOptionsViewController());
    wizard().nextButton()->click();
    EXPECT_EQ(current(), assistant_.importOverviewController());
    EXPECT_EQ(wizard().nextButton()->text(), "Import");
    EXPECT_TRUE(wizard().previousButton()->isEnabled());

    wizard().cancelButton()->click();
    EXPECT_EQ(document_.finished, 1) << "cancelling reports success";
}

TEST_F(ImportAssistantTest, StatusPageClosesOnlyForwardAndTellsEachOutcome)
{
    startWith("id,name,amount\n1,Ann,1.50\n2,Bob,2.25\n");
    goToStatus();
    ImportStatusViewController &status = *assistant_.importStatusViewController();
    EXPECT_FALSE(wizard().previousButton()->isEnabled());
    EXPECT_TRUE(wizard().cancelButton()->isHidden());
    EXPECT_EQ(usableSteps(), (QStringList{"Import"})) << "only the step shown";
    waitForTheEnd();
    EXPECT_EQ(status.statusMessage()->text(), "Finished import\nImported rows: 2\nErrors: 0");
    EXPECT_TRUE(status.resultView()->isHidden()) << "nothing to show after a clean direct import";
    EXPECT_FALSE(status.headerText()->isHidden());
    EXPECT_EQ(status.headerText()->text(), "Vorn has imported the data.")
        << "the heading no longer says it imports";
    EXPECT_EQ(wizard().nextButton()->text(), "Close");
    EXPECT_FALSE(status.cancelButton()->isEnabled());
    EXPECT_EQ(rowsOf(*root_, "SELECT id, name FROM via_people ORDER BY id"), (QStringList{"1|Ann", "2|Bob"}));
    wizard().nextButton()->click();
    EXPECT_EQ(document_.finished, 1);
}

TEST_F(ImportAssistantTest, RefusedRowsShowTheErrorLogWhichGoesToTheEditor)
{
    startWith("id,name,amount\n1,Ann,1.50\n2,Bob,2.25\n");
    // The second row's number cannot be read once the file changes under the preview.
    QFile file(controller_->selectedFilePath());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write("id,name,amount\n1,Ann,1.50\n2,Bob,lots\n");
    file.close();
    goToStatus();
    waitForTheEnd();
    ImportStatusViewController &status = *assistant_.importStatusViewController();
    EXPECT_EQ(status.statusMessage()->text(), "Finished import with errors\nImported rows: 1\nErrors: 1");
    EXPECT_FALSE(status.resultView()->isHidden());
    EXPECT_TRUE(status.resultText().contains("lots")) << status.resultText().toStdString();
    EXPECT_EQ(status.resultText(), controller_->importResultErrorLog());
    status.insertIntoEditor();
    EXPECT_EQ(document_.inserted, controller_->importResultErrorLog());
    EXPECT_EQ(document_.finished, 1);
}

TEST_F(ImportAssistantTest, GeneratedStatementsShowAndGoToTheClipboard)
{
    startWith("id,name,amount\n7,Cy,3.00\n");
    wizard().nextButton()->click();
    wizard().nextButton()->click();
    ImportOptionsViewController &options = *assistant_.importOptionsViewController();
    options.execution()->button(1)->click();
    EXPECT_TRUE(controller_->importOptions().importToSql);
    EXPECT_FALSE(options.error()->button(1)->isEnabled()) << "the error choice is for direct imports";
    wizard().nextButton()->click();
    EXPECT_EQ(assistant_.importOverviewController()->options()->text(),
              "SQL statements will be generated to be used in the SQL Editor.");
    EXPECT_TRUE(assistant_.importOverviewController()->sourceDestination()->text().endsWith(
        "will be imported into 'via_people'."));
    wizard().nextButton()->click();
    waitForTheEnd();
    ImportStatusViewController &status = *assistant_.importStatusViewController();
    EXPECT_FALSE(status.resultView()->isHidden());
    EXPECT_TRUE(status.resultText().contains("INSERT")) << status.resultText().toStdString();
    EXPECT_EQ(rowsOf(*root_, "SELECT COUNT(*) FROM via_people"), (QStringList{"0"}));
    status.copyToClipboard();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), controller_->importResultLog());
    EXPECT_EQ(document_.finished, 1);
}

TEST_F(ImportAssistantTest, AFailedImportShowsItsMessageAndIsNoSuccess)
{
    startWith("id,name,amount\n1,Ann,1.50\n");
    for (int step = 0; step < 3; ++step)
        wizard().nextButton()->click();
    ASSERT_TRUE(run(*root_, "DROP TABLE via_people"));
    wizard().nextButton()->click();
    waitForTheEnd();
    ImportStatusViewController &status = *assistant_.importStatusViewController();
    EXPECT_EQ(controller_->state(), ImportController::Failed);
    EXPECT_TRUE(status.statusMessage()->text().startsWith("Error: Couldn't prepare the import table"))
        << status.statusMessage()->text().toStdString();
    EXPECT_FALSE(status.progress()->maximum() == 0) << "the wheel stops";
    EXPECT_EQ(status.headerText()->text(), "Vorn could not import the data.");
    wizard().nextButton()->click();
    EXPECT_EQ(document_.finished, 0);
}

TEST_F(ImportAssistantTest, OptionsAndOverviewPagesWriteAndReadTheOptions)
{
    startWith("id,name,amount\n1,Ann,1.50\n");
    wizard().nextButton()->click();
    wizard().nextButton()->click();
    ImportOptionsViewController &options = *assistant_.importOptionsViewController();
    EXPECT_EQ(options.execution()->checkedId(), 0);
    options.error()->button(1)->click();
    EXPECT_TRUE(controller_->importOptions().stopOnError);
    wizard().nextButton()->click();
    ImportOverviewController &overview = *assistant_.importOverviewController();
    EXPECT_EQ(overview.options()->text(),
              "The data will be automatically imported. The importer will stop after the first error.");
    EXPECT_FALSE(overview.format()->text().isEmpty());
    wizard().previousButton()->click();
    options.error()->button(0)->click();
    wizard().nextButton()->click();
    EXPECT_EQ(overview.options()->text(), "The data will be automatically imported. The importer will "
                                          "continue after each error. All errors will be collected.");
    // Only the columns that will be imported show, under their targets.
    ImportPreviewViewController &preview = *assistant_.importPreviewViewController();
    EXPECT_EQ(preview.model().columnCount(), 3);
    EXPECT_EQ(preview.model().data(preview.model().index(0, 1), Qt::DisplayRole).toString(), " name ");
    EXPECT_FALSE(preview.sourceSelect()->button(1)->isHidden());
}

TEST_F(ImportAssistantTest, PlainTextPageWritesTheSeparatorAndReloads)
{
    startWith("id|name|amount\n1|Ann|1.50\n");
    ImportPlainTextSourceInterpretationViewController &page = *assistant_.plainTextPage();
    struct Case {
        int button;
        QString custom;
        QChar separator;
    };
    const Case cases[] = {{0, "", ','}, {1, "", '\t'},  {2, "", ';'},
                          {3, "", '|'}, {3, "#x", '#'}, {3, "|", '|'}};
    for (const Case &c : cases) {
        page.customSeparator()->setText(c.custom);
        page.separators()->button(c.button)->click();
        EXPECT_EQ(controller_->importOptions().separator, c.separator)
            << c.button << " " << c.custom.toStdString();
        ASSERT_WAIT_FOR(controller_->hasPreview());
    }
    EXPECT_EQ(page.customSeparator()->text(), "|");
    EXPECT_TRUE(page.customSeparator()->isEnabled());
    EXPECT_EQ(controller_->importOptions().import_columns.size(), 3) << "the separator keeps the columns";
    EXPECT_EQ(controller_->dataRowPreview(0).value("name"), "Ann");
    page.separators()->button(0)->click();
    ASSERT_WAIT_FOR(controller_->hasPreview());
    EXPECT_FALSE(page.customSeparator()->isEnabled());
    EXPECT_EQ(page.customSeparator()->text(), "|");

    page.headers()->click();
    EXPECT_EQ(controller_->importOptions().content_headers, page.headers()->isChecked());
    page.quote()->button(0)->click();
    EXPECT_EQ(controller_->importOptions().quote, QChar('\''));

    // Fixed width drops the columns and detects the widths again.
    page.columnEncoding()->button(0)->click();
    EXPECT_TRUE(controller_->importOptions().fixed_width);
    ASSERT_WAIT_FOR(controller_->hasPreview());
    EXPECT_FALSE(page.fixedWidthOptions()->isHidden());
    EXPECT_TRUE(page.delimitedOptions()->isHidden());
    EXPECT_FALSE(controller_->importOptions().fixed_width_column_widths.isEmpty());
    EXPECT_EQ(page.fixedColumns()->count(), controller_->importOptions().import_columns.size());
}

TEST_F(ImportAssistantTest, FixedWidthEditorKeepsTheTotalWidth)
{
    startWith("aaaaaaaaaabbbbbbbbbbcccccccccc\n0123456789012345678901234567890\n");
    ImportPlainTextSourceInterpretationViewController &page = *assistant_.plainTextPage();
    page.columnEncoding()->button(0)->click();
    ASSERT_WAIT_FOR(controller_->hasPreview());
    ImportOptions &options = controller_->importOptions();
    struct Case {
        const char *name;
        QList<int> start;
        int selected;
        std::function<void()> edit;
        QList<int> expected;
    };
    const Case cases[] = {
        {"widen the middle", {10, 10, 10}, 1, [&] { page.changeFixedColumnWidth(12); }, {10, 12, 8}},
        {"split the middle", {10, 10, 10}, 1, [&] { page.addFixedColumn(); }, {10, 5, 5, 10}},
        {"remove the last", {10, 10, 10}, 2, [&] { page.removeFixedColumn(); }, {10, 20}},
        {"remove the first", {10, 10, 10}, 0, [&] { page.removeFixedColumn(); }, {20, 10}},
        {"one left is kept", {30}, 0, [&] { page.removeFixedColumn(); }, {30}},
        {"width 1 is not split", {29, 1}, 1, [&] { page.addFixedColumn(); }, {29, 1}},
    };
    for (const Case &c : cases) {
        options.setFixed_width_column_widths(c.start);
        page.updateInterface();
        page.changeSelectedColumn(c.selected);
        c.edit();
        EXPECT_EQ(options.fixed_width_column_widths, c.expected) << c.name;
        ASSERT_WAIT_FOR(controller_->hasPreview());
    }
    options.setFixed_width_column_widths({30});
    page.updateInterface();
    EXPECT_FALSE(page.fixedRemove()->isEnabled()) << "a single column cannot go";
}

TEST_F(ImportAssistantTest, MappingPageContinuesOnlyWithDistinctFittingTargets)
{
    startWith("id,name,amount\n1,Ann,1.50\n2,Bob,2.25\n");
    wizard().nextButton()->click();
    ImportColumnMappingViewController &page = *assistant_.importColumnMappingViewController();
    ASSERT_EQ(current(), &page);
    ImportOptions &options = controller_->importOptions();
    ASSERT_EQ(options.import_columns.size(), 3);
    ImportColumn &id = *options.import_columns[0];
    ImportColumn &name = *options.import_columns[1];
    ImportColumn &amount = *options.import_columns[2];
    EXPECT_TRUE(page.canContinue()) << "detected and mapped by name";
    const auto reset = [&] {
        for (ImportColumn *column : {&id, &name, &amount})
            ImportOptions::setMappingOfColumn(*column, column->column_name);
    };
    struct Case {
        const char *name;
        std::function<void()> change;
        bool continues;
    };
    const Case cases[] = {
        {"all mapped", [] {}, true},
        {"none enabled", [&] { id.enabled = name.enabled = amount.enabled = false; }, false},
        {"one enabled column unmapped", [&] { amount.map_to.clear(); }, false},
        {"two on one target", [&] { ImportOptions::setMappingOfColumn(amount, "id"); }, false},
        {"a number into a text target",
         [&] {
             ImportOptions::setMappingOfColumn(id, "name");
             name.enabled = false;
         },
         true},
        {"a text into a number target",
         [&] {
             ImportOptions::setMappingOfColumn(name, "id");
             id.enabled = false;
         },
         false},
        {"a disabled column needs no target",
         [&] {
             amount.enabled = false;
             amount.map_to.clear();
         },
         true},
    };
    for (const Case &c : cases) {
        reset();
        c.change();
        EXPECT_EQ(page.canContinue(), c.continues) << c.name;
    }

    // The second of two on one target shows in red; switching the first off clears its target.
    reset();
    ImportOptions::setMappingOfColumn(amount, "id");
    page.updateInterface();
    const QModelIndex amountTarget = page.model().index(2, 2);
    EXPECT_EQ(page.model().data(amountTarget, Qt::ForegroundRole).value<QBrush>().color(), QColor(Qt::red));
    EXPECT_FALSE(page.model().data(page.model().index(0, 2), Qt::ForegroundRole).isValid());
    ASSERT_TRUE(page.model().setData(page.model().index(0, 0), Qt::Unchecked, Qt::CheckStateRole));
    EXPECT_TRUE(id.map_to.isEmpty());
    EXPECT_FALSE(page.model().data(amountTarget, Qt::ForegroundRole).isValid());
}

TEST_F(ImportAssistantTest, MappingPageChangesTypeFormatAndTarget)
{
    startWith("id,name,amount\n1,Ann,1.50\n2,Bob,2.25\n");
    wizard().nextButton()->click();
    ImportColumnMappingViewController &page = *assistant_.importColumnMappingViewController();
    ImportOptions &options = controller_->importOptions();
    page.importPreviewViewControllerSelectedColumn(2);
    EXPECT_EQ(page.tableview()->selectionModel()->selectedRows().value(0).row(), 2);
    page.targetColumn()->setCurrentIndex(int(options.target_column_names.indexOf("name")));
    page.changeMapping(page.targetColumn()->currentIndex());
    EXPECT_EQ(options.import_columns[2]->map_to, "name");

    // Date: its formats and "Custom"; a pattern of one's own selects "Custom".
    page.changeType(2);
    ASSERT_WAIT_FOR(controller_->hasPreview());
    page.updateInterface();
    EXPECT_EQ(options.import_columns[2]->input_column_type, "D");
    EXPECT_EQ(page.sourceFormat()->itemText(page.sourceFormat()->count() - 1), "Custom");
    EXPECT_TRUE(page.sourceCustomFormat()->isEnabled());
    const QString before = options.import_columns[2]->input_column_format;
    page.changeFormat(page.sourceFormat()->count() - 1);
    EXPECT_EQ(options.import_columns[2]->input_column_format, before) << "choosing Custom changes nothing";
    page.customFormatChanged("yyyy!MM");
    EXPECT_EQ(options.import_columns[2]->input_column_format, "yyyy!MM");
    ASSERT_WAIT_FOR(controller_->hasPreview());
    page.updateInterface();
    EXPECT_EQ(page.sourceFormat()->currentText(), "Custom");
    EXPECT_EQ(page.sourceCustomFormat()->text(), "yyyy!MM");

    // Back to a number.
    page.changeType(1);
    ASSERT_WAIT_FOR(controller_->hasPreview());
    page.updateInterface();
    EXPECT_EQ(options.import_columns[2]->input_column_type, "N");
    EXPECT_FALSE(page.sourceCustomFormat()->isEnabled());
    EXPECT_TRUE(page.sourceCustomFormat()->text().isEmpty());
}

TEST_F(ImportAssistantTest, ConvertedPreviewShowsValuesAsTheColumnsTakeThem)
{
    startWith("id,name,amount\n1,Ann,1.50\n");
    wizard().nextButton()->click();
    ImportPreviewViewController &preview = *assistant_.importPreviewViewController();
    ImportPreviewTableModel &model = preview.model();
    EXPECT_TRUE(model.displayTargetColumns());
    preview.sourceSelect()->button(1)->click();
    ImportOptions &options = controller_->importOptions();
    ImportColumn &amount = *options.import_columns[2];
    const auto cell = [&] { return model.data(model.index(1, 2), Qt::DisplayRole).toString(); };
    EXPECT_EQ(cell(), "1.50");
    amount.input_column_type = "D";
    amount.input_column_format = "yyyy-MM-dd";
    preview.reloadPreview();
    EXPECT_EQ(cell(), "") << "a value the date format refuses is an empty cell";
    amount.input_column_type = "S";
    preview.reloadPreview();
    EXPECT_EQ(cell(), "1.50") << "text stays as read";
    preview.sourceSelect()->button(0)->click();
    amount.input_column_type = "D";
    preview.reloadPreview();
    EXPECT_EQ(cell(), "1.50") << "the source view shows the text as read";
}

TEST(ImportPreviewCellTest, NumbersAndMomentsShowAsTheUserReadsThem)
{
    ImportOptions options;
    options.reset();
    UserDefaults::standard().setObject("yyyy-MM-dd HH:mm:ss.S", PreferenceKey::cocoaTimestampDataFormat);
    struct Case {
        const char *type;
        const char *format;
        const char *value;
        bool roundMidnight;
        const char *shown;
    };
    const Case cases[] = {
        {"N", "(-)12345.00", "1234.5", false, "1234.5"},
        {"N", "(-)12345.00", "abc", false, ""},
        {"N", "(-)12345.00", "", false, ""},
        {"N", "(-) 1.23e45", "1.5e3", false, "1.5e+03"},
        {"D", "yyyy-MM-dd HH:mm:ss", "2024-03-01 00:00:00", true, "2024-03-01"},
        {"D", "yyyy-MM-dd HH:mm:ss", "2024-03-01 00:00:00", false, "2024-03-01 00:00:00.000"},
        {"D", "yyyy-MM-dd HH:mm:ss", "2024-03-01 10:20:30", true, "2024-03-01 10:20:30.000"},
        {"D", "yyyy-MM-dd", "01/03/2024", false, ""},
        {"S", "", "as is", false, "as is"},
    };
    for (const Case &c : cases) {
        UserDefaults::standard().setObject(c.roundMidnight, PreferenceKey::timestampRoundMidnight);
        ImportColumn column;
        column.input_column_type = c.type;
        column.input_column_format = c.format;
        EXPECT_EQ(ImportPreviewCell::convertedText(options, column, c.value), c.shown)
            << c.type << " " << c.format << " " << c.value;
    }
}

TEST(ImportPreviewCellTest, NotANumberIsNamed)
{
    EXPECT_EQ(ImportPreviewCell::numberText("NaN", "(-)12345.00"), "Not a number");
    EXPECT_EQ(ImportPreviewCell::numberText("nan", "(-) 1.23e45"), "Not a number");
    EXPECT_EQ(ImportPreviewCell::numberText("-0.5", "(-)12345.00"), "-0.5");
}

namespace
{
class ImportAssistantPostgresTest : public ImportAssistantTest
{
protected:
    void SetUp() override
    {
        const std::optional<DatabaseTarget> server = serverTarget("PostgreSQL");
        VORN_REQUIRE_SERVER(server, "PostgreSQL");
        connect(*server);
    }
    void TearDown() override
    {
        if (root_)
            run(*root_, "DROP TABLE IF EXISTS via_people");
        ImportAssistantTest::TearDown();
    }
};
} // namespace

TEST_F(ImportAssistantPostgresTest, ACsvGoesIntoTheTableThroughEveryStep)
{
    startWith("id,name,amount\n1,Ann,1.50\n2,\"Bob, Jr.\",2.25\n3,Cy,-7.00\n");
    goToStatus();
    waitForTheEnd();
    EXPECT_EQ(assistant_.importStatusViewController()->statusMessage()->text(),
              "Finished import\nImported rows: 3\nErrors: 0");
    EXPECT_EQ(rowsOf(*root_, "SELECT id, name, amount FROM via_people ORDER BY id"),
              (QStringList{"1|Ann|1.50", "2|Bob, Jr.|2.25", "3|Cy|-7.00"}));
    wizard().nextButton()->click();
    EXPECT_EQ(document_.finished, 1);
}
