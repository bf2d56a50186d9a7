// The link control.
#include "platform/ui/link_static.h"

#include <QApplication>
#include <QDesktopServices>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>
#include <QUrl>

#include "platform/ui/message_box.h"

namespace platform {

namespace {

// The desktop's way: a handler for the address's scheme opens it.
int OpenWithDesktop(const QString& strUrl) {
    // 33 and 31: the shell's "done" and "no application associated".
    return QDesktopServices::openUrl(QUrl(strUrl)) ? 33 : 31;
}

}  // namespace

CLinkStatic::CLinkStatic(const QString& strText, QWidget* pParent) : QLabel(strText, pParent) { Attach(); }

void CLinkStatic::Attach() {
    m_clrHover = QApplication::palette().color(QPalette::Highlight);
    if (m_strUrl.isEmpty())
        m_strUrl = text();
    else if (text().isEmpty())
        setText(m_strUrl);
    setCursor(Qt::PointingHandCursor);
    setToolTip(m_strUrl);
    setFocusPolicy(Qt::TabFocus);
    SetUnderline(m_bUnderline);
}

void CLinkStatic::ResizeToText() {
    QSize size = fontMetrics().size(Qt::TextSingleLine, text());
    setFixedSize(size);
}

void CLinkStatic::SetURL(const QString& strUrl) {
    m_strUrl = strUrl;
    if (text().isEmpty())
        setText(strUrl);
    setToolTip(m_strUrl);
    ResizeToText();
}

void CLinkStatic::SetVisited(bool bVisited) {
    m_bVisited = bVisited;
    update();
}

void CLinkStatic::SetUnderline(bool bUnderline) {
    m_bUnderline = bUnderline;
    QFont font = this->font();
    font.setUnderline(bUnderline);
    setFont(font);
    ResizeToText();
}

QColor CLinkStatic::GetTextColor() const {
    if (m_bHovering)
        return m_clrHover;
    return m_bVisited ? m_clrVisited : m_clrLink;
}

void CLinkStatic::enterEvent(QEnterEvent* pEvent) {
    m_bHovering = true;
    update();
    QLabel::enterEvent(pEvent);
}

void CLinkStatic::leaveEvent(QEvent* pEvent) {
    m_bHovering = false;
    update();
    QLabel::leaveEvent(pEvent);
}

void CLinkStatic::mouseReleaseEvent(QMouseEvent* pEvent) {
    if (pEvent->button() == Qt::LeftButton && rect().contains(pEvent->position().toPoint()))
        OpenLink();
    QLabel::mouseReleaseEvent(pEvent);
}

void CLinkStatic::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setFont(font());
    painter.setPen(GetTextColor());
    painter.drawText(rect(), int(alignment()) | Qt::TextSingleLine, text());
}

void CLinkStatic::OpenLink() {
    int nResult = OpenWithDesktop(m_strUrl);
    if (nResult > 32) {
        SetVisited(true);
        return;
    }
    QApplication::beep();
    MessageBox(this, QStringLiteral("Unable to open hyperlink:\n\n") + ReasonText(nResult), MB_OK | MB_ICONWARNING);
}

QString CLinkStatic::ReasonText(int nResult) {
    switch (nResult) {
    case 0: return QStringLiteral("The operating system is out\nof memory or resources.");
    case 2: return QStringLiteral("The specified file was not found.");
    case 3: return QStringLiteral("The specified path was not found.");
    case 5: return QStringLiteral("The operating system denied\naccess to the specified file.");
    case 8: return QStringLiteral("There was not enough memory to complete the operation.");
    case 11: return QStringLiteral("The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image).");
    case 26: return QStringLiteral("A sharing violation occurred. ");
    case 27: return QStringLiteral("The filename association is\nincomplete or invalid.");
    case 28: return QStringLiteral("The DDE transaction could not\nbe completed because the request timed out.");
    case 29: return QStringLiteral("The DDE transaction failed.");
    case 30: return QStringLiteral("The DDE transaction could not\nbe completed because other DDE transactions\nwere being processed.");
    case 31: return QStringLiteral("There is no application associated\nwith the given filename extension.");
    case 32: return QStringLiteral("The specified dynamic-link library was not found.");
    default: return QStringLiteral("Unknown Error (%1) occurred.").arg(nResult);
    }
}


}  // namespace platform
