#include "kit/DocumentAlertSheet.h"

#include <QMessageBox>
#include <QPushButton>

QMessageBox *DocumentAlertSheet::begin(QWidget *window, const QString &message, const QString &informative,
                                       const QStringList &buttons, int cancelIndex,
                                       std::function<void(int index)> answered)
{
    auto *box = new QMessageBox(window);
    box->setWindowModality(window ? Qt::WindowModal : Qt::ApplicationModal);
    box->setIcon(QMessageBox::Warning);
    box->setText(message);
    box->setInformativeText(informative);
    QList<QAbstractButton *> added;
    for (int i = 0; i < buttons.size(); ++i) {
        const auto role = i == cancelIndex ? QMessageBox::RejectRole
                          : i == 0         ? QMessageBox::AcceptRole
                                           : QMessageBox::DestructiveRole;
        added << box->addButton(buttons.at(i), role);
    }
    box->setDefaultButton(qobject_cast<QPushButton *>(added.value(0)));
    box->setEscapeButton(added.value(cancelIndex));
    QObject::connect(box, &QDialog::finished, box, [box, added, cancelIndex, answered = std::move(answered)] {
        box->hide();
        box->deleteLater();
        const int index = int(added.indexOf(box->clickedButton()));
        answered(index < 0 ? cancelIndex : index);
    });
    box->open();
    return box;
}
