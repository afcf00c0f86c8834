#include "document/BackgroundController.h"

#include "bridge/ThreadController.h"
#include "client/BackgroundRunner.h"
#include "client/VornBrowserClient.h"
#include "document/VornDocument.h"
#include "platform/MainThread.h"
#include "tabs/TabbedDocumentController.h"

#include <QCoreApplication>

struct BackgroundController::PassResult {
    std::atomic<bool> busyTargetSkipped{false};
};

namespace
{

QString activityText(const char *text)
{
    return QCoreApplication::translate("activity", text);
}

QList<BackgroundControllerSupportPtr> openDocuments()
{
    QList<BackgroundControllerSupportPtr> documents;
    if (TabbedDocumentController *controller = TabbedDocumentController::sharedDocumentController()) {
        for (TabbedDocument *document : controller->documents()) {
            if (auto *vorn = qobject_cast<VornDocument *>(document))
                documents << vorn->backgroundSupport();
        }
    }
    return documents;
}

// Tells the documents on the main thread; with wait the worker goes on once they have heard it.
void tellDocuments(const QList<BackgroundControllerSupportPtr> &documents,
                   void (BackgroundControllerSupport::*notice)(), bool wait)
{
    for (const BackgroundControllerSupportPtr &document : documents) {
        auto tell = [document, notice] { (document.get()->*notice)(); };
        if (wait)
            MainThread::postAndWait(tell);
        else
            MainThread::post(tell);
    }
}

// One connection target of a pass: its documents in list order and their selected schemas.
struct Target {
    BackgroundControllerSupportPtr representative;
    QString description;
    std::optional<bool> recyclebinFull;
};

} // namespace

BackgroundController &BackgroundController::instance()
{
    static BackgroundController checker(&openDocuments);
    return checker;
}

BackgroundController::BackgroundController(Documents documents, std::unique_ptr<BackgroundCheckTimers> timers,
                                           std::shared_ptr<ThreadController> threads)
    : documents_(std::move(documents)),
      timers_(timers ? std::move(timers) : std::make_unique<BackgroundCheckTimers>()),
      threads_(threads ? std::move(threads) : std::make_shared<ThreadController>()),
      alive_(std::make_shared<bool>(true))
{
}

BackgroundController::~BackgroundController()
{
    *alive_ = false;
    if (checkTimer_)
        checkTimer_();
    if (dirtyRetry_)
        dirtyRetry_();
}

void BackgroundController::startup()
{
    if (started_)
        return;
    started_ = true;
    scheduleNext(checkIntervalSeconds, [this] { backgroundUpdateCheck(); });
}

void BackgroundController::scheduleNext(double seconds, std::function<void()> fire)
{
    if (checkTimer_)
        checkTimer_();
    checkTimer_ = timers_->after(seconds, std::move(fire));
}

void BackgroundController::backgroundUpdateCheck()
{
    if (checkTimer_) {
        checkTimer_();
        checkTimer_ = nullptr;
    }
    if (isChecking_) {
        scheduleNext(retrySeconds, [this] { backgroundUpdateCheck(); });
        return;
    }
    startPass(false);
}

void BackgroundController::notifyOfNewDocument()
{
    if (started_ && !isChecking_)
        backgroundUpdateCheck();
}

void BackgroundController::notifyOfDirtyDocument()
{
    if (!started_)
        return;
    if (isChecking_) {
        retryDirty();
        return;
    }
    startPass(true);
}

void BackgroundController::retryDirty()
{
    if (dirtyRetryPending_)
        return;
    dirtyRetryPending_ = true;
    dirtyRetry_ = timers_->after(retrySeconds, [this] {
        dirtyRetryPending_ = false;
        notifyOfDirtyDocument();
    });
}

void BackgroundController::startPass(bool dirtyOnly)
{
    isChecking_ = true;
    const QList<BackgroundControllerSupportPtr> documents = documents_();
    auto result = std::make_shared<PassResult>();
    BackgroundJob job;
    job.threadName = dirtyOnly ? dirtyPassThreadName : fullPassThreadName;
    job.threads = threads_;
    job.daemon = true;
    job.work = [documents, dirtyOnly, result](const WorkerControl &) {
        if (dirtyOnly)
            validateMetaData(documents, true, *result);
        else
            fullPass(documents, *result);
    };
    job.ownerAlive = [alive = alive_] { return *alive; };
    job.done = [this, dirtyOnly, result] { passEnded(dirtyOnly, result->busyTargetSkipped); };
    BackgroundRunner::run(std::move(job));
}

