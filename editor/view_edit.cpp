// The table view's edit commands: Copy, Cut, Paste, Clear and Select all on
// the selected block of cells. Blocks cross the system clipboard as plain
// text, cells of a row separated by tabs and rows by line feeds, which is
// what Peekrow and spreadsheets put there and read back. An in-place editor
// open over the one selected cell (a check box excepted) copies, cuts and
// pastes its own text instead. Undo stays disabled: the view keeps no
// history of its edits.
#include <algorithm>

#include <QClipboard>
#include <QGuiApplication>

#include "editor/dbf_doc.h"
#include "editor/dbf_view.h"
#include "editor/editor_ids.h"
#include "editor/view_commands.h"
#include "grid/widget_editor.h"
#include "platform/core/string_table.h"
#include "platform/ui/clipboard.h"
#include "platform/ui/message_box.h"
#include "platform/ui/win_app.h"

using namespace platform;

std::string JoinCellBlock(const std::vector<std::vector<std::string>>& rows) {
    std::string strText;
    for (const std::vector<std::string>& row : rows) {
        for (const std::string& strCell : row) {
            for (char c : strCell)
                strText += c == '\r' || c == '\n' || c == '\t' ? ' ' : c;
            strText += '\t';
        }
        strText += '\n';
    }
    // The final tab and line feed go; every other line keeps its trailing tab.
    strText.resize(strText.size() >= 2 ? strText.size() - 2 : 0);
    return strText;
}

std::vector<std::vector<std::string>> SplitCellBlock(std::string_view strText) {
    // A carriage return before a line feed ends a line with it (the text of
    // a spreadsheet on some systems); anywhere else it is a space.
    std::string strLines;
    strLines.reserve(strText.size());
    for (size_t i = 0; i < strText.size(); ++i) {
        if (strText[i] != '\r')
            strLines += strText[i];
        else if (i + 1 >= strText.size() || strText[i + 1] != '\n')
            strLines += ' ';
    }
    // A final line feed ends the last line rather than starting an empty one.
    if (!strLines.empty() && strLines.back() == '\n')
        strLines.pop_back();

    std::vector<std::vector<std::string>> lines;
    size_t nStart = 0;
    while (true) {
        size_t nEnd = strLines.find('\n', nStart);
        std::string_view line = std::string_view(strLines).substr(nStart, nEnd == std::string::npos ? nEnd : nEnd - nStart);
        std::vector<std::string> pieces;
        if (!line.empty()) {
            size_t nPiece = 0;
            while (true) {
                size_t nTab = line.find('\t', nPiece);
                pieces.emplace_back(line.substr(nPiece, nTab == std::string_view::npos ? nTab : nTab - nPiece));
                if (nTab == std::string_view::npos)
                    break;
                nPiece = nTab + 1;
            }
            // A tab at the end of a line closes its last cell (Copy leaves
            // one on every line but the last); it starts no empty one.
            if (line.back() == '\t')
                pieces.pop_back();
        }
        lines.push_back(std::move(pieces));
        if (nEnd == std::string::npos)
            break;
        nStart = nEnd + 1;
    }
    return lines;
}

