#include "transfer/ImportOptions.h"
#include "transfer/AbstractImporter.h"
#include "transfer/ImportEncoding.h"

#include <gtest/gtest.h>

namespace
{

TEST(ImportOptions, EncodingSetsCodeUnitsAndByteOrder)
{
    ImportOptions options;
    options.reset();
    options.setStringEncoding(ImportEncoding::utf16LittleEndian);
    EXPECT_EQ(options.characterLength, 2);
    EXPECT_FALSE(options.bigEndian);
    options.setStringEncoding(ImportEncoding::utf16);
    EXPECT_EQ(options.characterLength, 2);
    EXPECT_TRUE(options.bigEndian);
    options.setStringEncoding(ImportEncoding::windowsLatin1);
    EXPECT_EQ(options.characterLength, 1);
}

TEST(ImportOptions, ColumnCountGrowsWithUnknownColumnsAndShrinks)
{
    ImportOptions options;
    options.reset();
    options.updateImportColumnCount(3);
    ASSERT_EQ(options.import_columns.size(), 3);
    EXPECT_EQ(options.import_columns[2]->column_name, "UNKNOWN");
    options.updateImportColumnCount(0);
    EXPECT_TRUE(options.import_columns.isEmpty());
}

TEST(ImportOptions, DateAutodetectListHasEveryCombination)
{
    ImportOptions options;
    const QStringList formats = options.supportedAutodetectFormatsForColumnType("D");
    EXPECT_EQ(formats.size(), 783);
    EXPECT_EQ(formats.mid(0, 2), (QStringList{"yyyyMMdd", "ddMMyyyy"}));
}

TEST(ImportOptions, FormattersAreMadeOncePerKey)
{
    ImportOptions options;
    EXPECT_TRUE(std::holds_alternative<std::monostate>(options.formatterForType("S", "", true)));
    const auto first = options.formatterForType("N", "12345,00 (-)", true);
    const auto number = std::get<std::shared_ptr<const ImportNumberFormat>>(first);
    EXPECT_EQ(number->decimalSeparator(), QChar(u','));
    EXPECT_EQ(number->groupingSeparator(), QChar(u'.'));
    EXPECT_TRUE(number->minusAsSuffix());
    EXPECT_EQ(number, std::get<std::shared_ptr<const ImportNumberFormat>>(
                          options.formatterForType("N", "12345,00 (-)", true)));
}

struct Conversion {
    const char *type;
    const char *format;
    const char *text;
    ImportValue::Kind kind;
    const char *backendText;
};

class ValueConversion : public ::testing::TestWithParam<Conversion>
{
};

TEST_P(ValueConversion, ConvertsOrRefuses)
{
    const Conversion &c = GetParam();
    ImportOptions options;
    ImportColumn column;
    column.input_column_type = c.type;
    column.input_column_format = c.format;
    const ImportValue value = options.convertColumnValue(c.text, column);
    EXPECT_EQ(value.kind, c.kind);
    EXPECT_EQ(value.backendText(), c.backendText);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ValueConversion,
    ::testing::Values(Conversion{"S", "", "", ImportValue::Text, ""},
                      Conversion{"N", "(-)12345.00", "", ImportValue::Missing, ""},
                      Conversion{"N", "(-)12345.00", "-1,234.50", ImportValue::Number, "-1234.50"},
                      Conversion{"N", "12345,00 (-)", "1.234,5-", ImportValue::Number, "-1234.5"},
                      Conversion{"N", "(-) 1.23e45", "1.5e3", ImportValue::Number, "1.5e3"},
                      Conversion{"N", "(-)12345.00", "ten", ImportValue::Invalid, ""},
                      Conversion{"D", "yyyy-MM-dd HH:mm:ss.S", "2024-03-01 10:20:30.123",
                                 ImportValue::DateTime, "2024-03-01 10:20:30.123"},
                      Conversion{"D", "dd-MM-yyyy", "31-04-2024", ImportValue::Invalid, ""},
                      Conversion{"D", "MM/dd/yyyy h:mm a", "3/1/2024 1:05 pm", ImportValue::DateTime,
                                 "2024-03-01 13:05:00.000"}));

ImportColumnPtr column(const QString &name, const QString &type = "S")
{
    auto made = std::make_shared<ImportColumn>();
    made->column_name = name;
    made->input_column_type = type;
    return made;
}

class ColumnsImporter : public AbstractImporter
{
public:
    using AbstractImporter::AbstractImporter;
    void close() override {}
    std::optional<ImportRow> readNextRow() override { return std::nullopt; }
    void autoDetect() override {}
    void autoDetectFormatOptions() override {}

protected:
    bool openSource() override { return true; }
};

TEST(TypeDetection, LettersMakeTextAndDigitsFindTheirFormat)
{
    ImportOptions options;
    ColumnsImporter importer(options, QString());
    const QList<ImportRow> rows = {{{"a", "abc"}, {"b", "12.5"}, {"c", "2024-03-01"}},
                                   {{"a", "123"}, {"b", "-7"}, {"c", "2024-12-31"}}};
    ImportColumn text, number, date;
    text.column_name = "a";
    number.column_name = "b";
    date.column_name = "c";
    importer.autoDetectColumn(text, rows, QString());
    importer.autoDetectColumn(number, rows, QString());
    importer.autoDetectColumn(date, rows, QString());
    EXPECT_EQ(text.input_column_type, "S");
    EXPECT_TRUE(text.input_column_format.isEmpty());
    EXPECT_EQ(number.input_column_type, "N");
    EXPECT_EQ(number.input_column_format, "(-)12345.00");
    EXPECT_EQ(date.input_column_type, "D");
    EXPECT_EQ(date.input_column_format, "yyyy-MM-dd");

    ImportColumn forced;
    forced.column_name = "a";
    importer.autoDetectColumn(forced, rows, "N");
    EXPECT_EQ(forced.input_column_type, "N");
    EXPECT_TRUE(forced.input_column_format.isEmpty());
}

TEST(Mapping, NamesFirstThenTypesAndHiddenColumnsUntouched)
{
    ImportOptions options;
    options.target_column_names = {"ID", "amount", "note"};
    options.target_column_types = {{"ID", "N"}, {"amount", "N"}, {"note", "S"}};
    const ImportColumnPtr hidden = column("secret");
    hidden->hidden = true;
    hidden->enabled = true;
    options.import_columns = {column("id", "N"), column("Id", "N"), column("x", "D"), hidden, column("text")};
    ColumnsImporter importer(options, QString());
    importer.determineColumnMapping();
    const QList<ImportColumnPtr> &c = importer.importOptions().import_columns;
    EXPECT_EQ(c[0]->map_to, "ID");
    EXPECT_EQ(c[1]->map_to, "amount"); // the name is taken: by type
    EXPECT_FALSE(c[2]->enabled);       // no date column left
    EXPECT_TRUE(c[3]->map_to.isEmpty());
    EXPECT_TRUE(c[3]->enabled);
    EXPECT_EQ(c[4]->map_to, "note");
    EXPECT_TRUE(c[4]->enabled);
}

} // namespace
