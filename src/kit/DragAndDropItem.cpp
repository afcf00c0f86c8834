#include "kit/DragAndDropItem.h"

#include "kit/DragAndDropItemSource.h"
#include "kit/OverlayUtil.h"

#include <QAbstractTextDocumentLayout>
#include <QPainter>
#include <QTextDocument>

#include <cmath>

QPixmap DragAndDropItem::imageForDragAndDropItemSource(const DragAndDropItemSource &source)
{
    return tokenImageForText(source.stringForImage(), source.isAlternate(), minimumWidth, minimumHeight);
}

QSizeF DragAndDropItem::tokenSizeForTextSize(const QSizeF &textSize, float minWidth, float minHeight)
{
    const double height =
        std::max<double>(minHeight, textSize.height() >= 225 ? 237 : textSize.height() + 12);
    const double width = std::max<double>(minWidth, textSize.width() >= 300 ? 322 : textSize.width() + 22);
    return {width, height};
}

QPixmap DragAndDropItem::tokenImageForText(const QString &text, bool negative, float minWidth,
                                           float minHeight)
{
    QTextDocument document;
    document.setDocumentMargin(0);
    if (Qt::mightBeRichText(text))
        document.setHtml(text);
    else
        document.setPlainText(text);
    QTextOption option = document.defaultTextOption();
    option.setWrapMode(QTextOption::NoWrap);
    document.setDefaultTextOption(option);
    const QSizeF textSize = document.size();
    const QSizeF size = tokenSizeForTextSize(textSize, minWidth, minHeight);

    QPixmap token(size.toSize());
    token.fill(Qt::transparent);
    QPainter painter(&token);
    OverlayUtil::drawOverlayPathInRect(painter, QRectF(QPointF(0, 0), size), negative, 0);
    const double y = std::max(std::floor((size.height() - textSize.height()) * 0.5), 6.0);
    painter.translate(11, y);
    painter.setClipRect(QRectF(0, 0, size.width() - 22, size.height() - 12));
    QAbstractTextDocumentLayout::PaintContext context;
    context.palette.setColor(QPalette::Text, OverlayUtil::overlayFontColor());
    document.documentLayout()->draw(&painter, context);
    return token;
}
