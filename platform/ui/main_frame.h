// The main window of a program: a QMainWindow whose central widget is the MDI
// area holding the document windows, with menus built from numeric command
// ids (one set while no document window is open, another while one is), a
// toolbar of flat buttons, status-bar panes, an accelerator table and the
// recent-file list.
//
// Commands find their handler along one route: the active view, its
// document, the active document window, this frame, the application. Update
// rules (enabled, checked, radio, a pane's text) take the same route; a
// command that no one on the route handles is disabled, one with a handler
// and no rule is enabled. Rules run before a menu shows, and for the toolbar
// and the panes after every command, on activation changes and when the
// program falls idle. A command sent by a key or by id runs only when its
// rule enables it.
#pragma once

#include <functional>
#include <map>
#include <vector>

#include <QKeyCombination>
#include <QMainWindow>
#include <QPointer>

#include "platform/ui/view_base.h"

class QAction;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QMimeData;
class QToolBar;

namespace platform {

class CChildFrame;
class CDocument;

// One entry of a menu description.
struct MenuEntry {
    enum Kind { command, separator, popup, recentFiles, windowList };
    Kind nKind = command;
    unsigned nId = 0;
    const char* pszText = "";  // UTF-8; "&" marks the mnemonic, "\t" starts the key's name
    std::vector<MenuEntry> items;
};
MenuEntry MenuCommand(unsigned nId, const char* pszText);
MenuEntry MenuSeparator();
MenuEntry MenuPopup(const char* pszText, std::vector<MenuEntry> items);
// The recent files, between two separators; nothing while the list is empty.
MenuEntry MenuRecentFiles();
// The open document windows, numbered, the active one checked.
MenuEntry MenuWindowList();

struct AcceleratorEntry {
    QKeyCombination key;
    unsigned nId;
};

// The keys both programs bind alike: Ctrl+C, Ctrl+F, Ctrl+N, Ctrl+O, Ctrl+P,
// Ctrl+S, Ctrl+V, Ctrl+X, Ctrl+Insert, Shift+Insert, Shift+Delete,
// Alt+Backspace and Ctrl+Z, F6 and Shift+F6.
std::vector<AcceleratorEntry> StandardAccelerators();

struct StatusPane {
    unsigned nId;
    // The pane's width comes from this text; empty: the pane is as wide as
    // its text, and hidden (no border, no width) while it has none.
    QString strWidthText;
};

class CMainFrame : public QMainWindow, public CCmdTarget {
    Q_OBJECT
public:
    explicit CMainFrame(QWidget* pParent = nullptr);
    ~CMainFrame() override;

    QMdiArea* GetMdiArea() const { return m_pMdiArea; }

    // ---- what the program gives its frame -----------------------------------------
    void SetMenus(std::vector<MenuEntry> noDocument, std::vector<MenuEntry> withDocument);
    // Button ids in order, 0 for a separator; the icon of each.
    void SetToolBar(const std::vector<unsigned>& ids, const std::function<QIcon(unsigned)>& icon);
    void SetStatusPanes(const std::vector<StatusPane>& panes);
    void SetAccelerators(std::vector<AcceleratorEntry> accelerators);
    void SetAcceptFiles(bool bAccept) { setAcceptDrops(bAccept); }
    // Opens each local file of dropped data.
    void OpenDroppedFiles(const QMimeData& data);

    // ---- document windows ------------------------------------------------------------
    void AddChildFrame(CChildFrame* pFrame);
    // The active document window: the last one activated that is still open
    // (it stays active while a dialog or another program has the focus).
    CChildFrame* GetActiveFrame() const;
    CViewBase* GetActiveView() const;
    CDocument* GetActiveDocument() const;
    std::vector<CChildFrame*> GetChildFrames() const;
    void ActivateFrame(CChildFrame* pFrame);

    // ---- commands ------------------------------------------------------------------
    // The targets a command passes, in order.
    std::vector<CCmdTarget*> GetCommandRoute() const;
    // Runs the id's update rule along the route into cmdUI; false (and
    // disabled) when no one handles the id.
    bool UpdateCommand(CCmdUI& cmdUI) const;
    // Runs the command when its rule enables it; false otherwise. Errors
    // become a message box.
    bool ExecuteCommand(unsigned nId);
    // Applies the rules to the toolbar, the panes and the title.
    void UpdateUserInterface();
    // The action of a command (shared by its menu items and its button).
    QAction* GetAction(unsigned nId) const;
    QLabel* GetPane(unsigned nId) const;
    QToolBar* GetToolBar() const { return m_pToolBar; }
    // The text the message pane shows when nothing else speaks ("Ready").
    void SetMessageText(const QString& strText);
    // Shows a pop-up menu of these entries at a screen position and runs the
    // command chosen (through the route).
    void TrackPopupMenu(const std::vector<MenuEntry>& entries, const QPoint& ptGlobal);
    // The menu bar's menus as they stand now.
    QList<QMenu*> GetMenus() const;
    // Runs the update rules of a menu's items, as before it shows.
    void UpdateMenu(QMenu* pMenu);

    // What the frame does when asked to close: asks about every modified
    // document, closes them, then OnFrameClosing; false when cancelled.
    bool CloseFrame();

protected:
    // After every document agreed to close, before the window goes (the
    // place to store what the frame remembers).
    virtual void OnFrameClosing() {}

    void closeEvent(QCloseEvent* pEvent) override;
    void dragEnterEvent(QDragEnterEvent* pEvent) override;
    void dropEvent(QDropEvent* pEvent) override;
    bool eventFilter(QObject* pWatched, QEvent* pEvent) override;

private:
    QAction* ActionFor(unsigned nId, const QString& strText);
    void FillMenu(QMenu* pMenu, const std::vector<MenuEntry>& entries);
    QMenu* BuildMenu(const MenuEntry& entry);
    void ShowMenuSet(bool bWithDocument);
    void OnSubWindowActivated(QMdiSubWindow* pWindow);
    void OnFocusChanged(QWidget* pOld, QWidget* pNew);
    void FillRecentFiles(QMenu* pMenu, QAction* pBefore);
    void FillWindowList(QMenu* pMenu);
    bool TranslateAccelerator(QWidget* pTarget, const QKeyEvent* pEvent);
    void UpdateTitle();

    QMdiArea* m_pMdiArea;
    QToolBar* m_pToolBar = nullptr;
    QLabel* m_pMessage = nullptr;
    std::map<unsigned, QAction*> m_actions;
    std::map<unsigned, QLabel*> m_panes;
    std::vector<StatusPane> m_paneInfo;
    std::vector<QMenu*> m_noDocumentMenus;
    std::vector<QMenu*> m_documentMenus;
    bool m_bDocumentMenus = false;
    std::vector<AcceleratorEntry> m_accelerators;
    QPointer<CChildFrame> m_pActiveFrame;
    bool m_bInIdle = false;
    bool m_bClosing = false;
};

}  // namespace platform
