// Peekrow's start-up and application commands.
#include "viewer/peekrow_app.h"

#include <QGuiApplication>
#include <QScreen>

#include "platform/core/string_table.h"
#include "platform/ui/command_ids.h"
#include "platform/ui/doc_template.h"
#include "platform/ui/profile_store.h"
#include "viewer/child_frame.h"
#include "viewer/dbf_doc.h"
#include "viewer/main_frame.h"
#include "viewer/placement_store.h"
#include "viewer/viewer_dialogs.h"
#include "viewer/viewer_ids.h"

CPeekrowApp::CPeekrowApp() : platform::CWinApp(QStringLiteral("Peekrow")) {
    RegisterViewerStrings();
    // A viewer makes no new tables.
    m_commands.Remove(platform::ID_FILE_NEW);
}

CPeekrowApp::~CPeekrowApp() = default;

CPeekrowApp* CPeekrowApp::GetPeekrowApp() { return dynamic_cast<CPeekrowApp*>(platform::CWinApp::Get()); }

QStringList& CPeekrowApp::FindHistory() {
    if (CPeekrowApp* pApp = GetPeekrowApp())
        return pApp->m_findHistory;
    static QStringList s_history;
    return s_history;
}

const char* CPeekrowApp::HelpText() {
    return "Usage: peekrow [TABLE]\n"
           "Shows a dBASE, FoxPro or Visual FoxPro table (.dbf) without ever changing it.\n"
           "\n"
           "  TABLE      open this table\n"
           "  --help     show this text and quit\n"
           "  --version  show the version and quit\n";
}

const char* CPeekrowApp::VersionText() { return "Peekrow Version 1.2\n"; }

CPeekrowApp::CommandLine CPeekrowApp::ParseCommandLine(const std::vector<std::string>& args) {
    CommandLine line;
    bool bFilesOnly = false;
    for (const std::string& strArg : args) {
        if (!bFilesOnly && (strArg == "--help" || strArg == "-h")) {
            line.bHelp = true;
        } else if (!bFilesOnly && strArg == "--version") {
            line.bVersion = true;
        } else if (!bFilesOnly && strArg == "--") {
            bFilesOnly = true;
        } else if (!bFilesOnly && strArg.size() > 1 && strArg[0] == '-') {
            line.strError = "peekrow: unknown option " + strArg + "\nTry 'peekrow --help'.\n";
            return line;
        } else if (line.strFile.empty()) {
            line.strFile = strArg;
        } else {
            line.strError = "peekrow: one table at a time\nTry 'peekrow --help'.\n";
            return line;
        }
    }
    return line;
}

bool CPeekrowApp::InitInstance() { return InitInstance(CommandLine{}, true); }

bool CPeekrowApp::InitInstance(const CommandLine& commandLine, bool bShow) {
    SetProfileStore(std::make_unique<platform::CQSettingsProfileStore>(QStringLiteral("Morvane"),
                                                                       QStringLiteral("Peekrow")));
    LoadStdProfileSettings(8);
    AddDocTemplate(std::make_unique<platform::CMultiDocTemplate>(
        QString::fromUtf8(platform::FindString(IDR_DBFTYPE)), [] { return std::make_unique<CDBFDoc>(); },
        [](platform::CDocument& document) -> platform::CChildFrame* {
            auto* pDoc = dynamic_cast<CDBFDoc*>(&document);
            return pDoc ? new CChildFrame(*pDoc) : nullptr;
        }));
    auto* pMainFrame = new CMainFrame;
    SetMainWnd(pMainFrame);
    // Where the window was when it last closed, if the user can still reach
    // it there; never hidden or minimised.
    QScreen* pScreen = QGuiApplication::primaryScreen();
    const QRect rcScreen = pScreen ? pScreen->availableGeometry() : QRect(0, 0, 1024, 768);
    std::optional<viewer::WindowPlacement> placement = ReadWindowPlacement(kMainFrameSection, rcScreen);
    if (placement)
        pMainFrame->setGeometry(FromPlacementRect(placement->rcNormalPosition));
    if (bShow) {
        if (placement && placement->IsMaximized())
            pMainFrame->showMaximized();
        else
            pMainFrame->show();
        pMainFrame->activateWindow();
    }
    if (!commandLine.strFile.empty())
        OpenDocumentFile(commandLine.strFile);
    return true;
}

void CPeekrowApp::OnAppAbout() {
    CAboutDlg dialog(GetMainWnd());
    dialog.DoModal();
}
