// The table view's printing: Print (with the print dialog), print without
// it, and Print Preview, through the grid page printer; and the --print
// start of the program.
#include "editor/dbf_doc.h"
#include "editor/dbf_view.h"
#include "editor/tabulon_app.h"
#include "editor/view_commands.h"
#include "grid/grid_page_printer.h"
#include "platform/ui/main_frame.h"

void AddPrintCommands(CDBFView& view) {
    view.m_pPrinter = std::make_unique<CGridPagePrinter>(view, kEditorPrintOptions);
    auto run = [&view](auto&& print) {
        return [&view, print] {
            view.CloseToolDialogs();
            if (view.EndEdit(false))
                print(*view.m_pPrinter);
        };
    };
    platform::CCommandMap& commands = view.GetCommandMap();
    commands.Add(platform::ID_FILE_PRINT, run([](CGridPagePrinter& printer) { printer.Print(false); }));
    commands.Add(platform::ID_FILE_PRINT_DIRECT, run([](CGridPagePrinter& printer) { printer.Print(true); }));
    commands.Add(platform::ID_FILE_PRINT_PREVIEW, run([](CGridPagePrinter& printer) { printer.Preview(); }));
}

bool PrintActiveTableAndClose(CTabulonApp& app) {
    platform::CMainFrame* pFrame = app.GetMainWnd();
    auto* pView = pFrame ? dynamic_cast<CDBFView*>(pFrame->GetActiveView()) : nullptr;
    if (!pView || !pView->m_pPrinter)
        return false;
    bool bPrinted = pView->m_pPrinter->Print(true);
    if (platform::CDocument* pDocument = pView->GetDocument())
        pDocument->OnCloseDocument();
    return bPrinted;
}
