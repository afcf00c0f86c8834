// Connecting, reconnecting and the reservation of the document's root.

#include "bridge/JavaUtils.h"
#include "bridge/QoJavaBridgeException.h"
#include "bridge/ThreadController.h"
#include "connection/ClosingConnectionController.h"
#include "connection/ConnectionDetails.h"
#include "connection/ConnectionPanel.h"
#include "connection/DatabaseTypeTraits.h"
#include "document/VornDocument.h"
#include "document/VornDocumentSession.h"
#include "editor/SQLEditorController.h"
#include "kit/DocumentAlertSheet.h"
#include "platform/Bundle.h"
#include "platform/FileBookmarks.h"
#include "platform/MainThread.h"
#include "platform/Preferences.h"
#include "platform/UserDefaults.h"
#include "status/LoggerController.h"
#include "status/StatusManager.h"
#include "tabs/TabbedWindowController.h"
#include "window/FeaturedToolbar.h"
#include "window/ToolbarController.h"
#include "window/ToolbarItem.h"
#include "window/ToolbarItemAdjustableLayout.h"
#include "window/VornTabbedWindowController.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QPointer>

#include <thread>

namespace
{

Q_LOGGING_CATEGORY(connectLog, "vorn.document.connect")

QString connectionText(const char *text)
{
    return QCoreApplication::translate("connection", text);
}

QString userAtDatabase(const ConnectionParameters &parameters)
{
    return QStringLiteral("%1@%2").arg(parameters.userName(), parameters.database());
}

// What one connect attempt needs, copied on the main thread before the worker starts.
struct ConnectRequest {
    ConnectionParameters parameters;
    bool localFile = false;
    int timeOutSeconds = 0;
    qint32 flags = 0;
};

struct ConnectOutcome {
    bool success = false;
    QString finalText;
    QString errorMessage;
};

// Worker thread: the attempt itself, from the reservation to the schema load. Stops quietly once
// the document has closed.
class StartupConnection
{
public:
    StartupConnection(std::shared_ptr<VornDocumentSession> session, QPointer<VornDocument> document,
                      ConnectRequest request)
        : session_(std::move(session)), document_(std::move(document)), request_(std::move(request))
    {
    }

    void run()
    {
        session_->threadController->registerThread(VornDocument::startupConnectionThreadName);
        ConnectOutcome outcome;
        try {
            outcome = attempt();
        } catch (const QoJavaBridgeException &exception) {
            qCWarning(connectLog) << "The connect failed in the bridge:" << exception.what();
            releaseReservation();
            outcome = {false, connectionText("Not connected"), exception.reason()};
        }
        finish(outcome);
        session_->threadController->unRegisterThread();
        // The session may hold the last reference to the status manager, which lives on the main thread.
        MainThread::post([session = std::move(session_)] {});
    }

private:
    const QoJavaObjectPtr &root() const { return session_->vornRoot; }
    bool rootIs(const char *selector) const { return root()->call(QLatin1String(selector)).toBool(); }

    ConnectOutcome attempt()
    {
        const ConnectionParameters &parameters = request_.parameters;
        StatusManager &status = *session_->statusManager;
        status.setActiveConnectionStatus(
            request_.localFile
                ? connectionText("Connecting to %1").arg(QFileInfo(parameters.database()).fileName())
                : connectionText("Connecting as %1").arg(userAtDatabase(parameters)));
        reserved_ = root()
                        ->call(QStringLiteral("reserveRoot:"),
                               {QCoreApplication::translate("activity", "Connecting to the database")})
                        .toBool();
        if (!reserved_)
            return {false, connectionText("Not connected"),
                    connectionText("Another action is still using this connection. Try again once it has "
                                   "finished.")};
        QString database = parameters.database();
        if (request_.localFile) {
            const QByteArray bookmark = ConnectionParameters::bookmarkForFile(database);
            if (!bookmark.isEmpty()) {
                QString error;
                database = FileBookmarks::resolveBookmark(bookmark, &error);
                if (database.isEmpty()) {
                    releaseReservation();
                    return {false, connectionText("Not connected"), error};
                }
            }
        }
        root()->call(QStringLiteral("startNewConnection:::::::::"),
                     {parameters.server(), parameters.port(), database, parameters.userName(),
                      parameters.password().value_or(QString()), parameters.databaseType(),
                      VornDocument::clientName(), request_.timeOutSeconds, request_.flags});
        if (session_->closedDocument())
            return {};
        if (!rootIs("lastActionSuccessful"))
            return failure();
        return loadConnection();
    }

