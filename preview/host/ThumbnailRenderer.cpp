#include "ThumbnailRenderer.h"

#include <QAbstractTextDocumentLayout>
#include <QPainter>
#include <QTextDocument>

namespace
{

// The page is laid out this wide (device-independent pixels) and scaled to the thumbnail, so that
// every size shows the same stretch of the document.
constexpr qreal pageWidth = 360.0;

} // namespace

QSize ThumbnailRenderer::thumbnailSize(int size)
{
    return QSize(qMax(1, size * 3 / 4), size);
}

QImage ThumbnailRenderer::render(const QString &html, int size)
{
    if (size < 1)
        return QImage();
    QImage image(thumbnailSize(size), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);

    QTextDocument document;
    QFont font(QStringLiteral("Monaco"), 11);
    font.setStyleHint(QFont::Monospace);
    document.setDefaultFont(font);
    document.setDocumentMargin(0);
    document.setHtml(html);
    document.setTextWidth(pageWidth);

    QPainter painter(&image);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing |
                           QPainter::SmoothPixmapTransform);
    const qreal scale = image.width() / pageWidth;
    painter.scale(scale, scale);
    const QRectF page(0, 0, pageWidth, image.height() / scale);
    painter.setClipRect(page);
    QAbstractTextDocumentLayout::PaintContext context;
    context.clip = page;
    document.documentLayout()->draw(&painter, context);
    painter.end();
    return image;
}
