// The grid engine's geometry, metrics, extents, scroll bars and scrolling, and
// the default answers of the data-source operations. Painting lives in
// grid_paint.cpp, the current cell, selection and input in grid_input.cpp.
#include "grid/grid_core.h"

#include <algorithm>
#include <climits>
#include <cstdio>

#include "platform/ui/system_metrics.h"

using platform::Rect;
using platform::Size;

namespace {

// Screen coordinates handed to the toolkit are ints; anything further away
// than this is off screen anyway.
constexpr GridPos kScreenLimit = 1 << 28;

int ClampToScreen(GridPos v) { return static_cast<int>(std::clamp<GridPos>(v, -kScreenLimit, kScreenLimit)); }

// Pixels per scroll-bar unit: 1 while the extent fits a 16-bit scroll bar,
// else enough to fold the extent into 32767 units.
float ScaleFor(GridPos nExtent) {
    if (nExtent <= 32766)
        return 1.0f;
    return static_cast<float>(nExtent) * (1.0f / 32767.0f) + 1.0f;
}

int ToUnits(GridPos nPixels, float fScale) { return static_cast<int>(static_cast<double>(nPixels) / fScale); }

}  // namespace

GridCellStyle GridCellStyle::FromSystem() {
    using namespace platform;
    GridCellStyle style;
    style.clrBack = GetSysColor(COLOR_WINDOW);
    style.clrText = GetSysColor(COLOR_WINDOWTEXT);
    style.clrCurrentBack = style.clrBack;
    style.clrCurrentText = style.clrText;
    style.clrSelectedBack = GetSysColor(COLOR_HIGHLIGHT);
    style.clrSelectedText = GetSysColor(COLOR_HIGHLIGHTTEXT);
    style.clrLeftLine = style.clrTopLine = style.clrRightLine = style.clrBottomLine = GetSysColor(COLOR_BTNFACE);
    style.bInsetLines = false;
    style.focusFrame = GridFocusFrame{GetSysColor(COLOR_WINDOW), Rgb(0, 100, 200), true};
    return style;
}

CKelGridCore::CKelGridCore() : m_fontGrid(platform::CFont::DefaultGuiFont()), m_styleDefault(GridCellStyle::FromSystem()) {}

CKelGridCore::~CKelGridCore() = default;

// ---- default data-source answers ---------------------------------------------

GridRow CKelGridCore::GetRowCount() { return 0; }
int CKelGridCore::GetColumnCount(int) { return 0; }
std::unique_ptr<CKelCellEditor> CKelGridCore::CreateCellEditor(int, GridRow, uint32_t, int) { return nullptr; }
void CKelGridCore::SetCellEditor(int, GridRow, std::unique_ptr<CKelCellEditor>) {}

void CKelGridCore::LoadCellEditor(int nCol, GridRow nRow, CKelCellEditor* pEditor) {
    if (!pEditor)
        return;
    GridCellValue value = GetCellValue(nCol, nRow);
    pEditor->SetEditorValue(value.strText, value.nValue);
}

CKelCellEditor* CKelGridCore::GetCellEditor(int, GridRow) { return nullptr; }
uint32_t CKelGridCore::GetCellEditorStyle(int, GridRow) { return 0; }
GridCellStyle CKelGridCore::GetCellStyle(int, GridRow) { return m_styleDefault; }
bool CKelGridCore::HasCellImage(int, GridRow) { return false; }
int CKelGridCore::GetCellImageKind(int, GridRow) { return GIK_NONE; }

bool CKelGridCore::GetCellImageSize(int, GridRow, Size& size) {
    size = Size{};
    return false;
}

const platform::CPicture* CKelGridCore::GetCellImage(int, GridRow, bool) { return nullptr; }
void CKelGridCore::GetCellImageListParams(int, GridRow, platform::ImageListDrawParams&, bool) {}
void CKelGridCore::OnCurrentCellChanged(int, GridRow) {}
void CKelGridCore::OnCurrentRowChanged(GridRow) {}

GridCellFormat CKelGridCore::GetCellFormat(int, GridRow) {
    return GridCellFormat{platform::DT_CENTER | platform::DT_VCENTER | platform::DT_SINGLELINE, 0, 0, GIK_NONE};
}

