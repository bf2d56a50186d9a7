// How the current cell and the selection move: keys, wheel, scroll bars,
// clicks, drags, header and corner clicks, column resizing, inserted and
// deleted rows, the editing hand-offs, and the notifications with their order.
#include <algorithm>
#include <memory>

#include <gtest/gtest.h>

#include "tests/grid/grid_test_support.h"

using grid_test::Click;
using grid_test::CTestGrid;
using grid_test::GridInOwner;
using grid_test::Selection;
using platform::Rect;
using platform::Size;
using Sel = std::vector<GridRow>;
using Msgs = std::vector<unsigned>;

namespace {

// An editor that can be told to report a change and to refuse it.
class CRecordingEditor : public CKelCellEditor {
public:
    bool IsModified() const override { return m_bModified; }
    void SetModified(bool b) override { m_bModified = b; }
    bool ValidateEditor() override { return m_bValid; }
    bool ShowEditor(int x, int y, int cx, int cy) override {
        shown = Rect{x, y, x + cx, y + cy};
        return m_bActive = true;
    }
    bool HideEditor() override { return !(m_bActive = false); }
    bool IsEditorActive() const override { return m_bActive; }

    bool m_bModified = false, m_bValid = true, m_bActive = false;
    Rect shown;
};

// A grid whose cells get recording editors, the last one made in pEditor.
struct EditedGrid : GridInOwner {
    CRecordingEditor* pEditor = nullptr;
    EditedGrid() : GridInOwner(4, 6, Size{800, 600}) {
        grid.SetEditorFactory([this](int) {
            auto p = std::make_unique<CRecordingEditor>();
            pEditor = p.get();
            return p;
        });
    }
};

// A page of exactly 20 rows below one header row.
std::unique_ptr<GridInOwner> MakeTwentyRowPage() {
    auto p = std::make_unique<GridInOwner>(5, 1000, Size{800, 100});
    p->owner.sizeOuter = Size{800, 20 * p->grid.GetRowHeight()};
    p->grid.RecalcLayout();
    p->owner.Forget();
    return p;
}

}  // namespace

TEST(GridKeys, PageDownAndUpMoveAPageLessTheHeaderRows) {
    std::unique_ptr<GridInOwner> g = MakeTwentyRowPage();
    CTestGrid& grid = g->grid;
    ASSERT_EQ(grid.GetPageHeight(), 20 * grid.GetRowHeight());
    ASSERT_TRUE(grid.MoveTo(2, 0));
    // Page Down moves 19; Page Up stops at the first row; Ctrl pages to the ends.
    const std::pair<int, GridRow> steps[] = {{VK_NEXT, 20}, {VK_NEXT, 39}, {VK_PRIOR, 20}, {VK_PRIOR, 1}, {VK_PRIOR, 1}};
    for (auto [nKey, nRow] : steps) {
        EXPECT_TRUE(grid.OnKeyDown(nKey));
        EXPECT_EQ(grid.GetCurrentRow(), nRow);
    }
    EXPECT_EQ(grid.GetCurrentColumn(), 3);
    g->owner.bCtrl = true;
    grid.OnKeyDown(VK_NEXT);
    EXPECT_EQ(grid.GetCurrentRow(), 1000);
    grid.OnKeyDown(VK_PRIOR);
    EXPECT_EQ(grid.GetCurrentRow(), 1);
    g->owner.bCtrl = false;
    ASSERT_TRUE(grid.MoveTo(2, 990));
    grid.OnKeyDown(VK_NEXT);  // past the end: the last row
    EXPECT_EQ(grid.GetCurrentRow(), 1000);
}

TEST(GridKeys, TabEnterHomeEndAndArrowsStopAtTheEdges) {
    GridInOwner g(4, 3, Size{800, 600});
    CTestGrid& grid = g.grid;
    ASSERT_TRUE(grid.MoveTo(3, 0));
    struct Step {
        int nKey;
        bool bShift;
        int nCol;
        GridRow nRow;
    } steps[] = {
        {VK_TAB, false, 4, 1},  // last column: no move
        {VK_TAB, true, 3, 1},  {VK_HOME, false, 1, 1}, {VK_LEFT, false, 1, 1}, {VK_UP, false, 1, 1},
        {VK_END, false, 4, 1}, {VK_RETURN, false, 4, 2}, {VK_RETURN, false, 4, 3},
    };
    for (const Step& s : steps) {
        g.owner.bShift = s.bShift;
        grid.OnKeyDown(s.nKey);
        EXPECT_EQ(grid.GetCurrentColumn(), s.nCol) << s.nKey;
        EXPECT_EQ(grid.GetCurrentRow(), s.nRow) << s.nKey;
    }
    g.owner.bShift = false;
    g.owner.Forget();
    grid.OnKeyDown(VK_RETURN);  // Enter on the last row: the same cell is activated again
    EXPECT_EQ(grid.GetCurrentRow(), 3);
    EXPECT_EQ(g.owner.SentMessages(), Msgs{WM_GRID_CURCELLCHANGED});
    EXPECT_TRUE(grid.OnKeyDown(VK_SHIFT));
    EXPECT_FALSE(grid.OnKeyDown('A'));  // not the grid's key
}

