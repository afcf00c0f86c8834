#include "kit/MouseDownActionButton.h"

#include <QMenu>
#include <QMouseEvent>

MouseDownActionButton::MouseDownActionButton(QWidget *parent) : QPushButton(parent) {}

QMenu *MouseDownActionButton::popupMenu()
{
    if (!isEnabled())
        return nullptr;
    QMenu *made = nullptr;
    if (contextMenuDelegate_)
        made = contextMenuDelegate_->generateContextMenu();
    else if (newMenuDelegate_)
        made = newMenuDelegate_->generateNewMenu();
    else
        return menu();
    if (generated_ != made) {
        delete generated_;
        generated_ = made;
        if (made)
            made->setParent(this, made->windowFlags());
    }
    return made;
}

void MouseDownActionButton::mousePressEvent(QMouseEvent *event)
{
    if (!isEnabled() || event->button() != Qt::LeftButton) {
        QPushButton::mousePressEvent(event);
        return;
    }
    if (QMenu *shown = popupMenu()) {
        shown->popup(event->globalPosition().toPoint());
        return;
    }
    emit clicked(false);
}
