#include "transfer/XLSXData.h"

#include "transfer/XLSXSharedStrings.h"
#include "transfer/XLSXStyles.h"
#include "transfer/XLSXXml.h"

#include <charconv>

namespace
{

bool isTrue(std::string_view value)
{
    return value == "1" || XLSXXml::isTrue(QString::fromUtf8(value.data(), qsizetype(value.size())));
}

QString text(std::string_view value)
{
    return QString::fromUtf8(value.data(), qsizetype(value.size()));
}

std::string_view trimmed(std::string_view value)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; };
    while (!value.empty() && blank(value.front()))
        value.remove_prefix(1);
    while (!value.empty() && blank(value.back()))
        value.remove_suffix(1);
    return value;
}

// The whole number the text holds, read as QString would read it; none when it holds none.
std::optional<qint64> wholeNumber(std::string_view value)
{
    const std::string_view digits = trimmed(value);
    qint64 number = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
    if (error == std::errc() && end == digits.data() + digits.size() && !digits.empty())
        return number;
    bool ok = false;
    number = text(value).toLongLong(&ok);
    return ok ? std::optional<qint64>(number) : std::nullopt;
}

// Reads only where the cells of the visible rows lie.
class SpanReader : public XLSXXmlStream::Handler
{
public:
    XLSXData::ColumnSpan span{XLSXrow::noStart, 0};
    XLSXXmlStream *stream = nullptr;

    void startElement(std::string_view name, const char **attributes) override
    {
        if (!inSheetData_) {
            inSheetData_ = name == "sheetData";
        } else if (name == "row") {
            readCells_ = !isTrue(XLSXXmlStream::attribute(attributes, "hidden"));
            smallest_ = XLSXrow::noStart;
            largest_ = 0;
        } else if (readCells_ && name == "c") {
            const qint64 number = XLSXData::cellNumber(attributes, largest_);
            if (number <= XLSXData::maxColumn) {
                smallest_ = qMin(smallest_, number);
                largest_ = qMax(largest_, number);
            }
        }
    }
    void endElement(std::string_view name) override
    {
        if (!inSheetData_)
            return;
        if (name == "sheetData") {
            // What follows the rows is not read.
            stream->pause();
        } else if (name == "row") {
            if (readCells_ && largest_ > 0) {
                span.first = qMin(span.first, smallest_);
                span.last = qMax(span.last, largest_);
            }
            readCells_ = false;
        }
    }
    void characters(std::string_view) override {}

private:
    bool inSheetData_ = false;
    bool readCells_ = false;
    qint64 smallest_ = XLSXrow::noStart;
    qint64 largest_ = 0;
};

} // namespace

XLSXData::XLSXData() : stream_(*this, true) {}

XLSXData::~XLSXData() = default;

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

qint64 XLSXData::cellNumber(const char **attributes, qint64 largestInRow)
{
    const std::string_view reference = XLSXXmlStream::attribute(attributes, "r");
    qint64 number = 0;
    for (const char c : reference) {
        if (c >= '0' && c <= '9')
            break;
        const char upper = c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c;
        if (upper < 'A' || upper > 'Z') {
            // Letters and digits of other scripts go the way of the whole text.
            number = (c & 0x80) ? cellNumberForAddress(text(reference)) : 0;
            break;
        }
        number = number * 26 + (upper - 'A' + 1);
        if (number > maxColumn) {
            number = maxColumn + 1;
            break;
        }
    }
    return number < 1 ? largestInRow + 1 : number;
}

std::optional<XLSXData::ColumnSpan> XLSXData::columnSpan(const QString &path)
{
    SpanReader reader;
    XLSXXmlStream stream(reader, false);
    reader.stream = &stream;
    if (!stream.open(path))
        return std::nullopt;
    stream.readOn();
    if (stream.failed())
        return std::nullopt;
    if (reader.span.last < reader.span.first)
        return ColumnSpan{};
    return reader.span;
}

bool XLSXData::open(const QString &path, const XLSXSharedStrings *sharedStrings, const XLSXStyles *styles,
                    bool date1904)
{
    sharedStrings_ = sharedStrings;
    styles_ = styles;
    date1904_ = date1904;
    if (!stream_.open(path))
        return false;
    // Up to the rows: the hidden columns are known before the first row.
    while (!inSheetData_ && stream_.readOn()) {
    }
    return !failed();
}

std::optional<XLSXrow> XLSXData::nextRow()
{
    while (ready_.empty() && inSheetData_ && stream_.readOn()) {
    }
    if (ready_.empty())
        return std::nullopt;
    XLSXrow row = std::move(ready_.front());
    ready_.pop_front();
    return row;
}

