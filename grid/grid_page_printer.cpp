// Printed pages of a grid: the layout from the columns' widths and the
// printer, and each page drawn as the header rows plus the records that fit,
// every cell framed in black.
#include "grid/grid_page_printer.h"

#include <algorithm>
#include <climits>

#include "platform/ui/draw_context.h"
#include "platform/ui/system_metrics.h"

using namespace platform;

namespace {

// The right edge of a cell's rectangle (one past its frame, which it shares
// with the next cell); a width no page shows is cut to one that fits an int.
int CellRight(int64_t x, int nWidth) { return int(std::min<int64_t>(x + nWidth + 1, INT_MAX / 2)); }

}  // namespace

CGridPagePrinter::CGridPagePrinter(CKelGridHost& grid, const GridPrintOptions& options)
    : m_grid(grid), m_options(options), m_layout(options.limits) {}

int CGridPagePrinter::GetHeaderRows() {
    int nRows = m_options.nHeaderRows >= 0 ? m_options.nHeaderRows : m_grid.GetFixedRowCount();
    return std::max(0, nRows);
}

int CGridPagePrinter::ColumnWidth(int nCol, int nHeaderRow) { return std::max(0, m_grid.GetColumnWidth(nCol, nHeaderRow)); }

int64_t CGridPagePrinter::ColumnsWidth() {
    int64_t nWidth = 0;
    for (int c = 0; c < m_grid.GetColumnCount(-1); ++c)
        nWidth += ColumnWidth(c, -1);
    return nWidth;
}

// A pane that shows no header row may keep no height for one; the header
// then prints as tall as a record.
int CGridPagePrinter::HeaderRowHeight() {
    return m_grid.GetHeaderHeight() > 0 ? m_grid.GetHeaderHeight() : m_grid.GetRowHeight();
}

void CGridPagePrinter::CountPages() {
    m_layout.CountPages(GetHeaderRows(), HeaderRowHeight(), m_grid.GetRowHeight(), m_grid.GetRowCount());
}

// ---- the commands ---------------------------------------------------------------------

bool CGridPagePrinter::Print(bool bDirect) { return RunPrintJob(*this, &m_grid, bDirect); }

bool CGridPagePrinter::Preview() { return RunPrintPreview(*this, &m_grid); }

void CGridPagePrinter::AddCommands(CCommandMap& commands, const CCommandMap::UpdateRule& rule) {
    commands.Add(ID_FILE_PRINT, [this] { Print(false); }, rule);
    commands.Add(ID_FILE_PRINT_DIRECT, [this] { Print(true); }, rule);
    commands.Add(ID_FILE_PRINT_PREVIEW, [this] { Preview(); }, rule);
}

// ---- the print steps ----------------------------------------------------------------------

bool CGridPagePrinter::OnPreparePrinting(CPrintInfo& info) {
    const int64_t nColumns = ColumnsWidth();
    if (info.m_nMaxPage < info.m_nMinPage)
        info.m_nMaxPage = info.m_nMinPage;
    // A grid wider than a portrait page turns a printer nobody chose yet;
    // one the user chose keeps its orientation.
    if (CGridPageLayout::WantsLandscape(nColumns, m_options.limits) && !HasAppPrinter())
        SelectDefaultPrinter(true);
    m_layout.SetLimits(m_options.limits);
    m_layout.Prepare(nColumns, IsAppPrinterLandscape());
    CountPages();
    // An empty table still prints its header on one page.
    info.m_nMaxPage = std::max(1, m_layout.GetPageCount());
    return DoPreparePrinting(info, &m_grid);
}

void CGridPagePrinter::OnBeginPrinting(CPrintInfo& info) {
    CountPages();  // the rows may have changed while the dialog was open
    m_layout.FitToPrinter(info.m_metrics);
    info.m_nMaxPage = std::max(1, m_layout.GetPageCount());
}

