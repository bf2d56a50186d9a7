// The current cell, the selection, editing hand-offs, and the grid's reactions
// to keys, mouse, wheel and the header and corner cells. Every move of the
// current cell goes through SetCurrentCell, which refuses anything that is not
// a data cell, so no key or click can wrap or leave the data.
#include <algorithm>
#include <cstdlib>

#include "grid/grid_core.h"
#include "platform/core/string_table.h"

using platform::Rect;
using platform::Size;

namespace {

// The message of a refusal whose owner gave no reason.
constexpr unsigned IDS_GRID_VALUE_REFUSED = 61750;

const platform::StringEntry kGridStrings[] = {
    {IDS_GRID_VALUE_REFUSED, "The cell cannot take this value. Correct it, or press Esc to undo the change."},
};

std::string RefusalWithoutReason() {
    static const bool bDone = (platform::RegisterStrings(kGridStrings), true);
    (void)bDone;
    return platform::LoadString(IDS_GRID_VALUE_REFUSED);
}

}  // namespace

// ---- current cell and selection ----------------------------------------------

void CKelGridCore::ClampCurrentCellToData() {
    int C = GetFixedColumnCount();
    GridRow F = GetFixedRowCount();
    int nLastCol = std::max(C, C + GetColumnCount(-1) - 1);
    GridRow nLastRow = std::max(F, F + GetRowCount() - 1);
    m_nCurCol = std::clamp(m_nCurCol, C, nLastCol);
    m_nCurRow = std::clamp(m_nCurRow, F, nLastRow);
    m_nEndCol = std::clamp(m_nEndCol, C, nLastCol);
    m_nEndRow = std::clamp(m_nEndRow, F, nLastRow);
    m_nSelLeft = std::clamp(m_nSelLeft, C, nLastCol);
    m_nSelRight = std::clamp(m_nSelRight, C, nLastCol);
    m_nSelTop = std::clamp(m_nSelTop, F, nLastRow);
    m_nSelBottom = std::clamp(m_nSelBottom, F, nLastRow);
}

bool CKelGridCore::SetCurrentCell(int nCol, GridRow nRow) { return SetCurrentCellImpl(nCol, nRow, false); }

void CKelGridCore::ReactivateCurrentCell() {
    // A value refused a moment ago and still being corrected only moves with
    // its cell: committing it again would say the same refusal once more.
    CKelCellEditor* pEditor = GetCellEditor(m_nCurCol - GetFixedColumnCount(), m_nCurRow - GetFixedRowCount());
    if (m_bEditRefused && pEditor && pEditor->IsModified()) {
        ScrollCellIntoView(m_nCurCol, m_nCurRow);
        PositionEditor(m_nCurCol, m_nCurRow);
        return;
    }
    SetCurrentCellImpl(m_nCurCol, m_nCurRow, true);
}

// With bKeepSelection the selection stays as it is: the current cell moves
// (or stays) inside a block that was just chosen.
bool CKelGridCore::SetCurrentCellImpl(int nCol, GridRow nRow, bool bKeepSelection) {
    if (!IsDataCell(nCol, nRow))
        return false;
    int C = GetFixedColumnCount();
    GridRow F = GetFixedRowCount();
    int nOldCol = m_nCurCol;
    GridRow nOldRow = m_nCurRow;
    bool bRowSelect = HasStyle(GS_ROWSELECT);
    bool bMulti = HasStyle(GS_MULTISELECT);
    int nOldLeft = m_nSelLeft, nOldRight = m_nSelRight;
    GridRow nOldTop = m_nSelTop, nOldBottom = m_nSelBottom;

    if (EndEdit(false)) {
        m_nCurCol = nCol;
        m_nCurRow = nRow;
        if (!bKeepSelection) {
            m_nEndCol = nCol;
            m_nEndRow = nRow;
        }
        if (nRow != nOldRow)
            OnCurrentRowChanged(nRow - F);
        if (m_pOwner)
            m_pOwner->SetFocus();
    }
    OnCurrentCellChanged(m_nCurCol - C, m_nCurRow - F);

    bool bRowChanged = m_nCurRow != nOldRow;
    bool bCellChanged = bRowChanged || m_nCurCol != nOldCol;
    if (bRowChanged)
        RedrawRowHeaders(nOldRow);
    if (bRowSelect && bRowChanged) {
        RedrawRowBand(nOldRow);
    } else if (bKeepSelection) {
        RedrawCell(nOldCol, nOldRow);
        if (nOldCol != m_nCurCol)
            RedrawCell(nOldCol, F - 1);
    } else {
        m_nSelLeft = m_nSelRight = m_nCurCol;
        m_nSelTop = m_nSelBottom = m_nCurRow;
        if (bMulti && !(nOldLeft == m_nCurCol && nOldRight == m_nCurCol && nOldTop == m_nCurRow &&
                        nOldBottom == m_nCurRow))
            RedrawBlock(nOldLeft, nOldRight, nOldTop, nOldBottom);
        RedrawCell(nOldCol, nOldRow);
        if (nOldCol != m_nCurCol)
            RedrawCell(nOldCol, F - 1);
    }

    ScrollCellIntoView(m_nCurCol, m_nCurRow);

    int nDataCol = m_nCurCol - C;
    GridRow nDataRow = m_nCurRow - F;
    if (CKelCellEditor* pEditor = GetCellEditor(nDataCol, nDataRow)) {
        if (bCellChanged)
            LoadCellEditor(nDataCol, nDataRow, pEditor);
    } else {
        uint32_t nEditorStyle = GetCellEditorStyle(nDataCol, nDataRow);
        if (std::unique_ptr<CKelCellEditor> pNew = CreateCellEditor(nDataCol, nDataRow, nEditorStyle, 0)) {
            SetCellEditor(nDataCol, nDataRow, std::move(pNew));
            if (CKelCellEditor* pStored = GetCellEditor(nDataCol, nDataRow))
                LoadCellEditor(nDataCol, nDataRow, pStored);
        }
    }

    RedrawRowHeaders(m_nCurRow);
    if (bRowSelect && bRowChanged) {
        RedrawRowBand(m_nCurRow);
    } else {
        RedrawCell(m_nCurCol, m_nCurRow);
        RedrawCell(m_nCurCol, F - 1);
    }
    if (m_pOwner)
        m_pOwner->SendNotify(WM_GRID_CURCELLCHANGED, m_pOwner->GetWindowId(), 0);
    PositionEditor(m_nCurCol, m_nCurRow);
    return true;
}

