// The Find dialog and its advanced panels.
#include "viewer/find_dlg.h"

#include <algorithm>
#include <cstdio>
#include <iterator>

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QVBoxLayout>

#include "platform/core/ole_date.h"
#include "platform/core/string_table.h"
#include "platform/core/value_coercion.h"
#include "platform/ui/main_frame.h"
#include "platform/ui/message_box.h"
#include "platform/ui/win_app.h"
#include "viewer/child_frame.h"
#include "viewer/dbf_doc.h"
#include "viewer/dbf_view.h"
#include "viewer/peekrow_app.h"
#include "viewer/viewer_ids.h"

using platform::CDialog;

namespace {

constexpr int kNoDirection = -1;

// The logical panel's buttons, in the order of LogicalChoice.
constexpr int kLogicalChoiceIds[] = {IDC_LOGICAL_EMPTY, IDC_LOGICAL_INVALID, IDC_LOGICAL_TRUE,
                                     IDC_LOGICAL_FALSE, IDC_LOGICAL_YES,     IDC_LOGICAL_NO};

// A find text read as a date: the cell's own pattern (month/day/year, with or
// without its time), else as the user's locale writes dates.
QDateTime ParseFindDate(const QString& strText) {
    const QString strTrimmed = strText.simplified();
    for (const char* pszFormat : {"MM/dd/yyyy hh:mm:ss", "M/d/yyyy h:mm:ss", "MM/dd/yyyy", "M/d/yyyy"}) {
        QDateTime dt = QDateTime::fromString(strTrimmed, QString::fromLatin1(pszFormat));
        if (dt.isValid())
            return dt;
    }
    double dDate = 0;
    platform::DateTimeParts parts;
    const QByteArray bytes = strTrimmed.toUtf8();
    if (!strTrimmed.isEmpty() && platform::ParseDateText(std::string_view(bytes.constData(), size_t(bytes.size())), dDate) &&
        platform::SplitOleDate(dDate, parts)) {
        QDateTime dt(QDate(parts.nYear, parts.nMonth, parts.nDay), QTime(parts.nHour, parts.nMinute, parts.nSecond));
        if (dt.isValid())
            return dt;
    }
    return QDateTime();
}

QString FieldItemText(const ReaderField& field) {
    const char cType = field.GetType();
    char sz[160];
    if (cType == 'B' || cType == 'F' || cType == 'N' || cType == 'Y')
        std::snprintf(sz, sizeof sz, "%s   %c(%u,%u)", field.GetName().c_str(), cType, unsigned(field.desc.width),
                      unsigned(field.desc.decimals));
    else
        std::snprintf(sz, sizeof sz, "%s   %c(%u)", field.GetName().c_str(), cType, unsigned(field.GetWidth()));
    return QString::fromLatin1(sz);
}

}  // namespace

// ---- the panels ---------------------------------------------------------------------------

