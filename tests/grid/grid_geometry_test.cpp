// Geometry, hit testing, metrics, extents and scroll-bar scaling of the grid:
// the arithmetic every paint, click and scroll relies on, including tables far
// beyond what 32-bit pixel positions can hold.
#include <gtest/gtest.h>

#include "tests/grid/grid_test_support.h"

using grid_test::CFakeOwner;
using grid_test::CTestGrid;
using grid_test::GridInOwner;
using platform::Rect;
using platform::Size;

TEST(GridGeometry, RowsAndColumnsFollowTheLayoutArithmeticAndHitTesting) {
    GridInOwner g(5, 100, Size{800, 600});
    CTestGrid& grid = g.grid;
    int H = grid.GetHeaderHeight(), R = grid.GetRowHeight(), W = grid.GetFixedColumnWidth();
    EXPECT_EQ(grid.RowTop(0), 0);
    EXPECT_EQ(grid.RowTop(1), H);
    EXPECT_EQ(grid.RowTop(5), H + 4 * R);
    EXPECT_EQ(grid.RowAt(H - 1), 0);
    EXPECT_EQ(grid.RowAt(H), 1);
    EXPECT_EQ(grid.RowAt(H + R - 1), 1);
    EXPECT_EQ(grid.RowAt(H + R), 2);
    EXPECT_EQ(grid.ColumnLeft(0, -1), 0);
    EXPECT_EQ(grid.ColumnLeft(1, -1), W);
    EXPECT_EQ(grid.ColumnLeft(3, -1), W + 120);
    EXPECT_EQ(grid.AbsColumnWidth(-1, -1), 0);
    EXPECT_EQ(grid.AbsColumnWidth(0, -1), W);
    EXPECT_EQ(grid.GetTotalWidth(), W + 5 * 60);
    // A point on a column border belongs to the left column.
    GridPos border = grid.ColumnLeft(4, -1);
    EXPECT_EQ(grid.ColumnAt(border, -1), 3);
    EXPECT_EQ(grid.ColumnAt(border + 1, -1), 4);
    EXPECT_EQ(grid.ColumnAt(grid.GetTotalWidth() + 1, -1), 6);  // one past the last
}

TEST(GridGeometry, CellRectanglesShareTheirBorderLinesAndMoveWithScrolling) {
    GridInOwner g(5, 1000, Size{300, 200});
    CTestGrid& grid = g.grid;
    int H = grid.GetHeaderHeight(), R = grid.GetRowHeight(), W = grid.GetFixedColumnWidth();
    Rect rc;
    ASSERT_TRUE(grid.GetCellRect(2, 3, rc));
    EXPECT_EQ(rc, (Rect{W + 60 - 1, H + 2 * R - 1, W + 120 + 1 - 1, H + 3 * R}));
    Rect rcRight;
    ASSERT_TRUE(grid.GetCellRect(3, 3, rcRight));
    EXPECT_EQ(rcRight.left, rc.right - 1);  // the shared line
    ASSERT_TRUE(grid.GetCellRect(2, 0, rc));
    EXPECT_EQ(rc.top, -1);
    EXPECT_EQ(rc.bottom, H);
    ASSERT_TRUE(grid.GetCellRect(0, 3, rc));
    EXPECT_EQ(rc.left, -1);
    EXPECT_EQ(rc.right, W);

    ASSERT_TRUE(grid.ScrollTo(0, 5 * R));
    ASSERT_TRUE(grid.GetCellRect(2, 8, rc));
    EXPECT_EQ(rc.top, H + 2 * R - 1);
    EXPECT_FALSE(grid.GetCellRect(2, 1, rc));  // scrolled away above
    ASSERT_TRUE(grid.GetCellRect(2, 0, rc));   // headers never scroll vertically
    EXPECT_EQ(rc.top, -1);
}

TEST(GridGeometry, AnEmptyGridHasTheExtentOfItsHeadersAndNoScrollBars) {
    GridInOwner g(0, 0, Size{400, 300});
    CTestGrid& grid = g.grid;
    int H = grid.GetHeaderHeight(), W = grid.GetFixedColumnWidth();
    EXPECT_EQ(grid.GetTotalWidth(), W);
    EXPECT_EQ(grid.GetHorzExtent(), W - 1);
    EXPECT_EQ(grid.GetVertExtent(), H - 1);
    EXPECT_FALSE(g.owner.abShown[SB_HORZ]);
    EXPECT_FALSE(g.owner.abShown[SB_VERT]);
}

