// The table document: open, create, save, reopen, close, and the settings
// files around them.
#include "editor/dbf_doc.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <unistd.h>

#include <QFile>
#include <QRegularExpression>
#include <QTimer>

#include "editor/dbf_view.h"
#include "editor/editor_ids.h"
#include "editor/settings/program_settings.h"
#include "editor/settings/settings_values.h"
#include "editor/settings/table_settings.h"
#include "editor/tabulon_app.h"
#include "engine/dbf_exception.h"
#include "engine/table_code_pages.h"
#include "grid/structure/structure_strings.h"
#include "grid/structure/table_struct_dlg.h"
#include "platform/core/file.h"
#include "platform/core/private_profile.h"
#include "platform/core/string_table.h"
#include "platform/ui/command_ids.h"
#include "platform/ui/file_dialog.h"
#include "platform/ui/main_frame.h"
#include "platform/ui/message_box.h"
#include "platform/ui/win_app.h"

using namespace platform;

namespace {

QString Text(unsigned nId) { return QString::fromUtf8(FindString(nId)); }

QString PathText(const std::string& strPath) { return QFile::decodeName(QByteArray::fromStdString(strPath)); }

void ShowError(const QString& strText) { MessageBox(nullptr, strText, MB_OK | MB_ICONWARNING); }

// A free name beside strPath for a file that will take its place.
std::string FreeSiblingName(const std::string& strPath, const char* pszSuffix) {
    std::string strName = strPath + pszSuffix;
    for (int i = 1; CFile::Exists(strName); ++i)
        strName = strPath + pszSuffix + std::to_string(i);
    return strName;
}

bool IsEditableType(char cType) { return cType && std::strchr("BCDFILNTY", cType) != nullptr; }

}  // namespace

CDBFDoc::CDBFDoc() {
    m_commands.Add(ID_FILE_SAVE, [this] { DoFileSave(); }, [this](CCmdUI& ui) { ui.Enable(!IsReadOnly()); });
    m_commands.Add(ID_FILE_DOS_TO_WIN, nullptr, [this](CCmdUI& ui) {
        ui.Enable(IsTableOpen() && m_bEditable && !IsReadOnly() && m_bDosCodePage);
    });
    m_commands.Add(ID_FILE_WIN_TO_DOS, nullptr, [this](CCmdUI& ui) {
        ui.Enable(IsTableOpen() && m_bEditable && !IsReadOnly() && !m_bDosCodePage);
    });
}

CDBFDoc::~CDBFDoc() { m_table.Close(); }

tabulon::CProgramSettings CDBFDoc::ProgramSettings() {
    if (CTabulonApp* pApp = CTabulonApp::GetTabulonApp())
        return pApp->GetProgramSettings();
    return tabulon::CProgramSettings(tabulon::ProgramSettingsPath());
}

std::vector<std::string> CDBFDoc::GetFieldNames() const {
    std::vector<std::string> names;
    if (!m_table.IsOpen())
        return names;
    dbf::CDBFTableDef* pDef = m_table.GetTableDef();
    for (int i = 0; i < pDef->GetFieldCount(); ++i)
        names.push_back(pDef->GetFieldInfo(i).strName);
    return names;
}

void CDBFDoc::SetDefaultLayout() { m_columns = MakeDefaultLayout(GetFieldNames()); }

// ---- text ---------------------------------------------------------------------------------

const CCodePage& CDBFDoc::GetOemPage() const { return m_codePages.pOem ? *m_codePages.pOem : OemCodePage(); }
const CCodePage& CDBFDoc::GetAnsiPage() const { return m_codePages.pAnsi ? *m_codePages.pAnsi : AnsiCodePage(); }

std::string CDBFDoc::ToDisplayText(std::string strText) const {
    if (m_bDosCodePage && !IsWholeText())
        DisplayConverters().first.ConvertInPlace(strText);
    return strText;
}

std::string CDBFDoc::FromDisplayText(std::string strText) const {
    if (m_bDosCodePage && !IsWholeText())
        DisplayConverters().second.ConvertInPlace(strText);
    return strText;
}

