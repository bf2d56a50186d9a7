// The table-structure grid: cells from the field descriptors, the editing
// mode, the keys and clicks that start it, and the width and decimals rules
// applied when a cell is committed.
#include "grid/structure/table_struct_ctrl.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>

#include "grid/editor_styles.h"
#include "grid/structure/structure_strings.h"
#include "platform/core/string_table.h"
#include "platform/ui/command_event.h"
#include "platform/ui/system_metrics.h"

using dbf::DBFFieldDesc;
using namespace platform;

namespace {

// Header and cell text flags of the columns: end ellipsis, single line and
// vertical centring for headers, no prefix for cells, right-aligned numbers.
constexpr unsigned kHeaderLeft = 0x8024;
constexpr unsigned kHeaderRight = 0x8026;
constexpr unsigned kCellLeft = 0x0804;
constexpr unsigned kCellRight = 0x0806;

// Window styles of the editors.
constexpr uint32_t kNameEditStyle = WS_CHILD | ES_AUTOHSCROLL;           // 0x40000080
constexpr uint32_t kTypeListStyle = WS_CHILD | WS_VSCROLL | CBS_DROPDOWNLIST;  // 0x40200003
constexpr uint32_t kSpinStyle = 0x40000026;  // child, set-buddy-integer, align-right, arrow-keys

constexpr int kMaxNameLength = 10;

// Type string ids.
enum : int {
    kTypeCharacter = 59400,
    kTypeNumeric,
    kTypeFloat,
    kTypeLogical,
    kTypeDate,
    kTypeDateTime,
    kTypeInteger,
    kTypeDouble,
    kTypeCurrency,
};

// Whether a letter is one of a set; the NUL byte never is.
bool IsOneOf(char c, const char* pszSet) { return c != '\0' && std::strchr(pszSet, c) != nullptr; }

// Letters whose width is descriptor byte 16 alone; for the rest bytes 16-17
// form the width.
bool HasByteWidth(char cType) { return IsOneOf(cType, "BDFINTY"); }

std::string FormatUnsigned(unsigned n) {
    char sz[16];
    std::snprintf(sz, sizeof sz, "%u", n);
    return sz;
}

void SetWideWidth(DBFFieldDesc& d, int nWidth) {
    d.width = uint8_t(nWidth & 0xFF);
    d.decimals = uint8_t((nWidth >> 8) & 0xFF);
}

void SetNumber(DBFFieldDesc& d, char cType, int nWidth, int nDecimals) {
    d.type = cType;
    d.width = uint8_t(nWidth);
    d.decimals = uint8_t(std::clamp(nDecimals, 0, 255));
}

}  // namespace

// ---- the rules ------------------------------------------------------------------

int FieldDisplayWidth(const DBFFieldDesc& desc) {
    return HasByteWidth(desc.type) ? desc.width : (desc.width | (desc.decimals << 8));
}

DBFFieldDesc ApplyFieldType(const DBFFieldDesc& desc, int nTypeId) {
    DBFFieldDesc d = desc;
    // The width and decimals the field has now. Where byte 17 is the high
    // byte of a wide field's width it is no count of decimals.
    const int nWidth = FieldDisplayWidth(desc);
    const int nDecimals = HasByteWidth(desc.type) ? desc.decimals : 0;
    switch (nTypeId) {
    case kTypeCharacter:
        if (desc.type != 'C') {
            d.type = 'C';
            SetWideWidth(d, nWidth);
        }
        break;
    case kTypeNumeric:
    case kTypeFloat: {
        int nNew = std::clamp(nWidth, 1, 20);
        SetNumber(d, nTypeId == kTypeNumeric ? 'N' : 'F', nNew, std::min(nDecimals, nNew - 1));
        break;
    }
    case kTypeLogical:
        SetNumber(d, 'L', 1, 0);
        break;
    case kTypeDate:
        SetNumber(d, 'D', 8, 0);
        break;
    case kTypeDateTime:
        SetNumber(d, 'T', 8, 0);
        break;
    case kTypeInteger:
        SetNumber(d, 'I', 4, 0);
        break;
    case kTypeDouble:
        SetNumber(d, 'B', 8, std::min(nDecimals, 18));
        break;
    case kTypeCurrency:
        SetNumber(d, 'Y', 8, 0);
        break;
    default:
        break;
    }
    return d;
}

