// The table view: columns from the layout, cell texts, the cell store, the
// in-place editors, sorting, record-state marks and the delete toggle.
#include "editor/dbf_view.h"

#include <algorithm>
#include <cstdlib>

#include <QContextMenuEvent>
#include <QDialog>
#include <QKeyEvent>
#include <QMouseEvent>

#include "editor/cell_text.h"
#include "editor/dbf_doc.h"
#include "editor/editor_ids.h"
#include "editor/tabulon_app.h"
#include "editor/view_commands.h"
#include "editor/view_filter.h"
#include "engine/memory_cursorset.h"
#include "engine/typed_value.h"
#include "grid/grid_page_printer.h"
#include "grid/editor_styles.h"
#include "platform/core/ole_date.h"
#include "platform/core/string_table.h"
#include "platform/core/user_locale.h"
#include "platform/core/value_coercion.h"
#include "platform/ui/main_frame.h"
#include "platform/ui/message_box.h"
#include "platform/ui/system_metrics.h"
#include "platform/ui/win_app.h"

using namespace platform;

namespace {

// Text formats of the cells by field type, and of the headers.
constexpr unsigned kCenteredCell = 0x805;
constexpr unsigned kRightCell = 0x806;
constexpr unsigned kLeftCell = 0x804;
constexpr unsigned kHeaderFormat = 0x8025;
constexpr unsigned kCheckFrameKind = 4;
constexpr unsigned kCheckFrameState = 0x4000;

// The record-state images, 5 by 5 pixels: deleted since opening (X),
// changed (#), appended (!), deleted in the file (*).
CPicture StateImage(int nIndex) {
    static const char* const kShapes[4][5] = {
        {"X...X", ".X.X.", "..X..", ".X.X.", "X...X"},
        {".X.X.", "XXXXX", ".X.X.", "XXXXX", ".X.X."},
        {"..X..", "..X..", "..X..", ".....", "..X.."},
        {"X.X.X", ".XXX.", "XXXXX", ".XXX.", "X.X.X"},
    };
    static const uint32_t kColours[4] = {0xFFC00000, 0xFF0050C0, 0xFF008000, 0xFF606060};
    std::vector<uint32_t> pixels(25);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 5; ++x)
            pixels[size_t(y * 5 + x)] = kShapes[nIndex][y][x] == 'X' ? kColours[nIndex] : 0x00000000;
    return CPicture(5, 5, pixels);
}

bool IsNumberType(char c) { return c == 'B' || c == 'F' || c == 'I' || c == 'N' || c == 'Y'; }

}  // namespace

CDBFView::CDBFView(QWidget* pParent) : CKelGridView(pParent) {
    SetGridStyle(GetGridStyle() | GS_MULTISELECT);
    InsertColumn(0, std::string(), kLeftCell, kHeaderFormat);
    SetFixedColumnCount(2, false);
    SetExtraExtent(50, 50, false);
    GridCellStyle& style = GetDefaultStyle();
    style.clrCurrentBack = GetSysColor(COLOR_HIGHLIGHT);
    style.clrCurrentText = GetSysColor(COLOR_HIGHLIGHTTEXT);
    SetFocusFrame(GetSysColor(COLOR_HIGHLIGHTTEXT), GetSysColor(COLOR_HIGHLIGHT), false);
    CFont font = CFont::DefaultGuiFont();
    int nHeight = CTabulonApp::GetTabulonApp() ? CTabulonApp::GetTabulonApp()->m_nFontSize : kFontSmall;
    font.SetPixelHeight(std::abs(nHeight));
    SetFont(font, false);
    for (int i = 0; i < 4; ++i)
        m_stateImages[i] = StateImage(i);

    m_editText.CreateEditor(WS_CHILD | ES_AUTOHSCROLL, this, 0);
    m_editNumber.CreateEditor(WS_CHILD | ES_AUTOHSCROLL | ES_RIGHT, this, 0);
    m_editDate.CreateEditor(WS_CHILD | ES_AUTOHSCROLL | ES_CENTER, this, 0);
    m_editLogical.CreateEditor(WS_CHILD | BS_FLAT | BS_AUTOCHECKBOX, this, 0);
    for (CKelGridEdit* pEdit : {&m_editText, &m_editNumber, &m_editDate})
        pEdit->SetEditorFont(GetFont(), false);
    AddViewCommands();
    AddCommandGroups();
}