void CGridPagePrinter::OnPrint(CDrawContext& dc, CPrintInfo& info) {
    dc.SetMapMode(MM_ANISOTROPIC);
    dc.SetWindowExt(m_layout.GetWindowExtX(), m_layout.GetWindowExtY());
    dc.SetViewportExt(m_layout.GetViewportExtX(), m_layout.GetViewportExtY());
    dc.SetWindowOrg(0, 0);
    DrawPage(dc, info.m_nCurPage);
}

void CGridPagePrinter::DrawPage(CDrawContext& dc, int nPage) {
    const Color clrFrame = Rgb(0, 0, 0);
    // Nothing right of the page is seen; stopping there also keeps the
    // cells' coordinates within int however many columns a grid has.
    const int64_t nRight = m_layout.GetWindowExtX();
    dc.SetTextCodec(&m_grid.GetTextCodec());

    // The header rows, repeated on every page.
    const int nHeaderRows = GetHeaderRows();
    const int nHeaderHeight = HeaderRowHeight();
    const CFont* pOldFont = dc.SelectFont(&m_grid.GetHeaderFont());
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(GetSysColor(COLOR_BTNTEXT));
    for (int h = 0; h < nHeaderRows && int64_t(h) * nHeaderHeight < m_layout.GetWindowExtY(); ++h) {
        const int y = CGridPageLayout::kMargin + h * nHeaderHeight;
        int64_t x = CGridPageLayout::kMargin;
        for (int c = 0; c < m_grid.GetColumnCount(h) && x <= nRight; ++c) {
            const int nWidth = ColumnWidth(c, h);
            Rect rc{int(x), y, CellRight(x, nWidth), y + nHeaderHeight + 1};
            dc.FrameRect(rc, clrFrame);
            rc.Deflate(1);
            dc.FillSolidRect(rc, GetSysColor(COLOR_BTNFACE));
            rc.Deflate(2, 2, 1, 0);
            GridCellValue header = m_grid.GetColumnHeader(c, h);
            if (!rc.IsEmpty())
                dc.DrawText(header.strText, rc, static_cast<unsigned>(header.nValue));
            x += nWidth;
        }
    }

    // The records of this page.
    dc.SelectFont(&m_grid.GetFont());
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextAlign(TA_LEFT | TA_TOP);
    dc.SetTextColor(GetSysColor(COLOR_WINDOWTEXT));
    const int nRowHeight = m_grid.GetRowHeight();
    const int nColumns = m_grid.GetColumnCount(-1);
    int64_t nFirst = 0, nEnd = 0;
    m_layout.GetPageRows(nPage, nFirst, nEnd);
    int64_t y = m_layout.GetFirstRowTop();
    for (int64_t nRow = nFirst; nRow < nEnd && y < INT_MAX / 2 - nRowHeight; ++nRow, y += nRowHeight) {
        int64_t x = CGridPageLayout::kMargin;
        for (int c = 0; c < nColumns && x <= nRight; ++c) {
            const int nWidth = ColumnWidth(c, -1);
            Rect rc{int(x), int(y), CellRight(x, nWidth), int(y) + nRowHeight + 1};
            dc.FrameRect(rc, clrFrame);
            rc.Deflate(1);
            dc.FillSolidRect(rc, GetSysColor(COLOR_WINDOW));
            rc.Deflate(2, 2, 1, 0);
            rc.Deflate(1, 0, 1, 0);
            x += nWidth;
            if (rc.IsEmpty())
                continue;
            GridCellFormat format = m_grid.GetCellFormat(c, nRow);
            GridCellValue value = m_grid.GetCellValue(c, nRow);
            if (format.nFrameKind != 0)
                m_grid.DrawFrameCell(dc, rc, format, value);
            else
                m_grid.DrawTextRightFit(dc, value.strText, rc, format.nTextFlags);
        }
    }
    dc.SelectFont(pOldFont);
}
