// The combo-box editor: a QComboBox that paints itself the grid's way and
// hands the grid back its navigation keys.
#include "grid/grid_combo.h"

#include <algorithm>
#include <utility>

#include <QAbstractItemView>
#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include "grid/editor_styles.h"
#include "grid/grid_window.h"
#include "platform/ui/clipboard.h"
#include "platform/ui/draw_context.h"
#include "platform/ui/system_metrics.h"

using namespace platform;

// ---- the box --------------------------------------------------------------------

CKelGridComboBox::CKelGridComboBox(CKelGridCombo& editor, QWidget* pParent) : QComboBox(pParent), m_editor(editor) {
    setInsertPolicy(QComboBox::NoInsert);
    connect(this, &QComboBox::currentIndexChanged, this, [this] { update(); });
}

void CKelGridComboBox::showPopup() {
    m_bDropped = true;
    update();
    QComboBox::showPopup();
}

void CKelGridComboBox::hidePopup() {
    QComboBox::hidePopup();
    m_bDropped = false;
    update();
}

void CKelGridComboBox::SetInnerEditRect(const QRect& rc) {
    m_rcInnerEdit = rc;
    PlaceInnerEdit();
}

void CKelGridComboBox::PlaceInnerEdit() {
    QLineEdit* pEdit = lineEdit();
    if (pEdit && m_rcInnerEdit.isValid() && pEdit->geometry() != m_rcInnerEdit)
        pEdit->setGeometry(m_rcInnerEdit);
}

QRect CKelGridComboBox::GetButtonRect() const {
    // Inside the one-pixel focus frame, a square as high as the field.
    QRect rcInner = rect().adjusted(1, 1, -1, -1);
    int nSide = rcInner.height();
    int nLeft = std::max(rcInner.left(), rcInner.right() + 1 - nSide);
    return QRect(QPoint(nLeft, rcInner.top()), QPoint(rcInner.right(), rcInner.bottom()));
}

bool CKelGridComboBox::event(QEvent* pEvent) {
    switch (pEvent->type()) {
    case QEvent::KeyPress:
        return HandleKeyPress(static_cast<QKeyEvent*>(pEvent));
    case QEvent::KeyRelease:
        if (SwallowsKeyRelease(*static_cast<QKeyEvent*>(pEvent), true))
            return true;
        break;
    case QEvent::FocusIn:
    case QEvent::FocusOut: {
        bool bResult = QComboBox::event(pEvent);
        update();
        return bResult;
    }
    default:
        break;
    }
    bool bResult = QComboBox::event(pEvent);
    // The combo box lays its edit out by the style's rules on several
    // occasions; ours covers the field up to the square button.
    switch (pEvent->type()) {
    case QEvent::Show:
    case QEvent::Polish:
    case QEvent::FontChange:
    case QEvent::StyleChange:
    case QEvent::LayoutDirectionChange:
        PlaceInnerEdit();
        break;
    default:
        break;
    }
    return bResult;
}

bool CKelGridComboBox::HandleKeyPress(QKeyEvent* pEvent) {
    // Shift with Up or Down walks the list; Escape is swallowed.
    if (HandKeyToGrid(m_editor, *pEvent, m_editor.GetInnerEdit(), true) || pEvent->key() == Qt::Key_Escape)
        return true;
    QComboBox::event(pEvent);
    pEvent->accept();
    return true;
}

