// The application object of both programs: the document template, the main
// frame, the profile store with the recent-file list, the application
// commands (New, Open, the recent files, Print Setup, About, Exit), and the
// program's one exception barrier: an error that escapes a command or an
// event handler becomes a message box and the program runs on.
#pragma once

#include <exception>
#include <memory>
#include <string>

#include <QApplication>
#include <QPointer>
#include <QString>

#include "platform/ui/recent_files.h"
#include "platform/ui/view_base.h"

namespace platform {

class CDocument;
class CMainFrame;
class CMultiDocTemplate;
class CProfileStore;

class CWinApp : public CCmdTarget {
public:
    explicit CWinApp(const QString& strAppName);
    ~CWinApp() override;
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    // The one application object of the process, or none.
    static CWinApp* Get();

    // Start-up; false ends the program.
    virtual bool InitInstance() = 0;
    // The program's end, after the main window has gone.
    virtual int ExitInstance();

    const QString& GetAppName() const { return m_strAppName; }
    CMainFrame* GetMainWnd() const;
    // The main window; the application deletes it at its end if Qt has not.
    void SetMainWnd(CMainFrame* pMainWnd);

    // ---- profile ---------------------------------------------------------------------
    void SetProfileStore(std::unique_ptr<CProfileStore> pStore);
    CProfileStore* GetProfileStore() const { return m_pProfile.get(); }
    // Reads the recent-file list (nMaxFiles entries).
    void LoadStdProfileSettings(int nMaxFiles = 8);
    CRecentFileList& GetRecentFileList() { return m_recentFiles; }
    void AddToRecentFileList(const std::string& strPath);

    // ---- documents --------------------------------------------------------------------
    void AddDocTemplate(std::unique_ptr<CMultiDocTemplate> pTemplate);
    CMultiDocTemplate* GetDocTemplate() const { return m_pTemplate.get(); }
    // Opens a file, or activates the window of a document that has it open
    // already (the same file however it is named); nullptr when it failed.
    virtual CDocument* OpenDocumentFile(const std::string& strPath);
    // The open document of a file (compared by identity), or none.
    CDocument* FindOpenDocument(const std::string& strPath) const;
    // The open or save file dialog with the template's filter; true for OK.
    virtual bool DoPromptFileName(std::string& strPath, const QString& strTitle, bool bOpen);

    // ---- application commands ------------------------------------------------------------
    virtual void OnFileNew();
    virtual void OnFileOpen();
    virtual void OnFilePrintSetup();
    virtual void OnAppAbout() {}
    virtual void OnAppExit();
    bool OnCommand(unsigned nId) override;
    bool HasCommandHandler(unsigned nId) const override;

private:
    QString m_strAppName;
    QPointer<QObject> m_pMainWnd;
    std::unique_ptr<CProfileStore> m_pProfile;
    std::unique_ptr<CMultiDocTemplate> m_pTemplate;
    CRecentFileList m_recentFiles;
};

// The Qt application with the barrier: an exception that escapes an event
// handler is shown in a message box instead of ending the program.
class CGuiApplication : public QApplication {
public:
    CGuiApplication(int& argc, char** argv);
    bool notify(QObject* pReceiver, QEvent* pEvent) override;
};

// Shows the message of the exception being handled (call from a catch
// block): engine, file and conversion errors by their own texts.
void ReportCurrentException(QWidget* pParent = nullptr);
// The text ReportCurrentException would show.
QString CurrentExceptionText();

// Runs f; an exception it throws is reported and swallowed. False then.
template <class F>
bool RunGuarded(F&& f) {
    try {
        f();
        return true;
    } catch (...) {
        ReportCurrentException();
        return false;
    }
}

// The wait cursor for as long as it exists.
class CWaitCursor {
public:
    CWaitCursor();
    ~CWaitCursor();
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;
};

// True when two paths name the same file (same device and inode), or, when
// either does not exist, the same absolute spelling.
bool IsSameFile(const std::string& strPath1, const std::string& strPath2);

}  // namespace platform
