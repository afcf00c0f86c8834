#include "document/VornDocument.h"
#include "platform/AppFolders.h"
#include "platform/Preferences.h"

#include "bridge/QoJavaBridge.h"
#include "bridge/ThreadController.h"
#include "connection/ClosingConnectionController.h"
#include "connection/ClosingDocumentController.h"
#include "connection/ConnectionDetails.h"
#include "connection/ConnectionPanel.h"
#include "connection/DatabaseTypeTraits.h"
#include "document/LoggerViewController.h"
#include "document/StatusManagerPaneViewController.h"
#include "document/StatusManagerViewController.h"
#include "document/StatusManagerVornRoot.h"
#include "document/VornDocumentSession.h"
#include "editor/SQLEditorController.h"
#include "editor/SQLEditorTextStorage.h"
#include "editor/SQLEditorViewController.h"
#include "editor/SQLTextView.h"
#include "platform/MainThread.h"
#include "platform/UserDefaults.h"
#include "resultset/ParameterInputController.h"
#include "resultset/ResultsetController.h"
#include "resultset/ResultsetViewController.h"
#include "status/LoggerController.h"
#include "status/StatusManager.h"
#include "tabs/TabbedWindowController.h"
#include "window/PaneViewController.h"
#include "window/SimpleActionController.h"
#include "window/SimpleActionViewController.h"
#include "window/SimpleTextController.h"
#include "window/SimpleTextViewController.h"
#include "window/VornTabbedWindowController.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace
{

QString documentText(const char *text)
{
    return QCoreApplication::translate("document", text);
}

// Toolbar feature bits the document offers.
enum ToolbarFeatureBits : qint64 {
    CommitRollback = 1,
    AddRemoveFilterSort = 2,
    Refresh = 4,
    Execute = 8,
    Analyse = 32,
    Compile = 64,
    Trash = 128,
    FullTrash = 256,
};

} // namespace

VornDocument::VornDocument(QObject *parent) : VornDocument(rootClassName, parent) {}

VornDocument::VornDocument(const QString &backendRootClassName, QObject *parent) : MainWindowDocument(parent)
{
    QoJavaObjectPtr root = QoJavaBridge::javaBridge()->instanceOfObject(backendRootClassName);
    Q_ASSERT_X(root, "VornDocument", "The backend root could not be created");
    UserDefaults &defaults = UserDefaults::standard();
    root->call(QStringLiteral("initRoot:::::::"),
               {applicationSupportFolder(), defaults.stringForKey(PreferenceKey::timestampDataFormat),
                defaults.boolForKey(PreferenceKey::quickFilterUseLike) ? 1 : 0,
                defaults.boolForKey(PreferenceKey::quickFilterUseLikeMatchOnNumeric) ? 1 : 0,
                defaults.boolForKey(PreferenceKey::timestampRoundMidnight) ? 1 : 0,
                int(defaults.integerForKey(PreferenceKey::numberOfResultSetRows)), 0});

    auto threads = std::make_shared<ThreadController>();
    auto status = std::make_shared<StatusManager>(std::make_shared<StatusManagerVornRoot>(root));
    status->setDelegate(this);
    status->loggerController()->setDelegate(this);
    session_ = std::make_shared<VornDocumentSession>(root, threads, status);

    resultsetController_ = std::make_unique<ResultsetController>(root);
    resultsetController_->setDelegate(static_cast<ResultsetControllerDelegate *>(this));
    resultsetController_->setThreadController(threads);
    resultsetController_->setStatusManager(status);
    sqlEditorController_ = std::make_unique<SQLEditorController>(root);
    sqlEditorController_->setDelegate(static_cast<SQLEditorControllerDelegate *>(this));
    sqlEditorController_->setThreadController(threads);
    sqlEditorController_->setStatusManager(status);
    QObject::connect(sqlEditorController_->sqlEditorTextStorage(), &QTextDocument::contentsChanged, this,
                     [this] {
                         if (!settingSqlContents_)
                             setDocumentEdited(true);
                     });
    closingConnectionController_ = std::make_unique<ClosingConnectionController>(root);
    closingConnectionController_->setDelegate(this);
    closingDocumentController_ = std::make_unique<ClosingDocumentController>(root);
    closingDocumentController_->setDelegate(this);
    const std::initializer_list<ClosingConnectionController *> checkers = {closingConnectionController_.get(),
                                                                           closingDocumentController_.get()};
    for (ClosingConnectionController *checker : checkers) {
        checker->setThreadController(threads);
        checker->setStatusManager(status);
    }
    simpleTextController_ = std::make_unique<SimpleTextController>();
    simpleActionController_ = std::make_unique<SimpleActionController>();
    parameterInputController_ = std::make_unique<ParameterInputController>();

    tabTitleFormat_ = int(defaults.integerForKey(PreferenceKey::defaultTabTitle));
    dirtyCheckTimer_ = std::make_unique<QTimer>();
    dirtyCheckTimer_->setInterval(dirtyCheckIntervalMs);
    QObject::connect(dirtyCheckTimer_.get(), &QTimer::timeout, this,
                     [this] { checkForOutstandingTransaction(); });
    dirtyCheckTimer_->start();
}

