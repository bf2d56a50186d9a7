// The Find and Replace dialogs: their controls, the histories, and the
// search through the grid's cell texts.
#include "editor/find_dlg.h"

#include <algorithm>
#include <cstring>

#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "editor/cell_text.h"
#include "editor/dbf_doc.h"
#include "editor/dbf_view.h"
#include "editor/editor_ids.h"
#include "engine/memory_cursorset.h"
#include "platform/core/code_page.h"
#include "platform/core/string_table.h"
#include "platform/core/text_fold.h"
#include "platform/core/value_coercion.h"
#include "platform/ui/message_box.h"
#include "platform/ui/text_codec.h"
#include "platform/ui/win_app.h"

using namespace platform;

namespace {

QString Text(unsigned nId) { return QString::fromUtf8(FindString(nId)); }

// The field list's search column that names no shown column any more.
constexpr int kNoColumn = -2;

// The characters of a date pattern's texts when it has only numeric parts
// (day, month, year, hours, minutes, seconds); false for any other pattern.
bool NumericDateAlphabet(const std::string& strPattern, std::string& strAlphabet) {
    strAlphabet = "0123456789";
    for (size_t i = 0; i < strPattern.size(); ++i) {
        if (strPattern[i] != '%') {
            strAlphabet += strPattern[i];
            continue;
        }
        if (++i == strPattern.size() || std::strchr("dmYyHMS", strPattern[i]) == nullptr)
            return false;
    }
    return true;
}

// What one search compares: the search text folded, and for each grid
// column the field it shows. Cell texts are made as the grid makes them
// (CDBFView::GetCellText), with the code-page tables built once per search
// rather than once per cell: a million records go through here. A cell
// whose text cannot hold some character of the search text (a number's, a
// logical's or a numeric date's, for a search with letters) is not read.
class CCellMatcher {
public:
    CCellMatcher(CDBFView& view, CDBFDoc& doc, const std::string& strNeedle)
        : m_doc(doc), m_table(doc.m_table), m_strNeedle(strNeedle), m_bWholeText(doc.IsWholeText()) {
        const uint8_t* pFold = CTextFold::ForCodePage(doc.GetAnsiPage()).GetTable();
        std::memcpy(m_fold, pFold, sizeof m_fold);
        if (m_bWholeText) {
            // Bytes of whole text (UTF-8, a double-byte page) are no
            // characters of their own: only ASCII folds byte by byte, and
            // table text is compared as Unicode.
            for (int b = 0; b < 256; ++b)
                m_fold[b] = m_textFold[b] = uint8_t(b >= 'a' && b <= 'z' ? b - 'a' + 'A' : b);
            m_codec = doc.GetTextCodec();
            m_strNeedleUnicode = m_codec.ToUnicode(strNeedle);
        } else if (doc.m_bDosCodePage) {
            CCodePageConverter toAnsi(doc.GetOemPage(), doc.GetAnsiPage());
            for (int b = 0; b < 256; ++b)
                m_textFold[b] = pFold[toAnsi.Convert(uint8_t(b))];
        } else {
            std::memcpy(m_textFold, pFold, sizeof m_textFold);
        }
        if (!m_table.IsOpen())
            return;
        // The texts of numbers ("%d", fixed decimals, "inf", "nan") and logicals.
        m_bNoInt32 = NeedleOutside("0123456789-");
        m_bNoDouble = NeedleOutside("0123456789-.infa");
        m_bNoBool = NeedleOutside("TRUEFALS");
        dbf::CDBFTableDef* pDef = m_table.GetTableDef();
        int nCols = view.GetColumnCount(-1);
        m_columns.resize(size_t(std::max(0, nCols)));
        for (int c = 0; c < nCols; ++c) {
            Column& column = m_columns[size_t(c)];
            column.nField = view.FieldOfColumn(c);
            if (column.nField < 0)
                continue;
            column.info = pDef->GetFieldInfo(column.nField);
            std::string strPattern = doc.m_strDateFormat + (column.info.cType == 'T' ? " %H:%M:%S" : "");
            std::string strAlphabet;
            column.bNoDate = NumericDateAlphabet(strPattern, strAlphabet) && NeedleOutside(strAlphabet);
            // Fields whose every value is of one kind (or empty) are not even read.
            switch (column.info.cType) {
            case 'N':
            case 'F':
                column.bSkip = m_bNoDouble;
                break;
            case 'I':
                column.bSkip = m_bNoInt32;
                break;
            case 'L':
                column.bSkip = m_bNoBool;
                break;
            case 'D':
            case 'T':
                column.bSkip = column.bNoDate;
                break;
            default:
                break;
            }
        }
        m_nRows = m_table.GetRecordCount();
    }

