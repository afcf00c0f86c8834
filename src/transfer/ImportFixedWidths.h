#pragma once

#include <QList>

// Edits of the column widths of a fixed-width source. Each keeps the total width, so the columns
// still cover the same characters of a line.
namespace ImportFixedWidths
{
// The column takes the new width and its right-hand neighbour, when there is one, the difference.
QList<int> changeWidth(QList<int> widths, qsizetype index, int width);
// A column of width w >= 2 keeps w - w/2 and a new column of w/2 follows it; narrower ones stay.
QList<int> split(QList<int> widths, qsizetype index);
// With at least two columns, the column merges into its right-hand neighbour, or into its left-hand
// one when it was the last; index then names the column that took the width.
QList<int> remove(QList<int> widths, qsizetype &index);
} // namespace ImportFixedWidths
