// The memo cell's button.
#include "viewer/memo_button.h"

#include <algorithm>

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QPointer>

#include "grid/grid_window.h"
#include "platform/ui/draw_context.h"
#include "platform/ui/system_metrics.h"

using namespace platform;

CMemoButtonWidget::CMemoButtonWidget(CMemoButton& editor, QWidget* pParent) : QPushButton(pParent), m_editor(editor) {
    setFocusPolicy(Qt::StrongFocus);
    setAutoDefault(false);
    connect(this, &QPushButton::clicked, this, [this] { m_editor.RequestOpen(); });
}

bool CMemoButtonWidget::IsOpenKey(int nKey, Qt::KeyboardModifiers modifiers) {
    if (modifiers & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;
    return nKey == Qt::Key_Space || nKey == Qt::Key_F2;
}

bool CMemoButtonWidget::event(QEvent* pEvent) {
    const QEvent::Type type = pEvent->type();
    if (type == QEvent::KeyPress || type == QEvent::KeyRelease) {
        auto* pKey = static_cast<QKeyEvent*>(pEvent);
        const int nKey = pKey->key();
        if (IsGridNavigationKey(nKey)) {
            if (type == QEvent::KeyPress)
                m_editor.PostKeyToGrid(VirtualKeyFromQt(nKey), pKey->modifiers());
            return true;
        }
        if (IsOpenKey(nKey, pKey->modifiers())) {
            // A push button would click on the release; the memo opens on the press.
            if (type == QEvent::KeyPress && !pKey->isAutoRepeat())
                m_editor.RequestOpen();
            return true;
        }
        // Anything else is not the button's: Ctrl+C copies the cell, a lone
        // Shift does nothing at all.
        pEvent->ignore();
        return false;
    }
    return QPushButton::event(pEvent);
}

void CMemoButtonWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    Rect rc{0, 0, width(), height()};
    CDrawContext dc(painter, rc);
    dc.SelectFont(&m_editor.GetFont());
    unsigned nState = DFCS_BUTTONPUSH;
    if (isDown())
        nState |= DFCS_PUSHED;
    dc.DrawFrameControl(rc, DFC_BUTTON, nState);
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(GetSysColor(COLOR_BTNTEXT));
    Rect rcText = rc;
    if (isDown())
        rcText.Offset(1, 1);
    dc.DrawText("...", rcText, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

void CMemoButtonWidget::focusOutEvent(QFocusEvent* pEvent) {
    QPushButton::focusOutEvent(pEvent);
    m_editor.OnFocusLost(QApplication::focusWidget());
}

bool CMemoButton::CreateEditor(uint32_t nStyle, CKelGridOwner* pParent, int nId) {
    auto* pButton = new CMemoButtonWidget(*this);
    pButton->setText(QString());
    return AttachWidget(pButton, pParent, nStyle, nId);
}

bool CMemoButton::ShowEditor(int x, int y, int cx, int cy) {
    CMemoButtonWidget* pButton = GetButton();
    if (!pButton)
        return false;
    const int nSide = std::max(0, std::min(cy, cx));
    pButton->setGeometry(x + cx - nSide + 1, y + 1, std::max(0, nSide - 1), std::max(0, nSide - 1));
    pButton->setEnabled(true);
    pButton->show();
    QWidget* pFocus = QApplication::focusWidget();
    if (m_pGrid && (pFocus == m_pGrid.data() || pFocus == pButton))
        pButton->setFocus(Qt::OtherFocusReason);
    return true;
}

void CMemoButton::RequestOpen() {
    if (!m_open || !m_pGrid)
        return;
    // Posted: the dialog runs after the key or click that asked for it.
    OpenFunction open = m_open;
    QMetaObject::invokeMethod(m_pGrid, [open] { open(); }, Qt::QueuedConnection);
}

void CMemoButton::OnFocusLost(QWidget* pNewFocus) {
    if (m_focusLost && pNewFocus != m_pGrid.data())
        m_focusLost();
}
