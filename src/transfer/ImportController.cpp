#include "transfer/ImportController.h"

#include "client/ImportRowPacker.h"
#include "client/VornImporterClient.h"
#include "platform/MainThread.h"
#include "status/StatusManager.h"
#include "transfer/ImportControllerDelegate.h"
#include "transfer/ImportPortionQueue.h"
#include "transfer/ImportStatements.h"
#include "transfer/PlainTextImporter.h"
#include "transfer/XLSXImporter.h"
#include "transfer/XLSXUnpackCache.h"

#include <QCoreApplication>
#include <QDebug>
#include <QFileInfo>

#include <thread>

namespace
{

QString text(const char *key)
{
    return QCoreApplication::translate("import", key);
}

// Statuses go out every this many rows.
constexpr qint64 statusEvery = 100;

} // namespace

// What the import thread works on and hands back; the controller's counters and state are shared
// with it, so that the status page follows the run and a cancel reaches it.
struct ImportController::RunResult {
    ImportOptions options;
    QString format;
    std::shared_ptr<XLSXUnpackCache> unpackCache;
    QString filePath;
    QString schema;
    QString table;
    VornRootClientPtr root;
    std::shared_ptr<StatusManager> status;
    std::shared_ptr<Counters> counters;
    std::function<void()> progress;
    QString errorMessage;
    QString resultLog;
    QString errorLog;
};

ImportController::ImportController(VornRootClientPtr vornRoot)
    : ConnectedController(std::move(vornRoot)), options_(std::make_shared<ImportOptions>()),
      unpackCache_(std::make_shared<XLSXUnpackCache>())
{
}

ImportController::~ImportController() = default;

void ImportController::reset()
{
    errorMessage_.clear();
    importResultLog_.clear();
    importResultErrorLog_.clear();
    selectedFormat_.clear();
    selectedFilePath_.clear();
    targetSchema_.clear();
    targetTable_.clear();
    selectedBrowserElement_.reset();
    options_->reset();
    counters_->state = Idle;
}

QStringList ImportController::supportedFormats()
{
    return {QStringLiteral("xlsx"), QStringLiteral("public.plain-text"), QStringLiteral("csv")};
}

QString ImportController::formatForFile(const QString &path)
{
    const QString extension = QFileInfo(path).suffix();
    if (extension == QLatin1String("xlsx"))
        return extension;
    return QStringLiteral("public.plain-text");
}

void ImportController::setSelectedFilePath(const QString &path)
{
    if (path == selectedFilePath_)
        return;
    selectedFilePath_ = path;
    selectedFormat_ = formatForFile(path);
    baseSourceTargetUpdate(true);
}

void ImportController::setSelectedTable(const QString &schema, const QString &table)
{
    if (schema == targetSchema_ && table == targetTable_)
        return;
    targetSchema_ = schema;
    targetTable_ = table;
    baseSourceTargetUpdate(!previewRows_);
}

void ImportController::baseSourceTargetUpdate(bool resetOptions)
{
    hadInitialPreview_ = false;
    if (resetOptions) {
        options_->reset();
        needAutodetect_ = needAutodetectFormatOptions_ = true;
    }
    options_->targetReset();
    if (!targetTable_.isEmpty() && requestRootReservation(QString())) {
        // A short lookup of the table's columns, as the pages that show them need it at once.
        if (const std::shared_ptr<VornImporterClient> importer = vornRoot()->importer()) {
            for (const ImportTargetColumn &column : importer->columnsOfTable(targetSchema_, targetTable_)) {
                options_->target_column_names.append(column.name);
                options_->target_column_types.insert(column.name, column.type);
            }
        }
        releaseRootReservation();
    }
    updatePreview();
}

void ImportController::reloadWithUpdatedImportOptions(bool redetect)
{
    if (redetect)
        options_->import_columns.clear();
    needAutodetectFormatOptions_ = redetect;
    updatePreview();
}

std::unique_ptr<AbstractImporter> ImportController::importerFor(const QString &format,
                                                                const ImportOptions &options,
                                                                const QString &filePath,
                                                                const std::shared_ptr<XLSXUnpackCache> &cache)
{
    if (format == QLatin1String("public.plain-text"))
        return std::make_unique<PlainTextImporter>(options, filePath);
    if (format == QLatin1String("xlsx"))
        return std::make_unique<XLSXImporter>(options, filePath, cache);
    qWarning().noquote() << QStringLiteral("Importer for %1 not found").arg(format);
    return nullptr;
}

std::unique_ptr<AbstractImporter> ImportController::createAppropriateImporter() const
{
    return importerFor(selectedFormat_, *options_, selectedFilePath_, unpackCache_);
}