CDBFView::~CDBFView() {
    CloseToolDialogs();
    // The editors go while the window they are children of is whole.
    EndPendingEdit();
    m_editText.DestroyEditor();
    m_editNumber.DestroyEditor();
    m_editDate.DestroyEditor();
    m_editLogical.DestroyEditor();
    m_pTable = nullptr;
}

CDBFDoc* CDBFView::GetDoc() const { return dynamic_cast<CDBFDoc*>(GetDocument()); }

// ---- the frame's entry points -------------------------------------------------------------

void CDBFView::OnInitialUpdate() {
    CDBFDoc* pDoc = GetDoc();
    m_pTable = pDoc ? &pDoc->m_table : nullptr;
    EndEdit(true);
    m_bEditing = false;
    DeleteAllColumns();
    SetSortIndicator(-1, 0, 2);
    SetRowCount(0, false);
    CTextCodec codec = pDoc ? pDoc->GetTextCodec() : CTextCodec();
    SetTextCodec(codec);
    for (CKelWidgetEditor* pEditor :
         std::initializer_list<CKelWidgetEditor*>{&m_editText, &m_editNumber, &m_editDate, &m_editLogical})
        pEditor->SetTextCodec(codec);
    int nAverage = std::max(1, GetFont().GetMetrics().nAveCharWidth);
    // A structure change or a new set of columns: the filter finds its
    // field again by name, or goes.
    if (pDoc && m_pTable && m_pTable->IsOpen())
        RebindDocumentFilter(*pDoc);
    if (m_pTable && m_pTable->IsOpen()) {
        dbf::CDBFTableDef* pDef = m_pTable->GetTableDef();
        for (ColumnInfo& info : pDoc->m_columns) {
            info.nGridCol = -1;
            if (!info.bVisible || info.nField < 0 || info.nField >= pDef->GetFieldCount())
                continue;
            dbf::DBFFieldInfo field = pDef->GetFieldInfo(info.nField);
            int nWidth = info.nWidth;
            if (nWidth < 0)
                nWidth = (field.nWidth + 3) * nAverage;
            nWidth = std::min(nWidth, 1000);
            unsigned nFormat = kLeftCell;
            unsigned nFrameKind = 0, nFrameState = 0;
            switch (field.cType) {
            case '0':
            case 'D':
            case 'T':
                nFormat = kCenteredCell;
                break;
            case 'B':
            case 'F':
            case 'I':
            case 'N':
            case 'Y':
                nFormat = kRightCell;
                break;
            case 'L':
                nFormat = kCenteredCell;
                nFrameKind = kCheckFrameKind;
                nFrameState = kCheckFrameState;
                break;
            default:
                break;
            }
            int nCol = InsertColumn(nWidth, info.strHead, nFormat, kHeaderFormat, nFrameKind, nFrameState,
                                    kFieldColumnIdBase + info.nField);
            SetColumnEditor(nCol, GEK_NONE, WS_CHILD, 0);
            info.nGridCol = nCol;
            info.nWidth = nWidth;
        }
    } else {
        InsertColumn(0, std::string(), kLeftCell, kHeaderFormat);
    }
    UpdateRowCount();
    CKelGridView::OnInitialUpdate();
}

void CDBFView::OnUpdate(CViewBase* pSender, intptr_t nHint) {
    UpdateRowCount();
    CKelGridView::OnUpdate(pSender, nHint);
}

void CDBFView::OnActivateView(bool bActivate) {
    if (!bActivate)
        CloseToolDialogs();
}

void CDBFView::OnDestroy() {
    CloseToolDialogs();
    CKelGridView::OnDestroy();
    // The document goes after this; nothing may read its table any more.
    m_pTable = nullptr;
    SetRowCount(0, false);
}

