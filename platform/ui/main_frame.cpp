// The main window: MDI area, menus by command id, toolbar, status panes,
// accelerators, dropped files, and the command route.
#include "platform/ui/main_frame.h"

#include <algorithm>

#include <QAbstractEventDispatcher>
#include <QAbstractSpinBox>
#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QTextEdit>
#include <QToolBar>

#include "platform/core/string_table.h"
#include "platform/ui/child_frame.h"
#include "platform/ui/command_ids.h"
#include "platform/ui/doc_template.h"
#include "platform/ui/document.h"
#include "platform/ui/win_app.h"

namespace platform {

namespace {

constexpr int kMaxWindowList = 9;
const char* const kMruProperty = "tabulonMru";
const char* const kWindowListProperty = "tabulonWindowList";

MenuEntry Entry(MenuEntry::Kind nKind, unsigned nId, const char* pszText, std::vector<MenuEntry> items = {}) {
    MenuEntry entry;
    entry.nKind = nKind;
    entry.nId = nId;
    entry.pszText = pszText;
    entry.items = std::move(items);
    return entry;
}

// The prompt of a command's string: the text before the line break (the
// part after it is the tooltip).
QString PromptOf(unsigned nId) {
    const char* psz = FindString(nId);
    if (!psz)
        return QString();
    return QString::fromUtf8(psz).section(QLatin1Char('\n'), 0, 0);
}

QString TooltipOf(unsigned nId, const QString& strMenuText) {
    const char* psz = FindString(nId);
    QString strTip = psz ? QString::fromUtf8(psz).section(QLatin1Char('\n'), 1, 1) : QString();
    if (strTip.isEmpty()) {
        strTip = strMenuText.section(QLatin1Char('\t'), 0, 0);
        strTip.remove(QLatin1Char('&'));
        if (strTip.endsWith(QStringLiteral("...")))
            strTip.chop(3);
    }
    return strTip.trimmed();
}

// The keys a text box keeps for itself while it has the focus, whatever the
// accelerator table says.
bool IsTextEditingKey(const QKeyEvent* pEvent) {
    Qt::KeyboardModifiers mods = pEvent->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier);
    int nKey = pEvent->key();
    switch (nKey) {
    case Qt::Key_Delete:
    case Qt::Key_Backspace:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Insert:
        return true;
    default:
        break;
    }
    if (mods == Qt::ControlModifier)
        return nKey == Qt::Key_A || nKey == Qt::Key_C || nKey == Qt::Key_V || nKey == Qt::Key_X ||
               nKey == Qt::Key_Z || nKey == Qt::Key_Y;
    return false;
}

bool IsTextEditor(const QWidget* pWidget) {
    if (qobject_cast<const QLineEdit*>(pWidget) || qobject_cast<const QTextEdit*>(pWidget) ||
        qobject_cast<const QPlainTextEdit*>(pWidget) || qobject_cast<const QAbstractSpinBox*>(pWidget))
        return true;
    auto* pCombo = qobject_cast<const QComboBox*>(pWidget);
    return pCombo && pCombo->isEditable();
}

}  // namespace

std::vector<AcceleratorEntry> StandardAccelerators() {
    const Qt::KeyboardModifiers kCtrl = Qt::ControlModifier;
    const Qt::KeyboardModifiers kShift = Qt::ShiftModifier;
    auto key = [](Qt::KeyboardModifiers mods, Qt::Key k) { return QKeyCombination(mods, k); };
    return {
        {key(kCtrl, Qt::Key_C), ID_EDIT_COPY},         {key(kCtrl, Qt::Key_F), ID_EDIT_FIND},
        {key(kCtrl, Qt::Key_N), ID_FILE_NEW},          {key(kCtrl, Qt::Key_O), ID_FILE_OPEN},
        {key(kCtrl, Qt::Key_P), ID_FILE_PRINT},        {key(kCtrl, Qt::Key_S), ID_FILE_SAVE},
        {key(kCtrl, Qt::Key_V), ID_EDIT_PASTE},        {key(kCtrl, Qt::Key_X), ID_EDIT_CUT},
        {key(kCtrl, Qt::Key_Insert), ID_EDIT_COPY},    {key(kShift, Qt::Key_Insert), ID_EDIT_PASTE},
        {key(kShift, Qt::Key_Delete), ID_EDIT_CUT},    {key(Qt::AltModifier, Qt::Key_Backspace), ID_EDIT_UNDO},
        {key(kCtrl, Qt::Key_Z), ID_EDIT_UNDO},         {key(Qt::NoModifier, Qt::Key_F6), ID_NEXT_PANE},
        {key(kShift, Qt::Key_F6), ID_PREV_PANE},
    };
}

