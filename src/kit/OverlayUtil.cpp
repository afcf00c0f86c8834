#include "kit/OverlayUtil.h"

#include <QLinearGradient>
#include <QPainter>

QRectF OverlayUtil::bodyRect(const QRectF &rect, int arrowLength)
{
    return {rect.x() + 2, rect.y() + 2 + arrowLength, rect.width() - 6, rect.height() - 6 - arrowLength};
}

QPainterPath OverlayUtil::overlayPath(const QRectF &rect, int arrowLength)
{
    QPainterPath path;
    path.addRoundedRect(bodyRect(rect, arrowLength), 8, 8);
    if (arrowLength > 0) {
        const double top = 2 + arrowLength; // the body's top edge carries the arrow's base
        QPolygonF arrow({{7, top}, {15, top}, {0, 0}, {7, top}});
        path.addPolygon(arrow);
        path.closeSubpath();
        path = path.simplified();
    }
    return path;
}

void OverlayUtil::drawOverlayPathInRect(QPainter &painter, const QRectF &rect, int arrowLength)
{
    drawOverlayPathInRect(painter, rect, false, arrowLength);
}

void OverlayUtil::drawOverlayPathInRect(QPainter &painter, const QRectF &rect, bool negative, int arrowLength)
{
    const QPainterPath path = overlayPath(rect, arrowLength);
    const QColor fill = QColor::fromRgbF(0.9, 1.0, 0.9);
    const QColor start = negative ? QColor::fromRgbF(1.0, 0.9, 0.9) : QColor::fromRgbF(0.9, 1.0, 0.9);
    const QColor outline = negative ? QColor::fromRgbF(0.4, 0.3, 0.3) : QColor::fromRgbF(0.3, 0.4, 0.3);

    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    // Only the fill casts the soft shadow, 2 points right and down.
    for (int blur = 2; blur >= 1; --blur) {
        QColor shadow(Qt::gray);
        shadow.setAlphaF(0.25f);
        painter.fillPath(path.translated(2, 2).translated(blur - 1.5, blur - 1.5), shadow);
    }
    painter.fillPath(path, fill);
    painter.strokePath(path, QPen(outline, 2));
    // The gradient covers the fill and the inner half of the outline: one point of outline shows.
    const QRectF bounds = path.boundingRect();
    QLinearGradient gradient(bounds.bottomLeft(), bounds.topLeft());
    gradient.setColorAt(0, start);
    gradient.setColorAt(1, Qt::white);
    painter.setClipPath(path, Qt::IntersectClip);
    QPainterPathStroker stroker;
    stroker.setWidth(2);
    painter.fillPath(path.subtracted(stroker.createStroke(path)), gradient);
    painter.restore();
}

QColor OverlayUtil::overlayFontColor()
{
    return QColor::fromRgbF(0.1, 0.2, 0.1);
}
