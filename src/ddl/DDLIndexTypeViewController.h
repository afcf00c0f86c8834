#pragma once

#include "ddl/DDLSubViewController.h"

class QRadioButton;

// The index assistant's type page: a normal, unique or (where the database has them) bitmap index,
// kept under "type" as "", "UNIQUE" or "BITMAP".
class DDLIndexTypeViewController : public DDLSubViewController
{
public:
    enum Type { Normal = 0, Unique = 1, Bitmap = 2 };
    DDLIndexTypeViewController();

    void setDdlController(DDLController *controller) override;
    void updateInterface() override;
    bool canContinue() override;
    void selectType(Type type);
    QRadioButton *typeButton(Type type) const { return types_[type]; }

private:
    void update();

    QRadioButton *types_[3];
};
