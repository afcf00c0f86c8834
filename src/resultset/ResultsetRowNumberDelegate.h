#pragma once

#include <QStyledItemDelegate>

class QFontMetrics;

// Draws the 1-based row number in the grid's row-number column, whose cells hold no value.
class ResultsetRowNumberDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    // The column width that shows every digit of the row numbers up to rows, never below minimumWidth.
    static int columnWidth(const QFontMetrics &metrics, qint64 rows, int minimumWidth);

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;
};
