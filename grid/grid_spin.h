// The numeric spin editor of a grid cell: an edit box for the number (the
// buddy) with a pair of arrow buttons (the up-down control) at the cell's
// right end. Whatever the user types is put back into the editor's range at
// once ("300" in 1..255 reads 255, "08" reads 8, nothing at all reads the
// lower bound); the arrows step the number inside the range. Arrow keys
// still move the grid's current cell, as in every other editor.
#pragma once

#include <string>
#include <string_view>

#include <QMetaObject>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include "grid/grid_edit.h"
#include "grid/widget_editor.h"

class CKelGridSpin;

// The leading decimal number of a text the way the C library reads one:
// white space, a sign and digits; 0 when there is none; saturated at the
// limits of int however many digits follow.
int LeadingDecimal(std::string_view text);

// The buddy edit: a cell edit that tells its change target about every
// change of its text by posting it command 768, except when the grid loads
// a value into it.
class CKelGridSpinEdit : public CKelGridEdit {
public:
    static constexpr unsigned kChangeCommand = 768;

    CKelGridSpinEdit() = default;
    ~CKelGridSpinEdit() override;

    bool CreateEditor(uint32_t nStyle, CKelGridOwner* pParent, int nId) override;
    void SetEditorValue(const std::string& strText, int nValue) override;
    void DestroyEditor() override;

    void SetChangeTarget(QObject* pTarget) { m_pChangeTarget = pTarget; }
    QObject* GetChangeTarget() const { return m_pChangeTarget; }

private:
    QPointer<QObject> m_pChangeTarget;
    QMetaObject::Connection m_changed;
    bool m_bLoading = false;
};

// The up-down control: two stacked arrow buttons drawn as the desktop draws
// them, which step the spin editor while pressed. It never takes the focus,
// so the buddy keeps the keyboard.
class CKelUpDownCtrl : public QWidget {
public:
    explicit CKelUpDownCtrl(CKelGridSpin* pSpin, QWidget* pParent = nullptr);

    // The editor goes before its window (which Qt deletes later): from then
    // on the window does nothing.
    void Detach() { m_pSpin = nullptr; }
    // Which button is held: +1 the upper, -1 the lower, 0 none.
    int GetPressedButton() const { return m_nPressed; }

protected:
    bool event(QEvent* pEvent) override;
    void paintEvent(QPaintEvent* pEvent) override;
    void mousePressEvent(QMouseEvent* pEvent) override;
    void mouseReleaseEvent(QMouseEvent* pEvent) override;
    void mouseMoveEvent(QMouseEvent* pEvent) override;

private:
    int ButtonAt(const QPoint& pt) const;
    void Step();

    CKelGridSpin* m_pSpin;
    int m_nPressed = 0;
    bool m_bOverPressed = false;
    QTimer m_repeat;
};

class CKelGridSpin : public CKelWidgetEditor {
public:
    CKelGridSpin() = default;
    ~CKelGridSpin() override;

    // ---- editor operations ----------------------------------------------------------
    bool SetEditorFont(const platform::CFont& font, bool bRedraw) override;
    void SetModified(bool bModified) override;
    bool EnableEditor(bool bEnable) override;
    // The buddy (right-aligned text) and then the up-down control, both with
    // an empty rectangle, hidden and disabled, under the same id.
    bool CreateEditor(uint32_t nStyle, CKelGridOwner* pParent, int nId) override;
    // The buttons at the cell's right end as wide as the cell is high less 5,
    // the buddy on the rest; both 2 pixels inside the cell's top and left.
    bool ShowEditor(int x, int y, int cx, int cy) override;
    bool HideEditor() override;
    // The text's leading number becomes the position and the buddy's text.
    void SetEditorValue(const std::string& strText, int nValue) override;
    // The buddy's text, with the value last loaded.
    GridCellValue GetEditorValue() const override;
    bool IsModified() const override;
    void DestroyEditor() override;
    QWidget* GetInputWidget() const override;
    bool OwnsWidget(const QWidget* pWidget) const override;

    // ---- the up-down control -------------------------------------------------------
    void SetRange(int nLower, int nUpper);
    int GetLower() const { return m_nLower; }
    int GetUpper() const { return m_nUpper; }
    void SetPos(int nPos) { m_nPos = nPos; }
    int GetPos() const { return m_nPos; }
    CKelGridSpinEdit& GetBuddy() { return m_buddy; }
    CKelUpDownCtrl* GetUpDown() const { return static_cast<CKelUpDownCtrl*>(GetWidget()); }

    // Command 768 from the buddy: the typed number is put into the range and
    // written back when it reads differently.
    void OnBuddyChanged();
    // An arrow was pressed: +1 up, -1 down.
    void OnDeltaPos(int nDelta);

private:
    void SetBuddyText(const std::string& strText);

    CKelGridSpinEdit m_buddy;
    bool m_bModified = false;
    int m_nLower = 0;
    int m_nUpper = 100;
    int m_nPos = 0;
};