void XLSXData::startElement(std::string_view name, const char **attributes)
{
    if (name.empty() || sheetDataEnded_)
        return;
    if (!inSheetData_) {
        if (name == "sheetData") {
            inSheetData_ = true;
            stream_.pause();
        } else if (name == "cols") {
            inCols_ = true;
        } else if (inCols_ && name == "col" && isTrue(XLSXXmlStream::attribute(attributes, "hidden"))) {
            const qint64 last =
                qMin(wholeNumber(XLSXXmlStream::attribute(attributes, "max")).value_or(0), maxColumn);
            for (qint64 c = wholeNumber(XLSXXmlStream::attribute(attributes, "min")).value_or(0); c <= last;
                 ++c)
                hiddenColumns_.insert(c);
        }
        return;
    }
    if (!inRow_) {
        if (name == "row") {
            inRow_ = true;
            readCells_ = !isTrue(XLSXXmlStream::attribute(attributes, "hidden"));
        }
        return;
    }
    if (!readCells_)
        return;
    if (!inCell_ && name == "c")
        startCell(attributes);
    else if (inCell_ && name == "is")
        inInline_ = true;
    else if (inCell_ && !inInline_ && name == "v")
        inValue_ = true;
    else if (inInline_ && name == "rPh")
        ++phonetic_;
    else if (inInline_ && phonetic_ == 0 && name == "t")
        inValue_ = true;
}

void XLSXData::startCell(const char **attributes)
{
    inCell_ = true;
    value_.clear();
    number_ = cellNumber(attributes, largest_);
    type_ = CellType::Number;
    if (XLSXXmlStream::hasAttribute(attributes, "t")) {
        const std::string_view given = XLSXXmlStream::attribute(attributes, "t");
        type_ = given == "n"           ? CellType::Number
                : given == "s"         ? CellType::Shared
                : given == "inlineStr" ? CellType::Inline
                                       : CellType::Other;
    }
    dateStyle_ =
        type_ == CellType::Number && styles_ && styleIsDate(XLSXXmlStream::attribute(attributes, "s"));
}

bool XLSXData::styleIsDate(std::string_view style)
{
    int position = 0;
    const auto [end, error] = std::from_chars(style.data(), style.data() + style.size(), position);
    if (error != std::errc() || end != style.data() + style.size() || style.empty() || position < 0 ||
        position > 100000)
        return styles_->isDate(text(style));
    if (size_t(position) >= dateStyles_.size())
        dateStyles_.resize(size_t(position) + 1, -1);
    signed char &known = dateStyles_[size_t(position)];
    if (known < 0)
        known = styles_->isDateStyle(position) ? 1 : 0;
    return known == 1;
}

void XLSXData::characters(std::string_view text)
{
    if (inValue_)
        value_.append(text);
}

void XLSXData::endElement(std::string_view name)
{
    if (name.empty() || sheetDataEnded_)
        return;
    if (!inSheetData_) {
        if (name == "cols")
            inCols_ = false;
        return;
    }
    if (name == "sheetData") {
        inSheetData_ = false;
        sheetDataEnded_ = true;
        stream_.pause();
        return;
    }
    if (!inRow_)
        return;
    if (name == "row") {
        endRow();
        stream_.pause();
    } else if (inCell_ && name == "c") {
        inCell_ = false;
        if (number_ > maxColumn)
            return;
        smallest_ = qMin(smallest_, number_);
        largest_ = qMax(largest_, number_);
        QString cell = cellText();
        if (cell.isNull())
            cell = QStringLiteral("");
        cells_.append({number_, std::move(cell)});
    } else if (inInline_ && name == "is") {
        inInline_ = false;
    } else if (inInline_ && name == "rPh") {
        --phonetic_;
    } else if (inValue_ && (name == "v" || name == "t")) {
        inValue_ = false;
    }
}

void XLSXData::endRow()
{
    XLSXrow row;
    if (!cells_.isEmpty()) {
        row.start = smallest_;
        row.values.resize(largest_ - smallest_ + 1);
        for (auto &[number, cell] : cells_)
            row.values[number - smallest_] = std::move(cell);
    }
    ready_.push_back(std::move(row));
    cells_.clear();
    inRow_ = readCells_ = inCell_ = inInline_ = inValue_ = false;
    phonetic_ = 0;
    smallest_ = XLSXrow::noStart;
    largest_ = 0;
}

QString XLSXData::cellText()
{
    switch (type_) {
    case CellType::Shared: {
        const std::optional<qint64> index = wholeNumber(value_);
        return index && sharedStrings_ ? sharedStrings_->string(*index) : QString();
    }
    case CellType::Number:
        if (dateStyle_ && !value_.empty()) {
            double serial = 0;
            const std::string_view digits = trimmed(value_);
            const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), serial);
            const std::optional<XLSXSerialDate::WallClock> wallClock =
                error == std::errc() && end == digits.data() + digits.size()
                    ? XLSXSerialDate::wallClockForSerial(serial, date1904_)
                    : XLSXSerialDate::wallClockForSerial(text(value_), date1904_);
            if (wallClock)
                return dateText(*wallClock);
        }
        return text(value_);
    case CellType::Inline:
        return XLSXXml::decodeText(text(value_));
    case CellType::Other:
        break;
    }
    return text(value_);
}

QString XLSXData::dateText(const XLSXSerialDate::WallClock &wallClock)
{
    return XLSXSerialDate::importText(wallClock, offsets_.offsetAt(wallClock));
}
