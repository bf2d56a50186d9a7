// The Formulas dialog: one operator ("=", "+", "-", "*", "/") and one number,
// applied to the selected cells of its window each time "Apply" is pressed.
// It is modeless and stays open while the user works in the grid; "Close"
// (or Escape) closes and deletes it.
#pragma once

#include <functional>

#include "platform/ui/dialog.h"

class QComboBox;
class QLineEdit;

enum FormulaDialogId : int {
    IDD_FORMULAS = 135,
    IDC_FORMULA_OPERATOR = 1008,
    IDC_FORMULA_NUMBER = 1009,
};

class CFormulaDlg : public platform::CDialog {
    Q_OBJECT
public:
    // The operator's index (0 "=" to 4 "/") and the number's text.
    using ApplyFunction = std::function<void(int nOperator, const QString& strNumber)>;

    CFormulaDlg(QWidget* pParent, ApplyFunction apply);

    void SetApply(ApplyFunction apply) { m_apply = std::move(apply); }

    bool OnInitDialog() override;
    // "Apply": the dialog stays open.
    void OnOK() override;

private:
    ApplyFunction m_apply;
    QComboBox* m_pOperator = nullptr;
    QLineEdit* m_pNumber = nullptr;
};
