#pragma once

#include "ddl/DDLSubViewController.h"
#include "ddl/DdlPrimaryKeys.h"

#include <optional>

class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;

// The table assistant's constraint page: foreign keys to a one-column primary key of the schema, unique
// columns and check conditions, kept under "constraints".
class DDLTableConstraintViewController : public DDLSubViewController
{
public:
    enum Type { ForeignKey = 0, Unique = 1, Check = 2 };
    DDLTableConstraintViewController();

    void updateInterface() override;
    void add();
    void remove();
    void selectType(Type type);
    Type selectedType() const;
    bool typeEnabled(Type type) const;

    QLineEdit *constraintName() const { return constraintName_; }
    QComboBox *columns() const { return columns_; }
    QComboBox *refers() const { return refers_; }
    QLineEdit *condition() const { return condition_; }
    QPushButton *addButton() const { return add_; }
    QPushButton *removeButton() const { return remove_; }
    QListWidget *tableView() const { return tableView_; }

private:
    void fillReferredKeys();
    void updateControls();

    // Taken once per run, when the page first shows.
    std::optional<QList<DdlPrimaryKey>> otherPrimaryKeys_;
    QLineEdit *constraintName_;
    QComboBox *columns_;
    QComboBox *refers_;
    QLineEdit *condition_;
    QRadioButton *types_[3];
    QPushButton *add_;
    QPushButton *remove_;
    QListWidget *tableView_;
};
