// The text editor of a grid cell: a frameless single-line edit over the cell.
// It keeps the grid's navigation: Tab goes to the next cell, Enter to the cell
// below, Page Up, Page Down, Home, End, Up and Down move the current cell, and
// Left and Right leave the cell once the caret reaches an end of the text.
// Escape takes back what was typed since the cell was loaded.
#pragma once

#include <QLineEdit>

#include "grid/widget_editor.h"

class CKelGridEdit;
class QKeyEvent;

// What the cell edit and the combo box share with a key pressed in them.
// HandKeyToGrid posts the keys that are the grid's and returns true for them:
// Tab and Shift+Tab, Enter (as the grid's Enter: the next row, or the edit
// ended in place on the last row), Page Up, Page Down, Home and End, Up and
// Down (not with Shift where bShiftArrowsWalkList: the combo box's list takes
// those), and Left and Right once the caret of pCaretEdit stands at that end
// of its text (always without an edit). SwallowsKeyRelease is true for the
// releases of those keys, whose presses the grid got.
bool HandKeyToGrid(const CKelWidgetEditor& editor, const QKeyEvent& key, const QLineEdit* pCaretEdit,
                   bool bShiftArrowsWalkList);
bool SwallowsKeyRelease(const QKeyEvent& key, bool bShiftArrowsWalkList);

// The line edit of CKelGridEdit, and the inner edit of an editable combo box.
class CKelGridLineEdit : public QLineEdit {
public:
    enum class Role { CellEdit, ComboEdit };
    CKelGridLineEdit(const CKelWidgetEditor& editor, Role role, QWidget* pParent = nullptr);

    // Undoes every change since the text was set or the history cleared.
    void UndoAll();
    // Pastes the clipboard's first line: a cell holds one line of text.
    void PasteLine();

protected:
    bool event(QEvent* pEvent) override;

private:
    bool HandleKeyPress(QKeyEvent* pEvent);

    const CKelWidgetEditor& m_editor;
    Role m_role;
};

// An editor whose text is in a CKelGridLineEdit (the cell edit, an editable
// combo box's inner edit): the clipboard commands act on that edit, and on
// nothing while there is none.
class CKelLineEditor : public CKelWidgetEditor {
public:
    virtual CKelGridLineEdit* GetLineEdit() const = 0;

    bool CanCut() const override;
    bool CanCopy() const override;
    bool CanPaste() const override;
    bool CanUndo() const override;
    void Cut() override;
    void Copy() override;
    void Paste() override;
    void Undo() override;
};

class CKelGridEdit : public CKelLineEditor {
public:
    CKelGridEdit() = default;

    CKelGridLineEdit* GetLineEdit() const override { return GetEdit(); }
    void SetModified(bool bModified) override;
    // Creates the edit: hidden, disabled, with an empty rectangle. The style's
    // ES_CENTER and ES_RIGHT align the text, ES_READONLY makes it read-only.
    bool CreateEditor(uint32_t nStyle, CKelGridOwner* pParent, int nId) override;
    bool ShowEditor(int x, int y, int cx, int cy) override;
    // Clears the modified flag and sets the text; the value is kept as given.
    void SetEditorValue(const std::string& strText, int nValue) override;
    GridCellValue GetEditorValue() const override;
    bool IsModified() const override;

    // The most characters the edit takes; 0 for no limit of its own.
    void SetLimitText(int nMax);
    CKelGridLineEdit* GetEdit() const { return static_cast<CKelGridLineEdit*>(GetWidget()); }
};
