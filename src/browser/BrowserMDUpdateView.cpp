#include "browser/BrowserMDUpdateView.h"

#include <QCoreApplication>
#include <QFontMetricsF>
#include <QGraphicsOpacityEffect>
#include <QPainter>
#include <QPropertyAnimation>

#include <algorithm>
#include <cmath>

namespace
{
constexpr int fadeMs = 250;
constexpr int textMargin = 8;
constexpr qreal cornerRadius = 6.0;
} // namespace

BrowserMDUpdateView *BrowserMDUpdateView::instance(QWidget *parent)
{
    auto *badge = new BrowserMDUpdateView(QRect(0, 22, 200, badgeHeight), parent);
    badge->resize(badge->suggestedWidth(), badgeHeight);
    return badge;
}

BrowserMDUpdateView::BrowserMDUpdateView(const QRect &frame, QWidget *parent)
    : QWidget(parent), title_(QCoreApplication::translate("browser", "Connection Info")),
      message_(QCoreApplication::translate("browser", "Updating in the background.")),
      textColor_(QColor::fromRgbF(0.4f, 0.4f, 0.4f)), borderColor_(QColor::fromRgbF(0, 0, 0, 0.2f)),
      backgroundColor_(QColor::fromRgbF(1, 1, 1, 0.9f))
{
    setObjectName(QStringLiteral("BrowserMDUpdateView"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    titleFont_ = font();
    titleFont_.setBold(true);
    messageFont_ = font();
    opacity_ = new QGraphicsOpacityEffect(this);
    opacity_->setOpacity(1.0);
    setGraphicsEffect(opacity_);
    setGeometry(frame);
    updateShape();
}

int BrowserMDUpdateView::suggestedWidth() const
{
    const float title = float(QFontMetricsF(titleFont_).horizontalAdvance(title_));
    const float message = float(QFontMetricsF(messageFont_).horizontalAdvance(message_));
    return int(std::ceil(std::max(title, message))) + 22;
}

qreal BrowserMDUpdateView::alpha() const
{
    return opacity_->opacity();
}

void BrowserMDUpdateView::setAlpha(qreal alpha)
{
    if (fade_)
        fade_->stop();
    opacity_->setOpacity(alpha);
}

void BrowserMDUpdateView::fadeTo(qreal alpha)
{
    if (fade_)
        fade_->stop();
    if (qFuzzyCompare(opacity_->opacity(), alpha))
        return;
    auto *fade = new QPropertyAnimation(opacity_, "opacity", this);
    fade->setDuration(fadeMs);
    fade->setEndValue(alpha);
    fade_ = fade;
    fade->start(QAbstractAnimation::DeleteWhenStopped);
}

void BrowserMDUpdateView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    updateShape();
}

void BrowserMDUpdateView::updateShape()
{
    QPainterPath path;
    path.addRoundedRect(QRectF(rect()).translated(-shapeOffset, shapeOffset), cornerRadius, cornerRadius);
    shape_ = path;
}

void BrowserMDUpdateView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillPath(shape_, backgroundColor_);
    painter.setPen(borderColor_);
    painter.drawPath(shape_.translated(0.5, -0.5));
    painter.setPen(textColor_);
    const int lineHeight = height() / 2;
    painter.setFont(titleFont_);
    painter.drawText(QRect(textMargin, 2, width() - textMargin, lineHeight), Qt::AlignLeft | Qt::AlignVCenter,
                     title_);
    painter.setFont(messageFont_);
    painter.drawText(QRect(textMargin, lineHeight, width() - textMargin, lineHeight - 2),
                     Qt::AlignLeft | Qt::AlignVCenter, message_);
}
