#include "browser/RecyclebinController.h"

#include "browser/RecyclebinControllerDelegate.h"
#include "client/VornRecyclebinClient.h"
#include "status/StatusManager.h"

#include <QCoreApplication>

namespace
{

QString text(const char *key)
{
    return QCoreApplication::translate("recyclebin", key);
}

// What the worker leaves for the main thread.
struct Outcome {
    QVariantList listed;
    std::optional<RecyclebinFailure> failure;
};

} // namespace

RecyclebinController::RecyclebinController(VornRootClientPtr vornRoot)
    : ConnectedController(std::move(vornRoot))
{
}

RecyclebinController::~RecyclebinController() = default;

void RecyclebinController::refresh()
{
    start(Action::Refresh, QString(), QString());
}

void RecyclebinController::restoreObject(const QString &objectName, const QString &type)
{
    start(Action::Restore, objectName, type);
}

void RecyclebinController::purgeObject(const QString &objectName, const QString &type)
{
    start(Action::Purge, objectName, type);
}

void RecyclebinController::purgeAll()
{
    start(Action::PurgeAll, QString(), QString());
}

void RecyclebinController::start(Action action, const QString &objectName, const QString &type)
{
    struct Step {
        const char *reservation;
        const char *threadName;
        const char *failureTitle;
    };
    static const Step steps[] = {
        {QT_TRANSLATE_NOOP("recyclebin", "Refresh recyclebin"), "Recyclebin refresh",
         QT_TRANSLATE_NOOP("recyclebin", "Error reading the recyclebin")},
        {QT_TRANSLATE_NOOP("recyclebin", "Restoring object from recyclebin"), "Recyclebin restore",
         QT_TRANSLATE_NOOP("recyclebin", "Error restoring object from recyclebin")},
        {QT_TRANSLATE_NOOP("recyclebin", "Purging object from recyclebin"), "Recyclebin purge",
         QT_TRANSLATE_NOOP("recyclebin", "Error purging object from recyclebin")},
        {QT_TRANSLATE_NOOP("recyclebin", "Emptying recyclebin"), "Recyclebin purge all",
         QT_TRANSLATE_NOOP("recyclebin", "Error emptying recyclebin")}};
    const Step &step = steps[int(action)];
    if (!requestRootReservation(text(step.reservation)))
        return;
    busy_ = true;
    items_.clear();
    failure_.reset();
    if (action != Action::Refresh)
        postUpdate();

    auto outcome = std::make_shared<Outcome>();
    const QString actionTitle = text(step.failureTitle);
    const QString listTitle = text(steps[int(Action::Refresh)].failureTitle);
    BackgroundJob job;
    job.threadName = QString::fromLatin1(step.threadName);
    job.work = [root = vornRoot(), action, objectName, type, outcome, actionTitle,
                listTitle](const WorkerControl &) {
        const std::shared_ptr<VornRecyclebinClient> bin = root->recyclebin();
        if (!bin) {
            outcome->failure = RecyclebinFailure{actionTitle, text("The recycle bin could not be reached.")};
            return;
        }
        if (action != Action::Refresh) {
            if (action == Action::Restore)
                bin->flashBackObject(type, objectName);
            else if (action == Action::Purge)
                bin->purgeObject(type, objectName);
            else
                bin->purgeBin();
            if (const BackendOutcome done = root->lastOutcome(); !done)
                outcome->failure = RecyclebinFailure{actionTitle, done.errorMessage};
        }
        // Whatever the action left is what the bin shows now.
        bin->update();
        if (const BackendOutcome listed = root->lastOutcome(); !listed) {
            if (!outcome->failure)
                outcome->failure = RecyclebinFailure{listTitle, listed.errorMessage};
            return;
        }
        outcome->listed = bin->items();
    };
    job.failed = [outcome, actionTitle](const QString &message) {
        if (!outcome->failure)
            outcome->failure = RecyclebinFailure{actionTitle, message};
    };
    job.done = [this, action, outcome] { finish(action, outcome->listed, outcome->failure); };
    runReserved(std::move(job));
}

void RecyclebinController::finish(Action action, const QVariantList &listed,
                                  const std::optional<RecyclebinFailure> &failure)
{
    items_ = listed;
    failure_ = failure;
    busy_ = false;
    if (failure && statusManager())
        statusManager()->setConnectionStatus(failure->title, failure->message);
    postUpdate();
    // A failed restore restored nothing.
    if (action == Action::Restore && !failure && recyclebinDelegate_)
        recyclebinDelegate_->recycledidPerformRestore();
}

void RecyclebinController::postUpdate()
{
    if (recyclebinDelegate_)
        recyclebinDelegate_->recyclebinUpdated();
}

std::optional<RecyclebinFailure> RecyclebinController::takeFailure()
{
    return std::exchange(failure_, std::nullopt);
}

namespace
{
QVariantList childrenOf(const QVariantMap &entry)
{
    return entry.value(QStringLiteral("children")).toList();
}
} // namespace

int RecyclebinController::numberOfChildrenOfItem(const QVariantMap *entry) const
{
    return int(entry ? childrenOf(*entry).size() : items_.size());
}

QVariantMap RecyclebinController::itemAt(int index, const QVariantMap *parent) const
{
    return (parent ? childrenOf(*parent) : items_).value(index).toMap();
}
