// The table view's settings commands: Columns, which applies the dialog's
// layout to the window at once, and the table's settings sheet; and the
// program's settings sheet, which the main frame runs.
#include "editor/dbf_doc.h"
#include "editor/dbf_view.h"
#include "editor/editor_ids.h"
#include "editor/settings_sheets.h"
#include "editor/tabulon_app.h"
#include "editor/view_commands.h"
#include "grid/columns/columns_dlg.h"
#include "platform/ui/main_frame.h"

namespace {

void OnColumns(CDBFView& view) {
    CDBFDoc* pDoc = view.GetDoc();
    view.CloseToolDialogs();
    if (!pDoc || !pDoc->IsTableOpen() || !view.EndEditForDocument())
        return;
    CColumnsDlg dialog(ColumnsDlgVariant::Editor, view.window());
    dialog.SetFieldNames(pDoc->GetFieldNames());
    dialog.SetLayout(pDoc->m_columns);
    dialog.SetCodePage(pDoc->m_bDosCodePage, pDoc->GetTextCodec(), &pDoc->GetOemPage());
    if (dialog.DoModal() != platform::IDOK)
        return;
    // The dialog keeps one entry per field; anything else is not a layout
    // this window can show.
    if (dialog.GetLayout().size() != pDoc->m_columns.size())
        return;
    pDoc->m_columns = dialog.GetLayout();
    for (platform::ColumnInfo& info : pDoc->m_columns)
        info.nGridCol = -1;
    view.OnInitialUpdate();
    view.GoToCell(0, 0);
}

void OnFileSetting(CDBFView& view) {
    CDBFDoc* pDoc = view.GetDoc();
    if (!pDoc || !pDoc->IsTableOpen())
        return;
    view.CloseToolDialogs();
    if (!view.EndEditForDocument())
        return;
    tabulon::CTableSettings settings(CDBFDoc::ProgramSettings(), pDoc->m_table.GetFilePath());
    CFileSettingPrpSheet sheet(settings, pDoc, &view, view.window());
    sheet.DoModal();
}

}  // namespace

void AddSettingsCommands(CDBFView& view) {
    platform::CCommandMap& commands = view.GetCommandMap();
    commands.Add(ID_VIEW_COLUMNS, [&view] { OnColumns(view); });
    commands.Add(ID_SETTING_FILE, [&view] { OnFileSetting(view); });
}

void RunProgramSettingsSheet() {
    CSettingPrpSheet sheet(CDBFDoc::ProgramSettings());
    sheet.DoModal();
}