    ConnectOutcome loadConnection()
    {
        const ConnectionParameters &parameters = request_.parameters;
        session_->connected = true;
        const bool localFile = rootIs("localDatabaseFileConnection");
        const QString fileName = QFileInfo(parameters.database()).fileName();
        session_->statusManager->setActiveConnectionStatus(
            connectionText("Retrieving connection info for %1")
                .arg(localFile ? fileName : userAtDatabase(parameters)));
        const QoJavaObjectPtr browser = root()->call(QStringLiteral("browser")).value<QoJavaObjectPtr>();
        if (session_->closedDocument())
            return {};
        // Until the background checker exists the schema is loaded here, in the foreground.
        const QVariant schema = browser ? browser->call(QStringLiteral("selectedSchema")) : QVariant();
        if (!root()->call(QStringLiteral("fullyLoadedForSchema:"), {schema}).toBool())
            root()->call(QStringLiteral("fullyLoadForSchema:"), {schema});
        const QString finalText = localFile
                                      ? connectionText("Connected with %1").arg(fileName)
                                      : connectionText("Connected as %1").arg(userAtDatabase(parameters));
        releaseReservation();
        MainThread::postAndWait([document = document_] {
            if (document && !document->closedDocument())
                document->initConnection();
        });
        return {true, finalText, QString()};
    }

    ConnectOutcome failure()
    {
        releaseReservation();
        QString error = root()->call(QStringLiteral("lastErrorMessage")).toString();
        if (error == QLatin1String("TIME_OUT"))
            error = connectionText("A time-out occured before a connection could be made.");
        else if (error == QLatin1String("CANCEL_CONNECT"))
            error = connectionText("The user cancelled the connection");
        return {false, connectionText("Not connected"), error};
    }

    void releaseReservation()
    {
        if (reserved_)
            root()->call(QStringLiteral("releaseReservedRoot"));
        reserved_ = false;
    }

    void finish(const ConnectOutcome &outcome)
    {
        if (session_->endConnecting()) {
            // The document closed during the attempt: it left the root to this worker.
            releaseReservation();
            session_->endRoot();
            return;
        }
        StatusManager &status = *session_->statusManager;
        if (!outcome.success) {
            // A new connection replaces the old one from its start: a failure leaves none.
            if (session_->connected.exchange(false))
                MainThread::post([document = document_] {
                    if (document)
                        document->clearConnectionState();
                });
            status.runErrorWithTitle(
                connectionText("Vorn wasn't able to connect to the database, do you want to retry?"),
                QStringLiteral("%1\n\n%2 %3")
                    .arg(connectionText(
                             "There was an error while connecting to the database. Choose Retry to try "
                             "and connect using the current settings, choose Change Settings to modify "
                             "the current settings."),
                         connectionText("Message:"), outcome.errorMessage),
                connectionText("Retry"), connectionText("Cancel"), connectionText("Change Connection"),
                [document = document_](int returnCode) {
                    if (document)
                        document->connectionStartupFailureResponse(returnCode);
                });
        }
        status.setConnectionStatus(outcome.finalText, outcome.success ? QString() : outcome.errorMessage);
    }

    std::shared_ptr<VornDocumentSession> session_;
    QPointer<VornDocument> document_;
    const ConnectRequest request_;
    bool reserved_ = false;
};

} // namespace

