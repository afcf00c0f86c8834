#include "connection/ConnectionsBackupAlerts.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QMessageBox>
#include <QPushButton>

namespace
{

void prepare(QMessageBox &box, const QString &messageText, const QString &informativeText)
{
    box.setWindowModality(Qt::ApplicationModal);
    box.setIcon(QMessageBox::Warning);
    box.setText(messageText);
    box.setInformativeText(informativeText);
}

} // namespace

void ConnectionsBackupAlerts::cancelSheets()
{
    // Sheets are the window-modal dialogs shown on top of a window.
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        auto *dialog = qobject_cast<QDialog *>(widget);
        if (dialog && dialog->isVisible() && dialog->windowModality() == Qt::WindowModal)
            dialog->reject();
    }
}

void ConnectionsBackupAlerts::showAlert(const QString &messageText, const QString &informativeText)
{
    QMessageBox box;
    prepare(box, messageText, informativeText);
    box.addButton(QCoreApplication::translate("connection", "OK"), QMessageBox::AcceptRole);
    box.exec();
}

bool ConnectionsBackupAlerts::confirm(const QString &messageText, const QString &informativeText,
                                      const QString &defaultButton, const QString &otherButton,
                                      const QString &checkboxTitle, bool *checked)
{
    QMessageBox box;
    prepare(box, messageText, informativeText);
    QPushButton *accept = box.addButton(defaultButton, QMessageBox::AcceptRole);
    box.addButton(otherButton, QMessageBox::RejectRole);
    box.setDefaultButton(accept);
    auto *checkbox = new QCheckBox(checkboxTitle, &box);
    checkbox->setChecked(*checked);
    box.setCheckBox(checkbox);
    box.exec();
    *checked = checkbox->isChecked();
    return box.clickedButton() == accept;
}
