#include "transfer/ImportOptions.h"

#include "transfer/ImportEncoding.h"

#include <QDebug>

ImportOptions::ImportOptions(const ImportOptions &other)
{
    *this = other;
}

ImportOptions &ImportOptions::operator=(const ImportOptions &other)
{
    if (this == &other)
        return *this;
    previewRowRestricted = other.previewRowRestricted;
    separator = other.separator;
    content_headers = other.content_headers;
    skip_empty_rows = other.skip_empty_rows;
    skip_start_rows = other.skip_start_rows;
    quote = other.quote;
    quote_escape_double = other.quote_escape_double;
    fixed_width = other.fixed_width;
    fixed_width_filler = other.fixed_width_filler;
    fixed_width_default_align_left = other.fixed_width_default_align_left;
    fixed_width_column_widths = other.fixed_width_column_widths;
    characterLength = other.characterLength;
    bigEndian = other.bigEndian;
    stringEncoding = other.stringEncoding;
    sheet = other.sheet;
    sheet_ids = other.sheet_ids;
    sheet_names = other.sheet_names;
    importToSql = other.importToSql;
    stopOnError = other.stopOnError;
    import_columns = other.import_columns;
    target_column_names = other.target_column_names;
    target_column_types = other.target_column_types;
    return *this;
}

void ImportOptions::reset()
{
    previewRowRestricted = true;
    separator = QLatin1Char(',');
    content_headers = false;
    skip_empty_rows = true;
    skip_start_rows = 0;
    quote = QLatin1Char('"');
    quote_escape_double = true;
    fixed_width = false;
    fixed_width_filler = QLatin1Char(' ');
    fixed_width_default_align_left = false;
    fixed_width_column_widths.clear();
    characterLength = 1;
    bigEndian = false;
    stringEncoding = ImportEncoding::utf8;
    sheet.clear();
    sheet_ids.clear();
    sheet_names.clear();
    importToSql = false;
    stopOnError = false;
    import_columns.clear();
    target_column_names.clear();
    target_column_types.clear();
}

void ImportOptions::targetReset()
{
    target_column_names.clear();
    target_column_types.clear();
    for (const ImportColumnPtr &column : import_columns)
        column->map_to.clear();
}

void ImportOptions::resetTypeDetection()
{
    for (const ImportColumnPtr &column : import_columns)
        column->input_column_type.clear();
}

void ImportOptions::setStringEncoding(quint64 encoding)
{
    stringEncoding = encoding;
    characterLength = ImportEncoding::characterLength(encoding);
    bigEndian = ImportEncoding::bigEndian(encoding);
    resetTypeDetection();
}

void ImportOptions::setFixed_width_column_widths(const QList<int> &widths)
{
    fixed_width_column_widths = widths;
    if (fixed_width)
        updateImportColumnCount(widths.size());
}

void ImportOptions::updateImportColumnCount(qsizetype count)
{
    QList<ImportColumnPtr> columns = import_columns;
    if (columns.size() > count)
        columns.resize(count);
    while (columns.size() < count) {
        auto column = std::make_shared<ImportColumn>();
        column->column_name = QStringLiteral("UNKNOWN");
        columns.append(column);
    }
    import_columns = columns;
}

void ImportOptions::setMappingOfColumn(ImportColumn &column, const QString &target)
{
    column.map_to = target;
    column.enabled = true;
}

QStringList ImportOptions::supportedFormatsForColumnType(const QString &type)
{
    if (type == QLatin1String("N"))
        return {"(-)12345.00", "(-)12345,00", "12345.00 (-)", "12345,00 (-)",
                "(-) 1.23e45", "(-) 1,23e45", "1.23e45 (-)",  "1,23e45 (-)"};
    if (type == QLatin1String("D"))
        return {"yyyyMMdd",
                "ddMMyyyy",
                "dd-MM-yy HH:mm:ss",
                "dd-MM-yyyy HH:mm:ss",
                "dd/MM/yy HH:mm:ss",
                "dd/MM/yyyy HH:mm:ss",
                "MM.dd.yy HH:mm:ss",
                "MM.dd.yyyy HH:mm:ss",
                "MM/dd/yy h:mm a",
                "MM/dd/yyyy h:mm a",
                "yyyy-MM-dd HH:mm",
                "yyyy-MM-dd h:mm a",
                "yyyy-MM-dd HH:mm:ss ZZZ"};
    if (type == QLatin1String("DD"))
        return {"yyyyMMdd", "ddMMyyyy",   "dd-MM-yy", "dd-MM-yyyy", "MM-dd-yy",  "MM-dd-yyyy",
                "dd/MM/yy", "dd/MM/yyyy", "MM/dd/yy", "MM/dd/yyyy", "yyyy-MM-dd"};
    if (type == QLatin1String("DT"))
        return {"HH:mm:ss.S", "HH:mm:ss,S", "HH:mm:ss", "HH:mm", "HH.mm", "h:mm a", "h.mm a"};
    if (type == QLatin1String("DTZ"))
        return {"ZZZ", "zzz", "ZZZZ", "O"};
    return {};
}

