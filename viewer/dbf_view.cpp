// The viewer's table view: columns from the column list and the field types,
// cell texts from the reader, deleted records, the memo button, the status
// panes, and the view's commands.
#include "viewer/dbf_view.h"

#include <algorithm>
#include <cstdio>
#include <optional>

#include <QFontMetrics>
#include <QKeyEvent>

#include "grid/columns/columns_dlg.h"
#include "grid/editor_styles.h"
#include "platform/core/ole_date.h"
#include "platform/core/string_table.h"
#include "platform/ui/clipboard.h"
#include "platform/ui/command_ids.h"
#include "platform/ui/system_metrics.h"
#include "platform/ui/win_app.h"
#include "viewer/child_frame.h"
#include "viewer/dbf_doc.h"
#include "viewer/viewer_dialogs.h"
#include "viewer/viewer_ids.h"

using namespace platform;

namespace {

constexpr unsigned kLeftCell = DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX;
constexpr unsigned kRightCell = DT_RIGHT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX;
constexpr unsigned kCentredCell = DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX;
constexpr unsigned kHeaderFormat = DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS;

// The deleted-record mark of the row header: a small dark cross, 5 by 5.
CPicture DeletedMark() {
    static const char* const kShape[5] = {"X...X", ".X.X.", "..X..", ".X.X.", "X...X"};
    std::vector<uint32_t> pixels(25);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 5; ++x)
            pixels[size_t(y * 5 + x)] = kShape[y][x] == 'X' ? 0xFF800000u : 0x00000000u;
    return CPicture(5, 5, pixels);
}

// A date pattern of the reader's string table, applied to 22 December 2000
// at 22:33:44: what the widest date of a column looks like.
std::string SampleDate(unsigned nPatternId, const char* pszFallback) {
    const char* pszPattern = FindString(nPatternId);
    DateTimeParts parts;
    parts.nYear = 2000;
    parts.nMonth = 12;
    parts.nDay = 22;
    parts.nHour = 22;
    parts.nMinute = 33;
    parts.nSecond = 44;
    parts.nDayOfWeek = 5;
    parts.nDayOfYear = 357;
    return FormatDateParts(parts, pszPattern ? pszPattern : pszFallback);
}

}  // namespace

CDBFView::CDBFView(QWidget* pParent) : CKelPaneView(pParent), m_deletedMark(DeletedMark()) {
    SetGridStyle(GetGridStyle() | GS_FIXEDROWHEADERWIDTH);
    SetFixedColumnCount(1, false);
    SetExtraExtent(0, 0, false);
    GridCellStyle& style = GetDefaultStyle();
    style.clrCurrentBack = GetSysColor(COLOR_HIGHLIGHT);
    style.clrCurrentText = GetSysColor(COLOR_HIGHLIGHTTEXT);
    SetFocusFrame(GetSysColor(COLOR_HIGHLIGHTTEXT), GetSysColor(COLOR_HIGHLIGHT), false);
    CFont font = CFont::DefaultGuiFont();
    font.SetPixelHeight(13);
    SetFont(font, false);
    AddCommands();
}

CDBFView::~CDBFView() {
    EndPendingEdit();
    if (m_pMemoButton)
        m_pMemoButton->DestroyEditor();
}

CDBFDoc* CDBFView::GetDoc() const { return dynamic_cast<CDBFDoc*>(GetDocument()); }

::CChildFrame* CDBFView::GetFrame() const {
    for (QWidget* p = parentWidget(); p; p = p->parentWidget())
        if (auto* pFrame = qobject_cast<::CChildFrame*>(p))
            return pFrame;
    return nullptr;
}

CDBFFileReader* CDBFView::GetReader() const {
    CDBFDoc* pDoc = GetDoc();
    return pDoc && pDoc->IsTableOpen() ? &pDoc->GetReader() : nullptr;
}

bool CDBFView::IsDosCodePage() const {
    if (::CChildFrame* pFrame = GetFrame())
        return pFrame->IsDosCodePage();
    return m_bOwnDosCodePage;
}

void CDBFView::SetDosCodePage(bool bDos) {
    if (::CChildFrame* pFrame = GetFrame()) {
        pFrame->SetDosCodePage(bDos);
        return;
    }
    m_bOwnDosCodePage = bDos;
    OnCodePageChanged();
}

