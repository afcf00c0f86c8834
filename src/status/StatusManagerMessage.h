#pragma once

#include <QString>

#include <functional>

// One alert waiting to be shown as a sheet on the document window.
struct StatusManagerMessage {
    enum Type : quint64 { Information = 0, Error = 1, ErrorWithChoice = 2 };

    QString title;
    QString message;
    // Button titles of an error with a choice; a null title means no such button.
    QString defaultButton;
    QString alternateButton;
    QString otherButton;
    quint64 messageType = Information;
    // Receives the sheet's return code: 1 default, 0 alternate, -1 other button.
    std::function<void(int)> action;
};