TEST(GridKeys, ShiftArrowsGrowTheSelectionOnlyWithMultiSelect) {
    GridInOwner g(6, 10, Size{800, 600}, GS_MULTISELECT);
    CTestGrid& grid = g.grid;
    ASSERT_TRUE(grid.MoveTo(1, 2));
    g.owner.Forget();
    g.owner.bShift = true;
    grid.OnKeyDown(VK_RIGHT);
    grid.OnKeyDown(VK_RIGHT);
    grid.OnKeyDown(VK_DOWN);
    EXPECT_EQ(grid.GetCurrentColumn(), 2) << "the current cell stays";
    EXPECT_EQ(grid.GetCurrentRow(), 3);
    EXPECT_EQ(Selection(grid), (Sel{1, 3, 2, 3}));
    EXPECT_EQ(g.owner.SentMessages(), Msgs(3, WM_GRID_SELCHANGED));
    grid.OnKeyDown(VK_LEFT);  // shrinks from the moving end
    EXPECT_EQ(Selection(grid), (Sel{1, 2, 2, 3}));
    grid.OnKeyDown(VK_LEFT);
    grid.OnKeyDown(VK_LEFT);  // and grows past the current cell the other way
    EXPECT_EQ(Selection(grid), (Sel{0, 1, 2, 3}));
    g.owner.bShift = false;
    grid.OnKeyDown(VK_DOWN);  // a plain move collapses the selection
    EXPECT_EQ(Selection(grid), (Sel{1, 1, 3, 3}));

    GridInOwner single(6, 10, Size{800, 600});
    ASSERT_TRUE(single.grid.MoveTo(1, 2));
    single.owner.bShift = true;
    single.grid.OnKeyDown(VK_RIGHT);
    EXPECT_EQ(single.grid.GetCurrentColumn(), 3) << "without multi-select Shift moves the current cell";
}

TEST(GridWheel, NotchesLinesAndFractions) {
    std::unique_ptr<GridInOwner> g = MakeTwentyRowPage();
    CTestGrid& grid = g->grid;
    int R = grid.GetRowHeight();
    // One line per notch pages up but steps one row down.
    g->owner.nWheelLines = 1;
    grid.ScrollTo(0, 100 * R);
    grid.OnMouseWheel(0, -120);
    EXPECT_EQ(grid.GetVertPos(), 101 * R);
    grid.OnMouseWheel(0, 120);
    EXPECT_EQ(grid.GetVertPos(), 101 * R - grid.GetPageHeight());
    g->owner.nWheelLines = 3;
    GridPos before = grid.GetVertPos();
    grid.OnMouseWheel(0, 120);
    EXPECT_EQ(grid.GetVertPos(), before - 3 * R);
    grid.OnMouseWheel(0, -240);
    EXPECT_EQ(grid.GetVertPos(), before + 3 * R);
    // A touchpad: 120 units in eight events add up to the same three lines.
    grid.ScrollTo(0, 0);
    for (int i = 0; i < 8; ++i) grid.OnMouseWheel(0, -15);
    EXPECT_EQ(grid.GetVertPos(), 3 * R);
}

TEST(GridScrollBars, PagesMoveByThePageLessOrPlusTheHeaderBand) {
    GridInOwner g(3, 1000, Size{300, 320}, GS_FIXEDHEADERHEIGHT);
    CTestGrid& grid = g.grid;
    ASSERT_EQ(grid.GetHeaderHeight(), 16);
    ASSERT_EQ(grid.GetPageHeight(), 320);
    grid.ScrollTo(0, 1000);
    const std::pair<int, GridPos> steps[] = {{SB_PAGEDOWN, 1304}, {SB_PAGEUP, 968},
                                             {SB_LINEDOWN, 968 + grid.GetRowHeight()}, {SB_TOP, 0},
                                             {SB_LINEUP, 0}};  // nothing above the top
    for (auto [nCode, nPos] : steps) {
        grid.OnScroll(0xFF | (nCode << 8), 0, true);
        EXPECT_EQ(grid.GetVertPos(), nPos) << nCode;
    }
    EXPECT_EQ(g.owner.bars[SB_VERT].nPos, 0);
}