void CDBFView::UpdateRowCount() {
    GridRow nCount = m_pTable && m_pTable->IsOpen() ? m_pTable->GetRecordCount() : 0;
    SetRowCount(nCount, false);
    int C = GetFixedColumnCount();
    int F = GetFixedRowCount();
    int nCol = std::clamp(GetCurrentColumn() - C, 0, std::max(0, GetColumnCount(-1) - 1));
    GridRow nRow = std::clamp<GridRow>(GetCurrentRow() - F, 0, std::max<GridRow>(0, nCount - 1));
    if (nCount > 0)
        SetCurrentCell(nCol + C, nRow + F);
    RecalcLayout();
    if (nCount > 0)
        ScrollCellIntoView(nCol + C, nRow + F);
    viewport()->update();
}

void CDBFView::GoToCell(int nCol, GridRow nRow) {
    if (nRow < 0 || nRow >= GetRowCount() || nCol < 0 || nCol >= GetColumnCount(-1))
        return;
    MoveTo(nCol, nRow);
}

// ---- records and fields ----------------------------------------------------------------------

int CDBFView::FieldOfColumn(int nCol) {
    if (!m_pTable || !m_pTable->IsOpen() || nCol < 0 || nCol >= GetColumnCount(-1))
        return -1;
    int nField = GetColumnId(nCol, 0) - kFieldColumnIdBase;
    return nField >= 0 && nField < m_pTable->GetFieldCount() ? nField : -1;
}

char CDBFView::FieldType(int nField) const {
    if (!m_pTable || nField < 0 || nField >= m_pTable->GetFieldCount())
        return 0;
    return m_pTable->GetFieldList().m_pDesc[nField].type;
}

int32_t CDBFView::GetRecordCount() const { return m_pTable && m_pTable->IsOpen() ? m_pTable->GetRecordCount() : 0; }

bool CDBFView::StandOn(int32_t nRow) {
    if (!m_pTable || !m_pTable->IsOpen() || nRow < 0 || nRow >= m_pTable->GetRecordCount())
        return false;
    m_pTable->SetAbsolutePosition(nRow);
    return true;
}

bool CDBFView::IsRowDeleted(int32_t nRow) {
    if (!StandOn(nRow))
        return false;
    return m_pTable->IsDeletedOnDisk() || m_pTable->IsDeletedSinceOpen();
}

std::string CDBFView::GetCellText(int nField, int32_t nRow) {
    CDBFDoc* pDoc = GetDoc();
    if (!pDoc || !StandOn(nRow) || nField < 0 || nField >= m_pTable->GetFieldCount())
        return std::string();
    try {
        dbf::FieldValue value;
        int32_t nLength = m_pTable->GetFieldValue(nField, value);
        dbf::DBFFieldInfo field = m_pTable->GetTableDef()->GetFieldInfo(nField);
        std::string strText = cell_text::FormatValue(value, field, nLength, pDoc->m_strDateFormat);
        if (value.GetKind() == dbf::FieldKind::Text)
            strText = pDoc->ToDisplayText(std::move(strText));
        return strText;
    } catch (const std::exception& e) {
        // Painting goes on: the cell is empty and the document says once why.
        pDoc->ReportReadFailure(e.what());
        return std::string();
    }
}

bool CDBFView::StoreCellText(int nField, int32_t nRow, const std::string& strText, std::string* pstrError) {
    CDBFDoc* pDoc = GetDoc();
    if (!pDoc || !StandOn(nRow) || nField < 0 || nField >= m_pTable->GetFieldCount())
        return false;
    const dbf::DBFFieldDesc& desc = m_pTable->GetFieldList().m_pDesc[nField];
    std::string strWhy;
    if (!dbf::CanWriteField(*m_pTable->GetTableDef(), nField, &strWhy)) {
        if (pstrError)
            *pstrError = strWhy;
        return false;
    }
    std::string strTyped = desc.type == 'C' ? pDoc->FromDisplayText(strText) : strText;
    dbf::TypedTextOptions options;
    options.strWholeText = pDoc->GetCodePages().WholeTextEncoding();
    // What the cells show can be typed back and means what it showed: dates
    // in the order of the document's pattern (day first under "Euro" whatever
    // the user's locale), numbers with the point they are shown with.
    platform::CUserLocale locale = platform::CUserLocale::Current();
    options.pLocale = &locale;
    if (desc.type == 'D' || desc.type == 'T')
        platform::TypeDatesAsShown(pDoc->m_strDateFormat, locale);
    if (desc.type == 'N' || desc.type == 'F' || desc.type == 'B')
        strTyped = platform::ShownNumberAsTyped(strTyped, locale);
    dbf::TypedValue typed = dbf::ValueFromTypedText(desc, strTyped, options);
    if (typed.IsRefused()) {
        if (pstrError)
            *pstrError = typed.strError;
        return false;
    }
    try {
        m_pTable->Edit();
        m_pTable->SetFieldValue(nField, typed.value);
        m_pTable->Update();
    } catch (const std::exception& e) {
        m_pTable->CancelUpdate();
        if (pstrError)
            *pstrError = e.what();
        return false;
    }
    return true;
}

