#include "transfer/ImportUtils.h"

#include "kit/ColorBox.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QPalette>

QPixmap ImportUtils::imageForLetter(const QString &letter, bool negative)
{
    QFont measured = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    measured.setPointSizeF(8);
    const QSizeF size = QFontMetricsF(measured).size(Qt::TextSingleLine, letter);
    const qreal ratio = qGuiApp ? qGuiApp->devicePixelRatio() : 1;
    QPixmap image(QSize(int(size.width() + 6), int(size.height() + 1)) * ratio);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const unsigned label = negative ? 1 : 4;
    const Colors &colors = ColorBox::colors().active();
    QPainterPath badge;
    badge.addRoundedRect(QRectF(0.5, 0.5, size.width() + 2, size.height() - 3), 2, 2);
    painter.fillPath(badge, colors.innerColorForTabLabel(label));
    painter.setPen(colors.outerColorForTabLabel(label));
    painter.drawPath(badge);
    QFont drawn = measured;
    drawn.setPointSizeF(7);
    painter.setFont(drawn);
    painter.setPen(QGuiApplication::palette().color(QPalette::Text));
    painter.drawText(QRectF(2, 0, size.width(), size.height() - 3), Qt::AlignLeft | Qt::AlignVCenter, letter);
    return image;
}
