// The application controller with the real Java VM: start-up behind the welcome screen, the
// configuration-error path, the quit review and opening a connections backup.
#include "app/VornDocumentController.h"
#include "ModalAnswerer.h"
#include "SqliteConnection.h"
#include "app/StartupController.h"
#include "app/StartupControllerDelegate.h"
#include "app/WelcomeScreenController.h"
#include "app/WelcomeScreenProgress.h"
#include "bridge/QoJavaBridge.h"
#include "browser/BrowserControllerDelegate.h"
#include "connection/ConnectionsBackup.h"
#include "connection/ConnectionsBackupPrompt.h"
#include "connection/SavedConnections.h"
#include "connection/Vorn2UpgradeAssistant.h"
#include "document/BrowserRouting.h"
#include "document/StatementRouting.h"
#include "document/VornDocument.h"
#include "kit/AssistantWindowController.h"
#include "kit/CommandRouter.h"
#include "kit/ShortcutVisualizer.h"
#include "platform/AppFolders.h"
#include "platform/Bundle.h"
#include "platform/NotificationCenter.h"
#include "platform/PropertyList.h"
#include "platform/SecretServiceKeychain.h"
#include "platform/UserDefaults.h"
#include "resultset/ExtendedFilter.h"
#include "resultset/ResultsetControllerDelegate.h"
#include "tabs/TabbedWindowController.h"

#include <QFileDialog>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <gtest/gtest.h>

#include <thread>

namespace
{

QVariantMap buildInfo()
{
    return Bundle(qEnvironmentVariable("VORN_BUILD_DIR")).infoDictionary();
}

void configureBridge()
{
    static const bool configured = [] {
        const Bundle build(qEnvironmentVariable("VORN_BUILD_DIR"));
        QoJavaBridge::setSharedConfiguration(build.infoDictionary(), build.bundlePath());
        return true;
    }();
    Q_UNUSED(configured);
}

class RecordingDelegate : public StartupControllerDelegate
{
public:
    void startupController(StartupController *, float value) override { progress.append(value); }
    void startupControllerFinished(StartupController *) override { finishedAfter = int(progress.size()); }

    QList<float> progress;
    int finishedAfter = -1;
};

TEST(StartupControllerTest, StartsTheVmOnTheNextTurnAndReportsEveryStepThenFinishes)
{
    configureBridge();
    RecordingDelegate delegate;
    StartupController controller(&delegate);
    controller.startup();
    EXPECT_TRUE(delegate.progress.isEmpty()) << "the work waits for the run loop";
    ASSERT_TRUE(QTest::qWaitFor([&] { return delegate.finishedAfter >= 0; }, 60000));
    EXPECT_EQ(delegate.progress, (QList<float>{0.5f, 0.75f, 0.83f, 0.91f, 1.0f}));
    EXPECT_EQ(delegate.finishedAfter, 5) << "finished only after the last progress";
    QoJavaBridge *bridge = QoJavaBridge::javaBridge();
    ASSERT_TRUE(bridge->hasVirtualMachine());
    for (const QString &name : StartupController::preloadedClasses())
        EXPECT_NE(bridge->classForName(name), nullptr) << name.toStdString();
}

TEST(StartupControllerTest, SupportFolderIsVornInTheUsersDataFolder)
{
    EXPECT_EQ(AppFolders::support(), QDir::homePath() + "/.local/share/Vorn");
}

class VornDocumentControllerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        configureBridge();
        defaults().removeObjectForKey("last_auto_releasenotes");
        defaults().removeObjectForKey(SavedConnections::allConnectionsKey);
    }
    static UserDefaults &defaults() { return UserDefaults::standard(); }

    // Launches the controller past its release notes and connects as a choice in the welcome screen's
    // list does: the one document that opens, or null.
    static VornDocument *launchAndChoose(VornDocumentController &controller,
                                         const ConnectionParametersPtr &parameters)
    {
        defaults().setObject(999999, "last_auto_releasenotes");
        controller.applicationDidFinishLaunching();
        if (!QTest::qWaitFor([&] { return !controller.isStarting(); }, 60000))
            return nullptr;
        WelcomeScreenController *welcome = controller.welcomeScreenController();
        welcome->connectionViewControllerWantsToConnect(welcome->connectionViewController(), parameters);
        if (controller.documents().size() != 1)
            return nullptr;
        return qobject_cast<VornDocument *>(controller.documents().first());
    }
};

