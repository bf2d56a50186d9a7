// The text editor of a grid cell and the line edit it shares with the combo box.
#include "grid/grid_edit.h"

#include <algorithm>

#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QRegularExpression>

#include "grid/editor_styles.h"
#include "grid/grid_window.h"
#include "platform/ui/clipboard.h"

// ---- the line edit --------------------------------------------------------------

CKelGridLineEdit::CKelGridLineEdit(const CKelWidgetEditor& editor, Role role, QWidget* pParent)
    : QLineEdit(pParent), m_editor(editor), m_role(role) {
    setFrame(false);
    // A line edit keeps a margin of its own before the text; taking it back
    // puts the text where the grid paints it, so it does not jump when the
    // editor opens. The cell edit adjusts this to its alignment.
    setTextMargins(-2, 0, 0, 0);
}

void CKelGridLineEdit::UndoAll() {
    // Qt keeps typing in steps; the user pressing Escape wants the cell back
    // as it was loaded, not the last word taken out.
    while (isUndoAvailable())
        undo();
}

void CKelGridLineEdit::PasteLine() {
    if (isReadOnly())
        return;
    QString strText = QGuiApplication::clipboard()->text();
    qsizetype nBreak = strText.indexOf(QRegularExpression(QStringLiteral("[\r\n]")));
    if (nBreak >= 0)
        strText.truncate(nBreak);
    if (!strText.isEmpty() || hasSelectedText())
        insert(strText);
}

bool CKelGridLineEdit::event(QEvent* pEvent) {
    if (pEvent->type() == QEvent::KeyPress)
        return HandleKeyPress(static_cast<QKeyEvent*>(pEvent));
    if (pEvent->type() == QEvent::KeyRelease &&
        SwallowsKeyRelease(*static_cast<QKeyEvent*>(pEvent), m_role == Role::ComboEdit))
        return true;
    return QLineEdit::event(pEvent);
}

bool CKelGridLineEdit::HandleKeyPress(QKeyEvent* pEvent) {
    if (HandKeyToGrid(m_editor, *pEvent, this, m_role == Role::ComboEdit))
        return true;
    switch (pEvent->key()) {
    case Qt::Key_Escape:
        // Never passed on: a dialog around the grid would take it as Cancel.
        if (m_role == Role::CellEdit)
            UndoAll();
        return true;
    case Qt::Key_Up:
    case Qt::Key_Down:
        // Shift held in an editable combo box: the box walks its list.
        pEvent->ignore();
        return false;
    default:
        if (pEvent->matches(QKeySequence::Paste)) {
            PasteLine();
            return true;
        }
        break;
    }
    QLineEdit::event(pEvent);
    // Keys the edit has no use for stop here, as they would at a native edit,
    // instead of reaching the grid or a dialog behind it.
    pEvent->accept();
    return true;
}

bool HandKeyToGrid(const CKelWidgetEditor& editor, const QKeyEvent& key, const QLineEdit* pCaretEdit,
                   bool bShiftArrowsWalkList) {
    Qt::KeyboardModifiers modifiers = key.modifiers();
    int nKey = key.key();
    int nVirtKey = 0;
    switch (nKey) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        nVirtKey = VK_TAB;
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // The grid's Enter, not Down: on the last row, where there is no row
        // below, it still ends the edit.
        nVirtKey = VK_RETURN;
        break;
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_End:
    case Qt::Key_Home:
        nVirtKey = VirtualKeyFromQt(nKey);
        break;
    case Qt::Key_Up:
    case Qt::Key_Down:
        if (!(bShiftArrowsWalkList && modifiers.testFlag(Qt::ShiftModifier)))
            nVirtKey = VirtualKeyFromQt(nKey);
        break;
    case Qt::Key_Left:
    case Qt::Key_Right:
        if (!pCaretEdit || CaretLeavesEdit(nKey, pCaretEdit->text(), pCaretEdit->cursorPosition()))
            nVirtKey = VirtualKeyFromQt(nKey);
        break;
    default:
        break;
    }
    if (nVirtKey == 0)
        return false;
    editor.PostKeyToGrid(nVirtKey, modifiers);
    return true;
}

