#include "connection/GroupRowView.h"

#include "connection/ConnectionListModel.h"

#include <QApplication>
#include <QLinearGradient>
#include <QPainter>

void GroupRowView::paint(QPainter *painter, const QStyleOptionViewItem &option,
                         const QModelIndex &index) const
{
    const auto *model = qobject_cast<const ConnectionListModel *>(index.model());
    if (!model || !model->isHeaderRow(index.row())) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    drawGroupRow(painter, option.rect, index.data(Qt::DisplayRole).toString());
}

void GroupRowView::drawGroupRow(QPainter *painter, const QRectF &bounds, const QString &title)
{
    painter->save();
    painter->setClipRect(bounds);
    painter->fillRect(bounds, QColor::fromRgbF(1, 1, 1, 0.5));
    // Both gradients run from the bottom of the row (location 0) to its top.
    QLinearGradient band(bounds.bottomLeft(), bounds.topLeft());
    band.setColorAt(0, QColor::fromRgbF(0, 0.4, 0, 1));
    band.setColorAt(1, QColor::fromRgbF(77 / 255.0, 144 / 255.0, 80 / 255.0, 0.6));
    painter->fillRect(bounds, band);
    const QRectF inner = bounds.adjusted(1, 1, -1, -1);
    QLinearGradient gloss(inner.bottomLeft(), inner.topLeft());
    gloss.setColorAt(0, QColor::fromRgbF(1, 1, 1, 0.65));
    gloss.setColorAt(0.5, QColor::fromRgbF(1, 1, 1, 0.25));
    gloss.setColorAt(0.51, QColor::fromRgbF(1, 1, 1, 0.15));
    gloss.setColorAt(1, QColor::fromRgbF(1, 1, 1, 0.15));
    painter->fillRect(inner, gloss);
    painter->setFont(QApplication::font());
    painter->setPen(QColor::fromRgbF(1, 1, 0.8, 1));
    painter->drawText(bounds.adjusted(3, 1, -3, 0), Qt::AlignLeft | Qt::AlignVCenter, title.trimmed());
    painter->restore();
}
