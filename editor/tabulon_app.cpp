// Tabulon's start-up and application commands.
#include "editor/tabulon_app.h"

#include "editor/about_dlg.h"
#include "editor/child_frame.h"
#include "editor/dbf_doc.h"
#include "editor/dbf_view.h"
#include "editor/editor_ids.h"
#include "editor/main_frame.h"
#include "platform/core/private_profile.h"
#include "platform/core/string_table.h"
#include "platform/ui/doc_template.h"
#include "platform/ui/profile_store.h"

namespace {

// The framework's store (the recent files) over the program settings file.
class CSettingsFileStore : public platform::CProfileStore {
public:
    explicit CSettingsFileStore(std::string strPath) : m_strPath(std::move(strPath)) {}
    std::string GetString(const std::string& strSection, const std::string& strKey,
                          const std::string& strDefault) override {
        return platform::CPrivateProfile::Read(m_strPath).GetString(strSection, strKey, strDefault);
    }
    bool WriteString(const std::string& strSection, const std::string& strKey,
                     const std::string& strValue) override {
        return WriteStrings(strSection, {{strKey, strValue}});
    }
    // One read and one save of the file for all the keys.
    bool WriteStrings(const std::string& strSection, const KeyValues& values) override {
        platform::CPrivateProfile profile = platform::CPrivateProfile::Read(m_strPath);
        for (const auto& [strKey, strValue] : values) {
            if (strValue.empty())
                profile.DeleteKey(strSection, strKey);
            else
                profile.SetString(strSection, strKey, strValue);
        }
        return profile.Save();
    }

private:
    std::string m_strPath;
};

}  // namespace

CTabulonApp::CTabulonApp() : platform::CWinApp(QStringLiteral("Tabulon")) { RegisterEditorStrings(); }

CTabulonApp::~CTabulonApp() = default;

CTabulonApp* CTabulonApp::GetTabulonApp() { return dynamic_cast<CTabulonApp*>(platform::CWinApp::Get()); }

const char* CTabulonApp::HelpText() {
    return "Usage: tabulon [TABLE...]\n"
           "       tabulon --print TABLE\n"
           "Opens dBASE, FoxPro and Visual FoxPro tables (.dbf) to view and edit them.\n"
           "\n"
           "  TABLE          open this table in a window of its own\n"
           "  --print TABLE  print the table on the default printer, then quit\n"
           "  --help         show this text and quit\n"
           "  --version      show the version and quit\n";
}

const char* CTabulonApp::VersionText() { return "Tabulon ver 1.0b\n"; }

CTabulonApp::CommandLine CTabulonApp::ParseCommandLine(const std::vector<std::string>& args) {
    CommandLine line;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& strArg = args[i];
        if (strArg == "--help" || strArg == "-h") {
            line.bHelp = true;
        } else if (strArg == "--version") {
            line.bVersion = true;
        } else if (strArg == "--print") {
            line.bPrint = true;
        } else if (strArg == "--") {
            line.files.insert(line.files.end(), args.begin() + long(i) + 1, args.end());
            break;
        } else if (strArg.size() > 1 && strArg[0] == '-') {
            line.strError = "tabulon: unknown option " + strArg + "\nTry 'tabulon --help'.\n";
            return line;
        } else {
            line.files.push_back(strArg);
        }
    }
    if (line.bPrint && line.files.size() != 1)
        line.strError = "tabulon: --print needs one table\nTry 'tabulon --help'.\n";
    return line;
}

bool CTabulonApp::InitInstance() { return InitInstance(CommandLine{}, true); }

bool CTabulonApp::InitInstance(const CommandLine& commandLine, bool bShow) {
    if (m_strSettingsPath.empty())
        m_strSettingsPath = tabulon::ProgramSettingsPath();
    tabulon::CProgramSettings settings = GetProgramSettings();
    settings.ApplyCodePagePair();
    SetProfileStore(std::make_unique<CSettingsFileStore>(m_strSettingsPath));
    LoadStdProfileSettings(8);
    AddDocTemplate(std::make_unique<platform::CMultiDocTemplate>(
        QString::fromUtf8(platform::FindString(IDR_DBFTYPE)), [] { return std::make_unique<CDBFDoc>(); },
        [](platform::CDocument& document) -> platform::CChildFrame* {
            auto* pFrame = new CChildFrame(document);
            pFrame->SetView(new CDBFView(pFrame));
            return pFrame;
        }));
    auto* pMainFrame = new CMainFrame;
    SetMainWnd(pMainFrame);
    if (bShow) {
        pMainFrame->show();
        pMainFrame->activateWindow();
    }
    for (const std::string& strFile : commandLine.files)
        if (!OpenDocumentFile(strFile) && commandLine.bPrint)
            return false;
    return true;
}

void CTabulonApp::OnAppAbout() {
    CAboutDlg dialog(GetMainWnd());
    dialog.DoModal();
}
