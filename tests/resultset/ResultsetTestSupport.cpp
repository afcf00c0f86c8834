#include "ResultsetTestSupport.h"

#include "TestServers.h"
#include "WaitFor.h"
#include "bridge/ThreadController.h"
#include "kit/UserNotifier.h"
#include "platform/DesktopNotifier.h"
#include "resultset/ResultsetViewController.h"
#include "status/StatusManager.h"
#include "status/StatusManagerMessage.h"

#include <QDBusConnection>

bool FakeResultsetDocument::connectedControllerWantsRootReservationFor(ConnectedController *,
                                                                       const QString &description)
{
    reservations << description;
    return !refuseReservations && root_->reserveRoot(description);
}

void FakeResultsetDocument::resultSetRemovedRowAt(qint64 row)
{
    removedRows << row;
    if (grid)
        grid->resultsetRemovedRowAt(row);
}

void FakeResultsetDocument::connectedControllerWantsEndRootReservation(ConnectedController *)
{
    ++releases;
    root_->releaseReservedRoot();
}

void FakeResultsetDocument::resultsetHasBeenUpdated()
{
    ++updates;
    if (grid)
        grid->resultsetUpdated();
}

ResultsetFixture::ResultsetFixture(const DatabaseTarget &target, int rowLimit)
    : root(rowLimit), client(std::make_shared<ReleaseCountingRootClient>(root.object())),
      desktop(std::make_unique<DesktopNotifier>(QDBusConnection("no-desktop"))),
      notifier(std::make_unique<UserNotifier>(*desktop)), threads(std::make_shared<ThreadController>()),
      status(std::make_shared<StatusManager>(client, *notifier)), document(client)
{
    EXPECT_TRUE(root.connect(target, 10, 1)) << root.lastErrorMessage().toStdString();
    controller = std::make_unique<ResultsetController>(client);
    controller->setDelegate(&document);
    controller->setThreadController(threads);
    controller->setStatusManager(status);
}

ResultsetFixture::~ResultsetFixture()
{
    waitForIdle();
    if (document.grid)
        document.grid->setResultsetController(nullptr);
    controller.reset();
    status->endStatusManager();
    root.call("endConnection");
}

::testing::AssertionResult ResultsetFixture::show(const QString &sql)
{
    root.execute(sql);
    if (!root.lastActionSuccessful())
        return ::testing::AssertionFailure()
               << sql.toStdString() << ": " << root.lastErrorMessage().toStdString();
    controller->resetResultsetFromRoot();
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult ResultsetFixture::showTable(const QString &name)
{
    const QoJavaObjectPtr browser = asObject(root.call("browser"));
    browser->call("selectElement:::", {browser->call("selectedSchema"), "TABLE", name});
    if (!root.lastActionSuccessful())
        return ::testing::AssertionFailure()
               << name.toStdString() << ": " << root.lastErrorMessage().toStdString();
    controller->resetResultsetFromRoot();
    return ::testing::AssertionSuccess();
}

bool ResultsetFixture::waitForIdle()
{
    const auto idle = [this] {
        return (!controller || !controller->isPreloading()) && !root.isTrue("reserved") &&
               threads->numberOfRegisteredThreads(true) == 0;
    };
    VORN_WAIT_UNTIL(idle(), 60000);
    return idle();
}

QStringList ResultsetFixture::alerts() const
{
    QStringList texts;
    for (const auto &message : status->messageQueue())
        texts << message->title + ": " + message->message;
    return texts;
}

void ResultsetDatabaseTest::SetUp()
{
    if (GetParam() == "SQLite") {
        target_ = sqliteTarget(folder_);
        return;
    }
    auto server = serverTarget(GetParam());
    VORN_REQUIRE_SERVER(server, GetParam().toStdString());
    target_ = *server;
}

QString numbersQuery(const QString &type, int count)
{
    if (type == "PostgreSQL")
        return QString("SELECT g AS n, 'row ' || g AS label FROM generate_series(1, %1) g").arg(count);
    if (type == "MySQL")
        return QString("SELECT seq AS n, CONCAT('row ', seq) AS label FROM seq_1_to_%1").arg(count);
    return QString("WITH RECURSIVE c(n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM c WHERE n < %1) "
                   "SELECT n, 'row ' || n AS label FROM c")
        .arg(count);
}
