#pragma once

// The schema browser over the fake backend: a browser client with scripted metadata and loads, a
// stand-in for the document, and the controller with its thread controller and status manager.

#include "FakeVornRootClient.h"
#include "browser/BrowserController.h"
#include "browser/BrowserControllerDelegate.h"
#include "connection/ConnectedControllerDelegate.h"

#include <QHash>
#include <QSet>
#include <QStringList>

#include <condition_variable>
#include <memory>
#include <mutex>

class DesktopNotifier;
class StatusManager;
class ThreadController;
class UserNotifier;

// One call of the fake browser that loads or asks for metadata.
struct BrowserCall {
    QString selector;
    QVariantList arguments;
};

// The backend browser of the fake root: schemas of typed objects (cached once "loaded"), columns,
// keys, and loads that record their arguments, fail as scripted and may be held until released.
class FakeMetadataBrowser : public FakeVornBrowserClient
{
public:
    explicit FakeMetadataBrowser(std::shared_ptr<FakeLastAction> lastAction)
        : lastAction_(std::move(lastAction))
    {
    }

    QStringList schemas() const override;
    QString selectedSchema() const override;
    void setSelectedSchema(const QString &schema) override;
    bool hasCachedTypesOfSchema(const QString &schema) const override;
    QStringList typesInSchema(const QString &schema) override;
    QStringList elementsOfTypeInSchemaLike(const QString &type, const QString &schema,
                                           const QString &pattern) override;
    QString referringTypeOfElementOfTypeInSchemaWithName(const QString &schema, const QString &type,
                                                         const QString &name) override;
    QStringList allColumnsInTable(const QString &schema, const QString &table) override;
    QStringList allColumnsInSchema(const QString &schema) override;
    bool readElementsOfSchemaWhenFree(const QString &schema) override;
    QList<BrowserTableName> tablesWithColumnsNamed(const QString &schema, const QString &column) override;
    QList<ForeignKeyEntry> exportedKeysForColumnInSchemaAndTable(const QString &column, const QString &schema,
                                                                 const QString &table) override;
    QList<ForeignKeyEntry> exportedKeysInSchemaAndTable(const QString &schema, const QString &table) override;
    QString qualifiedTableNameOfElement(const QString &type, const QString &schema,
                                        const QString &name) override;
    QString fullyQualifiedTableNameOfElement(const QString &type, const QString &schema,
                                             const QString &name) override;
    BackendOutcome selectElement(const QString &schema, const QString &type, const QString &name) override;
    BackendOutcome selectElementWithFilter(const QString &schema, const QString &type, const QString &name,
                                           const QString &column, const QVariant &values,
                                           bool negate) override;
    BackendOutcome selectElementWithQuickFiltersAndSort(const QString &schema, const QString &type,
                                                        const QString &name, const QStringList &columns,
                                                        const QStringList &operators,
                                                        const QVariantList &values,
                                                        const QList<VornSort> &sort) override;
    bool previousStateHadFilterOrSort(const QString &schema, const QString &type,
                                      const QString &name) override;

    // Scripting, from the test's thread.
    void addObjects(const QString &schema, const QString &type, const QStringList &names, bool cached = true);
    void setSchemaList(const QStringList &schemas);
    void setSynonymTarget(const QString &name, const QString &type);
    void setColumns(const QString &schema, const QString &table, const QStringList &columns);
    void setKeys(const QString &table, const QList<ForeignKeyEntry> &keys);
    void setSimilarTables(const QList<BrowserTableName> &tables);
    // Loads of the element fail with the message, the first `times` times (-1: always).
    void failLoadsOf(const QString &name, const QString &message, int times = -1);
    // Schema loads of the schema fail with the message.
    void failSchemaLoad(const QString &schema, const QString &message);
    void setPreviousStateHadFilterOrSort(bool had);
    // Loads wait until released; each release lets one through.
    void holdLoads(bool hold);
    void releaseOneLoad();
    int heldLoads() const;

    QList<BrowserCall> calls() const;
    QList<BrowserCall> loads() const;
    int callCount(const QString &selector) const;
    void clearCalls();

private:
    BackendOutcome recordLoad(const QString &selector, const QVariantList &arguments, const QString &name);
    void record(const QString &selector, const QVariantList &arguments) const;

    std::shared_ptr<FakeLastAction> lastAction_;
    mutable std::mutex mutex_;
    std::condition_variable released_;
    QStringList schemas_;
    QString selected_;
    // schema -> the types in order, each with its names
    QHash<QString, QList<std::pair<QString, QStringList>>> objects_;
    QSet<QString> cached_;
    QHash<QString, QString> synonymTargets_;
    QHash<QString, QStringList> columns_;
    QHash<QString, QList<ForeignKeyEntry>> keys_;
    QList<BrowserTableName> similar_;
    QHash<QString, std::pair<QString, int>> loadFailures_;
    QHash<QString, QString> schemaFailures_;
    bool previousStateHadFilterOrSort_ = false;
    bool hold_ = false;
    int held_ = 0;
    int passes_ = 0;
    mutable QList<BrowserCall> calls_;
};

