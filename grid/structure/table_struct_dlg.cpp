// The table-structure dialog: the grid and its buttons in layouts, the
// buttons' rules and actions, and the names of added fields.
#include "grid/structure/table_struct_dlg.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include <QBoxLayout>
#include <QFontMetrics>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>

#include "engine/dbf_exception.h"
#include "grid/structure/structure_strings.h"
#include "platform/core/string_table.h"
#include "platform/ui/command_event.h"
#include "platform/ui/message_box.h"

using dbf::DBFFieldDesc;

namespace {

constexpr size_t kMaxNameLength = 10;
// The grid's window style: child, visible, both scroll bars, tab stop.
constexpr uint32_t kGridStyle = 0x50310000;
// The dialog's height in dialog units (eighths of the character height).
constexpr int kDialogHeightDlu = 186;

bool HasFieldNamed(const dbf::CDBFTableDef& tableDef, const std::string& strName) {
    for (int i = 0; i < tableDef.GetFieldCount(); ++i)
        if (tableDef.GetFieldDesc(i).GetName() == strName)
            return true;
    return false;
}

}  // namespace

std::string MakeNewFieldName(const dbf::CDBFTableDef& tableDef) {
    RegisterStructureStrings();
    const std::string strStem = platform::LoadString(IDS_STRUCT_NEW_FIELD);
    std::string strName = strStem.substr(0, kMaxNameLength);
    // Each counter gives another name, so at most one more try than there
    // are fields finds a free one.
    for (unsigned n = 1; HasFieldNamed(tableDef, strName); ++n) {
        char szDigits[16];
        std::snprintf(szDigits, sizeof szDigits, "%u", n);
        size_t nDigits = std::strlen(szDigits);
        strName = strStem.substr(0, kMaxNameLength - std::min(nDigits, kMaxNameLength)) + szDigits;
    }
    return strName;
}

CTableStructDlg::CTableStructDlg(QWidget* pParent) : platform::CDialog(pParent) {
    RegisterStructureStrings();
    setWindowTitle(QStringLiteral("Table structure"));
    setObjectName(QStringLiteral("TableStructDlg"));
    auto* pMain = new QHBoxLayout(this);
    auto* pButtons = new QVBoxLayout;
    m_pSave = AddButton("Save", IDC_STRUCT_SAVE);
    m_pClose = AddButton("Close", IDC_STRUCT_CLOSE);
    m_pUp = AddButton("&Up", IDC_STRUCT_UP);
    m_pDown = AddButton("&Down", IDC_STRUCT_DOWN);
    m_pAdd = AddButton("&Add", IDC_STRUCT_ADD);
    m_pDel = AddButton("Del", IDC_STRUCT_DEL);
    m_pPrint = AddButton("&Print...", IDC_STRUCT_PRINT);
    m_pSave->setDefault(true);
    const int nGap = style()->pixelMetric(QStyle::PM_LayoutVerticalSpacing) * 3;
    pButtons->addWidget(m_pSave);
    pButtons->addWidget(m_pClose);
    pButtons->addSpacing(std::max(nGap, 12));
    pButtons->addWidget(m_pUp);
    pButtons->addWidget(m_pDown);
    pButtons->addSpacing(std::max(nGap, 12));
    pButtons->addWidget(m_pAdd);
    pButtons->addWidget(m_pDel);
    pButtons->addStretch(1);
    pButtons->addWidget(m_pPrint);
    pMain->addLayout(pButtons);

    connect(m_pSave, &QPushButton::clicked, this, &CTableStructDlg::OnSave);
    connect(m_pClose, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_pUp, &QPushButton::clicked, this, &CTableStructDlg::OnUp);
    connect(m_pDown, &QPushButton::clicked, this, &CTableStructDlg::OnDown);
    connect(m_pAdd, &QPushButton::clicked, this, &CTableStructDlg::OnAdd);
    connect(m_pDel, &QPushButton::clicked, this, &CTableStructDlg::OnDel);
    connect(m_pPrint, &QPushButton::clicked, this, &CTableStructDlg::OnPrint);
}

CTableStructDlg::~CTableStructDlg() = default;

