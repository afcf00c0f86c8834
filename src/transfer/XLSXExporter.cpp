#include "transfer/XLSXExporter.h"

#include "client/PackedRows.h"
#include "client/VornExportCursorClient.h"
#include "platform/Bundle.h"
#include "platform/PreferenceDefaults.h"
#include "platform/Preferences.h"
#include "platform/UserDefaults.h"
#include "transfer/ImportDateFormat.h"
#include "transfer/TransferLog.h"
#include "transfer/XLSXPackage.h"
#include "transfer/XLSXSerialDate.h"
#include "transfer/XLSXXml.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryDir>
#include <QXmlStreamWriter>

#include <algorithm>
#include <cmath>
#include <limits>

#include <pwd.h>
#include <unistd.h>

namespace
{

QString tr(const char *text)
{
    return QCoreApplication::translate("export", text);
}

constexpr qint64 progressInterval = 1000;
constexpr qint64 flushBytes = 1 << 20;

const QString sheetPart = QStringLiteral("xl/worksheets/sheet1.xml");
const QString sharedStringsPart = QStringLiteral("xl/sharedStrings.xml");
const QString workbookPart = QStringLiteral("xl/workbook.xml");
const QString appPart = QStringLiteral("docProps/app.xml");
const QString corePart = QStringLiteral("docProps/core.xml");

QString fullUserName()
{
    if (const passwd *entry = getpwuid(getuid())) {
        const QString gecos = QString::fromLocal8Bit(entry->pw_gecos).section(u',', 0, 0).trimmed();
        return gecos.isEmpty() ? QString::fromLocal8Bit(entry->pw_name) : gecos;
    }
    return qEnvironmentVariable("USER");
}

QString datePattern()
{
    const UserDefaults &defaults = UserDefaults::standard();
    const QString pattern = defaults.stringForKey(PreferenceKey::cocoaTimestampDataFormat);
    if (!pattern.isEmpty())
        return pattern;
    QString timestamp = defaults.stringForKey(PreferenceKey::timestampDataFormat);
    if (timestamp.isEmpty())
        timestamp = PreferenceDefaults::defaultValue(PreferenceKey::timestampDataFormat).toString();
    return PreferenceDefaults::cocoaTimestampFormatFor(timestamp);
}

// A part written whole, through a file of its own, so that it is never half there.
bool saveDocument(const QString &path, const std::function<void(QXmlStreamWriter &)> &body, QString *error)
{
    QDir().mkpath(QFileInfo(path).path());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        *error = file.errorString();
        return false;
    }
    QXmlStreamWriter writer(&file);
    writer.setAutoFormatting(true);
    writer.writeStartDocument(QStringLiteral("1.0"), true);
    body(writer);
    writer.writeEndDocument();
    if (writer.hasError() || !file.commit()) {
        *error = file.errorString();
        return false;
    }
    return true;
}

} // namespace

XLSXExporter::XLSXExporter() = default;
XLSXExporter::~XLSXExporter() = default;

QString XLSXExporter::addressForRow(qint64 row, qint64 column)
{
    QString letters;
    for (qint64 k = column; k > 0; k = (k - 1) / 26)
        letters.prepend(QChar(char16_t(u'A' + (k - 1) % 26)));
    return letters + QString::number(row);
}

QString XLSXExporter::sanitisedSheetName(const QString &name)
{
    QString sheet = name;
    for (QChar &c : sheet) {
        if (QStringView(u"[]:*?/\\").contains(c) || c.unicode() < 0x20)
            c = u'_';
    }
    sheet = sheet.left(31);
    while (sheet.startsWith(u'\''))
        sheet.remove(0, 1);
    while (sheet.endsWith(u'\''))
        sheet.chop(1);
    if (sheet.trimmed().isEmpty())
        sheet = tr("Export");
    return sheet;
}

