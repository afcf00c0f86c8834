#include "browser/BrowserController.h"

#include "browser/BrowserControllerDelegate.h"
#include "browser/BrowserElementLoader.h"
#include "browser/BrowserSettingKeys.h"
#include "client/VornBrowserClient.h"
#include "connection/ConnectedControllerDelegate.h"
#include "platform/Bundle.h"
#include "platform/MainThread.h"
#include "status/StatusManager.h"

#include <QCoreApplication>

namespace
{

QString text(const char *table, const char *key)
{
    return QCoreApplication::translate(table, key);
}

const QString managementSubtype = QStringLiteral("MANAGEMENT");

BrowserElementSectionPtr sharedSection(qint64 type)
{
    return std::make_shared<BrowserElementSection>(type);
}

// The reservation's reason for loading the element.
QString loadReason(const BrowserElement &element)
{
    const QString type = element.type().toLower();
    if (type == QLatin1String("procedure") || type == QLatin1String("function") ||
        type == QLatin1String("package"))
        return text("activity", "Loading procedure");
    if (type == QLatin1String("table") || type == QLatin1String("view") ||
        element.subtype().toLower() == QLatin1String("table"))
        return text("activity", "Loading results");
    return text("activity", "Loading object");
}

// What is being loaded, for the status line.
QString loadLabel(const BrowserElement &element)
{
    const QString type = element.type().toLower();
    if (type == QLatin1String("table") || type == QLatin1String("view") ||
        element.subtype().toLower() == QLatin1String("table"))
        return text("activity", "resultset");
    for (const char *kind : {"procedure", "function", "package", "index", "constraint"}) {
        if (type == QLatin1String(kind))
            return text("activity", kind);
    }
    if (element.subtype() == managementSubtype)
        return text("activity", "management view");
    return text("activity", "object");
}

// The final status of a load and, when it failed, the alert. Worker thread.
void reportLoad(StatusManager &status, const BrowserControllerLoadingElement &request,
                const BackendOutcome &outcome, const QString &label)
{
    const BrowserElementPtr element = request.element();
    if (outcome) {
        status.setConnectionStatus(
            text("activity", "%1, Successfully loaded %2").arg(element->name(), label));
        return;
    }
    const QString &message = outcome.errorMessage;
    if (BrowserElementLoader::retriesWithoutFilter(request, message)) {
        status.runErrorWithTitle(text("browser", "Database error"),
                                 text("browser", "The resultset couldn't be loaded with the given filter, it "
                                                 "will be reloaded without the additional filter."));
        status.setConnectionStatus(text("activity", "Error loading %1").arg(label), message);
    } else if (element->subtype() == managementSubtype) {
        status.runErrorWithTitle(
            text("browser", "Management mode error"),
            QStringLiteral("%1\n\n%2")
                .arg(text("browser",
                          "The management view could not be loaded, this could be because you don't "
                          "have permission to access the required information or your database "
                          "version doesn't support this information.\n\nContact your database "
                          "administrator for possible access to this information."),
                     message));
        status.setConnectionStatus(text("browser", "Management mode error"), message);
    } else {
        status.runErrorWithTitle(
            text("browser", "Database error"),
            QStringLiteral("%1\n%2").arg(
                text("browser", "A database error occurred while trying to load the resultset."), message));
        status.setConnectionStatus(text("activity", "Error loading %1").arg(label), message);
    }
}

} // namespace

struct BrowserController::LoadOutcome {
    BackendOutcome backend;
};

BrowserController::BrowserController(VornRootClientPtr vornRoot)
    : ConnectedController(std::move(vornRoot)),
      sharedFavourites_(sharedSection(BrowserElementSection::Favourites)),
      sharedRecentItems_(sharedSection(BrowserElementSection::Recent))
{
    favouritesObserver_ = NotificationCenter::defaultCenter().addObserver(
        browserFavouritesUpdatedNotification, nullptr, [this](const Notification &) { favouritesUpdated(); });
}

BrowserController::~BrowserController()
{
    NotificationCenter::defaultCenter().removeObserver(favouritesObserver_);
}

