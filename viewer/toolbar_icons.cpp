// Peekrow's icons: its own drawing, and its toolbar in its teal.
#include "viewer/toolbar_icons.h"

#include "platform/ui/toolbar_icons.h"
#include "platform/ui/vector_icon_painter.h"
#include "viewer/ui/peekrow_icon.h"
#include "viewer/viewer_ids.h"

namespace {

const QColor kTeal(20, 130, 140);

}  // namespace

QIcon PeekrowIcon() {
    // The drawing the desktop's icon files are rendered from.
    static const QIcon s_icon = platform::VectorIconToQIcon(PeekrowIconDrawing());
    return s_icon;
}

QIcon ToolbarIcon(unsigned nId) {
    if (nId == ID_VIEW_CODEPAGE_DOS)
        return platform::ToolbarPictureIcon(platform::ToolbarPicture::dosScreen, kTeal);
    return platform::StandardToolbarIcon(nId, kTeal);
}