TEST_F(VornDocumentControllerTest, LaunchShowsProgressFromTheWaitScreenToTheConnectionList)
{
    defaults().setObject(999999, "last_auto_releasenotes");
    VornDocumentController controller(buildInfo());
    controller.applicationDidFinishLaunching();
    WelcomeScreenController *welcome = controller.welcomeScreenController();
    ASSERT_NE(welcome, nullptr);
    EXPECT_TRUE(controller.isStarting());
    EXPECT_FLOAT_EQ(welcome->progress()->progress(), 0.1f);
    EXPECT_TRUE(welcome->window()->isVisible());
    EXPECT_FALSE(welcome->isShowingList());
    controller.newDocument(nullptr);
    EXPECT_FALSE(welcome->isShowingList()) << "the wait screen stays while starting";

    ASSERT_TRUE(QTest::qWaitFor([&] { return !controller.isStarting(); }, 60000));
    EXPECT_FLOAT_EQ(welcome->progress()->progress(), 1.0f);
    EXPECT_EQ(controller.sharedJavaBridge(), QoJavaBridge::javaBridge());
    EXPECT_EQ(controller.sharedJavaBridge()->delegate(), &controller);
    EXPECT_TRUE(controller.sharedJavaBridge()->reportErrors());
    ASSERT_NE(controller.shortcutVisualizer(), nullptr);
    EXPECT_DOUBLE_EQ(controller.shortcutVisualizer()->timeInterval(), 1.5);
    EXPECT_TRUE(welcome->isShowingList()) << "no document was restored";
    ASSERT_NE(welcome->connectionViewController(), nullptr);
    EXPECT_TRUE(welcome->editMode()) << "without saved connections the editor for a new one opens";
    EXPECT_EQ(controller.richTextWindow(), nullptr) << "not a new build";
}

TEST_F(VornDocumentControllerTest, ConfigurationErrorHeldFromStartShowsItsAlertAndEndsTheProgram)
{
    // An Info.plist whose Java settings lack the class path: the VM cannot start and the error
    // waits for a delegate.
    const QVariantMap info{{"QoJavaBridge", QVariantMap{{"JRE", "/usr/lib/jvm/default-java"}}}};
    QoJavaBridge bridge(info, QDir::tempPath());
    EXPECT_FALSE(bridge.startupJavaVirtualMachine());
    ASSERT_FALSE(bridge.delayedConfigError().isEmpty());

    VornDocumentController controller(buildInfo());
    QList<int> exits;
    controller.setExitHandler([&](int status) { exits.append(status); });
    ModalAnswerer answerer({"OK"});
    bridge.setDelegate(&controller);
    EXPECT_EQ(exits, QList<int>{-1});
    EXPECT_EQ(answerer.texts,
              QStringList{"Vorn encountered an configuration error while trying to use the Java "
                          "Virtual Machine and cannot continue"});
    bridge.setDelegate(nullptr);
}

TEST_F(VornDocumentControllerTest, UnexpectedErrorAlertIsReportedAgainForTheNextError)
{
    VornDocumentController controller(buildInfo());
    QoJavaBridge *bridge = QoJavaBridge::javaBridge();
    for (int round = 0; round < 2; ++round) {
        bridge->setReportErrors(false);
        ModalAnswerer answerer({"Cancel"});
        controller.javaBridgeEncounteredUnexpectedError(bridge);
        EXPECT_EQ(answerer.texts.size(), 1);
        EXPECT_TRUE(bridge->reportErrors()) << "round " << round;
    }
}

TEST_F(VornDocumentControllerTest, ReleaseNotesOpenOnceForANewerBuild)
{
    QVariantMap info = buildInfo();
    info.insert("BuildNumber", "B7");
    defaults().setObject(6, "last_auto_releasenotes");
    VornDocumentController controller(info);
    controller.startupNewBuild();
    AdvancedWindow *notes = controller.richTextWindow();
    ASSERT_NE(notes, nullptr);
    EXPECT_EQ(notes->windowTitle(), "Release Notes");
    auto *browser = qobject_cast<QTextBrowser *>(notes->centralWidget());
    ASSERT_NE(browser, nullptr);
    EXPECT_TRUE(browser->toPlainText().contains("What is new"));
    EXPECT_EQ(notes->closingDelegate(), &controller);
    EXPECT_EQ(defaults().integerForKey("last_auto_releasenotes"), 7);

    VornDocumentController again(info);
    again.startupNewBuild();
    EXPECT_EQ(again.richTextWindow(), nullptr) << "the same build opens none";
}

