#pragma once

#include "connection/Vorn2UpgradePage.h"

class QLabel;
class QProgressBar;

// The last page: progress while the import runs, then the finished message.
class Vorn2UpgradeFinish : public Vorn2UpgradePage
{
public:
    Vorn2UpgradeFinish();
    void start();
    // Shows the finished message, telling how many passwords the keyring refused.
    void stop(int unstoredPasswords);
    QProgressBar *progress() const { return progress_; }
    QLabel *status() const { return status_; }
    QLabel *finishedMessage() const { return finishedMessage_; }

private:
    QProgressBar *progress_;
    QLabel *status_;
    QLabel *finishedMessage_;
};
