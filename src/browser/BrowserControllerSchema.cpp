// Switching schemas, loading a schema's objects, reloading the connection's metadata, committing and
// rolling back, and the checks of the browser panel's actions.
#include "browser/BrowserController.h"

#include "browser/BrowserControllerDelegate.h"
#include "client/VornBrowserClient.h"
#include "status/StatusManager.h"

#include <QCoreApplication>

namespace
{

QString text(const char *table, const char *key)
{
    return QCoreApplication::translate(table, key);
}

QString joined(const QString &sentence, const QString &message)
{
    return QStringLiteral("%1\n%2").arg(sentence, message);
}

// Metadata the backend has not fully read yet is read here, on the worker that holds the reservation.
void ensureFullyLoaded(VornRootClient &root, const QString &schema)
{
    if (!root.fullyLoadedForSchema(schema))
        root.fullyLoadForSchema(schema);
}

} // namespace

bool BrowserController::browserShouldChangeSchemaSelection(const QString &schema)
{
    // The management list is the program's own: it has no schema objects to load.
    if (managementMode_)
        return true;
    const VornRootClientPtr &root = vornRoot();
    if (root->reserved())
        return false;
    const std::shared_ptr<VornBrowserClient> browser = backendBrowser();
    if (!browser)
        return false;
    if (browser->hasCachedTypesOfSchema(schema))
        return true;
    if (!requestRootReservation(text("browser", "Loading schema %1").arg(schema)))
        return false;
    runSchemaLoad(schema);
    return true;
}

void BrowserController::runSchemaLoad(const QString &schema)
{
    auto loaded = std::make_shared<bool>(false);
    BackgroundJob job;
    job.threadName = schemaThreadName;
    job.work = [loaded, schema, root = vornRoot(), status = statusManager()](const WorkerControl &) {
        status->setActiveConnectionStatus(text("browser", "Loading schema %1").arg(schema));
        const std::shared_ptr<VornBrowserClient> browser = root->browser();
        if (browser)
            browser->typesInSchema(schema);
        const BackendOutcome outcome =
            browser ? root->lastOutcome()
                    : BackendOutcome::failure(text("browser", "The connection has no browser."));
        if (outcome) {
            ensureFullyLoaded(*root, schema);
            status->setConnectionStatus(text("browser", "Loaded schema %1").arg(schema));
            *loaded = true;
            return;
        }
        status->setConnectionStatus(text("browser", "Couldn't load schema"), outcome.errorMessage);
        status->runErrorWithTitle(text("browser", "Couldn't load schema"),
                                  text("browser", "The database returned: %1").arg(outcome.errorMessage));
    };
    job.failed = [status = statusManager()](const QString &message) {
        status->setConnectionStatus(text("browser", "Couldn't load schema"), message);
        status->runErrorWithTitle(text("browser", "Couldn't load schema"),
                                  text("browser", "The database returned: %1").arg(message));
    };
    job.done = [this, loaded, schema] {
        if (*loaded)
            updateAfterSchemaLoadForSchema(schema);
        else if (BrowserControllerDelegate *delegate = browserDelegate())
            delegate->browserHasBeenUpdated();
    };
    runReserved(std::move(job));
}

void BrowserController::browserDidChangeSchemaSelection(const QString &schema)
{
    const std::shared_ptr<VornBrowserClient> browser = backendBrowser();
    if (!browser || managementMode_)
        return;
    BrowserElementStore *store = dataStore_.get();
    if (store && browser->hasCachedTypesOfSchema(schema)) {
        store->updateBrowserWithSchemaElements(schema, *browser);
        // Favourites are checked against a schema only once all of its objects are known.
        if (vornRoot()->fullyLoadedForSchema(schema) && store->validateRecentAndFavourites())
            storeFavouritesIntoElementStore();
    }
    browser->setSelectedSchema(schema);
    clearColumnCache();
}

void BrowserController::updateAfterSchemaLoadForSchema(const QString &schema)
{
    const std::shared_ptr<VornBrowserClient> browser = backendBrowser();
    // A schema's objects belong to the data store, also when the load ends in management mode.
    BrowserElementStore *store = dataStore_.get();
    if (browser && store) {
        store->setSelectedSchema(schema);
        store->updateBrowserWithSchemaElements(schema, *browser);
        loadFavouritesIntoElementStore();
        if (vornRoot()->fullyLoadedForSchema(schema) && store->validateRecentAndFavourites())
            storeFavouritesIntoElementStore();
    }
    if (BrowserControllerDelegate *delegate = browserDelegate())
        delegate->browserHasBeenUpdated();
}

// Reloading the connection's metadata.

bool BrowserController::canReloadConnectionInfo() const
{
    return vornRoot()->hasConnection() && !vornRoot()->reserved();
}

void BrowserController::reloadConnectionInfo()
{
    if (!requestFocusChange())
        return;
    if (!requestRootReservation(text("activity", "Reloading connection information")))
        return;
    // The outline empties only once the reload is sure to run.
    dataStore_.reset();
    if (BrowserControllerDelegate *delegate = browserDelegate())
        delegate->browserHasBeenUpdated();
    runReload();
}

