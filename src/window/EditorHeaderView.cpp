#include "window/EditorHeaderView.h"

#include "kit/ColorBox.h"

#include <QEvent>
#include <QPaintEvent>
#include <QPainter>

EditorHeaderView::EditorHeaderView(QWidget *parent) : QWidget(parent) {}

void EditorHeaderView::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    painter.setClipRect(event->rect());
    painter.fillRect(rect(), Qt::white);
    painter.setPen(ColorBox::colors().forView(this).paneSubBorder);
    painter.drawLine(0, height() - 1, width(), height() - 1);
}

void EditorHeaderView::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::ActivationChange)
        windowKeyChanged();
    QWidget::changeEvent(event);
}
