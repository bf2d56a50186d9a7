// The widget side shared by the in-place editors, the key helpers and the
// factory of the three standard editors.
#include "grid/widget_editor.h"

#include <QAbstractScrollArea>
#include <QCoreApplication>
#include <QKeyEvent>

#include "grid/grid_check.h"
#include "grid/grid_combo.h"
#include "grid/grid_edit.h"
#include "grid/grid_owner.h"

CKelWidgetEditor::~CKelWidgetEditor() { DestroyEditor(); }

bool CKelWidgetEditor::AttachWidget(QWidget* pWidget, CKelGridOwner* pParent, uint32_t nStyle, int nId) {
    std::unique_ptr<QWidget> pOwned(pWidget);
    // The owner interface hides the toolkit; a Qt grid window is a widget as well.
    QWidget* pGrid = dynamic_cast<QWidget*>(pParent);
    if (!pGrid)
        return false;
    auto* pScrollArea = qobject_cast<QAbstractScrollArea*>(pGrid);
    QWidget* pClient = pScrollArea ? pScrollArea->viewport() : pGrid;
    DestroyEditor();
    pWidget->setParent(pClient);
    pWidget->hide();
    pWidget->setEnabled(false);
    pWidget->setGeometry(0, 0, 0, 0);
    pWidget->setProperty("controlId", nId);
    m_pWidget = pOwned.release();
    m_pGrid = pGrid;
    m_nStyle = nStyle;
    m_nId = nId;
    WatchWidget(pWidget);
    return true;
}

void CKelWidgetEditor::WatchWidget(QWidget* pWidget) const {
    if (pWidget && m_pGrid)
        pWidget->installEventFilter(m_pGrid);
}

bool CKelWidgetEditor::SetEditorFont(const platform::CFont& font, bool) {
    m_font = font;
    if (m_pWidget)
        m_pWidget->setFont(m_font.GetQFont());
    return true;
}

bool CKelWidgetEditor::EnableEditor(bool bEnable) {
    if (m_pWidget)
        m_pWidget->setEnabled(bEnable);
    return true;
}

bool CKelWidgetEditor::HideEditor() {
    if (!m_pWidget)
        return true;
    m_pWidget->setEnabled(false);
    m_pWidget->hide();
    m_pWidget->setGeometry(0, 0, 0, 0);
    return true;
}

void CKelWidgetEditor::DestroyEditor() {
    QWidget* pWidget = m_pWidget;
    m_pWidget = nullptr;
    if (!pWidget)
        return;
    // The grid may be in the middle of handling one of this widget's events
    // (a commit run from a key the grid intercepted), so the widget goes once
    // control is back in the event loop; until then it is hidden, deaf and
    // still a child of the grid, which deletes it in any case.
    if (m_pGrid)
        pWidget->removeEventFilter(m_pGrid);
    for (QWidget* pChild : pWidget->findChildren<QWidget*>())
        if (m_pGrid)
            pChild->removeEventFilter(m_pGrid);
    pWidget->hide();
    pWidget->setEnabled(false);
    pWidget->deleteLater();
}

bool CKelWidgetEditor::IsEditorActive() const {
    return m_pWidget && !m_pWidget->testAttribute(Qt::WA_ForceDisabled);
}

bool CKelWidgetEditor::OwnsWidget(const QWidget* pWidget) const {
    if (!m_pWidget || !pWidget)
        return false;
    return pWidget == m_pWidget || m_pWidget->isAncestorOf(pWidget);
}

void CKelWidgetEditor::PostKeyToGrid(int nVirtKey, Qt::KeyboardModifiers modifiers) const {
    if (!m_pGrid)
        return;
    int nQtKey = QtKeyFromVirtualKey(nVirtKey);
    if (nQtKey == 0)
        return;
    // Shift+Tab travels as Qt's back-tab, as it does from the keyboard.
    if (nQtKey == Qt::Key_Tab && modifiers.testFlag(Qt::ShiftModifier))
        nQtKey = Qt::Key_Backtab;
    QCoreApplication::postEvent(m_pGrid, new QKeyEvent(QEvent::KeyPress, nQtKey, modifiers));
}

int QtKeyFromVirtualKey(int nVirtKey) {
    switch (nVirtKey) {
    case VK_TAB:
        return Qt::Key_Tab;
    case VK_RETURN:
        return Qt::Key_Return;
    case VK_PRIOR:
        return Qt::Key_PageUp;
    case VK_NEXT:
        return Qt::Key_PageDown;
    case VK_END:
        return Qt::Key_End;
    case VK_HOME:
        return Qt::Key_Home;
    case VK_LEFT:
        return Qt::Key_Left;
    case VK_UP:
        return Qt::Key_Up;
    case VK_RIGHT:
        return Qt::Key_Right;
    case VK_DOWN:
        return Qt::Key_Down;
    default:
        return 0;
    }
}

bool IsGridNavigationKey(int nQtKey) {
    switch (nQtKey) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_End:
    case Qt::Key_Home:
    case Qt::Key_Left:
    case Qt::Key_Up:
    case Qt::Key_Right:
    case Qt::Key_Down:
        return true;
    default:
        return false;
    }
}

bool CaretLeavesEdit(int nQtKey, const QString& strText, int nCaret) {
    if (strText.isEmpty())
        return true;
    if (nQtKey == Qt::Key_Left)
        return nCaret <= 0;
    if (nQtKey == Qt::Key_Right)
        return nCaret >= strText.size();
    return false;
}

std::unique_ptr<CKelCellEditor> CreateStandardCellEditor(int nKind) {
    switch (nKind) {
    case GEK_EDIT:
        return std::make_unique<CKelGridEdit>();
    case GEK_CHECK:
        return std::make_unique<CKelGridCheck>();
    case GEK_COMBO:
        return std::make_unique<CKelGridCombo>();
    default:
        return nullptr;
    }
}
