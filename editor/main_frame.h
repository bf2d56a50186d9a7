// Tabulon's main window: the two menu sets, the toolbar, the field and
// record panes of the status bar, the accelerator table, dropped files, the
// "Setting..." command, and the grid font size stored when it closes.
#pragma once

#include "platform/ui/main_frame.h"

class CMainFrame : public platform::CMainFrame {
    Q_OBJECT
public:
    explicit CMainFrame(QWidget* pParent = nullptr);

protected:
    void OnFrameClosing() override;
};
