#pragma once

#include "connection/Vorn2UpgradePage.h"

#include <QVariantMap>

class QLabel;

// First page of the older-version import: what it does, with the version of this program.
class Vorn2UpgradeIntroduction : public Vorn2UpgradePage
{
public:
    // info: the application's Info.plist values.
    explicit Vorn2UpgradeIntroduction(const QVariantMap &info);
    void updateInterface() override;
    QLabel *version() const { return version_; }
    QLabel *copyright() const { return copyright_; }

private:
    QVariantMap info_;
    QLabel *version_;
    QLabel *copyright_;
};