CFindPanel::CFindPanel(FindPanel kind, QWidget* pParent) : QWidget(pParent), m_kind(kind) {
    auto* pLayout = new QGridLayout(this);
    pLayout->setContentsMargins(0, 0, 0, 0);
    auto addRange = [&](QWidget* pLower, QWidget* pUpper) {
        pLayout->addWidget(new QLabel(QStringLiteral("More or equal then"), this), 0, 0);
        pLayout->addWidget(new QLabel(QStringLiteral("Less or equal then"), this), 0, 1);
        pLayout->addWidget(pLower, 1, 0);
        pLayout->addWidget(pUpper, 1, 1);
        auto* pRow = new QHBoxLayout;
        QRadioButton* pAnd = AddRadio("And", IDC_RANGE_AND);
        pRow->addWidget(pAnd);
        pRow->addWidget(AddRadio("Or", IDC_RANGE_OR));
        pRow->addStretch(1);
        pLayout->addLayout(pRow, 2, 0, 1, 2);
        pAnd->setChecked(true);
    };
    switch (kind) {
    case FindPanel::text: {
        auto* pCase = new QCheckBox(QStringLiteral("Match &case"), this);
        CDialog::SetControlId(pCase, IDC_TEXT_MATCH_CASE);
        pCase->setChecked(true);
        pLayout->addWidget(pCase, 0, 0);
        break;
    }
    case FindPanel::number: {
        auto* pLower = new QLineEdit(QStringLiteral("0"), this);
        auto* pUpper = new QLineEdit(QStringLiteral("0"), this);
        CDialog::SetControlId(pLower, IDC_RANGE_LOWER);
        CDialog::SetControlId(pUpper, IDC_RANGE_UPPER);
        for (QLineEdit* pEdit : {pLower, pUpper})
            pEdit->setAlignment(Qt::AlignRight);
        addRange(pLower, pUpper);
        break;
    }
    case FindPanel::date: {
        const QDateTime now = QDateTime::currentDateTime();
        QDateTimeEdit* pickers[2];
        for (int i = 0; i < 2; ++i) {
            pickers[i] = new QDateTimeEdit(now, this);
            pickers[i]->setCalendarPopup(true);
            pickers[i]->setDisplayFormat(QStringLiteral("MM/dd/yyyy  HH:mm:ss"));
            pickers[i]->setMinimumDate(QDate(1, 1, 1));
            CDialog::SetControlId(pickers[i], i == 0 ? IDC_DATE_LOWER : IDC_DATE_UPPER);
        }
        addRange(pickers[0], pickers[1]);
        break;
    }
    case FindPanel::logical: {
        const struct {
            const char* pszText;
            int nId;
        } kChoices[] = {{"Empty Value", IDC_LOGICAL_EMPTY}, {"Invalid Value", IDC_LOGICAL_INVALID},
                        {"True", IDC_LOGICAL_TRUE},         {"False", IDC_LOGICAL_FALSE},
                        {"Yes", IDC_LOGICAL_YES},           {"No", IDC_LOGICAL_NO}};
        for (int i = 0; i < 6; ++i)
            pLayout->addWidget(AddRadio(kChoices[i].pszText, kChoices[i].nId), i % 2, i / 2);
        GetDlgItem<QRadioButton>(IDC_LOGICAL_EMPTY)->setChecked(true);
        break;
    }
    }
}

QRadioButton* CFindPanel::AddRadio(const char* pszText, int nId) {
    auto* pRadio = new QRadioButton(QString::fromLatin1(pszText), this);
    CDialog::SetControlId(pRadio, nId);
    return pRadio;
}

QWidget* CFindPanel::GetDlgItem(int nId) const { return findChild<QWidget*>(QString::number(nId)); }

void CFindPanel::SetFindValue(const QString& strText, int nField, char cType, unsigned nDecimals) {
    m_nField = nField;
    m_strText = strText;
    m_bHasValue = true;
    const QByteArray utf8 = strText.toUtf8();
    const std::string_view text(utf8.constData(), size_t(utf8.size()));
    switch (m_kind) {
    case FindPanel::text:
        break;
    case FindPanel::number: {
        auto* pLower = GetDlgItem<QLineEdit>(IDC_RANGE_LOWER);
        auto* pUpper = GetDlgItem<QLineEdit>(IDC_RANGE_UPPER);
        double dLower = ParseRangeBound(pLower->text().toStdString());
        double dUpper = ParseRangeBound(pUpper->text().toStdString());
        PrefillNumberRange(text, dLower, dUpper);
        // A currency field shows its four decimals as every number shows its own.
        const unsigned nShown = cType == 'I' ? 0 : nDecimals;
        pLower->setText(QString::fromStdString(platform::FormatFixed(dLower, nShown)));
        pUpper->setText(QString::fromStdString(platform::FormatFixed(dUpper, nShown)));
        break;
    }
    case FindPanel::date: {
        QDateTime value = ParseFindDate(strText);
        if (!value.isValid())
            value = QDateTime::currentDateTime();
        auto* pUpper = GetDlgItem<QDateTimeEdit>(IDC_DATE_UPPER);
        if (value >= pUpper->dateTime())
            pUpper->setDateTime(value);
        else
            GetDlgItem<QDateTimeEdit>(IDC_DATE_LOWER)->setDateTime(value);
        break;
    }
    case FindPanel::logical: {
        const LogicalChoice choice = LogicalChoiceFromText(strText.toUpper().toStdString());
        GetDlgItem<QRadioButton>(kLogicalChoiceIds[int(choice)])->setChecked(true);
        break;
    }
    }
}

