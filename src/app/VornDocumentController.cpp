#include "app/VornDocumentController.h"
#include "platform/Preferences.h"

#include "app/AppLog.h"
#include "app/ApplicationMenu.h"
#include "app/PreferencesController.h"
#include "app/ReportMail.h"
#include "app/StartupController.h"
#include "app/WelcomeScreenController.h"
#include "bridge/QoJavaBridge.h"
#include "connection/ConnectionsBackup.h"
#include "connection/ConnectionsBackupAlerts.h"
#include "connection/Vorn2UpgradeAssistant.h"
#include "connection/Vorn2UpgradeConnections.h"
#include "document/ActivityViewerController.h"
#include "document/BackgroundController.h"
#include "document/ConnectionLife.h"
#include "document/VornDocument.h"
#include "editor/QueryRecallController.h"
#include "editor/QueryRecallViewController.h"
#include "editor/SQLEditorController.h"
#include "editor/SQLEditorViewController.h"
#include "editor/SQLTextView.h"
#include "kit/CommandRouter.h"
#include "kit/ShortcutVisualizer.h"
#include "kit/TextEditCommands.h"
#include "platform/MainThread.h"
#include "platform/SecretServiceKeychain.h"
#include "platform/UserDefaults.h"
#include "platform/Website.h"
#include "tabs/RecentDocuments.h"
#include "tabs/TabbedWindowController.h"
#include "window/AboutWindowController.h"
#include "window/VornTabbedWindowController.h"

#include <QApplication>
#include <QCheckBox>
#include <QDesktopServices>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTextBrowser>
#include <QVBoxLayout>

#include <cstdlib>
#include <optional>

