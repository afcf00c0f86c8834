// The pieces an export writes with: delimited fields, encodings with their marks and line ends, the
// options' column list, and putting the finished file in place.
#include "transfer/CsvField.h"
#include "transfer/ExportDestination.h"
#include "transfer/ExportEncoding.h"
#include "transfer/ExportOptions.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <QStorageInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace
{
QString line(const QStringList &fields, QChar delimiter, bool quoted)
{
    QString text;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0)
            text.append(delimiter);
        CsvField::append(text, fields[i], delimiter, quoted);
    }
    return text;
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}
} // namespace

TEST(CsvFieldTest, QuotesAsNeededAndOnlyWhereNeededWithQuotingOff)
{
    struct Case {
        QStringList fields;
        QChar delimiter;
        bool quoted;
        QString expected;
    };
    const Case cases[] = {
        {{"a", "b"}, u',', true, "\"a\",\"b\""},
        {{"a\"b"}, u',', true, "\"a\"\"b\""},
        {{"", "x", ""}, u',', true, ",\"x\","},
        {{"", ""}, u';', false, ";"},
        {{"plain", "1.5"}, u',', false, "plain,1.5"},
        // Specials are quoted even with quoting off: the line must read back as these fields.
        {{"a,b", "c"}, u',', false, "\"a,b\",c"},
        {{"say \"hi\""}, u',', false, "\"say \"\"hi\"\"\""},
        {{"two\nlines", "cr\rhere"}, u'\t', false, "\"two\nlines\"\t\"cr\rhere\""},
        // Another delimiter's character is plain text.
        {{"a,b"}, u';', false, "a,b"},
        // The delimiter is a Unicode character.
        {{"x§y", "z"}, u'§', false, "\"x§y\"§z"},
        {{"ünïcødé", "日本"}, u',', true, "\"ünïcødé\",\"日本\""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.fields.join('|').toStdString());
        EXPECT_EQ(line(c.fields, c.delimiter, c.quoted), c.expected);
    }
}

TEST(CsvFieldTest, Latin1ViewsQuoteAsUnicodeText)
{
    QString text;
    CsvField::append(text, QLatin1StringView("caf\xe9,\""), u',', false);
    EXPECT_EQ(text, QString::fromUtf8("\"café,\"\"\""));
}

