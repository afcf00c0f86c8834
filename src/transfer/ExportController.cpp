#include "transfer/ExportController.h"

#include "client/JavaCall.h"
#include "client/VornBrowserClient.h"
#include "client/VornExportCursorClient.h"
#include "client/VornResultset.h"
#include "platform/MainThread.h"
#include "platform/Preferences.h"
#include "platform/UserDefaults.h"
#include "status/StatusManager.h"
#include "transfer/CSVExporter.h"
#include "transfer/ExportControllerDelegate.h"
#include "transfer/ExportDestination.h"
#include "transfer/ExportEncoding.h"
#include "transfer/SqlExporter.h"
#include "transfer/TransferLog.h"
#include "transfer/XLSXExporter.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QGuiApplication>

#include <atomic>
#include <mutex>
#include <thread>

namespace
{
QString tr(const char *text)
{
    return QCoreApplication::translate("export", text);
}

const QString Csv = QStringLiteral("csv");
const QString Sql = QStringLiteral("sql");
const QString Xlsx = QStringLiteral("xlsx");

// Seconds between the Unix epoch and 2001-01-01 UTC, the reference date of temporary names.
constexpr double ReferenceDateOffset = 978307200.0;

QString newTemporaryFile()
{
    const double seconds = QDateTime::currentMSecsSinceEpoch() / 1000.0 - ReferenceDateOffset;
    return QDir::temp().filePath(QStringLiteral("vorn-export-%1.dat").arg(seconds, 0, 'f', 6));
}
} // namespace

// The state of one run, shared by the controller and the threads of the run. The owner is read and
// cleared on the main thread only; a run whose controller went on (reset, destroyed) reports to nobody.
struct ExportController::Run {
    std::atomic<qint64> state{ExportStateIdle};
    std::atomic<qint64> exportedCount{0};
    ExportController *owner = nullptr;

    QString errorMessage() const
    {
        std::lock_guard lock(mutex);
        return errorMessage_;
    }
    QString temporaryFile() const
    {
        std::lock_guard lock(mutex);
        return temporaryFile_;
    }
    void setTemporaryFile(const QString &path)
    {
        std::lock_guard lock(mutex);
        temporaryFile_ = path;
    }
    // Moves to the state unless the run was cancelled or failed first: a cancel stays a cancel.
    bool advance(qint64 to)
    {
        qint64 current = state.load();
        while (current != ExportStateCancelled && current != ExportStateError) {
            if (state.compare_exchange_weak(current, to))
                return true;
        }
        return false;
    }
    bool fail(const QString &message)
    {
        {
            std::lock_guard lock(mutex);
            errorMessage_ = message;
        }
        return advance(ExportStateError);
    }
    bool cancelled() const { return state.load() == ExportStateCancelled; }

    // Tells the owner on the main thread, without waiting.
    static void postUpdate(const std::shared_ptr<Run> &run)
    {
        MainThread::post([run] {
            if (run->owner)
                run->owner->sendStatusUpdate();
        });
    }

private:
    mutable std::mutex mutex;
    QString errorMessage_;
    QString temporaryFile_;
};

ExportController::ExportController(VornRootClientPtr vornRoot) : ConnectedController(std::move(vornRoot))
{
    run_ = std::make_shared<Run>();
    run_->owner = this;
}

ExportController::~ExportController()
{
    run_->owner = nullptr;
}

