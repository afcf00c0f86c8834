// What the import assistant asks of the controller beyond the run: the target as a browser element,
// the tables it may choose, whether sequences can fill columns, detection of a single column, and the
// hand-over of statements.
#include "transfer/ImportController.h"

#include "client/VornImporterClient.h"
#include "platform/MainThread.h"
#include "transfer/ImportControllerDelegate.h"

#include <thread>

void ImportController::setSelectedBrowserElement(const BrowserElementPtr &element)
{
    if (element == selectedBrowserElement_ ||
        (element && selectedBrowserElement_ && element->isSameDatabaseElement(*selectedBrowserElement_)))
        return;
    selectedBrowserElement_ = element;
    setSelectedTable(element ? element->schema() : QString(), element ? element->name() : QString());
    if (element)
        lookUpSequenceSupport();
}

void ImportController::lookUpSequenceSupport()
{
    // The answer is the database's, the same for every table: one lookup serves the whole session.
    if (sequenceSupport_ || sequenceSupportLookup_ || !threadController())
        return;
    sequenceSupportLookup_ = true;
    struct Answer {
        std::atomic<bool> supported{false};
        std::atomic<bool> failed{false};
    };
    auto answer = std::make_shared<Answer>();
    // The question reads the connection's dialect and sends no statement, so it takes no reservation:
    // it never stands in the way of the table lookups and the run that follow the choice at once.
    BackgroundJob job;
    job.threadName = QStringLiteral("Import sequence support");
    job.threads = threadController();
    job.ownerAlive = [alive = std::weak_ptr<const char>(alive_)] { return !alive.expired(); };
    job.work = [root = vornRoot(), answer](const WorkerControl &) {
        const std::shared_ptr<VornImporterClient> importer = root->importer();
        answer->supported = importer && importer->supportsSequences();
    };
    job.failed = [answer](const QString &) { answer->failed = true; };
    job.done = [this, answer] {
        sequenceSupportLookup_ = false;
        // A failed lookup is asked again with the next target.
        if (answer->failed)
            return;
        sequenceSupport_ = answer->supported.load();
        sendStatusUpdate();
    };
    BackgroundRunner::run(std::move(job));
}

QList<BrowserElementPtr> ImportController::supportedImportBrowserElements() const
{
    return importDelegate_ ? importDelegate_->importControllerNeedsImportableBrowserElements(
                                 const_cast<ImportController *>(this))
                           : QList<BrowserElementPtr>();
}

void ImportController::autoDetectColumn(qsizetype index, const QString &type)
{
    if (selectedFilePath_.isEmpty() || index < 0 || index >= options_->import_columns.size())
        return;
    std::shared_ptr<AbstractImporter> importer = createAppropriateImporter();
    if (!importer)
        return;
    previewRows_.reset();
    if (importDelegate_)
        importDelegate_->importControllerHasUpdatedPreview(this);
    const quint64 generation = ++*previewGeneration_;
    // Reads only the file, like the preview: no reservation, no registration.
    std::thread([this, importer, generation, index, type, alive = std::weak_ptr<const char>(alive_)] {
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
        // The importer's copy shares the column objects with the controller's options.
        const QList<ImportColumnPtr> &columns = importer->importOptions().import_columns;
        if (index < columns.size()) {
            ImportColumn &column = *columns[index];
            importer->autoDetectColumn(column, *rows, column.hidden ? QStringLiteral("S") : type);
        }
        MainThread::post([this, importer, rows, generation, alive] {
            if (!alive.expired())
                previewDone(importer, rows, generation);
        });
    }).detach();
}

void ImportController::previewDone(const std::shared_ptr<AbstractImporter> &importer,
                                   const std::shared_ptr<QList<ImportRow>> &rows, quint64 generation)
{
    // A newer preview or detection has replaced this one.
    if (previewGeneration_->load() != generation)
        return;
    *options_ = importer->importOptions();
    previewRows_ = rows;
    hadInitialPreview_ = true;
    if (importDelegate_)
        importDelegate_->importControllerHasUpdatedPreview(this);
}

void ImportController::insertSql(const QString &text)
{
    if (importDelegate_)
        importDelegate_->importControllerInsertSqlIntoEditor(this, text);
}
