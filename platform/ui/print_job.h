// Printing for windows that print themselves (grids, the table views): the
// print job's state (CPrintInfo), the five steps a printable window supplies
// (CPrintable), the prepare step that shows the print dialog, the job that
// runs the pages, the print preview that runs the same steps into a
// QPrintPreviewDialog, and Print Setup. The application keeps one printer
// selection for all jobs: none until a dialog or a wide grid picks the
// system's default printer, then whatever the user last chose in a print or
// page-setup dialog.
//
// Pages are drawn through platform::CDrawContext on a QPrinter, so a printer,
// a PDF file, a preview and a test's file all get the same drawing. Tests
// answer the print dialog and the file-name prompt through
// CScopedPrintDialogHook, run a preview unseen through
// CScopedPrintPreviewHook and answer Print Setup through CScopedPageSetupHook.
#pragma once

#include <climits>
#include <functional>
#include <string>

#include <QString>

#include "platform/core/page_layout.h"
#include "platform/ui/command_ids.h"
#include "platform/ui/draw_types.h"

class QPrintPreviewDialog;
class QPrinter;
class QWidget;

namespace platform {

class CDrawContext;

class CPrintInfo {
public:
    // A highest page nobody has counted yet.
    static constexpr int kUnknownPage = INT_MAX;

    bool m_bDirect = false;          // print at once with the printer's settings, no dialog
    bool m_bPreview = false;         // the pages go to a print preview, not to paper
    bool m_bPrintToFile = false;     // the dialog chose a file instead of a printer
    std::string m_strOutputFile;     // that file (UTF-8), empty until named
    int m_nMinPage = 1;              // the pages the dialog offers
    int m_nMaxPage = kUnknownPage;
    int m_nFromPage = 1;             // the pages chosen; clamped to the offer when printing
    int m_nToPage = kUnknownPage;
    int m_nCurPage = 1;              // the page being printed
    bool m_bContinuePrinting = true; // cleared by OnPrepareDC to stop after this page
    Rect m_rectDraw;                 // the printable area of the page, in device pixels
    PrinterMetrics m_metrics;        // known once the prepare step has a printer
    bool m_bLandscape = false;       // the printer's orientation for this job

    bool IsMaxPageKnown() const { return m_nMaxPage != kUnknownPage; }
};

class CPrintable {
public:
    virtual ~CPrintable() = default;

    // Before the print dialog: set the pages and call DoPreparePrinting;
    // false stops the job.
    virtual bool OnPreparePrinting(CPrintInfo& info) = 0;
    // The printer is known (info.m_metrics), nothing is printed yet.
    virtual void OnBeginPrinting(CPrintInfo& info) { (void)info; }
    // Before each page; clearing m_bContinuePrinting ends the job there. By
    // default a job goes on while its highest page is known, or for page 1.
    virtual void OnPrepareDC(CDrawContext& dc, CPrintInfo& info);
    // Draws page m_nCurPage; the context maps nothing yet (device pixels).
    virtual void OnPrint(CDrawContext& dc, CPrintInfo& info) = 0;
    virtual void OnEndPrinting(CPrintInfo& info) { (void)info; }
};

// The prepare step of a job: with m_bDirect or m_bPreview the application's
// printer (the system's default when none was chosen) as it is; otherwise
// the print dialog over pParent on that printer, offering
// m_nMinPage..m_nMaxPage. The printer chosen becomes the application's.
// Fills the page range, the file choice (a PDF printer without a file name
// asks for one), the orientation and the printer's metrics. False when
// cancelled.
bool DoPreparePrinting(CPrintInfo& info, QWidget* pParent);

// Runs a print job on a window: prepare (dialog), the output file name when
// the dialog chose a file without naming one, begin, each page from the
// first chosen to the last (backwards when the range is given backwards),
// end. The document is named after pOwner's window title. While it prints
// the application's main window is disabled. A printer that cannot start
// the document gets the "could not start" message. True when every page was
// printed. bDirect prints without the dialog (command 57608).
bool RunPrintJob(CPrintable& printable, QWidget* pOwner, bool bDirect = false);

// The print preview (command 57609): the prepare step without a dialog, then
// a QPrintPreviewDialog on the application's printer whose pages are drawn
// by the same begin, prepare-page, print and end steps as a job's, so it
// shows the pages printing would give. The dialog redraws them whenever its
// page setup changes, and prints them when asked. False when the prepare
// step stopped it.
bool RunPrintPreview(CPrintable& printable, QWidget* pOwner);

// Print Setup (command 57606): the page-setup dialog on the application's
// printer, which counts as chosen from then on. True when accepted.
bool RunPrintSetup(QWidget* pParent);

// ---- the application's printer selection -------------------------------------
bool HasAppPrinter();
// The application's printer in landscape orientation; false when there is none.
bool IsAppPrinterLandscape();
// The system's default printer becomes the application's, in the given
// orientation (a printer-less system gets a PDF printer).
void SelectDefaultPrinter(bool bLandscape);
// The application's printer, the system's default one when none was chosen.
QPrinter& AppPrinter();
// Forgets the selection (tests; the next job starts from the default again).
void ResetAppPrinter();

// The screen's resolution that layout units are counted in.
int ScreenDpiX();
int ScreenDpiY();

// While one exists, the print dialog and the output file prompt are not
// shown: the hook's functions answer them (true/a name to go on, false/an
// empty name to cancel). A missing function answers as a user pressing OK
// on the dialog as offered, or cancelling the file prompt.
class CScopedPrintDialogHook {
public:
    using DialogFunction = std::function<bool(QPrinter& printer, CPrintInfo& info)>;
    using FileNameFunction = std::function<QString()>;
    explicit CScopedPrintDialogHook(DialogFunction dialog, FileNameFunction fileName = nullptr);
    ~CScopedPrintDialogHook();
    CScopedPrintDialogHook(const CScopedPrintDialogHook&) = delete;
    CScopedPrintDialogHook& operator=(const CScopedPrintDialogHook&) = delete;

