#include "status/StatusManager.h"

#include "client/VornRootClient.h"
#include "kit/UserNotifier.h"
#include "platform/MainThread.h"
#include "status/LoggerController.h"
#include "status/StatusManagerAlertSheet.h"
#include "status/StatusManagerDelegate.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QVariantMap>

#include <atomic>

namespace
{

// Seconds between the Unix epoch and the reference date 2001-01-01 00:00:00 UTC.
constexpr double referenceDateOffset = 978307200.0;

double secondsSinceReferenceDate()
{
    return QDateTime::currentMSecsSinceEpoch() / 1000.0 - referenceDateOffset;
}

QVariantMap notificationMessage(const QString &message)
{
    return {{QStringLiteral("title"), QStringLiteral("Vorn")}, {QStringLiteral("message"), message}};
}

// Two alerts are the same when both title and message are present and equal.
bool sameAlert(const StatusManagerMessage &a, const StatusManagerMessage &b)
{
    return !a.title.isNull() && !a.message.isNull() && a.title == b.title && a.message == b.message;
}

struct ReadOnlyText {
    const char *code;
    const char *reason;
    const char *extendedReason;
};

// The first row answers a missing or unknown code.
const ReadOnlyText readOnlyTexts[] = {
    {nullptr, QT_TRANSLATE_NOOP("resultset", "The resultset is readonly"),
     QT_TRANSLATE_NOOP("resultset", "The resultset is readonly")},
    {"NOSTATE", QT_TRANSLATE_NOOP("resultset", "The results of a SQL statement cannot be edited"),
     QT_TRANSLATE_NOOP("resultset",
                       "With Vorn you cannot edit the results of a SQL statement. Use the browser to "
                       "find a table containing the original data and edit it there.")},
    {"VIEW", QT_TRANSLATE_NOOP("resultset", "A view cannot be edited"),
     QT_TRANSLATE_NOOP("resultset",
                       "With Vorn you cannot edit the results of a view. Use the browser to find a "
                       "table containing the original data and edit it there.")},
    {"NOPRIMARY", QT_TRANSLATE_NOOP("resultset", "Tables without a primary key cannot be edited"),
     QT_TRANSLATE_NOOP("resultset",
                       "With Vorn you cannot edit %1 tables without a primary key. Use the SQL "
                       "editor to edit data in this table, or add a primary key to this table.")},
    {"NORESULTSET", QT_TRANSLATE_NOOP("resultset", "There is no resultset"),
     QT_TRANSLATE_NOOP("resultset", "There is no resultset for Vorn to edit")},
    {"MANAGEMENT", QT_TRANSLATE_NOOP("resultset", "Management views can not be edited"),
     QT_TRANSLATE_NOOP("resultset", "With Vorn you can view various management related information. This "
                                    "information can not be edited by Vorn.")},
    {"UNSUPPORTEDCOLUMNTYPE", QT_TRANSLATE_NOOP("resultset", "This table contains an unsupported columntype"),
     QT_TRANSLATE_NOOP("resultset",
                       "With Vorn you cannot edit tables that contain unsupported columntypes. Use "
                       "the SQL Editor to edit data in this table.")},
};

const ReadOnlyText &readOnlyTextFor(const QString &code)
{
    for (const ReadOnlyText &text : readOnlyTexts) {
        if (text.code && code == QLatin1String(text.code))
            return text;
    }
    return readOnlyTexts[0];
}

} // namespace

// What posted reports and timer ticks reach the manager through. owner is cleared when the manager
// goes; the mutex keeps a manager that goes on another thread from going while one is being applied.
struct StatusManager::Shared {
    std::recursive_mutex mutex;
    StatusManager *owner = nullptr;
    // Reports posted by workers and not yet applied: a main-thread report queues behind them, so
    // that reports apply in the order they were made.
    std::atomic<int> pending{0};

