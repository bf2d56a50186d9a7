// Property sheets and their pages.
#include "platform/ui/property_sheet.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace platform {

// ---- pages --------------------------------------------------------------------------------

CPropertyPage::CPropertyPage(const QString& strTitle, QWidget* pParent) : QWidget(pParent), m_strTitle(strTitle) {
    setObjectName(strTitle);
}

void CPropertyPage::SetModified(bool bModified) {
    m_bModified = bModified;
    if (m_pSheet)
        m_pSheet->UpdateApplyButton();
}

QWidget* CPropertyPage::GetDlgItem(int nId) const { return findChild<QWidget*>(QString::number(nId)); }

void CPropertyPage::AddControl(QWidget* pControl, int nId) {
    CDialog::SetControlId(pControl, nId);
    auto mark = [this] {
        if (!m_bFilling)
            SetModified(true);
    };
    if (auto* pButton = qobject_cast<QAbstractButton*>(pControl))
        connect(pButton, &QAbstractButton::clicked, this, mark);
    else if (auto* pCombo = qobject_cast<QComboBox*>(pControl))
        connect(pCombo, &QComboBox::activated, this, mark);
    else if (auto* pEdit = qobject_cast<QLineEdit*>(pControl))
        connect(pEdit, &QLineEdit::textEdited, this, mark);
}

void CPropertyPage::EnsureInitialized() {
    if (m_bInitialized)
        return;
    m_bInitialized = true;
    m_bFilling = true;
    OnInitPage();
    m_bFilling = false;
}

// ---- the sheet ------------------------------------------------------------------------------

CPropertySheet::CPropertySheet(const QString& strCaption, QWidget* pParent) : CDialog(pParent) {
    setWindowTitle(strCaption);
    auto* pLayout = new QVBoxLayout(this);
    m_pTabs = new QTabWidget(this);
    SetControlId(m_pTabs, IDC_SHEET_TABS);
    pLayout->addWidget(m_pTabs, 1);

    m_pButtons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Apply, this);
    QPushButton* pOk = m_pButtons->button(QDialogButtonBox::Ok);
    QPushButton* pCancel = m_pButtons->button(QDialogButtonBox::Cancel);
    m_pApply = m_pButtons->button(QDialogButtonBox::Apply);
    SetControlId(pOk, IDOK);
    SetControlId(pCancel, IDCANCEL);
    SetControlId(m_pApply, IDC_APPLY_NOW);
    pOk->setDefault(true);
    m_pApply->setEnabled(false);
    connect(pOk, &QPushButton::clicked, this, [this] { OnOK(); });
    connect(pCancel, &QPushButton::clicked, this, [this] { OnCancel(); });
    connect(m_pApply, &QPushButton::clicked, this, [this] { Apply(); });
    pLayout->addWidget(m_pButtons);

    connect(m_pTabs, &QTabWidget::currentChanged, this, [this](int nIndex) {
        if (CPropertyPage* pPage = GetPage(nIndex))
            pPage->EnsureInitialized();
    });
}

void CPropertySheet::AddPage(CPropertyPage* pPage) {
    if (!pPage)
        return;
    pPage->m_pSheet = this;
    m_pages.push_back(pPage);
    // Adding the first tab makes it current, which would fill it before the
    // caller has given it what it edits: the sheet fills it when it starts.
    const QSignalBlocker block(m_pTabs);
    m_pTabs->addTab(pPage, pPage->GetTitle());
}

CPropertyPage* CPropertySheet::GetPage(int nIndex) const {
    return nIndex >= 0 && nIndex < GetPageCount() ? m_pages[size_t(nIndex)] : nullptr;
}

int CPropertySheet::GetActiveIndex() const { return m_pTabs->currentIndex(); }

bool CPropertySheet::SetActivePage(int nIndex) {
    CPropertyPage* pPage = GetPage(nIndex);
    if (!pPage)
        return false;
    pPage->EnsureInitialized();
    m_pTabs->setCurrentIndex(nIndex);
    return true;
}

bool CPropertySheet::SetActivePage(CPropertyPage* pPage) {
    for (int i = 0; i < GetPageCount(); ++i)
        if (m_pages[size_t(i)] == pPage)
            return SetActivePage(i);
    return false;
}

bool CPropertySheet::OnInitDialog() {
    SetActivePage(0);
    if (CPropertyPage* pPage = GetPage(0))
        pPage->setFocus(Qt::OtherFocusReason);
    UpdateApplyButton();
    return true;
}

bool CPropertySheet::IsAnyPageModified() const {
    for (const CPropertyPage* pPage : m_pages)
        if (pPage->IsInitialized() && pPage->IsModified())
            return true;
    return false;
}

void CPropertySheet::UpdateApplyButton() { m_pApply->setEnabled(IsAnyPageModified()); }

bool CPropertySheet::Apply() {
    for (CPropertyPage* pPage : m_pages) {
        if (!pPage->IsInitialized())
            continue;
        if (!pPage->OnApply()) {
            SetActivePage(pPage);
            UpdateApplyButton();
            return false;
        }
        pPage->m_bModified = false;
    }
    UpdateApplyButton();
    return true;
}

void CPropertySheet::OnOK() {
    if (Apply())
        EndDialog(IDOK);
}

}  // namespace platform
