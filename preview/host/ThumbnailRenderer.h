#pragma once

#include <QImage>
#include <QString>

// A document's preview page drawn as a thumbnail: a portrait page, size pixels high and three
// quarters of that wide, showing the page's top as it would look at a readable size.
class ThumbnailRenderer
{
public:
    static QSize thumbnailSize(int size);
    // The HTML page drawn at the size; a null image for a size below 1.
    static QImage render(const QString &html, int size);
};