    static void run(const std::shared_ptr<Shared> &shared, const std::function<void(StatusManager &)> &apply)
    {
        std::lock_guard lock(shared->mutex);
        if (shared->owner)
            apply(*shared->owner);
    }
};

UserNotifier &StatusManager::defaultNotifier()
{
    return UserNotifier::instance();
}

StatusManager::StatusManager(std::shared_ptr<VornRootClient> vornRoot, UserNotifier &notifier)
    : shared_(std::make_shared<Shared>()), context_(std::make_unique<QObject>()), notifier_(notifier),
      loggerController_(std::make_unique<LoggerController>()), vornRoot_(std::move(vornRoot)),
      clock_(secondsSinceReferenceDate)
{
    shared_->owner = this;
    messageQueue_.reserve(10);
    notifier_.registerUserNotifierResponseTarget(this);
}

StatusManager::~StatusManager()
{
    {
        std::lock_guard lock(shared_->mutex);
        shared_->owner = nullptr;
    }
    // A busy period whose end was still on its way ends with the manager.
    notifier_.unregisterBusyObject(this, QVariantMap(), false, nullptr);
    // The notifier must never call back into a freed manager, also when the owner forgot to end it.
    if (MainThread::isMainThread()) {
        notifier_.unregisterUserNotifierResponseTarget(this);
        stopElapsedTimeTimer();
        return;
    }
    // A worker held the last reference: what lives on the main thread goes there.
    MainThread::post([notifier = QPointer<UserNotifier>(&notifier_),
                      target = static_cast<UserNotifierResponseTarget *>(this)] {
        if (notifier)
            notifier->unregisterUserNotifierResponseTarget(target);
    });
    context_.release()->deleteLater();
    loggerController_.release()->deleteLater();
}

void StatusManager::onMainThread(std::function<void(StatusManager &)> apply)
{
    if (MainThread::isMainThread() && shared_->pending == 0)
        apply(*this);
    else
        post(std::move(apply));
}

void StatusManager::post(std::function<void(StatusManager &)> apply)
{
    ++shared_->pending;
    MainThread::post([shared = shared_, apply = std::move(apply)] {
        --shared->pending;
        Shared::run(shared, apply);
    });
}

void StatusManager::endStatusManager()
{
    notifier_.unregisterUserNotifierResponseTarget(this);
    stopElapsedTimeTimer();
    notifier_.unregisterBusyObject(this, QVariantMap(), false, nullptr);
}

void StatusManager::clear()
{
    messageQueue_.clear();
}

void StatusManager::end()
{
    clear();
}

StatusManagerDelegate *StatusManager::delegate() const
{
    return delegate_;
}

void StatusManager::setDelegate(StatusManagerDelegate *delegate)
{
    delegate_ = delegate;
}

std::shared_ptr<VornRootClient> StatusManager::vornRoot() const
{
    std::lock_guard lock(mutex_);
    return vornRoot_;
}

void StatusManager::setVornRoot(std::shared_ptr<VornRootClient> vornRoot)
{
    std::lock_guard lock(mutex_);
    vornRoot_ = std::move(vornRoot);
}

LoggerController *StatusManager::loggerController() const
{
    return loggerController_.get();
}

QString StatusManager::connectionStatusText() const
{
    std::lock_guard lock(mutex_);
    return connectionStatusText_;
}

bool StatusManager::activeStatus() const
{
    return activeStatus_;
}

double StatusManager::activeStatusStart() const
{
    return activeStatusStart_;
}

qint64 StatusManager::statusManagerSource() const
{
    return statusManagerSource_;
}

qint64 StatusManager::statusFlag() const
{
    return statusFlag_;
}

bool StatusManager::cacheCanCancel() const
{
    return cacheCanCancel_;
}

QTimer *StatusManager::activeStatusUpdateTimer() const
{
    return activeStatusUpdateTimer_;
}

void StatusManager::setClock(std::function<double()> clock)
{
    clock_ = std::move(clock);
}

double StatusManager::currentTime() const
{
    return clock_();
}

