// Modal dialogs of both programs. A dialog finds its controls by their numeric
// ids (a control's object name is its id), initialises itself once before it
// is first shown, and ends with a numeric result (IDOK, IDCANCEL or its own).
// DoModal is the one way a modal dialog runs, so that a test can answer it up
// front with CScopedDialogHook, as CScopedMessageBoxHook answers message boxes.
#pragma once

#include <functional>

#include <QDialog>

#include "platform/ui/message_box.h"

namespace platform {

class CDialog : public QDialog {
    Q_OBJECT
public:
    explicit CDialog(QWidget* pParent = nullptr);

    // Runs the dialog modally and returns the result it ended with; IDCANCEL
    // when it was closed without one.
    int DoModal();
    // Ends a modal dialog (or hides a modeless one) with a result.
    void EndDialog(int nResult);
    // The result it ended with, -1 while it is open.
    int GetModalResult() const { return m_nModalResult; }

    // Fills the controls; runs once, before the dialog is first shown (or
    // answered by a hook). False when the dialog cannot be built.
    virtual bool OnInitDialog() { return true; }
    bool EnsureInitialized();
    // The OK and Cancel buttons, Enter and Escape. OK may refuse by not
    // ending the dialog.
    virtual void OnOK() { EndDialog(IDOK); }
    virtual void OnCancel() { EndDialog(IDCANCEL); }

    // The control of an id among the dialog's children, or nullptr.
    QWidget* GetDlgItem(int nId) const;
    template <class T>
    T* GetDlgItem(int nId) const {
        return qobject_cast<T*>(GetDlgItem(nId));
    }
    static void SetControlId(QWidget* pControl, int nId);

    void setVisible(bool bVisible) override;
    void accept() override { OnOK(); }
    void reject() override { OnCancel(); }
    void done(int nResult) override;

private:
    bool m_bInitialized = false;
    bool m_bInitOk = false;
    int m_nModalResult = -1;
};

// While one exists, DoModal shows nothing: the dialog is initialised and the
// hook's function answers it (it may set controls, call OnOK and read the
// result); what it returns is DoModal's result. Hooks nest; the newest answers.
class CScopedDialogHook {
public:
    using AnswerFunction = std::function<int(CDialog&)>;
    explicit CScopedDialogHook(AnswerFunction answer);
    ~CScopedDialogHook();
    CScopedDialogHook(const CScopedDialogHook&) = delete;
    CScopedDialogHook& operator=(const CScopedDialogHook&) = delete;

    int Answer(CDialog& dialog);
    // How many dialogs it answered.
    int GetCount() const { return m_nCount; }

private:
    AnswerFunction m_answer;
    CScopedDialogHook* m_pPrevious;
    int m_nCount = 0;
};

}  // namespace platform
