// The grids' page printer into real PDF files: records split into pages
// under a repeated header, landscape for wide tables by each program's
// threshold, empty and zero-width tables, a pane without its header row,
// check boxes, and the preview, direct print and Print Setup around it.
#include <cstdio>

#include <QImage>
#include <QPageLayout>
#include <QPrinter>

#include <gtest/gtest.h>

#include "grid/grid_ctrl.h"
#include "grid/grid_page_printer.h"
#include "tests/platform_ui/pdf_test_support.h"
#include "tests/platform_ui/ui_test_support.h"
#include "tests/support/test_support.h"

using namespace platform;
using pdf_test::PageText;
using pdf_test::PdfInfo;
using pdf_test::PrintToPdf;
using pdf_test::ReadPdfInfo;

namespace {

enum RecordColumn : int { kName = 0, kAmount = 1, kPaid = 2 };

// A small table as a grid control: names "rec000", "rec001", ..., amounts,
// and a check box that is ticked on even records.
class CRecordGrid : public CKelGridCtrl {
public:
    explicit CRecordGrid(GridRow nRows) {
        const unsigned kHeader = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
        InsertColumn(120, "NAME", DT_LEFT | DT_VCENTER | DT_SINGLELINE, kHeader);
        InsertColumn(80, "AMOUNT", DT_RIGHT | DT_VCENTER | DT_SINGLELINE, kHeader);
        InsertColumn(46, "PAID", DT_CENTER | DT_VCENTER | DT_SINGLELINE, kHeader, DFC_BUTTON,
                     DFCS_BUTTONCHECK | DFCS_FLAT);
        SetRowCount(nRows, false);
        RecalcLayout();
        setWindowTitle(QStringLiteral("records"));
    }
    GridCellValue GetCellValue(int nCol, GridRow nRow) override {
        if (nCol == kPaid)
            return GridCellValue{"", nRow % 2 == 0 ? 1 : 0};
        char sz[32];
        std::snprintf(sz, sizeof sz, nCol == kName ? "rec%03lld" : "%lld.50", static_cast<long long>(nRow));
        return GridCellValue{sz, -1};
    }
    // A data source may answer nonsense for a width.
    int GetColumnWidth(int nCol, int nHeaderRow) override {
        return nCol == m_nNegativeColumn ? -40 : CKelGridCtrl::GetColumnWidth(nCol, nHeaderRow);
    }
    // Makes the data columns add up to nWidth by widening or narrowing the first.
    void SetColumnsWidth(int nWidth) {
        SetColumnWidth(kName, -1, nWidth - GetColumnWidth(kAmount, -1) - GetColumnWidth(kPaid, -1));
    }
    int m_nNegativeColumn = -1;
};

// The application's printer as the page layout sees it.
PrinterMetrics AppPrinterMetrics() {
    QPrinter& printer = AppPrinter();
    QRect rc = printer.pageLayout().paintRectPixels(printer.resolution());
    return PrinterMetrics{rc.width(), rc.height(), printer.resolution(), printer.resolution(), ScreenDpiX(), ScreenDpiY()};
}

// Widens the grid until a portrait page of the application's printer holds
// exactly nPerPage records: a page's height follows from its width.
bool FitRowsPerPage(CRecordGrid& grid, int nPerPage) {
    PrinterMetrics metrics = AppPrinterMetrics();
    for (int nPage = 797; nPage < 8000; ++nPage) {
        CGridPageLayout layout;
        layout.Prepare(nPage - 10, false);
        layout.CountPages(1, grid.GetHeaderHeight(), grid.GetRowHeight(), grid.GetRowCount());
        layout.FitToPrinter(metrics);
        if (layout.GetRowsPerPage() == nPerPage) {
            grid.SetColumnsWidth(nPage - 10);
            return true;
        }
    }
    return false;
}

bool Contains(const std::string& strText, const std::string& strPart) {
    return strText.find(strPart) != std::string::npos;
}

class GridPrint : public ::testing::Test {
protected:
    void SetUp() override {
        if (!pdf_test::HavePdfTools())
            GTEST_SKIP() << "pdfinfo (poppler-utils) is not installed";
        ui_test::EnsureApplication();
        ResetAppPrinter();
    }
    void TearDown() override { ResetAppPrinter(); }
    testing_support::TempDir out;
};

}  // namespace

