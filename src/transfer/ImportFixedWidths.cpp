#include "transfer/ImportFixedWidths.h"

QList<int> ImportFixedWidths::changeWidth(QList<int> widths, qsizetype index, int width)
{
    if (index < 0 || index >= widths.size() || width < 0)
        return widths;
    const int old = widths[index];
    if (index + 1 < widths.size()) {
        // The neighbour cannot give more than it has.
        width = qMin(width, old + widths[index + 1]);
        widths[index + 1] += old - width;
    }
    widths[index] = width;
    return widths;
}

QList<int> ImportFixedWidths::split(QList<int> widths, qsizetype index)
{
    if (index < 0 || index >= widths.size() || widths[index] < 2)
        return widths;
    const int half = widths[index] / 2;
    widths[index] -= half;
    widths.insert(index + 1, half);
    return widths;
}

QList<int> ImportFixedWidths::remove(QList<int> widths, qsizetype &index)
{
    if (widths.size() < 2 || index < 0 || index >= widths.size())
        return widths;
    const int removed = widths.takeAt(index);
    if (index >= widths.size())
        index = widths.size() - 1;
    widths[index] += removed;
    return widths;
}
