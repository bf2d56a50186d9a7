// The toolbar pictures of both programs, drawn by the program itself on a
// 16-unit grid and rendered at 16, 24, 32 and 48 pixels: the framework's
// commands by id, and the pictures of the programs' own commands by kind.
// The accent colour is each program's own (the save disk, the magnifier's
// glass, the filter, the about sign).
#pragma once

#include <QColor>
#include <QIcon>

namespace platform {

enum class ToolbarPicture { dosScreen, filter };

// New, Open, Save, Print Preview, Print, Cut, Copy, Paste, Find and About by
// their command ids; a null icon for any other id.
QIcon StandardToolbarIcon(unsigned nId, const QColor& clrAccent);
QIcon ToolbarPictureIcon(ToolbarPicture ePicture, const QColor& clrAccent);

}  // namespace platform