bool CKelGridCore::MoveTo(int nCol, GridRow nRow) {
    return SetCurrentCell(nCol + GetFixedColumnCount(), nRow + GetFixedRowCount());
}

bool CKelGridCore::ExtendSelectionTo(int nCol, GridRow nRow) {
    if (!IsDataCell(nCol, nRow))
        return false;
    if (!HasStyle(GS_MULTISELECT))
        return SetCurrentCell(nCol, nRow);
    GridRow F = GetFixedRowCount();
    int nOldEndCol = m_nEndCol;
    GridRow nOldEndRow = m_nEndRow;
    int nOldLeft = m_nSelLeft, nOldRight = m_nSelRight;
    GridRow nOldTop = m_nSelTop, nOldBottom = m_nSelBottom;

    // A refused edit keeps its editor open and the block as it was.
    if (!EndEdit(false))
        return true;
    m_nEndCol = nCol;
    m_nEndRow = nRow;
    if (m_pOwner)
        m_pOwner->SetFocus();

    if (m_nSelRight < 0 || m_nSelBottom < 0) {
        m_nSelLeft = m_nSelRight = m_nEndCol;
        m_nSelTop = m_nSelBottom = m_nEndRow;
    } else {
        // Per axis the block keeps spanning the current cell and the end.
        auto adjust = [](auto nEnd, auto nOldEnd, auto nCur, auto& nStart, auto& nFinish) {
            if (nEnd < nStart) {
                nStart = nEnd;
                nFinish = nCur;
            } else if (nEnd > nFinish) {
                nStart = nCur;
                nFinish = nEnd;
            } else if (nEnd > nOldEnd) {
                nStart = std::min(nEnd, nCur);
            } else if (nEnd < nOldEnd) {
                nFinish = std::max(nEnd, nCur);
            }
        };
        adjust(m_nEndCol, nOldEndCol, m_nCurCol, m_nSelLeft, m_nSelRight);
        adjust(m_nEndRow, nOldEndRow, m_nCurRow, m_nSelTop, m_nSelBottom);
    }

    RedrawBlock(nOldLeft, nOldRight, nOldTop, nOldBottom);
    RedrawCell(nOldEndCol, nOldEndRow);
    if (nOldEndCol != m_nEndCol)
        RedrawCell(nOldEndCol, F - 1);
    ScrollCellIntoView(m_nEndCol, m_nEndRow);
    RedrawBlock(m_nSelLeft, m_nSelRight, m_nSelTop, m_nSelBottom);
    RedrawCell(m_nEndCol, m_nEndRow);
    RedrawCell(m_nEndCol, F - 1);
    if (m_pOwner)
        m_pOwner->SendNotify(WM_GRID_SELCHANGED, m_pOwner->GetWindowId(), 0);
    return true;
}

