// The spin editor: the buddy edit, the up-down control and the editor that
// keeps the two together over a cell.
#include "grid/grid_spin.h"

#include <algorithm>
#include <climits>
#include <cstdio>

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QStyle>

#include "grid/editor_styles.h"
#include "platform/core/value_coercion.h"
#include "platform/ui/command_event.h"
#include "platform/ui/draw_context.h"

using namespace platform;

namespace {

std::string FormatInt(int n) {
    char sz[16];
    std::snprintf(sz, sizeof sz, "%d", n);
    return sz;
}

std::string TrimSpaces(std::string_view text) {
    size_t nFirst = text.find_first_not_of(' ');
    if (nFirst == std::string_view::npos)
        return std::string();
    size_t nLast = text.find_last_not_of(' ');
    return std::string(text.substr(nFirst, nLast - nFirst + 1));
}

}  // namespace

int LeadingDecimal(std::string_view text) {
    int64_t n = ParseCInteger(text.data(), text.size());
    return static_cast<int>(std::clamp<int64_t>(n, INT_MIN, INT_MAX));
}

// ---- the buddy --------------------------------------------------------------------

CKelGridSpinEdit::~CKelGridSpinEdit() { QObject::disconnect(m_changed); }

bool CKelGridSpinEdit::CreateEditor(uint32_t nStyle, CKelGridOwner* pParent, int nId) {
    if (!CKelGridEdit::CreateEditor(nStyle, pParent, nId))
        return false;
    m_changed = QObject::connect(GetEdit(), &QLineEdit::textChanged, GetEdit(), [this] {
        if (!m_bLoading && m_pChangeTarget)
            PostCommand(m_pChangeTarget, kChangeCommand, 0);
    });
    return true;
}

void CKelGridSpinEdit::SetEditorValue(const std::string& strText, int nValue) {
    // A value the grid loads is the cell's own, not a change by the user:
    // it is shown as it is and leaves the editor unmodified.
    m_bLoading = true;
    CKelGridEdit::SetEditorValue(strText, nValue);
    m_bLoading = false;
}

void CKelGridSpinEdit::DestroyEditor() {
    QObject::disconnect(m_changed);
    CKelGridEdit::DestroyEditor();
}

// ---- the up-down control ------------------------------------------------------

CKelUpDownCtrl::CKelUpDownCtrl(CKelGridSpin* pSpin, QWidget* pParent) : QWidget(pParent), m_pSpin(pSpin) {
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_repeat.setSingleShot(false);
    QObject::connect(&m_repeat, &QTimer::timeout, this, [this] {
        m_repeat.setInterval(std::max(10, style()->styleHint(QStyle::SH_SpinBox_ClickAutoRepeatRate, nullptr, this)));
        if (m_bOverPressed)
            Step();
    });
}

bool CKelUpDownCtrl::event(QEvent* pEvent) {
    if (const CCommandEvent* pCommand = AsCommand(pEvent)) {
        if (pCommand->GetId() == CKelGridSpinEdit::kChangeCommand && m_pSpin)
            m_pSpin->OnBuddyChanged();
        return true;
    }
    return QWidget::event(pEvent);
}

int CKelUpDownCtrl::ButtonAt(const QPoint& pt) const {
    if (!rect().contains(pt))
        return 0;
    return pt.y() < height() / 2 ? 1 : -1;
}

void CKelUpDownCtrl::Step() {
    if (m_pSpin && m_nPressed != 0)
        m_pSpin->OnDeltaPos(m_nPressed);
}

