// Rows exported to CSV and imported again into an empty copy come back as they were, on every
// database; and PostgreSQL's import writes through COPY, not INSERT.
#include "ExportTestSupport.h"
#include "ImportTestSupport.h"
#include "WaitFor.h"

#include "bridge/ThreadController.h"
#include "transfer/CSVExporter.h"

using namespace ExportTestSupport;

namespace
{
class CsvRoundTripTest : public ExportDatabaseTest
{
protected:
    void SetUp() override
    {
        ExportDatabaseTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        owner_ = std::make_unique<ImportOwner>(root_);
        controller_ = std::make_unique<ImportController>(root_);
        controller_->setDelegate(owner_.get());
        controller_->setImportDelegate(owner_.get());
        controller_->setThreadController(std::make_shared<ThreadController>(startedBackend()));
        const QString stamp = isMySQL() ? "DATETIME(3)" : "TIMESTAMP";
        for (const char *table : {"vrt_items", "vrt_copy"}) {
            run(*root_, QString("DROP TABLE IF EXISTS ") + table);
            ASSERT_TRUE(run(*root_, QString("CREATE TABLE ") + table +
                                        " (id INTEGER PRIMARY KEY, label VARCHAR(100), stamp " + stamp +
                                        ")"));
        }
    }
    void TearDown() override
    {
        if (root_) {
            run(*root_, "DROP TABLE IF EXISTS vrt_items");
            run(*root_, "DROP TABLE IF EXISTS vrt_copy");
        }
    }

    QString exportItems()
    {
        const QString sql = "SELECT * FROM vrt_items ORDER BY id";
        auto cursor = VornExportCursorClient::forQuery(*root_, sql);
        auto probe = VornExportCursorClient::forQuery(*root_, sql);
        probe->begin();
        ExportRun exportRun;
        exportRun.options.loadColumns(probe->columnNames(), probe->columnTypes());
        probe->close();
        exportRun.cursor = cursor.get();
        exportRun.temporaryFile = output_.filePath("items.csv");
        exportRun.cancelled = [] { return false; };
        CSVExporter exporter;
        exporter.runForExport(exportRun);
        EXPECT_TRUE(exporter.errorMessage().isNull()) << exporter.errorMessage().toStdString();
        return exportRun.temporaryFile;
    }

    void importInto(const QString &file, const QString &table)
    {
        controller_->setSelectedFilePath(file);
        controller_->setSelectedTable(QString(), table);
        ASSERT_WAIT_FOR(controller_->hadInitialPreview());
        controller_->beginImport();
        ASSERT_WAIT_FOR_MS(controller_->state() >= ImportController::Completed && !root_->reserved(), 60000);
        ASSERT_EQ(controller_->state(), ImportController::Completed)
            << controller_->errorMessage().toStdString() << controller_->importResultErrorLog().toStdString();
    }

    std::unique_ptr<ImportOwner> owner_;
    std::unique_ptr<ImportController> controller_;
};

VORN_FOR_EVERY_DATABASE(CsvRoundTripTest);
} // namespace

TEST_P(CsvRoundTripTest, ExportedRowsImportBackUnchanged)
{
    ASSERT_TRUE(run(*root_, "INSERT INTO vrt_items VALUES "
                            "(1, 'say \"hi\", then go', '2024-03-01 10:20:30.123'), "
                            "(2, NULL, '1999-12-31 23:59:59.999'), "
                            "(3, 'ünï 日本 😀', NULL), "
                            "(4, 'two\r\nlines\nand\rthree', '2024-01-01 00:00:00.001'), "
                            "(5, 'tab\there; semi', '2024-03-31 02:30:00.500')"));
    importInto(exportItems(), "vrt_copy");
    EXPECT_EQ(controller_->rowsImported(), 5);
    const QStringList original = rowsOf(*root_, "SELECT * FROM vrt_items ORDER BY id");
    ASSERT_EQ(original.size(), 5);
    EXPECT_EQ(rowsOf(*root_, "SELECT * FROM vrt_copy ORDER BY id"), original);
    // The milliseconds made it through, not only the display of them.
    EXPECT_EQ(rowsOf(*root_, "SELECT id FROM vrt_copy WHERE stamp > '2024-01-01 00:00:00.000' AND "
                             "stamp < '2024-01-01 00:00:00.002'"),
              QStringList{"4"});
}

TEST_P(CsvRoundTripTest, PostgreSQLWritesThroughCopy)
{
    if (!isPostgres())
        GTEST_SKIP() << "COPY is PostgreSQL's";
    // A statement trigger notes the text of every statement that writes the table.
    ASSERT_TRUE(run(*root_, "DROP TABLE IF EXISTS vrt_statements"));
    ASSERT_TRUE(run(*root_, "CREATE TABLE vrt_statements (query TEXT)"));
    ASSERT_TRUE(run(*root_,
                    "CREATE OR REPLACE FUNCTION vrt_note() RETURNS trigger LANGUAGE plpgsql AS "
                    "$$ BEGIN INSERT INTO vrt_statements VALUES (current_query()); RETURN NULL; END $$"));
    ASSERT_TRUE(run(*root_, "CREATE TRIGGER vrt_seen AFTER INSERT ON vrt_copy FOR EACH STATEMENT "
                            "EXECUTE FUNCTION vrt_note()"));
    QByteArray content = "id,label,stamp\n";
    for (int i = 1; i <= 25000; ++i)
        content += QByteArray::number(i) + ",row " + QByteArray::number(i) + ",2024-03-01 10:20:30.123\n";
    QFile file(output_.filePath("many.csv"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
    file.close();
    importInto(file.fileName(), "vrt_copy");
    EXPECT_EQ(rowsOf(*root_, "SELECT count(*) FROM vrt_copy"), QStringList{"25000"});
    const QStringList statements = rowsOf(*root_, "SELECT query FROM vrt_statements");
    // Three batches, each one COPY; no INSERT.
    ASSERT_EQ(statements.size(), 3) << statements.join("\n").toStdString();
    for (const QString &statement : statements)
        EXPECT_TRUE(statement.startsWith("COPY ")) << statement.toStdString();
    run(*root_, "DROP TABLE vrt_statements");
    run(*root_, "DROP FUNCTION vrt_note() CASCADE");
}