// ---- data-source operations ---------------------------------------------------------------------

void CDBFView::DrawRowHeader(CDrawContext& dc, int nFixedCol, GridRow nRow, int x, int y) {
    int cx = GetFixedColumnWidth() + 1;
    int cy = GetRowHeight() + 1;
    if (nFixedCol == 0) {
        bool bPressed = nFixedCol == m_nPressedRowHeaderCol && nRow == m_nPressedRow;
        bool bShiftUp = !(GetOwner() && GetOwner()->IsKeyDown(VK_SHIFT));
        bool bPointer = nRow == GetCurrentRow() || (bShiftUp && nRow == m_nPressedRow);
        DrawRowHeaderButton(dc, x, y, cx, cy, bPressed, bPointer, false);
        return;
    }
    DrawRowHeaderButton(dc, x, y, cx, cy, true, false, false);
    int32_t nRecord = int32_t(nRow - GetFixedRowCount());
    if (!StandOn(nRecord))
        return;
    int nImage = -1;
    if (m_pTable->IsDeletedOnDisk())
        nImage = 3;
    else if (m_pTable->IsDeletedSinceOpen())
        nImage = 0;
    else if (m_pTable->IsChanged())
        nImage = 1;
    else if (m_pTable->IsAdded())
        nImage = 2;
    if (nImage < 0)
        return;
    Rect rc{x + 1, y + 1, x + cx - 1, y + cy - 1};
    int nSize = std::min({5, rc.Width(), rc.Height()});
    if (nSize <= 0)
        return;
    int px = rc.left + (rc.Width() - nSize) / 2;
    int py = rc.top + (rc.Height() - nSize) / 2;
    dc.DrawPicture(m_stateImages[nImage], Rect{px, py, px + nSize, py + nSize});
}

void CDBFView::SetColumnWidth(int nCol, int nHeaderRow, int nWidth) {
    CKelGridView::SetColumnWidth(nCol, nHeaderRow, nWidth);
    if (CDBFDoc* pDoc = GetDoc())
        for (ColumnInfo& info : pDoc->m_columns)
            if (info.nGridCol == nCol)
                info.nWidth = GetColumnWidth(nCol, nHeaderRow);
}

CKelCellEditor* CDBFView::EditorForType(char cType) {
    switch (cType) {
    case 'B':
    case 'F':
    case 'I':
    case 'N':
    case 'Y':
        return &m_editNumber;
    case 'C':
        return &m_editText;
    case 'D':
    case 'T':
        return &m_editDate;
    case 'L':
        return &m_editLogical;
    default:
        return nullptr;
    }
}

CKelCellEditor* CDBFView::GetCellEditor(int nCol, GridRow nRow) {
    CDBFDoc* pDoc = GetDoc();
    if (!pDoc || !m_pTable || GetRecordCount() == 0 || pDoc->IsReadOnly())
        return nullptr;
    if (nCol != GetCurrentColumn() - GetFixedColumnCount() || nRow != GetCurrentRow() - GetFixedRowCount())
        return nullptr;
    char cType = FieldType(FieldOfColumn(nCol));
    if (cType == 'L')
        return &m_editLogical;
    if (m_bEditing)
        return EditorForType(cType);
    return nullptr;
}