qint32 VornDocument::connectionFlags(quint64 autoCommit, bool keepConnectionAlive, bool indexHints)
{
    return (autoCommit == 1 ? 1 : 0) | (keepConnectionAlive ? 2 : 0) | (indexHints ? 4 : 0);
}

QString VornDocument::clientName()
{
    QString version = Bundle::mainBundle()
                          .objectForInfoDictionaryKey(QStringLiteral("CFBundleShortVersionString"))
                          .toString();
    const qsizetype cut = version.indexOf(QLatin1String(" ("));
    if (cut >= 0)
        version.truncate(cut);
    return QStringLiteral("Vorn %1").arg(version);
}

QString VornDocument::uniqueConnectionIdentifier(const ConnectionParameters *parameters)
{
    if (!parameters)
        return QStringLiteral("___");
    return QStringLiteral("%1_%2_%3_%4")
        .arg(parameters->server(), parameters->port(), parameters->database(), parameters->userName())
        .toUpper();
}

void VornDocument::goStartupConnection()
{
    if (!connectionParameters_)
        return;
    setTabLabel(unsigned(connectionParameters_->label()));
    if (connectionParameters_->autoCommit() == 2) {
        askForAutoCommitThenConnect();
        return;
    }
    connectionParameters_->setAutoCommit(connectionParameters_->autoCommit() != 0 ? 1 : 0);
    startConnectionThread();
}

void VornDocument::askForAutoCommitThenConnect()
{
    const DatabaseTypeTraits traits;
    const QString key = traits.hasDedicatedTransactionSupport(connectionParameters_->databaseType())
                            ? QStringLiteral("AUTO_COMMIT_TRANSACTIONAL_DATABASE")
                            : QStringLiteral("AUTO_COMMIT_NONE_TRANSACTIONAL_DATABASE");
    const QString informative = QCoreApplication::translate("connection", key.toUtf8().constData())
                                    .arg(connectionParameters_->connectionName());
    enum { DontUse, Use, Cancel };
    DocumentAlertSheet::begin(windowForSheet(), connectionText("Do you wish to use Auto-Commit ?"),
                              informative,
                              {connectionText("Don't use Auto-Commit"), connectionText("Use Auto-Commit"),
                               connectionText("Cancel")},
                              Cancel, [guard = QPointer<VornDocument>(this)](int answer) {
                                  if (!guard || answer == Cancel || !guard->connectionParameters_)
                                      return;
                                  guard->connectionParameters_->setAutoCommit(answer == Use ? 1 : 0);
                                  guard->startConnectionThread();
                              });
}

void VornDocument::startConnectionThread()
{
    if (!session_->beginConnecting())
        return;
    const DatabaseTypeTraits traits;
    UserDefaults &defaults = UserDefaults::standard();
    ConnectRequest request{*connectionParameters_,
                           traits.hasLocalDatabaseFileConnection(connectionParameters_->databaseType()),
                           defaults.boolForKey(PreferenceKey::timeOutWhileConnecting) ? 20 : 0,
                           connectionFlags(connectionParameters_->autoCommit(),
                                           defaults.boolForKey(PreferenceKey::keepConnectionAlive),
                                           defaults.boolForKey(PreferenceKey::oracleIndexHints))};
    documentStatusUpdated();
    std::thread([worker = std::make_shared<StartupConnection>(session_, QPointer<VornDocument>(this),
                                                              std::move(request))] {
        worker->run();
    }).detach();
}

void VornDocument::initConnection()
{
    // The browser and the background checker start from the new connection here once they exist;
    // so do the restored browser state and the element to show.
    if (rootIs("isConnected"))
        sqlEditorController_->resetSqlEditorFromRoot();
    if (TabbedWindowController *controller = windowController())
        loadDocumentInWindowController(controller);
    documentUpdated();
}