const std::pair<CCodePageConverter, CCodePageConverter>& CDBFDoc::DisplayConverters() const {
    // Built once per pair of pages: every painted text cell goes through them.
    const CCodePage* pOem = &GetOemPage();
    const CCodePage* pAnsi = &GetAnsiPage();
    if (!m_displayConverters || m_pConvertedOem != pOem || m_pConvertedAnsi != pAnsi) {
        m_displayConverters.emplace(CCodePageConverter(*pOem, *pAnsi), CCodePageConverter(*pAnsi, *pOem));
        m_pConvertedOem = pOem;
        m_pConvertedAnsi = pAnsi;
    }
    return *m_displayConverters;
}

CTextCodec CDBFDoc::GetTextCodec() const {
    if (IsWholeText())
        return CTextCodec::WholeText(m_codePages.WholeTextEncoding());
    return CTextCodec(&GetAnsiPage());
}

void CDBFDoc::ChooseCodePages() {
    // The one rule: the settings' pair, a .cpg file, the mark, a sample.
    tabulon::CProgramSettings program = ProgramSettings();
    dbf::CodePageOverrides overrides{program.GetOemCodePage(), program.GetAnsiCodePage()};
    try {
        m_codePages = dbf::DecideCodePages(m_table, overrides);
    } catch (const std::exception&) {
        // A memo that cannot be read leaves the sample short, not the table closed.
        m_codePages = platform::TableCodePages{};
        m_codePages.pOem = &OemCodePage();
        m_codePages.pAnsi = &AnsiCodePage();
    }
}

// ---- opening --------------------------------------------------------------------------------

void CDBFDoc::DeleteContents() {
    m_table.Close();
    m_bIndexWriteAccepted = false;
    m_table.SetFilter(nullptr);
    m_filter = DocFilter{};
    m_columns.clear();
    m_bReadFailureReported = false;
}

void CDBFDoc::LoadOpenSettings(const std::string& strPath) {
    tabulon::CTableSettings settings(ProgramSettings(), strPath);
    tabulon::OpenSettings open = settings.LoadOpenSettings();
    m_nOpenMode = open.nOpenMode;
    m_bShowDeleted = open.bShowDeleted;
    m_strDateFormat = open.strDatePattern;
}

bool CDBFDoc::LoadViewSettings() {
    // The settings file of the table being opened (the document's path is
    // still the old one while a copy is opened after Save As).
    tabulon::CTableSettings settings(ProgramSettings(), m_table.GetFilePath());
    m_bDosCodePage = settings.IsDosCodePage(m_codePages.bOemText);
    if (!settings.Exists())
        return false;
    std::optional<ColumnLayout> layout = settings.LoadColumnLayout(GetFieldNames());
    if (!layout)
        return false;
    m_columns = std::move(*layout);
    return true;
}

void CDBFDoc::ComputeEditability() {
    m_bEditable = false;
    if (!m_table.IsOpen())
        return;
    uint8_t nVersion = m_table.GetHeader().version;
    if (nVersion != 0x03 && nVersion != 0x30 && nVersion != 0x43 && nVersion != 0x63)
        return;
    const dbf::DBFFieldList& fields = m_table.GetFieldList();
    for (int i = 0; i < fields.m_nFields; ++i)
        if (!IsEditableType(fields.m_pDesc[i].type))
            return;
    m_bEditable = true;
}

bool CDBFDoc::OnOpenDocument(const std::string& strPath) {
    DeleteContents();
    SetModifiedFlag(false);
    m_nSaveType = 0;
    LoadOpenSettings(strPath);
    m_nOpenMode = ModeThisFileAllows(strPath, m_nOpenMode);
    m_table.SetHideDeleted(!m_bShowDeleted);
    try {
        m_table.Open(strPath, m_nOpenMode);
    } catch (...) {
        ReportCurrentException();
        m_table.Close();
        return false;
    }
    if (!m_table.IsOpen()) {
        ShowError(QString::fromStdString(dbf::ErrorMessageText(dbf::errCantOpenFile)) + QStringLiteral("\n") +
                  PathText(strPath));
        return false;
    }
    ChooseCodePages();
    if (!LoadViewSettings())
        SetDefaultLayout();
    ComputeEditability();
    return true;
}

// ---- creating ------------------------------------------------------------------------------

