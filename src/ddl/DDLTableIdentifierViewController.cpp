#include "ddl/DDLTableIdentifierViewController.h"

#include "ddl/DdlInput.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFormLayout>
#include <QLineEdit>
#include <QPlainTextEdit>

DDLTableIdentifierViewController::DDLTableIdentifierViewController()
    : DDLSchemaObjectIdentifierViewController(QCoreApplication::translate(
          "ddl", "Enter the name of the new table, and select its schema or database. Only use alphanumeric "
                 "and underscore characters for the name.")),
      comment_(new QPlainTextEdit)
{
    name_->setPlaceholderText(QCoreApplication::translate("ddl", "Table name"));
    form()->addRow(QCoreApplication::translate("ddl", "Comment:"), comment_);
    QObject::connect(comment_, &QPlainTextEdit::textChanged, view_,
                     [this] { setShared("comment", comment_->toPlainText()); });
}

void DDLTableIdentifierViewController::update()
{
    // An invalid name keeps the last valid one: the page cannot continue until it is mended.
    if (const std::optional<QString> name = DdlInput::identifier(name_->text()))
        setShared("name", *name);
    setShared("schema", schema_->currentText());
    tellUpdated();
}