VornDocument::~VornDocument()
{
    unbindWindowPanes();
    // A document dropped without closing still gives its connection back.
    if (!isClosed() && session_->closeDocument())
        session_->endRoot();
    StatusManager &status = *session_->statusManager;
    status.endStatusManager();
    status.setDelegate(nullptr);
    status.loggerController()->setDelegate(nullptr);
    resultsetController_->setDelegate(nullptr);
    sqlEditorController_->setDelegate(nullptr);
    closingConnectionController_->setDelegate(nullptr);
    closingDocumentController_->setDelegate(nullptr);
    if (connectionPanel_)
        connectionPanel_->setDelegate(nullptr);
    status.end();
}

void VornDocument::registerWindowPanes()
{
    using Pane = VornTabbedWindowController::Pane;
    VornTabbedWindowController::setPaneMaker(
        Pane::Status, [] { return std::make_unique<StatusManagerPaneViewController>(); });
    VornTabbedWindowController::setPaneMaker(Pane::Logger,
                                             [] { return std::make_unique<LoggerViewController>(); });
    VornTabbedWindowController::setPaneMaker(Pane::SqlEditor,
                                             [] { return std::make_unique<SQLEditorViewController>(); });
    VornTabbedWindowController::setPaneMaker(Pane::Resultset,
                                             [] { return std::make_unique<ResultsetViewController>(); });
    VornTabbedWindowController::setSheetMaker(
        VornTabbedWindowController::Sheet::ConnectionDetails,
        [](VornTabbedWindowController *) { return std::make_unique<ConnectionDetails>(); });
}

QString VornDocument::applicationSupportFolder()
{
    return AppFolders::support();
}

QoJavaObjectPtr VornDocument::vornRoot() const
{
    return session_->vornRoot;
}

std::shared_ptr<ThreadController> VornDocument::threadController() const
{
    return session_->threadController;
}

std::shared_ptr<StatusManager> VornDocument::statusManager() const
{
    return session_->statusManager;
}

bool VornDocument::connecting() const
{
    return session_->connecting();
}

bool VornDocument::closedDocument() const
{
    return session_->closedDocument();
}

bool VornDocument::connected() const
{
    return session_->connected;
}

void VornDocument::setConnected(bool connected)
{
    session_->connected = connected;
}

bool VornDocument::rootIs(const char *selector) const
{
    return session_->vornRoot->call(QLatin1String(selector)).toBool();
}

QString VornDocument::sqlContents() const
{
    return sqlEditorController_->contents();
}

void VornDocument::setSqlContents(const QString &contents)
{
    settingSqlContents_ = true;
    sqlEditorController_->setContents(contents);
    settingSqlContents_ = false;
}

QVariantMap VornDocument::sqlParameterCache() const
{
    return sqlEditorController_->getSqlParameterCache();
}

void VornDocument::updateSqlParameterCache(const QVariantMap &arguments)
{
    sqlEditorController_->updateSqlParameterCache(arguments);
}

// Content pane.

void VornDocument::setActiveContent(quint64 code)
{
    if (code == activeContent_)
        return;
    activeContent_ = code;
    updateWindowControllerWithActiveContent();
}

void VornDocument::updateWindowControllerWithActiveContent()
{
    VornTabbedWindowController *controller = vornWindowController();
    if (!controller)
        return;
    switch (activeContent_) {
    case ContentNothing:
        controller->setEmptyView();
        break;
    case ContentResultset:
        controller->setResultsetView();
        break;
    case ContentAnalyser:
        controller->setAnalyserView();
        break;
    case ContentSimpleText:
        controller->setSimpleTextView();
        break;
    case ContentSimpleAction:
        controller->setSimpleActionView();
        break;
    case ContentProcedure:
        controller->setProcedureView();
        break;
    case ContentBusy:
        controller->setBusyView();
        break;
    case ContentNotSupported:
        controller->setNotSupportedView();
        break;
    default:
        break;
    }
}

