#include "transfer/PlainTextImporter.h"
#include "transfer/ImportEncoding.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace
{

QString fixture(const char *name)
{
    return qEnvironmentVariable("VORN_FIXTURES_DIR") + QStringLiteral("/import/") + QString::fromLatin1(name);
}

ImportOptions resetOptions()
{
    ImportOptions options;
    options.reset();
    return options;
}

// Detects the file's layout as the preview does, then reads all its rows as the import does.
struct Read {
    ImportOptions options;
    QList<QStringList> rows;
    QStringList names;
    QStringList warnings;
};

Read detectAndRead(const QString &path, ImportOptions options = resetOptions())
{
    {
        PlainTextImporter detector(options, path);
        detector.autoDetect();
        options = detector.importOptions();
    }
    PlainTextImporter importer(options, path);
    EXPECT_TRUE(importer.openForImport(false)) << importer.error().toStdString();
    Read read;
    read.options = importer.importOptions();
    for (const ImportColumnPtr &column : read.options.import_columns)
        read.names.append(column->column_name);
    while (std::optional<ImportRow> row = importer.readNextRow()) {
        QStringList fields;
        for (const QString &name : read.names)
            fields.append(row->value(name));
        read.rows.append(fields);
    }
    read.warnings = importer.warnings();
    return read;
}

struct DetectionCase {
    const char *file;
    quint64 encoding;
    QChar separator;
    bool headers;
    QStringList names;
    QStringList firstRow;
    qsizetype rowCount;
};

class Detection : public ::testing::TestWithParam<DetectionCase>
{
};

TEST_P(Detection, FindsLayoutAndReadsRows)
{
    const DetectionCase &c = GetParam();
    const Read read = detectAndRead(fixture(c.file));
    EXPECT_EQ(read.options.stringEncoding, c.encoding);
    EXPECT_FALSE(read.options.fixed_width);
    EXPECT_EQ(read.options.separator, c.separator);
    EXPECT_EQ(read.options.content_headers, c.headers);
    EXPECT_EQ(read.names, c.names);
    ASSERT_EQ(read.rows.size(), c.rowCount);
    EXPECT_EQ(read.rows.first(), c.firstRow);
    EXPECT_TRUE(read.warnings.isEmpty()) << read.warnings.join(' ').toStdString();
}

using namespace ImportEncoding;
INSTANTIATE_TEST_SUITE_P(
    Files, Detection,
    ::testing::Values(
        DetectionCase{
            "semicolons.csv", utf8, u';', true, {"name", "city", "zip"}, {"Anna", "Delft", "2611"}, 2},
        DetectionCase{
            "tabs-and-commas.txt", utf8, u'\t', false, {"COL 1", "COL 2", "COL 3"}, {"a", "b,c", "x"}, 3},
        DetectionCase{"utf8-bom.csv", utf8, u',', true, {"name", "city"}, {"Zoë", "Zürich"}, 1},
        DetectionCase{
            "utf16le-bom.csv", utf16LittleEndian, u',', true, {"name", "city"}, {"Zoë", "Zürich"}, 1},
        DetectionCase{
            "utf16be-nobom.csv", utf16BigEndian, u',', true, {"name", "city"}, {"Zoë0", "Zürich"}, 20},
        DetectionCase{"cp1252.csv", windowsLatin1, u',', true, {"name", "price"}, {"Café", "€5"}, 2},
        DetectionCase{"headerless.csv", utf8, u',', false, {"COL 1", "COL 2", "COL 3"}, {"1", "x", "y"}, 2}),
    [](const auto &info) {
        std::string name = info.param.file;
        for (char &c : name)
            c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
        return name;
    });

TEST(PlainTextImporter, QuotedFieldsFollowRfc4180)
{
    const Read read = detectAndRead(fixture("quoted.csv"));
    EXPECT_TRUE(read.options.quote_escape_double);
    ASSERT_EQ(read.rows.size(), 3);
    EXPECT_EQ(read.rows[0], (QStringList{"1", "a, \"b\" c"}));
    EXPECT_EQ(read.rows[1], (QStringList{"2", "  kept  "}));
    EXPECT_EQ(read.rows[2], (QStringList{"3", "line\nbreak"}));
}

TEST(PlainTextImporter, BackslashEscapedQuotesAreDetected)
{
    const Read read = detectAndRead(fixture("backslash.csv"));
    EXPECT_FALSE(read.options.quote_escape_double);
    ASSERT_EQ(read.rows.size(), 2);
    EXPECT_EQ(read.rows[0], (QStringList{"1", "say \"hi\" now"}));
}

TEST(PlainTextImporter, EveryLineEndEndsARow)
{
    ImportOptions options = resetOptions();
    options.content_headers = true;
    options.skip_empty_rows = false;
    PlainTextImporter importer(options, fixture("line-endings.csv"));
    ASSERT_TRUE(importer.openForImport(false));
    QStringList rows;
    while (std::optional<ImportRow> row = importer.readNextRow())
        rows.append(row->value("a") + "|" + row->value("b"));
    // CR LF, CR, LF and LF CR each end one row; the last row has no line end.
    EXPECT_EQ(rows, (QStringList{"1|2", "3|4", "5|6", "7|8"}));
}

TEST(PlainTextImporter, LeadingRowsAreSkipped)
{
    const Read read = detectAndRead(fixture("skip-rows.csv"));
    EXPECT_EQ(read.options.skip_start_rows, 3);
    EXPECT_TRUE(read.options.content_headers);
    EXPECT_EQ(read.names.mid(0, 3), (QStringList{"id", "amount", "day"}));
    ASSERT_EQ(read.rows.size(), 14);
    EXPECT_EQ(read.rows.first().mid(0, 3), (QStringList{"1", "10.50", "2024-01-01"}));
}

TEST(PlainTextImporter, FixedWidthTextIsCutIntoColumns)
{
    const Read read = detectAndRead(fixture("fixed.txt"));
    EXPECT_TRUE(read.options.fixed_width);
    EXPECT_EQ(read.options.fixed_width_filler, QChar(u' '));
    ASSERT_EQ(read.rows.size(), 4);
    EXPECT_EQ(read.rows[0], (QStringList{"Anna", "Delft", "2611"}));
    EXPECT_EQ(read.rows[3], (QStringList{"Dirk", "Venlo", "5911"}));
}

TEST(PlainTextImporter, FewLinesAreNeverTakenForFixedWidth)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("two.txt");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("abc\ndefgh\n");
    file.close();
    const Read read = detectAndRead(path);
    EXPECT_FALSE(read.options.fixed_width);
    EXPECT_EQ(read.rows, (QList<QStringList>{{"defgh"}}));
}

