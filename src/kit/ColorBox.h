#pragma once

#include "kit/Colors.h"

class QWidget;

// The process-wide palette of custom-drawn bars, headers and tabs: one colour set for windows drawn in
// the active look and one for the inactive look. Made on the main thread on first use, never changed.
// Every user gets the flat design (isYosemiteOrLater): there is no older look to fall back to here.
class ColorBox
{
public:
    static ColorBox &colors();

    Colors &active() { return active_; }
    Colors &inactive() { return inactive_; }
    bool isYosemiteOrLater() const { return isYosemiteOrLater_; }
    // The set a view draws with now, from whether its window draws in the active look.
    Colors &forView(const QWidget *view);

    ColorBox();
    ColorBox(const ColorBox &) = delete;
    ColorBox &operator=(const ColorBox &) = delete;

    void fillDefaultColors();
    void fillYosemiteColors();

private:
    Colors active_{true};
    Colors inactive_{false};
    bool isYosemiteOrLater_ = false;
};