bool CKelGridCore::SelectRangeAbs(int nLeft, int nRight, GridRow nTop, GridRow nBottom) {
    if (!HasStyle(GS_MULTISELECT))
        return true;
    if (!EndEdit(false))
        return false;
    if (m_pOwner)
        m_pOwner->SetFocus();
    int nOldLeft = m_nSelLeft, nOldRight = m_nSelRight;
    GridRow nOldTop = m_nSelTop, nOldBottom = m_nSelBottom;
    if (nRight < 0 || nBottom < 0 || GetRowCount() <= 0 || GetColumnCount(-1) <= 0) {
        m_nSelLeft = m_nSelRight = m_nCurCol;
        m_nSelTop = m_nSelBottom = m_nCurRow;
    } else {
        // A block beyond the data would let later commands read cells that do
        // not exist: keep it inside.
        int C = GetFixedColumnCount();
        GridRow F = GetFixedRowCount();
        int nLastCol = C + GetColumnCount(-1) - 1;
        GridRow nLastRow = F + GetRowCount() - 1;
        m_nSelLeft = std::clamp(std::min(nLeft, nRight), C, nLastCol);
        m_nSelRight = std::clamp(std::max(nLeft, nRight), C, nLastCol);
        m_nSelTop = std::clamp(std::min(nTop, nBottom), F, nLastRow);
        m_nSelBottom = std::clamp(std::max(nTop, nBottom), F, nLastRow);
    }
    m_nEndCol = m_nSelLeft;
    m_nEndRow = m_nSelTop;
    m_nCurCol = std::clamp(m_nCurCol, m_nSelLeft, m_nSelRight);
    m_nCurRow = std::clamp(m_nCurRow, m_nSelTop, m_nSelBottom);
    RedrawBlock(nOldLeft, nOldRight, nOldTop, nOldBottom);
    ExtendSelectionTo(m_nEndCol, m_nEndRow);
    return true;
}

void CKelGridCore::SelectRange(int nLeft, int nRight, GridRow nTop, GridRow nBottom) {
    int C = GetFixedColumnCount();
    GridRow F = GetFixedRowCount();
    int nOldCol = m_nCurCol;
    GridRow nOldRow = m_nCurRow;
    bool bEditor = GetCellEditor(nOldCol - C, nOldRow - F) != nullptr;
    bool bUnset = nRight < 0 || nBottom < 0;
    if (!SelectRangeAbs(nLeft + C, bUnset ? -1 : nRight + C, nTop + F, bUnset ? -1 : nBottom + F))
        return;
    if (!bEditor && !GetCellEditor(m_nCurCol - C, m_nCurRow - F))
        return;
    // The block may have pulled the current cell into itself; moving there
    // from the old cell loads the editor and tells the owner, and the block
    // stays what the user chose.
    int nCol = m_nCurCol;
    GridRow nRow = m_nCurRow;
    m_nCurCol = nOldCol;
    m_nCurRow = nOldRow;
    if (!IsDataCell(m_nCurCol, m_nCurRow)) {
        m_nCurCol = nCol;
        m_nCurRow = nRow;
    }
    SetCurrentCellImpl(nCol, nRow, true);
}

bool CKelGridCore::IsSelectionSingleCell() const { return m_nSelLeft == m_nSelRight && m_nSelTop == m_nSelBottom; }

// ---- editing hand-offs ---------------------------------------------------------------

bool CKelGridCore::EndEdit(bool bDiscard) {
    int nCol = m_nCurCol - GetFixedColumnCount();
    GridRow nRow = m_nCurRow - GetFixedRowCount();
    CKelCellEditor* pEditor = GetCellEditor(nCol, nRow);
    if (!pEditor)
        return true;
    m_bEditRefused = false;
    if (pEditor->IsModified()) {
        m_strCommitError.clear();
        if (!pEditor->ValidateEditor() || !CommitCell(nCol, nRow)) {
            m_bEditRefused = !bDiscard;
            if (bDiscard) {
                pEditor->SetModified(false);
                pEditor->HideEditor();
                // The cell paints what it holds, not the text thrown away.
                LoadCellEditor(nCol, nRow, pEditor);
            } else {
                // Still modified, so the next try commits it again; the user
                // sees why and corrects the text in place.
                ReportCommitError(nCol, nRow);
                ScrollCellIntoView(m_nCurCol, m_nCurRow);
                PositionEditor(m_nCurCol, m_nCurRow);
            }
            return false;
        }
        pEditor->SetModified(false);
    }
    pEditor->HideEditor();
    return true;
}

std::string CKelGridCore::GetCommitError(int, GridRow) { return m_strCommitError; }

void CKelGridCore::ReportCommitError(int nCol, GridRow nRow) {
    std::string strText = GetCommitError(nCol, nRow);
    if (strText.empty())
        strText = RefusalWithoutReason();
    if (m_pOwner)
        m_pOwner->ShowCommitError(strText);
}

