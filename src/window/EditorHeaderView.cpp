#include "window/EditorHeaderView.h"

#include <QEvent>
#include <QPaintEvent>
#include <QPainter>

EditorHeaderView::EditorHeaderView(QWidget *parent) : QWidget(parent) {}

void EditorHeaderView::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    painter.setClipRect(event->rect());
    painter.fillRect(rect(), Qt::white);
    painter.setPen(isActiveWindow() ? QColor(0xd4, 0xd4, 0xd4) : QColor(0xe2, 0xe2, 0xe2));
    painter.drawLine(0, height() - 1, width(), height() - 1);
}

void EditorHeaderView::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::ActivationChange)
        windowKeyChanged();
    QWidget::changeEvent(event);
}
