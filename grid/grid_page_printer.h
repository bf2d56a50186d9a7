// The one page printer of every grid that prints: the table views of both
// programs and the structure grid. It asks the grid only through its
// data-source operations (columns and their widths, header rows and texts,
// rows, cell values, formats and frame controls), so whatever a grid shows on
// screen it prints: every page repeats the header rows and holds as many
// records as fit, the table is scaled to the paper's width, each cell is
// framed in black and check boxes print as check boxes.
//
// A view keeps one printer beside itself and hands it the print commands:
//
//     CGridPagePrinter m_printer{*this, kViewerPrintOptions};
//     ...
//     m_printer.AddCommands(CKelGridHost::m_commands);  // 57607, 57608, 57609
//
// Print Setup (57606) belongs to the application: platform::RunPrintSetup.
#pragma once

#include <cstdint>

#include "grid/grid_host.h"
#include "platform/core/page_layout.h"
#include "platform/ui/print_job.h"
#include "platform/ui/view_base.h"

// What differs between the programs' printed pages.
struct GridPrintOptions {
    // The narrowest page of each orientation and the page width that turns
    // a printer nobody chose yet to landscape.
    platform::PageLimits limits = platform::kEditorPageLimits;
    // Header rows every page carries; -1 for the grid's own fixed rows. A
    // pane that hides the header row (a splitter's lower pane) still prints
    // it when this says 1.
    int nHeaderRows = -1;
};

// Tabulon's table view and the structure grid.
inline constexpr GridPrintOptions kEditorPrintOptions{platform::kEditorPageLimits, -1};
// Peekrow's panes: no narrowest page, landscape from 750, and the header row
// whichever pane prints.
inline constexpr GridPrintOptions kViewerPrintOptions{platform::kViewerPageLimits, 1};

class CGridPagePrinter : public platform::CPrintable {
public:
    // Prints grid (not owned; it must outlive the printer's jobs), whose
    // window parents the print dialog and names the document.
    explicit CGridPagePrinter(CKelGridHost& grid, const GridPrintOptions& options = kEditorPrintOptions);

    // The header rows the pages carry: the options' count, or the grid's.
    int GetHeaderRows();

    // ---- the commands -------------------------------------------------------------
    // Print (57607: the print dialog), or print without it (57608: the
    // application's printer as it is). False when nothing was printed.
    bool Print(bool bDirect = false);
    // Print Preview (57609): the same pages in a QPrintPreviewDialog.
    bool Preview();
    // Gives a window's command map the three print commands of this grid,
    // each with rule (if any) as its update rule.
    void AddCommands(platform::CCommandMap& commands, const platform::CCommandMap::UpdateRule& rule = nullptr);

    // ---- platform::CPrintable --------------------------------------------------------
    // The page from the columns' widths (turning a printer nobody chose to
    // landscape for a wide grid), the pages offered, then the prepare step.
    bool OnPreparePrinting(platform::CPrintInfo& info) override;
    // The page fitted to the printer; the highest page counted again.
    void OnBeginPrinting(platform::CPrintInfo& info) override;
    // Maps the page onto the printable area and draws page m_nCurPage.
    void OnPrint(platform::CDrawContext& dc, platform::CPrintInfo& info) override;

    // Draws page nPage (from 1) of the layout last prepared, in layout units:
    // the header rows, then the page's records.
    void DrawPage(platform::CDrawContext& dc, int nPage);
    const platform::CGridPageLayout& GetPageLayout() const { return m_layout; }

private:
    // A column's width as printed: a negative width is none.
    int ColumnWidth(int nCol, int nHeaderRow);
    int64_t ColumnsWidth();
    int HeaderRowHeight();
    void CountPages();

    CKelGridHost& m_grid;
    GridPrintOptions m_options;
    platform::CGridPageLayout m_layout;
};
