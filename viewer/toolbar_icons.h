// Peekrow's icons, drawn by the program itself: the program's icon and the
// toolbar buttons by command id.
#pragma once

#include <QIcon>

QIcon PeekrowIcon();
QIcon ToolbarIcon(unsigned nId);
