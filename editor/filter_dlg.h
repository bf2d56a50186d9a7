// The Filter dialog: a condition (an editable list of earlier conditions)
// and the field it is looked for in, one of the visible columns or "*" for
// all of them. "Set" ends it with OK, "Close" with Cancel.
#pragma once

#include <string>
#include <vector>

#include "platform/core/column_layout.h"
#include "platform/ui/dialog.h"
#include "platform/ui/text_codec.h"

class QComboBox;

namespace dbf {
class CDBFTableDef;
}

enum FilterDialogId : int {
    IDD_FILTER = 136,
    IDC_FILTER_CONDITION = 1011,
    IDC_FILTER_FIELD = 1002,
};

class CFilterDlg : public platform::CDialog {
    Q_OBJECT
public:
    explicit CFilterDlg(QWidget* pParent = nullptr);

    // Inputs: the table's fields, the window's columns, the history (its new
    // entries are added at the front), the current grid column (data index),
    // the previous condition and the codec of the display text.
    dbf::CDBFTableDef* m_pTableDef = nullptr;
    const platform::ColumnLayout* m_pColumns = nullptr;
    std::vector<std::string>* m_pHistory = nullptr;
    int m_nCurrentColumn = 0;
    std::string m_strCondition;  // in: the previous one; out: trimmed
    platform::CTextCodec m_codec;
    // Output: the chosen field, -1 for all visible columns.
    int m_nField = -1;

    bool OnInitDialog() override;
    void OnOK() override;

private:
    QComboBox* m_pCondition = nullptr;
    QComboBox* m_pField = nullptr;
};
