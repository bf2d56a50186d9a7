// How the grid paints itself: the four areas (corner, header rows, row headers,
// data cells) for the part of the window that needs it, each cell through the
// data-source operations so a derived grid can replace any kind of cell.
// Only the rows and columns that the clip box shows are ever visited.
#include <algorithm>

#include "grid/grid_core.h"
#include "platform/ui/system_metrics.h"

using namespace platform;

namespace {

// Turns a 64-bit screen coordinate into the int the context takes; rows that
// far away are never drawn, this only keeps the arithmetic defined.
int ScreenInt(GridPos v) { return static_cast<int>(std::clamp<GridPos>(v, -(1 << 28), 1 << 28)); }

}  // namespace

void CKelGridCore::DrawGrid(CDrawContext& dc) {
    Rect rcClip = dc.GetClipBox();
    if (rcClip.IsEmpty())
        return;
    const CFont* pOldFont = dc.SelectFont(&m_fontGrid);
    int nOldBkMode = dc.SetBkMode(TRANSPARENT);
    Color clrOldText = dc.SetTextColor(GetSysColor(COLOR_WINDOWTEXT));

    int HB = HeaderBand(), RW = RowHeaderBand();
    Size client = GetClientSize();
    if (!m_pOwner)
        client = Size{rcClip.right, rcClip.bottom};
    Rect rcData{RW, HB, std::max(client.cx, RW), std::max(client.cy, HB)};
    bool bHeaderBand = rcClip.top < HB;
    bool bRowHeaders = rcClip.left < RW;

    if (!bHeaderBand && !bRowHeaders) {
        DrawDataArea(dc, rcClip);
    } else if (!bHeaderBand) {
        dc.SelectClipRect(&rcData);
        DrawDataArea(dc, Rect{RW, rcClip.top, rcClip.right, rcClip.bottom});
        dc.SelectClipRect(nullptr);
        DrawRowHeaders(dc, Rect{rcClip.left, rcClip.top, RW, rcClip.bottom});
    } else if (!bRowHeaders) {
        dc.SelectClipRect(&rcData);
        DrawDataArea(dc, Rect{rcClip.left, HB - 1, rcClip.right, rcClip.bottom});
        dc.SelectClipRect(nullptr);
        DrawHeaderRows(dc, Rect{rcClip.left, rcClip.top, rcClip.right, HB});
    } else {
        dc.SelectClipRect(&rcData);
        DrawDataArea(dc, Rect{RW, HB - 1, rcClip.right, rcClip.bottom});
        dc.SelectClipRect(nullptr);
        DrawRowHeaders(dc, Rect{rcClip.left, HB, RW, rcClip.bottom});
        DrawHeaderRows(dc, Rect{RW, rcClip.top, rcClip.right, HB});
        DrawCorner(dc, Rect{1, 1, RW + 1, HB + 1});
    }

    // What lies beyond the last column and below the last row is window colour.
    Color clrWindow = GetSysColor(COLOR_WINDOW);
    GridPos rightOfColumns = m_nTotalWidth - m_nHorzPos;
    GridPos belowRows = std::max<GridPos>(RowTop(GetFixedRowCount() + GetRowCount()) - m_nVertPos, HB);
    if (rightOfColumns < rcClip.right)
        dc.FillSolidRect(Rect{ScreenInt(rightOfColumns), rcClip.top - 1, rcClip.right, rcClip.bottom}, clrWindow);
    if (belowRows < rcClip.bottom)
        dc.FillSolidRect(Rect{rcClip.left, ScreenInt(belowRows), rcClip.right, rcClip.bottom}, clrWindow);

    dc.SelectFont(pOldFont);
    dc.SetBkMode(nOldBkMode);
    dc.SetTextColor(clrOldText);
}

void CKelGridCore::DrawDataArea(CDrawContext& dc, const Rect& rc) {
    GridRow nFirst = 0, nLast = 0;
    if (!GetVisibleRows(rc, nFirst, nLast))
        return;
    nFirst = std::max<GridRow>(nFirst, GetFixedRowCount());
    GridPos y = RowTop(nFirst) - m_nVertPos - 1;
    for (GridRow nRow = nFirst; nRow <= nLast; ++nRow, y += m_nRowHeight)
        DrawRow(dc, nRow, ScreenInt(y), rc);
}

