// What the benchmarks of the two programs share: opening a table as a user
// does until its first frame is painted, closing every window, and the
// process's resident memory.
#pragma once

#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include <QCoreApplication>
#include <QEvent>

#include "platform/ui/doc_template.h"
#include "platform/ui/main_frame.h"
#include "platform/ui/win_app.h"

namespace bench {

// Opens strPath in app and paints its view once; aborts when it does not open.
template <class View>
View* OpenAndPaint(platform::CWinApp& app, const std::string& strPath) {
    platform::CDocument* pDocument = app.OpenDocumentFile(strPath);
    auto* pView = pDocument ? dynamic_cast<View*>(app.GetMainWnd()->GetActiveView()) : nullptr;
    if (!pView)
        std::abort();
    pView->viewport()->repaint();
    return pView;
}

inline void CloseAll(platform::CWinApp& app) {
    app.GetDocTemplate()->CloseAllDocuments();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

inline double ResidentMegabytes() {
    std::ifstream statm("/proc/self/statm");
    long nPages = 0, nResident = 0;
    statm >> nPages >> nResident;
    return double(nResident) * double(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

}  // namespace bench
