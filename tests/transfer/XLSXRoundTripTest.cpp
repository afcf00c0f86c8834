// Workbooks written by the XLSX exporter from real backend cursors, read back by the XLSX importer
// and by LibreOffice.
#include "ExportTestSupport.h"

#include "transfer/XLSXExporter.h"
#include "transfer/XLSXImporter.h"
#include "transfer/XLSXPackage.h"
#include "transfer/XLSXSerialDate.h"
#include "transfer/XLSXUnpackCache.h"

#include "platform/Bundle.h"
#include "platform/Preferences.h"
#include "platform/UserDefaults.h"

#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

using namespace ExportTestSupport;

namespace
{

struct Imported {
    QStringList names;
    QList<QStringList> rows;
    QString error;
};

// Detects the sheet's layout as the preview does, then reads every row as the import run does.
Imported importWorkbook(const QString &path)
{
    auto cache = std::make_shared<XLSXUnpackCache>();
    ImportOptions options;
    options.reset();
    {
        XLSXImporter detector(options, path, cache);
        detector.autoDetect();
        options = detector.importOptions();
    }
    XLSXImporter importer(options, path, cache);
    Imported imported;
    if (!importer.openForImport(false)) {
        imported.error = importer.error();
        return imported;
    }
    for (const ImportColumnPtr &column : importer.importOptions().import_columns)
        imported.names.append(column->column_name);
    while (const std::optional<QStringList> fields = importer.readNextFields())
        imported.rows.append(*fields);
    return imported;
}

QString libreOffice()
{
    return QStandardPaths::findExecutable(QStringLiteral("soffice"));
}

// Converts the file with LibreOffice's headless conversion; the path of the result.
QString convertWithLibreOffice(const QTemporaryDir &dir, const QString &path, const QString &format)
{
    QProcess process;
    process.start(libreOffice(),
                  {"-env:UserInstallation=" + QUrl::fromLocalFile(dir.filePath("profile")).toString(),
                   "--headless", "--norestore", "--convert-to", format, "--outdir", dir.filePath("lo"),
                   path});
    EXPECT_TRUE(process.waitForFinished(600000)) << process.readAllStandardError().constData();
    return dir.filePath("lo/" + QFileInfo(path).completeBaseName() + "." + format.section(':', 0, 0));
}

class XLSXRoundTripTest : public ExportDatabaseTest
{
protected:
    void SetUp() override
    {
        ExportDatabaseTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        if (!isPostgres())
            GTEST_SKIP() << "the typed columns are PostgreSQL's";
        Bundle::setMainBundlePrefix(qEnvironmentVariable("VORN_BUILD_DIR"));
        UserDefaults::standard().setObject(QStringLiteral("d-M-yyyy HH:mm:ss.S"),
                                           PreferenceKey::cocoaTimestampDataFormat);
    }
    void TearDown() override
    {
        if (root_)
            run(*root_, "DROP TABLE IF EXISTS vxp_book");
    }

    QString exportQuery(const QString &sql, const QString &name, bool headers = true)
    {
        auto probe = VornExportCursorClient::forQuery(*root_, sql);
        EXPECT_TRUE(probe && probe->begin());
        ExportOptions options;
        options.loadColumns(probe->columnNames(), probe->columnTypes());
        probe->close();
        options.includeHeaders = headers;
        options.sheetName = QStringLiteral("Book: [2019]/*?");
        auto cursor = VornExportCursorClient::forQuery(*root_, sql);
        ExportRun run;
        run.options = options;
        run.cursor = cursor.get();
        run.temporaryFile = output_.filePath(name);
        run.cancelled = [] { return false; };
        XLSXExporter exporter;
        exporter.runForExport(run);
        EXPECT_TRUE(exporter.errorMessage().isNull()) << exporter.errorMessage().toStdString();
        return run.temporaryFile;
    }

    void createBook()
    {
        ASSERT_TRUE(run(*root_, "CREATE TABLE vxp_book (id INTEGER, amount NUMERIC(12,3), day DATE, "
                                "at TIMESTAMP, note VARCHAR(60))"));
        // 2019-03-31 is a day the clocks change in much of Europe.
        ASSERT_TRUE(run(*root_,
                        "INSERT INTO vxp_book VALUES "
                        "(1, 1, '2019-03-05', '2019-03-05 12:00:00', 'plain'), "
                        "(2, 2.5, '2019-03-31', '2019-03-31 18:30:00', E'tab\\tbell\\x07 line\\nend'), "
                        "(3, -3.125, '1970-01-01', '2019-03-31 01:15:00', 'plain'), "
                        "(4, NULL, NULL, NULL, '_x0041_ & <b>')"));
    }

