#pragma once

#include <QList>

// Where printed rows fall on pages, in points of the unscaled view (y grows downwards; page n covers
// (n - 1) * pageHeight up to n * pageHeight).
namespace PrintPagination
{

// What each page holds besides rows: the document header on the first page, the column band on
// every page of a result set, the footer on every page. Heights of switched-off parts are ignored.
struct Furniture {
    double documentHeaderHeight = 0;
    double columnHeaderHeight = 0;
    double footerHeight = 0;
    bool documentHeader = false;
    bool columnHeader = false;
};

struct Layout {
    QList<double> rowTops;
    // The rows' heights as printed: a row taller than a page's room is cut to it (and marked).
    QList<double> rowHeights;
    QList<bool> rowClipped;
    // Ends at the bottom of the last page; one page when there are no rows.
    double viewHeight = 0;
};

// Rows go whole onto a page while they fit above the footer; the next row opens a new page.
Layout paginate(const QList<double> &rowHeights, double pageHeight, const Furniture &furniture);

struct Scale {
    double scale = 1;      // view units to paper points; at most 1
    double pageWidth = 0;  // in view units
    double pageHeight = 0; // in view units
};

// Content wider than the paper is scaled down to fit its width; narrower content is not enlarged.
Scale fitWidth(double contentWidth, double printableWidth, double printableHeight);
int pageCount(double viewHeight, double scale, double printableHeight);

} // namespace PrintPagination
