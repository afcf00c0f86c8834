#include "transfer/XLSXData.h"
#include "transfer/XLSXPackage.h"
#include "transfer/XLSXRelationships.h"
#include "transfer/XLSXSerialDate.h"
#include "transfer/XLSXSharedStrings.h"
#include "transfer/XLSXStyles.h"
#include "transfer/XLSXUnpackCache.h"
#include "transfer/XLSXXml.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTimeZone>

#include <gtest/gtest.h>

#include <thread>

namespace
{

const char *const sheetHead = R"(<?xml version="1.0" encoding="UTF-8"?>
<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">)";

QString writeFile(const QTemporaryDir &dir, const QString &name, const QByteArray &content)
{
    const QString path = dir.filePath(name);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
    return path;
}

QList<XLSXrow> allRows(XLSXData &data)
{
    QList<XLSXrow> rows;
    while (std::optional<XLSXrow> row = data.nextRow())
        rows.append(*row);
    return rows;
}

} // namespace

TEST(XLSXSharedStrings, JoinsRunsKeepsEmptyEntriesAndSkipsPhoneticText)
{
    QTemporaryDir dir;
    const QString path = writeFile(dir, "sst.xml", R"(<?xml version="1.0"?>
<x:sst xmlns:x="http://schemas.openxmlformats.org/spreadsheetml/2006/main">
 <x:si><x:t>plain</x:t></x:si>
 <x:si><x:r><x:t>two </x:t></x:r><x:r><x:rPr><x:b/></x:rPr><x:t>runs</x:t></x:r></x:si>
 <x:si/>
 <x:si><x:t>東京</x:t><x:rPh sb="0" eb="2"><x:t>トウキョウ</x:t></x:rPh></x:si>
 <x:si><x:t>tab_x0009_and_x005F_x0041_</x:t></x:si>
</x:sst>)");
    const std::optional<XLSXSharedStrings> table = XLSXSharedStrings::read(path);
    ASSERT_TRUE(table);
    ASSERT_EQ(table->stringCount(), 5);
    EXPECT_EQ(table->string(0), "plain");
    EXPECT_EQ(table->string(1), "two runs");
    EXPECT_EQ(table->string(2), "");
    EXPECT_EQ(table->string(3), "東京");
    EXPECT_EQ(table->string(4), "tab\tand_x0041_");
    EXPECT_TRUE(table->string(5).isNull());
    EXPECT_FALSE(XLSXSharedStrings::read(writeFile(dir, "bad.xml", "<sst><si><t>open")));
    EXPECT_FALSE(XLSXSharedStrings::read(dir.filePath("missing.xml")));
}

TEST(XLSXStyles, DateFormatsByBuiltInIdentifierAndByCode)
{
    EXPECT_TRUE(XLSXStyles::isBuiltInDateFormat(14));
    EXPECT_TRUE(XLSXStyles::isBuiltInDateFormat(81));
    EXPECT_FALSE(XLSXStyles::isBuiltInDateFormat(82));
    EXPECT_FALSE(XLSXStyles::isBuiltInDateFormat(2));
    const struct {
        const char *code;
        bool date;
    } cases[] = {
        {"0.00", false},
        {"[$-409]d/m/yyyy", true},
        {R"(yyyy\-mm\-dd)", true},
        {R"(0.00 \h)", false},
        {R"(#,##0 "days")", false},
        {"[Red][<100]0.00;[Blue]0.00", false},
        {"_-* #,##0.00_-;-* #,##0.00_-", false},
        {"[h]:mm:ss", true},
        {"General", false},
        {"mm", false},
        {"hh:mm", true},
    };
    for (const auto &c : cases)
        EXPECT_EQ(XLSXStyles::isDateFormatCode(QString::fromUtf8(c.code)), c.date) << c.code;

    QTemporaryDir dir;
    const QString path = writeFile(dir, "styles.xml", R"(<?xml version="1.0"?>
<styleSheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">
 <numFmts count="3"><numFmt numFmtId="164" formatCode="yyyy-mm-dd"/><numFmt numFmtId="165" formatCode="0.00"/>
  <numFmt numFmtId="14" formatCode="0.0"/></numFmts>
 <cellStyleXfs count="1"><xf numFmtId="22"/></cellStyleXfs>
 <cellXfs count="5"><xf numFmtId="0"/><xf numFmtId="164"/><xf numFmtId="165"/><xf numFmtId="22"/><xf numFmtId="14"/></cellXfs>
</styleSheet>)");
    const std::optional<XLSXStyles> styles = XLSXStyles::read(path);
    ASSERT_TRUE(styles);
    EXPECT_FALSE(styles->isDate(u"0"));
    EXPECT_TRUE(styles->isDate(u"1"));
    EXPECT_FALSE(styles->isDate(u"2"));
    EXPECT_TRUE(styles->isDate(u"3"));
    // A built-in identifier that the workbook redefines as a number is no date.
    EXPECT_FALSE(styles->isDate(u"4"));
    EXPECT_FALSE(styles->isDate(u"x"));
}

