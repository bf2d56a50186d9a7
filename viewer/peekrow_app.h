// Peekrow's application object: its settings (QSettings under "Morvane",
// "Peekrow": the recent files and the two window placements), the document
// template (CDBFDoc shown by CDBFView panes in a CChildFrame), the main frame
// placed where it last was, the command line, the about box, and the find
// history every Find dialog of the run shares.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include <QStringList>

#include "platform/ui/win_app.h"

class CPeekrowApp : public platform::CWinApp {
public:
    CPeekrowApp();
    ~CPeekrowApp() override;

    static CPeekrowApp* GetPeekrowApp();

    // What the command line asks for.
    struct CommandLine {
        std::string strFile;  // the table to open, or none
        bool bHelp = false;
        bool bVersion = false;
        std::string strError;  // a refused command line, said on standard error
    };
    static CommandLine ParseCommandLine(const std::vector<std::string>& args);
    static const char* HelpText();
    static const char* VersionText();

    // Start-up: settings, template, main frame (placed and shown unless
    // bShow is false, for tests), and the table of the command line opened.
    bool InitInstance() override;
    bool InitInstance(const CommandLine& commandLine, bool bShow);

    void OnAppAbout() override;

    // The texts searched for in this run, newest last (the application's
    // while there is one).
    static QStringList& FindHistory();

private:
    QStringList m_findHistory;
};
