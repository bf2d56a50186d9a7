// The check-box editor: a QCheckBox that paints itself with the grid's frame
// control, in the grid's place for the box.
#include "grid/grid_check.h"

#include <algorithm>

#include <QKeyEvent>
#include <QPaintEvent>
#include <QPainter>

#include "grid/editor_styles.h"
#include "grid/grid_window.h"
#include "platform/ui/draw_context.h"
#include "platform/ui/system_metrics.h"

using namespace platform;

namespace {

constexpr int kBox = 13;

Qt::CheckState ToQtState(int nState) {
    switch (nState) {
    case BST_CHECKED:
        return Qt::Checked;
    case BST_INDETERMINATE:
        return Qt::PartiallyChecked;
    default:
        return Qt::Unchecked;
    }
}

}  // namespace

// ---- the button ----------------------------------------------------------------

CKelGridCheckBox::CKelGridCheckBox(CKelGridCheck& editor, QWidget* pParent) : QCheckBox(pParent), m_editor(editor) {}

int CKelGridCheckBox::GetState() const {
    switch (checkState()) {
    case Qt::Checked:
        return BST_CHECKED;
    case Qt::PartiallyChecked:
        return BST_INDETERMINATE;
    default:
        return BST_UNCHECKED;
    }
}

void CKelGridCheckBox::SetState(int nState) {
    if (nState == BST_INDETERMINATE && !isTristate())
        nState = BST_UNCHECKED;
    setCheckState(ToQtState(nState));
}

void CKelGridCheckBox::nextCheckState() {
    int nState = GetState();
    if (nState == BST_UNCHECKED)
        SetState(BST_CHECKED);
    else if (nState == BST_CHECKED && isTristate())
        SetState(BST_INDETERMINATE);
    else
        SetState(BST_UNCHECKED);
}

bool CKelGridCheckBox::hitButton(const QPoint& pt) const { return rect().contains(pt); }

bool CKelGridCheckBox::event(QEvent* pEvent) {
    if (pEvent->type() == QEvent::KeyPress) {
        auto* pKey = static_cast<QKeyEvent*>(pEvent);
        int nKey = pKey->key();
        if (IsGridNavigationKey(nKey)) {
            // Enter keeps its meaning here: the grid moves to the next row.
            m_editor.PostKeyToGrid(VirtualKeyFromQt(nKey), pKey->modifiers());
            return true;
        }
        QCheckBox::event(pEvent);
        pEvent->accept();
        return true;
    }
    return QCheckBox::event(pEvent);
}

