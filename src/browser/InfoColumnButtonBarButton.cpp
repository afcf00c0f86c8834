#include "browser/InfoColumnButtonBarButton.h"

#include "browser/InfoButtonImages.h"
#include "kit/AdvancedWindow.h"

#include <QPainter>

const QColor InfoColumnButtonBarButton::tint = QColor::fromRgbF(0.4, 215.0 / 255.0, 0.4, 0.75);

InfoColumnButtonBarButton::InfoColumnButtonBarButton(qint64 type, QWidget *parent)
    : QAbstractButton(parent), tag_(type)
{
    setObjectName(InfoButtonImages::imageName(type));
    setCheckable(true);
    setFocusPolicy(Qt::NoFocus);
    setGeometry(0, 0, buttonWidth, buttonHeight);
}

double InfoColumnButtonBarButton::opacity(bool windowActive, bool on)
{
    return (on ? 1.0 : 0.5) * (windowActive ? 1.0 : 0.5);
}

void InfoColumnButtonBarButton::paintEvent(QPaintEvent *)
{
    const qreal ratio = devicePixelRatioF();
    QPixmap image = InfoButtonImages::image(objectName(), ratio);
    if (isChecked()) {
        QPainter tinting(&image);
        tinting.setCompositionMode(QPainter::CompositionMode_SourceAtop);
        tinting.fillRect(QRectF(0, 0, buttonWidth, buttonHeight), tint);
    }
    QPainter painter(this);
    painter.setOpacity(opacity(AdvancedWindow::viewShouldDrawAsActive(this), isChecked()));
    painter.drawPixmap(QPointF(0, 0), image);
}