void CKelUpDownCtrl::paintEvent(QPaintEvent* pEvent) {
    QPainter painter(this);
    QRect rcPaint = pEvent->rect();
    CDrawContext dc(painter, Rect{rcPaint.left(), rcPaint.top(), rcPaint.right() + 1, rcPaint.bottom() + 1});
    int nHalf = height() / 2;
    unsigned nInactive = isEnabled() ? 0u : unsigned(DFCS_INACTIVE);
    Rect rcUp{0, 0, width(), nHalf};
    Rect rcDown{0, nHalf, width(), height()};
    bool bUpPushed = m_nPressed == 1 && m_bOverPressed;
    bool bDownPushed = m_nPressed == -1 && m_bOverPressed;
    dc.FillSolidRect(Rect{0, 0, width(), height()}, GetSysColor(COLOR_BTNFACE));
    if (!rcUp.IsEmpty())
        dc.DrawFrameControl(rcUp, DFC_SCROLL, DFCS_SCROLLUP | nInactive | (bUpPushed ? unsigned(DFCS_PUSHED) : 0u));
    if (!rcDown.IsEmpty())
        dc.DrawFrameControl(rcDown, DFC_SCROLL,
                            DFCS_SCROLLDOWN | nInactive | (bDownPushed ? unsigned(DFCS_PUSHED) : 0u));
}

void CKelUpDownCtrl::mousePressEvent(QMouseEvent* pEvent) {
    if (pEvent->button() != Qt::LeftButton || !isEnabled()) {
        QWidget::mousePressEvent(pEvent);
        return;
    }
    m_nPressed = ButtonAt(pEvent->position().toPoint());
    m_bOverPressed = m_nPressed != 0;
    update();
    Step();
    if (m_nPressed != 0)
        m_repeat.start(std::max(10, style()->styleHint(QStyle::SH_SpinBox_ClickAutoRepeatThreshold, nullptr, this)));
    pEvent->accept();
}

void CKelUpDownCtrl::mouseMoveEvent(QMouseEvent* pEvent) {
    if (m_nPressed == 0)
        return;
    // Held outside its button, a button stops stepping until the mouse is back.
    bool bOver = ButtonAt(pEvent->position().toPoint()) == m_nPressed;
    if (bOver != m_bOverPressed) {
        m_bOverPressed = bOver;
        update();
    }
}

void CKelUpDownCtrl::mouseReleaseEvent(QMouseEvent* pEvent) {
    if (pEvent->button() != Qt::LeftButton)
        return;
    m_repeat.stop();
    m_nPressed = 0;
    m_bOverPressed = false;
    update();
}

// ---- the editor --------------------------------------------------------------------

CKelGridSpin::~CKelGridSpin() { DestroyEditor(); }

bool CKelGridSpin::SetEditorFont(const CFont& font, bool bRedraw) {
    m_buddy.SetEditorFont(font, bRedraw);
    return CKelWidgetEditor::SetEditorFont(font, bRedraw);
}

void CKelGridSpin::SetModified(bool bModified) {
    m_bModified = bModified;
    if (!bModified)
        m_buddy.SetModified(false);
}

bool CKelGridSpin::EnableEditor(bool bEnable) {
    bool bBuddy = m_buddy.EnableEditor(bEnable);
    bool bUpDown = CKelWidgetEditor::EnableEditor(bEnable);
    return bBuddy && bUpDown;
}

bool CKelGridSpin::CreateEditor(uint32_t nStyle, CKelGridOwner* pParent, int nId) {
    // The up-down control first: attaching a window drops whatever the
    // editor had, the buddy included.
    if (!AttachWidget(new CKelUpDownCtrl(this), pParent, nStyle, nId))
        return false;
    if (!m_buddy.CreateEditor(WS_CHILD | ES_RIGHT, pParent, nId)) {
        DestroyEditor();
        return false;
    }
    // A click on the arrows would otherwise give the keyboard to the grid
    // behind them (and so end the edit); with the buddy as their focus
    // proxy, the buddy keeps it.
    GetUpDown()->setFocusProxy(m_buddy.GetEdit());
    return true;
}

