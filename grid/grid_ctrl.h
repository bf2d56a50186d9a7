// The grid as a child control of a dialog. Keys are sorted before they reach
// the editors: Tab and Enter aimed at an editor run the grid's own key
// handling at once (next cell, next row), everything else typed into an
// editor is the editor's; keys with Ctrl held are left to the dialog.
#pragma once

#include "grid/grid_host.h"

// Extended and general window styles a control is created with.
inline constexpr uint32_t WS_EX_DLGMODALFRAME = 0x00000001;
inline constexpr uint32_t WS_EX_WINDOWEDGE = 0x00000100;
inline constexpr uint32_t WS_EX_CLIENTEDGE = 0x00000200;
inline constexpr uint32_t WS_EX_STATICEDGE = 0x00020000;
inline constexpr uint32_t WS_TABSTOP = 0x00010000;
inline constexpr uint32_t WS_DISABLED = 0x08000000;
inline constexpr uint32_t WS_VISIBLE = 0x10000000;

class CKelGridCtrl : public CKelGridHost {
    Q_OBJECT
public:
    explicit CKelGridCtrl(QWidget* pParent = nullptr);

    // Makes the control a child of pParent at rc. An extended style of 0 means
    // a sunken client edge; the style always gets the child and both
    // scroll-bar bits; WS_VISIBLE shows it. The current cell's editor is then
    // created, loaded and placed. False without a parent.
    bool Create(uint32_t dwExStyle, uint32_t dwStyle, const platform::Rect& rc, QWidget* pParent, int nId);
    uint32_t GetWindowStyle() const { return m_dwStyle; }
    uint32_t GetExStyle() const { return m_dwExStyle; }
    int GetDlgCtrlID() const { return m_nId; }

    // A key press on its way to pTarget, one of the editors' windows; true
    // when the grid consumed it. Derived controls add their own keys here.
    virtual bool PreTranslateMessage(QWidget* pTarget, QKeyEvent* pEvent);

protected:
    bool PreTranslateKey(QWidget* pTarget, QKeyEvent* pEvent) override;
    void keyPressEvent(QKeyEvent* pEvent) override;
    void focusInEvent(QFocusEvent* pEvent) override;
    // After a scroll that moved the contents the editor is hidden; the
    // control takes the focus back so the keyboard keeps working.
    void OnScrollAction(int nBar, int nAction) override;

private:
    void ApplyExStyle();

    uint32_t m_dwStyle = WS_CHILD | WS_VSCROLL | WS_HSCROLL;
    uint32_t m_dwExStyle = WS_EX_CLIENTEDGE;
    int m_nId = 0;
};
