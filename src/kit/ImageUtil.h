#pragma once

#include <QPixmap>
#include <QString>

// Icons of schema elements and the other images compiled into the application.
class ImageUtil
{
public:
    // By the element's browser type (0 table ... 23 management session); a synonym (8) gets the icon of
    // what it stands for (its subtype) with the synonym mark over it. Unknown types get "SideUnknown".
    static QPixmap imageForBrowserElement(qint64 browserType, const QString &subtype = {});
    static QString imageNameForBrowserType(qint64 browserType);
    // The base icon of a synonym: the table icon unless the subtype names another kind.
    static QString synonymBaseImageName(const QString &subtype);
    // An image of the application's resources by name ("SideTable"); null when there is none.
    static QPixmap bundleImage(const QString &name);
};
