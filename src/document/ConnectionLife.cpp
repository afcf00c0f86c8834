#include "document/ConnectionLife.h"
#include "document/BackgroundController.h"

#include "bridge/ThreadController.h"
#include "browser/BrowserController.h"
#include "client/VornRootClient.h"
#include "connection/ClosingConnectionController.h"
#include "connection/ConnectionDetails.h"
#include "connection/ConnectionPanel.h"
#include "connection/DatabaseTypeTraits.h"
#include "document/BrowserRouting.h"
#include "document/InfoColumnRouting.h"
#include "document/PaneSelection.h"
#include "document/ProcedureRouting.h"
#include "document/StartupConnection.h"
#include "document/StatementRouting.h"
#include "document/VornDocument.h"
#include "document/VornDocumentSession.h"
#include "editor/SQLEditorController.h"
#include "kit/DocumentAlertSheet.h"
#include "platform/MainThread.h"
#include "platform/Preferences.h"
#include "resultset/ResultsetController.h"
#include "status/LoggerController.h"
#include "status/StatusManager.h"
#include "window/FeaturedToolbar.h"
#include "window/ToolbarController.h"
#include "window/ToolbarItem.h"
#include "window/ToolbarItemAdjustableLayout.h"
#include "window/VornTabbedWindowController.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QPointer>
#include <QTimer>

namespace
{

QString connectionText(const char *text)
{
    return QCoreApplication::translate("connection", text);
}

QString documentText(const char *text)
{
    return QCoreApplication::translate("document", text);
}

} // namespace

ConnectionLife::ConnectionLife(VornDocument &document) : document_(document) {}

ConnectionLife::~ConnectionLife()
{
    if (connectionPanel_)
        connectionPanel_->setDelegate(nullptr);
}

// Connecting.

void ConnectionLife::goStartupConnection()
{
    const ConnectionParametersPtr parameters = document_.connectionParameters();
    if (!parameters)
        return;
    document_.setTabLabel(unsigned(parameters->label()));
    if (parameters->autoCommit() == 2) {
        askForAutoCommitThenConnect();
        return;
    }
    parameters->setAutoCommit(parameters->autoCommit() != 0 ? 1 : 0);
    startConnectionThread();
}

void ConnectionLife::askForAutoCommitThenConnect()
{
    const ConnectionParametersPtr parameters = document_.connectionParameters();
    const DatabaseTypeTraits traits;
    const QString key = traits.hasDedicatedTransactionSupport(parameters->databaseType())
                            ? QStringLiteral("AUTO_COMMIT_TRANSACTIONAL_DATABASE")
                            : QStringLiteral("AUTO_COMMIT_NONE_TRANSACTIONAL_DATABASE");
    const QString informative =
        QCoreApplication::translate("connection", key.toUtf8().constData()).arg(parameters->connectionName());
    enum { DontUse, Use, Cancel };
    DocumentAlertSheet::begin(document_.windowForSheet(), connectionText("Do you wish to use Auto-Commit ?"),
                              informative,
                              {connectionText("Don't use Auto-Commit"), connectionText("Use Auto-Commit"),
                               connectionText("Cancel")},
                              Cancel, [guard = QPointer<VornDocument>(&document_)](int answer) {
                                  if (!guard || answer == Cancel || !guard->connectionParameters())
                                      return;
                                  guard->connectionParameters()->setAutoCommit(answer == Use ? 1 : 0);
                                  guard->connectionLife().startConnectionThread();
                              });
}

void ConnectionLife::startConnectionThread()
{
    const std::shared_ptr<VornDocumentSession> &session = document_.session();
    if (!session->beginConnecting())
        return;
    const ConnectionParameters &parameters = *document_.connectionParameters();
    const Preferences preferences;
    ConnectRequest request{parameters,
                           DatabaseTypeTraits().hasLocalDatabaseFileConnection(parameters.databaseType()),
                           preferences.flag(PreferenceKey::timeOutWhileConnecting) ? 20 : 0,
                           VornDocument::connectionFlags(parameters.autoCommit(),
                                                         preferences.flag(PreferenceKey::keepConnectionAlive),
                                                         preferences.flag(PreferenceKey::oracleIndexHints)),
                           BackgroundController::instance().started()};
    document_.documentStatusUpdated();
    startConnectionAttempt(session, QPointer<VornDocument>(&document_), std::move(request));
}

void ConnectionLife::initConnection()
{
    if (document_.session()->vornRoot->isConnected()) {
        document_.sqlEditorController()->resetSqlEditorFromRoot();
        BackgroundController::instance().notifyOfNewDocument();
    }
    document_.browserRouting().startFromRoot(document_.initializationInfo());
    document_.infoColumn().showNothing();
    if (TabbedWindowController *controller = document_.windowController())
        document_.loadDocumentInWindowController(controller);
    document_.browserRouting().selectDefaultSchema();
    document_.documentUpdated();
}

