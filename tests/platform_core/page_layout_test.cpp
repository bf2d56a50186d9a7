// The page layout of printed grids as arithmetic: orientation and page size
// from the grid's width, fitting to a printer, rows per page and the rows of
// each page.
#include <algorithm>
#include <climits>

#include <gtest/gtest.h>

#include "platform/core/page_layout.h"

using platform::CGridPageLayout;
using platform::PrinterMetrics;

TEST(PageLayout, PageSizeFollowsWidthAndOrientation) {
    // 787 pixels of columns make a page of 797: the first that is too wide for portrait.
    EXPECT_FALSE(CGridPageLayout::WantsLandscape(300));
    EXPECT_FALSE(CGridPageLayout::WantsLandscape(786));
    EXPECT_TRUE(CGridPageLayout::WantsLandscape(787));
    const struct {
        int64_t nWidth;
        bool bLandscape;
        int nPageWidth, nPageHeight;
    } cases[] = {
        {300, false, 797, 1127}, {890, true, 1127, 796}, {890, false, 900, 1272},  // a user's portrait choice
    };
    CGridPageLayout layout;
    for (const auto& c : cases) {
        layout.Prepare(c.nWidth, c.bLandscape);
        EXPECT_EQ(layout.GetPageWidth(), c.nPageWidth) << c.nWidth << c.bLandscape;
        EXPECT_EQ(layout.GetPageHeight(), c.nPageHeight) << c.nWidth << c.bLandscape;
    }
    // Absurd widths stay within int, however the products come out.
    layout.Prepare(INT64_MAX / 2, false);
    EXPECT_GT(layout.GetPageHeight(), layout.GetPageWidth());
}

TEST(PageLayout, EachProgramsLimitsSetTheNarrowestPageAndTheLandscapeThreshold) {
    // The viewer has no narrowest page and turns to landscape from 750: a
    // grid of no width is a page of 10 x 14, lower than its header, and
    // still gets a record a page.
    EXPECT_FALSE(CGridPageLayout::WantsLandscape(739, platform::kViewerPageLimits));
    EXPECT_TRUE(CGridPageLayout::WantsLandscape(740, platform::kViewerPageLimits));
    const struct {
        platform::PageLimits limits;
        int64_t nWidth;
        bool bLandscape;
        int nPageWidth, nPageHeight;
    } cases[] = {
        {platform::kViewerPageLimits, 0, false, 10, 14},     {platform::kViewerPageLimits, -50, true, 10, 7},
        {platform::kViewerPageLimits, 890, true, 900, 636},  {platform::kEditorPageLimits, 0, false, 797, 1127},
    };
    for (const auto& c : cases) {
        CGridPageLayout layout(c.limits);
        layout.Prepare(c.nWidth, c.bLandscape);
        EXPECT_EQ(layout.GetPageWidth(), c.nPageWidth) << c.nWidth;
        EXPECT_EQ(layout.GetPageHeight(), c.nPageHeight) << c.nWidth;
        layout.CountPages(1, 20, 20, 5);
        EXPECT_EQ(layout.GetRowsPerPage(), std::max(1, (c.nPageHeight - 30) / 20));
    }
}

TEST(PageLayout, RowsAreSplitIntoPagesUnderARepeatedHeader) {
    // A page of 1127 under a header of 47 leaves 1127 - 47 - 10 for rows.
    // Rows taller than the page go one a page, never a division by zero; a
    // zero row height counts as one pixel; billions of rows cap the count.
    const struct {
        int64_t nWidth;
        int nHeaderHeight, nRowHeight;
        int64_t nRows;
        int nPerPage, nPages;
        int64_t nLastFirst;  // first row of the last page
    } cases[] = {
        {300, 17, 30, 40, 36, 2, 36}, {300, 47, 30, 40, 35, 2, 35},   {600, 77, 34, 100, 30, 4, 90},
        {600, 20, 20, 0, 54, 0, 0},   {600, 20, 5000, 3, 1, 3, 2},    {600, 20, 0, 3, 1097, 1, 0},
        {600, 20, 20, INT64_MAX / 2, 54, INT_MAX, 54LL * (INT_MAX - 1)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.nHeaderHeight << " " << c.nRowHeight << " " << c.nRows);
        CGridPageLayout layout;
        layout.Prepare(c.nWidth, false);
        layout.CountPages(1, c.nHeaderHeight, c.nRowHeight, c.nRows);
        EXPECT_EQ(layout.GetRowsPerPage(), c.nPerPage);
        EXPECT_EQ(layout.GetPageCount(), c.nPages);
        int64_t nFirst = -1, nEnd = -1;
        EXPECT_FALSE(layout.GetPageRows(0, nFirst, nEnd));
        if (c.nPages < INT_MAX) {
            EXPECT_FALSE(layout.GetPageRows(c.nPages + 1, nFirst, nEnd));
        }
        if (c.nPages == 0) continue;
        ASSERT_TRUE(layout.GetPageRows(c.nPages, nFirst, nEnd));
        EXPECT_EQ(nFirst, c.nLastFirst);
        EXPECT_EQ(nEnd, std::min<int64_t>(c.nRows, nFirst + c.nPerPage));
    }
}

TEST(PageLayout, PagesAreFittedToThePrinterAndRowsCountedAgain) {
    // A4 at 600 dpi with a quarter-inch margin: the portrait page of 797
    // pixels is 4981 printer pixels, wider than the 4661 printable, so it is
    // shrunk to the paper's width. On wider paper it prints at screen scale,
    // the page being the printable area in screen pixels. A printer that
    // tells nothing leaves one unit a pixel (and divides by none of its zeros).
    const struct {
        PrinterMetrics printer;
        int nExtX, nExtY, nViewportX, nViewportY;  // -1: not checked
    } cases[] = {
        {{4661, 6716, 600, 600}, 797, 797 * 6716 / 4661, 4661, 6716},
        {{6000, 9000, 600, 600}, 6000 * 96 / 600, 9000 * 96 / 600, 6000, 9000},
        {{0, 0, 0, 0}, 797, 1127, -1, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.printer.nPrintableWidth);
        CGridPageLayout layout;
        layout.Prepare(300, false);
        layout.CountPages(1, 20, 20, 200);
        layout.FitToPrinter(c.printer);
        EXPECT_EQ(layout.GetWindowExtX(), c.nExtX);
        EXPECT_EQ(layout.GetWindowExtY(), c.nExtY);
        EXPECT_EQ(layout.GetPageHeight(), c.nExtY);
        if (c.nViewportX >= 0) {
            EXPECT_EQ(layout.GetViewportExtX(), c.nViewportX);
            EXPECT_EQ(layout.GetViewportExtY(), c.nViewportY);
        }
        EXPECT_EQ(layout.GetRowsPerPage(), (c.nExtY - 20 - 10) / 20);
        EXPECT_EQ(layout.GetPageCount(), (200 + layout.GetRowsPerPage() - 1) / layout.GetRowsPerPage());
    }
}
