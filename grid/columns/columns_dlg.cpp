// The Columns dialog: its controls in layouts, the inputs turned into what
// the list shows, and the buttons' and the width edit's actions.
#include "grid/columns/columns_dlg.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <utility>

#include <QBoxLayout>
#include <QDialogButtonBox>
#include <QFontMetricsF>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QStyle>

#include "grid/columns/columns_strings.h"
#include "platform/ui/command_event.h"
#include "platform/ui/dialog_data.h"
#include "platform/ui/message_box.h"

using namespace platform;

namespace {

// The list: visible, a tab stop, the whole current row highlighted.
constexpr uint32_t kListStyle = WS_VISIBLE | WS_TABSTOP | GS_ROWSELECT;

// The dialog's size in dialog units; the viewer's lacks the header
// column and is shorter.
constexpr int kDialogWidthDlu = 216;
constexpr int kEditorHeightDlu = 194;
constexpr int kViewerHeightDlu = 177;

}  // namespace

CColumnsDlg::CColumnsDlg(ColumnsDlgVariant variant, QWidget* pParent)
    : CDialog(pParent),
      m_variant(variant),
      m_ids(variant == ColumnsDlgVariant::Editor ? kEditorColumnsIds : kViewerColumnsIds) {
    RegisterColumnsStrings();
    setWindowTitle(QStringLiteral("Columns"));
    setObjectName(QStringLiteral("Columns"));

    auto* pMain = new QVBoxLayout(this);
    auto* pIntro = new QLabel(QStringLiteral("Check the columns to show. The Down and Up buttons set their order."),
                              this);
    pIntro->setWordWrap(true);
    pMain->addWidget(pIntro);

    // The list goes where the placeholder is, beside the buttons that act on it.
    auto* pMiddle = new QHBoxLayout;
    m_pListPlace = new QWidget(this);
    pMiddle->addWidget(m_pListPlace, 1);
    auto* pButtons = new QVBoxLayout;
    m_pUp = AddButton("&Up", m_ids.nUp);
    m_pDown = AddButton("&Down", m_ids.nDown);
    m_pShow = AddButton("&Show", m_ids.nShow);
    m_pHide = AddButton("&Hide", m_ids.nHide);
    m_pDefault = AddButton("D&efault", m_ids.nDefault);
    const int nGap = std::max(12, style()->pixelMetric(QStyle::PM_LayoutVerticalSpacing) * 3);
    pButtons->addWidget(m_pUp);
    pButtons->addWidget(m_pDown);
    pButtons->addSpacing(nGap);
    pButtons->addWidget(m_pShow);
    pButtons->addWidget(m_pHide);
    pButtons->addSpacing(nGap);
    pButtons->addWidget(m_pDefault);
    pButtons->addStretch(1);
    pMiddle->addLayout(pButtons);
    pMain->addLayout(pMiddle, 1);

    auto* pWidthRow = new QHBoxLayout;
    auto* pWidthLabel = new QLabel(QStringLiteral("Width of the chosen column:"), this);
    m_pWidth = new QLineEdit(this);
    SetControlId(m_pWidth, m_ids.nWidth);
    // Digits only: the range is checked as the user types, with its message.
    m_pWidth->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,10}")), m_pWidth));
    m_pWidth->setFixedWidth(QFontMetrics(m_pWidth->font()).horizontalAdvance(QStringLiteral("000000")) + 12);
    pWidthLabel->setBuddy(m_pWidth);
    pWidthRow->addWidget(pWidthLabel);
    pWidthRow->addWidget(m_pWidth);
    pWidthRow->addWidget(new QLabel(QStringLiteral("pixel."), this));
    pWidthRow->addStretch(1);
    pMain->addLayout(pWidthRow);

    auto* pBox = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    QPushButton* pOk = pBox->button(QDialogButtonBox::Ok);
    QPushButton* pCancel = pBox->button(QDialogButtonBox::Cancel);
    SetControlId(pOk, IDOK);
    SetControlId(pCancel, IDCANCEL);
    pOk->setDefault(true);
    pMain->addWidget(pBox);

    connect(pOk, &QPushButton::clicked, this, [this] { OnOK(); });
    connect(pCancel, &QPushButton::clicked, this, [this] { OnCancel(); });
    connect(m_pUp, &QPushButton::clicked, this, &CColumnsDlg::OnUp);
    connect(m_pDown, &QPushButton::clicked, this, &CColumnsDlg::OnDown);
    connect(m_pShow, &QPushButton::clicked, this, &CColumnsDlg::OnShow);
    connect(m_pHide, &QPushButton::clicked, this, &CColumnsDlg::OnHide);
    connect(m_pDefault, &QPushButton::clicked, this, &CColumnsDlg::OnDefault);
    connect(m_pWidth, &QLineEdit::textEdited, this, &CColumnsDlg::OnWidthEdited);
}

