// The column grid: data-source answers from its column table, column editors,
// and the row count with inserted and deleted rows.
#include "grid/column_grid.h"

#include <algorithm>

using platform::Rect;
using platform::Size;

namespace {

constexpr int kFirstAutoEditorId = 1900;

// Until the toolkit's editors are plugged in, columns get no editor object and
// the grid behaves as one whose columns are not editable.
CKelColumnGrid::EditorFactory& DefaultFactory() {
    static CKelColumnGrid::EditorFactory s_factory;
    return s_factory;
}

}  // namespace

void CKelColumnGrid::SetDefaultEditorFactory(EditorFactory factory) { DefaultFactory() = std::move(factory); }

CKelColumnGrid::CKelColumnGrid() : m_editorFactory(DefaultFactory()) {}

CKelColumnGrid::~CKelColumnGrid() {
    for (size_t i = 0; i < m_columns.size(); ++i)
        DestroyColumnEditor(static_cast<int>(i));
}

// ---- data-source answers --------------------------------------------------------

GridRow CKelColumnGrid::GetRowCount() { return m_nRowCount; }

int CKelColumnGrid::GetColumnCount(int) { return static_cast<int>(m_columns.size()); }

int CKelColumnGrid::GetColumnWidth(int nCol, int) { return IsColumn(nCol) ? m_columns[static_cast<size_t>(nCol)].nWidth : 0; }

void CKelColumnGrid::SetColumnWidth(int nCol, int, int nWidth) {
    if (!IsColumn(nCol))
        return;
    m_columns[static_cast<size_t>(nCol)].nWidth = nWidth;
    InvalidateAll();
}

std::unique_ptr<CKelCellEditor> CKelColumnGrid::CreateCellEditor(int nCol, GridRow, uint32_t nStyle, int nId) {
    if (!IsColumn(nCol) || !m_editorFactory)
        return nullptr;
    GridColumn& column = m_columns[static_cast<size_t>(nCol)];
    if (nId == 0)
        nId = column.nEditorId;
    column.nEditorId = nId;
    std::unique_ptr<CKelCellEditor> pEditor = m_editorFactory(column.nEditorKind);
    if (!pEditor)
        return nullptr;
    if (!pEditor->CreateEditor(nStyle, m_pOwner, nId))
        return nullptr;
    pEditor->EnableEditor(false);
    pEditor->SetFocusFrame(&m_styleDefault.focusFrame);
    pEditor->SetEditorFont(m_fontGrid, true);
    return pEditor;
}

void CKelColumnGrid::SetCellEditor(int nCol, GridRow, std::unique_ptr<CKelCellEditor> pEditor) {
    if (IsColumn(nCol))
        m_columns[static_cast<size_t>(nCol)].pEditor = std::move(pEditor);
}

CKelCellEditor* CKelColumnGrid::GetCellEditor(int nCol, GridRow) {
    return IsColumn(nCol) ? m_columns[static_cast<size_t>(nCol)].pEditor.get() : nullptr;
}

uint32_t CKelColumnGrid::GetCellEditorStyle(int nCol, GridRow) {
    return IsColumn(nCol) ? m_columns[static_cast<size_t>(nCol)].dwEditorStyle : 0;
}

bool CKelColumnGrid::CommitCell(int nCol, GridRow nRow) {
    if (m_pOwner)
        m_pOwner->SendNotify(WM_GRID_CELLCOMMITTED, static_cast<uintptr_t>(nCol), static_cast<intptr_t>(nRow));
    OnCellCommitted(nCol, nRow);
    return true;
}

void CKelColumnGrid::OnCellCommitted(int, GridRow) {}

bool CKelColumnGrid::HasCellImage(int nCol, GridRow) {
    return IsColumn(nCol) && m_columns[static_cast<size_t>(nCol)].nImageKind != GIK_NONE;
}

int CKelColumnGrid::GetCellImageKind(int nCol, GridRow) {
    return IsColumn(nCol) ? m_columns[static_cast<size_t>(nCol)].nImageKind : GIK_NONE;
}