TEST(GridScrollBars, AScrollMovesOnlyTheDataPartOfTheWindow) {
    GridInOwner g(30, 1000, Size{300, 200});
    CTestGrid& grid = g.grid;
    grid.OnScroll(0xFF | (SB_LINEDOWN << 8), 0, true);
    grid.OnScroll(SB_LINERIGHT | 0xFF00, 0, true);
    ASSERT_EQ(g.owner.scrolls.size(), 2u);
    EXPECT_EQ(g.owner.scrolls[0].dy, -grid.GetRowHeight());
    EXPECT_EQ(g.owner.scrolls[0].rc.top, grid.GetHeaderHeight());
    EXPECT_EQ(g.owner.scrolls[1].rc.left, grid.GetFixedColumnWidth());
    EXPECT_LT(g.owner.scrolls[1].dx, 0);
    // A jump of more than a screen moves no pixels; it repaints the area.
    g.owner.Forget();
    grid.OnScroll(0xFF | (SB_BOTTOM << 8), 0, true);
    EXPECT_TRUE(g.owner.scrolls.empty());
    EXPECT_FALSE(g.owner.invalidated.empty());
}

TEST(GridMouse, ClicksBeyondTheDataChangeNothing) {
    GridInOwner g(3, 4, Size{800, 600});
    CTestGrid& grid = g.grid;
    int H = grid.GetHeaderHeight(), R = grid.GetRowHeight(), W = grid.GetFixedColumnWidth();
    ASSERT_TRUE(grid.MoveTo(1, 2));
    g.owner.Forget();
    grid.OnLButtonDown(MK_LBUTTON, W + 3 * 60 + 20, H + 5);  // right of the last column
    grid.OnLButtonDown(MK_LBUTTON, W + 10, H + 4 * R + 10);   // below the last row
    EXPECT_EQ(grid.GetCurrentColumn(), 2);
    EXPECT_EQ(grid.GetCurrentRow(), 3);
    EXPECT_TRUE(g.owner.sent.empty());
}

TEST(GridMouse, DraggingCarriesTheCurrentCellOrSpansABlockFromTheAnchor) {
    for (uint32_t nStyle : {0u, uint32_t{GS_MULTISELECT}}) {
        GridInOwner g(5, 10, Size{800, 600}, nStyle);
        CTestGrid& grid = g.grid;
        int H = grid.GetHeaderHeight(), R = grid.GetRowHeight(), W = grid.GetFixedColumnWidth();
        grid.OnLButtonDown(MK_LBUTTON, W + 60 + 5, H + R + 5);
        grid.OnMouseMove(MK_LBUTTON, W + 3 * 60 + 5, H + 4 * R + 5);
        grid.OnMouseMove(0, W + 4 * 60 + 5, H + 5);  // button up: nothing follows
        grid.OnLButtonUp(0, W + 3 * 60 + 5, H + 4 * R + 5);
        if (nStyle) {
            EXPECT_EQ(Selection(grid), (Sel{1, 3, 1, 4}));
            EXPECT_EQ(grid.GetCurrentColumn(), 2);
            EXPECT_EQ(grid.GetCurrentRow(), 2);
        } else {
            EXPECT_EQ(grid.GetCurrentColumn(), 4);
            EXPECT_EQ(grid.GetCurrentRow(), 5);
        }
        EXPECT_EQ(g.owner.nCaptures, g.owner.nReleases);
    }
}

TEST(GridMouse, HeaderRowHeaderAndCornerSelectWholeBlocks) {
    GridInOwner g(4, 6, Size{800, 600}, GS_MULTISELECT);
    CTestGrid& grid = g.grid;
    int H = grid.GetHeaderHeight(), R = grid.GetRowHeight(), W = grid.GetFixedColumnWidth();
    Click(grid, W + 2 * 60 + 10, H / 2);
    EXPECT_EQ(Selection(grid), (Sel{2, 2, 0, 5}));
    EXPECT_EQ(grid.GetCurrentColumn(), 3);
    g.owner.bShift = true;  // Shift extends a block to the clicked column
    Click(grid, W + 10, H / 2, MK_SHIFT);
    EXPECT_EQ(Selection(grid), (Sel{0, 2, 0, 5}));
    g.owner.bShift = false;
    Click(grid, W / 2, H + 3 * R + 3);
    EXPECT_EQ(Selection(grid), (Sel{0, 3, 3, 3}));
    EXPECT_EQ(grid.GetCurrentRow(), 4);
    Click(grid, 2, 2);
    EXPECT_EQ(Selection(grid), (Sel{0, 3, 0, 5}));
}

