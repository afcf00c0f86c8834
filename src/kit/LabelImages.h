#pragma once

#include <QPixmap>

// The images of the nine colour labels that tabs and saved connections share. Label 0 is "no label"
// and has no image.
class LabelImages
{
public:
    // The round mark drawn on a tab and beside a saved connection (16 × 16).
    static QPixmap markForLabel(unsigned label);
    // The rounded swatch of the tab bar's label menu (18 × 18); labels beyond nine take the first colour.
    static QPixmap swatchForLabel(unsigned label);
};