void ConnectionLife::connectionStartupFailureResponse(int returnCode)
{
    if (returnCode == 1)
        goStartupConnection();
    else if (returnCode == -1)
        connect();
}

void ConnectionLife::connect()
{
    document_.canDisconnectDocumentWithDelegate([](TabbedDocument *document, bool shouldConnect) {
        static_cast<VornDocument *>(document)->connectionLife().documentShouldConnect(shouldConnect);
    });
}

void ConnectionLife::disconnect()
{
    document_.canDisconnectDocumentWithDelegate([](TabbedDocument *document, bool shouldDisconnect) {
        static_cast<VornDocument *>(document)->connectionLife().documentShouldDisconnect(shouldDisconnect);
    });
}

void ConnectionLife::documentShouldConnect(bool shouldConnect)
{
    if (!shouldConnect)
        return;
    const std::shared_ptr<VornDocumentSession> &session = document_.session();
    if (session->vornRoot->hasConnection()) {
        session->vornRoot->endConnection();
        clearConnectionState();
        session->statusManager->setConnectionStatus(connectionText("Disconnected from the database"));
    }
    connectionPanel_ = std::make_unique<ConnectionPanel>();
    connectionPanel_->setDelegate(&document_);
    connectionPanel_->openPanelOnWindow(document_.windowForSheet());
}

void ConnectionLife::documentShouldDisconnect(bool shouldDisconnect)
{
    if (shouldDisconnect) {
        const std::shared_ptr<VornDocumentSession> &session = document_.session();
        session->vornRoot->endConnection();
        clearConnectionState();
        session->statusManager->setConnectionStatus(connectionText("Disconnected from the database"));
    }
    document_.documentStatusUpdated();
}

QString ConnectionLife::reconnectName() const
{
    const ConnectionParametersPtr parameters = document_.connectionParameters();
    if (!parameters)
        return QString();
    // A local file needs no user, and a server connection may name no database: the name is made of
    // what the parameters hold, never of blanks.
    const QString place = parameters->database().isEmpty() ? parameters->server() : parameters->database();
    if (place.isEmpty())
        return QString();
    const QString user = parameters->userName();
    return user.isEmpty() ? place : connectionText("%1 as %2").arg(place, user);
}

void ConnectionLife::reconnect()
{
    const ConnectionParametersPtr parameters = document_.connectionParameters();
    if (!parameters) {
        connect();
        return;
    }
    enum { Reconnect, OtherConnection, Cancel };
    DocumentAlertSheet::begin(
        document_.windowForSheet(), connectionText("Do you wish to reconnect to %1").arg(reconnectName()),
        connectionText(
            "Press Reconnect to make the previous connection to %1. Press Other Connection to select a "
            "different connection.")
            .arg(parameters->database()),
        {connectionText("Reconnect"), connectionText("Other Connection"), connectionText("Cancel")}, Cancel,
        [guard = QPointer<VornDocument>(&document_)](int answer) {
            if (!guard)
                return;
            if (answer == Reconnect)
                guard->connectionLife().goStartupConnection();
            else if (answer == OtherConnection)
                MainThread::post([guard] {
                    if (guard)
                        guard->connectionLife().connect();
                });
        });
}

void ConnectionLife::clearConnectionState()
{
    document_.browserRouting().resetFromRoot();
    document_.statementRouting().resultsetClearedFromRoot();
    document_.infoColumn().showNothing();
    document_.paneSelection().show(ContentPane::Nothing);
    document_.session()->connected = false;
    document_.documentUpdated(); // the restoration no longer reconnects it
}

void ConnectionLife::showConnectionDetails()
{
    VornTabbedWindowController *controller = document_.vornWindowController();
    const VornRootClientPtr &root = document_.session()->vornRoot;
    if (!controller || !root->hasConnection())
        return;
    if (auto *details =
            qobject_cast<ConnectionDetails *>(controller->sharedConnectionDetailsViewController()))
        details->showInfo(root->connectionInfo(), document_.windowForSheet());
}

void ConnectionLife::cancelConnectingWait(bool wait, std::function<void()> done)
{
    document_.session()->vornRoot->cancelConnecting();
    if (!wait)
        return;
    // The worker still hands its last status to the main thread, so the wait must not block it.
    auto *poll = new QTimer(&document_);
    poll->setInterval(cancelConnectingPollMs);
    QObject::connect(poll, &QTimer::timeout, &document_, [this, poll, done] {
        if (document_.connecting())
            return;
        poll->deleteLater();
        if (done)
            done();
    });
    poll->start();
}

// Reservation.

