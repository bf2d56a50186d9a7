// The program's and the table's settings sheets: their pages' controls, how
// each page fills them from the settings files, and what applying stores and
// changes.
#include "editor/settings_sheets.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <functional>

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QVBoxLayout>

#include "editor/dbf_doc.h"
#include "editor/dbf_view.h"
#include "editor/editor_ids.h"
#include "engine/memory_cursorset.h"
#include "grid/columns/columns_dlg.h"
#include "platform/core/code_page.h"
#include "platform/core/private_profile.h"
#include "platform/core/string_table.h"
#include "platform/core/value_coercion.h"
#include "platform/ui/message_box.h"
#include "platform/ui/win_app.h"

using namespace platform;
using tabulon::DateFormat;

namespace {

QString Text(unsigned nId) { return QString::fromUtf8(FindString(nId)); }

// ---- building the pages ----------------------------------------------------------------------

// A page's column of sections: a caption, then its controls indented below it.
class CPageLayout {
public:
    explicit CPageLayout(QWidget* pPage) : m_pPage(pPage), m_pLayout(new QVBoxLayout(pPage)) {
        QStyle* pStyle = pPage->style();
        m_nIndent = pStyle->pixelMetric(QStyle::PM_IndicatorWidth) + pStyle->pixelMetric(QStyle::PM_CheckBoxLabelSpacing);
        m_nGap = std::max(10, pStyle->pixelMetric(QStyle::PM_LayoutVerticalSpacing) * 2);
    }
    QLabel* Caption(const char* pszText, QWidget* pBuddy = nullptr) {
        auto* pLabel = new QLabel(QString::fromLatin1(pszText), m_pPage);
        if (pBuddy)
            pLabel->setBuddy(pBuddy);
        m_pLayout->addWidget(pLabel);
        return pLabel;
    }
    void Indented(QWidget* pWidget) {
        auto* pRow = new QHBoxLayout;
        pRow->addSpacing(m_nIndent);
        pRow->addWidget(pWidget, 1);
        m_pLayout->addLayout(pRow);
    }
    void Add(QWidget* pWidget) { m_pLayout->addWidget(pWidget); }
    void Add(QLayout* pLayout) { m_pLayout->addLayout(pLayout); }
    void Indented(QLayout* pLayout) {
        auto* pRow = new QHBoxLayout;
        pRow->addSpacing(m_nIndent);
        pRow->addLayout(pLayout, 1);
        m_pLayout->addLayout(pRow);
    }
    void Gap() { m_pLayout->addSpacing(m_nGap); }
    // The explanation of a page: plain text that wraps, its leading blanks kept
    // as the first line's indent.
    void Explanation(const char* pszText) {
        auto* pLabel = new QLabel(QString::fromLatin1(pszText), m_pPage);
        pLabel->setTextFormat(Qt::PlainText);
        pLabel->setWordWrap(true);
        pLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        m_pLayout->addWidget(pLabel);
    }
    void End() { m_pLayout->addStretch(1); }

private:
    QWidget* m_pPage;
    QVBoxLayout* m_pLayout;
    int m_nIndent = 20;
    int m_nGap = 12;
};

// The width the sheets' pages keep, so explanations wrap into a few lines
// rather than one long one.
constexpr int kPageWidthChars = 52;

void SetPageWidth(QWidget* pPage) {
    pPage->setMinimumWidth(pPage->fontMetrics().averageCharWidth() * kPageWidthChars);
}

// ---- the values both sheets show -------------------------------------------------------------

// Radio buttons 1018, 1019 and 1020 stand for these modes.
const unsigned kModes[3] = {tabulon::kOpenReadOnly, tabulon::kOpenReadWrite, tabulon::kOpenExclusive};
const int kModeIds[3] = {IDC_OPEN_READ_ONLY, IDC_OPEN_READ_WRITE, IDC_OPEN_EXCLUSIVE};
const char* const kModeTexts[3] = {"read only", "read and write", "exclusive"};

int ModeIndex(unsigned nMode) {
    for (int i = 0; i < 3; ++i)
        if (kModes[i] == nMode)
            return i;
    return 0;
}

template <size_t N>
int CheckedIndex(QRadioButton* const (&buttons)[N]) {
    for (size_t i = 0; i < N; ++i)
        if (buttons[i] && buttons[i]->isChecked())
            return int(i);
    return -1;
}

template <size_t N>
void Check(QRadioButton* const (&buttons)[N], int nIndex) {
    if (nIndex >= 0 && size_t(nIndex) < N)
        buttons[nIndex]->setChecked(true);
}

// A group of radio buttons, one under the other, indented under a caption.
template <size_t N>
void AddRadioButtons(platform::CPropertyPage* pPage, CPageLayout& layout, QRadioButton* (&buttons)[N],
                     const char* const (&texts)[N], const int (&ids)[N],
                     const std::function<void(QWidget*, int)>& addControl) {
    auto* pGroup = new QButtonGroup(pPage);
    for (size_t i = 0; i < N; ++i) {
        buttons[i] = new QRadioButton(QString::fromLatin1(texts[i]), pPage);
        pGroup->addButton(buttons[i], int(i));
        addControl(buttons[i], ids[i]);
        layout.Indented(buttons[i]);
    }
}

void AddModeButtons(platform::CPropertyPage* pPage, CPageLayout& layout, QRadioButton* (&buttons)[3],
                    const std::function<void(QWidget*, int)>& addControl) {
    AddRadioButtons(pPage, layout, buttons, kModeTexts, kModeIds, addControl);
}

// The date list: the labels of the three formats, each item carrying its
// resource number. Lists are filled when their page is built, so every page
// asks its final size before the sheet first shows.
void AddDateItems(QComboBox* pList) {
    for (DateFormat eFormat : {DateFormat::ansi, DateFormat::usa, DateFormat::euro})
        pList->addItem(QString::fromStdString(tabulon::DateFormatLabel(eFormat)), unsigned(eFormat));
}

// Selects the item whose value equals strValue in any letter case; none when
// the value is none of the three (the list would select its first by itself).
void SelectDateItem(QComboBox* pList, const std::string& strValue) {
    int nSelected = -1;
    for (int i = 0; i < pList->count(); ++i) {
        auto eFormat = static_cast<DateFormat>(pList->itemData(i).toUInt());
        if (platform::EqualsNoCase(strValue, tabulon::DateFormatValue(eFormat)))
            nSelected = i;
    }
    pList->setCurrentIndex(nSelected);
}

// The chosen format; false when no item is selected.
bool ChosenDateFormat(const QComboBox* pList, DateFormat& eFormat) {
    if (pList->currentIndex() < 0)
        return false;
    unsigned nId = pList->currentData().toUInt();
    eFormat = nId == unsigned(DateFormat::ansi) ? DateFormat::ansi
              : nId == unsigned(DateFormat::usa) ? DateFormat::usa
                                                 : DateFormat::euro;
    return true;
}

QComboBox* NewDateList(QWidget* pParent) {
    auto* pList = new QComboBox(pParent);
    AddDateItems(pList);
    return pList;
}

// What both View pages begin with: the code-page buttons, "Show deleted
// record" and the date list (which the caller places).
template <size_t N>
void AddViewControls(platform::CPropertyPage* pPage, CPageLayout& layout, QRadioButton* (&codePage)[N],
                     const char* const (&texts)[N], const int (&ids)[N], QCheckBox*& pShowDeleted,
                     QComboBox*& pDateFormat, const std::function<void(QWidget*, int)>& addControl) {
    layout.Caption("Code page:");
    AddRadioButtons(pPage, layout, codePage, texts, ids, addControl);
    layout.Gap();
    pShowDeleted = new QCheckBox(QStringLiteral("Show deleted record"), pPage);
    addControl(pShowDeleted, IDC_SHOW_DELETED);
    layout.Add(pShowDeleted);
    layout.Gap();
    pDateFormat = NewDateList(pPage);
    addControl(pDateFormat, IDC_DATE_FORMAT);
}

// ---- the code-page pair ------------------------------------------------------------------------

struct PageChoice {
    int nNumber;
    const char* pszScript;
};

const PageChoice kOemPages[] = {
    {437, "United States"}, {720, "Arabic"},          {737, "Greek"},           {775, "Baltic"},
    {850, "Western Europe"}, {852, "Central Europe"}, {855, "Cyrillic, old"},   {857, "Turkish"},
    {858, "Western Europe, euro"}, {860, "Portuguese"}, {861, "Icelandic"},     {862, "Hebrew"},
    {863, "Canadian French"}, {864, "Arabic, old"},   {865, "Nordic"},          {866, "Cyrillic"},
    {869, "Greek, modern"},
};

const PageChoice kAnsiPages[] = {
    {874, "Thai"},           {1250, "Central Europe"}, {1251, "Cyrillic"}, {1252, "Western Europe"},
    {1253, "Greek"},         {1254, "Turkish"},        {1255, "Hebrew"},   {1256, "Arabic"},
    {1257, "Baltic"},        {1258, "Vietnamese"},
};

// The first item follows the system's language (an empty name), the others
// are the pages the program knows.
template <size_t N>
QComboBox* NewPageList(QWidget* pParent, const PageChoice (&choices)[N], int nLocale) {
    auto* pList = new QComboBox(pParent);
    pList->addItem(Text(IDS_CODE_PAGE_FROM_LOCALE).arg(nLocale), QString());
    for (const PageChoice& choice : choices) {
        std::string strName = "CP" + std::to_string(choice.nNumber);
        if (CCodePage::Find(strName))
            pList->addItem(QStringLiteral("%1 (%2)").arg(choice.nNumber).arg(QString::fromLatin1(choice.pszScript)),
                           QString::fromStdString(strName));
    }
    return pList;
}

void SelectPage(QComboBox* pList, const std::string& strStored) {
    int nSelected = 0;
    if (const CCodePage* pStored = strStored.empty() ? nullptr : CCodePage::Find(strStored)) {
        for (int i = 1; i < pList->count(); ++i)
            if (CCodePage::Find(pList->itemData(i).toString().toStdString()) == pStored)
                nSelected = i;
    }
    // A page named by hand that the list does not offer stays as it was written.
    if (!strStored.empty() && nSelected == 0) {
        pList->addItem(QString::fromStdString(strStored), QString::fromStdString(strStored));
        nSelected = pList->count() - 1;
    }
    pList->setCurrentIndex(nSelected);
}

std::string ChosenPage(const QComboBox* pList) { return pList->currentData().toString().toStdString(); }

}  // namespace

