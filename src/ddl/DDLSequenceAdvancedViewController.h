#pragma once

#include "ddl/DDLSubViewController.h"

class QLabel;
class QLineEdit;
class QRadioButton;

// The sequence assistant's settings page: start, increment, minimum, maximum and cache, each left to
// the database or given as a whole number, and cycling. Kept as "<setting>_default" flags and
// "<setting>_value" numbers, "cycle_default" and "cycle_value" ("CYCLE" or "NOCYCLE").
class DDLSequenceAdvancedViewController : public DDLSubViewController
{
public:
    enum Setting { Start, Increment, Min, Max, Cache };
    enum Cycle { CycleDefault, CycleOn, CycleOff };
    DDLSequenceAdvancedViewController();

    void updateInterface() override;
    bool canContinue() override;
    // Why the values cannot be used; empty when they can. Own values must be whole numbers, the
    // increment not 0, the cache at least 1, and minimum <= start <= maximum where they are given.
    static QString problem(const QVariantMap &shared);

    void setOwnValue(Setting setting, const QString &text);
    void setDefault(Setting setting);
    void setCycle(Cycle cycle);
    QLineEdit *valueField(Setting setting) const { return values_[setting]; }

private:
    void update();

    QRadioButton *defaults_[5];
    QRadioButton *owns_[5];
    QLineEdit *values_[5];
    QRadioButton *cycle_[3];
    QLabel *problem_;
};