void ExportController::reset()
{
    run_->owner = nullptr;
    run_ = std::make_shared<Run>();
    run_->owner = this;
    selectedFormat_.clear();
    selectedFileURL_.clear();
    selectedBrowserElement_.reset();
    selectCurrentResultset_ = false;
    options_.reset();

    UserDefaults &defaults = UserDefaults::standard();
    if (defaults.contains(PreferenceKey::exportFormat))
        selectedFormat_ = defaults.stringForKey(PreferenceKey::exportFormat);
    if (defaults.contains(PreferenceKey::exportEncoding))
        options_.stringEncoding = quint64(defaults.integerForKey(PreferenceKey::exportEncoding));
    if (defaults.contains(PreferenceKey::exportSource))
        options_.recordSourceCount = defaults.integerForKey(PreferenceKey::exportSource);
    if (defaults.contains(PreferenceKey::exportIncludeHeader))
        options_.includeHeaders = defaults.boolForKey(PreferenceKey::exportIncludeHeader);
    const QString separator = defaults.stringForKey(PreferenceKey::exportCSVSeparator);
    if (!separator.isEmpty())
        options_.delimiter = separator.front();
    if (defaults.contains(PreferenceKey::exportDoubleQuoteColumns))
        options_.doubleQuoteResults = defaults.boolForKey(PreferenceKey::exportDoubleQuoteColumns);
    if (defaults.contains(PreferenceKey::exportToClipboard))
        options_.exportToClipboard = defaults.boolForKey(PreferenceKey::exportToClipboard);
}

void ExportController::settingsUpdate()
{
    UserDefaults &defaults = UserDefaults::standard();
    if (!selectedFormat_.isEmpty())
        defaults.setObject(selectedFormat_, PreferenceKey::exportFormat);
    defaults.setObject(qint64(options_.stringEncoding), PreferenceKey::exportEncoding);
    defaults.setObject(options_.recordSourceCount, PreferenceKey::exportSource);
    defaults.setObject(options_.includeHeaders, PreferenceKey::exportIncludeHeader);
    defaults.setObject(QString(options_.delimiter), PreferenceKey::exportCSVSeparator);
    defaults.setObject(options_.doubleQuoteResults, PreferenceKey::exportDoubleQuoteColumns);
    defaults.setObject(options_.exportToClipboard, PreferenceKey::exportToClipboard);
}

void ExportController::setSelectedBrowserElement(const BrowserElementPtr &element)
{
    selectedBrowserElement_ = element;
    if (!element)
        return;
    selectCurrentResultset_ = false;
    updateSupportedColumnNames();
    options_.sheetName = element->name();
}

void ExportController::setSelectCurrentResultset(bool selected)
{
    selectCurrentResultset_ = selected;
    if (selected) {
        selectedBrowserElement_.reset();
        updateSupportedColumnNames();
    }
    const QStringList formats = supportedFormats();
    if (!formats.contains(selectedFormat_))
        setSelectedFormat(formats.first());
    if (selected) {
        const QString table = resultsetDescription().table;
        options_.sheetName = table.isEmpty() ? tr("Export") : table;
    }
}

void ExportController::setSelectedFormat(const QString &format)
{
    selectedFormat_ = format;
    // A workbook is a file; it cannot go to the clipboard.
    if (format == Xlsx)
        options_.exportToClipboard = false;
}

QStringList ExportController::supportedFormats() const
{
    QStringList formats{Xlsx, Csv};
    if (!sqlTableName().isEmpty())
        formats.append(Sql);
    return formats;
}

QString ExportController::sqlTableName() const
{
    if (selectedBrowserElement_)
        return selectedBrowserElement_->name();
    if (selectCurrentResultset_)
        return resultsetDescription().table;
    return QString();
}

QList<BrowserElementPtr> ExportController::supportedExportBrowserElements() const
{
    return exportDelegate_ ? exportDelegate_->exportControllerNeedsExportableBrowserElements(
                                 const_cast<ExportController *>(this))
                           : QList<BrowserElementPtr>{};
}

bool ExportController::supportsExportCurrentResult() const
{
    const std::shared_ptr<VornResultset> resultset = vornRoot() ? vornRoot()->resultset() : nullptr;
    return resultset && resultset->rowCount() > 0;
}

ExtendedResultsetDescription ExportController::resultsetDescription() const
{
    return exportDelegate_ ? exportDelegate_->exportControllerNeedsResultsetDescription(
                                 const_cast<ExportController *>(this))
                           : ExtendedResultsetDescription{};
}

