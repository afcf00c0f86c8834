#pragma once

#include <QStyledItemDelegate>

// Paints the header rows of the connection list: a green band over the full row with the group's
// title in pale yellow. Other rows are painted as usual.
class GroupRowView : public QStyledItemDelegate
{
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;
    // Draws one header row with the title. Header rows float over the rows below them while the
    // list scrolls, so their band is translucent at the top.
    static void drawGroupRow(QPainter *painter, const QRectF &bounds, const QString &title);
};
