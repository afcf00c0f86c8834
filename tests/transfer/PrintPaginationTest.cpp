// Where printed rows fall on pages.
#include "transfer/PrintPagination.h"

#include <gtest/gtest.h>

using namespace PrintPagination;

namespace
{

Furniture furniture(bool header, bool columnBand)
{
    Furniture f;
    f.documentHeaderHeight = 50;
    f.columnHeaderHeight = 15;
    f.footerHeight = 10;
    f.documentHeader = header;
    f.columnHeader = columnBand;
    return f;
}

TEST(PrintPaginationTest, RowsFillPagesWholeAboveTheFooterWithTheirHeaders)
{
    // Page 100 high: page 1 has 50 + 15 of headers, later pages 15; each leaves 10 for the footer.
    const QList<double> heights(10, 10.0);
    const Layout layout = paginate(heights, 100, furniture(true, true));
    // Page 1: rows at 65, 75 (85 + 10 + 10 > 100 opens page 2).
    EXPECT_EQ(layout.rowTops.mid(0, 3), QList<double>({65, 75, 115}));
    // Page 2: band at 100, rows 115..175 (7 rows: 15 + 70 + 10 footer = 95).
    EXPECT_EQ(layout.rowTops.at(8), 115 + 6 * 10);
    EXPECT_EQ(layout.rowTops.at(9), 215);
    EXPECT_EQ(layout.viewHeight, 300) << "the view ends at the bottom of page 3";
    EXPECT_EQ(pageCount(layout.viewHeight, 1, 100), 3);
}

TEST(PrintPaginationTest, ScriptsAndSwitchedOffHeadersTakeNoRoom)
{
    const Layout layout = paginate({20, 20, 20, 20, 20}, 100, furniture(false, false));
    EXPECT_EQ(layout.rowTops, QList<double>({0, 20, 40, 60, 100}));
}

TEST(PrintPaginationTest, ARowTallerThanAPageIsCutToItsRoomAndMarked)
{
    const Layout layout = paginate({10, 500, 10}, 100, furniture(false, true));
    EXPECT_EQ(layout.rowTops, QList<double>({15, 115, 215}));
    EXPECT_EQ(layout.rowHeights, QList<double>({10, 75, 10}));
    EXPECT_EQ(layout.rowClipped, QList<bool>({false, true, false}));
    EXPECT_EQ(pageCount(layout.viewHeight, 1, 100), 3);
}

TEST(PrintPaginationTest, AnEmptyResultIsOnePage)
{
    const Layout layout = paginate({}, 100, furniture(true, true));
    EXPECT_EQ(layout.viewHeight, 100);
    EXPECT_EQ(pageCount(layout.viewHeight, 1, 100), 1);
}

TEST(PrintPaginationTest, WideContentIsScaledDownToThePaperAndNarrowIsNotEnlarged)
{
    const Scale wide = fitWidth(750, 500, 700);
    EXPECT_DOUBLE_EQ(wide.scale, 2.0 / 3.0);
    EXPECT_DOUBLE_EQ(wide.pageHeight, 1050) << "1.5 times the page height in view units";
    EXPECT_DOUBLE_EQ(wide.pageWidth, 750);
    const Scale narrow = fitWidth(300, 500, 700);
    EXPECT_DOUBLE_EQ(narrow.scale, 1);
    EXPECT_DOUBLE_EQ(narrow.pageWidth, 500);
    EXPECT_DOUBLE_EQ(narrow.pageHeight, 700);
    // Seven pages of a scaled view are seven pages of paper.
    EXPECT_EQ(pageCount(7 * wide.pageHeight, wide.scale, 700), 7);
}

} // namespace