bool CKelColumnGrid::GetCellImageSize(int nCol, GridRow, Size& size) {
    size = IsColumn(nCol) ? m_columns[static_cast<size_t>(nCol)].sizeImage : Size{};
    return true;
}

GridCellFormat CKelColumnGrid::GetCellFormat(int nCol, GridRow) {
    if (!IsColumn(nCol))
        return GridCellFormat{};
    const GridColumn& column = m_columns[static_cast<size_t>(nCol)];
    return GridCellFormat{column.nCellFormat, column.nFrameKind, column.nFrameState, column.nImageKind};
}

GridCellValue CKelColumnGrid::GetCellValue(int, GridRow) { return GridCellValue{std::string(), -1}; }

GridCellValue CKelColumnGrid::GetColumnHeader(int nCol, int) {
    if (!IsColumn(nCol))
        return GridCellValue{std::string(), 0};
    const GridColumn& column = m_columns[static_cast<size_t>(nCol)];
    return GridCellValue{column.strHeader, static_cast<int>(column.nHeaderFormat)};
}

int CKelColumnGrid::GetColumnId(int nCol, GridRow) { return IsColumn(nCol) ? m_columns[static_cast<size_t>(nCol)].nEditorId : 0; }

// ---- columns ----------------------------------------------------------------------

int CKelColumnGrid::InsertColumn(int nWidth, const std::string& strHeader, unsigned nCellFormat, unsigned nHeaderFormat,
                                 unsigned nFrameKind, unsigned nFrameState, int nEditorId) {
    return InsertColumnAt(static_cast<int>(m_columns.size()), nWidth, strHeader, nCellFormat, nHeaderFormat, nFrameKind,
                          nFrameState, nEditorId);
}

int CKelColumnGrid::InsertColumnAt(int nPosition, int nWidth, const std::string& strHeader, unsigned nCellFormat,
                                   unsigned nHeaderFormat, unsigned nFrameKind, unsigned nFrameState, int nEditorId) {
    nPosition = std::clamp(nPosition, 0, static_cast<int>(m_columns.size()));
    GridColumn column;
    column.strHeader = strHeader;
    column.nHeaderFormat = nHeaderFormat;
    column.nCellFormat = nCellFormat;
    column.nFrameKind = nFrameKind;
    column.nFrameState = nFrameState;
    column.nEditorId = nEditorId;
    column.nWidth = nWidth;
    m_columns.insert(m_columns.begin() + nPosition, std::move(column));
    return nPosition;
}

void CKelColumnGrid::DeleteAllColumns() {
    for (size_t i = 0; i < m_columns.size(); ++i)
        DestroyColumnEditor(static_cast<int>(i));
    m_columns.clear();
}

bool CKelColumnGrid::SetColumnEditor(int nCol, int nKind, uint32_t nStyle, int nId) {
    if (!IsColumn(nCol))
        return false;
    GridColumn& column = m_columns[static_cast<size_t>(nCol)];
    if (column.pEditor)
        return false;
    column.nEditorKind = nKind;
    column.dwEditorStyle = nStyle;
    if (nId != 0)
        column.nEditorId = nId;
    else if (column.nEditorId == 0)
        column.nEditorId = kFirstAutoEditorId + nCol;
    return true;
}

void CKelColumnGrid::DestroyColumnEditor(int nCol) {
    if (!IsColumn(nCol))
        return;
    GridColumn& column = m_columns[static_cast<size_t>(nCol)];
    if (!column.pEditor)
        return;
    column.pEditor->DestroyEditor();
    column.pEditor.reset();
}

GridColumn* CKelColumnGrid::GetColumn(int nCol) { return IsColumn(nCol) ? &m_columns[static_cast<size_t>(nCol)] : nullptr; }

// ---- rows ----------------------------------------------------------------------------

void CKelColumnGrid::SetRowCount(GridRow nCount, bool bNotify) {
    nCount = std::max<GridRow>(0, nCount);
    if (nCount == m_nRowCount)
        return;
    m_nRowCount = nCount;
    // A current cell or block past the last row would make every later move
    // start from a cell that does not exist.
    ClampCurrentCellToData();
    if (bNotify && m_pOwner && m_pOwner->IsWindow())
        m_pOwner->PostNotify(WM_GRID_ROWCOUNT, m_pOwner->GetWindowId(), static_cast<intptr_t>(nCount));
}

