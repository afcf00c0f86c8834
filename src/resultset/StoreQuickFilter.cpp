#include "resultset/StoreQuickFilter.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace
{
QString text(const char *key)
{
    return QCoreApplication::translate("quickfilter", key);
}
} // namespace

StoreQuickFilter::StoreQuickFilter(QWidget *parent)
    : QDialog(parent), textfield_(new QLineEdit(text("New Filter"), this)), notice_(new QLabel(this)),
      saveButton_(new QPushButton(text("Save"), this))
{
    setWindowTitle(text("Store Current Filter"));
    setWindowModality(Qt::WindowModal);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(text("Store the current filter as:"), this));
    textfield_->setMinimumWidth(280);
    textfield_->selectAll();
    layout->addWidget(textfield_);
    notice_->setText(unusableNameMessage());
    notice_->setStyleSheet(QStringLiteral("color: #c0392b;"));
    notice_->hide();
    layout->addWidget(notice_);
    auto *buttons = new QHBoxLayout;
    auto *cancelButton = new QPushButton(text("Cancel"), this);
    cancelButton->setAutoDefault(false);
    saveButton_->setDefault(true);
    buttons->addStretch();
    buttons->addWidget(cancelButton);
    buttons->addWidget(saveButton_);
    layout->addLayout(buttons);
    connect(cancelButton, &QPushButton::clicked, this, &StoreQuickFilter::cancel);
    connect(saveButton_, &QPushButton::clicked, this, &StoreQuickFilter::save);
    connect(textfield_, &QLineEdit::textChanged, this, &StoreQuickFilter::nameChanged);
    connect(this, &QDialog::finished, this, [this](int code) {
        if (completionHandler_)
            completionHandler_(code);
        deleteLater();
    });
}

void StoreQuickFilter::beginSheetOnWindow(QWidget *window, std::function<void(int)> completionHandler)
{
    completionHandler_ = std::move(completionHandler);
    if (window && parentWidget() != window) {
        setParent(window, windowFlags());
        setWindowModality(Qt::WindowModal);
    }
    open();
    textfield_->setFocus();
    textfield_->selectAll();
}

void StoreQuickFilter::save()
{
    if (!isUsableName(name())) {
        notice_->show();
        return;
    }
    done(1);
}

void StoreQuickFilter::cancel()
{
    done(0);
}

QString StoreQuickFilter::name() const
{
    return textfield_->text();
}

bool StoreQuickFilter::isUsableName(const QString &name)
{
    return !name.trimmed().isEmpty();
}

QString StoreQuickFilter::unusableNameMessage()
{
    return text("A stored filter needs a name.");
}

void StoreQuickFilter::nameChanged()
{
    const bool usable = isUsableName(name());
    saveButton_->setEnabled(usable);
    notice_->setVisible(!usable);
}
