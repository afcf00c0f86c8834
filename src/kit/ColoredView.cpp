#include "kit/ColoredView.h"

#include <QPaintEvent>
#include <QPainter>

ColoredView::ColoredView(QWidget *parent) : QWidget(parent) {}

ColoredView *ColoredView::viewWithColor(const QColor &color)
{
    auto *view = new ColoredView;
    view->setGeometry(0, 0, 10, 10);
    view->setColor(color);
    return view;
}

void ColoredView::setColor(const QColor &color)
{
    color_ = color;
    update();
}

void ColoredView::paintEvent(QPaintEvent *event)
{
    QPainter(this).fillRect(event->rect(), color_);
}
