#include "document/StatusManagerButtonCell.h"

#include <QPainter>

StatusManagerButtonCell::StatusManagerButtonCell(QWidget *parent) : QToolButton(parent)
{
    setToolButtonStyle(Qt::ToolButtonIconOnly);
    setAutoRaise(true);
    setFocusPolicy(Qt::NoFocus);
}

void StatusManagerButtonCell::paintEvent(QPaintEvent *)
{
    const QPixmap image = icon().pixmap(iconSize());
    if (image.isNull())
        return;
    // A template image: only its shape counts, filled with the text colour.
    QPixmap tinted(image.size());
    tinted.setDevicePixelRatio(image.devicePixelRatio());
    tinted.fill(Qt::transparent);
    {
        QPainter tint(&tinted);
        tint.drawPixmap(0, 0, image);
        tint.setCompositionMode(QPainter::CompositionMode_SourceIn);
        tint.fillRect(tinted.rect(), palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled,
                                                     QPalette::WindowText));
    }
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    if (isDown())
        painter.setOpacity(0.55);
    const QSizeF size = iconSize();
    QRectF target(QPointF((width() - size.width()) / 2.0, (height() - size.height()) / 2.0 + 1.0), size);
    painter.drawPixmap(target.adjusted(-1, -1, 1, 1), tinted, QRectF(tinted.rect()));
}
