// The CSV and SQL exporters over real backend cursors: the bytes they write, the record limit,
// progress and cancel, failures on the way, and SQL that puts the rows back into an empty copy.
#include "ExportTestSupport.h"

#include "transfer/CSVExporter.h"
#include "transfer/SqlExporter.h"

#include <QRegularExpression>

using namespace ExportTestSupport;

namespace
{
class ExportersBackendTest : public ExportDatabaseTest
{
protected:
    void TearDown() override
    {
        if (root_) {
            run(*root_, "DROP TABLE IF EXISTS vxp_items");
            run(*root_, "DROP TABLE IF EXISTS vxp_copy");
        }
    }

    // Runs the exporter over the query with the options; the written file's path.
    QString exportQuery(AbstractExporter &exporter, const QString &sql, ExportOptions options,
                        std::function<bool()> cancelled = {}, std::function<void(qint64)> progress = {})
    {
        auto cursor = VornExportCursorClient::forQuery(*root_, sql);
        EXPECT_TRUE(cursor);
        if (options.columns.isEmpty() && cursor) {
            auto probe = VornExportCursorClient::forQuery(*root_, sql);
            probe->begin();
            options.loadColumns(probe->columnNames(), probe->columnTypes());
            probe->close();
        }
        ExportRun run;
        run.options = options;
        run.cursor = cursor.get();
        run.temporaryFile = output_.filePath("export.dat");
        run.cancelled = cancelled ? cancelled : [] { return false; };
        run.progress = progress;
        exporter.runForExport(run);
        return run.temporaryFile;
    }

    void createItems()
    {
        ASSERT_TRUE(run(*root_, "CREATE TABLE vxp_items (id INTEGER, name VARCHAR(40), note VARCHAR(40))"));
        ASSERT_TRUE(run(*root_, "INSERT INTO vxp_items VALUES (1, 'plain', NULL), (2, 'a\"b', ''), "
                                "(3, 'x,y', 'two\nlines'), (4, 'ünï', '日本')"));
    }
};

VORN_FOR_EVERY_DATABASE(ExportersBackendTest);
} // namespace

TEST_P(ExportersBackendTest, CsvWritesHeaderQuotingAndSpecialsAsConfigured)
{
    createItems();
    struct Case {
        bool headers;
        bool quoted;
        QChar delimiter;
        QString expected;
    };
    const Case cases[] = {
        {true, true, u',',
         "\"id\",\"name\",\"note\"\n\"1\",\"plain\",\n\"2\",\"a\"\"b\",\n\"3\",\"x,y\",\"two\nlines\"\n"
         "\"4\",\"ünï\",\"日本\"\n"},
        {false, false, u',', "1,plain,\n2,\"a\"\"b\",\n3,\"x,y\",\"two\nlines\"\n4,ünï,日本\n"},
        {true, false, u';', "id;name;note\n1;plain;\n2;\"a\"\"b\";\n3;x,y;\"two\nlines\"\n4;ünï;日本\n"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.expected.toStdString());
        ExportOptions options;
        options.includeHeaders = c.headers;
        options.doubleQuoteResults = c.quoted;
        options.delimiter = c.delimiter;
        CSVExporter exporter;
        const QString file = exportQuery(exporter, "SELECT * FROM vxp_items ORDER BY id", options);
        EXPECT_TRUE(exporter.errorMessage().isNull()) << exporter.errorMessage().toStdString();
        EXPECT_EQ(exporter.processed(), 4);
        EXPECT_EQ(QString::fromUtf8(fileBytes(file)), c.expected);
    }
}

TEST_P(ExportersBackendTest, ColumnsAreWrittenInTheirOrderUnderTheirNamesAndDisabledOnesLeftOut)
{
    createItems();
    ExportOptions options;
    options.loadColumns({"id", "name", "note"}, {});
    options.moveColumn(1, 0);
    options.columns[0].name = "Title";
    options.columns[2].enabled = false;
    options.doubleQuoteResults = false;
    CSVExporter exporter;
    const QString file = exportQuery(exporter, "SELECT * FROM vxp_items WHERE id < 3 ORDER BY id", options);
    EXPECT_EQ(QString::fromUtf8(fileBytes(file)), "Title,id\nplain,1\n\"a\"\"b\",2\n");
}

TEST_P(ExportersBackendTest, EmptyResultsGiveOnlyMarkAndHeader)
{
    createItems();
    ExportOptions options;
    options.stringEncoding = ExportOptions::Utf16LittleEndian;
    options.doubleQuoteResults = false;
    CSVExporter csv;
    const QString file = exportQuery(csv, "SELECT * FROM vxp_items WHERE id > 99", options);
    EXPECT_EQ(fileBytes(file), QByteArray("\xFF\xFEi\0d\0,\0n\0a\0m\0e\0,\0n\0o\0t\0e\0\n\0", 28));

    SqlExporter sql("vxp_copy");
    const QString sqlFile = exportQuery(sql, "SELECT * FROM vxp_items WHERE id > 99", options);
    EXPECT_EQ(fileBytes(sqlFile), QByteArray("\xFF\xFE", 2));
}

