// Document windows in the MDI area.
#include "platform/ui/child_frame.h"

#include <algorithm>

#include <QCloseEvent>

#include "platform/ui/document.h"
#include "platform/ui/win_app.h"

namespace platform {

CChildFrame::CChildFrame(CDocument& document, QWidget* pParent) : QMdiSubWindow(pParent), m_pDocument(&document) {
    setAttribute(Qt::WA_DeleteOnClose);
    document.AddFrame(this);
}

CChildFrame::~CChildFrame() {
    DestroyViews();
    if (m_pDocument)
        m_pDocument->RemoveFrame(this);
}

void CChildFrame::SetView(CViewBase* pView) {
    setWidget(pView->GetViewWidget());
    AddView(pView);
    SetActiveView(pView);
}

void CChildFrame::SetClient(QWidget* pClient) { setWidget(pClient); }

void CChildFrame::AddView(CViewBase* pView) {
    if (std::find(m_views.begin(), m_views.end(), pView) != m_views.end())
        return;
    m_views.push_back(pView);
    if (m_pDocument)
        m_pDocument->AddView(pView);
}

void CChildFrame::RemoveView(CViewBase* pView) {
    m_views.erase(std::remove(m_views.begin(), m_views.end(), pView), m_views.end());
    if (m_pDocument)
        m_pDocument->RemoveView(pView);
    if (m_pActiveView == pView) {
        m_pActiveView = nullptr;
        emit activeViewChanged();
    }
}

void CChildFrame::SetActiveView(CViewBase* pView) {
    if (pView == m_pActiveView)
        return;
    CViewBase* pOld = m_pActiveView;
    m_pActiveView = pView;
    if (pOld)
        RunGuarded([&] { pOld->OnActivateView(false); });
    if (pView)
        RunGuarded([&] { pView->OnActivateView(true); });
    emit activeViewChanged();
}

CViewBase* CChildFrame::ViewOf(const QWidget* pWidget) const {
    for (; pWidget; pWidget = pWidget->parentWidget())
        for (CViewBase* pView : m_views)
            if (pView->GetViewWidget() == pWidget)
                return pView;
    return nullptr;
}

void CChildFrame::InitialUpdateFrame(bool bMakeVisible) {
    std::vector<CViewBase*> views = m_views;
    for (CViewBase* pView : views)
        RunGuarded([&] { pView->OnInitialUpdate(); });
    UpdateTitle();
    if (bMakeVisible) {
        show();
        if (m_pActiveView)
            m_pActiveView->GetViewWidget()->setFocus();
    }
}

void CChildFrame::UpdateTitle() {
    if (!m_pDocument)
        return;
    QString strTitle = m_pDocument->GetTitle();
    const std::vector<CChildFrame*>& frames = m_pDocument->GetFrames();
    if (frames.size() > 1) {
        auto it = std::find(frames.begin(), frames.end(), this);
        strTitle += QStringLiteral(":%1").arg(int(it - frames.begin()) + 1);
    }
    setWindowTitle(strTitle + QStringLiteral("[*]"));
    setWindowModified(m_pDocument->IsModified());
}

void CChildFrame::DestroyViews() {
    if (m_bViewsDestroyed)
        return;
    m_bViewsDestroyed = true;
    std::vector<CViewBase*> views = m_views;
    for (CViewBase* pView : views) {
        RunGuarded([&] { pView->OnDestroy(); });
        if (m_pDocument)
            m_pDocument->RemoveView(pView);
    }
    m_views.clear();
    m_pActiveView = nullptr;
}

void CChildFrame::CloseFromDocument() {
    m_bClosingFromDocument = true;
    if (m_pDocument)
        m_pDocument->RemoveFrame(this);
    m_pDocument = nullptr;
    close();
}

void CChildFrame::closeEvent(QCloseEvent* pEvent) {
    if (m_bClosingFromDocument || !m_pDocument) {
        QMdiSubWindow::closeEvent(pEvent);
        return;
    }
    CDocument* pDocument = m_pDocument;
    bool bMayClose = false;
    RunGuarded([&] { bMayClose = pDocument->CanCloseFrame(this); });
    if (!bMayClose) {
        pEvent->ignore();
        return;
    }
    if (pDocument->GetFrames().size() <= 1) {
        // The last window of the document: the document closes, and with it
        // this frame.
        RunGuarded([&] { pDocument->OnCloseDocument(); });
    } else {
        DestroyViews();
        pDocument->RemoveFrame(this);
        m_pDocument = nullptr;
    }
    QMdiSubWindow::closeEvent(pEvent);
}

}  // namespace platform