    int ColumnCount() const { return int(m_columns.size()); }
    int32_t RowCount() const { return m_nRows; }

    bool Matches(const FindCell& cell) {
        if (m_strNeedle.empty() || cell.nRow < 0 || cell.nRow >= m_nRows || cell.nCol < 0 ||
            cell.nCol >= ColumnCount())
            return false;
        const Column& column = m_columns[size_t(cell.nCol)];
        if (column.nField < 0 || column.bSkip)
            return false;
        try {
            m_table.SetAbsolutePosition(cell.nRow);
            int32_t nLength = m_table.GetFieldValue(column.nField, m_value);
            switch (m_value.GetKind()) {
            case dbf::FieldKind::Text:
                if (m_bWholeText)
                    return m_codec.ToUnicode(m_value.GetText()).contains(m_strNeedleUnicode, Qt::CaseInsensitive);
                return Contains(m_value.GetText(), m_textFold);
            case dbf::FieldKind::Int32:
                if (m_bNoInt32)
                    return false;
                break;
            case dbf::FieldKind::Double:
                if (m_bNoDouble)
                    return false;
                break;
            case dbf::FieldKind::Bool:
                if (m_bNoBool)
                    return false;
                break;
            case dbf::FieldKind::Date:
                if (column.bNoDate)
                    return false;
                break;
            default:
                break;
            }
            m_strText = cell_text::FormatValue(m_value, column.info, nLength, m_doc.m_strDateFormat);
            return Contains(m_strText, m_fold);
        } catch (const std::exception& e) {
            // The grid shows such a cell empty, and empty text holds nothing.
            m_doc.ReportReadFailure(e.what());
            return false;
        }
    }

private:
    struct Column {
        int nField = -1;
        dbf::DBFFieldInfo info;
        bool bNoDate = false;  // its dates' texts cannot hold the search text
        bool bSkip = false;    // none of its texts can
    };

    // Whether the search text has a character that texts made of these
    // characters never have, letter case ignored.
    bool NeedleOutside(std::string_view strAlphabet) const {
        bool bInside[256] = {};
        for (char c : strAlphabet)
            bInside[m_fold[uint8_t(c)]] = true;
        for (char c : m_strNeedle)
            if (!bInside[uint8_t(c)])
                return true;
        return false;
    }

    bool Contains(std::string_view str, const uint8_t* pFold) const {
        const size_t n = m_strNeedle.size();
        if (str.size() < n)
            return false;
        const auto* p = reinterpret_cast<const uint8_t*>(str.data());
        const auto* pNeedle = reinterpret_cast<const uint8_t*>(m_strNeedle.data());
        for (size_t i = 0, nLast = str.size() - n; i <= nLast; ++i) {
            if (pFold[p[i]] != pNeedle[0])
                continue;
            size_t k = 1;
            while (k < n && pFold[p[i + k]] == pNeedle[k])
                ++k;
            if (k == n)
                return true;
        }
        return false;
    }

    CDBFDoc& m_doc;
    dbf::CDBFMemoryCursorset& m_table;
    std::string m_strNeedle;
    bool m_bWholeText;
    CTextCodec m_codec;           // whole text only
    QString m_strNeedleUnicode;   // whole text only
    uint8_t m_fold[256];      // display text
    uint8_t m_textFold[256];  // table text: to the display page, then folded
    std::vector<Column> m_columns;
    bool m_bNoInt32 = false, m_bNoDouble = false, m_bNoBool = false;
    int32_t m_nRows = 0;
    dbf::FieldValue m_value;
    std::string m_strText;
};

QPushButton* AddButton(QVBoxLayout* pColumn, const QString& strText, int nId, QWidget* pParent) {
    auto* pButton = new QPushButton(strText, pParent);
    CDialog::SetControlId(pButton, nId);
    pButton->setAutoDefault(false);
    pColumn->addWidget(pButton);
    return pButton;
}

QComboBox* AddHistoryCombo(QGridLayout* pGrid, int nRow, const QString& strLabel, int nId, QWidget* pParent) {
    auto* pLabel = new QLabel(strLabel, pParent);
    auto* pCombo = new QComboBox(pParent);
    pCombo->setEditable(true);
    // The dialog keeps the histories; the combo must not add what is typed.
    pCombo->setInsertPolicy(QComboBox::NoInsert);
    pCombo->setMinimumContentsLength(28);
    pCombo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    CDialog::SetControlId(pCombo, nId);
    pLabel->setBuddy(pCombo);
    pGrid->addWidget(pLabel, nRow, 0);
    pGrid->addWidget(pCombo, nRow, 1);
    return pCombo;
}

}  // namespace

