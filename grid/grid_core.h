// The grid engine: geometry and hit testing, metrics, extents and scroll bars,
// painting, the current cell and the selection, keys, mouse, wheel and scroll
// bars. Everything that depends on the data is asked through the virtual
// data-source operations below, so the same engine shows tables, structures
// and column lists. The engine reaches its window only through CKelGridOwner
// and draws only through platform::CDrawContext.
//
// Indexing: rows 0..F-1 are the fixed header rows and columns 0..C-1 the fixed
// row-header columns; data row r is absolute row F + r and data column c is
// absolute column C + c. The data-source operations receive data indexes (a
// column header gets its absolute header row, a row header its fixed column).
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "grid/cell_editor.h"
#include "grid/grid_owner.h"
#include "grid/grid_types.h"
#include "platform/ui/draw_context.h"
#include "platform/ui/font.h"
#include "platform/ui/picture.h"

class CKelGridCore {
public:
    CKelGridCore();
    virtual ~CKelGridCore();
    CKelGridCore(const CKelGridCore&) = delete;
    CKelGridCore& operator=(const CKelGridCore&) = delete;

    void SetOwner(CKelGridOwner* pOwner) { m_pOwner = pOwner; }
    CKelGridOwner* GetOwner() const { return m_pOwner; }

    // ---- data-source interface, in slot order --------------------------------
    virtual void DrawGrid(platform::CDrawContext& dc);                                            // 0
    virtual void DrawCorner(platform::CDrawContext& dc, const platform::Rect& rc);                // 1
    virtual void DrawRow(platform::CDrawContext& dc, GridRow nRow, int y, const platform::Rect& rcClip);  // 2
    virtual void DrawCell(platform::CDrawContext& dc, int nCol, GridRow nRow, int x, int y);      // 3
    virtual void DrawColumnHeader(platform::CDrawContext& dc, int nCol, int nHeaderRow, int x, int y);  // 4
    virtual void DrawRowHeader(platform::CDrawContext& dc, int nFixedCol, GridRow nRow, int x, int y);  // 5
    virtual GridRow GetRowCount();                                                                // 6
    virtual int GetColumnCount(int nHeaderRow);                                                   // 7
    virtual int GetColumnWidth(int nCol, int nHeaderRow) = 0;                                     // 8
    virtual void SetColumnWidth(int nCol, int nHeaderRow, int nWidth) = 0;                        // 9
    virtual std::unique_ptr<CKelCellEditor> CreateCellEditor(int nCol, GridRow nRow, uint32_t nStyle, int nId);  // 10
    virtual void SetCellEditor(int nCol, GridRow nRow, std::unique_ptr<CKelCellEditor> pEditor);  // 11
    virtual void LoadCellEditor(int nCol, GridRow nRow, CKelCellEditor* pEditor);                 // 12
    virtual CKelCellEditor* GetCellEditor(int nCol, GridRow nRow);                                // 13
    virtual uint32_t GetCellEditorStyle(int nCol, GridRow nRow);                                  // 14
    virtual bool CommitCell(int nCol, GridRow nRow) = 0;                                          // 15
    virtual void OnCellCommitted(int nCol, GridRow nRow) = 0;                                     // 16
    virtual GridCellStyle GetCellStyle(int nCol, GridRow nRow);                                   // 17
    virtual bool HasCellImage(int nCol, GridRow nRow);                                            // 18
    virtual int GetCellImageKind(int nCol, GridRow nRow);                                         // 19
    virtual bool GetCellImageSize(int nCol, GridRow nRow, platform::Size& size);                  // 20
    virtual const platform::CPicture* GetCellImage(int nCol, GridRow nRow, bool bCurrent);        // 21
    virtual void GetCellImageListParams(int nCol, GridRow nRow, platform::ImageListDrawParams& params,
                                        bool bCurrent);                                           // 22
    virtual void OnCurrentCellChanged(int nCol, GridRow nRow);                                    // 23
    virtual void OnCurrentRowChanged(GridRow nRow);                                               // 24
    virtual GridCellFormat GetCellFormat(int nCol, GridRow nRow);                                 // 25
    virtual GridCellValue GetCellValue(int nCol, GridRow nRow);                                   // 26
    virtual GridCellValue GetColumnHeader(int nCol, int nHeaderRow) = 0;                          // 27
    virtual int GetFixedRowCount();                                                               // 28
    virtual int GetFixedColumnCount();                                                            // 29
    virtual void OnCornerClick();                                                                 // 30
    virtual void OnColumnHeaderClick(int nCol, int nHeaderRow);                                   // 31
    virtual void OnColumnHeaderUp(int nCol, int nHeaderRow);                                      // 32
    virtual void OnRowHeaderClick(int nFixedCol, GridRow nRow);                                   // 33
    virtual void OnRowHeaderUp(int nFixedCol, GridRow nRow);                                      // 34
    virtual void OnColumnHeaderDblClk(int nCol, int nHeaderRow);                                  // 35
    virtual void OnRowHeaderDblClk(int nFixedCol, GridRow nRow);                                  // 36
    virtual int GetColumnId(int nCol, GridRow nRow);                                              // 37

