#pragma once

// A result-set model over a real backend root, with a stand-in for its document.

#include "../backend/BackendTestSupport.h"
#include "client/VornRootClient.h"
#include "elements/BrowserElement.h"
#include "resultset/ResultsetController.h"
#include "resultset/ResultsetControllerDelegate.h"

#include <QStringList>
#include <QTemporaryDir>

#include <atomic>
#include <memory>

class DesktopNotifier;
class ResultsetViewController;
class StatusManager;
class ThreadController;
class UserNotifier;

// The client of a real root that counts how often the root was given back, by anyone.
class ReleaseCountingRootClient : public VornRootClient
{
public:
    using VornRootClient::VornRootClient;

    void releaseReservedRoot() override
    {
        ++releases;
        VornRootClient::releaseReservedRoot();
    }

    std::atomic<int> releases{0};
};

// Stands in for the document: grants reservations through the root's own reservation (so the root
// reports itself reserved while an action runs), forwards row updates to a grid, counts the rest.
class FakeResultsetDocument : public ResultsetControllerDelegate
{
public:
    explicit FakeResultsetDocument(VornRootClientPtr root) : root_(std::move(root)) {}

    bool connectedControllerWantsRootReservationFor(ConnectedController *,
                                                    const QString &description) override;
    void connectedControllerWantsEndRootReservation(ConnectedController *) override;
    bool connectedControllerWantsToChangeFocus(ConnectedController *, bool) override { return true; }
    bool connectedControllerWantsClearRootSelection(ConnectedController *) override { return true; }
    ConnectionParametersPtr connectedControllerWantsConnectionParameters(ConnectedController *) override
    {
        return nullptr;
    }
    QString connectedControllerWantsUniqueConnectionIdentifier(ConnectedController *) override
    {
        return "RESULTSET_TEST";
    }

    void resultsetWillUpdate() override { ++willUpdates; }
    void resultsetCancelledUpdate() override { ++cancelledUpdates; }
    void resultSetRemovedRowAt(qint64 row) override;
    void resultsetHasBeenUpdated() override;
    void resultsetQuickFilterOrSortHasBeenUpdated() override { ++filterOrSortUpdates; }
    void resultSetRequestsNewDocumentForUpdatedFilter(const ExtendedFilterPtr &, const BrowserElementPtr &,
                                                      bool) override
    {
    }
    void resultsetHasBeenReset() override {}
    BrowserElementPtr resultsetNeedsSelectedElement() override { return selectedElement; }
    void resultsetSelectedSession(const QVariantMap &, const QStringList &, const QVariantList &) override {}

    bool refuseReservations = false;
    QStringList reservations;
    int releases = 0;
    int updates = 0;
    int filterOrSortUpdates = 0;
    int willUpdates = 0;
    int cancelledUpdates = 0;
    QList<qint64> removedRows;
    BrowserElementPtr selectedElement;
    ResultsetViewController *grid = nullptr;

private:
    VornRootClientPtr root_;
};

// A connected root, its model and the document's thread controller and status manager.
class ResultsetFixture
{
public:
    ResultsetFixture(const DatabaseTarget &target, int rowLimit);
    ~ResultsetFixture();

    // Runs the statement and resets the model from the root; the failure message otherwise.
    ::testing::AssertionResult show(const QString &sql);
    // Loads a table of the selected schema through the browser, as the grid shows it, and resets the model.
    ::testing::AssertionResult showTable(const QString &name);
    // Waits until no preload runs, no worker is left and the root is free again.
    bool waitForIdle();
    // Queued alert texts and the final status.
    QStringList alerts() const;

    TestRoot root;
    // The model's client of the root.
    std::shared_ptr<ReleaseCountingRootClient> client;
    std::unique_ptr<DesktopNotifier> desktop;
    std::unique_ptr<UserNotifier> notifier;
    std::shared_ptr<ThreadController> threads;
    std::shared_ptr<StatusManager> status;
    FakeResultsetDocument document;
    std::unique_ptr<ResultsetController> controller;
};

// A test run once per database type: "SQLite" on a file of its own, "PostgreSQL" and "MySQL" on the test
// servers (skipped locally, failed in CI, when they are not running).
class ResultsetDatabaseTest : public ::testing::TestWithParam<QString>
{
protected:
    void SetUp() override;

    QTemporaryDir folder_;
    DatabaseTarget target_;
};

// The numbers 1 to count in the column "n", in the dialect of the database type.
QString numbersQuery(const QString &type, int count);