namespace
{

QString text(const char *context, const char *source)
{
    return QCoreApplication::translate(context, source);
}

QPointer<VornDocumentController> sharedController;

const QString BackupExtension = QStringLiteral("vornconnections");

// Runs a backup file dialog with the accessory below its own controls; the chosen file or nothing.
QString runBackupDialog(QFileDialog &dialog, QWidget *accessory)
{
    dialog.setNameFilter(text("connection", "Connections backup (*.vornconnections)"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    accessory->setParent(&dialog);
    if (auto *grid = qobject_cast<QGridLayout *>(dialog.layout()))
        grid->addWidget(accessory, grid->rowCount(), 0, 1, grid->columnCount());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().first();
}

// The middle of the screen the welcome window is on, in single precision as the window placement wants.
std::optional<int> screenMiddle(const QWidget *window)
{
    const QScreen *screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return std::nullopt;
    return screen->geometry().x() + int(float(screen->geometry().width()) / 2.0f);
}

} // namespace

VornDocumentController::VornDocumentController(const QVariantMap &info, UserDefaults *defaults,
                                               QObject *parent)
    : TabbedDocumentController(parent), info_(info),
      defaults_(defaults ? *defaults : UserDefaults::standard()),
      startupController_(std::make_unique<StartupController>(this)),
      textEditCommands_(std::make_unique<TextEditCommands>()),
      exitHandler_([](int status) { std::exit(status); })
{
    Q_INIT_RESOURCE(app_resources);
    QApplication::setWindowIcon(applicationIcon());
    sharedController = this;
    CommandRouter::shared().addApplicationResponder(this);
    CommandRouter::shared().addApplicationResponder(textEditCommands_.get());
    QueryHistoryRecorder::setShared(QueryRecallController::sharedController());
    // Every tabbed window, however it was made, shows the application's menus.
    qApp->installEventFilter(this);
    VornTabbedWindowController::setFilterDropHandler(
        [](const QByteArray &filter, VornTabbedWindowController *windowController) {
            if (sharedController)
                sharedController->createNewTabWithFilter(filter, windowController->activeDocument());
        });
    // Posted from whichever thread first met the missing keyring; the notice belongs on the main thread.
    keychainObserver_ = NotificationCenter::defaultCenter().addObserver(
        SecretServiceKeychain::unavailableNotification, nullptr, [this](const Notification &notification) {
            const QString message = notification.userInfo.value("message").toString();
            QPointer<VornDocumentController> self(this);
            MainThread::post([self, message] {
                if (self)
                    self->showKeychainUnavailable(message);
            });
        });
}

VornDocumentController::~VornDocumentController()
{
    NotificationCenter::defaultCenter().removeObserver(keychainObserver_);
    if (sharedJavaBridge_ && sharedJavaBridge_->delegate() == this)
        sharedJavaBridge_->setDelegate(nullptr);
}

VornDocumentController *VornDocumentController::sharedDocumentController()
{
    return sharedController;
}

qint64 VornDocumentController::buildNumberFromString(QString buildNumber)
{
    for (const QChar prefix : {QChar('A'), QChar('B'), QChar('R')}) {
        if (buildNumber.startsWith(prefix))
            buildNumber.remove(0, 1);
    }
    qsizetype digits = 0;
    while (digits < buildNumber.size() && buildNumber.at(digits).isDigit())
        ++digits;
    return buildNumber.left(digits).toLongLong();
}

// ---- Start-up ---------------------------------------------------------------------------------

void VornDocumentController::applicationDidFinishLaunching()
{
    checkUpgradeVorn2();
    welcomeScreenController_ = std::make_unique<WelcomeScreenController>(info_);
    ApplicationMenu::install(welcomeScreenController_->window());
    welcomeScreenController_->orderOutWaitScreen();
    welcomeScreenController_->setStartupProgress(0.1f);
    startupController_->startup();
}

void VornDocumentController::startupController(StartupController *, float progress)
{
    if (welcomeScreenController_)
        welcomeScreenController_->setStartupProgress(progress);
}

void VornDocumentController::startupControllerFinished(StartupController *)
{
    sharedJavaBridge_ = QoJavaBridge::javaBridge();
    // Only read now: changing these later starts or stops nothing until the next launch.
    if (defaults_.boolForKey(PreferenceKey::allowBackgroundConnections) &&
        defaults_.boolForKey(PreferenceKey::allowBackgroundConnectionsConnection))
        BackgroundController::instance().startup();
    // A configuration error held since the VM's start arrives here, at once.
    sharedJavaBridge_->setDelegate(this);
    sharedJavaBridge_->setReportErrors(true);
    shortcutVisualizer_ = std::make_unique<ShortcutVisualizer>();
    shortcutVisualizer_->initialize(1.5);
    startupController_.reset();
    readRestorationFile();
    restoreDocuments();
    const QStringList files = std::exchange(filesToOpen_, {});
    for (const QString &path : files)
        openDocumentWithContentsOfURL(path);
    if (welcomeScreenController_) {
        if (documents().isEmpty())
            welcomeScreenController_->orderOut();
        else
            welcomeScreenController_->close();
    }
    startupNewBuild();
}

void VornDocumentController::checkUpgradeVorn2()
{
    if (!defaults_.arrayForKey("allConnections").isEmpty() &&
        defaults_.boolForKey(PreferenceKey::vorn2upgrade))
        return;
    if (const std::optional<QVariantMap> old = Vorn2UpgradeAssistant::readOldPreferences()) {
        if (!Vorn2UpgradeConnections::importableConnections(*old).isEmpty()) {
            vorn2UpgradeAssistant_ = std::make_unique<Vorn2UpgradeAssistant>(info_);
            vorn2UpgradeAssistant_->run();
        }
    }
    defaults_.setObject(true, PreferenceKey::vorn2upgrade);
    defaults_.synchronize();
}

void VornDocumentController::startupNewBuild()
{
    const qint64 build = buildNumberFromString(info_.value("BuildNumber").toString());
    if (build > defaults_.integerForKey(PreferenceKey::last_auto_releasenotes)) {
        defaults_.setObject(build, PreferenceKey::last_auto_releasenotes);
        AdvancedWindow *notes =
            openWindowWithRtfDocument(releaseNotesName(), text("MainMenu", "Release Notes"));
        notes->setClosingDelegate(this);
        placeBesideWelcomeScreen(notes);
    }
    if (!defaults_.contains(PreferenceKey::quicklookRefresh)) {
        qCInfo(lcApp, "initialising a new preview install (build %lld)", build);
        defaults_.setObject(build, PreferenceKey::quicklookRefresh);
        // The preview host reads its generator anew at every run: there is nothing to reload yet.
    }
    defaults_.synchronize();
}

// Release notes right of the screen's middle, the welcome window left of it.
void VornDocumentController::placeBesideWelcomeScreen(AdvancedWindow *window)
{
    if (!welcomeScreenController_ || !welcomeScreenController_->window()->isVisible())
        return;
    QWidget *welcome = welcomeScreenController_->window();
    if (const std::optional<int> middle = screenMiddle(welcome)) {
        window->move(*middle + 10, window->y());
        welcome->move(*middle - 10 - welcome->frameGeometry().width(), welcome->y());
    }
}

void VornDocumentController::centreWelcomeScreen()
{
    if (!welcomeScreenController_ || !welcomeScreenController_->window()->isVisible())
        return;
    QWidget *welcome = welcomeScreenController_->window();
    if (const std::optional<int> middle = screenMiddle(welcome))
        welcome->move(*middle - welcome->frameGeometry().width() / 2, welcome->y());
}

// ---- Documents --------------------------------------------------------------------------------

TabbedDocument *VornDocumentController::makeUntitledDocument(QString *)
{
    return new VornDocument;
}

TabbedWindowController *VornDocumentController::createEmptyWindowController()
{
    return new VornTabbedWindowController;
}

void VornDocumentController::openDocumentWithContentsOfURL(const QString &path)
{
    if (QFileInfo(path).suffix() == BackupExtension) {
        importConnectionsBackupFile(path);
        return;
    }
    QPointer<VornDocumentController> self(this);
    TabbedDocumentController::openDocumentWithContentsOfURL(
        path, true, [self, path](TabbedDocument *document, bool, const QString &error) {
            if (!self)
                return;
            if (document) {
                RecentDocuments().noteDocument(path);
                self->closeWelcomeScreen();
            } else {
                self->showOpenError(path, error);
            }
        });
}

void VornDocumentController::createNewTabWithFilter(const QByteArray &filter, TabbedDocument *document)
{
    auto *source = qobject_cast<VornDocument *>(document);
    if (!source)
        return;
    QVariantMap info = source->initializationInfoForTabDuplication();
    info.insert("filter", filter);
    openUntitledDocumentAndDisplay(true, source->windowController(), true,
                                   defaults_.boolForKey(PreferenceKey::selectCreatedTabs), info, nullptr);
    closeWelcomeScreen();
}

bool VornDocumentController::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Show) {
        for (TabbedWindowController *controller : TabbedWindowController::allWindowControllers()) {
            if (controller->isWindowLoaded() && controller->window() == watched &&
                !controller->window()->menuWidget())
                ApplicationMenu::install(controller->window());
        }
    }
    return TabbedDocumentController::eventFilter(watched, event);
}

