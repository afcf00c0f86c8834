#pragma once

#include "transfer/ExportOptions.h"

#include <QByteArray>
#include <QFile>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

class ExportEncoding;
class PackedRows;
class VornExportCursorClient;

// What one run of an exporter works with. The options are a copy taken when the export began.
struct ExportRun {
    ExportOptions options;
    // The rows; none fails the run.
    VornExportCursorClient *cursor = nullptr;
    QString temporaryFile;
    // Asked before each record: once true, no further record is started.
    std::function<bool()> cancelled;
    // Told the records written, every 1000, once they are in the file.
    std::function<void(qint64 processed)> progress;
};

// Turns the rows of an export cursor into a text file: the byte-order mark of the encoding, a header
// where the format has one, then one record per row. Rows come in batches, and the text is written in
// pieces of at most 1000 records, so memory does not grow with the number of records. A failure (a
// write error, a character the encoding cannot hold, a backend failure) ends the run with a message.
class AbstractExporter
{
public:
    AbstractExporter();
    AbstractExporter(const AbstractExporter &) = delete;
    AbstractExporter &operator=(const AbstractExporter &) = delete;
    virtual ~AbstractExporter();

    // Writes the records and closes the cursor, also when cancelled or failed.
    void runForExport(const ExportRun &run);
    qint64 processed() const { return processed_; }
    // Null when the run succeeded.
    QString errorMessage() const { return errorMessage_; }

protected:
    // The header text (with its line end); the base writes none.
    virtual QString header(const QList<ExportColumn> &columns);
    // Prepares for writing, after the cursor began.
    virtual void prepare(const QList<ExportColumn> &, VornExportCursorClient &) {}
    // Appends one record (with its line end); cells gives the cursor's column of each exported column
    // (-1 for a column the cursor lacks).
    virtual void appendRecord(QString &text, const PackedRows &rows, int row,
                              const std::vector<int> &cells) = 0;
    // Whether the records want each cell as its SQL literal.
    virtual bool wantsSqlValues() const { return false; }

    const ExportOptions &options() const { return run_->options; }
    const ExportRun &exportRun() const { return *run_; }
    // Writes the file from the begun cursor; the base writes text in the options' encoding.
    virtual void write();
    void recordWritten() { ++processed_; }
    void fail(const QString &message);

private:
    bool writeText(const QString &text, qint64 firstRecord);

    const ExportRun *run_ = nullptr;
    qint64 processed_ = 0;
    QString errorMessage_;
    QFile file_;
    std::unique_ptr<ExportEncoding> encoding_;
    // Where each record of the pending text begins, to name the record that cannot be encoded.
    std::vector<qsizetype> recordStarts_;
};
