// File dialogs over QFileDialog.
#include "platform/ui/file_dialog.h"

#include <QFile>
#include <QFileDialog>
#include <QFileInfo>

namespace platform {

namespace {

CScopedFileDialogHook*& CurrentHook() {
    static CScopedFileDialogHook* s_pHook = nullptr;
    return s_pHook;
}

}  // namespace

bool PromptFileName(FileDialogRequest& request) {
    if (CScopedFileDialogHook* pHook = CurrentHook())
        return pHook->Answer(request);

    QFileDialog dialog(request.pParent, request.strTitle);
    dialog.setAcceptMode(request.bOpen ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    dialog.setFileMode(request.bOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    if (!request.bConfirmOverwrite)
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (!request.strDefaultSuffix.isEmpty())
        dialog.setDefaultSuffix(request.strDefaultSuffix);
    if (!request.filters.isEmpty()) {
        dialog.setNameFilters(request.filters);
        int nIndex = std::clamp(request.nFilterIndex, 1, int(request.filters.size()));
        dialog.selectNameFilter(request.filters[nIndex - 1]);
    }
    if (!request.strPath.empty()) {
        QFileInfo info(QFile::decodeName(QByteArray::fromStdString(request.strPath)));
        dialog.setDirectory(info.absolutePath());
        if (!request.bOpen || info.exists())
            dialog.selectFile(info.fileName());
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    request.nFilterIndex = int(request.filters.indexOf(dialog.selectedNameFilter())) + 1;
    QByteArray path = QFile::encodeName(dialog.selectedFiles().first());
    request.strPath.assign(path.constData(), size_t(path.size()));
    return true;
}

CScopedFileDialogHook::CScopedFileDialogHook(AnswerFunction answer)
    : m_answer(std::move(answer)), m_pPrevious(CurrentHook()) {
    CurrentHook() = this;
}

CScopedFileDialogHook::~CScopedFileDialogHook() { CurrentHook() = m_pPrevious; }

bool CScopedFileDialogHook::Answer(FileDialogRequest& request) {
    ++m_nCount;
    bool bOk = m_answer ? m_answer(request) : false;
    m_last = request;
    return bOk;
}

}  // namespace platform
