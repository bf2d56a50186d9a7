// Print jobs over QPrinter: the application's printer selection, the print
// and page-setup dialogs (or a test's answers to them), the page loop, and
// the print preview that runs the same loop.
#include "platform/ui/print_job.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include <QApplication>
#include <QFileDialog>
#include <QMainWindow>
#include <QPageLayout>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPrinterInfo>
#include <QScreen>

#include "platform/core/string_table.h"
#include "platform/ui/draw_context.h"
#include "platform/ui/message_box.h"

namespace platform {

namespace {

const StringEntry kPrintStrings[] = {
    {IDS_PRINT_START_FAILED, "Could not start print job."},
};

void RegisterPrintStrings() {
    static const bool bDone = (RegisterStrings(kPrintStrings), true);
    (void)bDone;
}

std::unique_ptr<QPrinter>& AppPrinterSlot() {
    static std::unique_ptr<QPrinter> s_pPrinter;
    return s_pPrinter;
}

CScopedPrintDialogHook*& CurrentHook() {
    static CScopedPrintDialogHook* s_pHook = nullptr;
    return s_pHook;
}

CScopedPrintPreviewHook*& CurrentPreviewHook() {
    static CScopedPrintPreviewHook* s_pHook = nullptr;
    return s_pHook;
}

CScopedPageSetupHook*& CurrentPageSetupHook() {
    static CScopedPageSetupHook* s_pHook = nullptr;
    return s_pHook;
}

// The system's default printer as a new printer object; a system without
// printers prints into PDF files.
std::unique_ptr<QPrinter> MakeDefaultPrinter() {
    auto pPrinter = std::make_unique<QPrinter>(QPrinter::HighResolution);
    if (QPrinterInfo::defaultPrinter().isNull() && pPrinter->outputFormat() == QPrinter::NativeFormat)
        pPrinter->setOutputFormat(QPrinter::PdfFormat);
    return pPrinter;
}

bool IsLandscape(const QPrinter& printer) { return printer.pageLayout().orientation() == QPageLayout::Landscape; }

// The window the application's other windows hang off, if it has one.
QWidget* FindMainWindow(QWidget* pOwner) {
    for (QWidget* pWidget : QApplication::topLevelWidgets())
        if (qobject_cast<QMainWindow*>(pWidget) && pWidget->isVisible() && pWidget != (pOwner ? pOwner->window() : nullptr))
            return pWidget;
    return nullptr;
}

// The printer's printable size, resolution and orientation.
void ReadMetrics(QPrinter& printer, CPrintInfo& info) {
    QRect rcPaint = printer.pageLayout().paintRectPixels(printer.resolution());
    info.m_metrics.nPrintableWidth = rcPaint.width();
    info.m_metrics.nPrintableHeight = rcPaint.height();
    info.m_metrics.nDpiX = printer.resolution();
    info.m_metrics.nDpiY = printer.resolution();
    info.m_metrics.nScreenDpiX = ScreenDpiX();
    info.m_metrics.nScreenDpiY = ScreenDpiY();
    info.m_bLandscape = IsLandscape(printer);
}

// The metrics and where the pages go.
void ReadPrinter(QPrinter& printer, CPrintInfo& info) {
    ReadMetrics(printer, info);
    QString strFile = printer.outputFileName();
    if (!strFile.isEmpty()) {
        info.m_bPrintToFile = true;
        info.m_strOutputFile = strFile.toStdString();
    } else if (printer.outputFormat() == QPrinter::PdfFormat) {
        // A PDF printer (what a system without printers has) can only write
        // a file: the job asks for its name as for printing to a file.
        info.m_bPrintToFile = true;
    }
}

int ScreenDpi(bool bHorizontal) {
    QScreen* pScreen = QGuiApplication::primaryScreen();
    if (!pScreen)
        return 96;
    double dDpi = bHorizontal ? pScreen->logicalDotsPerInchX() : pScreen->logicalDotsPerInchY();
    int nDpi = static_cast<int>(std::lround(dDpi));
    return nDpi > 0 ? nDpi : 96;
}

// The pages from the first chosen to the last (backwards when so chosen),
// each prepared and printed, on a painter already active on the printer.
// False when the printer refused a new page.
bool PrintPages(CPrintable& printable, CPrintInfo& info, QPrinter& printer, QPainter& painter) {
    if (info.m_nMaxPage < info.m_nMinPage)
        info.m_nMaxPage = info.m_nMinPage;
    int nFrom = std::clamp(info.m_nFromPage, info.m_nMinPage, info.m_nMaxPage);
    int nTo = std::clamp(info.m_nToPage, info.m_nMinPage, info.m_nMaxPage);
    int nStep = nFrom <= nTo ? 1 : -1;
    QRect rcPaint = printer.pageLayout().paintRectPixels(printer.resolution());
    bool bFirstPage = true;
    for (int nPage = nFrom;; nPage += nStep) {
        info.m_nCurPage = nPage;
        Rect rcDevice{0, 0, rcPaint.width(), rcPaint.height()};
        {
            CDrawContext dcPrepare(painter, rcDevice);
            printable.OnPrepareDC(dcPrepare, info);
        }
        if (!info.m_bContinuePrinting)
            break;
        info.m_rectDraw = rcDevice;
        if (!bFirstPage && !printer.newPage())
            return false;
        bFirstPage = false;
        // A context of its own per page: nothing one page set up (mapping,
        // fonts, clip) leaks into the next.
        CDrawContext dc(painter, rcDevice);
        printable.OnPrepareDC(dc, info);
        printable.OnPrint(dc, info);
        if (nPage == nTo)
            break;
    }
    return true;
}

}  // namespace

// ---- the application's printer ---------------------------------------------------

bool HasAppPrinter() { return AppPrinterSlot() != nullptr; }

bool IsAppPrinterLandscape() { return AppPrinterSlot() && IsLandscape(*AppPrinterSlot()); }

void SelectDefaultPrinter(bool bLandscape) {
    AppPrinterSlot() = MakeDefaultPrinter();
    AppPrinterSlot()->setPageOrientation(bLandscape ? QPageLayout::Landscape : QPageLayout::Portrait);
}

QPrinter& AppPrinter() {
    if (!AppPrinterSlot())
        AppPrinterSlot() = MakeDefaultPrinter();
    return *AppPrinterSlot();
}

void ResetAppPrinter() { AppPrinterSlot().reset(); }

int ScreenDpiX() { return ScreenDpi(true); }
int ScreenDpiY() { return ScreenDpi(false); }

// ---- the hooks --------------------------------------------------------------------------

CScopedPrintDialogHook::CScopedPrintDialogHook(DialogFunction dialog, FileNameFunction fileName)
    : m_dialog(std::move(dialog)), m_fileName(std::move(fileName)), m_pPrevious(CurrentHook()) {
    CurrentHook() = this;
}

CScopedPrintDialogHook::~CScopedPrintDialogHook() { CurrentHook() = m_pPrevious; }

bool CScopedPrintDialogHook::RunDialog(QPrinter& printer, CPrintInfo& info) {
    ++m_nDialogs;
    return m_dialog ? m_dialog(printer, info) : true;
}

QString CScopedPrintDialogHook::AskFileName() {
    ++m_nFileNames;
    return m_fileName ? m_fileName() : QString();
}

CScopedPrintPreviewHook::CScopedPrintPreviewHook(PreviewFunction preview)
    : m_preview(std::move(preview)), m_pPrevious(CurrentPreviewHook()) {
    CurrentPreviewHook() = this;
}

CScopedPrintPreviewHook::~CScopedPrintPreviewHook() { CurrentPreviewHook() = m_pPrevious; }

void CScopedPrintPreviewHook::RunPreview(QPrintPreviewDialog& dialog) {
    ++m_nPreviews;
    // The preview widget draws its pages when it is first shown; asked to
    // now, it draws them unseen through the same request.
    m_nPages = 0;
    if (auto* pWidget = dialog.findChild<QPrintPreviewWidget*>()) {
        pWidget->updatePreview();
        m_nPages = pWidget->pageCount();
    }
    if (m_preview)
        m_preview(dialog, m_nPages);
}

CScopedPageSetupHook::CScopedPageSetupHook(SetupFunction setup)
    : m_setup(std::move(setup)), m_pPrevious(CurrentPageSetupHook()) {
    CurrentPageSetupHook() = this;
}

CScopedPageSetupHook::~CScopedPageSetupHook() { CurrentPageSetupHook() = m_pPrevious; }

bool CScopedPageSetupHook::RunDialog(QPrinter& printer) {
    ++m_nDialogs;
    return m_setup ? m_setup(printer) : true;
}

// ---- the job ----------------------------------------------------------------------------

void CPrintable::OnPrepareDC(CDrawContext&, CPrintInfo& info) {
    info.m_bContinuePrinting = info.IsMaxPageKnown() || info.m_nCurPage == 1;
}

bool DoPreparePrinting(CPrintInfo& info, QWidget* pParent) {
    QPrinter& printer = AppPrinter();
    if (info.m_nMaxPage < info.m_nMinPage)
        info.m_nMaxPage = info.m_nMinPage;
    if (info.m_bPreview) {
        // A preview only needs the printer's page; where printing would go
        // is asked when the preview is printed.
        ReadMetrics(printer, info);
        return true;
    }
    if (!info.m_bDirect) {
        if (CScopedPrintDialogHook* pHook = CurrentHook()) {
            if (!pHook->RunDialog(printer, info))
                return false;
        } else {
            QPrintDialog dialog(&printer, pParent);
            dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
            dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
            dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
            dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
            dialog.setMinMax(info.m_nMinPage, info.m_nMaxPage);
            if (dialog.exec() != QDialog::Accepted)
                return false;
            if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
                info.m_nFromPage = printer.fromPage();
                info.m_nToPage = std::max(printer.fromPage(), printer.toPage());
            }
        }
    }
    ReadPrinter(printer, info);
    return true;
}

