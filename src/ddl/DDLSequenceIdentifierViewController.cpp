#include "ddl/DDLSequenceIdentifierViewController.h"

#include "ddl/DdlInput.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>

DDLSequenceIdentifierViewController::DDLSequenceIdentifierViewController()
    : DDLSchemaObjectIdentifierViewController(QCoreApplication::translate(
          "ddl", "Enter the name of the new sequence, and select its schema. Only "
                 "use alphanumeric and underscore characters for the name."))
{
}

void DDLSequenceIdentifierViewController::update()
{
    if (const std::optional<QString> name = DdlInput::identifier(name_->text()))
        setShared("name", *name);
    if (!schema_->currentText().isEmpty())
        setShared("schema", schema_->currentText());
    tellUpdated();
}
