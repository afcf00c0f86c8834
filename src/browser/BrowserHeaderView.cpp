#include "browser/BrowserHeaderView.h"

#include "kit/ColorBox.h"

#include <QPaintEvent>
#include <QPainter>

BrowserHeaderView::BrowserHeaderView(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

void BrowserHeaderView::setBackgroundColor(const QColor &color)
{
    backgroundColor_ = color;
    update();
}

QColor BrowserHeaderView::borderColor() const
{
    return ColorBox::colors().forView(this).paneSubBorder;
}

void BrowserHeaderView::windowKeyChanged(bool)
{
    update();
}

void BrowserHeaderView::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    painter.setClipRect(event->rect());
    if (backgroundColor_.isValid())
        painter.fillRect(event->rect(), backgroundColor_);
    painter.setPen(borderColor());
    painter.drawLine(0, height() - 1, width(), height() - 1);
}
