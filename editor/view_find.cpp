// The table view's find commands: Find (Ctrl+F) and Replace (Ctrl+H) each
// open their modeless dialog over the view, after closing the view's tool
// dialogs, so that a view has at most one of Find, Replace and Formulas.
#include "editor/dbf_doc.h"
#include "editor/dbf_view.h"
#include "editor/find_dlg.h"
#include "editor/view_commands.h"

namespace {

template <class Dialog>
void OpenToolDialog(CDBFView& view, QPointer<QDialog>& pSlot) {
    view.CloseToolDialogs();
    auto* pDialog = new Dialog(view, view.GetCurrentColumn() - view.GetFixedColumnCount());
    pSlot = pDialog;
    pDialog->show();
    pDialog->raise();
    pDialog->activateWindow();
}

}  // namespace

void AddFindCommands(CDBFView& view) {
    platform::CCommandMap& commands = view.GetCommandMap();
    commands.Add(
        platform::ID_EDIT_FIND, [&view] { OpenToolDialog<CFindDlg>(view, view.m_pFindDlg); },
        [&view](platform::CCmdUI& ui) { ui.Enable(view.GetRowCount() > 0); });
    commands.Add(
        platform::ID_EDIT_REPLACE, [&view] { OpenToolDialog<CReplaceDlg>(view, view.m_pReplaceDlg); },
        [&view](platform::CCmdUI& ui) {
            CDBFDoc* pDoc = view.GetDoc();
            ui.Enable(view.GetRowCount() > 0 && pDoc && !pDoc->IsReadOnly());
        });
}

void RestartFindDialogs(CDBFView& view) {
    for (QDialog* pDialog : {view.m_pFindDlg.data(), view.m_pReplaceDlg.data()})
        if (auto* pFind = qobject_cast<CFindReplaceDlg*>(pDialog))
            pFind->Restart();
}