bool CDBFDoc::PromptTableFileName(std::string& strPath, unsigned nTitleId, bool bCreate, unsigned& nSaveType) {
    FileDialogRequest request;
    CWinApp* pApp = CWinApp::Get();
    request.pParent = pApp ? pApp->GetMainWnd() : nullptr;
    request.bOpen = false;
    request.strTitle = Text(nTitleId);
    const unsigned kTypes[] = {IDS_SAVE_DBASE3, IDS_SAVE_DBASE4, IDS_SAVE_VFP};
    for (unsigned nType : kTypes) {
        QStringList fields = Text(nType).split(QLatin1Char('\n'));
        QString strDescription = fields.value(3);
        request.filters << strDescription;
    }
    request.nFilterIndex = 1;
    request.strDefaultSuffix = QStringLiteral("dbf");
    request.bConfirmOverwrite = true;
    if (strPath.empty() && !bCreate) {
        // The document's title up to its first unusual character, with the
        // template's extension.
        QString strTitle = GetTitle();
        int nCut = int(strTitle.indexOf(QRegularExpression(QStringLiteral("[ #%;/\\\\]"))));
        if (nCut >= 0)
            strTitle.truncate(nCut);
        QByteArray name = QFile::encodeName(strTitle + QStringLiteral(".dbf"));
        strPath.assign(name.constData(), size_t(name.size()));
    }
    request.strPath = strPath;
    if (!PromptFileName(request))
        return false;
    strPath = request.strPath;
    nSaveType = request.nFilterIndex >= 1 && request.nFilterIndex <= 3 ? kTypes[request.nFilterIndex - 1] : 0;
    return true;
}

bool CDBFDoc::OnNewDocument() {
    if (!CDocument::OnNewDocument())
        return false;
    std::string strPath;
    unsigned nSaveType = 0;
    if (!PromptTableFileName(strPath, IDS_CREATE_TITLE, true, nSaveType))
        return false;
    // The new table is built under a name of its own and takes the chosen
    // name only on OK, so that Cancel leaves a file of that name untouched.
    std::string strBuild = FreeSiblingName(strPath, "._new");
    dbf::CDBFTableDef def;
    if (!def.CreateNew(strBuild)) {
        ShowError(QString::fromStdString(dbf::ErrorMessageText(dbf::errCantCreateFile)));
        return false;
    }
    if (nSaveType == IDS_SAVE_VFP) {
        dbf::DBFHeader header = def.GetHeader();
        header.version = dbf::verVisualFoxPro;
        def.SetHeader(header);
    }
    dbf::DBFFieldDesc desc{};
    RegisterStructureStrings();
    std::snprintf(desc.name, sizeof desc.name, "%.10s", FindString(IDS_STRUCT_NEW_FIELD));
    desc.type = 'C';
    desc.width = 20;
    def.AppendField(desc);

    CWinApp* pApp = CWinApp::Get();
    CTableStructDlg dialog(pApp ? pApp->GetMainWnd() : nullptr);
    dialog.SetTableDef(&def);
    dialog.SetReadOnly(false);
    if (dialog.DoModal() != IDOK) {
        def.CancelStructure();
        return false;
    }
    try {
        def.WriteStructure();
        def.Close();
        CFile::Replace(strBuild, strPath);
    } catch (...) {
        ReportCurrentException();
        def.Close();
        std::remove(strBuild.c_str());
        return false;
    }
    CWaitCursor wait;
    if (!OnOpenDocument(strPath))
        return false;
    SetPathName(strPath);
    return true;
}

// ---- saving ----------------------------------------------------------------------------------

bool CDBFDoc::EndViewEdits() {
    for (CViewBase* pView : GetViews())
        if (auto* pDbfView = dynamic_cast<CDBFView*>(pView))
            if (!pDbfView->EndEditForDocument())
                return false;
    return true;
}

bool CDBFDoc::SaveModified() {
    if (!EndViewEdits())
        return false;
    return CDocument::SaveModified();
}

bool CDBFDoc::DoFileSave() {
    if (!EndViewEdits())
        return false;
    return CDocument::DoFileSave();
}

bool CDBFDoc::OnSaveDocument(const std::string& strPath) {
    if (!m_table.IsOpen())
        return false;
    bool bCopy = m_nSaveType == IDS_SAVE_DBASE3 || m_nSaveType == IDS_SAVE_DBASE4 || m_nSaveType == IDS_SAVE_VFP;
    if (!bCopy && !ConfirmIndexGoesStale())
        return false;
    bool bSaved = bCopy ? SaveCopy(strPath, m_nSaveType) : SaveInPlace();
    if (bSaved) {
        SetModifiedFlag(false);
        UpdateAllViews(nullptr);
    }
    return bSaved;
}