DBFFieldDesc ApplyFieldWidth(const DBFFieldDesc& desc, int nWidth) {
    DBFFieldDesc d = desc;
    switch (desc.type) {
    case 'B':
        SetNumber(d, 'B', 8, std::min<int>(desc.decimals, 18));
        break;
    case 'C':
        SetWideWidth(d, std::clamp(nWidth, 1, 255));
        break;
    case 'D':
    case 'T':
    case 'Y':
        SetNumber(d, desc.type, 8, 0);
        break;
    case 'F':
    case 'N': {
        int nNew = std::clamp(nWidth, 1, 20);
        SetNumber(d, desc.type, nNew, std::min<int>(desc.decimals, nNew - 1));
        break;
    }
    case 'I':
        SetNumber(d, 'I', 4, 0);
        break;
    case 'L':
        SetNumber(d, 'L', 1, 0);
        break;
    default:
        break;
    }
    return d;
}

DBFFieldDesc ApplyFieldDecimals(const DBFFieldDesc& desc, int nDecimals) {
    DBFFieldDesc d = desc;
    switch (desc.type) {
    case 'B':
        d.decimals = uint8_t(std::clamp(nDecimals, 0, 18));
        break;
    case 'F':
    case 'N':
        if (nDecimals >= desc.width)
            nDecimals = desc.width - 1;
        d.decimals = uint8_t(std::max(0, nDecimals));
        break;
    case 'D':
    case 'I':
    case 'L':
    case 'T':
    case 'Y':
        d.decimals = 0;
        break;
    default:
        // A character field's byte 17 is its width's high byte: not decimals.
        break;
    }
    return d;
}

// ---- the control -------------------------------------------------------------------

CTablStructCtrl::CTablStructCtrl(QWidget* pParent) : CKelGridCtrl(pParent) {
    RegisterStructureStrings();
    struct ColumnSpec {
        unsigned nHeaderId;
        int nWidth;
        unsigned nHeaderFormat;
        unsigned nCellFormat;
    };
    const ColumnSpec kColumns[] = {
        {IDS_STRUCT_FIELD_NAME, 100, kHeaderLeft, kCellLeft},
        {IDS_STRUCT_FIELD_TYPE, 100, kHeaderLeft, kCellLeft},
        {IDS_STRUCT_WIDTH, 50, kHeaderRight, kCellRight},
        {IDS_STRUCT_DECIMAL, 50, kHeaderRight, kCellRight},
    };
    for (const ColumnSpec& spec : kColumns) {
        int nCol = InsertColumn(spec.nWidth, LoadString(spec.nHeaderId), spec.nCellFormat, spec.nHeaderFormat, 0, 0,
                                static_cast<int>(spec.nHeaderId));
        // No column has an editor of its own: the grid hands out its three.
        SetColumnEditor(nCol, GEK_NONE, WS_CHILD, 0);
    }
    GridCellStyle& style = GetDefaultStyle();
    style.clrCurrentBack = GetSysColor(COLOR_HIGHLIGHT);
    style.clrCurrentText = GetSysColor(COLOR_HIGHLIGHTTEXT);
    SetFocusFrame(GetSysColor(COLOR_HIGHLIGHT), GetSysColor(COLOR_HIGHLIGHTTEXT), false);
}

CTablStructCtrl::~CTablStructCtrl() {
    // The base classes end a pending edit too, but by then this class's
    // editors and rules are gone: it is ended here while they exist.
    EndEdit(true);
    m_bEditing = false;
    m_pEditName.reset();
    m_pComboType.reset();
    m_pSpinSize.reset();
}