bool XLSXExporter::isNumberText(QStringView text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    if (i < n && (text[i] == u'-' || text[i] == u'+'))
        ++i;
    qsizetype digits = 0;
    while (i < n && text[i].isDigit() && text[i].unicode() < 128)
        ++i, ++digits;
    if (i < n && text[i] == u'.') {
        ++i;
        while (i < n && text[i].isDigit() && text[i].unicode() < 128)
            ++i, ++digits;
    }
    if (digits == 0)
        return false;
    if (i < n && (text[i] == u'e' || text[i] == u'E')) {
        ++i;
        if (i < n && (text[i] == u'-' || text[i] == u'+'))
            ++i;
        qsizetype exponent = 0;
        while (i < n && text[i].isDigit() && text[i].unicode() < 128)
            ++i, ++exponent;
        if (exponent == 0)
            return false;
    }
    return i == n;
}

qint64 XLSXExporter::sharedString(const QString &text)
{
    const auto found = sharedStringIndex_.constFind(text);
    if (found != sharedStringIndex_.constEnd())
        return *found;
    const qint64 index = sharedStrings_.size();
    sharedStrings_.append(text);
    sharedStringIndex_.insert(text, index);
    return index;
}

void XLSXExporter::write()
{
    const ExportRun &run = exportRun();
    sharedStrings_.clear();
    sharedStringIndex_.clear();
    dateReader_ = std::make_unique<ImportDateFormat>(datePattern(), true);

    const QString temporary = run.temporaryFile;
    const QString templatePath =
        Bundle::mainBundle().pathForResource(QStringLiteral("resources/template.xlsx"));
    QFile::remove(temporary);
    if (!QFile::copy(templatePath, temporary))
        return fail(tr("The workbook template %1 could not be copied.").arg(templatePath));
    QTemporaryDir work(QFileInfo(temporary).dir().filePath(QStringLiteral("vorn-export-source-XXXXXX")));
    if (!work.isValid())
        return fail(tr("The export could not write the file %1: %2").arg(work.path(), work.errorString()));
    const QDir source(work.path());

    QList<ExportColumn> columns = options().enabledColumns();
    const QString rowsPath = source.filePath(QStringLiteral("rows"));
    QString error;
    const bool written =
        writeRows(rowsPath, columns) && writeSheet(source.filePath(sheetPart), rowsPath, columns) &&
        writeSharedStrings(source.filePath(sharedStringsPart)) &&
        writeWorkbook(source.filePath(workbookPart)) && writeAppProperties(source.filePath(appPart)) &&
        writeCoreProperties(source.filePath(corePart));
    if (!written)
        return;
    if (run.cancelled && run.cancelled())
        return;
    error = XLSXPackage::replaceEntries(temporary, work.path(),
                                        {sheetPart, sharedStringsPart, workbookPart, appPart, corePart});
    if (!error.isNull())
        fail(error);
}

bool XLSXExporter::writeRows(const QString &path, QList<ExportColumn> &columns)
{
    const ExportRun &run = exportRun();
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        fail(tr("The export could not write the file %1: %2").arg(path, file.errorString()));
        return false;
    }
    QByteArray text;
    qint64 rowNumber = 1;
    if (options().includeHeaders) {
        text.append("<row r=\"1\" ht=\"20\" customHeight=\"1\">");
        for (qsizetype p = 0; p < columns.size(); ++p) {
            text.append("<c r=\"" + addressForRow(1, p + 1).toLatin1() + "\" t=\"s\" s=\"" +
                        QByteArray::number(headerStyle) + "\"><v>" +
                        QByteArray::number(sharedString(columns[p].name)) + "</v></c>");
        }
        text.append("</row>");
        ++rowNumber;
    }
    const QStringList sourceColumns = run.cursor->columnNames();
    std::vector<int> cells;
    for (const ExportColumn &column : columns)
        cells.push_back(int(sourceColumns.indexOf(column.column_name)));
    const qint64 limit =
        options().recordSourceCount >= 1 ? options().recordSourceCount : std::numeric_limits<qint64>::max();
    bool more = processed() < limit;
    auto flush = [&] {
        if (file.write(text) != text.size()) {
            fail(tr("The export could not write the file %1: %2").arg(path, file.errorString()));
            return false;
        }
        text.clear();
        return true;
    };
    while (more && !(run.cancelled && run.cancelled())) {
        const std::shared_ptr<const PackedRows> rows = run.cursor->nextRows();
        if (!rows)
            break;
        for (int row = 0; row < rows->rowCount() && more; ++row) {
            if (row > 0 && run.cancelled && run.cancelled())
                return false;
            text.append("<row r=\"" + QByteArray::number(rowNumber) + "\">");
            for (size_t i = 0; i < cells.size(); ++i) {
                if (cells[i] < 0)
                    continue;
                const VornCell cell = rows->cell(row, cells[i]);
                if (cell.kind != VornCell::Kind::Text && cell.kind != VornCell::Kind::CharacterLob)
                    continue;
                appendCell(text, rowNumber, qint64(i) + 1, columns[qsizetype(i)], cell.string());
            }
            text.append("</row>");
            ++rowNumber;
            recordWritten();
            more = processed() < limit;
            if (processed() % progressInterval == 0) {
                if (text.size() >= flushBytes && !flush())
                    return false;
                if (run.progress)
                    run.progress(processed());
            }
        }
    }
    if (!flush())
        return false;
    file.close();
    return !(run.cancelled && run.cancelled());
}