FindCriteria CFindPanel::GetCriteria(int nField, const std::string& strAnsiText) const {
    switch (m_kind) {
    case FindPanel::number: {
        const double dLower = ParseRangeBound(GetDlgItem<QLineEdit>(IDC_RANGE_LOWER)->text().toStdString());
        const double dUpper = ParseRangeBound(GetDlgItem<QLineEdit>(IDC_RANGE_UPPER)->text().toStdString());
        return FindCriteria::NumberRange(nField, dLower, dUpper, GetDlgItem<QRadioButton>(IDC_RANGE_OR)->isChecked());
    }
    case FindPanel::date: {
        // Whole days: a record on the lower bound's day is in the range
        // whatever time of day the picker holds.
        const auto nLower = GetDlgItem<QDateTimeEdit>(IDC_DATE_LOWER)->date().toJulianDay();
        const auto nUpper = GetDlgItem<QDateTimeEdit>(IDC_DATE_UPPER)->date().toJulianDay();
        return FindCriteria::DateRange(nField, int32_t(nLower), int32_t(nUpper),
                                       GetDlgItem<QRadioButton>(IDC_RANGE_OR)->isChecked());
    }
    case FindPanel::logical: {
        int nChoice = 0;
        for (int i = 0; i < int(std::size(kLogicalChoiceIds)); ++i)
            if (GetDlgItem<QRadioButton>(kLogicalChoiceIds[i])->isChecked())
                nChoice = i;
        return FindCriteria::Logical(nField, LogicalChoice(nChoice));
    }
    case FindPanel::text:
    default:
        return FindCriteria::Text(nField, strAnsiText, GetDlgItem<QCheckBox>(IDC_TEXT_MATCH_CASE)->isChecked());
    }
}

// ---- the dialog ------------------------------------------------------------------------------