bool RunPrintJob(CPrintable& printable, QWidget* pOwner, bool bDirect) {
    RegisterPrintStrings();
    CPrintInfo info;
    info.m_bDirect = bDirect;
    if (!printable.OnPreparePrinting(info))
        return false;
    QPrinter& printer = AppPrinter();

    // A file chosen without a name is asked for now.
    if (info.m_bPrintToFile && info.m_strOutputFile.empty()) {
        QString strFile;
        if (CScopedPrintDialogHook* pHook = CurrentHook())
            strFile = pHook->AskFileName();
        else
            strFile = QFileDialog::getSaveFileName(pOwner, QStringLiteral("Print to File"), QString(),
                                                   QStringLiteral("PDF (*.pdf);;All files (*)"));
        if (strFile.isEmpty())
            return false;
        info.m_strOutputFile = strFile.toStdString();
    }
    if (info.m_bPrintToFile) {
        if (printer.outputFormat() != QPrinter::PdfFormat)
            printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(info.m_strOutputFile));
    }

    QString strDocName = pOwner ? pOwner->window()->windowTitle() : QString();
    printer.setDocName(strDocName.left(31));

    printable.OnBeginPrinting(info);
    QWidget* pMain = FindMainWindow(pOwner);
    bool bMainWasEnabled = pMain && pMain->isEnabled();
    if (bMainWasEnabled)
        pMain->setEnabled(false);
    auto restoreMain = [&] {
        if (bMainWasEnabled)
            pMain->setEnabled(true);
    };

    QPainter painter;
    if (!painter.begin(&printer)) {
        restoreMain();
        printable.OnEndPrinting(info);
        MessageBox(pOwner, IDS_PRINT_START_FAILED, MB_OK | MB_ICONERROR);
        return false;
    }
    bool bFailed = !PrintPages(printable, info, printer, painter);
    if (bFailed)
        printer.abort();
    if (!painter.end())
        bFailed = true;

    restoreMain();
    printable.OnEndPrinting(info);
    return !bFailed;
}

