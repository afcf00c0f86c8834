#include "document/ActivityView.h"

#include <QCoreApplication>
#include <QGridLayout>
#include <QLabel>
#include <QProgressBar>
#include <QStyle>
#include <QToolButton>

ActivityView::ActivityView(qint64 uid, bool secundary, QWidget *parent)
    : QWidget(parent), uid_(uid), secundary_(secundary), status_(new QLabel(this)),
      message_(new QLabel(this)), progress_(new QProgressBar(this))
{
    auto *layout = new QGridLayout(this);
    layout->setContentsMargins(secundary ? 28 : 8, 4, 8, 4);
    QFont bold = status_->font();
    bold.setBold(!secundary);
    status_->setFont(bold);
    status_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    message_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    message_->setWordWrap(false);
    // Long texts (a statement) are cut at the panel's edge rather than widening the row past it.
    for (QLabel *label : {status_, message_}) {
        label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        label->setMinimumWidth(0);
    }
    progress_->setTextVisible(false);
    progress_->setMaximumHeight(10);
    progress_->setRange(0, 1000);
    layout->addWidget(status_, 0, 0);
    layout->addWidget(progress_, 1, 0);
    layout->addWidget(message_, 2, 0);
    layout->setColumnStretch(0, 1);
    if (!secundary) {
        stopButton_ = new QToolButton(this);
        stopButton_->setIcon(style()->standardIcon(QStyle::SP_BrowserStop));
        stopButton_->setToolTip(QCoreApplication::translate("activity", "Stop"));
        stopButton_->setAutoRaise(true);
        connect(stopButton_, &QToolButton::clicked, this, &ActivityView::stopButtonPressed);
        layout->addWidget(stopButton_, 0, 1, 3, 1, Qt::AlignVCenter);
    }
    updateStatus(QString(), QString(), false, false, std::nullopt);
}

void ActivityView::updateStatus(const QString &status, const QString &message, bool active, bool stopable,
                                std::optional<double> progress)
{
    status_->setText(status);
    // One line of the statement, whole in the tooltip.
    message_->setText(message.simplified());
    message_->setToolTip(message);
    // A hidden bar keeps its place, so rows do not jump as their connections start and stop working.
    QSizePolicy policy = progress_->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    progress_->setSizePolicy(policy);
    progress_->setVisible(active);
    if (progress) {
        progress_->setRange(0, 1000);
        progress_->setValue(int(qBound(0.0, *progress, 1.0) * 1000));
    } else {
        progress_->setRange(0, 0); // busy indicator
    }
    if (stopButton_)
        stopButton_->setEnabled(stopable);
}

void ActivityView::stopButtonPressed()
{
    if (delegate_)
        delegate_->activityViewWantsToStopUid(this, uid_);
}
