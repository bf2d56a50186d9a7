// The grid engine that window classes carry: it answers the data-source
// operations from a table of columns and a row count, owns each column's
// in-place editor, and keeps the row count in step with inserted and deleted
// rows. Derived grids override the cell operations to show their own data.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "grid/grid_core.h"

struct GridColumn {
    std::string strHeader;
    unsigned nHeaderFormat = 0;  // text-drawing flags of the header
    unsigned nCellFormat = 0;    // text-drawing flags of the cells
    unsigned nFrameKind = 0;     // frame control drawn in the cells, 0 = plain text
    unsigned nFrameState = 0;
    int nImageKind = GIK_NONE;
    platform::Size sizeImage;
    int nEditorKind = GEK_EDIT;
    uint32_t dwEditorStyle = WS_CHILD;
    int nEditorId = 0;
    std::unique_ptr<CKelCellEditor> pEditor;  // created on first use
    int nWidth = 0;
};

class CKelColumnGrid : public CKelGridCore {
public:
    // Makes the editor of a kind (GEK_EDIT, GEK_CHECK, GEK_COMBO); nullptr for
    // none. The in-place editors plug themselves in here; without a factory
    // no column has an editor object. A factory of null editors
    // (CKelCellEditor) runs the whole editing protocol without windows.
    using EditorFactory = std::function<std::unique_ptr<CKelCellEditor>(int nKind)>;
    static void SetDefaultEditorFactory(EditorFactory factory);
    void SetEditorFactory(EditorFactory factory) { m_editorFactory = std::move(factory); }

    CKelColumnGrid();
    ~CKelColumnGrid() override;

    // ---- data-source operations answered from the column table ----------------
    GridRow GetRowCount() override;
    int GetColumnCount(int nHeaderRow) override;
    int GetColumnWidth(int nCol, int nHeaderRow) override;
    void SetColumnWidth(int nCol, int nHeaderRow, int nWidth) override;
    std::unique_ptr<CKelCellEditor> CreateCellEditor(int nCol, GridRow nRow, uint32_t nStyle, int nId) override;
    void SetCellEditor(int nCol, GridRow nRow, std::unique_ptr<CKelCellEditor> pEditor) override;
    CKelCellEditor* GetCellEditor(int nCol, GridRow nRow) override;
    uint32_t GetCellEditorStyle(int nCol, GridRow nRow) override;
    bool CommitCell(int nCol, GridRow nRow) override;
    void OnCellCommitted(int nCol, GridRow nRow) override;
    bool HasCellImage(int nCol, GridRow nRow) override;
    int GetCellImageKind(int nCol, GridRow nRow) override;
    bool GetCellImageSize(int nCol, GridRow nRow, platform::Size& size) override;
    GridCellFormat GetCellFormat(int nCol, GridRow nRow) override;
    GridCellValue GetCellValue(int nCol, GridRow nRow) override;
    GridCellValue GetColumnHeader(int nCol, int nHeaderRow) override;
    int GetColumnId(int nCol, GridRow nRow) override;

    // ---- columns -----------------------------------------------------------------
    int InsertColumn(int nWidth, const std::string& strHeader, unsigned nCellFormat, unsigned nHeaderFormat,
                     unsigned nFrameKind = 0, unsigned nFrameState = 0, int nEditorId = 0);
    int InsertColumnAt(int nPosition, int nWidth, const std::string& strHeader, unsigned nCellFormat,
                       unsigned nHeaderFormat, unsigned nFrameKind = 0, unsigned nFrameState = 0, int nEditorId = 0);
    void DeleteAllColumns();
    // Refused (false) when the column already has an editor object.
    bool SetColumnEditor(int nCol, int nKind, uint32_t nStyle, int nId);
    void DestroyColumnEditor(int nCol);
    // The column record, for derived grids that set images or formats; nullptr
    // outside the table.
    GridColumn* GetColumn(int nCol);

    // ---- rows ----------------------------------------------------------------------
    void SetRowCount(GridRow nCount, bool bNotify);
    void InsertRows(GridRow nAt, GridRow nCount);
    void DeleteRows(GridRow nAt, GridRow nCount);

    // ---- font and focus ------------------------------------------------------------
    void SetFont(const platform::CFont& font, bool bRedraw);
    bool HasFocus() const { return m_bHasFocus; }
    void SetHasFocus(bool bHasFocus) { m_bHasFocus = bHasFocus; }
    // The window took the focus from pLostFocus (an editor, or nullptr for
    // any other window).
    void OnFocusIn(const CKelCellEditor* pLostFocus);

private:
    bool IsColumn(int nCol) const { return nCol >= 0 && static_cast<size_t>(nCol) < m_columns.size(); }
    // Moves the pixels of the data rows from screen y by dy, or repaints the
    // data area when the rows start above the header band.
    bool MoveRowsOnScreen(GridPos y, GridPos dy);

    bool m_bHasFocus = false;
    std::vector<GridColumn> m_columns;
    GridRow m_nRowCount = 0;
    EditorFactory m_editorFactory;
};
