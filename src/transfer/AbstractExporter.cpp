#include "transfer/AbstractExporter.h"

#include "client/PackedRows.h"
#include "client/VornExportCursorClient.h"
#include "transfer/ExportEncoding.h"

#include <QCoreApplication>

#include <limits>

namespace
{
constexpr qint64 ProgressInterval = 1000;

QString tr(const char *text)
{
    return QCoreApplication::translate("export", text);
}
} // namespace

AbstractExporter::AbstractExporter() = default;
AbstractExporter::~AbstractExporter() = default;

QString AbstractExporter::header(const QList<ExportColumn> &)
{
    return QString();
}

void AbstractExporter::runForExport(const ExportRun &run)
{
    run_ = &run;
    processed_ = 0;
    errorMessage_.clear();
    if (!run.cursor) {
        fail(tr("There is nothing to export: choose a table or the current result set."));
        return;
    }
    const bool begun = run.cursor->begin();
    if (begun)
        write();
    run.cursor->close();
    // A batch the backend could not read ends the rows early: the export failed, whatever came after.
    const QString failure = run.cursor->failure();
    if (!begun || !failure.isNull())
        fail(failure);
}

void AbstractExporter::write()
{
    file_.setFileName(run_->temporaryFile);
    if (!file_.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        fail(tr("The export could not write the file %1: %2").arg(run_->temporaryFile, file_.errorString()));
        return;
    }
    encoding_ = std::make_unique<ExportEncoding>(options().stringEncoding);
    const QList<ExportColumn> columns = options().enabledColumns();
    const QStringList sourceColumns = run_->cursor->columnNames();
    std::vector<int> cells;
    for (const ExportColumn &column : columns)
        cells.push_back(int(sourceColumns.indexOf(column.column_name)));
    prepare(columns, *run_->cursor);

    file_.write(encoding_->byteOrderMark());
    QString text = header(columns);
    if (!writeText(text, 0))
        return;
    text.clear();
    const qint64 limit =
        options().recordSourceCount >= 1 ? options().recordSourceCount : std::numeric_limits<qint64>::max();
    qint64 firstPending = 1;
    bool more = processed_ < limit;
    while (more) {
        if (run_->cancelled && run_->cancelled())
            break;
        const std::shared_ptr<const PackedRows> rows =
            wantsSqlValues() ? run_->cursor->nextSqlValues() : run_->cursor->nextRows();
        if (!rows)
            break;
        for (int row = 0; row < rows->rowCount() && more; ++row) {
            if (row > 0 && run_->cancelled && run_->cancelled()) {
                more = false;
                break;
            }
            recordStarts_.push_back(text.size());
            appendRecord(text, *rows, row, cells);
            ++processed_;
            more = processed_ < limit;
            if (processed_ % ProgressInterval == 0) {
                if (!writeText(text, firstPending))
                    return;
                text.clear();
                firstPending = processed_ + 1;
                if (run_->progress)
                    run_->progress(processed_);
            }
        }
    }
    if (!writeText(text, firstPending))
        return;
    file_.close();
    if (file_.error() != QFileDevice::NoError)
        fail(tr("The export could not write the file %1: %2").arg(run_->temporaryFile, file_.errorString()));
}

bool AbstractExporter::writeText(const QString &text, qint64 firstRecord)
{
    QByteArray bytes;
    if (!encoding_->encode(text, bytes)) {
        const QString encoding = ExportOptions::nameForEncoding(options().stringEncoding);
        if (firstRecord == 0) {
            fail(tr("The column names hold a character that %1 cannot represent.").arg(encoding));
            return false;
        }
        // Name the first record that cannot be encoded.
        qint64 record = firstRecord;
        for (size_t i = 0; i < recordStarts_.size(); ++i, ++record) {
            const qsizetype end = i + 1 < recordStarts_.size() ? recordStarts_[i + 1] : text.size();
            QByteArray probe;
            if (!encoding_->encode(QStringView(text).mid(recordStarts_[i], end - recordStarts_[i]), probe))
                break;
        }
        fail(tr("Record %1 holds a character that %2 cannot represent.").arg(record).arg(encoding));
        return false;
    }
    recordStarts_.clear();
    if (file_.write(bytes) != bytes.size()) {
        fail(tr("The export could not write the file %1: %2").arg(run_->temporaryFile, file_.errorString()));
        return false;
    }
    return true;
}

void AbstractExporter::fail(const QString &message)
{
    if (errorMessage_.isNull())
        errorMessage_ = message.isEmpty() ? tr("The export failed.") : message;
}
