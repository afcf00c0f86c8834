#pragma once

#include <QString>

// What the backup export and import ask of the user: application-modal alerts. The widget
// implementation shows message boxes; tests answer in code.
class ConnectionsBackupPrompt
{
public:
    virtual ~ConnectionsBackupPrompt() = default;

    // Cancels every sheet attached to one of the application's windows.
    virtual void cancelSheets() = 0;
    // An alert with a single "OK" button.
    virtual void showAlert(const QString &messageText, const QString &informativeText) = 0;
    // An alert with a default and another button and one checkbox (off at first). True when the
    // default button was chosen; *checked then holds the checkbox's state.
    virtual bool confirm(const QString &messageText, const QString &informativeText,
                         const QString &defaultButton, const QString &otherButton,
                         const QString &checkboxTitle, bool *checked) = 0;
};