TEST(GridMouse, HeaderClickWithoutMultiSelectMovesToTheColumnAndDoubleClickRepeatsIt) {
    GridInOwner g(4, 6, Size{800, 600});
    CTestGrid& grid = g.grid;
    int H = grid.GetHeaderHeight(), W = grid.GetFixedColumnWidth();
    ASSERT_TRUE(grid.MoveTo(0, 3));
    grid.OnLButtonDblClk(MK_LBUTTON, W + 3 * 60 + 10, H / 2);
    grid.OnLButtonUp(0, W + 3 * 60 + 10, H / 2);
    EXPECT_EQ(grid.dblClicked, std::vector<int>{3});
    EXPECT_EQ(grid.GetCurrentColumn(), 4);
    EXPECT_EQ(grid.GetCurrentRow(), 4);
}

TEST(GridMouse, DraggingAColumnBorderResizesItAndTellsTheParent) {
    GridInOwner g(4, 6, Size{800, 600});
    CTestGrid& grid = g.grid;
    int H = grid.GetHeaderHeight(), W = grid.GetFixedColumnWidth();
    int xBorder = W + 2 * 60 - 1;  // right edge line of data column 1
    g.owner.ptCursor = platform::Point{xBorder, H / 2};
    ASSERT_TRUE(grid.OnSetCursor(HTCLIENT));
    grid.OnLButtonDown(MK_LBUTTON, xBorder, H / 2);
    grid.OnMouseMove(MK_LBUTTON, xBorder + 25, H / 2);
    g.owner.Forget();
    grid.OnLButtonUp(0, xBorder + 25, H / 2);
    EXPECT_EQ(grid.GetTotalWidth(), W + 4 * 60 + 25);
    EXPECT_EQ(g.owner.SentMessages(), Msgs{WM_GRID_COLRESIZED});
    // Neither the middle of a header nor below the header band is a border.
    for (platform::Point pt : {platform::Point{W + 30, H / 2}, platform::Point{xBorder, H + 10}}) {
        g.owner.ptCursor = pt;
        EXPECT_FALSE(grid.OnSetCursor(HTCLIENT));
    }
}

TEST(GridMouse, TheRowHeaderBorderIsDraggedOnlyWhenItsWidthIsNotFromTheFont) {
    GridInOwner g(40, 6, Size{400, 300});
    CTestGrid& grid = g.grid;
    int H = grid.GetHeaderHeight(), W = grid.GetFixedColumnWidth();
    g.owner.ptCursor = platform::Point{W - 1, H / 2};
    EXPECT_FALSE(grid.OnSetCursor(HTCLIENT));
    g.owner.nGridStyle = GS_FIXEDROWHEADERWIDTH;
    // Scrolled sideways, the border beside the row headers is still theirs,
    // not that of a data column hidden behind them.
    for (GridPos nScroll : {0, 100}) {
        W = grid.GetFixedColumnWidth();
        grid.ScrollTo(nScroll, 0);
        ASSERT_EQ(grid.GetHorzPos(), nScroll);
        g.owner.ptCursor = platform::Point{W - 1, H / 2};
        ASSERT_TRUE(grid.OnSetCursor(HTCLIENT));
        grid.OnLButtonDown(MK_LBUTTON, W - 1, H / 2);
        grid.OnLButtonUp(0, W + 19, H / 2);
        EXPECT_EQ(grid.GetFixedColumnWidth(), W + 20);
    }
    for (int i = 0; i < 40; ++i) EXPECT_EQ(grid.GetColumnWidth(i, 0), 60);
}

TEST(GridNotifications, AMoveSendsCurrentCellChangedOnceAndTheDataSourceHearsFirst) {
    GridInOwner g(4, 6, Size{800, 600});
    CTestGrid& grid = g.grid;
    ASSERT_TRUE(grid.MoveTo(2, 3));
    EXPECT_EQ(g.owner.SentMessages(), Msgs{WM_GRID_CURCELLCHANGED});
    EXPECT_EQ(g.owner.sent[0].wParam, g.owner.GetWindowId());
    ASSERT_FALSE(grid.changes.empty());
    EXPECT_EQ(grid.changes.back(), (std::pair<int, GridRow>{2, 3}));
    g.owner.Forget();
    EXPECT_FALSE(grid.MoveTo(4, 0));  // no such column
    EXPECT_FALSE(grid.MoveTo(0, 6));  // no such row
    EXPECT_TRUE(g.owner.sent.empty());
}