TEST_F(GridPrint, HundredRecordsAtThirtyAPageMakeFourPagesEachUnderTheHeader) {
    CRecordGrid grid(100);
    grid.SetFont(CFont(grid.GetFont().GetFaceName(), 40), true);  // rows tall enough for 30 a page
    ASSERT_TRUE(FitRowsPerPage(grid, 30));
    CGridPagePrinter printer(grid);
    std::string strPdf = out.Path("hundred.pdf");
    {
        PrintToPdf answer(strPdf);
        ASSERT_TRUE(printer.Print());
        EXPECT_EQ(answer.offered.m_nMaxPage, 4) << "the dialog offers pages 1 to 4";
    }
    ASSERT_EQ(printer.GetPageLayout().GetRowsPerPage(), 30);
    PdfInfo info = ReadPdfInfo(strPdf);
    ASSERT_EQ(info.nPages, 4);
    EXPECT_FALSE(info.IsLandscape());
    for (int nPage = 1; nPage <= 4; ++nPage) {
        std::string strText = PageText(strPdf, nPage);
        EXPECT_TRUE(Contains(strText, "NAME") && Contains(strText, "AMOUNT") && Contains(strText, "PAID")) << nPage;
    }
    std::string strFirst = PageText(strPdf, 1), strLast = PageText(strPdf, 4);
    EXPECT_TRUE(Contains(strFirst, "rec000") && Contains(strFirst, "rec029") && !Contains(strFirst, "rec030"));
    EXPECT_TRUE(Contains(strLast, "rec090") && Contains(strLast, "rec099") && !Contains(strLast, "rec089"));
    EXPECT_TRUE(Contains(strLast, "99.50"));

    CScopedPrintPreviewHook preview;
    EXPECT_TRUE(printer.Preview());
    EXPECT_EQ(preview.GetPreviewCount(), 1);
    EXPECT_EQ(preview.GetPageCount(), 4);
}

TEST_F(GridPrint, WideTablesTurnAPrinterNobodyChoseToLandscapeByEachProgramsThreshold) {
    const struct {
        const char* pszName;
        GridPrintOptions options;
        int nColumns;
        bool bLandscape;
        int nPageWidth;
    } cases[] = {
        {"editor, narrow", kEditorPrintOptions, 786, false, 797},
        {"editor, wide", kEditorPrintOptions, 787, true, 1127},
        {"editor, wider than a landscape sheet", kEditorPrintOptions, 1500, true, 1510},
        {"viewer, narrow", kViewerPrintOptions, 739, false, 749},
        {"viewer, wide", kViewerPrintOptions, 740, true, 750},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pszName);
        ResetAppPrinter();
        CRecordGrid grid(20);
        grid.SetColumnsWidth(c.nColumns);
        CGridPagePrinter printer(grid, c.options);
        std::string strPdf = out.Path("wide.pdf");
        {
            PrintToPdf answer(strPdf);
            ASSERT_TRUE(printer.Print());
        }
        EXPECT_EQ(IsAppPrinterLandscape(), c.bLandscape);
        EXPECT_EQ(printer.GetPageLayout().GetPageWidth(), c.nPageWidth);
        PdfInfo info = ReadPdfInfo(strPdf);
        ASSERT_EQ(info.nPages, 1);
        EXPECT_EQ(info.IsLandscape(), c.bLandscape);
        EXPECT_TRUE(Contains(PageText(strPdf, 1), "rec019"));
    }
}

TEST_F(GridPrint, AnEmptyTablePrintsOnePageWithItsHeader) {
    for (const GridPrintOptions& options : {kEditorPrintOptions, kViewerPrintOptions}) {
        CRecordGrid grid(0);
        CGridPagePrinter printer(grid, options);
        std::string strPdf = out.Path("empty.pdf");
        {
            PrintToPdf answer(strPdf);
            ASSERT_TRUE(printer.Print());
            EXPECT_EQ(answer.offered.m_nMaxPage, 1);
        }
        ASSERT_EQ(ReadPdfInfo(strPdf).nPages, 1);
        std::string strText = PageText(strPdf, 1);
        EXPECT_TRUE(Contains(strText, "NAME") && Contains(strText, "PAID"));
        EXPECT_FALSE(Contains(strText, "rec"));

        CScopedPrintPreviewHook preview;
        EXPECT_TRUE(printer.Preview());
        EXPECT_EQ(preview.GetPageCount(), 1);
    }
}

TEST_F(GridPrint, ZeroWidthColumnsStillPutRecordsOnEveryPage) {
    // Without a narrowest page, columns of no width make a page of 10 x 14
    // layout units, lower than one header: still a record a page before the
    // printer is known, and a whole printable page once it is. A negative
    // width counts as none, and a grid without columns prints its rows' pages.
    const struct {
        const char* pszName;
        GridPrintOptions options;
        bool bNoColumns;
    } cases[] = {
        {"viewer", kViewerPrintOptions, false},
        {"editor", kEditorPrintOptions, false},
        {"viewer, no columns", kViewerPrintOptions, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pszName);
        CRecordGrid grid(200);
        if (c.bNoColumns)
            grid.DeleteAllColumns();
        for (int i = 0; i < grid.GetColumnCount(-1); ++i)
            grid.SetColumnWidth(i, -1, 0);
        grid.m_nNegativeColumn = kAmount;
        CGridPagePrinter printer(grid, c.options);
        std::string strPdf = out.Path("zero.pdf");
        {
            PrintToPdf answer(strPdf);
            ASSERT_TRUE(printer.Print());
            EXPECT_GE(answer.offered.m_nMaxPage, 1);
        }
        const CGridPageLayout& layout = printer.GetPageLayout();
        EXPECT_FALSE(IsAppPrinterLandscape());
        EXPECT_GE(layout.GetRowsPerPage(), 1);
        EXPECT_EQ(layout.GetPageCount(), (200 + layout.GetRowsPerPage() - 1) / layout.GetRowsPerPage());
        EXPECT_EQ(ReadPdfInfo(strPdf).nPages, layout.GetPageCount());
        ResetAppPrinter();
    }
}

