#pragma once

#include "transfer/ImportOptions.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// A row of the source: source column name to the field's text.
using ImportRow = QHash<QString, QString>;

// The base of the import's file readers. A reader works on its own copy of the options (sharing the
// column objects), reads one file on one thread, and on opening for a preview detects the value type
// and format of each column and maps the columns to the target table.
class AbstractImporter
{
public:
    AbstractImporter(const ImportOptions &options, const QString &filePath);
    virtual ~AbstractImporter();
    AbstractImporter(const AbstractImporter &) = delete;
    AbstractImporter &operator=(const AbstractImporter &) = delete;

    ImportOptions &importOptions() { return options_; }
    QString filePath() const { return filePath_; }
    // What went wrong reading; empty when nothing did.
    QString error() const { return error_; }
    // Texts of fields that were not text in the encoding (shown replaced).
    QStringList warnings() const { return warnings_; }
    bool runningPreview() const { return runningPreview_; }

    // Opens and positions at the first data row; a preview also detects types and maps columns.
    bool openForImport(bool preview);
    virtual void close() = 0;
    virtual std::optional<ImportRow> readNextRow() = 0;
    // The next row's fields in the order of the import columns (missing ones null), for the run that
    // reads every row; the default takes them from readNextRow.
    virtual std::optional<QStringList> readNextFields();
    virtual void autoDetect() = 0;
    virtual void autoDetectFormatOptions() = 0;
    virtual QString overviewFormatLine() const { return QString(); }
    int previewLoadRowCount() const { return options_.previewRowRestricted ? 100 : -1; }

    void detectColumnTypes();
    void autoDetectColumn(qsizetype index, const QString &type);
    void autoDetectColumn(ImportColumn &column, const QList<ImportRow> &rows, const QString &type);
    void determineColumnMapping();

protected:
    virtual bool openSource() = 0;
    void setError(const QString &error) { error_ = error; }
    void addWarning(const QString &warning) { warnings_.append(warning); }
    QList<ImportRow> readRows(int limit);

    ImportOptions options_;

private:
    QString filePath_;
    QString error_;
    QStringList warnings_;
    bool runningPreview_ = false;
};