bool CKelGridSpin::ShowEditor(int x, int y, int cx, int cy) {
    CKelUpDownCtrl* pUpDown = GetUpDown();
    CKelGridLineEdit* pEdit = m_buddy.GetEdit();
    if (!pUpDown || !pEdit)
        return false;
    int nButton = std::max(0, cy - 5);
    int nButtonLeft = std::max(x + cx - nButton - 1, x + 2);
    int nHeight = std::max(0, cy - 3);
    pUpDown->setGeometry(nButtonLeft, y + 2, nButton, nHeight);
    pEdit->setGeometry(x + 2, y + 2, std::max(0, nButtonLeft - x - 2), nHeight);
    pUpDown->setEnabled(true);
    pEdit->setEnabled(true);
    pUpDown->show();
    pEdit->show();
    pUpDown->update();
    // The buttons never take the focus; the number is typed into the buddy.
    pEdit->setFocus(Qt::OtherFocusReason);
    pEdit->selectAll();
    m_buddy.SetChangeTarget(pUpDown);
    return true;
}

bool CKelGridSpin::HideEditor() {
    if (CKelUpDownCtrl* pUpDown = GetUpDown())
        pUpDown->update();
    m_buddy.HideEditor();
    return CKelWidgetEditor::HideEditor();
}

void CKelGridSpin::SetEditorValue(const std::string& strText, int nValue) {
    m_strText = strText;
    m_nValue = nValue;
    int n = LeadingDecimal(strText);
    m_nPos = n;
    m_buddy.SetEditorValue(FormatInt(n), nValue);
    m_bModified = false;
}

GridCellValue CKelGridSpin::GetEditorValue() const { return m_buddy.GetEditorValue(); }

// The flag is set once the typed text has been put into the range; a key
// typed just before the grid ends the edit counts as a change already.
bool CKelGridSpin::IsModified() const { return m_bModified || m_buddy.IsModified(); }

void CKelGridSpin::DestroyEditor() {
    if (CKelUpDownCtrl* pUpDown = GetUpDown()) {
        pUpDown->Detach();
        pUpDown->setFocusProxy(nullptr);
    }
    m_buddy.SetChangeTarget(nullptr);
    m_buddy.DestroyEditor();
    CKelWidgetEditor::DestroyEditor();
}

QWidget* CKelGridSpin::GetInputWidget() const { return m_buddy.GetWidget(); }

bool CKelGridSpin::OwnsWidget(const QWidget* pWidget) const {
    return CKelWidgetEditor::OwnsWidget(pWidget) || m_buddy.OwnsWidget(pWidget);
}

void CKelGridSpin::SetRange(int nLower, int nUpper) {
    m_nLower = nLower;
    m_nUpper = nUpper;
}

void CKelGridSpin::SetBuddyText(const std::string& strText) {
    CKelGridLineEdit* pEdit = m_buddy.GetEdit();
    if (!pEdit)
        return;
    pEdit->setText(QString::fromLatin1(strText.data(), static_cast<qsizetype>(strText.size())));
    pEdit->selectAll();
}

void CKelGridSpin::OnBuddyChanged() {
    CKelGridLineEdit* pEdit = m_buddy.GetEdit();
    if (!pEdit)
        return;
    std::string strTrimmed = TrimSpaces(pEdit->text().toStdString());
    int n = LeadingDecimal(strTrimmed);
    if (n > m_nUpper)
        n = m_nUpper;
    else if (n < m_nLower)
        n = m_nLower;
    m_nPos = n;
    std::string strNumber = FormatInt(n);
    // Writing the number back raises another change, which finds it as
    // written and stops there.
    if (strTrimmed != strNumber)
        SetBuddyText(strNumber);
    m_bModified = true;
}

void CKelGridSpin::OnDeltaPos(int nDelta) {
    int64_t nNew = int64_t(m_nPos) + nDelta;
    if (nNew < m_nLower)
        nNew = m_nLower;
    if (nNew > m_nUpper)
        nNew = m_nUpper;
    m_nPos = static_cast<int>(nNew);
    SetBuddyText(FormatInt(m_nPos));
    m_bModified = true;
}
