#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QStringList>
#include <QTimer>

// Answers the application-modal message boxes a test provokes, one button text per box in order,
// and records each box's text.
class ModalAnswerer : public QObject
{
public:
    explicit ModalAnswerer(QStringList answers) : answers_(std::move(answers))
    {
        timer_.setInterval(10);
        QObject::connect(&timer_, &QTimer::timeout, this, [this] { answer(); });
        timer_.start();
    }

    QStringList texts;

private:
    void answer()
    {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box || !box->isVisible() || answers_.isEmpty())
            return;
        for (QAbstractButton *button : box->buttons()) {
            if (button->text() == answers_.first()) {
                texts.append(box->text());
                answers_.removeFirst();
                button->click();
                return;
            }
        }
    }

    QStringList answers_;
    QTimer timer_;
};
