#include "connection/Vorn2UpgradeFinish.h"

#include <QCoreApplication>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

Vorn2UpgradeFinish::Vorn2UpgradeFinish()
{
    auto *view = new QWidget;
    view->setObjectName("Vorn2UpgradeFinish");
    status_ = new QLabel(QCoreApplication::translate("vorn2upgrade", "Importing connections…"));
    progress_ = new QProgressBar;
    finishedMessage_ = new QLabel(QCoreApplication::translate(
        "vorn2upgrade", "Your connections have been imported. Click 'Finish' to start using Vorn."));
    finishedMessage_->setWordWrap(true);
    auto *layout = new QVBoxLayout(view);
    layout->addStretch();
    layout->addWidget(status_);
    layout->addWidget(progress_);
    layout->addWidget(finishedMessage_);
    layout->addStretch();
    view->resize(520, 320);
    setView(view);
}

void Vorn2UpgradeFinish::start()
{
    finishedMessage_->hide();
    progress_->setRange(0, 0);
    progress_->show();
    status_->show();
}

void Vorn2UpgradeFinish::stop(int unstoredPasswords)
{
    progress_->setRange(0, 1);
    progress_->hide();
    status_->hide();
    if (unstoredPasswords > 0) {
        finishedMessage_->setText(
            finishedMessage_->text() + QStringLiteral("\n\n") +
            QCoreApplication::translate("vorn2upgrade",
                                        "The passwords of %1 connections could not be stored in the keyring; "
                                        "Vorn will ask for them when you connect.")
                .arg(unstoredPasswords));
    }
    finishedMessage_->show();
}