void CKelGridCore::PositionEditor(int nCol, GridRow nRow) {
    GridRow F = GetFixedRowCount();
    if (nRow < F)
        return;
    int C = GetFixedColumnCount();
    CKelCellEditor* pEditor = GetCellEditor(nCol - C, nRow - F);
    if (!pEditor)
        return;
    GridPos left = ScreenColumnLeft(nCol, -1);
    GridPos top = ScreenRowTop(nRow);
    int width = AbsColumnWidth(nCol, -1);
    if (HasCellImage(nCol - C, nRow - F)) {
        Size size;
        GetCellImageSize(nCol - C, nRow - F, size);
        left += size.cx + 2;
        width -= size.cx + 2;
    }
    const GridPos kLimit = 1 << 28;
    pEditor->ShowEditor(static_cast<int>(std::clamp(left, -kLimit, kLimit)),
                        static_cast<int>(std::clamp(top, -kLimit, kLimit)), width, m_nRowHeight);
}

// ---- keyboard --------------------------------------------------------------------------

bool CKelGridCore::OnKeyDown(int nVirtKey) {
    int C = GetFixedColumnCount();
    GridRow F = GetFixedRowCount();
    GridRow nRows = GetRowCount();
    int nCols = GetColumnCount(-1);
    bool bShift = m_pOwner && m_pOwner->IsKeyDown(VK_SHIFT);
    bool bCtrl = m_pOwner && m_pOwner->IsKeyDown(VK_CONTROL);
    // A page is the rows the window shows less the header rows; at least one,
    // so that paging in a tiny window still moves.
    GridRow nPageRows = m_nRowHeight > 0 ? m_nPageHeight / m_nRowHeight : 0;
    GridRow nStep = std::max<GridRow>(1, nPageRows - F);
    GridRow nDataRow = m_nCurRow - F;

    switch (nVirtKey) {
    case VK_TAB:
        SetCurrentCell(bShift ? m_nCurCol - 1 : m_nCurCol + 1, m_nCurRow);
        return true;
    case VK_RETURN:
        if (!SetCurrentCell(m_nCurCol, m_nCurRow + 1))
            SetCurrentCell(m_nCurCol, m_nCurRow);
        return true;
    case VK_SHIFT:
    case VK_CONTROL:
        return true;
    case VK_PRIOR:
        SetCurrentCell(m_nCurCol, bCtrl ? F : F + std::max<GridRow>(0, nDataRow - nStep));
        return true;
    case VK_NEXT:
        SetCurrentCell(m_nCurCol, bCtrl ? F + nRows - 1 : F + std::min(nDataRow + nStep, nRows - 1));
        return true;
    case VK_HOME:
        SetCurrentCell(C, m_nCurRow);
        return true;
    case VK_END:
        SetCurrentCell(C + nCols - 1, m_nCurRow);
        return true;
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN: {
        int dx = nVirtKey == VK_LEFT ? -1 : nVirtKey == VK_RIGHT ? 1 : 0;
        int dy = nVirtKey == VK_UP ? -1 : nVirtKey == VK_DOWN ? 1 : 0;
        if (bShift)
            ExtendSelectionTo(m_nEndCol + dx, m_nEndRow + dy);
        else
            SetCurrentCell(m_nCurCol + dx, m_nCurRow + dy);
        return true;
    }
    default:
        SetCurrentCell(m_nCurCol, m_nCurRow);
        return false;
    }
}

// ---- mouse -------------------------------------------------------------------------------

int CKelGridCore::FixedColumnAt(int px) {
    int C = GetFixedColumnCount();
    if (C <= 0 || m_nRowHeaderWidth <= 0)
        return 0;
    return std::clamp(px / m_nRowHeaderWidth, 0, C - 1);
}

int CKelGridCore::HeaderRowAt(int py) {
    int F = GetFixedRowCount();
    if (F <= 0 || m_nHeaderHeight <= 0)
        return 0;
    return std::clamp(py / m_nHeaderHeight, 0, F - 1);
}