TEST(XLSXData, RowsWithGapsStartColumnsHiddenRowsAndTypedCells)
{
    QTemporaryDir dir;
    const QString sst =
        writeFile(dir, "sst.xml", R"(<sst xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">
<si><t>shared</t></si></sst>)");
    const QString styles = writeFile(
        dir, "styles.xml", R"(<styleSheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">
<cellXfs count="2"><xf numFmtId="0"/><xf numFmtId="14"/></cellXfs></styleSheet>)");
    const QString sheet = writeFile(dir, "sheet.xml", QByteArray(sheetHead) + R"(
<cols><col min="2" max="4" hidden="1"/><col min="6" max="6" hidden="false"/></cols>
<sheetData>
 <row r="1"><c r="A1" t="s"><v>0</v></c><c r="C1"><v>3.5</v></c></row>
 <row r="2"><c r="D2" t="inlineStr"><is><r><t>in</t></r><r><t>line</t></r><rPh><t>x</t></rPh></is></c></row>
 <row r="3"/>
 <row r="4" hidden="1"><c r="A4"><v>9</v></c></row>
 <row r="5"><c t="b"><v>1</v></c><c t="e"><v>#DIV/0!</v></c><c s="1"><v>43529.5</v></c><c t="s"><v>7</v></c></row>
 <row r="6"><c r="A6" s="1"><v>not a date</v></c><c r="B6" s="1"><v>60</v></c></row>
</sheetData></worksheet>)");
    const std::optional<XLSXSharedStrings> strings = XLSXSharedStrings::read(sst);
    const std::optional<XLSXStyles> dateStyles = XLSXStyles::read(styles);
    XLSXData data;
    ASSERT_TRUE(data.open(sheet, &*strings, &*dateStyles, false));
    EXPECT_FALSE(data.columnIsHidden(1));
    EXPECT_TRUE(data.columnIsHidden(2));
    EXPECT_TRUE(data.columnIsHidden(4));
    EXPECT_FALSE(data.columnIsHidden(6));
    const QList<XLSXrow> rows = allRows(data);
    EXPECT_FALSE(data.failed());
    ASSERT_EQ(rows.size(), 6);
    EXPECT_EQ(rows[0].start, 1);
    EXPECT_EQ(rows[0].values, QStringList({"shared", "", "3.5"}));
    EXPECT_EQ(rows[1].start, 4);
    EXPECT_EQ(rows[1].values, QStringList({"inline"}));
    EXPECT_TRUE(rows[2].values.isEmpty());
    EXPECT_TRUE(rows[3].values.isEmpty());
    const QString noon = XLSXSerialDate::importText(QDateTime(QDate(2019, 3, 5), QTime(12, 0)));
    EXPECT_EQ(rows[4].values, QStringList({"1", "#DIV/0!", noon, ""}));
    // A date style on what names no day keeps the text: nothing is lost.
    EXPECT_EQ(rows[5].values, QStringList({"not a date", "60"}));
}

TEST(XLSXData, PrefixedElementsEntitiesAndOtherNamespaces)
{
    // Elements count by their namespace, whatever prefix the file gives it; those of other
    // namespaces (a markup extension here) are passed over, and the text's references are resolved.
    QTemporaryDir dir;
    const QString sheet = writeFile(dir, "sheet.xml", R"(<?xml version="1.0" encoding="UTF-8"?>
<x:worksheet xmlns:x="http://purl.oclc.org/ooxml/spreadsheetml/main" xmlns:o="urn:other">
<x:sheetData>
 <x:row><x:c r="B1" t="inlineStr"><x:is><x:t>a &amp; b &#x41;<![CDATA[<c>]]></x:t></x:is></x:c>
  <o:c r="A1"><o:v>foreign</o:v></o:c><x:c r="C1" t="str"><x:v>&lt;f&gt;</x:v></x:c></x:row>
 <o:row><x:c r="A2"><x:v>9</x:v></x:c></o:row>
</x:sheetData>
<x:sheetData><x:row><x:c r="A9"><x:v>after</x:v></x:c></x:row></x:sheetData>
</x:worksheet>)");
    XLSXData data;
    ASSERT_TRUE(data.open(sheet, nullptr, nullptr, false));
    const QList<XLSXrow> rows = allRows(data);
    EXPECT_FALSE(data.failed());
    ASSERT_EQ(rows.size(), 1) << "a row of another namespace is none, and reading ends with the rows";
    EXPECT_EQ(rows[0].start, 2);
    EXPECT_EQ(rows[0].values, QStringList({"a & b A<c>", "<f>"}));
}

