#include "ddl/DDLProcedureIdentifierViewController.h"

#include "client/VornAssistantClient.h"
#include "client/VornBrowserClient.h"
#include "ddl/DDLController.h"
#include "ddl/DdlInput.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>

namespace
{

QString ddlText(const char *text)
{
    return QCoreApplication::translate("ddl", text);
}

} // namespace

DDLProcedureIdentifierViewController::DDLProcedureIdentifierViewController()
    : description_(new QLabel), name_(new QLineEdit), schema_(new QComboBox), functionView_(new QWidget),
      returnType_(new QComboBox), sizeLabel_(new QLabel(ddlText("Size:"))), size_(new QLineEdit)
{
    description_->setWordWrap(true);
    auto *function = new QFormLayout(functionView_);
    function->setContentsMargins(0, 0, 0, 0);
    function->addRow(ddlText("Return type:"), returnType_);
    function->addRow(sizeLabel_, size_);
    auto *layout = new QFormLayout(view_);
    layout->setContentsMargins(18, 18, 18, 18);
    layout->addRow(description_);
    layout->addRow(ddlText("Name:"), name_);
    layout->addRow(ddlText("Schema:"), schema_);
    layout->addRow(functionView_);
    for (QLineEdit *field : {name_, size_})
        QObject::connect(field, &QLineEdit::textEdited, view_, [this] { update(); });
    for (QComboBox *popUp : {schema_, returnType_})
        QObject::connect(popUp, &QComboBox::currentIndexChanged, view_, [this] { update(); });
    view_->resize(480, 320);
}

void DDLProcedureIdentifierViewController::setDdlController(DDLController *controller)
{
    DDLSubViewController::setDdlController(controller);
    const QSignalBlocker blockSchema(schema_);
    const QSignalBlocker blockType(returnType_);
    schema_->clear();
    returnType_->clear();
    if (const std::shared_ptr<VornBrowserClient> browser = this->browser()) {
        schema_->addItems(browser->schemas());
        schema_->setCurrentIndex(schema_->findText(browser->selectedSchema()));
    }
    if (const std::shared_ptr<VornAssistantClient> database = assistant()) {
        returnType_->addItems(database->types());
        returnType_->setCurrentIndex(returnType_->findText(database->defaultColumnType()));
    }
    update();
}

void DDLProcedureIdentifierViewController::updateInterface()
{
    const QString type = objectType();
    const QString kind = type == QLatin1String("FUNCTION")  ? ddlText("Function")
                         : type == QLatin1String("PACKAGE") ? ddlText("Package")
                                                            : ddlText("Procedure");
    name_->setPlaceholderText(type == QLatin1String("FUNCTION")  ? ddlText("Function name")
                              : type == QLatin1String("PACKAGE") ? ddlText("Package name")
                                                                 : ddlText("Procedure name"));
    functionView_->setVisible(type == QLatin1String("FUNCTION"));
    description_->setText(
        type == QLatin1String("FUNCTION")
            ? ddlText(
                  "Enter the name of the new %1, and select its schema or database. Thirdly select the "
                  "desired return type at the bottom.\nOnly use alphanumeric and underscore characters for "
                  "the name of the %1.")
                  .arg(kind)
            : ddlText(
                  "Enter the name of the new %1, and select its schema or database.\nOnly use alphanumeric "
                  "and underscore characters for the name of the %1.")
                  .arg(kind));
    const bool sizes = ddlController() && ddlController()->dialect().requiresSizeForProcedureParameters();
    size_->setVisible(sizes);
    sizeLabel_->setVisible(sizes);
}

void DDLProcedureIdentifierViewController::update()
{
    if (const std::optional<QString> name = DdlInput::identifier(name_->text()))
        setShared("name", *name);
    setShared("schema", schema_->currentText());
    setShared("returnType", returnType_->currentText());
    setShared("returnSize", size_->text().trimmed());
    updateInterface();
    tellUpdated();
}

bool DDLProcedureIdentifierViewController::needsSize() const
{
    if (objectType() != QLatin1String("FUNCTION") || !ddlController() ||
        !ddlController()->dialect().requiresSizeForProcedureParameters())
        return false;
    const std::shared_ptr<VornAssistantClient> database = assistant();
    return database && database->requireSize(returnType_->currentText());
}

bool DDLProcedureIdentifierViewController::canContinue()
{
    const std::optional<QString> name = DdlInput::identifier(name_->text());
    if (!name || name->isEmpty() || schema_->currentText().isEmpty())
        return false;
    // A size the type needs is a whole number; "0" counts, an empty field does not.
    return !needsSize() || DdlInput::integer(size_->text()).has_value();
}