MenuEntry MenuCommand(unsigned nId, const char* pszText) { return Entry(MenuEntry::command, nId, pszText); }
MenuEntry MenuSeparator() { return Entry(MenuEntry::separator, 0, ""); }
MenuEntry MenuPopup(const char* pszText, std::vector<MenuEntry> items) {
    return Entry(MenuEntry::popup, 0, pszText, std::move(items));
}
MenuEntry MenuRecentFiles() { return Entry(MenuEntry::recentFiles, 0, ""); }
MenuEntry MenuWindowList() { return Entry(MenuEntry::windowList, 0, ""); }

CMainFrame::CMainFrame(QWidget* pParent) : QMainWindow(pParent), m_pMdiArea(new QMdiArea(this)) {
    setCentralWidget(m_pMdiArea);
    m_pMdiArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_pMdiArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    connect(m_pMdiArea, &QMdiArea::subWindowActivated, this, &CMainFrame::OnSubWindowActivated);
    connect(qApp, &QApplication::focusChanged, this, &CMainFrame::OnFocusChanged);
    if (QAbstractEventDispatcher* pDispatcher = QAbstractEventDispatcher::instance(thread()))
        connect(pDispatcher, &QAbstractEventDispatcher::aboutToBlock, this, [this] { UpdateUserInterface(); });
    qApp->installEventFilter(this);

    m_pMessage = new QLabel(this);
    statusBar()->addWidget(m_pMessage, 1);
    const char* pszIdle = FindString(IDS_IDLEMESSAGE);
    SetMessageText(QString::fromUtf8(pszIdle ? pszIdle : "Ready"));

    m_commands.Add(
        ID_VIEW_TOOLBAR, [this] { m_pToolBar->setVisible(!m_pToolBar->isVisible()); },
        [this](CCmdUI& ui) {
            ui.Enable(m_pToolBar != nullptr);
            ui.SetCheck(m_pToolBar && m_pToolBar->isVisible());
        });
    m_commands.Add(
        ID_VIEW_STATUS_BAR, [this] { statusBar()->setVisible(!statusBar()->isVisible()); },
        [this](CCmdUI& ui) { ui.SetCheck(statusBar()->isVisible()); });
    auto needsWindow = [this](CCmdUI& ui) { ui.Enable(GetActiveFrame() != nullptr); };
    m_commands.Add(ID_WINDOW_CASCADE, [this] { m_pMdiArea->cascadeSubWindows(); }, needsWindow);
    m_commands.Add(ID_WINDOW_TILE_HORZ, [this] { m_pMdiArea->tileSubWindows(); }, needsWindow);
    m_commands.Add(
        ID_WINDOW_ARRANGE,
        [this] {
            // Minimised windows in a row along the bottom of the area.
            int x = 0;
            for (QMdiSubWindow* pWindow : m_pMdiArea->subWindowList()) {
                if (!pWindow->isMinimized())
                    continue;
                pWindow->move(x, m_pMdiArea->viewport()->height() - pWindow->height());
                x += pWindow->width();
            }
        },
        needsWindow);
    m_commands.Add(
        ID_WINDOW_NEW,
        [this] {
            CDocument* pDocument = GetActiveDocument();
            if (pDocument && pDocument->GetDocTemplate())
                pDocument->GetDocTemplate()->CreateNewFrame(*pDocument);
        },
        needsWindow);
    for (int i = 0; i < kMaxWindowList; ++i)
        m_commands.Add(ID_FIRST_MDICHILD + unsigned(i), [this, i] {
            std::vector<CChildFrame*> frames = GetChildFrames();
            if (i < int(frames.size()))
                ActivateFrame(frames[size_t(i)]);
        });
}

