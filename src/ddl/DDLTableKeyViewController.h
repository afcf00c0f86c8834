#pragma once

#include "ddl/DDLSubViewController.h"

class QCheckBox;
class QListWidget;

// The table assistant's primary-key page: the columns of the key, checked in order, or no key at all.
class DDLTableKeyViewController : public DDLSubViewController
{
public:
    DDLTableKeyViewController();

    void updateInterface() override;
    bool canContinue() override;
    // Checks or unchecks a column of the key (as a click on its box does).
    void setKeyColumn(const QString &column, bool inKey);
    void setDontDefine(bool skip);

    QListWidget *tableView() const { return tableView_; }
    QCheckBox *dontDefine() const { return dontdefine_; }

private:
    QStringList keyColumns_;
    QListWidget *tableView_;
    QCheckBox *dontdefine_;
};
