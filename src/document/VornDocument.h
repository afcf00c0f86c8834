#pragma once

#include "client/VornRootClient.h"
#include "connection/ClosingDocumentControllerDelegate.h"
#include "connection/ConnectionPanelDelegate.h"
#include "connection/ConnectionParameters.h"
#include "document/BackgroundControllerSupport.h"
#include "document/LineEnding.h"
#include "elements/BrowserElement.h"
#include "status/LoggerControllerDelegate.h"
#include "status/StatusManagerDelegate.h"
#include "window/ContentPane.h"
#include "window/MainWindowDocument.h"

#include <QMetaType>
#include <QTimer>
#include <QVariantMap>

#include <functional>
#include <memory>

class BrowserController;
class BrowserRouting;
class DdlRouting;
class ClosingConnectionController;
class ClosingDocumentController;
class ConnectionLife;
class ConnectionPanel;
class DocumentSaving;
class ExportRouting;
class ImportRouting;
class AnalyserRouting;
class ProcedureRouting;
class RecyclebinRouting;
class InfoColumnRouting;
class DocumentPrinting;
class ManagementRefresh;
class PaneSelection;
class ParameterInputController;
class ResultsetController;
class QWidget;
class SimpleActionController;
class SimpleTextController;
class SQLEditorController;
class StatementRouting;
class StatusManager;
class ThreadController;
class VornDocumentSession;
class VornTabbedWindowController;

