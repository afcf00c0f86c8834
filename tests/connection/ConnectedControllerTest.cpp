#include "connection/ConnectedController.h"
#include "platform/AppFolders.h"

#include "FakeVornRootClient.h"
#include "WaitFor.h"
#include "bridge/QoJavaBridge.h"
#include "bridge/ThreadController.h"
#include "connection/ConnectedControllerDelegate.h"
#include "platform/PropertyList.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

#include <atomic>
#include <climits>

namespace
{

// The settings and the delegate's questions never reach the root: the fake stands in for it.
VornRootClientPtr placeholderRoot()
{
    return std::make_shared<FakeVornRootClient>();
}

// Workers register with a thread controller over a bridge without a VM: attaching is left out.
QoJavaBridge &bridgeWithoutVm()
{
    static auto *bridge = new QoJavaBridge(QVariantMap(), QString());
    return *bridge;
}

class FakeDelegate : public ConnectedControllerDelegate
{
public:
    explicit FakeDelegate(QString identifier) : identifier(std::move(identifier)) {}

    bool connectedControllerWantsRootReservationFor(ConnectedController *,
                                                    const QString &description) override
    {
        reservations.append(description);
        return grant;
    }
    void connectedControllerWantsEndRootReservation(ConnectedController *) override { ++releases; }
    bool connectedControllerWantsToChangeFocus(ConnectedController *, bool requiresEditing) override
    {
        focusRequests.append(requiresEditing);
        return grant;
    }
    bool connectedControllerWantsClearRootSelection(ConnectedController *) override { return grant; }
    ConnectionParametersPtr connectedControllerWantsConnectionParameters(ConnectedController *) override
    {
        return nullptr;
    }
    QString connectedControllerWantsUniqueConnectionIdentifier(ConnectedController *) override
    {
        return identifier;
    }

    QString identifier;
    bool grant = true;
    QStringList reservations;
    int releases = 0;
    QList<bool> focusRequests;
};

class ConnectedControllerTest : public ::testing::Test
{
protected:
    void SetUp() override { QDir(AppFolders::support()).removeRecursively(); }
};

QStringList capturedWarnings;
void captureMessages(QtMsgType, const QMessageLogContext &, const QString &message)
{
    capturedWarnings.append(message);
}

} // namespace

TEST_F(ConnectedControllerTest, TwoControllersOfOneConnectionShareSettingsWrittenAtOnce)
{
    FakeDelegate delegate("DBHOST_5432_SALES_SCOTT");
    ConnectedController browser(placeholderRoot());
    ConnectedController info(placeholderRoot());
    browser.setDelegate(&delegate);
    info.setDelegate(&delegate);

    EXPECT_FALSE(browser.connectionSettingsWithName("favourites").isValid());
    const QString path = AppFolders::support() + "/DBHOST_5432_SALES_SCOTT.connectionsettings";
    EXPECT_FALSE(QFile::exists(path));

    const QVariantList favourites{QVariantMap{{"name", "ORDERS"}, {"type", "TABLE"}}, QString("CUSTOMERS")};
    browser.setConnectionSettingWithName("favourites", favourites);
    EXPECT_EQ(PropertyList::readFile(path).toMap().value("favourites"), favourites) << "written at once";
    EXPECT_EQ(info.connectionSettingsWithName("favourites"), favourites);

    // A change by the second is seen by the first, which now shares the dictionary loaded last.
    info.setConnectionSettingWithName("quickfilterDrops", QVariantList{QString("a")});
    EXPECT_EQ(browser.connectionSettingsWithName("quickfilterDrops"), QVariantList{QString("a")});
    EXPECT_EQ(browser.settingsString(), "DBHOST_5432_SALES_SCOTT");
    EXPECT_EQ(PropertyList::readFile(path).toMap().size(), 2);

    // Another connection loads its own file.
    delegate.identifier = "OTHER_1_D_U";
    EXPECT_FALSE(browser.connectionSettingsWithName("favourites").isValid());
    browser.setConnectionSettingWithName("favourites", QVariantList{});
    EXPECT_EQ(PropertyList::readFile(path).toMap().value("favourites"), favourites);
}

