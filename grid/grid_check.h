// The check-box editor of a grid cell. It draws its box exactly where and as
// the grid draws the cell's box, so starting an edit changes nothing on
// screen; a click on the cell over the box toggles it at once. Check states
// are 0 unchecked, 1 checked and 2 indeterminate (three-state buttons only).
#pragma once

#include <QCheckBox>

#include "grid/widget_editor.h"

class CKelGridCheck;

class CKelGridCheckBox : public QCheckBox {
public:
    explicit CKelGridCheckBox(CKelGridCheck& editor, QWidget* pParent = nullptr);

    // The state in the grid's numbering (0, 1, 2).
    int GetState() const;
    void SetState(int nState);
    // Where the box is drawn, in the window's coordinates.
    void SetBoxRect(const QRect& rc) { m_rcBox = rc; }
    QRect GetBoxRect() const { return m_rcBox; }

protected:
    bool event(QEvent* pEvent) override;
    void paintEvent(QPaintEvent* pEvent) override;
    // The whole window is the button, as a native check box's is.
    bool hitButton(const QPoint& pt) const override;
    // Unchecked, checked, then indeterminate for three-state buttons.
    void nextCheckState() override;

private:
    CKelGridCheck& m_editor;
    QRect m_rcBox{0, 0, 13, 13};
};

class CKelGridCheck : public CKelWidgetEditor {
public:
    CKelGridCheck() = default;

    // A click at (x, y) of the cell presses the box when it lands on it.
    void OnCellClick(int x, int y) override;
    // With the flag set a check box that has not changed is made to look
    // changed, so that ending the edit commits it; clearing the flag accepts
    // the state as it is.
    void SetModified(bool bModified) override;
    // The button type (the style's low four bits) decides between two and
    // three states; BS_FLAT draws a flat box.
    bool CreateEditor(uint32_t nStyle, CKelGridOwner* pParent, int nId) override;
    bool ShowEditor(int x, int y, int cx, int cy) override;
    // Value 1 checks the box; 2 makes it indeterminate on a three-state button
    // and unchecked on a two-state one; anything else unchecks it.
    void SetEditorValue(const std::string& strText, int nValue) override;
    // The text and the check state (0, 1 or 2).
    GridCellValue GetEditorValue() const override;
    bool IsModified() const override;
    // Accepts the current state as the saved one.
    bool ValidateEditor() override;

    bool IsThreeState() const;
    bool IsFlat() const;
    CKelGridCheckBox* GetButton() const { return static_cast<CKelGridCheckBox*>(GetWidget()); }

private:
    int m_nSavedState = 0;
    // Where the box window sits relative to the cell's top-left corner.
    int m_nOffsetX = 0;
    int m_nOffsetY = 0;
};