bool CDBFView::CommitCell(int nCol, GridRow nRow) {
    CKelCellEditor* pEditor = GetCellEditor(nCol, nRow);
    if (!pEditor)
        return true;
    int nField = FieldOfColumn(nCol);
    GridCellValue value = pEditor->GetEditorValue();
    std::string strText = value.strText;
    if (FieldType(nField) == 'L')
        strText = value.nValue != 0 ? "TRUE" : "FALSE";
    std::string strError;
    if (!StoreCellText(nField, int32_t(nRow), strText, &strError)) {
        // The grid says why, once, and keeps the editor open with the text.
        m_strLastRefusal = strError;
        SetCommitError(strError);
        return false;
    }
    m_strLastRefusal.clear();
    if (CDBFDoc* pDoc = GetDoc())
        pDoc->SetModifiedFlag(true);
    InvalidateRow(nRow);
    return true;
}

GridCellStyle CDBFView::GetCellStyle(int nCol, GridRow nRow) {
    GridCellStyle style = CKelGridView::GetCellStyle(nCol, nRow);
    style.clrText = IsRowDeleted(int32_t(nRow)) ? GetSysColor(COLOR_BTNSHADOW) : GetSysColor(COLOR_WINDOWTEXT);
    return style;
}

GridCellValue CDBFView::GetCellValue(int nCol, GridRow nRow) {
    int nField = FieldOfColumn(nCol);
    if (nField < 0)
        return GridCellValue{};
    std::string strText = GetCellText(nField, int32_t(nRow));
    if (FieldType(nField) == 'L')
        return GridCellValue{std::string(), strText == "TRUE" ? 1 : 0};
    return GridCellValue{std::move(strText), -1};
}

void CDBFView::OnColumnHeaderClick(int, int) {}

void CDBFView::OnColumnHeaderUp(int nCol, int nHeaderRow) {
    CDBFDoc* pDoc = GetDoc();
    int nField = FieldOfColumn(nCol);
    if (!pDoc || nField < 0)
        return;
    const dbf::DBFFieldDesc& desc = m_pTable->GetFieldList().m_pDesc[nField];
    if (desc.type == 'G' || desc.type == 'P' || (desc.type == 'B' && desc.width != 8))
        return;
    CWaitCursor wait;
    RestartFindDialogs(*this);
    if (!EndEdit(false))
        return;
    m_bEditing = false;
    int nSortCol = -1, nSortRow = -1, nDirection = 2;
    GetSortIndicator(nSortCol, nSortRow, nDirection);
    // The grid keeps the arrow's column as a data column, as nCol is.
    bool bDescending = nSortCol == nCol && nSortRow == nHeaderRow && nDirection == 0;
    RunGuarded([&] { m_pTable->Sort(nField, bDescending); });
    SetSortIndicator(nCol, nHeaderRow, bDescending ? 1 : 0);
    if (GetRecordCount() > 0)
        SetCurrentCell(nCol + GetFixedColumnCount(), GetFixedRowCount());
    ScrollCellIntoView(GetCurrentColumn(), GetCurrentRow());
    ActivateCurrentCell();
    viewport()->update();
}

void CDBFView::OnRowHeaderDblClk(int nFixedCol, GridRow nRow) {
    CKelGridView::OnRowHeaderDblClk(nFixedCol, nRow);
    if (nFixedCol == 1 && !(GetOwner() && GetOwner()->IsKeyDown(VK_SHIFT)))
        ToggleDeleteMark(int32_t(nRow));  // the grid gives data rows
}

void CDBFView::ToggleDeleteMark(int32_t nRecord) {
    CDBFDoc* pDoc = GetDoc();
    // A read-only window changes nothing; a change is one the document keeps.
    if (!pDoc || pDoc->IsReadOnly() || !StandOn(nRecord))
        return;
    if (m_pTable->IsDeletedOnDisk() || m_pTable->IsDeletedSinceOpen())
        m_pTable->Undelete();
    else
        m_pTable->Delete();
    pDoc->SetModifiedFlag(true);
    InvalidateRow(nRecord);
}

// ---- editing ------------------------------------------------------------------------------------