void CKelGridCore::DrawRow(CDrawContext& dc, GridRow nRow, int y, const Rect& rcClip) {
    int C = GetFixedColumnCount();
    int nFirst = 0, nLast = 0;
    if (GetVisibleColumns(rcClip, -1, nFirst, nLast)) {
        nFirst = std::max(nFirst, C);
        GridPos x = ColumnLeft(nFirst, -1) - m_nHorzPos - 1;
        for (int nCol = nFirst; nCol <= nLast; ++nCol) {
            DrawCell(dc, nCol, nRow, ScreenInt(x), y);
            x += AbsColumnWidth(nCol, -1);
        }
    }
    if (nRow == m_nCurRow && HasStyle(GS_ROWSELECT)) {
        GridPos x0 = ColumnLeft(C, -1) - m_nHorzPos - 1;
        GridPos x1 = x0 + m_nTotalWidth - static_cast<GridPos>(RowHeaderBand());
        DrawFocusFrame(dc, Rect{ScreenInt(x0 + 1), y + 1, ScreenInt(x1), y + m_nRowHeight}, m_styleDefault.focusFrame);
    }
}

void CKelGridCore::DrawCellBorders(CDrawContext& dc, const Rect& rc, Color clrLeft, Color clrTop, Color clrRight,
                                   Color clrBottom, bool bInset) {
    int xl = rc.left, xr = rc.right - 1, yt = rc.top, yb = rc.bottom - 1;
    if (!bInset && clrLeft == clrTop && clrLeft == clrRight && clrLeft == clrBottom) {
        // Four lines of one colour make the whole ring; the inside is filled
        // next anyway, and one fill costs far less than four.
        dc.FillSolidRect(rc, clrLeft);
        return;
    }
    if (!bInset) {
        dc.FillSolidRect(Rect{xl, yt, xl + 1, yb + 1}, clrLeft);
        dc.FillSolidRect(Rect{xr, yt, xr + 1, yb + 1}, clrRight);
        dc.FillSolidRect(Rect{xl, yt, xr, yt + 1}, clrTop);
        dc.FillSolidRect(Rect{xl, yb, xr, yb + 1}, clrBottom);
        return;
    }
    dc.FillSolidRect(Rect{xl, yt, xl + 1, yb}, clrLeft);
    dc.FillSolidRect(Rect{xr, yt, xr + 1, yb}, clrRight);
    dc.FillSolidRect(Rect{xl - 1, yt, xr + 2, yt + 1}, clrTop);
    dc.FillSolidRect(Rect{xl - 1, yb, xr + 2, yb + 1}, clrBottom);
}

void CKelGridCore::DrawCellImage(CDrawContext& dc, int nCol, GridRow nRow, bool bCurrent, Rect& rc) {
    Size size;
    GetCellImageSize(nCol, nRow, size);
    size.cx = std::clamp(size.cx, 0, std::max(0, rc.Width()));
    size.cy = std::clamp(size.cy, 0, std::max(0, rc.Height()));
    int x = rc.left + 1, y = rc.top + (rc.Height() - size.cy) / 2;
    Rect rcImage{x, y, x + size.cx, y + size.cy};
    switch (GetCellImageKind(nCol, nRow)) {
    case GIK_BITMAP:
    case GIK_ICON:
        if (const CPicture* pPicture = GetCellImage(nCol, nRow, bCurrent))
            dc.DrawPicture(*pPicture, rcImage);
        break;
    case GIK_IMAGELIST: {
        ImageListDrawParams params;
        params.x = x;
        params.y = y;
        params.cx = size.cx;
        params.cy = size.cy;
        params.clrBk = CLR_DEFAULT;
        params.clrFg = CLR_DEFAULT;
        params.nStyle = ILD_TRANSPARENT;
        GetCellImageListParams(nCol, nRow, params, bCurrent);
        if (params.pList)
            dc.DrawImageList(params);
        break;
    }
    default:
        break;
    }
    rc.left = std::min(rc.right, rc.left + size.cx + 2);
}

