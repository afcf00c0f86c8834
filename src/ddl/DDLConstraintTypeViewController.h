#pragma once

#include "ddl/DDLSubViewController.h"

class QRadioButton;

// The constraint assistant's type page: unique, primary key, foreign key or (where the database has
// them) check, kept under "type" as "UNIQUE", "PRIMARYKEY", "FOREIGNKEY" or "CONDITIONAL".
class DDLConstraintTypeViewController : public DDLSubViewController
{
public:
    enum Type { Unique = 0, PrimaryKey = 1, ForeignKey = 2, Check = 3 };
    DDLConstraintTypeViewController();

    void setDdlController(DDLController *controller) override;
    void selectType(Type type);
    QRadioButton *typeButton(Type type) const { return types_[type]; }

private:
    void update();

    QRadioButton *types_[4];
};
