#include "document/LoggerHeaderView.h"

#include "kit/AdvancedWindow.h"
#include "kit/ColorBox.h"

#include <QPaintEvent>
#include <QPainter>
#include <QPainterPath>

LoggerHeaderView::LoggerHeaderView(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_TranslucentBackground);
}

void LoggerHeaderView::windowKeyChanged(bool)
{
    update();
}

void LoggerHeaderView::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    painter.setClipRect(event->rect());
    painter.setRenderHint(QPainter::Antialiasing);
    // Larger than the view up and to the right, so that only the left and bottom edges show.
    QPainterPath panel;
    panel.addRoundedRect(QRectF(0.5, height() - 0.5 - (height() + 10.0), width() + 10.0, height() + 10.0),
                         3.0, 3.0);
    painter.fillPath(panel, QColor(255, 255, 255, 128));
    ColorBox &box = ColorBox::colors();
    const Colors &colours = AdvancedWindow::viewShouldDrawAsActive(this) ? box.active() : box.inactive();
    painter.setPen(QPen(colours.textViewButtonBorder, 1.0));
    painter.drawPath(panel);
}
