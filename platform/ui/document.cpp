// The framework's document life cycle.
#include "platform/ui/document.h"

#include <algorithm>

#include <QFile>
#include <QFileInfo>

#include "platform/core/string_table.h"
#include "platform/ui/child_frame.h"
#include "platform/ui/command_ids.h"
#include "platform/ui/doc_template.h"
#include "platform/ui/message_box.h"
#include "platform/ui/win_app.h"

namespace platform {

CDocument::CDocument() {
    m_commands.Add(ID_FILE_SAVE, [this] { DoFileSave(); });
    m_commands.Add(ID_FILE_SAVE_AS, [this] { DoSave(std::string()); });
    m_commands.Add(ID_FILE_CLOSE, [this] {
        if (SaveModified())
            OnCloseDocument();
    });
}

CDocument::~CDocument() = default;

void CDocument::SetPathName(const std::string& strPath, bool bAddToMRU) {
    m_strPathName = strPath;
    SetTitle(QFileInfo(QFile::decodeName(QByteArray::fromStdString(strPath))).fileName());
    if (bAddToMRU && CWinApp::Get())
        CWinApp::Get()->AddToRecentFileList(strPath);
}

void CDocument::SetTitle(const QString& strTitle) {
    m_strTitle = strTitle;
    UpdateFrameTitles();
}

void CDocument::SetModifiedFlag(bool bModified) {
    if (m_bModified == bModified)
        return;
    m_bModified = bModified;
    UpdateFrameTitles();
}

void CDocument::UpdateFrameTitles() {
    for (CChildFrame* pFrame : m_frames)
        pFrame->UpdateTitle();
    emit titleChanged();
}

void CDocument::AddView(CViewBase* pView) {
    if (std::find(m_views.begin(), m_views.end(), pView) == m_views.end())
        m_views.push_back(pView);
    pView->SetDocument(this);
}

void CDocument::RemoveView(CViewBase* pView) {
    m_views.erase(std::remove(m_views.begin(), m_views.end(), pView), m_views.end());
    if (pView->GetDocument() == this)
        pView->SetDocument(nullptr);
}

void CDocument::UpdateAllViews(CViewBase* pSender, intptr_t nHint) {
    std::vector<CViewBase*> views = m_views;
    for (CViewBase* pView : views)
        if (pView != pSender)
            pView->OnUpdate(pSender, nHint);
}

void CDocument::AddFrame(CChildFrame* pFrame) {
    if (std::find(m_frames.begin(), m_frames.end(), pFrame) == m_frames.end())
        m_frames.push_back(pFrame);
    UpdateFrameTitles();
}

void CDocument::RemoveFrame(CChildFrame* pFrame) {
    m_frames.erase(std::remove(m_frames.begin(), m_frames.end(), pFrame), m_frames.end());
    UpdateFrameTitles();
}

bool CDocument::OnNewDocument() {
    DeleteContents();
    SetModifiedFlag(false);
    return true;
}

bool CDocument::OnOpenDocument(const std::string&) { return false; }

bool CDocument::OnSaveDocument(const std::string&) { return false; }

void CDocument::OnCloseDocument() {
    if (m_bClosing)
        return;
    m_bClosing = true;
    // Views finish their work (a pending edit, a tool dialog) while the
    // document is whole; then the frames go.
    std::vector<CChildFrame*> frames = m_frames;
    for (CChildFrame* pFrame : frames)
        pFrame->DestroyViews();
    DeleteContents();
    for (CChildFrame* pFrame : frames)
        pFrame->CloseFromDocument();
    if (m_pTemplate)
        m_pTemplate->RemoveDocument(this);
    deleteLater();
}

bool CDocument::SaveModified() {
    if (!IsModified())
        return true;
    QString strName = m_strTitle;
    if (!m_strPathName.empty())
        strName = QFile::decodeName(QByteArray::fromStdString(m_strPathName));
    QString strPrompt = QString::fromUtf8(FindString(IDS_ASK_TO_SAVE)).arg(strName);
    switch (MessageBox(nullptr, strPrompt, MB_YESNOCANCEL | MB_ICONWARNING)) {
    case IDCANCEL:
        return false;
    case IDYES:
        return DoFileSave();
    default:
        return true;
    }
}

bool CDocument::CanCloseFrame(CChildFrame* pFrame) {
    // Another frame still shows the document: only this window goes.
    for (CChildFrame* pOther : m_frames)
        if (pOther != pFrame)
            return true;
    return SaveModified();
}

bool CDocument::DoFileSave() {
    if (m_strPathName.empty())
        return DoSave(std::string());
    return DoSave(m_strPathName);
}

bool CDocument::DoSave(const std::string& strPath, bool bReplace) {
    std::string strNewPath = strPath;
    if (strNewPath.empty()) {
        CWinApp* pApp = CWinApp::Get();
        strNewPath = m_strPathName;
        if (!pApp || !pApp->DoPromptFileName(strNewPath, QString::fromUtf8(FindString(IDS_SAVEFILE)), false))
            return false;
    }
    if (!OnSaveDocument(strNewPath))
        return false;
    if (bReplace && strNewPath != m_strPathName)
        SetPathName(strNewPath);
    return true;
}

}  // namespace platform
