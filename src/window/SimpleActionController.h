#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

// The model of the text-and-button pane: a message and one button with its action. The
// document fills it; a null text or title counts as unset.
class SimpleActionController
{
public:
    QString action() const { return action_; }
    void setAction(const QString &action) { action_ = action; }
    // Receiver of the action; none sends it along the command chain.
    QObject *target() const { return target_; }
    void setTarget(QObject *target) { target_ = target; }
    QString buttonTitle() const { return buttonTitle_; }
    void setButtonTitle(const QString &title) { buttonTitle_ = title; }
    QString text() const { return text_; }
    void setText(const QString &text) { text_ = text; }

private:
    QString action_;
    QPointer<QObject> target_;
    QString buttonTitle_;
    QString text_;
};