void VornDocumentController::closeWelcomeScreen()
{
    if (welcomeScreenController_)
        welcomeScreenController_->close();
}

void VornDocumentController::showOpenError(const QString &path, const QString &reason)
{
    QMessageBox alert(
        QMessageBox::Warning, QStringLiteral("Vorn"),
        text("document", "The document “%1” could not be opened.").arg(QFileInfo(path).fileName()));
    alert.setInformativeText(reason);
    alert.exec();
}

// ---- Quit review ------------------------------------------------------------------------------

void VornDocumentController::terminate(QObject *)
{
    for (TabbedDocument *document : documents()) {
        if (documentNeedsDisconnect(document)) {
            disconnectAllDocumentsAndQuit();
            return;
        }
    }
    reviewDocumentsAndQuit();
}

void VornDocumentController::disconnectAllDocumentsAndQuit()
{
    disconnectAndQuit(nullptr, true);
}

void VornDocumentController::disconnectAndQuit(TabbedDocument *document, bool cont)
{
    if (!cont)
        return;
    if (document)
        disconnectDocument(document);
    for (TabbedDocument *candidate : documents()) {
        if (documentNeedsDisconnect(candidate)) {
            QPointer<VornDocumentController> self(this);
            askDocumentToDisconnect(candidate, [self](TabbedDocument *answered, bool shouldDisconnect) {
                if (self)
                    self->disconnectAndQuit(answered, shouldDisconnect);
            });
            return;
        }
    }
    terminate(nullptr);
}

bool VornDocumentController::documentNeedsDisconnect(TabbedDocument *document) const
{
    auto *connection = qobject_cast<VornDocument *>(document);
    return connection && connection->hasConnection() &&
           (connection->hasDirtyConnection() || connection->hasRunningQuery());
}

void VornDocumentController::askDocumentToDisconnect(TabbedDocument *document,
                                                     TabbedDocument::CloseCallback answer)
{
    static_cast<VornDocument *>(document)->canDisconnectDocumentWithDelegate(std::move(answer));
}

void VornDocumentController::disconnectDocument(TabbedDocument *document)
{
    if (auto *connection = qobject_cast<VornDocument *>(document))
        connection->connectionLife().documentShouldDisconnect(true);
}

