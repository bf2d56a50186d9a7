// Documents and their frames.
#include "platform/ui/doc_template.h"

#include <algorithm>

#include "platform/core/string_table.h"
#include "platform/ui/child_frame.h"
#include "platform/ui/command_ids.h"
#include "platform/ui/document.h"
#include "platform/ui/main_frame.h"
#include "platform/ui/win_app.h"

namespace platform {

CMultiDocTemplate::CMultiDocTemplate(const QString& strDocString, DocumentFactory makeDocument,
                                     FrameFactory makeFrame)
    : m_docStrings(strDocString.split(QLatin1Char('\n'))), m_makeDocument(std::move(makeDocument)),
      m_makeFrame(std::move(makeFrame)) {}

CMultiDocTemplate::~CMultiDocTemplate() {
    // Documents still open at the end of the program go with it.
    std::vector<CDocument*> documents = m_documents;
    m_documents.clear();
    for (CDocument* pDocument : documents)
        delete pDocument;
}

QString CMultiDocTemplate::GetDocString(DocStringIndex nIndex) const {
    return int(nIndex) < m_docStrings.size() ? m_docStrings[int(nIndex)] : QString();
}

CDocument* CMultiDocTemplate::OpenDocumentFile(const std::string& strPath, bool bMakeVisible) {
    std::unique_ptr<CDocument> pOwned = m_makeDocument();
    CDocument* pDocument = pOwned.get();
    pDocument->SetDocTemplate(this);
    bool bOpened = false;
    RunGuarded([&] {
        if (strPath.empty()) {
            QString strName = GetDocString(docName);
            if (strName.isEmpty()) {
                const char* pszUntitled = FindString(IDS_UNTITLED);
                strName = pszUntitled ? QString::fromUtf8(pszUntitled) : QStringLiteral("Untitled");
            }
            pDocument->SetTitle(strName + QString::number(++m_nUntitled));
            bOpened = pDocument->OnNewDocument();
        } else {
            CWaitCursor wait;  // a big table takes a moment to load
            bOpened = pDocument->OnOpenDocument(strPath);
            if (bOpened)
                pDocument->SetPathName(strPath);
        }
    });
    if (!bOpened)
        return nullptr;
    m_documents.push_back(pOwned.release());
    if (!CreateNewFrame(*pDocument, bMakeVisible)) {
        RemoveDocument(pDocument);
        delete pDocument;
        return nullptr;
    }
    return pDocument;
}

CChildFrame* CMultiDocTemplate::CreateNewFrame(CDocument& document, bool bMakeVisible) {
    CWinApp* pApp = CWinApp::Get();
    CMainFrame* pMain = pApp ? pApp->GetMainWnd() : nullptr;
    CChildFrame* pFrame = m_makeFrame(document);
    if (!pFrame)
        return nullptr;
    if (pMain)
        pMain->AddChildFrame(pFrame);
    pFrame->InitialUpdateFrame(bMakeVisible);
    return pFrame;
}

void CMultiDocTemplate::RemoveDocument(CDocument* pDocument) {
    m_documents.erase(std::remove(m_documents.begin(), m_documents.end(), pDocument), m_documents.end());
}

bool CMultiDocTemplate::SaveAllModified() {
    std::vector<CDocument*> documents = m_documents;
    for (CDocument* pDocument : documents)
        if (!pDocument->SaveModified())
            return false;
    return true;
}

void CMultiDocTemplate::CloseAllDocuments() {
    std::vector<CDocument*> documents = m_documents;
    for (CDocument* pDocument : documents)
        pDocument->OnCloseDocument();
}

}  // namespace platform
