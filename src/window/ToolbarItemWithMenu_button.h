#pragma once

#include <QPoint>
#include <QToolButton>

// A button that sends its action on a short click and, when held for PressAndHoldMs, asks the
// action's responder for a menu instead: the responder answers
//   Q_INVOKABLE void showButtonMenuForSelector(const QString &action, QWidget *view, QPoint pressed);
class ToolbarItemWithMenu_button : public QToolButton
{
    Q_OBJECT
public:
    static constexpr int PressAndHoldMs = 200;

    explicit ToolbarItemWithMenu_button(QWidget *parent = nullptr);

    QString action() const { return action_; }
    void setAction(const QString &action) { action_ = action; }
    bool mouseIsDown() const { return mouseDown_; }

    void sendAction();
    void showMenu(const QPoint &globalPressPosition);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void decide();

    QString action_;
    bool mouseDown_ = false;
    QPoint pressPosition_;
};
