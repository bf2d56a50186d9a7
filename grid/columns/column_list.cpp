// The Columns dialog's list: cells from the layout entries, the check box
// committed as it is clicked, and the header edit opened by typing, Enter or
// a double-click in the header column.
#include "grid/columns/column_list.h"

#include <algorithm>

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QValidator>

#include "grid/columns/columns_strings.h"
#include "grid/editor_styles.h"
#include "grid/grid_check.h"
#include "grid/widget_editor.h"
#include "platform/core/string_table.h"
#include "platform/ui/command_event.h"
#include "platform/ui/system_metrics.h"

using namespace platform;

namespace {

// Text flags: single line, vertically centred, no prefix; headers and names
// that do not fit end in an ellipsis.
constexpr unsigned kCheckCell = DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX;
constexpr unsigned kCheckHeader = kCheckCell | DT_END_ELLIPSIS;
constexpr unsigned kTextCell = DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS;
constexpr unsigned kTextHeader = DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS;

constexpr uint32_t kCheckEditorStyle = WS_CHILD | BS_AUTOCHECKBOX | BS_FLAT;
constexpr uint32_t kHeadEditStyle = WS_CHILD | ES_AUTOHSCROLL;

constexpr int kCheckWidth = 20;
constexpr int kViewerFieldWidth = 178;
// Room for a field name and a short header side by side.
constexpr int kMinHeaderFieldWidth = 100;

bool IsLineBreak(QChar ch) {
    switch (ch.unicode()) {
    case '\n':
    case '\v':
    case '\f':
    case '\r':
    case 0x85:
    case 0x2028:
    case 0x2029:
        return true;
    default:
        return false;
    }
}

// Whether a typed header can be kept: one line, at most kMaxColumnHeadLength
// characters.
bool IsValidColumnHead(const QString& strHead) {
    return strHead.size() <= kMaxColumnHeadLength && std::none_of(strHead.begin(), strHead.end(), IsLineBreak);
}

// Refuses every change that would leave the header edit holding a line
// break or more than the settings file keeps, typed, pasted or composed.
class CColumnHeadValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& strInput, int&) const override {
        return IsValidColumnHead(strInput) ? Acceptable : Invalid;
    }
};

// The check box over the current row's check cell. The standard one paints
// the window colour around its box; in this list the current row is
// highlighted, so this one paints the highlight and the box on it.
class CColumnCheckBox : public CKelGridCheckBox {
public:
    CColumnCheckBox(CKelGridCheck& editor, bool bFlat) : CKelGridCheckBox(editor), m_bFlat(bFlat) {}

protected:
    void paintEvent(QPaintEvent* pEvent) override {
        QPainter painter(this);
        QRect rcPaint = pEvent->rect();
        CDrawContext dc(painter, Rect{rcPaint.left(), rcPaint.top(), rcPaint.right() + 1, rcPaint.bottom() + 1});
        Rect rcAll{0, 0, width(), height()};
        dc.FillSolidRect(rcAll, GetSysColor(COLOR_HIGHLIGHT));
        unsigned nState = DFCS_BUTTONCHECK;
        if (m_bFlat)
            nState |= DFCS_FLAT;
        if (isDown())
            nState |= DFCS_PUSHED;
        if (!isEnabled())
            nState |= DFCS_INACTIVE;
        if (GetState() == BST_CHECKED)
            nState |= DFCS_CHECKED;
        QRect rc = GetBoxRect();
        Rect rcBox = Rect{rc.left(), rc.top(), rc.right() + 1, rc.bottom() + 1}.Intersected(rcAll);
        if (!rcBox.IsEmpty())
            dc.DrawFrameControl(rcBox, DFC_BUTTON, nState);
    }

private:
    bool m_bFlat;
};

class CColumnCheck : public CKelGridCheck {
public:
    bool CreateEditor(uint32_t nStyle, CKelGridOwner* pParent, int nId) override {
        auto* pButton = new CColumnCheckBox(*this, (nStyle & BS_FLAT) != 0);
        return AttachWidget(pButton, pParent, nStyle, nId);
    }
};

}  // namespace