void VornDocument::connectionStartupFailureResponse(int returnCode)
{
    if (returnCode == 1)
        goStartupConnection();
    else if (returnCode == -1)
        connect(nullptr);
}

void VornDocument::connect(QObject *)
{
    canDisconnectDocumentWithDelegate([](TabbedDocument *document, bool shouldConnect) {
        static_cast<VornDocument *>(document)->documentShouldConnect(shouldConnect);
    });
}

void VornDocument::disconnect(QObject *)
{
    canDisconnectDocumentWithDelegate([](TabbedDocument *document, bool shouldDisconnect) {
        static_cast<VornDocument *>(document)->documentShouldDisconnect(shouldDisconnect);
    });
}

void VornDocument::documentShouldConnect(bool shouldConnect)
{
    if (!shouldConnect)
        return;
    if (rootIs("hasConnection")) {
        session_->vornRoot->call(QStringLiteral("endConnection"));
        clearConnectionState();
        session_->statusManager->setConnectionStatus(connectionText("Disconnected from the database"));
    }
    connectionPanel_ = std::make_unique<ConnectionPanel>();
    connectionPanel_->setDelegate(this);
    connectionPanel_->openPanelOnWindow(windowForSheet());
}

void VornDocument::connectionPanelWantsToConnect(ConnectionPanel *, const ConnectionParametersPtr &parameters)
{
    setConnectionParameters(parameters);
    goStartupConnection();
}

QString VornDocument::reconnectName() const
{
    if (!connectionParameters_ || connectionParameters_->database().isNull() ||
        connectionParameters_->userName().isNull())
        return QString();
    return connectionText("%1 as %2")
        .arg(connectionParameters_->database(), connectionParameters_->userName());
}

void VornDocument::reconnect(QObject *sender)
{
    if (!connectionParameters_) {
        connect(sender);
        return;
    }
    enum { Reconnect, OtherConnection, Cancel };
    DocumentAlertSheet::begin(
        windowForSheet(), connectionText("Do you wish to reconnect to %1").arg(reconnectName()),
        connectionText(
            "Press Reconnect to make the previous connection to %1. Press Other Connection to select a "
            "different connection.")
            .arg(connectionParameters_->database()),
        {connectionText("Reconnect"), connectionText("Other Connection"), connectionText("Cancel")}, Cancel,
        [guard = QPointer<VornDocument>(this)](int answer) {
            if (!guard)
                return;
            if (answer == Reconnect)
                guard->goStartupConnection();
            else if (answer == OtherConnection)
                MainThread::post([guard] {
                    if (guard)
                        guard->connect(nullptr);
                });
        });
}

void VornDocument::clearConnectionState()
{
    // The browser resets from the root here once it exists.
    resultsetClearedFromRoot();
    setActiveContent(ContentNothing);
    session_->connected = false;
    documentStatusUpdated();
}

void VornDocument::showConnectionDetails(QObject *)
{
    VornTabbedWindowController *controller = vornWindowController();
    if (!controller || !rootIs("hasConnection"))
        return;
    const QoJavaObjectPtr info =
        session_->vornRoot->call(QStringLiteral("connectionInfo")).value<QoJavaObjectPtr>();
    if (auto *details =
            qobject_cast<ConnectionDetails *>(controller->sharedConnectionDetailsViewController()))
        details->showInfo(JavaUtils::dictionaryFromHashtable(info), windowForSheet());
}

void VornDocument::cancelConnecting()
{
    cancelConnectingWait(true);
}

void VornDocument::cancelConnectingWait(bool wait, std::function<void()> done)
{
    session_->vornRoot->call(QStringLiteral("cancelConnecting"));
    if (!wait)
        return;
    // The worker still hands its last status to the main thread, so the wait must not block it.
    auto *poll = new QTimer(this);
    poll->setInterval(cancelConnectingPollMs);
    QObject::connect(poll, &QTimer::timeout, this, [this, poll, done] {
        if (connecting())
            return;
        poll->deleteLater();
        if (done)
            done();
    });
    poll->start();
}

