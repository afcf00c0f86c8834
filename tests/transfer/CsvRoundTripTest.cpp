// Rows exported to CSV and imported again into an empty copy come back as they were, on every
// database; and each database's import takes its bulk path: COPY on PostgreSQL, LOAD DATA LOCAL on
// MariaDB, one transaction on SQLite.
#include "ExportTestSupport.h"
#include "ImportOwner.h"
#include "WaitFor.h"
#include "transfer/ImportController.h"

#include "bridge/ThreadController.h"
#include "transfer/CSVExporter.h"

#include <QtEndian>

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
        owner_ = std::make_unique<ImportOwner>(root_, QStringLiteral("IMPORT_TEST"));
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

    // 25,000 rows of the three columns, with a header: more than one of the backend's batches.
    QString manyRows()
    {
        QByteArray content = "id,label,stamp\n";
        for (int i = 1; i <= 25000; ++i)
            content += QByteArray::number(i) + ",row " + QByteArray::number(i) + ",2024-03-01 10:20:30.123\n";
        QFile file(output_.filePath("many.csv"));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
        return file.fileName();
    }

    // A counter of the server's status for this connection (the one the import runs on).
    qint64 sessionStatus(const QString &name)
    {
        const QStringList rows = rowsOf(*root_, "SHOW SESSION STATUS LIKE '" + name + "'");
        return rows.size() == 1 ? rows.first().section('|', 1).toLongLong() : -1;
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
    importInto(manyRows(), "vrt_copy");
    EXPECT_EQ(rowsOf(*root_, "SELECT count(*) FROM vrt_copy"), QStringList{"25000"});
    const QStringList statements = rowsOf(*root_, "SELECT query FROM vrt_statements");
    // Three batches, each one COPY; no INSERT.
    ASSERT_EQ(statements.size(), 3) << statements.join("\n").toStdString();
    for (const QString &statement : statements)
        EXPECT_TRUE(statement.startsWith("COPY ")) << statement.toStdString();
    run(*root_, "DROP TABLE vrt_statements");
    run(*root_, "DROP FUNCTION vrt_note() CASCADE");
}

TEST_P(CsvRoundTripTest, MariaDBWritesThroughLoadData)
{
    if (!isMySQL())
        GTEST_SKIP() << "LOAD DATA LOCAL is MariaDB's";
    const qint64 loadsBefore = sessionStatus("Com_load");
    const qint64 insertsBefore = sessionStatus("Com_insert");
    ASSERT_GE(loadsBefore, 0);
    ASSERT_GE(insertsBefore, 0);
    importInto(manyRows(), "vrt_copy");
    EXPECT_EQ(rowsOf(*root_, "SELECT count(*) FROM vrt_copy"), QStringList{"25000"});
    // Three batches, each one LOAD DATA on the import's connection; no INSERT.
    EXPECT_EQ(sessionStatus("Com_load") - loadsBefore, 3);
    EXPECT_EQ(sessionStatus("Com_insert") - insertsBefore, 0);
}

// SQLite counts every committed write transaction in the file's header (a big-endian number at byte 24).
TEST_P(CsvRoundTripTest, SQLiteWritesInOneTransaction)
{
    if (GetParam() != "SQLite")
        GTEST_SKIP() << "The file change counter is SQLite's";
    const auto changeCounter = [&] {
        const QByteArray header = fileBytes(target_.database).left(28);
        return header.size() == 28 ? qFromBigEndian<quint32>(header.constData() + 24) : quint32(0);
    };
    const QString source = manyRows();
    const quint32 before = changeCounter();
    ASSERT_GT(before, 0u);
    importInto(source, "vrt_copy");
    EXPECT_EQ(rowsOf(*root_, "SELECT count(*) FROM vrt_copy"), QStringList{"25000"});
    // Three batches, one commit.
    EXPECT_EQ(changeCounter() - before, 1u);
}