CMainFrame::~CMainFrame() { qApp->removeEventFilter(this); }

// ---- building the menus, toolbar and panes -------------------------------------------

QAction* CMainFrame::ActionFor(unsigned nId, const QString& strText) {
    auto it = m_actions.find(nId);
    if (it != m_actions.end())
        return it->second;
    auto* pAction = new QAction(strText, this);
    pAction->setData(nId);
    pAction->setObjectName(QString::number(nId));
    QString strPrompt = PromptOf(nId);
    pAction->setStatusTip(strPrompt);
    pAction->setToolTip(TooltipOf(nId, strText));
    connect(pAction, &QAction::triggered, this, [this, nId] { ExecuteCommand(nId); });
    m_actions[nId] = pAction;
    return pAction;
}

void CMainFrame::FillMenu(QMenu* pMenu, const std::vector<MenuEntry>& entries) {
    for (const MenuEntry& entry : entries) {
        switch (entry.nKind) {
        case MenuEntry::command:
            pMenu->addAction(ActionFor(entry.nId, QString::fromUtf8(entry.pszText)));
            break;
        case MenuEntry::separator:
            pMenu->addSeparator();
            break;
        case MenuEntry::popup:
            pMenu->addMenu(BuildMenu(entry));
            break;
        case MenuEntry::recentFiles: {
            QAction* pMarker = pMenu->addSeparator();
            pMarker->setVisible(false);
            pMarker->setProperty(kMruProperty, true);
            connect(pMenu, &QMenu::aboutToShow, this, [this, pMenu, pMarker] { FillRecentFiles(pMenu, pMarker); });
            break;
        }
        case MenuEntry::windowList:
            connect(pMenu, &QMenu::aboutToShow, this, [this, pMenu] { FillWindowList(pMenu); });
            break;
        }
    }
}

QMenu* CMainFrame::BuildMenu(const MenuEntry& entry) {
    auto* pMenu = new QMenu(QString::fromUtf8(entry.pszText), this);
    FillMenu(pMenu, entry.items);
    connect(pMenu, &QMenu::aboutToShow, this, [this, pMenu] { UpdateMenu(pMenu); });
    return pMenu;
}

void CMainFrame::SetMenus(std::vector<MenuEntry> noDocument, std::vector<MenuEntry> withDocument) {
    for (const MenuEntry& entry : noDocument)
        m_noDocumentMenus.push_back(BuildMenu(entry));
    for (const MenuEntry& entry : withDocument)
        m_documentMenus.push_back(BuildMenu(entry));
    m_bDocumentMenus = !GetActiveFrame();  // forces the first fill
    ShowMenuSet(GetActiveFrame() != nullptr);
}

void CMainFrame::ShowMenuSet(bool bWithDocument) {
    if (bWithDocument == m_bDocumentMenus)
        return;
    m_bDocumentMenus = bWithDocument;
    menuBar()->clear();
    for (QMenu* pMenu : bWithDocument ? m_documentMenus : m_noDocumentMenus)
        menuBar()->addMenu(pMenu);
}

QList<QMenu*> CMainFrame::GetMenus() const {
    QList<QMenu*> menus;
    for (QMenu* pMenu : m_bDocumentMenus ? m_documentMenus : m_noDocumentMenus)
        menus.append(pMenu);
    return menus;
}

