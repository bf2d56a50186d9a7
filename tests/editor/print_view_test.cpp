// Tabulon's table window printed into PDF files by its commands: records
// split into pages under a repeated header, a wide table on a landscape
// page, an empty table on one page, and the preview counting the same pages.
#include <cstdio>

#include <QPageLayout>
#include <QPrinter>

#include "grid/grid_page_printer.h"
#include "platform/core/page_layout.h"
#include "tests/editor/editor_test_support.h"
#include "tests/platform_ui/pdf_test_support.h"
#include "tests/support/table_builder.h"

namespace {

using editor_test::TabulonTest;
using pdf_test::PageText;
using pdf_test::PdfInfo;
using pdf_test::PrintToPdf;
using pdf_test::ReadPdfInfo;
using testing_support::TableBuilder;

bool Contains(const std::string& strText, const std::string& strPart) {
    return strText.find(strPart) != std::string::npos;
}

class PrintView : public TabulonTest {
protected:
    void SetUp() override {
        if (!pdf_test::HavePdfTools())
            GTEST_SKIP() << "pdfinfo (poppler-utils) is not installed";
        TabulonTest::SetUp();
        platform::ResetAppPrinter();
    }
    void TearDown() override {
        TabulonTest::TearDown();
        platform::ResetAppPrinter();
    }

    // nRecords records "rec000", "rec001", ... with an amount each.
    CDBFDoc* OpenRecords(int nRecords) {
        TableBuilder builder(0x03);
        builder.Field("NAME", 'C', 10).Field("AMOUNT", 'N', 8, 2);
        for (int i = 0; i < nRecords; ++i) {
            char szName[16], szAmount[16];
            std::snprintf(szName, sizeof szName, "rec%03d", i);
            std::snprintf(szAmount, sizeof szAmount, "%d.50", i);
            builder.Record({szName, szAmount});
        }
        return Open(builder.Write(m_dir.Path("records.dbf")));
    }
    // Makes the window's two columns nWidth wide together.
    void SetColumnsWidth(CDBFDoc* pDoc, int nWidth) {
        pDoc->m_columns[0].nWidth = nWidth / 2;
        pDoc->m_columns[1].nWidth = nWidth - nWidth / 2;
        View()->OnInitialUpdate();
    }
    // Picks the grid font's height so that a portrait page of the
    // application's printer holds exactly nPerPage records (the columns stay
    // narrower than the narrowest page).
    bool FitRowsPerPage(CDBFDoc* pDoc, int nPerPage) {
        SetColumnsWidth(pDoc, 400);
        QPrinter& printer = platform::AppPrinter();
        QRect rc = printer.pageLayout().paintRectPixels(printer.resolution());
        platform::PrinterMetrics metrics{rc.width(), rc.height(), printer.resolution(), printer.resolution(),
                                         platform::ScreenDpiX(), platform::ScreenDpiY()};
        for (int nHeight = 11; nHeight < 80; ++nHeight) {
            View()->SetFontHeight(-nHeight);
            platform::CGridPageLayout layout;
            layout.Prepare(400, false);
            layout.CountPages(1, View()->GetHeaderHeight(), View()->GetRowHeight(), View()->GetRowCount());
            layout.FitToPrinter(metrics);
            if (layout.GetRowsPerPage() == nPerPage)
                return true;
        }
        return false;
    }
    std::string Print() {
        std::string strPdf = m_dir.Path("table.pdf");
        std::remove(strPdf.c_str());
        PrintToPdf answer(strPdf);
        EXPECT_TRUE(Command(platform::ID_FILE_PRINT));
        return strPdf;
    }
    int PreviewPages() {
        platform::CScopedPrintPreviewHook preview;
        EXPECT_TRUE(Command(platform::ID_FILE_PRINT_PREVIEW));
        EXPECT_EQ(preview.GetPreviewCount(), 1);
        return preview.GetPageCount();
    }
};

TEST_F(PrintView, HundredRecordsAtThirtyAPageMakeFourPagesEachUnderTheHeader) {
    CDBFDoc* pDoc = OpenRecords(100);
    ASSERT_NE(pDoc, nullptr);
    ASSERT_TRUE(FitRowsPerPage(pDoc, 30));
    std::string strPdf = Print();
    PdfInfo info = ReadPdfInfo(strPdf);
    ASSERT_EQ(info.nPages, 4);
    EXPECT_FALSE(info.IsLandscape());
    for (int nPage = 1; nPage <= 4; ++nPage) {
        std::string strText = PageText(strPdf, nPage);
        EXPECT_TRUE(Contains(strText, "NAME") && Contains(strText, "AMOUNT")) << nPage;
    }
    std::string strFirst = PageText(strPdf, 1), strLast = PageText(strPdf, 4);
    EXPECT_TRUE(Contains(strFirst, "rec000") && Contains(strFirst, "rec029") && !Contains(strFirst, "rec030"));
    EXPECT_TRUE(Contains(strLast, "rec090") && Contains(strLast, "99.50") && !Contains(strLast, "rec089"));
    EXPECT_EQ(PreviewPages(), 4);
}

TEST_F(PrintView, AWideTablePrintsLandscapeAndAnEmptyOneOnOnePageWithItsHeader) {
    const struct {
        const char* pszCase;
        int nRecords;
        int nWidth;
        bool bLandscape;
    } cases[] = {
        {"narrow", 20, 700, false},
        {"wider than a portrait page", 20, 1200, true},
        {"empty", 0, 300, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pszCase);
        platform::ResetAppPrinter();
        CDBFDoc* pDoc = OpenRecords(c.nRecords);
        ASSERT_NE(pDoc, nullptr);
        SetColumnsWidth(pDoc, c.nWidth);
        std::string strPdf = Print();
        PdfInfo info = ReadPdfInfo(strPdf);
        ASSERT_EQ(info.nPages, 1);
        EXPECT_EQ(info.IsLandscape(), c.bLandscape);
        std::string strText = PageText(strPdf, 1);
        EXPECT_TRUE(Contains(strText, "NAME") && Contains(strText, "AMOUNT"));
        EXPECT_EQ(Contains(strText, "rec019"), c.nRecords > 0);
        EXPECT_EQ(PreviewPages(), 1);
        pDoc->OnCloseDocument();
        ui_test::Settle();
    }
}

}  // namespace
