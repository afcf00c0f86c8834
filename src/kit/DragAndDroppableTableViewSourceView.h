#pragma once

#include <QColor>
#include <QList>
#include <QWidget>

// Highlights the dragged cells: one rounded block per run of consecutive rows.
class DragAndDroppableTableViewSourceView : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QColor contentColor READ contentColor WRITE setContentColor)
    Q_PROPERTY(QColor borderColor READ borderColor WRITE setBorderColor)
public:
    explicit DragAndDroppableTableViewSourceView(QWidget *parent = nullptr);

    float rowHeight() const { return rowHeight_; }
    void setRowHeight(float height) { rowHeight_ = height; }
    QList<int> rows() const { return rows_; }
    void setRows(const QList<int> &rows) { rows_ = rows; }
    QColor contentColor() const { return contentColor_; }
    void setContentColor(const QColor &color);
    QColor borderColor() const { return borderColor_; }
    void setBorderColor(const QColor &color);

    // The blocks within bounds for sorted rows, each row rowPitch high.
    static QList<QRectF> runRects(const QList<int> &rows, double rowPitch, const QRectF &bounds);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    float rowHeight_ = 0;
    QList<int> rows_;
    QColor contentColor_ = Qt::yellow;
    QColor borderColor_;
};