int32_t CDBFView::GetRecordCount() const {
    CDBFFileReader* pReader = GetReader();
    return pReader ? pReader->GetRecordCount() : 0;
}

// ---- the initial update ---------------------------------------------------------------------

int CDBFView::TextWidth(CDrawContext& dc, const std::string& strText) { return dc.GetTextExtent(strText).cx; }

int CDBFView::TypeWidth(CDrawContext& dc, char cType, unsigned nWidth, unsigned nDecimals, int nAverage,
                        int nMaxWidth) {
    switch (cType) {
    case 'B':
    case 'F':
    case 'I':
    case 'N':
    case 'Y':
        return TextWidth(dc, std::string(std::min(nWidth + nDecimals, 1000u), '9') + " . ");
    case 'D':
        return TextWidth(dc, SampleDate(idsDatePattern, "%d.%m.%Y") + "  ");
    case 'T':
        return TextWidth(dc, SampleDate(idsDateTimePattern, "%d.%m.%Y  %H:%M:%S") + " ");
    case 'L':
        return std::max(18, 3 * nMaxWidth);
    case 'M':
    case 'G':
        return 5 * (nAverage + nMaxWidth);
    case '0':
        return 4 * (nAverage + nMaxWidth);
    default:
        return int(std::min<int64_t>(int64_t(nWidth) * (nAverage + nMaxWidth) / 2, 32000));
    }
}

void CDBFView::OnInitialUpdate() {
    CDBFDoc* pDoc = GetDoc();
    CDBFFileReader* pReader = GetReader();
    if (m_pMemoButton) {
        // The keyboard stays with this pane while its button is put away,
        // so that the button placed again takes it back.
        if (QWidget* pButton = m_pMemoButton->GetWidget(); pButton && pButton->hasFocus())
            setFocus(Qt::OtherFocusReason);
        m_pMemoButton->HideEditor();
    }
    // A layout applied again replaces the columns this pane shows; it never
    // adds to them.
    DeleteAllColumns();
    if (pDoc)
        SetTextCodec(pDoc->GetTextCodec());
    if (m_pMemoButton)
        m_pMemoButton->SetTextCodec(GetTextCodec());
    const bool bDos = IsDosCodePage();
    const int nAverage = std::max(1, GetFont().GetMetrics().nAveCharWidth);
    const int nMaxWidth = std::max(nAverage, GetFont().GetQFontMetrics().maxWidth());
    if (pDoc && pReader) {
        // One measuring context, with the grid's font, serves every column.
        MeasureWith([&](CDrawContext& dc) {
            dc.SelectFont(&GetFont());
            for (ViewerColumnInfo& info : pDoc->GetColumns()) {
                info.nGridCol = -1;
                if (!info.bVisible || info.nField < 0 || info.nField >= pReader->GetFieldCount())
                    continue;
                const ReaderField& field = pReader->GetField(info.nField);
                const std::string strHeader = pDoc->ToDisplayText(field.GetName(), bDos);
                int nWidth = info.nWidth;
                if (nWidth < 0) {
                    nWidth = TypeWidth(dc, field.GetType(), field.GetWidth(), field.GetDecimals(), nAverage, nMaxWidth);
                    nWidth = std::max(nWidth, TextWidth(dc, strHeader + " "));
                }
                unsigned nFormat = kLeftCell, nFrameKind = 0, nFrameState = 0;
                switch (field.GetType()) {
                case 'B':
                case 'F':
                case 'I':
                case 'N':
                case 'Y':
                    nFormat = kRightCell;
                    break;
                case 'D':
                case 'T':
                case '0':
                    nFormat = kCentredCell;
                    break;
                case 'L':
                    nFormat = kCentredCell;
                    nFrameKind = DFC_BUTTON;
                    nFrameState = DFCS_BUTTONCHECK | DFCS_FLAT;
                    break;
                default:
                    break;
                }
                const int nCol = InsertColumn(nWidth, strHeader, nFormat, kHeaderFormat, nFrameKind, nFrameState,
                                              kFieldColumnIdBase + info.nField);
                SetColumnEditor(nCol, GEK_NONE, WS_CHILD, 0);
                info.nGridCol = nCol;
                info.nWidth = nWidth;
            }
        });
    }
    SetRowCount(GetRecordCount(), false);
    RecalcMetrics();
    if (GetFixedColumnCount() > 0)
        SetFixedColumnWidth(GetRowHeight() / 2 + 8, false);
    // The current cell and the selection stay where they were, inside the
    // columns and rows there are now.
    ClampCurrentCellToData();
    CKelPaneView::OnInitialUpdate();
}