bool CDBFView::BeginEdit() {
    m_bEditing = false;
    CDBFDoc* pDoc = GetDoc();
    int nCol = GetCurrentColumn() - GetFixedColumnCount();
    int32_t nRow = int32_t(GetCurrentRow() - GetFixedRowCount());
    if (!pDoc || pDoc->IsReadOnly() || IsRowDeleted(nRow))
        return false;
    int nField = FieldOfColumn(nCol);
    char cType = FieldType(nField);
    CKelCellEditor* pEditor = EditorForType(cType);
    if (!pEditor)
        return false;
    int nWidth = m_pTable->GetTableDef()->GetFieldInfo(nField).nWidth;
    if (cType == 'C' || cType == 'F' || cType == 'N')
        static_cast<CKelGridEdit*>(pEditor)->SetLimitText(nWidth);
    else if (pEditor != &m_editLogical)
        static_cast<CKelGridEdit*>(pEditor)->SetLimitText(0);
    m_bEditing = true;
    GridCellValue value = GetCellValue(nCol, nRow);
    pEditor->SetEditorValue(value.strText, value.nValue);
    PositionEditor(GetCurrentColumn(), GetCurrentRow());
    return true;
}

void CDBFView::keyPressEvent(QKeyEvent* pEvent) {
    switch (pEvent->key()) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_End:
    case Qt::Key_Home:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Escape:
        CKelGridView::keyPressEvent(pEvent);
        return;
    default:
        break;
    }
    bool bEnter = pEvent->key() == Qt::Key_Return || pEvent->key() == Qt::Key_Enter;
    // An open editor hands its Enter to the grid, which commits it.
    CKelCellEditor* pOpen = GetCurrentEditor();
    if (bEnter && pOpen && pOpen->IsEditorActive()) {
        CKelGridView::keyPressEvent(pEvent);
        return;
    }
    bool bTyped = !pEvent->text().isEmpty() && pEvent->text()[0].isPrint() &&
                  !(pEvent->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
    if (!bEnter && !bTyped) {
        CKelGridView::keyPressEvent(pEvent);
        return;
    }
    if (!BeginEdit() || bEnter)
        return;
    // The typed key is the editor's first input.
    auto* pEditor = dynamic_cast<CKelWidgetEditor*>(GetCurrentEditor());
    if (QWidget* pInput = pEditor ? pEditor->GetInputWidget() : nullptr) {
        pInput->setFocus();
        QKeyEvent copy(pEvent->type(), pEvent->key(), pEvent->modifiers(), pEvent->text(), pEvent->isAutoRepeat(),
                       ushort(pEvent->count()));
        QCoreApplication::sendEvent(pInput, &copy);
    }
}

void CDBFView::mouseDoubleClickEvent(QMouseEvent* pEvent) {
    QPoint pt = pEvent->position().toPoint();
    bool bDataArea = pt.x() > GetFixedColumnCount() * GetFixedColumnWidth() &&
                     pt.y() > GetFixedRowCount() * GetHeaderHeight();
    if (pEvent->button() != Qt::LeftButton || !bDataArea) {
        CKelGridView::mouseDoubleClickEvent(pEvent);
        return;
    }
    if (BeginEdit())
        if (auto* pEditor = dynamic_cast<CKelWidgetEditor*>(GetCurrentEditor()))
            if (QWidget* pInput = pEditor->GetInputWidget())
                pInput->setFocus();
}

void CDBFView::focusInEvent(QFocusEvent* pEvent) {
    // The editor handed the focus back: its edit ends here, unless its value
    // is refused, which leaves it open for the user to correct.
    if (m_bEditing && EndEdit(false))
        m_bEditing = false;
    CKelGridView::focusInEvent(pEvent);
}

bool CDBFView::EndEditForDocument() {
    if (!EndEdit(false))
        return false;
    m_bEditing = false;
    return true;
}

void CDBFView::contextMenuEvent(QContextMenuEvent* pEvent) {
    CWinApp* pApp = CWinApp::Get();
    CMainFrame* pFrame = pApp ? pApp->GetMainWnd() : nullptr;
    if (!pFrame)
        return;
    pFrame->TrackPopupMenu({MenuCommand(ID_RECORD_ADD, "Add record\tF2"),
                            MenuCommand(ID_RECORD_DELETE, "Delete record\tF8"),
                            MenuCommand(ID_RECORD_UNDELETE, "Undelete record\tF9")},
                           pEvent->globalPos());
}