void ReportSettingsNotWritten(QWidget* pParent, const std::string& strPath, int nErrno) {
    QString strWhy = QString::fromLocal8Bit(std::strerror(nErrno ? nErrno : EIO));
    MessageBox(pParent,
               Text(IDS_SETTINGS_NOT_WRITTEN).arg(QFile::decodeName(QByteArray::fromStdString(strPath)), strWhy),
               MB_OK | MB_ICONWARNING);
}

// ---- the program's File page -------------------------------------------------------------------

CPrpPageFile::CPrpPageFile(tabulon::CProgramSettings settings, QWidget* pParent)
    : CPropertyPage(QStringLiteral("File"), pParent), m_settings(std::move(settings)) {
    CPageLayout layout(this);
    layout.Caption("Open files:");
    AddModeButtons(this, layout, m_pMode, [this](QWidget* p, int nId) { AddControl(p, nId); });
    layout.Gap();
    m_pAutoCreate = new QCheckBox(QStringLiteral("Auto create setting file"), this);
    AddControl(m_pAutoCreate, IDC_AUTO_CREATE_INI);
    layout.Add(m_pAutoCreate);
    layout.Explanation("   If the tag at opening a file, the file of adjustments with expansion .ini, in the same "
                       "folder and with the same name will be created, as an open file is established. Parameters "
                       "of opening and display of a file will be kept in it.");
    layout.End();
    SetPageWidth(this);
}

