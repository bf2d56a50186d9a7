// A table window of Tabulon: the framework's document window, answering the
// status bar's field and record panes from its view.
#pragma once

#include "platform/ui/child_frame.h"

class CChildFrame : public platform::CChildFrame {
    Q_OBJECT
public:
    explicit CChildFrame(platform::CDocument& document, QWidget* pParent = nullptr);
};