CFindDlg::CFindDlg(CChildFrame& frame, QWidget* pParent) : CDialog(pParent), m_pFrame(&frame) {
    setWindowTitle(QString::fromUtf8(platform::LoadString(IDS_FIND_CAPTION)));
    setObjectName(QStringLiteral("FindDlg"));
    setModal(false);
    // A dialog of its window, over it without ever blocking it; it has
    // nothing to minimise or maximise.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    auto* pTop = new QGridLayout;
    pTop->addWidget(new QLabel(QStringLiteral("Find what:"), this), 0, 0);
    m_pText = new QComboBox(this);
    m_pText->setEditable(true);
    m_pText->setInsertPolicy(QComboBox::NoInsert);
    m_pText->setMinimumContentsLength(24);
    SetControlId(m_pText, IDC_FIND_TEXT);
    pTop->addWidget(m_pText, 0, 1);
    pTop->addWidget(new QLabel(QStringLiteral("in field:"), this), 1, 0);
    m_pField = new QComboBox(this);
    SetControlId(m_pField, IDC_FIND_FIELD);
    pTop->addWidget(m_pField, 1, 1);

    auto* pDirection = new QGroupBox(QStringLiteral("Direction"), this);
    auto* pDirectionRow = new QHBoxLayout(pDirection);
    m_pFirst = new QRadioButton(QStringLiteral("First"), pDirection);
    m_pUp = new QRadioButton(QStringLiteral("Up"), pDirection);
    m_pDown = new QRadioButton(QStringLiteral("Down"), pDirection);
    SetControlId(m_pFirst, IDC_FIND_FIRST);
    SetControlId(m_pUp, IDC_FIND_UP);
    SetControlId(m_pDown, IDC_FIND_DOWN);
    for (QRadioButton* pRadio : {m_pFirst, m_pUp, m_pDown})
        pDirectionRow->addWidget(pRadio);
    pDirectionRow->addStretch(1);
    pTop->addWidget(pDirection, 2, 0, 1, 2);

    auto* pButtons = new QVBoxLayout;
    m_pFind = new QPushButton(QStringLiteral("&Find"), this);
    SetControlId(m_pFind, IDC_FIND_FIND);
    m_pFind->setDefault(true);
    auto* pCancel = new QPushButton(QStringLiteral("&Cancel"), this);
    SetControlId(pCancel, IDC_FIND_CANCEL);
    m_pAdvanced = new QPushButton(this);
    SetControlId(m_pAdvanced, IDC_FIND_ADVANCED);
    m_pAdvanced->setAutoDefault(false);
    pCancel->setAutoDefault(false);
    pButtons->addWidget(m_pFind);
    pButtons->addWidget(pCancel);
    pButtons->addStretch(1);
    pButtons->addWidget(m_pAdvanced);

    auto* pUpper = new QHBoxLayout;
    pUpper->addLayout(pTop, 1);
    pUpper->addLayout(pButtons);

    m_pSeparator = new QFrame(this);
    m_pSeparator->setFrameShape(QFrame::HLine);
    m_pSeparator->setFrameShadow(QFrame::Sunken);
    SetControlId(m_pSeparator, IDC_FIND_SEPARATOR);

    m_pPanelArea = new QWidget(this);
    auto* pAreaLayout = new QVBoxLayout(m_pPanelArea);
    pAreaLayout->setContentsMargins(0, 0, 0, 0);
    m_pNoPanel = new QLabel(QStringLiteral("This field type not support advanced search."), m_pPanelArea);
    SetControlId(m_pNoPanel, IDC_FIND_NO_PANEL);
    pAreaLayout->addWidget(m_pNoPanel);

    auto* pLayout = new QVBoxLayout(this);
    pLayout->addLayout(pUpper);
    pLayout->addWidget(m_pSeparator);
    pLayout->addWidget(m_pPanelArea);
    pLayout->setSizeConstraint(QLayout::SetFixedSize);

    connect(m_pFind, &QPushButton::clicked, this, [this] { OnFind(); });
    connect(pCancel, &QPushButton::clicked, this, [this] { OnCancel(); });
    connect(m_pAdvanced, &QPushButton::clicked, this, [this] { OnAdvanced(); });
    connect(m_pField, qOverload<int>(&QComboBox::activated), this, [this](int) { OnFieldChanged(); });
    connect(m_pText, &QComboBox::editTextChanged, this, [this](const QString& str) { OnTextChanged(str); });
}

CFindDlg::~CFindDlg() = default;

CDBFDoc* CFindDlg::GetDoc() const { return m_pFrame ? m_pFrame->GetDoc() : nullptr; }

bool CFindDlg::OnInitDialog() {
    FillFieldList();
    FillHistory();
    SetDirection(FindDirection::first);
    m_bAdvanced = false;
    ApplyAdvancedState();
    return true;
}

void CFindDlg::FillFieldList() {
    m_pField->clear();
    CDBFDoc* pDoc = GetDoc();
    CDBFView* pPane = m_pFrame ? m_pFrame->GetActivePane() : nullptr;
    if (!pDoc || !pDoc->IsTableOpen())
        return;
    CDBFFileReader& reader = pDoc->GetReader();
    const bool bDos = m_pFrame->IsDosCodePage();
    const platform::CTextCodec codec = pDoc->GetTextCodec();
    for (const ViewerColumnInfo& info : pDoc->GetColumns()) {
        if (!info.bVisible || info.nField < 0 || info.nField >= reader.GetFieldCount())
            continue;
        const QString strItem = FieldItemText(reader.GetField(info.nField));
        const QByteArray latin = strItem.toLatin1();
        const std::string strShown = pDoc->ToDisplayText(std::string(latin.constData(), size_t(latin.size())), bDos);
        m_pField->addItem(codec.ToUnicode(strShown), info.nField);
    }
    const int nCurrent = pPane ? pPane->FieldOfColumn(pPane->GetCurrentDataColumn()) : -1;
    SelectField(nCurrent);
    if (m_pField->currentIndex() < 0 && m_pField->count() > 0)
        m_pField->setCurrentIndex(0);
}

