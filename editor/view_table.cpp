// The table view's table commands: show the structure, modify it, remove
// the deleted records (Pack), and Save As. The file work is the document's
// (PackTable, WriteTableStructure, SaveTableAs); these handlers end the
// window's edit, ask, show the structure dialog and rebuild the grid.
#include "editor/dbf_doc.h"
#include "editor/dbf_view.h"
#include "editor/editor_ids.h"
#include "editor/settings/settings_values.h"
#include "editor/view_commands.h"
#include "grid/structure/table_struct_dlg.h"
#include "platform/ui/command_ids.h"
#include "platform/ui/message_box.h"
#include "platform/ui/win_app.h"

using namespace platform;

namespace {

void ShowStructure(CDBFView& view) {
    view.CloseToolDialogs();
    CDBFDoc* pDoc = view.GetDoc();
    if (!pDoc || !pDoc->IsTableOpen())
        return;
    CTableStructDlg dialog(&view);
    dialog.SetTableDef(pDoc->m_table.GetTableDef());
    dialog.SetReadOnly(true);
    dialog.DoModal();
}

void ModifyStructure(CDBFView& view) {
    CDBFDoc* pDoc = view.GetDoc();
    view.CloseToolDialogs();
    // A value its field refuses keeps its editor open, and nothing is rewritten.
    if (!pDoc || !view.EndEditForDocument())
        return;
    view.setFocus();
    const unsigned nMode = pDoc->m_nOpenMode;
    const bool bEditable = pDoc->IsTableOpen() && pDoc->m_bEditable;
    if (bEditable && pDoc->m_nOpenMode == tabulon::kOpenReadWrite &&
        MessageBox(&view, IDS_OPEN_EXCLUSIVE, MB_YESNO | MB_ICONQUESTION) == IDYES)
        pDoc->ReopenTable(tabulon::kOpenExclusive);  // says "Can't reopen file" when it cannot
    if (!bEditable || pDoc->m_nOpenMode != tabulon::kOpenExclusive) {
        ShowStructure(view);
        return;
    }

    dbf::CDBFTableDef* pDef = pDoc->m_table.GetTableDef();
    bool bBegun = RunGuarded([&] { pDef->BeginModifyStructure(); });
    if (bBegun) {
        CTableStructDlg dialog(&view);
        dialog.SetTableDef(pDef);
        dialog.SetReadOnly(false);
        if (dialog.DoModal() == IDOK) {
            // No row may be painted from a table that is being rewritten.
            const int nCol = view.GetCurrentColumn() - view.GetFixedColumnCount();
            const GridRow nRow = view.GetCurrentRow() - view.GetFixedRowCount();
            view.SetRowCount(0, true);
            bool bReopened = false;
            pDoc->WriteTableStructure(&bReopened);
            if (bReopened) {
                view.OnInitialUpdate();
            } else {
                view.UpdateRowCount();
                view.GoToCell(nCol, nRow);
            }
        } else {
            pDef->CancelStructure();
        }
    }
    if (pDoc->IsTableOpen() && pDoc->m_nOpenMode != nMode)
        pDoc->ReopenTable(nMode);
    view.viewport()->update();
}

void Pack(CDBFView& view) {
    CWaitCursor wait;
    CDBFDoc* pDoc = view.GetDoc();
    view.CloseToolDialogs();
    // The open edit belongs to a record that may move: it is stored first.
    if (!pDoc || !view.EndEditForDocument())
        return;
    view.SetSortIndicator(-1, 0, 2);
    pDoc->PackTable();
    view.UpdateRowCount();
}

void SaveAs(CDBFView& view) {
    CDBFDoc* pDoc = view.GetDoc();
    view.CloseToolDialogs();
    if (!pDoc || !view.EndEditForDocument())
        return;
    view.setFocus();
    if (!pDoc->SaveTableAs())
        return;
    // The copy is the window's table now (or the table was opened again):
    // its columns are rebuilt from the layout, in file order.
    view.OnInitialUpdate();
    view.viewport()->update();
}

}  // namespace

void AddTableCommands(CDBFView& view) {
    CCommandMap& commands = view.GetCommandMap();
    commands.Add(ID_FILE_SHOW_STRUCTURE, [&view] { ShowStructure(view); });
    commands.Add(ID_FILE_MODIFY_STRUCTURE, [&view] { ModifyStructure(view); });
    commands.Add(ID_FILE_PACK, [&view] { Pack(view); }, [&view](CCmdUI& ui) {
        CDBFDoc* pDoc = view.GetDoc();
        ui.Enable(pDoc && pDoc->IsTableOpen() && !pDoc->IsReadOnly());
    });
    commands.Add(ID_FILE_SAVE_AS, [&view] { SaveAs(view); });
}