QPushButton* CTableStructDlg::AddButton(const char* pszText, int nId) {
    auto* pButton = new QPushButton(QString::fromLatin1(pszText), this);
    pButton->setObjectName(QString::number(nId));
    return pButton;
}

bool CTableStructDlg::OnInitDialog() {
    auto* pGrid = new CTablStructCtrl(this);
    if (!pGrid->Create(WS_EX_CLIENTEDGE, kGridStyle, platform::Rect{0, 0, 200, 200}, this, IDC_STRUCT_GRID)) {
        delete pGrid;
        return false;
    }
    m_pGrid = pGrid;
    m_pGrid->setObjectName(QString::number(IDC_STRUCT_GRID));

    // Columns sized by the grid font's average character, and never so
    // narrow that a header, a type name or a full-length name is cut.
    m_pGrid->RecalcLayout();
    const QFontMetrics& metrics = m_pGrid->GetFont().GetQFontMetrics();
    auto textWidth = [&metrics](const std::string& str) {
        return metrics.horizontalAdvance(QString::fromLatin1(str.data(), static_cast<qsizetype>(str.size()))) + 8;
    };
    int nTypeWidth = 0;
    for (unsigned nId = 59400; nId <= 59412; ++nId)
        nTypeWidth = std::max(nTypeWidth, textWidth(platform::LoadString(nId)));
    int nAve = std::max(1, m_pGrid->GetFont().GetMetrics().nAveCharWidth);
    auto header = [this, &textWidth](int nCol) { return textWidth(m_pGrid->GetColumnHeader(nCol, 0).strText); };
    m_pGrid->SetColumnWidth(0, -1, std::max({100, header(0), textWidth("NEWFIELD10")}));
    // The type list shows a name beside its square drop-down button.
    m_pGrid->SetColumnWidth(1, -1, std::max({10 * nAve, header(1), nTypeWidth + m_pGrid->GetRowHeight()}));
    m_pGrid->SetColumnWidth(2, -1, std::max({8 * nAve, header(2), textWidth("65535")}));
    m_pGrid->SetColumnWidth(3, -1, std::max(5 * nAve, header(3)));

    m_pGrid->SetTableDef(m_pTableDef);
    m_pGrid->SetReadOnly(m_bReadOnly);
    if (!m_bReadOnly && m_pTableDef && m_pTableDef->GetHeader().version == dbf::verVisualFoxPro)
        m_pGrid->AddVisualFoxProTypes();
    m_pGrid->SetRowCount(m_pTableDef ? m_pTableDef->GetFieldCount() : 0, true);
    m_pGrid->RecalcLayout();
    UpdateButtons();

    // Wide enough for every column beside the row headers and a scroll bar,
    // whatever the font.
    int nFrame = 2 * m_pGrid->frameWidth();
    int nBar = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    m_pGrid->setMinimumWidth(static_cast<int>(m_pGrid->GetTotalWidth()) + nFrame + nBar + 2);
    m_pGrid->setMinimumHeight(m_pGrid->GetHeaderHeight() + 6 * m_pGrid->GetRowHeight() + nFrame + nBar);
    static_cast<QBoxLayout*>(layout())->insertWidget(0, m_pGrid, 1);
    setTabOrder(m_pGrid, m_pSave);
    m_pGrid->setFocus(Qt::OtherFocusReason);

    // As wide as the grid's columns need, as high as the template was.
    int nHeightDlu = static_cast<int>(std::lround(kDialogHeightDlu * QFontMetricsF(font()).height() / 8));
    QSize sizeMin = minimumSizeHint();
    resize(sizeMin.width(), std::max(sizeMin.height(), nHeightDlu));
    return true;
}

void CTableStructDlg::UpdateButtons() {
    if (!m_pGrid)
        return;
    if (m_bReadOnly || !m_pTableDef) {
        for (QPushButton* pButton : {m_pSave, m_pUp, m_pDown, m_pDel, m_pAdd})
            pButton->setEnabled(false);
        return;
    }
    int nCount = m_pTableDef->GetFieldCount();
    int nCurrent = m_pGrid->GetCurrentField();
    m_pAdd->setEnabled(nCount < kMaxStructFields);
    m_pDel->setEnabled(nCount > 0);
    m_pUp->setEnabled(nCurrent > 0);
    m_pDown->setEnabled(nCurrent >= 0 && nCurrent < nCount - 1);
}