void VornDocumentController::reviewDocumentsAndQuit()
{
    Documents remaining;
    for (TabbedDocument *document : documents())
        remaining.append(document);
    reviewNextDocument(remaining, {});
}

// Each document runs its own closing checks; a refusal keeps the application running with every
// document as it was, so the next quit asks about each again.
void VornDocumentController::reviewNextDocument(Documents remaining, Documents discarded)
{
    while (!remaining.isEmpty() && !remaining.first())
        remaining.removeFirst();
    if (remaining.isEmpty()) {
        quitAfterReview(discarded);
        return;
    }
    TabbedDocument *next = remaining.takeFirst();
    QPointer<VornDocumentController> self(this);
    auto answered = [self, remaining, discarded](TabbedDocument *document, bool shouldQuit,
                                                 bool discard) mutable {
        if (!self || !shouldQuit)
            return;
        if (discard)
            discarded.append(document);
        self->reviewNextDocument(remaining, discarded);
    };
    if (auto *connection = qobject_cast<VornDocument *>(next))
        connection->canQuitDocumentWithDelegate(answered);
    else
        next->canCloseDocumentWithDelegate([answered](TabbedDocument *document, bool shouldQuit) mutable {
            answered(document, shouldQuit, false);
        });
}

void VornDocumentController::quitAfterReview(const Documents &discarded)
{
    // What the user chose not to save closes for good: its temporary copy goes and it is not restored.
    for (const QPointer<TabbedDocument> &document : discarded) {
        if (!document)
            continue;
        if (TabbedWindowController *window = document->sharedWindowController()) {
            window->doCloseDoc(document, true);
        } else {
            document->destroyResources();
            document->close();
        }
    }
    // The windows as they are now are what the next run restores.
    writeRestorationFile();
    quitApplication();
}

void VornDocumentController::quitApplication()
{
    // Not quit(): that would first ask every window to close, and the windows ask their tabs again.
    QCoreApplication::exit(0);
}

// ---- Windows ----------------------------------------------------------------------------------

QIcon VornDocumentController::applicationIcon()
{
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256, 512})
        icon.addFile(QStringLiteral(":/app/icons/vorn-%1.png").arg(size), QSize(size, size));
    return icon;
}

AdvancedWindow *VornDocumentController::openWindowWithRtfDocument(const QString &name, const QString &title)
{
    auto window = std::make_unique<AdvancedWindow>();
    window->setWindowTitle(title);
    window->resize(600, 400);
    window->setMinimumSize(600, 400);
    window->setEnableCloseTabOverride(true);
    window->setEnableCloseByCancel(true);
    auto *browser = new QTextBrowser;
    browser->setOpenExternalLinks(true);
    QFile resource(QStringLiteral(":/app/%1.html").arg(name));
    if (resource.open(QIODevice::ReadOnly))
        browser->setHtml(QString::fromUtf8(resource.readAll()));
    window->setCentralWidget(browser);
    if (QScreen *screen = QGuiApplication::primaryScreen())
        window->move(screen->availableGeometry().center() - window->rect().center());
    window->show();
    window->raise();
    window->activateWindow();
    richTextWindow_ = window.get();
    richTextWindows_.push_back(std::move(window));
    return richTextWindow_;
}

void VornDocumentController::advancedWindowDidClose(AdvancedWindow *window)
{
    window->setClosingDelegate(nullptr);
    centreWelcomeScreen();
}

// ---- Reports ----------------------------------------------------------------------------------

void VornDocumentController::javaBridgeEncounteredUnexpectedError(QoJavaBridge *bridge)
{
    QMessageBox alert(QMessageBox::Critical, QStringLiteral("Vorn"),
                      text("javabridge", "Vorn encountered an unexpected error while using the Java Virtual "
                                         "Machine and may become unstable"));
    alert.setInformativeText(
        text("javabridge", "It is advised to save your documents and restart Vorn as soon as possible.") +
        "\n\n" + text("javabridge", "An error has been logged to the console.") + "\n\n" +
        text("javabridge", "Press 'Send report' to send an e-mail containing logging and crash information "
                           "to Ostrel Apps (you will see the contents before it will be sent)."));
    QPushButton *send = alert.addButton(text("javabridge", "Send report"), QMessageBox::AcceptRole);
    alert.addButton(text("javabridge", "Cancel"), QMessageBox::RejectRole);
    alert.setDefaultButton(send);
    alert.exec();
    if (alert.clickedButton() == send)
        sendCrashReport(bridge->lastErrorLog());
    // One report per error: armed again for the next.
    bridge->setReportErrors(true);
}