    int GetDialogCount() const { return m_nDialogs; }
    int GetFileNameCount() const { return m_nFileNames; }
    bool RunDialog(QPrinter& printer, CPrintInfo& info);
    QString AskFileName();

private:
    DialogFunction m_dialog;
    FileNameFunction m_fileName;
    int m_nDialogs = 0;
    int m_nFileNames = 0;
    CScopedPrintDialogHook* m_pPrevious;
};

// While one exists, a print preview is not shown: its pages are drawn as the
// dialog draws them and counted, the hook's function (if any) may look at the
// dialog, and the preview is closed.
class CScopedPrintPreviewHook {
public:
    using PreviewFunction = std::function<void(QPrintPreviewDialog& dialog, int nPages)>;
    explicit CScopedPrintPreviewHook(PreviewFunction preview = nullptr);
    ~CScopedPrintPreviewHook();
    CScopedPrintPreviewHook(const CScopedPrintPreviewHook&) = delete;
    CScopedPrintPreviewHook& operator=(const CScopedPrintPreviewHook&) = delete;

    int GetPreviewCount() const { return m_nPreviews; }
    // The pages of the last preview.
    int GetPageCount() const { return m_nPages; }
    void RunPreview(QPrintPreviewDialog& dialog);

private:
    PreviewFunction m_preview;
    int m_nPreviews = 0;
    int m_nPages = 0;
    CScopedPrintPreviewHook* m_pPrevious;
};

// While one exists, Print Setup shows no dialog: the hook's function answers
// it on the application's printer (true for OK); a missing function presses
// OK on the settings as they are.
class CScopedPageSetupHook {
public:
    using SetupFunction = std::function<bool(QPrinter& printer)>;
    explicit CScopedPageSetupHook(SetupFunction setup = nullptr);
    ~CScopedPageSetupHook();
    CScopedPageSetupHook(const CScopedPageSetupHook&) = delete;
    CScopedPageSetupHook& operator=(const CScopedPageSetupHook&) = delete;

    int GetDialogCount() const { return m_nDialogs; }
    bool RunDialog(QPrinter& printer);

private:
    SetupFunction m_setup;
    int m_nDialogs = 0;
    CScopedPageSetupHook* m_pPrevious;
};

// String id of the message shown when a printer refuses to start a document.
constexpr unsigned IDS_PRINT_START_FAILED = 61700;

}  // namespace platform
