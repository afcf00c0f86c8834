#pragma once

#include <QList>
#include <QRect>
#include <QStringList>

// How the grid showed one result set: its columns in display order (the row-number column included)
// with their widths, the grid's width and its visible part. Restoring uses names and widths only.
struct ResultsetDimension {
    QStringList columnNames;
    QList<float> columnWidths;
    float basedOnWidth = 0;
    QRect scrollRect;
};