TEST_P(ExportersBackendTest, RecordLimitAndProgressEveryThousandRecords)
{
    struct Case {
        int rows;
        qint64 limit;
        qint64 written;
        QList<qint64> reports;
    };
    const Case cases[] = {
        {2500, -1, 2500, {1000, 2000}}, {2000, 0, 2000, {1000, 2000}}, {9000, 5, 5, {}}, {999, -1, 999, {}},
        {5000, 1000, 1000, {1000}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(QString("%1 rows, limit %2").arg(c.rows).arg(c.limit).toStdString());
        ExportOptions options;
        options.includeHeaders = false;
        options.doubleQuoteResults = false;
        options.recordSourceCount = c.limit;
        QList<qint64> reports;
        CSVExporter exporter;
        const QString file = exportQuery(exporter, numbers(c.rows), options, {},
                                         [&](qint64 processed) { reports << processed; });
        EXPECT_EQ(exporter.processed(), c.written);
        EXPECT_EQ(reports, c.reports);
        const QByteArray bytes = fileBytes(file);
        EXPECT_EQ(bytes.count('\n'), c.written);
        EXPECT_TRUE(bytes.endsWith(QByteArray::number(c.written) + "\n"));
    }
}

TEST_P(ExportersBackendTest, CancelStopsBeforeTheNextRecord)
{
    ExportOptions options;
    options.includeHeaders = false;
    bool cancelled = false;
    CSVExporter exporter;
    const QString file = exportQuery(
        exporter, numbers(20000), options, [&] { return cancelled; },
        [&](qint64 processed) { cancelled = processed >= 1000; });
    EXPECT_EQ(exporter.processed(), 1000);
    EXPECT_EQ(fileBytes(file).count('\n'), 1000);
    // The cursor was closed: the connection serves the next statement.
    EXPECT_EQ(rowsOf(*root_, numbers(2)), (QStringList{"1", "2"}));
}

TEST_P(ExportersBackendTest, UnrepresentableCharactersFailTheExportNamingTheRecord)
{
    createItems();
    ExportOptions options;
    options.stringEncoding = ExportOptions::IsoLatin1;
    CSVExporter exporter;
    exportQuery(exporter, "SELECT * FROM vxp_items ORDER BY id", options);
    EXPECT_EQ(exporter.errorMessage(), "Record 4 holds a character that ISO Latin 1 cannot represent.");

    options.stringEncoding = ExportOptions::WindowsLatin1;
    CSVExporter fits;
    const QString file = exportQuery(fits, "SELECT name FROM vxp_items WHERE id = 4", options);
    EXPECT_TRUE(fits.errorMessage().isNull());
    EXPECT_EQ(fileBytes(file), QByteArray("\"name\"\n\"\xFCn\xEF\"\n"));
}

TEST_P(ExportersBackendTest, QueryFailuresEndTheExportWithTheDatabasesMessage)
{
    ExportOptions options;
    CSVExporter exporter;
    exportQuery(exporter, "SELECT * FROM vxp_no_such_table", options);
    EXPECT_FALSE(exporter.errorMessage().isEmpty());
    EXPECT_EQ(exporter.processed(), 0);
}

TEST_P(ExportersBackendTest, SqlPutsQuotesNullUnicodeAndBinaryBackIntoAnEmptyCopy)
{
    const QString binary = isPostgres() ? "BYTEA" : isMySQL() ? "LONGBLOB" : "BLOB";
    const QString create = "CREATE TABLE %1 (id INTEGER, txt VARCHAR(100), note VARCHAR(100), amount "
                           "NUMERIC(12,3), data " +
                           binary + ")";
    ASSERT_TRUE(run(*root_, create.arg("vxp_items")));
    ASSERT_TRUE(run(*root_, create.arg("vxp_copy")));
    const auto bytes = [&](const QString &hex) {
        return isPostgres() ? "decode('" + hex + "', 'hex')" : "X'" + hex + "'";
    };
    ASSERT_TRUE(run(*root_, "INSERT INTO vxp_items VALUES (1, 'it''s', NULL, 1.5, " + bytes("00FF10") + ")"));
    ASSERT_TRUE(run(*root_, "INSERT INTO vxp_items VALUES (2, 'back\\\\slash \"q\"', '', -0.001, NULL)"));
    ASSERT_TRUE(run(*root_, "INSERT INTO vxp_items VALUES (3, 'ünïcødé 日本 😀', 'line\nbreak', NULL, " +
                                bytes("") + ")"));
    ASSERT_TRUE(run(*root_, "INSERT INTO vxp_items VALUES (NULL, NULL, NULL, NULL, NULL)"));

    ExportOptions options;
    SqlExporter exporter("vxp_copy");
    const QString file = exportQuery(exporter, "SELECT * FROM vxp_items", options);
    ASSERT_TRUE(exporter.errorMessage().isNull()) << exporter.errorMessage().toStdString();
    const QString sql = QString::fromUtf8(fileBytes(file));
    const QStringList statements =
        sql.split(QRegularExpression("(?<=\\);)\\n(?=insert into |$)"), Qt::SkipEmptyParts);
    ASSERT_EQ(statements.size(), 4) << sql.toStdString();
    for (const QString &statement : statements) {
        EXPECT_TRUE(statement.startsWith("insert into vxp_copy (id, txt, note, amount, data) values ("))
            << statement.toStdString();
        ASSERT_TRUE(run(*root_, statement.chopped(1)));
    }
    const QString hex = isPostgres() ? "encode(data, 'hex')" : "hex(data)";
    const QString compare = "SELECT id, txt, note, amount, " + hex + ", data IS NULL FROM %1 ORDER BY id";
    const QStringList original = rowsOf(*root_, compare.arg("vxp_items"));
    EXPECT_EQ(rowsOf(*root_, compare.arg("vxp_copy")), original);
    EXPECT_EQ(original.size(), 4);
    EXPECT_TRUE(original.join('\n').contains("\\slash \"q\"")) << original.join('\n').toStdString();
}

TEST_P(ExportersBackendTest, AFailureOnTheWayIsKeptByTheCursorAndFailsTheExport)
{
    if (!isPostgres())
        GTEST_SKIP() << "PostgreSQL fails a row while the rows stream";
    ExportOptions options;
    options.loadColumns({"n"}, {});
    CSVExporter exporter;
    auto cursor = VornExportCursorClient::forQuery(
        *root_,
        "SELECT CASE WHEN g = 6000 THEN 1 / (g - g) ELSE g END AS n FROM generate_series(1, 10000) g");
    ExportRun exportRun;
    exportRun.options = options;
    exportRun.cursor = cursor.get();
    exportRun.temporaryFile = output_.filePath("export.dat");
    exporter.runForExport(exportRun);
    EXPECT_TRUE(exporter.errorMessage().contains("division by zero"))
        << exporter.errorMessage().toStdString();
    EXPECT_LT(exporter.processed(), 6000);
    // Later calls succeed; the cursor still tells of the failure.
    EXPECT_EQ(cursor->columnNames(), QStringList{"n"});
    EXPECT_TRUE(cursor->failure().contains("division by zero"));
    EXPECT_EQ(rowsOf(*root_, numbers(1)), QStringList{"1"});
}

// Exports show dates and times as the grid does, though their text is written on another thread than
// the one that reads them: the user's pattern where it fits, the database's own text where it does not.
TEST_P(ExportersBackendTest, DatesAndTimesExportAsTheGridShowsThem)
{
    if (!isPostgres() && !isMySQL())
        GTEST_SKIP() << "SQLite keeps dates as the text it was given";
    // Enough rows for several batches, each row with its own values.
    const QString sql = isPostgres()
                            ? "SELECT TIMESTAMP '2024-03-31 02:30:00.25' + g * INTERVAL '1 second' AS t, "
                              "DATE '2024-01-31' + g AS d, TIME '13:45:30' AS c, "
                              "CASE WHEN g % 2 = 0 THEN NULL ELSE TIME '24:00:00' END AS e "
                              "FROM generate_series(1, 9000) g ORDER BY g"
                            : "SELECT TIMESTAMP '2024-03-31 02:30:00.25' + INTERVAL seq SECOND AS t, "
                              "DATE '2024-01-31' + INTERVAL seq DAY AS d, TIME '13:45:30' AS c, "
                              "CASE WHEN seq % 2 = 0 THEN NULL ELSE CAST('838:59:59' AS TIME) END AS e "
                              "FROM seq_1_to_9000 ORDER BY seq";
    ExportOptions options;
    options.doubleQuoteResults = false;
    options.includeHeaders = false;
    CSVExporter exporter;
    const QStringList lines =
        QString::fromUtf8(fileBytes(exportQuery(exporter, sql, options))).split('\n', Qt::SkipEmptyParts);
    ASSERT_TRUE(exporter.errorMessage().isNull()) << exporter.errorMessage().toStdString();
    ASSERT_EQ(lines.size(), 9000);
    const QString beyond = isPostgres() ? "24:00:00" : "838:59:59";
    const QDateTime start(QDate(2024, 3, 31), QTime(2, 30), Qt::UTC);
    for (const int g : {1, 2, 4000, 4001, 8999, 9000}) {
        SCOPED_TRACE(g);
        const QString moment = start.addSecs(g).toString("dd-MM-yyyy HH:mm:ss") + ".25";
        // The export's root rounds a value at midnight to its date.
        const QString day = QDate(2024, 1, 31).addDays(g).toString("dd-MM-yyyy");
        EXPECT_EQ(lines[g - 1], QStringList({moment, day, "13:45:30.0", g % 2 ? beyond : ""}).join(','));
    }
}