void CMainFrame::SetToolBar(const std::vector<unsigned>& ids, const std::function<QIcon(unsigned)>& icon) {
    m_pToolBar = addToolBar(QStringLiteral("Standard"));
    m_pToolBar->setObjectName(QStringLiteral("toolbar"));
    m_pToolBar->setIconSize(QSize(16, 16));
    m_pToolBar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    for (unsigned nId : ids) {
        if (nId == 0) {
            m_pToolBar->addSeparator();
            continue;
        }
        QAction* pAction = ActionFor(nId, PromptOf(nId));
        if (icon)
            pAction->setIcon(icon(nId));
        m_pToolBar->addAction(pAction);
    }
}

void CMainFrame::SetStatusPanes(const std::vector<StatusPane>& panes) {
    m_paneInfo = panes;
    for (const StatusPane& pane : panes) {
        auto* pLabel = new QLabel(this);
        pLabel->setObjectName(QString::number(pane.nId));
        if (!pane.strWidthText.isEmpty()) {
            pLabel->setMinimumWidth(pLabel->fontMetrics().horizontalAdvance(pane.strWidthText));
            pLabel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        } else {
            pLabel->setVisible(false);
        }
        statusBar()->addPermanentWidget(pLabel);
        m_panes[pane.nId] = pLabel;
    }
}

void CMainFrame::SetAccelerators(std::vector<AcceleratorEntry> accelerators) {
    m_accelerators = std::move(accelerators);
}

void CMainFrame::SetMessageText(const QString& strText) {
    m_pMessage->setText(strText);
}

QAction* CMainFrame::GetAction(unsigned nId) const {
    auto it = m_actions.find(nId);
    return it == m_actions.end() ? nullptr : it->second;
}

QLabel* CMainFrame::GetPane(unsigned nId) const {
    auto it = m_panes.find(nId);
    return it == m_panes.end() ? nullptr : it->second;
}

// ---- dynamic menu parts -------------------------------------------------------------

void CMainFrame::FillRecentFiles(QMenu* pMenu, QAction* pMarker) {
    for (QAction* pAction : pMenu->actions())
        if (pAction->property(kMruProperty).toInt() == 2)
            pMenu->removeAction(pAction), pAction->deleteLater();
    CWinApp* pApp = CWinApp::Get();
    if (!pApp)
        return;
    const CRecentFileList& list = pApp->GetRecentFileList();
    QList<QAction*> actions = pMenu->actions();
    int nAt = int(actions.indexOf(pMarker)) + 1;
    QAction* pBefore = nAt < actions.size() ? actions[nAt] : nullptr;
    auto add = [&](QAction* pAction) {
        pAction->setProperty(kMruProperty, 2);
        pMenu->insertAction(pBefore, pAction);
    };
    if (list.GetSize() == 0) {
        auto* pEmpty = new QAction(QStringLiteral("Recent File"), pMenu);
        pEmpty->setEnabled(false);
        add(pEmpty);
        return;
    }
    for (int i = 0; i < list.GetSize(); ++i) {
        unsigned nId = ID_FILE_MRU_FILE1 + unsigned(i);
        auto* pAction = new QAction(list.GetMenuText(i), pMenu);
        pAction->setData(nId);
        pAction->setObjectName(QString::number(nId));
        pAction->setStatusTip(QStringLiteral("Opens this document"));
        connect(pAction, &QAction::triggered, this, [this, nId] { ExecuteCommand(nId); });
        add(pAction);
    }
}