const dbf::StructuralIndex* CDBFDoc::GetPresentIndex() const {
    if (!m_table.IsOpen())
        return nullptr;
    const dbf::StructuralIndex& index = m_table.GetTableDef()->GetStructuralIndex();
    return index.bFlagged && index.bPresent ? &index : nullptr;
}

bool CDBFDoc::ConfirmIndexGoesStale() {
    const dbf::StructuralIndex* pIndex = GetPresentIndex();
    if (!pIndex || m_bIndexWriteAccepted)
        return true;
    QString strIndex = QString::fromStdString(pIndex->GetFileName());
    if (MessageBox(nullptr, Text(IDS_STALE_INDEX).arg(strIndex), MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) != IDYES)
        return false;
    m_bIndexWriteAccepted = true;
    return true;
}

void CDBFDoc::SetTitle(const QString& strTitle) {
    // The window says that the table has an index this program leaves as it is.
    QString strShown = strTitle;
    const dbf::StructuralIndex* pIndex = GetPresentIndex();
    if (pIndex && !strShown.isEmpty())
        strShown = Text(IDS_TITLE_WITH_INDEX).arg(strShown, QString::fromStdString(pIndex->GetFileName()));
    if (m_bWriteProtected && !strShown.isEmpty())
        strShown = Text(IDS_TITLE_READ_ONLY).arg(strShown);
    CDocument::SetTitle(strShown);
}

bool CDBFDoc::SaveInPlace() {
    try {
        CWaitCursor wait;
        m_table.Save();
        return true;
    } catch (const dbf::CDBFException& e) {
        if (e.GetCode() != dbf::errChangedOnDisk) {
            ShowError(Text(IDS_SAVE_FAILED).arg(QString::fromUtf8(e.what())));
            return false;
        }
    } catch (...) {
        ShowError(Text(IDS_SAVE_FAILED).arg(CurrentExceptionText()));
        return false;
    }
    // Another program changed the file since it was loaded.
    int nAnswer = MessageBox(nullptr, Text(IDS_CHANGED_ON_DISK).arg(PathText(m_table.GetFilePath())),
                             MB_YESNOCANCEL | MB_ICONWARNING | MB_DEFBUTTON3);
    if (nAnswer == IDYES) {
        try {
            CWaitCursor wait;
            m_table.Save(dbf::CDBFMemoryCursorset::OnDiskChange::overwrite);
            return true;
        } catch (...) {
            ShowError(Text(IDS_SAVE_FAILED).arg(CurrentExceptionText()));
            return false;
        }
    }
    if (nAnswer == IDNO && ReloadTable()) {
        SetModifiedFlag(false);
        UpdateAllViews(nullptr);
        return true;
    }
    return false;
}

bool CDBFDoc::SaveCopy(const std::string& strPath, unsigned nSaveType) {
    // A copy must never be written over a table this program has open: the
    // open table itself, or one in another window.
    CWinApp* pApp = CWinApp::Get();
    if (IsSameFile(strPath, m_table.GetFilePath()) || (pApp && pApp->FindOpenDocument(strPath))) {
        ShowError(Text(IDS_SAVE_AS_OPEN_TABLE).arg(PathText(strPath)));
        return false;
    }
    if (!AcceptExportCuts(nSaveType == IDS_SAVE_VFP))
        return false;
    bool bWritten = false;
    try {
        CWaitCursor wait;
        bWritten = nSaveType == IDS_SAVE_VFP ? m_table.ExportVisualFoxPro(strPath) : m_table.ExportDBase3(strPath);
        if (!bWritten)
            ShowError(Text(IDS_SAVE_FAILED).arg(QString::fromStdString(dbf::ErrorMessageText(dbf::errCantCreateFile))));
    } catch (...) {
        ShowError(Text(IDS_SAVE_FAILED).arg(CurrentExceptionText()));
        bWritten = false;
    }
    if (!bWritten)
        return false;
    std::string strOldPath = m_table.GetFilePath();
    if (OnOpenDocument(strPath))
        return true;
    // The copy is written but does not open: the window goes back to the
    // table it had (its unsaved changes are in the copy).
    OnOpenDocument(strOldPath);
    return false;
}

