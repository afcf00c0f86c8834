#include "resultset/ResultsetHeaderView.h"

#include <QMouseEvent>

#include <cmath>

ResultsetHeaderView::ResultsetHeaderView(QWidget *parent) : QHeaderView(Qt::Horizontal, parent) {}

void ResultsetHeaderView::mousePressEvent(QMouseEvent *event)
{
    const QPointF point = event->position();
    const int column = logicalIndexAt(point.toPoint());
    gesture_ = Gesture::Standard;
    if (event->button() == Qt::LeftButton && column >= 0) {
        const qreal left = sectionViewportPosition(column);
        const qreal right = left + sectionSize(column);
        if (point.x() - left >= edgeMargin && right - point.x() >= edgeMargin) {
            gesture_ = Gesture::Tracking;
            column_ = column;
            start_ = point;
            event->accept();
            return;
        }
    }
    QHeaderView::mousePressEvent(event);
}

void ResultsetHeaderView::mouseMoveEvent(QMouseEvent *event)
{
    if (gesture_ != Gesture::Tracking) {
        QHeaderView::mouseMoveEvent(event);
        return;
    }
    const QPointF moved = event->position() - start_;
    if (std::abs(moved.x()) > dragDistance) {
        // A column move from here on: the standard header takes the gesture from where it started.
        gesture_ = Gesture::Standard;
        QMouseEvent press(QEvent::MouseButtonPress, start_, mapToGlobal(start_), Qt::LeftButton,
                          Qt::LeftButton, event->modifiers());
        QHeaderView::mousePressEvent(&press);
        QHeaderView::mouseMoveEvent(event);
        return;
    }
    if (std::abs(moved.y()) > dragDistance) {
        gesture_ = Gesture::None;
        emit startedVerticalDragForColumn(column_, event->position());
        viewport()->update();
    }
    event->accept();
}

void ResultsetHeaderView::mouseReleaseEvent(QMouseEvent *event)
{
    const Gesture gesture = gesture_;
    gesture_ = Gesture::None;
    if (gesture == Gesture::Tracking) {
        emit didClickTableColumn(column_);
        event->accept();
        return;
    }
    QHeaderView::mouseReleaseEvent(event);
}
