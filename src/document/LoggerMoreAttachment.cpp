#include "document/LoggerMoreAttachment.h"

#include <QCoreApplication>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

LoggerMoreAttachment::LoggerMoreAttachment(const QString &hiddenText, const QFont &font, bool error)
    : text_(hiddenText), error_(error),
      image_(imageForText(QCoreApplication::translate("logger", "more..."), font))
{
}

QImage LoggerMoreAttachment::imageForText(const QString &text, const QFont &font)
{
    const QFontMetricsF metrics(font);
    const qreal width = metrics.horizontalAdvance(text);
    const qreal height = metrics.height();
    QImage image(QSize(qCeil(width + 11.0), qCeil(height)), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QColor colour = QColor::fromRgbF(0.6f, 0.8f, 0.6f, 1.0f);
    QPainterPath badge;
    badge.addRoundedRect(QRectF(5.0, 0.5, width + 5.0, height - 1.0), 3.0, 3.0);
    QColor fill = colour;
    fill.setAlphaF(0.1f);
    painter.fillPath(badge, fill);
    painter.setPen(QPen(colour, 0));
    painter.drawPath(badge);
    painter.setFont(font);
    painter.setPen(QColor::fromRgbF(0.2f, 0.4f, 0.2f));
    painter.drawText(QPointF(8.0, metrics.ascent()), text);
    return image;
}
