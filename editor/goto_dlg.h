// The Go to and Move to dialogs of the Navigation menu: one whole number,
// checked against a range before the dialog closes. An entry outside the
// range (or no number) shows the range message and keeps the dialog open.
#pragma once

#include "platform/ui/dialog.h"

class QLineEdit;

enum GotoDialogId : int {
    IDD_GOTO = 140,
    IDD_MOVETO = 141,
    IDC_GOTO_RECORD = 1026,
    IDC_MOVETO_OFFSET = 1027,
};

class CGotoDlg : public platform::CDialog {
    Q_OBJECT
public:
    // bMove: the Move to dialog (an offset), else Go to (a record number).
    CGotoDlg(QWidget* pParent, bool bMove);

    int m_nValue = 0;
    int m_nMin = 1;
    int m_nMax = 1;

    bool OnInitDialog() override;
    void OnOK() override;

private:
    bool m_bMove;
    QLineEdit* m_pEdit = nullptr;
};
