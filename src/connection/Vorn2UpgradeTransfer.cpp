#include "connection/Vorn2UpgradeTransfer.h"

#include <QLabel>
#include <QVBoxLayout>

Vorn2UpgradeTransfer::Vorn2UpgradeTransfer()
{
    auto *view = new QWidget;
    view->setObjectName("Vorn2UpgradeTransfer");
    options_ = new QLabel;
    options_->setWordWrap(true);
    options_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    auto *layout = new QVBoxLayout(view);
    layout->addWidget(options_, 1);
    view->resize(520, 320);
    setView(view);
}

void Vorn2UpgradeTransfer::setOptionsValue(const QString &text)
{
    options_->setText(text);
}
