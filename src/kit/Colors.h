#pragma once

#include <QColor>
#include <QGradientStops>
#include <QPixmap>

// One colour set of the palette: the look of custom-drawn bars, headers and tabs in an active or an
// inactive window. Gradients run from their first stop to their last; callers lay them over their own
// rectangle (bottom to top). Colour labels are 0 (none) and 1 to 9 (Red to White).
class Colors
{
public:
    explicit Colors(bool isActive);
    Colors(const Colors &) = delete;
    Colors &operator=(const Colors &) = delete;

    float tabBarAlpha = 0.1f;
    QColor paneBorder;
    QColor bottomPaneBorder;
    QColor paneSubBorder;
    QColor textViewButtonBorder;
    QGradientStops panelHeaderGradient;
    QGradientStops panelHeaderManagementGradient;
    QGradientStops quickFilterGradient;
    QGradientStops quickFilterManagementGradient;
    QGradientStops bottomBarGradient;
    QColor activeTabColor;
    QColor tabColor;
    QColor tabBorder;
    QColor tabTextColor;
    QColor activeTabTextColor;
    QPixmap tabCloseImage;
    QPixmap tabAddImage;

    bool isActive() const { return isActive_; }
    // The tab bar's background is the tabs' colour itself, so a change of one is a change of both.
    QColor &tabBarColor() { return tabColor; }
    const QColor &tabBarColor() const { return tabColor; }

    // Invalid colours for label 0 and for anything above 9.
    static QColor baseColorForTabLabel(unsigned label);
    QColor outerColorForTabLabel(unsigned label) const;
    QColor innerColorForTabLabel(unsigned label) const;
    // The English names of the labels as user-visible keys ("None", "Red", ... "White").
    static QString nameKeyForTabLabel(unsigned label);

private:
    bool isActive_;
};
