#pragma once

#include <QString>

#include <functional>
#include <memory>

class ConnectionPanel;
class VornDocument;

// The life of a document's connection: connecting on a worker (with the auto-commit question and the
// retry sheet), connecting elsewhere, disconnecting and reconnecting, the root's reservation for one
// action at a time and the loss of the connection it may reveal, the focus check before the root's
// selection changes, the open-transaction reminder, and the end of the root when the document closes.
// Main thread unless said otherwise.
class ConnectionLife
{
public:
    static constexpr int dirtyWarningSeconds = 300;
    static constexpr int cancelConnectingPollMs = 50;

    explicit ConnectionLife(VornDocument &document);
    ConnectionLife(const ConnectionLife &) = delete;
    ConnectionLife &operator=(const ConnectionLife &) = delete;
    ~ConnectionLife();

    // Connecting.
    void goStartupConnection();
    void initConnection();
    void connectionStartupFailureResponse(int returnCode);
    // Asks the closing checks first, then opens the connection chooser or disconnects.
    void connect();
    void disconnect();
    void reconnect();
    void documentShouldConnect(bool shouldConnect);
    void documentShouldDisconnect(bool shouldDisconnect);
    void clearConnectionState();
    void showConnectionDetails();
    // "database as user", without " as user" when there is no user, the server when there is no
    // database; null without parameters or either place.
    QString reconnectName() const;
    // The connection chooser while one is open.
    ConnectionPanel *connectionPanel() const { return connectionPanel_.get(); }
    // Cancels a connect in progress; with wait, done runs once the attempt has ended (polled by a
    // timer, so the main thread stays free for the worker's own main-thread steps).
    void cancelConnectingWait(bool wait, std::function<void()> done = {});

    // The root, one action at a time; any thread.
    bool reserveRoot(const QString &description);
    void endReservation();
    // Whether what the user edits may be left; false reports why.
    bool changeFocus();
    // Drops the root's current result after the focus check.
    bool clearRootSelection();

    // The open-transaction reminder.
    void checkForOutstandingTransaction();
    void checkForOutstandingTransactionResponse(int returnCode);

    // The document closes: a running connect is asked to stop and ends the root itself when it
    // finishes; otherwise the root ends here.
    void closeDocument();

private:
    void askForAutoCommitThenConnect();
    void startConnectionThread();
    void connectionLost();
    void endTransaction(bool commit);

    VornDocument &document_;
    std::unique_ptr<ConnectionPanel> connectionPanel_;
};
