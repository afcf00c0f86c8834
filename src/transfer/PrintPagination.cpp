#include "transfer/PrintPagination.h"

#include <algorithm>

namespace PrintPagination
{

Layout paginate(const QList<double> &rowHeights, double pageHeight, const Furniture &furniture)
{
    Layout layout;
    layout.rowTops.reserve(rowHeights.size());
    layout.rowHeights.reserve(rowHeights.size());
    layout.rowClipped.reserve(rowHeights.size());
    const double footer = furniture.footerHeight;
    double y = 0;
    // So much is used that the first row opens page 1.
    double used = 1e300;
    qsizetype pageIndex = 0;
    for (double height : rowHeights) {
        if (used + height + footer > pageHeight) {
            used = 0;
            y = double(pageIndex) * pageHeight;
            if (pageIndex == 0 && furniture.documentHeader) {
                y += furniture.documentHeaderHeight;
                used += furniture.documentHeaderHeight;
            }
            if (furniture.columnHeader) {
                y += furniture.columnHeaderHeight;
                used += furniture.columnHeaderHeight;
            }
            ++pageIndex;
            // A row taller than a whole page's room would run into the next page: it is cut.
            const double room = std::max(0.0, pageHeight - used - footer);
            layout.rowClipped << (height > room);
            height = std::min(height, room);
        } else {
            layout.rowClipped << false;
        }
        layout.rowTops << y;
        layout.rowHeights << height;
        y += height;
        used += height;
    }
    layout.viewHeight = rowHeights.isEmpty() ? pageHeight : y - used + pageHeight;
    return layout;
}

Scale fitWidth(double contentWidth, double printableWidth, double printableHeight)
{
    Scale result;
    result.scale = contentWidth > 0 ? printableWidth / contentWidth : 1;
    result.pageWidth = contentWidth;
    if (result.scale > 1) {
        result.scale = 1;
        result.pageWidth = printableWidth;
    }
    result.pageHeight = printableHeight / result.scale;
    return result;
}

int pageCount(double viewHeight, double scale, double printableHeight)
{
    if (printableHeight <= 0)
        return 1;
    return std::max(1, int((viewHeight * scale + 0.5) / printableHeight));
}

} // namespace PrintPagination