TEST_F(GridPrint, APaneWithoutItsHeaderRowPrintsItOnEveryPage) {
    // A splitter's lower pane shows no header row; the viewer's pages carry one all the same.
    CRecordGrid grid(150);
    grid.SetFixedRowCount(0, false);
    CGridPagePrinter printer(grid, kViewerPrintOptions);
    std::string strPdf = out.Path("pane.pdf");
    {
        PrintToPdf answer(strPdf);
        ASSERT_TRUE(printer.Print());
    }
    PdfInfo info = ReadPdfInfo(strPdf);
    ASSERT_GE(info.nPages, 2);
    for (int nPage = 1; nPage <= info.nPages; ++nPage)
        EXPECT_TRUE(Contains(PageText(strPdf, nPage), "AMOUNT")) << nPage;
}

TEST_F(GridPrint, CheckBoxesPrintTheirState) {
    CRecordGrid grid(4);
    CGridPagePrinter printer(grid);
    {
        PrintToPdf answer(out.Path("boxes.pdf"));
        ASSERT_TRUE(printer.Print());
    }
    // The first page again, in layout units, on an image.
    const CGridPageLayout& layout = printer.GetPageLayout();
    QImage image(layout.GetWindowExtX(), layout.GetWindowExtY(), QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        CDrawContext dc(image);
        printer.DrawPage(dc, 1);
    }
    // Pixels inside a record's check-box cell darker than a grey.
    auto inkIn = [&](GridRow nRow, int nGrey) {
        int x = CGridPageLayout::kMargin + grid.GetColumnWidth(kName, -1) + grid.GetColumnWidth(kAmount, -1);
        int y = layout.GetFirstRowTop() + static_cast<int>(nRow) * grid.GetRowHeight();
        int nInk = 0;
        for (int py = y + 2; py < y + grid.GetRowHeight() - 1; ++py)
            for (int px = x + 2; px < x + grid.GetColumnWidth(kPaid, -1) - 1; ++px)
                nInk += qGray(image.pixel(px, py)) < nGrey ? 1 : 0;
        return nInk;
    };
    EXPECT_GT(inkIn(1, 250), 20) << "an empty box is drawn";
    EXPECT_GT(inkIn(0, 128), inkIn(1, 128) + 5) << "the tick";
    EXPECT_EQ(inkIn(2, 128), inkIn(0, 128));
}

TEST_F(GridPrint, PrintSetupAndPrintingWithoutTheDialog) {
    CRecordGrid grid(10);
    CGridPagePrinter printer(grid);

    // Print Setup chooses the application's printer: a narrow table then
    // prints on the landscape sheet the user set.
    CScopedPageSetupHook setup([](QPrinter& p) {
        p.setPageOrientation(QPageLayout::Landscape);
        return true;
    });
    EXPECT_TRUE(RunPrintSetup(nullptr));
    EXPECT_EQ(setup.GetDialogCount(), 1);
    EXPECT_TRUE(IsAppPrinterLandscape());

    // Print without the dialog: no dialog, but a PDF printer asks where to write.
    AppPrinter().setOutputFormat(QPrinter::PdfFormat);
    std::string strPdf = out.Path("direct.pdf");
    CScopedPrintDialogHook hook(nullptr, [strPdf] { return QString::fromStdString(strPdf); });
    CCommandMap commands;
    printer.AddCommands(commands);
    ASSERT_TRUE(commands.Run(ID_FILE_PRINT_DIRECT));
    EXPECT_EQ(hook.GetDialogCount(), 0);
    EXPECT_EQ(hook.GetFileNameCount(), 1);
    PdfInfo info = ReadPdfInfo(strPdf);
    EXPECT_EQ(info.nPages, 1);
    EXPECT_TRUE(info.IsLandscape());
    EXPECT_EQ(printer.GetPageLayout().GetPageWidth(), 1127);

    // The other two commands: the print dialog, and the preview without it.
    CScopedPrintPreviewHook preview;
    ASSERT_TRUE(commands.Run(ID_FILE_PRINT_PREVIEW));
    EXPECT_EQ(preview.GetPreviewCount(), 1);
    EXPECT_EQ(preview.GetPageCount(), 1);
    EXPECT_EQ(hook.GetDialogCount(), 0);
    ASSERT_TRUE(commands.Run(ID_FILE_PRINT));
    EXPECT_EQ(hook.GetDialogCount(), 1);
}
