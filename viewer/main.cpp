// peekrow: shows dBASE-family tables without ever changing them.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "viewer/peekrow_app.h"

int main(int argc, char** argv) {
    // Help and version need no display.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--") == 0)
            break;
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(CPeekrowApp::HelpText(), stdout);
            return 0;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            std::fputs(CPeekrowApp::VersionText(), stdout);
            return 0;
        }
    }
    platform::CGuiApplication qtApp(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Peekrow"));
    // Qt has taken its own options out of the list by now.
    std::vector<std::string> args(argv + 1, argv + argc);
    CPeekrowApp::CommandLine line = CPeekrowApp::ParseCommandLine(args);
    if (!line.strError.empty()) {
        std::fputs(line.strError.c_str(), stderr);
        return 2;
    }
    CPeekrowApp app;
    if (!app.InitInstance(line, true))
        return 1;
    int nResult = platform::CGuiApplication::exec();
    app.ExitInstance();
    return nResult;
}
