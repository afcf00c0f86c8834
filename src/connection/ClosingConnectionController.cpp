#include "connection/ClosingConnectionController.h"

#include "bridge/ThreadController.h"
#include "connection/ClosingConnectionControllerDelegate.h"
#include "kit/DocumentAlertSheet.h"
#include "platform/MainThread.h"
#include "status/StatusManager.h"

#include <QCoreApplication>
#include <QLoggingCategory>
#include <QMessageBox>
#include <QTimer>

namespace
{

Q_LOGGING_CATEGORY(closingLog, "vorn.closing")

QString alertText(const char *text)
{
    return QCoreApplication::translate("alerts", text);
}

QString connectionText(const char *text)
{
    return QCoreApplication::translate("connection", text);
}

} // namespace

ClosingConnectionController::ClosingConnectionController(VornRootClientPtr vornRoot)
    : ConnectedController(std::move(vornRoot)), context_(std::make_unique<QObject>())
{
}

ClosingConnectionController::~ClosingConnectionController()
{
    if (sheet_)
        sheet_->deleteLater();
}

void ClosingConnectionController::setDelegate(ClosingConnectionControllerDelegate *delegate)
{
    closingDelegate_ = delegate;
    ConnectedController::setDelegate(delegate);
}

QMessageBox *ClosingConnectionController::currentSheet() const
{
    return sheet_;
}

void ClosingConnectionController::runOnWindow(QWidget *window)
{
    Q_ASSERT_X(closingDelegate_ && shouldClose_, "ClosingConnectionController::runOnWindow",
               "shouldCloseDelegate and shouldCloseSelector should by set");
    Q_ASSERT_X(window, "ClosingConnectionController::runOnWindow", "window should by set");
    window_ = window;
    didRollback_ = false;
    running_ = true;
    runFocusCheck();
}

void ClosingConnectionController::runFocusCheck()
{
    if (!closingDelegate_->canChangeFocus()) {
        runCancelled();
        return;
    }
    runRunningQueryCheck();
}

void ClosingConnectionController::runRunningQueryCheck()
{
    if (!closingDelegate_->hasRunningQuery()) {
        runDirtyConnectionCheck();
        return;
    }
    enum { Wait, Stop };
    runSheet(alertText("The document is currently executing an SQL command, do you want to stop the "
                       "execution or wait?"),
             alertText("When you stop the execution, then the current command will be stopped, and no "
                       "changes will be made to the database."),
             {alertText("Wait"), alertText("Stop")}, Wait, [this](int answer) {
                 if (answer != Stop) {
                     runCancelled();
                     return;
                 }
                 closingDelegate_->cancelRunningQuery();
                 doBusyCheck([this](bool idle) {
                     if (idle)
                         runDirtyConnectionCheck();
                     else
                         runCancelled();
                 });
             });
}

void ClosingConnectionController::runDirtyConnectionCheck()
{
    if (!closingDelegate_->hasDirtyConnection()) {
        closingConnectionCompleted();
        return;
    }
    enum { Commit, Rollback, Cancel };
    runSheet(alertText("The connection contains uncommitted changes, do you want to commit or rollback?"),
             alertText("If you don't commit your changes, they will be lost."),
             {alertText("Commit"), alertText("Rollback"), alertText("Cancel")}, Cancel, [this](int answer) {
                 if (answer == Cancel)
                     runCancelled();
                 else
                     startCommitOrRollback(answer == Commit);
             });
}

void ClosingConnectionController::startCommitOrRollback(bool commit)
{
    const QString activity =
        QCoreApplication::translate("activity", commit ? "Committing changes" : "Rollback changes");
    if (!requestRootReservation(activity)) {
        qCWarning(closingLog) << "Failed to reserve vornRoot";
        runCancelled();
        return;
    }
    auto success = std::make_shared<bool>(false);
    BackgroundJob job;
    job.threadName = QStringLiteral("Committing or Rollback");
    job.work = [commit, success, root = vornRoot(), status = statusManager()](const WorkerControl &) {
        *success = rollbackOrCommit(commit, *root, *status);
    };
    job.done = [this, success, commit] {
        if (*success && !commit)
            didRollback_ = true;
        if (*success)
            closingConnectionCompleted();
        else
            runCancelled();
    };
    runReserved(std::move(job));
}

