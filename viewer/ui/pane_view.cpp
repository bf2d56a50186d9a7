// The splitter pane: layout on the whole viewport, the wheel left alone.
#include "viewer/ui/pane_view.h"

#include <QWheelEvent>

#include "viewer/ui/splitter_wnd.h"

CKelPaneView::CKelPaneView(QWidget* pParent) : CKelGridView(pParent) {}

bool CKelPaneView::GetParentLayoutRect(platform::Rect& rc) const {
    if (!dynamic_cast<const platform::CScrollBarHost*>(parentWidget()))
        return false;
    rc = platform::Rect{0, 0, viewport()->width(), viewport()->height()};
    return true;
}

void CKelPaneView::wheelEvent(QWheelEvent* pEvent) {
    if (!m_bWheelEnabled) {
        // Taken and dropped: a parent that scrolls on the wheel must not get it.
        pEvent->accept();
        return;
    }
    CKelGridView::wheelEvent(pEvent);
    // The wheel moves this pane alone; its neighbours follow.
    if (auto* pSplitter = qobject_cast<CKelSplitterWnd*>(parentWidget()))
        pSplitter->SyncScrollPositions(this);
}
