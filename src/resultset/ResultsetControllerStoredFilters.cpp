#include "client/VornBrowserClient.h"
#include "resultset/ResultsetController.h"
#include "resultset/ResultsetControllerDelegate.h"
#include "status/StatusManager.h"

#include <QCoreApplication>

// Quick filters stored under a name for the loaded object. The backend keeps them; all but loading are
// quick calls on the main thread.

namespace
{
QString text(const char *table, const char *key)
{
    return QCoreApplication::translate(table, key);
}
} // namespace

QString ResultsetController::currentStoredFilter() const
{
    const std::shared_ptr<VornBrowserClient> browser = vornRoot()->browser();
    return browser ? browser->currentStoredFilter() : QString();
}

QStringList ResultsetController::availableStoredFilter() const
{
    if (vornRoot()->reserved())
        return {};
    const std::shared_ptr<VornBrowserClient> browser = vornRoot()->browser();
    return browser ? browser->getCompatibleStoredFiltersNames() : QStringList();
}

bool ResultsetController::canStoreCurrentFilter() const
{
    const std::shared_ptr<VornBrowserClient> browser = vornRoot()->browser();
    return browser && !browser->lastFilterUsedForQuickFilter().isEmpty();
}

bool ResultsetController::canStoreFilterChanges() const
{
    const std::shared_ptr<VornBrowserClient> browser = vornRoot()->browser();
    return browser && browser->currentFilterContainsChanges();
}

bool ResultsetController::reportStoredFilterOutcome(const BackendOutcome &outcome)
{
    if (!outcome && statusManager())
        statusManager()->runErrorWithTitle(text("quickfilter", "Stored filter"), outcome.errorMessage);
    return outcome.successful;
}

bool ResultsetController::storeFilter(const QString &name)
{
    const std::shared_ptr<VornBrowserClient> browser = vornRoot()->browser();
    return browser && reportStoredFilterOutcome(browser->storeFilter(name));
}

bool ResultsetController::renameStoredFilter(const QString &name, const QString &newName)
{
    const std::shared_ptr<VornBrowserClient> browser = vornRoot()->browser();
    return browser && reportStoredFilterOutcome(browser->updateCompatibleFilterName(name, newName));
}

bool ResultsetController::removeStoredFilter(const QString &name)
{
    const std::shared_ptr<VornBrowserClient> browser = vornRoot()->browser();
    return browser && reportStoredFilterOutcome(browser->removeCompatibleFilter(name));
}

bool ResultsetController::updateCurrentStoredFilter()
{
    const std::shared_ptr<VornBrowserClient> browser = vornRoot()->browser();
    return browser && reportStoredFilterOutcome(browser->overwriteCurrentFilter());
}

void ResultsetController::loadStoredFilter(const QString &name)
{
    if (!requestFocusChange() || !requestRootReservation(text("activity", "Loading filter")))
        return;
    Q_ASSERT_X(statusManager(), "ResultsetController",
               "Loading a filter needs the document's status manager");
    auto loaded = std::make_shared<bool>(false);
    BackgroundJob job;
    job.threadName = QStringLiteral("ResultsetController._loadStoredFilter");
    const auto reportFailure = [](StatusManager &status, const QString &message) {
        status.runErrorWithTitle(
            text("browser", "Database error"),
            QStringLiteral("%1\n%2").arg(
                text("browser", "A database error occurred while trying to reload the resultset."), message));
        status.setConnectionStatus(text("browser", "Error loading filter"), message);
    };
    job.work = [loaded, name, reportFailure, root = vornRoot(),
                status = statusManager()](const WorkerControl &) {
        status->setActiveConnectionStatus(text("browser", "Loading filter"));
        const std::shared_ptr<VornBrowserClient> browser = root->browser();
        if (browser)
            browser->loadStoredFilter(name);
        const BackendOutcome outcome =
            browser ? root->lastOutcome() : BackendOutcome::failure(root->lastErrorMessage());
        if (!outcome) {
            reportFailure(*status, outcome.errorMessage);
            return;
        }
        *loaded = true;
        status->setConnectionStatus(text("browser", "Resultset loaded successfully"));
    };
    job.failed = [reportFailure, status = statusManager()](const QString &message) {
        reportFailure(*status, message);
    };
    job.done = [this, loaded] {
        if (!*loaded)
            return;
        resetResultsetFromRoot();
        if (ResultsetControllerDelegate *delegate = resultsetDelegate())
            delegate->resultsetHasBeenReset();
    };
    runReserved(std::move(job));
}
