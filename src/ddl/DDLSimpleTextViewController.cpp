#include "ddl/DDLSimpleTextViewController.h"

#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

DDLSimpleTextViewController::DDLSimpleTextViewController()
    : textField_(new QLabel), progress_(new QProgressBar)
{
    textField_->setWordWrap(true);
    textField_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    textField_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // No known end: the bar only shows that work goes on.
    progress_->setRange(0, 0);
    progress_->setTextVisible(false);
    progress_->hide();
    auto *layout = new QVBoxLayout(view_);
    layout->setContentsMargins(18, 18, 18, 18);
    layout->addWidget(textField_, 1);
    layout->addWidget(progress_);
    view_->resize(480, 320);
}

void DDLSimpleTextViewController::setText(const QString &text)
{
    textField_->setText(text);
}

QString DDLSimpleTextViewController::text() const
{
    return textField_->text();
}

void DDLSimpleTextViewController::showProgress(bool show)
{
    progress_->setVisible(show);
}

bool DDLSimpleTextViewController::showsProgress() const
{
    return !progress_->isHidden();
}
