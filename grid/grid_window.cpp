// The Qt side of the grid's owner: events in, painting, scrolling and
// notifications out. The scroll bars never move themselves: every action on
// them is handed to the engine, which sets their position back, so the
// engine's 64-bit positions and scale factors stay the only truth.
#include "grid/grid_window.h"

#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>

#include "platform/ui/draw_context.h"
#include "platform/ui/message_box.h"
#include "platform/ui/system_metrics.h"

using platform::Rect;

int VirtualKeyFromQt(int nQtKey) {
    if (nQtKey >= Qt::Key_A && nQtKey <= Qt::Key_Z)
        return 0x41 + (nQtKey - Qt::Key_A);
    if (nQtKey >= Qt::Key_0 && nQtKey <= Qt::Key_9)
        return 0x30 + (nQtKey - Qt::Key_0);
    if (nQtKey >= Qt::Key_F1 && nQtKey <= Qt::Key_F24)
        return 0x70 + (nQtKey - Qt::Key_F1);
    switch (nQtKey) {
    case Qt::Key_Backspace:
        return VK_BACK;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return VK_TAB;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return VK_RETURN;
    case Qt::Key_Shift:
        return VK_SHIFT;
    case Qt::Key_Control:
        return VK_CONTROL;
    case Qt::Key_Alt:
        return VK_MENU;
    case Qt::Key_Escape:
        return VK_ESCAPE;
    case Qt::Key_Space:
        return VK_SPACE;
    case Qt::Key_PageUp:
        return VK_PRIOR;
    case Qt::Key_PageDown:
        return VK_NEXT;
    case Qt::Key_End:
        return VK_END;
    case Qt::Key_Home:
        return VK_HOME;
    case Qt::Key_Left:
        return VK_LEFT;
    case Qt::Key_Up:
        return VK_UP;
    case Qt::Key_Right:
        return VK_RIGHT;
    case Qt::Key_Down:
        return VK_DOWN;
    case Qt::Key_Insert:
        return VK_INSERT;
    case Qt::Key_Delete:
        return VK_DELETE;
    default:
        return 0;
    }
}

int ScrollCodeFromQtAction(int nAction) {
    switch (nAction) {
    case QAbstractSlider::SliderSingleStepAdd:
        return SB_LINEDOWN;
    case QAbstractSlider::SliderSingleStepSub:
        return SB_LINEUP;
    case QAbstractSlider::SliderPageStepAdd:
        return SB_PAGEDOWN;
    case QAbstractSlider::SliderPageStepSub:
        return SB_PAGEUP;
    case QAbstractSlider::SliderToMinimum:
        return SB_TOP;
    case QAbstractSlider::SliderToMaximum:
        return SB_BOTTOM;
    case QAbstractSlider::SliderMove:
        return SB_THUMBTRACK;
    default:
        return -1;
    }
}

