#include "kit/TableRowRulerView.h"

#include <QApplication>
#include <QFontDatabase>
#include <QHeaderView>
#include <QLinearGradient>
#include <QPaintEvent>
#include <QPainter>
#include <QPainterPath>
#include <QTableView>

namespace
{

QColor white(double value, double alpha = 1.0)
{
    return QColor::fromRgbF(value, value, value, alpha);
}

QFont smallFont(double shrink)
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::SmallestReadableFont);
    font.setPointSizeF(std::max(6.0, QApplication::font().pointSizeF() - 2 - shrink));
    font.setWeight(QFont::Light);
    return font;
}

void fillWithGradient(QPainter &painter, const QPainterPath &path, const QGradientStops &stops)
{
    const QRectF bounds = path.boundingRect();
    QLinearGradient gradient(bounds.bottomLeft(), bounds.topLeft()); // bottom to top
    gradient.setStops(stops);
    painter.fillPath(path, gradient);
}

} // namespace

TableRowRulerView::TableRowRulerView(QWidget *parent) : QWidget(parent)
{
    font_ = smallFont(0);
    smallerFont_ = smallFont(2);
    textColor_ = white(0.22);
    backgroundGradient_ = {{0.0, white(1.0)}, {0.25, white(1.0, 0.5)}, {1.0, white(1.0, 0.0)}};
    backgroundColor_ = Qt::white;
    blockGradient_ = {{0.0, white(1.0)}, {1.0, white(0.9)}};
    blockBorder_ = white(0.9);
    editedBlockGradient_ = {{0.0, QColor::fromRgbF(0.8, 1.0, 0.8, 0.9)},
                            {1.0, QColor::fromRgbF(0.72, 0.9, 0.72)}};
    editedBlockBorder_ = QColor::fromRgbF(0.72, 0.9, 0.72);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setWindowOpacity(0.85);
}

QTableView *TableRowRulerView::tableView() const
{
    return tableView_;
}

void TableRowRulerView::setTableView(QTableView *tableView)
{
    tableView_ = tableView;
    update();
}

double TableRowRulerView::yinset() const
{
    if (!tableView_ || tableView_->horizontalHeader()->isHidden())
        return 0;
    return tableView_->horizontalHeader()->height();
}

void TableRowRulerView::setSelected(qint64 row, bool isEdited)
{
    if (row != selectedRow_ || isEdited != selectedRowIsEdited_) {
        selectedRow_ = row;
        selectedRowIsEdited_ = isEdited;
        update();
    }
    if (isEdited)
        setToolTip(QCoreApplication::translate(
            "resultset", "Current record has changes that are not sent to the database yet."));
    else
        setToolTip({});
}

QString TableRowRulerView::labelForRow(qint64 row)
{
    return QString::number(row + 1);
}

QRectF TableRowRulerView::blockRectForRow(int row) const
{
    if (!tableView_)
        return {};
    // Follows the grid's scrolling exactly, also by fractions of a row.
    const QPoint origin = tableView_->viewport()->mapTo(parentWidget() ? parentWidget() : tableView_.data(),
                                                        QPoint(0, tableView_->rowViewportPosition(row)));
    const double top = origin.y() - y();
    return QRectF(-10, top, width(), tableView_->rowHeight(row));
}

void TableRowRulerView::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    painter.setClipRect(event->rect());
    painter.setOpacity(0.85);
    QLinearGradient strip(QPointF(width() - 14, 0), QPointF(width(), 0));
    strip.setStops(backgroundGradient_);
    painter.fillRect(QRectF(width() - 14, 0, 14, height()), strip);
    painter.fillRect(QRectF(0, 0, width() - 14, height()), backgroundColor_);
    if (!tableView_ || !tableView_->model())
        return;
    painter.setRenderHint(QPainter::Antialiasing);
    const int rows = tableView_->model()->rowCount();
    int first = tableView_->rowAt(0);
    int last = tableView_->rowAt(tableView_->viewport()->height() - 1);
    if (first < 0)
        first = rows > 0 ? 0 : -1;
    if (last < 0)
        last = rows - 1;
    for (int row = first; row >= 0 && row <= last; ++row) {
        const QRectF block = blockRectForRow(row);
        QPainterPath path;
        path.addRoundedRect(block.adjusted(0, -1, 0, -1), 6, 6);
        const bool edited = row == selectedRow_ && selectedRowIsEdited_;
        fillWithGradient(painter, path, edited ? editedBlockGradient_ : blockGradient_);
        painter.strokePath(path, QPen(edited ? editedBlockBorder_ : blockBorder_, 1));
        const QFont font = fontForRow(row);
        painter.setFont(font);
        painter.setPen(textColor_);
        const QString label = labelForRow(row);
        const double labelWidth = QFontMetricsF(font).horizontalAdvance(label);
        painter.drawText(QRectF(width() - labelWidth - 14, block.y() - 1, labelWidth + 2, block.height()),
                         Qt::AlignLeft | Qt::AlignVCenter, label);
    }
    // The cap over the grid's header.
    if (yinset() > 0) {
        QPainterPath cap;
        cap.addRect(QRectF(-10, -0.5, width() + 10, yinset()));
        fillWithGradient(painter, cap, blockGradient_);
        painter.strokePath(cap, QPen(palette().color(QPalette::Mid), 0.5));
    }
}