void ImportController::updatePreview()
{
    previewRows_.reset();
    if (importDelegate_)
        importDelegate_->importControllerHasUpdatedPreview(this);
    if (selectedFilePath_.isEmpty())
        return;
    std::shared_ptr<AbstractImporter> importer = createAppropriateImporter();
    if (!importer)
        return;
    const quint64 generation = ++*previewGeneration_;
    const bool detectAll = std::exchange(needAutodetect_, false);
    const bool detectOptions = std::exchange(needAutodetectFormatOptions_, false);
    // The preview reads only the file: no reservation, no registration.
    std::thread([this, importer, generation, detectAll, detectOptions,
                 alive = std::weak_ptr<const char>(alive_)] {
        if (detectAll)
            importer->autoDetect();
        else if (detectOptions)
            importer->autoDetectFormatOptions();
        auto rows = std::make_shared<QList<ImportRow>>();
        if (importer->openForImport(true)) {
            const int limit = importer->previewLoadRowCount() < 0 ? 100000 : importer->previewLoadRowCount();
            while (rows->size() < limit) {
                std::optional<ImportRow> row = importer->readNextRow();
                if (!row)
                    break;
                rows->append(*row);
            }
        }
        importer->close();
        MainThread::post([this, importer, rows, generation, alive] {
            if (!alive.expired())
                previewDone(importer, rows, generation);
        });
    }).detach();
}

QString ImportController::overviewFormatLine() const
{
    const std::unique_ptr<AbstractImporter> importer = createAppropriateImporter();
    return importer ? importer->overviewFormatLine() : QString();
}

QStringList ImportController::sequenceList() const
{
    const std::shared_ptr<VornImporterClient> importer = vornRoot()->importer();
    return importer ? importer->sequences(targetSchema_) : QStringList();
}

void ImportController::sendStatusUpdate()
{
    if (importDelegate_)
        importDelegate_->importControllerStatusUpdated(this);
}

void ImportController::cancelImport()
{
    counters_->state = Stopped;
}

void ImportController::endImportController()
{
    ++*previewGeneration_;
    previewRows_.reset();
    unpackCache_->clear();
}

void ImportController::beginImport()
{
    if (targetTable_.isEmpty() || selectedFilePath_.isEmpty())
        return;
    counters_->rowsImported = 0;
    counters_->rowsNotImported = 0;
    counters_->state = Starting;
    if (!requestRootReservation(text("Importing"))) {
        counters_->state = Failed;
        errorMessage_ = text("Couldn't access the database");
        MainThread::post([this, alive = std::weak_ptr<const char>(alive_)] {
            if (!alive.expired())
                sendStatusUpdate();
        });
        return;
    }
    auto run = std::make_shared<RunResult>();
    run->options = *options_;
    run->format = selectedFormat_;
    run->unpackCache = unpackCache_;
    run->filePath = selectedFilePath_;
    run->schema = targetSchema_;
    run->table = targetTable_;
    run->root = vornRoot();
    run->status = statusManager();
    run->counters = counters_;
    // A status waits on the main thread at most once: it reads the counters when it runs, and a run of
    // a million rows must not queue ten thousand of them.
    auto statusQueued = std::make_shared<std::atomic<bool>>(false);
    run->progress = [this, alive = std::weak_ptr<const char>(alive_), statusQueued] {
        if (statusQueued->exchange(true))
            return;
        MainThread::post([this, alive, statusQueued] {
            statusQueued->store(false);
            if (!alive.expired())
                sendStatusUpdate();
        });
    };
    BackgroundJob job;
    job.threadName = QStringLiteral("Import thread");
    job.work = [run](const WorkerControl &) { importRun(run); };
    job.failed = [run](const QString &message) {
        run->counters->state.store(Failed);
        run->errorMessage = message;
        if (run->status)
            run->status->setConnectionStatus(text("Error importing data"), message);
    };
    job.done = [this, run] {
        errorMessage_ = run->errorMessage;
        importResultLog_ = run->resultLog;
        importResultErrorLog_ = run->errorLog;
        sendStatusUpdate();
    };
    runReserved(std::move(job));
}