CKelGridWindow::CKelGridWindow(QWidget* pParent) : QAbstractScrollArea(pParent) {
    setFrameShape(QFrame::StyledPanel);
    setFrameShadow(QFrame::Sunken);
    // Tab reaches the grid; a click does not by itself. The engine takes the
    // focus for the clicks it acts on, and one it ignores (below the last
    // row, a right click) must leave the open editor its keys.
    setFocusPolicy(Qt::TabFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // The grid paints every pixel of the viewport itself.
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setAttribute(Qt::WA_NoSystemBackground);
    viewport()->setAutoFillBackground(false);
    viewport()->setMouseTracking(true);
    connect(horizontalScrollBar(), &QScrollBar::actionTriggered, this,
            [this](int nAction) { OnScrollAction(SB_HORZ, nAction); });
    connect(verticalScrollBar(), &QScrollBar::actionTriggered, this,
            [this](int nAction) { OnScrollAction(SB_VERT, nAction); });
}

CKelGridWindow::~CKelGridWindow() {
    if (m_pGrid) {
        m_pGrid->EndEdit(true);
        m_pGrid->SetOwner(nullptr);
    }
}

void CKelGridWindow::SetGrid(CKelColumnGrid* pGrid) {
    if (m_pGrid)
        m_pGrid->SetOwner(nullptr);
    m_pGrid = pGrid;
    if (m_pGrid) {
        m_pGrid->SetOwner(this);
        m_pGrid->RecalcLayout();
    }
    viewport()->update();
}

void CKelGridWindow::SetGridStyle(uint32_t nStyle) {
    m_nGridStyle = nStyle & 0xFFFF;
    if (m_pGrid)
        m_pGrid->RecalcLayout();
    viewport()->update();
}

QScrollBar* CKelGridWindow::Bar(int nBar) const { return nBar == SB_HORZ ? horizontalScrollBar() : verticalScrollBar(); }

// ---- owner interface -------------------------------------------------------------

uint32_t CKelGridWindow::GetStyle() const {
    uint32_t nStyle = m_nGridStyle;
    if (IsScrollBarShown(SB_HORZ))
        nStyle |= WS_HSCROLL;
    if (IsScrollBarShown(SB_VERT))
        nStyle |= WS_VSCROLL;
    return nStyle;
}

platform::Size CKelGridWindow::GetClientSize() const { return platform::Size{viewport()->width(), viewport()->height()}; }

void CKelGridWindow::InvalidateRect(const Rect* pRect) {
    if (!pRect)
        viewport()->update();
    else if (!pRect->IsEmpty())
        viewport()->update(QRect(pRect->left, pRect->top, pRect->Width(), pRect->Height()));
}

void CKelGridWindow::ScrollWindow(int dx, int dy, const Rect& rcArea) {
    viewport()->scroll(dx, dy, QRect(rcArea.left, rcArea.top, rcArea.Width(), rcArea.Height()));
}

// Qt paints invalid areas when control returns to the event loop, which comes
// before any further input; nothing needs forcing here.
void CKelGridWindow::UpdateWindow() {}

void CKelGridWindow::ShowTrackingLine(int x) {
    int h = viewport()->height();
    if (m_nTrackX >= 0)
        viewport()->update(QRect(m_nTrackX, 0, 1, h));
    m_nTrackX = x;
    if (m_nTrackX >= 0)
        viewport()->update(QRect(m_nTrackX, 0, 1, h));
}

// While a button is held Qt already sends every mouse event to the widget
// that got the press, which is what capturing means here; the flag keeps the
// cursor test quiet meanwhile, as a captured mouse asks for no cursor.
void CKelGridWindow::SetCapture() { m_bCaptured = true; }
void CKelGridWindow::ReleaseCapture() { m_bCaptured = false; }

void CKelGridWindow::SetFocus() {
    if (!hasFocus())
        setFocus(Qt::OtherFocusReason);
}

void CKelGridWindow::SetCursorShape(int nCursor) {
    Qt::CursorShape shape = Qt::ArrowCursor;
    if (nCursor == IDC_COLUMNRESIZE)
        shape = Qt::SplitHCursor;
    else if (nCursor == IDC_SIZEWE)
        shape = Qt::SizeHorCursor;
    if (viewport()->cursor().shape() != shape)
        viewport()->setCursor(shape);
}

platform::Point CKelGridWindow::GetCursorPos() const { return platform::Point{m_ptMouse.x(), m_ptMouse.y()}; }

bool CKelGridWindow::IsKeyDown(int nVirtKey) const {
    if (nVirtKey == VK_SHIFT)
        return m_modifiers.testFlag(Qt::ShiftModifier);
    if (nVirtKey == VK_CONTROL)
        return m_modifiers.testFlag(Qt::ControlModifier);
    if (nVirtKey == VK_MENU)
        return m_modifiers.testFlag(Qt::AltModifier);
    return false;
}

unsigned CKelGridWindow::GetWheelScrollLines() const { return platform::GetWheelScrollLines(); }

intptr_t CKelGridWindow::SendNotify(unsigned nMessage, uintptr_t wParam, intptr_t lParam) {
    emit gridNotify(nMessage, static_cast<quintptr>(wParam), static_cast<qintptr>(lParam));
    return 0;
}

void CKelGridWindow::PostNotify(unsigned nMessage, uintptr_t wParam, intptr_t lParam) {
    QMetaObject::invokeMethod(
        this,
        [this, nMessage, wParam, lParam] {
            emit gridNotify(nMessage, static_cast<quintptr>(wParam), static_cast<qintptr>(lParam));
        },
        Qt::QueuedConnection);
}

bool CKelGridWindow::IsScrollBarShown(int nBar) const {
    Qt::ScrollBarPolicy policy = nBar == SB_HORZ ? horizontalScrollBarPolicy() : verticalScrollBarPolicy();
    return policy == Qt::ScrollBarAlwaysOn;
}

void CKelGridWindow::ShowScrollBar(int nBar, bool bShow) {
    Qt::ScrollBarPolicy policy = bShow ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff;
    if (nBar == SB_HORZ && horizontalScrollBarPolicy() != policy)
        setHorizontalScrollBarPolicy(policy);
    else if (nBar == SB_VERT && verticalScrollBarPolicy() != policy)
        setVerticalScrollBarPolicy(policy);
}

bool CKelGridWindow::SetScrollInfo(int nBar, int nMin, int nMax, int nPage, int nPos) {
    // Our maximum counts the page in; a Qt bar's maximum is the last position.
    QScrollBar* pBar = Bar(nBar);
    m_bSettingBars = true;
    pBar->setRange(nMin, std::max(nMin, nMax - nPage + 1));
    pBar->setPageStep(std::max(1, nPage));
    pBar->setSingleStep(std::max(1, nPage / 10));
    pBar->setValue(nPos);
    m_bSettingBars = false;
    return true;
}

void CKelGridWindow::SetScrollRange(int nBar, int nMin, int nMax) {
    m_bSettingBars = true;
    Bar(nBar)->setRange(nMin, std::max(nMin, nMax));
    m_bSettingBars = false;
}

void CKelGridWindow::SetScrollPos(int nBar, int nPos) {
    m_bSettingBars = true;
    Bar(nBar)->setValue(nPos);
    m_bSettingBars = false;
}

void CKelGridWindow::OnScrollAction(int nBar, int nAction) {
    if (!m_pGrid || m_bSettingBars)
        return;
    QWidget* pFocus = QApplication::focusWidget();
    bool bHadFocus = pFocus && (pFocus == this || isAncestorOf(pFocus));
    QScrollBar* pBar = Bar(nBar);
    int nProposed = pBar->sliderPosition();
    // Undo the bar's own move; the engine decides and sets the position.
    pBar->setSliderPosition(pBar->value());
    int nCode = ScrollCodeFromQtAction(nAction);
    if (nCode < 0)
        return;
    unsigned nCodes = nBar == SB_HORZ ? (static_cast<unsigned>(nCode) | 0xFF00u)
                                      : (0xFFu | (static_cast<unsigned>(nCode) << 8));
    m_pGrid->OnScroll(nCodes, nProposed, true);
    // The scroll hid the editor that had the keyboard; the grid keeps it, so
    // that the next key brings the editor back instead of going astray.
    QWidget* pNow = QApplication::focusWidget();
    if (bHadFocus && (!pNow || !pNow->isVisible()))
        SetFocus();
}

void CKelGridWindow::ShowCommitError(const std::string& strText) {
    if (m_bCommitErrorPending)
        return;
    m_bCommitErrorPending = true;
    QString strMessage = QString::fromUtf8(strText.data(), static_cast<qsizetype>(strText.size()));
    QMetaObject::invokeMethod(
        this,
        [this, strMessage] {
            platform::MessageBox(this, strMessage, platform::MB_OK | platform::MB_ICONWARNING);
            m_bCommitErrorPending = false;
        },
        Qt::QueuedConnection);
}

bool CKelGridWindow::MeasureWith(const std::function<void(platform::CDrawContext&)>& fn) {
    QImage image(1, 1, QImage::Format_RGB32);
    platform::CDrawContext dc(image);
    fn(dc);
    return true;
}

// ---- events -----------------------------------------------------------------------

void CKelGridWindow::RememberInput(const QInputEvent* pEvent) { m_modifiers = pEvent->modifiers(); }

unsigned CKelGridWindow::MouseFlags(const QMouseEvent* pEvent) const {
    unsigned nFlags = 0;
    if (pEvent->buttons() & Qt::LeftButton)
        nFlags |= MK_LBUTTON;
    if (pEvent->buttons() & Qt::RightButton)
        nFlags |= MK_RBUTTON;
    if (pEvent->buttons() & Qt::MiddleButton)
        nFlags |= MK_MBUTTON;
    if (pEvent->modifiers() & Qt::ShiftModifier)
        nFlags |= MK_SHIFT;
    if (pEvent->modifiers() & Qt::ControlModifier)
        nFlags |= MK_CONTROL;
    return nFlags;
}

void CKelGridWindow::paintEvent(QPaintEvent* pEvent) {
    QPainter painter(viewport());
    QRect r = pEvent->rect();
    platform::CDrawContext dc(painter, Rect{r.left(), r.top(), r.right() + 1, r.bottom() + 1}, true);
    if (m_pGrid)
        m_pGrid->DrawGrid(dc);
    else
        dc.FillSolidRect(Rect{r.left(), r.top(), r.right() + 1, r.bottom() + 1}, platform::GetSysColor(platform::COLOR_WINDOW));
    if (m_nTrackX >= 0)
        dc.InvertRect(Rect{m_nTrackX, 0, m_nTrackX + 1, viewport()->height()});
}

void CKelGridWindow::resizeEvent(QResizeEvent*) {
    if (!m_pGrid)
        return;
    m_pGrid->RecalcLayout();
    int C = m_pGrid->GetFixedColumnCount();
    GridRow F = m_pGrid->GetFixedRowCount();
    if (m_pGrid->GetCellEditor(m_pGrid->GetCurrentColumn() - C, m_pGrid->GetCurrentRow() - F))
        m_pGrid->ReactivateCurrentCell();
}

void CKelGridWindow::mousePressEvent(QMouseEvent* pEvent) {
    RememberInput(pEvent);
    m_ptMouse = pEvent->position().toPoint();
    if (!m_pGrid || pEvent->button() != Qt::LeftButton)
        return;
    // The cursor test runs before every press, as the border flag depends on it.
    m_pGrid->OnSetCursor(HTCLIENT);
    m_pGrid->OnLButtonDown(MouseFlags(pEvent), m_ptMouse.x(), m_ptMouse.y());
}

void CKelGridWindow::mouseReleaseEvent(QMouseEvent* pEvent) {
    RememberInput(pEvent);
    m_ptMouse = pEvent->position().toPoint();
    if (!m_pGrid || pEvent->button() != Qt::LeftButton)
        return;
    m_pGrid->OnLButtonUp(MouseFlags(pEvent), m_ptMouse.x(), m_ptMouse.y());
}

void CKelGridWindow::mouseMoveEvent(QMouseEvent* pEvent) {
    RememberInput(pEvent);
    m_ptMouse = pEvent->position().toPoint();
    if (!m_pGrid)
        return;
    if (!m_bCaptured && !m_pGrid->OnSetCursor(HTCLIENT))
        SetCursorShape(IDC_ARROW);
    m_pGrid->OnMouseMove(MouseFlags(pEvent), m_ptMouse.x(), m_ptMouse.y());
}

void CKelGridWindow::mouseDoubleClickEvent(QMouseEvent* pEvent) {
    RememberInput(pEvent);
    m_ptMouse = pEvent->position().toPoint();
    if (!m_pGrid || pEvent->button() != Qt::LeftButton)
        return;
    m_pGrid->OnSetCursor(HTCLIENT);
    m_pGrid->OnLButtonDblClk(MouseFlags(pEvent), m_ptMouse.x(), m_ptMouse.y());
}

void CKelGridWindow::wheelEvent(QWheelEvent* pEvent) {
    RememberInput(pEvent);
    if (!m_pGrid)
        return;
    int nDelta = pEvent->angleDelta().y();
    if (nDelta == 0)
        return;
    m_pGrid->OnMouseWheel(0, nDelta);
    pEvent->accept();
}

void CKelGridWindow::keyPressEvent(QKeyEvent* pEvent) {
    RememberInput(pEvent);
    if (pEvent->key() == Qt::Key_Backtab)
        m_modifiers |= Qt::ShiftModifier;
    int nKey = VirtualKeyFromQt(pEvent->key());
    if (nKey == 0 && !pEvent->text().isEmpty() && pEvent->text().at(0).isPrint())
        nKey = VK_PACKET;
    if (!m_pGrid || nKey == 0) {
        pEvent->ignore();
        return;
    }
    QWidget* pBefore = QApplication::focusWidget();
    if (m_pGrid->OnKeyDown(nKey)) {
        pEvent->accept();
        return;
    }
    // A key the grid does not use brings the current cell's editor back; it
    // is that editor's first input, not a key lost on the way.
    QWidget* pAfter = QApplication::focusWidget();
    if (pAfter && pAfter != pBefore && pAfter != this && isAncestorOf(pAfter)) {
        QKeyEvent copy(QEvent::KeyPress, pEvent->key(), pEvent->modifiers(), pEvent->text(), pEvent->isAutoRepeat(),
                       static_cast<ushort>(pEvent->count()));
        QCoreApplication::sendEvent(pAfter, &copy);
        pEvent->setAccepted(copy.isAccepted());
        return;
    }
    pEvent->ignore();
}

bool CKelGridWindow::event(QEvent* pEvent) {
    if (pEvent->type() == QEvent::KeyRelease)
        RememberInput(static_cast<QInputEvent*>(pEvent));
    return QAbstractScrollArea::event(pEvent);
}

void CKelGridWindow::focusInEvent(QFocusEvent* pEvent) {
    QAbstractScrollArea::focusInEvent(pEvent);
    if (!m_pGrid)
        return;
    m_pGrid->SetHasFocus(true);
    m_pGrid->OnFocusIn(nullptr);
}

void CKelGridWindow::focusOutEvent(QFocusEvent* pEvent) {
    if (m_pGrid)
        m_pGrid->SetHasFocus(false);
    QAbstractScrollArea::focusOutEvent(pEvent);
}

// Tab and Shift+Tab move between cells, not between windows.
bool CKelGridWindow::focusNextPrevChild(bool) { return false; }

// The engine moves the pixels itself (ScrollWindow); the scroll area must not.
void CKelGridWindow::scrollContentsBy(int, int) {}
