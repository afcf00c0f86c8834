#pragma once

#include "browser/BrowserControllerLoadingElement.h"
#include "browser/BrowserElementStore.h"
#include "browser/CompletionAlias.h"
#include "connection/ConnectedController.h"
#include "kit/VolatileCache.h"
#include "platform/NotificationCenter.h"

#include <QList>
#include <QStringList>
#include <QVariantMap>

#include <memory>
#include <mutex>
#include <optional>

class BrowserControllerDelegate;
class DDLController;
class VornBrowserClient;

// The per-document controller of the schema browser. It owns the element stores the outline shows,
// turns a selection into one backend load on the runner (only the latest request is loaded), keeps
// the back/forward history, the shared favourites and recent sections and the recent drop targets,
// switches schemas, reloads the connection's metadata, commits and rolls back, and answers the
// editor's completion questions. Main thread unless said otherwise; the delegate must also be a
// BrowserControllerDelegate.
class BrowserController : public ConnectedController
{
public:
    static inline const QString loadThreadName =
        QStringLiteral("BrowserController.updateBrowserForSelection");
    static inline const QString schemaThreadName = QStringLiteral("BrowserController.loadSchemaThread");
    static inline const QString reloadThreadName = QStringLiteral("BrowserController.doReloadConnectionInfo");
    static inline const QString commitThreadName = QStringLiteral("Committing");
    static inline const QString rollbackThreadName = QStringLiteral("Rolling back");

    explicit BrowserController(VornRootClientPtr vornRoot);
    ~BrowserController() override;

    BrowserControllerDelegate *browserDelegate() const;

    // Stores.
    BrowserElementStore *dataBrowserElementStore() const { return dataStore_.get(); }
    BrowserElementStore *managementBrowserElementStore() const { return managementStore_.get(); }
    BrowserElementStore *temporaryBrowserElementStore() const { return temporaryStore_.get(); }
    // The management store in management mode, else the data store; null without a connection.
    BrowserElementStore *browserElementStore() const;
    // The drop store during a grid drag, else browserElementStore().
    BrowserElementStore *activeElementStore() const;
    const BrowserElementSectionPtr &sharedFavourites() const { return sharedFavourites_; }
    const BrowserElementSectionPtr &sharedRecentItems() const { return sharedRecentItems_; }
    bool managementMode() const { return managementMode_; }
    bool updatingMetaDataInBackground() const { return updatingMetaDataInBackground_; }
    void setUpdatingMetaDataInBackground(bool updating) { updatingMetaDataInBackground_ = updating; }
    // Where the management lists live; the application's resources unless set.
    void setResourceFolder(const QString &folder) { resourceFolder_ = folder; }

    // Rebuilds the stores from the root's connection and forgets the history.
    void resetBrowserFromRoot();

    // Selection and loading.
    bool isLoading() const { return isLoading_; }
    BrowserControllerLoadingElementPtr desiredSelection() const { return desiredSelection_; }
    bool browserShouldChangeElementSelection();
    void browserDidChangeElementSelection(const BrowserElementPtr &element);
    void loadElement(const BrowserControllerLoadingElementPtr &request);
    void loadDesiredElement();
    // A load refused for a busy root waits for the root's reservation to end; the document calls this
    // whenever a reservation ended.
    void rootReservationEnded();
    void requestExternalLoadOfFilter(const FilterPtr &filter);
    void requestExternalLoadOfElement(const BrowserElementPtr &element,
                                      const ExtendedFilterPtr &extendedFilter);
    void ensureModePreElementSelection(const BrowserElement &element);

    // History.
    const QList<BrowserControllerLoadingElementPtr> &browserHistory() const { return browserHistory_; }
    quint64 browserHistoryPointer() const { return browserHistoryPointer_; }
    void addItemToHistory(const BrowserControllerLoadingElementPtr &request);
    std::optional<BrowserElementSectionUpdate> addItemToRecentHistory(const BrowserElementPtr &element);
    QList<BrowserElementPtr> backHistory() const;
    QList<BrowserElementPtr> forwardHistory() const;
    bool canNavigateBack() const;
    bool canNavigateForward() const;
    void navigateBack();
    void navigateForward();
    // A choice from the back (true) or forward menu by its index there; a stale index does nothing.
    void selectItem(quint64 index, bool back);
    void quickFilterUpdatedForCurrentSelection(const ExtendedFilterPtr &extendedFilter);
    void nonBrowserResultWillBeLoaded();
    void nonBrowserResultWasLoaded();

    // Schemas, metadata, transactions and the panel's actions.
    bool browserShouldChangeSchemaSelection(const QString &schema);
    void browserDidChangeSchemaSelection(const QString &schema);
    void updateAfterSchemaLoadForSchema(const QString &schema);
    bool canReloadConnectionInfo() const;
    void reloadConnectionInfo();
    bool canCommitOrRollback() const;
    void commit();
    void rollback();
    bool canConnect() const;
    bool canDisconnect() const;
    bool canImport() const;
    bool canExport() const;
    bool canOpenRecycleBin() const;
    void connect();
    void disconnect();
    void importIntoElement(const BrowserElementPtr &element);
    void exportOfElement(const BrowserElementPtr &element);
    void openRecycleBin();

