#include "transfer/PlainTextImporter.h"

#include "transfer/ImportEncoding.h"
#include "transfer/PlainTextDetection.h"

#include <QCoreApplication>
#include <QDebug>

#include <cstring>

namespace
{

constexpr uint cr = 13;
constexpr uint lf = 10;
constexpr uint backslash = 92;

bool allEmpty(const QStringList &row)
{
    for (const QString &field : row) {
        if (!field.isEmpty())
            return false;
    }
    return true;
}

} // namespace

PlainTextImporter::~PlainTextImporter() = default;

void PlainTextImporter::close()
{
    file_.close();
}

bool PlainTextImporter::fillBuffer()
{
    buffer_.remove(0, pointer_);
    pointer_ = 0;
    if (!atEnd_ && file_.isOpen()) {
        const QByteArray more =
            file_.read(blockSize - buffer_.size() > 0 ? blockSize - buffer_.size() : blockSize);
        if (more.isEmpty())
            atEnd_ = true;
        buffer_.append(more);
    }
    return pointer_ < buffer_.size();
}

bool PlainTextImporter::needUnits(int units)
{
    const qsizetype bytes = qsizetype(units) * options_.characterLength;
    if (buffer_.size() - pointer_ < bytes && !atEnd_)
        fillBuffer();
    return buffer_.size() - pointer_ >= bytes;
}

uint PlainTextImporter::unitAt(qsizetype offset) const
{
    const auto *data = reinterpret_cast<const uchar *>(buffer_.constData()) + pointer_ + offset;
    if (options_.characterLength == 1)
        return data[0];
    return options_.bigEndian ? (uint(data[0]) << 8 | data[1]) : (uint(data[1]) << 8 | data[0]);
}

void PlainTextImporter::readBom()
{
    needUnits(2);
    const QByteArray head = buffer_.mid(pointer_, 3);
    using namespace ImportEncoding;
    if (options_.stringEncoding == utf8 && head.startsWith("\xEF\xBB\xBF")) {
        pointer_ += 3;
    } else if (options_.stringEncoding == utf16) {
        if (head.startsWith("\xFF\xFE")) {
            options_.setStringEncoding(utf16LittleEndian);
            pointer_ += 2;
        } else {
            if (head.startsWith("\xFE\xFF"))
                pointer_ += 2;
            options_.setStringEncoding(utf16BigEndian);
        }
    } else if ((options_.stringEncoding == utf16LittleEndian && head.startsWith("\xFF\xFE")) ||
               (options_.stringEncoding == utf16BigEndian && head.startsWith("\xFE\xFF"))) {
        pointer_ += 2;
    }
}

QString PlainTextImporter::decodeField(const QByteArray &bytes)
{
    const ImportEncoding::Decoded decoded = ImportEncoding::decode(bytes, options_.stringEncoding);
    if (decoded.hadErrors)
        addWarning(
            QCoreApplication::translate("importer", "A field is not text in %1 and was read as \"%2\".")
                .arg(ImportEncoding::nameForEncoding(options_.stringEncoding), decoded.text));
    return decoded.text;
}

qsizetype PlainTextImporter::ordinaryRun(bool inQuotes, bool &blanksOnly) const
{
    const auto *data = reinterpret_cast<const uchar *>(buffer_.constData());
    const uint quote = options_.quote.unicode();
    const uint separator = options_.separator.unicode();
    // Inside quotes only the quote and (escaping with it) the backslash are special; outside also the
    // separator and line ends, and the blanks before a field's opening quote.
    const bool backslashSpecial = inQuotes && !options_.quote_escape_double;
    qsizetype end = pointer_;
    for (; end < buffer_.size(); ++end) {
        const uint c = data[end];
        if (c == quote || (backslashSpecial && c == backslash))
            break;
        if (inQuotes)
            continue;
        if (c == separator || c == cr || c == lf || (blanksOnly && (c == ' ' || c == '\t')))
            break;
        blanksOnly = false;
    }
    return end - pointer_;
}

