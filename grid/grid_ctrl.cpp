// The grid control: creation with window styles, and the key sorting that
// stands in for a dialog's message pre-translation.
#include "grid/grid_ctrl.h"

#include <QCoreApplication>
#include <QKeyEvent>

CKelGridCtrl::CKelGridCtrl(QWidget* pParent) : CKelGridHost(pParent) { ApplyExStyle(); }

bool CKelGridCtrl::Create(uint32_t dwExStyle, uint32_t dwStyle, const platform::Rect& rc, QWidget* pParent, int nId) {
    if (!pParent)
        return false;
    m_dwExStyle = dwExStyle != 0 ? dwExStyle : WS_EX_CLIENTEDGE;
    m_dwStyle = dwStyle | WS_CHILD | WS_VSCROLL | WS_HSCROLL;
    m_nId = nId;
    setParent(pParent);
    setProperty("controlId", nId);
    ApplyExStyle();
    setGeometry(rc.left, rc.top, rc.Width(), rc.Height());
    setEnabled((m_dwStyle & WS_DISABLED) == 0);
    setFocusPolicy(Qt::TabFocus);
    SetGridStyle(m_dwStyle & 0xFFFF);
    setVisible((m_dwStyle & WS_VISIBLE) != 0);
    RecalcLayout();
    ActivateCurrentCell();
    return true;
}

void CKelGridCtrl::ApplyExStyle() {
    if (m_dwExStyle & WS_EX_CLIENTEDGE) {
        setFrameShape(QFrame::StyledPanel);
        setFrameShadow(QFrame::Sunken);
    } else if (m_dwExStyle & WS_EX_STATICEDGE) {
        setFrameShape(QFrame::Panel);
        setFrameShadow(QFrame::Sunken);
        setLineWidth(1);
    } else if (m_dwExStyle & (WS_EX_WINDOWEDGE | WS_EX_DLGMODALFRAME)) {
        setFrameShape(QFrame::Panel);
        setFrameShadow(QFrame::Raised);
        setLineWidth(m_dwExStyle & WS_EX_DLGMODALFRAME ? 2 : 1);
    } else {
        setFrameShape(QFrame::NoFrame);
    }
}

bool CKelGridCtrl::PreTranslateKey(QWidget* pTarget, QKeyEvent* pEvent) { return PreTranslateMessage(pTarget, pEvent); }

bool CKelGridCtrl::PreTranslateMessage(QWidget* pTarget, QKeyEvent* pEvent) {
    int nKey = pEvent->key();
    bool bTab = nKey == Qt::Key_Tab || nKey == Qt::Key_Backtab;
    bool bEnter = nKey == Qt::Key_Return || nKey == Qt::Key_Enter;
    if (nKey == Qt::Key_Control || !pEvent->modifiers().testFlag(Qt::ControlModifier)) {
        if (!bTab && !bEnter)
            return false;
        // Tab and Enter are the grid's, whichever editor has the focus.
        QKeyEvent copy(QEvent::KeyPress, nKey, pEvent->modifiers(), pEvent->text(), pEvent->isAutoRepeat(),
                       static_cast<ushort>(pEvent->count()));
        QCoreApplication::sendEvent(this, &copy);
        return copy.isAccepted();
    }
    if (!bTab)
        return false;
    // Ctrl+Tab must not leave the grid: it goes on as an arrow key.
    bool bBack = nKey == Qt::Key_Backtab || pEvent->modifiers().testFlag(Qt::ShiftModifier);
    QKeyEvent arrow(QEvent::KeyPress, bBack ? Qt::Key_Up : Qt::Key_Down, pEvent->modifiers());
    QCoreApplication::sendEvent(pTarget, &arrow);
    return true;
}

void CKelGridCtrl::keyPressEvent(QKeyEvent* pEvent) {
    // A key with Ctrl held is not the grid's in a dialog: it goes on to the
    // dialog's own handling.
    if (pEvent->key() != Qt::Key_Control && pEvent->modifiers().testFlag(Qt::ControlModifier)) {
        pEvent->ignore();
        return;
    }
    CKelGridHost::keyPressEvent(pEvent);
}

void CKelGridCtrl::focusInEvent(QFocusEvent* pEvent) {
    QAbstractScrollArea::focusInEvent(pEvent);
    SetHasFocus(true);
    OnFocusIn(CurrentEditorOwning(TakeLostFocusWidget()));
}

void CKelGridCtrl::OnScrollAction(int nBar, int nAction) {
    GridPos nHorz = GetHorzPos(), nVert = GetVertPos();
    CKelGridHost::OnScrollAction(nBar, nAction);
    if (nHorz != GetHorzPos() || nVert != GetVertPos())
        SetFocus();
}
