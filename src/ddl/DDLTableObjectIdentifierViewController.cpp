#include "ddl/DDLTableObjectIdentifierViewController.h"

#include "client/VornBrowserClient.h"
#include "ddl/DdlInput.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>

DDLTableObjectIdentifierViewController::DDLTableObjectIdentifierViewController(const QString &description)
    : name_(new QLineEdit), schema_(new QLabel), table_(new QComboBox)
{
    const auto text = [](const char *source) { return QCoreApplication::translate("ddl", source); };
    auto *label = new QLabel(description);
    label->setWordWrap(true);
    auto *layout = new QFormLayout(view_);
    layout->setContentsMargins(18, 18, 18, 18);
    layout->addRow(label);
    layout->addRow(text("Name:"), name_);
    layout->addRow(text("Schema:"), schema_);
    layout->addRow(text("Table:"), table_);
    QObject::connect(name_, &QLineEdit::textEdited, view_, [this] { update(); });
    QObject::connect(table_, &QComboBox::currentIndexChanged, view_, [this] { update(); });
    view_->resize(480, 320);
}

void DDLTableObjectIdentifierViewController::setDdlController(DDLController *controller)
{
    DDLSubViewController::setDdlController(controller);
    const QSignalBlocker blocker(table_);
    table_->clear();
    const std::shared_ptr<VornBrowserClient> browser = this->browser();
    // The sheet keeps the browser still: its schema is the one for the whole run.
    schemaName_ = browser ? browser->selectedSchema() : QString();
    schema_->setText(schemaName_);
    if (browser && !schemaName_.isEmpty()) {
        // The tables come from the browser's cache, read here when the browser has not done so yet.
        browser->typesInSchema(schemaName_);
        table_->addItems(
            browser->elementsOfTypeInSchemaLike(QStringLiteral("TABLE"), schemaName_, QString()));
    }
    update();
}

void DDLTableObjectIdentifierViewController::update()
{
    if (const std::optional<QString> name = DdlInput::identifier(name_->text()))
        setShared("name", *name);
    if (!table_->currentText().isEmpty())
        setShared("table", table_->currentText());
    if (!schemaName_.isEmpty())
        setShared("schema", schemaName_);
    tellUpdated();
}

bool DDLTableObjectIdentifierViewController::canContinue()
{
    const std::optional<QString> name = DdlInput::identifier(name_->text());
    return name && !name->isEmpty() && !table_->currentText().isEmpty() && !schemaName_.isEmpty();
}
