// The page layout of printed grids as arithmetic: orientation and page size
// from the grid's width, fitting to a printer, rows per page and the rows of
// each page.
#include <climits>

#include <gtest/gtest.h>

#include "platform/core/page_layout.h"

using platform::CGridPageLayout;
using platform::PrinterMetrics;

namespace {

// A4 at 600 dots per inch with a quarter-inch margin all round.
PrinterMetrics A4At600(bool bLandscape) {
    PrinterMetrics printer;
    int nShort = 4961 - 300, nLong = 7016 - 300;
    printer.nPrintableWidth = bLandscape ? nLong : nShort;
    printer.nPrintableHeight = bLandscape ? nShort : nLong;
    printer.nDpiX = printer.nDpiY = 600;
    return printer;
}

}  // namespace

TEST(PageLayout, PageSizeFollowsWidthAndOrientation) {
    CGridPageLayout layout;
    // Four columns of 100, 100, 50 and 50 pixels: a portrait sheet.
    EXPECT_FALSE(CGridPageLayout::WantsLandscape(300));
    layout.Prepare(300, false);
    EXPECT_EQ(layout.GetPageWidth(), 797);
    EXPECT_EQ(layout.GetPageHeight(), 1127);

    // 787 pixels of columns make a page of 797: the first that is too wide
    // for portrait.
    EXPECT_FALSE(CGridPageLayout::WantsLandscape(786));
    EXPECT_TRUE(CGridPageLayout::WantsLandscape(787));

    // A table 900 pixels wide on a landscape printer, then on one the user
    // chose in portrait.
    layout.Prepare(890, true);
    EXPECT_EQ(layout.GetPageWidth(), 1127);
    EXPECT_EQ(layout.GetPageHeight(), 796);
    layout.Prepare(890, false);
    EXPECT_EQ(layout.GetPageWidth(), 900);
    EXPECT_EQ(layout.GetPageHeight(), 1272);

    // Absurd widths stay within int, however the products come out.
    layout.Prepare(INT64_MAX / 2, false);
    EXPECT_GT(layout.GetPageHeight(), layout.GetPageWidth());
}

TEST(PageLayout, RowsAreSplitIntoPagesUnderARepeatedHeader) {
    CGridPageLayout layout;
    layout.Prepare(300, false);
    // Under a header of 47, 1127 - 47 - 10 leaves room for 35 rows of 30;
    // a lower header makes room for one more.
    layout.CountPages(1, 17, 30, 40);
    ASSERT_EQ(layout.GetRowsPerPage(), 36);
    layout.CountPages(1, 47, 30, 40);
    ASSERT_EQ(layout.GetRowsPerPage(), 35);
    EXPECT_EQ(layout.GetPageCount(), 2);
    int64_t nFirst = 0, nEnd = 0;
    ASSERT_TRUE(layout.GetPageRows(2, nFirst, nEnd));
    EXPECT_EQ(nFirst, 35);
    EXPECT_EQ(nEnd, 40);
    EXPECT_FALSE(layout.GetPageRows(3, nFirst, nEnd));
    EXPECT_FALSE(layout.GetPageRows(0, nFirst, nEnd));

    // 100 records at 30 a page: four pages, the last with 10.
    layout.Prepare(600, false);
    layout.CountPages(1, 77, 34, 100);
    ASSERT_EQ(layout.GetRowsPerPage(), 30);
    EXPECT_EQ(layout.GetPageCount(), 4);
    ASSERT_TRUE(layout.GetPageRows(4, nFirst, nEnd));
    EXPECT_EQ(nEnd - nFirst, 10);

    // No rows: no pages. Rows taller than the page: one a page, never a
    // division by zero; a zero row height counts as one pixel.
    layout.CountPages(1, 20, 20, 0);
    EXPECT_EQ(layout.GetPageCount(), 0);
    layout.CountPages(1, 20, 5000, 3);
    EXPECT_EQ(layout.GetRowsPerPage(), 1);
    EXPECT_EQ(layout.GetPageCount(), 3);
    layout.CountPages(1, 20, 0, 3);
    EXPECT_EQ(layout.GetPageCount(), 1);
    // Billions of rows: the page count is capped, not wrapped.
    layout.CountPages(1, 20, 20, INT64_MAX / 2);
    EXPECT_EQ(layout.GetPageCount(), INT_MAX);
}

TEST(PageLayout, PagesAreFittedToThePrinter) {
    CGridPageLayout layout;
    // A portrait page of 797 pixels is 4981 printer pixels at 600 dpi, wider
    // than the 4661 printable: the page is shrunk to the paper's width.
    layout.Prepare(300, false);
    layout.CountPages(1, 20, 20, 200);
    PrinterMetrics printer = A4At600(false);
    layout.FitToPrinter(printer);
    EXPECT_EQ(layout.GetWindowExtX(), 797);
    EXPECT_EQ(layout.GetWindowExtY(), 797 * 6716 / 4661);
    EXPECT_EQ(layout.GetPageHeight(), layout.GetWindowExtY());
    EXPECT_EQ(layout.GetViewportExtX(), 4661);
    EXPECT_EQ(layout.GetViewportExtY(), 6716);
    EXPECT_EQ(layout.GetRowsPerPage(), (layout.GetPageHeight() - 20 - 10) / 20) << "rows counted again";
    EXPECT_EQ(layout.GetPageCount(), (200 + layout.GetRowsPerPage() - 1) / layout.GetRowsPerPage());

    // On wider paper it prints at screen scale: the page is the printable
    // area in screen pixels.
    printer.nPrintableWidth = 6000;
    printer.nPrintableHeight = 9000;
    layout.Prepare(300, false);
    layout.FitToPrinter(printer);
    EXPECT_EQ(layout.GetWindowExtX(), 6000 * 96 / 600);
    EXPECT_EQ(layout.GetWindowExtY(), 9000 * 96 / 600);
    EXPECT_EQ(layout.GetPageHeight(), 1440);

    // A printer that tells nothing leaves the page at one unit a pixel
    // (and divides by none of its zeros).
    layout.Prepare(300, false);
    layout.FitToPrinter(PrinterMetrics{0, 0, 0, 0, 96, 96});
    EXPECT_EQ(layout.GetPageHeight(), 1127);
}
