#include "window/ToolbarItemWithMenu_button.h"

#include "kit/CommandRouter.h"
#include "window/WindowLog.h"

#include <QMouseEvent>
#include <QPointer>
#include <QTimer>

ToolbarItemWithMenu_button::ToolbarItemWithMenu_button(QWidget *parent) : QToolButton(parent)
{
    setToolButtonStyle(Qt::ToolButtonIconOnly);
    setAutoRaise(true);
    setText(QString());
}

void ToolbarItemWithMenu_button::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        QToolButton::mousePressEvent(event);
        return;
    }
    // The platform's own click tracking is not run: the decision comes after the hold time.
    setDown(true);
    mouseDown_ = true;
    pressPosition_ = event->globalPosition().toPoint();
    QTimer::singleShot(PressAndHoldMs, this, &ToolbarItemWithMenu_button::decide);
}

void ToolbarItemWithMenu_button::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        QToolButton::mouseReleaseEvent(event);
        return;
    }
    if (mouseDown_) {
        mouseDown_ = false;
        setDown(false);
    }
}

void ToolbarItemWithMenu_button::decide()
{
    if (!mouseDown_) {
        sendAction();
        return;
    }
    showMenu(pressPosition_);
    mouseDown_ = false;
    setDown(false);
}

void ToolbarItemWithMenu_button::sendAction()
{
    QObject *target = CommandRouter::shared().targetForAction(action_, window());
    if (!target)
        return;
    QPointer<QObject> guardedTarget(target);
    QPointer<ToolbarItemWithMenu_button> self(this);
    QTimer::singleShot(0, this, [guardedTarget, self] {
        if (guardedTarget && self)
            CommandRouter::perform(guardedTarget, self->action_, self);
    });
}

void ToolbarItemWithMenu_button::showMenu(const QPoint &globalPressPosition)
{
    QObject *target = CommandRouter::shared().targetForAction(action_, window());
    if (!target)
        return;
    if (target->metaObject()->indexOfMethod("showButtonMenuForSelector(QString,QWidget*,QPoint)") >= 0) {
        QMetaObject::invokeMethod(target, "showButtonMenuForSelector", Qt::DirectConnection,
                                  Q_ARG(QString, action_), Q_ARG(QWidget *, this),
                                  Q_ARG(QPoint, globalPressPosition));
        return;
    }
    qCWarning(lcWindow, "%s has no showButtonMenuForSelector(QString,QWidget*,QPoint) for the held button",
              target->metaObject()->className());
}
