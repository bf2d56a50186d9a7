// The open and save file dialogs of both programs, with a filter list whose
// chosen entry the caller learns, answerable by a test up front through
// CScopedFileDialogHook as message boxes are.
#pragma once

#include <functional>
#include <string>

#include <QString>
#include <QStringList>

class QWidget;

namespace platform {

struct FileDialogRequest {
    QWidget* pParent = nullptr;
    bool bOpen = true;          // an open dialog; false for save
    QString strTitle;
    QStringList filters;        // "Description (*.dbf)" entries
    int nFilterIndex = 1;       // in: preselected entry, out: the chosen one (1-based)
    QString strDefaultSuffix;   // added to a typed name without one ("dbf")
    bool bConfirmOverwrite = true;
    std::string strPath;        // in: the start path, out: the chosen path (file-system bytes)
};

// Shows the dialog; true when a file was chosen (strPath and nFilterIndex set).
bool PromptFileName(FileDialogRequest& request);

// While one exists, PromptFileName shows nothing: the hook's function answers
// the request (fills strPath and nFilterIndex) and returns true for OK.
class CScopedFileDialogHook {
public:
    using AnswerFunction = std::function<bool(FileDialogRequest&)>;
    explicit CScopedFileDialogHook(AnswerFunction answer);
    ~CScopedFileDialogHook();
    CScopedFileDialogHook(const CScopedFileDialogHook&) = delete;
    CScopedFileDialogHook& operator=(const CScopedFileDialogHook&) = delete;

    bool Answer(FileDialogRequest& request);
    int GetCount() const { return m_nCount; }
    const FileDialogRequest& GetLastRequest() const { return m_last; }

private:
    AnswerFunction m_answer;
    CScopedFileDialogHook* m_pPrevious;
    int m_nCount = 0;
    FileDialogRequest m_last;
};

}  // namespace platform