GridCellValue CKelGridCore::GetCellValue(int nCol, GridRow nRow) {
    char sz[32];
    std::snprintf(sz, sizeof sz, "%u - %u", static_cast<unsigned>(nCol), static_cast<unsigned>(nRow));
    return GridCellValue{sz, -1};
}

int CKelGridCore::GetFixedRowCount() { return m_nFixedRows; }
int CKelGridCore::GetFixedColumnCount() { return m_nFixedCols; }
void CKelGridCore::OnColumnHeaderUp(int, int) {}
void CKelGridCore::OnRowHeaderUp(int, GridRow) {}
void CKelGridCore::OnColumnHeaderDblClk(int nCol, int nHeaderRow) { OnColumnHeaderClick(nCol, nHeaderRow); }
void CKelGridCore::OnRowHeaderDblClk(int nFixedCol, GridRow nRow) { OnRowHeaderClick(nFixedCol, nRow); }
int CKelGridCore::GetColumnId(int, GridRow) { return 0; }

// ---- geometry ------------------------------------------------------------------

int CKelGridCore::HeaderBand() {
    int F = GetFixedRowCount();
    return F > 0 ? F * m_nHeaderHeight : 0;
}

int CKelGridCore::RowHeaderBand() {
    int C = GetFixedColumnCount();
    return C > 0 ? C * m_nRowHeaderWidth : 0;
}

GridPos CKelGridCore::RowTop(GridRow nRow) {
    GridRow F = GetFixedRowCount();
    if (nRow <= F)
        return nRow * m_nHeaderHeight;
    return F * m_nHeaderHeight + (nRow - F) * m_nRowHeight;
}

GridRow CKelGridCore::RowAt(GridPos y) {
    GridRow F = GetFixedRowCount();
    GridPos HB = F * m_nHeaderHeight;
    if (y < HB)
        return m_nHeaderHeight > 0 ? y / m_nHeaderHeight : 0;
    return F + (m_nRowHeight > 0 ? (y - HB) / m_nRowHeight : 0);
}

int CKelGridCore::AbsColumnWidth(int nCol, int nHeaderRow) {
    if (nCol < 0)
        return 0;
    int C = GetFixedColumnCount();
    if (nCol < C)
        return m_nRowHeaderWidth;
    return GetColumnWidth(nCol - C, nHeaderRow);
}

GridPos CKelGridCore::ColumnLeft(int nCol, int nHeaderRow) {
    int C = GetFixedColumnCount();
    GridPos left = static_cast<GridPos>(std::clamp(nCol, 0, std::max(C, 0))) * m_nRowHeaderWidth;
    for (int i = std::max(C, 0); i < nCol; ++i)
        left += GetColumnWidth(i - C, nHeaderRow);
    return left;
}

int CKelGridCore::ColumnAt(GridPos x, int nHeaderRow) {
    int C = GetFixedColumnCount();
    int nAll = C + GetColumnCount(nHeaderRow);
    GridPos left = 0;
    for (int i = 0; i < nAll; ++i) {
        int w = AbsColumnWidth(i, nHeaderRow);
        if (left <= x && x <= left + w)
            return i;
        left += w;
    }
    return nAll;
}

GridPos CKelGridCore::ScreenRowTop(GridRow nRow) {
    if (nRow < GetFixedRowCount())
        return nRow * m_nHeaderHeight - 1;
    return RowTop(nRow) - m_nVertPos - 1;
}

GridPos CKelGridCore::ScreenColumnLeft(int nCol, int nHeaderRow) {
    if (nCol < GetFixedColumnCount())
        return static_cast<GridPos>(nCol) * m_nRowHeaderWidth - 1;
    return ColumnLeft(nCol, nHeaderRow) - m_nHorzPos - 1;
}

bool CKelGridCore::GetCellRect(int nCol, GridRow nRow, Rect& rc) {
    bool bHeader = nRow < GetFixedRowCount();
    int nHeaderRow = bHeader ? static_cast<int>(nRow) : -1;
    GridPos left = ScreenColumnLeft(nCol, nHeaderRow);
    GridPos top = ScreenRowTop(nRow);
    GridPos right = left + AbsColumnWidth(nCol, nHeaderRow) + 1;
    GridPos bottom = top + (bHeader ? m_nHeaderHeight : m_nRowHeight) + 1;
    if (right <= 0 || bottom <= 0)
        return false;
    rc = Rect{ClampToScreen(left), ClampToScreen(top), ClampToScreen(right), ClampToScreen(bottom)};
    return true;
}

