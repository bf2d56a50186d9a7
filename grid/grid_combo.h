// The combo-box editor of a grid cell: a drop-down list (CBS_DROPDOWNLIST) or
// an editable combo box (CBS_DROPDOWN) whose inner edit behaves like the cell
// edit. It draws itself: the grid's focus frame, the field in highlight
// colours while it has the focus, the chosen item's text and a square
// drop-down button, pushed while the list is open. The value of a cell is the
// item data of the chosen item; the owner fills the list after creation.
#pragma once

#include <QComboBox>
#include <QElapsedTimer>
#include <QPointer>

#include "grid/grid_edit.h"
#include "grid/widget_editor.h"

class CKelGridCombo;

class CKelGridComboBox : public QComboBox {
public:
    explicit CKelGridComboBox(CKelGridCombo& editor, QWidget* pParent = nullptr);

    void showPopup() override;
    void hidePopup() override;
    bool IsDropped() const { return m_bDropped; }
    // Where the inner edit sits once the box is placed over a cell.
    void SetInnerEditRect(const QRect& rc);
    // The square drop-down button at the right end.
    QRect GetButtonRect() const;

protected:
    bool event(QEvent* pEvent) override;
    // Watches the list's window for the mouse of the click on our button.
    bool eventFilter(QObject* pWatched, QEvent* pEvent) override;
    void paintEvent(QPaintEvent* pEvent) override;
    void resizeEvent(QResizeEvent* pEvent) override;
    void mousePressEvent(QMouseEvent* pEvent) override;
    // The wheel scrolls the grid, never the chosen item.
    void wheelEvent(QWheelEvent* pEvent) override;

private:
    bool HandleKeyPress(QKeyEvent* pEvent);
    void PlaceInnerEdit();

    CKelGridCombo& m_editor;
    bool m_bDropped = false;
    QRect m_rcInnerEdit;
    // The list window, once our button has opened it, and the press that
    // did: its release must not close the list again.
    QPointer<QWidget> m_pPopup;
    QElapsedTimer m_timerPress;
    bool m_bSwallowRelease = false;
};

class CKelGridCombo : public CKelLineEditor {
public:
    CKelGridCombo() = default;

    // With the flag set an unchanged box is made to look changed, so that
    // ending the edit commits it; clearing the flag accepts the text as it is.
    void SetModified(bool bModified) override;
    // CBS_DROPDOWNLIST gives a list to choose from, CBS_DROPDOWN and
    // CBS_SIMPLE an editable box with an inner edit (identifier 1001);
    // CBS_SORT keeps the list sorted.
    bool CreateEditor(uint32_t nStyle, CKelGridOwner* pParent, int nId) override;
    bool ShowEditor(int x, int y, int cx, int cy) override;
    bool HideEditor() override;
    // Value -1 shows the text (choosing the item of that text, if any);
    // another value chooses the last item whose data equals it.
    void SetEditorValue(const std::string& strText, int nValue) override;
    // The text and the data of the chosen item; -1 when the text is not an
    // item's text (typed into an editable box) or nothing is chosen.
    GridCellValue GetEditorValue() const override;
    bool IsModified() const override;
    // The inner edit's commands; a drop-down list copies its chosen item's text.
    bool CanCopy() const override;
    void Copy() override;
    CKelGridLineEdit* GetLineEdit() const override { return GetInnerEdit(); }
    QWidget* GetInputWidget() const override;

    // ---- the list ------------------------------------------------------------------
    // Adds an item; returns its index.
    int AddString(const std::string& strText, int nItemData = 0);
    void ResetContent();
    int GetCount() const;
    int GetCurSel() const;
    void SetCurSel(int nIndex);
    int GetItemData(int nIndex) const;
    std::string GetItemText(int nIndex) const;

    CKelGridComboBox* GetComboBox() const { return static_cast<CKelGridComboBox*>(GetWidget()); }
    // The inner edit of an editable box; nullptr for a drop-down list.
    CKelGridLineEdit* GetInnerEdit() const;
    // The text the box shows: the inner edit's, or the chosen item's.
    std::string GetWindowText() const;
    int GetSelectionFieldHeight() const { return m_nFieldHeight; }

private:
    std::string m_strSavedText;
    int m_nFieldHeight = 0;
};
