#include "resultset/ResultsetRowNumberDelegate.h"

#include <QAbstractItemView>
#include <QCoreApplication>
#include <QFontMetrics>
#include <QHelpEvent>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QToolTip>

#include <algorithm>

namespace
{
constexpr int leftMargin = 4;
constexpr int rightMargin = 6;
} // namespace

int ResultsetRowNumberDelegate::columnWidth(const QFontMetrics &metrics, qint64 rows, int minimumWidth)
{
    // Digits need not be equally wide: room for the widest one in every place.
    int digitWidth = 0;
    for (QChar digit = u'0'; digit <= u'9'; digit = QChar(digit.unicode() + 1))
        digitWidth = std::max(digitWidth, metrics.horizontalAdvance(digit));
    const int digits = int(QString::number(std::max<qint64>(rows, 1)).size());
    return std::max(minimumWidth, leftMargin + digits * digitWidth + rightMargin);
}

void ResultsetRowNumberDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                                       const QModelIndex &index) const
{
    QStyleOptionViewItem plain = option;
    plain.state &= ~QStyle::State_Selected;
    QStyledItemDelegate::paint(painter, plain, index);
    painter->save();
    if (isEdited(index.row())) {
        // A green block behind the number; its left corners lie outside the cell.
        const QRectF block = QRectF(option.rect).adjusted(-10, 0.5, -0.5, -0.5);
        QPainterPath path;
        path.addRoundedRect(block, 6, 6);
        QLinearGradient fill(block.topLeft(), block.bottomLeft());
        fill.setColorAt(0, QColor::fromRgbF(0.8, 1.0, 0.8, 0.9));
        fill.setColorAt(1, QColor::fromRgbF(0.72, 0.9, 0.72));
        painter->setRenderHint(QPainter::Antialiasing);
        painter->setClipRect(option.rect);
        painter->fillPath(path, fill);
        painter->strokePath(path, QPen(QColor::fromRgbF(0.72, 0.9, 0.72), 1));
    }
    painter->setFont(option.font);
    painter->setPen(option.palette.color(QPalette::PlaceholderText));
    painter->drawText(option.rect.adjusted(leftMargin, 0, -rightMargin, 0), Qt::AlignRight | Qt::AlignVCenter,
                      QString::number(index.row() + 1));
    painter->restore();
}

QString ResultsetRowNumberDelegate::editedToolTip()
{
    return QCoreApplication::translate("resultset",
                                       "Current record has changes that are not sent to the database yet.");
}

bool ResultsetRowNumberDelegate::helpEvent(QHelpEvent *event, QAbstractItemView *view,
                                           const QStyleOptionViewItem &option, const QModelIndex &index)
{
    if (event->type() != QEvent::ToolTip || !index.isValid())
        return QStyledItemDelegate::helpEvent(event, view, option, index);
    if (isEdited(index.row()))
        QToolTip::showText(event->globalPos(), editedToolTip(), view);
    else
        QToolTip::hideText();
    return true;
}
