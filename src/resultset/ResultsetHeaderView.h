#pragma once

#include <QHeaderView>
#include <QPointF>

// The grid's column header, which tells three gestures on a column apart: a plain click (reported as a
// click on the column), a horizontal drag (a column move, left to the standard header) and a vertical
// drag (reported, for the grid to drag the column out). Presses near a column's edge stay with the
// standard header, which resizes the column.
class ResultsetHeaderView : public QHeaderView
{
    Q_OBJECT
public:
    // Presses closer than this to a column's edge resize it.
    static constexpr qreal edgeMargin = 6;
    // A drag further than this in x moves the column, in y drags it out.
    static constexpr qreal dragDistance = 3;

    explicit ResultsetHeaderView(QWidget *parent = nullptr);

signals:
    void startedVerticalDragForColumn(int logicalIndex, QPointF position);
    void didClickTableColumn(int logicalIndex);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    enum class Gesture { None, Tracking, Standard };
    Gesture gesture_ = Gesture::None;
    int column_ = -1;
    QPointF start_;
};