// Worker thread: commits or rolls back, reporting through the status manager.
bool ClosingConnectionController::rollbackOrCommit(bool commit, VornRootClient &root, StatusManager &status)
{
    status.setActiveConnectionStatus(commit ? connectionText("Committing changes to the database")
                                            : connectionText("Rollback changes from the database"));
    const BackendOutcome outcome = commit ? root.commit() : root.rollback();
    const bool success = outcome.successful;
    const QString error = outcome.errorMessage;
    if (success) {
        status.setConnectionStatus(commit
                                       ? connectionText("Successfully committed changes to the database")
                                       : connectionText("Successfully rolled back changes to the database"));
        return true;
    }
    const QString failure = commit ? connectionText("Couldn't commit the changes to the database")
                                   : connectionText("Couldn't rollback the changes from the database");
    status.runErrorWithTitle(connectionText("Database error"), QStringLiteral("%1\n%2").arg(failure, error));
    status.setConnectionStatus(commit ? connectionText("Error committing changes")
                                      : connectionText("Error rolling back changes"),
                               error);
    return false;
}

void ClosingConnectionController::doBusyCheck(std::function<void(bool)> done)
{
    const VornRootClientPtr &root = vornRoot();
    if (!root->hasConnection() || !root->reserved()) {
        done(true);
        return;
    }
    if (!threadController() || threadController()->numberOfRegisteredThreads(false) == 0) {
        finishBusyCheck(done);
        return;
    }
    // The threads hand their last results to the main thread, so the wait must leave it free.
    auto *timer = new QTimer(context_.get());
    timer->setInterval(busyCheckIntervalMs);
    auto waits = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, context_.get(), [this, timer, waits, done] {
        if (++*waits >= busyCheckWaits) {
            timer->deleteLater();
            qCWarning(closingLog) << "Waited 1 second for all, canceling close";
            done(false);
            return;
        }
        if (threadController()->numberOfRegisteredThreads(false) == 0) {
            timer->deleteLater();
            finishBusyCheck(done);
        }
    });
    timer->start();
}

void ClosingConnectionController::finishBusyCheck(const std::function<void(bool)> &done)
{
    const VornRootClientPtr &root = vornRoot();
    if (root->hasConnection() && root->reserved()) {
        qCWarning(closingLog) << "self.vornRoot.reserved after closed threads";
        done(false);
        return;
    }
    done(true);
}

void ClosingConnectionController::runCompleted(bool shouldClose)
{
    running_ = false;
    if (shouldClose_)
        shouldClose_(closingDelegate_, shouldClose, contextInfo_);
}

void ClosingConnectionController::runCancelled()
{
    if (didRollback_)
        closingDelegate_->cancelledClosingConnectionDidRollback();
    runCompleted(false);
}

void ClosingConnectionController::closingConnectionCompleted()
{
    runCompleted(true);
}

void ClosingConnectionController::runSheet(const QString &message, const QString &informative,
                                           const QStringList &buttons, int cancelIndex,
                                           std::function<void(int)> answered)
{
    sheet_ = DocumentAlertSheet::begin(window_, message, informative, buttons, cancelIndex,
                                       [guard = QPointer<QObject>(context_.get()), answered](int index) {
                                           if (guard)
                                               answered(index);
                                       });
}

void ClosingConnectionController::postToMainThread(std::function<void()> work)
{
    MainThread::post([guard = QPointer<QObject>(context_.get()), work = std::move(work)] {
        if (guard)
            work();
    });
}
