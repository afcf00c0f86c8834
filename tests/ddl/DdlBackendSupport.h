#pragma once

// The DDL controller over the real backend: a connected root of one test database, a stand-in for the
// document that reserves the root and records what the controller tells it, and the controller with
// the document's thread controller and status manager.

#include "../backend/BackendTestSupport.h"
#include "connection/ConnectedControllerDelegate.h"
#include "ddl/DDLController.h"
#include "ddl/DDLControllerDelegate.h"

#include <QStringList>

#include <memory>

class DesktopNotifier;
class StatusManager;
class ThreadController;
class UserNotifier;
class VornRootClient;

class DdlDocumentStandIn : public ConnectedControllerDelegate, public DDLControllerDelegate
{
public:
    DdlDocumentStandIn(std::shared_ptr<VornRootClient> root, QString databaseType);

    bool allowFocusChange = true;
    bool commitBeforeVisible = false;
    int clearedResults = 0;
    int backgroundReloads = 0;
    QStringList performed;
    QStringList insertedCode;
    int reservations = 0;
    int releases = 0;

    bool connectedControllerWantsRootReservationFor(ConnectedController *,
                                                    const QString &description) override;
    void connectedControllerWantsEndRootReservation(ConnectedController *) override;
    bool connectedControllerWantsToChangeFocus(ConnectedController *, bool) override
    {
        return allowFocusChange;
    }
    bool connectedControllerWantsClearRootSelection(ConnectedController *) override { return true; }
    ConnectionParametersPtr connectedControllerWantsConnectionParameters(ConnectedController *) override;
    QString connectedControllerWantsUniqueConnectionIdentifier(ConnectedController *) override;

    void DDLControllerNeedsClearResults() override { ++clearedResults; }
    void DDLControllerDidPerformAction(const QString &text) override { performed << text; }
    void DDLControllerNeedsBackgroundReloadConnectionInfo() override { ++backgroundReloads; }
    void DDLControllerWantsToInsertCodeIntoEditor(DDLController *, const QString &code) override
    {
        insertedCode << code;
    }
    bool DDLControllerNeedsCommitBeforeObjectIsVisible(DDLController *) override
    {
        return commitBeforeVisible;
    }

private:
    std::shared_ptr<VornRootClient> root_;
    ConnectionParametersPtr parameters_;
};

// A DatabaseTest with a connected auto-commit root, its client, and the controller on it.
class DdlDatabaseTest : public DatabaseTest
{
protected:
    DdlDatabaseTest();
    ~DdlDatabaseTest() override;
    void SetUp() override;
    void TearDown() override;

    // The database's name for the test's own objects ("vddl_" and a suffix), dropped before and after.
    QString name(const QString &suffix) const { return QStringLiteral("vddl_") + suffix; }
    void dropTables(const QStringList &suffixes);
    // The first column of the first row of a query; null without rows.
    QString firstValue(const QString &sql) const;

    std::unique_ptr<TestRoot> testRoot;
    std::shared_ptr<VornRootClient> root;
    std::unique_ptr<DesktopNotifier> desktop;
    std::unique_ptr<UserNotifier> notifier;
    std::shared_ptr<ThreadController> threads;
    std::shared_ptr<StatusManager> status;
    std::unique_ptr<DdlDocumentStandIn> document;
    std::unique_ptr<DDLController> controller;
};