    // Why CommitCell refused the cell's value, for the user (UTF-8). The
    // default gives what the refusing CommitCell handed to SetCommitError;
    // an empty answer shows a general message.
    virtual std::string GetCommitError(int nCol, GridRow nRow);
    // For a CommitCell (or ValidateEditor's owner) that refuses: the reason
    // the grid shows once, with the editor kept open on the refused text.
    void SetCommitError(std::string strText) { m_strCommitError = std::move(strText); }

    // ---- drawing helpers for derived grids -----------------------------------
    bool DrawFrameCell(platform::CDrawContext& dc, const platform::Rect& rc, const GridCellFormat& format,
                       const GridCellValue& value);
    void DrawTextRightFit(platform::CDrawContext& dc, const std::string& strText, const platform::Rect& rc,
                          unsigned nFlags);
    void DrawRowHeaderButton(platform::CDrawContext& dc, int x, int y, int cx, int cy, bool bPressed, bool bPointer,
                             bool bFlat);
    void DrawFocusFrame(platform::CDrawContext& dc, const platform::Rect& rc, const GridFocusFrame& frame);

    // ---- geometry (absolute indexes, unscrolled pixels unless said) ---------
    int GetRowHeight() const { return m_nRowHeight; }
    int GetHeaderHeight() const { return m_nHeaderHeight; }
    int GetFixedColumnWidth() const { return m_nRowHeaderWidth; }
    int GetLinesPerRow() const { return m_nLinesPerRow; }
    void SetLinesPerRow(int nLines, bool bRedraw);
    GridPos GetTotalWidth() const { return m_nTotalWidth; }
    GridPos GetHorzExtent() const { return m_nHorzExtent; }
    GridPos GetVertExtent() const { return m_nVertExtent; }
    GridPos GetHorzPos() const { return m_nHorzPos; }
    GridPos GetVertPos() const { return m_nVertPos; }
    float GetHorzScale() const { return m_fHorzScale; }
    float GetVertScale() const { return m_fVertScale; }
    int GetPageWidth() const { return m_nPageWidth; }
    int GetPageHeight() const { return m_nPageHeight; }
    int GetLineWidth() const { return m_nLineWidth; }
    int GetLineHeight() const { return m_nLineHeight; }

    // Top of an absolute row before scrolling.
    GridPos RowTop(GridRow nRow);
    // The absolute row at an unscrolled y.
    GridRow RowAt(GridPos y);
    // Width of an absolute column (header row -1 for data rows).
    int AbsColumnWidth(int nCol, int nHeaderRow);
    // Left of an absolute column before scrolling.
    GridPos ColumnLeft(int nCol, int nHeaderRow);
    // The absolute column at an unscrolled x; one past the last when beyond.
    int ColumnAt(GridPos x, int nHeaderRow);
    // The screen rectangle of a cell including its border lines (absolute
    // indexes); false when it lies wholly above or left of the client area.
    bool GetCellRect(int nCol, GridRow nRow, platform::Rect& rc);
    // The data columns and rows a screen rectangle shows (absolute, clamped
    // to the data); false when it shows none.
    bool GetVisibleColumns(const platform::Rect& rc, int nHeaderRow, int& nFirst, int& nLast);
    bool GetVisibleRows(const platform::Rect& rc, GridRow& nFirst, GridRow& nLast);