void CDBFView::OnDestroy() {
    CKelPaneView::OnDestroy();
    if (m_pMemoButton)
        m_pMemoButton->HideEditor();
    // The document may go after this; nothing may read its table any more.
    SetRowCount(0, false);
}

// ---- columns, rows and cells ------------------------------------------------------------------

int CDBFView::FieldOfColumn(int nCol) {
    CDBFFileReader* pReader = GetReader();
    if (!pReader || nCol < 0 || nCol >= GetColumnCount(-1))
        return -1;
    const int nField = GetColumnId(nCol, 0) - kFieldColumnIdBase;
    return nField >= 0 && nField < pReader->GetFieldCount() ? nField : -1;
}

int CDBFView::ColumnOfField(int nField) {
    for (int nCol = 0; nCol < GetColumnCount(-1); ++nCol)
        if (GetColumnId(nCol, 0) == kFieldColumnIdBase + nField)
            return nCol;
    return -1;
}

int CDBFView::GetCurrentDataColumn() {
    return GetColumnCount(-1) > 0 ? GetCurrentColumn() - GetFixedColumnCount() : -1;
}

GridRow CDBFView::GetCurrentDataRow() { return GetRecordCount() > 0 ? GetCurrentRow() - GetFixedRowCount() : -1; }

char CDBFView::FieldType(int nField) const {
    CDBFFileReader* pReader = GetReader();
    if (!pReader || nField < 0 || nField >= pReader->GetFieldCount())
        return 0;
    return pReader->GetField(nField).GetType();
}

bool CDBFView::IsMemoColumn(int nCol) {
    const char cType = FieldType(FieldOfColumn(nCol));
    return cType == 'M' || cType == 'G';
}

bool CDBFView::IsRecordDeleted(int32_t nRecord) {
    CDBFFileReader* pReader = GetReader();
    if (!pReader || nRecord < 1 || nRecord > pReader->GetRecordCount())
        return false;
    return pReader->ReadRecord(nRecord)[0] == '*';
}

GridCellValue CDBFView::GetCellValue(int nCol, GridRow nRow) {
    CDBFFileReader* pReader = GetReader();
    const int nField = FieldOfColumn(nCol);
    if (!pReader || nField < 0 || nRow < 0 || nRow >= pReader->GetRecordCount())
        return GridCellValue{};
    std::string strText;
    bool bLogical = false;
    pReader->GetFieldText(nField, int32_t(nRow + 1), strText, bLogical);
    if (pReader->GetField(nField).GetType() == 'L')
        return GridCellValue{std::string(), bLogical ? BST_CHECKED : BST_UNCHECKED};
    return GridCellValue{GetDoc()->ToDisplayText(std::move(strText), IsDosCodePage()), -1};
}

std::string CDBFView::GetCellText(int nCol, GridRow nRow) { return GetCellValue(nCol, nRow).strText; }

bool CDBFView::CurrentCellHasText() {
    // An empty table has no cell to read.
    if (GetRecordCount() <= 0)
        return false;
    CDBFFileReader* pReader = GetReader();
    const int nField = FieldOfColumn(GetCurrentColumn() - GetFixedColumnCount());
    const GridRow nRow = GetCurrentRow() - GetFixedRowCount();
    if (!pReader || nField < 0 || nRow < 0 || nRow >= pReader->GetRecordCount())
        return false;
    // A check box has no text; the display conversion keeps a text's length.
    return pReader->GetField(nField).GetType() != 'L' && pReader->HasFieldText(nField, int32_t(nRow + 1));
}

