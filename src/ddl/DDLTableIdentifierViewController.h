#pragma once

#include "ddl/DDLSubViewController.h"

class QComboBox;
class QLineEdit;
class QPlainTextEdit;

// The table assistant's identification page: the new table's name, schema and comment.
class DDLTableIdentifierViewController : public DDLSubViewController
{
public:
    DDLTableIdentifierViewController();

    void setDdlController(DDLController *controller) override;
    bool canContinue() override;

    QLineEdit *nameField() const { return name_; }
    QComboBox *schemaPopUp() const { return schema_; }
    QPlainTextEdit *commentView() const { return comment_; }

private:
    void update();

    QLineEdit *name_;
    QComboBox *schema_;
    QPlainTextEdit *comment_;
};
