// Message boxes of both programs: a text (or a string id), a button set and an
// icon by their numeric type bits, and the button the user pressed by its
// numeric result. Every box goes through here so that a test can answer it
// instead of a user (CScopedMessageBoxHook) and see what it said.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include <QString>

class QWidget;

namespace platform {

// Type bits: one button set, one icon, the default button.
enum MessageBoxType : unsigned {
    MB_OK = 0x00,
    MB_OKCANCEL = 0x01,
    MB_ABORTRETRYIGNORE = 0x02,
    MB_YESNOCANCEL = 0x03,
    MB_YESNO = 0x04,
    MB_RETRYCANCEL = 0x05,
    MB_TYPEMASK = 0x0F,
    MB_ICONERROR = 0x10,
    MB_ICONQUESTION = 0x20,
    MB_ICONWARNING = 0x30,
    MB_ICONINFORMATION = 0x40,
    MB_ICONMASK = 0xF0,
    MB_DEFBUTTON2 = 0x100,
    MB_DEFBUTTON3 = 0x200,
};

// The buttons, as dialogs report them.
enum DialogResult : int {
    IDOK = 1,
    IDCANCEL = 2,
    IDABORT = 3,
    IDRETRY = 4,
    IDIGNORE = 5,
    IDYES = 6,
    IDNO = 7,
};

struct MessageBoxRequest {
    QWidget* pParent = nullptr;
    QString strText;
    unsigned nType = MB_OK;
    unsigned nStringId = 0;  // the text's string id, 0 when it had none
    QString strCaption;      // empty: the application's name
};

// Shows a modal message box over pParent (the active window when null) with
// the application's name as its caption; returns the button pressed.
int MessageBox(QWidget* pParent, const QString& strText, unsigned nType = MB_OK);
// The same with the text of a string id.
int MessageBox(QWidget* pParent, unsigned nStringId, unsigned nType = MB_OK);
// A box with a caption of its own instead of the application's name.
int MessageBox(QWidget* pParent, const QString& strText, const QString& strCaption, unsigned nType);

// While one exists, message boxes are not shown: each request is recorded and
// answered by the hook's function (by default the first button: IDOK, IDYES,
// IDABORT or IDRETRY). Hooks nest; the newest answers.
class CScopedMessageBoxHook {
public:
    using AnswerFunction = std::function<int(const MessageBoxRequest&)>;
    explicit CScopedMessageBoxHook(AnswerFunction answer = nullptr);
    ~CScopedMessageBoxHook();
    CScopedMessageBoxHook(const CScopedMessageBoxHook&) = delete;
    CScopedMessageBoxHook& operator=(const CScopedMessageBoxHook&) = delete;

    const std::vector<MessageBoxRequest>& GetRequests() const { return m_requests; }
    // Records a request and answers it (what MessageBox does while the hook is on).
    int Answer(const MessageBoxRequest& request);

private:
    AnswerFunction m_answer;
    std::vector<MessageBoxRequest> m_requests;
    CScopedMessageBoxHook* m_pPrevious;
};

}  // namespace platform
