#include "kit/LabeledTextField.h"

#include "kit/AdvancedWindow.h"
#include "kit/ColorBox.h"

#include <QPainter>
#include <QPainterPath>

LabeledTextField::LabeledTextField(QWidget *parent) : QLabel(parent)
{
    setAttribute(Qt::WA_TranslucentBackground);
}

void LabeledTextField::setLabel(unsigned label)
{
    label_ = label;
    update();
}

void LabeledTextField::windowKeyChanged(bool)
{
    update();
}

QRectF LabeledTextField::titleRectForBounds(const QRectF &bounds, unsigned label)
{
    if (label == 0)
        return bounds;
    return bounds.adjusted(paddingWidth, paddingHeight, -paddingWidth, -paddingHeight);
}

float LabeledTextField::bezelWidth(float textWidth, float maximum)
{
    return std::min(textWidth + 2 * paddingWidth, maximum);
}

float LabeledTextField::bezelHeight(float textHeight, float maximum)
{
    return std::min(textHeight + 2 * paddingHeight, maximum);
}

QSizeF LabeledTextField::cellSizeForBounds(const QSizeF &bounds, const QSizeF &textSize)
{
    return {std::min<qreal>(bounds.width(), textSize.width() + 2 * paddingWidth),
            textSize.height() + 2 * paddingHeight};
}

QSizeF LabeledTextField::textSize() const
{
    return fontMetrics().size(Qt::TextSingleLine, text());
}

QSize LabeledTextField::sizeHint() const
{
    const QSizeF size = cellSizeForBounds(QSizeF(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX), textSize());
    return QSize(qCeil(size.width()), qCeil(size.height()));
}

QSize LabeledTextField::minimumSizeHint() const
{
    return {0, sizeHint().height()};
}

void LabeledTextField::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QRectF frame = rect();
    const bool active = AdvancedWindow::viewShouldDrawAsActive(this);
    if (label_ != 0) {
        const Colors &colors = active ? ColorBox::colors().active() : ColorBox::colors().inactive();
        const QSizeF text = textSize();
        QRectF badge(frame.topLeft(), QSizeF(bezelWidth(text.width(), frame.width()),
                                             bezelHeight(text.height(), frame.height())));
        badge.adjust(0.5, 0.5, -0.5, -0.5);
        painter.setRenderHint(QPainter::Antialiasing);
        QPainterPath path;
        path.addRoundedRect(badge, 3, 3);
        painter.fillPath(path, colors.innerColorForTabLabel(label_));
        painter.strokePath(path, QPen(colors.outerColorForTabLabel(label_), 1));
    }
    painter.setPen(palette().color(active ? QPalette::Active : QPalette::Inactive, QPalette::WindowText));
    painter.drawText(
        titleRectForBounds(frame, label_), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
        fontMetrics().elidedText(text(), Qt::ElideRight, int(titleRectForBounds(frame, label_).width())));
}
