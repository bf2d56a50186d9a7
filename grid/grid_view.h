// The grid as the view of a document window. It answers the frame through
// platform::CViewBase: the initial update opens the current cell's editor,
// commands run by their numeric ids, and the destroy step ends a pending
// edit. Focus handling waits for the frame to finish activating the view:
// the grid's part of it arrives after the focus event. As a pane of a
// splitter it drives the splitter's shared scroll bars instead of its own.
#pragma once

#include "grid/grid_host.h"

class CKelGridView : public CKelGridHost, public platform::CViewBase {
    Q_OBJECT
public:
    explicit CKelGridView(QWidget* pParent = nullptr);

    // ---- platform::CViewBase ------------------------------------------------------
    QWidget* GetViewWidget() override { return this; }
    void OnInitialUpdate() override;
    void OnUpdate(platform::CViewBase* pSender, intptr_t nHint) override;
    void OnDestroy() override { EndPendingEdit(); }
    bool OnCommand(unsigned nId) override { return CKelGridHost::OnCommand(nId); }
    bool OnUpdateCommand(platform::CCmdUI& cmdUI) override { return CKelGridHost::OnUpdateCommand(cmdUI); }
    bool HasCommandHandler(unsigned nId) const override { return CKelGridHost::m_commands.HasHandler(nId); }
    // None when the view shows that bar itself; the pane host's shared bar
    // for the pane's row (vertical) or column (horizontal) when the view is a
    // pane; otherwise none.
    QScrollBar* GetScrollBarCtrl(int nBar) const override;

    // The pane host forwards each action of a shared bar here.
    void OnSharedScrollBarAction(int nBar, int nAction) { OnScrollAction(nBar, nAction); }

    // ---- owner interface: shared bars stand in for the view's own ---------------------
    bool HasScrollBarControl(int nBar) const override;
    void ShowScrollBar(int nBar, bool bShow) override;

protected:
    // The view's command table (the grid's clipboard commands are in it).
    platform::CCommandMap& Commands() { return CKelGridHost::m_commands; }
    void focusInEvent(QFocusEvent* pEvent) override;
    QScrollBar* Bar(int nBar) const override;

private:
    // The host's bar for this pane, whatever the view shows itself.
    QScrollBar* SharedBar(int nBar) const;
};
