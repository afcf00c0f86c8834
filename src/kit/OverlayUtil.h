#pragma once

#include <QColor>
#include <QPainterPath>
#include <QRectF>

class QPainter;

// The pale rounded box laid over other content (shortcut labels, drag tokens), optionally with an
// arrow whose tip is the rectangle's top-left corner. Drawn into a rectangle that starts at (0, 0).
class OverlayUtil
{
public:
    static void drawOverlayPathInRect(QPainter &painter, const QRectF &rect, int arrowLength);
    static void drawOverlayPathInRect(QPainter &painter, const QRectF &rect, bool negative, int arrowLength);
    // The box, 2 points in from the left, 2 + arrow points from the top and leaving room for the
    // shadow at the right and bottom.
    static QRectF bodyRect(const QRectF &rect, int arrowLength);
    static QPainterPath overlayPath(const QRectF &rect, int arrowLength);
    static QColor overlayFontColor();
};
