// Go to and Move to.
#include "editor/goto_dlg.h"

#include <climits>

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "platform/core/value_coercion.h"
#include "platform/ui/dialog_data.h"

using namespace platform;

namespace {

// A whole number from nMin to nMax in the edit box; anything else gets the
// range message, with the entry selected for correcting.
bool CheckIntegerInRange(QLineEdit* pEdit, int nMin, int nMax, int& nValue) {
    std::string strText = pEdit->text().trimmed().toStdString();
    bool bOverflow = false;
    int64_t n = ParseCInteger(strText.data(), strText.size(), &bOverflow);
    size_t nDigits = !strText.empty() && (strText[0] == '+' || strText[0] == '-') ? 1 : 0;
    bool bWhole = !bOverflow && nDigits < strText.size() &&
                  strText.find_first_not_of("0123456789", nDigits) == std::string::npos;
    if (!bWhole || n < nMin || n > nMax) {
        // No number, or one outside: the same message names the range.
        DDV_MinMaxInt(pEdit, nMin > INT_MIN ? nMin - 1 : nMax + 1, nMin, nMax);
        return false;
    }
    nValue = int(n);
    return true;
}

}  // namespace

CGotoDlg::CGotoDlg(QWidget* pParent, bool bMove) : CDialog(pParent), m_bMove(bMove) {
    setWindowTitle(bMove ? QStringLiteral("Move to  ...") : QStringLiteral("Go to ..."));
    setObjectName(QString::number(bMove ? IDD_MOVETO : IDD_GOTO));
    auto* pLayout = new QGridLayout(this);
    pLayout->setHorizontalSpacing(8);
    pLayout->setVerticalSpacing(12);
    m_pEdit = new QLineEdit(this);
    SetControlId(m_pEdit, bMove ? IDC_MOVETO_OFFSET : IDC_GOTO_RECORD);
    m_pEdit->setMinimumWidth(110);
    auto* pLabel = new QLabel(bMove ? QStringLiteral("&Offset:") : QStringLiteral("&Record:"), this);
    pLabel->setBuddy(m_pEdit);
    pLayout->addWidget(pLabel, 0, 0);
    pLayout->addWidget(m_pEdit, 0, 1);
    auto* pButtons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, Qt::Horizontal, this);
    QPushButton* pOk = pButtons->button(QDialogButtonBox::Ok);
    SetControlId(pOk, IDOK);
    SetControlId(pButtons->button(QDialogButtonBox::Cancel), IDCANCEL);
    pOk->setDefault(true);
    connect(pButtons, &QDialogButtonBox::accepted, this, [this] { OnOK(); });
    connect(pButtons, &QDialogButtonBox::rejected, this, [this] { OnCancel(); });
    pLayout->addWidget(pButtons, 1, 0, 1, 2);
    pLayout->setSizeConstraint(QLayout::SetFixedSize);
}

bool CGotoDlg::OnInitDialog() {
    m_pEdit->setText(QString::number(m_nValue));
    m_pEdit->selectAll();
    m_pEdit->setFocus();
    return true;
}

void CGotoDlg::OnOK() {
    int nValue = 0;
    if (!CheckIntegerInRange(m_pEdit, m_nMin, m_nMax, nValue))
        return;
    m_nValue = nValue;
    EndDialog(IDOK);
}
