#include "transfer/XLSXData.h"

#include "transfer/XLSXSerialDate.h"
#include "transfer/XLSXSharedStrings.h"
#include "transfer/XLSXStyles.h"
#include "transfer/XLSXXml.h"

#include <QList>

#include <utility>

qint64 XLSXData::cellNumberForAddress(QStringView reference)
{
    qint64 number = 0;
    for (const QChar c : reference) {
        if (c.isDigit())
            break;
        const QChar upper = c.toUpper();
        if (upper < u'A' || upper > u'Z')
            return 0;
        number = number * 26 + (upper.unicode() - 'A' + 1);
        if (number > maxColumn)
            return maxColumn + 1;
    }
    return number;
}

qint64 XLSXData::cellNumber(const QXmlStreamAttributes &attributes, qint64 largestInRow)
{
    const QStringView reference = attributes.value(QLatin1String("r"));
    const qint64 number = reference.isEmpty() ? largestInRow + 1 : cellNumberForAddress(reference);
    return number < 1 ? largestInRow + 1 : number;
}

std::optional<XLSXData::ColumnSpan> XLSXData::columnSpan(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QXmlStreamReader reader(&file);
    ColumnSpan span{XLSXrow::noStart, 0};
    bool inSheetData = false;
    bool readCells = false;
    qint64 smallest = XLSXrow::noStart;
    qint64 largest = 0;
    while (!reader.atEnd()) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        if (token == QXmlStreamReader::StartElement) {
            if (!inSheetData) {
                inSheetData = XLSXXml::is(reader, "sheetData");
            } else if (XLSXXml::is(reader, "row")) {
                readCells = !XLSXXml::isTrue(reader.attributes().value(QLatin1String("hidden")));
                smallest = XLSXrow::noStart;
                largest = 0;
            } else if (readCells && XLSXXml::is(reader, "c")) {
                const qint64 number = cellNumber(reader.attributes(), largest);
                if (number <= maxColumn) {
                    smallest = qMin(smallest, number);
                    largest = qMax(largest, number);
                }
            }
        } else if (token == QXmlStreamReader::EndElement && inSheetData) {
            if (XLSXXml::is(reader, "sheetData"))
                break;
            if (XLSXXml::is(reader, "row") && readCells && largest > 0) {
                span.first = qMin(span.first, smallest);
                span.last = qMax(span.last, largest);
            }
            if (XLSXXml::is(reader, "row"))
                readCells = false;
        }
    }
    if (reader.hasError())
        return std::nullopt;
    if (span.last < span.first)
        return ColumnSpan{};
    return span;
}

bool XLSXData::open(const QString &path, const XLSXSharedStrings *sharedStrings, const XLSXStyles *styles,
                    bool date1904)
{
    sharedStrings_ = sharedStrings;
    styles_ = styles;
    date1904_ = date1904;
    inSheetData_ = false;
    hiddenColumns_.clear();
    file_.close();
    file_.setFileName(path);
    if (!file_.open(QIODevice::ReadOnly))
        return false;
    reader_.setDevice(&file_);
    bool inCols = false;
    while (!reader_.atEnd()) {
        const QXmlStreamReader::TokenType token = reader_.readNext();
        if (token == QXmlStreamReader::EndElement && XLSXXml::is(reader_, "cols")) {
            inCols = false;
        } else if (token == QXmlStreamReader::StartElement) {
            if (XLSXXml::is(reader_, "sheetData")) {
                inSheetData_ = true;
                break;
            }
            if (XLSXXml::is(reader_, "cols")) {
                inCols = true;
            } else if (inCols && XLSXXml::is(reader_, "col")) {
                const QXmlStreamAttributes attributes = reader_.attributes();
                if (!XLSXXml::isTrue(attributes.value(QLatin1String("hidden"))))
                    continue;
                const qint64 last = qMin(attributes.value(QLatin1String("max")).toLongLong(), maxColumn);
                for (qint64 c = attributes.value(QLatin1String("min")).toLongLong(); c <= last; ++c)
                    hiddenColumns_.insert(c);
            }
        }
    }
    return !failed();
}