void CKelGridCore::DrawCell(CDrawContext& dc, int nCol, GridRow nRow, int x, int y) {
    int C = GetFixedColumnCount();
    GridRow F = GetFixedRowCount();
    int nDataCol = nCol - C;
    GridRow nDataRow = nRow - F;
    GridCellStyle style = GetCellStyle(nDataCol, nDataRow);
    uint32_t nStyle = GetStyle();
    bool bRowSelect = (nStyle & GS_ROWSELECT) != 0;
    bool bCurrent = nCol == m_nCurCol && nRow == m_nCurRow;
    bool bSelected = (bRowSelect && nRow == m_nCurRow) ||
                     ((nStyle & GS_MULTISELECT) && nCol >= m_nSelLeft && nCol <= m_nSelRight && nRow >= m_nSelTop &&
                      nRow <= m_nSelBottom);
    Color clrBack = style.clrBack, clrText = style.clrText;
    if (bCurrent) {
        clrBack = style.clrCurrentBack;
        clrText = style.clrCurrentText;
    } else if (bSelected) {
        clrBack = style.clrSelectedBack;
        clrText = style.clrSelectedText;
    }

    Rect rc{x, y, x + AbsColumnWidth(nCol, -1) + 1, y + m_nRowHeight + 1};
    if (nStyle & GS_CELLCOLOURBORDERS) {
        Color clrSide = (bSelected || (bCurrent && bRowSelect)) ? style.clrSelectedBack : style.clrBack;
        DrawCellBorders(dc, rc, clrSide, style.clrBack, clrSide, style.clrBack, true);
    } else {
        DrawCellBorders(dc, rc, style.clrLeftLine, style.clrTopLine, style.clrRightLine, style.clrBottomLine,
                        style.bInsetLines);
    }
    rc.Deflate(1);
    if (rc.IsEmpty())
        return;

    GridCellFormat format = GetCellFormat(nDataCol, nDataRow);
    CKelCellEditor* pEditor = bCurrent ? GetCellEditor(nDataCol, nDataRow) : nullptr;
    GridCellValue value = pEditor ? pEditor->GetEditorValue() : GetCellValue(nDataCol, nDataRow);
    dc.FillSolidRect(rc, clrBack);
    if (HasCellImage(nDataCol, nDataRow))
        DrawCellImage(dc, nDataCol, nDataRow, bCurrent, rc);
    if (bCurrent && !rc.IsEmpty())
        DrawFocusFrame(dc, rc, style.focusFrame);

    rc.Deflate(1);
    Color clrOldText = dc.SetTextColor(clrText);
    const CFont* pCellFont = bCurrent ? style.pCurrentFont : style.pFont;
    const CFont* pOldFont = pCellFont ? dc.SelectFont(pCellFont) : nullptr;
    if (format.nFrameKind != 0)
        DrawFrameCell(dc, rc, format, value);
    else if (!rc.IsEmpty())
        dc.DrawText(value.strText, rc, format.nTextFlags);
    if (pOldFont)
        dc.SelectFont(pOldFont);
    dc.SetTextColor(clrOldText);
}

void CKelGridCore::DrawFocusFrame(CDrawContext& dc, const Rect& rc, const GridFocusFrame& frame) {
    if (rc.IsEmpty())
        return;
    if (frame.bSolid) {
        dc.FrameRect(rc, frame.clrSecond);
        return;
    }
    dc.FrameRect(rc, frame.clrFirst);
    Color clrOldBk = dc.SetBkColor(frame.clrFirst);
    Color clrOldText = dc.SetTextColor(frame.clrSecond);
    dc.DrawFocusRect(rc);
    dc.SetBkColor(clrOldBk);
    dc.SetTextColor(clrOldText);
}

// ---- header rows ---------------------------------------------------------------

