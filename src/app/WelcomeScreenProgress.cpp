#include "app/WelcomeScreenProgress.h"

#include <QColor>
#include <QPainter>

#include <array>
#include <cmath>

WelcomeScreenProgress::WelcomeScreenProgress(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_TranslucentBackground);
    setFixedHeight(12);
}

void WelcomeScreenProgress::setProgress(float progress)
{
    progress_ = progress;
    update();
}

int WelcomeScreenProgress::filledWidth(int width) const
{
    return int(std::floor(progress_ * float(width)));
}

// Four bands, each inset one pixel more at top and bottom, lighter towards the middle.
void WelcomeScreenProgress::paintEvent(QPaintEvent *)
{
    static const std::array<QColor, 4> bands{
        QColor::fromRgbF(0.65f, 1.0f, 0.65f), QColor::fromRgbF(0.7f, 1.0f, 0.7f),
        QColor::fromRgbF(0.75f, 1.0f, 0.75f), QColor::fromRgbF(0.8f, 1.0f, 0.8f)};
    const int filled = filledWidth(width());
    if (filled <= 0)
        return;
    QPainter painter(this);
    for (int inset = 1; inset <= int(bands.size()); ++inset) {
        const int height = this->height() - 2 * inset;
        if (height > 0)
            painter.fillRect(QRect(0, inset, filled, height), bands[inset - 1]);
    }
}
