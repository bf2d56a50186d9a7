// Printing the structure grid into real PDF files through QPrinter: the page
// count and orientation the layout promises, the header on every page, the
// fields where the layout puts them, page ranges, and the failures a user
// can meet (no file name, a file that cannot be written).
#include "platform/ui/message_box.h"
#include "platform/ui/print_job.h"
#include "tests/platform_ui/pdf_test_support.h"
#include "tests/structure/structure_test_support.h"

using namespace structure_test;
using pdf_test::PageText;
using pdf_test::PdfInfo;
using pdf_test::PrintToPdf;
using pdf_test::ReadPdfInfo;
using testing_support::TableBuilder;

namespace {

// A table of n fields F0, F1, ...
TableBuilder ManyFields(int nFields, uint8_t nVersion = 0x30) {
    TableBuilder table(nVersion);
    for (int i = 0; i < nFields; ++i)
        table.Field("F" + std::to_string(i), i % 3 == 0 ? 'N' : 'C', 5 + i % 7, i % 3 == 0 ? 2 : 0);
    return table;
}

class StructurePrint : public ::testing::Test {
protected:
    void SetUp() override {
        if (!pdf_test::HavePdfTools())
            GTEST_SKIP() << "pdfinfo (poppler-utils) is not installed";
        EnsureApplication();
        platform::ResetAppPrinter();
    }
    void TearDown() override { platform::ResetAppPrinter(); }
    testing_support::TempDir out;
};

}  // namespace

TEST_F(StructurePrint, FourNarrowColumnsPrintPortraitWithTheHeaderOnEveryPage) {
    StructureDialog f(ManyFields(150), true);
    std::string strPdf = out.Path("structure.pdf");
    PrintToPdf answer(strPdf);
    ASSERT_TRUE(f.grid().PrintGrid());
    EXPECT_EQ(answer.hook.GetDialogCount(), 1);
    EXPECT_EQ(answer.offered.m_nMinPage, 1);

    const platform::CGridPageLayout& layout = f.grid().GetPageLayout();
    EXPECT_EQ(layout.GetPageWidth(), 797);
    int nPerPage = layout.GetRowsPerPage();
    ASSERT_GE(nPerPage, 20);
    PdfInfo info = ReadPdfInfo(strPdf);
    EXPECT_EQ(info.nPages, (150 + nPerPage - 1) / nPerPage);
    EXPECT_EQ(info.nPages, layout.GetPageCount());
    EXPECT_LT(info.dWidth, info.dHeight) << "portrait";
    for (int nPage = 1; nPage <= info.nPages; ++nPage) {
        std::string strText = PageText(strPdf, nPage);
        EXPECT_NE(strText.find("Field name"), std::string::npos) << "page " << nPage;
        EXPECT_NE(strText.find("Decimal"), std::string::npos) << "page " << nPage;
    }
    EXPECT_NE(PageText(strPdf, 1).find("Character"), std::string::npos);
}

TEST_F(StructurePrint, FortyFieldsAtThirtyFivePerPageMakeTwoPages) {
    StructureDialog f(ManyFields(40), true);
    // A page's height follows from its width and the paper's proportions:
    // with tall rows, the first column is widened until a page holds 35.
    f.grid().SetFont(platform::CFont(f.grid().GetFont().GetFaceName(), 30), true);
    {
        PrintToPdf answer(out.Path("probe.pdf"));
        ASSERT_TRUE(f.grid().PrintGrid());
    }
    const platform::CGridPageLayout& layout = f.grid().GetPageLayout();
    const int64_t nPaperWidth = layout.GetViewportExtX(), nPaperHeight = layout.GetViewportExtY();
    const int nRow = f.grid().GetRowHeight();
    const int nOthers = f.grid().GetColumnWidth(1, -1) + f.grid().GetColumnWidth(2, -1) + f.grid().GetColumnWidth(3, -1);
    int nPageWidth = 0;
    for (int w = 797; w < 4000 && nPageWidth == 0; ++w) {
        int nHeight = static_cast<int>(w * nPaperHeight / nPaperWidth);
        if ((nHeight - f.grid().GetHeaderHeight() - 10) / nRow == 35)
            nPageWidth = w;
    }
    ASSERT_GT(nPageWidth, 0);
    f.grid().SetColumnWidth(0, -1, nPageWidth - 10 - nOthers);

    std::string strPdf = out.Path("forty.pdf");
    {
        PrintToPdf answer(strPdf);
        ASSERT_TRUE(f.grid().PrintGrid());
    }
    ASSERT_EQ(f.grid().GetPageLayout().GetRowsPerPage(), 35);
    ASSERT_EQ(ReadPdfInfo(strPdf).nPages, 2);
    std::string strSecond = PageText(strPdf, 2);
    EXPECT_NE(strSecond.find("Field name"), std::string::npos) << "the header again";
    for (int i = 35; i < 40; ++i)
        EXPECT_NE(strSecond.find("F" + std::to_string(i) + " "), std::string::npos) << i;
    EXPECT_EQ(strSecond.find("F34 "), std::string::npos);
    EXPECT_NE(PageText(strPdf, 1).find("F34 "), std::string::npos);
}