    // ---- layout -----------------------------------------------------------------
    // Metrics from the fonts, extents and scale factors, scroll bars.
    void RecalcLayout();
    const platform::CFont& GetFont() const { return m_fontGrid; }
    const platform::CFont& GetHeaderFont() const { return m_pHeaderFont ? *m_pHeaderFont : m_fontGrid; }
    // A derived grid may draw headers in a font of its own (nullptr: the grid font).
    void SetHeaderFont(const platform::CFont* pFont) { m_pHeaderFont = pFont; }
    void SetFixedRowCount(int nCount, bool bRedraw);
    void SetFixedColumnCount(int nCount, bool bRedraw);
    void SetFixedColumnWidth(int nWidth, bool bRedraw);
    void SetExtraExtent(GridPos nWidth, GridPos nHeight, bool bRecalc);
    void SetSortIndicator(int nCol, int nHeaderRow, int nDirection);
    void GetSortIndicator(int& nCol, int& nHeaderRow, int& nDirection) const;
    void SetFocusFrame(platform::Color clrSecond, platform::Color clrFirst, bool bSolid);
    GridCellStyle& GetDefaultStyle() { return m_styleDefault; }

    // ---- current cell and selection ---------------------------------------------
    int GetCurrentColumn() const { return m_nCurCol; }   // absolute
    GridRow GetCurrentRow() const { return m_nCurRow; }  // absolute
    int GetSelectionEndColumn() const { return m_nEndCol; }
    GridRow GetSelectionEndRow() const { return m_nEndRow; }
    // The selection in data indexes.
    void GetSelection(int& nLeft, int& nRight, GridRow& nTop, GridRow& nBottom);
    bool SetCurrentCell(int nCol, GridRow nRow);
    bool MoveTo(int nCol, GridRow nRow);
    bool ExtendSelectionTo(int nCol, GridRow nRow);
    // Absolute indexes; right or bottom negative selects the current cell
    // alone. False, with nothing changed, when the pending edit is refused.
    bool SelectRangeAbs(int nLeft, int nRight, GridRow nTop, GridRow nBottom);
    // Data indexes; re-activates the current cell when it has an editor,
    // keeping the range.
    void SelectRange(int nLeft, int nRight, GridRow nTop, GridRow nBottom);
    // Ends the pending edit, true when the current cell may be left. A value
    // the owner refuses is never dropped by a user's action: the reason is
    // shown and the editor stays open on the refused text (false). Only a
    // window going away passes bDiscard, which throws a refused value away
    // and reloads the editor from the cell.
    bool EndEdit(bool bDiscard);
    // Ends the pending edit and shows the current cell's editor again in its
    // place, leaving the selection as it is (a window that changed size); a
    // value just refused and still open is only moved with its cell.
    void ReactivateCurrentCell();
    void PositionEditor(int nCol, GridRow nRow);
    // Data indexes.
    void InvalidateCell(int nCol, GridRow nRow);
    void InvalidateRow(GridRow nRow);

    // ---- scrolling and input ------------------------------------------------------
    bool ScrollBy(GridPos dx, GridPos dy, bool bDoScroll);
    bool ScrollTo(GridPos x, GridPos y);
    // Horizontal code in the low byte, vertical in the high byte, SB_NOCHANGE for none.
    void OnScroll(unsigned nCodes, int nThumb, bool bDoScroll);
    bool OnKeyDown(int nVirtKey);
    void OnLButtonDown(unsigned nFlags, int x, int y);
    void OnLButtonUp(unsigned nFlags, int x, int y);
    void OnMouseMove(unsigned nFlags, int x, int y);
    void OnLButtonDblClk(unsigned nFlags, int x, int y);
    void OnMouseWheel(unsigned nFlags, int nDelta);
    bool OnSetCursor(int nHitTest);
    bool IsResizing() const { return m_bResizing; }
    bool IsOverBorder() const { return m_bOverBorder; }

protected:
    uint32_t GetStyle() const { return m_pOwner ? m_pOwner->GetStyle() : 0; }
    bool HasStyle(uint32_t nBits) const { return (GetStyle() & nBits) != 0; }
    bool CanScroll(int nBar) const;
    bool IsDataCell(int nCol, GridRow nRow);
    platform::Size GetClientSize() const;
    int HeaderBand();      // F·H
    int RowHeaderBand();   // C·W
    // Screen y of an absolute data row's top edge, clamped into int range.
    GridPos ScreenRowTop(GridRow nRow);
    GridPos ScreenColumnLeft(int nCol, int nHeaderRow);

