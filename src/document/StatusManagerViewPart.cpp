#include "document/StatusManagerViewPart.h"

#include "document/StatusManagerButtonCell.h"
#include "kit/ImageUtil.h"

#include <QLabel>
#include <QPaintEvent>
#include <QPainter>
#include <QPainterPath>
#include <QTimer>

namespace
{

constexpr int partHeight = 21;
constexpr int textPadding = 4;

// The small spinning indicator of a busy part.
class Spinner : public QWidget
{
public:
    explicit Spinner(QWidget *parent) : QWidget(parent)
    {
        resize(10, 10);
        timer_.setInterval(80);
        connect(&timer_, &QTimer::timeout, this, [this] {
            step_ = (step_ + 1) % 12;
            update();
        });
        timer_.start();
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.translate(width() / 2.0, height() / 2.0);
        const qreal radius = std::min(width(), height()) / 2.0;
        for (int i = 0; i < 12; ++i) {
            QColor colour = palette().color(QPalette::WindowText);
            colour.setAlphaF(0.15 + 0.85 * ((i - step_ + 12) % 12) / 11.0);
            painter.setPen(QPen(colour, 1.2, Qt::SolidLine, Qt::RoundCap));
            painter.drawLine(QPointF(0, -radius * 0.45), QPointF(0, -radius));
            painter.rotate(30);
        }
    }

private:
    QTimer timer_;
    int step_ = 0;
};

} // namespace

StatusManagerViewPart::StatusManagerViewPart(QWidget *parent) : QWidget(parent)
{
    setGeometry(0, 0, 20, partHeight);
}

void StatusManagerViewPart::setRightAligned(bool rightAligned)
{
    rightAligned_ = rightAligned;
    update();
}

void StatusManagerViewPart::setHeightend(bool heightend)
{
    heightend_ = heightend;
    update();
}

QString StatusManagerViewPart::text() const
{
    return textField_ ? textField_->text() : QString();
}

void StatusManagerViewPart::setText(const QString &text)
{
    Q_ASSERT_X(!text.isNull(), "StatusManagerViewPart::setText", "text should not be null");
    if (!textField_) {
        textField_ = new QLabel(this);
        QFont font = textField_->font();
        font.setPointSizeF(font.pointSizeF() * 0.85);
        textField_->setFont(font);
        textField_->setAutoFillBackground(false);
        // Neighbouring parts overlap a few points and tabs are drawn shifted: the text keeps clear of both.
        textField_->setContentsMargins(textPadding, 0, textPadding, 0);
        textField_->show();
    }
    textField_->setText(text);
    textField_->adjustSize();
    layoutContent();
}

void StatusManagerViewPart::layoutContent()
{
    const int labelWidth = textField_->width();
    int width = labelWidth + 8;
    int labelX = rightAligned_ ? 6 : 4;
    if (iconField_) {
        labelX += 16;
        width += 16;
    }
    if (busy_) {
        progressField_->move(labelWidth + labelX, 2);
        width = labelWidth + 28;
    }
    if (buttonField_ && !buttonField_->isHidden()) {
        labelX += 20;
        if (progressField_)
            progressField_->move(labelWidth + labelX, 2);
        width = labelWidth + 28 + (busy_ ? 20 : 0);
        buttonField_->setGeometry(8, 0, 20, 20);
    }
    textField_->move(labelX, (partHeight - textField_->height()) / 2);
    const QRect old = geometry();
    const int x = rightAligned_ ? old.x() : old.x() + old.width() - width;
    setGeometry(x, old.y(), width, partHeight);
}

void StatusManagerViewPart::setIcon(const QPixmap &icon)
{
    if (!iconField_) {
        iconField_ = new QLabel(this);
        iconField_->setGeometry(5, 3, 14, 14);
        iconField_->setScaledContents(false);
        iconField_->setAlignment(Qt::AlignCenter);
        iconField_->show();
    }
    iconField_->setPixmap(icon.scaled(14, 14, Qt::KeepAspectRatio, Qt::SmoothTransformation));
}

void StatusManagerViewPart::setBusy(bool busy)
{
    if (busy == busy_)
        return;
    busy_ = busy;
    if (!busy) {
        delete progressField_;
        progressField_ = nullptr;
        return;
    }
    progressField_ = new Spinner(this);
    progressField_->move(0, 2);
    progressField_->show();
}

void StatusManagerViewPart::setButton(const QString &imageName, const QString &tooltip,
                                      std::function<void()> action, const QKeySequence &key)
{
    if (!buttonField_) {
        buttonField_ = new StatusManagerButtonCell(this);
        buttonField_->setGeometry(0, 1, 22, partHeight);
        connect(buttonField_, &QToolButton::clicked, this, [this] {
            if (action_)
                action_();
        });
        resize(buttonField_->width() + 4, partHeight);
        buttonField_->move(rightAligned_ ? 4 : 2, 0);
    }
    buttonField_->setIcon(QIcon(ImageUtil::bundleImage(imageName)));
    buttonField_->setIconSize(QSize(14, 14));
    buttonField_->setToolTip(tooltip);
    buttonField_->setShortcut(key);
    buttonField_->setEnabled(true);
    buttonField_->show();
    action_ = std::move(action);
}

void StatusManagerViewPart::hideButton()
{
    if (buttonField_)
        buttonField_->hide();
}

void StatusManagerViewPart::paintEvent(QPaintEvent *event)
{
    if (!heightend_)
        return;
    QPainter painter(this);
    painter.setClipRect(event->rect());
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF bounds = rect();
    const QRectF tab(bounds.x() + (rightAligned_ ? 2.0 : -2.0), -1.0, bounds.width(), bounds.height() + 2.0);
    QPainterPath path;
    path.addRoundedRect(tab, 4.0, 4.0);
    // A soft shadow on the side that faces the middle of the bar.
    const qreal offset = rightAligned_ ? -1.0 : 1.0;
    for (int spread = 3; spread >= 1; --spread) {
        painter.setPen(QPen(QColor(0, 0, 0, int(0.35 * 255 / (spread + 1))), spread * 2.0));
        painter.drawPath(path.translated(offset, 0));
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    painter.drawPath(path);
}
