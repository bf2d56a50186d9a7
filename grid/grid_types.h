// The values that pass between the grid engine, its data source and its owner
// window: cell values, formats and styles, the grid's style bits, its
// notifications, and the key, mouse and scroll codes the engine reacts to.
// Every numeric value here is stored or exchanged somewhere, so none changes.
#pragma once

#include <cstdint>
#include <string>

#include "platform/ui/draw_context.h"
#include "platform/ui/draw_types.h"
#include "platform/ui/font.h"
#include "platform/ui/system_metrics.h"

// Row indexes and vertical pixel positions are 64-bit: a table can hold
// billions of records and a few hundred million rows of 20 pixels already
// pass 2^32 pixels.
using GridRow = int64_t;
using GridPos = int64_t;

// Style bits of the owner window that the engine reads.
enum GridStyleBits : uint32_t {
    GS_CELLCOLOURBORDERS = 0x0001,    // borders in the cells' background colours
    GS_ROWSELECT = 0x0002,            // the current row is shown selected and framed
    GS_FLATHEADERS = 0x0004,          // headers drawn flat with 3-D edges
    GS_FIXEDHEADERHEIGHT = 0x0008,    // header height not taken from the font
    GS_FIXEDROWHEADERWIDTH = 0x0010,  // row-header width not taken from the font; the user may drag it
    GS_MULTISELECT = 0x0020,          // rectangular blocks of cells can be selected
};

// Window style bits the engine looks at beside its own.
enum WindowStyleBits : uint32_t {
    WS_HSCROLL = 0x00100000,  // the window shows its horizontal scroll bar
    WS_VSCROLL = 0x00200000,  // the window shows its vertical scroll bar
    WS_CHILD = 0x40000000,
};

// Notifications sent or posted to the owner window's parent.
enum GridNotification : unsigned {
    WM_GRID_CURCELLCHANGED = 0x785,  // wParam owner window, sent
    WM_GRID_COLRESIZED = 0x786,      // wParam owner window, sent
    WM_GRID_CELLCOMMITTED = 0x787,   // wParam data column, lParam data row, sent
    WM_GRID_ROWCOUNT = 0x788,        // wParam owner window, lParam new row count, posted
    WM_GRID_FOCUSIN = 0x789,         // the grid view posts it to itself
    WM_GRID_SELCHANGED = 0x78A,      // wParam owner window, sent
};

// Virtual key codes.
enum GridKey : int {
    VK_BACK = 0x08,
    VK_TAB = 0x09,
    VK_RETURN = 0x0D,
    VK_SHIFT = 0x10,
    VK_CONTROL = 0x11,
    VK_MENU = 0x12,
    VK_ESCAPE = 0x1B,
    VK_SPACE = 0x20,
    VK_PRIOR = 0x21,
    VK_NEXT = 0x22,
    VK_END = 0x23,
    VK_HOME = 0x24,
    VK_LEFT = 0x25,
    VK_UP = 0x26,
    VK_RIGHT = 0x27,
    VK_DOWN = 0x28,
    VK_INSERT = 0x2D,
    VK_DELETE = 0x2E,
    VK_PACKET = 0xE7,  // a typed character that has no key code of its own
};

// Mouse message flags.
enum GridMouseFlags : unsigned {
    MK_LBUTTON = 0x0001,
    MK_RBUTTON = 0x0002,
    MK_SHIFT = 0x0004,
    MK_CONTROL = 0x0008,
    MK_MBUTTON = 0x0010,
};

// Scroll bars and scroll codes.
enum GridScrollBar : int { SB_HORZ = 0, SB_VERT = 1 };
enum GridScrollCode : int {
    SB_LINEUP = 0,
    SB_LINELEFT = 0,
    SB_LINEDOWN = 1,
    SB_LINERIGHT = 1,
    SB_PAGEUP = 2,
    SB_PAGELEFT = 2,
    SB_PAGEDOWN = 3,
    SB_PAGERIGHT = 3,
    SB_THUMBPOSITION = 4,
    SB_THUMBTRACK = 5,
    SB_TOP = 6,
    SB_LEFT = 6,
    SB_BOTTOM = 7,
    SB_RIGHT = 7,
    SB_ENDSCROLL = 8,
    SB_NOCHANGE = 0xFF,  // in OnScroll: this axis does not move
};

// The client-area hit code of a set-cursor request.
constexpr int HTCLIENT = 1;

// Cursor shapes the engine asks its owner for.
enum GridCursor : int {
    IDC_ARROW = 32512,
    IDC_SIZEWE = 32644,
    IDC_COLUMNRESIZE = 134,  // the program's own column-resize cursor
};

// Image kinds of a column's cells.
enum GridImageKind : int { GIK_NONE = 0, GIK_BITMAP = 1, GIK_ICON = 2, GIK_IMAGELIST = 4 };

// Editor kinds of a column.
enum GridEditorKind : int { GEK_NONE = 0, GEK_EDIT = 1, GEK_CHECK = 2, GEK_COMBO = 3 };

// A cell's value: its text, and an integer that is the check state or list
// item data of a cell (-1 for none), or the text-drawing flags of a header.
struct GridCellValue {
    std::string strText;
    int nValue = -1;
};

// How a cell is drawn: text flags, frame-control kind (0: plain text) and
// state, image kind.
struct GridCellFormat {
    unsigned nTextFlags = 0;
    unsigned nFrameKind = 0;
    unsigned nFrameState = 0;
    int nImageKind = GIK_NONE;
};

// The frame drawn around the current cell (and the current row): a solid
// one-pixel rectangle in the second colour, or a dotted focus rectangle of
// the second colour over the first.
struct GridFocusFrame {
    platform::Color clrFirst = 0;
    platform::Color clrSecond = 0;
    bool bSolid = true;
};

struct GridCellStyle {
    platform::Color clrBack = 0;
    platform::Color clrText = 0;
    platform::Color clrCurrentBack = 0;
    platform::Color clrCurrentText = 0;
    platform::Color clrSelectedBack = 0;
    platform::Color clrSelectedText = 0;
    platform::Color clrLeftLine = 0;
    platform::Color clrTopLine = 0;
    platform::Color clrRightLine = 0;
    platform::Color clrBottomLine = 0;
    bool bInsetLines = false;
    GridFocusFrame focusFrame;
    const platform::CFont* pCurrentFont = nullptr;  // none: the grid font
    const platform::CFont* pFont = nullptr;

    // The default style, from the system colours as they are now.
    static GridCellStyle FromSystem();
};
