// The connection document's connecting commands and the root's reservation: the connection's life
// does the work.
#include "bridge/ThreadController.h"
#include "document/ConnectionLife.h"
#include "document/VornDocument.h"
#include "platform/Bundle.h"

void VornDocument::goStartupConnection()
{
    connectionLife_->goStartupConnection();
}

void VornDocument::initConnection()
{
    connectionLife_->initConnection();
}

void VornDocument::connectionStartupFailureResponse(int returnCode)
{
    connectionLife_->connectionStartupFailureResponse(returnCode);
}

void VornDocument::connect(QObject *)
{
    connectionLife_->connect();
}

void VornDocument::disconnect(QObject *)
{
    connectionLife_->disconnect();
}

void VornDocument::reconnect(QObject *)
{
    connectionLife_->reconnect();
}

void VornDocument::showConnectionDetails(QObject *)
{
    connectionLife_->showConnectionDetails();
}

void VornDocument::clearConnectionState()
{
    connectionLife_->clearConnectionState();
}

void VornDocument::cancelConnecting()
{
    connectionLife_->cancelConnectingWait(true);
}

void VornDocument::cancelConnectingWait(bool wait, std::function<void()> done)
{
    connectionLife_->cancelConnectingWait(wait, std::move(done));
}

void VornDocument::connectionPanelWantsToConnect(ConnectionPanel *, const ConnectionParametersPtr &parameters)
{
    setConnectionParameters(parameters);
    goStartupConnection();
}

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

// The root's reservation and the focus: the connection's life decides.

bool VornDocument::connectedControllerWantsRootReservationFor(ConnectedController *,
                                                              const QString &description)
{
    return connectionLife_->reserveRoot(description);
}

void VornDocument::connectedControllerWantsEndRootReservation(ConnectedController *)
{
    connectionLife_->endReservation();
}

bool VornDocument::connectedControllerWantsToChangeFocus(ConnectedController *, bool)
{
    return connectionLife_->changeFocus();
}

bool VornDocument::connectedControllerWantsClearRootSelection(ConnectedController *)
{
    return connectionLife_->clearRootSelection();
}

ConnectionParametersPtr VornDocument::connectedControllerWantsConnectionParameters(ConnectedController *)
{
    return connectionParameters_;
}

QString VornDocument::connectedControllerWantsUniqueConnectionIdentifier(ConnectedController *)
{
    return uniqueConnectionIdentifier(connectionParameters_.get());
}
