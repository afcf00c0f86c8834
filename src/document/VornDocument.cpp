#include "document/VornDocument.h"
#include "platform/AppFolders.h"
#include "platform/Preferences.h"

#include "bridge/ThreadController.h"
#include "browser/AnalyserViewController.h"
#include "browser/BrowserController.h"
#include "browser/BrowserViewController.h"
#include "browser/InfoColumnViewController.h"
#include "browser/RecycleBinViewController.h"
#include "connection/ClosingConnectionController.h"
#include "connection/ClosingDocumentController.h"
#include "connection/ConnectionDetails.h"
#include "connection/ConnectionPanel.h"
#include "connection/DatabaseTypeTraits.h"
#include "ddl/ProcedureEditorViewController.h"
#include "document/AnalyserRouting.h"
#include "document/BackgroundController.h"
#include "document/BrowserRouting.h"
#include "document/ConnectionLife.h"
#include "document/DdlRouting.h"
#include "document/DocumentBackgroundSupport.h"
#include "document/DocumentPrinting.h"
#include "document/DocumentSaving.h"
#include "document/ExportRouting.h"
#include "document/ImportRouting.h"
#include "document/InfoColumnRouting.h"
#include "document/LoggerViewController.h"
#include "document/ManagementRefresh.h"
#include "document/PaneSelection.h"
#include "document/ProcedureRouting.h"
#include "document/RecyclebinRouting.h"
#include "document/StatementRouting.h"
#include "document/StatusManagerPaneViewController.h"
#include "document/StatusManagerViewController.h"
#include "document/VornDocumentSession.h"
#include "editor/SQLEditorController.h"
#include "editor/SQLEditorTextStorage.h"
#include "editor/SQLEditorViewController.h"
#include "editor/SQLTextView.h"
#include "platform/Bundle.h"
#include "platform/MainThread.h"
#include "platform/UserDefaults.h"
#include "resultset/ParameterInputController.h"
#include "resultset/ResultsetController.h"
#include "resultset/ResultsetViewController.h"
#include "status/LoggerController.h"
#include "status/StatusManager.h"
#include "tabs/TabbedWindowController.h"
#include "transfer/ExportViewController.h"
#include "transfer/ImportViewController.h"
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

VornDocument::VornDocument(QObject *parent)
    : VornDocument(QString::fromLatin1(VornRootClient::className), parent)
{
}