bool CDBFView::IsActivePane() const {
    ::CChildFrame* pFrame = GetFrame();
    return !pFrame || pFrame->GetActiveView() == static_cast<const platform::CViewBase*>(this);
}

GridCellStyle CDBFView::GetCellStyle(int nCol, GridRow nRow) {
    GridCellStyle style = CKelPaneView::GetCellStyle(nCol, nRow);
    style.clrText = IsRecordDeleted(int32_t(nRow + 1)) ? GetSysColor(COLOR_BTNSHADOW) : GetSysColor(COLOR_WINDOWTEXT);
    if (!IsActivePane()) {
        // Only the pane the user works in shows its current cell highlighted.
        style.clrCurrentBack = GetSysColor(COLOR_WINDOW);
        style.clrCurrentText = style.clrText;
        style.focusFrame.clrFirst = GetSysColor(COLOR_WINDOW);
        style.focusFrame.clrSecond = GetSysColor(COLOR_WINDOW);
    }
    return style;
}

void CDBFView::DrawGrid(CDrawContext& dc) {
    std::optional<CDBFFileReader::CReadAhead> ahead;
    if (CDBFFileReader* pReader = GetReader())
        ahead.emplace(*pReader, false);
    CKelPaneView::DrawGrid(dc);
}

void CDBFView::DrawRowHeader(CDrawContext& dc, int, GridRow nRow, int x, int y) {
    const int cx = GetFixedColumnWidth() + 1, cy = GetRowHeight() + 1;
    DrawRowHeaderButton(dc, x, y, cx, cy, false, false, false);
    if (!IsRecordDeleted(int32_t(nRow - GetFixedRowCount() + 1)))
        return;
    Rect rc{x + 1, y + 1, x + cx - 1, y + cy - 1};
    const int nSize = std::min({5, rc.Width(), rc.Height()});
    if (nSize <= 0)
        return;
    const int px = rc.left + (rc.Width() - nSize) / 2, py = rc.top + (rc.Height() - nSize) / 2;
    dc.DrawPicture(m_deletedMark, Rect{px, py, px + nSize, py + nSize});
}

void CDBFView::SetColumnWidth(int nCol, int nHeaderRow, int nWidth) {
    CKelPaneView::SetColumnWidth(nCol, nHeaderRow, nWidth);
    if (CDBFDoc* pDoc = GetDoc())
        for (ViewerColumnInfo& info : pDoc->GetColumns())
            if (info.nGridCol == nCol)
                info.nWidth = GetColumnWidth(nCol, nHeaderRow);
}

CKelCellEditor* CDBFView::GetCellEditor(int nCol, GridRow nRow) {
    // The viewer edits nothing: only memo cells have their button.
    if (nRow < 0 || nRow >= GetRecordCount() || !IsMemoColumn(nCol))
        return nullptr;
    if (!m_pMemoButton) {
        m_pMemoButton = std::make_unique<CMemoButton>();
        if (!m_pMemoButton->CreateEditor(WS_CHILD | WS_TABSTOP, this, ID_MEMO_BUTTON)) {
            m_pMemoButton.reset();
            return nullptr;
        }
        m_pMemoButton->SetTextCodec(GetTextCodec());
        m_pMemoButton->SetEditorFont(GetFont(), false);
        m_pMemoButton->SetFocusFrame(&GetDefaultStyle().focusFrame);
        m_pMemoButton->SetOpenFunction([this] { OnCommand(ID_MEMO_BUTTON); });
        m_pMemoButton->SetFocusLostFunction([this] {
            if (GetRecordCount() > 0)
                InvalidateCell(GetCurrentColumn() - GetFixedColumnCount(), GetCurrentRow() - GetFixedRowCount());
        });
    }
    return m_pMemoButton.get();
}

void CDBFView::GoToCell(int nCol, GridRow nRow) {
    if (nRow < 0 || nRow >= GetRowCount() || nCol < 0 || nCol >= GetColumnCount(-1))
        return;
    MoveTo(nCol, nRow);
}

void CDBFView::OnCodePageChanged() {
    const int nCol = GetCurrentColumn() - GetFixedColumnCount();
    const GridRow nRow = GetCurrentRow() - GetFixedRowCount();
    if (GetRecordCount() > 0)
        if (CKelCellEditor* pEditor = GetCellEditor(nCol, nRow))
            LoadCellEditor(nCol, nRow, pEditor);
    viewport()->update();
}

