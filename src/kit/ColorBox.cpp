#include "kit/ColorBox.h"

#include "kit/AdvancedWindow.h"

#include <QLineF>
#include <QPainter>

namespace
{

QColor white(double value)
{
    return QColor::fromRgbF(value, value, value);
}

const QColor lightGray = white(2.0 / 3.0);
const QColor gray = white(0.5);
const QColor darkGray = white(1.0 / 3.0);

QGradientStops gradient(const QColor &from, const QColor &to)
{
    return {{0.0, from}, {1.0, to}};
}

QColor rgb255(int red, int green, int blue, double alpha = 1.0)
{
    return QColor::fromRgbF(red / 255.0, green / 255.0, blue / 255.0, alpha);
}

// A 12 by 13 picture of thin lines, given with the origin at the bottom left.
QPixmap lineImage(const QColor &color, std::initializer_list<QLineF> lines)
{
    QPixmap image(12, 13);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setPen(QPen(color, 0));
    for (const QLineF &line : lines)
        painter.drawLine(QLineF(line.x1(), 13 - line.y1(), line.x2(), 13 - line.y2()));
    return image;
}

void fillImages(Colors &set)
{
    set.tabCloseImage = lineImage(set.tabTextColor, {{2, 2, 10, 10}, {10, 2, 2, 10}});
    set.tabAddImage = lineImage(set.tabTextColor, {{6, 1, 6, 13}, {0, 7, 12, 7}});
}

} // namespace

ColorBox::ColorBox() = default;

ColorBox &ColorBox::colors()
{
    static ColorBox *box = [] {
        auto *made = new ColorBox; // lives as long as the process, like the views that draw with it
        made->fillDefaultColors();
        made->fillYosemiteColors();
        return made;
    }();
    return *box;
}

Colors &ColorBox::forView(const QWidget *view)
{
    return AdvancedWindow::viewShouldDrawAsActive(view) ? active_ : inactive_;
}

void ColorBox::fillDefaultColors()
{
    for (Colors *set : {&active_, &inactive_}) {
        const bool on = set->isActive();
        set->tabBarAlpha = 0.1f;
        set->paneBorder = lightGray;
        set->paneSubBorder = set->paneBorder;
        set->bottomPaneBorder = on ? gray : lightGray;
        set->textViewButtonBorder = lightGray;
        set->bottomBarGradient = on ? gradient(white(0.8), white(0.9)) : gradient(white(0.9), white(0.9));
        set->panelHeaderGradient = on ? gradient(rgb255(239, 241, 242, 0), rgb255(165, 180, 171, 0.85))
                                      : gradient(rgb255(247, 248, 248), rgb255(210, 217, 213));
        set->panelHeaderManagementGradient = on ? gradient(rgb255(239, 242, 255), rgb255(165, 171, 200))
                                                : gradient(rgb255(247, 248, 248), rgb255(210, 213, 217));
        set->quickFilterGradient = on ? gradient(rgb255(165, 180, 171), rgb255(239, 241, 242))
                                      : gradient(rgb255(210, 217, 213), rgb255(247, 248, 248));
        set->quickFilterManagementGradient = on ? gradient(rgb255(165, 171, 200), rgb255(239, 242, 255))
                                                : gradient(rgb255(210, 213, 217), rgb255(247, 248, 248));
        set->tabBorder = on ? darkGray : gray;
        set->tabColor = on ? white(0.52) : white(0.8);
        set->activeTabColor = on ? white(0.69) : white(0.85);
        set->tabTextColor = on ? white(0.2) : gray;
        set->activeTabTextColor = on ? white(0.2) : lightGray;
        fillImages(*set);
    }
}

void ColorBox::fillYosemiteColors()
{
    // The images keep the default design's text colours: they were drawn by fillDefaultColors.
    for (Colors *set : {&active_, &inactive_}) {
        const bool on = set->isActive();
        set->paneBorder = lightGray;
        set->paneSubBorder = white(0.85);
        set->bottomPaneBorder = lightGray;
        set->textViewButtonBorder = white(0.796);
        set->bottomBarGradient = on ? gradient(white(0.8), white(0.9)) : gradient(white(0.95), white(0.95));
        set->tabBorder = on ? white(157 / 255.0) : white(211 / 255.0);
        set->tabTextColor = on ? white(0.3) : lightGray;
        set->activeTabTextColor = on ? white(0.3) : lightGray;
        set->tabColor = on ? QColor::fromRgbF(0.68823, 0.67761, 0.68823) : white(237 / 255.0);
        set->activeTabColor = on ? QColor::fromRgbF(0.7647, 0.7529, 0.7647) : white(244 / 255.0);
    }
    isYosemiteOrLater_ = true;
}
