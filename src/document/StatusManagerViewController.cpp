#include "document/StatusManagerViewController.h"

#include "document/StatusManagerViewPart.h"
#include "platform/MainThread.h"
#include "status/StatusBarElement.h"
#include "status/StatusManager.h"
#include "status/StatusManagerAlertSheet.h"
#include "status/StatusManagerMessage.h"

#include <QCoreApplication>
#include <QEvent>
#include <QGraphicsOpacityEffect>
#include <QParallelAnimationGroup>
#include <QPropertyAnimation>
#include <QWidget>

// The status-bar images live in a static library: make sure its resource initialiser runs.
static void initDocumentIcons()
{
    Q_INIT_RESOURCE(document_icons);
}

namespace
{

QString statusmanagerText(const char *text)
{
    return QCoreApplication::translate("statusmanager", text);
}

QString connectTooltip(qint64 state, const QString &name)
{
    const bool named = !name.isEmpty();
    switch (state) {
    case 1:
        return named ? statusmanagerText("Connecting to %1").arg(name) : statusmanagerText("Connecting");
    case 2:
        return named ? statusmanagerText("Connected to %1, click to disconnect").arg(name)
                     : statusmanagerText("Connected, click to disconnect");
    default:
        return named ? statusmanagerText("Not connected, click to (re)connect to %1").arg(name)
                     : statusmanagerText("Not connected, click to (re)connect");
    }
}

QString recordsText(qint64 count, bool fullyLoaded, bool loadFailed)
{
    if (loadFailed)
        return (count == 1 ? statusmanagerText("Loaded %1 record, loading the rest failed")
                           : statusmanagerText("Loaded %1 records, loading the rest failed"))
            .arg(count);
    if (fullyLoaded)
        return (count == 1 ? statusmanagerText("%1 record") : statusmanagerText("%1 records")).arg(count);
    return (count == 1 ? statusmanagerText("Loaded %1 record") : statusmanagerText("Loaded %1 records"))
        .arg(count);
}

} // namespace

StatusManagerViewController::StatusManagerViewController(QWidget *parent)
    : contentStatusView_(new QWidget(parent))
{
    initDocumentIcons();
    contentStatusView_->setMinimumHeight(23);
    contentStatusView_->installEventFilter(this);
    // Later parts lie in front of earlier ones.
    statusView_ = createPart(false, true);
    recordsView_ = createPart(true, true);
    readOnlyView_ = createPart(true, true);
    selectionView_ = createPart(true, false);
    databaseView_ = createPart(true, false);
    connectView_ = createPart(true, false);
    for (StatusManagerViewPart *part : {readOnlyView_, statusView_, recordsView_})
        part->move(1000, 0);
    statusView_->setGraphicsEffect(new QGraphicsOpacityEffect(statusView_));
    connectView_->setButton(
        QStringLiteral("NotConnected"), QString(), [this] { connectButtonPressed(); }, QKeySequence());
}

StatusManagerViewController::~StatusManagerViewController()
{
    if (!contentStatusView_)
        return;
    contentStatusView_->removeEventFilter(this);
    if (!contentStatusView_->parent())
        delete contentStatusView_;
}

StatusManagerViewPart *StatusManagerViewController::createPart(bool heightend, bool rightAligned)
{
    auto *part = new StatusManagerViewPart(contentStatusView_);
    part->setHeightend(heightend);
    part->setRightAligned(rightAligned);
    part->show();
    return part;
}

void StatusManagerViewController::setStatusManager(StatusManager *statusManager)
{
    statusManager_ = statusManager;
    statusReset();
}

void StatusManagerViewController::statusReset()
{
    update(true);
}

void StatusManagerViewController::statusUpdated()
{
    update(false);
}

void StatusManagerViewController::update(bool reset)
{
    if (!statusManager_)
        return;
    const qint64 state = statusManager_->connectionStatus();
    updateConnection(state, statusManager_->connectionStatusConnectionName());
    updateDatabaseAndSelection(state);
    updateReadOnly();
    updateRecords();
    updateStatus();
    if (reset) {
        orderViews(false);
    } else {
        MainThread::post([controller = QPointer<StatusManagerViewController>(this)] {
            if (controller)
                controller->orderViews(true);
        });
    }
}

void StatusManagerViewController::updateConnection(qint64 state, const QString &name)
{
    connectView_->setButton(
        state == 2 ? QStringLiteral("Connected") : QStringLiteral("NotConnected"),
        connectTooltip(state, name), [this] { connectButtonPressed(); }, QKeySequence());
    connectView_->setShown(true);
}

void StatusManagerViewController::updateDatabaseAndSelection(qint64 state)
{
    databaseView_->setShown(true);
    if (state == 0) {
        databaseView_->setText(statusmanagerText("Not connected"));
        selectionView_->setShown(false);
        return;
    }
    const QString schema = statusManager_->selectedSchema();
    databaseView_->setText(schema.isNull() ? QString("") : schema);
    const StatusBarElement *element = statusManager_->selectedElement();
    selectionView_->setShown(element != nullptr);
    if (element) {
        selectionView_->setIcon(element->icon().pixmap(14, 14));
        selectionView_->setText(element->name().isNull() ? QString("") : element->name());
    }
}

void StatusManagerViewController::updateReadOnly()
{
    const QString reason = statusManager_->readOnlyReason();
    readOnlyView_->setShown(!reason.isNull());
    if (!reason.isNull())
        readOnlyView_->setButton(
            QStringLiteral("ReadOnly"), reason, [this] { showReadOnly(); }, QKeySequence());
}