bool CDBFDoc::AcceptExportCuts(bool bVisualFoxPro) {
    std::vector<dbf::CDBFMemoryCursorset::ExportCut> cuts;
    {
        CWaitCursor wait;
        cuts = m_table.CountExportCuts(bVisualFoxPro);
    }
    int64_t nTotal = 0;
    QString strFields;
    for (const auto& cut : cuts) {
        if (cut.nValues == 0)
            continue;
        nTotal += cut.nValues;
        strFields += QStringLiteral("\n    %1: %2").arg(QString::fromStdString(cut.strName)).arg(cut.nValues);
    }
    if (nTotal == 0)
        return true;
    return MessageBox(nullptr, Text(IDS_EXPORT_CUTS).arg(nTotal).arg(strFields), MB_YESNO | MB_ICONQUESTION) == IDYES;
}

bool CDBFDoc::SaveTableAs() {
    if (!EndViewEdits())
        return false;
    std::string strPath = GetPathName();
    unsigned nSaveType = 0;
    if (!PromptTableFileName(strPath, IDS_SAVEFILE, false, nSaveType))
        return false;
    m_nSaveType = nSaveType;
    bool bSaved = OnSaveDocument(strPath);
    m_nSaveType = 0;
    if (bSaved)
        SetPathName(strPath);
    return true;
}

unsigned CDBFDoc::ModeThisFileAllows(const std::string& strPath, unsigned nOpenMode) {
    // A table this user may not write (its permissions, a read-only disk)
    // opens for reading instead of not at all; the title says so.
    m_bWriteProtected = false;
    if (nOpenMode != tabulon::kOpenReadOnly && ::access(strPath.c_str(), W_OK) != 0 &&
        (errno == EACCES || errno == EPERM || errno == EROFS)) {
        m_bWriteProtected = true;
        return tabulon::kOpenReadOnly;
    }
    return nOpenMode;
}

bool CDBFDoc::ReopenTable(unsigned nOpenMode) {
    if (!m_table.IsOpen())
        return false;
    nOpenMode = ModeThisFileAllows(m_table.GetFilePath(), nOpenMode);
    if (nOpenMode == m_nOpenMode)
        return true;
    try {
        if (!m_table.ChangeOpenMode(nOpenMode)) {
            MessageBox(nullptr, IDS_CANT_REOPEN, MB_OK | MB_ICONWARNING);
            return false;
        }
    } catch (...) {
        ReportCurrentException();
        return false;
    }
    m_nOpenMode = nOpenMode;
    return true;
}

bool CDBFDoc::ReloadTable() {
    std::string strPath = m_table.IsOpen() ? m_table.GetFilePath() : GetPathName();
    m_table.Close();
    try {
        CWaitCursor wait;
        m_table.Open(strPath, m_nOpenMode);
    } catch (...) {
        ReportCurrentException();
    }
    m_bReadFailureReported = false;
    return m_table.IsOpen();
}

// ---- rewriting the table file ------------------------------------------------------------

bool CDBFDoc::OpenTableFromFile(const std::string& strPath) {
    // Closing forgets whether deleted records are hidden; the window keeps its choice.
    bool bHideDeleted = m_table.IsHideDeleted();
    m_table.Close();
    m_table.SetHideDeleted(bHideDeleted);
    bool bReported = false;
    try {
        m_table.Open(strPath, m_nOpenMode);
    } catch (...) {
        ReportCurrentException();
        bReported = true;
    }
    m_bReadFailureReported = false;
    if (!m_table.IsOpen()) {
        if (!bReported)
            ShowError(QString::fromStdString(dbf::ErrorMessageText(dbf::errCantOpenFile)) + QStringLiteral("\n") +
                      PathText(strPath));
        return false;
    }
    ChooseCodePages();
    ComputeEditability();
    return true;
}

