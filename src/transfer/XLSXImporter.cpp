#include "transfer/XLSXImporter.h"

#include "transfer/PlainTextDetection.h"
#include "transfer/XLSXRelationships.h"
#include "transfer/XLSXUnpackCache.h"
#include "transfer/XLSXWorkbook.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDir>

namespace
{

QString tr(const char *text)
{
    return QCoreApplication::translate("importer", text);
}

QString unreadable(const char *part)
{
    return tr("Cannot read import file, the file may be corrupted or not in a format that Vorn understands "
              "(%1)")
        .arg(QLatin1String(part));
}

} // namespace

XLSXImporter::XLSXImporter(const ImportOptions &options, const QString &filePath,
                           std::shared_ptr<XLSXUnpackCache> cache)
    : AbstractImporter(options, filePath), cache_(std::move(cache))
{
}

XLSXImporter::~XLSXImporter() = default;

bool XLSXImporter::fail(const char *part)
{
    setError(unreadable(part));
    return false;
}

void XLSXImporter::close()
{
    rowData_.reset();
    sharedStrings_.reset();
    buffer_.clear();
    bufferStart_ = 0;
    rowPointer_ = 0;
}

bool XLSXImporter::loadPart(const QString &part, const char *what, auto &target)
{
    target.reset();
    if (part.isEmpty())
        return true;
    using Reader = typename std::remove_reference_t<decltype(target)>::value_type;
    target = Reader::read(QDir(folder_).filePath(part));
    return target.has_value() || fail(what);
}

bool XLSXImporter::openSource()
{
    close();
    QString reason;
    folder_ = cache_->folderFor(filePath(), &reason);
    if (folder_.isEmpty()) {
        setError(unreadable("package") + QStringLiteral(": ") + reason);
        return false;
    }
    QString workbookPart = QStringLiteral("xl/workbook.xml");
    if (const std::optional<XLSXRelationships> package = XLSXRelationships::read(folder_, QString())) {
        if (!package->partForRole(QStringLiteral("officeDocument")).isEmpty())
            workbookPart = package->partForRole(QStringLiteral("officeDocument"));
    }
    const std::optional<XLSXRelationships> relationships = XLSXRelationships::read(folder_, workbookPart);
    if (!relationships)
        return fail("relationships");
    const QString workbookPath = QDir(folder_).filePath(workbookPart);
    if (autodetect_)
        options_.skip_empty_rows = true;
    if ((autodetect_ && !autodetectOptionsOnly_) || options_.sheet.isEmpty()) {
        if (!autoDetectSheets(workbookPath))
            return false;
    }
    // Both parts are optional: a workbook of inline strings and plain numbers needs neither.
    const QString stringsPart = relationships->partForRole(QStringLiteral("sharedStrings"));
    if (!stringsPart.isEmpty()) {
        sharedStrings_ = cache_->sharedStrings(QDir(folder_).filePath(stringsPart));
        if (!sharedStrings_)
            return fail("sharedStrings");
    }
    if (!loadPart(relationships->partForRole(QStringLiteral("styles")), "stylesUrl", styles_))
        return false;
    if (const std::optional<XLSXWorkbook> workbook = XLSXWorkbook::read(workbookPath))
        date1904_ = workbook->date1904();
    const QString sheetPart = relationships->partForId(options_.sheet);
    const QString sheetPath = QDir(folder_).filePath(sheetPart);
    rowData_ = std::make_unique<XLSXData>();
    if (sheetPart.isEmpty() || !determineColumnSpan(sheetPath) ||
        !rowData_->open(sheetPath, sharedStrings_.get(), styles_ ? &*styles_ : nullptr, date1904_)) {
        rowData_.reset();
        return fail("worksheet");
    }
    keepRows_ = true;
    if (autodetect_) {
        rowPointer_ = 0;
        autoDetectSkipRows();
        rowPointer_ = options_.skip_start_rows;
        autoDetectContentHeaders();
    }
    rowPointer_ = options_.skip_start_rows;
    keepRows_ = false;
    ensureImportColumns();
    determineColumnNames();
    return true;
}

bool XLSXImporter::autoDetectSheets(const QString &workbookPath)
{
    options_.sheet.clear();
    options_.sheet_ids.clear();
    options_.sheet_names.clear();
    const std::optional<XLSXWorkbook> workbook = XLSXWorkbook::read(workbookPath);
    if (!workbook)
        return fail("sheet");
    for (const XLSXWorkbook::Sheet &sheet : workbook->sheets()) {
        if (sheet.state == QLatin1String("hidden") || sheet.id.isEmpty())
            continue;
        options_.sheet_ids.append(sheet.id);
        if (!sheet.name.isEmpty())
            options_.sheet_names.insert(sheet.id, sheet.name);
        if (options_.sheet.isEmpty())
            options_.sheet = sheet.id;
    }
    return !options_.sheet.isEmpty() || fail("sheet");
}

bool XLSXImporter::determineColumnSpan(const QString &sheetPath)
{
    // Over every row, so that the preview and the run agree on which sheet column is which; the cache
    // scans each sheet once for all of them.
    const std::optional<XLSXData::ColumnSpan> span = cache_->columnSpan(sheetPath);
    if (!span)
        return false;
    const bool empty = span->last < span->first;
    minColumnSpan_ = empty ? 0 : span->first;
    columnCount_ = empty ? 0 : qMin<qint64>(span->last - span->first + 1, maxColumns);
    return true;
}

