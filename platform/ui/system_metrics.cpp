// System colours and metrics from the application's palette and style: the
// desktop theme decides them, exactly as the user sees other windows.
#include "platform/ui/system_metrics.h"

#include <QApplication>
#include <QPalette>
#include <QStyle>

namespace platform {

namespace {

Color FromQColor(const QColor& c) { return Rgb(c.red(), c.green(), c.blue()); }

QStyle* AppStyle() {
    // Styles exist only in a widget application; a bare GUI application (a
    // command-line renderer) falls back to the built-in numbers.
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr)
        return nullptr;
    return QApplication::style();
}

}  // namespace

Color GetSysColor(int nIndex) {
    const QPalette pal = QGuiApplication::palette();
    switch (nIndex) {
    case COLOR_WINDOW:
        return FromQColor(pal.color(QPalette::Active, QPalette::Base));
    case COLOR_WINDOWFRAME:
        return FromQColor(pal.color(QPalette::Active, QPalette::Shadow));
    case COLOR_WINDOWTEXT:
        return FromQColor(pal.color(QPalette::Active, QPalette::Text));
    case COLOR_HIGHLIGHT:
        return FromQColor(pal.color(QPalette::Active, QPalette::Highlight));
    case COLOR_HIGHLIGHTTEXT:
        return FromQColor(pal.color(QPalette::Active, QPalette::HighlightedText));
    case COLOR_BTNFACE:
        return FromQColor(pal.color(QPalette::Active, QPalette::Button));
    case COLOR_BTNSHADOW:
        return FromQColor(pal.color(QPalette::Active, QPalette::Dark));
    case COLOR_GRAYTEXT:
        return FromQColor(pal.color(QPalette::Disabled, QPalette::Text));
    case COLOR_BTNTEXT:
        return FromQColor(pal.color(QPalette::Active, QPalette::ButtonText));
    case COLOR_BTNHIGHLIGHT:
        return FromQColor(pal.color(QPalette::Active, QPalette::Light));
    case COLOR_3DDKSHADOW:
        return FromQColor(pal.color(QPalette::Active, QPalette::Shadow));
    case COLOR_3DLIGHT:
        return FromQColor(pal.color(QPalette::Active, QPalette::Midlight));
    default:
        return 0;
    }
}

int GetSystemMetrics(int nIndex) {
    QStyle* pStyle = AppStyle();
    switch (nIndex) {
    case SM_CXVSCROLL:
    case SM_CYHSCROLL:
        return pStyle ? pStyle->pixelMetric(QStyle::PM_ScrollBarExtent) : 16;
    case SM_CXEDGE:
    case SM_CYEDGE:
        return 2;
    default:
        return 0;
    }
}

unsigned GetWheelScrollLines() {
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr)
        return 3;
    int n = QApplication::wheelScrollLines();
    return n > 0 ? static_cast<unsigned>(n) : 1u;
}

}  // namespace platform
