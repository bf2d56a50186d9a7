// The table window: the splitter and its panes, the shared code-page choice,
// the Find dialog, and the stored placement.
#include "viewer/child_frame.h"

#include <algorithm>

#include <QCloseEvent>
#include <QMdiArea>

#include "platform/ui/command_ids.h"
#include "platform/ui/main_frame.h"
#include "platform/ui/win_app.h"
#include "viewer/dbf_doc.h"
#include "viewer/dbf_view.h"
#include "viewer/find_dlg.h"
#include "viewer/placement_store.h"
#include "viewer/toolbar_icons.h"
#include "viewer/ui/splitter_wnd.h"

CChildFrame::CChildFrame(CDBFDoc& document, QWidget* pParent) : platform::CChildFrame(document, pParent) {
    setWindowIcon(PeekrowIcon());
    m_bDosCodePage = document.IsTableOpen() && document.IsDosTextByDefault();
    m_pSplitter = new CKelSplitterWnd(this);
    SetClient(m_pSplitter);
    // Panes are views of the document from the moment they exist: a pane
    // made by a split runs its initial update before the splitter tells
    // anyone about it.
    connect(m_pSplitter, &CKelSplitterWnd::paneDeleting, this, [this](CKelGridView* pPane) {
        if (auto* pView = dynamic_cast<platform::CViewBase*>(pPane))
            RemoveView(pView);
    });
    connect(m_pSplitter, &CKelSplitterWnd::activePaneChanged, this, [this](CKelGridView* pPane) {
        if (auto* pView = dynamic_cast<platform::CViewBase*>(pPane))
            SetActiveView(pView);
    });
    m_pSplitter->Create([this](CKelSplitterWnd*, int, int) -> CKelGridView* { return CreatePane(); });
    if (CKelGridView* pFirst = m_pSplitter->GetPane(0, 0))
        SetActiveView(static_cast<CDBFView*>(pFirst));

    for (unsigned nId : {unsigned(platform::ID_WINDOW_SPLIT), unsigned(platform::ID_NEXT_PANE),
                         unsigned(platform::ID_PREV_PANE)})
        m_commands.Add(
            nId, [this, nId] { m_pSplitter->OnCommand(nId); },
            [this](platform::CCmdUI& ui) { m_pSplitter->OnUpdateCommand(ui); });
}

CChildFrame::~CChildFrame() {
    if (m_pFindDlg)
        delete m_pFindDlg.data();
}

CDBFDoc* CChildFrame::GetDoc() const { return dynamic_cast<CDBFDoc*>(GetDocument()); }

CDBFView* CChildFrame::GetActivePane() const { return dynamic_cast<CDBFView*>(GetActiveView()); }

CDBFView* CChildFrame::CreatePane() {
    auto* pView = new CDBFView(m_pSplitter);
    AddView(pView);
    return pView;
}

void CChildFrame::SetDosCodePage(bool bDos) {
    if (m_bDosCodePage == bDos)
        return;
    m_bDosCodePage = bDos;
    for (platform::CViewBase* pView : GetViews())
        if (auto* pPane = dynamic_cast<CDBFView*>(pView))
            pPane->OnCodePageChanged();
}

void CChildFrame::OpenFindDialog() {
    if (m_pFindDlg) {
        m_pFindDlg->hide();
        m_pFindDlg->deleteLater();
    }
    platform::CWinApp* pApp = platform::CWinApp::Get();
    QWidget* pOwner = pApp && pApp->GetMainWnd() ? static_cast<QWidget*>(pApp->GetMainWnd()) : window();
    m_pFindDlg = new CFindDlg(*this, pOwner);
    m_pFindDlg->EnsureInitialized();
    m_pFindDlg->adjustSize();
    // At the right of the area the table windows live in, a third of the
    // way down, rather than over the first columns and rows the user reads;
    // the advanced form has room to grow below it.
    if (QMdiArea* pArea = mdiArea()) {
        const QPoint ptRight = pArea->mapToGlobal(QPoint(pArea->width(), pArea->height() / 3));
        m_pFindDlg->move(std::max(0, ptRight.x() - m_pFindDlg->frameGeometry().width() - 24),
                         std::max(0, ptRight.y() - m_pFindDlg->frameGeometry().height() / 2));
    }
    m_pFindDlg->show();
    m_pFindDlg->raise();
    m_pFindDlg->activateWindow();
}

CFindDlg* CChildFrame::GetFindDialog() const { return m_pFindDlg.data(); }

// ---- placement -------------------------------------------------------------------------------

void CChildFrame::InitialUpdateFrame(bool bMakeVisible) {
    QMdiArea* pArea = mdiArea();
    std::optional<viewer::WindowPlacement> placement;
    if (pArea && !isMaximized())
        placement = ReadWindowPlacement(kMdiFrameSection, QRect(QPoint(0, 0), pArea->viewport()->size()));
    if (placement)
        setGeometry(FromPlacementRect(placement->rcNormalPosition));
    RememberNormalRect();
    platform::CChildFrame::InitialUpdateFrame(bMakeVisible);
    if (placement && placement->IsMaximized())
        showMaximized();
}

void CChildFrame::RememberNormalRect() {
    if (!isMaximized() && !isMinimized())
        m_rcNormal = geometry();
}

void CChildFrame::moveEvent(QMoveEvent* pEvent) {
    platform::CChildFrame::moveEvent(pEvent);
    RememberNormalRect();
}

void CChildFrame::resizeEvent(QResizeEvent* pEvent) {
    platform::CChildFrame::resizeEvent(pEvent);
    RememberNormalRect();
}

void CChildFrame::closeEvent(QCloseEvent* pEvent) {
    // Stored before the window goes (the next table window opens here);
    // the placement is the window's as it is now, maximised or not.
    const bool bMaximized = isMaximized(), bMinimized = isMinimized();
    platform::CChildFrame::closeEvent(pEvent);
    if (!pEvent->isAccepted())
        return;
    if (!m_bPlacementStored) {
        m_bPlacementStored = true;
        WriteWindowPlacement(kMdiFrameSection, m_rcNormal, bMaximized, bMinimized);
    }
    if (m_pFindDlg)
        m_pFindDlg->hide();
}