void StatusManager::setActiveConnectionStatus(const QString &status, qint64 source)
{
    Q_ASSERT_X(!status.isNull(), "StatusManager::setActiveConnectionStatus", "status cannot be null");
    const double start = currentTime();
    onMainThread(
        [status, source, start](StatusManager &manager) { manager.showBusyStatus(status, source, start); });
    notifier_.registerBusyObject(this);
    loggerController_->logStatusStart(status);
}

void StatusManager::setActiveConnectionStatusAdditionalDetails(const QString &details)
{
    loggerController_->logStatusUpdate(details);
}

void StatusManager::setConnectionStatus(const QString &status, const QString &errorMessage, qint64 source)
{
    Q_ASSERT_X(!status.isNull(), "StatusManager::setConnectionStatus", "status cannot be null");
    const double end = currentTime();
    onMainThread([status, source, end](StatusManager &manager) {
        manager.showFinalStatus(status, source, end, true);
    });
    if (errorMessage.isNull())
        loggerController_->logStatusEnd(status);
    else
        loggerController_->logStatusErrorEnd(status, errorMessage);
}

void StatusManager::setStoppedConnectionStatus(const QString &status, qint64 source)
{
    Q_ASSERT_X(!status.isNull(), "StatusManager::setStoppedConnectionStatus", "status cannot be null");
    const double end = currentTime();
    onMainThread([status, source, end](StatusManager &manager) {
        manager.showFinalStatus(status, source, end, false);
    });
    loggerController_->logStatusEnd(status);
}

// The status bar shows what one call reported, also when the reporting thread has moved on since.
void StatusManager::showBusyStatus(const QString &status, qint64 source, double start)
{
    {
        std::lock_guard lock(mutex_);
        connectionStatusText_ = status;
    }
    activeStatus_ = true;
    activeStatusStart_ = start;
    statusManagerSource_ = source;
    if (StatusManagerDelegate *delegate = delegate_)
        delegate->statusManagerHasStatusUpdate(this);
    restartElapsedTimeTimer();
}

void StatusManager::showFinalStatus(const QString &status, qint64 source, double end, bool announce)
{
    {
        std::lock_guard lock(mutex_);
        connectionStatusText_ = status;
    }
    const bool wasActive = activeStatus_.exchange(false);
    statusManagerSource_ = source;
    if (StatusManagerDelegate *delegate = delegate_)
        delegate->statusManagerHasStatusUpdate(this);
    if (wasActive)
        endBusyStatus(status, end - activeStatusStart_, announce);
    stopElapsedTimeTimer();
}

// The end of a busy period, on the main thread: the attention flag, the busy registration and, when
// the document is in the background, a user notification. The busy time is the reporting thread's:
// the main thread may get here long after the period ended, and a short one is never announced. An
// end that is not announced only ends the busy registration.
void StatusManager::endBusyStatus(const QString &status, double busySeconds, bool announce)
{
    StatusManagerDelegate *delegate = delegate_;
    const bool supports =
        announce && delegate && delegate->statusManagerCurrentElementSupportsNotifications(this);
    const bool isActive = delegate && delegate->statusManagerDocumentIsActive(this);
    if (supports && !isActive) {
        qint64 none = NoAttention;
        statusFlag_.compare_exchange_strong(none, ActionFinished);
        if (StatusManagerDelegate *current = delegate_)
            current->statusManagerHasAlert(this);
        notifier_.updateApplicationAlertCount();
    }
    const bool notify = supports && statusFlag_ != AlertArrived && !isActive && !hasPendingAlert() &&
                        busySeconds >= UserNotifier::ShortBusyPeriod;
    notifier_.unregisterBusyObject(this, notificationMessage(status), notify, notify ? this : nullptr);
}

