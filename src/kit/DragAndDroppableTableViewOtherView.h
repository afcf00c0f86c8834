#pragma once

#include <QColor>
#include <QPainterPath>
#include <QWidget>

// Dims the grid around the dragged cells: its path has the cells cut out (even-odd).
class DragAndDroppableTableViewOtherView : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QColor color READ color WRITE setColor)
public:
    explicit DragAndDroppableTableViewOtherView(QWidget *parent = nullptr);
    QColor color() const { return color_; }
    void setColor(const QColor &color);
    QPainterPath path() const { return path_; }
    void setPath(const QPainterPath &path);

    // The whole bounds less one band per dragged row in the dragged column.
    static QPainterPath cutOutPath(const QRectF &bounds, const QRectF &columnRect, const QList<int> &rows,
                                   double rowPitch, const QPointF &scrollDelta);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QColor color_;
    QPainterPath path_;
};