void CPrpPageFile::OnInitPage() {
    m_pAutoCreate->setChecked(m_settings.GetAutoCreateIni());
    Check(m_pMode, ModeIndex(m_settings.GetOpenMode()));
}

bool CPrpPageFile::OnApply() {
    int nMode = std::max(0, CheckedIndex(m_pMode));
    if (!m_settings.SetAutoCreateIni(m_pAutoCreate->isChecked()) || !m_settings.SetOpenMode(kModes[nMode])) {
        ReportSettingsNotWritten(window(), m_settings.GetPath(), m_settings.GetLastErrno());
        return false;
    }
    return true;
}

// ---- the program's View page -------------------------------------------------------------------

CPrpPageView::CPrpPageView(tabulon::CProgramSettings settings, QWidget* pParent)
    : CPropertyPage(QStringLiteral("View"), pParent), m_settings(std::move(settings)) {
    CPageLayout layout(this);
    AddViewControls(this, layout, m_pCodePage, {"DOS", "Windows", "Auto"},
                    {IDC_CODEPAGE_DOS, IDC_CODEPAGE_WIN, IDC_CODEPAGE_AUTO}, m_pShowDeleted, m_pDateFormat,
                    [this](QWidget* pControl, int nId) { AddControl(pControl, nId); });
    auto* pDateRow = new QHBoxLayout;
    auto* pDateLabel = new QLabel(QStringLiteral("Date Format"), this);
    pDateLabel->setBuddy(m_pDateFormat);
    pDateRow->addWidget(pDateLabel);
    pDateRow->addWidget(m_pDateFormat);
    pDateRow->addStretch(1);
    layout.Add(pDateRow);
    layout.Explanation("   Date format are setting. Designation:  dd - day,  mm - month,  yy - year.");
    layout.Gap();

    // Which DOS and Windows pages the program converts between.
    CodePagePair locale = CodePagePairFromEnvironment();
    m_pOemPage = NewPageList(this, kOemPages, locale.nOem);
    m_pAnsiPage = NewPageList(this, kAnsiPages, locale.nAnsi);
    AddControl(m_pOemPage, IDC_OEM_CODE_PAGE);
    AddControl(m_pAnsiPage, IDC_ANSI_CODE_PAGE);
    layout.Caption("DOS and Windows code pages:");
    auto* pPair = new QFormLayout;
    pPair->addRow(QStringLiteral("&DOS (OEM):"), m_pOemPage);
    pPair->addRow(QStringLiteral("&Windows (ANSI):"), m_pAnsiPage);
    layout.Indented(pPair);
    layout.End();
    SetPageWidth(this);
}