TEST(XLSXData, DatesOnClockChangeDaysKeepTheirDayAndWallClock)
{
    // In Amsterdam 2019-03-31 loses 02:00-03:00 and 2019-10-27 repeats 02:00-03:00; the days around
    // them keep one offset. Each cell reads as its own moment does, whichever day came first.
    qputenv("TZ", "Europe/Amsterdam");
    tzset();
    QTemporaryDir dir;
    const QString styles = writeFile(
        dir, "styles.xml", R"(<styleSheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">
<cellXfs count="2"><xf numFmtId="0"/><xf numFmtId="22"/></cellXfs></styleSheet>)");
    const QList<QDateTime> moments = {
        QDateTime(QDate(2019, 3, 30), QTime(23, 0)), QDateTime(QDate(2019, 3, 31), QTime(1, 59)),
        QDateTime(QDate(2019, 3, 31), QTime(3, 0)),  QDateTime(QDate(2019, 3, 31), QTime(18, 30)),
        QDateTime(QDate(2019, 4, 1), QTime(0, 0)),   QDateTime(QDate(2019, 10, 27), QTime(1, 0)),
        QDateTime(QDate(2019, 10, 27), QTime(4, 0)), QDateTime(QDate(2019, 3, 30), QTime(12, 0)),
    };
    QByteArray cells;
    for (const QDateTime &moment : moments)
        cells += "<c s=\"1\"><v>" + QByteArray::number(*XLSXSerialDate::serialForDateTime(moment), 'f', 10) +
                 "</v></c>";
    const QString sheet = writeFile(dir, "sheet.xml",
                                    QByteArray(sheetHead) + "<sheetData><row>" + cells +
                                        "</row><row><c s=\"1\"><v>43555.1041666667</v></c></row>"
                                        "</sheetData></worksheet>");
    const std::optional<XLSXStyles> dateStyles = XLSXStyles::read(styles);
    XLSXData data;
    ASSERT_TRUE(data.open(sheet, nullptr, &*dateStyles, false));
    const QList<XLSXrow> rows = allRows(data);
    ASSERT_EQ(rows.size(), 2);
    ASSERT_EQ(rows[0].values.size(), moments.size());
    for (qsizetype i = 0; i < moments.size(); ++i)
        EXPECT_EQ(rows[0].values[i], XLSXSerialDate::importText(moments[i])) << i;
    EXPECT_EQ(rows[0].values[3], "2019-03-31 18:30:00.0 +0200");
    EXPECT_EQ(rows[0].values[7], "2019-03-30 12:00:00.0 +0100");
    // 02:30 on the spring day is a time the clock skips: the day and the time stay, with the offset
    // that names the moment the system makes of it.
    EXPECT_EQ(rows[1].values, QStringList{"2019-03-31 02:30:00.0 +0100"});
    qunsetenv("TZ");
    tzset();
}

TEST(XLSXData, DamagedSheetEndsTheRowsAndSaysSo)
{
    QTemporaryDir dir;
    const QString sheet =
        writeFile(dir, "sheet.xml", QByteArray(sheetHead) + "<sheetData><row><c><v>1</v></c></row><row><c>");
    XLSXData data;
    ASSERT_TRUE(data.open(sheet, nullptr, nullptr, false));
    EXPECT_TRUE(data.nextRow());
    EXPECT_FALSE(data.nextRow());
    EXPECT_TRUE(data.failed());
}