// ---- status panes ---------------------------------------------------------------------------

QString CDBFView::GetRecordPaneText() {
    if (!GetReader())
        return QString();
    const int32_t nCount = GetRecordCount();
    // An empty table stands on no record.
    const long long nCurrent = nCount > 0 ? GetCurrentRow() - GetFixedRowCount() + 1 : 0;
    char sz[96];
    std::snprintf(sz, sizeof sz, "%s: %lld/%lld", LoadString(IDS_PANE_RECORD).c_str(), nCurrent,
                  static_cast<long long>(nCount));
    return QString::fromLatin1(sz);
}

QString CDBFView::GetFieldPaneText() {
    CDBFFileReader* pReader = GetReader();
    const int nField = FieldOfColumn(GetCurrentColumn() - GetFixedColumnCount());
    if (!pReader || nField < 0)
        return QString();
    const ReaderField& field = pReader->GetField(nField);
    const char cType = field.GetType();
    const std::string strLabel = LoadString(IDS_PANE_FIELD);
    char sz[96];
    if (cType == 'B' || cType == 'F' || cType == 'N' || cType == 'Y')
        std::snprintf(sz, sizeof sz, "%s: %c(%u,%u)", strLabel.c_str(), cType, unsigned(field.desc.width),
                      unsigned(field.desc.decimals));
    else
        std::snprintf(sz, sizeof sz, "%s: %c(%u)", strLabel.c_str(), cType, unsigned(field.GetWidth()));
    return GetTextCodec().ToUnicode(sz);
}

// ---- commands ---------------------------------------------------------------------------------

void CDBFView::OnEditCopy() {
    if (GetRecordCount() <= 0)
        return;
    std::string strText = GetCellText(GetCurrentColumn() - GetFixedColumnCount(), GetCurrentRow() - GetFixedRowCount());
    SetClipboardText(strText, GetTextCodec());
}

void CDBFView::ShowMemoInfo() {
    CDBFFileReader* pReader = GetReader();
    const int nField = FieldOfColumn(GetCurrentColumn() - GetFixedColumnCount());
    const GridRow nRow = GetCurrentRow() - GetFixedRowCount();
    if (!pReader || nField < 0 || nRow < 0 || nRow >= pReader->GetRecordCount())
        return;
    std::string strText;
    bool bLogical = false;
    // A memo whose text is not there shows an empty box, not its placeholder word.
    QString strShown;
    if (pReader->GetFieldText(nField, int32_t(nRow + 1), strText, bLogical))
        strShown = GetTextCodec().ToUnicode(GetDoc()->ToDisplayText(std::move(strText), IsDosCodePage()));
    CMemoDlg dialog(strShown, this);
    dialog.DoModal();
}

void CDBFView::ShowStructure() {
    CDBFDoc* pDoc = GetDoc();
    CDBFFileReader* pReader = GetReader();
    if (!pDoc || !pReader)
        return;
    const bool bDos = IsDosCodePage();
    CStructureDlg dialog(
        MakeStructureRows(*pReader, [pDoc, bDos](std::string str) { return pDoc->ToDisplayText(std::move(str), bDos); }),
        GetTextCodec(), this);
    dialog.DoModal();
}

void CDBFView::RunColumnsDialog() {
    CDBFDoc* pDoc = GetDoc();
    if (!pDoc || !GetReader())
        return;
    std::vector<std::string> names = pDoc->GetFieldNames();
    ColumnLayout layout;
    for (const ViewerColumnInfo& info : pDoc->GetColumns()) {
        ColumnInfo column;
        column.strHead = info.nField >= 0 && size_t(info.nField) < names.size() ? names[size_t(info.nField)] : "";
        column.bVisible = info.bVisible != 0;
        column.nField = info.nField;
        column.nGridCol = info.nGridCol;
        column.nWidth = info.nWidth;
        layout.push_back(column);
    }
    CColumnsDlg dialog(ColumnsDlgVariant::Viewer, this);
    dialog.SetFieldNames(names);
    dialog.SetLayout(layout);
    dialog.SetCodePage(IsDosCodePage(), GetTextCodec(), &pDoc->GetOemPage());
    if (dialog.DoModal() != IDOK)
        return;
    std::vector<ViewerColumnInfo>& columns = pDoc->GetColumns();
    columns.clear();
    for (const ColumnInfo& column : dialog.GetLayout())
        columns.push_back(ViewerColumnInfo{column.bVisible ? 1 : 0, column.nField, -1, column.nWidth});
    // Every pane of every window of the table shows the new layout.
    pDoc->ReinitializeAllViews();
}

