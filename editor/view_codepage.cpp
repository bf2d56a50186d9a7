// The table view's code-page commands: show the text as DOS or Windows text,
// and convert the stored text of every C field from one to the other.
#include "editor/dbf_doc.h"
#include "editor/dbf_view.h"
#include "editor/editor_ids.h"
#include "editor/view_commands.h"
#include "editor/view_filter.h"
#include "engine/memory_cursorset.h"
#include "platform/ui/win_app.h"

using namespace platform;

namespace {

// Only the display changes; the stored bytes stay.
void ShowDosText(CDBFView& view, bool bDos) {
    CDBFDoc* pDoc = view.GetDoc();
    if (!pDoc)
        return;
    view.CloseToolDialogs();
    // A value its field refuses keeps its editor open, and the command waits.
    if (!view.EndEditForDocument())
        return;
    pDoc->m_bDosCodePage = bDos;
    // A check box stays open on its cell: it shows the new text too.
    if (view.GetCurrentEditor() && view.GetRecordCount() > 0)
        view.ActivateCurrentCell();
    view.viewport()->update();
}

// The stored text changes, the displayed text does not. The bytes and the
// code-page mark of the table settings must reach the file together, so
// the document now has changes to save.
void ConvertText(CDBFView& view, bool bToWindows) {
    CDBFDoc* pDoc = view.GetDoc();
    if (!pDoc || !pDoc->m_table.IsOpen())
        return;
    view.CloseToolDialogs();
    // A value its field refuses keeps its editor open, and the command waits.
    if (!view.EndEditForDocument())
        return;
    view.setFocus();
    {
        CWaitCursor wait;
        // The table's own pair, as its mark or the settings name it.
        if (bToWindows)
            pDoc->m_table.ConvertOemToAnsi(pDoc->GetOemPage(), pDoc->GetAnsiPage());
        else
            pDoc->m_table.ConvertAnsiToOem(pDoc->GetOemPage(), pDoc->GetAnsiPage());
    }
    pDoc->m_bDosCodePage = !bToWindows;
    // The filter reads the stored bytes: it must know their new code page
    // (what it matches, the displayed text, is the same as before).
    if (!pDoc->m_filter.strCondition.empty())
        pDoc->m_table.SetFilter(MakeDocumentFilter(*pDoc));
    pDoc->SetModifiedFlag(true);
    view.viewport()->update();
}

}  // namespace

void AddCodePageCommands(CDBFView& view) {
    CCommandMap& commands = view.GetCommandMap();
    CDBFView* pView = &view;
    commands.Add(
        ID_VIEW_CODEPAGE_DOS,
        [pView] {
            if (CDBFDoc* pDoc = pView->GetDoc())
                ShowDosText(*pView, !pDoc->m_bDosCodePage);
        },
        [pView](CCmdUI& ui) {
            CDBFDoc* pDoc = pView->GetDoc();
            ui.SetRadio(pDoc && pDoc->m_bDosCodePage);
        });
    commands.Add(
        ID_VIEW_CODEPAGE_WIN, [pView] { ShowDosText(*pView, false); },
        [pView](CCmdUI& ui) {
            CDBFDoc* pDoc = pView->GetDoc();
            ui.SetRadio(pDoc && !pDoc->m_bDosCodePage);
        });
    // Their update rules are the document's (editable, not read only, and
    // the code page they convert from).
    commands.Add(ID_FILE_DOS_TO_WIN, [pView] { ConvertText(*pView, true); });
    commands.Add(ID_FILE_WIN_TO_DOS, [pView] { ConvertText(*pView, false); });
}