QStringList ImportOptions::supportedAutodetectFormatsForColumnType(const QString &type)
{
    std::lock_guard lock(cacheMutex_);
    if (const auto found = autodetectCache_.constFind(type); found != autodetectCache_.constEnd())
        return *found;
    QStringList formats;
    if (type != QLatin1String("D")) {
        formats = supportedFormatsForColumnType(type);
    } else {
        const QStringList dates = supportedFormatsForColumnType(QStringLiteral("DD"));
        const QStringList times = supportedFormatsForColumnType(QStringLiteral("DT"));
        const QStringList zones = supportedFormatsForColumnType(QStringLiteral("DTZ"));
        formats = dates;
        for (const QString &d : dates) {
            for (const QString &t : times) {
                for (const QString &z : zones) {
                    formats.append(QStringLiteral("%1'T'%2 %3").arg(d, t, z));
                    formats.append(QStringLiteral("%1 %2 %3").arg(d, t, z));
                }
            }
        }
        for (const QString &d : dates) {
            for (const QString &t : times) {
                formats.append(QStringLiteral("%1 %2").arg(d, t));
                formats.append(QStringLiteral("%1'T'%2").arg(d, t));
            }
        }
        formats << QStringLiteral("yyyyMMddHHmm") << QStringLiteral("ddMMyyyyHHmm");
    }
    if (!formats.isEmpty())
        autodetectCache_.insert(type, formats);
    return formats;
}

ImportOptions::Formatter ImportOptions::formatterForType(const QString &type, const QString &format,
                                                         bool lenient)
{
    const QString key = QStringLiteral("%1/%2/%3").arg(type, format).arg(int(lenient));
    std::lock_guard lock(cacheMutex_);
    if (const auto found = formatCache_.constFind(key); found != formatCache_.constEnd())
        return *found;
    Formatter made;
    if (type == QLatin1String("N"))
        made = std::make_shared<const ImportNumberFormat>(format, lenient);
    else if (type == QLatin1String("D"))
        made = std::make_shared<const ImportDateFormat>(format, lenient);
    else
        return made;
    formatCache_.insert(key, made);
    return made;
}

ImportValue ImportOptions::convertColumnValue(const QString &text, const ImportColumn &column)
{
    if (column.input_column_type == QLatin1String("S"))
        return {ImportValue::Text, text, {}};
    if (text.isEmpty())
        return {};
    return convertColumnValue(text, column,
                              formatterForType(column.input_column_type, column.input_column_format, true));
}

ImportValue ImportOptions::convertColumnValue(const QString &text, const ImportColumn &column,
                                              const Formatter &formatter)
{
    if (column.input_column_type == QLatin1String("S"))
        return {ImportValue::Text, text, {}};
    if (text.isEmpty())
        return {};
    if (const auto *number = std::get_if<std::shared_ptr<const ImportNumberFormat>>(&formatter)) {
        if (const auto parsed = (*number)->parse(text))
            return {ImportValue::Number, *parsed, {}};
    } else if (const auto *date = std::get_if<std::shared_ptr<const ImportDateFormat>>(&formatter)) {
        if (const auto parsed = (*date)->parse(text))
            return {ImportValue::DateTime, QString(), *parsed};
    } else {
        // A column whose type is not known yet reads as text.
        return {ImportValue::Text, text, {}};
    }
    return {ImportValue::Invalid, text, {}};
}

QList<ImportColumnPtr> ImportOptions::nonHiddenImportColumns() const
{
    QList<ImportColumnPtr> columns;
    for (const ImportColumnPtr &column : import_columns) {
        if (!column->hidden)
            columns.append(column);
    }
    return columns;
}

qsizetype ImportOptions::nonSequenceColumnCount() const
{
    qsizetype count = 0;
    for (const ImportColumnPtr &column : import_columns)
        count += column->sequence ? 0 : 1;
    return count;
}

void ImportOptions::removeSequenceColumn(qsizetype index)
{
    QList<ImportColumnPtr> columns = import_columns;
    if (index >= 0 && index < columns.size())
        columns.removeAt(index);
    import_columns = columns;
}

void ImportOptions::addSequence(const QString &sequenceName, const QString &mapTo)
{
    auto column = std::make_shared<ImportColumn>();
    column->column_name = sequenceName;
    column->enabled = true;
    column->map_to = mapTo;
    column->sequence = true;
    column->input_column_type = QStringLiteral("N");
    column->input_column_format = QStringLiteral("(-)12345.00");
    column->format = column->input_column_format;
    import_columns.append(column);
}
