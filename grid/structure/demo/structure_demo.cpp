// structure-demo: the "Table structure" dialog on a table, for looking at it
// and trying it out.
//   structure-demo TABLE [--read-only] [--edit COLUMN ROW] [--quit-after MS]
//                  [--print-pdf FILE]
// Without --read-only the table is opened exclusively and its structure is
// rewritten when the dialog is closed with Save (the previous file is kept
// as .bak); Close leaves it untouched. --edit opens the editor of a cell
// (columns 0 name, 1 type, 2 width, 3 decimals) once the dialog shows.
// --print-pdf prints the structure into a PDF file (no print dialog) and
// closes the dialog.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

#include <QApplication>
#include <QTimer>

#include "engine/dbf_exception.h"
#include "engine/table_def.h"
#include "grid/structure/table_struct_dlg.h"
#include "platform/ui/message_box.h"
#include "platform/ui/print_job.h"

#include <QPrinter>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationDisplayName(QStringLiteral("Tabulon"));
    std::string strTable;
    bool bReadOnly = false;
    int nEditCol = -1, nEditRow = -1, nQuitAfter = -1;
    std::string strPdf;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--read-only") == 0) {
            bReadOnly = true;
        } else if (std::strcmp(argv[i], "--edit") == 0 && i + 2 < argc) {
            nEditCol = std::atoi(argv[++i]);
            nEditRow = std::atoi(argv[++i]);
        } else if (std::strcmp(argv[i], "--print-pdf") == 0 && i + 1 < argc) {
            strPdf = argv[++i];
        } else if (std::strcmp(argv[i], "--quit-after") == 0 && i + 1 < argc) {
            nQuitAfter = std::atoi(argv[++i]);
        } else if (strTable.empty()) {
            strTable = argv[i];
        }
    }
    if (strTable.empty()) {
        std::fprintf(stderr, "usage: structure-demo TABLE [--read-only] [--edit COLUMN ROW] [--quit-after MS] "
                     "[--print-pdf FILE]\n");
        return 2;
    }

    dbf::CDBFTableDef tableDef;
    try {
        unsigned nFlags = bReadOnly ? (platform::modeRead | platform::shareDenyNone)
                                    : (platform::modeReadWrite | platform::shareExclusive);
        tableDef.Open(strTable, nFlags | platform::typeBinary);
        if (!tableDef.IsOpen())
            dbf::ThrowError(dbf::errCantOpenFile);
        if (!bReadOnly)
            tableDef.BeginModifyStructure();
    } catch (const dbf::CDBFException& e) {
        std::fprintf(stderr, "structure-demo: %s\n", e.GetErrorMessage().c_str());
        return 1;
    }

    CTableStructDlg dialog;
    dialog.SetTableDef(&tableDef);
    dialog.SetReadOnly(bReadOnly);
    if (nEditCol >= 0 && nEditRow >= 0) {
        QTimer::singleShot(200, &dialog, [&dialog, nEditCol, nEditRow] {
            CTablStructCtrl* pGrid = dialog.GetGrid();
            if (!pGrid)
                return;
            pGrid->MoveTo(nEditCol, nEditRow);
            pGrid->StartEdit();
        });
    }
    // With --print-pdf the print dialog is answered with the file.
    std::optional<platform::CScopedPrintDialogHook> printToFile;
    if (!strPdf.empty()) {
        printToFile.emplace([&strPdf](QPrinter& printer, platform::CPrintInfo&) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(QString::fromLocal8Bit(strPdf.c_str()));
            return true;
        });
        QTimer::singleShot(0, &dialog, [&dialog] {
            if (dialog.GetGrid())
                dialog.GetGrid()->PrintGrid();
            dialog.reject();
        });
    }
    if (nQuitAfter >= 0)
        QTimer::singleShot(nQuitAfter, &dialog, &QDialog::reject);
    int nResult = dialog.DoModal();
    if (bReadOnly)
        return 0;
    try {
        if (nResult == platform::IDOK)
            tableDef.WriteStructure();
        else
            tableDef.CancelStructure();
    } catch (const dbf::CDBFException& e) {
        std::fprintf(stderr, "structure-demo: %s\n", e.GetErrorMessage().c_str());
        return 1;
    }
    return 0;
}