TEST_F(VornDocumentControllerTest, ConnectionChosenOnTheWelcomeScreenOpensInANewWindowAndConnects)
{
    QTemporaryDir folder;
    const ConnectionParametersPtr parameters = sqliteConnection(folder.filePath("shop.db"), "Shop");
    ASSERT_NE(parameters, nullptr);
    VornDocumentController controller(buildInfo());
    VornDocument *document = launchAndChoose(controller, parameters);
    ASSERT_NE(document, nullptr);
    WelcomeScreenController *welcome = controller.welcomeScreenController();
    ASSERT_NE(document->windowController(), nullptr);
    EXPECT_TRUE(document->windowController()->window()->isVisible());
    auto *menus = qobject_cast<QMenuBar *>(document->windowController()->window()->menuWidget());
    ASSERT_NE(menus, nullptr) << "the window has the application's menus";
    QMenu *windowMenu = nullptr;
    for (QAction *item : menus->actions()) {
        if (item->text() == "&Window")
            windowMenu = item->menu();
    }
    ASSERT_NE(windowMenu, nullptr);
    emit windowMenu->aboutToShow();
    QStringList entries;
    for (QAction *item : windowMenu->actions())
        entries << item->text();
    EXPECT_TRUE(entries.contains(TabbedDocumentController::nameForDocument(document)))
        << entries.join('|').toStdString();
    EXPECT_TRUE(entries.contains("Welcome to Vorn"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !welcome->window()->isVisible(); }, 5000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return document->connected(); }, 60000));
    controller.newDocument(nullptr);
    EXPECT_TRUE(welcome->isShowingList()) << "New shows the connection list";
    EXPECT_EQ(controller.documents().size(), 1) << "and opens no document by itself";
}

// A new document the browser or the grid asks for opens once their report has returned, on the same
// connection: as a tab of the asking document's window, or in a window of its own.
TEST_F(VornDocumentControllerTest, NewDocumentsAskedForOpenLaterInTheWindowOrANewOne)
{
    QTemporaryDir folder;
    const ConnectionParametersPtr parameters = sqliteConnection(folder.filePath("shop.db"), "Shop");
    ASSERT_NE(parameters, nullptr);
    VornDocumentController controller(buildInfo());
    VornDocument *document = launchAndChoose(controller, parameters);
    ASSERT_NE(document, nullptr);
    ASSERT_TRUE(QTest::qWaitFor([&] { return document->connected(); }, 60000));
    const auto element = std::make_shared<BrowserElement>("orders", "main", "TABLE", BrowserElement::Table);

    static_cast<BrowserControllerDelegate &>(document->browserRouting())
        .browserRequestsNewDocumentFor(element, nullptr, false);
    EXPECT_EQ(controller.documents().size(), 1) << "nothing opens inside the browser's report";
    ASSERT_TRUE(QTest::qWaitFor([&] { return controller.documents().size() == 2; }, 10000));
    auto *tab = qobject_cast<VornDocument *>(controller.documents().last());
    ASSERT_NE(tab, nullptr);
    ASSERT_NE(document->windowController(), nullptr);
    EXPECT_TRUE(document->windowController()->documents().contains(tab)) << "a tab of the asking window";
    ASSERT_TRUE(tab->connectionParameters());
    EXPECT_EQ(tab->connectionParameters()->database(), parameters->database());

    static_cast<ResultsetControllerDelegate &>(document->statementRouting())
        .resultSetRequestsNewDocumentForUpdatedFilter(std::make_shared<ExtendedFilter>(), element, true);
    EXPECT_EQ(controller.documents().size(), 2) << "nothing opens inside the grid's report";
    ASSERT_TRUE(QTest::qWaitFor([&] { return controller.documents().size() == 3; }, 10000));
    auto *windowed = qobject_cast<VornDocument *>(controller.documents().last());
    ASSERT_NE(windowed, nullptr);
    EXPECT_FALSE(document->windowController()->documents().contains(windowed)) << "in a window of its own";
    EXPECT_NE(windowed->windowController(), nullptr);
    ASSERT_TRUE(windowed->connectionParameters());
    EXPECT_EQ(windowed->connectionParameters()->database(), parameters->database());
}

TEST_F(VornDocumentControllerTest, MissingKeyringNoticeShowsOnceItsNotificationArrivesFromAnyThread)
{
    VornDocumentController controller(buildInfo());
    std::thread([] {
        NotificationCenter::defaultCenter().postNotification(SecretServiceKeychain::unavailableNotification,
                                                             nullptr, {{"message", "No keyring runs."}});
    }).join();
    QMessageBox *notice = nullptr;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return (notice = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) != nullptr; },
        5000));
    EXPECT_EQ(notice->informativeText(), "No keyring runs.");
    notice->close();
}

