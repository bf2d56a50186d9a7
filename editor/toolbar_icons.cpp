// Tabulon's icons: its own drawing, and its toolbar in its blue.
#include "editor/toolbar_icons.h"

#include "editor/editor_ids.h"
#include "platform/ui/toolbar_icons.h"
#include "platform/ui/vector_icon_painter.h"

namespace {

const QColor kBlue(40, 100, 190);

}  // namespace

platform::VectorIcon TabulonIconDrawing() {
    // A sheet of records under its header row, and the pencil that edits it.
    const platform::IconColor ink{60, 60, 70}, paper{250, 250, 245}, blue{40, 100, 190}, rule{150, 150, 165};
    const platform::IconColor body{240, 180, 40}, wood{235, 205, 150}, eraser{215, 105, 105};
    platform::VectorIcon icon;
    icon.Rect(1.5, 2.5, 13, 11, &paper, &ink, 0.8)
        .Rect(1.9, 2.9, 12.2, 2.6, &blue, nullptr)
        .Line(1.9, 8, 14.1, 8, rule, 0.7)
        .Line(1.9, 10.75, 14.1, 10.75, rule, 0.7)
        .Line(5.5, 5.5, 5.5, 13.1, rule, 0.7)
        .Line(10, 5.5, 10, 13.1, rule, 0.7)
        .Polygon({13.1, 6.4, 15.3, 8.6, 10.3, 13.6, 8.1, 11.4}, &body, &ink, 0.6)
        .Polygon({13.1, 6.4, 15.3, 8.6, 15.9, 8.0, 13.7, 5.8}, &eraser, &ink, 0.6)
        .Polygon({10.3, 13.6, 8.1, 11.4, 7.2, 14.5}, &wood, &ink, 0.6)
        .Polygon({7.75, 12.95, 8.75, 13.95, 7.2, 14.5}, &ink, nullptr);
    return icon;
}

QIcon TabulonIcon() {
    static const QIcon s_icon = platform::VectorIconToQIcon(TabulonIconDrawing());
    return s_icon;
}

QIcon ToolbarIcon(unsigned nId) {
    switch (nId) {
    case ID_VIEW_CODEPAGE_DOS:
        return platform::ToolbarPictureIcon(platform::ToolbarPicture::dosScreen, kBlue);
    case ID_VIEW_FILTER:
        return platform::ToolbarPictureIcon(platform::ToolbarPicture::filter, kBlue);
    default:
        return platform::StandardToolbarIcon(nId, kBlue);
    }
}