void CPrpPageView::OnInitPage() {
    switch (m_settings.GetCodePage()) {
    case tabulon::CodePageSetting::dos: Check(m_pCodePage, 0); break;
    case tabulon::CodePageSetting::win: Check(m_pCodePage, 1); break;
    default: Check(m_pCodePage, 2); break;
    }
    m_pShowDeleted->setChecked(m_settings.GetShowDeleted());
    SelectDateItem(m_pDateFormat, m_settings.GetDateFormatValue());
    m_strStoredOem = m_settings.GetOemCodePage();
    m_strStoredAnsi = m_settings.GetAnsiCodePage();
    SelectPage(m_pOemPage, m_strStoredOem);
    SelectPage(m_pAnsiPage, m_strStoredAnsi);
}

bool CPrpPageView::OnApply() {
    static const tabulon::CodePageSetting kCodePages[3] = {
        tabulon::CodePageSetting::dos, tabulon::CodePageSetting::win, tabulon::CodePageSetting::automatic};
    int nCodePage = CheckedIndex(m_pCodePage);
    bool bWritten = m_settings.SetCodePage(kCodePages[nCodePage < 0 ? 2 : nCodePage]) &&
                    m_settings.SetShowDeleted(m_pShowDeleted->isChecked());
    DateFormat eFormat;
    if (bWritten && ChosenDateFormat(m_pDateFormat, eFormat))
        bWritten = m_settings.SetDateFormat(eFormat);
    // The pair is written only when it changed, so a file that never named
    // one keeps following the locale.
    std::string strOem = ChosenPage(m_pOemPage);
    std::string strAnsi = ChosenPage(m_pAnsiPage);
    if (bWritten && (strOem != m_strStoredOem || strAnsi != m_strStoredAnsi)) {
        bWritten = m_settings.SetCodePagePair(strOem, strAnsi);
        if (bWritten) {
            m_strStoredOem = strOem;
            m_strStoredAnsi = strAnsi;
            // Tables opened from now on use it; open ones keep the pair they opened with.
            m_settings.ApplyCodePagePair();
        }
    }
    if (!bWritten) {
        ReportSettingsNotWritten(window(), m_settings.GetPath(), m_settings.GetLastErrno());
        return false;
    }
    return true;
}

