// CDBFView: a table window's grid. It shows the visible records of its
// document's table as rows and the document's column layout as columns,
// gives each cell its text, stores typed texts back as field values through
// one cell store, edits cells in place with four editors chosen by field
// type, sorts on a header click, marks record states in the row header and
// toggles the delete mark from it. The commands of the Edit, Navigation and
// View menus are registered by the command groups (view_*.cpp) on this
// view's command table.
#pragma once

#include <memory>
#include <string>

#include <QPointer>

#include "engine/table_def.h"
#include "grid/grid_check.h"
#include "grid/grid_edit.h"
#include "grid/grid_view.h"
#include "platform/ui/picture.h"

class CDBFDoc;
class CGridPagePrinter;
class QDialog;

namespace dbf {
class CDBFMemoryCursorset;
}

// Grid column ids: the column of field f has id 100 + f.
inline constexpr int kFieldColumnIdBase = 100;

class CDBFView : public CKelGridView {
    Q_OBJECT
public:
    explicit CDBFView(QWidget* pParent = nullptr);
    ~CDBFView() override;

    CDBFDoc* GetDoc() const;
    dbf::CDBFMemoryCursorset* GetTable() const { return m_pTable; }

    // ---- the frame's entry points ------------------------------------------------------
    void OnInitialUpdate() override;
    void OnUpdate(platform::CViewBase* pSender, intptr_t nHint) override;
    void OnActivateView(bool bActivate) override;
    void OnDestroy() override;

    // ---- data-source operations ----------------------------------------------------------
    void DrawRowHeader(platform::CDrawContext& dc, int nFixedCol, GridRow nRow, int x, int y) override;
    void SetColumnWidth(int nCol, int nHeaderRow, int nWidth) override;
    CKelCellEditor* GetCellEditor(int nCol, GridRow nRow) override;
    bool CommitCell(int nCol, GridRow nRow) override;
    GridCellStyle GetCellStyle(int nCol, GridRow nRow) override;
    GridCellValue GetCellValue(int nCol, GridRow nRow) override;
    void OnColumnHeaderClick(int nCol, int nHeaderRow) override;
    void OnColumnHeaderUp(int nCol, int nHeaderRow) override;
    void OnRowHeaderDblClk(int nFixedCol, GridRow nRow) override;

    // ---- what the commands share -----------------------------------------------------------
    // The field a data column shows, or -1.
    int FieldOfColumn(int nCol);
    int32_t GetRecordCount() const;
    // The text a cell shows (display code page), "" when its record cannot be read.
    std::string GetCellText(int nField, int32_t nRow);
    // Stores a typed text into a field of a record (the cell store): false,
    // with the reason in *pstrError, when the text is no value of the field
    // or the field cannot be written; the record is then unchanged.
    bool StoreCellText(int nField, int32_t nRow, const std::string& strText, std::string* pstrError = nullptr);
    // Whether a record counts as deleted ("*" or "X").
    bool IsRowDeleted(int32_t nRow);
    // The row count from the table, the current cell clamped into the grid.
    void UpdateRowCount();
    // Closes this view's Find, Replace and Formulas dialogs.
    void CloseToolDialogs();
    // Ends the edit for a save or a close; false (editor left open) when
    // the value is refused.
    bool EndEditForDocument();
    // The current cell's field: name, letter, width, decimals; false without one.
    bool GetCurrentFieldInfo(dbf::DBFFieldInfo& info);
    // The status panes' texts ("" without a table).
    QString GetFieldPaneText();
    QString GetRecordPaneText();
    // The grid font's character height (-11, -13, -16).
    int GetFontHeight() const;
    void SetFontHeight(int nHeight);
    // Makes a data cell current (data indexes) and shows it.
    void GoToCell(int nCol, GridRow nRow);
    // The view's command table: the command groups (view_*.cpp) add to it.
    platform::CCommandMap& GetCommandMap() { return Commands(); }
    // The message of the last refused commit, "" when none.
    const std::string& GetLastRefusal() const { return m_strLastRefusal; }

    // Prints the grid (view_print.cpp).
    std::unique_ptr<CGridPagePrinter> m_pPrinter;

    // The tool dialogs (owned: closed with the view).
    QPointer<QDialog> m_pFindDlg;
    QPointer<QDialog> m_pReplaceDlg;
    QPointer<QDialog> m_pFormulaDlg;

protected:
    void keyPressEvent(QKeyEvent* pEvent) override;
    void mouseDoubleClickEvent(QMouseEvent* pEvent) override;
    void focusInEvent(QFocusEvent* pEvent) override;
    void contextMenuEvent(QContextMenuEvent* pEvent) override;

private:
    // Opens the editor of the current cell's field (typing, a double click).
    bool BeginEdit();
    CKelCellEditor* EditorForType(char cType);
    char FieldType(int nField) const;
    bool StandOn(int32_t nRow);
    void SortByColumn(int nCol, int nHeaderRow);
    void ToggleDeleteMark(int32_t nRow);
    void AddViewCommands();
    void AddCommandGroups();

    dbf::CDBFMemoryCursorset* m_pTable = nullptr;
    CKelGridEdit m_editText;
    CKelGridEdit m_editNumber;
    CKelGridEdit m_editDate;
    CKelGridCheck m_editLogical;
    bool m_bEditing = false;
    std::string m_strLastRefusal;
    platform::CPicture m_stateImages[4];
};
