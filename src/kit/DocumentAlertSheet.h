#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class QMessageBox;
class QWidget;

// A question asked as a window-modal sheet on a document window (application-modal without one).
// The first button is the default; Escape and closing the sheet choose the cancel button, so a key
// press never commits, rolls back or stops anything. Opens and returns at once.
class DocumentAlertSheet
{
public:
    static QMessageBox *begin(QWidget *window, const QString &message, const QString &informative,
                              const QStringList &buttons, int cancelIndex,
                              std::function<void(int index)> answered);
};
