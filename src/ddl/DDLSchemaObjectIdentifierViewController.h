#pragma once

#include "ddl/DDLSubViewController.h"

class QComboBox;
class QFormLayout;
class QLineEdit;

// An assistant's identification page for a new object in a schema: a description, then the name and
// the schema (the browser's schemas, its selected one chosen), then what the page adds below. A page
// continues once the name is a valid identifier and a schema is chosen; it writes both into the shared
// data as it likes.
class DDLSchemaObjectIdentifierViewController : public DDLSubViewController
{
public:
    void setDdlController(DDLController *controller) override;
    bool canContinue() override;

    QLineEdit *nameField() const { return name_; }
    QComboBox *schemaPopUp() const { return schema_; }

protected:
    explicit DDLSchemaObjectIdentifierViewController(const QString &description);

    // Rows below the schema.
    QFormLayout *form() const { return form_; }
    // The name or the schema changed, or the controller was set: the shared data follows.
    virtual void update() = 0;

    QLineEdit *name_;
    QComboBox *schema_;

private:
    QFormLayout *form_;
};