bool RunPrintPreview(CPrintable& printable, QWidget* pOwner) {
    RegisterPrintStrings();
    CPrintInfo info;
    info.m_bPreview = true;
    if (!printable.OnPreparePrinting(info))
        return false;
    QPrintPreviewDialog dialog(&AppPrinter(), pOwner);
    // Each request draws every page afresh on the printer it names (the
    // preview's, or the real one when the preview is printed), after the
    // begin step has fitted the page to that printer as it is now: a page
    // setup changed inside the preview is drawn as printing it would be.
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog, [&](QPrinter* pPrinter) {
        CPrintInfo pageInfo = info;
        ReadMetrics(*pPrinter, pageInfo);
        pageInfo.m_nFromPage = pageInfo.m_nMinPage;
        pageInfo.m_nToPage = CPrintInfo::kUnknownPage;
        printable.OnBeginPrinting(pageInfo);
        QPainter painter;
        if (painter.begin(pPrinter)) {
            if (!PrintPages(printable, pageInfo, *pPrinter, painter))
                pPrinter->abort();
            painter.end();
        }
        printable.OnEndPrinting(pageInfo);
    });
    if (CScopedPrintPreviewHook* pHook = CurrentPreviewHook())
        pHook->RunPreview(dialog);
    else
        dialog.exec();
    return true;
}

bool RunPrintSetup(QWidget* pParent) {
    // The dialog works on the application's printer, which is chosen from
    // now on whatever the answer: a wide grid no longer turns it.
    QPrinter& printer = AppPrinter();
    if (CScopedPageSetupHook* pHook = CurrentPageSetupHook())
        return pHook->RunDialog(printer);
    QPageSetupDialog dialog(&printer, pParent);
    return dialog.exec() == QDialog::Accepted;
}

}  // namespace platform
