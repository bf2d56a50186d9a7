// tabulon: opens dBASE-family tables to view and edit them.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "editor/tabulon_app.h"
#include "editor/view_commands.h"

int main(int argc, char** argv) {
    // Help and version need no display.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(CTabulonApp::HelpText(), stdout);
            return 0;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            std::fputs(CTabulonApp::VersionText(), stdout);
            return 0;
        }
    }
    platform::CGuiApplication qtApp(argc, argv);
    // The desktop entry that names this program's icon and file types.
    QGuiApplication::setDesktopFileName(QStringLiteral("tabulon"));
    // Qt has taken its own options out of the list by now.
    std::vector<std::string> args(argv + 1, argv + argc);
    CTabulonApp::CommandLine line = CTabulonApp::ParseCommandLine(args);
    if (!line.strError.empty()) {
        std::fputs(line.strError.c_str(), stderr);
        return 2;
    }
    CTabulonApp app;
    if (!app.InitInstance(line, !line.bPrint))
        return 1;
    if (line.bPrint)
        return PrintActiveTableAndClose(app) ? 0 : 1;
    int nResult = platform::CGuiApplication::exec();
    app.ExitInstance();
    return nResult;
}
