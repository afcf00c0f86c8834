#pragma once

#include <QStyledItemDelegate>

// Draws the 1-based row number in the grid's row-number column, whose cells hold no value.
class ResultsetRowNumberDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;
};