void CKelGridCore::DrawHeaderRows(CDrawContext& dc, const Rect& rc) {
    int F = GetFixedRowCount();
    if (F <= 0 || m_nHeaderHeight <= 0)
        return;
    int nFirst = std::clamp((rc.top + 1) / m_nHeaderHeight, 0, F - 1);
    int nLast = std::clamp((rc.bottom + 1) / m_nHeaderHeight, 0, F - 1);
    int C = GetFixedColumnCount();
    const CFont* pOldFont = nullptr;
    if (m_pHeaderFont && m_pHeaderFont != &m_fontGrid)
        pOldFont = dc.SelectFont(m_pHeaderFont);
    int y = nFirst * m_nHeaderHeight - 1;
    for (int h = nFirst; h <= nLast; ++h, y += m_nHeaderHeight) {
        int nFirstCol = 0, nLastCol = 0;
        if (!GetVisibleColumns(rc, h, nFirstCol, nLastCol))
            continue;
        nFirstCol = std::max(nFirstCol, C);
        GridPos x = ColumnLeft(nFirstCol, h) - m_nHorzPos - 1;
        for (int nCol = nFirstCol; nCol <= nLastCol; ++nCol) {
            DrawColumnHeader(dc, nCol, h, ScreenInt(x), y);
            x += AbsColumnWidth(nCol, h);
        }
    }
    if (pOldFont)
        dc.SelectFont(pOldFont);
}

void CKelGridCore::DrawSortArrow(CDrawContext& dc, int x, int y, int cx, int cy, int nDirection) {
    if (cx <= 3 || cy <= 3)
        return;
    Color clrShadow = GetSysColor(COLOR_BTNSHADOW), clrLight = GetSysColor(COLOR_BTNHIGHLIGHT);
    if (nDirection == 1) {
        dc.SelectPen(clrShadow);
        dc.MoveTo(x + cx, y);
        dc.LineTo(x, y);
        dc.LineTo(x + cx / 2, y + cy);
        dc.SelectPen(clrLight);
        dc.MoveTo(x + cx / 2 + 1, y + cy - 1);
        dc.LineTo(x + cx, y);
    } else {
        dc.SelectPen(clrLight);
        dc.MoveTo(x, y + cy);
        dc.LineTo(x + cx, y + cy);
        dc.LineTo(x + cx / 2 + 1, y);
        dc.SelectPen(clrShadow);
        dc.MoveTo(x, y + cy - 1);
        dc.LineTo(x + cx / 2, y);
    }
}

void CKelGridCore::DrawColumnHeader(CDrawContext& dc, int nCol, int nHeaderRow, int x, int y) {
    bool bFlat = HasStyle(GS_FLATHEADERS);
    Rect rc{x, y, x + AbsColumnWidth(nCol, nHeaderRow) + 1, y + m_nHeaderHeight + 1};
    dc.FrameRect(rc, GetSysColor(bFlat ? COLOR_BTNSHADOW : COLOR_3DDKSHADOW));
    Color clrFace = GetSysColor(COLOR_BTNFACE);
    bool bPressed = nCol == m_nPressedCol && nHeaderRow == m_nPressedHeaderRow;
    if (rc.Height() - 2 < 4 || rc.Width() - 2 < 4 || bPressed) {
        rc.Deflate(1);
        dc.FillSolidRect(rc, clrFace);
        rc.Deflate(4, 2, 1, 0);
    } else {
        rc.Deflate(1, 1, 0, 0);
        if (!bFlat) {
            dc.DrawFrameControl(rc, DFC_BUTTON, DFCS_BUTTONPUSH);
            rc.Deflate(3, 1, 3, 2);
        } else {
            dc.Draw3dRect(rc, GetSysColor(COLOR_BTNHIGHLIGHT), GetSysColor(COLOR_BTNSHADOW));
            rc.Deflate(1);
            dc.FillSolidRect(rc, clrFace);
            rc.Deflate(2, 0, 2, 1);
        }
    }
    if (rc.IsEmpty())
        return;

    int C = GetFixedColumnCount();
    GridCellValue header = GetColumnHeader(nCol - C, nHeaderRow);
    unsigned nFlags = static_cast<unsigned>(header.nValue);
    Color clrOldText = dc.SetTextColor(GetSysColor(COLOR_BTNTEXT));
    bool bArrow = nCol == m_nSortColumn + C && nHeaderRow == m_nSortHeaderRow && m_nSortDirection != 2;
    if (!bArrow) {
        dc.DrawText(header.strText, rc, nFlags);
        dc.SetTextColor(clrOldText);
        return;
    }

    int width = rc.Width(), height = rc.Height();
    int AW = std::min(7, width), AH = std::min(7, height);
    int G = std::min(5, (width - AW) / 2);
    int nSpace = dc.GetTextExtent(" ").cx;
    int A = 3 * nSpace + G + AW;
    int nArrowTop = rc.top + (height - AH) / 2;
    int nArrowLeft = 0;
    if (A >= width) {
        nArrowLeft = rc.left + (width - AW) / 2;  // no room for text: the arrow alone, centred
    } else {
        Rect rcMeasure = rc;
        dc.DrawText(header.strText, rcMeasure, nFlags | DT_CALCRECT);
        int nText = rcMeasure.Width();
        Rect rcText = rc;
        if (nFlags & DT_RIGHT) {
            if (nText + A >= width) {
                rcText.left += A;
                nArrowLeft = rc.left + G;
            } else {
                nArrowLeft = rc.right - nText - 3 * nSpace - AW;
            }
        } else if (nFlags & DT_CENTER) {
            if (A < (width - nText) / 2) {
                nArrowLeft = rc.left + (width - nText) / 2 + nText + 3 * nSpace;
            } else {
                rcText.right -= 3 * nSpace + G + AW;
                nArrowLeft = rc.right - G - AW;
            }
        } else {
            if (nText + A >= width) {
                rcText.right -= 3 * nSpace + G + AW;
                nArrowLeft = rc.right - G - AW;
            } else {
                nArrowLeft = rc.left + nText + 3 * nSpace;
            }
        }
        dc.DrawText(header.strText, rcText, nFlags);
    }
    DrawSortArrow(dc, nArrowLeft, nArrowTop, AW, AH, m_nSortDirection);
    dc.SetTextColor(clrOldText);
}

