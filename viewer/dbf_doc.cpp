// The viewer's document: the reader, its column list, the code pages and the
// reader's error boxes.
#include "viewer/dbf_doc.h"

#include <algorithm>

#include <QCoreApplication>

#include "platform/core/string_table.h"
#include "platform/ui/command_ids.h"
#include "platform/ui/message_box.h"
#include "platform/ui/view_base.h"

namespace {

// Whether the table's text is UTF-8, from the sample the rule asks for: the
// C fields of the first megabyte of records and the text memos they
// reference (a memo that cannot be read tells nothing and is left out).
bool SampleIsUtf8(CDBFFileReader& reader) {
    platform::CUtf8Sample sample;
    const size_t nLength = reader.GetRecordLength();
    if (nLength == 0)
        return false;
    const int64_t nRecords = std::min<int64_t>(reader.GetRecordCount(), platform::CUtf8Sample::kRecordBytes / nLength);
    CDBFFileReader::CReadAhead readAhead(reader, false);
    std::string strText;
    bool bLogical = false;
    for (int32_t nRecord = 1; nRecord <= nRecords && !sample.IsDecided(); ++nRecord)
        for (int i = 0; i < reader.GetFieldCount() && !sample.IsDecided(); ++i) {
            const char cType = reader.GetField(i).GetType();
            if ((cType == 'C' || cType == 'M') && reader.GetFieldText(i, nRecord, strText, bLogical))
                sample.Add(strText);
        }
    return sample.IsUtf8();
}

}  // namespace

platform::TableCodePages ChooseTableCodePages(CDBFFileReader& reader) {
    platform::TableCodePageFacts facts;
    facts.nVersion = reader.GetHeader().version;
    facts.nMark = reader.GetCodePageMark();
    const std::string strCpg = platform::FindCpgFile(reader.GetFilePath());
    facts.bHasCpg = !strCpg.empty() && platform::ReadCpgFile(strCpg, facts.cpg);
    if (platform::NeedsUtf8Sample(facts.nMark, facts.bHasCpg))
        facts.nUtf8Sample = SampleIsUtf8(reader) ? 1 : 0;
    return platform::DecideTableCodePages(facts);
}

void CMessageBoxErrorSink::ShowError(unsigned, const std::string& strText) {
    // The reader's texts are single-byte; file names are the system's bytes.
    const QString strShown = QString::fromLocal8Bit(strText.data(), qsizetype(strText.size()));
    const QString strCaption = QString::fromUtf8(platform::LoadString(idsReaderErrorCaption));
    auto show = [strShown, strCaption] {
        platform::MessageBox(nullptr, strShown, strCaption, platform::MB_OK | platform::MB_ICONERROR);
    };
    // A memo that cannot be read is met while a cell is painted: the box
    // waits for the current event to end rather than run inside the paint.
    if (QCoreApplication::instance())
        QMetaObject::invokeMethod(QCoreApplication::instance(), show, Qt::QueuedConnection);
    else
        show();
}

CDBFDoc::CDBFDoc() {
    m_data.GetReader().SetErrorSink(&m_sink);
    // Nothing is ever saved: Save and Save As stay disabled.
    m_commands.Remove(platform::ID_FILE_SAVE);
    m_commands.Remove(platform::ID_FILE_SAVE_AS);
}

CDBFDoc::~CDBFDoc() { m_data.OnCloseDocument(); }

std::vector<std::string> CDBFDoc::GetFieldNames() const {
    const CDBFFileReader& reader = m_data.GetReader();
    std::vector<std::string> names;
    names.reserve(size_t(reader.GetFieldCount()));
    for (int i = 0; i < reader.GetFieldCount(); ++i)
        names.push_back(reader.GetField(i).GetName());
    return names;
}

const platform::CCodePage& CDBFDoc::GetOemPage() const {
    return m_pages.pOem ? *m_pages.pOem : platform::OemCodePage();
}

const platform::CCodePage& CDBFDoc::GetAnsiPage() const {
    return m_pages.pAnsi ? *m_pages.pAnsi : platform::AnsiCodePage();
}

platform::CTextCodec CDBFDoc::GetTextCodec() const {
    if (IsWholeText())
        return platform::CTextCodec::WholeText(m_pages.WholeTextEncoding());
    return platform::CTextCodec(&GetAnsiPage());
}

std::string CDBFDoc::ToDisplayText(std::string strText, bool bDos) const {
    if (bDos && !IsWholeText() && !strText.empty()) {
        if (!m_pToAnsi)
            m_pToAnsi = std::make_unique<platform::CCodePageConverter>(GetOemPage(), GetAnsiPage());
        m_pToAnsi->ConvertInPlace(strText);
    }
    return strText;
}

bool CDBFDoc::OnNewDocument() {
    if (!platform::CDocument::OnNewDocument())
        return false;
    m_data.OnNewDocument();
    return true;
}

bool CDBFDoc::OnOpenDocument(const std::string& strPath) {
    DeleteContents();
    SetModifiedFlag(false);
    if (!m_data.OnOpenDocument(strPath))
        return false;
    m_pages = ChooseTableCodePages(m_data.GetReader());
    m_pToAnsi.reset();
    return true;
}

void CDBFDoc::OnCloseDocument() {
    // The windows go first: a view still painting finds the table open.
    platform::CDocument::OnCloseDocument();
    m_data.GetReader().Close();
}

void CDBFDoc::ReinitializeAllViews() {
    std::vector<platform::CViewBase*> views = GetViews();
    for (platform::CViewBase* pView : views)
        pView->OnInitialUpdate();
}