CColumnsDlg::~CColumnsDlg() {
    // The list commits a pending edit as it goes, into the layout this
    // dialog owns: it goes while the layout is still there.
    delete m_pList;
    m_pList = nullptr;
}

QPushButton* CColumnsDlg::AddButton(const char* pszText, int nId) {
    auto* pButton = new QPushButton(QString::fromLatin1(pszText), this);
    SetControlId(pButton, nId);
    // Enter is OK's wherever the focus is, as in the other dialogs.
    pButton->setAutoDefault(false);
    return pButton;
}

void CColumnsDlg::SetFieldNames(std::vector<std::string> fieldNames) {
    m_fieldNames = std::move(fieldNames);
    m_bHasNames = true;
}

void CColumnsDlg::SetLayout(ColumnLayout layout) {
    m_layout = std::move(layout);
    m_bHasLayout = true;
}

void CColumnsDlg::SetCodePage(bool bDosCodePage, const CTextCodec& codec, const CCodePage* pOemPage) {
    m_bDosCodePage = bDosCodePage;
    m_codec = codec;
    m_pOemPage = pOemPage;
}

QSize CColumnsDlg::DialogUnits(int cx, int cy) const {
    // A dialog unit is a quarter of the font's average letter wide and an
    // eighth of its line high.
    QFontMetricsF metrics(font());
    const QString strLetters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    double dAverage = metrics.horizontalAdvance(strLetters) / strLetters.size();
    return QSize(static_cast<int>(std::lround(cx * dAverage / 4)), static_cast<int>(std::lround(cy * metrics.height() / 8)));
}

bool CColumnsDlg::OnInitDialog() {
    // The names as the list shows them: converted from the DOS page when the
    // table's text is in it.
    m_displayNames = m_fieldNames;
    if (m_bDosCodePage) {
        CCodePageConverter toDisplay(m_pOemPage ? *m_pOemPage : OemCodePage(), m_codec.GetCodePage());
        for (std::string& strName : m_displayNames)
            toDisplay.ConvertInPlace(strName);
    }

    if (m_bHasNames && m_bHasLayout) {
        auto* pList = new CColumnList(m_variant == ColumnsDlgVariant::Editor, this);
        if (!pList->Create(WS_EX_CLIENTEDGE, kListStyle, Rect{0, 0, 200, 200}, this, IDC_COLUMNS_LIST)) {
            delete pList;
        } else {
            m_pList = pList;
            SetControlId(m_pList, IDC_COLUMNS_LIST);
            m_pList->SetNotifyCommand(m_ids.nUpdateCommand);
            m_pList->SetTextCodec(m_codec);
            m_pList->SetLayout(&m_layout, &m_displayNames);
            // Never so narrow that the check boxes and a field name are cut,
            // nor so low that only a row or two shows.
            int nFrame = 2 * m_pList->frameWidth();
            int nBar = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
            m_pList->setMinimumWidth(m_pList->GetMinimumColumnsWidth() + nFrame + nBar);
            m_pList->setMinimumHeight(m_pList->GetFixedRowCount() * m_pList->GetHeaderHeight() +
                                      6 * m_pList->GetRowHeight() + nFrame + nBar);
            layout()->replaceWidget(m_pListPlace, m_pList);
            delete m_pListPlace;
            m_pListPlace = nullptr;
            m_pList->raise();
            connect(m_pList, &CKelGridWindow::gridNotify, this, [this](unsigned nMessage, quintptr, qintptr) {
                if (nMessage == WM_GRID_CURCELLCHANGED)
                    OnCurrentEntryChanged();
            });
            setTabOrder(m_pList, m_pUp);
            m_pList->setFocus(Qt::OtherFocusReason);
        }
    }

    QSize sizeUnits = DialogUnits(kDialogWidthDlu,
                                  m_variant == ColumnsDlgVariant::Editor ? kEditorHeightDlu : kViewerHeightDlu);
    QSize sizeMin = minimumSizeHint();
    resize(std::max(sizeMin.width(), sizeUnits.width()), std::max(sizeMin.height(), sizeUnits.height()));
    layout()->activate();
    if (m_pList)
        m_pList->FitColumns();
    ShowCurrentWidth();
    UpdateButtons();
    return true;
}

// ---- the buttons --------------------------------------------------------------------