void XLSXExporter::appendTextCell(QByteArray &row, const QByteArray &reference, ExportColumn &column,
                                  const QString &text)
{
    row.append("<c r=\"" + reference + "\" t=\"s\"><v>" + QByteArray::number(sharedString(text)) +
               "</v></c>");
    column.min_width = qMax(column.min_width, qint64(text.size()));
}

void XLSXExporter::appendCell(QByteArray &row, qint64 rowNumber, qint64 position, ExportColumn &column,
                              const QString &text)
{
    const QByteArray reference = addressForRow(rowNumber, position).toLatin1();
    if (column.column_type == QLatin1String("N") && isNumberText(text)) {
        if (!column.fractions) {
            const double value = text.toDouble();
            column.fractions = value != std::floor(value);
        }
        row.append("<c r=\"" + reference + "\" s=\"" +
                   QByteArray::number(column.fractions ? numberStyle : numberSimpleStyle) + "\"><v>" +
                   text.toLatin1() + "</v></c>");
        return;
    }
    if (column.column_type == QLatin1String("D")) {
        const QString full = text.contains(u' ') ? text : text + QStringLiteral(" 0:00:00.0");
        const std::optional<QDateTime> date = dateReader_->parse(full);
        const std::optional<double> serial = date ? XLSXSerialDate::serialForDateTime(*date) : std::nullopt;
        if (serial) {
            const int style = date->time().msecsSinceStartOfDay() == 0 ? dateStyle : dateTimeStyle;
            row.append("<c r=\"" + reference + "\" s=\"" + QByteArray::number(style) + "\"><v>" +
                       QByteArray::number(*serial, 'g', 17) + "</v></c>");
            return;
        }
        qCInfo(lcTransfer).noquote() << QStringLiteral("Could not read date %1").arg(text);
    }
    appendTextCell(row, reference, column, text);
}