BrowserControllerDelegate *BrowserController::browserDelegate() const
{
    return dynamic_cast<BrowserControllerDelegate *>(delegate());
}

std::shared_ptr<VornBrowserClient> BrowserController::backendBrowser() const
{
    return vornRoot() ? vornRoot()->browser() : nullptr;
}

BrowserElementStore *BrowserController::browserElementStore() const
{
    return managementMode_ ? managementStore_.get() : dataStore_.get();
}

BrowserElementStore *BrowserController::activeElementStore() const
{
    return temporaryStore_ ? temporaryStore_.get() : browserElementStore();
}

void BrowserController::resetBrowserFromRoot()
{
    if (!sharedRecentItems_)
        sharedRecentItems_ = sharedSection(BrowserElementSection::Recent);
    const std::shared_ptr<VornBrowserClient> browser =
        vornRoot()->hasConnection() ? backendBrowser() : nullptr;
    if (browser) {
        dataStore_ = BrowserElementStore::browserElementStoreForVornBrowser(*browser, sharedFavourites_,
                                                                            sharedRecentItems_);
        dataStore_->setSelectedSchema(browser->selectedSchema());
        managementStore_ = BrowserElementStore::managementBrowserElementStoreForVornBrowser(
            resourceFolder_.isNull() ? Bundle::mainBundle().pathForResource(QStringLiteral("resources"))
                                     : resourceFolder_,
            vornRoot()->connectionType(), sharedFavourites_, sharedRecentItems_);
    } else {
        dataStore_.reset();
        sharedRecentItems_.reset();
        managementStore_.reset();
    }
    browserHistoryPointer_ = 0;
    browserHistory_.clear();
    // A load still running belongs to the connection before: its end changes nothing here.
    ++resets_;
    isLoading_ = false;
    waitingForReservation_ = false;
    desiredSelection_.reset();
    clearColumnCache();
    loadFavouritesIntoElementStore();
    if (BrowserControllerDelegate *delegate = browserDelegate())
        delegate->browserHasBeenUpdated();
}

// Selection.

bool BrowserController::browserShouldChangeElementSelection()
{
    Q_ASSERT_X(MainThread::isMainThread(), "BrowserController",
               "browserShouldChangeElementSelection should be called on main thread");
    return isLoading_ || requestFocusChange();
}

void BrowserController::browserDidChangeElementSelection(const BrowserElementPtr &element)
{
    const BrowserControllerLoadingElementPtr request =
        BrowserControllerLoadingElement::elementWithElement(element, FilterPtr());
    if (isLoading_)
        desiredSelection_ = request;
    else
        loadElement(request);
}

void BrowserController::loadElement(const BrowserControllerLoadingElementPtr &request)
{
    desiredSelection_ = request;
    loadDesiredElement();
}

void BrowserController::rootReservationEnded()
{
    if (waitingForReservation_ && !isLoading_ && desiredSelection_) {
        waitingForReservation_ = false;
        loadDesiredElement();
    }
}

void BrowserController::requestExternalLoadOfFilter(const FilterPtr &filter)
{
    if (!filter || !filter->element())
        return;
    ensureModePreElementSelection(*filter->element());
    BrowserElementStore *store = activeElementStore();
    const BrowserElementPtr stored = store ? store->findElementInStore(*filter->element()) : nullptr;
    if (!stored)
        return;
    const auto request = BrowserControllerLoadingElement::elementWithElement(stored, filter);
    if (isLoading_) {
        desiredSelection_ = request;
        return;
    }
    store->setSelectedElement(stored);
    loadElement(request);
}

void BrowserController::requestExternalLoadOfElement(const BrowserElementPtr &element,
                                                     const ExtendedFilterPtr &extendedFilter)
{
    if (!element)
        return;
    ensureModePreElementSelection(*element);
    BrowserElementStore *store = activeElementStore();
    const BrowserElementPtr stored = store ? store->findElementInStore(*element) : nullptr;
    if (!stored)
        return;
    const auto request = BrowserControllerLoadingElement::elementWithElement(stored, extendedFilter);
    if (isLoading_) {
        desiredSelection_ = request;
        return;
    }
    store->setSelectedElement(stored);
    loadElement(request);
}