namespace
{

// Rows cross to the backend in batches of this many rows or characters, whichever comes first.
constexpr int batchRows = 5000;
constexpr qsizetype batchCharacters = 1 << 20;

// A column the run writes: the field its value comes from and the parser of its format, looked up
// once for the whole run.
struct WrittenColumn {
    ImportColumnPtr column;
    qsizetype field = 0;
    ImportOptions::Formatter formatter;
};

// The values of a row as the backend takes them, one per written column (null for NULL, and for a
// sequence column); a value its column's format does not take makes the row refused with a message.
bool convertRow(const std::vector<WrittenColumn> &written, const QStringList &fields,
                std::vector<QString> &values, QString *refusal)
{
    values.assign(written.size(), QString());
    for (size_t i = 0; i < written.size(); ++i) {
        const ImportColumn &column = *written[i].column;
        const QString source = fields.value(written[i].field);
        if (column.sequence || source.isEmpty())
            continue;
        const ImportValue value = ImportOptions::convertColumnValue(source, column, written[i].formatter);
        if (value.kind == ImportValue::Invalid) {
            *refusal = QCoreApplication::translate(
                           "import", "The value \"%1\" of column %2 does not have the format %3")
                           .arg(source, column.column_name, column.input_column_format);
            return false;
        }
        if (value.kind != ImportValue::Missing)
            values[i] = value.kind == ImportValue::Text ? value.text : value.backendText();
    }
    return true;
}

// Target column to value, NULL left out: the row as the INSERT text and the logs show it.
QVariantMap valueMap(const std::vector<WrittenColumn> &written, const std::vector<QString> &values)
{
    QVariantMap map;
    for (size_t i = 0; i < written.size(); ++i) {
        if (!values[i].isNull())
            map.insert(written[i].column->map_to, values[i]);
    }
    return map;
}

// The fields of a refused row as they were given, by target column.
QVariantMap givenMap(const std::vector<WrittenColumn> &written, const QStringList &fields)
{
    QVariantMap map;
    for (const WrittenColumn &column : written) {
        if (!column.column->sequence)
            map.insert(column.column->map_to, fields.value(column.field));
    }
    return map;
}

// Rows read ahead for the backend: packed rows, then, when one was found, the row after them that its
// format refused.
struct ReadPortion {
    struct Refusal {
        QVariantMap given;
        QString message;
    };
    ImportRowPacker rows;
    std::optional<Refusal> refusal;
};

// Portions waiting to be written, read ahead of the backend.
constexpr size_t readAhead = 3;

// Reads and converts the rows into portions until the file ends, the queue is closed, the run is
// stopped, or (stopping on errors) a row is refused; statuses go out every statusEvery rows read.
void readPortions(AbstractImporter &reader, const std::vector<WrittenColumn> &written, bool stopOnError,
                  const std::atomic<qint64> &state, const std::function<void()> &progress,
                  ImportPortionQueue<ReadPortion> &portions)
{
    ReadPortion portion;
    std::vector<QString> values;
    qint64 handled = 0;
    bool more = true;
    while (more && state.load() != ImportController::Stopped) {
        const std::optional<QStringList> fields = reader.readNextFields();
        if (!fields)
            break;
        ++handled;
        QString refusal;
        if (!convertRow(written, *fields, values, &refusal)) {
            portion.refusal = ReadPortion::Refusal{givenMap(written, *fields), refusal};
            more = !stopOnError;
        } else {
            ImportRowPacker &rows = portion.rows;
            rows.beginRow();
            for (const QString &value : values) {
                if (value.isNull())
                    rows.appendNull();
                else
                    rows.appendText(value);
            }
        }
        if (handled % statusEvery == 0)
            progress();
        if (portion.refusal || portion.rows.rowCount() >= batchRows ||
            portion.rows.characterCount() >= batchCharacters) {
            more = portions.push(std::move(portion)) && more;
            portion = ReadPortion();
        }
    }
    if (portion.rows.rowCount() > 0)
        portions.push(std::move(portion));
    portions.close();
}

} // namespace