void StatusManager::restartElapsedTimeTimer()
{
    stopElapsedTimeTimer();
    activeStatusUpdateTimer_ = new QTimer(context_.get());
    QObject::connect(activeStatusUpdateTimer_, &QTimer::timeout, context_.get(), [shared = shared_] {
        Shared::run(shared, [](StatusManager &manager) { manager.activeStatusUpdate(); });
    });
    activeStatusUpdateTimer_->start(1000);
}

void StatusManager::stopElapsedTimeTimer()
{
    delete activeStatusUpdateTimer_;
    activeStatusUpdateTimer_ = nullptr;
}

void StatusManager::activeStatusUpdate()
{
    if (!activeStatus_)
        return;
    StatusManagerDelegate *delegate = delegate_;
    if (!delegate)
        return;
    const bool canCancel = delegate->statusManagerCanCancelAction(this);
    if (canCancel != cacheCanCancel_) {
        cacheCanCancel_ = canCancel;
        delegate->statusManagerHasStatusUpdate(this);
    } else {
        delegate->statusManagerHasTextOnlyStatusUpdate(this);
    }
}

void StatusManager::runInfoWithTitle(const QString &title, const QString &message)
{
    auto alert = std::make_shared<StatusManagerMessage>();
    alert->title = title;
    alert->message = message;
    alert->messageType = StatusManagerMessage::Information;
    queueMessage(std::move(alert));
}

void StatusManager::runErrorWithTitle(const QString &title, const QString &message)
{
    auto alert = std::make_shared<StatusManagerMessage>();
    alert->title = title;
    alert->message = message;
    alert->messageType = StatusManagerMessage::Error;
    queueMessage(std::move(alert));
}

void StatusManager::runErrorWithTitle(const QString &title, const QString &message,
                                      const QString &defaultButton, const QString &alternateButton,
                                      const QString &otherButton, std::function<void(int)> target)
{
    auto alert = std::make_shared<StatusManagerMessage>();
    alert->title = title;
    alert->message = message;
    alert->defaultButton = defaultButton;
    alert->alternateButton = alternateButton;
    alert->otherButton = otherButton;
    alert->messageType = StatusManagerMessage::ErrorWithChoice;
    alert->action = std::move(target);
    queueMessage(std::move(alert));
}

// Queued also when called on the main thread: the alert comes after what the caller is doing.
void StatusManager::queueMessage(std::shared_ptr<StatusManagerMessage> message)
{
    post([message = std::move(message)](StatusManager &manager) { manager.addMessage(message); });
}

void StatusManager::addMessage(std::shared_ptr<StatusManagerMessage> message)
{
    if (activeMessage_ && sameAlert(*activeMessage_, *message))
        return;
    if (!messageQueue_.isEmpty() && sameAlert(*messageQueue_.last(), *message))
        return;
    messageQueue_.append(message);
    StatusManagerDelegate *delegate = delegate_;
    if (message->messageType != StatusManagerMessage::Information && delegate &&
        !delegate->statusManagerDocumentIsActive(this)) {
        statusFlag_ = AlertArrived;
        notifier_.postNotification(notificationMessage(message->title), this);
    }
    if (delegate)
        delegate->statusManagerHasAlert(this);
}

void StatusManager::runAlertIfAvailable(QWidget *windowForSheet)
{
    if (!messageQueue_.isEmpty()) {
        if (!windowForSheet || StatusManagerAlertSheet::windowHasSheet(windowForSheet))
            return;
        activeMessage_ = messageQueue_.takeFirst();
        StatusManagerAlertSheet::begin(windowForSheet, *activeMessage_,
                                       [this, message = activeMessage_](QMessageBox *sheet, int returnCode) {
                                           alertDidEnd(sheet, returnCode, message);
                                       });
    }
    notifier_.updateApplicationAlertCount();
}

void StatusManager::alertDidEnd(QWidget *sheet, int returnCode, std::shared_ptr<StatusManagerMessage> message)
{
    if (sheet)
        sheet->hide();
    if (message->action)
        message->action(returnCode);
    activeMessage_.reset();
    StatusManagerDelegate *delegate = delegate_;
    if (!messageQueue_.isEmpty() && delegate)
        delegate->statusManagerHasAlert(this);
}

