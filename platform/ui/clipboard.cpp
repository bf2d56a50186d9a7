// Plain text on QClipboard.
#include "platform/ui/clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace platform {

namespace {

QClipboard* Clipboard() {
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr)
        return nullptr;
    return QGuiApplication::clipboard();
}

}  // namespace

bool SetClipboardText(std::string_view strText, const CTextCodec& codec) {
    QClipboard* pClipboard = Clipboard();
    if (strText.empty() || !pClipboard)
        return false;
    pClipboard->setText(codec.ToUnicode(strText), QClipboard::Clipboard);
    return true;
}

bool GetClipboardText(std::string& strText, const CTextCodec& codec) {
    QClipboard* pClipboard = Clipboard();
    if (!pClipboard)
        return false;
    const QMimeData* pData = pClipboard->mimeData(QClipboard::Clipboard);
    if (!pData || !pData->hasText())
        return false;
    strText = codec.FromUnicode(pData->text());
    return true;
}

bool IsClipboardTextAvailable() {
    QClipboard* pClipboard = Clipboard();
    if (!pClipboard)
        return false;
    const QMimeData* pData = pClipboard->mimeData(QClipboard::Clipboard);
    return pData && pData->hasText();
}

}  // namespace platform
