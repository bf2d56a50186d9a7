// What a document window's frame needs from the view it shows: the initial
// and later updates, commands by their numeric ids with an update rule for
// each (enabled, checked, radio mark) evaluated before a menu or toolbar is
// shown, activation, and the destroy step that runs while the whole view still
// exists. Views route commands through a CCommandMap; frames ask them with
// OnCommand and OnUpdateCommand and apply the result to their actions.
// A pane host (a splitter) lends its panes shared scroll bars through
// CScrollBarHost.
#pragma once

#include <cstdint>
#include <functional>
#include <map>

#include <QString>

class QAction;
class QScrollBar;
class QWidget;

namespace platform {

// Command ids that several windows handle; the menus and accelerators of both
// programs carry these numbers.
enum StandardCommandId : unsigned {
    ID_EDIT_CLEAR = 57632,
    ID_EDIT_COPY = 57634,
    ID_EDIT_CUT = 57635,
    ID_EDIT_FIND = 57636,
    ID_EDIT_PASTE = 57637,
    ID_EDIT_REPLACE = 57641,
    ID_EDIT_SELECT_ALL = 57642,
    ID_EDIT_UNDO = 57643,
};

// The state an update rule gives one command. A rule that sets nothing leaves
// the command enabled, unchecked; IsHandled tells whether any rule ran.
class CCmdUI {
public:
    explicit CCmdUI(unsigned nId) : m_nId(nId) {}
    unsigned GetId() const { return m_nId; }

    void Enable(bool bEnable = true) {
        m_bEnabled = bEnable;
        m_bHandled = true;
    }
    // 0 unchecked, 1 checked, 2 indeterminate.
    void SetCheck(int nCheck = 1) {
        m_nCheck = nCheck;
        m_bRadio = false;
        m_bHandled = true;
    }
    void SetRadio(bool bOn = true) {
        m_nCheck = bOn ? 1 : 0;
        m_bRadio = true;
        m_bHandled = true;
    }

    // The text of a status-bar pane (the panes are updated like commands).
    void SetText(const QString& strText) {
        m_strText = strText;
        m_bHasText = true;
        m_bHandled = true;
    }

    bool IsEnabled() const { return m_bEnabled; }
    int GetCheck() const { return m_nCheck; }
    bool IsRadio() const { return m_bRadio; }
    bool IsHandled() const { return m_bHandled; }
    bool HasText() const { return m_bHasText; }
    const QString& GetText() const { return m_strText; }

    // Gives a menu item or tool button this state.
    void ApplyTo(QAction& action) const;

private:
    unsigned m_nId;
    bool m_bEnabled = true;
    int m_nCheck = 0;
    bool m_bRadio = false;
    bool m_bHandled = false;
    bool m_bHasText = false;
    QString m_strText;
};

// A window's command table: a handler and an update rule per command id.
class CCommandMap {
public:
    using Handler = std::function<void()>;
    using UpdateRule = std::function<void(CCmdUI&)>;

    // Replaces any entry of the same id, so a derived window can take over a
    // command of its base.
    void Add(unsigned nId, Handler handler, UpdateRule rule = nullptr);
    void Remove(unsigned nId);
    bool Has(unsigned nId) const { return m_entries.count(nId) != 0; }
    bool HasHandler(unsigned nId) const;
    // False when the id has no handler.
    bool Run(unsigned nId) const;
    // Runs the id's update rule; false when it has none. A command with a
    // handler and no rule anywhere on its route is enabled by the router.
    bool Update(CCmdUI& cmdUI) const;

private:
    struct Entry {
        Handler handler;
        UpdateRule rule;
    };
    std::map<unsigned, Entry> m_entries;
};

class CDocument;

// Anything on a command's route: view, document, frames, application. The
// router asks each in turn for an update rule, and runs the first handler.
class CCmdTarget {
public:
    virtual ~CCmdTarget() = default;
    // Runs a command; false when this target does not handle it.
    virtual bool OnCommand(unsigned nId) { return m_commands.Run(nId); }
    // Evaluates a command's update rule; false when this target has none.
    virtual bool OnUpdateCommand(CCmdUI& cmdUI) { return m_commands.Update(cmdUI); }
    virtual bool HasCommandHandler(unsigned nId) const { return m_commands.HasHandler(nId); }

protected:
    CCommandMap m_commands;
};

class CViewBase : public CCmdTarget {
public:
    ~CViewBase() override = default;

    // The document the view shows; set by the frame that creates the view.
    CDocument* GetDocument() const { return m_pDocument; }
    void SetDocument(CDocument* pDocument) { m_pDocument = pDocument; }

    // The window the frame places.
    virtual QWidget* GetViewWidget() = 0;

    // Before the view is first shown, and again when its document is
    // reloaded or restructured.
    virtual void OnInitialUpdate() {}
    // The document changed; pSender is the view that changed it, or none.
    virtual void OnUpdate(CViewBase* pSender, intptr_t nHint) {
        (void)pSender;
        (void)nHint;
    }
    // The view became (or stopped being) the frame's active view.
    virtual void OnActivateView(bool bActivate) { (void)bActivate; }
    // The frame calls this before it deletes the view (and so before any
    // destructor runs), so work that needs the whole view happens here.
    virtual void OnDestroy() {}

    // The scroll-bar control that stands for the view's own bar (SB_HORZ 0,
    // SB_VERT 1), such as a splitter's shared bar; nullptr when there is none.
    virtual QScrollBar* GetScrollBarCtrl(int nBar) const {
        (void)nBar;
        return nullptr;
    }

private:
    CDocument* m_pDocument = nullptr;
};

// A window that lays out views as panes and lends them shared scroll bars: the
// bar of the pane's row of panes (vertical) or column of panes (horizontal).
// It forwards the actions of a shared bar to every pane that shares it.
class CScrollBarHost {
public:
    virtual ~CScrollBarHost() = default;
    virtual QScrollBar* GetPaneScrollBar(const QWidget* pPane, int nBar) const = 0;
};

}  // namespace platform
