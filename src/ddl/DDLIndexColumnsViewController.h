#pragma once

#include "ddl/DDLSubViewController.h"

class QLineEdit;
class QListWidget;
class QPushButton;
class QTableWidget;

// The index assistant's column page: the chosen table's columns, each added ascending or descending,
// and free expressions, kept in order under "columns". Another table starts the lists afresh.
class DDLIndexColumnsViewController : public DDLSubViewController
{
public:
    DDLIndexColumnsViewController();

    void updateInterface() override;
    bool canContinue() override;
    void addAsc() { addColumn(QStringLiteral("ASC")); }
    void addDesc() { addColumn(QStringLiteral("DESC")); }
    void remove();
    void addExpression();

    QListWidget *availableColumnsTable() const { return available_; }
    QTableWidget *usedColumnsTable() const { return used_; }
    QLineEdit *expression() const { return expression_; }
    QPushButton *addAscButton() const { return addAsc_; }
    QPushButton *addDescButton() const { return addDesc_; }
    QPushButton *removeButton() const { return remove_; }
    QPushButton *addExpressionButton() const { return addExpression_; }

private:
    void addColumn(const QString &direction);
    void changed();

    std::optional<QString> columnsSource_;
    QStringList availableColumns_;
    QVariantList usedColumns_;
    QListWidget *available_;
    QTableWidget *used_;
    QLineEdit *expression_;
    QPushButton *addAsc_;
    QPushButton *addDesc_;
    QPushButton *remove_;
    QPushButton *addExpression_;
};
