// A grid view made to be a pane of Peekrow's splitter window. Its scroll bars
// are the splitter's shared ones, so it lays its rows and columns out on the
// whole of its viewport and keeps no room for bars of its own; and it ignores
// the mouse wheel, which scrolls no Peekrow window (the wheel can be turned
// back on for a view that wants it).
#pragma once

#include "grid/grid_view.h"

class CKelPaneView : public CKelGridView {
    Q_OBJECT
public:
    explicit CKelPaneView(QWidget* pParent = nullptr);

    void SetWheelEnabled(bool bEnabled) { m_bWheelEnabled = bEnabled; }
    bool IsWheelEnabled() const { return m_bWheelEnabled; }

    // ---- owner interface -------------------------------------------------------------
    // Inside a pane host the view's client area is all the room it has: the
    // host's bars lie outside it.
    bool GetParentLayoutRect(platform::Rect& rc) const override;

protected:
    void wheelEvent(QWheelEvent* pEvent) override;

private:
    bool m_bWheelEnabled = false;
};
