#pragma once

#include "ddl/DDLSubViewController.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

// The procedure assistant's parameter page: parameters added one by one (name, usage for a procedure,
// type, size where the database needs one), kept in order under "parameters".
class DDLProcedureParameterViewController : public DDLSubViewController
{
public:
    DDLProcedureParameterViewController();

    void setDdlController(DDLController *controller) override;
    void updateInterface() override;
    void add();
    void remove();
    bool hasParameterWithName(const QString &name) const;

    QLineEdit *nameField() const { return name_; }
    QComboBox *usage() const { return usage_; }
    QComboBox *type() const { return type_; }
    QLineEdit *size() const { return size_; }
    QPushButton *addButton() const { return add_; }
    QPushButton *removeButton() const { return remove_; }
    QTableWidget *tableView() const { return tableview_; }

private:
    bool canAdd() const;
    QString objectType() const { return shared("TYPE").toString(); }

    QVariantList parameters_;
    QLabel *description_;
    QLineEdit *name_;
    QLabel *usageLabel_;
    QComboBox *usage_;
    QComboBox *type_;
    QLabel *sizeLabel_;
    QLineEdit *size_;
    QPushButton *add_;
    QPushButton *remove_;
    QTableWidget *tableview_;
};
