// The grid view: the frame's entry points, deferred focus handling and the
// scroll bars a splitter lends its panes.
#include "grid/grid_view.h"

#include <QPointer>
#include <QScrollBar>

CKelGridView::CKelGridView(QWidget* pParent) : CKelGridHost(pParent) {}

void CKelGridView::OnInitialUpdate() {
    OnUpdate(nullptr, 0);
    ActivateCurrentCell();
}

void CKelGridView::OnUpdate(platform::CViewBase*, intptr_t) {
    RecalcLayout();
    viewport()->update();
}

void CKelGridView::focusInEvent(QFocusEvent* pEvent) {
    QAbstractScrollArea::focusInEvent(pEvent);
    SetHasFocus(true);
    // Posted to ourselves: by the time it arrives the frame has finished
    // activating the view, and the flag says whether we still have the focus.
    QPointer<QWidget> pLost = TakeLostFocusWidget();
    QMetaObject::invokeMethod(
        this, [this, pLost] { OnFocusIn(CurrentEditorOwning(pLost)); }, Qt::QueuedConnection);
}

QScrollBar* CKelGridView::SharedBar(int nBar) const {
    auto* pHost = dynamic_cast<platform::CScrollBarHost*>(parentWidget());
    return pHost ? pHost->GetPaneScrollBar(this, nBar) : nullptr;
}

QScrollBar* CKelGridView::GetScrollBarCtrl(int nBar) const {
    if (IsScrollBarShown(nBar))
        return nullptr;
    return SharedBar(nBar);
}

bool CKelGridView::HasScrollBarControl(int nBar) const {
    QScrollBar* pBar = GetScrollBarCtrl(nBar);
    return pBar && pBar->isEnabled();
}

void CKelGridView::ShowScrollBar(int nBar, bool bShow) {
    if (QScrollBar* pShared = SharedBar(nBar)) {
        // A pane never shows a bar of its own; the shared one is enabled
        // while there is something to scroll.
        CKelGridHost::ShowScrollBar(nBar, false);
        pShared->setEnabled(bShow);
        return;
    }
    CKelGridHost::ShowScrollBar(nBar, bShow);
}

QScrollBar* CKelGridView::Bar(int nBar) const {
    if (QScrollBar* pShared = GetScrollBarCtrl(nBar))
        return pShared;
    return CKelGridHost::Bar(nBar);
}