TEST(GridGeometry, HalfABillionRowsScrollToTheEndWithoutOverflow) {
    const GridRow kRows = 500'000'000;
    GridInOwner g(3, kRows, Size{400, 300});
    CTestGrid& grid = g.grid;
    int H = grid.GetHeaderHeight(), R = grid.GetRowHeight();
    EXPECT_EQ(grid.GetVertExtent(), kRows * R + H - 1);
    EXPECT_GT(grid.GetVertExtent(), GridPos{1} << 32);
    EXPECT_TRUE(g.owner.abShown[SB_VERT]);
    EXPECT_LE(g.owner.bars[SB_VERT].nMax, 32767);
    EXPECT_EQ(grid.RowAt(grid.RowTop(kRows)), kRows);

    grid.OnScroll(0xFF | (SB_BOTTOM << 8), 0, true);
    EXPECT_EQ(grid.GetVertPos(), grid.GetVertExtent() - grid.GetPageHeight() + 1);
    GridRow nFirst, nLast;
    ASSERT_TRUE(grid.GetVisibleRows(Rect{0, 0, 400, grid.GetPageHeight()}, nFirst, nLast));
    EXPECT_EQ(nLast, kRows);  // absolute index of the last data row
    EXPECT_LE(g.owner.bars[SB_VERT].nPos, g.owner.bars[SB_VERT].nMax);

    // The thumb dragged half-way lands half-way through the table.
    grid.OnScroll(0xFF | (SB_THUMBTRACK << 8), g.owner.bars[SB_VERT].nMax / 2, true);
    double fRatio = static_cast<double>(grid.GetVertPos()) / static_cast<double>(grid.GetVertExtent());
    EXPECT_NEAR(fRatio, 0.5, 0.001);

    // The last record becomes current and is brought into view.
    ASSERT_TRUE(grid.MoveTo(0, kRows - 1));
    EXPECT_EQ(grid.GetVertPos(), grid.RowTop(kRows) + R - grid.GetPageHeight());
}

TEST(GridGeometry, MetricsFollowTheFontUnlessFixedByStyle) {
    GridInOwner g(3, 10, Size{400, 300});
    CTestGrid& grid = g.grid;
    int nChar = grid.GetFont().GetMetrics().nHeight, H = grid.GetHeaderHeight();
    grid.SetLinesPerRow(2, true);
    EXPECT_EQ(grid.GetRowHeight(), 2 * nChar + 3);
    grid.SetLinesPerRow(1, true);

    g.owner.nGridStyle = GS_FIXEDHEADERHEIGHT | GS_FIXEDROWHEADERWIDTH;
    grid.SetFixedColumnWidth(30, true);
    platform::CFont big(grid.GetFont().GetFaceName(), grid.GetFont().GetPixelHeight() * 2);
    grid.SetFont(big, true);
    EXPECT_EQ(grid.GetRowHeight(), big.GetMetrics().nHeight + 3);
    EXPECT_EQ(grid.GetHeaderHeight(), H);
    EXPECT_EQ(grid.GetFixedColumnWidth(), 30);
}

TEST(GridGeometry, ColumnsAreInsertedWhereAskedAndGetEditorIdentifiers) {
    GridInOwner g(4, 5, Size{400, 300});
    CTestGrid& grid = g.grid;
    EXPECT_EQ(grid.InsertColumnAt(99, 40, "last", 0, 0), 4);
    EXPECT_EQ(grid.InsertColumnAt(0, 40, "first", 0, 0), 0);
    EXPECT_EQ(grid.GetColumnHeader(0, 0).strText, "first");
    EXPECT_EQ(grid.GetColumnHeader(1, 0).strText, "H0");
    EXPECT_EQ(grid.GetColumnHeader(5, 0).strText, "last");

    EXPECT_TRUE(grid.SetColumnEditor(3, GEK_EDIT, WS_CHILD, 0));
    EXPECT_EQ(grid.GetColumnId(3, 0), 1903);
    EXPECT_TRUE(grid.SetColumnEditor(3, GEK_CHECK, WS_CHILD, 0));
    EXPECT_EQ(grid.GetColumnId(3, 0), 1903);  // a stored identifier stays
    EXPECT_TRUE(grid.SetColumnEditor(2, GEK_EDIT, WS_CHILD, 77));
    EXPECT_EQ(grid.GetColumnId(2, 0), 77);

    grid.SetEditorFactory([](int) { return std::make_unique<CKelCellEditor>(); });
    ASSERT_TRUE(grid.MoveTo(3, 0));
    ASSERT_NE(grid.GetCellEditor(3, 0), nullptr);
    EXPECT_FALSE(grid.SetColumnEditor(3, GEK_EDIT, WS_CHILD, 0));  // it has an editor object now
}

TEST(GridGeometry, RemovingRowsAtTheEndPullsTheScrollPositionBack) {
    GridInOwner g(3, 1000, Size{400, 300});
    CTestGrid& grid = g.grid;
    grid.OnScroll(0xFF | (SB_BOTTOM << 8), 0, true);
    ASSERT_GT(grid.GetVertPos(), 0);
    g.owner.Forget();
    grid.DeleteRows(10, 985);
    EXPECT_LE(grid.GetVertPos(), std::max<GridPos>(0, grid.GetVertExtent() - grid.GetPageHeight() + 1));
    EXPECT_EQ(grid.GetCurrentRow(), 1);  // row 0 was current and still exists
    GridRow nFirst, nLast;
    ASSERT_TRUE(grid.GetVisibleRows(Rect{0, 0, 400, 300}, nFirst, nLast));
    EXPECT_EQ(nLast, 15);
}