void CKelGridCore::OnLButtonDown(unsigned nFlags, int x, int y) {
    if (!m_pOwner)
        return;
    int px = x + 1, py = y + 1;
    int RW = RowHeaderBand(), HB = HeaderBand();
    int C = GetFixedColumnCount();
    GridRow F = GetFixedRowCount();
    if (m_bOverBorder) {
        m_bResizing = true;
        m_pOwner->SetCapture();
        m_nTrackX = x;
        m_pOwner->ShowTrackingLine(x);
        return;
    }
    if (px > m_nTotalWidth - m_nHorzPos || py > GetRowCount() * m_nRowHeight + HB - m_nVertPos)
        return;
    if (px <= RW && py <= HB) {
        m_bCornerPressed = true;
        RedrawCorner();
        m_pOwner->SetCapture();
        OnCornerClick();
        return;
    }
    if (py > HB && px > RW) {
        if (nFlags & MK_SHIFT) {
            int nCol = ColumnAt(px + m_nHorzPos, -1);
            GridRow nRow = RowAt(py + m_nVertPos);
            ExtendSelectionTo(nCol, nRow);
        } else {
            int nCol = ColumnAt(px + m_nHorzPos, -1);
            GridRow nRow = RowAt(py + m_nVertPos);
            if (nCol < C || nCol >= C + GetColumnCount(-1))
                nCol = m_nCurCol;
            if (nRow < F || nRow >= F + GetRowCount())
                nRow = m_nCurRow;
            if (SetCurrentCell(nCol, nRow)) {
                if (CKelCellEditor* pEditor = GetCellEditor(m_nCurCol - C, m_nCurRow - F)) {
                    GridPos ox = px + m_nHorzPos - ColumnLeft(m_nCurCol, -1);
                    GridPos oy = py + m_nVertPos - RowTop(m_nCurRow);
                    if (ox >= 0 && oy >= 0)
                        pEditor->OnCellClick(static_cast<int>(ox), static_cast<int>(std::min<GridPos>(oy, 1 << 28)));
                }
            }
        }
        m_pOwner->SetCapture();
        return;
    }
    if (py > HB) {
        m_nPressedRowHeaderCol = FixedColumnAt(px);
        m_nPressedRow = RowAt(py + m_nVertPos);
        RedrawRowHeaders(m_nPressedRow);
        m_pOwner->SetCapture();
        OnRowHeaderClick(m_nPressedRowHeaderCol, m_nPressedRow - F);
        return;
    }
    int h = HeaderRowAt(py);
    m_nPressedHeaderRow = h;
    m_nPressedCol = ColumnAt(px + m_nHorzPos, h);
    RedrawCell(m_nPressedCol, h);
    m_pOwner->SetCapture();
    OnColumnHeaderClick(m_nPressedCol - C, h);
}

void CKelGridCore::OnMouseMove(unsigned nFlags, int x, int y) {
    if (!m_pOwner)
        return;
    int px = x + 1, py = y + 1;
    int RW = RowHeaderBand(), HB = HeaderBand();
    if (m_bResizing) {
        if ((nFlags & MK_LBUTTON) && m_bOverBorder) {
            m_nTrackX = x;
            m_pOwner->ShowTrackingLine(x);
        } else {
            EndResize(px);
        }
        return;
    }
    if (m_bCornerPressed) {
        if (px < -3 || py < -3 || px > RW || py > HB) {
            m_bCornerPressed = false;
            RedrawCorner();
        }
        return;
    }
    if (m_nPressedCol >= 0) {
        int h = HeaderRowAt(py);
        bool bOver = py >= 0 && py <= HB && px > RW && h == m_nPressedHeaderRow &&
                     ColumnAt(px + m_nHorzPos, h) == m_nPressedCol;
        if (!bOver) {
            int nCol = m_nPressedCol, nHeaderRow = m_nPressedHeaderRow;
            m_nPressedCol = m_nPressedHeaderRow = -1;
            RedrawCell(nCol, nHeaderRow);
            m_pOwner->ReleaseCapture();
        }
        return;
    }
    if (m_nPressedRow >= 0) {
        bool bOver = px >= 0 && px <= RW && py > HB && FixedColumnAt(px) == m_nPressedRowHeaderCol &&
                     RowAt(py + m_nVertPos) == m_nPressedRow;
        if (!bOver) {
            GridRow nRow = m_nPressedRow;
            m_nPressedRowHeaderCol = -1;
            m_nPressedRow = -1;
            RedrawRowHeaders(nRow);
            m_pOwner->ReleaseCapture();
        }
        return;
    }
    if (!(nFlags & MK_LBUTTON))
        return;
    int nCol = ColumnAt(std::max(0, px) + m_nHorzPos, -1);
    GridRow nRow = RowAt(std::max(0, py) + m_nVertPos);
    if (IsDataCell(nCol, nRow) && (nCol != m_nEndCol || nRow != m_nEndRow))
        ExtendSelectionTo(nCol, nRow);
}

void CKelGridCore::OnLButtonUp(unsigned, int x, int) {
    if (!m_pOwner)
        return;
    int px = x + 1;
    int C = GetFixedColumnCount();
    GridRow F = GetFixedRowCount();
    if (m_bResizing) {
        EndResize(px);
        return;
    }
    if (m_bCornerPressed) {
        m_bCornerPressed = false;
        RedrawCorner();
    }
    if (m_nPressedCol >= 0) {
        int nCol = m_nPressedCol, nHeaderRow = m_nPressedHeaderRow;
        m_nPressedCol = m_nPressedHeaderRow = -1;
        RedrawCell(nCol, nHeaderRow);
        OnColumnHeaderUp(nCol - C, nHeaderRow);
    }
    if (m_nPressedRow >= 0) {
        int nFixedCol = m_nPressedRowHeaderCol;
        GridRow nRow = m_nPressedRow;
        m_nPressedRowHeaderCol = -1;
        m_nPressedRow = -1;
        RedrawRowHeaders(nRow);
        OnRowHeaderUp(nFixedCol, nRow - F);
    }
    m_pOwner->ReleaseCapture();
}