// The document of one tab: one database connection on one backend root, with the thread registry,
// status manager (and its log) and the per-document controllers that share them. It keeps the
// document's state and hands its work to roles of their own: the statement road (StatementRouting:
// the SQL editor, the result set and the parameter form), the schema browser (BrowserRouting), the
// connection's life (ConnectionLife:
// connecting, the root's reservation, the transaction reminder, the end of the root) and the
// content pane (PaneSelection). Itself it runs the closing checks, answers the status bar and saves
// its SQL text with the stored-settings header. Main thread unless said otherwise.
class VornDocument : public MainWindowDocument,
                     public ClosingDocumentControllerDelegate,
                     public ConnectionPanelDelegate,
                     public StatusManagerDelegate,
                     public LoggerControllerDelegate
{
    Q_OBJECT
public:
    // The connection state as the status bar shows it.
    enum ConnectionState : qint64 { NotConnected = 0, Connecting = 1, Connected = 2 };
    static constexpr int dirtyCheckIntervalMs = 30000;
    static inline const QString startupConnectionThreadName =
        QStringLiteral("VornDocument.startupConnection");

    explicit VornDocument(QObject *parent = nullptr);
    // A root of another backend class: a subclass of the root that tests steer.
    VornDocument(const QString &backendRootClassName, QObject *parent);
    ~VornDocument() override;

    // Tells the main window how to make the panes the document fills: the status bar, the execution
    // log, the SQL editor, the result grid and the info column. Called once at start-up, before the first
    // window.
    static void registerWindowPanes();

    // State.
    VornRootClientPtr vornRoot() const;
    std::shared_ptr<ThreadController> threadController() const;
    std::shared_ptr<StatusManager> statusManager() const;
    ConnectionParametersPtr connectionParameters() const { return connectionParameters_; }
    void setConnectionParameters(ConnectionParametersPtr parameters)
    {
        connectionParameters_ = std::move(parameters);
    }
    // Set while a connect runs; any thread.
    bool connecting() const;
    bool closedDocument() const;
    // The document believes it holds a live connection; any thread.
    bool connected() const;
    void setConnected(bool connected);
    bool recyclebinIsFull() const;
    void setRecyclebinIsFull(bool full);
    // Any thread.
    bool dirtyDDL() const;
    void setDirtyDDL(bool dirty);
    bool dirtyDDLWaitingForTransaction() const { return dirtyDDLWaitingForTransaction_; }
    void setDirtyDDLWaitingForTransaction(bool waiting) { dirtyDDLWaitingForTransaction_ = waiting; }
    bool preventConnectionOnShowWindows() const { return preventConnectionOnShowWindows_; }
    void setPreventConnectionOnShowWindows(bool prevent) { preventConnectionOnShowWindows_ = prevent; }
    bool shouldPrintScript() const { return shouldPrintScript_; }
    void setShouldPrintScript(bool script) { shouldPrintScript_ = script; }
    QVariantMap documentOptions() const { return documentOptions_; }
    void setDocumentOptions(const QVariantMap &options) { documentOptions_ = options; }
    SimpleTextController *simpleTextController() const { return simpleTextController_.get(); }
    SimpleActionController *simpleActionController() const { return simpleActionController_.get(); }
    ClosingConnectionController *closingConnectionController() const
    {
        return closingConnectionController_.get();
    }
    ClosingDocumentController *closingDocumentController() const { return closingDocumentController_.get(); }
    // The connection chooser while one is open.
    ConnectionPanel *connectionPanel() const;
    const QTimer *dirtyCheckTimer() const { return dirtyCheckTimer_.get(); }

    // The roles.
    StatementRouting &statementRouting() const { return *statementRouting_; }
    BrowserRouting &browserRouting() const { return *browserRouting_; }
    DdlRouting &ddlRouting() const { return *ddlRouting_; }
    ConnectionLife &connectionLife() const { return *connectionLife_; }
    PaneSelection &paneSelection() const { return *paneSelection_; }
    InfoColumnRouting &infoColumn() const { return *infoColumn_; }
    ExportRouting &exportRouting() const { return *exportRouting_; }
    ImportRouting &importRouting() const { return *importRouting_; }
    AnalyserRouting &analyserRouting() const { return *analyserRouting_; }
    ProcedureRouting &procedureRouting() const { return *procedureRouting_; }
    RecyclebinRouting &recyclebinRouting() const { return *recyclebinRouting_; }
    DocumentPrinting &printing() const { return *printing_; }
    ManagementRefresh &managementRefresh() const { return *managementRefresh_; }

    SQLEditorController *sqlEditorController() const;
    BrowserController *browserController() const;
    ResultsetController *resultsetController() const;
    ParameterInputController *parameterInputController() const;
    // The last statement result the grid shows, for the info column; null before one.
    BrowserElementPtr statementResultElement() const;
    // The SQL editor's text and statement parameters. Setting the text is not an edit; typing is.
    QString sqlContents() const;
    void setSqlContents(const QString &contents);
    QVariantMap sqlParameterCache() const;
    // Merges into the cache.
    void updateSqlParameterCache(const QVariantMap &arguments);

    // Saving and opening: the SQL text behind the stored-settings header. Bytes that are not UTF-8
    // are refused with the reason in error, never opened as an empty document. The text is held
    // with LF line breaks and saved with those of the file it was read from.
    QByteArray dataOfType() const override;
    bool readFromData(const QByteArray &data, QString *error) override;
    // Reads the file again without connecting or disconnecting.
    bool revertToContentsOfURL(const QString &path, QString *error);
    // The File menu's Save, Save As and Revert to Saved (the saving role does the work).
    Q_INVOKABLE void saveDocument(QObject *sender);
    Q_INVOKABLE void saveDocumentAs(QObject *sender);
    Q_INVOKABLE void revertDocumentToSaved(QObject *sender);
    // The File menu's Export: the current result set, or a table chosen in the assistant.
    Q_INVOKABLE void exportData(QObject *sender);
    // The File menu's Import: into a table chosen in the assistant.
    Q_INVOKABLE void importData(QObject *sender);
    // File > Print and Page Setup (the printing role does the work).
    Q_INVOKABLE void printDocument(QObject *sender);
    Q_INVOKABLE void runPageLayout(QObject *sender);
    // Revert only while the text differs from a file; the other commands always.
    Q_INVOKABLE bool validateAction(const QString &action) const;
    DocumentSaving &saving() const { return *saving_; }
    // "connectionParameters" of an initialisation info: the object, or its dictionary form.
    static ConnectionParametersPtr connectionParametersFromInfo(const QVariant &value);

    // Activates the tab. The first time it takes the initialisation info's text and parameters and
    // connects, or asks for a connection; later calls (a file opened again) only activate it.
    void showWindows() override;
    // What a duplicate of this tab starts from; empty without connection parameters.
    QVariantMap initializationInfoForTabDuplication() const;

    // Content pane.
    ContentPane activeContent() const;
    void setActiveContent(ContentPane pane);
    VornTabbedWindowController *vornWindowController() const;
    // The window sheets go to; null while the document has none.
    QWidget *windowForSheet() const;

    // Connecting (the connection's life does the work).
    void goStartupConnection();
    // A connect succeeded: the controllers and the window start from the new connection.
    void initConnection();
    void connectionStartupFailureResponse(int returnCode);
    Q_INVOKABLE void connect(QObject *sender);
    Q_INVOKABLE void disconnect(QObject *sender);
    Q_INVOKABLE void reconnect(QObject *sender);
    Q_INVOKABLE void showConnectionDetails(QObject *sender);
    void clearConnectionState();
    // Server, port, database and user name joined by "_", upper case.
    static QString uniqueConnectionIdentifier(const ConnectionParameters *parameters);
    // Flags of a connection start: 1 auto-commit, 2 keep alive, 4 index hints.
    static qint32 connectionFlags(quint64 autoCommit, bool keepConnectionAlive, bool indexHints);
    // "Vorn 3.1" from the short version "3.1 (build)".
    static QString clientName();

    // Cancels a connect in progress; with wait, done runs once the attempt has ended (polled by a
    // timer, so the main thread stays free for the worker's own main-thread steps).
    void cancelConnecting();
    void cancelConnectingWait(bool wait, std::function<void()> done = {});

    // Closing.
    void canCloseDocumentWithDelegate(CloseCallback shouldClose) override;
    void canDisconnectDocumentWithDelegate(CloseCallback shouldClose);
    // The quit review's question: the closing checks, except that "Don't Save" discards nothing yet.
    // The answer says whether the user chose it; the review discards once every document has agreed,
    // so a review cancelled at a later document leaves this one as it was.
    using QuitCallback = std::function<void(VornDocument *document, bool shouldQuit, bool discard)>;
    void canQuitDocumentWithDelegate(QuitCallback shouldQuit);
    void destroyResources() override;
    void close() override;
    // Unsaved text, uncommitted changes or a running statement (the tab's own edited state is the
    // text's alone).
    bool isDocumentEdited();

    // TabbedDocument.
    TabbedWindowController *createTabbedWindowController() override;
    void loadDocumentInWindowController(TabbedWindowController *windowController) override;
    void documentTabDidOrderFront() override;
    void documentTabWillOrderOut() override;
    void documentTabDidBecomeMain() override;
    TabbedDocumentState documentState() const override;
    void setTabLabel(unsigned label) override;
    QString contextDisplayName() const override;
    QVariantMap restorableDocumentInfo() const override;
    void restoreDocumentWithInfo(const std::optional<QVariantMap> &state) override;
    void documentRestorationComplete() override;

    // MainWindowDocument.
    qint64 toolbarFeatures() const override;
    bool toolbarRecylceBinIsFull() const override { return recyclebinIsFull(); }
    int tabTitleFormat() const override { return tabTitleFormat_; }
    void setTabTitleFormat(int format) override;

    // ClosingDocumentControllerDelegate.
    bool canChangeFocus() override;
    bool hasConnection() override;
    bool hasDirtyConnection() override;
    bool hasRunningQuery() override;
    void cancelRunningQuery() override;
    void cancelledClosingConnectionDidRollback() override;
    bool hasDirtyDocument() override;
    void discardDirtyDocument() override;
    void saveDocumentWithDelegate(std::function<void(bool saved)> didSave) override;

    // ConnectedControllerDelegate: any thread for the reservation and its end.
    bool connectedControllerWantsRootReservationFor(ConnectedController *controller,
                                                    const QString &description) override;
    void connectedControllerWantsEndRootReservation(ConnectedController *controller) override;
    bool connectedControllerWantsToChangeFocus(ConnectedController *controller,
                                               bool requiresEditing) override;
    bool connectedControllerWantsClearRootSelection(ConnectedController *controller) override;
    ConnectionParametersPtr
    connectedControllerWantsConnectionParameters(ConnectedController *controller) override;
    QString connectedControllerWantsUniqueConnectionIdentifier(ConnectedController *controller) override;

    // StatusManagerDelegate.
    void statusManagerHasStatusUpdate(StatusManager *manager) override;
    void statusManagerHasTextOnlyStatusUpdate(StatusManager *manager) override;
    void statusManagerHasAlert(StatusManager *manager) override;
    bool statusManagerCurrentElementSupportsNotifications(StatusManager *manager) override;
    bool statusManagerDocumentIsActive(StatusManager *manager) override;
    bool statusManagerCanCancelAction(StatusManager *manager) override;
    void statusManagerCancelAction(StatusManager *manager) override;
    void statusManagerWantsToDisconnect(StatusManager *manager) override;
    void statusManagerWantsToReconnect(StatusManager *manager) override;
    qint64 statusManagerConnectionStatus(StatusManager *manager) override;
    QString statusManagerWantsReconnectName(StatusManager *manager) override;
    QString statusManagerNeedsSelectedSchema(StatusManager *manager) override;
    const StatusBarElement *statusManagerNeedsBrowserElement(StatusManager *manager) override;
    void statusManagerWantsToActivateDocument(StatusManager *manager) override;

    // ConnectionPanelDelegate: the chosen connection is the document's and it connects.
    void connectionPanelWantsToConnect(ConnectionPanel *panel,
                                       const ConnectionParametersPtr &parameters) override;

    // LoggerControllerDelegate.
    void loggerControllerWasUpdated(LoggerController *logger) override;

    // Schema metadata changed through DDL: the background checker re-reads it, or, while a transaction
    // keeps DDL uncommitted, once the transaction ends.
    void markDDLDirty();
    // The document as the background checker sees it.
    BackgroundControllerSupportPtr backgroundSupport() const { return backgroundSupport_; }
    // The background checker is validating the metadata (true) or has finished (false).
    void metaDataExternalUpdate(bool updating);
    // The checker renewed the metadata: the browser, the editor's words and the info caches follow.
    void metaDataWasExternallyUpdated();

private:
    friend class ConnectionLife;
    const std::shared_ptr<VornDocumentSession> &session() const { return session_; }

    void runClosingCheck(ClosingConnectionController *checker, CloseCallback shouldClose);
    void showEditorPane();

    std::shared_ptr<VornDocumentSession> session_;
    ConnectionParametersPtr connectionParameters_;
    std::unique_ptr<PaneSelection> paneSelection_;
    std::unique_ptr<StatementRouting> statementRouting_;
    std::unique_ptr<BrowserRouting> browserRouting_;
    std::unique_ptr<DdlRouting> ddlRouting_;
    std::unique_ptr<InfoColumnRouting> infoColumn_;
    std::unique_ptr<ExportRouting> exportRouting_;
    std::unique_ptr<ImportRouting> importRouting_;
    std::unique_ptr<AnalyserRouting> analyserRouting_;
    std::unique_ptr<ProcedureRouting> procedureRouting_;
    std::unique_ptr<RecyclebinRouting> recyclebinRouting_;
    std::unique_ptr<DocumentPrinting> printing_;
    std::unique_ptr<ManagementRefresh> managementRefresh_;
    std::unique_ptr<ConnectionLife> connectionLife_;
    std::unique_ptr<DocumentSaving> saving_;
    std::unique_ptr<ClosingConnectionController> closingConnectionController_;
    std::unique_ptr<ClosingDocumentController> closingDocumentController_;
    std::unique_ptr<SimpleTextController> simpleTextController_;
    std::unique_ptr<SimpleActionController> simpleActionController_;
    std::unique_ptr<QTimer> dirtyCheckTimer_;
    mutable QVariantMap documentOptions_;    // saving stamps it
    LineEnding lineEnding_ = LineEnding::Lf; // the file's, kept when it is saved
    bool settingSqlContents_ = false;
    bool reviewingForQuit_ = false;
    bool discardOnQuit_ = false;
    bool windowsShown_ = false;
    int tabTitleFormat_ = SelectedElementName;
    BackgroundControllerSupportPtr backgroundSupport_;
    bool dirtyDDLWaitingForTransaction_ = false;
    bool preventConnectionOnShowWindows_ = false;
    bool shouldPrintScript_ = false;
};

Q_DECLARE_METATYPE(ConnectionParametersPtr)