void BackgroundController::passEnded(bool dirtyOnly, bool busyTargetSkipped)
{
    isChecking_ = false;
    if (!dirtyOnly) {
        ++checkCounter_;
        scheduleNext(checkIntervalSeconds, [this] { backgroundUpdateCheck(); });
    }
    // A target whose documents were all busy is looked at again soon.
    if (busyTargetSkipped)
        retryDirty();
}

// Worker thread.
void BackgroundController::fullPass(const QList<BackgroundControllerSupportPtr> &documents,
                                    PassResult &result)
{
    // Lost connections: the document's own reservation logic notices and reports them.
    for (const BackgroundControllerSupportPtr &document : documents) {
        if (document->backgroundConnected() && !document->backgroundRoot()->hasConnection())
            MainThread::postAndWait([document] { document->backgroundConnectionCheck(); });
    }
    for (const BackgroundControllerSupportPtr &document : documents) {
        const VornRootClientPtr root = document->backgroundRoot();
        if (root->hasConnection() && root->supportsRecycleBin() && !root->reserved())
            document->backgroundControllerCheckedRecyclebin(
                root->backgroundCheckRecycleBin(activityText("Checking recycle bin")));
    }
    validateMetaData(documents, false, result);
}

// Worker thread.
void BackgroundController::validateMetaData(const QList<BackgroundControllerSupportPtr> &documents,
                                            bool dirtyOnly, PassResult &result)
{
    QList<Target> targets;
    QList<BackgroundControllerSupportPtr> dirtyDocuments;
    for (const BackgroundControllerSupportPtr &document : documents) {
        const bool dirty = document->backgroundControllerNeedsDDLDirtyFlag();
        const VornRootClientPtr root = document->backgroundRoot();
        if (!root->hasConnection() || (dirtyOnly && !dirty))
            continue;
        const QString description = root->connectionMetaDataDescription();
        if (description.isNull())
            continue;
        if (dirty)
            dirtyDocuments << document;
        auto known = std::find_if(targets.begin(), targets.end(),
                                  [&](const Target &target) { return target.description == description; });
        if (known == targets.end()) {
            targets.append({document, description, std::nullopt});
            known = targets.end() - 1;
        }
        if (dirty && root->supportsRecycleBin() && !root->reserved()) {
            const bool full = root->backgroundCheckRecycleBin(activityText("Checking recycle bin"));
            document->backgroundControllerCheckedRecyclebin(full);
            known->recyclebinFull = full;
        }
    }
    for (const Target &target : std::as_const(targets)) {
        const VornRootClientPtr representative = target.representative->backgroundRoot();
        QList<BackgroundControllerSupportPtr> gathered;
        QStringList schemas;
        for (const BackgroundControllerSupportPtr &document : documents) {
            const VornRootClientPtr root = document->backgroundRoot();
            if (!root->hasConnection() || !root->sameConnectionTarget(*representative))
                continue;
            gathered << document;
            const std::shared_ptr<VornBrowserClient> browser = root->browser();
            const QString schema = browser ? browser->selectedSchema() : QString();
            if (!schemas.contains(schema))
                schemas << schema;
        }
        // The check goes through the last document whose root no action holds.
        auto free =
            std::find_if(gathered.crbegin(), gathered.crend(), [](const BackgroundControllerSupportPtr &d) {
                return !d->backgroundRoot()->reserved();
            });
        if (free == gathered.crend()) {
            for (const BackgroundControllerSupportPtr &document : std::as_const(dirtyDocuments)) {
                if (gathered.contains(document))
                    document->backgroundControllerRestoreDDLDirtyFlag();
            }
            result.busyTargetSkipped = true;
            continue;
        }
        tellDocuments(gathered, &BackgroundControllerSupport::metaDataExternalUpdateStart, false);
        const bool renewed = (*free)->backgroundRoot()->backgroundCheckValidAndUpdateMetaData(
            activityText("Validating connection info"), schemas, dirtyOnly);
        tellDocuments(gathered, &BackgroundControllerSupport::metaDataExternalUpdateEnd, false);
        if (!renewed)
            continue;
        for (const BackgroundControllerSupportPtr &document : std::as_const(gathered)) {
            MainThread::postAndWait([document] { document->metaDataWasExternallyUpdated(); });
            if (target.recyclebinFull)
                document->backgroundControllerCheckedRecyclebin(*target.recyclebinFull);
        }
    }
}
