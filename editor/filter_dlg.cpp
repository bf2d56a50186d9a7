// The Filter dialog.
#include "editor/filter_dlg.h"

#include <algorithm>
#include <cstdio>

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "engine/table_def.h"

using namespace platform;

CFilterDlg::CFilterDlg(QWidget* pParent) : CDialog(pParent) {
    setWindowTitle(QStringLiteral("Filter"));
    setObjectName(QString::number(IDD_FILTER));
    auto* pLayout = new QGridLayout(this);
    pLayout->setHorizontalSpacing(8);
    pLayout->setVerticalSpacing(8);

    m_pCondition = new QComboBox(this);
    m_pCondition->setEditable(true);
    m_pCondition->setInsertPolicy(QComboBox::NoInsert);
    m_pCondition->setMinimumWidth(260);
    m_pCondition->setMaxVisibleItems(12);
    SetControlId(m_pCondition, IDC_FILTER_CONDITION);
    auto* pConditionLabel = new QLabel(QStringLiteral("C&ondition:"), this);
    pConditionLabel->setBuddy(m_pCondition);

    m_pField = new QComboBox(this);
    m_pField->setMaxVisibleItems(16);
    SetControlId(m_pField, IDC_FILTER_FIELD);
    auto* pFieldLabel = new QLabel(QStringLiteral("&Field:"), this);
    pFieldLabel->setBuddy(m_pField);

    pLayout->addWidget(pConditionLabel, 0, 0);
    pLayout->addWidget(m_pCondition, 0, 1);
    pLayout->addWidget(pFieldLabel, 1, 0);
    pLayout->addWidget(m_pField, 1, 1);

    auto* pButtons = new QVBoxLayout;
    pButtons->setSpacing(6);
    auto* pSet = new QPushButton(QStringLiteral("&Set"), this);
    auto* pClose = new QPushButton(QStringLiteral("Close"), this);
    SetControlId(pSet, IDOK);
    SetControlId(pClose, IDCANCEL);
    pSet->setDefault(true);
    pSet->setAutoDefault(true);
    pClose->setAutoDefault(false);
    connect(pSet, &QPushButton::clicked, this, [this] { OnOK(); });
    connect(pClose, &QPushButton::clicked, this, [this] { OnCancel(); });
    pButtons->addWidget(pSet);
    pButtons->addWidget(pClose);
    pButtons->addStretch(1);
    pLayout->addLayout(pButtons, 0, 2, 2, 1);
    pLayout->setColumnMinimumWidth(2, 88);
    pLayout->setSizeConstraint(QLayout::SetFixedSize);
    setTabOrder(m_pCondition, m_pField);
    setTabOrder(m_pField, pSet);
    setTabOrder(pSet, pClose);
}

bool CFilterDlg::OnInitDialog() {
    m_pCondition->clear();
    if (m_pHistory)
        for (const std::string& str : *m_pHistory)
            m_pCondition->addItem(m_codec.ToUnicode(str));
    m_pCondition->setCurrentIndex(-1);
    m_pCondition->setEditText(m_codec.ToUnicode(m_strCondition));
    m_pCondition->lineEdit()->selectAll();

    m_pField->clear();
    int nSelect = -1;
    int nVisible = 0;
    if (m_pColumns && m_pTableDef) {
        for (size_t i = 0; i < m_pColumns->size(); ++i) {
            const ColumnInfo& info = (*m_pColumns)[i];
            if (!info.bVisible || info.nField < 0 || info.nField >= m_pTableDef->GetFieldCount())
                continue;
            dbf::DBFFieldInfo field = m_pTableDef->GetFieldInfo(info.nField);
            char sz[64];
            if (field.cType == 'B' || field.cType == 'F' || field.cType == 'N' || field.cType == 'Y')
                std::snprintf(sz, sizeof sz, "%s   %c(%u,%u)", field.strName.c_str(), field.cType,
                              unsigned(field.nWidth), unsigned(field.nDecimals));
            else
                std::snprintf(sz, sizeof sz, "%s   %c(%u)", field.strName.c_str(), field.cType, unsigned(field.nWidth));
            m_pField->addItem(m_codec.ToUnicode(sz), int(i));
            if (nVisible == m_nCurrentColumn)
                nSelect = m_pField->count() - 1;
            ++nVisible;
        }
    }
    m_pField->addItem(QStringLiteral("*"), -1);
    m_pField->setCurrentIndex(nSelect >= 0 ? nSelect : m_pField->count() - 1);
    m_pCondition->setFocus();
    return true;
}

void CFilterDlg::OnOK() {
    std::string strText = m_codec.FromUnicode(m_pCondition->currentText().trimmed());
    int nItem = m_pField->currentIndex();
    int nEntry = nItem >= 0 ? m_pField->itemData(nItem).toInt() : -1;
    m_nField = -1;
    if (nEntry >= 0 && m_pColumns && size_t(nEntry) < m_pColumns->size())
        m_nField = (*m_pColumns)[size_t(nEntry)].nField;
    // A condition typed anew goes to the front of the history, once.
    bool bFromHistory = m_pCondition->currentIndex() >= 0 && m_pCondition->itemText(m_pCondition->currentIndex()) ==
                                                                 m_pCondition->currentText();
    if (m_pHistory && !bFromHistory && !strText.empty() &&
        std::find(m_pHistory->begin(), m_pHistory->end(), strText) == m_pHistory->end())
        m_pHistory->insert(m_pHistory->begin(), strText);
    m_strCondition = strText;
    EndDialog(IDOK);
}