// ---- the dialogs' common part ---------------------------------------------------------------

CFindReplaceDlg::CFindReplaceDlg(CDBFView& view, int nPreselectedCol, bool bReplace)
    : CDialog(&view), m_view(view), m_pDoc(view.GetDoc()) {
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    auto* pMain = new QHBoxLayout(this);
    m_pGrid = new QGridLayout;
    m_pButtonColumn = new QVBoxLayout;
    pMain->addLayout(m_pGrid, 1);
    pMain->addSpacing(6);
    pMain->addLayout(m_pButtonColumn);
    QGridLayout* pGrid = m_pGrid;

    m_pFindWhat = AddHistoryCombo(pGrid, 0, QStringLiteral("Find what:"), IDC_FIND_WHAT, this);
    int nRow = bReplace ? 2 : 1;  // Replace's second combo goes between
    auto* pFieldLabel = new QLabel(QStringLiteral("Field:"), this);
    m_pField = new QComboBox(this);
    m_pField->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    SetControlId(m_pField, IDC_FIND_FIELD);
    pFieldLabel->setBuddy(m_pField);
    pGrid->addWidget(pFieldLabel, nRow, 0);
    pGrid->addWidget(m_pField, nRow, 1, Qt::AlignLeft);
    pGrid->setRowStretch(nRow + 1, 1);

    m_pFind = AddButton(m_pButtonColumn, QStringLiteral("&Find"), IDOK, this);
    m_pFind->setDefault(true);
    connect(m_pFind, &QPushButton::clicked, this, [this] { FindNext(); });

    if (m_pDoc)
        for (const std::string& strText : m_pDoc->m_findHistory)
            m_pFindWhat->addItem(ToUnicode(strText));
    m_pFindWhat->setCurrentIndex(-1);
    BuildFieldList(nPreselectedCol);
    connect(m_pFindWhat->lineEdit(), &QLineEdit::textChanged, this, [this] { UpdateButtons(); });
}

CFindReplaceDlg::~CFindReplaceDlg() = default;

void CFindReplaceDlg::BuildFieldList(int nPreselectedCol) {
    int nSelect = -1;
    if (m_pDoc && m_pDoc->IsTableOpen()) {
        dbf::CDBFTableDef* pDef = m_pDoc->m_table.GetTableDef();
        const platform::ColumnLayout& columns = m_pDoc->m_columns;
        for (size_t i = 0; i < columns.size(); ++i) {
            const ColumnInfo& entry = columns[i];
            if (!entry.bVisible || entry.nGridCol < 0 || entry.nField < 0 || entry.nField >= pDef->GetFieldCount())
                continue;
            dbf::DBFFieldInfo field = pDef->GetFieldInfo(entry.nField);
            char sz[160];
            bool bDecimals = field.cType == 'B' || field.cType == 'F' || field.cType == 'N' || field.cType == 'Y';
            if (bDecimals)
                std::snprintf(sz, sizeof sz, "%s   %c(%u,%u)", field.strName.c_str(), field.cType,
                              unsigned(field.nWidth), unsigned(field.nDecimals));
            else
                std::snprintf(sz, sizeof sz, "%s   %c(%u)", field.strName.c_str(), field.cType,
                              unsigned(field.nWidth));
            if (entry.nGridCol == nPreselectedCol)
                nSelect = m_pField->count();
            m_pField->addItem(ToUnicode(m_pDoc->ToDisplayText(sz)), int(i));
        }
    }
    m_pField->addItem(QStringLiteral("*"), -1);
    m_pField->setCurrentIndex(nSelect >= 0 ? nSelect : m_pField->count() - 1);
}

QString CFindReplaceDlg::ToUnicode(const std::string& strText) const {
    return m_pDoc ? m_pDoc->GetTextCodec().ToUnicode(strText) : QString::fromLatin1(strText.c_str());
}

