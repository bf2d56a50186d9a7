// Tabulon's about box: the program's icon and version, its maker, and two
// links (mail and web).
#pragma once

#include "platform/ui/dialog.h"

enum AboutDlgId : int { IDC_ABOUT_MAIL = 1050, IDC_ABOUT_WEB = 1051 };

class CAboutDlg : public platform::CDialog {
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* pParent = nullptr);
};
