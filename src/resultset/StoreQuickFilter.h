#pragma once

#include <QDialog>
#include <QPointer>

#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;

// The sheet that asks the name under which the current quick filter is stored. A name of white space
// alone is refused in the sheet, which says so and stays open. The sheet goes once it has ended.
class StoreQuickFilter : public QDialog
{
    Q_OBJECT
public:
    explicit StoreQuickFilter(QWidget *parent = nullptr);

    // Runs on the window without blocking; the handler gets 1 for Save and 0 for Cancel.
    void beginSheetOnWindow(QWidget *window, std::function<void(int)> completionHandler);
    void save();
    void cancel();
    // The name as typed.
    QString name() const;

    QLineEdit *textfield() const { return textfield_; }
    QPushButton *saveButton() const { return saveButton_; }
    // Says why a name is refused; hidden otherwise.
    QLabel *notice() const { return notice_; }

    // Whether a stored filter may have this name: not empty, not white space alone.
    static bool isUsableName(const QString &name);
    static QString unusableNameMessage();

private:
    void nameChanged();

    QLineEdit *textfield_;
    QLabel *notice_;
    QPushButton *saveButton_;
    std::function<void(int)> completionHandler_;
};