void CMainFrame::FillWindowList(QMenu* pMenu) {
    for (QAction* pAction : pMenu->actions())
        if (pAction->property(kWindowListProperty).toBool())
            pMenu->removeAction(pAction), pAction->deleteLater();
    std::vector<CChildFrame*> frames = GetChildFrames();
    if (frames.empty())
        return;
    QAction* pSeparator = pMenu->addSeparator();
    pSeparator->setProperty(kWindowListProperty, true);
    int i = 0;
    for (CChildFrame* pFrame : frames) {
        if (i == kMaxWindowList)
            break;
        unsigned nId = ID_FIRST_MDICHILD + unsigned(i);
        QString strTitle = pFrame->windowTitle().replace(QStringLiteral("[*]"), QString());
        strTitle.replace(QLatin1Char('&'), QStringLiteral("&&"));
        auto* pAction = new QAction(QStringLiteral("&%1 %2").arg(i + 1).arg(strTitle), pMenu);
        pAction->setProperty(kWindowListProperty, true);
        pAction->setCheckable(true);
        pAction->setChecked(pFrame == GetActiveFrame());
        connect(pAction, &QAction::triggered, this, [this, nId] { ExecuteCommand(nId); });
        pMenu->addAction(pAction);
        ++i;
    }
}

// ---- document windows ---------------------------------------------------------------

void CMainFrame::AddChildFrame(CChildFrame* pFrame) {
    CChildFrame* pActive = GetActiveFrame();
    bool bMaximized = pActive && pActive->isMaximized();
    m_pMdiArea->addSubWindow(pFrame);
    // The area's size is right only once the window's layout has run.
    if (layout())
        layout()->activate();
    QSize area = m_pMdiArea->viewport()->size();
    int nOffset = 24 * int(m_pMdiArea->subWindowList().size() - 1) % std::max(1, area.height() / 3);
    pFrame->setGeometry(nOffset, nOffset, std::max(320, area.width() * 9 / 10 - nOffset),
                        std::max(200, area.height() * 17 / 20 - nOffset));
    if (bMaximized)
        pFrame->setWindowState(Qt::WindowMaximized);
}

CChildFrame* CMainFrame::GetActiveFrame() const {
    if (m_pActiveFrame && m_pActiveFrame->GetDocument())
        return m_pActiveFrame.data();
    return nullptr;
}

CViewBase* CMainFrame::GetActiveView() const {
    CChildFrame* pFrame = GetActiveFrame();
    return pFrame ? pFrame->GetActiveView() : nullptr;
}

CDocument* CMainFrame::GetActiveDocument() const {
    CChildFrame* pFrame = GetActiveFrame();
    return pFrame ? pFrame->GetDocument() : nullptr;
}

std::vector<CChildFrame*> CMainFrame::GetChildFrames() const {
    std::vector<CChildFrame*> frames;
    for (QMdiSubWindow* pWindow : m_pMdiArea->subWindowList())
        if (auto* pFrame = qobject_cast<CChildFrame*>(pWindow); pFrame && pFrame->GetDocument())
            frames.push_back(pFrame);
    return frames;
}

void CMainFrame::ActivateFrame(CChildFrame* pFrame) {
    if (!pFrame)
        return;
    if (pFrame->isMinimized())
        pFrame->showNormal();
    m_pMdiArea->setActiveSubWindow(pFrame);
    OnSubWindowActivated(pFrame);
}

void CMainFrame::OnSubWindowActivated(QMdiSubWindow* pWindow) {
    // A null activation only means the main window lost the focus (to a
    // dialog, say); the document window stays the active one.
    auto* pFrame = qobject_cast<CChildFrame*>(pWindow);
    if (!pFrame || !pFrame->GetDocument()) {
        if (pWindow || GetActiveFrame())
            return;
    }
    if (pFrame == m_pActiveFrame.data())
        return;
    CChildFrame* pOld = GetActiveFrame();
    m_pActiveFrame = pFrame;
    if (pOld && pOld->GetActiveView())
        RunGuarded([&] { pOld->GetActiveView()->OnActivateView(false); });
    if (pFrame && pFrame->GetActiveView())
        RunGuarded([&] { pFrame->GetActiveView()->OnActivateView(true); });
    ShowMenuSet(pFrame != nullptr);
    UpdateUserInterface();
}

void CMainFrame::OnFocusChanged(QWidget*, QWidget* pNew) {
    if (!pNew || pNew->window() != this)
        return;
    for (QWidget* p = pNew; p; p = p->parentWidget()) {
        if (auto* pFrame = qobject_cast<CChildFrame*>(p)) {
            if (CViewBase* pView = pFrame->ViewOf(pNew))
                pFrame->SetActiveView(pView);
            return;
        }
    }
}

