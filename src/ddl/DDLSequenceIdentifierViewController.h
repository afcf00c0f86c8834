#pragma once

#include "ddl/DDLSubViewController.h"

class QComboBox;
class QLineEdit;

// The sequence assistant's identification page: the new sequence's name and schema.
class DDLSequenceIdentifierViewController : public DDLSubViewController
{
public:
    DDLSequenceIdentifierViewController();

    void setDdlController(DDLController *controller) override;
    bool canContinue() override;

    QLineEdit *nameField() const { return name_; }
    QComboBox *schemaPopUp() const { return schema_; }

private:
    void update();

    QLineEdit *name_;
    QComboBox *schema_;
};