CColumnList::CColumnList(bool bHeaderColumn, QWidget* pParent) : CKelGridCtrl(pParent), m_bHeaderColumn(bHeaderColumn) {
    RegisterColumnsStrings();
    SetEditorFactory([](int nKind) -> std::unique_ptr<CKelCellEditor> {
        if (nKind == GEK_CHECK)
            return std::make_unique<CColumnCheck>();
        return CreateStandardCellEditor(nKind);
    });
    int nCheck = InsertColumn(kCheckWidth, std::string(), kCheckCell, kCheckHeader, DFC_BUTTON,
                              DFCS_BUTTONCHECK | DFCS_FLAT, IDC_COLUMNS_CHECK);
    SetColumnEditor(nCheck, GEK_CHECK, kCheckEditorStyle, IDC_COLUMNS_CHECK);
    int nField = InsertColumn(kViewerFieldWidth, LoadString(IDS_COLUMNS_FIELD), kTextCell, kTextHeader, 0, 0,
                              IDC_COLUMNS_FIELD);
    SetColumnEditor(nField, GEK_NONE, WS_CHILD, 0);
    if (m_bHeaderColumn) {
        // The header column's edit is the list's own, handed out only while
        // a header is being edited.
        int nHead = InsertColumn(kViewerFieldWidth, LoadString(IDS_COLUMNS_HEAD), kTextCell, kTextHeader, 0, 0,
                                 IDC_COLUMNS_HEAD);
        SetColumnEditor(nHead, GEK_NONE, WS_CHILD, 0);
    } else {
        SetFixedRowCount(0, false);
    }
    SetFixedColumnCount(0, false);

    GridCellStyle& style = GetDefaultStyle();
    style.clrCurrentBack = style.clrSelectedBack = GetSysColor(COLOR_HIGHLIGHT);
    style.clrCurrentText = style.clrSelectedText = GetSysColor(COLOR_HIGHLIGHTTEXT);
    SetFocusFrame(GetSysColor(COLOR_HIGHLIGHT), GetSysColor(COLOR_HIGHLIGHTTEXT), false);

    connect(this, &CKelGridWindow::gridNotify, this, [this](unsigned nMessage, quintptr, qintptr) {
        // A border the user dragged keeps its place.
        if (nMessage == WM_GRID_COLRESIZED)
            m_bAutoFit = false;
    });
}

CColumnList::~CColumnList() {
    // The base classes end a pending edit too, but by then this class's
    // editor and entries are out of reach: it is ended here.
    EndEdit(true);
    m_bEditing = false;
    m_pEditHead.reset();
}

bool CColumnList::Create(uint32_t dwExStyle, uint32_t dwStyle, const Rect& rc, QWidget* pParent, int nId) {
    if (!CKelGridCtrl::Create(dwExStyle, dwStyle, rc, pParent, nId))
        return false;
    if (!m_bHeaderColumn)
        return true;
    m_pEditHead = std::make_unique<CKelGridEdit>();
    if (!m_pEditHead->CreateEditor(kHeadEditStyle, this, IDC_COLUMNS_HEAD_EDIT))
        return false;
    m_pEditHead->EnableEditor(false);
    m_pEditHead->SetFocusFrame(&GetDefaultStyle().focusFrame);
    m_pEditHead->SetEditorFont(GetFont(), true);
    m_pEditHead->SetTextCodec(GetTextCodec());
    m_pEditHead->SetLimitText(kMaxColumnHeadLength);
    if (QLineEdit* pEdit = m_pEditHead->GetEdit())
        pEdit->setValidator(new CColumnHeadValidator(pEdit));
    return true;
}

void CColumnList::SetLayout(ColumnLayout* pLayout, const std::vector<std::string>* pNames) {
    EndEditing();
    m_pLayout = pLayout;
    m_pNames = pNames;
    if (m_pEditHead)
        m_pEditHead->SetTextCodec(GetTextCodec());
    RefreshEntries();
}

void CColumnList::FitColumns() {
    if (!m_bAutoFit)
        return;
    RecalcLayout();
    int nRest = std::max(0, GetClientSize().cx - kCheckWidth);
    if (m_bHeaderColumn) {
        int nField = nRest / 2;
        SetColumnWidth(1, -1, nField);
        SetColumnWidth(2, -1, nRest - nField);
    } else {
        SetColumnWidth(1, -1, std::max(kViewerFieldWidth, nRest));
    }
    RecalcLayout();
    PositionEditor(GetCurrentColumn(), GetCurrentRow());
}

