// One connect attempt of a connection document, on a worker of its own.
#include "document/StartupConnection.h"

#include "bridge/ThreadController.h"
#include "client/BackgroundRunner.h"
#include "client/VornBrowserClient.h"
#include "document/BackgroundController.h"
#include "document/VornDocument.h"
#include "document/VornDocumentSession.h"
#include "platform/FileBookmarks.h"
#include "platform/MainThread.h"
#include "status/StatusManager.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace
{

QString connectionText(const char *text)
{
    return QCoreApplication::translate("connection", text);
}

QString userAtDatabase(const ConnectionParameters &parameters)
{
    return QStringLiteral("%1@%2").arg(parameters.userName(), parameters.database());
}

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

    // The attempt, then its report; on the runner's worker.
    void run() { finish(attempt()); }

    // A bridge failure cut the attempt short.
    void failInBridge(const QString &message)
    {
        releaseReservation();
        finish({false, connectionText("Not connected"), message});
    }

private:
    VornRootClient &root() const { return *session_->vornRoot; }

    ConnectOutcome attempt()
    {
        const ConnectionParameters &parameters = request_.parameters;
        StatusManager &status = *session_->statusManager;
        status.setActiveConnectionStatus(
            request_.localFile
                ? connectionText("Connecting to %1").arg(QFileInfo(parameters.database()).fileName())
                : connectionText("Connecting as %1").arg(userAtDatabase(parameters)));
        reserved_ = root().reserveRoot(QCoreApplication::translate("activity", "Connecting to the database"));
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
        const BackendOutcome connected = root().startNewConnection(
            {parameters.server(), parameters.port(), database, parameters.userName(),
             parameters.password().value_or(QString()), parameters.databaseType(), VornDocument::clientName(),
             request_.timeOutSeconds, request_.flags});
        if (session_->closedDocument())
            return {};
        if (!connected)
            return failure(connected.errorMessage);
        return loadConnection();
    }

    ConnectOutcome loadConnection()
    {
        const ConnectionParameters &parameters = request_.parameters;
        session_->connected = true;
        const bool localFile = root().localDatabaseFileConnection();
        const QString fileName = QFileInfo(parameters.database()).fileName();
        session_->statusManager->setActiveConnectionStatus(
            connectionText("Retrieving connection info for %1")
                .arg(localFile ? fileName : userAtDatabase(parameters)));
        const std::shared_ptr<VornBrowserClient> browser = root().browser();
        if (session_->closedDocument())
            return {};
        // The schema's tables and columns: the background checker reads them when it runs, else here.
        const QString schema = browser ? browser->selectedSchema() : QString();
        const bool leftToChecker = !root().fullyLoadedForSchema(schema) && request_.backgroundChecks;
        if (leftToChecker)
            session_->dirtyDDL = true;
        else if (!root().fullyLoadedForSchema(schema))
            root().fullyLoadForSchema(schema);
        // The browser shows the schema's objects as soon as the connection is in place.
        if (browser && !browser->hasCachedTypesOfSchema(schema))
            browser->typesInSchema(schema);
        const QString finalText = localFile
                                      ? connectionText("Connected with %1").arg(fileName)
                                      : connectionText("Connected as %1").arg(userAtDatabase(parameters));
        releaseReservation();
        // Told once the root is free, so the checker's first pass can use it.
        if (leftToChecker)
            MainThread::post([] { BackgroundController::instance().notifyOfDirtyDocument(); });
        MainThread::postAndWait([document = document_] {
            if (document && !document->closedDocument())
                document->initConnection();
        });
        return {true, finalText, QString()};
    }

    ConnectOutcome failure(QString error)
    {
        releaseReservation();
        if (error == QLatin1String("TIME_OUT"))
            error = connectionText("A time-out occurred before a connection could be made.");
        else if (error == QLatin1String("CANCEL_CONNECT"))
            error = connectionText("The user cancelled the connection");
        return {false, connectionText("Not connected"), error};
    }

    void releaseReservation()
    {
        if (reserved_)
            root().releaseReservedRoot();
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

void startConnectionAttempt(std::shared_ptr<VornDocumentSession> session, QPointer<VornDocument> document,
                            ConnectRequest request)
{
    auto attempt = std::make_shared<StartupConnection>(session, std::move(document), std::move(request));
    BackgroundJob job;
    job.threadName = VornDocument::startupConnectionThreadName;
    job.threads = session->threadController;
    job.work = [attempt](const WorkerControl &) { attempt->run(); };
    job.failed = [attempt](const QString &message) { attempt->failInBridge(message); };
    BackgroundRunner::run(std::move(job));
}
