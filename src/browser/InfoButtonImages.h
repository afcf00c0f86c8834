#pragma once

#include <QPixmap>

// The images of the info column's section buttons ("InfoGeneral", "InfoColumns", ... "InfoRefresh"),
// drawn as dark template shapes that the lit button tints.
class InfoButtonImages
{
public:
    static QString imageName(qint64 type);
    // 32 x 20 points, by the image name; any unknown name gives the General image.
    static QPixmap image(const QString &name, qreal devicePixelRatio = 1.0);
};