TEST_F(VornDocumentControllerTest, OlderVersionOfferIsLookedAtOnlyWhileNoConnectionIsSaved)
{
    const QVariantMap old{{"connections", QVariantList{QVariantMap{{"description", "Old"},
                                                                   {"databasetype", "PostgreSQL"},
                                                                   {"server", "h:5432"},
                                                                   {"username", "u"},
                                                                   {"database", "db"}}}}};
    ASSERT_TRUE(PropertyList::writeFile(old, Vorn2UpgradeAssistant::oldPreferencesPath()));
    VornDocumentController controller(buildInfo());
    int assistantsShown = 0;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (auto *assistant = qobject_cast<AssistantWindowController *>(QApplication::activeModalWidget())) {
            ++assistantsShown;
            assistant->done(0);
        }
    });
    closer.start(10);

    defaults().setObject(QVariantList{QVariantMap{{"name", "Kept"}}}, SavedConnections::allConnectionsKey);
    defaults().setObject(true, "vorn2upgrade");
    controller.checkUpgradeVorn2();
    EXPECT_EQ(assistantsShown, 0) << "offered once while connections are saved";

    defaults().removeObjectForKey(SavedConnections::allConnectionsKey);
    controller.checkUpgradeVorn2();
    EXPECT_EQ(assistantsShown, 1) << "looked at again while the saved list is empty";
    EXPECT_TRUE(defaults().boolForKey("vorn2upgrade"));

    QFile::remove(Vorn2UpgradeAssistant::oldPreferencesPath());
    defaults().setObject(false, "vorn2upgrade");
    controller.checkUpgradeVorn2();
    EXPECT_EQ(assistantsShown, 1) << "nothing to import without the older preferences";
    EXPECT_TRUE(defaults().boolForKey("vorn2upgrade"));
}

TEST_F(VornDocumentControllerTest, CancellingEitherBackupDialogChangesNothing)
{
    defaults().setObject(999999, "last_auto_releasenotes");
    VornDocumentController controller(buildInfo());
    controller.applicationDidFinishLaunching();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !controller.isStarting(); }, 60000));
    WelcomeScreenController *welcome = controller.welcomeScreenController();
    const QVariant saved = defaults().objectForKey(SavedConnections::allConnectionsKey);
    for (const QString &command : QStringList{"createConnectionsBackup:", "importConnectionsBackup:"}) {
        QStringList titles;
        QTimer canceller;
        QObject::connect(&canceller, &QTimer::timeout, [&] {
            if (auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget())) {
                titles << dialog->windowTitle();
                dialog->reject();
            }
        });
        canceller.start(10);
        ASSERT_TRUE(CommandRouter::shared().sendAction(command, nullptr));
        EXPECT_EQ(titles.size(), 1) << command.toStdString();
        EXPECT_TRUE(welcome->isShowingList()) << command.toStdString();
        EXPECT_EQ(defaults().objectForKey(SavedConnections::allConnectionsKey), saved);
    }
}

class SilentPrompt : public ConnectionsBackupPrompt
{
public:
    void cancelSheets() override {}
    void showAlert(const QString &, const QString &) override {}
    bool confirm(const QString &, const QString &, const QString &, const QString &, const QString &,
                 bool *) override
    {
        return true;
    }
};

TEST_F(VornDocumentControllerTest, ConnectionsBackupGivenToOpenIsImportedAndOpensNoTab)
{
    const QVariantMap entry{{"name", "Shop"},          {"databaseType", "PostgreSQL"},
                            {"server", "db.example"},  {"port", "5432"},
                            {"database", "shop"},      {"username", "clerk"},
                            {"autocommit", qint64(1)}, {"label", qint64(2)}};
    defaults().setObject(QVariantList{entry}, SavedConnections::allConnectionsKey);
    QTemporaryDir folder;
    const QString path = folder.filePath("connections.vornconnections");
    SilentPrompt prompt;
    ConnectionsBackup::exportConnectionsBackupToURL(path, false, prompt);
    defaults().removeObjectForKey(SavedConnections::allConnectionsKey);

    VornDocumentController controller(buildInfo());
    controller.setFilesToOpen({path});
    ModalAnswerer answerer({"Import", "OK"});
    controller.applicationDidFinishLaunching();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !controller.isStarting(); }, 60000));
    EXPECT_EQ(answerer.texts,
              (QStringList{"Import Connections Backup", "Import connections backup complete"}));
    const QVariantList saved = defaults().arrayForKey(SavedConnections::allConnectionsKey);
    ASSERT_EQ(saved.size(), 1);
    EXPECT_EQ(saved.first().toMap().value("name"), "Shop");
    EXPECT_EQ(saved.first().toMap().value("server"), "db.example");
    EXPECT_TRUE(controller.documents().isEmpty());
}

TEST(BuildNumberTest, PrefixesAreDroppedInTheirOrder)
{
    const QList<std::pair<QString, qint64>> cases{{"A1234", 1234}, {"B1234", 1234}, {"AB1234", 1234},
                                                  {"R1234", 1234}, {"BA1234", 0},   {"", 0},
                                                  {"12x", 12},     {"ABR7", 7}};
    for (const auto &[text, build] : cases)
        EXPECT_EQ(VornDocumentController::buildNumberFromString(text), build) << text.toStdString();
}

} // namespace