std::string CFindReplaceDlg::ComboText(const QComboBox* pCombo) const {
    QString strText = pCombo->currentText();
    return m_pDoc ? m_pDoc->GetTextCodec().FromUnicode(strText) : strText.toStdString();
}

std::string CFindReplaceDlg::GetSearchText() const {
    if (m_pDoc && m_pDoc->IsWholeText())
        return std::string(TrimAsciiSpace(m_pDoc->GetTextCodec().FromUnicode(m_pFindWhat->currentText().toUpper())));
    std::string strText(TrimAsciiSpace(ComboText(m_pFindWhat)));
    if (m_pDoc)
        CTextFold::ForCodePage(m_pDoc->GetAnsiPage()).UpperInPlace(strText);
    return strText;
}

int CFindReplaceDlg::GetSearchColumn() const {
    int nEntry = m_pField->currentIndex() < 0 ? -1 : m_pField->currentData().toInt();
    if (nEntry < 0)
        return -1;
    if (!m_pDoc || size_t(nEntry) >= m_pDoc->m_columns.size())
        return kNoColumn;
    int nCol = m_pDoc->m_columns[size_t(nEntry)].nGridCol;
    return nCol >= 0 ? nCol : kNoColumn;
}

bool CFindReplaceDlg::Search(FindCell from, FindCell& found) {
    if (!m_pDoc)
        return false;
    CCellMatcher matcher(m_view, *m_pDoc, GetSearchText());
    int32_t nRows = int32_t(std::min<GridRow>(matcher.RowCount(), m_view.GetRowCount()));
    int nCols = matcher.ColumnCount();
    int nSearchCol = GetSearchColumn();
    from.nRow = std::max<int32_t>(from.nRow, 0);
    if (nSearchCol == kNoColumn || nSearchCol >= nCols)
        return false;
    if (nSearchCol >= 0) {
        for (int32_t r = from.nRow; r < nRows; ++r)
            if (matcher.Matches({nSearchCol, r})) {
                found = {nSearchCol, r};
                return true;
            }
        return false;
    }
    for (int32_t r = from.nRow; r < nRows; ++r)
        for (int c = r == from.nRow ? std::max(from.nCol, 0) : 0; c < nCols; ++c)
            if (matcher.Matches({c, r})) {
                found = {c, r};
                return true;
            }
    return false;
}

bool CFindReplaceDlg::CellMatches(const FindCell& cell) {
    if (!m_pDoc)
        return false;
    CCellMatcher matcher(m_view, *m_pDoc, GetSearchText());
    return cell.nRow < m_view.GetRowCount() && matcher.Matches(cell);
}

bool CFindReplaceDlg::EndViewEdit() { return m_view.EndEditForDocument(); }

bool CFindReplaceDlg::FindNext() {
    // An empty search would match every cell: it finds nothing.
    if (GetSearchText().empty() || !EndViewEdit())
        return false;
    FindCell found;
    bool bFound = false;
    {
        CWaitCursor wait;
        bFound = Search(m_start, found);
    }
    if (!bFound) {
        m_start = FindCell{};
        OnNotFound();
        UpdateButtons();
        ShowNotFound();
        return false;
    }
    m_view.GoToCell(found.nCol, found.nRow);
    m_view.SelectRange(found.nCol, found.nCol, found.nRow, found.nRow);
    if (GetSearchColumn() < 0)
        m_start = FindCell{found.nCol + 1, found.nRow};
    else
        m_start = FindCell{m_start.nCol, found.nRow + 1};
    AddHistories();
    OnFound(found);
    UpdateButtons();
    return true;
}

void CFindReplaceDlg::OnFound(const FindCell&) {}

void CFindReplaceDlg::ShowNotFound() {
    MessageBox(this, Text(IDS_NOT_FOUND), Text(IDS_FIND_CAPTION), MB_OK | MB_ICONWARNING);
}

void CFindReplaceDlg::AddToHistory(std::vector<std::string>& history, QComboBox* pCombo, const std::string& strText,
                                   bool bFront) {
    if (strText.empty() || std::find(history.begin(), history.end(), strText) != history.end())
        return;
    // Adding an item must not change the text the user typed, nor look to
    // the dialog like a choice.
    QSignalBlocker block(pCombo);
    QString strEdit = pCombo->currentText();
    if (bFront) {
        history.insert(history.begin(), strText);
        pCombo->insertItem(0, ToUnicode(strText));
    } else {
        history.push_back(strText);
        pCombo->addItem(ToUnicode(strText));
    }
    pCombo->setEditText(strEdit);
}