void CFindDlg::FillHistory() {
    const QStringList& history = CPeekrowApp::FindHistory();
    m_pText->blockSignals(true);
    m_pText->clear();
    for (auto it = history.crbegin(); it != history.crend(); ++it)
        m_pText->addItem(*it);
    if (m_pText->count() > 0)
        m_pText->setCurrentIndex(0);
    m_pText->blockSignals(false);
}

QString CFindDlg::FindText() const { return m_pText->currentText(); }

int CFindDlg::GetSelectedField() const {
    const int nIndex = m_pField->currentIndex();
    return nIndex < 0 ? -1 : m_pField->itemData(nIndex).toInt();
}

void CFindDlg::SelectField(int nField) {
    const int nIndex = m_pField->findData(nField);
    if (nIndex >= 0)
        m_pField->setCurrentIndex(nIndex);
}

FindDirection CFindDlg::GetDirection() const {
    if (m_pUp->isChecked())
        return FindDirection::up;
    if (m_pDown->isChecked())
        return FindDirection::down;
    return FindDirection::first;
}

void CFindDlg::SetDirection(FindDirection direction) {
    (direction == FindDirection::up ? m_pUp : direction == FindDirection::down ? m_pDown : m_pFirst)->setChecked(true);
}

void CFindDlg::OnCancel() { hide(); }

void CFindDlg::OnAdvanced() {
    m_bAdvanced = !m_bAdvanced;
    ApplyAdvancedState();
    ChoosePanel();
}

void CFindDlg::ApplyAdvancedState() {
    const QString strLabel = QString::fromUtf8(platform::LoadString(IDS_ADVANCED));
    m_pAdvanced->setText(strLabel + (m_bAdvanced ? QStringLiteral("<<") : QStringLiteral(">>")));
    // The lower part is the advanced form: out of sight, its controls take
    // no input.
    m_pSeparator->setVisible(m_bAdvanced);
    m_pPanelArea->setVisible(m_bAdvanced);
    m_pPanelArea->setEnabled(m_bAdvanced);
    if (!m_bAdvanced)
        m_pText->setEnabled(true);
    adjustSize();
    KeepOnScreen();
}

void CFindDlg::KeepOnScreen() {
    QScreen* pScreen = isVisible() ? screen() : nullptr;
    if (!pScreen)
        return;
    // The advanced form grows the dialog downwards; it moves up rather than
    // off the screen.
    const QRect rcAvailable = pScreen->availableGeometry(), rcFrame = frameGeometry();
    const int dx = std::min(0, rcAvailable.right() - rcFrame.right());
    const int dy = std::min(0, rcAvailable.bottom() - rcFrame.bottom());
    if (dx != 0 || dy != 0)
        move(pos() + QPoint(dx, dy));
}

void CFindDlg::ChoosePanel() {
    if (!m_bAdvanced) {
        m_pText->setEnabled(true);
        return;
    }
    CDBFDoc* pDoc = GetDoc();
    const int nField = GetSelectedField();
    if (!pDoc || !pDoc->IsTableOpen() || nField < 0 || nField >= pDoc->GetReader().GetFieldCount()) {
        if (m_pShown)
            m_pShown->hide();
        m_pShown = nullptr;
        m_pNoPanel->show();
        return;
    }
    const ReaderField& field = pDoc->GetReader().GetField(nField);
    const FindPanel kind = FindPanelForType(field.GetType());
    CFindPanel*& pPanel = m_panels[size_t(kind)];
    if (m_pShown && m_pShown != pPanel)
        m_pShown->hide();
    if (!pPanel) {
        pPanel = new CFindPanel(kind, m_pPanelArea);
        m_pPanelArea->layout()->addWidget(pPanel);
    }
    m_pNoPanel->hide();
    pPanel->show();
    m_pShown = pPanel;
    if (pPanel->GetField() != nField || pPanel->GetText() != FindText())
        pPanel->SetFindValue(FindText(), nField, field.GetType(), field.GetDecimals());
    m_pText->setEnabled(kind == FindPanel::text);
    adjustSize();
    KeepOnScreen();
}