void BrowserController::runReload()
{
    BackgroundJob job;
    job.threadName = reloadThreadName;
    job.work = [root = vornRoot(), status = statusManager()](const WorkerControl &) {
        status->setActiveConnectionStatus(text("connection", "Reloading connection info"));
        root->reloadConnectionMetaDataCache();
        const BackendOutcome outcome = root->lastOutcome();
        if (outcome) {
            const std::shared_ptr<VornBrowserClient> browser = root->browser();
            if (browser)
                ensureFullyLoaded(*root, browser->selectedSchema());
            status->setConnectionStatus(text("connection", "Successfully reloaded connection info"));
            return;
        }
        status->setConnectionStatus(text("connection", "Error reloading connection info"),
                                    outcome.errorMessage);
        status->runErrorWithTitle(
            text("connection", "Database error"),
            joined(text("connection", "Couldn't reload connection info"), outcome.errorMessage));
    };
    job.failed = [status = statusManager()](const QString &message) {
        status->setConnectionStatus(text("connection", "Error reloading connection info"), message);
        status->runErrorWithTitle(text("connection", "Database error"),
                                  joined(text("connection", "Couldn't reload connection info"), message));
    };
    // Whatever the outcome, the stores are rebuilt from what the backend now holds, so a failed reload
    // does not leave the outline empty.
    job.done = [this] {
        if (BrowserControllerDelegate *delegate = browserDelegate())
            delegate->browserDidReloadConnectionInfo();
        resetBrowserFromRoot();
    };
    runReserved(std::move(job));
}

// Transactions.

bool BrowserController::canCommitOrRollback() const
{
    const VornRootClientPtr &root = vornRoot();
    return root->hasConnection() && !root->reserved() && root->dirty();
}

void BrowserController::commit()
{
    if (!requestFocusChange())
        return;
    if (!requestRootReservation(text("activity", "Committing changes")))
        return;
    runTransactionEnd(true);
}

void BrowserController::rollback()
{
    if (!requestFocusChange())
        return;
    if (!requestRootReservation(text("activity", "Rollback changes")))
        return;
    runTransactionEnd(false);
}

void BrowserController::runTransactionEnd(bool commit)
{
    BackgroundJob job;
    job.threadName = commit ? commitThreadName : rollbackThreadName;
    const auto report = [commit](StatusManager &status, const BackendOutcome &outcome) {
        if (outcome) {
            status.setConnectionStatus(
                commit ? text("connection", "Successfully committed changes to the database")
                       : text("connection", "Successfully rolled back changes from the database"));
            return;
        }
        status.runErrorWithTitle(
            text("connection", "Database error"),
            joined(commit ? text("connection", "Couldn't commit the changes to the database")
                          : text("connection", "Couldn't rollback the changes from the database"),
                   outcome.errorMessage));
        status.setConnectionStatus(commit ? text("connection", "Error committing changes")
                                          : text("connection", "Error rolling back changes"),
                                   outcome.errorMessage);
    };
    job.work = [commit, report, root = vornRoot(), status = statusManager()](const WorkerControl &) {
        status->setActiveConnectionStatus(commit ? text("connection", "Committing changes to the database")
                                                 : text("connection", "Rollback changes from the database"));
        report(*status, commit ? root->commit() : root->rollback());
    };
    job.failed = [report, status = statusManager()](const QString &message) {
        report(*status, BackendOutcome::failure(message));
    };
    job.done = [this, commit] {
        BrowserControllerDelegate *delegate = browserDelegate();
        if (!delegate)
            return;
        if (commit && vornRoot()->needsRefreshAfterCommit())
            delegate->resultsetHasBeenUpdated();
        if (!commit && backendBrowser())
            delegate->browserNeedsARefresh();
        // Whoever waits for the transaction to end hears of it, even without a browser to refresh.
        delegate->commitOrRollbackCompleted();
    };
    runReserved(std::move(job));
}

// The panel's actions.

bool BrowserController::canConnect() const
{
    return !vornRoot()->reserved();
}

bool BrowserController::canDisconnect() const
{
    return !vornRoot()->reserved() && vornRoot()->hasConnection();
}

bool BrowserController::canImport() const
{
    return vornRoot()->hasConnection() && !vornRoot()->reserved() && !managementMode_;
}

bool BrowserController::canExport() const
{
    return vornRoot()->hasConnection() && !vornRoot()->reserved();
}

bool BrowserController::canOpenRecycleBin() const
{
    return vornRoot()->hasConnection() && !vornRoot()->reserved() && vornRoot()->supportsRecycleBin();
}

void BrowserController::connect()
{
    if (BrowserControllerDelegate *delegate = browserDelegate())
        delegate->browserWantsToConnect();
}

void BrowserController::disconnect()
{
    if (BrowserControllerDelegate *delegate = browserDelegate())
        delegate->browserWantsToDisconnect();
}

void BrowserController::importIntoElement(const BrowserElementPtr &element)
{
    if (BrowserControllerDelegate *delegate = browserDelegate())
        delegate->browserWantsImportOfDataIntoElement(element);
}

void BrowserController::exportOfElement(const BrowserElementPtr &element)
{
    if (BrowserControllerDelegate *delegate = browserDelegate())
        delegate->browserWantsExportOfElement(element);
}

void BrowserController::openRecycleBin()
{
    if (BrowserControllerDelegate *delegate = browserDelegate())
        delegate->browserWantsToOpenRecyclebin();
}
