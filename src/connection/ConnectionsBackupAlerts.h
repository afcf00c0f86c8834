#pragma once

#include "connection/ConnectionsBackupPrompt.h"

// The backup's questions and reports as application-modal message boxes.
class ConnectionsBackupAlerts : public ConnectionsBackupPrompt
{
public:
    void cancelSheets() override;
    void showAlert(const QString &messageText, const QString &informativeText) override;
    bool confirm(const QString &messageText, const QString &informativeText, const QString &defaultButton,
                 const QString &otherButton, const QString &checkboxTitle, bool *checked) override;
};
