// The grid window with its own engine: editor watching, clipboard commands,
// the codec, and the end of a pending edit before the window goes.
#include "grid/grid_host.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHideEvent>
#include <QKeyEvent>

#include "grid/widget_editor.h"

using platform::CCmdUI;

CKelGridHost::CKelGridHost(QWidget* pParent) : CKelGridWindow(pParent) {
    // The columns' editors are the standard Qt ones, children of this window.
    SetEditorFactory(&CreateStandardCellEditor);
    SetGrid(this);
    AddEditorCommand(platform::ID_EDIT_COPY, &CKelCellEditor::Copy, &CKelCellEditor::CanCopy);
    AddEditorCommand(platform::ID_EDIT_CUT, &CKelCellEditor::Cut, &CKelCellEditor::CanCut);
    AddEditorCommand(platform::ID_EDIT_PASTE, &CKelCellEditor::Paste, &CKelCellEditor::CanPaste);
    AddEditorCommand(platform::ID_EDIT_UNDO, &CKelCellEditor::Undo, &CKelCellEditor::CanUndo);
}

CKelGridHost::~CKelGridHost() {
    EndPendingEdit();
    // The engine part is destroyed before the window part: its editors'
    // windows go first, while the window they watch is whole, and the window
    // part must not reach back into an engine that is gone.
    DestroyEditors();
    SetGrid(nullptr);
}

void CKelGridHost::AddEditorCommand(unsigned nId, void (CKelCellEditor::*pfnRun)(),
                                    bool (CKelCellEditor::*pfnCan)() const) {
    m_commands.Add(
        nId,
        [this, pfnRun] {
            if (CKelCellEditor* pEditor = GetCurrentEditor())
                (pEditor->*pfnRun)();
        },
        [this, pfnCan](CCmdUI& cmdUI) {
            CKelCellEditor* pEditor = GetCurrentEditor();
            cmdUI.Enable(pEditor && (pEditor->*pfnCan)());
        });
}

CKelCellEditor* CKelGridHost::GetCurrentEditor() {
    return GetCellEditor(GetCurrentColumn() - GetFixedColumnCount(), GetCurrentRow() - GetFixedRowCount());
}

void CKelGridHost::ActivateCurrentCell() {
    int nCol = GetCurrentColumn() - GetFixedColumnCount();
    GridRow nRow = GetCurrentRow() - GetFixedRowCount();
    if (nCol < 0 || nCol >= GetColumnCount(-1) || nRow < 0 || nRow >= GetRowCount())
        return;
    CKelCellEditor* pEditor = GetCellEditor(nCol, nRow);
    if (!pEditor) {
        std::unique_ptr<CKelCellEditor> pNew = CreateCellEditor(nCol, nRow, GetCellEditorStyle(nCol, nRow), 0);
        if (!pNew)
            return;
        SetCellEditor(nCol, nRow, std::move(pNew));
        pEditor = GetCellEditor(nCol, nRow);
    }
    if (!pEditor)
        return;
    LoadCellEditor(nCol, nRow, pEditor);
    PositionEditor(GetCurrentColumn(), GetCurrentRow());
}

void CKelGridHost::SetTextCodec(const platform::CTextCodec& codec) {
    m_codec = codec;
    for (int i = 0; i < GetColumnCount(-1); ++i) {
        GridColumn* pColumn = GetColumn(i);
        if (auto* pEditor = pColumn ? dynamic_cast<CKelWidgetEditor*>(pColumn->pEditor.get()) : nullptr)
            pEditor->SetTextCodec(m_codec);
    }
    viewport()->update();
}

void CKelGridHost::EndPendingEdit() {
    if (GetGrid() == this)
        EndEdit(true);
}

void CKelGridHost::DestroyEditors() {
    for (int i = 0; i < GetColumnCount(-1); ++i)
        DestroyColumnEditor(i);
}

void CKelGridHost::DrawGrid(platform::CDrawContext& dc) {
    dc.SetTextCodec(&m_codec);
    CKelColumnGrid::DrawGrid(dc);
}

bool CKelGridHost::MeasureWith(const std::function<void(platform::CDrawContext&)>& fn) {
    return CKelGridWindow::MeasureWith([&](platform::CDrawContext& dc) {
        dc.SetTextCodec(&m_codec);
        fn(dc);
    });
}

std::unique_ptr<CKelCellEditor> CKelGridHost::CreateCellEditor(int nCol, GridRow nRow, uint32_t nStyle, int nId) {
    std::unique_ptr<CKelCellEditor> pEditor = CKelColumnGrid::CreateCellEditor(nCol, nRow, nStyle, nId);
    if (auto* pWidgetEditor = dynamic_cast<CKelWidgetEditor*>(pEditor.get()))
        pWidgetEditor->SetTextCodec(m_codec);
    return pEditor;
}

bool CKelGridHost::PreTranslateKey(QWidget*, QKeyEvent*) { return false; }

bool CKelGridHost::eventFilter(QObject* pWatched, QEvent* pEvent) {
    auto* pWidget = qobject_cast<QWidget*>(pWatched);
    if (!pWidget || !isAncestorOf(pWidget))
        return CKelGridWindow::eventFilter(pWatched, pEvent);
    switch (pEvent->type()) {
    case QEvent::KeyPress:
        return PreTranslateKey(pWidget, static_cast<QKeyEvent*>(pEvent));
    case QEvent::FocusOut: {
        // Qt names the new focus window before it tells the old one. An
        // editor loses the focus to this window, or to nobody when it is
        // hidden and this window takes the focus right after.
        QWidget* pNew = QApplication::focusWidget();
        m_pLostFocus = (pNew == this || pNew == nullptr) ? pWidget : nullptr;
        break;
    }
    default:
        break;
    }
    return CKelGridWindow::eventFilter(pWatched, pEvent);
}

QWidget* CKelGridHost::TakeLostFocusWidget() {
    QWidget* pLost = m_pLostFocus;
    m_pLostFocus = nullptr;
    return pLost;
}

const CKelCellEditor* CKelGridHost::CurrentEditorOwning(const QWidget* pWidget) {
    CKelCellEditor* pEditor = GetCurrentEditor();
    auto* pWidgetEditor = dynamic_cast<CKelWidgetEditor*>(pEditor);
    return pWidgetEditor && pWidgetEditor->OwnsWidget(pWidget) ? pEditor : nullptr;
}

void CKelGridHost::closeEvent(QCloseEvent* pEvent) {
    EndPendingEdit();
    CKelGridWindow::closeEvent(pEvent);
}

void CKelGridHost::hideEvent(QHideEvent* pEvent) {
    // A minimised window keeps its edit; one that is put away ends it.
    if (!pEvent->spontaneous())
        EndPendingEdit();
    CKelGridWindow::hideEvent(pEvent);
}
