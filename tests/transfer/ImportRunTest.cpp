#include "../backend/BackendTestSupport.h"
#include "ImportOwner.h"
#include "WaitFor.h"
#include "bridge/ThreadController.h"
#include "client/VornRootClient.h"
#include "connection/ConnectedControllerDelegate.h"
#include "transfer/ImportController.h"
#include "transfer/ImportControllerDelegate.h"

#include <QFile>

namespace
{

class ImportRunTest : public DatabaseTest
{
protected:
    void SetUp() override
    {
        DatabaseTest::SetUp();
        if (IsSkipped())
            return;
        testRoot_ = connected(1);
        root_ = std::make_shared<VornRootClient>(testRoot_->object());
        owner_ = std::make_unique<ImportOwner>(root_, QStringLiteral("IMPORT_TEST"));
        controller_ = std::make_unique<ImportController>(root_);
        controller_->setDelegate(owner_.get());
        controller_->setImportDelegate(owner_.get());
        controller_->setThreadController(std::make_shared<ThreadController>(startedBackend()));
        testRoot_->execute("DROP TABLE IF EXISTS vti_rows");
        const QString stamp = GetParam() == "MySQL" ? "DATETIME(3)" : "TIMESTAMP";
        ASSERT_TRUE(
            testRoot_->run("CREATE TABLE vti_rows (id INTEGER NOT NULL PRIMARY KEY, amount DECIMAL(12,2), "
                           "label VARCHAR(200), stamp " +
                           stamp + ")"));
    }
    void TearDown() override
    {
        if (testRoot_)
            testRoot_->execute("DROP TABLE IF EXISTS vti_rows");
    }

    QString writeFile(const QByteArray &content)
    {
        const QString path = folder_.filePath(QStringLiteral("source%1.csv").arg(++files_));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
        return path;
    }

    // Chooses the file and the table and waits for the preview that detects and maps the columns.
    void choose(const QString &path)
    {
        controller_->setSelectedFilePath(path);
        controller_->setSelectedTable(QString(), "vti_rows");
        ASSERT_WAIT_FOR(controller_->hadInitialPreview());
    }

    void runToEnd()
    {
        controller_->beginImport();
        ASSERT_WAIT_FOR_MS(controller_->state() >= ImportController::Completed && !root_->reserved(), 60000);
    }

    QStringList column(const QString &sql)
    {
        QStringList values;
        if (!testRoot_->execute(sql))
            return {testRoot_->lastErrorMessage()};
        const QoJavaObjectPtr rows = testRoot_->resultset();
        const int count = rows->call("rowCount").toInt();
        for (int i = 1; i <= count; ++i)
            values.append(dictionary(rows->call("getRow:", {i})).values().value(0).toString());
        return values;
    }