void CKelGridCore::OnLButtonDblClk(unsigned, int x, int y) {
    if (!m_pOwner)
        return;
    int px = x + 1, py = y + 1;
    int RW = RowHeaderBand(), HB = HeaderBand();
    int C = GetFixedColumnCount();
    GridRow F = GetFixedRowCount();
    // On a column border (the cursor test has just run) the column is fitted
    // to its text; it is not a click on the header beside the border.
    if (m_bOverBorder) {
        if (m_nResizeColumn >= C)
            FitColumnWidth(m_nResizeColumn, m_nResizeHeaderRow);
        return;
    }
    if (px > m_nTotalWidth - m_nHorzPos || py > GetRowCount() * m_nRowHeight + HB - m_nVertPos)
        return;
    if (py <= HB && px > RW) {
        int h = HeaderRowAt(py);
        m_nPressedHeaderRow = h;
        m_nPressedCol = ColumnAt(px + m_nHorzPos, h);
        RedrawCell(m_nPressedCol, h);
        m_pOwner->SetCapture();
        OnColumnHeaderDblClk(m_nPressedCol - C, h);
        return;
    }
    if (py > HB && px <= RW) {
        m_nPressedRowHeaderCol = FixedColumnAt(px);
        m_nPressedRow = RowAt(py + m_nVertPos);
        RedrawRowHeaders(m_nPressedRow);
        m_pOwner->SetCapture();
        OnRowHeaderDblClk(m_nPressedRowHeaderCol, m_nPressedRow - F);
        return;
    }
    SetCurrentCell(ColumnAt(px + m_nHorzPos, -1), RowAt(py + m_nVertPos));
}

// ---- column resizing ---------------------------------------------------------------------

bool CKelGridCore::FindResizeBorder(int x, int nHeaderRow, int& nCol) {
    int C = GetFixedColumnCount();
    int RW = RowHeaderBand();
    bool bFixedResizable = HasStyle(GS_FIXEDROWHEADERWIDTH) && C > 0;
    // The row headers do not scroll: once the data is scrolled sideways, a
    // point near their right edge is their border, never that of a data
    // column hidden behind them.
    if (m_nHorzPos > 0 && x <= RW + 2) {
        if (!bFixedResizable || x < RW - 2)
            return false;
        nCol = C - 1;
        return true;
    }
    GridPos a = x + m_nHorzPos;
    int i = ColumnAt(a, nHeaderRow);
    GridPos left = ColumnLeft(i, nHeaderRow);
    GridPos right = left + AbsColumnWidth(i, nHeaderRow);
    int nCandidate;
    if (a - left <= 2 && i > 0)
        nCandidate = i - 1;
    else if (right - a <= 2 && i < C + GetColumnCount(nHeaderRow))
        nCandidate = i;
    else
        return false;
    if (nCandidate < C && !bFixedResizable)
        return false;
    nCol = nCandidate;
    return true;
}

bool CKelGridCore::OnSetCursor(int nHitTest) {
    m_bOverBorder = false;
    if (nHitTest != HTCLIENT || !m_pOwner)
        return false;
    platform::Point pt = m_pOwner->GetCursorPos();
    int x = pt.x + 1, y = pt.y + 1;
    int RW = RowHeaderBand(), HB = HeaderBand();
    if (y > HB || x < RW - 2 || x > m_nTotalWidth + 4 - m_nHorzPos)
        return false;
    if (!m_bResizing) {
        int nHeaderRow = HeaderRowAt(y);
        int nCol = -1;
        if (!FindResizeBorder(x, nHeaderRow, nCol))
            return false;
        m_nResizeHeaderRow = nHeaderRow;
        m_nResizeColumn = nCol;
    }
    m_bOverBorder = true;
    m_pOwner->SetCursorShape(IDC_COLUMNRESIZE);
    return true;
}

void CKelGridCore::EndResize(int px) {
    m_bResizing = false;
    ApplyResize(px);
    m_pOwner->ReleaseCapture();
    m_nTrackX = -1;
    m_pOwner->ShowTrackingLine(-1);
}

