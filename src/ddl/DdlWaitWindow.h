#pragma once

#include <QDialog>

// The small sheet shown while a truncate or drop runs: a bold title, a message and a spinner. The user
// cannot close it; the controller ends it when the work is done.
class DdlWaitWindow : public QDialog
{
    Q_OBJECT
public:
    DdlWaitWindow(QWidget *window, const QString &title, const QString &message);

    // Closes the sheet and lets it go; the only way it closes.
    void end();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    bool ending_ = false;
};