    std::unique_ptr<TestRoot> testRoot_;
    VornRootClientPtr root_;
    std::unique_ptr<ImportOwner> owner_;
    std::unique_ptr<ImportController> controller_;
    int files_ = 0;
};

VORN_FOR_EVERY_DATABASE(ImportRunTest);

TEST_P(ImportRunTest, DirectImportWritesTypedValuesWithMilliseconds)
{
    choose(writeFile("id,amount,label,stamp\n1,12.50,\"a, b\",2024-03-01 10:20:30.123\n"
                     "2,-3.25,,2024-03-02 11:21:31.456\n"));
    runToEnd();
    EXPECT_EQ(controller_->state(), ImportController::Completed) << controller_->errorMessage().toStdString();
    EXPECT_EQ(controller_->rowsImported(), 2);
    EXPECT_EQ(column("SELECT label FROM vti_rows ORDER BY id"), (QStringList{"a, b", ""}));
    const QStringList amounts = column("SELECT amount FROM vti_rows ORDER BY id");
    ASSERT_EQ(amounts.size(), 2);
    EXPECT_DOUBLE_EQ(amounts[1].toDouble(), -3.25);
    const QStringList stamps = column("SELECT stamp FROM vti_rows ORDER BY id");
    ASSERT_EQ(stamps.size(), 2);
    EXPECT_TRUE(stamps[0].contains("123")) << stamps[0].toStdString();
    EXPECT_TRUE(stamps[1].contains("456")) << stamps[1].toStdString();
}

TEST_P(ImportRunTest, RefusedRowsAreCountedAndLoggedAndStopOnErrorStops)
{
    // Row 2 repeats a key (the database refuses it), row 3 holds no number in a number column.
    const QString path = writeFile("id,amount,label\n1,1.5,one\n1,2.5,again\n3,lots,three\n4,4.5,four\n");
    choose(path);
    runToEnd();
    EXPECT_EQ(controller_->state(), ImportController::CompletedWithRefusals);
    EXPECT_EQ(controller_->errorMessage(), "There is non imported data");
    EXPECT_EQ(controller_->rowsImported(), 2);
    EXPECT_EQ(controller_->rowsNotImported(), 2);
    EXPECT_EQ(column("SELECT id FROM vti_rows ORDER BY id"), (QStringList{"1", "4"}));
    EXPECT_TRUE(controller_->importResultErrorLog().contains("lots"))
        << controller_->importResultErrorLog().toStdString();

    ASSERT_TRUE(testRoot_->run("DELETE FROM vti_rows"));
    controller_->importOptions().stopOnError = true;
    runToEnd();
    EXPECT_EQ(controller_->rowsNotImported(), 1);
    EXPECT_EQ(column("SELECT id FROM vti_rows ORDER BY id"), (QStringList{"1"}));
}

// Rows are read ahead of the backend's writes: a row its format refuses (the preview's rows made the
// column a number) still ends a run that stops on errors exactly there, with every row before it
// written and none after, within a portion of rows and across portions.
TEST_P(ImportRunTest, StopOnErrorAtAnUnreadableValueKeepsExactlyTheRowsBefore)
{
    struct Case {
        int rows;
        int refused;
    };
    for (const Case &given : {Case{150, 120}, Case{30000, 12001}}) {
        SCOPED_TRACE(given.rows);
        ASSERT_TRUE(testRoot_->run("DELETE FROM vti_rows"));
        QByteArray content = "id,amount,label\n";
        for (int i = 1; i <= given.rows; ++i)
            content += QByteArray::number(i) + (i == given.refused ? ",lots" : ",1.5") + ",row\n";
        choose(writeFile(content));
        controller_->importOptions().stopOnError = true;
        runToEnd();
        EXPECT_EQ(controller_->state(), ImportController::CompletedWithRefusals);
        EXPECT_EQ(controller_->rowsImported(), given.refused - 1);
        EXPECT_EQ(controller_->rowsNotImported(), 1);
        EXPECT_EQ(column("SELECT COUNT(*) FROM vti_rows"), (QStringList{QString::number(given.refused - 1)}));
        EXPECT_EQ(column("SELECT MAX(id) FROM vti_rows"), (QStringList{QString::number(given.refused - 1)}));
        EXPECT_TRUE(controller_->importResultErrorLog().contains("lots"))
            << controller_->importResultErrorLog().toStdString();
    }
}

// The database refuses row 2 while rows 1 to 3 wait in one batch: the run stops there, and row 3, taken
// but never written, is not counted as imported.
TEST_P(ImportRunTest, StopOnErrorCountsOnlyTheRowsWritten)
{
    choose(writeFile("id,amount,label\n1,1.5,one\n1,2.5,again\n3,3.5,three\n"));
    controller_->importOptions().stopOnError = true;
    runToEnd();
    EXPECT_EQ(controller_->state(), ImportController::CompletedWithRefusals);
    EXPECT_EQ(column("SELECT id FROM vti_rows ORDER BY id"), (QStringList{"1"}));
    EXPECT_EQ(controller_->rowsImported(), 1);
    EXPECT_EQ(controller_->rowsNotImported(), 1);
}

TEST_P(ImportRunTest, InsertTextIsGeneratedWithoutWriting)
{
    choose(writeFile("id,amount,label\n7,1.5,it's\n8,,x\n"));
    controller_->importOptions().importToSql = true;
    runToEnd();
    EXPECT_EQ(controller_->state(), ImportController::Completed);
    EXPECT_EQ(controller_->errorMessage(), "Generated SQL statements");
    const QStringList statements = controller_->importResultLog().split(";\n\n", Qt::SkipEmptyParts);
    ASSERT_EQ(statements.size(), 2);
    EXPECT_TRUE(statements[1].contains("null")) << statements[1].toStdString();
    EXPECT_EQ(column("SELECT COUNT(*) FROM vti_rows"), (QStringList{"0"}));
    // The generated text runs as it is.
    for (const QString &statement : statements)
        EXPECT_TRUE(testRoot_->run(statement));
    EXPECT_EQ(column("SELECT label FROM vti_rows ORDER BY id"), (QStringList{"it's", "x"}));
}

TEST_P(ImportRunTest, CancelStopsTheRunAndKeepsWhatWasWritten)
{
    // Enough rows that the run is still going when the cancel comes, however fast the import reads.
    constexpr int rows = 1000000;
    QByteArray content = "id,amount,label\n";
    for (int i = 1; i <= rows; ++i)
        content += QByteArray::number(i) + ",1.25,row\n";
    choose(writeFile(content));
    controller_->beginImport();
    ASSERT_WAIT_FOR_MS(controller_->rowsImported() > 0, 30000);
    controller_->cancelImport();
    ASSERT_WAIT_FOR_MS(!root_->reserved(), 60000);
    EXPECT_EQ(controller_->state(), ImportController::Stopped);
    const qint64 imported = controller_->rowsImported();
    EXPECT_LT(imported, rows);
    EXPECT_EQ(column("SELECT COUNT(*) FROM vti_rows"), (QStringList{QString::number(imported)}));
}

TEST_P(ImportRunTest, PreparingAMissingTableFails)
{
    choose(writeFile("id\n1\n"));
    testRoot_->run("DROP TABLE vti_rows");
    runToEnd();
    EXPECT_EQ(controller_->state(), ImportController::Failed);
    EXPECT_TRUE(controller_->errorMessage().startsWith("Couldn't prepare the import table"));
}

} // namespace