void CKelGridCore::ApplyResize(int px) {
    int nCol = m_nResizeColumn;
    if (nCol < 0)
        return;
    if (nCol < GetFixedColumnCount()) {
        ApplyColumnWidth(nCol, m_nResizeHeaderRow, std::max(0, px - nCol * m_nRowHeaderWidth));
    } else {
        GridPos width = px + m_nHorzPos - ColumnLeft(nCol, m_nResizeHeaderRow);
        ApplyColumnWidth(nCol, m_nResizeHeaderRow, static_cast<int>(std::clamp<GridPos>(width, 0, 1 << 24)));
    }
}

void CKelGridCore::ApplyColumnWidth(int nCol, int nHeaderRow, int nWidth) {
    int C = GetFixedColumnCount();
    GridRow F = GetFixedRowCount();
    bool bRowHeader = nCol < C;
    if (bRowHeader)
        m_nRowHeaderWidth = nWidth;
    else
        SetColumnWidth(nCol - C, nHeaderRow, nWidth);
    CKelCellEditor* pEditor = GetCellEditor(m_nCurCol - C, m_nCurRow - F);
    bool bHidden = false;
    if (pEditor && pEditor->IsEditorActive()) {
        pEditor->HideEditor();
        bHidden = true;
    }
    RecalcLayout();
    m_pOwner->SendNotify(WM_GRID_COLRESIZED, m_pOwner->GetWindowId(), 0);
    m_pOwner->SetFocus();
    if (bRowHeader)
        InvalidateAll();
    if (bHidden)
        PositionEditor(m_nCurCol, m_nCurRow);
}

void CKelGridCore::FitColumnWidth(int nCol, int nHeaderRow) {
    int nWidth = -1;
    if (!m_pOwner || !m_pOwner->MeasureWith([&](platform::CDrawContext& dc) {
            nWidth = MeasureColumnWidth(dc, nCol, nHeaderRow);
        }))
        return;
    if (nWidth >= 0)
        ApplyColumnWidth(nCol, nHeaderRow, std::min(nWidth, 1 << 24));
}

// The room text needs inside a cell is the painting's: a header's text sits
// within the button's edges (6 pixels), a cell's within its border, the
// focus frame and a pixel of air (3 pixels); a pixel or two more is left so
// that the text never meets the edge.
int CKelGridCore::MeasureColumnWidth(platform::CDrawContext& dc, int nCol, int nHeaderRow) {
    int C = GetFixedColumnCount();
    GridRow F = GetFixedRowCount();
    int nDataCol = nCol - C;
    const platform::CFont* pOldFont = dc.SelectFont(&GetHeaderFont());
    int nWidth = dc.GetTextExtent(GetColumnHeader(nDataCol, nHeaderRow).strText).cx + 8;
    if (nCol == m_nSortColumn + C && nHeaderRow == m_nSortHeaderRow && m_nSortDirection != 2)
        nWidth += 3 * dc.GetTextExtent(" ").cx + 12;  // the arrow, its gap and the spaces before it

    Size client = GetClientSize();
    GridRow nFirst = 0, nLast = -1;
    if (GetVisibleRows(Rect{0, HeaderBand(), client.cx, client.cy}, nFirst, nLast)) {
        for (GridRow nRow = std::max(nFirst, F); nRow <= nLast; ++nRow) {
            GridRow nDataRow = nRow - F;
            bool bCurrent = nCol == m_nCurCol && nRow == m_nCurRow;
            CKelCellEditor* pEditor = bCurrent ? GetCellEditor(nDataCol, nDataRow) : nullptr;
            GridCellValue value = pEditor ? pEditor->GetEditorValue() : GetCellValue(nDataCol, nDataRow);
            GridCellStyle style = GetCellStyle(nDataCol, nDataRow);
            const platform::CFont* pFont = bCurrent ? style.pCurrentFont : style.pFont;
            dc.SelectFont(pFont ? pFont : &m_fontGrid);
            int nCell = dc.GetTextExtent(value.strText).cx + 5;
            if (GetCellFormat(nDataCol, nDataRow).nFrameKind != 0)
                nCell += 16;  // a check box or button beside the text
            Size sizeImage;
            if (HasCellImage(nDataCol, nDataRow) && GetCellImageSize(nDataCol, nDataRow, sizeImage))
                nCell += sizeImage.cx + 2;
            nWidth = std::max(nWidth, nCell);
        }
    }
    dc.SelectFont(pOldFont);
    return nWidth;
}

// ---- wheel -------------------------------------------------------------------------------

