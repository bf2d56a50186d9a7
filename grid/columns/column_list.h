// The list of the Columns dialog: one row per entry of a column layout, with
// a check box that shows and hides the entry's column, the name of the field
// it shows and, in the editor's variant, the header text the column gets,
// edited in place. The list works on the dialog's copy of the layout and
// tells the dialog about every change with a posted command, so the dialog
// can update its buttons.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "grid/grid_ctrl.h"
#include "grid/grid_edit.h"
#include "platform/core/column_layout.h"

// Column identifiers (the field and header columns' are also their header
// strings' ids) and the header edit's control identifier.
enum ColumnListId : int {
    IDC_COLUMNS_CHECK = 1045,
    IDC_COLUMNS_FIELD = 1046,
    IDC_COLUMNS_HEAD = 1047,
    IDC_COLUMNS_HEAD_EDIT = 1000,
};

// The settings file keeps a header on one line of at most this many
// characters, so the header edit takes no more and no line break.
inline constexpr int kMaxColumnHeadLength = 254;

class CColumnList : public CKelGridCtrl {
    Q_OBJECT
public:
    // With bHeaderColumn the list has a header row and the editable header
    // column (the editor's list); without, only the check box and field
    // columns and no header row (the viewer's).
    explicit CColumnList(bool bHeaderColumn, QWidget* pParent = nullptr);
    ~CColumnList() override;

    // The control's Create, then the header edit.
    bool Create(uint32_t dwExStyle, uint32_t dwStyle, const platform::Rect& rc, QWidget* pParent, int nId);
    // The entries shown and edited, and the field names as they are shown
    // (neither owned). The row count follows the entries.
    void SetLayout(platform::ColumnLayout* pLayout, const std::vector<std::string>* pNames);
    // The command posted to the parent after each change the user makes.
    void SetNotifyCommand(unsigned nId) { m_nNotifyCommand = nId; }
    // Shares the width of the client area between the field and header
    // columns; without the header column the field column fills it, never
    // narrower than 178 pixels. Stops once the user drags a border.
    void FitColumns();

    // The width the columns need at least, before frame and scroll bar.
    int GetMinimumColumnsWidth() const;
    // The index of the current entry, or -1 without entries.
    int GetCurrentEntry();
    // Moves the current cell to another entry, keeping its column.
    void MoveToEntry(int nEntry);
    // Loads the current cell's editor again from its entry, after the entry
    // changed under it, and redraws the rows.
    void RefreshEntries();

    bool IsEditing() const { return m_bEditing; }
    // Opens the header edit on the current cell when it is in the header column.
    void StartEdit();
    // Commits any pending edit and leaves editing mode.
    void EndEditing();
    CKelGridEdit* GetHeadEdit() const { return m_pEditHead.get(); }

    // ---- data-source operations ---------------------------------------------------
    GridCellValue GetCellValue(int nCol, GridRow nRow) override;
    CKelCellEditor* GetCellEditor(int nCol, GridRow nRow) override;
    std::unique_ptr<CKelCellEditor> CreateCellEditor(int nCol, GridRow nRow, uint32_t nStyle, int nId) override;
    bool CommitCell(int nCol, GridRow nRow) override;
    void OnCurrentCellChanged(int nCol, GridRow nRow) override;
    // Enter in the header edit commits it and gives the list the keyboard back.
    bool PreTranslateMessage(QWidget* pTarget, QKeyEvent* pEvent) override;

protected:
    void keyPressEvent(QKeyEvent* pEvent) override;
    void focusInEvent(QFocusEvent* pEvent) override;
    void mouseDoubleClickEvent(QMouseEvent* pEvent) override;
    void resizeEvent(QResizeEvent* pEvent) override;

private:
    platform::ColumnInfo* Entry(GridRow nRow);
    bool IsHeadCell(int nCol) { return m_bHeaderColumn && GetColumnId(nCol, 0) == IDC_COLUMNS_HEAD; }
    // The check box was clicked: its state is the entry's at once.
    void OnCheckClicked();
    void NotifyParent();
    void PostKeyToEditor(const QKeyEvent* pEvent);

    bool m_bHeaderColumn;
    bool m_bEditing = false;
    // The columns follow the list's width until the user drags a border.
    bool m_bAutoFit = true;
    platform::ColumnLayout* m_pLayout = nullptr;
    const std::vector<std::string>* m_pNames = nullptr;
    unsigned m_nNotifyCommand = 0;
    std::unique_ptr<CKelGridEdit> m_pEditHead;
};
