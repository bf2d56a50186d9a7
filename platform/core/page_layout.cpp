// The page layout arithmetic of printed grids, in 64 bits where products of
// widths and resolutions are formed, so that no grid or printer can make a
// page size wrap around.
#include "platform/core/page_layout.h"

#include <algorithm>
#include <climits>

namespace platform {

namespace {

// Wider than any sheet a grid could want; keeps every product below in range.
constexpr int64_t kLargestPage = int64_t(1) << 28;

int ToInt(int64_t n) { return int(std::clamp<int64_t>(n, 1, INT_MAX)); }

}  // namespace

void CGridPageLayout::Prepare(int64_t nColumnsWidth, bool bLandscape) {
    int64_t nWidth = std::clamp<int64_t>(RequestedWidth(nColumnsWidth), 0, kLargestPage);
    int64_t nHeight = 0;
    if (bLandscape) {
        nWidth = std::min(std::max<int64_t>(nWidth, m_limits.nLandscapeWidth), kLargestPage);
        nHeight = nWidth * 210 / 297;
    } else {
        nWidth = std::min(std::max<int64_t>(nWidth, m_limits.nPortraitWidth), kLargestPage);
        nHeight = nWidth * 297 / 210;
    }
    m_nPageWidth = ToInt(nWidth);
    m_nPageHeight = ToInt(nHeight);
    m_nWindowExtX = m_nViewportExtX = m_nPageWidth;
    m_nWindowExtY = m_nViewportExtY = m_nPageHeight;
}

void CGridPageLayout::FitToPrinter(const PrinterMetrics& printer) {
    // A printer that reports no printable area or resolution leaves the page
    // at screen scale, one layout unit to one device pixel.
    if (printer.nPrintableWidth <= 0 || printer.nPrintableHeight <= 0 || printer.nDpiX <= 0 || printer.nDpiY <= 0 ||
        printer.nScreenDpiX <= 0 || printer.nScreenDpiY <= 0) {
        m_nWindowExtX = m_nViewportExtX = m_nPageWidth;
        m_nWindowExtY = m_nViewportExtY = m_nPageHeight;
        CountPages(m_nHeaderRows, m_nHeaderRowHeight, m_nRowHeight, m_nRowCount);
        return;
    }
    const int64_t nPrintableWidth = printer.nPrintableWidth;
    const int64_t nPrintableHeight = printer.nPrintableHeight;
    const int64_t nPageOnPrinter = int64_t(m_nPageWidth) * printer.nDpiX / printer.nScreenDpiX;
    if (nPageOnPrinter < nPrintableWidth) {
        // The grid fits at screen scale: the page is the whole printable area.
        m_nWindowExtX = ToInt(nPrintableWidth * printer.nScreenDpiX / printer.nDpiX);
        m_nWindowExtY = ToInt(nPrintableHeight * printer.nScreenDpiY / printer.nDpiY);
    } else {
        // Shrunk to the paper's width, the page as tall as the paper allows.
        m_nWindowExtX = m_nPageWidth;
        m_nWindowExtY = ToInt(int64_t(m_nPageWidth) * nPrintableHeight / nPrintableWidth);
    }
    m_nPageHeight = m_nWindowExtY;
    m_nViewportExtX = printer.nPrintableWidth;
    m_nViewportExtY = printer.nPrintableHeight;
    CountPages(m_nHeaderRows, m_nHeaderRowHeight, m_nRowHeight, m_nRowCount);
}

void CGridPageLayout::CountPages(int nHeaderRows, int nHeaderRowHeight, int nRowHeight, int64_t nRowCount) {
    m_nHeaderRows = std::max(0, nHeaderRows);
    m_nHeaderRowHeight = std::max(0, nHeaderRowHeight);
    m_nRowHeight = std::max(1, nRowHeight);
    m_nRowCount = std::max<int64_t>(0, nRowCount);
    const int64_t nRoom = int64_t(m_nPageHeight) - int64_t(m_nHeaderRows) * m_nHeaderRowHeight - 2 * kMargin;
    m_nRowsPerPage = int(std::clamp<int64_t>(nRoom / m_nRowHeight, 1, INT_MAX));
    int64_t nPages = m_nRowCount / m_nRowsPerPage;
    if (m_nRowCount % m_nRowsPerPage != 0)
        ++nPages;
    m_nPageCount = int(std::min<int64_t>(nPages, INT_MAX));
}

bool CGridPageLayout::GetPageRows(int nPage, int64_t& nFirst, int64_t& nEnd) const {
    if (nPage < 1) {
        nFirst = nEnd = 0;
        return false;
    }
    nFirst = int64_t(nPage - 1) * m_nRowsPerPage;
    nEnd = std::min(int64_t(nPage) * m_nRowsPerPage, m_nRowCount);
    if (nFirst >= nEnd) {
        nFirst = nEnd = std::min(nFirst, m_nRowCount);
        return false;
    }
    return true;
}

}  // namespace platform
