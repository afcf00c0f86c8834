#include "transfer/AbstractImporter.h"

#include <QDebug>

namespace
{

bool holdsDigit(const QString &text)
{
    for (QChar c : text) {
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
            return true;
    }
    return false;
}

bool fits(ImportOptions &options, const QString &type, const QString &format, bool lenient,
          const QStringList &values)
{
    const ImportOptions::Formatter formatter = options.formatterForType(type, format, lenient);
    Q_ASSERT_X(!std::holds_alternative<std::monostate>(formatter), "AbstractImporter",
               qPrintable(QStringLiteral("No formatter found for %1 %2").arg(type, format)));
    const bool scientific = ImportNumberFormat::isScientific(format);
    for (const QString &value : values) {
        const QString trimmed = value.trimmed();
        if (trimmed.isEmpty())
            continue;
        if (const auto *number = std::get_if<std::shared_ptr<const ImportNumberFormat>>(&formatter)) {
            if ((!scientific && trimmed.contains(QLatin1Char('e'), Qt::CaseInsensitive)) ||
                !(*number)->parse(trimmed))
                return false;
        } else if (const auto *date = std::get_if<std::shared_ptr<const ImportDateFormat>>(&formatter)) {
            if (!(*date)->parse(trimmed))
                return false;
        }
    }
    return true;
}

} // namespace

AbstractImporter::AbstractImporter(const ImportOptions &options, const QString &filePath)
    : options_(options), filePath_(filePath)
{
}

AbstractImporter::~AbstractImporter() = default;

bool AbstractImporter::openForImport(bool preview)
{
    error_.clear();
    warnings_.clear();
    runningPreview_ = preview;
    if (!openSource())
        return false;
    if (!preview)
        return true;
    bool missingType = false;
    for (const ImportColumnPtr &column : options_.import_columns) {
        if (column->input_column_type.isEmpty()) {
            qDebug().noquote() << "column name has no input column type" << column->column_name;
            missingType = true;
        }
    }
    if (missingType) {
        detectColumnTypes();
        close();
        if (!openSource())
            return false;
    }
    determineColumnMapping();
    return true;
}

std::optional<QStringList> AbstractImporter::readNextFields()
{
    const std::optional<ImportRow> row = readNextRow();
    if (!row)
        return std::nullopt;
    QStringList fields;
    fields.reserve(options_.import_columns.size());
    for (const ImportColumnPtr &column : options_.import_columns)
        fields.append(row->value(column->column_name));
    return fields;
}

QList<ImportRow> AbstractImporter::readRows(int limit)
{
    QList<ImportRow> rows;
    while (rows.size() < limit) {
        std::optional<ImportRow> row = readNextRow();
        if (!row)
            break;
        rows.append(*row);
    }
    return rows;
}

void AbstractImporter::detectColumnTypes()
{
    const QList<ImportRow> rows = readRows(100);
    for (const ImportColumnPtr &column : options_.import_columns)
        autoDetectColumn(*column, rows, QString());
}

void AbstractImporter::autoDetectColumn(qsizetype index, const QString &type)
{
    const QList<ImportRow> rows = readRows(100);
    if (index >= 0 && index < options_.import_columns.size())
        autoDetectColumn(*options_.import_columns[index], rows, type);
}

void AbstractImporter::autoDetectColumn(ImportColumn &column, const QList<ImportRow> &rows,
                                        const QString &type)
{
    QStringList values;
    for (const ImportRow &row : rows) {
        if (const auto found = row.constFind(column.column_name); found != row.constEnd())
            values.append(*found);
    }
    QString resultType = QStringLiteral("S");
    QString resultFormat;
    QStringList candidates;
    if (!type.isEmpty() && type != QLatin1String("D") && type != QLatin1String("N")) {
        resultType = type;
    } else if (!type.isEmpty()) {
        resultType = type;
        candidates = {type};
    } else {
        bool textual = false;
        for (const QString &value : values)
            textual = textual || (!value.isEmpty() && !holdsDigit(value));
        if (!textual)
            candidates = {QStringLiteral("D"), QStringLiteral("N")};
    }
    // A strict pass first; a lenient pass then replaces its result where its first candidate fits.
    for (const bool lenient : {false, true}) {
        const bool hadResult = !resultFormat.isEmpty();
        for (qsizetype c = 0; c < candidates.size(); ++c) {
            QString found;
            for (const QString &format : options_.supportedAutodetectFormatsForColumnType(candidates[c])) {
                if (fits(options_, candidates[c], format, lenient, values)) {
                    found = format;
                    break;
                }
            }
            if (!found.isEmpty()) {
                resultType = candidates[c];
                resultFormat = found;
                break;
            }
            if (lenient && hadResult)
                break;
        }
    }
    if (resultFormat.isEmpty() && resultType != QLatin1String("S"))
        qDebug().noquote()
            << QStringLiteral("Failed to detect format for column %1 %2").arg(column.column_name, resultType);
    column.input_column_type = resultType;
    column.input_column_format = resultFormat;
}

void AbstractImporter::determineColumnMapping()
{
    QStringList remaining = options_.target_column_names;
    for (const ImportColumnPtr &column : options_.import_columns) {
        if (column->hidden)
            continue;
        if (!column->map_to.isEmpty()) {
            column->enabled = true;
            remaining.removeOne(column->map_to);
            continue;
        }
        QString target;
        for (const QString &name : remaining) {
            if (name.compare(column->column_name, Qt::CaseInsensitive) == 0) {
                target = name;
                break;
            }
        }
        if (target.isEmpty()) {
            for (const QString &name : remaining) {
                if (options_.target_column_types.value(name) == column->input_column_type) {
                    target = name;
                    break;
                }
            }
        }
        if (target.isEmpty()) {
            column->enabled = false;
            continue;
        }
        ImportOptions::setMappingOfColumn(*column, target);
        remaining.removeOne(target);
    }
}
