// The memo text, structure and about dialogs.
#include "viewer/viewer_dialogs.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/core/string_table.h"
#include "platform/ui/link_static.h"
#include "platform/ui/system_metrics.h"
#include "viewer/reader/dbf_file_reader.h"
#include "viewer/toolbar_icons.h"
#include "viewer/viewer_ids.h"

using namespace platform;

const char kPeekrowMailAddress[] = "peekrow@morvane.org";
const char kPeekrowWebAddress[] = "https://morvane.org/peekrow";

namespace {

QDialogButtonBox* AddOkButton(CDialog* pDialog) {
    auto* pButtons = new QDialogButtonBox(QDialogButtonBox::Ok, pDialog);
    CDialog::SetControlId(pButtons->button(QDialogButtonBox::Ok), IDOK);
    QObject::connect(pButtons, &QDialogButtonBox::accepted, pDialog, [pDialog] { pDialog->OnOK(); });
    return pButtons;
}

}  // namespace

// ---- Memo Info ------------------------------------------------------------------------

CMemoDlg::CMemoDlg(const QString& strText, QWidget* pParent) : CDialog(pParent) {
    setWindowTitle(QStringLiteral("Memo Info"));
    setObjectName(QStringLiteral("MemoDlg"));
    auto* pLayout = new QVBoxLayout(this);
    m_pEdit = new QPlainTextEdit(this);
    SetControlId(m_pEdit, IDC_MEMO_TEXT);
    m_pEdit->setReadOnly(true);
    m_pEdit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_pEdit->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    QString strShown = strText;
    strShown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    strShown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    m_pEdit->setPlainText(strShown);
    pLayout->addWidget(m_pEdit);
    pLayout->addWidget(AddOkButton(this));
    resize(460, 320);
}

// ---- Table Structure ----------------------------------------------------------------------

const char* FieldTypeName(char cType) {
    switch (cType) {
    case '0': return "System";
    case 'B': return "Double";
    case 'C': return "Character";
    case 'D': return "Date";
    case 'F': return "Float";
    case 'G': return "General";
    case 'I': return "Integer";
    case 'L': return "Logical";
    case 'M': return "Memo";
    case 'N': return "Numeric";
    case 'P': return "Picture";
    case 'T': return "DateTime";
    case 'Y': return "Currency";
    default: return "Unknow";
    }
}

std::vector<StructureRow> MakeStructureRows(const CDBFFileReader& reader,
                                            const std::function<std::string(std::string)>& toDisplay) {
    std::vector<StructureRow> rows;
    for (int i = 0; i < reader.GetFieldCount(); ++i) {
        const ReaderField& field = reader.GetField(i);
        StructureRow row;
        row.strName = toDisplay ? toDisplay(field.GetName()) : field.GetName();
        row.strType = FieldTypeName(field.GetType());
        row.nWidth = field.GetWidth();
        row.nDecimals = field.GetDecimals();
        rows.push_back(std::move(row));
    }
    return rows;
}

namespace {

enum StructureColumn { colNumber, colName, colType, colWidth, colDecimals, colCount };

}  // namespace

CStructureGrid::CStructureGrid(QWidget* pParent) : CKelGridCtrl(pParent) {
    constexpr unsigned kHeader = DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS;
    constexpr unsigned kLeft = DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX;
    constexpr unsigned kRight = DT_RIGHT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX;
    const int nAverage = std::max(1, GetFont().GetMetrics().nAveCharWidth);
    const struct {
        unsigned nString;
        int nChars;
        unsigned nFormat;
    } kColumns[colCount] = {
        {IDS_STRUCT_N, 4, kRight},     {IDS_STRUCT_NAME, 13, kLeft},   {IDS_STRUCT_TYPE, 11, kLeft},
        {IDS_STRUCT_WIDTH, 7, kRight}, {IDS_STRUCT_DECIMAL, 8, kRight},
    };
    for (const auto& column : kColumns) {
        int nCol = InsertColumn((column.nChars + 2) * nAverage, LoadString(column.nString), column.nFormat, kHeader);
        SetColumnEditor(nCol, GEK_NONE, WS_CHILD, 0);
    }
    SetFixedColumnCount(0, false);
}