bool ConnectionLife::reserveRoot(const QString &description)
{
    const std::shared_ptr<VornDocumentSession> &session = document_.session();
    VornRootClient &root = *session->vornRoot;
    const bool hasConnection = root.hasConnection();
    if (hasConnection && root.isConnected()) {
        if (root.reserveRoot(description))
            return true;
        // Another action holds the root: this one is not started; the holder keeps its status.
        session->statusManager->loggerController()->logLine(
            connectionText("\"%1\" was not started: the connection is busy with another action.")
                .arg(description));
        return false;
    }
    if (hasConnection || session->connected)
        connectionLost();
    return false;
}

void ConnectionLife::connectionLost()
{
    const std::shared_ptr<VornDocumentSession> &session = document_.session();
    session->vornRoot->endConnection();
    MainThread::post([guard = QPointer<VornDocument>(&document_)] {
        if (guard)
            guard->connectionLife().clearConnectionState();
    });
    session->connected = false;
    StatusManager &status = *session->statusManager;
    status.runErrorWithTitle(connectionText("Database error"),
                             connectionText("Vorn lost the connection with the database."));
    status.setConnectionStatus(connectionText("Disconnected from the database"));
}

void ConnectionLife::endReservation()
{
    const std::shared_ptr<VornDocumentSession> &session = document_.session();
    session->vornRoot->releaseReservedRoot();
    if (!session->vornRoot->hasConnection()) {
        session->vornRoot->endConnection();
        MainThread::post([guard = QPointer<VornDocument>(&document_)] {
            if (guard)
                guard->connectionLife().clearConnectionState();
        });
        session->statusManager->setConnectionStatus(connectionText("Disconnected from the database"));
    }
    MainThread::post([guard = QPointer<VornDocument>(&document_)] {
        // A browser load that found the root busy goes now.
        if (guard)
            guard->browserController()->rootReservationEnded();
        VornTabbedWindowController *controller = guard ? guard->vornWindowController() : nullptr;
        if (FeaturedToolbar *toolbar = controller ? controller->toolbarController()->toolbar() : nullptr)
            toolbar->validateVisibleItems();
    });
}

bool ConnectionLife::changeFocus()
{
    // A row edited in the grid is written first; a row the database refuses keeps the focus.
    if (ResultsetController *resultset = document_.resultsetController();
        resultset && !resultset->shouldEndEdit())
        return false;
    const std::shared_ptr<VornDocumentSession> &session = document_.session();
    const VornRootClient &root = *session->vornRoot;
    if (root.allowFocusChange())
        return true;
    if (!root.lastActionSuccessful()) {
        const QString error = root.lastErrorMessage();
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
        session->statusManager->runErrorWithTitle(connectionText("Database error"), message);
    }
    return false;
}

bool ConnectionLife::clearRootSelection()
{
    if (!changeFocus())
        return false;
    document_.session()->vornRoot->clearResultset();
    document_.statementRouting().resultsetClearedFromRoot();
    document_.infoColumn().showNothing();
    document_.procedureRouting().resetFromRoot();
    document_.procedureRouting().resetPane();
    return true;
}

// Open-transaction reminder.

void ConnectionLife::checkForOutstandingTransaction()
{
    const std::shared_ptr<VornDocumentSession> &session = document_.session();
    VornRootClient &root = *session->vornRoot;
    if (!root.hasConnection() || !root.dirty())
        return;
    if (root.dirtySeconds() < dirtyWarningSeconds)
        return;
    session->statusManager->runErrorWithTitle(
        documentText("This connection has had uncommitted changes for more than 5 minutes."),
        documentText(
            "To prevent database locks it is advised to Commit or Rollback these changes.\nOther users or "
            "automated process might need to process the same records, they will need to wait until the "
            "changes of this connection done."),
        documentText("Commit"), documentText("Cancel"), documentText("Rollback"),
        [guard = QPointer<VornDocument>(&document_)](int returnCode) {
            if (guard)
                guard->connectionLife().checkForOutstandingTransactionResponse(returnCode);
        });
    root.resetDirtySeconds();
}

void ConnectionLife::checkForOutstandingTransactionResponse(int returnCode)
{
    if (returnCode == 1 || returnCode == -1)
        endTransaction(returnCode == 1);
    document_.session()->vornRoot->resetDirtySeconds();
}

// The browser commits or rolls back: it redraws what the transaction's end changed.
void ConnectionLife::endTransaction(bool commit)
{
    BrowserController *browser = document_.browserController();
    if (commit)
        browser->commit();
    else
        browser->rollback();
}

void ConnectionLife::closeDocument()
{
    const bool endRootHere = document_.session()->closeDocument();
    // A running connect is asked to stop; it ends the root itself when it has finished.
    cancelConnectingWait(false);
    if (endRootHere)
        document_.session()->endRoot();
}
