#include "browser/BrowserBottomView.h"

#include "kit/ColorBox.h"

#include <QLinearGradient>
#include <QPaintEvent>
#include <QPainter>

BrowserBottomView::BrowserBottomView(QWidget *parent) : QWidget(parent) {}

QColor BrowserBottomView::borderColor() const
{
    return ColorBox::colors().forView(this).bottomPaneBorder;
}

void BrowserBottomView::windowKeyChanged(bool)
{
    update();
}

void BrowserBottomView::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    painter.setClipRect(event->rect());
    // The gradient runs from the bottom edge up; its first stop lies at the bottom.
    QLinearGradient gradient(0, height(), 0, 0);
    gradient.setStops(ColorBox::colors().forView(this).bottomBarGradient);
    painter.fillRect(rect(), gradient);
    painter.setPen(borderColor());
    painter.drawLine(0, 0, width(), 0);
}