// ---- row headers and corner ----------------------------------------------------

void CKelGridCore::DrawRowHeaders(CDrawContext& dc, const Rect& rc) {
    int C = GetFixedColumnCount();
    if (C <= 0 || m_nRowHeaderWidth <= 0)
        return;
    GridRow nFirst = 0, nLast = 0;
    if (!GetVisibleRows(rc, nFirst, nLast))
        return;
    nFirst = std::max<GridRow>(nFirst, GetFixedRowCount());
    int nFirstCol = std::clamp((rc.left + 1) / m_nRowHeaderWidth, 0, C - 1);
    int nLastCol = std::clamp((rc.right + 1) / m_nRowHeaderWidth, 0, C - 1);
    GridPos y = RowTop(nFirst) - m_nVertPos - 1;
    for (GridRow nRow = nFirst; nRow <= nLast; ++nRow, y += m_nRowHeight) {
        int x = nFirstCol * m_nRowHeaderWidth - 1;
        for (int i = nFirstCol; i <= nLastCol; ++i, x += m_nRowHeaderWidth)
            DrawRowHeader(dc, i, nRow, x, ScreenInt(y));
    }
}

void CKelGridCore::DrawRowHeader(CDrawContext& dc, int nFixedCol, GridRow nRow, int x, int y) {
    bool bPressed = nFixedCol == m_nPressedRowHeaderCol && nRow == m_nPressedRow;
    bool bShiftUp = !(m_pOwner && m_pOwner->IsKeyDown(VK_SHIFT));
    bool bPointer = (nFixedCol == GetFixedColumnCount() - 1 && nRow == m_nCurRow) || (bShiftUp && nRow == m_nPressedRow);
    DrawRowHeaderButton(dc, x, y, m_nRowHeaderWidth + 1, m_nRowHeight + 1, bPressed, bPointer,
                        HasStyle(GS_FLATHEADERS));
}