TEST_F(StructurePrint, WideGridTurnsAPrinterNobodyChoseToLandscape) {
    StructureDialog f(ManyFields(40), true);
    f.grid().SetColumnWidth(0, -1, 700);  // 700 + the others: wider than a portrait page
    std::string strPdf = out.Path("wide.pdf");
    {
        PrintToPdf answer(strPdf);
        ASSERT_TRUE(f.grid().PrintGrid());
    }
    EXPECT_TRUE(platform::IsAppPrinterLandscape());
    EXPECT_GE(f.grid().GetPageLayout().GetPageWidth(), 1127);
    PdfInfo info = ReadPdfInfo(strPdf);
    ASSERT_GT(info.nPages, 0);
    EXPECT_GT(info.dWidth, info.dHeight) << "landscape";

    // A printer chosen in portrait stays so, and the wide page is shrunk onto it.
    platform::AppPrinter().setPageOrientation(QPageLayout::Portrait);
    std::string strPortrait = out.Path("portrait.pdf");
    {
        PrintToPdf answer(strPortrait);
        ASSERT_TRUE(f.grid().PrintGrid());
    }
    EXPECT_FALSE(platform::IsAppPrinterLandscape());
    PdfInfo portrait = ReadPdfInfo(strPortrait);
    EXPECT_LT(portrait.dWidth, portrait.dHeight);
    EXPECT_EQ(portrait.nPages, f.grid().GetPageLayout().GetPageCount());
}

TEST_F(StructurePrint, APageRangeBackwardsPrintsTheLaterPageFirst) {
    StructureDialog f(ManyFields(150), true);
    std::string strPdf = out.Path("back.pdf");
    {
        PrintToPdf answer(strPdf, 2, 1);
        ASSERT_TRUE(f.grid().PrintGrid());
    }
    int nPerPage = f.grid().GetPageLayout().GetRowsPerPage();
    ASSERT_EQ(ReadPdfInfo(strPdf).nPages, 2);
    EXPECT_NE(PageText(strPdf, 1).find("F" + std::to_string(nPerPage) + " "), std::string::npos);
    EXPECT_NE(PageText(strPdf, 2).find("F0 "), std::string::npos);
}

TEST_F(StructurePrint, EmptyStructurePrintsItsHeader) {
    TableBuilder table(0x03);
    table.Field("ONLY", 'C', 4);
    StructureDialog f(table);
    f.MoveTo(kName, 0);
    f.Click(IDC_STRUCT_DEL);
    std::string strPdf = out.Path("empty.pdf");
    PrintToPdf answer(strPdf);
    ASSERT_TRUE(f.grid().PrintGrid());
    ASSERT_EQ(ReadPdfInfo(strPdf).nPages, 1);
    EXPECT_NE(PageText(strPdf, 1).find("Field type"), std::string::npos);
}

TEST_F(StructurePrint, FileChoicesAndFailuresStopCleanly) {
    StructureDialog f(ManyFields(10), true);
    // Printing to a file the dialog did not name asks for the name; no
    // name, no printing, and a name given there is printed to.
    auto toUnnamedFile = [](QPrinter& printer, platform::CPrintInfo& info) {
        printer.setOutputFileName(QString());
        info.m_bPrintToFile = true;
        return true;
    };
    {
        platform::CScopedPrintDialogHook unnamed(toUnnamedFile, [] { return QString(); });
        EXPECT_FALSE(f.grid().PrintGrid());
        EXPECT_EQ(unnamed.GetFileNameCount(), 1);
    }
    std::string strNamed = out.Path("named.pdf");
    platform::CScopedPrintDialogHook named(toUnnamedFile, [strNamed] { return QString::fromStdString(strNamed); });
    EXPECT_TRUE(f.grid().PrintGrid());
    EXPECT_EQ(ReadPdfInfo(strNamed).nPages, 1);

    // A file that cannot be written: the message, no crash, nothing left.
    std::string strBad = out.Path("missing/folder/x.pdf");
    PrintToPdf answer(strBad);
    platform::CScopedMessageBoxHook boxes;
    EXPECT_FALSE(f.grid().PrintGrid());
    ASSERT_EQ(boxes.GetRequests().size(), 1u);
    EXPECT_EQ(boxes.GetRequests()[0].strText, QStringLiteral("Could not start print job."));
}

TEST_F(StructurePrint, ThePrintButtonPrintsAndThePreviewShowsTheSamePages) {
    StructureDialog f(ManyFields(150), true);
    std::string strPdf = out.Path("button.pdf");
    {
        PrintToPdf answer(strPdf);
        f.Click(IDC_STRUCT_PRINT);
        EXPECT_EQ(answer.hook.GetDialogCount(), 1);
    }
    PdfInfo info = ReadPdfInfo(strPdf);
    ASSERT_GT(info.nPages, 1);
    EXPECT_NE(PageText(strPdf, info.nPages).find("Field name"), std::string::npos);

    platform::CScopedPrintPreviewHook preview;
    EXPECT_TRUE(platform::RunPrintPreview(f.grid(), &f.grid()));
    EXPECT_EQ(preview.GetPreviewCount(), 1);
    EXPECT_EQ(preview.GetPageCount(), info.nPages);
}
