#include "kit/ShortcutView.h"

#include "kit/OverlayUtil.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QPaintEvent>
#include <QPainter>

#include <cmath>

ShortcutView::ShortcutView(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

QFont ShortcutView::keyFont()
{
    QFont font = QApplication::font();
    font.setPointSizeF(14);
    return font;
}

QFont ShortcutView::subtitleFont()
{
    QFont font = QApplication::font();
    font.setPointSizeF(12);
    return font;
}

QSizeF ShortcutView::subtitleSize() const
{
    if (subtitle_.isEmpty())
        return {};
    return QFontMetricsF(subtitleFont()).size(Qt::TextSingleLine, subtitle_);
}

void ShortcutView::sizeToFit()
{
    const QSizeF key = QFontMetricsF(keyFont()).size(Qt::TextSingleLine, string_);
    double width = key.width() + 18;
    double height = key.height() + arrowLength_ + 8 + 2;
    width = std::max(width, 48.0) + 2;
    if (!subtitle_.isEmpty()) {
        const QSizeF caption = subtitleSize();
        height += caption.height();
        width = std::max(width, caption.width() + 18);
    }
    resize(int(std::ceil(width)), int(std::ceil(height)));
}

void ShortcutView::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    painter.setClipRect(event->rect());
    OverlayUtil::drawOverlayPathInRect(painter, QRectF(rect()), int(arrowLength_));
    // Caption at the bottom, the keys above it, the arrow at the top.
    const QSizeF caption = subtitleSize();
    const QSizeF key = QFontMetricsF(keyFont()).size(Qt::TextSingleLine, string_);
    painter.setPen(OverlayUtil::overlayFontColor());
    painter.setFont(keyFont());
    const double keyX = std::floor((width() - key.width()) * 0.5);
    painter.drawText(QRectF(keyX, height() - caption.height() - 6 - key.height(), key.width(), key.height()),
                     Qt::AlignCenter, string_);
    if (!subtitle_.isEmpty()) {
        painter.setFont(subtitleFont());
        const double captionX = std::floor((width() - caption.width()) * 0.5);
        painter.drawText(QRectF(captionX, height() - 6 - caption.height(), caption.width(), caption.height()),
                         Qt::AlignCenter, subtitle_);
    }
}
