#pragma once

#include "connection/Vorn2UpgradePage.h"

class QLabel;

// The page before the import: a summary of what will be imported.
class Vorn2UpgradeTransfer : public Vorn2UpgradePage
{
public:
    Vorn2UpgradeTransfer();
    void setOptionsValue(const QString &text);
    QLabel *options() const { return options_; }

private:
    QLabel *options_;
};
