#include "DdlBackendSupport.h"

#include "bridge/ThreadController.h"
#include "client/VornRootClient.h"
#include "connection/ConnectionParameters.h"
#include "kit/UserNotifier.h"
#include "platform/DesktopNotifier.h"
#include "status/StatusManager.h"

#include <QDBusConnection>

DdlDocumentStandIn::DdlDocumentStandIn(std::shared_ptr<VornRootClient> root, QString databaseType)
    : root_(std::move(root)), parameters_(std::make_shared<ConnectionParameters>())
{
    parameters_->setDatabaseType(databaseType);
}

bool DdlDocumentStandIn::connectedControllerWantsRootReservationFor(ConnectedController *,
                                                                    const QString &description)
{
    const bool reserved = root_->reserveRoot(description);
    reservations += reserved ? 1 : 0;
    return reserved;
}

void DdlDocumentStandIn::connectedControllerWantsEndRootReservation(ConnectedController *)
{
    ++releases;
    root_->releaseReservedRoot();
}

ConnectionParametersPtr
DdlDocumentStandIn::connectedControllerWantsConnectionParameters(ConnectedController *)
{
    return parameters_;
}

QString DdlDocumentStandIn::connectedControllerWantsUniqueConnectionIdentifier(ConnectedController *)
{
    return QStringLiteral("DDL_TEST");
}

DdlDatabaseTest::DdlDatabaseTest() = default;
DdlDatabaseTest::~DdlDatabaseTest() = default;

void DdlDatabaseTest::SetUp()
{
    DatabaseTest::SetUp();
    if (IsSkipped() || HasFatalFailure())
        return;
    startedBackend();
    testRoot = connected(1);
    ASSERT_FALSE(HasFailure());
    root = std::make_shared<VornRootClient>(testRoot->object());
    desktop = std::make_unique<DesktopNotifier>(QDBusConnection(QStringLiteral("no-desktop")));
    notifier = std::make_unique<UserNotifier>(*desktop);
    threads = std::make_shared<ThreadController>();
    status = std::make_shared<StatusManager>(root, *notifier);
    document = std::make_unique<DdlDocumentStandIn>(root, GetParam());
    controller = std::make_unique<DDLController>(root);
    controller->setDelegate(document.get());
    controller->setDdlDelegate(document.get());
    controller->setThreadController(threads);
    controller->setStatusManager(status);
}

void DdlDatabaseTest::TearDown()
{
    if (controller) {
        controller->setDdlDelegate(nullptr);
        controller->setDelegate(nullptr);
    }
    controller.reset();
    if (status)
        status->endStatusManager();
    if (testRoot)
        testRoot->call("endConnection");
}

void DdlDatabaseTest::dropTables(const QStringList &suffixes)
{
    for (const QString &suffix : suffixes)
        testRoot->execute(QStringLiteral("DROP TABLE IF EXISTS ") + name(suffix));
}

QString DdlDatabaseTest::firstValue(const QString &sql) const
{
    if (!testRoot->execute(sql))
        return {};
    const QoJavaObjectPtr rows = testRoot->resultset();
    if (!rows || rows->call("rowCount").toInt() < 1)
        return {};
    const QVariantMap row = dictionary(rows->call("getRow:", {1}));
    return row.isEmpty() ? QString() : row.first().toString();
}