// ---- the command route ----------------------------------------------------------------

std::vector<CCmdTarget*> CMainFrame::GetCommandRoute() const {
    std::vector<CCmdTarget*> route;
    if (CChildFrame* pFrame = GetActiveFrame()) {
        if (CViewBase* pView = pFrame->GetActiveView())
            route.push_back(pView);
        if (CDocument* pDocument = pFrame->GetDocument())
            route.push_back(pDocument);
        route.push_back(pFrame);
    }
    route.push_back(const_cast<CMainFrame*>(this));
    if (CWinApp* pApp = CWinApp::Get())
        route.push_back(pApp);
    return route;
}

bool CMainFrame::UpdateCommand(CCmdUI& cmdUI) const {
    std::vector<CCmdTarget*> route = GetCommandRoute();
    try {
        for (CCmdTarget* pTarget : route)
            if (pTarget->OnUpdateCommand(cmdUI))
                return true;
        for (CCmdTarget* pTarget : route)
            if (pTarget->HasCommandHandler(cmdUI.GetId())) {
                cmdUI.Enable(true);
                return true;
            }
    } catch (...) {
        // A rule that cannot answer (a table gone bad under it) disables its
        // command rather than stopping every menu.
    }
    cmdUI.Enable(false);
    return false;
}

bool CMainFrame::ExecuteCommand(unsigned nId) {
    CCmdUI cmdUI(nId);
    if (!UpdateCommand(cmdUI) || !cmdUI.IsEnabled())
        return false;
    bool bHandled = false;
    for (CCmdTarget* pTarget : GetCommandRoute()) {
        bool bRan = false;
        if (!RunGuarded([&] { bRan = pTarget->OnCommand(nId); }) || bRan) {
            bHandled = true;
            break;
        }
    }
    UpdateUserInterface();
    return bHandled;
}

void CMainFrame::UpdateMenu(QMenu* pMenu) {
    for (QAction* pAction : pMenu->actions()) {
        bool bOk = false;
        unsigned nId = pAction->data().toUInt(&bOk);
        if (!bOk || nId == 0 || pAction->menu())
            continue;
        CCmdUI cmdUI(nId);
        UpdateCommand(cmdUI);
        cmdUI.ApplyTo(*pAction);
    }
}

void CMainFrame::UpdateUserInterface() {
    if (m_bInIdle)
        return;
    m_bInIdle = true;
    if (m_pToolBar)
        for (QAction* pAction : m_pToolBar->actions()) {
            unsigned nId = pAction->data().toUInt();
            if (nId == 0)
                continue;
            CCmdUI cmdUI(nId);
            UpdateCommand(cmdUI);
            cmdUI.ApplyTo(*pAction);
        }
    for (const StatusPane& pane : m_paneInfo) {
        CCmdUI cmdUI(pane.nId);
        UpdateCommand(cmdUI);
        QLabel* pLabel = m_panes[pane.nId];
        QString strText = cmdUI.HasText() ? cmdUI.GetText() : QString();
        if (pLabel->text() != strText)
            pLabel->setText(strText);
        if (pane.strWidthText.isEmpty()) {
            bool bShow = !strText.isEmpty();
            if (pLabel->isVisibleTo(statusBar()) != bShow)
                pLabel->setVisible(bShow);
        }
    }
    UpdateTitle();
    m_bInIdle = false;
}

void CMainFrame::UpdateTitle() {
    CWinApp* pApp = CWinApp::Get();
    QString strTitle = pApp ? pApp->GetAppName() : QString();
    if (CDocument* pDocument = GetActiveDocument())
        strTitle += QStringLiteral(" - ") + pDocument->GetTitle();
    if (windowTitle() != strTitle)
        setWindowTitle(strTitle);
}

