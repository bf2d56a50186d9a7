// The Formulas dialog.
#include "editor/formula_dlg.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace platform;

CFormulaDlg::CFormulaDlg(QWidget* pParent, ApplyFunction apply) : CDialog(pParent), m_apply(std::move(apply)) {
    setWindowTitle(QStringLiteral("Formuls"));
    setObjectName(QString::number(IDD_FORMULAS));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    auto* pLayout = new QGridLayout(this);
    pLayout->setHorizontalSpacing(8);
    pLayout->setVerticalSpacing(8);

    m_pOperator = new QComboBox(this);
    SetControlId(m_pOperator, IDC_FORMULA_OPERATOR);
    m_pOperator->setMinimumWidth(56);
    auto* pOperatorLabel = new QLabel(QStringLiteral("&Operation:"), this);
    pOperatorLabel->setBuddy(m_pOperator);

    m_pNumber = new QLineEdit(this);
    SetControlId(m_pNumber, IDC_FORMULA_NUMBER);
    m_pNumber->setMinimumWidth(140);
    m_pNumber->setAlignment(Qt::AlignRight);
    auto* pNumberLabel = new QLabel(QStringLiteral("&Number:"), this);
    pNumberLabel->setBuddy(m_pNumber);

    pLayout->addWidget(pOperatorLabel, 0, 0);
    pLayout->addWidget(m_pOperator, 0, 1, Qt::AlignLeft);
    pLayout->addWidget(pNumberLabel, 1, 0);
    pLayout->addWidget(m_pNumber, 1, 1);

    auto* pButtons = new QVBoxLayout;
    pButtons->setSpacing(6);
    auto* pApply = new QPushButton(QStringLiteral("Apply"), this);
    auto* pClose = new QPushButton(QStringLiteral("Close"), this);
    SetControlId(pApply, IDOK);
    SetControlId(pClose, IDCANCEL);
    pApply->setDefault(true);
    pClose->setAutoDefault(false);
    connect(pApply, &QPushButton::clicked, this, [this] { OnOK(); });
    connect(pClose, &QPushButton::clicked, this, [this] { OnCancel(); });
    pButtons->addWidget(pApply);
    pButtons->addWidget(pClose);
    pButtons->addStretch(1);
    pLayout->addLayout(pButtons, 0, 2, 2, 1);
    pLayout->setColumnMinimumWidth(2, 88);
    pLayout->setSizeConstraint(QLayout::SetFixedSize);
    setTabOrder(m_pOperator, m_pNumber);
    setTabOrder(m_pNumber, pApply);
    setTabOrder(pApply, pClose);
}

bool CFormulaDlg::OnInitDialog() {
    m_pOperator->clear();
    for (const char* psz : {"=", "+", "-", "*", "/"})
        m_pOperator->addItem(QString::fromLatin1(psz));
    m_pOperator->setCurrentIndex(0);
    m_pNumber->setText(QStringLiteral("0"));
    return true;
}

void CFormulaDlg::OnOK() {
    if (m_apply)
        m_apply(m_pOperator->currentIndex(), m_pNumber->text());
}
