#include "kit/LabelImages.h"

#include "kit/ColorBox.h"
#include "kit/Colors.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

QPixmap LabelImages::markForLabel(unsigned label)
{
    const Colors &colors = ColorBox::colors().active();
    if (!Colors::baseColorForTabLabel(label).isValid())
        return {};
    QPixmap image(16, 16);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(colors.innerColorForTabLabel(label));
    painter.setPen(QPen(colors.outerColorForTabLabel(label), 1));
    painter.drawEllipse(QRectF(2, 2, 12, 12));
    return image;
}

QPixmap LabelImages::swatchForLabel(unsigned label)
{
    if (label == 0)
        return {};
    static const QColor colors[] = {{255, 64, 64}, {255, 128, 64},  {255, 255, 64},
                                    {64, 255, 64}, {64, 64, 255},   {255, 64, 255},
                                    {64, 64, 64},  {171, 171, 171}, {255, 255, 255}};
    QColor color = label <= 9 ? colors[label - 1] : colors[0];
    color.setAlphaF(0.5f);
    QPixmap image(18, 18);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath path;
    path.addRoundedRect(QRectF(0, 2, 14, 14), 4, 4);
    painter.fillPath(path.translated(1, 1), QColor::fromRgbF(1.0 / 3, 1.0 / 3, 1.0 / 3, 0.6));
    painter.fillPath(path, QColor::fromRgbF(2.0 / 3, 2.0 / 3, 2.0 / 3));
    QLinearGradient gradient(QPointF(0, 16),
                             QPointF(0, 2)); // the label's colour at the bottom, white at the top
    gradient.setColorAt(0, color);
    gradient.setColorAt(1, Qt::white);
    painter.fillPath(path, gradient);
    return image;
}