bool CTablStructCtrl::Create(uint32_t dwExStyle, uint32_t dwStyle, const Rect& rc, QWidget* pParent, int nId) {
    if (!CKelGridCtrl::Create(dwExStyle, dwStyle, rc, pParent, nId))
        return false;
    auto setUp = [this](CKelWidgetEditor& editor) {
        editor.EnableEditor(false);
        editor.SetFocusFrame(&GetDefaultStyle().focusFrame);
        editor.SetEditorFont(GetFont(), true);
        editor.SetTextCodec(GetTextCodec());
    };
    m_pEditName = std::make_unique<CKelGridEdit>();
    if (!m_pEditName->CreateEditor(kNameEditStyle, this, IDC_STRUCT_NAME_EDIT))
        return false;
    m_pEditName->SetLimitText(kMaxNameLength);
    setUp(*m_pEditName);

    m_pComboType = std::make_unique<CKelGridList>();
    if (!m_pComboType->CreateEditor(kTypeListStyle, this, IDC_STRUCT_TYPE_LIST))
        return false;
    setUp(*m_pComboType);
    for (int nId = kTypeCharacter; nId <= kTypeDate; ++nId)
        m_pComboType->InsertString(nId - kTypeCharacter, LoadString(unsigned(nId)), nId);

    m_pSpinSize = std::make_unique<CKelGridSpin>();
    if (!m_pSpinSize->CreateEditor(kSpinStyle, this, IDC_STRUCT_SIZE_SPIN))
        return false;
    setUp(*m_pSpinSize);
    return true;
}

void CTablStructCtrl::AddVisualFoxProTypes() {
    if (!m_pComboType)
        return;
    for (int nId = kTypeDateTime; nId <= kTypeCurrency; ++nId)
        m_pComboType->InsertString(nId - kTypeCharacter, LoadString(unsigned(nId)), nId);
}

bool CTablStructCtrl::IsField(GridRow nRow) const {
    return m_pTableDef && nRow >= 0 && nRow < m_pTableDef->GetFieldCount();
}

int CTablStructCtrl::GetCurrentField() {
    GridRow nRow = GetCurrentRow() - GetFixedRowCount();
    return IsField(nRow) && nRow < GetRowCount() ? static_cast<int>(nRow) : -1;
}

// ---- data-source operations ---------------------------------------------------------

GridCellValue CTablStructCtrl::GetCellValue(int nCol, GridRow nRow) {
    if (!IsField(nRow))
        return GridCellValue{std::string(), -1};
    const DBFFieldDesc& desc = m_pTableDef->GetFieldDesc(static_cast<int>(nRow));
    switch (GetColumnId(nCol, nRow)) {
    case IDC_STRUCT_NAME:
        return GridCellValue{desc.GetName(), -1};
    case IDC_STRUCT_TYPE: {
        unsigned nId = dbf::FieldTypeNameId(desc.type);
        return GridCellValue{LoadString(nId), static_cast<int>(nId)};
    }
    case IDC_STRUCT_WIDTH:
        if (IsOneOf(desc.type, "GMP"))
            return GridCellValue{std::string(), -1};
        return GridCellValue{FormatUnsigned(unsigned(FieldDisplayWidth(desc))), -1};
    case IDC_STRUCT_DECIMAL:
        if (IsOneOf(desc.type, "BFN"))
            return GridCellValue{FormatUnsigned(desc.decimals), -1};
        return GridCellValue{std::string(), -1};
    default:
        return GridCellValue{std::string(), -1};
    }
}

