// How the current cell and the selection move: keys, wheel, scroll bars,
// clicks, drags, header and corner clicks, column resizing, inserted and
// deleted rows, the editing hand-offs, and the notifications with their order.
#include <algorithm>
#include <memory>

#include <gtest/gtest.h>

#include "tests/grid/grid_test_support.h"

using grid_test::CTestGrid;
using grid_test::GridInOwner;
using grid_test::Notification;
using platform::Rect;
using platform::Size;

namespace {

// An editor that can be told to report a change and to refuse it.
class CRecordingEditor : public CKelCellEditor {
public:
    bool IsModified() const override { return m_bModified; }
    void SetModified(bool b) override { m_bModified = b; }
    bool ValidateEditor() override { return m_bValid; }
    bool ShowEditor(int x, int y, int cx, int cy) override {
        shown = Rect{x, y, x + cx, y + cy};
        m_bActive = true;
        return true;
    }
    bool HideEditor() override {
        m_bActive = false;
        return true;
    }
    bool IsEditorActive() const override { return m_bActive; }
    void OnCellClick(int x, int y) override { clicks.push_back(platform::Point{x, y}); }

    bool m_bModified = false;
    bool m_bValid = true;
    bool m_bActive = false;
    Rect shown;
    std::vector<platform::Point> clicks;
};

// A page of exactly 20 rows below one header row.
std::unique_ptr<GridInOwner> MakeTwentyRowPage(uint32_t nStyle = 0) {
    auto p = std::make_unique<GridInOwner>(5, 1000, Size{800, 100}, nStyle);
    int R = p->grid.GetRowHeight();
    p->owner.sizeOuter = Size{800, 20 * R};
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
    EXPECT_TRUE(grid.OnKeyDown(VK_NEXT));
    EXPECT_EQ(grid.GetCurrentRow(), 1 + 19);
    EXPECT_TRUE(grid.OnKeyDown(VK_NEXT));
    EXPECT_EQ(grid.GetCurrentRow(), 1 + 38);
    EXPECT_TRUE(grid.OnKeyDown(VK_PRIOR));
    EXPECT_EQ(grid.GetCurrentRow(), 1 + 19);
    EXPECT_TRUE(grid.OnKeyDown(VK_PRIOR));
    EXPECT_TRUE(grid.OnKeyDown(VK_PRIOR));  // stops at the first row
    EXPECT_EQ(grid.GetCurrentRow(), 1);
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
    grid.OnKeyDown(VK_TAB);  // last column: no move
    EXPECT_EQ(grid.GetCurrentColumn(), 4);
    g.owner.bShift = true;
    grid.OnKeyDown(VK_TAB);
    EXPECT_EQ(grid.GetCurrentColumn(), 3);
    g.owner.bShift = false;
    grid.OnKeyDown(VK_HOME);
    EXPECT_EQ(grid.GetCurrentColumn(), 1);
    grid.OnKeyDown(VK_LEFT);
    EXPECT_EQ(grid.GetCurrentColumn(), 1);
    grid.OnKeyDown(VK_UP);
    EXPECT_EQ(grid.GetCurrentRow(), 1);
    grid.OnKeyDown(VK_END);
    EXPECT_EQ(grid.GetCurrentColumn(), 4);

    grid.OnKeyDown(VK_RETURN);
    grid.OnKeyDown(VK_RETURN);
    EXPECT_EQ(grid.GetCurrentRow(), 3);
    g.owner.Forget();
    grid.OnKeyDown(VK_RETURN);  // last row: the same cell is activated again
    EXPECT_EQ(grid.GetCurrentRow(), 3);
    EXPECT_EQ(g.owner.SentMessages(), std::vector<unsigned>{WM_GRID_CURCELLCHANGED});

    EXPECT_TRUE(grid.OnKeyDown(VK_SHIFT));
    EXPECT_FALSE(grid.OnKeyDown('A'));  // not the grid's key, but the cell is activated again
}

TEST(GridKeys, ShiftRightGrowsTheSelectionAndLeavesTheCurrentCell) {
    GridInOwner g(6, 10, Size{800, 600}, GS_MULTISELECT);
    CTestGrid& grid = g.grid;
    ASSERT_TRUE(grid.MoveTo(1, 2));
    g.owner.Forget();
    g.owner.bShift = true;
    grid.OnKeyDown(VK_RIGHT);
    grid.OnKeyDown(VK_RIGHT);
    grid.OnKeyDown(VK_DOWN);
    EXPECT_EQ(grid.GetCurrentColumn(), 2);
    EXPECT_EQ(grid.GetCurrentRow(), 3);
    int l, r;
    GridRow t, b;
    grid.GetSelection(l, r, t, b);
    EXPECT_EQ(l, 1);
    EXPECT_EQ(r, 3);
    EXPECT_EQ(t, 2);
    EXPECT_EQ(b, 3);
    EXPECT_EQ(g.owner.SentMessages(), (std::vector<unsigned>{WM_GRID_SELCHANGED, WM_GRID_SELCHANGED, WM_GRID_SELCHANGED}));

    grid.OnKeyDown(VK_LEFT);  // shrinks from the moving end
    grid.GetSelection(l, r, t, b);
    EXPECT_EQ(l, 1);
    EXPECT_EQ(r, 2);
    grid.OnKeyDown(VK_LEFT);
    grid.OnKeyDown(VK_LEFT);  // and grows past the current cell the other way
    grid.GetSelection(l, r, t, b);
    EXPECT_EQ(l, 0);
    EXPECT_EQ(r, 1);

    g.owner.bShift = false;
    grid.OnKeyDown(VK_DOWN);  // a plain move collapses the selection
    grid.GetSelection(l, r, t, b);
    EXPECT_EQ(l, r);
    EXPECT_EQ(t, b);
    EXPECT_EQ(t, 3);
}

TEST(GridKeys, ShiftArrowWithoutMultiSelectMovesTheCurrentCell) {
    GridInOwner g(6, 10, Size{800, 600});
    ASSERT_TRUE(g.grid.MoveTo(1, 2));
    g.owner.bShift = true;
    g.grid.OnKeyDown(VK_RIGHT);
    EXPECT_EQ(g.grid.GetCurrentColumn(), 3);
}

TEST(GridWheel, OneLinePerNotchPagesUpButStepsOneRowDown) {
    std::unique_ptr<GridInOwner> g = MakeTwentyRowPage();
    CTestGrid& grid = g->grid;
    int R = grid.GetRowHeight();
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
}

TEST(GridWheel, FractionsOfANotchAddUpToLines) {
    std::unique_ptr<GridInOwner> g = MakeTwentyRowPage();
    CTestGrid& grid = g->grid;
    int R = grid.GetRowHeight();
    g->owner.nWheelLines = 3;
    for (int i = 0; i < 8; ++i)
        grid.OnMouseWheel(0, -15);  // a touchpad: 120 units in eight events
    EXPECT_EQ(grid.GetVertPos(), 3 * R);
}

TEST(GridScrollBars, PagesMoveByThePageLessOrPlusTheHeaderBand) {
    GridInOwner g(3, 1000, Size{300, 320}, GS_FIXEDHEADERHEIGHT);
    CTestGrid& grid = g.grid;
    ASSERT_EQ(grid.GetHeaderHeight(), 16);
    ASSERT_EQ(grid.GetPageHeight(), 320);
    grid.ScrollTo(0, 1000);
    grid.OnScroll(0xFF | (SB_PAGEDOWN << 8), 0, true);
    EXPECT_EQ(grid.GetVertPos(), 1304);
    grid.OnScroll(0xFF | (SB_PAGEUP << 8), 0, true);
    EXPECT_EQ(grid.GetVertPos(), 968);
    grid.OnScroll(0xFF | (SB_LINEDOWN << 8), 0, true);
    EXPECT_EQ(grid.GetVertPos(), 968 + grid.GetRowHeight());
    grid.OnScroll(0xFF | (SB_TOP << 8), 0, true);
    EXPECT_EQ(grid.GetVertPos(), 0);
    EXPECT_EQ(g.owner.bars[SB_VERT].nPos, 0);
    grid.OnScroll(0xFF | (SB_LINEUP << 8), 0, true);  // nothing above the top
    EXPECT_EQ(grid.GetVertPos(), 0);
}

TEST(GridScrollBars, AScrollMovesOnlyTheDataPartOfTheWindow) {
    GridInOwner g(30, 1000, Size{300, 200});
    CTestGrid& grid = g.grid;
    int R = grid.GetRowHeight();
    grid.OnScroll(0xFF | (SB_LINEDOWN << 8), 0, true);
    ASSERT_EQ(g.owner.scrolls.size(), 1u);
    EXPECT_EQ(g.owner.scrolls[0].dy, -R);
    EXPECT_EQ(g.owner.scrolls[0].rc.top, grid.GetHeaderHeight());
    grid.OnScroll(SB_LINERIGHT | 0xFF00, 0, true);
    ASSERT_EQ(g.owner.scrolls.size(), 2u);
    EXPECT_EQ(g.owner.scrolls[1].rc.left, grid.GetFixedColumnWidth());
    EXPECT_LT(g.owner.scrolls[1].dx, 0);

    // A jump of more than a screen moves no pixels; it repaints the area.
    g.owner.Forget();
    grid.OnScroll(0xFF | (SB_BOTTOM << 8), 0, true);
    EXPECT_TRUE(g.owner.scrolls.empty());
    EXPECT_FALSE(g.owner.invalidated.empty());
}

TEST(GridMouse, ClicksSelectCellsAndIgnoreThePlaceBeyondTheData) {
    GridInOwner g(3, 4, Size{800, 600});
    CTestGrid& grid = g.grid;
    int H = grid.GetHeaderHeight(), R = grid.GetRowHeight(), W = grid.GetFixedColumnWidth();
    grid.OnLButtonDown(MK_LBUTTON, W + 60 + 10, H + 2 * R + 5);
    grid.OnLButtonUp(0, W + 60 + 10, H + 2 * R + 5);
    EXPECT_EQ(grid.GetCurrentColumn(), 2);
    EXPECT_EQ(grid.GetCurrentRow(), 3);
    g.owner.Forget();
    grid.OnLButtonDown(MK_LBUTTON, W + 3 * 60 + 20, H + 5);           // right of the last column
    grid.OnLButtonDown(MK_LBUTTON, W + 10, H + 4 * R + 10);            // below the last row
    EXPECT_EQ(grid.GetCurrentColumn(), 2);
    EXPECT_EQ(grid.GetCurrentRow(), 3);
    EXPECT_TRUE(g.owner.sent.empty());
}

TEST(GridMouse, DraggingWithoutMultiSelectCarriesTheCurrentCell) {
    GridInOwner g(5, 10, Size{800, 600});
    CTestGrid& grid = g.grid;
    int H = grid.GetHeaderHeight(), R = grid.GetRowHeight(), W = grid.GetFixedColumnWidth();
    grid.OnLButtonDown(MK_LBUTTON, W + 5, H + 5);
    grid.OnMouseMove(MK_LBUTTON, W + 2 * 60 + 5, H + 3 * R + 5);
    EXPECT_EQ(grid.GetCurrentColumn(), 3);
    EXPECT_EQ(grid.GetCurrentRow(), 4);
    grid.OnMouseMove(0, W + 4 * 60 + 5, H + 5);  // button up: nothing follows
    EXPECT_EQ(grid.GetCurrentColumn(), 3);
    grid.OnLButtonUp(0, 0, 0);
}

TEST(GridMouse, DraggingWithMultiSelectSpansABlockFromTheAnchor) {
    GridInOwner g(5, 10, Size{800, 600}, GS_MULTISELECT);
    CTestGrid& grid = g.grid;
    int H = grid.GetHeaderHeight(), R = grid.GetRowHeight(), W = grid.GetFixedColumnWidth();
    grid.OnLButtonDown(MK_LBUTTON, W + 60 + 5, H + R + 5);
    grid.OnMouseMove(MK_LBUTTON, W + 3 * 60 + 5, H + 4 * R + 5);
    grid.OnLButtonUp(0, W + 3 * 60 + 5, H + 4 * R + 5);
    int l, r;
    GridRow t, b;
    grid.GetSelection(l, r, t, b);
    EXPECT_EQ((std::vector<GridRow>{l, r, t, b}), (std::vector<GridRow>{1, 3, 1, 4}));
    EXPECT_EQ(grid.GetCurrentColumn(), 2);
    EXPECT_EQ(grid.GetCurrentRow(), 2);
    EXPECT_EQ(g.owner.nCaptures, g.owner.nReleases);
}

TEST(GridMouse, HeaderRowHeaderAndCornerSelectWholeBlocks) {
    GridInOwner g(4, 6, Size{800, 600}, GS_MULTISELECT);
    CTestGrid& grid = g.grid;
    int H = grid.GetHeaderHeight(), R = grid.GetRowHeight(), W = grid.GetFixedColumnWidth();
    int l, r;
    GridRow t, b;
    grid.OnLButtonDown(MK_LBUTTON, W + 2 * 60 + 10, H / 2);
    grid.OnLButtonUp(0, W + 2 * 60 + 10, H / 2);
    grid.GetSelection(l, r, t, b);
    EXPECT_EQ((std::vector<GridRow>{l, r, t, b}), (std::vector<GridRow>{2, 2, 0, 5}));
    EXPECT_EQ(grid.GetCurrentColumn(), 3);

    g.owner.bShift = true;  // Shift extends a block to the clicked column
    grid.OnLButtonDown(MK_LBUTTON | MK_SHIFT, W + 10, H / 2);
    grid.OnLButtonUp(0, W + 10, H / 2);
    grid.GetSelection(l, r, t, b);
    EXPECT_EQ((std::vector<GridRow>{l, r, t, b}), (std::vector<GridRow>{0, 2, 0, 5}));
    g.owner.bShift = false;

    grid.OnLButtonDown(MK_LBUTTON, W / 2, H + 3 * R + 3);
    grid.OnLButtonUp(0, W / 2, H + 3 * R + 3);
    grid.GetSelection(l, r, t, b);
    EXPECT_EQ((std::vector<GridRow>{l, r, t, b}), (std::vector<GridRow>{0, 3, 3, 3}));
    EXPECT_EQ(grid.GetCurrentRow(), 4);

    grid.OnLButtonDown(MK_LBUTTON, 2, 2);
    grid.OnLButtonUp(0, 2, 2);
    grid.GetSelection(l, r, t, b);
    EXPECT_EQ((std::vector<GridRow>{l, r, t, b}), (std::vector<GridRow>{0, 3, 0, 5}));
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
    EXPECT_EQ(g.owner.nCursor, IDC_COLUMNRESIZE);
    grid.OnLButtonDown(MK_LBUTTON, xBorder, H / 2);
    EXPECT_TRUE(grid.IsResizing());
    grid.OnMouseMove(MK_LBUTTON, xBorder + 25, H / 2);
    EXPECT_EQ(g.owner.nTrackX, xBorder + 25);
    g.owner.Forget();
    grid.OnLButtonUp(0, xBorder + 25, H / 2);
    EXPECT_FALSE(grid.IsResizing());
    EXPECT_EQ(grid.GetColumnWidth(1, 0), 85);
    EXPECT_EQ(grid.GetTotalWidth(), W + 4 * 60 + 25);
    EXPECT_EQ(g.owner.nTrackX, -1);
    EXPECT_EQ(g.owner.SentMessages(), std::vector<unsigned>{WM_GRID_COLRESIZED});

    g.owner.ptCursor = platform::Point{W + 30, H / 2};  // the middle of a header
    EXPECT_FALSE(grid.OnSetCursor(HTCLIENT));
    g.owner.ptCursor = platform::Point{xBorder, H + 10};  // below the header band
    EXPECT_FALSE(grid.OnSetCursor(HTCLIENT));
}

TEST(GridMouse, TheRowHeaderBorderIsDraggedOnlyWhenItsWidthIsNotFromTheFont) {
    GridInOwner g(40, 6, Size{400, 300});
    CTestGrid& grid = g.grid;
    int H = grid.GetHeaderHeight(), W = grid.GetFixedColumnWidth();
    g.owner.ptCursor = platform::Point{W - 1, H / 2};
    EXPECT_FALSE(grid.OnSetCursor(HTCLIENT));

    g.owner.nGridStyle = GS_FIXEDROWHEADERWIDTH;
    ASSERT_TRUE(grid.OnSetCursor(HTCLIENT));
    grid.OnLButtonDown(MK_LBUTTON, W - 1, H / 2);
    grid.OnLButtonUp(0, W + 19, H / 2);
    EXPECT_EQ(grid.GetFixedColumnWidth(), W + 20);

    // Scrolled sideways, the border beside the row headers is still theirs,
    // not that of a data column hidden behind them.
    W = grid.GetFixedColumnWidth();
    grid.ScrollTo(100, 0);
    ASSERT_EQ(grid.GetHorzPos(), 100);
    g.owner.ptCursor = platform::Point{W - 1, H / 2};
    ASSERT_TRUE(grid.OnSetCursor(HTCLIENT));
    grid.OnLButtonDown(MK_LBUTTON, W - 1, H / 2);
    grid.OnLButtonUp(0, W + 9, H / 2);
    EXPECT_EQ(grid.GetFixedColumnWidth(), W + 10);
    for (int i = 0; i < 40; ++i)
        EXPECT_EQ(grid.GetColumnWidth(i, 0), 60);
}

TEST(GridNotifications, AMoveSendsCurrentCellChangedOnceAndTheDataSourceHearsFirst) {
    GridInOwner g(4, 6, Size{800, 600});
    CTestGrid& grid = g.grid;
    ASSERT_TRUE(grid.MoveTo(2, 3));
    EXPECT_EQ(g.owner.SentMessages(), std::vector<unsigned>{WM_GRID_CURCELLCHANGED});
    EXPECT_EQ(g.owner.sent[0].wParam, g.owner.GetWindowId());
    ASSERT_FALSE(grid.changes.empty());
    EXPECT_EQ(grid.changes.back(), (std::pair<int, GridRow>{2, 3}));
    g.owner.Forget();
    EXPECT_FALSE(grid.MoveTo(4, 0));  // no such column
    EXPECT_FALSE(grid.MoveTo(0, 6));  // no such row
    EXPECT_TRUE(g.owner.sent.empty());
}

TEST(GridNotifications, ACommittedEditIsReportedBeforeTheMove) {
    GridInOwner g(4, 6, Size{800, 600});
    CTestGrid& grid = g.grid;
    std::vector<CRecordingEditor*> editors;
    grid.SetEditorFactory([&](int) {
        auto p = std::make_unique<CRecordingEditor>();
        editors.push_back(p.get());
        return p;
    });
    ASSERT_TRUE(grid.MoveTo(1, 2));
    ASSERT_EQ(editors.size(), 1u);
    EXPECT_EQ(editors[0]->GetEditorValue().strText, "1,2");  // loaded with the cell
    int H = grid.GetHeaderHeight(), R = grid.GetRowHeight(), W = grid.GetFixedColumnWidth();
    EXPECT_EQ(editors[0]->shown, (Rect{W + 60 - 1, H + 2 * R - 1, W + 120 - 1, H + 3 * R - 1}));

    editors[0]->m_bModified = true;
    g.owner.Forget();
    ASSERT_TRUE(grid.MoveTo(1, 3));
    ASSERT_EQ(g.owner.sent.size(), 2u);
    EXPECT_EQ(g.owner.sent[0].nMessage, unsigned{WM_GRID_CELLCOMMITTED});
    EXPECT_EQ(g.owner.sent[0].wParam, 1u);
    EXPECT_EQ(g.owner.sent[0].lParam, 2);
    EXPECT_EQ(g.owner.sent[1].nMessage, unsigned{WM_GRID_CURCELLCHANGED});
    EXPECT_FALSE(editors[0]->m_bModified);
    EXPECT_EQ(editors[0]->GetEditorValue().strText, "1,3");  // reloaded for the new cell
}

TEST(GridNotifications, ARefusedEditKeepsTheCellCurrentButStillReports) {
    GridInOwner g(4, 6, Size{800, 600});
    CTestGrid& grid = g.grid;
    CRecordingEditor* pEditor = nullptr;
    grid.SetEditorFactory([&](int) {
        auto p = std::make_unique<CRecordingEditor>();
        pEditor = p.get();
        return p;
    });
    ASSERT_TRUE(grid.MoveTo(1, 2));
    ASSERT_NE(pEditor, nullptr);
    pEditor->m_bModified = true;
    pEditor->m_bValid = false;
    g.owner.Forget();
    grid.OnKeyDown(VK_DOWN);
    EXPECT_EQ(grid.GetCurrentRow(), 3);  // data row 2 stays current
    EXPECT_EQ(g.owner.SentMessages(), std::vector<unsigned>{WM_GRID_CURCELLCHANGED});
    EXPECT_TRUE(pEditor->IsEditorActive());  // shown again for correction
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
    std::vector<unsigned> messages = g.owner.SentMessages();
    EXPECT_NE(std::find(messages.begin(), messages.end(), WM_GRID_CURCELLCHANGED), messages.end());

    g.owner.Forget();
    ASSERT_TRUE(grid.MoveTo(0, 1));
    int R = grid.GetRowHeight();
    grid.InsertRows(1, 1);  // in the middle: the rows below move down on screen
    ASSERT_FALSE(g.owner.scrolls.empty());
    EXPECT_EQ(g.owner.scrolls.back().dy, R);
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
    int l, r;
    GridRow t, b;
    grid.GetSelection(l, r, t, b);
    EXPECT_LE(b, 9);
    grid.OnKeyDown(VK_UP);  // moves from a real cell
    EXPECT_EQ(grid.GetCurrentRow(), 9);
}
