#include "ddl/DDLTableIdentifierViewController.h"

#include "client/VornBrowserClient.h"
#include "ddl/DdlInput.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

DDLTableIdentifierViewController::DDLTableIdentifierViewController()
    : name_(new QLineEdit), schema_(new QComboBox), comment_(new QPlainTextEdit)
{
    const auto text = [](const char *source) { return QCoreApplication::translate("ddl", source); };
    auto *description = new QLabel(text("Enter the name of the new table, and select its schema or database. "
                                        "Only use alphanumeric and underscore characters for the name."));
    description->setWordWrap(true);
    name_->setPlaceholderText(text("Table name"));
    auto *layout = new QFormLayout(view_);
    layout->setContentsMargins(18, 18, 18, 18);
    layout->addRow(description);
    layout->addRow(text("Name:"), name_);
    layout->addRow(text("Schema:"), schema_);
    layout->addRow(text("Comment:"), comment_);
    QObject::connect(name_, &QLineEdit::textEdited, view_, [this] { update(); });
    QObject::connect(schema_, &QComboBox::currentIndexChanged, view_, [this] { update(); });
    QObject::connect(comment_, &QPlainTextEdit::textChanged, view_,
                     [this] { setShared("comment", comment_->toPlainText()); });
    view_->resize(480, 320);
}

void DDLTableIdentifierViewController::setDdlController(DDLController *controller)
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

void DDLTableIdentifierViewController::update()
{
    // An invalid name keeps the last valid one: the page cannot continue until it is mended.
    if (const std::optional<QString> name = DdlInput::identifier(name_->text()))
        setShared("name", *name);
    setShared("schema", schema_->currentText());
    tellUpdated();
}

bool DDLTableIdentifierViewController::canContinue()
{
    const std::optional<QString> name = DdlInput::identifier(name_->text());
    return name && !name->isEmpty() && !schema_->currentText().isEmpty();
}