TEST(PlainTextImporter, LongFieldsAreReadWholeAndShortenedOnlyInThePreview)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("long.csv");
    const QByteArray longField(100000, 'x');
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("a,b\n" + longField + ",end\n");
    file.close();
    ImportOptions options = resetOptions();
    options.content_headers = true;
    PlainTextImporter importer(options, path);
    ASSERT_TRUE(importer.openForImport(false));
    std::optional<ImportRow> row = importer.readNextRow();
    ASSERT_TRUE(row);
    EXPECT_EQ(row->value("a").size(), longField.size());
    EXPECT_EQ(row->value("b"), "end");

    PlainTextImporter preview(options, path);
    ASSERT_TRUE(preview.openForImport(true));
    row = preview.readNextRow();
    ASSERT_TRUE(row);
    EXPECT_EQ(row->value("a"), QString(47, 'x') + "...");
}

TEST(PlainTextImporter, UndecodableFieldIsReplacedAndReportedWithoutLosingRows)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("broken.csv");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("a,b\n1,\xff\xfe\n2,fine\n");
    file.close();
    ImportOptions options = resetOptions();
    options.content_headers = true;
    PlainTextImporter importer(options, path);
    ASSERT_TRUE(importer.openForImport(false));
    QStringList seen;
    while (std::optional<ImportRow> row = importer.readNextRow())
        seen.append(row->value("a"));
    EXPECT_EQ(seen, (QStringList{"1", "2"}));
    EXPECT_EQ(importer.warnings().size(), 1);
}

} // namespace