void CKelGridCheckBox::paintEvent(QPaintEvent* pEvent) {
    QPainter painter(this);
    QRect rcPaint = pEvent->rect();
    CDrawContext dc(painter, Rect{rcPaint.left(), rcPaint.top(), rcPaint.right() + 1, rcPaint.bottom() + 1});
    dc.SetTextCodec(&m_editor.GetTextCodec());
    dc.SelectFont(&m_editor.GetFont());
    Rect rcAll{0, 0, width(), height()};
    dc.FillSolidRect(rcAll, GetSysColor(COLOR_WINDOW));

    unsigned nState = DFCS_BUTTONCHECK;
    if (m_editor.IsFlat())
        nState |= DFCS_FLAT;
    if (isDown())
        nState |= DFCS_PUSHED;
    if (!isEnabled())
        nState |= DFCS_INACTIVE;
    int nCheck = GetState();
    if (nCheck == BST_CHECKED)
        nState |= DFCS_CHECKED;
    else if (nCheck == BST_INDETERMINATE)
        nState |= DFCS_CHECKED | DFCS_BUTTON3STATE;
    Rect rcBox{m_rcBox.left(), m_rcBox.top(), m_rcBox.right() + 1, m_rcBox.bottom() + 1};
    rcBox = rcBox.Intersected(rcAll);
    if (!rcBox.IsEmpty())
        dc.DrawFrameControl(rcBox, DFC_BUTTON, nState);

    std::string strText = m_editor.GetTextCodec().FromUnicode(text());
    if (strText.empty())
        return;
    Rect rcText{15, 0, width(), height()};
    dc.SetTextColor(GetSysColor(isEnabled() ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT));
    dc.SetBkMode(TRANSPARENT);
    std::string strShown = " " + strText;
    dc.DrawText(strShown, rcText, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    if (hasFocus()) {
        Rect rcFocus = rcText;
        dc.DrawText(strShown, rcFocus, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_CALCRECT);
        int nTextHeight = rcFocus.Height();
        rcFocus.top = (height() - nTextHeight) / 2;
        rcFocus.bottom = rcFocus.top + nTextHeight;
        rcFocus.right = std::min(rcFocus.right + 1, width());
        dc.SetTextColor(GetSysColor(COLOR_WINDOWTEXT));
        dc.SetBkColor(GetSysColor(COLOR_WINDOW));
        dc.DrawFocusRect(rcFocus);
    }
}

// ---- the editor ------------------------------------------------------------------

bool CKelGridCheck::IsThreeState() const {
    uint32_t nType = m_nStyle & BS_TYPEMASK;
    return nType == BS_3STATE || nType == BS_AUTO3STATE;
}

bool CKelGridCheck::IsFlat() const { return (m_nStyle & BS_FLAT) != 0; }

bool CKelGridCheck::CreateEditor(uint32_t nStyle, CKelGridOwner* pParent, int nId) {
    auto* pButton = new CKelGridCheckBox(*this);
    uint32_t nType = nStyle & BS_TYPEMASK;
    pButton->setTristate(nType == BS_3STATE || nType == BS_AUTO3STATE);
    pButton->setText(QString());
    return AttachWidget(pButton, pParent, nStyle, nId);
}

bool CKelGridCheck::ShowEditor(int x, int y, int cx, int cy) {
    CKelGridCheckBox* pButton = GetButton();
    if (!pButton)
        return false;
    int nLeft = x + 2, nWidth = cx - 3;
    if (pButton->text().isEmpty()) {
        nLeft = x + 2 + std::max(0, (cx - 16) / 2);
        nWidth = std::min(cx - 3, kBox);
    }
    int nTop = y + 2, nHeight = cy - 3;
    // The box goes where the grid draws it: centred in the cell's text
    // rectangle for a box alone, at its left end before a text.
    int nTextLeft = x + 2, nTextWidth = cx - 3;
    int nBoxLeft = pButton->text().isEmpty() ? nTextLeft + (nTextWidth - kBox) / 2 : nTextLeft;
    int nBoxTop = nTop + (nHeight - kBox) / 2;
    pButton->SetBoxRect(QRect(nBoxLeft - nLeft, nBoxTop - nTop, kBox, kBox));
    m_nOffsetX = nLeft - x;
    m_nOffsetY = nTop - y;
    pButton->setGeometry(nLeft, nTop, std::max(0, nWidth), std::max(0, nHeight));
    pButton->setEnabled(true);
    pButton->show();
    pButton->setFocus(Qt::OtherFocusReason);
    return true;
}

void CKelGridCheck::OnCellClick(int x, int y) {
    CKelGridCheckBox* pButton = GetButton();
    if (!pButton || !pButton->isVisible())
        return;
    QPoint pt(x - m_nOffsetX, y - m_nOffsetY);
    if (pButton->rect().contains(pt))
        pButton->click();
}

void CKelGridCheck::SetModified(bool bModified) {
    CKelGridCheckBox* pButton = GetButton();
    int nState = pButton ? pButton->GetState() : (m_nValue > 0 ? m_nValue : 0);
    if (!bModified)
        m_nSavedState = nState;
    else if (nState == m_nSavedState)
        m_nSavedState = nState > 0 ? BST_UNCHECKED : BST_CHECKED;
}

void CKelGridCheck::SetEditorValue(const std::string& strText, int nValue) {
    m_strText = strText;
    m_nValue = nValue;
    CKelGridCheckBox* pButton = GetButton();
    if (!pButton)
        return;
    pButton->setText(ToWidgetText(strText));
    int nState = BST_UNCHECKED;
    if (nValue == BST_CHECKED)
        nState = BST_CHECKED;
    else if (nValue == BST_INDETERMINATE && IsThreeState())
        nState = BST_INDETERMINATE;
    pButton->SetState(nState);
    m_nSavedState = pButton->GetState();
}

GridCellValue CKelGridCheck::GetEditorValue() const {
    CKelGridCheckBox* pButton = GetButton();
    if (!pButton)
        return GridCellValue{m_strText, m_nValue};
    return GridCellValue{FromWidgetText(pButton->text()), pButton->GetState()};
}

bool CKelGridCheck::IsModified() const {
    CKelGridCheckBox* pButton = GetButton();
    return pButton && pButton->GetState() != m_nSavedState;
}

bool CKelGridCheck::ValidateEditor() {
    if (CKelGridCheckBox* pButton = GetButton())
        m_nSavedState = pButton->GetState();
    return true;
}