TEST(GridNotifications, ACommittedEditIsReportedBeforeTheMove) {
    EditedGrid g;
    ASSERT_TRUE(g.grid.MoveTo(1, 2));
    ASSERT_NE(g.pEditor, nullptr);
    CRecordingEditor* pFirst = g.pEditor;
    EXPECT_EQ(pFirst->GetEditorValue().strText, "1,2");  // loaded with the cell
    int H = g.grid.GetHeaderHeight(), R = g.grid.GetRowHeight(), W = g.grid.GetFixedColumnWidth();
    EXPECT_EQ(pFirst->shown, (Rect{W + 60 - 1, H + 2 * R - 1, W + 120 - 1, H + 3 * R - 1}));
    pFirst->m_bModified = true;
    g.owner.Forget();
    ASSERT_TRUE(g.grid.MoveTo(1, 3));
    EXPECT_EQ(g.owner.SentMessages(), (Msgs{WM_GRID_CELLCOMMITTED, WM_GRID_CURCELLCHANGED}));
    EXPECT_EQ(g.owner.sent[0].wParam, 1u);
    EXPECT_EQ(g.owner.sent[0].lParam, 2);
    EXPECT_FALSE(pFirst->m_bModified);
    EXPECT_EQ(g.pEditor, pFirst);
    EXPECT_EQ(pFirst->GetEditorValue().strText, "1,3");  // reloaded for the new cell
}

TEST(GridNotifications, ARefusedEditKeepsTheCellCurrentButStillReports) {
    EditedGrid g;
    ASSERT_TRUE(g.grid.MoveTo(1, 2));
    ASSERT_NE(g.pEditor, nullptr);
    g.pEditor->m_bModified = true;
    g.pEditor->m_bValid = false;
    g.owner.Forget();
    g.grid.OnKeyDown(VK_DOWN);
    EXPECT_EQ(g.grid.GetCurrentRow(), 3);  // data row 2 stays current
    EXPECT_EQ(g.owner.SentMessages(), Msgs{WM_GRID_CURCELLCHANGED});
    EXPECT_TRUE(g.pEditor->IsEditorActive());  // shown again for correction
}

TEST(GridNotifications, RowCountChangesArePostedAndAppendingMovesToTheNewRow) {
    GridInOwner g(3, 5, Size{800, 600});
    CTestGrid& grid = g.grid;
    grid.SetRowCount(5, true);
    EXPECT_TRUE(g.owner.posted.empty());  // unchanged: nothing
    grid.InsertRows(5, 2);
    ASSERT_EQ(g.owner.posted.size(), 1u);
    EXPECT_EQ(g.owner.posted[0].nMessage, unsigned{WM_GRID_ROWCOUNT});
    EXPECT_EQ(g.owner.posted[0].lParam, 7);
    EXPECT_EQ(grid.GetCurrentRow(), 7);  // the new last row
    Msgs messages = g.owner.SentMessages();
    EXPECT_NE(std::find(messages.begin(), messages.end(), WM_GRID_CURCELLCHANGED), messages.end());

    g.owner.Forget();
    ASSERT_TRUE(grid.MoveTo(0, 1));
    grid.InsertRows(1, 1);  // in the middle: the rows below move down on screen
    ASSERT_FALSE(g.owner.scrolls.empty());
    EXPECT_EQ(g.owner.scrolls.back().dy, grid.GetRowHeight());
    EXPECT_EQ(grid.GetCurrentRow(), 2);
    grid.DeleteRows(0, 100);  // more than there are: all of them
    EXPECT_EQ(grid.GetRowCount(), 0);
    EXPECT_EQ(g.owner.posted.back().lParam, 0);
    grid.DeleteRows(0, 1);  // nothing left to delete
    EXPECT_EQ(grid.GetRowCount(), 0);
}

TEST(GridNotifications, ShrinkingTheRowCountKeepsTheCurrentCellAndSelectionInTheData) {
    GridInOwner g(3, 50, Size{800, 600}, GS_MULTISELECT);
    CTestGrid& grid = g.grid;
    ASSERT_TRUE(grid.MoveTo(1, 40));
    g.owner.bShift = true;
    grid.OnKeyDown(VK_DOWN);
    g.owner.bShift = false;
    grid.SetRowCount(10, true);
    EXPECT_EQ(grid.GetCurrentRow(), 10);
    EXPECT_LE(Selection(grid)[3], 9);
    grid.OnKeyDown(VK_UP);  // moves from a real cell
    EXPECT_EQ(grid.GetCurrentRow(), 9);
}
