// Printing the structure grid: the page layout from the columns' widths and
// the printer, and each page drawn as header row plus the fields that fit,
// every cell framed in black.
#include "grid/structure/table_struct_ctrl.h"

#include "platform/ui/draw_context.h"
#include "platform/ui/system_metrics.h"

using namespace platform;

bool CTablStructCtrl::OnPreparePrinting(CPrintInfo& info) {
    int64_t nColumns = 0;
    for (int i = 0; i < GetColumnCount(-1); ++i)
        nColumns += GetColumnWidth(i, -1);
    if (info.m_nMaxPage < info.m_nMinPage)
        info.m_nMaxPage = info.m_nMinPage;
    // A grid wider than a portrait page turns a printer nobody chose yet.
    if (CGridPageLayout::WantsLandscape(nColumns) && !HasAppPrinter())
        SelectDefaultPrinter(true);
    m_layout.Prepare(nColumns, IsAppPrinterLandscape());
    m_layout.CountPages(GetFixedRowCount(), GetHeaderHeight(), GetRowHeight(), GetRowCount());
    info.m_nMaxPage = m_layout.GetPageCount();
    return DoPreparePrinting(info, this);
}

void CTablStructCtrl::OnBeginPrinting(CPrintInfo& info) {
    m_layout.FitToPrinter(info.m_metrics);
    info.m_nMaxPage = m_layout.GetPageCount();
}

void CTablStructCtrl::OnPrint(CDrawContext& dc, CPrintInfo& info) {
    dc.SetMapMode(MM_ANISOTROPIC);
    dc.SetWindowExt(m_layout.GetWindowExtX(), m_layout.GetWindowExtY());
    dc.SetViewportExt(m_layout.GetViewportExtX(), m_layout.GetViewportExtY());
    dc.SetWindowOrg(0, 0);
    const Color clrFrame = Rgb(0, 0, 0);
    const int nColumns = GetColumnCount(-1);

    // The header rows, repeated on every page.
    const int nHeaderRows = GetFixedRowCount();
    const int nHeaderHeight = GetHeaderHeight();
    const CFont* pOldFont = dc.SelectFont(&GetHeaderFont());
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(GetSysColor(COLOR_BTNTEXT));
    for (int h = 0; h < nHeaderRows; ++h) {
        int y = CGridPageLayout::kMargin + h * nHeaderHeight;
        int x = CGridPageLayout::kMargin;
        for (int c = 0; c < GetColumnCount(h); ++c) {
            int nWidth = GetColumnWidth(c, h);
            Rect rc{x, y, x + nWidth + 1, y + nHeaderHeight + 1};
            dc.FrameRect(rc, clrFrame);
            rc.Deflate(1);
            dc.FillSolidRect(rc, GetSysColor(COLOR_BTNFACE));
            rc.Deflate(2, 2, 1, 0);
            GridCellValue header = GetColumnHeader(c, h);
            if (!rc.IsEmpty())
                dc.DrawText(header.strText, rc, static_cast<unsigned>(header.nValue));
            x += nWidth;
        }
    }

    // The fields of this page.
    dc.SelectFont(&GetFont());
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextAlign(TA_LEFT | TA_TOP);
    dc.SetTextColor(GetSysColor(COLOR_WINDOWTEXT));
    const int nRowHeight = GetRowHeight();
    int64_t nFirst = 0, nEnd = 0;
    m_layout.GetPageRows(info.m_nCurPage, nFirst, nEnd);
    int y = m_layout.GetFirstRowTop();
    for (int64_t nRow = nFirst; nRow < nEnd; ++nRow, y += nRowHeight) {
        int x = CGridPageLayout::kMargin;
        for (int c = 0; c < nColumns; ++c) {
            int nWidth = GetColumnWidth(c, -1);
            Rect rc{x, y, x + nWidth + 1, y + nRowHeight + 1};
            dc.FrameRect(rc, clrFrame);
            rc.Deflate(1);
            dc.FillSolidRect(rc, GetSysColor(COLOR_WINDOW));
            rc.Deflate(2, 2, 1, 0);
            rc.Deflate(1, 0, 1, 0);
            GridCellFormat format = GetCellFormat(c, nRow);
            GridCellValue value = GetCellValue(c, nRow);
            if (format.nFrameKind != 0)
                DrawFrameCell(dc, rc, format, value);
            else if (!rc.IsEmpty())
                DrawTextRightFit(dc, value.strText, rc, format.nTextFlags);
            x += nWidth;
        }
    }
    dc.SelectFont(pOldFont);
}