TEST_F(ConnectedControllerTest, AnUnreadableSettingsFileIsKeptAsideNotOverwritten)
{
    const QString folder = AppFolders::support();
    QDir().mkpath(folder);
    const QString path = folder + "/MANGLED_1_D_U.connectionsettings";
    const QByteArray mangled("<?xml version=\"1.0\"?><plist><dict><key>favourites</key><arr");
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(mangled);
    }
    FakeDelegate delegate("MANGLED_1_D_U");
    ConnectedController controller(placeholderRoot());
    controller.setDelegate(&delegate);
    controller.setConnectionSettingWithName("recent", QVariantList{QString("T")});

    const QStringList kept = QDir(folder).entryList({"MANGLED_1_D_U.connectionsettings.unreadable-*"});
    ASSERT_EQ(kept.size(), 1);
    QFile keptFile(folder + "/" + kept.first());
    ASSERT_TRUE(keptFile.open(QIODevice::ReadOnly));
    EXPECT_EQ(keptFile.readAll(), mangled);
    EXPECT_EQ(PropertyList::readFile(path).toMap().value("recent"), QVariantList{QString("T")});
}

TEST_F(ConnectedControllerTest, FileNamesOfLocalFileAndOverlongIdentifiers)
{
    const QString folder = AppFolders::support();
    const QString longA = QString(300, 'A') + "_1";
    const QString longB = QString(300, 'A') + "_2";
    const struct {
        QString identifier;
        QString fileName; // empty: shortened, checked below
    } cases[] = {
        {"DBHOST_5432_SALES_SCOTT", "DBHOST_5432_SALES_SCOTT.connectionsettings"},
        {"__FILE:///HOME/ME/SHOP.DB_", "__FILE:%2F%2F%2FHOME%2FME%2FSHOP.DB_.connectionsettings"},
        {"H_1_50%/X_U", "H_1_50%25%2FX_U.connectionsettings"},
        {longA, {}},
        {longB, {}},
        {QString(200, QChar(0x00E9)) + "_1", {}},
    };
    QStringList paths;
    for (const auto &c : cases) {
        const QString path = ConnectedController::settingsFilePath(c.identifier);
        const QString name = QFileInfo(path).fileName();
        EXPECT_EQ(QFileInfo(path).absolutePath(), folder);
        if (!c.fileName.isEmpty()) {
            EXPECT_EQ(name, c.fileName);
        }
        EXPECT_LE(name.toUtf8().size(), NAME_MAX) << name.toStdString();
        EXPECT_TRUE(name.endsWith(".connectionsettings"));
        paths.append(path);

        FakeDelegate delegate(c.identifier);
        ConnectedController controller(placeholderRoot());
        controller.setDelegate(&delegate);
        controller.setConnectionSettingWithName("favourites", QVariantList{c.identifier});
        EXPECT_TRUE(QFile::exists(path)) << name.toStdString();
        EXPECT_EQ(PropertyList::readFile(path).toMap().value("favourites"), QVariantList{c.identifier});
    }
    paths.removeDuplicates();
    EXPECT_EQ(paths.size(), int(std::size(cases)));
}

TEST_F(ConnectedControllerTest, AFailedWriteIsLoggedAndTheValueKeptInMemory)
{
    // A file where the data folder should be: the folder cannot be created.
    const QString folder = AppFolders::support();
    QDir().mkpath(QFileInfo(folder).absolutePath());
    QFile blocker(folder);
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();

    FakeDelegate delegate("H_1_D_U");
    ConnectedController controller(placeholderRoot());
    controller.setDelegate(&delegate);
    capturedWarnings.clear();
    const QtMessageHandler previous = qInstallMessageHandler(captureMessages);
    controller.setConnectionSettingWithName("favourites", QVariantList{QString("T")});
    qInstallMessageHandler(previous);
    QFile::remove(folder);

    ASSERT_EQ(capturedWarnings.size(), 1);
    EXPECT_TRUE(capturedWarnings[0].contains("not saved")) << capturedWarnings[0].toStdString();
    EXPECT_EQ(controller.connectionSettingsWithName("favourites"), QVariantList{QString("T")});
}