bool CKelGridCore::GetVisibleColumns(const Rect& rc, int nHeaderRow, int& nFirst, int& nLast) {
    int nAll = GetFixedColumnCount() + GetColumnCount(nHeaderRow);
    GridPos l = rc.left + m_nHorzPos + 1, r = rc.right + m_nHorzPos + 1;
    nFirst = -1;
    nLast = nAll - 1;
    GridPos acc = 0;
    for (int i = 0; i < nAll; ++i) {
        acc += AbsColumnWidth(i, nHeaderRow);
        if (nFirst < 0 && acc > l)
            nFirst = i;
        if (acc >= r) {
            nLast = i;
            break;
        }
    }
    return nFirst >= 0 && nFirst <= nLast;
}

bool CKelGridCore::GetVisibleRows(const Rect& rc, GridRow& nFirst, GridRow& nLast) {
    GridRow nLastData = GetFixedRowCount() + GetRowCount() - 1;
    nFirst = RowAt(rc.top + m_nVertPos + 1);
    nLast = std::min(RowAt(rc.bottom + m_nVertPos + 1), nLastData);
    return nFirst <= nLast;
}

bool CKelGridCore::IsDataCell(int nCol, GridRow nRow) {
    int C = GetFixedColumnCount();
    GridRow F = GetFixedRowCount();
    return nCol >= C && nCol < C + GetColumnCount(-1) && nRow >= F && nRow < F + GetRowCount();
}

Size CKelGridCore::GetClientSize() const { return m_pOwner ? m_pOwner->GetClientSize() : Size{}; }

bool CKelGridCore::CanScroll(int nBar) const {
    if (!m_pOwner)
        return false;
    uint32_t nBit = nBar == SB_HORZ ? WS_HSCROLL : WS_VSCROLL;
    return m_pOwner->HasScrollBarControl(nBar) || (m_pOwner->GetStyle() & nBit) != 0;
}

// ---- repainting pieces -----------------------------------------------------------

void CKelGridCore::Invalidate(const Rect& rc) {
    if (m_pOwner && m_pOwner->IsWindow() && !rc.IsEmpty())
        m_pOwner->InvalidateRect(&rc);
}

void CKelGridCore::InvalidateAll() {
    if (m_pOwner && m_pOwner->IsWindow())
        m_pOwner->InvalidateRect(nullptr);
}

void CKelGridCore::RedrawCell(int nCol, GridRow nRow) {
    if (nCol < 0 || nRow < 0)
        return;
    Rect rc;
    if (GetCellRect(nCol, nRow, rc))
        Invalidate(rc);
}

void CKelGridCore::RedrawRowHeaders(GridRow nRow) {
    if (nRow < GetFixedRowCount())
        return;
    GridPos top = ScreenRowTop(nRow);
    if (top + m_nRowHeight + 1 <= 0)
        return;
    Invalidate(Rect{-1, ClampToScreen(top), RowHeaderBand() + 1, ClampToScreen(top + m_nRowHeight + 1)});
}

void CKelGridCore::RedrawRowBand(GridRow nRow) {
    if (nRow < GetFixedRowCount())
        return;
    GridPos top = ScreenRowTop(nRow);
    if (top + m_nRowHeight + 1 <= 0)
        return;
    Invalidate(Rect{-1, ClampToScreen(top), GetClientSize().cx, ClampToScreen(top + m_nRowHeight + 1)});
}

void CKelGridCore::RedrawBlock(int nLeft, int nRight, GridRow nTop, GridRow nBottom) {
    if (nRight < nLeft || nBottom < nTop)
        return;
    // One rectangle over the block's visible part: a block of a million rows
    // costs the same as one screen of them.
    Size client = GetClientSize();
    GridPos left = ScreenColumnLeft(nLeft, -1);
    GridPos right = ScreenColumnLeft(nRight, -1) + AbsColumnWidth(nRight, -1) + 1;
    GridPos top = ScreenRowTop(nTop);
    GridPos bottom = ScreenRowTop(nBottom) + m_nRowHeight + 1;
    Rect rc{ClampToScreen(std::max<GridPos>(left, -1)), ClampToScreen(std::max<GridPos>(top, -1)),
            ClampToScreen(std::min<GridPos>(right, client.cx)), ClampToScreen(std::min<GridPos>(bottom, client.cy))};
    Invalidate(rc);
}