    static QString dateText(int y, int m, int d, int h = 0, int min = 0)
    {
        return XLSXSerialDate::importText(QDateTime(QDate(y, m, d), QTime(h, min)));
    }
};

VORN_FOR_EVERY_DATABASE(XLSXRoundTripTest);

TEST_P(XLSXRoundTripTest, NumbersDatesAndTextComeBackAsTheyWent)
{
    createBook();
    const QString path = exportQuery("SELECT * FROM vxp_book ORDER BY id", "book.xlsx");
    const Imported imported = importWorkbook(path);
    ASSERT_TRUE(imported.error.isEmpty()) << imported.error.toStdString();
    EXPECT_EQ(imported.names, QStringList({"id", "amount", "day", "at", "note"}));
    ASSERT_EQ(imported.rows.size(), 4);
    EXPECT_EQ(imported.rows[0],
              QStringList({"1", "1.000", dateText(2019, 3, 5), dateText(2019, 3, 5, 12), "plain"}));
    EXPECT_EQ(imported.rows[1], QStringList({"2", "2.500", dateText(2019, 3, 31),
                                             dateText(2019, 3, 31, 18, 30), "tab\tbell\x07 line\nend"}));
    EXPECT_EQ(imported.rows[2],
              QStringList({"3", "-3.125", dateText(1970, 1, 1), dateText(2019, 3, 31, 1, 15), "plain"}));
    EXPECT_EQ(imported.rows[3], QStringList({"4", "", "", "", "_x0041_ & <b>"}));
}

TEST_P(XLSXRoundTripTest, ColumnsWithTheSameHeadingKeepTheirOwnValues)
{
    // The backend names a second "a" "a_2", so the heading is renamed in the workbook itself.
    const QString path =
        exportQuery("SELECT 1 AS a, 2 AS other, 'x' AS b UNION ALL SELECT 3, 4, 'y'", "same.xlsx");
    QTemporaryDir unpacked;
    ASSERT_TRUE(XLSXPackage::unpack(path, unpacked.path()).isNull());
    QFile strings(unpacked.filePath("xl/sharedStrings.xml"));
    ASSERT_TRUE(strings.open(QIODevice::ReadWrite));
    const QByteArray renamed = strings.readAll().replace("<t>other</t>", "<t>a</t>");
    strings.resize(0);
    strings.write(renamed);
    strings.close();
    ASSERT_TRUE(XLSXPackage::replaceEntries(path, unpacked.path(), {"xl/sharedStrings.xml"}).isNull());
    const Imported imported = importWorkbook(path);
    ASSERT_TRUE(imported.error.isEmpty()) << imported.error.toStdString();
    EXPECT_EQ(imported.names, QStringList({"a", "a", "b"}));
    EXPECT_EQ(imported.rows, QList<QStringList>({{"1", "2", "x"}, {"3", "4", "y"}}));
}

TEST_P(XLSXRoundTripTest, SheetHasStylesWidthsFrozenHeaderAndASafeName)
{
    createBook();
    const QString path = exportQuery("SELECT * FROM vxp_book ORDER BY id", "styled.xlsx");
    QTemporaryDir unpacked;
    ASSERT_TRUE(XLSXPackage::unpack(path, unpacked.path()).isNull());
    const QString sheet = QString::fromUtf8(fileBytes(unpacked.filePath("xl/worksheets/sheet1.xml")));
    EXPECT_TRUE(
        sheet.contains(R"(<pane ySplit="1" topLeftCell="A2" activePane="bottomLeft" state="frozenSplit"/>)"));
    EXPECT_TRUE(sheet.contains(R"(<c r="A1" t="s" s="5">)"));
    EXPECT_TRUE(sheet.contains(R"(<c r="A2" s="6"><v>1</v></c>)"));
    // The column turns decimal at its first fraction.
    EXPECT_TRUE(sheet.contains(R"(<c r="B2" s="6"><v>1.000</v></c>)"));
    EXPECT_TRUE(sheet.contains(R"(<c r="B3" s="2"><v>2.500</v></c>)"));
    EXPECT_TRUE(sheet.contains(R"(<c r="C4" s="4"><v>25569</v></c>)"));
    // Serials carry every digit, so no reader rounds 18:30 down to 18:29:59.
    EXPECT_TRUE(sheet.contains(R"(<c r="D3" s="1"><v>43555.7708333333)"));
    EXPECT_TRUE(sheet.contains(R"(<col min="2" max="2" width="12" style="2" customWidth="1"/>)"));
    EXPECT_TRUE(sheet.contains(R"(<col min="4" max="4" width="19" style="1" customWidth="1"/>)"));
    const QString workbook = QString::fromUtf8(fileBytes(unpacked.filePath("xl/workbook.xml")));
    EXPECT_TRUE(workbook.contains(R"(name="Book_ _2019____")")) << workbook.toStdString();
    const QString app = QString::fromUtf8(fileBytes(unpacked.filePath("docProps/app.xml")));
    EXPECT_TRUE(app.contains("<Application>Ostrel Apps - Vorn</Application>"));
    const QString strings = QString::fromUtf8(fileBytes(unpacked.filePath("xl/sharedStrings.xml")));
    // "plain" is stored once though two cells hold it.
    EXPECT_EQ(strings.count("<t>plain</t>"), 1);

    const QString bare = exportQuery("SELECT id FROM vxp_book ORDER BY id", "bare.xlsx", false);
    QTemporaryDir bareFolder;
    ASSERT_TRUE(XLSXPackage::unpack(bare, bareFolder.path()).isNull());
    const QString bareSheet = QString::fromUtf8(fileBytes(bareFolder.filePath("xl/worksheets/sheet1.xml")));
    EXPECT_FALSE(bareSheet.contains("sheetViews"));
    EXPECT_TRUE(bareSheet.contains(R"(<row r="1"><c r="A1" s="6"><v>1</v></c></row>)"));
}

TEST_P(XLSXRoundTripTest, TwelveThousandRowsStreamThroughBothWays)
{
    const QString path = exportQuery(numbers(12000), "many.xlsx");
    const Imported imported = importWorkbook(path);
    ASSERT_TRUE(imported.error.isEmpty()) << imported.error.toStdString();
    EXPECT_EQ(imported.names, QStringList{"n"});
    ASSERT_EQ(imported.rows.size(), 12000);
    EXPECT_EQ(imported.rows.first(), QStringList{"1"});
    EXPECT_EQ(imported.rows[4999], QStringList{"5000"});
    EXPECT_EQ(imported.rows.last(), QStringList{"12000"});
}

TEST_P(XLSXRoundTripTest, LibreOfficeReadsOurWorkbookAndWritesOneWeRead)
{
    ASSERT_FALSE(libreOffice().isEmpty()) << "LibreOffice (scripts/install-deps installs it) is needed";
    createBook();
    const QString path = exportQuery("SELECT id, amount, day, at FROM vxp_book ORDER BY id", "forlo.xlsx");
    QTemporaryDir dir;
    const QString csv = convertWithLibreOffice(dir, path, "csv");
    EXPECT_EQ(QString::fromUtf8(fileBytes(csv)), "id,amount,day,at\n"
                                                 "1,1,2019-03-05,2019-03-05 12:00:00\n"
                                                 "2,2.5,2019-03-31,2019-03-31 18:30:00\n"
                                                 "3,-3.125,1970-01-01,2019-03-31 01:15:00\n"
                                                 "4,,,\n");

    // And the other way: a workbook LibreOffice wrote from text, with real dates and numbers.
    const QString source = dir.filePath("fromlo.csv");
    QFile file(source);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("name,when,amount\nalpha,2015-03-04,1.5\nbeta,2019-03-31,7\n,,\ngamma,1999-12-31,-2\n");
    file.close();
    const Imported imported = importWorkbook(convertWithLibreOffice(dir, source, "xlsx"));
    ASSERT_TRUE(imported.error.isEmpty()) << imported.error.toStdString();
    EXPECT_EQ(imported.names, QStringList({"name", "when", "amount"}));
    ASSERT_EQ(imported.rows.size(), 3);
    EXPECT_EQ(imported.rows[0], QStringList({"alpha", dateText(2015, 3, 4), "1.5"}));
    EXPECT_EQ(imported.rows[2], QStringList({"gamma", dateText(1999, 12, 31), "-2"}));
}

} // namespace
