// Peekrow's icon as a drawing, in the style of Tabulon's: a sheet of records
// under a magnifier. The window icon (platform::VectorIconToQIcon of it) and
// the icon files installed for the desktop come from this one drawing.
#pragma once

#include "platform/core/vector_icon.h"

platform::VectorIcon PeekrowIconDrawing();