bool SwallowsKeyRelease(const QKeyEvent& key, bool bShiftArrowsWalkList) {
    bool bShiftArrow = bShiftArrowsWalkList && key.modifiers().testFlag(Qt::ShiftModifier) &&
                       (key.key() == Qt::Key_Up || key.key() == Qt::Key_Down);
    return IsGridNavigationKey(key.key()) && !bShiftArrow;
}

// ---- the clipboard commands of a line edit --------------------------------------

bool CKelLineEditor::CanCut() const {
    CKelGridLineEdit* pEdit = GetLineEdit();
    return pEdit && pEdit->hasSelectedText();
}

bool CKelLineEditor::CanCopy() const { return CanCut(); }

bool CKelLineEditor::CanPaste() const { return GetLineEdit() && platform::IsClipboardTextAvailable(); }

bool CKelLineEditor::CanUndo() const {
    CKelGridLineEdit* pEdit = GetLineEdit();
    return pEdit && pEdit->isUndoAvailable();
}

void CKelLineEditor::Cut() {
    if (CKelGridLineEdit* pEdit = GetLineEdit())
        pEdit->cut();
}

void CKelLineEditor::Copy() {
    if (CKelGridLineEdit* pEdit = GetLineEdit())
        pEdit->copy();
}

void CKelLineEditor::Paste() {
    if (CKelGridLineEdit* pEdit = GetLineEdit())
        pEdit->PasteLine();
}

void CKelLineEditor::Undo() {
    if (CKelGridLineEdit* pEdit = GetLineEdit())
        pEdit->undo();
}

// ---- the editor -------------------------------------------------------------------

bool CKelGridEdit::CreateEditor(uint32_t nStyle, CKelGridOwner* pParent, int nId) {
    auto* pEdit = new CKelGridLineEdit(*this, CKelGridLineEdit::Role::CellEdit);
    Qt::Alignment align = Qt::AlignLeft;
    if (nStyle & ES_RIGHT)
        align = Qt::AlignRight;
    else if (nStyle & ES_CENTER)
        align = Qt::AlignHCenter;
    pEdit->setAlignment(align | Qt::AlignVCenter);
    // Right-aligned text also has room for the caret after it.
    if (align == Qt::AlignRight)
        pEdit->setTextMargins(0, 0, -4, 0);
    else if (align == Qt::AlignHCenter)
        pEdit->setTextMargins(-2, 0, -3, 0);
    pEdit->setReadOnly((nStyle & ES_READONLY) != 0);
    return AttachWidget(pEdit, pParent, nStyle, nId);
}

bool CKelGridEdit::ShowEditor(int x, int y, int cx, int cy) {
    CKelGridLineEdit* pEdit = GetEdit();
    if (!pEdit)
        return false;
    pEdit->setGeometry(x + 2, y + 2, std::max(0, cx - 3), std::max(0, cy - 3));
    pEdit->setEnabled(true);
    pEdit->show();
    pEdit->setFocus(Qt::OtherFocusReason);
    // Selecting all leaves the caret at the end, which scrolls it into view.
    pEdit->selectAll();
    return true;
}

void CKelGridEdit::SetModified(bool bModified) {
    if (CKelGridLineEdit* pEdit = GetEdit())
        pEdit->setModified(bModified);
}

void CKelGridEdit::SetEditorValue(const std::string& strText, int nValue) {
    m_strText = strText;
    m_nValue = nValue;
    CKelGridLineEdit* pEdit = GetEdit();
    if (!pEdit)
        return;
    // Setting the text clears the undo history, so Escape goes back to this.
    pEdit->setText(ToWidgetText(strText));
    pEdit->setModified(false);
}

GridCellValue CKelGridEdit::GetEditorValue() const {
    CKelGridLineEdit* pEdit = GetEdit();
    if (!pEdit)
        return GridCellValue{m_strText, m_nValue};
    return GridCellValue{FromWidgetText(pEdit->text()), m_nValue};
}

bool CKelGridEdit::IsModified() const {
    CKelGridLineEdit* pEdit = GetEdit();
    return pEdit && pEdit->isModified();
}

void CKelGridEdit::SetLimitText(int nMax) {
    if (CKelGridLineEdit* pEdit = GetEdit())
        pEdit->setMaxLength(nMax > 0 ? nMax : 32767);
}
