#pragma once

#include "transfer/ImportColumn.h"
#include "transfer/ImportDateFormat.h"
#include "transfer/ImportNumberFormat.h"
#include "transfer/ImportValue.h"

#include <QHash>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

#include <memory>
#include <mutex>
#include <variant>

// The settings of one import session: how the source is read, how each source column is taken and
// where it goes, and how the import runs. Copies share the ImportColumn objects but not the caches.
class ImportOptions
{
public:
    ImportOptions() = default;
    ImportOptions(const ImportOptions &other);
    ImportOptions &operator=(const ImportOptions &other);

    bool previewRowRestricted = false;
    QChar separator;
    bool content_headers = false;
    bool skip_empty_rows = false;
    qint64 skip_start_rows = 0;
    QChar quote;
    bool quote_escape_double = false;
    bool fixed_width = false;
    QChar fixed_width_filler;
    bool fixed_width_default_align_left = false;
    QList<int> fixed_width_column_widths;
    qint64 characterLength = 0;
    bool bigEndian = false;
    quint64 stringEncoding = 0;
    // The workbook sheet read (its relationship id), the visible sheets in workbook order and their names.
    QString sheet;
    QStringList sheet_ids;
    QMap<QString, QString> sheet_names;
    bool importToSql = false;
    bool stopOnError = false;
    QList<ImportColumnPtr> import_columns;
    QStringList target_column_names;
    QMap<QString, QString> target_column_types;

    void reset();
    void targetReset();
    void resetTypeDetection();
    void setStringEncoding(quint64 encoding);
    void setFixed_width_column_widths(const QList<int> &widths);
    void updateImportColumnCount(qsizetype count);
    static void setMappingOfColumn(ImportColumn &column, const QString &target);

    static QStringList supportedFormatsForColumnType(const QString &type);
    QStringList supportedAutodetectFormatsForColumnType(const QString &type);

    using Formatter = std::variant<std::monostate, std::shared_ptr<const ImportNumberFormat>,
                                   std::shared_ptr<const ImportDateFormat>>;
    // The parser of a type ("N" or "D") and format; none for other types. Made once per key.
    Formatter formatterForType(const QString &type, const QString &format, bool lenient);
    // The text as its column takes it: "S" columns keep it as it is; an empty text is Missing; a
    // text the lenient parser of the column's format refuses is Invalid.
    ImportValue convertColumnValue(const QString &text, const ImportColumn &column);
    // As above with the column's lenient formatter already looked up (loops over many rows do it once).
    static ImportValue convertColumnValue(const QString &text, const ImportColumn &column,
                                          const Formatter &formatter);

    QList<ImportColumnPtr> nonHiddenImportColumns() const;
    qsizetype nonSequenceColumnCount() const;
    void removeSequenceColumn(qsizetype index);
    void addSequence(const QString &sequenceName, const QString &mapTo);

private:
    mutable std::mutex cacheMutex_;
    QHash<QString, Formatter> formatCache_;
    QHash<QString, QStringList> autodetectCache_;
};

using ImportOptionsPtr = std::shared_ptr<ImportOptions>;
