// Peekrow's main window: the two menu sets, the toolbar, the field and
// record panes of the status bar (their widths from their strings), the
// accelerator table, and the window's placement stored when it closes.
#pragma once

#include "platform/ui/main_frame.h"

class CMainFrame : public platform::CMainFrame {
    Q_OBJECT
public:
    explicit CMainFrame(QWidget* pParent = nullptr);

protected:
    void OnFrameClosing() override;
};
