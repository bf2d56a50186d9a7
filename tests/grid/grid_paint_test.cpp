// What the grid paints, checked pixel by pixel on offscreen images where the
// drawing is the behaviour: empty grids, selection colours, check-box states,
// the sort arrow in a narrow header, narrow columns, the focus frame, and that
// painting asks only for the cells it shows.
#include <gtest/gtest.h>

#include "tests/grid/grid_test_support.h"

using grid_test::CTestGrid;
using grid_test::GridInOwner;
using grid_test::Paint;
using grid_test::PixelAt;
using platform::Color;
using platform::GetSysColor;
using platform::Rect;
using platform::Size;

namespace {

bool IsPaintedEverywhere(const QImage& image) {
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) == QColor(Qt::magenta).rgb())
                return false;
    return true;
}

// The inside of a data cell (within its border lines), absolute indexes.
Rect CellInterior(CKelGridCore& grid, int nCol, GridRow nRow) {
    Rect rc;
    EXPECT_TRUE(grid.GetCellRect(nCol, nRow, rc));
    rc.Deflate(1);
    return rc;
}

QImage Crop(const QImage& image, const Rect& rc) { return image.copy(rc.left, rc.top, rc.Width(), rc.Height()); }

}  // namespace

TEST(GridPaint, AGridWithNoRowsPaintsItsHeaderAndWindowColourBelow) {
    GridInOwner g(3, 0, Size{300, 200});
    QImage image = Paint(g.grid, g.owner.GetClientSize());
    ASSERT_TRUE(IsPaintedEverywhere(image));
    int HB = g.grid.GetHeaderHeight();
    Color clrWindow = GetSysColor(platform::COLOR_WINDOW);
    for (int y = HB; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            ASSERT_EQ(PixelAt(image, x, y), clrWindow) << x << "," << y;
    // The header cells are buttons; right of the last one is window colour.
    int xInside = static_cast<int>(g.grid.ColumnLeft(2, 0)) + 3;
    EXPECT_EQ(PixelAt(image, xInside, HB - 4), GetSysColor(platform::COLOR_BTNFACE));
    EXPECT_EQ(PixelAt(image, static_cast<int>(g.grid.GetTotalWidth()) + 5, HB / 2), clrWindow);
}

TEST(GridPaint, SelectionsShowTheCurrentCellAndTheSelectedCellsInTheirColours) {
    // The background of a data cell, right of its text.
    auto back = [](const QImage& image, CKelGridCore& grid, int nCol, GridRow nRow) {
        Rect rc = CellInterior(grid, nCol, nRow);
        return PixelAt(image, rc.right - 6, rc.top + grid.GetRowHeight() / 2);
    };
    GridInOwner rows(4, 5, Size{400, 200}, GS_ROWSELECT);
    ASSERT_TRUE(rows.grid.MoveTo(1, 2));
    QImage image = Paint(rows.grid, rows.owner.GetClientSize());
    ASSERT_TRUE(IsPaintedEverywhere(image));
    GridCellStyle style = rows.grid.GetDefaultStyle();
    for (int nCol = 1; nCol <= 4; ++nCol)
        EXPECT_EQ(back(image, rows.grid, nCol, 3), nCol == 2 ? style.clrCurrentBack : style.clrSelectedBack) << nCol;
    EXPECT_EQ(back(image, rows.grid, 2, 2), style.clrBack);
    // The row's focus frame runs along the top of the row band.
    Rect rcFirst = CellInterior(rows.grid, 1, 3);
    EXPECT_EQ(PixelAt(image, rcFirst.left + 10, rcFirst.top), style.focusFrame.clrSecond);

    // A block: the current cell has the solid focus frame all round.
    GridInOwner block(4, 5, Size{400, 200}, GS_MULTISELECT);
    ASSERT_TRUE(block.grid.MoveTo(0, 0));
    block.grid.ExtendSelectionTo(3, 3);
    image = Paint(block.grid, block.owner.GetClientSize());
    Rect rcCurrent = CellInterior(block.grid, 1, 1);
    EXPECT_EQ(PixelAt(image, rcCurrent.left, rcCurrent.top), platform::Rgb(0, 100, 200));
    EXPECT_EQ(PixelAt(image, rcCurrent.right - 1, rcCurrent.bottom - 1), platform::Rgb(0, 100, 200));
    EXPECT_EQ(back(image, block.grid, 1, 1), style.clrCurrentBack);
    EXPECT_EQ(back(image, block.grid, 3, 3), style.clrSelectedBack);
    EXPECT_EQ(back(image, block.grid, 4, 3), style.clrBack);
}

TEST(GridPaint, CheckBoxCellsShowTheirStateInTwoAndThreeStateColumns) {
    GridInOwner g(0, 3, Size{400, 200});
    CTestGrid& grid = g.grid;
    const unsigned kFlags = platform::DT_CENTER | platform::DT_VCENTER | platform::DT_SINGLELINE;
    grid.InsertColumn(40, "two", kFlags, kFlags, platform::DFC_BUTTON, platform::DFCS_BUTTONCHECK);
    grid.InsertColumn(40, "three", kFlags, kFlags, platform::DFC_BUTTON, platform::DFCS_BUTTON3STATE);
    grid.InsertColumn(40, "parking", kFlags, kFlags);
    for (int nCol = 0; nCol < 2; ++nCol)
        for (int nValue = 0; nValue < 3; ++nValue)
            grid.values[{nCol, nValue}] = nValue;
    grid.RecalcLayout();
    ASSERT_TRUE(grid.MoveTo(2, 0));  // keep the focus frame out of the compared cells
    QImage image = Paint(grid, g.owner.GetClientSize());
    auto cell = [&](int nCol, int nValue) { return Crop(image, CellInterior(grid, nCol + 1, nValue + 1)); };

    EXPECT_EQ(cell(0, 2), cell(0, 0));  // 2 is not a state of a two-state box: empty
    EXPECT_NE(cell(0, 1), cell(0, 0));
    EXPECT_EQ(cell(1, 1), cell(0, 1));  // checked looks the same in both kinds
    EXPECT_EQ(cell(1, 0), cell(0, 0));
    EXPECT_NE(cell(1, 2), cell(1, 0));  // indeterminate is a third look
    EXPECT_NE(cell(1, 2), cell(1, 1));
}

TEST(GridPaint, AHeaderTooNarrowForTextAndArrowShowsTheArrowAloneCentred) {
    GridInOwner g(0, 3, Size{400, 200});
    CTestGrid& grid = g.grid;
    const unsigned kRight = platform::DT_RIGHT | platform::DT_VCENTER | platform::DT_SINGLELINE;
    grid.InsertColumn(24, "A long header text", kRight, kRight);
    grid.InsertColumn(160, "Wide", kRight, kRight);
    grid.RecalcLayout();
    grid.SetSortIndicator(0, 0, 1);
    QImage image = Paint(grid, g.owner.GetClientSize());

    // The text area of the narrow header: inside the button's edges.
    Rect rc;
    ASSERT_TRUE(grid.GetCellRect(1, 0, rc));
    rc.Deflate(1, 1, 0, 0);
    rc.Deflate(3, 1, 3, 2);
    Color clrFace = GetSysColor(platform::COLOR_BTNFACE);
    Color clrText = GetSysColor(platform::COLOR_BTNTEXT);
    int nMinX = INT_MAX, nMaxX = INT_MIN;
    for (int y = rc.top; y < rc.bottom; ++y)
        for (int x = rc.left; x < rc.right; ++x) {
            Color c = PixelAt(image, x, y);
            EXPECT_NE(c, clrText) << "text drawn at " << x << "," << y;
            if (c != clrFace) {
                nMinX = std::min(nMinX, x);
                nMaxX = std::max(nMaxX, x);
            }
        }
    ASSERT_LE(nMinX, nMaxX) << "no arrow drawn";
    EXPECT_EQ(nMaxX - nMinX + 1, 8);  // the 7-pixel arrow, both end points
    EXPECT_LE(std::abs((nMinX - rc.left) - (rc.right - 1 - nMaxX)), 1);
}

TEST(GridPaint, AColumnNarrowerThanFourPixelsHasAFlatHeader) {
    GridInOwner g(0, 3, Size{400, 200});
    CTestGrid& grid = g.grid;
    grid.InsertColumn(3, "x", 0, platform::DT_CENTER);
    grid.InsertColumn(30, "y", 0, platform::DT_CENTER);
    grid.RecalcLayout();
    QImage image = Paint(grid, g.owner.GetClientSize());
    Color clrFace = GetSysColor(platform::COLOR_BTNFACE);
    Rect rc;
    ASSERT_TRUE(grid.GetCellRect(1, 0, rc));
    rc.Deflate(1);
    for (int y = rc.top; y < rc.bottom; ++y)
        for (int x = std::max(0, rc.left); x < rc.right; ++x)
            EXPECT_EQ(PixelAt(image, x, y), clrFace) << x << "," << y;
    // A wider neighbour has the raised edge of a button.
    ASSERT_TRUE(grid.GetCellRect(2, 0, rc));
    EXPECT_NE(PixelAt(image, rc.left + 1, rc.top + 1 + grid.GetHeaderHeight() / 2), clrFace);
}

namespace {

// A grid whose first column shows a red square before its text.
class CImageGrid : public CTestGrid {
public:
    CImageGrid() : CTestGrid(2, 3), m_picture(8, 8, std::vector<uint32_t>(64, 0xFFFF0000u)) {
        GridColumn* pColumn = GetColumn(0);
        pColumn->nImageKind = GIK_BITMAP;
        pColumn->sizeImage = Size{8, 8};
    }
    const platform::CPicture* GetCellImage(int nCol, GridRow, bool) override {
        return nCol == 0 ? &m_picture : nullptr;
    }

private:
    platform::CPicture m_picture;
};

}  // namespace

TEST(GridPaint, ACellImageSitsBeforeTheTextAndPushesItRight) {
    grid_test::AppGuard app;
    grid_test::CFakeOwner owner;
    owner.sizeOuter = Size{300, 200};
    CImageGrid grid;
    grid.SetOwner(&owner);
    grid.RecalcLayout();
    ASSERT_TRUE(grid.MoveTo(1, 2));
    QImage image = Paint(grid, owner.GetClientSize());
    Rect rc = CellInterior(grid, 1, 1);
    int yMiddle = rc.top + rc.Height() / 2;
    EXPECT_EQ(PixelAt(image, rc.left + 1, yMiddle), platform::Rgb(255, 0, 0));
    EXPECT_EQ(PixelAt(image, rc.left + 8, yMiddle), platform::Rgb(255, 0, 0));
    EXPECT_NE(PixelAt(image, rc.left + 9, yMiddle), platform::Rgb(255, 0, 0));
    // The text starts past the image; without one it starts at the border.
    auto firstInk = [&](const Rect& rcCell) {
        Color clrBack = grid.GetDefaultStyle().clrBack;
        for (int x = rcCell.left; x < rcCell.right; ++x)
            for (int y = rcCell.top; y < rcCell.bottom; ++y)
                if (PixelAt(image, x, y) != clrBack && PixelAt(image, x, y) != platform::Rgb(255, 0, 0))
                    return x - rcCell.left;
        return -1;
    };
    EXPECT_GE(firstInk(rc), 1 + 8 + 2);  // image at +1, 8 wide, 2 pixels gap, then the text's own margin
    EXPECT_LT(firstInk(CellInterior(grid, 2, 1)), 5);
}

TEST(GridPaint, RightFitTextEndsAtTheRightEdgeWhenItFits) {
    grid_test::EnsureApplication();
    CTestGrid grid(1, 1);
    QImage image(200, 40, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        platform::CDrawContext dc(image);
        dc.SetBkMode(platform::TRANSPARENT);
        grid.DrawTextRightFit(dc, "1234.50", Rect{10, 5, 150, 35}, platform::DT_RIGHT | platform::DT_SINGLELINE |
                                                                   platform::DT_VCENTER);
    }
    int nRight = -1;
    for (int x = 0; x < 200; ++x)
        for (int y = 0; y < 40; ++y)
            if (image.pixel(x, y) != QColor(Qt::white).rgb())
                nRight = std::max(nRight, x);
    EXPECT_GE(nRight, 145);
    EXPECT_LT(nRight, 150);
}

TEST(GridPaint, PaintingAsksOnlyForTheCellsItShows) {
    GridInOwner g(20, 10'000'000, Size{640, 480});
    CTestGrid& grid = g.grid;
    int R = grid.GetRowHeight();
    grid.ScrollTo(0, GridPos{5'000'000} * R);
    grid.nValueCalls = 0;
    grid.askedRows.clear();
    QImage image = Paint(grid, g.owner.GetClientSize());
    ASSERT_TRUE(IsPaintedEverywhere(image));
    int nRowsShown = 480 / R + 2;
    EXPECT_LE(grid.askedRows.size(), static_cast<size_t>(nRowsShown));
    EXPECT_GE(*grid.askedRows.begin(), 5'000'000 - 1);
    EXPECT_LE(*grid.askedRows.rbegin(), 5'000'000 + nRowsShown);
    EXPECT_LE(grid.nValueCalls, static_cast<long>(nRowsShown) * (640 / 60 + 2));
}

TEST(GridPaint, ColourBordersAndScrolledPartialCellsLeaveNoPixelUnpainted) {
    GridInOwner g(9, 100, Size{333, 222}, GS_CELLCOLOURBORDERS | GS_FLATHEADERS | GS_MULTISELECT);
    g.grid.ScrollTo(37, 101);
    g.grid.SetSortIndicator(3, 0, 0);
    g.grid.MoveTo(4, 9);
    EXPECT_TRUE(IsPaintedEverywhere(Paint(g.grid, g.owner.GetClientSize())));
}
