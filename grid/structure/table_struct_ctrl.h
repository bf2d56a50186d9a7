// The table-structure grid: one row per field of a table definition's field
// list with its name, type, width and decimals, edited in place when the
// dialog allows it. Editing is a mode: a typed key, Enter or a double-click
// opens the cell's editor (the name edit, the type list or the number spin)
// and the mode ends whenever the grid itself takes the keyboard again, so
// moving to another cell ends it too. Every value is put within the limits of
// its field type as it is committed, straight into the field list, which the
// caller keeps or rolls back. The grid also prints itself with the grids'
// page printer, page by page with the header repeated, scaled to the paper.
#pragma once

#include <memory>
#include <string>

#include "engine/table_def.h"
#include "grid/grid_ctrl.h"
#include "grid/grid_edit.h"
#include "grid/grid_list.h"
#include "grid/grid_page_printer.h"
#include "grid/grid_spin.h"
#include "platform/core/page_layout.h"
#include "platform/ui/print_job.h"

// Column identifiers, which are also the string ids of the headers.
enum StructColumnId : int {
    IDC_STRUCT_NAME = 1000,
    IDC_STRUCT_TYPE = 1001,
    IDC_STRUCT_WIDTH = 1002,
    IDC_STRUCT_DECIMAL = 1003,
};

// Control identifiers of the editors (the spin's buddy shares its id).
inline constexpr int IDC_STRUCT_NAME_EDIT = 1000;
inline constexpr int IDC_STRUCT_TYPE_LIST = 1001;
inline constexpr int IDC_STRUCT_SIZE_SPIN = 1003;

// The command a grid posts to its parent when its current cell moved.
inline constexpr unsigned ID_STRUCT_CURRENT_CHANGED = 32774;

class CTablStructCtrl : public CKelGridCtrl, public platform::CPrintable {
    Q_OBJECT
public:
    explicit CTablStructCtrl(QWidget* pParent = nullptr);
    ~CTablStructCtrl() override;

    // The control's Create, followed by the editors: the name edit (at most
    // 10 characters), the type list with the five types every table has,
    // and the spin.
    bool Create(uint32_t dwExStyle, uint32_t dwStyle, const platform::Rect& rc, QWidget* pParent, int nId);

    // The table definition shown (not owned). The grid's row count is the
    // caller's to set.
    void SetTableDef(dbf::CDBFTableDef* pTableDef) { m_pTableDef = pTableDef; }
    dbf::CDBFTableDef* GetTableDef() const { return m_pTableDef; }
    // Read-only (the default): no editor is ever offered.
    void SetReadOnly(bool bReadOnly) { m_bReadOnly = bReadOnly; }
    bool IsReadOnly() const { return m_bReadOnly; }
    bool IsEditing() const { return m_bEditing; }
    // The index of the current field, or -1 without fields.
    int GetCurrentField();

    // Opens the current cell's editor, with the spin's range and position
    // taken from the field.
    void StartEdit();
    // Ends the pending edit, committing it, and leaves editing mode.
    void EndEditing();
    // Adds DateTime, Integer, Double and Currency to the type list.
    void AddVisualFoxProTypes();

    CKelGridEdit* GetNameEdit() const { return m_pEditName.get(); }
    CKelGridList* GetTypeList() const { return m_pComboType.get(); }
    CKelGridSpin* GetSizeSpin() const { return m_pSpinSize.get(); }

    // ---- data-source operations ---------------------------------------------------
    GridCellValue GetCellValue(int nCol, GridRow nRow) override;
    CKelCellEditor* GetCellEditor(int nCol, GridRow nRow) override;
    // The editor's text or choice into the field's descriptor, corrected to
    // what the field's type allows; always accepted.
    bool CommitCell(int nCol, GridRow nRow) override;
    void OnCurrentCellChanged(int nCol, GridRow nRow) override;
    // Enter ends the edit and opens the cell again, wherever it was typed.
    bool PreTranslateMessage(QWidget* pTarget, QKeyEvent* pEvent) override;

    // ---- printing ----------------------------------------------------------------------
    // Runs a print job of the grid; false when nothing was printed.
    bool PrintGrid();
    // The steps of the job, done by the page printer: the page from the
    // columns' widths (turning a printer nobody chose to landscape for a
    // wide grid), the pages offered, then the print dialog; the page fitted
    // to the printer; the header row and the page's fields, each cell
    // framed in black.
    bool OnPreparePrinting(platform::CPrintInfo& info) override { return m_printer.OnPreparePrinting(info); }
    void OnBeginPrinting(platform::CPrintInfo& info) override { m_printer.OnBeginPrinting(info); }
    void OnPrint(platform::CDrawContext& dc, platform::CPrintInfo& info) override { m_printer.OnPrint(dc, info); }
    const platform::CGridPageLayout& GetPageLayout() const { return m_printer.GetPageLayout(); }

protected:
    bool event(QEvent* pEvent) override;
    void keyPressEvent(QKeyEvent* pEvent) override;
    void focusInEvent(QFocusEvent* pEvent) override;
    void mouseDoubleClickEvent(QMouseEvent* pEvent) override;

private:
    bool IsField(GridRow nRow) const;
    void PostKeyToEditor(const QKeyEvent* pEvent);

    dbf::CDBFTableDef* m_pTableDef = nullptr;
    bool m_bReadOnly = true;
    bool m_bEditing = false;
    std::unique_ptr<CKelGridEdit> m_pEditName;
    std::unique_ptr<CKelGridList> m_pComboType;
    std::unique_ptr<CKelGridSpin> m_pSpinSize;
    CGridPagePrinter m_printer{*this, kEditorPrintOptions};
};

// ---- the width and decimals rules, for the grid and its tests ---------------------

// The descriptor after choosing the type of string id nTypeId (59400...) for
// it: the width kept where the type allows it, else limited or fixed, and the
// decimals within what the new width and type allow. An id that is no type
// of the list leaves it unchanged.
dbf::DBFFieldDesc ApplyFieldType(const dbf::DBFFieldDesc& desc, int nTypeId);
// The descriptor after typing nWidth as its width.
dbf::DBFFieldDesc ApplyFieldWidth(const dbf::DBFFieldDesc& desc, int nWidth);
// The descriptor after typing nDecimals as its decimals.
dbf::DBFFieldDesc ApplyFieldDecimals(const dbf::DBFFieldDesc& desc, int nDecimals);
// The width a field shows: byte 16 for B D F I N T Y, bytes 16-17 for the
// rest.
int FieldDisplayWidth(const dbf::DBFFieldDesc& desc);