void CColumnsDlg::UpdateButtons() {
    int nCount = static_cast<int>(m_layout.size());
    int nCurrent = m_pList ? m_pList->GetCurrentEntry() : -1;
    bool bCurrent = nCurrent >= 0 && nCurrent < nCount;
    bool bVisible = bCurrent && m_layout[static_cast<size_t>(nCurrent)].bVisible;
    m_pUp->setEnabled(bCurrent && nCurrent > 0);
    m_pDown->setEnabled(bCurrent && nCurrent < nCount - 1);
    m_pShow->setEnabled(bCurrent && !bVisible);
    m_pHide->setEnabled(bCurrent && bVisible);
    m_pDefault->setEnabled(m_pList != nullptr);
    m_pWidth->setEnabled(bCurrent);
}

void CColumnsDlg::MoveCurrentEntry(int nBy) {
    if (!m_pList)
        return;
    m_pList->EndEditing();
    int nCurrent = m_pList->GetCurrentEntry();
    int nTarget = nCurrent + nBy;
    if (nCurrent < 0 || nTarget < 0 || nTarget >= static_cast<int>(m_layout.size()))
        return;
    std::swap(m_layout[static_cast<size_t>(nCurrent)], m_layout[static_cast<size_t>(nTarget)]);
    m_pList->InvalidateRow(nCurrent);
    m_pList->InvalidateRow(nTarget);
    // The moved entry stays current, in the same column.
    m_pList->MoveToEntry(nTarget);
    UpdateButtons();
}

void CColumnsDlg::SetCurrentVisible(bool bVisible) {
    if (!m_pList)
        return;
    m_pList->EndEditing();
    int nCurrent = m_pList->GetCurrentEntry();
    if (nCurrent < 0)
        return;
    m_layout[static_cast<size_t>(nCurrent)].bVisible = bVisible;
    m_pList->RefreshEntries();
    UpdateButtons();
}

int CColumnsDlg::DefaultWidth(size_t nField) const {
    QString strName = m_codec.ToUnicode(nField < m_displayNames.size() ? m_displayNames[nField] : std::string());
    return static_cast<int>(std::ceil(QFontMetricsF(font()).horizontalAdvance(strName + QLatin1Char(' '))));
}

void CColumnsDlg::OnDefault() {
    if (!m_pList)
        return;
    m_pList->EndEditing();
    ColumnLayout layout = MakeDefaultLayout(m_fieldNames);
    for (size_t j = 0; j < layout.size(); ++j) {
        ColumnInfo& info = layout[j];
        if (j < m_layout.size()) {
            info.nGridCol = m_layout[j].nGridCol;
            // The viewer's entries carry no header of their own.
            if (m_variant == ColumnsDlgVariant::Viewer)
                info.strHead = m_layout[j].strHead;
        }
        info.nWidth = DefaultWidth(j);
    }
    m_layout = std::move(layout);
    m_pList->RefreshEntries();
    ShowCurrentWidth();
    UpdateButtons();
}

void CColumnsDlg::OnOK() {
    if (m_pList)
        m_pList->EndEditing();
    if (!HasVisibleColumn(m_layout)) {
        MessageBox(this, m_ids.nNoVisibleMessage, MB_OK | MB_ICONWARNING);
        return;
    }
    EndDialog(IDOK);
}

// ---- the width edit -----------------------------------------------------------------

void CColumnsDlg::OnCurrentEntryChanged() {
    ShowCurrentWidth();
    UpdateButtons();
}

void CColumnsDlg::ShowCurrentWidth() {
    int nCurrent = m_pList ? m_pList->GetCurrentEntry() : -1;
    if (nCurrent < 0) {
        m_pWidth->clear();
        return;
    }
    // The grid's own width (-1) shows as 0, and stays -1 until a width is typed.
    int nWidth = m_layout[static_cast<size_t>(nCurrent)].nWidth;
    m_pWidth->setText(QString::number(std::max(0, nWidth)));
}

void CColumnsDlg::OnWidthEdited(const QString& strText) {
    int nCurrent = m_pList ? m_pList->GetCurrentEntry() : -1;
    // An emptied edit is a number still being typed.
    if (nCurrent < 0 || strText.isEmpty())
        return;
    bool bOk = false;
    qlonglong nTyped = strText.toLongLong(&bOk);
    if (!bOk)
        nTyped = LLONG_MAX;
    int nWidth = static_cast<int>(std::clamp<qlonglong>(nTyped, INT_MIN, INT_MAX));
    if (!DDV_MinMaxInt(m_pWidth, nWidth, 0, kMaxColumnWidth))
        return;
    m_layout[static_cast<size_t>(nCurrent)].nWidth = nWidth;
}

bool CColumnsDlg::event(QEvent* pEvent) {
    if (const CCommandEvent* pCommand = AsCommand(pEvent)) {
        if (pCommand->GetId() == m_ids.nUpdateCommand)
            UpdateButtons();
        return true;
    }
    return CDialog::event(pEvent);
}