void CFindDlg::OnFieldChanged() {
    SetDirection(FindDirection::first);
    if (m_bAdvanced)
        ChoosePanel();
}

void CFindDlg::OnTextChanged(const QString& strText) {
    CDBFDoc* pDoc = GetDoc();
    const int nField = GetSelectedField();
    if (!m_bAdvanced || !m_pShown || !pDoc || !pDoc->IsTableOpen() || nField < 0 ||
        nField >= pDoc->GetReader().GetFieldCount())
        return;
    const ReaderField& field = pDoc->GetReader().GetField(nField);
    m_pShown->SetFindValue(strText, nField, field.GetType(), field.GetDecimals());
}

void CFindDlg::OnFind() {
    const QString strText = FindText();
    QStringList& history = CPeekrowApp::FindHistory();
    if (!strText.isEmpty() && !history.contains(strText)) {
        history.append(strText);
        m_pText->blockSignals(true);
        m_pText->insertItem(0, strText);
        m_pText->setCurrentIndex(0);
        m_pText->blockSignals(false);
    }
    const FindDirection direction = GetDirection();
    if (Search() && direction == FindDirection::first)
        SetDirection(FindDirection::down);
}

bool CFindDlg::Search() {
    CDBFDoc* pDoc = GetDoc();
    CDBFView* pPane = m_pFrame ? m_pFrame->GetActivePane() : nullptr;
    const int nField = GetSelectedField();
    if (!pDoc || !pDoc->IsTableOpen() || !pPane || nField < 0 || nField >= pDoc->GetReader().GetFieldCount())
        return false;
    CDBFFileReader& reader = pDoc->GetReader();
    // The pane the user works in now, and where its current cell stands now.
    const GridRow nCurrent = pPane->GetCurrentDataRow();
    const int64_t nStart = FindStartRow(GetDirection(), nCurrent < 0 ? 0 : nCurrent);
    const QByteArray ansi = QByteArray::fromStdString(pDoc->GetTextCodec().FromUnicode(FindText()));
    const std::string strAnsi(ansi.constData(), size_t(ansi.size()));
    const FindCriteria criteria = m_bAdvanced && m_pShown ? m_pShown->GetCriteria(nField, strAnsi)
                                                          : FindCriteria::PlainText(nField, strAnsi);
    const FindCodePages pages{m_pFrame->IsDosCodePage() && !pDoc->IsWholeText(), &pDoc->GetOemPage(),
                              &pDoc->GetAnsiPage()};
    FindResult result;
    {
        platform::CWaitCursor wait;
        result = FindRecord(reader, criteria, GetDirection(), nStart, pages);
    }
    if (!result.bFound) {
        platform::MessageBox(nullptr, QString::fromUtf8(platform::LoadString(IDS_NOT_FOUND)),
                             QString::fromUtf8(platform::LoadString(IDS_FIND_CAPTION)),
                             platform::MB_OK | platform::MB_ICONWARNING);
        return false;
    }
    int nCol = pPane->ColumnOfField(nField);
    if (nCol < 0)
        nCol = pPane->GetCurrentDataColumn();
    if (platform::CWinApp* pApp = platform::CWinApp::Get())
        if (platform::CMainFrame* pMain = pApp->GetMainWnd(); pMain && pMain->GetActiveFrame() != m_pFrame.data())
            pMain->ActivateFrame(m_pFrame);
    pPane->GoToCell(nCol, result.nRow);
    // The keyboard goes back to the dialog for the next Find.
    activateWindow();
    m_pText->setFocus(Qt::OtherFocusReason);
    return true;
}
