#include "kit/DragAndDroppableTableViewOtherView.h"

#include <QPaintEvent>
#include <QPainter>

DragAndDroppableTableViewOtherView::DragAndDroppableTableViewOtherView(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void DragAndDroppableTableViewOtherView::setColor(const QColor &color)
{
    color_ = color;
    update();
}

void DragAndDroppableTableViewOtherView::setPath(const QPainterPath &path)
{
    path_ = path;
    path_.setFillRule(Qt::OddEvenFill);
    update();
}

QPainterPath DragAndDroppableTableViewOtherView::cutOutPath(const QRectF &bounds, const QRectF &columnRect,
                                                            const QList<int> &rows, double rowPitch,
                                                            const QPointF &scrollDelta)
{
    QPainterPath path;
    path.setFillRule(Qt::OddEvenFill);
    path.addRect(bounds);
    for (int row : rows)
        path.addRect(QRectF(columnRect.x() - scrollDelta.x(), row * rowPitch + 1 - scrollDelta.y(),
                            columnRect.width(), rowPitch));
    return path;
}

void DragAndDroppableTableViewOtherView::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    painter.setClipRect(event->rect());
    painter.fillPath(path_, color_);
}