bool XLSXExporter::writeSheet(const QString &path, const QString &rowsPath,
                              const QList<ExportColumn> &columns)
{
    QDir().mkpath(QFileInfo(path).path());
    QSaveFile file(path);
    QFile rows(rowsPath);
    if (!file.open(QIODevice::WriteOnly) || !rows.open(QIODevice::ReadOnly)) {
        fail(tr("The export could not write the file %1: %2").arg(path, file.errorString()));
        return false;
    }
    QString head;
    QXmlStreamWriter writer(&head);
    writer.writeStartDocument(QStringLiteral("1.0"), true);
    writer.writeStartElement(QStringLiteral("worksheet"));
    writer.writeDefaultNamespace(XLSXXml::mainNamespace);
    writer.writeNamespace(XLSXXml::relationshipsNamespace, QStringLiteral("r"));
    if (options().includeHeaders) {
        // The header row stays in view while the rows scroll.
        writer.writeStartElement(QStringLiteral("sheetViews"));
        writer.writeStartElement(QStringLiteral("sheetView"));
        writer.writeAttribute(QStringLiteral("tabSelected"), QStringLiteral("1"));
        writer.writeAttribute(QStringLiteral("workbookViewId"), QStringLiteral("0"));
        writer.writeEmptyElement(QStringLiteral("pane"));
        writer.writeAttribute(QStringLiteral("ySplit"), QStringLiteral("1"));
        writer.writeAttribute(QStringLiteral("topLeftCell"), QStringLiteral("A2"));
        writer.writeAttribute(QStringLiteral("activePane"), QStringLiteral("bottomLeft"));
        writer.writeAttribute(QStringLiteral("state"), QStringLiteral("frozenSplit"));
        writer.writeEmptyElement(QStringLiteral("selection"));
        writer.writeAttribute(QStringLiteral("pane"), QStringLiteral("bottomLeft"));
        writer.writeAttribute(QStringLiteral("activeCell"), QStringLiteral("A2"));
        writer.writeAttribute(QStringLiteral("sqref"), QStringLiteral("A2"));
        writer.writeEndElement();
        writer.writeEndElement();
    }
    if (!columns.isEmpty()) {
        writer.writeStartElement(QStringLiteral("cols"));
        for (qsizetype p = 0; p < columns.size(); ++p) {
            const ExportColumn &column = columns[p];
            qint64 width = column.name.size() + 4;
            int style = 0;
            if (column.column_type == QLatin1String("N")) {
                style = column.fractions ? numberStyle : numberSimpleStyle;
                width = qMax<qint64>(width, column.fractions ? 12 : 10);
            } else if (column.column_type == QLatin1String("D")) {
                style = dateTimeStyle;
                width = qMax<qint64>(width, 19);
            } else {
                width = qMax(width, column.min_width);
            }
            width = std::clamp<qint64>(width, 10, 50);
            writer.writeEmptyElement(QStringLiteral("col"));
            writer.writeAttribute(QStringLiteral("min"), QString::number(p + 1));
            writer.writeAttribute(QStringLiteral("max"), QString::number(p + 1));
            writer.writeAttribute(QStringLiteral("width"), QString::number(width));
            writer.writeAttribute(QStringLiteral("style"), QString::number(style));
            writer.writeAttribute(QStringLiteral("customWidth"), QStringLiteral("1"));
        }
        writer.writeEndElement();
    }
    file.write(head.toUtf8() + "<sheetData>");
    while (!rows.atEnd()) {
        const QByteArray block = rows.read(flushBytes);
        if (file.write(block) != block.size())
            break;
    }
    file.write("</sheetData></worksheet>\n");
    if (!file.commit()) {
        fail(tr("The export could not write the file %1: %2").arg(path, file.errorString()));
        return false;
    }
    return true;
}

bool XLSXExporter::writeSharedStrings(const QString &path)
{
    QString error;
    const bool saved = saveDocument(
        path,
        [this](QXmlStreamWriter &writer) {
            writer.writeStartElement(QStringLiteral("sst"));
            writer.writeDefaultNamespace(XLSXXml::mainNamespace);
            writer.writeAttribute(QStringLiteral("count"), QString::number(sharedStrings_.size()));
            writer.writeAttribute(QStringLiteral("uniqueCount"), QString::number(sharedStrings_.size()));
            for (const QString &text : std::as_const(sharedStrings_)) {
                writer.writeStartElement(QStringLiteral("si"));
                writer.writeStartElement(QStringLiteral("t"));
                const QString encoded = XLSXXml::encodeText(text);
                if (encoded != encoded.trimmed())
                    writer.writeAttribute(QStringLiteral("xml:space"), QStringLiteral("preserve"));
                writer.writeCharacters(encoded);
                writer.writeEndElement();
                writer.writeEndElement();
            }
            writer.writeEndElement();
        },
        &error);
    if (!saved)
        fail(tr("The export could not write the file %1: %2").arg(path, error));
    return saved;
}

