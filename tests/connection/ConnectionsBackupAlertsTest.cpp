#include "connection/ConnectionsBackupAlerts.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QMainWindow>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>

namespace
{

// Answers the next application-modal message box as soon as it is shown.
void answerNextMessageBox(std::function<void(QMessageBox &)> answer)
{
    auto *timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [timer, answer] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        timer->stop();
        timer->deleteLater();
        answer(*box);
    });
    timer->start(5);
}

QAbstractButton *buttonTitled(QMessageBox &box, const QString &title)
{
    for (QAbstractButton *button : box.buttons()) {
        if (button->text() == title)
            return button;
    }
    return nullptr;
}

} // namespace

TEST(ConnectionsBackupAlerts, ConfirmReportsTheButtonAndTheCheckbox)
{
    ConnectionsBackupAlerts alerts;
    for (const bool import : {true, false}) {
        QString shownText, shownInformative;
        Qt::WindowModality modality = Qt::NonModal;
        answerNextMessageBox([&](QMessageBox &box) {
            shownText = box.text();
            shownInformative = box.informativeText();
            modality = box.windowModality();
            if (!box.checkBox()) {
                ADD_FAILURE() << "no checkbox";
                box.reject();
                return;
            }
            EXPECT_FALSE(box.checkBox()->isChecked());
            EXPECT_EQ(box.checkBox()->text(), "Replace all");
            EXPECT_EQ(static_cast<QAbstractButton *>(box.defaultButton()), buttonTitled(box, "Import"));
            box.checkBox()->setChecked(true);
            buttonTitled(box, import ? "Import" : "Cancel")->click();
        });
        bool checked = false;
        const bool answer =
            alerts.confirm("Question", "Details", "Import", "Cancel", "Replace all", &checked);
        EXPECT_EQ(answer, import);
        EXPECT_TRUE(checked);
        EXPECT_EQ(shownText, "Question");
        EXPECT_EQ(shownInformative, "Details");
        EXPECT_EQ(modality, Qt::ApplicationModal);
    }
}

TEST(ConnectionsBackupAlerts, AlertHasOneOkButton)
{
    ConnectionsBackupAlerts alerts;
    int buttons = 0;
    answerNextMessageBox([&](QMessageBox &box) {
        buttons = int(box.buttons().size());
        buttonTitled(box, "OK")->click();
    });
    alerts.showAlert("Done", "All stored.");
    EXPECT_EQ(buttons, 1);
}

TEST(ConnectionsBackupAlerts, CancelSheetsRejectsWindowModalDialogs)
{
    QMainWindow window;
    window.show();
    auto *sheet = new QDialog(&window);
    sheet->setWindowModality(Qt::WindowModal);
    QSignalSpy rejected(sheet, &QDialog::rejected);
    sheet->open();
    ASSERT_TRUE(sheet->isVisible());

    ConnectionsBackupAlerts().cancelSheets();
    EXPECT_EQ(rejected.count(), 1);
    EXPECT_FALSE(sheet->isVisible());
    EXPECT_TRUE(window.isVisible());
}