void CKelGridCore::DrawRowHeaderButton(CDrawContext& dc, int x, int y, int cx, int cy, bool bPressed, bool bPointer,
                                       bool bFlat) {
    Rect rc{x, y, x + cx, y + cy};
    dc.FrameRect(rc, GetSysColor(bFlat ? COLOR_BTNSHADOW : COLOR_3DDKSHADOW));
    rc.Deflate(1, 1, 0, 0);
    Color clrFace = GetSysColor(COLOR_BTNFACE);
    if (rc.Height() < 3 || rc.Width() < 3) {
        rc.Deflate(0, 0, 1, 1);
        dc.FillSolidRect(rc, clrFace);
        return;
    }
    if (bPointer) {
        if (bPressed) {
            rc.Deflate(0, 0, 1, 1);
            dc.FillSolidRect(rc, clrFace);
            rc.Deflate(2, 1, 0, 0);
        } else if (bFlat) {
            dc.Draw3dRect(rc, GetSysColor(COLOR_BTNHIGHLIGHT), GetSysColor(COLOR_BTNSHADOW));
            rc.Deflate(1);
            dc.FillSolidRect(rc, clrFace);
            rc.Deflate(1);
        } else {
            dc.DrawFrameControl(rc, DFC_BUTTON, DFCS_BUTTONPUSH);
            rc.Deflate(2);
        }
        int px = rc.left + (rc.Width() - 4) / 2;
        int py = rc.top + (rc.Height() - 9) / 2;
        const Point triangle[3] = {{px, py}, {px + 4, py + 4}, {px, py + 8}};
        dc.FillPolygon(triangle, 3, GetSysColor(COLOR_WINDOWFRAME));
        return;
    }
    if (bPressed) {
        rc.Deflate(0, 0, 1, 1);
        dc.FillSolidRect(rc, clrFace);
        return;
    }
    if (!bFlat) {
        dc.DrawFrameControl(rc, DFC_BUTTON, DFCS_BUTTONPUSH);
        return;
    }
    dc.Draw3dRect(rc, GetSysColor(COLOR_BTNHIGHLIGHT), GetSysColor(COLOR_BTNSHADOW));
    rc.Deflate(1);
    dc.FillSolidRect(rc, clrFace);
}

void CKelGridCore::DrawCorner(CDrawContext& dc, const Rect& rcCorner) {
    bool bFlat = HasStyle(GS_FLATHEADERS);
    Rect rc = rcCorner;
    rc.Offset(-2, -2);
    dc.FrameRect(rc, GetSysColor(bFlat ? COLOR_BTNSHADOW : COLOR_WINDOWFRAME));
    Rect inner{rc.left + 1, rc.top + 1, rc.right + 1, rc.bottom + 1};
    Color clrFace = GetSysColor(COLOR_BTNFACE);
    if (inner.Width() < 3 || inner.Height() < 3 || m_bCornerPressed) {
        inner.Deflate(0, 0, 1, 1);
        dc.FillSolidRect(inner, clrFace);
        return;
    }
    if (!bFlat) {
        dc.DrawFrameControl(inner, DFC_BUTTON, DFCS_BUTTONPUSH);
        return;
    }
    dc.Draw3dRect(inner, GetSysColor(COLOR_BTNHIGHLIGHT), GetSysColor(COLOR_BTNSHADOW));
    inner.Deflate(1);
    dc.FillSolidRect(inner, clrFace);
}

// ---- cell contents ---------------------------------------------------------------

void CKelGridCore::DrawTextRightFit(CDrawContext& dc, const std::string& strText, const Rect& rc, unsigned nFlags) {
    Rect rcText = rc;
    if (nFlags & DT_RIGHT) {
        Size size = dc.GetTextExtent(strText);
        if (size.cx <= rc.Width()) {
            unsigned nOldAlign = dc.SetTextAlign(TA_RIGHT | TA_TOP);
            int y = rc.top;
            if ((nFlags & DT_SINGLELINE) && (nFlags & DT_VCENTER))
                y = rc.top + (rc.Height() - size.cy) / 2;
            dc.TextOut(rc.right, y, strText);
            dc.SetTextAlign(nOldAlign);
            return;
        }
    }
    dc.DrawText(strText, rcText, nFlags);
}