void CStructureGrid::SetRows(std::vector<StructureRow> rows) {
    m_rows = std::move(rows);
    SetRowCount(GridRow(m_rows.size()), false);
    RecalcLayout();
    viewport()->update();
}

GridCellValue CStructureGrid::GetCellValue(int nCol, GridRow nRow) {
    if (nRow < 0 || nRow >= GridRow(m_rows.size()))
        return GridCellValue{};
    const StructureRow& row = m_rows[size_t(nRow)];
    switch (nCol) {
    case colNumber: return GridCellValue{std::to_string(nRow + 1), -1};
    case colName: return GridCellValue{row.strName, -1};
    case colType: return GridCellValue{row.strType, -1};
    case colWidth: return GridCellValue{std::to_string(row.nWidth), -1};
    case colDecimals: return GridCellValue{std::to_string(row.nDecimals), -1};
    default: return GridCellValue{};
    }
}

CStructureDlg::CStructureDlg(std::vector<StructureRow> rows, const CTextCodec& codec, QWidget* pParent)
    : CDialog(pParent) {
    setWindowTitle(QStringLiteral("Table Structure"));
    setObjectName(QStringLiteral("StructureDlg"));
    auto* pLayout = new QVBoxLayout(this);
    m_pGrid = new CStructureGrid(this);
    m_pGrid->SetTextCodec(codec);
    m_pGrid->Create(WS_EX_CLIENTEDGE, WS_TABSTOP | WS_VISIBLE, Rect{0, 0, 360, 240}, this, IDC_STRUCTURE_GRID);
    m_pGrid->SetRows(std::move(rows));
    int nWidth = 4 + GetSystemMetrics(SM_CXVSCROLL);
    for (int i = 0; i < m_pGrid->GetColumnCount(-1); ++i)
        nWidth += m_pGrid->GetColumnWidth(i, -1);
    m_pGrid->setMinimumSize(nWidth, 200);
    pLayout->addWidget(m_pGrid, 1);
    pLayout->addWidget(AddOkButton(this));
}

// ---- About Peekrow ------------------------------------------------------------------------

CAboutDlg::CAboutDlg(QWidget* pParent) : CDialog(pParent) {
    setWindowTitle(QStringLiteral("About Peekrow"));
    setObjectName(QStringLiteral("AboutDlg"));
    auto* pLayout = new QGridLayout(this);
    auto* pIcon = new QLabel(this);
    pIcon->setPixmap(PeekrowIcon().pixmap(48, 48));
    pLayout->addWidget(pIcon, 0, 0, 4, 1, Qt::AlignTop);
    pLayout->addWidget(new QLabel(QStringLiteral("Peekrow Version 1.2"), this), 0, 1);
    pLayout->addWidget(new QLabel(QStringLiteral("Morvane, 2024-2026"), this), 1, 1);
    auto* pMail = new CLinkStatic(QString::fromLatin1(kPeekrowMailAddress), this);
    pMail->SetURL(QStringLiteral("mailto:") + QString::fromLatin1(kPeekrowMailAddress));
    SetControlId(pMail, IDC_ABOUT_MAIL);
    pLayout->addWidget(pMail, 2, 1);
    auto* pWeb = new CLinkStatic(QString::fromLatin1(kPeekrowWebAddress), this);
    pWeb->SetURL(QString::fromLatin1(kPeekrowWebAddress));
    SetControlId(pWeb, IDC_ABOUT_WEB);
    pLayout->addWidget(pWeb, 3, 1);
    pLayout->addWidget(AddOkButton(this), 4, 0, 1, 2);
    pLayout->setSizeConstraint(QLayout::SetFixedSize);
}