void BrowserController::ensureModePreElementSelection(const BrowserElement &element)
{
    const bool management = element.subtype() == managementSubtype;
    if (management != managementMode_)
        toggleManagementMode();
}

// Loading.

void BrowserController::loadDesiredElement()
{
    if (!desiredSelection_ || isLoading_)
        return;
    isLoading_ = true;
    clearRootSelection();
    const BrowserControllerLoadingElementPtr request = std::move(desiredSelection_);
    desiredSelection_.reset();
    if (!requestRootReservation(loadReason(*request->element()))) {
        // The root is busy: the request waits for the reservation to end, unless a newer one came.
        isLoading_ = false;
        if (!desiredSelection_)
            desiredSelection_ = request;
        waitingForReservation_ = true;
        return;
    }
    waitingForReservation_ = false;
    Q_ASSERT_X(statusManager(), "BrowserController", "A load needs the document's status manager");

    auto outcome = std::make_shared<LoadOutcome>();
    BackgroundJob job;
    job.threadName = loadThreadName;
    job.lane = loadLane_;
    job.work = [outcome, request, root = vornRoot(), status = statusManager()](const WorkerControl &) {
        const BrowserElementPtr element = request->element();
        const QString label = loadLabel(*element);
        status->setActiveConnectionStatus(text("activity", "Loading %1").arg(label));
        const std::shared_ptr<VornBrowserClient> browser = root->browser();
        outcome->backend = browser
                               ? BrowserElementLoader::load(*browser, *request)
                               : BackendOutcome::failure(text("browser", "The connection has no browser."));
        reportLoad(*status, *request, outcome->backend, label);
    };
    job.failed = [outcome, request, status = statusManager()](const QString &message) {
        outcome->backend = BackendOutcome::failure(message);
        reportLoad(*status, *request, outcome->backend, loadLabel(*request->element()));
    };
    job.done = [this, request, outcome, resets = resets_] {
        if (resets == resets_)
            finishLoad(request, *outcome);
    };
    runReserved(std::move(job));
}

// Main thread, after the load's reservation was given back.
void BrowserController::finishLoad(const BrowserControllerLoadingElementPtr &request,
                                   const LoadOutcome &outcome)
{
    isLoading_ = false;
    const BackendOutcome &backend = outcome.backend;
    if (backend) {
        addItemToHistory(request);
        if (!desiredSelection_)
            browserUpdatedForSelection(request);
    } else if (BrowserElementLoader::retriesWithoutFilter(*request, backend.errorMessage)) {
        // The values did not suit the column: the element comes again without them, unless the user
        // asked for another one meanwhile.
        if (!desiredSelection_)
            desiredSelection_ =
                BrowserControllerLoadingElement::elementWithElement(request->element(), FilterPtr());
    } else if (!desiredSelection_) {
        browserUpdatedForSelection(nullptr);
    }
    MainThread::post([this, alive = std::weak_ptr<const char>(alive_)] {
        if (!alive.expired())
            loadDesiredElement();
    });
}

void BrowserController::browserUpdatedForSelection(const BrowserControllerLoadingElementPtr &request)
{
    Q_ASSERT_X(MainThread::isMainThread(), "BrowserController", "browserUpdatedForSelection");
    BrowserControllerDelegate *delegate = browserDelegate();
    if (!delegate)
        return;
    delegate->browserControllerLoadedElement(request ? request->element() : nullptr);
    BrowserElementStore *store = activeElementStore();
    if (request && store && store->enableRecent()) {
        delegate->browserWillUpdate();
        delegate->browserDidUpdate(addItemToRecentHistory(request->element()));
    } else {
        delegate->browserHasBeenUpdated();
    }
}

std::optional<BrowserElementSectionUpdate>
BrowserController::addItemToRecentHistory(const BrowserElementPtr &element)
{
    BrowserElementStore *store = activeElementStore();
    return store ? store->addItemToRecentHistory(element) : std::nullopt;
}