TEST(XLSXData, ColumnSpanCountsTheCellsOfVisibleRowsAsTheRowsPlaceThem)
{
    QTemporaryDir dir;
    const struct {
        const char *sheetData;
        qint64 first;
        qint64 last;
    } cases[] = {
        {R"(<row><c r="C1"><v>1</v></c><c r="E1"/></row><row><c r="D2"><v>2</v></c></row>)", 3, 5},
        // Cells without a reference follow the row's last one; hidden rows and rows without cells
        // take no part; columns past the last a spreadsheet can have are left out.
        {R"(<row><c r="B1"/><c/><c/></row><row hidden="1"><c r="A2"/></row><row/>
            <row><c r="XFE4"/><c r="C4"/></row>)",
         2, 4},
        {R"(<row/><row hidden="true"><c r="A2"/></row>)", 0, -1},
    };
    for (const auto &c : cases) {
        const QString sheet =
            writeFile(dir, "span.xml",
                      QByteArray(sheetHead) + "<sheetData>" + c.sheetData + "</sheetData></worksheet>");
        const std::optional<XLSXData::ColumnSpan> span = XLSXData::columnSpan(sheet);
        ASSERT_TRUE(span) << c.sheetData;
        EXPECT_EQ(span->first, c.first) << c.sheetData;
        EXPECT_EQ(span->last, c.last) << c.sheetData;
        // The rows themselves agree.
        XLSXData data;
        ASSERT_TRUE(data.open(sheet, nullptr, nullptr, false));
        qint64 first = XLSXrow::noStart;
        qint64 last = -1;
        for (const XLSXrow &row : allRows(data)) {
            if (row.values.isEmpty())
                continue;
            first = qMin(first, row.start);
            last = qMax(last, row.start + row.values.size() - 1);
        }
        if (last >= 0) {
            EXPECT_EQ(first, span->first) << c.sheetData;
            EXPECT_EQ(last, span->last) << c.sheetData;
        }
    }
    const QString damaged = writeFile(dir, "damaged.xml", QByteArray(sheetHead) + "<sheetData><row><c>");
    EXPECT_FALSE(XLSXData::columnSpan(damaged));
}

TEST(XLSXUnpackCache, OpensThatAskTogetherShareOneReadOfAPart)
{
    QTemporaryDir dir;
    const QString sst =
        writeFile(dir, "sst.xml", R"(<sst xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">
<si><t>one</t></si></sst>)");
    const QString damaged = writeFile(dir, "damaged.xml", "<sst><si>");
    XLSXUnpackCache cache;
    std::shared_ptr<const XLSXSharedStrings> first;
    std::shared_ptr<const XLSXSharedStrings> second;
    std::thread other([&] { first = cache.sharedStrings(sst); });
    second = cache.sharedStrings(sst);
    other.join();
    ASSERT_TRUE(first);
    EXPECT_EQ(first, second) << "one read for both";
    EXPECT_EQ(first->string(0), "one");
    EXPECT_FALSE(cache.sharedStrings(damaged)) << "a part that cannot be read gives none";
    cache.clear();
    EXPECT_NE(cache.sharedStrings(sst), first) << "cleared: read anew";
}

TEST(XLSXData, CellReferences)
{
    EXPECT_EQ(XLSXData::cellNumberForAddress(u"A1"), 1);
    EXPECT_EQ(XLSXData::cellNumberForAddress(u"z9"), 26);
    EXPECT_EQ(XLSXData::cellNumberForAddress(u"AA1"), 27);
    EXPECT_EQ(XLSXData::cellNumberForAddress(u"AB1"), 28);
    EXPECT_EQ(XLSXData::cellNumberForAddress(u"XFD1"), 16384);
    EXPECT_EQ(XLSXData::cellNumberForAddress(u"12"), 0);
}

TEST(XLSXSerialDate, SerialsToCalendarDayAndWallClock)
{
    const struct {
        const char *serial;
        bool date1904;
        QDateTime expected;
    } cases[] = {
        {"43529", false, QDateTime(QDate(2019, 3, 5), QTime(0, 0))},
        {"43529.5", false, QDateTime(QDate(2019, 3, 5), QTime(12, 0))},
        {"1", true, QDateTime(QDate(1904, 1, 2), QTime(0, 0))},
        {"1", false, QDateTime(QDate(1900, 1, 1), QTime(0, 0))},
        {"59", false, QDateTime(QDate(1900, 2, 28), QTime(0, 0))},
        {"61", false, QDateTime(QDate(1900, 3, 1), QTime(0, 0))},
        {"25569", false, QDateTime(QDate(1970, 1, 1), QTime(0, 0))},
        {"43555.5", false, QDateTime(QDate(2019, 3, 31), QTime(12, 0))},
        {"43555.999999999", false, QDateTime(QDate(2019, 4, 1), QTime(0, 0))},
    };
    for (const auto &c : cases) {
        const std::optional<QDateTime> date =
            XLSXSerialDate::dateTimeForSerial(QString::fromLatin1(c.serial), c.date1904);
        ASSERT_TRUE(date) << c.serial;
        EXPECT_EQ(date->date(), c.expected.date()) << c.serial;
        EXPECT_EQ(date->time(), c.expected.time()) << c.serial;
    }
    for (const char *none : {"60", "-1", "abc", "", "1e300"})
        EXPECT_FALSE(XLSXSerialDate::dateTimeForSerial(QString::fromLatin1(none), false)) << none;
    EXPECT_EQ(*XLSXSerialDate::serialForDateTime(QDateTime(QDate(1970, 1, 1), QTime(0, 0))), 25569.0);
    EXPECT_EQ(*XLSXSerialDate::serialForDateTime(QDateTime(QDate(1900, 1, 1), QTime(0, 0))), 1.0);
    EXPECT_EQ(*XLSXSerialDate::serialForDateTime(QDateTime(QDate(1900, 3, 1), QTime(0, 0))), 61.0);
    EXPECT_FALSE(XLSXSerialDate::serialForDateTime(QDateTime(QDate(1899, 12, 1), QTime(0, 0))));
}