bool XLSXExporter::writeWorkbook(const QString &path)
{
    QString error;
    const QString sheet = sanitisedSheetName(options().sheetName);
    const bool saved = saveDocument(
        path,
        [&sheet](QXmlStreamWriter &writer) {
            writer.writeStartElement(QStringLiteral("workbook"));
            writer.writeDefaultNamespace(XLSXXml::mainNamespace);
            writer.writeNamespace(XLSXXml::relationshipsNamespace, QStringLiteral("r"));
            writer.writeEmptyElement(QStringLiteral("workbookPr"));
            writer.writeAttribute(QStringLiteral("date1904"), QStringLiteral("0"));
            writer.writeStartElement(QStringLiteral("bookViews"));
            writer.writeEmptyElement(QStringLiteral("workbookView"));
            writer.writeEndElement();
            writer.writeStartElement(QStringLiteral("sheets"));
            writer.writeEmptyElement(QStringLiteral("sheet"));
            writer.writeAttribute(QStringLiteral("name"), XLSXXml::encodeText(sheet));
            writer.writeAttribute(QStringLiteral("sheetId"), QStringLiteral("1"));
            writer.writeAttribute(XLSXXml::relationshipsNamespace, QStringLiteral("id"),
                                  QStringLiteral("rId1"));
            writer.writeEndElement();
            writer.writeEndElement();
        },
        &error);
    if (!saved)
        fail(tr("The export could not write the file %1: %2").arg(path, error));
    return saved;
}

bool XLSXExporter::writeAppProperties(const QString &path)
{
    QString error;
    const bool saved = saveDocument(
        path,
        [](QXmlStreamWriter &writer) {
            const QString ns =
                QStringLiteral("http://schemas.openxmlformats.org/officeDocument/2006/extended-properties");
            writer.writeStartElement(QStringLiteral("Properties"));
            writer.writeDefaultNamespace(ns);
            writer.writeTextElement(QStringLiteral("Application"), QStringLiteral("Ostrel Apps - Vorn"));
            writer.writeTextElement(QStringLiteral("AppVersion"), QStringLiteral("3.0"));
            writer.writeEndElement();
        },
        &error);
    if (!saved)
        fail(tr("The export could not write the file %1: %2").arg(path, error));
    return saved;
}

bool XLSXExporter::writeCoreProperties(const QString &path)
{
    QString error;
    const QString user = XLSXXml::encodeText(fullUserName());
    const QString now = QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyy-MM-dd'T'HH:mm:ss'Z'"));
    const bool saved = saveDocument(
        path,
        [&user, &now](QXmlStreamWriter &writer) {
            const QString cp =
                QStringLiteral("http://schemas.openxmlformats.org/package/2006/metadata/core-properties");
            const QString dc = QStringLiteral("http://purl.org/dc/elements/1.1/");
            const QString dcterms = QStringLiteral("http://purl.org/dc/terms/");
            const QString xsi = QStringLiteral("http://www.w3.org/2001/XMLSchema-instance");
            writer.writeNamespace(cp, QStringLiteral("cp"));
            writer.writeNamespace(dc, QStringLiteral("dc"));
            writer.writeNamespace(dcterms, QStringLiteral("dcterms"));
            writer.writeNamespace(QStringLiteral("http://purl.org/dc/dcmitype/"), QStringLiteral("dcmitype"));
            writer.writeNamespace(xsi, QStringLiteral("xsi"));
            writer.writeStartElement(cp, QStringLiteral("coreProperties"));
            writer.writeTextElement(dc, QStringLiteral("creator"), user);
            writer.writeTextElement(cp, QStringLiteral("lastModifiedBy"), user);
            for (const char *name : {"created", "modified"}) {
                writer.writeStartElement(dcterms, QLatin1String(name));
                writer.writeAttribute(xsi, QStringLiteral("type"), QStringLiteral("dcterms:W3CDTF"));
                writer.writeCharacters(now);
                writer.writeEndElement();
            }
            writer.writeEndElement();
        },
        &error);
    if (!saved)
        fail(tr("The export could not write the file %1: %2").arg(path, error));
    return saved;
}