CSettingPrpSheet::CSettingPrpSheet(tabulon::CProgramSettings settings, QWidget* pParent)
    : CPropertySheet(Text(IDS_SETTING_CAPTION), pParent),
      m_pFilePage(new CPrpPageFile(settings, this)),
      m_pViewPage(new CPrpPageView(settings, this)) {
    setObjectName(QStringLiteral("SettingPrpSheet"));
    AddPage(m_pFilePage);
    AddPage(m_pViewPage);
}

// ---- the table's File page ------------------------------------------------------------------------

CFilePrpPageFile::CFilePrpPageFile(tabulon::CTableSettings settings, CDBFDoc* pDoc, QWidget* pParent)
    : CPropertyPage(QStringLiteral("File"), pParent), m_settings(std::move(settings)), m_pDoc(pDoc) {
    CPageLayout layout(this);
    layout.Caption("Open file:");
    AddModeButtons(this, layout, m_pMode, [this](QWidget* p, int nId) { AddControl(p, nId); });
    layout.Gap();
    m_pAutoSave = new QCheckBox(QStringLiteral("Auto save change setting"), this);
    AddControl(m_pAutoSave, IDC_AUTO_SAVE_CHANGE);
    layout.Add(m_pAutoSave);
    layout.Explanation("   If the tag all changes will be automatically is established will be kept at end of a "
                       "session with a file. If want, that the adjustments made by you could be kept only in this "
                       "window, remove a tick.");
    layout.End();
    SetPageWidth(this);
}

void CFilePrpPageFile::OnInitPage() {
    Check(m_pMode, ModeIndex(m_settings.GetOpenMode()));
    m_pAutoSave->setChecked(m_settings.GetAutoSaveChange());
}

bool CFilePrpPageFile::OnApply() {
    unsigned nMode = kModes[std::max(0, CheckedIndex(m_pMode))];
    // The table is reopened before anything is stored: a mode it cannot be
    // opened in must not become the one it opens with next time.
    if (m_pDoc && m_pDoc->IsTableOpen() && m_pDoc->m_nOpenMode != nMode) {
        if (!m_pDoc->ReopenTable(nMode))
            return false;
        m_pDoc->UpdateAllViews(nullptr);
    }
    if (!m_settings.SetAutoSaveChange(m_pAutoSave->isChecked()) || !m_settings.SetOpenMode(nMode)) {
        ReportSettingsNotWritten(window(), m_settings.GetPath(), m_settings.GetLastErrno());
        return false;
    }
    return true;
}

// ---- the table's View page ------------------------------------------------------------------------

CFilePrpPageView::CFilePrpPageView(tabulon::CTableSettings settings, CDBFDoc* pDoc, CDBFView* pView,
                                   QWidget* pParent)
    : CPropertyPage(QStringLiteral("View"), pParent), m_settings(std::move(settings)), m_pDoc(pDoc), m_pView(pView) {
    CPageLayout layout(this);
    AddViewControls(this, layout, m_pCodePage, {"DOS", "Windows"}, {IDC_CODEPAGE_DOS, IDC_CODEPAGE_WIN},
                    m_pShowDeleted, m_pDateFormat, [this](QWidget* pControl, int nId) { AddControl(pControl, nId); });
    auto* pColumns = new QPushButton(QStringLiteral("settings..."), this);
    CDialog::SetControlId(pColumns, IDC_COLUMNS_SETTINGS);
    pColumns->setAutoDefault(false);
    connect(pColumns, &QPushButton::clicked, this, &CFilePrpPageView::OnColumnsSettings);
    auto* pForm = new QFormLayout;
    pForm->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    pForm->addRow(QStringLiteral("Date format:"), m_pDateFormat);
    pForm->addRow(QStringLiteral("Columns:"), pColumns);
    layout.Add(pForm);
    layout.End();
    SetPageWidth(this);
}

