#pragma once

#include "ddl/DDLSubViewController.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QWidget;

// The procedure assistant's identification page: the name and schema of the new procedure, function or
// package, and a function's return type (with its size where the database needs one).
class DDLProcedureIdentifierViewController : public DDLSubViewController
{
public:
    DDLProcedureIdentifierViewController();

    void setDdlController(DDLController *controller) override;
    void updateInterface() override;
    bool canContinue() override;

    QLineEdit *nameField() const { return name_; }
    QComboBox *schemaPopUp() const { return schema_; }
    QComboBox *returnType() const { return returnType_; }
    QLineEdit *size() const { return size_; }

private:
    void update();
    QString objectType() const { return shared("TYPE").toString(); }
    bool needsSize() const;

    QLabel *description_;
    QLineEdit *name_;
    QComboBox *schema_;
    QWidget *functionView_;
    QComboBox *returnType_;
    QLabel *sizeLabel_;
    QLineEdit *size_;
};
