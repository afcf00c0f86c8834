#pragma once

#include "ddl/DDLSubViewController.h"
#include "ddl/DdlPrimaryKeys.h"

#include <optional>

class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;
class SQLTextView;

// The constraint assistant's details page: the table's columns of the constraint ("columns"), the
// primary key a foreign key refers to ("references": the table, then its key columns), or the check
// condition ("condition"), by the chosen type. Another table starts the lists afresh.
class DDLConstraintDetailsViewController : public DDLSubViewController
{
public:
    DDLConstraintDetailsViewController();

    void updateInterface() override;
    bool canContinue() override;
    void add();
    void remove();
    // Chooses a referred key by its position among the offered ones.
    void chooseReference(int index);

    QLabel *titleMessage() const { return titleMessage_; }
    QListWidget *availableColumnsTable() const { return available_; }
    QListWidget *usedColumnsTable() const { return used_; }
    QComboBox *references() const { return references_; }
    SQLTextView *condition() const { return condition_; }
    QPushButton *addButton() const { return add_; }
    QPushButton *removeButton() const { return remove_; }

private:
    void fillReferences();
    void changed();

    std::optional<QString> columnsSource_;
    QStringList availableColumns_;
    QStringList usedColumns_;
    QList<DdlPrimaryKey> keys_;
    QList<DdlPrimaryKey> offeredKeys_;
    QLabel *titleMessage_;
    QListWidget *available_;
    QListWidget *used_;
    QLabel *usedHeader_;
    QLabel *referenceTitle_;
    QComboBox *references_;
    QLabel *conditionHeader_;
    SQLTextView *condition_;
    QPushButton *add_;
    QPushButton *remove_;
};