namespace {

// The selected block in data indexes, kept inside the grid.
struct CellBlock {
    int nLeft = 0, nRight = -1;
    int32_t nTop = 0, nBottom = -1;
    bool IsEmpty() const { return nRight < nLeft || nBottom < nTop; }
};

CellBlock SelectedBlock(CDBFView& view) {
    int nLeft = 0, nRight = 0;
    GridRow nTop = 0, nBottom = 0;
    view.GetSelection(nLeft, nRight, nTop, nBottom);
    const int nColumns = view.GetColumnCount(-1);
    const int32_t nRows = view.GetRecordCount();
    CellBlock block;
    block.nLeft = std::max(nLeft, 0);
    block.nRight = std::min(nRight, nColumns - 1);
    block.nTop = int32_t(std::max<GridRow>(nTop, 0));
    block.nBottom = int32_t(std::min<GridRow>(nBottom, nRows - 1));
    return block;
}

bool HasRows(CDBFView& view) { return view.GetRecordCount() > 0; }

bool CanChangeCells(CDBFView& view) {
    CDBFDoc* pDoc = view.GetDoc();
    return HasRows(view) && pDoc && !pDoc->IsReadOnly();
}

char CurrentFieldType(CDBFView& view) {
    dbf::DBFFieldInfo info;
    return view.GetCurrentFieldInfo(info) ? info.cType : 0;
}

// The in-place editor that takes Copy, Cut and Paste itself: one open over
// the only selected cell, unless it is a check box.
CKelCellEditor* EditorInCharge(CDBFView& view) {
    auto* pEditor = dynamic_cast<CKelWidgetEditor*>(view.GetCurrentEditor());
    if (!pEditor || !pEditor->IsEditorActive() || CurrentFieldType(view) == 'L')
        return nullptr;
    int nLeft = 0, nRight = 0;
    GridRow nTop = 0, nBottom = 0;
    view.GetSelection(nLeft, nRight, nTop, nBottom);
    return nLeft == nRight && nTop == nBottom ? pEditor : nullptr;
}

// A check box over the current cell shows the value the cell now has.
void ReloadCheckEditor(CDBFView& view) {
    if (CurrentFieldType(view) == 'L' && view.GetCurrentEditor())
        view.ActivateCurrentCell();
}

// Stores texts into cells through the view's cell store. A cell that refuses
// its text keeps its value and the rest go on; the refusals are reported
// once, when the command is done.
class CCellStores {
public:
    explicit CCellStores(CDBFView& view) : m_view(view) {}

    void Store(int nCol, int32_t nRow, const std::string& strText) {
        std::string strError;
        if (m_view.StoreCellText(m_view.FieldOfColumn(nCol), nRow, strText, &strError)) {
            ++m_nStored;
        } else {
            if (m_nRefused++ == 0)
                m_strFirstError = strError;
        }
        m_view.InvalidateCell(nCol, nRow);
    }