void CKelGridCore::RedrawCorner() { Invalidate(Rect{-1, -1, RowHeaderBand() + 1, HeaderBand() + 1}); }

void CKelGridCore::InvalidateCell(int nCol, GridRow nRow) {
    RedrawCell(nCol + GetFixedColumnCount(), nRow + GetFixedRowCount());
}

void CKelGridCore::InvalidateRow(GridRow nRow) { RedrawRowBand(nRow + GetFixedRowCount()); }

// ---- layout ----------------------------------------------------------------------

void CKelGridCore::RecalcMetrics() {
    int nCharHeight = m_fontGrid.GetMetrics().nHeight;
    m_nRowHeight = m_nLinesPerRow * nCharHeight + 3;
    if (!HasStyle(GS_FIXEDHEADERHEIGHT)) {
        if (!m_pHeaderFont || m_pHeaderFont == &m_fontGrid)
            m_nHeaderHeight = m_nRowHeight;
        else
            m_nHeaderHeight = m_pHeaderFont->GetMetrics().nHeight + 3;
    }
    if (GetFixedColumnCount() > 0 && !HasStyle(GS_FIXEDROWHEADERWIDTH))
        m_nRowHeaderWidth = m_nRowHeight / 2;
    int nAll = GetFixedColumnCount() + GetColumnCount(-1);
    GridPos total = 0;
    for (int i = 0; i < nAll; ++i)
        total += AbsColumnWidth(i, -1);
    m_nTotalWidth = total;
}

void CKelGridCore::RecalcExtents() {
    m_nHorzExtent = std::max<GridPos>(0, m_nExtraWidth + m_nTotalWidth - 1);
    m_nVertExtent = std::max<GridPos>(0, m_nExtraHeight + GetRowCount() * m_nRowHeight +
                                             static_cast<GridPos>(GetFixedRowCount()) * m_nHeaderHeight - 1);
    m_fHorzScale = ScaleFor(m_nHorzExtent);
    m_fVertScale = ScaleFor(m_nVertExtent);
}

void CKelGridCore::RecalcLayout() {
    RecalcMetrics();
    RecalcExtents();
    if (m_pOwner && m_pOwner->IsWindow())
        UpdateScrollBars();
    ClampPositions();
}