void VornDocumentController::javaBridgeEncounteredConfigError(QoJavaBridge *, const QString &,
                                                              const QString &description)
{
    QMessageBox alert(QMessageBox::Critical, QStringLiteral("Vorn"),
                      text("javabridge", "Vorn encountered an configuration error while trying to use the "
                                         "Java Virtual Machine and cannot continue"));
    alert.setInformativeText(description);
    alert.addButton(text("javabridge", "OK"), QMessageBox::AcceptRole);
    alert.exec();
    exitHandler_(-1);
}

void VornDocumentController::sendCrashReport(const QString &logText)
{
    openUrl(ReportMail::crashReportUrl(info_, logText));
}

void VornDocumentController::showKeychainUnavailable(const QString &message)
{
    auto *notice = new QMessageBox(QMessageBox::Warning, QStringLiteral("Vorn"),
                                   text("Keychain", "Passwords cannot be saved"));
    notice->setInformativeText(message);
    notice->setAttribute(Qt::WA_DeleteOnClose);
    notice->open();
}

void VornDocumentController::openUrl(const QUrl &url)
{
    QDesktopServices::openUrl(url);
}

// ---- Menu commands ----------------------------------------------------------------------------

void VornDocumentController::newDocument(QObject *)
{
    // The wait screen stays until start-up has finished.
    if (welcomeScreenController_ && !isStarting())
        welcomeScreenController_->orderOut();
}

void VornDocumentController::newTab(QObject *sender)
{
    TabbedDocumentController::newTab(sender);
    closeWelcomeScreen();
}

void VornDocumentController::newWindow(QObject *)
{
    if (isStarting())
        return;
    if (TabbedDocument *document = openUntitledDocumentAndDisplay(true, nullptr)) {
        if (TabbedWindowController *controller = document->windowController()) {
            controller->window()->raise();
            controller->window()->activateWindow();
        }
    }
    closeWelcomeScreen();
}

void VornDocumentController::newTabFromBar(QObject *sender)
{
    TabbedDocumentController::newTabFromBar(sender);
    closeWelcomeScreen();
}

void VornDocumentController::duplicatieTab(QObject *)
{
    if (isStarting())
        return;
    TabbedWindowController *current = currentTabbedWindowController();
    auto *active = current ? qobject_cast<VornDocument *>(current->activeDocument()) : nullptr;
    if (!active)
        return;
    openUntitledDocumentAndDisplay(true, current, true,
                                   defaults_.boolForKey(PreferenceKey::selectCreatedTabs),
                                   active->initializationInfoForTabDuplication(), nullptr);
    closeWelcomeScreen();
}

void VornDocumentController::openDocument(QObject *)
{
    const QString path = QFileDialog::getOpenFileName(
        nullptr, text("connection", "Open"), QString(),
        text("connection", "SQL documents (*.sql);;Connections backups (*.vornconnections)"));
    if (!path.isEmpty())
        openDocumentWithContentsOfURL(path);
}

void VornDocumentController::performClose(QObject *)
{
    QWidget *window = QApplication::activeWindow();
    if (auto *advanced = qobject_cast<AdvancedWindow *>(window))
        advanced->performClose();
    else if (window)
        window->close();
}

void VornDocumentController::performCloseTab(QObject *)
{
    if (auto *window = qobject_cast<AdvancedWindow *>(QApplication::activeWindow());
        window && window->enableCloseTabOverride())
        window->performCloseTab();
}

bool VornDocumentController::validateAction(const QString &action) const
{
    if (action != QLatin1String("performCloseTab:"))
        return true;
    const auto *window = qobject_cast<AdvancedWindow *>(QApplication::activeWindow());
    return window && window->enableCloseTabOverride();
}

void VornDocumentController::runAboutPanel(QObject *)
{
    if (!aboutWindowController_)
        aboutWindowController_ = std::make_unique<AboutWindowController>(info_);
    aboutWindowController_->runWindow();
}

void VornDocumentController::runPreferences(QObject *)
{
    if (!preferencesController_)
        preferencesController_ = std::make_unique<PreferencesController>(&defaults_);
    preferencesController_->openPreferences();
}