VornDocument::VornDocument(const QString &backendRootClassName, QObject *parent) : MainWindowDocument(parent)
{
    VornRootClientPtr root = VornRootClient::create(backendRootClassName);
    Q_ASSERT_X(root, "VornDocument", "The backend root could not be created");
    const Preferences preferences;
    root->initRoot({AppFolders::support(), preferences.text(PreferenceKey::timestampDataFormat),
                    preferences.flag(PreferenceKey::quickFilterUseLike),
                    preferences.flag(PreferenceKey::quickFilterUseLikeMatchOnNumeric),
                    preferences.flag(PreferenceKey::timestampRoundMidnight),
                    int(preferences.integer(PreferenceKey::numberOfResultSetRows))});

    auto threads = std::make_shared<ThreadController>();
    auto status = std::make_shared<StatusManager>(root);
    status->setDelegate(this);
    status->loggerController()->setDelegate(this);
    session_ = std::make_shared<VornDocumentSession>(root, threads, status);
    backgroundSupport_ = std::make_shared<DocumentBackgroundSupport>(*this, session_);

    paneSelection_ = std::make_unique<PaneSelection>([this] { return vornWindowController(); });
    infoColumn_ = std::make_unique<InfoColumnRouting>(*this, root, threads, status);
    statementRouting_ = std::make_unique<StatementRouting>(*this, *paneSelection_, root);
    printing_ = std::make_unique<DocumentPrinting>(*this);
    managementRefresh_ = std::make_unique<ManagementRefresh>(*this);
    browserRouting_ = std::make_unique<BrowserRouting>(*this, *paneSelection_, *statementRouting_, root);
    ddlRouting_ = std::make_unique<DdlRouting>(*this, *paneSelection_, root);
    exportRouting_ = std::make_unique<ExportRouting>(*this, root, threads, status);
    importRouting_ = std::make_unique<ImportRouting>(*this, root, threads, status);
    analyserRouting_ = std::make_unique<AnalyserRouting>(*this, *paneSelection_, root);
    procedureRouting_ = std::make_unique<ProcedureRouting>(*this, *paneSelection_, root);
    recyclebinRouting_ = std::make_unique<RecyclebinRouting>(*this, root);
    connectionLife_ = std::make_unique<ConnectionLife>(*this);
    saving_ = std::make_unique<DocumentSaving>(*this);
    QObject::connect(sqlEditorController()->sqlEditorTextStorage(), &QTextDocument::contentsChanged, this,
                     [this] {
                         if (settingSqlContents_)
                             return;
                         const bool wasEdited = hasDirtyDocument();
                         setDocumentEdited(true);
                         if (!wasEdited) // the tab and the title show the mark
                             documentStatusUpdated();
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
    simpleTextController_ = std::make_unique<SimpleTextController>(root);
    simpleTextController_->setDelegate(this);
    simpleTextController_->setThreadController(threads);
    simpleTextController_->setStatusManager(status);
    simpleActionController_ = std::make_unique<SimpleActionController>();

    tabTitleFormat_ = int(preferences.integer(PreferenceKey::defaultTabTitle));
    dirtyCheckTimer_ = std::make_unique<QTimer>();
    dirtyCheckTimer_->setInterval(dirtyCheckIntervalMs);
    QObject::connect(dirtyCheckTimer_.get(), &QTimer::timeout, this,
                     [this] { connectionLife_->checkForOutstandingTransaction(); });
    dirtyCheckTimer_->start();
}

VornDocument::~VornDocument()
{
    statementRouting_->unbindWindowPanes();
    analyserRouting_.reset();
    procedureRouting_.reset();
    recyclebinRouting_.reset();
    infoColumn_.reset();
    // A document dropped without closing still gives its connection back.
    if (!isClosed() && session_->closeDocument())
        session_->endRoot();
    StatusManager &status = *session_->statusManager;
    status.endStatusManager();
    status.setDelegate(nullptr);
    status.loggerController()->setDelegate(nullptr);
    closingConnectionController_->setDelegate(nullptr);
    closingDocumentController_->setDelegate(nullptr);
    simpleTextController_->setDelegate(nullptr);
    connectionLife_.reset();
    ddlRouting_.reset();
    browserRouting_.reset();
    statementRouting_.reset();
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
    VornTabbedWindowController::setPaneMaker(Pane::InfoColumn,
                                             [] { return std::make_unique<InfoColumnViewController>(); });
    VornTabbedWindowController::setPaneMaker(Pane::Analyser,
                                             [] { return std::make_unique<AnalyserViewController>(); });
    VornTabbedWindowController::setPaneMaker(
        Pane::ProcedureEditor, [] { return std::make_unique<ProcedureEditorViewController>(); });
    VornTabbedWindowController::setSheetMaker(
        VornTabbedWindowController::Sheet::Export,
        [](VornTabbedWindowController *) { return std::make_unique<ExportViewController>(); });
    VornTabbedWindowController::setSheetMaker(
        VornTabbedWindowController::Sheet::Import,
        [](VornTabbedWindowController *) { return std::make_unique<ImportViewController>(); });
    VornTabbedWindowController::setPaneMaker(Pane::Browser,
                                             [] { return std::make_unique<BrowserViewController>(); });
    VornTabbedWindowController::setSheetMaker(
        VornTabbedWindowController::Sheet::RecycleBin,
        [](VornTabbedWindowController *) { return std::make_unique<RecycleBinViewController>(); });
    VornTabbedWindowController::setSheetMaker(
        VornTabbedWindowController::Sheet::ConnectionDetails,
        [](VornTabbedWindowController *) { return std::make_unique<ConnectionDetails>(); });
}

VornRootClientPtr VornDocument::vornRoot() const
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

SQLEditorController *VornDocument::sqlEditorController() const
{
    return statementRouting_->sqlEditorController();
}

BrowserController *VornDocument::browserController() const
{
    return browserRouting_->browserController();
}

ResultsetController *VornDocument::resultsetController() const
{
    return statementRouting_->resultsetController();
}

ParameterInputController *VornDocument::parameterInputController() const
{
    return statementRouting_->parameterInputController();
}

BrowserElementPtr VornDocument::statementResultElement() const
{
    return statementRouting_->statementResultElement();
}

ConnectionPanel *VornDocument::connectionPanel() const
{
    return connectionLife_->connectionPanel();
}

QString VornDocument::sqlContents() const
{
    return sqlEditorController()->contents();
}

void VornDocument::setSqlContents(const QString &contents)
{
    settingSqlContents_ = true;
    sqlEditorController()->setContents(contents);
    settingSqlContents_ = false;
}

QVariantMap VornDocument::sqlParameterCache() const
{
    return sqlEditorController()->getSqlParameterCache();
}

void VornDocument::updateSqlParameterCache(const QVariantMap &arguments)
{
    sqlEditorController()->updateSqlParameterCache(arguments);
}

// Content pane.

ContentPane VornDocument::activeContent() const
{
    return paneSelection_->active();
}

void VornDocument::setActiveContent(ContentPane pane)
{
    paneSelection_->show(pane);
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
    statementRouting_->bindWindowPanes();
    procedureRouting_->bindWindowPane();
    analyserRouting_->bindWindowPane();
    infoColumn_->bindWindowPane();
    browserRouting_->bindWindowPane();
    if (auto *status = controller->pane(Pane::Status)->findChild<StatusManagerViewController *>())
        status->setStatusManager(session_->statusManager.get());
    controller->simpleTextViewController()->setSimpleTextController(simpleTextController_.get());
    controller->simpleActionViewController()->setSimpleActionController(simpleActionController_.get());
    if (auto *logger = qobject_cast<LoggerViewController *>(controller->pane(Pane::Logger)))
        logger->setLoggerController(session_->statusManager->loggerController());
    paneSelection_->refresh();
}

void VornDocument::documentTabDidOrderFront()
{
    session_->statusManager->runAlertIfAvailable(windowForSheet());
    documentUpdated();
}

void VornDocument::documentTabWillOrderOut()
{
    if (ResultsetViewController *grid = statementRouting_->resultsetViewController())
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
    infoColumn_->refreshColumn();
}

void VornDocument::setTabTitleFormat(int format)
{
    tabTitleFormat_ = format;
    documentUpdated();
}

QString VornDocument::contextDisplayName() const
{
    const VornRootClient &root = *session_->vornRoot;
    if (connecting())
        return documentText("Connecting...");
    const auto summary = [](const QString &user, const QString &database, const QString &server) {
        return QStringLiteral("%1@%2 %3 %4")
            .arg(user.toLower(), database.toLower(), documentText("on"), server.toLower());
    };
    if (root.hasConnection()) {
        const bool localFile = root.localDatabaseFileConnection();
        if (tabTitleFormat_ == DocumentName)
            return QString();
        const QString database = root.database();
        if (tabTitleFormat_ == SelectedElementName) {
            if (const BrowserElementPtr element = browserRouting_->selectedElement())
                return element->name();
            if (localFile)
                return QFileInfo(database).fileName();
            return summary(root.userName(), database, root.server());
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
    if (activeContent() == ContentPane::Procedure)
        features |= Compile;
    if (session_->vornRoot->supportsRecycleBin()) {
        features |= Trash;
        if (recyclebinIsFull())
            features |= FullTrash;
    }
    return features;
}

void VornDocument::markDDLDirty()
{
    const VornRootClient &root = *session_->vornRoot;
    if (root.dirty() && !root.dataDefinitionCausesTransactionCommit()) {
        dirtyDDLWaitingForTransaction_ = true;
        return;
    }
    dirtyDDLWaitingForTransaction_ = false;
    session_->dirtyDDL = true;
    BackgroundController::instance().notifyOfDirtyDocument();
}

bool VornDocument::recyclebinIsFull() const
{
    return session_->recyclebinIsFull;
}

void VornDocument::setRecyclebinIsFull(bool full)
{
    session_->recyclebinIsFull = full;
}

bool VornDocument::dirtyDDL() const
{
    return session_->dirtyDDL;
}

void VornDocument::setDirtyDDL(bool dirty)
{
    session_->dirtyDDL = dirty;
}

void VornDocument::metaDataExternalUpdate(bool updating)
{
    browserController()->setUpdatingMetaDataInBackground(updating);
    if (BrowserViewController *pane = browserRouting_->browserViewController();
        pane && pane->browserController() == browserController())
        pane->browserMetaDataCheckUpdated();
}

void VornDocument::metaDataWasExternallyUpdated()
{
    if (!connected() || !session_->vornRoot->hasConnection())
        return;
    // The browser shows the renewed elements, which the backend keeps in its cache, at its next update:
    // reselecting the schema here would load anew under the user's work (a statement just typed).
    sqlEditorController()->metaDataWasExternallyUpdated();
    infoColumn_->clearCaches();
}
