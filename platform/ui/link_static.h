// CLinkStatic: a text that opens a link (a web address, a "mailto:" address)
// when clicked: link colours (unvisited, visited, hovered), an underlined
// font, the pointing-hand cursor, the address as its tooltip, and a warning
// with the reason when the link cannot be opened. Both about boxes use it.
#pragma once


#include <QColor>
#include <QLabel>

namespace platform {

class CLinkStatic : public QLabel {
    Q_OBJECT
public:
    explicit CLinkStatic(const QString& strText = QString(), QWidget* pParent = nullptr);

    // The address opened; when empty the text is the address, and a control
    // without text shows its address.
    void SetURL(const QString& strUrl);
    QString GetURL() const { return m_strUrl; }
    void SetVisited(bool bVisited);
    bool IsVisited() const { return m_bVisited; }
    bool IsHovering() const { return m_bHovering; }
    void SetUnderline(bool bUnderline);
    // The colour the text is drawn in now.
    QColor GetTextColor() const;

    // Opens the link as a click does.
    void OpenLink();

    // The warning's reason for a shell result.
    static QString ReasonText(int nResult);

    QColor m_clrLink{0, 0, 238};
    QColor m_clrVisited{85, 26, 139};
    QColor m_clrHover;

protected:
    void enterEvent(QEnterEvent* pEvent) override;
    void leaveEvent(QEvent* pEvent) override;
    void mouseReleaseEvent(QMouseEvent* pEvent) override;
    void paintEvent(QPaintEvent* pEvent) override;

private:
    void Attach();
    void ResizeToText();

    QString m_strUrl;
    bool m_bVisited = false;
    bool m_bHovering = false;
    bool m_bUnderline = true;
};

}  // namespace platform