XLSXrow *XLSXImporter::rowAt(qint64 index)
{
    while (rowData_ && bufferStart_ + qint64(buffer_.size()) <= index) {
        std::optional<XLSXrow> row = rowData_->nextRow();
        if (!row)
            return nullptr;
        buffer_.push_back(std::move(*row));
    }
    if (index < bufferStart_ || !rowData_)
        return nullptr;
    return &buffer_[size_t(index - bufferStart_)];
}

std::optional<XLSXrow> XLSXImporter::nextRowFromBuffer(bool skipEmpty)
{
    while (XLSXrow *row = rowAt(rowPointer_)) {
        ++rowPointer_;
        XLSXrow taken = keepRows_ ? *row : std::move(*row);
        while (!keepRows_ && bufferStart_ < rowPointer_ && !buffer_.empty()) {
            buffer_.pop_front();
            ++bufferStart_;
        }
        if (!skipEmpty || taken.holdsValue())
            return taken;
    }
    return std::nullopt;
}

void XLSXImporter::autoDetectSkipRows()
{
    const qint64 start = rowPointer_;
    qsizetype narrowest = 1000;
    qsizetype widest = 0;
    for (int i = 0; i < detectionRows; ++i) {
        const std::optional<XLSXrow> row = nextRowFromBuffer(false);
        if (!row)
            break;
        if (row->values.isEmpty())
            continue;
        narrowest = qMin(narrowest, row->values.size());
        widest = qMax(widest, row->values.size());
    }
    rowPointer_ = start;
    qint64 skip = 0;
    while (skip < detectionRows) {
        const std::optional<XLSXrow> row = nextRowFromBuffer(false);
        if (!row || double(row->values.size()) > double(narrowest + widest) * 0.25)
            break;
        ++skip;
    }
    options_.skip_start_rows = skip;
}

void XLSXImporter::autoDetectContentHeaders()
{
    if (const std::optional<XLSXrow> row = nextRowFromBuffer(true))
        options_.content_headers = PlainTextDetection::contentHeaders(row->values);
}

void XLSXImporter::ensureImportColumns()
{
    if (columnCount_ == options_.nonSequenceColumnCount())
        return;
    QList<ImportColumnPtr> sequences;
    QList<ImportColumnPtr> plainColumns;
    for (const ImportColumnPtr &column : options_.import_columns)
        (column->sequence ? sequences : plainColumns).append(column);
    options_.import_columns = plainColumns;
    options_.updateImportColumnCount(columnCount_);
    options_.import_columns.append(sequences);
}

void XLSXImporter::determineColumnNames()
{
    QStringList names;
    for (int i = 1; i <= maxColumns; ++i)
        names.append(QStringLiteral("COL %1").arg(i));
    if (options_.content_headers) {
        if (const std::optional<XLSXrow> header = nextRowFromBuffer(true)) {
            for (qsizetype i = 0; i < maxColumns; ++i) {
                const qsizetype k = i - (header->start - minColumnSpan_);
                if (k >= 0 && k < header->values.size() && !header->values[k].isEmpty())
                    names[i] = header->values[k];
            }
        }
    }
    qsizetype position = 0;
    for (const ImportColumnPtr &column : options_.import_columns) {
        if (position >= maxColumns)
            break;
        if (!column->sequence) {
            column->column_name = names[position];
            column->hidden = rowData_ && rowData_->columnIsHidden(minColumnSpan_ + position);
        }
        ++position;
    }
}

std::optional<ImportRow> XLSXImporter::readNextRow()
{
    const std::optional<XLSXrow> row = nextRowFromBuffer(options_.skip_empty_rows);
    if (!row)
        return std::nullopt;
    ImportRow values;
    for (qsizetype i = 0; i < options_.import_columns.size(); ++i) {
        const qint64 k = minColumnSpan_ - row->start + i;
        if (k >= 0 && k < row->values.size())
            values.insert(options_.import_columns[i]->column_name, row->values[k]);
    }
    return values;
}

std::optional<QStringList> XLSXImporter::readNextFields()
{
    std::optional<XLSXrow> row = nextRowFromBuffer(options_.skip_empty_rows);
    if (!row)
        return std::nullopt;
    // By position, not by name: two columns may have the same heading.
    const qsizetype count = options_.import_columns.size();
    if (row->start == minColumnSpan_ && row->values.size() == count)
        return std::move(row->values);
    QStringList fields;
    fields.reserve(count);
    for (qsizetype i = 0; i < count; ++i) {
        const qint64 k = minColumnSpan_ - row->start + i;
        fields.append(k >= 0 && k < row->values.size() ? row->values[k] : QString());
    }
    return fields;
}

void XLSXImporter::autoDetect()
{
    autodetect_ = true;
    AbstractImporter::openForImport(true);
    close();
    autodetect_ = false;
}

void XLSXImporter::autoDetectFormatOptions()
{
    autodetectOptionsOnly_ = true;
    autoDetect();
    autodetectOptionsOnly_ = false;
}

QString XLSXImporter::overviewFormatLine() const
{
    const QString name = options_.sheet_names.value(options_.sheet, options_.sheet);
    const QString sheet = tr("Sheet '%1' will be imported").arg(name);
    const QString empty =
        options_.skip_empty_rows ? tr("Empty lines are skipped.") : tr("Empty lines are not skipped.");
    return QStringLiteral("%1\n%2").arg(sheet, empty);
}
