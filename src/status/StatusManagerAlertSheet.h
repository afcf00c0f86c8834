#pragma once

#include <functional>

class QMessageBox;
class QWidget;
struct StatusManagerMessage;

// Alerts of a document shown as window-modal sheets on its window.
class StatusManagerAlertSheet
{
public:
    // True while a sheet is attached to the window.
    static bool windowHasSheet(const QWidget *window);
    // Opens the message as a sheet on the window and returns at once. didEnd receives the sheet
    // and the return code (1 default button or Return, 0 alternate button or Escape, -1 other
    // button); the sheet deletes itself afterwards.
    static QMessageBox *begin(QWidget *window, const StatusManagerMessage &message,
                              std::function<void(QMessageBox *, int)> didEnd);
};
