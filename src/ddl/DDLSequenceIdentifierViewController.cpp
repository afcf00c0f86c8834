#include "ddl/DDLSequenceIdentifierViewController.h"

#include "client/VornBrowserClient.h"
#include "ddl/DdlInput.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>

DDLSequenceIdentifierViewController::DDLSequenceIdentifierViewController()
    : name_(new QLineEdit), schema_(new QComboBox)
{
    const auto text = [](const char *source) { return QCoreApplication::translate("ddl", source); };
    auto *description = new QLabel(text("Enter the name of the new sequence, and select its schema. Only use "
                                        "alphanumeric and underscore characters for the name."));
    description->setWordWrap(true);
    auto *layout = new QFormLayout(view_);
    layout->setContentsMargins(18, 18, 18, 18);
    layout->addRow(description);
    layout->addRow(text("Name:"), name_);
    layout->addRow(text("Schema:"), schema_);
    QObject::connect(name_, &QLineEdit::textEdited, view_, [this] { update(); });
    QObject::connect(schema_, &QComboBox::currentIndexChanged, view_, [this] { update(); });
    view_->resize(480, 320);
}

void DDLSequenceIdentifierViewController::setDdlController(DDLController *controller)
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

void DDLSequenceIdentifierViewController::update()
{
    if (const std::optional<QString> name = DdlInput::identifier(name_->text()))
        setShared("name", *name);
    if (!schema_->currentText().isEmpty())
        setShared("schema", schema_->currentText());
    tellUpdated();
}

bool DDLSequenceIdentifierViewController::canContinue()
{
    const std::optional<QString> name = DdlInput::identifier(name_->text());
    return name && !name->isEmpty() && !schema_->currentText().isEmpty();
}