// The fake root with the browser's root calls: metadata reloads (failing on request), full loads of a
// schema, and the refresh after a commit.
class FakeBrowserRoot : public FakeVornRootClient
{
public:
    void reloadConnectionMetaDataCache() override
    {
        ++metadataReloads;
        lastAction->set(reloadError);
    }
    bool needsRefreshAfterCommit() const override { return refreshAfterCommit; }
    QString schemaTerm() const override { return QStringLiteral("schema"); }
    QString catalogTerm() const override { return QStringLiteral("database"); }
    bool fullyLoadedForSchema(const QString &schema) const override
    {
        std::lock_guard lock(mutex);
        return fullyLoaded.contains(schema);
    }
    void fullyLoadForSchema(const QString &schema) override
    {
        std::lock_guard lock(mutex);
        fullyLoaded.insert(schema);
    }
    void setFullyLoaded(const QString &schema)
    {
        std::lock_guard lock(mutex);
        fullyLoaded.insert(schema);
    }

    std::atomic<int> metadataReloads{0};
    QString reloadError; // set before the reload starts
    std::atomic<bool> refreshAfterCommit{false};
    mutable std::mutex mutex;
    QSet<QString> fullyLoaded;
};

// Stands in for the document: grants reservations through the fake root (refusing on request),
// retries a waiting load when a reservation ends, and records what the controller tells it.
class FakeBrowserDocument : public ConnectedControllerDelegate, public BrowserControllerDelegate
{
public:
    FakeBrowserDocument(std::shared_ptr<FakeBrowserRoot> root, QString identifier)
        : root_(std::move(root)), identifier_(std::move(identifier))
    {
    }

    bool connectedControllerWantsRootReservationFor(ConnectedController *,
                                                    const QString &description) override;
    void connectedControllerWantsEndRootReservation(ConnectedController *) override;
    bool connectedControllerWantsToChangeFocus(ConnectedController *, bool) override
    {
        ++focusRequests;
        return allowFocusChange;
    }
    bool connectedControllerWantsClearRootSelection(ConnectedController *) override { return true; }
    ConnectionParametersPtr connectedControllerWantsConnectionParameters(ConnectedController *) override
    {
        return nullptr;
    }
    QString connectedControllerWantsUniqueConnectionIdentifier(ConnectedController *) override
    {
        return identifier_;
    }

    void resultsetHasBeenUpdated() override { events << "resultsetHasBeenUpdated"; }
    void browserHasBeenUpdated() override { events << "browserHasBeenUpdated"; }
    void browserControllerLoadedElement(const BrowserElementPtr &element) override
    {
        loadedElements << (element ? element->name() : QStringLiteral("<none>"));
    }
    void browserNeedsARefresh() override { events << "browserNeedsARefresh"; }
    void browserWillUpdate() override { events << "browserWillUpdate"; }
    void browserDidUpdate(const std::optional<BrowserElementSectionUpdate> &) override
    {
        events << "browserDidUpdate";
    }
    void browserWantsToConnect() override { events << "browserWantsToConnect"; }
    void browserWantsToDisconnect() override { events << "browserWantsToDisconnect"; }
    void browserDidReloadConnectionInfo() override { events << "browserDidReloadConnectionInfo"; }
    void browserRequestsNewDocumentFor(const BrowserElementPtr &element, const FilterPtr &filter,
                                       bool newWindow) override
    {
        newDocumentElement = element;
        newDocumentFilter = filter;
        newDocumentWindow = newWindow;
    }
    void browserWantsImportOfDataIntoElement(const BrowserElementPtr &) override {}
    void browserWantsExportOfElement(const BrowserElementPtr &) override {}
    void browserWantsInfoOfElement(const BrowserElementPtr &) override {}
    void browserWantsToOpenRecyclebin() override {}
    void browserNeedsBackgroundReloadConnectionInfo() override {}
    void commitOrRollbackCompleted() override { events << "commitOrRollbackCompleted"; }
    void browserUpdatedManagementMode() override { events << "browserUpdatedManagementMode"; }
    DDLController *browserWantsDDLController() override { return nullptr; }

    BrowserController *controller = nullptr;
    bool refuseReservations = false;
    bool allowFocusChange = true;
    int focusRequests = 0;
    QStringList reservations;
    QStringList events;
    QStringList loadedElements;
    BrowserElementPtr newDocumentElement;
    FilterPtr newDocumentFilter;
    bool newDocumentWindow = false;

private:
    std::shared_ptr<FakeBrowserRoot> root_;
    QString identifier_;
};

// A connected fake root with a metadata browser, and a controller with its document stand-in. Each
// fixture has a connection identifier of its own, so settings never leak between tests.
class BrowserFixture
{
public:
    BrowserFixture();
    explicit BrowserFixture(const QString &identifier);
    ~BrowserFixture();

    // Waits until no worker is left and the root is free again.
    bool waitForIdle();
    // Queued alert titles and texts, "title: text".
    QStringList alerts() const;

    std::shared_ptr<FakeBrowserRoot> root;
    std::shared_ptr<FakeMetadataBrowser> browser;
    std::unique_ptr<DesktopNotifier> desktop;
    std::unique_ptr<UserNotifier> notifier;
    std::shared_ptr<ThreadController> threads;
    std::shared_ptr<StatusManager> status;
    FakeBrowserDocument document;
    std::unique_ptr<BrowserController> controller;
};

// A fresh connection identifier.
QString uniqueIdentifier();