void CKelGridCore::OnMouseWheel(unsigned, int nDelta) {
    if (!m_pOwner)
        return;
    int C = GetFixedColumnCount();
    GridRow F = GetFixedRowCount();
    if (CKelCellEditor* pEditor = GetCellEditor(m_nCurCol - C, m_nCurRow - F))
        pEditor->HideEditor();
    m_pOwner->SetFocus();
    bool bVert = CanScroll(SB_VERT);
    if (!bVert && !CanScroll(SB_HORZ))
        return;
    int nPage = bVert ? m_nPageHeight : m_nPageWidth;
    int nLine = bVert ? m_nLineHeight : m_nLineWidth;
    unsigned nLines = m_pOwner->GetWheelScrollLines();
    bool bPageMode = nLines == platform::kWheelPageScroll;
    GridPos nDistance = 0;
    if (std::abs(nDelta) >= 120) {
        // A notched wheel: one line per notch upwards is taken as a page.
        m_nWheelRemainder = 0;
        GridPos nSteps = bPageMode ? 0 : -(static_cast<GridPos>(nDelta) * nLines / 120);
        if (bPageMode || nSteps == -1)
            nDistance = nDelta > 0 ? -nPage : nPage;
        else
            nDistance = std::min<GridPos>(nSteps * nLine, nPage);
    } else {
        // A smooth wheel or touchpad sends fractions of a notch: gather them
        // until they make whole lines.
        m_nWheelRemainder += nDelta;
        if (bPageMode) {
            if (std::abs(m_nWheelRemainder) < 120)
                return;
            nDistance = m_nWheelRemainder > 0 ? -nPage : nPage;
            m_nWheelRemainder = 0;
        } else {
            GridPos nSteps = -(static_cast<GridPos>(m_nWheelRemainder) * nLines / 120);
            if (nSteps == 0)
                return;
            m_nWheelRemainder += static_cast<int>(nSteps * 120 / static_cast<GridPos>(nLines));
            nDistance = std::clamp<GridPos>(nSteps * nLine, -nPage, nPage);
        }
    }
    // The wheel stops where the scroll bar stops: the last page, not the
    // extent, which would scroll the whole table out of the window.
    GridPos nPos = bVert ? m_nVertPos : m_nHorzPos;
    GridPos nLast = std::max<GridPos>(0, bVert ? m_nVertExtent - m_nPageHeight + 1 : m_nHorzExtent - m_nPageWidth + 1);
    nDistance = std::clamp<GridPos>(nPos + nDistance, 0, nLast) - nPos;
    if (bVert)
        ScrollBy(0, nDistance, true);
    else
        ScrollBy(nDistance, 0, true);
}

// ---- default header and corner actions --------------------------------------------------

// A header or corner click leaves a refused edit open, and does nothing else.
void CKelGridCore::OnCornerClick() {
    if (!EndEdit(false))
        return;
    if (HasStyle(GS_MULTISELECT))
        SelectRange(0, GetColumnCount(-1) - 1, 0, GetRowCount() - 1);
}

void CKelGridCore::OnColumnHeaderClick(int nCol, int) {
    if (!EndEdit(false))
        return;
    int C = GetFixedColumnCount();
    GridRow F = GetFixedRowCount();
    if (!HasStyle(GS_MULTISELECT)) {
        SetCurrentCell(nCol + C, m_nCurRow);
        return;
    }
    int nLeft = nCol, nRight = nCol;
    if (m_pOwner && m_pOwner->IsKeyDown(VK_SHIFT) && !IsSelectionSingleCell()) {
        nLeft = std::min(m_nSelLeft - C, nCol);
        nRight = std::max(m_nSelRight - C, nCol);
    }
    if (CKelCellEditor* pEditor = GetCellEditor(nCol, m_nCurRow - F))
        LoadCellEditor(nCol, m_nCurRow - F, pEditor);
    SelectRange(nLeft, nRight, 0, GetRowCount() - 1);
}

void CKelGridCore::OnRowHeaderClick(int, GridRow nRow) {
    if (!EndEdit(false))
        return;
    int C = GetFixedColumnCount();
    GridRow F = GetFixedRowCount();
    if (!HasStyle(GS_MULTISELECT)) {
        SetCurrentCell(m_nCurCol, nRow + F);
        return;
    }
    GridRow nTop = nRow, nBottom = nRow;
    if (m_pOwner && m_pOwner->IsKeyDown(VK_SHIFT) && !IsSelectionSingleCell()) {
        nTop = std::min(m_nSelTop - F, nRow);
        nBottom = std::max(m_nSelBottom - F, nRow);
    }
    GridRow nOldCurRow = m_nCurRow;
    CKelCellEditor* pEditor = GetCellEditor(m_nCurCol - C, m_nCurRow - F);
    if (pEditor && (m_nCurRow - F < nTop || m_nCurRow - F > nBottom))
        LoadCellEditor(m_nCurCol - C, nRow, pEditor);
    SelectRange(0, GetColumnCount(-1) - 1, nTop, nBottom);
    RedrawRowHeaders(nOldCurRow);
    RedrawRowHeaders(nRow + F);
}
