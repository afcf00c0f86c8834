#pragma once

#include "ddl/DDLSubViewController.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QTableWidget;

// The table assistant's column page: columns are added one by one (name, type, size and precision
// where the type has them, empty values allowed, auto number, default) and kept under "columns".
class DDLTableColumnViewController : public DDLSubViewController
{
public:
    DDLTableColumnViewController();

    void setDdlController(DDLController *controller) override;
    void updateInterface() override;
    bool canContinue() override;
    void add();
    // Removes the selected column, with the key columns and constraints that use it.
    void remove();

    QLineEdit *columnName() const { return columnName_; }
    QComboBox *types() const { return types_; }
    QLineEdit *size() const { return size_; }
    QLineEdit *precision() const { return precision_; }
    QCheckBox *notEmpty() const { return notEmpty_; }
    QCheckBox *autoNumber() const { return autoNumber_; }
    QLineEdit *defaultValue() const { return defaultVal_; }
    QPushButton *addButton() const { return addButton_; }
    QPushButton *removeButton() const { return removeButton_; }
    QTableWidget *tableView() const { return tableView_; }

private:
    bool canAdd() const;
    void columnsChanged();

    QVariantList columns_;
    bool supportsAutoNumber_ = false;
    QLineEdit *columnName_;
    QComboBox *types_;
    QLineEdit *size_;
    QLineEdit *precision_;
    QCheckBox *notEmpty_;
    QCheckBox *autoNumber_;
    QLineEdit *defaultVal_;
    QPushButton *addButton_;
    QPushButton *removeButton_;
    QTableWidget *tableView_;
};