void CKelGridComboBox::paintEvent(QPaintEvent* pEvent) {
    QPainter painter(this);
    QRect rcPaint = pEvent->rect();
    CDrawContext dc(painter, Rect{rcPaint.left(), rcPaint.top(), rcPaint.right() + 1, rcPaint.bottom() + 1});
    dc.SetTextCodec(&m_editor.GetTextCodec());
    dc.SelectFont(&m_editor.GetFont());

    Rect rcClient{0, 0, width(), height()};
    GridFocusFrame frame{GetSysColor(COLOR_WINDOW), Rgb(0, 100, 200), true};
    if (const GridFocusFrame* pFrame = m_editor.GetFocusFrame())
        frame = *pFrame;
    if (frame.bSolid) {
        dc.FrameRect(rcClient, frame.clrSecond);
    } else {
        dc.FrameRect(rcClient, frame.clrFirst);
        dc.SetBkColor(frame.clrFirst);
        dc.SetTextColor(frame.clrSecond);
        dc.DrawFocusRect(rcClient);
    }

    Rect rcInner{1, 1, width() - 1, height() - 1};
    if (rcInner.IsEmpty())
        return;
    QWidget* pFocus = QApplication::focusWidget();
    bool bFocus = pFocus && (pFocus == this || isAncestorOf(pFocus));
    dc.FillSolidRect(rcInner, GetSysColor(bFocus ? COLOR_HIGHLIGHT : COLOR_WINDOW));

    QRect rcButtonQ = GetButtonRect();
    Rect rcButton{rcButtonQ.left(), rcButtonQ.top(), rcButtonQ.right() + 1, rcButtonQ.bottom() + 1};
    // The text starts where the grid paints the cell's.
    Rect rcText{rcInner.left, rcInner.top, rcButton.left, rcInner.bottom};
    if (!rcText.IsEmpty()) {
        std::string strText;
        if (currentIndex() >= 0)
            strText = m_editor.GetTextCodec().FromUnicode(itemText(currentIndex()));
        dc.SetBkMode(TRANSPARENT);
        dc.SetTextColor(GetSysColor(bFocus ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
        dc.DrawText(strText, rcText, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    }
    unsigned nState = DFCS_SCROLLCOMBOBOX;
    if (m_bDropped)
        nState |= DFCS_PUSHED;
    if (!isEnabled())
        nState |= DFCS_INACTIVE;
    if (!rcButton.IsEmpty())
        dc.DrawFrameControl(rcButton, DFC_SCROLL, nState);
}

void CKelGridComboBox::resizeEvent(QResizeEvent* pEvent) {
    QComboBox::resizeEvent(pEvent);
    PlaceInnerEdit();
}

void CKelGridComboBox::mousePressEvent(QMouseEvent* pEvent) {
    // The style would look for its own arrow; ours is the square button.
    if (isEditable() && pEvent->button() == Qt::LeftButton) {
        if (!GetButtonRect().contains(pEvent->position().toPoint())) {
            QComboBox::mousePressEvent(pEvent);
            return;
        }
        if (m_bDropped) {
            hidePopup();
        } else {
            showPopup();
            // The list opens on the press; the release that follows lands on
            // the list's window, which would take it as a click outside it.
            QWidget* pPopup = view()->window();
            if (pPopup != m_pPopup && pPopup != window()) {
                m_pPopup = pPopup;
                m_pPopup->installEventFilter(this);
            }
            m_bSwallowRelease = true;
            m_timerPress.start();
        }
        pEvent->accept();
        return;
    }
    QComboBox::mousePressEvent(pEvent);
}

bool CKelGridComboBox::eventFilter(QObject* pWatched, QEvent* pEvent) {
    if (pWatched != m_pPopup)
        return QComboBox::eventFilter(pWatched, pEvent);
    switch (pEvent->type()) {
    case QEvent::MouseButtonRelease:
        if (std::exchange(m_bSwallowRelease, false) && m_timerPress.elapsed() < QApplication::doubleClickInterval())
            return true;
        break;
    case QEvent::MouseButtonPress: {
        m_bSwallowRelease = false;
        // A press on our button while the list is open closes the list; it
        // must not then reach the box as well and open the list again.
        QPointF ptGlobal = static_cast<QMouseEvent*>(pEvent)->globalPosition();
        m_pPopup->setAttribute(Qt::WA_NoMouseReplay, GetButtonRect().contains(mapFromGlobal(ptGlobal).toPoint()));
        break;
    }
    default:
        break;
    }
    return QComboBox::eventFilter(pWatched, pEvent);
}

void CKelGridComboBox::wheelEvent(QWheelEvent* pEvent) { pEvent->ignore(); }

// ---- the editor ------------------------------------------------------------------

bool CKelGridCombo::CreateEditor(uint32_t nStyle, CKelGridOwner* pParent, int nId) {
    auto* pCombo = new CKelGridComboBox(*this);
    if ((nStyle & CBS_KINDMASK) != CBS_DROPDOWNLIST) {
        auto* pInner = new CKelGridLineEdit(*this, CKelGridLineEdit::Role::ComboEdit);
        pInner->setProperty("controlId", kComboInnerEditId);
        pCombo->setLineEdit(pInner);
        // Typed text stays as typed: no completion from the list.
        pCombo->setCompleter(nullptr);
    }
    if (!AttachWidget(pCombo, pParent, nStyle, nId))
        return false;
    WatchWidget(GetInnerEdit());
    return true;
}

CKelGridLineEdit* CKelGridCombo::GetInnerEdit() const {
    CKelGridComboBox* pCombo = GetComboBox();
    return pCombo ? static_cast<CKelGridLineEdit*>(pCombo->lineEdit()) : nullptr;
}

QWidget* CKelGridCombo::GetInputWidget() const {
    if (CKelGridLineEdit* pInner = GetInnerEdit())
        return pInner;
    return GetWidget();
}

bool CKelGridCombo::ShowEditor(int x, int y, int cx, int cy) {
    CKelGridComboBox* pCombo = GetComboBox();
    if (!pCombo)
        return false;
    // The field is as high as the row less the borders; the list drops below
    // it in a window of its own.
    m_nFieldHeight = cy - 7;
    pCombo->setGeometry(x + 1, y + 1, std::max(0, cx - 1), std::max(0, cy - 1));
    if (GetInnerEdit())
        pCombo->SetInnerEditRect(QRect(1, 1, std::max(0, cx - cy), std::max(0, cy - 3)));
    pCombo->setEnabled(true);
    if (cx - 3 >= 0)
        pCombo->show();
    pCombo->setFocus(Qt::OtherFocusReason);
    if (CKelGridLineEdit* pInner = GetInnerEdit())
        pInner->selectAll();
    return true;
}

bool CKelGridCombo::HideEditor() {
    if (CKelGridComboBox* pCombo = GetComboBox(); pCombo && pCombo->IsDropped())
        pCombo->hidePopup();
    return CKelWidgetEditor::HideEditor();
}

std::string CKelGridCombo::GetWindowText() const {
    if (CKelGridLineEdit* pInner = GetInnerEdit())
        return FromWidgetText(pInner->text());
    CKelGridComboBox* pCombo = GetComboBox();
    if (!pCombo || pCombo->currentIndex() < 0)
        return std::string();
    return FromWidgetText(pCombo->itemText(pCombo->currentIndex()));
}

void CKelGridCombo::SetEditorValue(const std::string& strText, int nValue) {
    m_strText = strText;
    m_nValue = nValue;
    CKelGridComboBox* pCombo = GetComboBox();
    if (!pCombo)
        return;
    QString strShown = ToWidgetText(strText);
    int nIndex = -1;
    if (nValue == -1) {
        nIndex = pCombo->findText(strShown, Qt::MatchExactly | Qt::MatchCaseSensitive);
    } else {
        for (int i = 0; i < pCombo->count(); ++i)
            if (pCombo->itemData(i).toInt() == nValue)
                nIndex = i;
    }
    pCombo->setCurrentIndex(nIndex);
    // The edit shows the cell's own text even when the list has no such item,
    // and even when the same item was chosen for the cell before.
    if (CKelGridLineEdit* pInner = GetInnerEdit())
        pInner->setText(nValue != -1 && nIndex >= 0 ? pCombo->itemText(nIndex) : strShown);
    m_strSavedText = GetWindowText();
}

GridCellValue CKelGridCombo::GetEditorValue() const {
    CKelGridComboBox* pCombo = GetComboBox();
    if (!pCombo)
        return GridCellValue{m_strText, m_nValue};
    int nIndex = pCombo->currentIndex();
    if (CKelGridLineEdit* pInner = GetInnerEdit()) {
        QString strTyped = pInner->text();
        if (nIndex < 0 || pCombo->itemText(nIndex) != strTyped)
            nIndex = pCombo->findText(strTyped, Qt::MatchExactly | Qt::MatchCaseSensitive);
    }
    int nData = nIndex >= 0 ? pCombo->itemData(nIndex).toInt() : -1;
    return GridCellValue{GetWindowText(), nData};
}

bool CKelGridCombo::IsModified() const { return GetComboBox() && GetWindowText() != m_strSavedText; }

void CKelGridCombo::SetModified(bool bModified) {
    std::string strText = GetWindowText();
    if (!bModified)
        m_strSavedText = strText;
    else if (strText == m_strSavedText)
        m_strSavedText = std::string(m_strSavedText.empty() ? 1 : 0, '_');
}

bool CKelGridCombo::CanCopy() const { return GetInnerEdit() ? CKelLineEditor::CanCopy() : !GetWindowText().empty(); }

void CKelGridCombo::Copy() {
    if (GetInnerEdit())
        CKelLineEditor::Copy();
    else
        SetClipboardText(GetWindowText(), m_codec);
}

// ---- the list ------------------------------------------------------------------------

int CKelGridCombo::AddString(const std::string& strText, int nItemData) {
    CKelGridComboBox* pCombo = GetComboBox();
    if (!pCombo)
        return -1;
    QString strItem = ToWidgetText(strText);
    int nIndex = pCombo->count();
    if (m_nStyle & CBS_SORT) {
        nIndex = 0;
        while (nIndex < pCombo->count() && QString::localeAwareCompare(pCombo->itemText(nIndex), strItem) <= 0)
            ++nIndex;
    }
    pCombo->insertItem(nIndex, strItem, nItemData);
    return nIndex;
}

void CKelGridCombo::ResetContent() {
    if (CKelGridComboBox* pCombo = GetComboBox())
        pCombo->clear();
}

int CKelGridCombo::GetCount() const { return GetComboBox() ? GetComboBox()->count() : 0; }

int CKelGridCombo::GetCurSel() const { return GetComboBox() ? GetComboBox()->currentIndex() : -1; }

void CKelGridCombo::SetCurSel(int nIndex) {
    if (CKelGridComboBox* pCombo = GetComboBox())
        pCombo->setCurrentIndex(nIndex >= 0 && nIndex < pCombo->count() ? nIndex : -1);
}

int CKelGridCombo::GetItemData(int nIndex) const {
    CKelGridComboBox* pCombo = GetComboBox();
    if (!pCombo || nIndex < 0 || nIndex >= pCombo->count())
        return -1;
    return pCombo->itemData(nIndex).toInt();
}

std::string CKelGridCombo::GetItemText(int nIndex) const {
    CKelGridComboBox* pCombo = GetComboBox();
    if (!pCombo || nIndex < 0 || nIndex >= pCombo->count())
        return std::string();
    return FromWidgetText(pCombo->itemText(nIndex));
}