void ImportController::importRun(const std::shared_ptr<RunResult> &run)
{
    std::atomic<qint64> &state = run->counters->state;
    if (run->status)
        run->status->setActiveConnectionStatus(text("Importing data"));
    run->progress();
    const std::unique_ptr<AbstractImporter> readerOfFormat =
        importerFor(run->format, run->options, run->filePath, run->unpackCache);
    if (!readerOfFormat || !readerOfFormat->openForImport(false)) {
        state = Failed;
        run->errorMessage =
            readerOfFormat ? readerOfFormat->error() : text("Couldn't prepare the import table");
        if (run->status)
            run->status->setConnectionStatus(text("Error importing data"), run->errorMessage);
        return;
    }
    AbstractImporter &reader = *readerOfFormat;
    ImportOptions &options = reader.importOptions();
    const std::shared_ptr<VornImporterClient> importer = run->root->importer();
    if (!importer) {
        state = Failed;
        run->errorMessage = text("Couldn't prepare the import table");
        return;
    }
    if (state.load() != Stopped)
        state = Running;
    run->progress();
    const bool direct = !options.importToSql;
    std::vector<WrittenColumn> written;
    QList<ImportColumnTarget> targets;
    for (qsizetype i = 0; i < options.import_columns.size(); ++i) {
        const ImportColumnPtr &column = options.import_columns[i];
        if (!column->enabled || column->map_to.isEmpty())
            continue;
        targets.append({column->map_to, column->sequence ? column->column_name : QString()});
        written.push_back(
            {column, i,
             options.formatterForType(column->input_column_type, column->input_column_format, true)});
    }
    if (direct) {
        if (!importer->prepareImport(run->schema, run->table, targets)) {
            state = Failed;
            const QString reason = run->root->lastErrorMessage();
            run->errorMessage = text("Couldn't prepare the import table");
            if (!reason.isEmpty())
                run->errorMessage += QStringLiteral(": ") + reason;
            if (run->status)
                run->status->setConnectionStatus(text("Error importing data"), run->errorMessage);
            return;
        }
        importer->setStopOnError(options.stopOnError);
    }
    QStringList resultLog;
    QStringList errorLog;
    auto refuse = [&](const QVariantMap &values, const QString &message) {
        run->counters->rowsNotImported.fetch_add(1);
        errorLog.append(
            QStringLiteral("%1;\n--%2\n\n")
                .arg(importStatement(*importer, options, run->schema, run->table, values), message));
    };
    // Rows of a batch the backend refused later were counted as imported when they were taken, and so
    // were the rows after a refusal that stopped the run.
    auto takeRefused = [&] {
        const QList<RefusedImportRow> refused = importer->takeRefusedRows();
        for (const RefusedImportRow &row : refused) {
            run->counters->rowsImported.fetch_sub(1 + row.rowsNotWritten);
            refuse(row.values, row.message);
        }
        return !refused.isEmpty();
    };
    ImportRowPacker pending;
    bool failed = false;
    // Hands the waiting rows over; false when the run must stop (a refusal with stop on error, or a
    // backend failure, which fails the run).
    auto send = [&] {
        const int sent = pending.rowCount();
        if (sent == 0)
            return true;
        const int taken = importer->addRows(pending);
        if (taken < 0) {
            failed = true;
            run->counters->rowsNotImported.fetch_add(sent);
            run->errorMessage = run->root->lastOutcome().errorMessage;
            errorLog.append(QStringLiteral("--%1\n\n").arg(run->errorMessage));
            return false;
        }
        run->counters->rowsImported.fetch_add(taken);
        const bool refused = takeRefused();
        return taken == sent && !(refused && options.stopOnError);
    };
    if (direct) {
        // The file is read and its values converted on a thread of their own, a few portions ahead of
        // the backend writing the ones before.
        ImportPortionQueue<ReadPortion> portions(readAhead);
        std::thread producer(
            [&] { readPortions(reader, written, options.stopOnError, state, run->progress, portions); });
        while (std::optional<ReadPortion> portion = portions.pop()) {
            // Rows read but not handed over when the user stopped the run are not imported.
            if (state.load() == Stopped)
                break;
            pending = std::move(portion->rows);
            bool stop = !send();
            // A row its format refused comes after the rows before it, so that a refusal among those
            // stops the run where it is.
            if (!stop && portion->refusal) {
                refuse(portion->refusal->given, portion->refusal->message);
                stop = options.stopOnError;
            }
            if (stop)
                break;
        }
        portions.close();
        producer.join();
    } else {
        qint64 handled = 0;
        std::vector<QString> values;
        while (state.load() != Stopped) {
            const std::optional<QStringList> fields = reader.readNextFields();
            if (!fields)
                break;
            ++handled;
            QString refusal;
            if (!convertRow(written, *fields, values, &refusal)) {
                refuse(givenMap(written, *fields), refusal);
            } else {
                run->counters->rowsImported.fetch_add(1);
                resultLog.append(
                    importStatement(*importer, options, run->schema, run->table, valueMap(written, values)) +
                    QStringLiteral(";\n\n"));
            }
            if (handled % statusEvery == 0)
                run->progress();
        }
    }
    if (direct) {
        if (!importer->closeImport() && !failed) {
            const BackendOutcome outcome = run->root->lastOutcome();
            refuse({}, outcome.errorMessage);
        }
        takeRefused();
    }
    reader.close();
    run->resultLog = resultLog.join(QString());
    run->errorLog = errorLog.join(QString());
    if (!reader.warnings().isEmpty())
        run->errorLog +=
            QStringLiteral("-- ") + reader.warnings().join(QStringLiteral("\n-- ")) + QLatin1Char('\n');
    if (failed) {
        state = Failed;
        if (run->status)
            run->status->setConnectionStatus(text("Error importing data"), run->errorMessage);
        return;
    }
    if (state.load() == Stopped) {
        if (run->status)
            run->status->setConnectionStatus(text("Importing process stopped"));
        return;
    }
    if (!direct)
        run->errorMessage = text("Generated SQL statements");
    else if (run->counters->rowsNotImported.load() > 0)
        run->errorMessage = text("There is non imported data");
    if (run->status)
        run->status->setConnectionStatus(text("Importing process completed"));
    state = run->counters->rowsNotImported.load() < 1 ? Completed : CompletedWithRefusals;
}