    // Repainting pieces of the window (absolute indexes).
    void RedrawCell(int nCol, GridRow nRow);
    void RedrawRowHeaders(GridRow nRow);
    void RedrawRowBand(GridRow nRow);
    void RedrawBlock(int nLeft, int nRight, GridRow nTop, GridRow nBottom);
    void RedrawCorner();
    void Invalidate(const platform::Rect& rc);
    void InvalidateAll();

    void RecalcMetrics();
    void RecalcExtents();
    void UpdateScrollBars();
    void ClampPositions();
    void MoveWindowContents(GridPos dx, GridPos dy);
    void ScrollCellIntoView(int nCol, GridRow nRow);
    void ClampCurrentCellToData();

    // Painting areas.
    void DrawDataArea(platform::CDrawContext& dc, const platform::Rect& rc);
    void DrawHeaderRows(platform::CDrawContext& dc, const platform::Rect& rc);
    void DrawRowHeaders(platform::CDrawContext& dc, const platform::Rect& rc);
    void DrawCellBorders(platform::CDrawContext& dc, const platform::Rect& rc, platform::Color clrLeft,
                         platform::Color clrTop, platform::Color clrRight, platform::Color clrBottom, bool bInset);
    void DrawSortArrow(platform::CDrawContext& dc, int x, int y, int cx, int cy, int nDirection);
    void DrawCellImage(platform::CDrawContext& dc, int nCol, GridRow nRow, bool bCurrent, platform::Rect& rc);

    // Mouse pieces.
    bool FindResizeBorder(int x, int nHeaderRow, int& nCol);
    void EndResize(int px);
    void ApplyResize(int px);
    // A width the user gave an absolute column (a row-header column sets W).
    void ApplyColumnWidth(int nCol, int nHeaderRow, int nWidth);
    // Fits a data column to the widest text of its header and visible cells.
    void FitColumnWidth(int nCol, int nHeaderRow);
    int MeasureColumnWidth(platform::CDrawContext& dc, int nCol, int nHeaderRow);
    bool SetCurrentCellImpl(int nCol, GridRow nRow, bool bKeepSelection);
    void ReportCommitError(int nCol, GridRow nRow);
    int FixedColumnAt(int px);
    int HeaderRowAt(int py);
    bool IsSelectionSingleCell() const;

    CKelGridOwner* m_pOwner = nullptr;

    bool m_bOverBorder = false;
    bool m_bResizing = false;
    int m_nResizeColumn = -1;
    int m_nResizeHeaderRow = -1;
    int m_nTrackX = -1;

    int m_nHeaderHeight = 16;
    int m_nRowHeight = 16;
    GridPos m_nTotalWidth = 0;
    int m_nLinesPerRow = 1;

    int m_nCurCol = 1;
    GridRow m_nCurRow = 1;
    int m_nEndCol = 1;
    GridRow m_nEndRow = 1;

    int m_nSortColumn = -1;
    bool m_bEditRefused = false;  // the last commit of the open editor was refused
    int m_nSortHeaderRow = -1;
    int m_nSortDirection = 2;

    platform::CFont m_fontGrid;
    const platform::CFont* m_pHeaderFont = nullptr;  // nullptr: the grid font

    GridPos m_nHorzExtent = 0;
    GridPos m_nVertExtent = 0;
    int m_nPageWidth = 0;
    int m_nPageHeight = 0;
    int m_nLineWidth = 0;
    int m_nLineHeight = 0;
    GridPos m_nExtraWidth = 0;
    GridPos m_nExtraHeight = 0;
    GridPos m_nHorzPos = 0;
    GridPos m_nVertPos = 0;
    float m_fHorzScale = 1.0f;
    float m_fVertScale = 1.0f;

    int m_nFixedRows = 1;
    int m_nFixedCols = 1;
    int m_nRowHeaderWidth = 8;

    int m_nPressedCol = -1;
    int m_nPressedHeaderRow = -1;
    int m_nPressedRowHeaderCol = -1;
    GridRow m_nPressedRow = -1;
    bool m_bCornerPressed = false;

    GridCellStyle m_styleDefault;

    // The selected block: absolute left column, top row, right column, bottom row.
    int m_nSelLeft = 1;
    GridRow m_nSelTop = 1;
    int m_nSelRight = 1;
    GridRow m_nSelBottom = 1;

    bool m_bInBarUpdate = false;
    int m_nWheelRemainder = 0;  // wheel units of smooth wheels not yet turned into lines
    std::string m_strCommitError;
};