TEST_F(ConnectedControllerTest, WithoutADelegateReadsAreEmptyWritesDroppedAndEachAccessLogged)
{
    ConnectedController controller(placeholderRoot());
    capturedWarnings.clear();
    const QtMessageHandler previous = qInstallMessageHandler(captureMessages);
    EXPECT_FALSE(controller.connectionSettingsWithName("favourites").isValid());
    controller.setConnectionSettingWithName("favourites", QVariantList{QString("T")});
    EXPECT_FALSE(controller.connectionSettingsWithName("favourites").isValid());
    qInstallMessageHandler(previous);

    EXPECT_EQ(capturedWarnings.size(), 6);
    EXPECT_EQ(capturedWarnings.value(0), "Connected controller must have a delegate at this point");
    EXPECT_TRUE(capturedWarnings.value(1).startsWith("Trace "));
    EXPECT_FALSE(QDir(AppFolders::support()).exists());
    EXPECT_FALSE(controller.requestRootReservation("Committing changes"));
    EXPECT_FALSE(controller.requestFocusChange());
    EXPECT_FALSE(controller.clearRootSelection());
}

TEST_F(ConnectedControllerTest, ReservationAndFocusQuestionsGoToTheDelegate)
{
    FakeDelegate delegate("H_1_D_U");
    ConnectedController controller(placeholderRoot());
    controller.setDelegate(&delegate);
    EXPECT_TRUE(controller.requestRootReservation("Committing changes"));
    controller.releaseRootReservation();
    EXPECT_TRUE(controller.requestFocusChange());
    EXPECT_TRUE(controller.requestFocusChangeEndEditing(false));
    delegate.grant = false;
    EXPECT_FALSE(controller.requestRootReservation("Refreshing"));
    EXPECT_FALSE(controller.clearRootSelection());

    EXPECT_EQ(delegate.reservations, (QStringList{"Committing changes", "Refreshing"}));
    EXPECT_EQ(delegate.releases, 1);
    EXPECT_EQ(delegate.focusRequests, (QList<bool>{true, false}));
}

TEST_F(ConnectedControllerTest, ReservedWorkGivesTheReservationBackOnceEvenWhenTheControllerHasGone)
{
    auto root = std::make_shared<FakeVornRootClient>();
    auto threads = std::make_shared<ThreadController>(&bridgeWithoutVm());
    FakeDelegate delegate("H_1_D_U");
    QStringList steps;
    auto workerName = std::make_shared<QString>();
    {
        ConnectedController controller(root);
        controller.setDelegate(&delegate);
        controller.setThreadController(threads);
        ASSERT_TRUE(controller.requestRootReservation("Refreshing"));
        BackgroundJob job;
        job.threadName = QStringLiteral("Refreshing the browser");
        job.work = [workerName](const WorkerControl &) {
            *workerName = ThreadController::currentThreadName();
        };
        job.done = [&] { steps << QStringLiteral("done after %1 release").arg(delegate.releases); };
        controller.runReserved(std::move(job));
        ASSERT_WAIT_FOR(!steps.isEmpty());
    }
    EXPECT_EQ(steps, QStringList{"done after 1 release"}) << "the delegate takes the reservation back first";
    EXPECT_EQ(*workerName, "Refreshing the browser");
    EXPECT_EQ(root->releases.load(), 0);

    // The controller goes while its work runs: the root itself is freed, nobody else is asked.
    auto mayFinish = std::make_shared<std::atomic<bool>>(false);
    auto controller = std::make_unique<ConnectedController>(root);
    controller->setDelegate(&delegate);
    controller->setThreadController(threads);
    ASSERT_TRUE(controller->requestRootReservation("Refreshing"));
    BackgroundJob job;
    job.threadName = QStringLiteral("Refreshing the browser");
    job.work = [mayFinish](const WorkerControl &) { mayFinish->wait(false); };
    job.done = [&] { steps << QStringLiteral("done of a controller that has gone"); };
    controller->runReserved(std::move(job));
    controller.reset();
    *mayFinish = true;
    mayFinish->notify_all();
    ASSERT_WAIT_FOR_EQ(root->releases.load(), 1);
    ASSERT_WAIT_FOR_EQ(threads->numberOfRegisteredThreads(true), 0);
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(root->releases.load(), 1);
    EXPECT_EQ(delegate.releases, 1);
    EXPECT_EQ(steps, QStringList{"done after 1 release"});
}

TEST(ConnectedControllerDeath, ANullRootIsAProgrammingError)
{
    EXPECT_DEBUG_DEATH(ConnectedController controller(nullptr), "Cannot initialize with an nil vornRoot");
}