void CFindReplaceDlg::UpdateButtons() { m_pFind->setEnabled(!GetSearchText().empty()); }

void CFindReplaceDlg::OnCancel() { close(); }

void CFindReplaceDlg::closeEvent(QCloseEvent* pEvent) {
    // QDialog would turn the close into a rejection and keep a modeless
    // dialog open; a closed tool dialog goes (WA_DeleteOnClose), and the
    // view's pointer to it with it.
    pEvent->accept();
}

// ---- Find -------------------------------------------------------------------------------------

CFindDlg::CFindDlg(CDBFView& view, int nPreselectedCol) : CFindReplaceDlg(view, nPreselectedCol, false) {
    setWindowTitle(QStringLiteral("Find"));
    setObjectName(QStringLiteral("FindDlg"));
    QVBoxLayout* pButtons = m_pButtonColumn;
    QPushButton* pClose = AddButton(pButtons, QStringLiteral("Close"), IDCANCEL, this);
    connect(pClose, &QPushButton::clicked, this, [this] { OnCancel(); });
    pButtons->addStretch(1);
    // Another text or another field starts again at the top.
    connect(m_pFindWhat->lineEdit(), &QLineEdit::textEdited, this, [this] { Restart(); });
    connect(m_pFindWhat, &QComboBox::activated, this, [this] { Restart(); });
    connect(m_pField, &QComboBox::activated, this, [this] { Restart(); });
    setTabOrder(m_pFindWhat, m_pField);
    setTabOrder(m_pField, m_pFind);
    setTabOrder(m_pFind, pClose);
    UpdateButtons();
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    m_pFindWhat->setFocus();
}

void CFindDlg::AddFindHistory(const std::string& strText) {
    if (m_pDoc)
        AddToHistory(m_pDoc->m_findHistory, m_pFindWhat, strText, true);
}

// ---- Replace ----------------------------------------------------------------------------------

CReplaceDlg::CReplaceDlg(CDBFView& view, int nPreselectedCol) : CFindReplaceDlg(view, nPreselectedCol, true) {
    setWindowTitle(QStringLiteral("Replace"));
    setObjectName(QStringLiteral("ReplaceDlg"));
    m_pReplaceWith = AddHistoryCombo(m_pGrid, 1, QStringLiteral("Replace:"), IDC_REPLACE_WITH, this);
    if (m_pDoc)
        for (const std::string& strText : m_pDoc->m_replaceHistory)
            m_pReplaceWith->addItem(ToUnicode(strText));
    // The last entry of each list is the one offered.
    m_pFindWhat->setCurrentIndex(m_pFindWhat->count() - 1);
    m_pReplaceWith->setCurrentIndex(m_pReplaceWith->count() - 1);

    QVBoxLayout* pButtons = m_pButtonColumn;
    m_pReplace = AddButton(pButtons, QStringLiteral("Replace"), IDC_REPLACE, this);
    m_pReplaceAll = AddButton(pButtons, QStringLiteral("Replace &all"), IDC_REPLACE_ALL, this);
    QPushButton* pClose = AddButton(pButtons, QStringLiteral("Close"), IDCANCEL, this);
    pButtons->addStretch(1);
    connect(m_pReplace, &QPushButton::clicked, this, [this] { Replace(); });
    connect(m_pReplaceAll, &QPushButton::clicked, this, [this] { ReplaceAll(); });
    connect(pClose, &QPushButton::clicked, this, [this] { OnCancel(); });
    setTabOrder(m_pFindWhat, m_pReplaceWith);
    setTabOrder(m_pReplaceWith, m_pField);
    setTabOrder(m_pField, m_pFind);
    setTabOrder(m_pFind, m_pReplace);
    setTabOrder(m_pReplace, m_pReplaceAll);
    setTabOrder(m_pReplaceAll, pClose);
    UpdateButtons();
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    m_pFindWhat->setFocus();
}

void CReplaceDlg::UpdateButtons() {
    if (!m_pReplace || !m_pReplaceAll)
        return;  // still being built
    bool bText = !GetSearchText().empty();
    bool bWritable = m_pDoc && !m_pDoc->IsReadOnly();
    m_pFind->setEnabled(bText);
    m_pReplace->setEnabled(bText && bWritable && m_bFound);
    m_pReplaceAll->setEnabled(bText && bWritable);
}

