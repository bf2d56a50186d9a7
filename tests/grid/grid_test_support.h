// Helpers of the grid tests: a recording owner window that stands in for the
// real one with exact client sizes, and a column grid whose cells name
// themselves.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "grid/column_grid.h"
#include "grid/grid_owner.h"
#include "platform/ui/draw_context.h"
#include "platform/ui/system_metrics.h"
#include "tests/platform_ui/ui_test_support.h"

namespace grid_test {

using ui_test::AppGuard;
using ui_test::EnsureApplication;
using ui_test::PixelAt;

struct Notification {
    unsigned nMessage;
    uintptr_t wParam;
    intptr_t lParam;
};

// An owner window that records what the engine asks of it. Its client area
// is the outer size less the scroll bars it shows, like a real window's.
class CFakeOwner : public CKelGridOwner {
public:
    platform::Size sizeOuter{800, 600};
    uint32_t nGridStyle = 0;
    bool abShown[2] = {false, false};
    struct Bar {
        int nMin = 0, nMax = 0, nPage = 0, nPos = 0;
    } bars[2];
    std::vector<Notification> sent, posted;
    std::vector<platform::Rect> invalidated;
    int nInvalidatedAll = 0;
    struct Scroll {
        int dx, dy;
        platform::Rect rc;
    };
    std::vector<Scroll> scrolls;
    platform::Point ptCursor;
    bool bShift = false, bCtrl = false;
    unsigned nWheelLines = 3;
    int nCursor = 0;
    int nTrackX = -1;
    int nCaptures = 0, nReleases = 0, nFocus = 0;

    bool IsWindow() const override { return true; }
    uintptr_t GetWindowId() const override { return 0x1234; }
    uint32_t GetStyle() const override {
        return nGridStyle | (abShown[SB_HORZ] ? WS_HSCROLL : 0u) | (abShown[SB_VERT] ? WS_VSCROLL : 0u);
    }
    platform::Size GetClientSize() const override {
        int cx = sizeOuter.cx - (abShown[SB_VERT] ? platform::GetSystemMetrics(platform::SM_CXVSCROLL) : 0);
        int cy = sizeOuter.cy - (abShown[SB_HORZ] ? platform::GetSystemMetrics(platform::SM_CYHSCROLL) : 0);
        return platform::Size{cx, cy};
    }
    void InvalidateRect(const platform::Rect* pRect) override {
        if (pRect)
            invalidated.push_back(*pRect);
        else
            ++nInvalidatedAll;
    }
    void ScrollWindow(int dx, int dy, const platform::Rect& rc) override { scrolls.push_back(Scroll{dx, dy, rc}); }
    void UpdateWindow() override {}
    void ShowTrackingLine(int x) override { nTrackX = x; }
    void SetCapture() override { ++nCaptures; }
    void ReleaseCapture() override { ++nReleases; }
    void SetFocus() override { ++nFocus; }
    void SetCursorShape(int n) override { nCursor = n; }
    platform::Point GetCursorPos() const override { return ptCursor; }
    bool IsKeyDown(int nKey) const override {
        return (nKey == VK_SHIFT && bShift) || (nKey == VK_CONTROL && bCtrl);
    }
    unsigned GetWheelScrollLines() const override { return nWheelLines; }
    intptr_t SendNotify(unsigned m, uintptr_t w, intptr_t l) override {
        sent.push_back(Notification{m, w, l});
        return 0;
    }
    void PostNotify(unsigned m, uintptr_t w, intptr_t l) override { posted.push_back(Notification{m, w, l}); }
    bool IsScrollBarShown(int nBar) const override { return abShown[nBar]; }
    void ShowScrollBar(int nBar, bool bShow) override { abShown[nBar] = bShow; }
    bool SetScrollInfo(int nBar, int nMin, int nMax, int nPage, int nPos) override {
        bars[nBar] = Bar{nMin, nMax, nPage, nPos};
        return true;
    }
    void SetScrollRange(int nBar, int nMin, int nMax) override {
        bars[nBar].nMin = nMin;
        bars[nBar].nMax = nMax;
    }
    void SetScrollPos(int nBar, int nPos) override { bars[nBar].nPos = nPos; }

    std::vector<unsigned> SentMessages() const {
        std::vector<unsigned> v;
        for (const Notification& n : sent)
            v.push_back(n.nMessage);
        return v;
    }
    void Forget() {
        sent.clear();
        posted.clear();
        invalidated.clear();
        nInvalidatedAll = 0;
        scrolls.clear();
    }
};

// A column grid whose cells read "column,row" and which remembers which rows
// it was asked about.
class CTestGrid : public CKelColumnGrid {
public:
    CTestGrid(int nColumns, GridRow nRows, int nWidth = 60) {
        for (int i = 0; i < nColumns; ++i)
            InsertColumn(nWidth, "H" + std::to_string(i),
                         platform::DT_LEFT | platform::DT_VCENTER | platform::DT_SINGLELINE | platform::DT_NOPREFIX,
                         platform::DT_CENTER | platform::DT_VCENTER | platform::DT_SINGLELINE);
        SetRowCount(nRows, false);
    }
    GridCellValue GetCellValue(int nCol, GridRow nRow) override {
        ++nValueCalls;
        askedRows.insert(nRow);
        auto it = values.find(std::make_pair(nCol, nRow));
        if (it != values.end())
            return GridCellValue{"", it->second};
        return GridCellValue{std::to_string(nCol) + "," + std::to_string(nRow), -1};
    }
    void OnColumnHeaderDblClk(int nCol, int nHeaderRow) override {
        dblClicked.push_back(nCol);
        CKelColumnGrid::OnColumnHeaderDblClk(nCol, nHeaderRow);
    }
    void OnCurrentCellChanged(int nCol, GridRow nRow) override { changes.emplace_back(nCol, nRow); }

    std::map<std::pair<int, GridRow>, int> values;  // cell values for frame-control cells
    std::set<GridRow> askedRows;
    long nValueCalls = 0;
    std::vector<int> dblClicked;
    std::vector<std::pair<int, GridRow>> changes;
};

// A grid in a fake owner of the given outer size, laid out.
struct GridInOwner {
    AppGuard app;  // first: the grid's fonts need the application
    CFakeOwner owner;
    CTestGrid grid;
    GridInOwner(int nColumns, GridRow nRows, platform::Size sizeOuter, uint32_t nStyle = 0, int nWidth = 60)
        : grid(nColumns, nRows, nWidth) {
        owner.sizeOuter = sizeOuter;
        owner.nGridStyle = nStyle;
        grid.SetOwner(&owner);
        grid.RecalcLayout();
        owner.Forget();
    }
};

// The selected block as {left, right, top, bottom}.
inline std::vector<GridRow> Selection(CKelGridCore& grid) {
    int l, r;
    GridRow t, b;
    grid.GetSelection(l, r, t, b);
    return {l, r, t, b};
}

// A left click (button down and up) at a point of the client area.
inline void Click(CKelGridCore& grid, int x, int y, unsigned nFlags = 0) {
    grid.OnLButtonDown(MK_LBUTTON | nFlags, x, y);
    grid.OnLButtonUp(0, x, y);
}

// Paints a grid into an image of its owner's client size.
inline QImage Paint(CKelGridCore& grid, platform::Size size) {
    QImage image(size.cx, size.cy, QImage::Format_RGB32);
    image.fill(Qt::magenta);  // anything left unpainted shows up
    platform::CDrawContext dc(image);
    grid.DrawGrid(dc);
    return image;
}

}  // namespace grid_test