QString XLSXData::cellText(const QString &type, QStringView style, const QString &value) const
{
    if (type == QLatin1String("s")) {
        bool ok = false;
        const qsizetype index = value.toLongLong(&ok);
        return ok && sharedStrings_ ? sharedStrings_->string(index) : QString();
    }
    if (type == QLatin1String("n") && !value.isEmpty() && styles_ && styles_->isDate(style)) {
        if (const std::optional<QDateTime> date = XLSXSerialDate::dateTimeForSerial(value, date1904_))
            return XLSXSerialDate::importText(*date);
    }
    if (type == QLatin1String("inlineStr"))
        return XLSXXml::decodeText(value);
    return value;
}

std::optional<XLSXrow> XLSXData::nextRow()
{
    if (!inSheetData_)
        return std::nullopt;
    bool inRow = false;
    bool readCells = false;
    bool inCell = false;
    bool inInline = false;
    bool inValue = false;
    int phonetic = 0;
    QString type;
    QString style;
    QString value;
    qint64 number = 0;
    qint64 smallest = XLSXrow::noStart;
    qint64 largest = 0;
    QList<std::pair<qint64, QString>> cells;
    while (!reader_.atEnd()) {
        const QXmlStreamReader::TokenType token = reader_.readNext();
        if (token == QXmlStreamReader::StartElement) {
            if (!inRow) {
                if (XLSXXml::is(reader_, "row")) {
                    inRow = true;
                    readCells = !XLSXXml::isTrue(reader_.attributes().value(QLatin1String("hidden")));
                }
                continue;
            }
            if (!readCells)
                continue;
            if (!inCell && XLSXXml::is(reader_, "c")) {
                const QXmlStreamAttributes attributes = reader_.attributes();
                inCell = true;
                // Neighbouring cells mostly share their type and style: copied only when they change.
                QStringView given = attributes.value(QLatin1String("t"));
                if (given.isEmpty() && !attributes.hasAttribute(QLatin1String("t")))
                    given = u"n";
                if (type != given)
                    type = given.toString();
                const QStringView givenStyle = attributes.value(QLatin1String("s"));
                if (style != givenStyle)
                    style = givenStyle.toString();
                value.clear();
                number = cellNumber(attributes, largest);
            } else if (inCell && XLSXXml::is(reader_, "is")) {
                inInline = true;
            } else if (inCell && !inInline && XLSXXml::is(reader_, "v")) {
                inValue = true;
            } else if (inInline && XLSXXml::is(reader_, "rPh")) {
                ++phonetic;
            } else if (inInline && phonetic == 0 && XLSXXml::is(reader_, "t")) {
                inValue = true;
            }
        } else if (token == QXmlStreamReader::Characters) {
            if (inValue)
                value.append(reader_.text());
        } else if (token == QXmlStreamReader::EndElement) {
            if (XLSXXml::is(reader_, "sheetData")) {
                inSheetData_ = false;
                return std::nullopt;
            }
            if (!inRow)
                continue;
            if (XLSXXml::is(reader_, "row")) {
                XLSXrow row;
                if (!cells.isEmpty()) {
                    row.start = smallest;
                    row.values.resize(largest - smallest + 1);
                    for (auto &[number, text] : cells)
                        row.values[number - smallest] = std::move(text);
                }
                return row;
            }
            if (inCell && XLSXXml::is(reader_, "c")) {
                inCell = false;
                if (number > maxColumn)
                    continue;
                smallest = qMin(smallest, number);
                largest = qMax(largest, number);
                QString text = cellText(type, style, value);
                if (text.isNull())
                    text = QStringLiteral("");
                cells.append({number, std::move(text)});
            } else if (inInline && XLSXXml::is(reader_, "is")) {
                inInline = false;
            } else if (inInline && XLSXXml::is(reader_, "rPh")) {
                --phonetic;
            } else if (inValue && (XLSXXml::is(reader_, "v") || XLSXXml::is(reader_, "t"))) {
                inValue = false;
            }
        }
    }
    return std::nullopt;
}
