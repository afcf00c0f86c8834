#include "ddl/DDLSchemaObjectIdentifierViewController.h"

#include "client/VornBrowserClient.h"
#include "ddl/DdlInput.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>

DDLSchemaObjectIdentifierViewController::DDLSchemaObjectIdentifierViewController(const QString &description)
    : name_(new QLineEdit), schema_(new QComboBox), form_(new QFormLayout(view_))
{
    auto *label = new QLabel(description);
    label->setWordWrap(true);
    form_->setContentsMargins(18, 18, 18, 18);
    form_->addRow(label);
    form_->addRow(QCoreApplication::translate("ddl", "Name:"), name_);
    form_->addRow(QCoreApplication::translate("ddl", "Schema:"), schema_);
    // Through the virtual update, which is the page's own once it is built.
    QObject::connect(name_, &QLineEdit::textEdited, view_, [this] { update(); });
    QObject::connect(schema_, &QComboBox::currentIndexChanged, view_, [this] { update(); });
    view_->resize(480, 320);
}

void DDLSchemaObjectIdentifierViewController::setDdlController(DDLController *controller)
{
    DDLSubViewController::setDdlController(controller);
    const QSignalBlocker blocker(schema_);
    schema_->clear();
    if (const std::shared_ptr<VornBrowserClient> browser = this->browser()) {
        schema_->addItems(browser->schemas());
        schema_->setCurrentIndex(schema_->findText(browser->selectedSchema()));
    }
    update();
}

bool DDLSchemaObjectIdentifierViewController::canContinue()
{
    const std::optional<QString> name = DdlInput::identifier(name_->text());
    return name && !name->isEmpty() && !schema_->currentText().isEmpty();
}
