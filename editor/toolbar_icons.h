// Tabulon's icons, drawn by the program itself: the program's icon and the
// toolbar buttons by command id.
#pragma once

#include <QIcon>

#include "platform/core/vector_icon.h"

// The program's icon as a drawing: the window icon, the about box's picture
// and the icon files installed for the desktop all come from it.
platform::VectorIcon TabulonIconDrawing();
QIcon TabulonIcon();
QIcon ToolbarIcon(unsigned nId);
