#include "status/StatusManagerAlertSheet.h"

#include "status/StatusManagerMessage.h"

#include <QCoreApplication>
#include <QDialog>
#include <QHash>
#include <QMessageBox>
#include <QPushButton>

bool StatusManagerAlertSheet::windowHasSheet(const QWidget *window)
{
    const auto dialogs = window->findChildren<QDialog *>(Qt::FindDirectChildrenOnly);
    return std::any_of(dialogs.begin(), dialogs.end(), [](const QDialog *dialog) {
        return dialog->isVisible() && dialog->windowModality() != Qt::NonModal;
    });
}

QMessageBox *StatusManagerAlertSheet::begin(QWidget *window, const StatusManagerMessage &message,
                                            std::function<void(QMessageBox *, int)> didEnd)
{
    auto *box = new QMessageBox(window);
    box->setWindowModality(Qt::WindowModal);
    box->setText(message.title);
    box->setInformativeText(message.message);
    box->setIcon(message.messageType == StatusManagerMessage::Information ? QMessageBox::Information
                                                                          : QMessageBox::Critical);
    QHash<QAbstractButton *, int> returnCodes;
    if (message.messageType == StatusManagerMessage::ErrorWithChoice) {
        const struct {
            QString title;
            QMessageBox::ButtonRole role;
            int code;
        } buttons[] = {{message.defaultButton, QMessageBox::AcceptRole, 1},
                       {message.alternateButton, QMessageBox::RejectRole, 0},
                       {message.otherButton, QMessageBox::DestructiveRole, -1}};
        for (const auto &button : buttons) {
            if (!button.title.isNull())
                returnCodes.insert(box->addButton(button.title, button.role), button.code);
        }
    } else {
        returnCodes.insert(
            box->addButton(QCoreApplication::translate("StatusManager", "OK"), QMessageBox::AcceptRole), 1);
    }
    for (auto it = returnCodes.cbegin(); it != returnCodes.cend(); ++it) {
        if (it.value() == 1)
            box->setDefaultButton(qobject_cast<QPushButton *>(it.key()));
        if (it.value() == 0 || returnCodes.size() == 1)
            box->setEscapeButton(it.key());
    }
    QObject::connect(box, &QDialog::finished, box, [box, returnCodes, didEnd = std::move(didEnd)] {
        didEnd(box, returnCodes.value(box->clickedButton(), 0));
        box->deleteLater();
    });
    box->open();
    box->raise();
    box->activateWindow();
    return box;
}
