// The application object, its commands and the exception barrier.
#include "platform/ui/win_app.h"

#include <sys/stat.h>

#include <QCursor>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPointer>
#include <QTimer>

#include "platform/core/conversion_error.h"
#include "platform/core/file.h"
#include "platform/core/string_table.h"
#include "platform/ui/command_ids.h"
#include "platform/ui/doc_template.h"
#include "platform/ui/document.h"
#include "platform/ui/file_dialog.h"
#include "platform/ui/main_frame.h"
#include "platform/ui/message_box.h"
#include "platform/ui/print_job.h"
#include "platform/ui/profile_store.h"

namespace platform {

namespace {

CWinApp*& CurrentApp() {
    static CWinApp* s_pApp = nullptr;
    return s_pApp;
}

const StringEntry kFrameworkStrings[] = {
    {IDS_IDLEMESSAGE, "Ready"},
    {IDS_OPENFILE, "Open"},
    {IDS_SAVEFILE, "Save As"},
    {IDS_UNTITLED, "Untitled"},
    {IDS_ASK_TO_SAVE, "Save changes to %1?"},
    {IDS_ALL_FILES, "All Files (*)"},
    {ID_FILE_NEW, "Create a new document\nNew"},
    {ID_FILE_OPEN, "Open an existing document\nOpen"},
    {ID_FILE_CLOSE, "Close the active document\nClose"},
    {ID_FILE_SAVE, "Save the active document\nSave"},
    {ID_FILE_SAVE_AS, "Save the active document with a new name\nSave As"},
    {ID_FILE_PRINT_SETUP, "Change the printer and printing options\nPrint Setup"},
    {ID_FILE_PRINT, "Print the active document\nPrint"},
    {ID_FILE_PRINT_DIRECT, "Print the active document using current options\nQuick Print"},
    {ID_FILE_PRINT_PREVIEW, "Display full pages\nPrint Preview"},
    {ID_APP_ABOUT, "Display program information, version number and copyright\nAbout"},
    {ID_APP_EXIT, "Quit the application; prompts to save documents\nExit"},
    {ID_WINDOW_NEW, "Open another window for the active document\nNew Window"},
    {ID_WINDOW_ARRANGE, "Arrange icons at the bottom of the window\nArrange Icons"},
    {ID_WINDOW_CASCADE, "Arrange windows so they overlap\nCascade Windows"},
    {ID_WINDOW_TILE_HORZ, "Arrange windows as non-overlapping tiles\nTile Windows"},
    {ID_WINDOW_SPLIT, "Split the active window into panes\nSplit"},
    {ID_NEXT_PANE, "Switch to the next window pane\nNext Pane"},
    {ID_PREV_PANE, "Switch back to the previous window pane\nPrevious Pane"},
    {ID_VIEW_TOOLBAR, "Show or hide the toolbar\nToggle ToolBar"},
    {ID_VIEW_STATUS_BAR, "Show or hide the status bar\nToggle StatusBar"},
    {ID_EDIT_CLEAR, "Erase the selection\nErase"},
    {ID_EDIT_COPY, "Copy the selection and put it on the Clipboard\nCopy"},
    {ID_EDIT_CUT, "Cut the selection and put it on the Clipboard\nCut"},
    {ID_EDIT_FIND, "Find the specified text\nFind"},
    {ID_EDIT_PASTE, "Insert Clipboard contents\nPaste"},
    {ID_EDIT_REPLACE, "Replace specific text with different text\nReplace"},
    {ID_EDIT_SELECT_ALL, "Select the entire document\nSelect All"},
    {ID_EDIT_UNDO, "Undo the last action\nUndo"},
};

}  // namespace

// ---- the application object ----------------------------------------------------------

CWinApp::CWinApp(const QString& strAppName) : m_strAppName(strAppName) {
    RegisterStrings(kFrameworkStrings);
    CurrentApp() = this;
    m_commands.Add(ID_FILE_NEW, [this] { OnFileNew(); });
    m_commands.Add(ID_FILE_OPEN, [this] { OnFileOpen(); });
    m_commands.Add(ID_FILE_PRINT_SETUP, [this] { OnFilePrintSetup(); });
    m_commands.Add(ID_APP_ABOUT, [this] { OnAppAbout(); });
    m_commands.Add(ID_APP_EXIT, [this] { OnAppExit(); });
}

CWinApp::~CWinApp() {
    // The windows go first (their views still see their documents), then
    // the documents.
    delete m_pMainWnd.data();
    m_pTemplate.reset();
    if (CurrentApp() == this)
        CurrentApp() = nullptr;
}

CWinApp* CWinApp::Get() { return CurrentApp(); }

CMainFrame* CWinApp::GetMainWnd() const { return static_cast<CMainFrame*>(m_pMainWnd.data()); }

void CWinApp::SetMainWnd(CMainFrame* pMainWnd) { m_pMainWnd = pMainWnd; }

int CWinApp::ExitInstance() { return 0; }

void CWinApp::SetProfileStore(std::unique_ptr<CProfileStore> pStore) { m_pProfile = std::move(pStore); }

void CWinApp::LoadStdProfileSettings(int nMaxFiles) {
    m_recentFiles = CRecentFileList(nMaxFiles);
    if (m_pProfile)
        m_recentFiles.ReadList(*m_pProfile);
}

void CWinApp::AddToRecentFileList(const std::string& strPath) {
    QFileInfo info(QFile::decodeName(QByteArray::fromStdString(strPath)));
    QByteArray absolute = QFile::encodeName(info.absoluteFilePath());
    m_recentFiles.Add(std::string(absolute.constData(), size_t(absolute.size())));
    // Written at once: the list survives a program that does not end well.
    if (m_pProfile)
        m_recentFiles.WriteList(*m_pProfile);
}

void CWinApp::AddDocTemplate(std::unique_ptr<CMultiDocTemplate> pTemplate) { m_pTemplate = std::move(pTemplate); }

CDocument* CWinApp::FindOpenDocument(const std::string& strPath) const {
    if (!m_pTemplate)
        return nullptr;
    for (CDocument* pDocument : m_pTemplate->GetDocuments())
        if (!pDocument->IsClosing() && !pDocument->GetPathName().empty() &&
            IsSameFile(pDocument->GetPathName(), strPath))
            return pDocument;
    return nullptr;
}

CDocument* CWinApp::OpenDocumentFile(const std::string& strPath) {
    if (!m_pTemplate || strPath.empty())
        return nullptr;
    if (CDocument* pOpen = FindOpenDocument(strPath)) {
        if (GetMainWnd() && !pOpen->GetFrames().empty())
            GetMainWnd()->ActivateFrame(pOpen->GetFrames().front());
        return pOpen;
    }
    return m_pTemplate->OpenDocumentFile(strPath);
}

bool CWinApp::DoPromptFileName(std::string& strPath, const QString& strTitle, bool bOpen) {
    FileDialogRequest request;
    request.pParent = GetMainWnd();
    request.bOpen = bOpen;
    request.strTitle = strTitle;
    request.strPath = strPath;
    if (m_pTemplate) {
        QString strFilter = m_pTemplate->GetDocString(CMultiDocTemplate::filterName);
        if (!strFilter.isEmpty())
            request.filters << strFilter;
        QString strExt = m_pTemplate->GetDocString(CMultiDocTemplate::filterExt).section(QLatin1Char(';'), 0, 0);
        if (strExt.startsWith(QLatin1Char('.')))
            request.strDefaultSuffix = strExt.mid(1);
    }
    request.filters << QString::fromUtf8(FindString(IDS_ALL_FILES));
    if (!PromptFileName(request))
        return false;
    strPath = request.strPath;
    return true;
}

void CWinApp::OnFileNew() {
    if (m_pTemplate)
        m_pTemplate->OpenDocumentFile(std::string());
}

void CWinApp::OnFileOpen() {
    std::string strPath;
    if (DoPromptFileName(strPath, QString::fromUtf8(FindString(IDS_OPENFILE)), true))
        OpenDocumentFile(strPath);
}

void CWinApp::OnFilePrintSetup() { RunPrintSetup(GetMainWnd()); }

void CWinApp::OnAppExit() {
    if (CMainFrame* pMain = GetMainWnd())
        pMain->close();
}

bool CWinApp::OnCommand(unsigned nId) {
    if (nId >= ID_FILE_MRU_FILE1 && nId < ID_FILE_MRU_FILE1 + 16) {
        int nIndex = int(nId - ID_FILE_MRU_FILE1);
        if (nIndex >= m_recentFiles.GetSize())
            return true;
        std::string strPath = m_recentFiles.GetPath(nIndex);
        if (!OpenDocumentFile(strPath)) {
            // A file that no longer opens leaves the list.
            m_recentFiles.Remove(nIndex);
            if (m_pProfile)
                m_recentFiles.WriteList(*m_pProfile);
        }
        return true;
    }
    return CCmdTarget::OnCommand(nId);
}

bool CWinApp::HasCommandHandler(unsigned nId) const {
    if (nId >= ID_FILE_MRU_FILE1 && nId < ID_FILE_MRU_FILE1 + 16)
        return int(nId - ID_FILE_MRU_FILE1) < m_recentFiles.GetSize();
    return CCmdTarget::HasCommandHandler(nId);
}

// ---- the barrier ----------------------------------------------------------------------

CGuiApplication::CGuiApplication(int& argc, char** argv) : QApplication(argc, argv) {}

namespace {

// When a dialog or a message box goes away, the keyboard goes back to the
// modal window still open under it, else to the window it belongs to, else
// to the main window. A window manager does this itself; without one (a bare
// X server) the keys would reach no window at all.
void ReturnFocusAfter(QWidget* pClosed) {
    QPointer<QWidget> pParent = pClosed->parentWidget() ? pClosed->parentWidget()->window() : nullptr;
    QPointer<QWidget> pMain = CWinApp::Get() ? CWinApp::Get()->GetMainWnd() : nullptr;
    QTimer::singleShot(0, qApp, [pParent, pMain] {
        QWidget* pTarget = QApplication::activeModalWidget();
        if (!pTarget)
            pTarget = pParent && pParent->isVisible() ? pParent.data() : pMain.data();
        if (pTarget && pTarget->isVisible() && !pTarget->isActiveWindow())
            pTarget->activateWindow();
    });
}

}  // namespace

bool CGuiApplication::notify(QObject* pReceiver, QEvent* pEvent) {
    if (pEvent->type() == QEvent::Hide && pReceiver->isWidgetType()) {
        auto* pWidget = static_cast<QWidget*>(pReceiver);
        if (pWidget->isWindow() && pWidget->windowType() == Qt::Dialog)
            ReturnFocusAfter(pWidget);
    }
    try {
        return QApplication::notify(pReceiver, pEvent);
    } catch (...) {
        ReportCurrentException();
        return false;
    }
}

QString CurrentExceptionText() {
    try {
        throw;
    } catch (const std::bad_alloc&) {
        return QStringLiteral("There is not enough memory to complete this operation.");
    } catch (const std::exception& e) {
        return QString::fromUtf8(e.what());
    } catch (...) {
        return QStringLiteral("An unexpected error occurred.");
    }
}

void ReportCurrentException(QWidget* pParent) {
    QString strText = CurrentExceptionText();
    try {
        MessageBox(pParent, strText, MB_OK | MB_ICONWARNING);
    } catch (...) {
        // Showing the message failed too; nothing more can be said.
    }
}

CWaitCursor::CWaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
CWaitCursor::~CWaitCursor() { QGuiApplication::restoreOverrideCursor(); }

bool IsSameFile(const std::string& strPath1, const std::string& strPath2) {
    if (CFile::SameFile(strPath1, strPath2))
        return true;
    // A path not there (yet) is the same file only by its name.
    QFileInfo info1(QFile::decodeName(QByteArray::fromStdString(strPath1)));
    QFileInfo info2(QFile::decodeName(QByteArray::fromStdString(strPath2)));
    return info1.absoluteFilePath() == info2.absoluteFilePath();
}

}  // namespace platform
