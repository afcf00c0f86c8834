#pragma once

#include "connection/ConnectedController.h"

#include <QMessageBox>
#include <QPointer>
#include <QStringList>
#include <QWidget>

#include <functional>
#include <memory>

class ClosingConnectionControllerDelegate;
class QObject;
class StatusManager;

// The checks before a document disconnects or changes its connection, asked in sheets on the
// document's window, in this order: the focus may change; a running statement is stopped or waited
// for; uncommitted changes are committed or rolled back (on a worker that holds the root
// reservation). The caller hears YES (go ahead) or NO (stay) through its callback, which receives
// the document, the answer and the caller's context unchanged. One run at a time; main thread.
class ClosingConnectionController : public ConnectedController
{
public:
    using ShouldCloseCallback = std::function<void(ClosingConnectionControllerDelegate *document,
                                                   bool shouldClose, void *contextInfo)>;

    // How often and how long a stop waits for the document's threads to end.
    static constexpr int busyCheckIntervalMs = 200;
    static constexpr int busyCheckWaits = 7;

    explicit ClosingConnectionController(VornRootClientPtr vornRoot);
    ~ClosingConnectionController() override;

    ClosingConnectionControllerDelegate *closingDelegate() const { return closingDelegate_; }
    // Also the delegate asked for the root reservation.
    void setDelegate(ClosingConnectionControllerDelegate *delegate);
    void setShouldCloseCallback(ShouldCloseCallback callback) { shouldClose_ = std::move(callback); }
    void setShouldCloseContextInfo(void *contextInfo) { contextInfo_ = contextInfo; }
    QWidget *window() const { return window_; }
    bool didRollback() const { return didRollback_; }
    // Between runOnWindow and the answer.
    bool isRunning() const { return running_; }
    // The sheet now asking the user, if any.
    QMessageBox *currentSheet() const;

    void runOnWindow(QWidget *window);
    // Waits, with a timer, for the document's threads after a stop; done gets whether they ended.
    void doBusyCheck(std::function<void(bool)> done);
    void runCompleted(bool shouldClose);
    void runCancelled();
    virtual void closingConnectionCompleted();

    // Worker thread: commits or rolls back the root's transaction with its status texts and, on
    // failure, the "Database error" alert. True when it succeeded.
    static bool rollbackOrCommit(bool commit, VornRootClient &root, StatusManager &status);

protected:
    // Opens a sheet with the buttons in order (the first is the default); answered gets the index
    // of the button chosen, or the cancel index when the sheet was dismissed.
    void runSheet(const QString &message, const QString &informative, const QStringList &buttons,
                  int cancelIndex, std::function<void(int)> answered);
    // Posts work to the main thread that is dropped when the controller is gone.
    void postToMainThread(std::function<void()> work);

private:
    void runFocusCheck();
    void runRunningQueryCheck();
    void runDirtyConnectionCheck();
    void startCommitOrRollback(bool commit);
    void finishBusyCheck(const std::function<void(bool)> &done);

    ClosingConnectionControllerDelegate *closingDelegate_ = nullptr;
    ShouldCloseCallback shouldClose_;
    void *contextInfo_ = nullptr;
    QPointer<QWidget> window_;
    QPointer<QMessageBox> sheet_;
    bool didRollback_ = false;
    bool running_ = false;
    std::unique_ptr<QObject> context_; // main-thread guard of posted work and timers
};
