#include "kit/DragAndDroppableTableViewSourceView.h"

#include <QPaintEvent>
#include <QPainter>
#include <QPainterPath>

DragAndDroppableTableViewSourceView::DragAndDroppableTableViewSourceView(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void DragAndDroppableTableViewSourceView::setContentColor(const QColor &color)
{
    contentColor_ = color;
    update();
}

void DragAndDroppableTableViewSourceView::setBorderColor(const QColor &color)
{
    borderColor_ = color;
    update();
}

QList<QRectF> DragAndDroppableTableViewSourceView::runRects(const QList<int> &rows, double rowPitch,
                                                            const QRectF &bounds)
{
    QList<QRectF> rects;
    if (rows.isEmpty())
        return rects;
    const QRectF base = bounds.adjusted(1, 1, -1, -1);
    const int first = rows.first();
    for (qsizetype i = 0; i < rows.size();) {
        const int start = rows.at(i);
        qsizetype end = i + 1;
        while (end < rows.size() && rows.at(end) == rows.at(end - 1) + 1)
            ++end;
        const double count = double(end - i);
        double y = (start - first) * rowPitch + 1;
        double height = rowPitch * count;
        if (start == 0) {
            y += 2;
            height -= 2;
        }
        rects << QRectF(base.x(), y, base.width(), height);
        i = end;
    }
    return rects;
}

void DragAndDroppableTableViewSourceView::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    painter.setClipRect(event->rect());
    painter.setRenderHint(QPainter::Antialiasing);
    for (const QRectF &run : runRects(rows_, rowHeight_, rect())) {
        QPainterPath block;
        block.addRoundedRect(run, rowHeight_ * 0.25, rowHeight_ * 0.25);
        painter.fillPath(block, contentColor_);
        painter.strokePath(block, QPen(borderColor_, 1));
    }
}