TEST(ExportEncodingTest, MarksAndLineEndsPerEncoding)
{
    struct Case {
        quint64 encoding;
        QByteArray mark;
        QByteArray lineEnd;
        QByteArray eAcute;
    };
    const Case cases[] = {
        {ExportOptions::Utf8, {}, "\n", "\xC3\xA9"},
        {ExportOptions::Utf16BigEndian, QByteArray("\xFE\xFF", 2), QByteArray("\x00\n", 2),
         QByteArray("\x00\xE9", 2)},
        {ExportOptions::Utf16LittleEndian, QByteArray("\xFF\xFE", 2), QByteArray("\n\x00", 2),
         QByteArray("\xE9\x00", 2)},
        {ExportOptions::Utf32BigEndian, QByteArray("\x00\x00\xFE\xFF", 4), QByteArray("\x00\x00\x00\n", 4),
         QByteArray("\x00\x00\x00\xE9", 4)},
        {ExportOptions::Utf32LittleEndian, QByteArray("\xFF\xFE\x00\x00", 4), QByteArray("\n\x00\x00\x00", 4),
         QByteArray("\xE9\x00\x00\x00", 4)},
        {ExportOptions::IsoLatin1, {}, "\n", "\xE9"},
        {ExportOptions::IsoLatin2, {}, "\n", "\xE9"},
        {ExportOptions::MacRoman, {}, "\n", "\x8E"},
        {ExportOptions::WindowsLatin1, {}, "\n", "\xE9"},
        {ExportOptions::WindowsLatin2, {}, "\n", "\xE9"},
        {ExportOptions::WindowsTurkish, {}, "\n", "\xE9"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(ExportOptions::nameForEncoding(c.encoding).toStdString());
        ExportEncoding encoding(c.encoding);
        EXPECT_EQ(encoding.byteOrderMark(), c.mark);
        QByteArray bytes;
        ASSERT_TRUE(encoding.encode(u"\n", bytes));
        EXPECT_EQ(bytes, c.lineEnd);
        bytes.clear();
        ASSERT_TRUE(encoding.encode(u"é", bytes));
        EXPECT_EQ(bytes, c.eAcute);
        EXPECT_EQ(encoding.decode(c.mark + c.eAcute + c.lineEnd), QString("é\n"));
    }
}

TEST(ExportEncodingTest, CharactersOutsideTheEncodingFailWithoutWritingAnything)
{
    struct Case {
        quint64 encoding;
        QString text;
    };
    const Case cases[] = {
        {ExportOptions::IsoLatin1, "ok \u0141ódź"},
        {ExportOptions::WindowsCyrillic, "é"},
        {ExportOptions::WindowsGreek, "日本"},
        {ExportOptions::Utf8, QString(QChar(0xD800))},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(ExportOptions::nameForEncoding(c.encoding).toStdString());
        ExportEncoding encoding(c.encoding);
        QByteArray bytes("kept");
        EXPECT_FALSE(encoding.encode(c.text, bytes));
        EXPECT_EQ(bytes, QByteArray("kept"));
    }
    ExportEncoding cyrillic(ExportOptions::WindowsCyrillic);
    QByteArray bytes;
    EXPECT_TRUE(cyrillic.encode(u"Жж", bytes));
    EXPECT_EQ(bytes, QByteArray("\xC6\xE6"));
}

TEST(ExportOptionsTest, ColumnsLoadAndMoveLikeATableViewDrop)
{
    ExportOptions options;
    options.loadColumns({"a", "b", "c", "d"}, {{"a", "N"}, {"c", "D"}});
    ASSERT_EQ(options.columns.size(), 4);
    EXPECT_EQ(options.columns[0].column_type, "N");
    EXPECT_TRUE(options.columns[1].column_type.isNull());
    EXPECT_EQ(options.columns[2].name, "c");
    EXPECT_TRUE(options.columns[3].enabled);

    const auto order = [&] {
        QString names;
        for (const ExportColumn &column : options.columns)
            names += column.column_name;
        return names;
    };
    options.moveColumn(0, 3);
    EXPECT_EQ(order(), "bcad");
    options.moveColumn(3, 0);
    EXPECT_EQ(order(), "dbca");
    options.moveColumn(1, 1);
    EXPECT_EQ(order(), "dbca");
    options.moveColumn(9, 0);
    EXPECT_EQ(order(), "dbca");

    options.loadColumns({}, {});
    EXPECT_TRUE(options.columns.isEmpty());
}

TEST(ExportOptionsTest, EncodingNamesAndResetValues)
{
    EXPECT_EQ(ExportOptions::supportedEncodings().size(), 11);
    EXPECT_EQ(ExportOptions::nameForEncoding(2415919360u), "UTF-16 (Big endian)");
    EXPECT_EQ(ExportOptions::nameForEncoding(10), "UTF-16");
    EXPECT_EQ(ExportOptions::nameForEncoding(6), "UTF-8");
    QSet<QString> names;
    for (quint64 encoding : ExportOptions::supportedEncodings())
        names.insert(ExportOptions::nameForEncoding(encoding));
    EXPECT_EQ(names.size(), 11) << "every offered encoding has a name of its own";

    ExportOptions options;
    options.delimiter = u';';
    options.recordSourceCount = 5;
    options.loadColumns({"x"}, {});
    options.reset();
    EXPECT_EQ(options.delimiter, QChar(u','));
    EXPECT_EQ(options.recordSourceCount, -1);
    EXPECT_TRUE(options.columns.isEmpty());
    EXPECT_EQ(options.stringEncoding, ExportOptions::Utf8);
    EXPECT_EQ(options.sheetName, "Export");
}

TEST(ExportDestinationTest, ReplacesAFileOnAnotherFileSystemWithTheWholeExport)
{
    QTemporaryDir sourceFolder(QDir::tempPath() + "/vorn-export-source-XXXXXX");
    QTemporaryDir destinationFolder("/dev/shm/vorn-export-destination-XXXXXX");
    ASSERT_TRUE(sourceFolder.isValid());
    ASSERT_TRUE(destinationFolder.isValid()) << "/dev/shm is needed as a second file system";
    if (QStorageInfo(sourceFolder.path()).device() == QStorageInfo(destinationFolder.path()).device())
        GTEST_SKIP() << "the temporary folder and /dev/shm share one file system here";

    const QString source = sourceFolder.filePath("export.dat");
    const QString destination = destinationFolder.filePath("result.csv");
    const QByteArray exported = QByteArray(3 << 20, 'x') + "end\n";
    ASSERT_TRUE(writeFile(source, exported));
    ASSERT_TRUE(writeFile(destination, "old contents\n"));

    EXPECT_TRUE(ExportDestination::replace(source, destination, {}).isNull());
    EXPECT_EQ(fileBytes(destination), exported);
    EXPECT_EQ(QDir(destinationFolder.path()).entryList(QDir::Files), QStringList{"result.csv"})
        << "nothing is left beside the destination";
}

TEST(ExportDestinationTest, FailuresAndCancelsLeaveTheDestinationAsItWas)
{
    QTemporaryDir folder;
    const QString source = folder.filePath("export.dat");
    const QString destination = folder.filePath("result.csv");
    ASSERT_TRUE(writeFile(source, QByteArray(3 << 20, 'y')));
    ASSERT_TRUE(writeFile(destination, "old contents\n"));

    EXPECT_TRUE(ExportDestination::replace(source, destination, [] { return true; }).isNull());
    EXPECT_EQ(fileBytes(destination), "old contents\n");

    const QString missingSource = ExportDestination::replace(folder.filePath("gone.dat"), destination, {});
    EXPECT_FALSE(missingSource.isEmpty());
    EXPECT_EQ(fileBytes(destination), "old contents\n");

    const QString noFolder = ExportDestination::replace(source, folder.filePath("missing/result.csv"), {});
    EXPECT_TRUE(noFolder.contains("missing/result.csv")) << noFolder.toStdString();
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), (QStringList{"export.dat", "result.csv"}));
}
