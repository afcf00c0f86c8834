#include "resultset/ResultsetRowNumberDelegate.h"

#include <QFontMetrics>
#include <QPainter>

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
    painter->setFont(option.font);
    painter->setPen(option.palette.color(QPalette::PlaceholderText));
    painter->drawText(option.rect.adjusted(leftMargin, 0, -rightMargin, 0), Qt::AlignRight | Qt::AlignVCenter,
                      QString::number(index.row() + 1));
    painter->restore();
}
