#include "kit/Colors.h"

#include <array>

Colors::Colors(bool isActive) : isActive_(isActive) {}

QColor Colors::baseColorForTabLabel(unsigned label)
{
    static const std::array<QColor, 9> colors{
        QColor::fromRgbF(1, 0, 0),          QColor::fromRgbF(1, 0.5, 0),     QColor::fromRgbF(0.6, 0.55, 0),
        QColor::fromRgbF(0, 0.5, 0),        QColor::fromRgbF(0, 0, 1),       QColor::fromRgbF(1, 0, 1),
        QColor::fromRgbF(0.25, 0.25, 0.25), QColor::fromRgbF(0.5, 0.5, 0.5), QColor::fromRgbF(0.8, 0.8, 0.8)};
    if (label < 1 || label > colors.size())
        return {};
    return colors[label - 1];
}

QColor Colors::outerColorForTabLabel(unsigned label) const
{
    QColor color = baseColorForTabLabel(label);
    if (color.isValid() && !isActive_)
        color.setAlphaF(0.25f);
    return color;
}

QColor Colors::innerColorForTabLabel(unsigned label) const
{
    const QColor base = baseColorForTabLabel(label);
    if (!base.isValid())
        return {};
    auto tint = [](float k) { return 1 - (1 - k) / 3; };
    return QColor::fromRgbF(tint(base.redF()), tint(base.greenF()), tint(base.blueF()),
                            isActive_ ? 1 : 0.25f);
}

QString Colors::nameKeyForTabLabel(unsigned label)
{
    static const std::array<const char *, 10> names{"None", "Red",    "Orange", "Yellow", "Green",
                                                    "Blue", "Purple", "Black",  "Gray",   "White"};
    return label < names.size() ? QString::fromLatin1(names[label]) : QString();
}
