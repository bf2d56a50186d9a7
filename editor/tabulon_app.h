// Tabulon's application object: its settings file, the document template
// (CDBFDoc shown by CDBFView in a CChildFrame), the main frame, the command
// line, the about box, and the grid font size the main frame stores when it
// closes.
#pragma once

#include <string>
#include <vector>

#include "editor/settings/program_settings.h"
#include "platform/ui/win_app.h"

class CTabulonApp : public platform::CWinApp {
public:
    CTabulonApp();
    ~CTabulonApp() override;

    static CTabulonApp* GetTabulonApp();

    // What the command line asks for.
    struct CommandLine {
        std::vector<std::string> files;  // opened in this order, the last one active
        bool bPrint = false;    // --print FILE: print to the default printer and end
        bool bHelp = false;
        bool bVersion = false;
        std::string strError;   // a refused command line, said on standard error
    };
    static CommandLine ParseCommandLine(const std::vector<std::string>& args);
    static const char* HelpText();
    static const char* VersionText();

    // Start-up: settings file, template, main frame (shown), and the file of
    // the command line opened. With bShow false the frame stays hidden (tests).
    bool InitInstance() override;
    bool InitInstance(const CommandLine& commandLine, bool bShow);
    // The settings file in use; tests point it elsewhere before start-up.
    void SetProgramSettingsPath(std::string strPath) { m_strSettingsPath = std::move(strPath); }
    tabulon::CProgramSettings GetProgramSettings() const { return tabulon::CProgramSettings(m_strSettingsPath); }

    void OnAppAbout() override;

    // The grid font's character height; read when the main frame is made,
    // stored when it closes.
    int m_nFontSize = -11;

private:
    std::string m_strSettingsPath;
};
