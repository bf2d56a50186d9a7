// Message boxes over QMessageBox, with the buttons and icons of the type bits.
#include "platform/ui/message_box.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

#include "platform/core/string_table.h"

namespace platform {

namespace {

CScopedMessageBoxHook*& CurrentHook() {
    static CScopedMessageBoxHook* s_pHook = nullptr;
    return s_pHook;
}

int FirstButton(unsigned nType) {
    switch (nType & MB_TYPEMASK) {
    case MB_ABORTRETRYIGNORE:
        return IDABORT;
    case MB_YESNOCANCEL:
    case MB_YESNO:
        return IDYES;
    case MB_RETRYCANCEL:
        return IDRETRY;
    default:
        return IDOK;
    }
}

// The buttons of a type, in the order they stand in the box.
std::vector<int> ButtonsOf(unsigned nType) {
    switch (nType & MB_TYPEMASK) {
    case MB_OKCANCEL:
        return {IDOK, IDCANCEL};
    case MB_ABORTRETRYIGNORE:
        return {IDABORT, IDRETRY, IDIGNORE};
    case MB_YESNOCANCEL:
        return {IDYES, IDNO, IDCANCEL};
    case MB_YESNO:
        return {IDYES, IDNO};
    case MB_RETRYCANCEL:
        return {IDRETRY, IDCANCEL};
    default:
        return {IDOK};
    }
}

QMessageBox::StandardButton StandardButtonOf(int nResult) {
    switch (nResult) {
    case IDCANCEL:
        return QMessageBox::Cancel;
    case IDABORT:
        return QMessageBox::Abort;
    case IDRETRY:
        return QMessageBox::Retry;
    case IDIGNORE:
        return QMessageBox::Ignore;
    case IDYES:
        return QMessageBox::Yes;
    case IDNO:
        return QMessageBox::No;
    default:
        return QMessageBox::Ok;
    }
}

QMessageBox::Icon IconOf(unsigned nType) {
    switch (nType & MB_ICONMASK) {
    case MB_ICONERROR:
        return QMessageBox::Critical;
    case MB_ICONQUESTION:
        return QMessageBox::Question;
    case MB_ICONWARNING:
        return QMessageBox::Warning;
    case MB_ICONINFORMATION:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

int ShowBox(const MessageBoxRequest& request) {
    if (CScopedMessageBoxHook* pHook = CurrentHook())
        return pHook->Answer(request);
    QWidget* pParent = request.pParent ? request.pParent : QApplication::activeWindow();
    QMessageBox box(pParent);
    box.setWindowTitle(request.strCaption.isEmpty() ? QApplication::applicationDisplayName() : request.strCaption);
    box.setText(request.strText);
    box.setIcon(IconOf(request.nType));
    std::vector<int> buttons = ButtonsOf(request.nType);
    for (int nResult : buttons)
        box.addButton(StandardButtonOf(nResult));
    size_t nDefault = (request.nType & MB_DEFBUTTON3) ? 2 : (request.nType & MB_DEFBUTTON2) ? 1 : 0;
    if (nDefault < buttons.size())
        box.setDefaultButton(StandardButtonOf(buttons[nDefault]));
    // Escape and the close button stand for Cancel where there is one, and
    // for the only button of a box that has one.
    if (buttons.size() == 1)
        box.setEscapeButton(StandardButtonOf(buttons[0]));
    box.exec();
    QAbstractButton* pClicked = box.clickedButton();
    for (int nResult : buttons)
        if (pClicked && pClicked == box.button(StandardButtonOf(nResult)))
            return nResult;
    return buttons.size() == 1 ? buttons[0] : IDCANCEL;
}

}  // namespace

int MessageBox(QWidget* pParent, const QString& strText, unsigned nType) {
    return ShowBox(MessageBoxRequest{pParent, strText, nType, 0, QString()});
}

int MessageBox(QWidget* pParent, unsigned nStringId, unsigned nType) {
    return ShowBox(MessageBoxRequest{pParent, QString::fromUtf8(LoadString(nStringId)), nType, nStringId, QString()});
}

int MessageBox(QWidget* pParent, const QString& strText, const QString& strCaption, unsigned nType) {
    return ShowBox(MessageBoxRequest{pParent, strText, nType, 0, strCaption});
}

CScopedMessageBoxHook::CScopedMessageBoxHook(AnswerFunction answer)
    : m_answer(std::move(answer)), m_pPrevious(CurrentHook()) {
    CurrentHook() = this;
}

CScopedMessageBoxHook::~CScopedMessageBoxHook() { CurrentHook() = m_pPrevious; }

int CScopedMessageBoxHook::Answer(const MessageBoxRequest& request) {
    m_requests.push_back(request);
    return m_answer ? m_answer(request) : FirstButton(request.nType);
}

}  // namespace platform
