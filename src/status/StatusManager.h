#pragma once

#include "kit/UserNotifierResponseTarget.h"
#include "status/StatusManagerMessage.h"

#include <QList>
#include <QString>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>

class LoggerController;
class QObject;
class QTimer;
class QWidget;
class StatusBarElement;
class StatusManagerDelegate;
class VornRootClient;
class UserNotifier;

// The one place where a document reports what it is doing: connection state, a busy status with
// its elapsed time, the final status of an action, alerts shown one sheet at a time, and the
// attention state of the document. It refreshes the status bar through its delegate, writes the
// document log and drives the application's busy display and user notifications.
// The status operations and the alert queuing operations may be called from any thread and never
// wait for the main thread: the log line is written at once, and what was reported (texts, flags,
// times from the clock) is posted to the main thread in the caller's order, where the state, the
// document, the timer and the alert queue take it. Called on the main thread, a status operation
// does all of it at once. The rest belongs to the main thread.
class StatusManager : public UserNotifierResponseTarget
{
public:
    enum Source : qint64 { General = 0, SqlEditor = 1 };
    enum Flag : qint64 { NoAttention = 0, AlertArrived = 1, ActionFinished = 2 };

    // Registers with the notifier as the target of the notifications it asks for.
    explicit StatusManager(std::shared_ptr<VornRootClient> vornRoot,
                           UserNotifier &notifier = defaultNotifier());
    ~StatusManager() override;

    static UserNotifier &defaultNotifier();

    void endStatusManager();
    void clear();
    void end();

    // Main thread only. The owner clears it before it goes: reports still on their way to the main
    // thread then leave the document alone.
    StatusManagerDelegate *delegate() const;
    void setDelegate(StatusManagerDelegate *delegate);
    std::shared_ptr<VornRootClient> vornRoot() const;
    void setVornRoot(std::shared_ptr<VornRootClient> vornRoot);
    LoggerController *loggerController() const;

    QString connectionStatusText() const;
    bool activeStatus() const;
    // Seconds since 2001-01-01 UTC.
    double activeStatusStart() const;
    qint64 statusManagerSource() const;
    qint64 statusFlag() const;
    bool cacheCanCancel() const;
    QTimer *activeStatusUpdateTimer() const;

    // The clock for busy times, seconds since 2001-01-01 UTC; tests put in their own.
    void setClock(std::function<double()> clock);
    double currentTime() const;

    void setActiveConnectionStatus(const QString &status, qint64 source = General);
    void setActiveConnectionStatusAdditionalDetails(const QString &details);
    void setConnectionStatus(const QString &status, const QString &errorMessage = QString(),
                             qint64 source = General);
    // The final status of an action the user stopped: a plain status, and the document gets neither
    // the finished mark nor a notification for it, since the user asked for the end.
    void setStoppedConnectionStatus(const QString &status, qint64 source = General);
    void activeStatusUpdate();

    void runInfoWithTitle(const QString &title, const QString &message);
    void runErrorWithTitle(const QString &title, const QString &message);
    void runErrorWithTitle(const QString &title, const QString &message, const QString &defaultButton,
                           const QString &alternateButton, const QString &otherButton,
                           std::function<void(int)> target);
    void addMessage(std::shared_ptr<StatusManagerMessage> message);
    // Shows the oldest queued alert as a sheet on the window, unless a sheet is already there.
    void runAlertIfAvailable(QWidget *windowForSheet);
    void alertDidEnd(QWidget *sheet, int returnCode, std::shared_ptr<StatusManagerMessage> message);
    bool hasPendingAlert() const;
    QList<std::shared_ptr<StatusManagerMessage>> messageQueue() const;
    std::shared_ptr<StatusManagerMessage> activeMessage() const;
    void clearStatusFlag();
    void userRespondedToUserNotifier() override;

    qint64 connectionStatus();
    QString connectionStatusConnectionName();
    QString selectedSchema();
    const StatusBarElement *selectedElement();
    bool canCancelAction();
    void cancelAction();
    void disconnect();
    void reconnect();
    qint64 loadedRows() const;
    bool fullyLoaded() const;
    // Loading the current result's rows failed before its end: loadedRows is what arrived, not the
    // size of the result. The result-set model marks it when a page fails and clears it for a new
    // result. Any thread.
    void setResultsetLoadFailed(bool failed);
    bool resultsetLoadFailed() const;
    QString readOnlyReason() const;
    QString extendedReadOnlyReason() const;

private:
    struct Shared;

    // Runs apply on the main thread: at once when called there, else posted.
    void onMainThread(std::function<void(StatusManager &)> apply);
    // Queues apply on the main thread, also when called there; dropped once the manager is gone.
    void post(std::function<void(StatusManager &)> apply);
    void showBusyStatus(const QString &status, qint64 source, double start);
    void showFinalStatus(const QString &status, qint64 source, double end, bool announce);
    void restartElapsedTimeTimer();
    void stopElapsedTimeTimer();
    void endBusyStatus(const QString &status, double busySeconds, bool announce);
    void queueMessage(std::shared_ptr<StatusManagerMessage> message);
    bool readOnlyReasonCode(QString *code) const;

    std::shared_ptr<Shared> shared_;
    std::unique_ptr<QObject> context_; // lives on the main thread: owns the timer
    UserNotifier &notifier_;
    std::unique_ptr<LoggerController> loggerController_;
    std::shared_ptr<VornRootClient> vornRoot_;
    std::atomic<StatusManagerDelegate *> delegate_{nullptr}; // used on the main thread only
    mutable std::mutex mutex_;
    QString connectionStatusText_;
    std::atomic<bool> activeStatus_{false};
    std::atomic<double> activeStatusStart_{0};
    std::atomic<qint64> statusManagerSource_{General};
    std::atomic<qint64> statusFlag_{NoAttention};
    std::atomic<bool> cacheCanCancel_{false};
    std::atomic<bool> resultsetLoadFailed_{false};
    QList<std::shared_ptr<StatusManagerMessage>> messageQueue_;
    std::shared_ptr<StatusManagerMessage> activeMessage_;
    QTimer *activeStatusUpdateTimer_ = nullptr;
    std::function<double()> clock_;
};