int CColumnList::GetMinimumColumnsWidth() const {
    return kCheckWidth + (m_bHeaderColumn ? 2 * kMinHeaderFieldWidth : kViewerFieldWidth);
}

void CColumnList::resizeEvent(QResizeEvent* pEvent) {
    CKelGridCtrl::resizeEvent(pEvent);
    FitColumns();
}

ColumnInfo* CColumnList::Entry(GridRow nRow) {
    if (!m_pLayout || nRow < 0 || nRow >= static_cast<GridRow>(m_pLayout->size()))
        return nullptr;
    return &(*m_pLayout)[static_cast<size_t>(nRow)];
}

int CColumnList::GetCurrentEntry() {
    GridRow nRow = GetCurrentRow() - GetFixedRowCount();
    return Entry(nRow) && nRow < GetRowCount() ? static_cast<int>(nRow) : -1;
}

void CColumnList::MoveToEntry(int nEntry) {
    MoveTo(GetCurrentColumn() - GetFixedColumnCount(), nEntry);
}

void CColumnList::RefreshEntries() {
    SetRowCount(m_pLayout ? static_cast<GridRow>(m_pLayout->size()) : 0, false);
    RecalcLayout();
    // The current cell's editor (the check box) shows the entry as it is
    // now; it is made when the list gets its first entries.
    int nCol = GetCurrentColumn() - GetFixedColumnCount();
    GridRow nRow = GetCurrentRow() - GetFixedRowCount();
    if (CKelCellEditor* pEditor = GetCurrentEditor())
        LoadCellEditor(nCol, nRow, pEditor);
    else
        ActivateCurrentCell();
    viewport()->update();
}

void CColumnList::NotifyParent() {
    if (m_nNotifyCommand != 0)
        PostCommand(parentWidget(), m_nNotifyCommand, 0);
}

// ---- data-source operations -------------------------------------------------------

GridCellValue CColumnList::GetCellValue(int nCol, GridRow nRow) {
    const ColumnInfo* pEntry = Entry(nRow);
    if (!pEntry)
        return GridCellValue{std::string(), -1};
    switch (GetColumnId(nCol, nRow)) {
    case IDC_COLUMNS_CHECK:
        return GridCellValue{std::string(), pEntry->bVisible ? BST_CHECKED : BST_UNCHECKED};
    case IDC_COLUMNS_FIELD:
        // A layout from a settings file may name a field the names lack.
        if (m_pNames && pEntry->nField >= 0 && static_cast<size_t>(pEntry->nField) < m_pNames->size())
            return GridCellValue{(*m_pNames)[static_cast<size_t>(pEntry->nField)], -1};
        return GridCellValue{std::string(), -1};
    case IDC_COLUMNS_HEAD:
        return GridCellValue{pEntry->strHead, -1};
    default:
        return GridCellValue{std::string(), -1};
    }
}

CKelCellEditor* CColumnList::GetCellEditor(int nCol, GridRow nRow) {
    if (!Entry(nRow))
        return nullptr;
    if (IsHeadCell(nCol))
        return m_bEditing ? m_pEditHead.get() : nullptr;
    return CKelGridCtrl::GetCellEditor(nCol, nRow);
}

std::unique_ptr<CKelCellEditor> CColumnList::CreateCellEditor(int nCol, GridRow nRow, uint32_t nStyle, int nId) {
    std::unique_ptr<CKelCellEditor> pEditor = CKelGridCtrl::CreateCellEditor(nCol, nRow, nStyle, nId);
    if (auto* pCheck = dynamic_cast<CKelGridCheck*>(pEditor.get()))
        if (CKelGridCheckBox* pButton = pCheck->GetButton())
            connect(pButton, &QAbstractButton::clicked, this, [this] { OnCheckClicked(); });
    return pEditor;
}

bool CColumnList::CommitCell(int nCol, GridRow nRow) {
    CKelCellEditor* pEditor = GetCellEditor(nCol, nRow);
    ColumnInfo* pEntry = Entry(nRow);
    if (!pEditor || !pEntry)
        return true;
    GridCellValue value = pEditor->GetEditorValue();
    switch (GetColumnId(nCol, nRow)) {
    case IDC_COLUMNS_CHECK:
        pEntry->bVisible = value.nValue == BST_CHECKED;
        break;
    case IDC_COLUMNS_HEAD: {
        // The edit refuses what the settings file cannot keep; what reaches
        // here is held to the same rule all the same.
        std::string strHead = value.strText.substr(0, value.strText.find_first_of("\r\n"));
        if (strHead.size() > static_cast<size_t>(kMaxColumnHeadLength))
            strHead.resize(kMaxColumnHeadLength);
        pEntry->strHead = std::move(strHead);
        break;
    }
    default:
        return true;
    }
    InvalidateRow(nRow);
    NotifyParent();
    return CKelGridCtrl::CommitCell(nCol, nRow);
}