bool CDBFDoc::PackTable() {
    if (!m_table.IsOpen() || IsReadOnly() || !ConfirmIndexGoesStale())
        return false;
    const unsigned nMode = m_nOpenMode;
    const std::string strPath = m_table.GetFilePath();
    // A program that has the file open would go on writing into the old
    // file after the packed one takes its name: the pack holds the file
    // alone, and "Can't reopen file" says when another program has it.
    if (nMode != tabulon::kOpenExclusive && !ReopenTable(tabulon::kOpenExclusive))
        return false;
    const bool bHideDeleted = m_table.IsHideDeleted();
    bool bPacked = false;
    try {
        CWaitCursor wait;
        bPacked = m_table.Pack();
        // The pack opened the table again, which forgets the window's choice.
        m_table.SetHideDeleted(bHideDeleted);
    } catch (...) {
        ShowError(Text(IDS_PACK_FAILED).arg(CurrentExceptionText()));
    }
    // A pack that failed past its renames leaves the table closed: the
    // window shows whatever the file holds now.
    if (!m_table.IsOpen())
        OpenTableFromFile(strPath);
    if (m_table.IsOpen() && m_nOpenMode != nMode)
        ReopenTable(nMode);
    if (bPacked)
        SetModifiedFlag(false);
    return bPacked;
}

bool CDBFDoc::WriteTableStructure(bool* pbReopened) {
    if (pbReopened)
        *pbReopened = false;
    dbf::CDBFTableDef* pDef = m_table.IsOpen() ? m_table.GetTableDef() : nullptr;
    if (!pDef || pDef->GetStructMode() != 1)
        return false;
    const bool bModified = IsModified();
    const std::string strPath = m_table.GetFilePath();
    if (!ConfirmIndexGoesStale()) {
        pDef->CancelStructure();
        return false;
    }
    CWaitCursor wait;
    // The new file is copied from the old one, so the window's edits go
    // there first, whatever the modified flag says (not every change sets it).
    if (!SaveInPlace()) {
        pDef->CancelStructure();
        SetModifiedFlag(bModified);
        return false;
    }
    if (!m_table.IsOpen() || m_table.GetTableDef()->GetStructMode() != 1) {
        // The save loaded the table again from its file (the user's answer
        // when another program had changed it): the structure edit went with it.
        if (pbReopened)
            *pbReopened = true;
        return false;
    }
    try {
        pDef->WriteStructure();
    } catch (...) {
        QString strWhy = CurrentExceptionText();
        if (pDef->IsOpen() && pDef->GetStructMode() == 1) {
            // Nothing of the table changed: it stays as it was, edits and all.
            pDef->CancelStructure();
            SetModifiedFlag(bModified);
        } else {
            // Past the renames: the window shows the table its file now holds.
            if (pbReopened)
                *pbReopened = true;
            if (OpenTableFromFile(strPath))
                SetDefaultLayout();
            else
                m_columns.clear();
        }
        ShowError(Text(IDS_STRUCTURE_FAILED).arg(strWhy));
        return false;
    }
    if (pbReopened)
        *pbReopened = true;
    if (!OpenTableFromFile(strPath)) {
        m_columns.clear();
        return false;
    }
    // A stored layout names the old fields: the new structure starts from
    // its own default one.
    SetDefaultLayout();
    SetModifiedFlag(false);
    return true;
}

// ---- closing -----------------------------------------------------------------------------------

bool CDBFDoc::SaveTableSettings() {
    if (m_columns.empty() || !m_table.IsOpen())
        return true;
    tabulon::CTableSettings settings(ProgramSettings(), m_table.GetFilePath());
    return settings.SaveTableSettings(m_columns, GetFieldNames(), m_bDosCodePage, !m_table.IsHideDeleted());
}

void CDBFDoc::OnCloseDocument() {
    if (!IsClosing() && m_table.IsOpen()) {
        // Written silently: a settings file that cannot be written is no
        // reason to keep a window open.
        tabulon::CTableSettings settings(ProgramSettings(), m_table.GetFilePath());
        if (settings.ShouldSaveOnClose())
            SaveTableSettings();
    }
    CDocument::OnCloseDocument();
}

void CDBFDoc::ReportReadFailure(const std::string& strWhat) {
    if (m_bReadFailureReported)
        return;
    m_bReadFailureReported = true;
    // Not from inside the paint that met it: a message box there would
    // paint again beneath itself.
    QString strText = Text(IDS_PAINT_FAILED).arg(QString::fromStdString(strWhat));
    QTimer::singleShot(0, this, [strText] { ShowError(strText); });
}