TEST(XLSXSerialDate, ClockChangeDaysKeepTheirWallClockTimes)
{
    // 2019-03-31 is the spring change in Amsterdam: 23 hours long.
    qputenv("TZ", "Europe/Amsterdam");
    tzset();
    const double serial = *XLSXSerialDate::serialForDateTime(QDateTime(QDate(2019, 3, 31), QTime(18, 0)));
    EXPECT_DOUBLE_EQ(serial, 43555.75);
    const QDateTime back = *XLSXSerialDate::dateTimeForSerial(QString::number(serial, 'f', 6), false);
    EXPECT_EQ(back.time(), QTime(18, 0));
    EXPECT_EQ(XLSXSerialDate::importText(back), "2019-03-31 18:00:00.0 +0200");
    EXPECT_EQ(XLSXSerialDate::importText(QDateTime(QDate(987, 1, 5), QTime(7, 8, 9, 250))).left(22),
              "0987-01-05 07:08:09.2 ");
    EXPECT_EQ(XLSXSerialDate::importText(QDateTime(QDate(2019, 1, 5), QTime(23, 59, 59, 999))),
              "2019-01-05 23:59:59.9 +0100");
    qunsetenv("TZ");
    tzset();
}

TEST(XLSXXml, TextThatXmlCannotCarryIsEscapedAndReadBack)
{
    const QString text = QStringLiteral("a\x01"
                                        "b\x1f"
                                        "c_x0041_d\te") +
                         QChar(0xFFFE);
    const QString encoded = XLSXXml::encodeText(text);
    EXPECT_EQ(encoded, "a_x0001_b_x001F_c_x005F_x0041_d\te_xFFFE_");
    EXPECT_EQ(XLSXXml::decodeText(encoded), text);
    EXPECT_EQ(XLSXXml::encodeText(QStringLiteral("nul") + QChar(0) + "gone"), "nulgone");
}

TEST(XLSXPackage, EntryNamesThatLeaveTheFolderAreRefused)
{
    for (const char *safe : {"xl/workbook.xml", "[Content_Types].xml", "a/b..c/d"})
        EXPECT_TRUE(XLSXPackage::isSafeEntryName(QString::fromLatin1(safe))) << safe;
    for (const char *unsafe :
         {"../evil", "xl/../../evil", "/etc/passwd", "\\evil", "C:evil", "xl\\..\\..\\x", ""})
        EXPECT_FALSE(XLSXPackage::isSafeEntryName(QString::fromLatin1(unsafe))) << unsafe;
}

TEST(XLSXPackage, DamagedPackagesGiveAClearError)
{
    QTemporaryDir dir;
    const QString broken = writeFile(dir, "broken.xlsx", "PK\x03\x04 this is no zip archive");
    const QString error = XLSXPackage::unpack(broken, dir.path());
    EXPECT_TRUE(error.contains("not a readable workbook package")) << error.toStdString();
    EXPECT_FALSE(XLSXPackage::unpack(dir.filePath("missing.xlsx"), dir.path()).isNull());
}

TEST(XLSXRelationships, TargetsResolveAsThePackageFormatDefines)
{
    EXPECT_EQ(XLSXRelationships::resolveTarget("xl/workbook.xml", "worksheets/sheet1.xml"),
              "xl/worksheets/sheet1.xml");
    EXPECT_EQ(XLSXRelationships::resolveTarget("xl/workbook.xml", "/xl/styles.xml"), "xl/styles.xml");
    EXPECT_EQ(XLSXRelationships::resolveTarget("xl/workbook.xml", "../custom/strings.xml"),
              "custom/strings.xml");
    EXPECT_EQ(XLSXRelationships::resolveTarget("", "xl/workbook.xml"), "xl/workbook.xml");
    EXPECT_TRUE(XLSXRelationships::resolveTarget("xl/workbook.xml", "../../outside.xml").isEmpty());
}