void CKelGridCore::UpdateScrollBars() {
    if (m_bInBarUpdate)
        return;
    m_bInBarUpdate = true;

    Size client;
    Rect rcParent;
    bool bReserve = true;
    int cxVBar = platform::GetSystemMetrics(platform::SM_CXVSCROLL);
    int cyHBar = platform::GetSystemMetrics(platform::SM_CYHSCROLL);
    if (m_pOwner->GetParentLayoutRect(rcParent)) {
        client = Size{rcParent.Width(), rcParent.Height()};
        bReserve = false;
    } else {
        client = m_pOwner->GetClientSize();
        if (m_pOwner->IsScrollBarShown(SB_VERT))
            client.cx += cxVBar;
        if (m_pOwner->IsScrollBarShown(SB_HORZ))
            client.cy += cyHBar;
        if (client.cx <= cxVBar || client.cy <= cyHBar) {
            m_pOwner->ShowScrollBar(SB_HORZ, false);
            m_pOwner->ShowScrollBar(SB_VERT, false);
            m_bInBarUpdate = false;
            return;
        }
    }

    // Ranges in scroll units. Room taken by the other bar is converted to
    // units too, so that a scaled bar is not stretched by a bar's pixels.
    GridPos nHorzRange = ToUnits(m_nHorzExtent - client.cx + 1, m_fHorzScale);
    GridPos nVertRange = ToUnits(m_nVertExtent - client.cy + 1, m_fVertScale);
    GridPos nHorzPos = m_nHorzPos, nVertPos = m_nVertPos;
    bool bHorz = nHorzRange > 0;
    if (bHorz && bReserve)
        nVertRange += ToUnits(cyHBar, m_fVertScale);
    if (!bHorz)
        nHorzPos = 0;
    bool bVert = nVertRange > 0;
    if (bVert && bReserve) {
        nHorzRange += ToUnits(cxVBar, m_fHorzScale);
        if (!bHorz && nHorzRange > 0) {
            bHorz = true;
            nVertRange += ToUnits(cyHBar, m_fVertScale);
        }
    }
    if (!bVert)
        nVertPos = 0;
    if (nHorzRange > 0 && ToUnits(nHorzPos, m_fHorzScale) >= nHorzRange)
        nHorzPos = static_cast<GridPos>(static_cast<double>(nHorzRange) * m_fHorzScale);
    if (nVertRange > 0 && ToUnits(nVertPos, m_fVertScale) >= nVertRange)
        nVertPos = static_cast<GridPos>(static_cast<double>(nVertRange) * m_fVertScale);

    ScrollTo(nHorzPos, nVertPos);
    m_pOwner->ShowScrollBar(SB_HORZ, bHorz);
    m_pOwner->ShowScrollBar(SB_VERT, bVert);

    // The client area that is left once the bars are in place.
    int cx = client.cx - ((bVert && bReserve) ? cxVBar : 0);
    int cy = client.cy - ((bHorz && bReserve) ? cyHBar : 0);
    if (bHorz) {
        int nPage = std::max(1, ToUnits(cx, m_fHorzScale));
        if (!m_pOwner->SetScrollInfo(SB_HORZ, 0, ToUnits(m_nHorzExtent, m_fHorzScale), nPage,
                                     ToUnits(m_nHorzPos, m_fHorzScale)))
            m_pOwner->SetScrollRange(SB_HORZ, 0, static_cast<int>(nHorzRange));
    }
    if (bVert) {
        int nPage = std::max(1, ToUnits(cy, m_fVertScale));
        if (!m_pOwner->SetScrollInfo(SB_VERT, 0, ToUnits(m_nVertExtent, m_fVertScale), nPage,
                                     ToUnits(m_nVertPos, m_fVertScale)))
            m_pOwner->SetScrollRange(SB_VERT, 0, static_cast<int>(nVertRange));
    }
    // Page and line sizes follow the client area whether or not a bar is
    // shown: keyboard paging uses them too, and a page of 0 would page
    // backwards.
    m_nPageWidth = cx;
    m_nLineWidth = cx / 10;
    m_nPageHeight = cy;
    m_nLineHeight = m_nRowHeight;
    m_bInBarUpdate = false;
}

void CKelGridCore::ClampPositions() {
    GridPos nVert = m_nVertPos, nHorz = m_nHorzPos;
    if (m_nVertExtent < m_nPageHeight + m_nVertPos)
        nVert = (m_nPageHeight - m_nVertExtent - 2 < 0) ? m_nVertExtent - m_nPageHeight + 1 : 0;
    if (m_nHorzExtent < m_nPageWidth + m_nHorzPos)
        nHorz = (m_nPageWidth - m_nHorzExtent - 2 < 0) ? m_nHorzExtent - m_nPageWidth + 1 : 0;
    nVert = std::max<GridPos>(0, nVert);
    nHorz = std::max<GridPos>(0, nHorz);
    if (nVert == m_nVertPos && nHorz == m_nHorzPos)
        return;
    m_nVertPos = nVert;
    m_nHorzPos = nHorz;
    // The positions moved without moving the pixels, so all of them are stale.
    if (m_pOwner && m_pOwner->IsWindow()) {
        m_pOwner->SetScrollPos(SB_VERT, ToUnits(m_nVertPos, m_fVertScale));
        m_pOwner->SetScrollPos(SB_HORZ, ToUnits(m_nHorzPos, m_fHorzScale));
    }
    InvalidateAll();
}

void CKelGridCore::SetLinesPerRow(int nLines, bool bRedraw) {
    m_nLinesPerRow = std::max(1, nLines);
    if (bRedraw) {
        RecalcLayout();
        InvalidateAll();
    }
}

void CKelGridCore::SetFixedRowCount(int nCount, bool bRedraw) {
    nCount = std::max(0, nCount);
    int nDelta = nCount - m_nFixedRows;
    m_nFixedRows = nCount;
    m_nCurRow += nDelta;
    m_nEndRow += nDelta;
    m_nSelTop += nDelta;
    m_nSelBottom += nDelta;
    if (bRedraw) {
        RecalcLayout();
        InvalidateAll();
    }
}