void StatusManagerViewController::updateRecords()
{
    const qint64 rows = statusManager_->loadedRows();
    recordsView_->setShown(rows >= 0);
    if (rows >= 0)
        recordsView_->setText(
            recordsText(rows, statusManager_->fullyLoaded(), statusManager_->resultsetLoadFailed()));
}

void StatusManagerViewController::updateStatus()
{
    if (statusManager_->activeStatus()) {
        if (statusManager_->canCancelAction())
            statusView_->setButton(
                QStringLiteral("CancelAction"), statusmanagerText("Cancel the running action"),
                [this] { cancelButtonPressed(); }, QKeySequence(Qt::ControlModifier | Qt::Key_Period));
        else
            statusView_->hideButton();
        statusView_->setText(busyText());
        statusView_->setShown(true);
        return;
    }
    const QString text = statusManager_->connectionStatusText();
    statusView_->setBusy(false);
    statusView_->hideButton();
    if (!text.isEmpty() && statusManager_->statusManagerSource() == StatusManager::SqlEditor) {
        statusView_->setText(text);
        statusView_->setShown(true);
    } else {
        statusView_->setText(QString(""));
        statusView_->setShown(false);
    }
}

QString StatusManagerViewController::busyText() const
{
    const QString text = statusManager_->connectionStatusText();
    const double elapsed = statusManager_->currentTime() - statusManager_->activeStatusStart();
    if (elapsed < 2.0)
        return text + QStringLiteral("...");
    return statusText(text, elapsed);
}

QString StatusManagerViewController::statusText(const QString &text, double time)
{
    const qint64 seconds = qint64(time);
    const qint64 minutes = seconds / 60;
    const qint64 hours = seconds / 3600;
    if (seconds < 60)
        return QStringLiteral("%1 %2s...").arg(text).arg(seconds);
    if (seconds < 3600)
        return QStringLiteral("%1 %2m%3s...").arg(text).arg(minutes).arg(seconds - 60 * minutes);
    return QStringLiteral("%1 %2h%3m...").arg(text).arg(hours).arg(minutes % 60);
}

void StatusManagerViewController::statusTextUpdated()
{
    if (!statusManager_ || !statusManager_->activeStatus())
        return;
    const int rightEdge = statusView_->x() + statusView_->width();
    statusView_->setText(busyText());
    statusView_->move(rightEdge - statusView_->width(), statusView_->y());
}

void StatusManagerViewController::placePart(StatusManagerViewPart *part, const QPoint &position, bool animate)
{
    if (!animate) {
        part->move(position);
        return;
    }
    auto *slide = new QPropertyAnimation(part, "pos");
    slide->setDuration(animationMilliseconds);
    slide->setEndValue(position);
    animation_->addAnimation(slide);
}

void StatusManagerViewController::orderViews(bool animate)
{
    if (animation_)
        animation_->stop();
    delete animation_;
    if (animate)
        animation_ = new QParallelAnimationGroup(this);

    const int width = contentStatusView_->width();
    int x = 0;
    for (StatusManagerViewPart *part : {connectView_, databaseView_, selectionView_}) {
        if (!part->isShown()) {
            placePart(part, QPoint(-part->width(), 1), animate);
            continue;
        }
        placePart(part, QPoint(x, 1), animate);
        if (part != selectionView_)
            x = int(x + part->width() - 3.0);
    }

    x = int(width - 3.0);
    for (StatusManagerViewPart *part : {readOnlyView_, recordsView_}) {
        if (part->isShown()) {
            x = int(x - (part->width() - 2.0));
            placePart(part, QPoint(x, 1), animate);
        } else {
            placePart(part, QPoint(animate ? width : width + 1, 1), animate);
        }
    }
    x = int(x - (statusView_->width() - 2.0));
    placePart(statusView_, QPoint(x, 1), animate);
    auto *opacity = static_cast<QGraphicsOpacityEffect *>(statusView_->graphicsEffect());
    const qreal alpha = statusView_->isShown() ? 1.0 : 0.0;
    if (animate) {
        auto *fade = new QPropertyAnimation(opacity, "opacity");
        fade->setDuration(animationMilliseconds);
        fade->setEndValue(alpha);
        animation_->addAnimation(fade);
        animation_->start(QAbstractAnimation::DeleteWhenStopped);
    } else {
        opacity->setOpacity(alpha);
    }
}

void StatusManagerViewController::showReadOnly()
{
    if (!statusManager_)
        return;
    const QString reason = statusManager_->readOnlyReason();
    if (reason.isNull())
        return;
    StatusManagerMessage message;
    message.title = reason;
    message.message = statusManager_->extendedReadOnlyReason();
    message.messageType = StatusManagerMessage::Information;
    StatusManagerAlertSheet::begin(contentStatusView_->window(), message, [](QMessageBox *, int) {});
}

void StatusManagerViewController::cancelButtonPressed()
{
    if (statusManager_)
        statusManager_->cancelAction();
}

void StatusManagerViewController::connectButtonPressed()
{
    if (!statusManager_)
        return;
    switch (statusManager_->connectionStatus()) {
    case 0:
        statusManager_->reconnect();
        break;
    case 2:
        statusManager_->disconnect();
        break;
    default: // connecting: nothing to do until it ends
        break;
    }
}

bool StatusManagerViewController::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == contentStatusView_ && event->type() == QEvent::Resize)
        orderViews(false);
    return QObject::eventFilter(watched, event);
}