bool CKelColumnGrid::MoveRowsOnScreen(GridPos y, GridPos dy) {
    if (!m_pOwner || !m_pOwner->IsWindow())
        return true;
    Size client = m_pOwner->GetClientSize();
    int HB = HeaderBand();
    if (y < HB) {
        InvalidateAll();
        return false;
    }
    if (y >= client.cy)
        return true;
    Rect area{0, static_cast<int>(y), client.cx, client.cy};
    if (dy >= area.Height() || -dy >= area.Height())
        Invalidate(area);
    else
        m_pOwner->ScrollWindow(0, static_cast<int>(dy), area);
    return true;
}

void CKelColumnGrid::InsertRows(GridRow nAt, GridRow nCount) {
    if (nCount <= 0)
        return;
    int C = GetFixedColumnCount();
    GridRow F = GetFixedRowCount();
    GridRow nOldRows = m_nRowCount;
    nAt = std::clamp<GridRow>(nAt, 0, nOldRows);
    CKelCellEditor* pEditor = GetCellEditor(m_nCurCol - C, m_nCurRow - F);
    if (pEditor && nOldRows > 0)
        LoadCellEditor(m_nCurCol - C, m_nCurRow - F, pEditor);
    bool bMoved = MoveRowsOnScreen(ScreenRowTop(nAt + F), nCount * m_nRowHeight);
    SetRowCount(nOldRows + nCount, true);
    RecalcLayout();
    if (!bMoved)
        SetCurrentCell(m_nCurCol, m_nCurRow);
    if (nAt < nOldRows)
        PositionEditor(m_nCurCol, m_nCurRow);
    else
        SetCurrentCell(m_nCurCol, F + m_nRowCount - 1);
}

void CKelColumnGrid::DeleteRows(GridRow nAt, GridRow nCount) {
    int C = GetFixedColumnCount();
    GridRow F = GetFixedRowCount();
    if (nAt < 0 || nAt >= m_nRowCount || nCount <= 0)
        return;
    nCount = std::min(nCount, m_nRowCount - nAt);
    GridRow nNewRows = m_nRowCount - nCount;
    if (m_nCurRow > F + nNewRows - 1)
        m_nCurRow = std::max(F, F + nNewRows - 1);
    CKelCellEditor* pEditor = GetCellEditor(m_nCurCol - C, m_nCurRow - F);
    if (pEditor && nNewRows > 0)
        LoadCellEditor(m_nCurCol - C, m_nCurRow - F, pEditor);
    MoveRowsOnScreen(ScreenRowTop(nAt + F), -nCount * m_nRowHeight);
    SetRowCount(nNewRows, true);
    RecalcLayout();
    if (nNewRows > 0) {
        PositionEditor(m_nCurCol, m_nCurRow);
        RedrawRowBand(m_nCurRow);
    } else if (pEditor) {
        pEditor->SetModified(false);
        pEditor->HideEditor();
    }
}

// ---- font and focus ----------------------------------------------------------------

void CKelColumnGrid::SetFont(const platform::CFont& font, bool bRedraw) {
    m_fontGrid = font;
    for (GridColumn& column : m_columns)
        if (column.pEditor)
            column.pEditor->SetEditorFont(m_fontGrid, true);
    if (bRedraw) {
        RecalcLayout();
        InvalidateAll();
        PositionEditor(m_nCurCol, m_nCurRow);
    }
}

void CKelColumnGrid::OnFocusIn(const CKelCellEditor* pLostFocus) {
    if (!m_bHasFocus)
        return;
    CKelCellEditor* pEditor = GetCellEditor(m_nCurCol - GetFixedColumnCount(), m_nCurRow - GetFixedRowCount());
    if (!pEditor) {
        ExtendSelectionTo(m_nEndCol, m_nEndRow);
        return;
    }
    if (pLostFocus != pEditor && IsSelectionSingleCell())
        SetCurrentCell(m_nCurCol, m_nCurRow);
}