std::optional<QStringList> PlainTextImporter::readRow()
{
    const int unit = int(options_.characterLength);
    const uint quote = options_.quote.unicode();
    const uint separator = options_.separator.unicode();
    if (!needUnits(1))
        return std::nullopt;
    QStringList fields;
    bool rowEnded = false;
    while (!rowEnded) {
        // One field: text before an opening quote is blanks only; after the closing quote the rest is
        // kept as written (a malformed field loses nothing).
        QByteArray plain;
        QByteArray quoted;
        bool inQuotes = false;
        bool wasQuoted = false;
        bool blanksOnly = true;
        while (true) {
            if (!needUnits(1)) {
                rowEnded = true;
                break;
            }
            const uint cu = unitAt(0);
            // The unit's bytes, copied: reading further may move the buffer.
            char bytes[2];
            std::memcpy(bytes, buffer_.constData() + pointer_, size_t(unit));
            if (unit == 1) {
                // A run of ordinary bytes is taken at once, not a byte at a time.
                const qsizetype run = ordinaryRun(inQuotes, blanksOnly);
                if (run > 0) {
                    (inQuotes ? quoted : plain).append(buffer_.constData() + pointer_, run);
                    pointer_ += run;
                    continue;
                }
            }
            if (inQuotes) {
                if (cu == quote || (cu == backslash && !options_.quote_escape_double)) {
                    const bool hasNext = needUnits(2);
                    const uint next = hasNext ? unitAt(unit) : 0;
                    if (hasNext && next == quote && (cu == backslash || options_.quote_escape_double)) {
                        quoted.append(buffer_.constData() + pointer_ + unit, unit);
                        pointer_ += 2 * unit;
                        continue;
                    }
                    if (cu == quote) {
                        inQuotes = false;
                        pointer_ += unit;
                        continue;
                    }
                }
                quoted.append(bytes, unit);
                pointer_ += unit;
                continue;
            }
            pointer_ += unit;
            if (cu == separator && separator != 0)
                break;
            if (cu == cr || cu == lf) {
                if (needUnits(1) && unitAt(0) == (cu == cr ? lf : cr))
                    pointer_ += unit;
                rowEnded = true;
                break;
            }
            if (cu == quote && quote != 0 && !wasQuoted && blanksOnly) {
                inQuotes = wasQuoted = true;
                plain.clear();
                continue;
            }
            if (cu != ' ' && cu != '\t')
                blanksOnly = false;
            plain.append(bytes, unit);
        }
        QString text =
            wasQuoted ? decodeField(quoted) + decodeField(plain).trimmed() : decodeField(plain).trimmed();
        if (runningPreview() && text.size() >= 51)
            text = text.left(47) + QStringLiteral("...");
        fields.append(text);
    }
    return fields;
}

std::optional<QStringList> PlainTextImporter::readRowFixedWidth()
{
    const int unit = int(options_.characterLength);
    if (!needUnits(1))
        return std::nullopt;
    QByteArray line;
    while (needUnits(1)) {
        const uint cu = unitAt(0);
        pointer_ += unit;
        if (cu == cr || cu == lf) {
            if (needUnits(1) && unitAt(0) == (cu == cr ? lf : cr))
                pointer_ += unit;
            break;
        }
        line.append(buffer_.mid(pointer_ - unit, unit));
    }
    const QString text = decodeField(line);
    QStringList fields;
    const QList<int> &widths = options_.fixed_width_column_widths;
    qsizetype start = 0;
    for (int width : widths) {
        if (start >= text.size() && !fields.isEmpty())
            break;
        QString piece = text.mid(start, width).trimmed();
        start += width;
        const QChar filler = options_.fixed_width_filler;
        while (!filler.isNull() && piece.endsWith(filler))
            piece.chop(1);
        while (!filler.isNull() && piece.startsWith(filler))
            piece.remove(0, 1);
        fields.append(piece);
    }
    return fields;
}

void PlainTextImporter::fillRowBuffer()
{
    while (rowBuffer_.size() < readAhead) {
        std::optional<QStringList> row = options_.fixed_width ? readRowFixedWidth() : readRow();
        if (!row)
            break;
        if (row->size() > maxColumns)
            row->resize(maxColumns);
        rowBuffer_.push_back(*row);
    }
}

std::optional<QStringList> PlainTextImporter::nextRowFromBuffer(bool skipEmpty)
{
    while (true) {
        if (rowBuffer_.empty())
            fillRowBuffer();
        if (rowBuffer_.empty())
            return std::nullopt;
        QStringList row = std::move(rowBuffer_.front());
        rowBuffer_.pop_front();
        if (!skipEmpty || !allEmpty(row))
            return row;
    }
}

bool PlainTextImporter::openSource()
{
    file_.close();
    file_.setFileName(filePath());
    buffer_.clear();
    pointer_ = 0;
    atEnd_ = false;
    rowBuffer_.clear();
    if (!file_.open(QIODevice::ReadOnly)) {
        setError(QCoreApplication::translate("importer", "Could not open %1: %2")
                     .arg(filePath(), file_.errorString()));
        return false;
    }
    fillBuffer();
    firstBlock_ = buffer_;
    if (autodetect_) {
        options_.skip_empty_rows = true;
        options_.setStringEncoding(PlainTextDetection::textEncoding(firstBlock_, options_.stringEncoding));
    }
    readBom();
    if (autodetect_)
        detectLayout();
    fillRowBuffer();
    if (autodetect_) {
        QList<QStringList> waiting(rowBuffer_.begin(), rowBuffer_.end());
        options_.skip_start_rows = PlainTextDetection::skipStart(waiting);
    }
    for (qint64 i = 0; i < options_.skip_start_rows; ++i)
        nextRowFromBuffer(false);
    if (autodetect_) {
        if (rowBuffer_.empty())
            fillRowBuffer();
        for (const QStringList &row : rowBuffer_) {
            if (!allEmpty(row)) {
                options_.content_headers = PlainTextDetection::contentHeaders(row);
                break;
            }
        }
        QList<QStringList> sample;
        for (const QStringList &row : rowBuffer_) {
            if (!allEmpty(row) && sample.size() < 20)
                sample.append(row);
        }
        if (!options_.fixed_width) {
            options_.quote = PlainTextDetection::quote(sample);
            const QString text = ImportEncoding::decode(firstBlock_, options_.stringEncoding).text;
            options_.quote_escape_double =
                PlainTextDetection::quoteEscapeDouble(PlainTextDetection::lines(text), options_.separator);
        }
        // The rows were read without quotes; read them again as they will be read.
        rowBuffer_.clear();
        buffer_ = firstBlock_;
        pointer_ = 0;
        file_.seek(firstBlock_.size());
        atEnd_ = false;
        readBom();
        fillRowBuffer();
        for (qint64 i = 0; i < options_.skip_start_rows; ++i)
            nextRowFromBuffer(false);
    }
    if (!options_.fixed_width) {
        qsizetype count = 0;
        for (const QStringList &row : rowBuffer_)
            count = qMax(count, row.size());
        count = qMin<qsizetype>(count, maxColumns);
        if (count != options_.nonSequenceColumnCount()) {
            QList<ImportColumnPtr> sequences;
            for (const ImportColumnPtr &column : options_.import_columns) {
                if (column->sequence)
                    sequences.append(column);
            }
            QList<ImportColumnPtr> plainColumns;
            for (const ImportColumnPtr &column : options_.import_columns) {
                if (!column->sequence)
                    plainColumns.append(column);
            }
            options_.import_columns = plainColumns;
            options_.updateImportColumnCount(count);
            options_.import_columns.append(sequences);
        }
    }
    determineColumnNames();
    return true;
}