void CFilePrpPageView::OnInitPage() {
    if (!m_pDoc)
        return;
    Check(m_pCodePage, m_pDoc->m_bDosCodePage ? 0 : 1);
    m_pShowDeleted->setChecked(!m_pDoc->m_table.IsHideDeleted());
    m_layout = m_pDoc->m_columns;
    tabulon::CProgramSettings program = CDBFDoc::ProgramSettings();
    std::string strValue = CPrivateProfile::Read(m_settings.GetPath())
                               .GetString("Fields", "DateFormat", program.GetDateFormatValue(),
                                          tabulon::kTableValueLimit);
    SelectDateItem(m_pDateFormat, strValue);
}

void CFilePrpPageView::OnColumnsSettings() {
    if (!m_pDoc || !m_pDoc->IsTableOpen())
        return;
    CColumnsDlg dialog(ColumnsDlgVariant::Editor, window());
    dialog.SetFieldNames(m_pDoc->GetFieldNames());
    dialog.SetLayout(m_layout);
    dialog.SetCodePage(m_pDoc->m_bDosCodePage, m_pDoc->GetTextCodec(), &m_pDoc->GetOemPage());
    if (dialog.DoModal() != IDOK)
        return;
    m_layout = dialog.GetLayout();
    for (ColumnInfo& info : m_layout)
        info.nGridCol = -1;
    m_bLayoutChanged = true;
    SetModified(true);
}

bool CFilePrpPageView::OnApply() {
    if (!m_pDoc || !m_pDoc->IsTableOpen())
        return true;
    bool bWritten = true;
    DateFormat eFormat;
    if (ChosenDateFormat(m_pDateFormat, eFormat)) {
        bWritten = m_settings.SetDateFormat(eFormat);
        m_pDoc->m_strDateFormat = tabulon::DateFormatPattern(eFormat);
    }
    m_pDoc->m_bDosCodePage = CheckedIndex(m_pCodePage) != 1;
    bool bShow = m_pShowDeleted->isChecked();
    if (bShow == m_pDoc->m_table.IsHideDeleted()) {
        CWaitCursor wait;
        if (m_pView) {
            m_pView->CloseToolDialogs();
            m_pView->SetSortIndicator(-1, 0, 2);
        }
        RunGuarded([&] {
            m_pDoc->m_table.SetHideDeleted(!bShow);
            m_pDoc->m_table.Requery();
        });
        if (m_pView)
            m_pView->UpdateRowCount();
    }
    bool bLayoutChanged = m_bLayoutChanged && m_layout.size() == m_pDoc->m_columns.size();
    if (bLayoutChanged) {
        m_pDoc->m_columns = m_layout;
        m_bLayoutChanged = false;
    }
    // Written whether or not the table saves its settings when it closes:
    // what the sheet applies, it stores.
    if (bWritten)
        bWritten = m_settings.SaveTableSettings(m_pDoc->m_columns, m_pDoc->GetFieldNames(), m_pDoc->m_bDosCodePage,
                                                !m_pDoc->m_table.IsHideDeleted());
    if (bLayoutChanged && m_pView)
        m_pView->OnInitialUpdate();
    else
        m_pDoc->UpdateAllViews(nullptr);
    if (!bWritten) {
        ReportSettingsNotWritten(window(), m_settings.GetPath(), m_settings.GetLastErrno());
        return false;
    }
    return true;
}

CFileSettingPrpSheet::CFileSettingPrpSheet(tabulon::CTableSettings settings, CDBFDoc* pDoc, CDBFView* pView,
                                           QWidget* pParent)
    : CPropertySheet(Text(IDS_FILE_SETTING_CAPTION), pParent),
      m_pFilePage(new CFilePrpPageFile(settings, pDoc, this)),
      m_pViewPage(new CFilePrpPageView(settings, pDoc, pView, this)) {
    setObjectName(QStringLiteral("FileSettingPrpSheet"));
    AddPage(m_pFilePage);
    AddPage(m_pViewPage);
}
