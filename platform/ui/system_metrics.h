// System colours, metrics and settings by their numeric indexes, read from the
// desktop's palette and style, so the grid and the dialogs take the user's
// theme without knowing where it comes from.
#pragma once

#include "platform/ui/draw_types.h"

namespace platform {

// Colour indexes (the numbering the programs' styles and settings use).
enum SysColorIndex : int {
    COLOR_WINDOW = 5,
    COLOR_WINDOWFRAME = 6,
    COLOR_WINDOWTEXT = 8,
    COLOR_HIGHLIGHT = 13,
    COLOR_HIGHLIGHTTEXT = 14,
    COLOR_BTNFACE = 15,
    COLOR_BTNSHADOW = 16,
    COLOR_GRAYTEXT = 17,
    COLOR_BTNTEXT = 18,
    COLOR_BTNHIGHLIGHT = 20,
    COLOR_3DDKSHADOW = 21,
    COLOR_3DLIGHT = 22,
};

// Metric indexes.
enum SysMetricIndex : int {
    SM_CXVSCROLL = 2,   // width of a vertical scroll bar
    SM_CYHSCROLL = 3,   // height of a horizontal scroll bar
    SM_CXEDGE = 45,
    SM_CYEDGE = 46,
};

// The colour for an index; black for an index the desktop does not define.
Color GetSysColor(int nIndex);

// The metric for an index, in pixels; 0 for an unknown index.
int GetSystemMetrics(int nIndex);

// Lines scrolled per wheel notch; kWheelPageScroll means a page per notch.
constexpr unsigned kWheelPageScroll = 0xFFFFFFFFu;
unsigned GetWheelScrollLines();

}  // namespace platform