VornTabbedWindowController *VornDocument::vornWindowController() const
{
    return qobject_cast<VornTabbedWindowController *>(windowController());
}

QWidget *VornDocument::windowForSheet() const
{
    TabbedWindowController *controller = windowController() ? windowController() : sharedWindowController();
    return controller && controller->isWindowLoaded() ? controller->window() : nullptr;
}

// Tabs.

TabbedWindowController *VornDocument::createTabbedWindowController()
{
    return new VornTabbedWindowController;
}

void VornDocument::loadDocumentInWindowController(TabbedWindowController *windowController)
{
    auto *controller = qobject_cast<VornTabbedWindowController *>(windowController);
    if (!controller)
        return;
    using Pane = VornTabbedWindowController::Pane;
    // The panes of schema browser, info column, analyser and procedure editor get their models once
    // those exist.
    if (ResultsetViewController *grid = resultsetViewController())
        grid->setResultsetController(resultsetController_.get());
    if (auto *editor = qobject_cast<SQLEditorViewController *>(controller->pane(Pane::SqlEditor)))
        editor->setSqlEditorController(sqlEditorController_.get());
    if (auto *status = controller->pane(Pane::Status)->findChild<StatusManagerViewController *>())
        status->setStatusManager(session_->statusManager.get());
    controller->simpleTextViewController()->setSimpleTextController(simpleTextController_.get());
    controller->simpleActionViewController()->setSimpleActionController(simpleActionController_.get());
    if (auto *logger = qobject_cast<LoggerViewController *>(controller->pane(Pane::Logger)))
        logger->setLoggerController(session_->statusManager->loggerController());
    updateWindowControllerWithActiveContent();
}

void VornDocument::documentTabDidOrderFront()
{
    session_->statusManager->runAlertIfAvailable(windowForSheet());
    documentUpdated();
}

void VornDocument::documentTabWillOrderOut()
{
    if (ResultsetViewController *grid = resultsetViewController())
        grid->cancelTableViewUpdates();
}

void VornDocument::documentTabDidBecomeMain()
{
    session_->statusManager->clearStatusFlag();
    documentStatusUpdated();
}

TabbedDocumentState VornDocument::documentState() const
{
    const StatusManager &status = *session_->statusManager;
    if (status.statusFlag() == StatusManager::AlertArrived)
        return TabbedDocumentStateAlert;
    if (status.statusFlag() == StatusManager::ActionFinished)
        return TabbedDocumentStateSuccess;
    if (status.activeStatus())
        return TabbedDocumentStateBusy;
    if (const_cast<VornDocument *>(this)->isDocumentEdited())
        return TabbedDocumentStateDirty;
    return TabbedDocumentStateNone;
}

void VornDocument::setTabLabel(unsigned label)
{
    MainWindowDocument::setTabLabel(label);
    // The info column shows the label once it exists.
}

void VornDocument::setTabTitleFormat(int format)
{
    tabTitleFormat_ = format;
    documentUpdated();
}

QString VornDocument::contextDisplayName() const
{
    const QoJavaObjectPtr &root = session_->vornRoot;
    if (connecting())
        return documentText("Connecting...");
    const auto summary = [](const QString &user, const QString &database, const QString &server) {
        return QStringLiteral("%1@%2 %3 %4")
            .arg(user.toLower(), database.toLower(), documentText("on"), server.toLower());
    };
    if (rootIs("hasConnection")) {
        const bool localFile = rootIs("localDatabaseFileConnection");
        if (tabTitleFormat_ == DocumentName)
            return QString();
        const QString database = root->call(QStringLiteral("database")).toString();
        if (tabTitleFormat_ == SelectedElementName) {
            // The selected browser element's name takes precedence once the browser exists.
            if (localFile)
                return QFileInfo(database).fileName();
            return summary(root->call(QStringLiteral("username")).toString(), database,
                           root->call(QStringLiteral("server")).toString());
        }
        if (connectionParameters_ && !connectionParameters_->connectionName().isEmpty())
            return connectionParameters_->connectionName();
        return documentText("Connected");
    }
    if (!connectionParameters_)
        return documentText("Not connected");
    // Without a connection the root cannot tell a file database: its type does.
    const bool localFile =
        DatabaseTypeTraits().hasLocalDatabaseFileConnection(connectionParameters_->databaseType());
    const QString base = localFile
                             ? QFileInfo(connectionParameters_->database()).fileName()
                             : summary(connectionParameters_->userName(), connectionParameters_->database(),
                                       connectionParameters_->server());
    return QStringLiteral("%1 - %2").arg(documentText("Not connected"), base);
}

