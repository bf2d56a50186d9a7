// CDBFView: one pane of a Peekrow table window. It shows the records of its
// document's reader read only, one grid row per record in file order
// (deleted ones included, grey, with a mark in the row header), and one grid
// column per visible entry of the document's column list. Cell texts come
// from the reader one record at a time, so a table of any size costs the same.
// The view carries the commands of a table window: Copy, the DOS and Windows
// display, Find, the structure, Columns, the memo text and printing; the
// code-page choice is its window's, shared by every pane.
#pragma once

#include <memory>
#include <string>

#include <QString>

#include "grid/grid_page_printer.h"
#include "platform/ui/picture.h"
#include "viewer/memo_button.h"
#include "viewer/ui/pane_view.h"

class CChildFrame;
class CDBFDoc;
class CDBFFileReader;

class CDBFView : public CKelPaneView {
    Q_OBJECT
public:
    explicit CDBFView(QWidget* pParent = nullptr);
    ~CDBFView() override;

    CDBFDoc* GetDoc() const;
    // The table window the pane belongs to, or none (a view on its own).
    CChildFrame* GetFrame() const;
    // The reader while a table is open, else none.
    CDBFFileReader* GetReader() const;
    // The window's code-page choice (a view without a window keeps its own).
    bool IsDosCodePage() const;
    void SetDosCodePage(bool bDos);

    // ---- the frame's entry points ------------------------------------------------------
    // Builds the columns from the document's column list, the row count from
    // the reader; again whenever the layout changes. The columns it had go
    // first, and the current cell stays where it was, inside the new grid.
    void OnInitialUpdate() override;
    void OnDestroy() override;

    // ---- data-source operations ----------------------------------------------------------
    // The grid's paint, with the records read ahead for its length: the cells
    // and the row headers of a record then share one read, and the next paint
    // reads the file afresh.
    void DrawGrid(platform::CDrawContext& dc) override;
    void DrawRowHeader(platform::CDrawContext& dc, int nFixedCol, GridRow nRow, int x, int y) override;
    void SetColumnWidth(int nCol, int nHeaderRow, int nWidth) override;
    CKelCellEditor* GetCellEditor(int nCol, GridRow nRow) override;
    GridCellStyle GetCellStyle(int nCol, GridRow nRow) override;
    GridCellValue GetCellValue(int nCol, GridRow nRow) override;

    // ---- what the commands and tests share --------------------------------------------------
    int32_t GetRecordCount() const;
    // The field a data column shows, or -1; the data column of a field, or -1.
    int FieldOfColumn(int nCol);
    int ColumnOfField(int nField);
    // The current cell in data indexes (-1 when the grid has no data cell).
    int GetCurrentDataColumn();
    GridRow GetCurrentDataRow();
    // The text a cell shows (display code page; empty for a logical field).
    std::string GetCellText(int nCol, GridRow nRow);
    // Whether GetCellText of the current cell is not empty, read without
    // copying a memo's text.
    bool CurrentCellHasText();
    bool IsRecordDeleted(int32_t nRecord);
    // Makes a data cell current and shows it.
    void GoToCell(int nCol, GridRow nRow);
    // The status panes: "Record: 5/120" and "Field: C(20)" or "Field: N(10,2)".
    QString GetRecordPaneText();
    QString GetFieldPaneText();
    // After the window's code page changed: the editor's text again and a repaint.
    void OnCodePageChanged();

    // ---- commands ------------------------------------------------------------------------------
    void OnEditCopy();
    void ShowMemoInfo();
    void ShowStructure();
    void RunColumnsDialog();
    void OpenFind();
    CGridPagePrinter& GetPrinter() { return m_printer; }
    CMemoButton* GetMemoButton() const { return m_pMemoButton.get(); }

protected:
    void keyPressEvent(QKeyEvent* pEvent) override;
    void focusOutEvent(QFocusEvent* pEvent) override;

private:
    char FieldType(int nField) const;
    bool IsMemoColumn(int nCol);
    bool IsActivePane() const;
    // The width a column gets from its field's type and its header.
    // Both measure with dc, which has the grid's font selected.
    int TypeWidth(platform::CDrawContext& dc, char cType, unsigned nWidth, unsigned nDecimals, int nAverage,
                  int nMaxWidth);
    int TextWidth(platform::CDrawContext& dc, const std::string& strText);
    void AddCommands();

    platform::CPicture m_deletedMark;
    std::unique_ptr<CMemoButton> m_pMemoButton;
    CGridPagePrinter m_printer{*this, kViewerPrintOptions};
    bool m_bOwnDosCodePage = false;  // used only without a window
};