void CMainFrame::TrackPopupMenu(const std::vector<MenuEntry>& entries, const QPoint& ptGlobal) {
    QMenu menu(this);
    FillMenu(&menu, entries);
    UpdateMenu(&menu);
    menu.exec(ptGlobal);
}

// ---- closing, dropping, keys --------------------------------------------------------------

bool CMainFrame::CloseFrame() {
    if (m_bClosing)
        return true;
    CWinApp* pApp = CWinApp::Get();
    CMultiDocTemplate* pTemplate = pApp ? pApp->GetDocTemplate() : nullptr;
    bool bMayClose = !pTemplate;  // a failed prompt keeps the program
    if (pTemplate)
        RunGuarded([&] { bMayClose = pTemplate->SaveAllModified(); });
    if (!bMayClose)
        return false;
    // Every document agreed: the windows are still there to be remembered.
    RunGuarded([&] { OnFrameClosing(); });
    m_bClosing = true;
    if (pTemplate)
        pTemplate->CloseAllDocuments();
    return true;
}

void CMainFrame::closeEvent(QCloseEvent* pEvent) {
    if (!CloseFrame()) {
        pEvent->ignore();
        return;
    }
    QMainWindow::closeEvent(pEvent);
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* pEvent) {
    if (pEvent->mimeData()->hasUrls())
        for (const QUrl& url : pEvent->mimeData()->urls())
            if (url.isLocalFile()) {
                pEvent->acceptProposedAction();
                return;
            }
}

void CMainFrame::dropEvent(QDropEvent* pEvent) {
    pEvent->acceptProposedAction();
    activateWindow();
    OpenDroppedFiles(*pEvent->mimeData());
}

void CMainFrame::OpenDroppedFiles(const QMimeData& data) {
    CWinApp* pApp = CWinApp::Get();
    if (!pApp)
        return;
    for (const QUrl& url : data.urls()) {
        if (!url.isLocalFile())
            continue;
        QByteArray path = QFile::encodeName(url.toLocalFile());
        pApp->OpenDocumentFile(std::string(path.constData(), size_t(path.size())));
    }
}

bool CMainFrame::TranslateAccelerator(QWidget* pTarget, const QKeyEvent* pEvent) {
    if (pTarget->window() != this)
        return false;
    QKeyCombination key(pEvent->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier),
                        Qt::Key(pEvent->key()));
    // The keys of every MDI window: Ctrl+F4 closes the active child as its
    // close button does (asking about unsaved changes), Ctrl+F6 and
    // Ctrl+Shift+F6 go to the next and the previous one.
    if (QMdiSubWindow* pChild = m_pMdiArea->activeSubWindow()) {
        if (key == QKeyCombination(Qt::ControlModifier, Qt::Key_F4)) {
            pChild->close();
            return true;
        }
        if (key == QKeyCombination(Qt::ControlModifier, Qt::Key_F6)) {
            m_pMdiArea->activateNextSubWindow();
            return true;
        }
        if (key == QKeyCombination(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_F6)) {
            m_pMdiArea->activatePreviousSubWindow();
            return true;
        }
    }
    if (m_accelerators.empty())
        return false;
    auto it = std::find_if(m_accelerators.begin(), m_accelerators.end(),
                           [&](const AcceleratorEntry& entry) { return entry.key == key; });
    if (it == m_accelerators.end())
        return false;
    if (IsTextEditor(QApplication::focusWidget()) && IsTextEditingKey(pEvent))
        return false;
    ExecuteCommand(it->nId);
    return true;
}

bool CMainFrame::eventFilter(QObject* pWatched, QEvent* pEvent) {
    if (pEvent->type() == QEvent::KeyPress && pWatched->isWidgetType() &&
        TranslateAccelerator(static_cast<QWidget*>(pWatched), static_cast<QKeyEvent*>(pEvent)))
        return true;
    return QMainWindow::eventFilter(pWatched, pEvent);
}

}  // namespace platform
