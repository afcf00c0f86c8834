#pragma once

#include "ddl/DDLSubViewController.h"

class QComboBox;
class QLabel;
class QLineEdit;

// The identification page of the index and constraint assistants: the new object's name and the table
// of the browser's selected schema it belongs to ("name", "table", "schema").
class DDLTableObjectIdentifierViewController : public DDLSubViewController
{
public:
    explicit DDLTableObjectIdentifierViewController(const QString &description);

    void setDdlController(DDLController *controller) override;
    bool canContinue() override;

    QLineEdit *nameField() const { return name_; }
    QComboBox *tablePopUp() const { return table_; }

private:
    void update();

    QString schemaName_;
    QLineEdit *name_;
    QLabel *schema_;
    QComboBox *table_;
};