void CDBFView::OpenFind() {
    if (::CChildFrame* pFrame = GetFrame())
        pFrame->OpenFindDialog();
}

void CDBFView::AddCommands() {
    CCommandMap& commands = Commands();
    // A viewer cuts, pastes and undoes nothing: those keys stay disabled.
    for (unsigned nId : {unsigned(ID_EDIT_CUT), unsigned(ID_EDIT_PASTE), unsigned(ID_EDIT_UNDO)})
        commands.Remove(nId);
    commands.Add(
        ID_EDIT_COPY, [this] { OnEditCopy(); },
        [this](CCmdUI& ui) { ui.Enable(CurrentCellHasText()); });
    // UTF-8 and the other multi-byte pages are no DOS or Windows text.
    auto singleByte = [this] { return !GetDoc() || !GetDoc()->IsWholeText(); };
    commands.Add(
        ID_VIEW_CODEPAGE_DOS, [this] { SetDosCodePage(!IsDosCodePage()); },
        [this, singleByte](CCmdUI& ui) {
            ui.Enable(singleByte());
            ui.SetCheck(IsDosCodePage() ? 1 : 0);
        });
    commands.Add(
        ID_VIEW_CODEPAGE_WIN, [this] { SetDosCodePage(false); },
        [this, singleByte](CCmdUI& ui) {
            ui.Enable(singleByte());
            ui.SetCheck(IsDosCodePage() ? 0 : 1);
        });
    commands.Add(
        ID_EDIT_FIND, [this] { OpenFind(); }, [this](CCmdUI& ui) { ui.Enable(GetColumnCount(-1) > 0); });
    commands.Add(
        ID_VIEW_STRUCTURE, [this] { ShowStructure(); }, [this](CCmdUI& ui) { ui.Enable(GetReader() != nullptr); });
    commands.Add(
        ID_VIEW_COLUMNS, [this] { RunColumnsDialog(); },
        [this](CCmdUI& ui) { ui.Enable(GetReader() && GetReader()->GetFieldCount() > 0); });
    commands.Add(ID_MEMO_BUTTON, [this] { ShowMemoInfo(); });
    commands.Add(ID_INDICATOR_RECORD, nullptr, [this](CCmdUI& ui) { ui.SetText(GetRecordPaneText()); });
    commands.Add(ID_INDICATOR_FIELD, nullptr, [this](CCmdUI& ui) { ui.SetText(GetFieldPaneText()); });
    // A table without a column prints nothing.
    m_printer.AddCommands(commands, [this](CCmdUI& ui) { ui.Enable(GetReader() && GetColumnCount(-1) > 0); });
}

// ---- keys and focus ------------------------------------------------------------------------------

void CDBFView::keyPressEvent(QKeyEvent* pEvent) {
    // A memo cell opens on the keys its button takes, also while the button
    // stands in another pane's place and this view has the keyboard.
    const int nCol = GetCurrentColumn() - GetFixedColumnCount();
    if (GetRecordCount() > 0 && IsMemoColumn(nCol) && CMemoButtonWidget::IsOpenKey(pEvent->key(), pEvent->modifiers())) {
        OnCommand(ID_MEMO_BUTTON);
        return;
    }
    CKelPaneView::keyPressEvent(pEvent);
}

void CDBFView::focusOutEvent(QFocusEvent* pEvent) {
    CKelPaneView::focusOutEvent(pEvent);
    // The highlight follows the focus.
    if (GetRecordCount() > 0 && GetColumnCount(-1) > 0)
        InvalidateCell(GetCurrentColumn() - GetFixedColumnCount(), GetCurrentRow() - GetFixedRowCount());
}
