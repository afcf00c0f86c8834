#pragma once

#include <QPixmap>
#include <QSizeF>
#include <QString>

class DragAndDropItemSource;

// The token image that follows the pointer while an item is dragged: its text on the overlay shape.
class DragAndDropItem
{
public:
    static constexpr float minimumWidth = 128;
    static constexpr float minimumHeight = 36;

    static QPixmap imageForDragAndDropItemSource(const DragAndDropItemSource &source);
    static QPixmap tokenImageForText(const QString &text, bool negative, float minWidth, float minHeight);
    // Text wider than 300 or taller than 225 is cut at the token's inner edge.
    static QSizeF tokenSizeForTextSize(const QSizeF &textSize, float minWidth, float minHeight);
};