void CReplaceDlg::OnFound(const FindCell& cell) {
    m_found = cell;
    m_bFound = true;
}

void CReplaceDlg::OnNotFound() { m_bFound = false; }

void CReplaceDlg::AddFindHistory(const std::string& strText) {
    if (m_pDoc)
        AddToHistory(m_pDoc->m_findHistory, m_pFindWhat, strText, false);
}

void CReplaceDlg::AddHistories() {
    CFindReplaceDlg::AddHistories();
    if (m_pDoc)
        AddToHistory(m_pDoc->m_replaceHistory, m_pReplaceWith, GetReplaceText(), false);
}

bool CReplaceDlg::StoreReplacement(const FindCell& cell, std::string& strError) {
    int nField = m_view.FieldOfColumn(cell.nCol);
    if (nField < 0)
        return false;
    return m_view.StoreCellText(nField, cell.nRow, GetReplaceText(), &strError);
}

bool CReplaceDlg::Replace() {
    if (!m_bFound || !m_pDoc || m_pDoc->IsReadOnly() || GetSearchText().empty() || !EndViewEdit())
        return false;
    // The found cell may show something else by now (a sort, an edit): only
    // the cell the user was shown, still matching, is overwritten.
    FindCell current{m_view.GetCurrentColumn() - m_view.GetFixedColumnCount(),
                     int32_t(m_view.GetCurrentRow() - m_view.GetFixedRowCount())};
    if (!(current == m_found) || !CellMatches(m_found)) {
        FindNext();
        return false;
    }
    std::string strError;
    if (!StoreReplacement(m_found, strError)) {
        MessageBox(this, QString::fromUtf8(strError.c_str()), MB_OK | MB_ICONWARNING);
        return false;
    }
    m_pDoc->SetModifiedFlag(true);
    m_view.InvalidateRow(m_found.nRow);
    m_view.ActivateCurrentCell();
    return true;
}

int CReplaceDlg::ReplaceAll() {
    if (!m_pDoc || m_pDoc->IsReadOnly() || GetSearchText().empty() || !EndViewEdit())
        return 0;
    int nMatched = 0, nStored = 0;
    std::string strFirstError;
    FindCell last;
    {
        CWaitCursor wait;
        CCellMatcher matcher(m_view, *m_pDoc, GetSearchText());
        int32_t nRows = int32_t(std::min<GridRow>(matcher.RowCount(), m_view.GetRowCount()));
        int nSearchCol = GetSearchColumn();
        int nFirstCol = nSearchCol >= 0 ? nSearchCol : 0;
        int nEndCol = nSearchCol >= 0 ? nSearchCol + 1 : nSearchCol == kNoColumn ? 0 : matcher.ColumnCount();
        nEndCol = std::min(nEndCol, matcher.ColumnCount());
        for (int32_t r = 0; r < nRows; ++r)
            for (int c = nFirstCol; c < nEndCol; ++c) {
                if (!matcher.Matches({c, r}))
                    continue;
                ++nMatched;
                std::string strError;
                if (StoreReplacement({c, r}, strError)) {
                    ++nStored;
                    last = {c, r};
                } else if (strFirstError.empty()) {
                    strFirstError = strError;
                }
            }
    }
    m_bFound = false;
    if (nMatched == 0) {
        m_start = FindCell{};
        UpdateButtons();
        ShowNotFound();
        return 0;
    }
    AddHistories();
    if (nStored > 0) {
        m_pDoc->SetModifiedFlag(true);
        // Selecting every replaced cell in turn shows nothing more than
        // selecting the last one: nothing is painted in between.
        m_view.GoToCell(last.nCol, last.nRow);
        m_view.SelectRange(last.nCol, last.nCol, last.nRow, last.nRow);
        m_view.ActivateCurrentCell();
        m_view.viewport()->update();
        m_found = last;
        if (GetSearchColumn() < 0)
            m_start = FindCell{last.nCol + 1, last.nRow};
    }
    UpdateButtons();
    if (nStored < nMatched)
        ReportRefused(nMatched - nStored, nMatched, strFirstError);
    return nStored;
}

void CReplaceDlg::ReportRefused(int nRefused, int nMatched, const std::string& strFirstError) {
    QString strText =
        Text(IDS_REPLACE_REFUSED).arg(nRefused).arg(nMatched).arg(QString::fromUtf8(strFirstError.c_str()));
    MessageBox(this, strText, MB_OK | MB_ICONWARNING);
}