CKelCellEditor* CTablStructCtrl::GetCellEditor(int nCol, GridRow nRow) {
    if (GetRowCount() <= 0 || m_bReadOnly)
        return nullptr;
    if (!m_bEditing)
        return CKelGridCtrl::GetCellEditor(nCol, nRow);
    if (!IsField(nRow))
        return nullptr;
    char cType = m_pTableDef->GetFieldDesc(static_cast<int>(nRow)).type;
    switch (GetColumnId(nCol, nRow)) {
    case IDC_STRUCT_NAME:
        return m_pEditName.get();
    case IDC_STRUCT_TYPE:
        return m_pComboType.get();
    case IDC_STRUCT_WIDTH:
        return IsOneOf(cType, "BDILTY") ? nullptr : m_pSpinSize.get();
    case IDC_STRUCT_DECIMAL:
        return IsOneOf(cType, "CDILTY") ? nullptr : m_pSpinSize.get();
    default:
        return nullptr;
    }
}

bool CTablStructCtrl::CommitCell(int nCol, GridRow nRow) {
    CKelCellEditor* pEditor = GetCellEditor(nCol, nRow);
    if (!pEditor || !IsField(nRow))
        return true;
    GridCellValue value = pEditor->GetEditorValue();
    const int nField = static_cast<int>(nRow);
    DBFFieldDesc desc = m_pTableDef->GetFieldDesc(nField);
    switch (GetColumnId(nCol, nRow)) {
    case IDC_STRUCT_NAME:
        desc.SetName(value.strText.substr(0, kMaxNameLength));
        break;
    case IDC_STRUCT_TYPE:
        desc = ApplyFieldType(desc, value.nValue);
        break;
    case IDC_STRUCT_WIDTH:
        desc = ApplyFieldWidth(desc, LeadingDecimal(value.strText));
        break;
    case IDC_STRUCT_DECIMAL:
        desc = ApplyFieldDecimals(desc, LeadingDecimal(value.strText));
        break;
    default:
        return true;
    }
    m_pTableDef->SetFieldDesc(nField, desc);
    InvalidateRow(nRow);
    return true;
}

void CTablStructCtrl::OnCurrentCellChanged(int, GridRow) {
    // Moving the current cell gives the grid the focus, which ends editing;
    // a window without the keyboard gets no focus event, so it ends here too.
    m_bEditing = false;
    PostCommand(parentWidget(), ID_STRUCT_CURRENT_CHANGED, 0);
}

// ---- editing ---------------------------------------------------------------------------

void CTablStructCtrl::StartEdit() {
    if (m_bReadOnly || !m_pSpinSize || GetRowCount() <= 0)
        return;
    int nCol = GetCurrentColumn() - GetFixedColumnCount();
    GridRow nRow = GetCurrentRow() - GetFixedRowCount();
    if (!IsField(nRow))
        return;
    const DBFFieldDesc& desc = m_pTableDef->GetFieldDesc(static_cast<int>(nRow));
    switch (GetColumnId(nCol, nRow)) {
    case IDC_STRUCT_NAME:
    case IDC_STRUCT_TYPE:
        break;
    case IDC_STRUCT_WIDTH:
        switch (desc.type) {
        case 'B': case 'D': case 'T': case 'Y': m_pSpinSize->SetRange(8, 8); break;
        case 'C': m_pSpinSize->SetRange(1, 255); break;
        case 'F': case 'N': m_pSpinSize->SetRange(1, 20); break;
        case 'I': m_pSpinSize->SetRange(4, 4); break;
        case 'L': m_pSpinSize->SetRange(1, 1); break;
        default: m_pSpinSize->SetRange(1, FieldDisplayWidth(desc)); break;
        }
        m_pSpinSize->SetPos(FieldDisplayWidth(desc));
        break;
    case IDC_STRUCT_DECIMAL:
        switch (desc.type) {
        case 'B':
            m_pSpinSize->SetRange(0, 18);
            m_pSpinSize->SetPos(desc.decimals);
            break;
        case 'F':
        case 'N':
            m_pSpinSize->SetRange(0, desc.width - 1);
            m_pSpinSize->SetPos(desc.decimals);
            break;
        default:
            m_pSpinSize->SetRange(0, 0);
            m_pSpinSize->SetPos(0);
            break;
        }
        break;
    default:
        return;
    }
    m_bEditing = true;
    if (CKelCellEditor* pEditor = GetCellEditor(nCol, nRow))
        LoadCellEditor(nCol, nRow, pEditor);
    PositionEditor(GetCurrentColumn(), GetCurrentRow());
}

