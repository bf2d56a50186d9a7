// A table window of Peekrow: the framework's document window whose client
// is the splitter, each pane a CDBFView of the same document. The window
// owns what its panes share: the code-page choice (DOS or Windows display,
// taken from the table's mark when the window opens and then the user's) and
// the Find dialog. It opens where the last table window closed, from the
// stored "MDIFrame" placement, and stores its own when it closes.
#pragma once

#include <QPointer>
#include <QRect>

#include "platform/ui/child_frame.h"

class CDBFDoc;
class CDBFView;
class CFindDlg;
class CKelSplitterWnd;

class CChildFrame : public platform::CChildFrame {
    Q_OBJECT
public:
    explicit CChildFrame(CDBFDoc& document, QWidget* pParent = nullptr);
    ~CChildFrame() override;

    CDBFDoc* GetDoc() const;
    CKelSplitterWnd* GetSplitter() const { return m_pSplitter; }
    // The pane the user works in.
    CDBFView* GetActivePane() const;

    // The window's code-page choice; a change reaches every pane at once.
    bool IsDosCodePage() const { return m_bDosCodePage; }
    void SetDosCodePage(bool bDos);

    // Find: a new dialog for this window (the previous one goes), shown
    // beside it.
    void OpenFindDialog();
    CFindDlg* GetFindDialog() const;

    // The stored placement, then the framework's first update and showing.
    void InitialUpdateFrame(bool bMakeVisible) override;

protected:
    void closeEvent(QCloseEvent* pEvent) override;
    void moveEvent(QMoveEvent* pEvent) override;
    void resizeEvent(QResizeEvent* pEvent) override;

private:
    CDBFView* CreatePane();
    void RememberNormalRect();

    CKelSplitterWnd* m_pSplitter = nullptr;
    bool m_bDosCodePage = false;
    QPointer<CFindDlg> m_pFindDlg;
    QRect m_rcNormal;
    bool m_bPlacementStored = false;
};