// Reservation.

bool VornDocument::connectedControllerWantsRootReservationFor(ConnectedController *,
                                                              const QString &description)
{
    const QoJavaObjectPtr &root = session_->vornRoot;
    const bool hasConnection = rootIs("hasConnection");
    if (hasConnection && rootIs("isConnected")) {
        if (root->call(QStringLiteral("reserveRoot:"), {description}).toBool())
            return true;
        // Another action holds the root: this one is not started; the holder keeps its status.
        session_->statusManager->loggerController()->logLine(
            connectionText("\"%1\" was not started: the connection is busy with another action.")
                .arg(description));
        return false;
    }
    if (hasConnection || session_->connected)
        connectionLost();
    return false;
}

void VornDocument::connectionLost()
{
    session_->vornRoot->call(QStringLiteral("endConnection"));
    MainThread::post([guard = QPointer<VornDocument>(this)] {
        if (guard)
            guard->clearConnectionState();
    });
    session_->connected = false;
    StatusManager &status = *session_->statusManager;
    status.runErrorWithTitle(connectionText("Database error"),
                             connectionText("Vorn lost the connection with the database."));
    status.setConnectionStatus(connectionText("Disconnected from the database"));
}

void VornDocument::connectedControllerWantsEndRootReservation(ConnectedController *)
{
    session_->vornRoot->call(QStringLiteral("releaseReservedRoot"));
    if (!rootIs("hasConnection")) {
        session_->vornRoot->call(QStringLiteral("endConnection"));
        MainThread::post([guard = QPointer<VornDocument>(this)] {
            if (guard)
                guard->clearConnectionState();
        });
        session_->statusManager->setConnectionStatus(connectionText("Disconnected from the database"));
    }
    MainThread::post([guard = QPointer<VornDocument>(this)] {
        VornTabbedWindowController *controller = guard ? guard->vornWindowController() : nullptr;
        if (FeaturedToolbar *toolbar = controller ? controller->toolbarController()->toolbar() : nullptr)
            toolbar->validateVisibleItems();
    });
}

bool VornDocument::connectedControllerWantsToChangeFocus(ConnectedController *, bool)
{
    // Pending edits of the result grid end here once it exists.
    const QoJavaObjectPtr &root = session_->vornRoot;
    if (rootIs("allowFocusChange"))
        return true;
    if (!rootIs("lastActionSuccessful")) {
        const QString error = root->call(QStringLiteral("lastErrorMessage")).toString();
        const auto resultsetText = [](const char *text) {
            return QCoreApplication::translate("resultset", text);
        };
        QString message;
        if (error == QLatin1String("PROCEDURE_NEEDS_COMMIT_OR_REVERT"))
            message = connectionText(
                "The selected function or procedure needs to be compiled or reverted before you "
                "can continue");
        else
            message = QStringLiteral("%1\n%2").arg(resultsetText("Couldn't update the database"),
                                                   error == QLatin1String("INVALID_INPUT")
                                                       ? resultsetText("You've entered an invalid value.")
                                                       : error);
        session_->statusManager->runErrorWithTitle(connectionText("Database error"), message);
    }
    return false;
}

bool VornDocument::connectedControllerWantsClearRootSelection(ConnectedController *controller)
{
    if (!connectedControllerWantsToChangeFocus(controller, true))
        return false;
    session_->vornRoot->call(QStringLiteral("clearResultset"));
    resultsetClearedFromRoot();
    // The procedure editor and info column reset here once they exist.
    return true;
}

ConnectionParametersPtr VornDocument::connectedControllerWantsConnectionParameters(ConnectedController *)
{
    return connectionParameters_;
}

QString VornDocument::connectedControllerWantsUniqueConnectionIdentifier(ConnectedController *)
{
    return uniqueConnectionIdentifier(connectionParameters_.get());
}
