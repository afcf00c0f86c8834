#pragma once

#include <QColor>
#include <QFont>
#include <QGradientStops>
#include <QPointer>
#include <QWidget>

class QTableView;

// The 1-based number of every visible grid row in a rounded block beside the row; the row whose
// record has unsent edits is marked green. Laid over the grid's left edge.
class TableRowRulerView : public QWidget
{
    Q_OBJECT
public:
    explicit TableRowRulerView(QWidget *parent = nullptr);

    QTableView *tableView() const;
    void setTableView(QTableView *tableView);
    void setSelected(qint64 row, bool isEdited);
    qint64 selectedRow() const { return selectedRow_; }
    bool selectedRowIsEdited() const { return selectedRowIsEdited_; }
    double yinset() const;

    static QString labelForRow(qint64 row);
    // Numbers from 1000 on are drawn smaller, so they fit the same width.
    static bool usesSmallerFont(qint64 row) { return row >= 999; }
    QFont fontForRow(qint64 row) const { return usesSmallerFont(row) ? smallerFont_ : font_; }
    // The block of a row in the ruler's coordinates, and the rectangle its number is drawn in.
    QRectF blockRectForRow(int row) const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QPointer<QTableView> tableView_;
    QFont font_;
    QFont smallerFont_;
    QColor textColor_;
    QGradientStops backgroundGradient_;
    QColor backgroundColor_;
    QGradientStops blockGradient_;
    QColor blockBorder_;
    QGradientStops editedBlockGradient_;
    QColor editedBlockBorder_;
    qint64 selectedRow_ = -1;
    bool selectedRowIsEdited_ = false;
};
