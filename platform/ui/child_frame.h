// A document window inside the main frame's MDI area: it holds one view, or
// a client that lays out several views as panes, knows which view is
// active, shows the document's title (with ":2" when a document has more
// than one window, and the modified mark), and asks the document before the
// last window of a modified document closes.
#pragma once

#include <vector>

#include <QMdiSubWindow>

#include "platform/ui/view_base.h"

namespace platform {

class CDocument;

class CChildFrame : public QMdiSubWindow, public CCmdTarget {
    Q_OBJECT
public:
    explicit CChildFrame(CDocument& document, QWidget* pParent = nullptr);
    ~CChildFrame() override;

    CDocument* GetDocument() const { return m_pDocument; }

    // A single view as the whole client.
    void SetView(CViewBase* pView);
    // A client widget holding several views, each added with AddView.
    void SetClient(QWidget* pClient);
    void AddView(CViewBase* pView);
    void RemoveView(CViewBase* pView);
    const std::vector<CViewBase*>& GetViews() const { return m_views; }

    CViewBase* GetActiveView() const { return m_pActiveView; }
    // Makes a view the active one; the old and the new are told.
    void SetActiveView(CViewBase* pView);
    // The view whose window holds pWidget, or none.
    CViewBase* ViewOf(const QWidget* pWidget) const;

    // Runs each view's initial update and shows the frame.
    virtual void InitialUpdateFrame(bool bMakeVisible);
    void UpdateTitle();

    // The document is closing: each view runs its destroy step while the
    // document is still whole ...
    void DestroyViews();
    // ... then the frame closes without asking.
    void CloseFromDocument();

signals:
    void activeViewChanged();

protected:
    void closeEvent(QCloseEvent* pEvent) override;

private:
    CDocument* m_pDocument;
    std::vector<CViewBase*> m_views;
    CViewBase* m_pActiveView = nullptr;
    bool m_bViewsDestroyed = false;
    bool m_bClosingFromDocument = false;
};

}  // namespace platform