void CDBFView::CloseToolDialogs() {
    for (QPointer<QDialog>* pp : {&m_pFindDlg, &m_pReplaceDlg, &m_pFormulaDlg}) {
        if (*pp) {
            (*pp)->close();
            (*pp)->deleteLater();
        }
        *pp = nullptr;
    }
}

// ---- status panes and fonts ------------------------------------------------------------------------

bool CDBFView::GetCurrentFieldInfo(dbf::DBFFieldInfo& info) {
    int nField = FieldOfColumn(GetCurrentColumn() - GetFixedColumnCount());
    if (nField < 0)
        return false;
    info = m_pTable->GetTableDef()->GetFieldInfo(nField);
    return true;
}

QString CDBFView::GetFieldPaneText() {
    dbf::DBFFieldInfo info;
    if (!GetCurrentFieldInfo(info))
        return QString();
    std::string strFormat = FindString(ID_INDICATOR_FIELD);
    if (!IsNumberType(info.cType) || info.cType == 'Y') {
        size_t nAt = strFormat.find(",%d)");
        if (nAt != std::string::npos)
            strFormat.erase(nAt, 3);
    }
    char sz[128];
    if (info.cType == 'B' || info.cType == 'F' || info.cType == 'I' || info.cType == 'N')
        std::snprintf(sz, sizeof sz, strFormat.c_str(), info.strName.c_str(), info.cType, info.nWidth, info.nDecimals);
    else
        std::snprintf(sz, sizeof sz, strFormat.c_str(), info.strName.c_str(), info.cType, info.nWidth);
    CDBFDoc* pDoc = GetDoc();
    std::string strText = pDoc ? pDoc->ToDisplayText(sz) : std::string(sz);
    return GetTextCodec().ToUnicode(strText);
}

QString CDBFView::GetRecordPaneText() {
    if (!m_pTable || !m_pTable->IsOpen())
        return QString();
    GridRow nCount = GetRowCount();
    // An empty table stands on no record.
    long long nCurrent = nCount > 0 ? GetCurrentRow() - GetFixedRowCount() + 1 : 0;
    char sz[64];
    std::snprintf(sz, sizeof sz, FindString(ID_INDICATOR_RECORD), int(nCurrent), int(nCount));
    return QString::fromLatin1(sz);
}

int CDBFView::GetFontHeight() const { return -GetFont().GetPixelHeight(); }

void CDBFView::SetFontHeight(int nHeight) {
    CloseToolDialogs();
    if (!EndEdit(false))
        return;
    m_bEditing = false;
    CFont font = GetFont();
    font.SetPixelHeight(std::abs(nHeight));
    SetFont(font, true);
    for (CKelGridEdit* pEdit : {&m_editText, &m_editDate, &m_editNumber})
        pEdit->SetEditorFont(font, true);
    viewport()->update();
    if (CTabulonApp* pApp = CTabulonApp::GetTabulonApp())
        pApp->m_nFontSize = nHeight;
}

void CDBFView::AddViewCommands() {
    const std::pair<unsigned, int> kFonts[] = {
        {ID_VIEW_FONT_SMALL, kFontSmall}, {ID_VIEW_FONT_MEDIUM, kFontMedium}, {ID_VIEW_FONT_LARGE, kFontLarge}};
    for (auto [nId, nHeight] : kFonts) {
        int n = nHeight;
        Commands().Add(
            nId, [this, n] { SetFontHeight(n); }, [this, n](CCmdUI& ui) { ui.SetRadio(GetFontHeight() == n); });
    }
}

void CDBFView::AddCommandGroups() {
    AddRecordCommands(*this);
    AddCodePageCommands(*this);
    AddFilterCommands(*this);
    AddFindCommands(*this);
    AddEditCommands(*this);
    AddTableCommands(*this);
    AddSettingsCommands(*this);
    AddPrintCommands(*this);
}
