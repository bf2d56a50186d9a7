// The page layout of a printed grid, as plain arithmetic: a page as wide as
// the grid (at least the narrowest sheet the program allows, in screen
// pixels), shrunk to the paper's printable width, the header rows repeated on
// every page and as many data rows below them as fit. The structure grid and
// the table views of both programs print with it; the Qt side only feeds it
// the printer's numbers and draws what it says.
#pragma once

#include <algorithm>
#include <cstdint>

namespace platform {

// What the printer tells about itself, in its own device pixels, and the
// screen's resolution that layout units (screen pixels) are counted in.
struct PrinterMetrics {
    int nPrintableWidth = 0;   // pixels of the printable area
    int nPrintableHeight = 0;
    int nDpiX = 0;             // printer pixels per inch
    int nDpiY = 0;
    int nScreenDpiX = 96;      // screen pixels per inch
    int nScreenDpiY = 96;
};

// How narrow a program lets a printed page be in each orientation, and from
// which page width a grid turns a printer nobody chose yet to landscape (all
// in layout units, the page width counting both margins).
struct PageLimits {
    int nPortraitWidth = 797;    // an A4 sheet of 797 x 1127 screen pixels
    int nLandscapeWidth = 1127;  // the same sheet turned
    int nLandscapeFrom = 797;    // the first page width too wide for portrait
};

// Tabulon pads a narrow table to a whole sheet; Peekrow prints a page as
// wide as its columns and turns to landscape a little earlier.
inline constexpr PageLimits kEditorPageLimits{797, 1127, 797};
inline constexpr PageLimits kViewerPageLimits{0, 0, 750};

class CGridPageLayout {
public:
    // Left and top margin of the printed grid, in layout units.
    static constexpr int kMargin = 5;
    // The narrowest page of each orientation of the editor's limits.
    static constexpr int kPortraitWidth = kEditorPageLimits.nPortraitWidth;
    static constexpr int kLandscapeWidth = kEditorPageLimits.nLandscapeWidth;

    explicit CGridPageLayout(const PageLimits& limits = kEditorPageLimits) : m_limits(limits) {}
    void SetLimits(const PageLimits& limits) { m_limits = limits; }
    const PageLimits& GetLimits() const { return m_limits; }

    // The page width a grid asks for before any printer is known: its data
    // columns' widths (negative counts as none) and both margins.
    static int64_t RequestedWidth(int64_t nColumnsWidth) {
        return std::clamp<int64_t>(nColumnsWidth, 0, INT64_MAX / 2) + 2 * kMargin;
    }
    // Whether a grid of that width is too wide for a portrait page under
    // these limits, so that a printer not yet chosen is turned to landscape
    // for it.
    static bool WantsLandscape(int64_t nColumnsWidth, const PageLimits& limits = kEditorPageLimits) {
        return RequestedWidth(nColumnsWidth) >= limits.nLandscapeFrom;
    }

    // Before the print dialog: the page from the grid's width and the
    // printer's orientation (no printer counts as portrait), at least as wide
    // as the limits' sheet of that orientation.
    void Prepare(int64_t nColumnsWidth, bool bLandscape);
    // Once the printer is known: a page that fits the paper at screen scale
    // becomes the printable area in screen pixels; a wider one is shrunk to
    // the paper's width, keeping the printable area's proportions. The rows
    // last counted are counted again for the new page height.
    void FitToPrinter(const PrinterMetrics& printer);
    // Rows per page and the page count for nRowCount data rows under
    // nHeaderRows header rows. At least one row goes on a page, however tall
    // the rows: a page count must never come from a division by zero.
    void CountPages(int nHeaderRows, int nHeaderRowHeight, int nRowHeight, int64_t nRowCount);

    int GetPageWidth() const { return m_nPageWidth; }
    int GetPageHeight() const { return m_nPageHeight; }
    int GetRowsPerPage() const { return m_nRowsPerPage; }
    // Pages the rows fill (0 for no rows); capped at the largest int.
    int GetPageCount() const { return m_nPageCount; }
    // The logical extent of a page (window extent) and the device extent it
    // maps to (viewport extent); both set by FitToPrinter.
    int GetWindowExtX() const { return m_nWindowExtX; }
    int GetWindowExtY() const { return m_nWindowExtY; }
    int GetViewportExtX() const { return m_nViewportExtX; }
    int GetViewportExtY() const { return m_nViewportExtY; }

    // The data rows of page nPage (from 1) of the rows last counted:
    // [nFirst, nEnd). False when the page holds none.
    bool GetPageRows(int nPage, int64_t& nFirst, int64_t& nEnd) const;
    // Top of the first data row of a page, under the header rows.
    int GetFirstRowTop() const { return m_nHeaderRows * m_nHeaderRowHeight + kMargin; }

private:
    PageLimits m_limits;
    int m_nPageWidth = kPortraitWidth;
    int m_nPageHeight = 0;
    int m_nRowsPerPage = 1;
    int m_nPageCount = 0;
    int m_nHeaderRows = 0;
    int m_nHeaderRowHeight = 0;
    int m_nRowHeight = 1;
    int64_t m_nRowCount = 0;
    int m_nWindowExtX = 1;
    int m_nWindowExtY = 1;
    int m_nViewportExtX = 1;
    int m_nViewportExtY = 1;
};

}  // namespace platform