void CTablStructCtrl::EndEditing() {
    EndEdit(true);
    m_bEditing = false;
}

void CTablStructCtrl::PostKeyToEditor(const QKeyEvent* pEvent) {
    auto* pEditor = dynamic_cast<CKelWidgetEditor*>(GetCurrentEditor());
    QWidget* pInput = pEditor ? pEditor->GetInputWidget() : nullptr;
    if (!pInput)
        return;
    QCoreApplication::postEvent(pInput, new QKeyEvent(QEvent::KeyPress, pEvent->key(), pEvent->modifiers(),
                                                      pEvent->text(), pEvent->isAutoRepeat(),
                                                      static_cast<ushort>(pEvent->count())));
}

bool CTablStructCtrl::PreTranslateMessage(QWidget* pTarget, QKeyEvent* pEvent) {
    bool bEnter = pEvent->key() == Qt::Key_Return || pEvent->key() == Qt::Key_Enter;
    if (bEnter && !pEvent->modifiers().testFlag(Qt::ControlModifier)) {
        EndEdit(true);
        StartEdit();
        return true;
    }
    return CKelGridCtrl::PreTranslateMessage(pTarget, pEvent);
}

void CTablStructCtrl::keyPressEvent(QKeyEvent* pEvent) {
    Qt::KeyboardModifiers modifiers = pEvent->modifiers();
    switch (pEvent->key()) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_End:
    case Qt::Key_Home:
    case Qt::Key_Left:
    case Qt::Key_Up:
    case Qt::Key_Right:
    case Qt::Key_Down:
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_Meta:
    case Qt::Key_AltGr:
        CKelGridCtrl::keyPressEvent(pEvent);
        return;
    case Qt::Key_Escape:
        // The dialog's Cancel.
        pEvent->ignore();
        return;
    default:
        break;
    }
    // Keys with Ctrl, Alt or Meta are the dialog's (accelerators, mnemonics).
    if (modifiers & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) {
        CKelGridCtrl::keyPressEvent(pEvent);
        return;
    }
    bool bEnter = pEvent->key() == Qt::Key_Return || pEvent->key() == Qt::Key_Enter;
    if (bEnter)
        EndEdit(true);
    StartEdit();
    // The key that opened the editor is typed into it.
    if (!bEnter)
        PostKeyToEditor(pEvent);
    pEvent->accept();
}

void CTablStructCtrl::focusInEvent(QFocusEvent* pEvent) {
    if (m_bEditing) {
        EndEdit(true);
        m_bEditing = false;
    }
    CKelGridCtrl::focusInEvent(pEvent);
}

void CTablStructCtrl::mouseDoubleClickEvent(QMouseEvent* pEvent) {
    CKelGridCtrl::mouseDoubleClickEvent(pEvent);
    int y = static_cast<int>(pEvent->position().y()) + 1;
    if (pEvent->button() == Qt::LeftButton && y > GetFixedRowCount() * GetHeaderHeight() && GetRowCount() > 0)
        StartEdit();
}

bool CTablStructCtrl::event(QEvent* pEvent) {
    if (const CCommandEvent* pCommand = AsCommand(pEvent)) {
        // The type list confirmed a choice: it takes effect at once.
        if (pCommand->GetId() == CKelGridList::kChoiceCommand && m_bEditing)
            CommitCell(GetCurrentColumn() - GetFixedColumnCount(), GetCurrentRow() - GetFixedRowCount());
        return true;
    }
    return CKelGridCtrl::event(pEvent);
}

bool CTablStructCtrl::PrintGrid() { return RunPrintJob(*this, this); }