void ExportController::updateSupportedColumnNames()
{
    std::unique_ptr<VornExportCursorClient> cursor;
    if (selectedBrowserElement_) {
        const QString table = vornRoot()->browser()->fullyQualifiedTableNameOfElement(
            selectedBrowserElement_->type(), selectedBrowserElement_->schema(),
            selectedBrowserElement_->name());
        cursor = VornExportCursorClient::forQuery(*vornRoot(),
                                                  QStringLiteral("select * from %1 where 1=0").arg(table));
        if (cursor && !cursor->begin())
            cursor.reset();
    } else if (selectCurrentResultset_) {
        if (const std::shared_ptr<VornResultset> resultset = vornRoot()->resultset())
            cursor = VornExportCursorClient::forResultset(*resultset);
    }
    if (!cursor)
        return;
    const QStringList names = cursor->columnNames();
    const QHash<QString, QString> types = cursor->columnTypes();
    if (selectedBrowserElement_)
        cursor->close();
    options_.loadColumns(names, types);
}

QString ExportController::nameForFormat(const QString &format)
{
    if (format == QLatin1String("xlsx"))
        return tr("Office Open XML-spreadsheet (.xlsx / Microsoft Excel)");
    if (format == Csv)
        return tr("Comma Separated Values (.csv)");
    if (format == Sql)
        return tr("Structured Query Language (.sql)");
    return format;
}

bool ExportController::supportHeaders() const
{
    return selectedFormat_ == Csv || selectedFormat_ == Xlsx;
}

bool ExportController::supportDestinationOptions() const
{
    return selectedFormat_ == Csv || selectedFormat_ == Sql;
}

bool ExportController::supportSheetDestinationOptions() const
{
    return selectedFormat_ == Xlsx;
}

bool ExportController::supportCustomOptions() const
{
    return selectedFormat_ == Csv;
}

QString ExportController::preferredFileType() const
{
    return selectedFormat_ == Csv || selectedFormat_ == Sql || selectedFormat_ == Xlsx ? selectedFormat_
                                                                                       : QString();
}

qint64 ExportController::state() const
{
    return run_->state.load();
}

qint64 ExportController::exportedCount() const
{
    return run_->exportedCount.load();
}

QString ExportController::errorMessage() const
{
    return run_->errorMessage();
}

QString ExportController::temporaryFile() const
{
    return run_->temporaryFile();
}

void ExportController::sendStatusUpdate()
{
    if (exportDelegate_)
        exportDelegate_->exportControllerStatusUpdated(this);
}

void ExportController::failBeforeRun(const QString &message)
{
    run_->fail(message);
    Run::postUpdate(run_);
}