void CKelGridCore::SetFixedColumnCount(int nCount, bool bRedraw) {
    nCount = std::max(0, nCount);
    int nDelta = nCount - m_nFixedCols;
    m_nFixedCols = nCount;
    m_nCurCol += nDelta;
    m_nEndCol += nDelta;
    m_nSelLeft += nDelta;
    m_nSelRight += nDelta;
    if (bRedraw) {
        RecalcLayout();
        InvalidateAll();
    }
}

void CKelGridCore::SetFixedColumnWidth(int nWidth, bool bRedraw) {
    m_nRowHeaderWidth = std::max(0, nWidth);
    if (bRedraw) {
        RecalcLayout();
        InvalidateAll();
    }
}

void CKelGridCore::SetExtraExtent(GridPos nWidth, GridPos nHeight, bool bRecalc) {
    m_nExtraWidth = nWidth;
    m_nExtraHeight = nHeight;
    if (bRecalc)
        RecalcLayout();
}

void CKelGridCore::SetSortIndicator(int nCol, int nHeaderRow, int nDirection) {
    m_nSortColumn = nCol;
    m_nSortHeaderRow = nHeaderRow;
    m_nSortDirection = nDirection;
    // The arrow moves between header cells: repaint the header band.
    Invalidate(Rect{-1, -1, GetClientSize().cx, HeaderBand() + 1});
}

void CKelGridCore::GetSortIndicator(int& nCol, int& nHeaderRow, int& nDirection) const {
    nCol = m_nSortColumn;
    nHeaderRow = m_nSortHeaderRow;
    nDirection = m_nSortDirection;
}

void CKelGridCore::SetFocusFrame(platform::Color clrSecond, platform::Color clrFirst, bool bSolid) {
    m_styleDefault.focusFrame = GridFocusFrame{clrFirst, clrSecond, bSolid};
}

void CKelGridCore::GetSelection(int& nLeft, int& nRight, GridRow& nTop, GridRow& nBottom) {
    int C = GetFixedColumnCount();
    GridRow F = GetFixedRowCount();
    nLeft = m_nSelLeft - C;
    nRight = m_nSelRight - C;
    nTop = m_nSelTop - F;
    nBottom = m_nSelBottom - F;
}

// ---- scrolling -------------------------------------------------------------------

bool CKelGridCore::ScrollBy(GridPos dx, GridPos dy, bool bDoScroll) {
    GridPos nHorz = m_nHorzPos, nVert = m_nVertPos;
    if (CanScroll(SB_HORZ))
        nHorz = std::clamp<GridPos>(m_nHorzPos + dx, 0, m_nHorzExtent);
    if (CanScroll(SB_VERT))
        nVert = std::clamp<GridPos>(m_nVertPos + dy, 0, m_nVertExtent);
    if (nHorz == m_nHorzPos && nVert == m_nVertPos)
        return false;
    if (!bDoScroll)
        return true;
    MoveWindowContents(m_nHorzPos - nHorz, m_nVertPos - nVert);
    if (nHorz != m_nHorzPos)
        m_pOwner->SetScrollPos(SB_HORZ, ToUnits(nHorz, m_fHorzScale));
    if (nVert != m_nVertPos)
        m_pOwner->SetScrollPos(SB_VERT, ToUnits(nVert, m_fVertScale));
    m_nHorzPos = nHorz;
    m_nVertPos = nVert;
    return true;
}

bool CKelGridCore::ScrollTo(GridPos x, GridPos y) { return ScrollBy(x - m_nHorzPos, y - m_nVertPos, true); }

void CKelGridCore::MoveWindowContents(GridPos dx, GridPos dy) {
    if (!m_pOwner || !m_pOwner->IsWindow())
        return;
    Size client = m_pOwner->GetClientSize();
    bool bFixed = GetFixedRowCount() > 0 || GetFixedColumnCount() > 0;
    auto move = [&](GridPos d, const Rect& area, bool bHorz) {
        if (d == 0 || area.IsEmpty())
            return;
        GridPos nSpan = bHorz ? area.Width() : area.Height();
        // A jump of a screen or more (a thumb drag across millions of rows)
        // moves no pixel: everything is new.
        if (d >= nSpan || -d >= nSpan) {
            Invalidate(area);
            return;
        }
        m_pOwner->ScrollWindow(bHorz ? static_cast<int>(d) : 0, bHorz ? 0 : static_cast<int>(d), area);
    };
    Rect whole{0, 0, client.cx, client.cy};
    move(dx, bFixed ? Rect{RowHeaderBand(), 0, client.cx, client.cy} : whole, true);
    move(dy, bFixed ? Rect{0, HeaderBand(), client.cx, client.cy} : whole, false);
}