bool StatusManager::hasPendingAlert() const
{
    return !messageQueue_.isEmpty();
}

QList<std::shared_ptr<StatusManagerMessage>> StatusManager::messageQueue() const
{
    return messageQueue_;
}

std::shared_ptr<StatusManagerMessage> StatusManager::activeMessage() const
{
    return activeMessage_;
}

void StatusManager::clearStatusFlag()
{
    statusFlag_ = NoAttention;
    notifier_.clearNotifications(this);
    notifier_.updateApplicationAlertCount();
}

void StatusManager::userRespondedToUserNotifier()
{
    if (StatusManagerDelegate *delegate = delegate_)
        delegate->statusManagerWantsToActivateDocument(this);
}

qint64 StatusManager::connectionStatus()
{
    StatusManagerDelegate *delegate = delegate_;
    return delegate ? delegate->statusManagerConnectionStatus(this) : 0;
}

QString StatusManager::connectionStatusConnectionName()
{
    StatusManagerDelegate *delegate = delegate_;
    return delegate ? delegate->statusManagerWantsReconnectName(this) : QString();
}

QString StatusManager::selectedSchema()
{
    StatusManagerDelegate *delegate = delegate_;
    return delegate ? delegate->statusManagerNeedsSelectedSchema(this) : QString();
}

const StatusBarElement *StatusManager::selectedElement()
{
    StatusManagerDelegate *delegate = delegate_;
    return delegate ? delegate->statusManagerNeedsBrowserElement(this) : nullptr;
}

bool StatusManager::canCancelAction()
{
    StatusManagerDelegate *delegate = delegate_;
    cacheCanCancel_ = delegate && delegate->statusManagerCanCancelAction(this);
    return cacheCanCancel_;
}

void StatusManager::cancelAction()
{
    if (StatusManagerDelegate *delegate = delegate_)
        delegate->statusManagerCancelAction(this);
}

void StatusManager::disconnect()
{
    if (StatusManagerDelegate *delegate = delegate_)
        delegate->statusManagerWantsToDisconnect(this);
}

void StatusManager::reconnect()
{
    if (StatusManagerDelegate *delegate = delegate_)
        delegate->statusManagerWantsToReconnect(this);
}

qint64 StatusManager::loadedRows() const
{
    const auto root = vornRoot();
    const std::optional<ResultsetState> state = root ? root->resultsetState() : std::nullopt;
    return state ? state->rowCount : -1;
}

bool StatusManager::fullyLoaded() const
{
    const auto root = vornRoot();
    const std::optional<ResultsetState> state = root ? root->resultsetState() : std::nullopt;
    return state && state->fullyLoaded;
}

void StatusManager::setResultsetLoadFailed(bool failed)
{
    resultsetLoadFailed_ = failed;
}

bool StatusManager::resultsetLoadFailed() const
{
    return resultsetLoadFailed_;
}

bool StatusManager::readOnlyReasonCode(QString *code) const
{
    const auto root = vornRoot();
    const std::optional<ResultsetState> state = root ? root->resultsetState() : std::nullopt;
    if (!state || !state->readOnly)
        return false;
    *code = state->readOnlyReason;
    return true;
}

QString StatusManager::readOnlyReason() const
{
    QString code;
    if (!readOnlyReasonCode(&code))
        return QString();
    return QCoreApplication::translate("resultset", readOnlyTextFor(code).reason);
}

QString StatusManager::extendedReadOnlyReason() const
{
    QString code;
    if (!readOnlyReasonCode(&code))
        return QString();
    const ReadOnlyText &text = readOnlyTextFor(code);
    const QString reason = QCoreApplication::translate("resultset", text.extendedReason);
    if (code == QLatin1String("NOPRIMARY"))
        return reason.arg(vornRoot()->connectionType());
    return reason;
}
