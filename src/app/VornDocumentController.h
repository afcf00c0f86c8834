#pragma once

#include "app/StartupControllerDelegate.h"
#include "bridge/QoJavaBridgeDelegate.h"
#include "kit/AdvancedWindow.h"
#include "platform/NotificationCenter.h"
#include "tabs/TabbedDocument.h"
#include "tabs/TabbedDocumentController.h"
#include "tabs/TabbedWindowController.h"

#include <QIcon>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QVariantMap>

#include <functional>
#include <memory>
#include <vector>

class QueryRecallViewController;
class ActivityViewerController;
class AboutWindowController;
class PreferencesController;
class ShortcutVisualizer;
class StartupController;
class TextEditCommands;
class TabbedWindowController;
class UserDefaults;
class Vorn2UpgradeAssistant;
class WelcomeScreenController;
class QoJavaBridge;

// The application's document controller: drives start-up behind the welcome screen, restores the
// previous run's tabs, opens new, duplicated and given documents as tabs, answers the application's
// menu commands and the Java bridge's error reports, and reviews busy documents before the
// application quits. Every tabbed window gets the application's menus. It is an application
// responder of the command router. Main thread only.
class VornDocumentController : public TabbedDocumentController,
                               public StartupControllerDelegate,
                               public QoJavaBridgeDelegate,
                               public AdvancedWindowClosingDelegate
{
    Q_OBJECT
public:
    using ExitHandler = std::function<void(int status)>;

    // defaults: the standard store when null. info: the application's Info.plist values.
    VornDocumentController(const QVariantMap &info, UserDefaults *defaults = nullptr,
                           QObject *parent = nullptr);
    ~VornDocumentController() override;

    static VornDocumentController *sharedDocumentController();

    // "A1234", "B1234", "AB1234" and "R1234" are build 1234; no leading digits is build 0.
    static qint64 buildNumberFromString(QString buildNumber);
    static QString releaseNotesName() { return QStringLiteral("ReleaseNotes"); }
    // The program's icon in every size it ships; every window shows it.
    static QIcon applicationIcon();

    // Start-up.
    bool isStarting() const { return startupController_ != nullptr; }
    StartupController *startupController() const { return startupController_.get(); }
    WelcomeScreenController *welcomeScreenController() const { return welcomeScreenController_.get(); }
    QoJavaBridge *sharedJavaBridge() const { return sharedJavaBridge_; }
    ShortcutVisualizer *shortcutVisualizer() const { return shortcutVisualizer_.get(); }
    // Files named on the command line, opened once start-up has finished.
    void setFilesToOpen(const QStringList &paths) { filesToOpen_ = paths; }
    void applicationDidFinishLaunching();
    void startupController(StartupController *controller, float progress) override;
    void startupControllerFinished(StartupController *controller) override;
    void checkUpgradeVorn2();
    void startupNewBuild();

    // Documents.
    TabbedDocument *makeUntitledDocument(QString *error) override;
    TabbedWindowController *createEmptyWindowController() override;
    // A connections backup is imported; any other file opens as a SQL document and reconnects.
    void openDocumentWithContentsOfURL(const QString &path);
    // A duplicate of the document with a filter dropped on the tab bar, next to the active tab.
    void createNewTabWithFilter(const QByteArray &filter, TabbedDocument *document);

    // Quit review: busy documents (connected, with uncommitted changes or a running statement)
    // are disconnected one at a time, each after its own sheet; then the ordinary review.
    void disconnectAllDocumentsAndQuit();
    void disconnectAndQuit(TabbedDocument *document, bool cont);
    // Replaces leaving the process (tests).
    void setExitHandler(ExitHandler handler) { exitHandler_ = std::move(handler); }

    // Windows.
    // The rich-text resource of that name in a window of its own, titled in words.
    AdvancedWindow *openWindowWithRtfDocument(const QString &name, const QString &title);
    AdvancedWindow *richTextWindow() const { return richTextWindow_; }
    void advancedWindowDidClose(AdvancedWindow *window) override;

    // Reports.
    void javaBridgeEncounteredUnexpectedError(QoJavaBridge *bridge) override;
    void javaBridgeEncounteredConfigError(QoJavaBridge *bridge, const QString &error,
                                          const QString &description) override;
    void sendCrashReport(const QString &logText);

    // Menu commands, reached through the command router.
    Q_INVOKABLE void newDocument(QObject *sender);
    Q_INVOKABLE void openDocument(QObject *sender);
    Q_INVOKABLE void newTab(QObject *sender);
    // An untitled document in a window of its own, in front; it asks for its connection.
    Q_INVOKABLE void newWindow(QObject *sender);
    Q_INVOKABLE void newTabFromBar(QObject *sender);
    Q_INVOKABLE void duplicatieTab(QObject *sender);
    Q_INVOKABLE void terminate(QObject *sender);
    // Closes the active window as its close button does (a document window asks each tab).
    Q_INVOKABLE void performClose(QObject *sender);
    // Close Tab in a window without tabs that closes by it (the welcome screen).
    Q_INVOKABLE void performCloseTab(QObject *sender);
    // Close Tab only there; every other command always.
    Q_INVOKABLE bool validateAction(const QString &action) const;
    Q_INVOKABLE void runAboutPanel(QObject *sender);
    Q_INVOKABLE void runPreferences(QObject *sender);
    Q_INVOKABLE void runTabPreferences(QObject *sender);
    // Null until the preferences window was first asked for.
    PreferencesController *preferencesController() const { return preferencesController_.get(); }
    Q_INVOKABLE void openWelcomeScreen(QObject *sender);
    // The query history window, made on first use and kept for the rest of the run.
    Q_INVOKABLE void openQueryRecall(QObject *sender);
    // Shows the activity viewer, or closes it when it is open.
    Q_INVOKABLE void runActivityViewer(QObject *sender);
    ActivityViewerController *activityViewerController() const { return activityViewer_.get(); }
    QueryRecallViewController *queryRecallViewController() const { return queryRecall_.get(); }
    Q_INVOKABLE void openReleaseNotes(QObject *sender);
    Q_INVOKABLE void openAcknowledgements(QObject *sender);
    Q_INVOKABLE void openWebsite(QObject *sender);
    Q_INVOKABLE void openVornWebsite(QObject *sender);
    Q_INVOKABLE void openSupport(QObject *sender);
    Q_INVOKABLE void sendFeedback(QObject *sender);
    Q_INVOKABLE void createConnectionsBackup(QObject *sender);
    Q_INVOKABLE void importConnectionsBackup(QObject *sender);

protected:
    // What the quit review asks of a document.
    virtual bool documentNeedsDisconnect(TabbedDocument *document) const;
    virtual void askDocumentToDisconnect(TabbedDocument *document, TabbedDocument::CloseCallback answer);
    virtual void disconnectDocument(TabbedDocument *document);
    // The ordinary review of every document, then the end of the run.
    virtual void reviewDocumentsAndQuit();
    // Leaves the run once the review has agreed and the restoration is written.
    virtual void quitApplication();

private:
    using Documents = QList<QPointer<TabbedDocument>>;
    void reviewNextDocument(Documents remaining, Documents discarded);
    void quitAfterReview(const Documents &discarded);
    void placeBesideWelcomeScreen(AdvancedWindow *window);
    void centreWelcomeScreen();
    void showKeychainUnavailable(const QString &message);
    void openUrl(const QUrl &url);
    void importConnectionsBackupFile(const QString &path);
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeWelcomeScreen();
    void showOpenError(const QString &path, const QString &reason);

    QVariantMap info_;
    UserDefaults &defaults_;
    std::unique_ptr<StartupController> startupController_;
    std::unique_ptr<WelcomeScreenController> welcomeScreenController_;
    std::unique_ptr<ShortcutVisualizer> shortcutVisualizer_;
    std::unique_ptr<AboutWindowController> aboutWindowController_;
    std::unique_ptr<PreferencesController> preferencesController_;
    std::unique_ptr<QueryRecallViewController> queryRecall_;
    std::unique_ptr<ActivityViewerController> activityViewer_;
    std::unique_ptr<TextEditCommands> textEditCommands_;
    std::unique_ptr<Vorn2UpgradeAssistant> vorn2UpgradeAssistant_;
    std::vector<std::unique_ptr<AdvancedWindow>> richTextWindows_;
    QPointer<AdvancedWindow> richTextWindow_;
    QoJavaBridge *sharedJavaBridge_ = nullptr;
    QStringList filesToOpen_;
    ExitHandler exitHandler_;
    NotificationCenter::ObserverId keychainObserver_ = 0;
};