qint64 VornDocument::toolbarFeatures() const
{
    qint64 features = AddRemoveFilterSort | Refresh | Execute | Analyse;
    if (connectionParameters_ && connectionParameters_->autoCommit() == 0)
        features |= CommitRollback;
    if (activeContent_ == ContentProcedure)
        features |= Compile;
    if (rootIs("supportsRecycleBin")) {
        features |= Trash;
        if (recyclebinIsFull_)
            features |= FullTrash;
    }
    return features;
}

// Status manager and log.

void VornDocument::statusManagerHasStatusUpdate(StatusManager *)
{
    if (VornTabbedWindowController *controller = vornWindowController()) {
        using Pane = VornTabbedWindowController::Pane;
        if (auto *status = controller->pane(Pane::Status)->findChild<StatusManagerViewController *>())
            status->statusUpdated();
    }
    documentStatusUpdated();
}

void VornDocument::statusManagerHasTextOnlyStatusUpdate(StatusManager *)
{
    if (VornTabbedWindowController *controller = vornWindowController()) {
        using Pane = VornTabbedWindowController::Pane;
        if (auto *status = controller->pane(Pane::Status)->findChild<StatusManagerViewController *>())
            status->statusTextUpdated();
    }
}

void VornDocument::statusManagerHasAlert(StatusManager *manager)
{
    if (windowController())
        manager->runAlertIfAvailable(windowForSheet());
    documentStatusUpdated();
}

bool VornDocument::statusManagerCurrentElementSupportsNotifications(StatusManager *)
{
    // Management views of the browser will say no once the browser exists.
    return true;
}

bool VornDocument::statusManagerDocumentIsActive(StatusManager *)
{
    // Asked from the reporting thread: the window is looked at on the main thread.
    bool active = false;
    MainThread::postAndWait([guard = QPointer<VornDocument>(this), &active] {
        if (!guard)
            return;
        TabbedWindowController *controller = guard->windowController();
        active = controller && controller->isWindowLoaded() && controller->window()->isActiveWindow();
    });
    return active;
}

bool VornDocument::statusManagerCanCancelAction(StatusManager *)
{
    // Stopping a browser statement or a procedure's execution joins here once those exist.
    if (connecting() && !rootIs("hasConnection"))
        return true;
    return sqlEditorController_->canCancelExecution();
}

void VornDocument::statusManagerCancelAction(StatusManager *)
{
    if (connecting() && !rootIs("hasConnection"))
        cancelConnecting();
    else if (sqlEditorController_->canCancelExecution())
        sqlEditorController_->cancelExecution();
}

void VornDocument::statusManagerWantsToDisconnect(StatusManager *)
{
    disconnect(nullptr);
}

void VornDocument::statusManagerWantsToReconnect(StatusManager *)
{
    reconnect(nullptr);
}

qint64 VornDocument::statusManagerConnectionStatus(StatusManager *)
{
    if (connecting())
        return Connecting;
    return rootIs("hasConnection") ? Connected : NotConnected;
}

QString VornDocument::statusManagerWantsReconnectName(StatusManager *)
{
    return reconnectName();
}

QString VornDocument::statusManagerNeedsSelectedSchema(StatusManager *)
{
    return QString(); // the browser's element store answers once it exists
}

const StatusBarElement *VornDocument::statusManagerNeedsBrowserElement(StatusManager *)
{
    return nullptr; // the browser's element store answers once it exists
}

void VornDocument::statusManagerWantsToActivateDocument(StatusManager *)
{
    showThisDocument();
    if (QWidget *window = windowForSheet()) {
        window->show();
        window->raise();
        window->activateWindow();
    }
}

void VornDocument::loggerControllerWasUpdated(LoggerController *)
{
    if (VornTabbedWindowController *controller = vornWindowController()) {
        if (auto *logger = qobject_cast<LoggerViewController *>(
                controller->pane(VornTabbedWindowController::Pane::Logger)))
            logger->loggingWasUpdated();
    }
}