    void Finish() {
        if (m_nStored > 0) {
            if (CDBFDoc* pDoc = m_view.GetDoc())
                pDoc->SetModifiedFlag(true);
            m_view.viewport()->update();
        }
        if (m_nRefused > 0)
            MessageBox(&m_view,
                       QString::fromUtf8(FindString(IDS_CELLS_NOT_CHANGED))
                           .arg(m_nRefused)
                           .arg(QString::fromUtf8(m_strFirstError.c_str())),
                       MB_OK | MB_ICONWARNING);
    }

private:
    CDBFView& m_view;
    int m_nStored = 0;
    int m_nRefused = 0;
    std::string m_strFirstError;
};

// The clipboard text of a block: each cell as the window shows it.
std::string BlockText(CDBFView& view, const CellBlock& block) {
    std::vector<std::vector<std::string>> rows;
    for (int32_t nRow = block.nTop; nRow <= block.nBottom; ++nRow) {
        std::vector<std::string>& row = rows.emplace_back();
        for (int nCol = block.nLeft; nCol <= block.nRight; ++nCol)
            row.push_back(view.GetCellText(view.FieldOfColumn(nCol), nRow));
    }
    return JoinCellBlock(rows);
}

void PutOnClipboard(CDBFView& view, const std::string& strText) {
    // A block of one empty cell is no text: the clipboard is emptied rather
    // than left holding what was copied before.
    if (strText.empty()) {
        if (QClipboard* pClipboard = QGuiApplication::clipboard())
            pClipboard->clear();
        return;
    }
    SetClipboardText(strText, view.GetTextCodec());
}

void Copy(CDBFView& view) {
    CWaitCursor wait;
    if (CKelCellEditor* pEditor = EditorInCharge(view)) {
        pEditor->Copy();
        return;
    }
    CellBlock block = SelectedBlock(view);
    if (!block.IsEmpty())
        PutOnClipboard(view, BlockText(view, block));
}

// Stores an empty text (0, blank, false) into every cell of the block whose
// record is not deleted.
void ClearBlock(CDBFView& view, const CellBlock& block, CCellStores& stores) {
    for (int32_t nRow = block.nTop; nRow <= block.nBottom; ++nRow) {
        if (view.IsRowDeleted(nRow))
            continue;
        for (int nCol = block.nLeft; nCol <= block.nRight; ++nCol)
            stores.Store(nCol, nRow, std::string());
    }
}

void Cut(CDBFView& view) {
    CWaitCursor wait;
    if (CKelCellEditor* pEditor = EditorInCharge(view)) {
        pEditor->Cut();
        return;
    }
    if (!view.EndEditForDocument())
        return;
    view.setFocus();
    CellBlock block = SelectedBlock(view);
    if (block.IsEmpty())
        return;
    PutOnClipboard(view, BlockText(view, block));
    CCellStores stores(view);
    ClearBlock(view, block, stores);
    ReloadCheckEditor(view);
    stores.Finish();
}

void Paste(CDBFView& view) {
    if (CKelCellEditor* pEditor = EditorInCharge(view)) {
        pEditor->Paste();
        return;
    }
    std::string strText;
    if (!GetClipboardText(strText, view.GetTextCodec()) || strText.empty())
        return;
    if (!view.EndEditForDocument())
        return;
    CWaitCursor wait;
    CellBlock block = SelectedBlock(view);
    if (block.IsEmpty())
        return;
    const int nColumns = view.GetColumnCount(-1);
    const int32_t nRows = view.GetRecordCount();
    std::vector<std::vector<std::string>> lines = SplitCellBlock(strText);
    CCellStores stores(view);
    // Afterwards the pasted block is selected: the rows used, the columns
    // of its widest line.
    int32_t nLastRow = block.nTop;
    int nLastCol = block.nLeft;
    for (size_t n = 0; n < lines.size() && block.nTop + int32_t(n) < nRows; ++n) {
        const int32_t nRow = block.nTop + int32_t(n);
        const std::vector<std::string>& pieces = lines[n];
        nLastRow = nRow;
        // An empty line, or a deleted record, uses up its row and changes nothing.
        if (pieces.empty() || view.IsRowDeleted(nRow))
            continue;
        for (size_t k = 0; k < pieces.size() && block.nLeft + int(k) < nColumns; ++k) {
            const int nCol = block.nLeft + int(k);
            nLastCol = std::max(nLastCol, nCol);
            stores.Store(nCol, nRow, pieces[k]);
        }
    }
    view.SelectRange(block.nLeft, nLastCol, block.nTop, nLastRow);
    ReloadCheckEditor(view);
    stores.Finish();
}

void Clear(CDBFView& view) {
    CWaitCursor wait;
    if (!view.EndEditForDocument())
        return;
    view.setFocus();
    CellBlock block = SelectedBlock(view);
    if (block.IsEmpty())
        return;
    CCellStores stores(view);
    ClearBlock(view, block, stores);
    ReloadCheckEditor(view);
    stores.Finish();
}

void SelectAll(CDBFView& view) {
    int nColumns = view.GetColumnCount(-1);
    int32_t nRows = view.GetRecordCount();
    if (nColumns > 0 && nRows > 0)
        view.SelectRange(0, nColumns - 1, 0, nRows - 1);
}

}  // namespace

void AddEditCommands(CDBFView& view) {
    CCommandMap& commands = view.GetCommandMap();
    auto canChange = [&view](CCmdUI& ui) { ui.Enable(CanChangeCells(view)); };
    commands.Add(ID_EDIT_COPY, [&view] { Copy(view); }, [&view](CCmdUI& ui) { ui.Enable(HasRows(view)); });
    commands.Add(ID_EDIT_CUT, [&view] { Cut(view); }, canChange);
    commands.Add(ID_EDIT_PASTE, [&view] { Paste(view); }, canChange);
    commands.Add(ID_EDIT_CLEAR, [&view] { Clear(view); }, canChange);
    commands.Add(ID_EDIT_SELECT_ALL, [&view] { SelectAll(view); });
    // The grid gives its editors' Undo; this view has none.
    commands.Remove(ID_EDIT_UNDO);
}
