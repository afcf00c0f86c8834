#include "browser/CreatePlanTable.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace
{
QString text(const char *key)
{
    return QCoreApplication::translate("sqleditorcontroller", key);
}
} // namespace

CreatePlanTable::CreatePlanTable(QWidget *parent)
    : QDialog(parent), username_(new QLineEdit(QStringLiteral("SYSTEM"), this)),
      password_(new QLineEdit(this)), dbserver_(new QLabel(this))
{
    setWindowTitle(text("Create Plan Table"));
    setWindowModality(Qt::WindowModal);
    password_->setEchoMode(QLineEdit::Password);
    auto *layout = new QVBoxLayout(this);
    auto *explanation = new QLabel(
        text("The database has no table to write execution plans to. An administrator can create it."), this);
    explanation->setWordWrap(true);
    layout->addWidget(explanation);
    auto *form = new QFormLayout;
    form->addRow(text("Server:"), dbserver_);
    form->addRow(text("User name:"), username_);
    form->addRow(text("Password:"), password_);
    layout->addLayout(form);
    auto *buttons = new QDialogButtonBox(this);
    create_ = buttons->addButton(text("Create"), QDialogButtonBox::AcceptRole);
    create_->setDefault(true);
    buttons->addButton(QDialogButtonBox::Cancel);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &CreatePlanTable::create);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(username_, &QLineEdit::textChanged, this, &CreatePlanTable::interfaceUpdate);
    connect(password_, &QLineEdit::textChanged, this, &CreatePlanTable::interfaceUpdate);
    interfaceUpdate();
}

void CreatePlanTable::runModalForWindow(QWidget *window, const QString &server, CreateAction action)
{
    action_ = std::move(action);
    dbserver_->setText(server);
    password_->clear();
    interfaceUpdate();
    if (window && parentWidget() != window)
        setParent(window, windowFlags());
    open();
}

void CreatePlanTable::interfaceUpdate()
{
    create_->setEnabled(!username_->text().trimmed().isEmpty() && !password_->text().trimmed().isEmpty());
}

void CreatePlanTable::create()
{
    if (!create_->isEnabled())
        return;
    accept();
    if (action_)
        action_(username_->text(), password_->text());
}