void CColumnList::OnCurrentCellChanged(int, GridRow) {
    // A move ends header editing, even in a window without the keyboard.
    m_bEditing = false;
}

void CColumnList::OnCheckClicked() {
    int nCol = GetCurrentColumn() - GetFixedColumnCount();
    GridRow nRow = GetCurrentRow() - GetFixedRowCount();
    ColumnInfo* pEntry = Entry(nRow);
    CKelCellEditor* pEditor = pEntry ? GetCellEditor(nCol, nRow) : nullptr;
    if (!pEditor || GetColumnId(nCol, nRow) != IDC_COLUMNS_CHECK)
        return;
    pEntry->bVisible = pEditor->GetEditorValue().nValue == BST_CHECKED;
    pEditor->ValidateEditor();
    InvalidateRow(nRow);
    NotifyParent();
}

// ---- header editing ---------------------------------------------------------------

void CColumnList::StartEdit() {
    int nCol = GetCurrentColumn() - GetFixedColumnCount();
    GridRow nRow = GetCurrentRow() - GetFixedRowCount();
    if (!m_pEditHead || !IsHeadCell(nCol) || !Entry(nRow) || nRow >= GetRowCount())
        return;
    m_bEditing = true;
    LoadCellEditor(nCol, nRow, m_pEditHead.get());
    PositionEditor(GetCurrentColumn(), GetCurrentRow());
}

void CColumnList::EndEditing() {
    EndEdit(true);
    m_bEditing = false;
}

void CColumnList::PostKeyToEditor(const QKeyEvent* pEvent) {
    QWidget* pInput = m_pEditHead ? m_pEditHead->GetInputWidget() : nullptr;
    if (!pInput)
        return;
    QCoreApplication::postEvent(pInput, new QKeyEvent(QEvent::KeyPress, pEvent->key(), pEvent->modifiers(),
                                                      pEvent->text(), pEvent->isAutoRepeat(),
                                                      static_cast<ushort>(pEvent->count())));
}

bool CColumnList::PreTranslateMessage(QWidget* pTarget, QKeyEvent* pEvent) {
    bool bEnter = pEvent->key() == Qt::Key_Return || pEvent->key() == Qt::Key_Enter;
    if (bEnter && m_bEditing && !pEvent->modifiers().testFlag(Qt::ControlModifier)) {
        EndEditing();
        setFocus(Qt::OtherFocusReason);
        return true;
    }
    return CKelGridCtrl::PreTranslateMessage(pTarget, pEvent);
}

void CColumnList::keyPressEvent(QKeyEvent* pEvent) {
    int nCol = GetCurrentColumn() - GetFixedColumnCount();
    bool bEnter = pEvent->key() == Qt::Key_Return || pEvent->key() == Qt::Key_Enter;
    bool bPlain = !(pEvent->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
    QString strText = pEvent->text();
    bool bCharacter = !strText.isEmpty() && strText.at(0).isPrint();
    if (!IsHeadCell(nCol) || !bPlain || !(bEnter || bCharacter) || GetRowCount() <= 0) {
        CKelGridCtrl::keyPressEvent(pEvent);
        return;
    }
    StartEdit();
    // The key that opened the edit is its first character.
    if (!bEnter)
        PostKeyToEditor(pEvent);
    pEvent->accept();
}

void CColumnList::focusInEvent(QFocusEvent* pEvent) {
    if (m_bEditing)
        EndEditing();
    CKelGridCtrl::focusInEvent(pEvent);
}

void CColumnList::mouseDoubleClickEvent(QMouseEvent* pEvent) {
    CKelGridCtrl::mouseDoubleClickEvent(pEvent);
    int y = static_cast<int>(pEvent->position().y()) + 1;
    if (pEvent->button() == Qt::LeftButton && y > GetFixedRowCount() * GetHeaderHeight())
        StartEdit();
}

