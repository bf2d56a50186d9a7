// The table view's record commands: Add, Delete, Undelete, Hide and Show
// deleted records, Refresh, and the navigation commands Go to, Move to,
// First and Last.
#include <algorithm>

#include "editor/dbf_doc.h"
#include "editor/dbf_view.h"
#include "editor/editor_ids.h"
#include "editor/goto_dlg.h"
#include "editor/view_commands.h"
#include "engine/memory_cursorset.h"
#include "platform/ui/message_box.h"
#include "platform/ui/win_app.h"

using namespace platform;

namespace {

bool IsOpen(CDBFView& view) { return view.GetTable() && view.GetTable()->IsOpen(); }

bool IsWritable(CDBFView& view) {
    CDBFDoc* pDoc = view.GetDoc();
    return pDoc && IsOpen(view) && !pDoc->IsReadOnly();
}

// The current record's position in the list (0-based), -1 without one.
int32_t CurrentRow(CDBFView& view) {
    if (!IsOpen(view) || view.GetRecordCount() == 0)
        return -1;
    return int32_t(view.GetCurrentRow() - view.GetFixedRowCount());
}

int CurrentColumn(CDBFView& view) { return std::max(0, view.GetCurrentColumn() - view.GetFixedColumnCount()); }

// The sorted column keeps its place; the list is in file order again.
void ClearSortDirection(CDBFView& view) {
    int nCol = -1, nRow = 0, nDirection = 2;
    view.GetSortIndicator(nCol, nRow, nDirection);
    view.SetSortIndicator(nCol, nRow, 2);
}

void AddRecord(CDBFView& view) {
    view.CloseToolDialogs();
    // A value its field refuses keeps its editor open, and the command waits.
    if (!view.EndEditForDocument())
        return;
    view.setFocus();
    dbf::CDBFMemoryCursorset* pTable = view.GetTable();
    GridRow nOldCount = view.GetRowCount();
    pTable->AddNew();
    pTable->Update();
    view.InsertRows(nOldCount, GridRow(pTable->GetRecordCount()) - nOldCount);
    // Typing goes on in the new record's first cell.
    view.GoToCell(0, view.GetRowCount() - 1);
    view.GetDoc()->SetModifiedFlag(true);
}

// Delete or Undelete every record of the selection (the current one alone
// when nothing else is selected); records already so are left alone.
void MarkSelection(CDBFView& view, bool bDelete) {
    view.CloseToolDialogs();
    // A value its field refuses keeps its editor open, and the command waits.
    if (!view.EndEditForDocument())
        return;
    view.setFocus();
    dbf::CDBFMemoryCursorset* pTable = view.GetTable();
    int nLeft = 0, nRight = 0;
    GridRow nTop = 0, nBottom = 0;
    view.GetSelection(nLeft, nRight, nTop, nBottom);
    if (nBottom < nTop || nTop < 0) {
        nTop = nBottom = CurrentRow(view);
    }
    nBottom = std::min<GridRow>(nBottom, pTable->GetRecordCount() - 1);
    for (GridRow nRow = std::max<GridRow>(nTop, 0); nRow <= nBottom; ++nRow) {
        pTable->SetAbsolutePosition(int32_t(nRow));
        bool bDeleted = pTable->IsDeletedOnDisk() || pTable->IsDeletedSinceOpen();
        if (bDelete && !bDeleted)
            pTable->Delete();
        else if (!bDelete && bDeleted)
            pTable->Undelete();
        else
            continue;
        view.InvalidateRow(nRow);
    }
    view.GetDoc()->SetModifiedFlag(true);
}

void ShowDeleted(CDBFView& view, bool bHide) {
    CWaitCursor wait;
    view.CloseToolDialogs();
    // A value its field refuses keeps its editor open, and the command waits.
    if (!view.EndEditForDocument())
        return;
    view.setFocus();
    ClearSortDirection(view);
    if (IsOpen(view)) {
        view.GetTable()->SetHideDeleted(bHide);
        view.GetTable()->Requery();
    }
    view.UpdateRowCount();
}

// Reloads the table from its file, in the mode the document has. Unsaved
// changes (the open editor's text among them) are lost only when the user
// agrees.
void Refresh(CDBFView& view) {
    CDBFDoc* pDoc = view.GetDoc();
    if (!pDoc)
        return;
    view.CloseToolDialogs();
    // A value its field refuses keeps its editor open, and the command waits.
    if (!view.EndEditForDocument())
        return;
    if (pDoc->IsModified() &&
        MessageBox(&view, IDS_REFRESH_DISCARD, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES)
        return;
    ClearSortDirection(view);
    {
        CWaitCursor wait;
        pDoc->ReloadTable();
    }
    pDoc->SetModifiedFlag(false);
    view.UpdateRowCount();
    view.viewport()->update();
}

void GoToRecord(CDBFView& view, bool bMove) {
    view.CloseToolDialogs();
    int32_t nCount = view.GetRecordCount();
    int32_t nPosition = CurrentRow(view) + 1;
    CGotoDlg dialog(&view, bMove);
    if (bMove) {
        dialog.m_nValue = 10;
        dialog.m_nMin = 1 - nPosition;
        dialog.m_nMax = nCount - nPosition;
    } else {
        dialog.m_nValue = nPosition;
        dialog.m_nMin = 1;
        dialog.m_nMax = nCount;
    }
    if (dialog.DoModal() != IDOK)
        return;
    int32_t nTarget = bMove ? nPosition + dialog.m_nValue : dialog.m_nValue;
    view.GoToCell(CurrentColumn(view), GridRow(nTarget - 1));
}

}  // namespace

void AddRecordCommands(CDBFView& view) {
    CCommandMap& commands = view.GetCommandMap();
    CDBFView* pView = &view;
    commands.Add(ID_RECORD_ADD, [pView] { AddRecord(*pView); },
                 [pView](CCmdUI& ui) { ui.Enable(IsWritable(*pView)); });
    commands.Add(ID_RECORD_DELETE, [pView] { MarkSelection(*pView, true); }, [pView](CCmdUI& ui) {
        int32_t nRow = CurrentRow(*pView);
        ui.Enable(IsWritable(*pView) && nRow >= 0 && !pView->IsRowDeleted(nRow));
    });
    commands.Add(ID_RECORD_UNDELETE, [pView] { MarkSelection(*pView, false); }, [pView](CCmdUI& ui) {
        int32_t nRow = CurrentRow(*pView);
        ui.Enable(IsWritable(*pView) && nRow >= 0 && pView->IsRowDeleted(nRow));
    });
    commands.Add(ID_VIEW_HIDE_DELETED, [pView] { ShowDeleted(*pView, true); }, [pView](CCmdUI& ui) {
        ui.SetRadio(IsOpen(*pView) && pView->GetTable()->IsHideDeleted());
    });
    commands.Add(ID_VIEW_SHOW_DELETED, [pView] { ShowDeleted(*pView, false); }, [pView](CCmdUI& ui) {
        ui.SetRadio(IsOpen(*pView) && !pView->GetTable()->IsHideDeleted());
    });
    commands.Add(ID_VIEW_REFRESH, [pView] { Refresh(*pView); }, [](CCmdUI& ui) { ui.Enable(true); });
    auto canJump = [pView](CCmdUI& ui) { ui.Enable(IsOpen(*pView) && pView->GetRecordCount() > 1); };
    commands.Add(ID_NAV_GOTO, [pView] { GoToRecord(*pView, false); }, canJump);
    commands.Add(ID_NAV_MOVE, [pView] { GoToRecord(*pView, true); }, canJump);
    commands.Add(ID_NAV_FIRST, [pView] { pView->GoToCell(CurrentColumn(*pView), 0); }, [pView](CCmdUI& ui) {
        ui.Enable(IsOpen(*pView) && CurrentRow(*pView) > 0);
    });
    commands.Add(
        ID_NAV_LAST, [pView] { pView->GoToCell(CurrentColumn(*pView), pView->GetRecordCount() - 1); },
        [pView](CCmdUI& ui) {
            int32_t nCount = pView->GetRecordCount();
            ui.Enable(IsOpen(*pView) && nCount > 1 && CurrentRow(*pView) < nCount - 1);
        });
}