bool CKelGridCore::DrawFrameCell(CDrawContext& dc, const Rect& rc, const GridCellFormat& format,
                                 const GridCellValue& value) {
    unsigned nState = format.nFrameState;
    unsigned nFlags = format.nTextFlags;
    Rect rcText = rc;
    Rect rcControl = rc;
    std::string strText = value.strText;
    switch (format.nFrameKind) {
    case DFC_MENU:
    case DFC_POPUPMENU: {
        rcControl.right = std::min(rc.right, rc.left + 13);
        if (rcControl.IsEmpty())
            return false;
        rcText.left = rcControl.right + 2;
        strText = " " + strText;
        bool bDrawn = dc.DrawFrameControl(rcControl, format.nFrameKind, nState);
        if (!rcText.IsEmpty())
            dc.DrawText(strText, rcText, nFlags);
        return bDrawn;
    }
    case DFC_CAPTION:
        rcControl.left = std::max(rc.left, rc.right - rc.Height());
        if (rcControl.IsEmpty())
            return false;
        rcText.right = rcControl.left;
        if (!rcText.IsEmpty())
            dc.DrawText(strText, rcText, nFlags);
        return dc.DrawFrameControl(rcControl, DFC_CAPTION, nState);
    case DFC_SCROLL: {
        if (nState & DFCS_SCROLLSIZEGRIPRIGHT) {
            // Two stacked buttons (a spin control) at the right end.
            int cxBar = GetSystemMetrics(SM_CXVSCROLL);
            rcControl.left = std::max(rc.left, rc.right - cxBar);
            if (rcControl.IsEmpty())
                return false;
            rcText.right = rcControl.left;
            if (rcText.IsEmpty())
                return false;
            dc.DrawText(strText, rcText, nFlags);
            unsigned nUpper = nState & ~DFCS_SCROLLSIZEGRIPRIGHT;
            Rect rcUpper = rcControl, rcLower = rcControl;
            rcUpper.bottom = rcControl.top + rcControl.Height() / 2;
            rcLower.top = rcUpper.bottom;
            dc.DrawFrameControl(rcUpper, DFC_SCROLL, nUpper);
            dc.DrawFrameControl(rcLower, DFC_SCROLL, nUpper + 1);
            return true;
        }
        if (nState & DFCS_SCROLLSIZEGRIP) {
            bool bDrawn = dc.DrawFrameControl(rcControl, DFC_SCROLL, nState);
            rcText.right = std::max(rc.left, rc.right - (rc.Height() / 2 + 1));
            if (!rcText.IsEmpty())
                dc.DrawText(strText, rcText, nFlags);
            return bDrawn;
        }
        if ((nState & 0x01) && (nState & 0x04)) {
            rcControl.left = std::max(rc.left, rc.right - rc.Height());
            if (rcControl.IsEmpty())
                return false;
            rcText.right = rcControl.left;
            if (!rcText.IsEmpty())
                dc.DrawText(strText, rcText, nFlags);
            return dc.DrawFrameControl(rcControl, DFC_SCROLL, nState);
        }
        dc.DrawText(strText, rcText, nFlags);
        return dc.DrawFrameControl(rcControl, DFC_SCROLL, nState);
    }
    case DFC_BUTTON: {
        if (nState & DFCS_BUTTONPUSH) {
            rcControl.Deflate(1, 0, 0, 1);
            if (rcControl.IsEmpty())
                return false;
            bool bDrawn = dc.DrawFrameControl(rcControl, DFC_BUTTON, nState);
            dc.DrawText(strText, rcControl, nFlags);
            return bDrawn;
        }
        // A check box or radio: its state comes from the cell's value.
        bool bThreeState = (nState & DFCS_BUTTON3STATE) != 0;
        if (value.nValue == 1) {
            nState |= DFCS_CHECKED;
            nState &= ~DFCS_BUTTON3STATE;
        } else if (value.nValue == 2 && bThreeState) {
            nState |= DFCS_CHECKED;
        } else {
            nState &= ~DFCS_CHECKED;
        }
        const int kBox = 13;
        if (strText.empty()) {
            rcControl.left = rc.left + (rc.Width() - kBox) / 2;
        } else {
            strText = " " + strText;
            rcControl.left = rc.left;
            rcText.left = rc.left + 15;
        }
        rcControl.right = rcControl.left + kBox;
        rcControl.top = rc.top + (rc.Height() - kBox) / 2;
        rcControl.bottom = rcControl.top + kBox;
        rcControl = rcControl.Intersected(rc);
        if (rcControl.IsEmpty())
            return false;
        bool bDrawn = dc.DrawFrameControl(rcControl, DFC_BUTTON, nState);
        if (!value.strText.empty() && !rcText.IsEmpty())
            dc.DrawText(strText, rcText, nFlags);
        return bDrawn;
    }
    default:
        dc.DrawText(strText, rcText, nFlags);
        return false;
    }
}