void CKelGridCore::ScrollCellIntoView(int nCol, GridRow nRow) {
    Size client = GetClientSize();
    int RW = RowHeaderBand(), HB = HeaderBand();
    GridPos nHorz = m_nHorzPos, nVert = m_nVertPos;
    if (nCol >= GetFixedColumnCount()) {
        GridPos left = ColumnLeft(nCol, -1);
        GridPos width = AbsColumnWidth(nCol, -1);
        GridPos screenLeft = left - m_nHorzPos - 1;
        if (screenLeft < RW - 1) {
            nHorz = left - RW;
        } else if (screenLeft + width > client.cx - 1) {
            nHorz = left + width - client.cx;
            if (left - nHorz - 1 < RW - 1)
                nHorz = left - RW;
        }
    }
    if (nRow >= GetFixedRowCount()) {
        GridPos top = RowTop(nRow);
        GridPos screenTop = top - m_nVertPos - 1;
        if (screenTop < HB - 1) {
            nVert = top - HB;
        } else if (screenTop + m_nRowHeight > client.cy - 1) {
            nVert = top + m_nRowHeight - client.cy;
            if (top - nVert - 1 < HB - 1)
                nVert = top - HB;
        }
    }
    ScrollTo(nHorz, nVert);
}

void CKelGridCore::OnScroll(unsigned nCodes, int nThumb, bool bDoScroll) {
    int nHorzCode = static_cast<int>(nCodes & 0xFF);
    int nVertCode = static_cast<int>((nCodes >> 8) & 0xFF);
    int HB = HeaderBand();
    auto step = [&](int nCode, GridPos pos, GridPos extent, int nPage, int nLine, float fScale, bool bVert) -> GridPos {
        switch (nCode) {
        case SB_LINEUP:
            return pos - nLine;
        case SB_LINEDOWN:
            return pos + nLine;
        case SB_PAGEUP:
            return bVert ? pos - (nPage + HB) : pos - nPage;
        case SB_PAGEDOWN:
            return bVert ? pos + (nPage - HB) : pos + nPage;
        case SB_THUMBTRACK:
            return static_cast<GridPos>(static_cast<double>(nThumb) * fScale);
        case SB_TOP:
            return 0;
        case SB_BOTTOM:
            return extent - nPage + 1;
        default:
            return pos;
        }
    };
    GridPos nHorz = m_nHorzPos, nVert = m_nVertPos;
    if (nHorzCode != SB_NOCHANGE) {
        nHorz = step(nHorzCode, m_nHorzPos, m_nHorzExtent, m_nPageWidth, m_nLineWidth, m_fHorzScale, false);
        nHorz = std::clamp<GridPos>(nHorz, 0, std::max<GridPos>(0, m_nHorzExtent - m_nPageWidth + 1));
    }
    if (nVertCode != SB_NOCHANGE) {
        nVert = step(nVertCode, m_nVertPos, m_nVertExtent, m_nPageHeight, m_nLineHeight, m_fVertScale, true);
        nVert = std::clamp<GridPos>(nVert, 0, std::max<GridPos>(0, m_nVertExtent - m_nPageHeight + 1));
    }
    if (!ScrollBy(nHorz - m_nHorzPos, nVert - m_nVertPos, bDoScroll) || !bDoScroll)
        return;
    m_pOwner->UpdateWindow();
    int C = GetFixedColumnCount();
    GridRow F = GetFixedRowCount();
    if (CKelCellEditor* pEditor = GetCellEditor(m_nCurCol - C, m_nCurRow - F))
        pEditor->HideEditor();
    if (GetRowCount() > 0) {
        // The focus frame may have been cut by the header band or the row
        // headers before the move; paint the current cell (and row) again.
        if (HasStyle(GS_ROWSELECT))
            RedrawRowBand(m_nCurRow);
        else
            RedrawCell(m_nCurCol, m_nCurRow);
    }
}