void PlainTextImporter::detectLayout()
{
    const QString text = ImportEncoding::decode(firstBlock_, options_.stringEncoding).text;
    const QStringList lines = PlainTextDetection::lines(text);
    if (!autodetectOptionsOnly_) {
        QStringList trimmed = lines;
        while (!trimmed.isEmpty() && trimmed.last().isEmpty())
            trimmed.removeLast();
        // Fixed width only where no separator occurs on every line.
        const QChar candidate = PlainTextDetection::separator(lines);
        int nonEmpty = 0;
        int separated = 0;
        for (const QString &line : trimmed) {
            nonEmpty += line.isEmpty() ? 0 : 1;
            separated += !line.isEmpty() && line.contains(candidate) ? 1 : 0;
        }
        options_.fixed_width =
            !(nonEmpty > 0 && separated == nonEmpty) && PlainTextDetection::fixedWidth(trimmed);
    }
    if (!options_.fixed_width) {
        options_.separator = PlainTextDetection::separator(lines);
        return;
    }
    const PlainTextDetection::FixedLayout layout = PlainTextDetection::fillerAndColumns(lines);
    options_.fixed_width_filler = layout.filler;
    options_.fixed_width_default_align_left = layout.alignLeft;
    options_.setFixed_width_column_widths(layout.widths);
}

void PlainTextImporter::determineColumnNames()
{
    QStringList names;
    for (int i = 1; i <= maxColumns; ++i)
        names.append(QStringLiteral("COL %1").arg(i));
    if (options_.content_headers) {
        if (std::optional<QStringList> header = nextRowFromBuffer(true)) {
            for (qsizetype i = 0; i < header->size() && i < maxColumns; ++i) {
                if (!header->at(i).isEmpty())
                    names[i] = header->at(i);
            }
        }
    }
    qsizetype index = 0;
    for (const ImportColumnPtr &column : options_.import_columns) {
        if (index >= maxColumns)
            break;
        if (!column->sequence)
            column->column_name = names[index];
        ++index;
    }
}

std::optional<ImportRow> PlainTextImporter::readNextRow()
{
    const std::optional<QStringList> fields = nextRowFromBuffer(options_.skip_empty_rows);
    if (!fields)
        return std::nullopt;
    ImportRow row;
    const qsizetype count = qMin(fields->size(), options_.import_columns.size());
    for (qsizetype i = 0; i < count; ++i)
        row.insert(options_.import_columns[i]->column_name, fields->at(i));
    return row;
}

std::optional<QStringList> PlainTextImporter::readNextFields()
{
    std::optional<QStringList> fields = nextRowFromBuffer(options_.skip_empty_rows);
    if (fields && fields->size() > options_.import_columns.size())
        fields->resize(options_.import_columns.size());
    return fields;
}

void PlainTextImporter::autoDetect()
{
    options_.separator = QChar();
    options_.quote = QChar();
    autodetect_ = true;
    AbstractImporter::openForImport(false);
    close();
    autodetect_ = false;
}

void PlainTextImporter::autoDetectFormatOptions()
{
    autodetectOptionsOnly_ = true;
    autoDetect();
    autodetectOptionsOnly_ = false;
}

QString PlainTextImporter::overviewFormatLine() const
{
    const QString source = QCoreApplication::translate("importer", "Source is interpreted as %1.")
                               .arg(ImportEncoding::nameForEncoding(options_.stringEncoding));
    const QString empty = options_.skip_empty_rows
                              ? QCoreApplication::translate("importer", "Empty lines are skipped.")
                              : QCoreApplication::translate("importer", "Empty lines are not skipped.");
    return QStringLiteral("%1\n%2").arg(source, empty);
}