bool CTableStructDlg::event(QEvent* pEvent) {
    if (const platform::CCommandEvent* pCommand = platform::AsCommand(pEvent)) {
        if (pCommand->GetId() == ID_STRUCT_CURRENT_CHANGED)
            UpdateButtons();
        return true;
    }
    return QDialog::event(pEvent);
}

// ---- buttons ---------------------------------------------------------------------------

void CTableStructDlg::OnSave() {
    if (m_pGrid)
        m_pGrid->EndEditing();
    if (m_pTableDef && m_pTableDef->GetFieldCount() > 0) {
        accept();
        return;
    }
    platform::MessageBox(this, IDS_STRUCT_NO_FIELDS, platform::MB_OK | platform::MB_ICONWARNING);
}

void CTableStructDlg::OnAdd() {
    if (!m_pGrid || !m_pTableDef || m_bReadOnly)
        return;
    m_pGrid->EndEditing();
    int nCount = m_pTableDef->GetFieldCount();
    if (nCount >= kMaxStructFields)
        return;
    DBFFieldDesc desc;
    std::memset(&desc, 0, sizeof desc);
    desc.SetName(MakeNewFieldName(*m_pTableDef));
    desc.type = 'C';
    desc.width = 20;
    int nCurrent = m_pGrid->GetCurrentField();
    try {
        if (nCount > 0 && nCurrent >= 0 && nCurrent < nCount - 1) {
            m_pTableDef->InsertField(nCurrent + 1, desc);
            m_pGrid->InsertRows(nCurrent + 1, 1);
            m_pGrid->MoveTo(m_pGrid->GetCurrentColumn() - m_pGrid->GetFixedColumnCount(), nCurrent + 1);
        } else {
            m_pTableDef->AppendField(desc);
            m_pGrid->InsertRows(nCount, 1);
        }
    } catch (const dbf::CDBFException& e) {
        platform::MessageBox(this, QString::fromStdString(e.GetErrorMessage()), platform::MB_OK | platform::MB_ICONERROR);
    }
    m_pGrid->viewport()->update();
    UpdateButtons();
}

void CTableStructDlg::OnDel() {
    if (!m_pGrid || !m_pTableDef || m_bReadOnly)
        return;
    m_pGrid->EndEditing();
    int nCurrent = m_pGrid->GetCurrentField();
    if (nCurrent < 0)
        return;
    try {
        m_pTableDef->DeleteField(nCurrent);
        m_pGrid->DeleteRows(nCurrent, 1);
    } catch (const dbf::CDBFException& e) {
        platform::MessageBox(this, QString::fromStdString(e.GetErrorMessage()), platform::MB_OK | platform::MB_ICONERROR);
    }
    UpdateButtons();
}

void CTableStructDlg::MoveCurrentField(int nBy) {
    if (!m_pGrid || !m_pTableDef || m_bReadOnly)
        return;
    m_pGrid->EndEditing();
    int nCurrent = m_pGrid->GetCurrentField();
    int nTarget = nCurrent + nBy;
    if (nCurrent < 0 || nTarget < 0 || nTarget >= m_pTableDef->GetFieldCount())
        return;
    try {
        m_pTableDef->MoveField(nCurrent, nTarget);
    } catch (const dbf::CDBFException& e) {
        platform::MessageBox(this, QString::fromStdString(e.GetErrorMessage()), platform::MB_OK | platform::MB_ICONERROR);
        return;
    }
    m_pGrid->InvalidateRow(nCurrent);
    m_pGrid->InvalidateRow(nTarget);
    m_pGrid->MoveTo(m_pGrid->GetCurrentColumn() - m_pGrid->GetFixedColumnCount(), nTarget);
    UpdateButtons();
}

void CTableStructDlg::OnUp() { MoveCurrentField(-1); }

void CTableStructDlg::OnDown() { MoveCurrentField(1); }

void CTableStructDlg::OnPrint() {
    if (!m_pGrid)
        return;
    m_pGrid->EndEditing();
    m_pGrid->PrintGrid();
}