void ExportController::beginExport()
{
    if (run_->state.load() != ExportStateIdle)
        return;
    if (!selectedBrowserElement_ && !selectCurrentResultset_)
        return failBeforeRun(tr("Choose a table or the current result set to export."));
    std::unique_ptr<AbstractExporter> exporter;
    if (selectedFormat_ == Csv)
        exporter = std::make_unique<CSVExporter>();
    else if (selectedFormat_ == Xlsx)
        exporter = std::make_unique<XLSXExporter>();
    else if (selectedFormat_ == Sql && !sqlTableName().isEmpty())
        exporter = std::make_unique<SqlExporter>(sqlTableName());
    if (!exporter) {
        qCWarning(lcTransfer) << "Not supported exporter requested" << selectedFormat_;
        return failBeforeRun(tr("Choose an export format."));
    }
    if (!requestRootReservation(tr("Exporting")))
        return failBeforeRun(tr("Couldn't access the database"));
    run_->state.store(ExportStatePreparing);
    run_->setTemporaryFile(newTemporaryFile());

    const BrowserElementPtr element = selectedBrowserElement_;
    BackgroundJob job;
    job.threadName = QStringLiteral("Export thread");
    job.work = [run = run_, root = vornRoot(), status = statusManager(), element,
                exporter = std::shared_ptr<AbstractExporter>(std::move(exporter)),
                options = options_](const WorkerControl &) {
        JavaCall::takeFailure();
        Run::postUpdate(run);
        if (status)
            status->setActiveConnectionStatus(tr("Exporting"));
        std::unique_ptr<VornExportCursorClient> cursor;
        if (element) {
            const QString table = root->browser()->fullyQualifiedTableNameOfElement(
                element->type(), element->schema(), element->name());
            cursor = VornExportCursorClient::forQuery(*root, QStringLiteral("select * from %1").arg(table));
        } else if (const std::shared_ptr<VornResultset> resultset = root->resultset()) {
            cursor = VornExportCursorClient::forResultset(*resultset);
        }
        QString failure;
        if (cursor) {
            ExportRun exportRun;
            exportRun.options = options;
            exportRun.cursor = cursor.get();
            exportRun.temporaryFile = run->temporaryFile();
            exportRun.cancelled = [run] { return run->cancelled(); };
            exportRun.progress = [run](qint64 processed) {
                MainThread::post([run, processed] {
                    // A report still on its way when the user cancelled must not revive the run.
                    if (!run->advance(ExportStateExporting))
                        return;
                    run->exportedCount.store(processed);
                    if (run->owner)
                        run->owner->sendStatusUpdate();
                });
            };
            exporter->runForExport(exportRun);
            failure = exporter->errorMessage();
        } else {
            failure = JavaCall::takeFailure();
            if (failure.isEmpty())
                failure = root->lastOutcome().errorMessage;
            if (failure.isEmpty())
                failure = tr("The rows to export could not be read.");
        }
        if (run->cancelled()) {
            if (status)
                status->setConnectionStatus(tr("Export cancelled"));
        } else if (!failure.isNull()) {
            run->fail(failure);
            if (status)
                status->setConnectionStatus(tr("Export error"), failure);
        } else {
            run->exportedCount.store(exporter->processed());
            run->advance(ExportStateExported);
            if (status)
                status->setConnectionStatus(tr("Export complete"));
        }
    };
    job.failed = [run = run_](const QString &message) { run->fail(message); };
    job.done = [run = run_] { Run::postUpdate(run); };
    runReserved(std::move(job));
}

void ExportController::finishExport()
{
    qint64 exported = ExportStateExported;
    if (!run_->state.compare_exchange_strong(exported, ExportStateFinishing))
        return;
    Run::postUpdate(run_);
    const std::shared_ptr<Run> run = run_;
    const QString source = run->temporaryFile();
    const bool clipboard = options_.exportToClipboard;
    const quint64 encoding = options_.stringEncoding;
    const QString destination = selectedFileURL_;
    // Only files: no backend call, so the thread is not registered with the thread controller.
    std::thread([run, source, clipboard, encoding, destination] {
        if (clipboard) {
            QFile file(source);
            const QString text =
                file.open(QIODevice::ReadOnly) ? ExportEncoding(encoding).decode(file.readAll()) : QString();
            QFile::remove(source);
            // The clipboard belongs to the main thread.
            MainThread::post([run, text] {
                if (text.isNull())
                    run->fail(tr("The exported text could not be read for the clipboard."));
                else if (!run->cancelled() && QGuiApplication::instance())
                    QGuiApplication::clipboard()->setText(text);
                run->advance(ExportStateFinished);
                if (run->owner)
                    run->owner->sendStatusUpdate();
            });
            return;
        }
        const QString failure =
            ExportDestination::replace(source, destination, [run] { return run->cancelled(); });
        QFile::remove(source);
        if (!failure.isNull())
            run->fail(failure);
        run->advance(ExportStateFinished);
        Run::postUpdate(run);
    }).detach();
}

void ExportController::cancelExport()
{
    const qint64 state = run_->state.load();
    if (state == ExportStateFinished || state == ExportStateError || state == ExportStateCancelled)
        return;
    run_->state.store(ExportStateCancelled);
    const QString temporary = run_->temporaryFile();
    if (!temporary.isEmpty())
        QFile::remove(temporary);
    Run::postUpdate(run_);
}
