// Modal dialogs with numeric results and control ids, answered by a test's
// hook when one is set.
#include "platform/ui/dialog.h"

namespace platform {

namespace {

CScopedDialogHook*& CurrentHook() {
    static CScopedDialogHook* s_pHook = nullptr;
    return s_pHook;
}

}  // namespace

CDialog::CDialog(QWidget* pParent) : QDialog(pParent) {}

bool CDialog::EnsureInitialized() {
    if (!m_bInitialized) {
        m_bInitialized = true;
        m_bInitOk = OnInitDialog();
    }
    return m_bInitOk;
}

int CDialog::DoModal() {
    m_nModalResult = -1;
    if (!EnsureInitialized())
        return IDCANCEL;
    if (CScopedDialogHook* pHook = CurrentHook())
        return pHook->Answer(*this);
    exec();
    return m_nModalResult >= 0 ? m_nModalResult : IDCANCEL;
}

void CDialog::EndDialog(int nResult) {
    m_nModalResult = nResult;
    QDialog::done(nResult == IDOK ? QDialog::Accepted : QDialog::Rejected);
}

void CDialog::done(int nResult) {
    // QDialog's own paths (the window's close button) end as Cancel.
    if (m_nModalResult < 0)
        m_nModalResult = nResult == QDialog::Accepted ? IDOK : IDCANCEL;
    QDialog::done(nResult);
}

void CDialog::setVisible(bool bVisible) {
    if (bVisible) {
        EnsureInitialized();
        m_nModalResult = -1;
    }
    QDialog::setVisible(bVisible);
}

QWidget* CDialog::GetDlgItem(int nId) const {
    return findChild<QWidget*>(QString::number(nId));
}

void CDialog::SetControlId(QWidget* pControl, int nId) {
    if (pControl)
        pControl->setObjectName(QString::number(nId));
}

CScopedDialogHook::CScopedDialogHook(AnswerFunction answer)
    : m_answer(std::move(answer)), m_pPrevious(CurrentHook()) {
    CurrentHook() = this;
}

CScopedDialogHook::~CScopedDialogHook() { CurrentHook() = m_pPrevious; }

int CScopedDialogHook::Answer(CDialog& dialog) {
    ++m_nCount;
    return m_answer ? m_answer(dialog) : IDCANCEL;
}

}  // namespace platform