    // Favourites and recent drop targets, kept in the connection's settings.
    bool itemIsFavourite(const BrowserElement &element);
    void updateFavouriteStatus(bool favourite, const BrowserElement &element);
    void storeFavouritesIntoElementStore();
    void loadFavouritesIntoElementStore();
    void favouritesUpdated();
    bool shouldAcceptDrop(const FilterPtr &filter, const BrowserElementPtr &target, const QString &column,
                          bool newTab);
    bool shouldAcceptDrop(const FilterPtr &filter, const BrowserElementPtr &target, bool newTab);
    QStringList dropColumnsAvailableFor(const Filter &filter, const BrowserElement &target, bool *hasDefault);
    void storeRecentDrop(const BrowserElement &source, const QString &column, const BrowserElement &target);
    QList<BrowserElementPtr> recentDropElements(const BrowserElement &source, const QString &column);
    // The settings key of drops from the column of the source; escaped so that no two sources share one.
    static QString dropSourceKey(const BrowserElement &source, const QString &column);
    void setTemporaryStoreConstraintedElement(const BrowserElementPtr &source, const QString &column);
    void clearTemporaryStore();
    void setActiveElementStoreSelection(const BrowserElementPtr &element,
                                        const BrowserElementSection *section);
    QString qualifiedNameOfBrowserElement(const BrowserElement &element) const;
    QString fullyQualifiedNameOfBrowserElement(const BrowserElement &element) const;
    void shouldSelectElementInNewTab(const BrowserElementPtr &element, bool newWindow);
    void shouldOpenInfoOfElement(const BrowserElementPtr &element);
    DDLController *ddlController() const;
    void loadSettingsIfNecessary() override;

    // The browser's part of the document's restorable state.
    QVariantMap restorableDocumentInfo() const;
    void restoreWithInfo(const QVariantMap &info);
    bool canToggleManagementMode() const;
    void toggleManagementMode();

    // Names for the editor's completion; sorted case-insensitively, without duplicates.
    QStringList tableAndViewNamesForAutoComplete();
    // A null schema walks every loaded schema.
    QStringList tableAndViewNamesForAutoCompleteInSchema(const QString &schema);
    QStringList objectNamesForAutoCompleteOfType(const QString &type);
    QStringList columnNamesForAutoCompleteInTables(const QStringList &tables, bool restrictedToTables,
                                                   const std::optional<QList<CompletionAlias>> &usedAliases);
    static QStringList uniqueAndSorted(const QStringList &names);
    // Seconds on a steady scale for the column cache; for tests.
    void setColumnCacheClock(VolatileCache::Clock clock);

private:
    struct LoadOutcome;
    std::shared_ptr<VornBrowserClient> backendBrowser() const;
    void browserUpdatedForSelection(const BrowserControllerLoadingElementPtr &request);
    void finishLoad(const BrowserControllerLoadingElementPtr &request, const LoadOutcome &outcome);
    void switchToHistoryEntry(quint64 pointer);
    void truncateForwardHistory();
    void runSchemaLoad(const QString &schema);
    void runReload();
    void runTransactionEnd(bool commit);
    QStringList sequenceNames(VornBrowserClient &browser, const QString &schema) const;
    QStringList joinConditions(VornBrowserClient &browser, const QString &schema, const QString &table,
                               const QList<CompletionAlias> &aliases) const;
    void clearColumnCache();

    std::unique_ptr<BrowserElementStore> dataStore_;
    std::unique_ptr<BrowserElementStore> managementStore_;
    std::unique_ptr<BrowserElementStore> temporaryStore_;
    BrowserElementSectionPtr sharedFavourites_;
    BrowserElementSectionPtr sharedRecentItems_;
    QList<BrowserControllerLoadingElementPtr> browserHistory_;
    quint64 browserHistoryPointer_ = 0;
    bool isLoading_ = false;
    // Counts the resets, so that a load started before one is not taken for the current one.
    quint64 resets_ = 0;
    // A load that found the root busy: it starts when the reservation ends.
    bool waitingForReservation_ = false;
    BrowserControllerLoadingElementPtr desiredSelection_;
    bool managementMode_ = false;
    bool updatingMetaDataInBackground_ = false;
    QString resourceFolder_;
    std::shared_ptr<BackgroundLane> loadLane_ = std::make_shared<BackgroundLane>();
    NotificationCenter::ObserverId favouritesObserver_ = 0;
    // Lets work posted to the main thread tell whether this controller still exists.
    std::shared_ptr<const char> alive_ = std::make_shared<const char>('\0');
    // Completion may ask from any thread.
    mutable std::mutex columnCacheMutex_;
    VolatileCache volatileColumnCache_{50, 300.0};
};