void VornDocumentController::runTabPreferences(QObject *)
{
    if (!preferencesController_)
        preferencesController_ = std::make_unique<PreferencesController>(&defaults_);
    preferencesController_->openTabPreferences();
}

void VornDocumentController::openWelcomeScreen(QObject *)
{
    if (welcomeScreenController_)
        welcomeScreenController_->orderOut();
}

void VornDocumentController::runActivityViewer(QObject *)
{
    if (!activityViewer_)
        activityViewer_ = std::make_unique<ActivityViewerController>();
    if (activityViewer_->isOpen())
        activityViewer_->close();
    else
        activityViewer_->activate();
}

void VornDocumentController::openQueryRecall(QObject *)
{
    if (!queryRecall_) {
        queryRecall_ = std::make_unique<QueryRecallViewController>();
        queryRecall_->setQueryRecallController(QueryRecallController::sharedController());
        // A chosen statement goes below the text of the front document's editor, selected.
        queryRecall_->setSelectedQueryAction([this](const QString &query) {
            TabbedWindowController *current = currentTabbedWindowController();
            auto *document = current ? qobject_cast<VornDocument *>(current->activeDocument()) : nullptr;
            if (!document)
                return;
            const TextRange range = document->sqlEditorController()->insertTextAddEnd(query);
            auto *window = qobject_cast<VornTabbedWindowController *>(current);
            if (auto *editor = window ? qobject_cast<SQLEditorViewController *>(
                                            window->pane(VornTabbedWindowController::Pane::SqlEditor))
                                      : nullptr)
                editor->setSelectedRange(range);
            current->window()->activateWindow();
        });
    }
    queryRecall_->orderOut();
}

void VornDocumentController::openReleaseNotes(QObject *)
{
    openWindowWithRtfDocument(releaseNotesName(), text("MainMenu", "Release Notes"));
}

void VornDocumentController::openAcknowledgements(QObject *)
{
    openWindowWithRtfDocument(QStringLiteral("Acknowledgements"), text("MainMenu", "Acknowledgements"));
}

// The maker's site is Vorn's own.
void VornDocumentController::openWebsite(QObject *)
{
    openUrl(QUrl(Website::home));
}

void VornDocumentController::openVornWebsite(QObject *)
{
    openUrl(QUrl(Website::home));
}

void VornDocumentController::openSupport(QObject *)
{
    openUrl(QUrl(Website::support));
}

void VornDocumentController::sendFeedback(QObject *)
{
    openUrl(ReportMail::feedbackUrl(info_));
}

void VornDocumentController::createConnectionsBackup(QObject *)
{
    QFileDialog dialog(nullptr, text("connection", "Create Connections Backup"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setLabelText(QFileDialog::Accept, text("connection", "Create"));
    dialog.setDefaultSuffix(BackupExtension);
    auto *accessory = new QWidget;
    auto *layout = new QVBoxLayout(accessory);
    auto *includePasswords = new QCheckBox(text("connection", "Include passwords"));
    auto *warning =
        new QLabel(text("connection", "Warning: Passwords are stored in plain text,\nmake sure to "
                                      "store this file in a secure location."));
    QFont small = warning->font();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    warning->setFont(small);
    warning->setContentsMargins(18, 0, 0, 0);
    layout->addWidget(new QLabel(text("connection", "Create a connection backup for later restoration.")));
    layout->addWidget(includePasswords);
    layout->addWidget(warning);
    const QString path = runBackupDialog(dialog, accessory);
    if (path.isEmpty())
        return;
    if (welcomeScreenController_)
        welcomeScreenController_->close();
    ConnectionsBackupAlerts alerts;
    ConnectionsBackup::exportConnectionsBackupToURL(path, includePasswords->isChecked(), alerts);
}

void VornDocumentController::importConnectionsBackup(QObject *)
{
    QFileDialog dialog(nullptr, text("connection", "Import Connections Backup"));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setLabelText(QFileDialog::Accept, text("connection", "OK"));
    auto *message = new QLabel(text("connection", "Select a connections backup to import, in the next dialog "
                                                  "you can select how and what to import."));
    message->setWordWrap(true);
    const QString path = runBackupDialog(dialog, message);
    if (!path.isEmpty())
        importConnectionsBackupFile(path);
}

void VornDocumentController::importConnectionsBackupFile(const QString &path)
{
    closeWelcomeScreen();
    ConnectionsBackupAlerts alerts;
    ConnectionsBackup::importConnectionsBackupFromURL(path, alerts);
}
