// The window placements Peekrow keeps between runs ("MainFrame" and
// "MDIFrame", value "Placement"): the platform's 44-byte placement record,
// read and written as 32-bit little-endian numbers whatever the machine, and
// the rule that decides whether a stored one may be used.
//
// A stored value is trusted only as far as it can be checked: its length
// field must say 44, and its normal rectangle, cut to the part of the screen
// the window may use (the MDI area for a table window), must still hold a
// title bar the user can reach and drag. Anything else gives the default
// position. A window stored hidden or minimised comes back shown normally, so
// no window is ever lost off screen or in the task bar.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace viewer {

// Show commands of the record.
enum ShowCommand : uint32_t {
    SW_HIDE = 0,
    SW_SHOWNORMAL = 1,
    SW_SHOWMINIMIZED = 2,
    SW_SHOWMAXIMIZED = 3,
    SW_SHOWNOACTIVATE = 4,
    SW_SHOW = 5,
    SW_MINIMIZE = 6,
    SW_SHOWMINNOACTIVE = 7,
    SW_SHOWNA = 8,
    SW_RESTORE = 9,
    SW_SHOWDEFAULT = 10,
    SW_FORCEMINIMIZE = 11,
};

// Flags of the record.
enum PlacementFlags : uint32_t {
    WPF_SETMINPOSITION = 0x1,
    WPF_RESTORETOMAXIMIZED = 0x2,
};

struct PlacementPoint {
    int32_t x = -1;
    int32_t y = -1;
};

// Left, top, right and bottom; right and bottom are outside the rectangle.
struct PlacementRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;

    int64_t Width() const { return int64_t(right) - left; }
    int64_t Height() const { return int64_t(bottom) - top; }
    bool IsEmpty() const { return Width() <= 0 || Height() <= 0; }
};

constexpr size_t kPlacementBytes = 44;

// The record: length, flags, show command, minimised position, maximised
// position, normal rectangle (the rectangle of the window when neither
// minimised nor maximised, in screen or MDI-area coordinates).
struct WindowPlacement {
    uint32_t nLength = kPlacementBytes;
    uint32_t nFlags = 0;
    uint32_t nShowCmd = SW_SHOWNORMAL;
    PlacementPoint ptMinPosition;
    PlacementPoint ptMaxPosition;
    PlacementRect rcNormalPosition;

    bool IsMaximized() const { return nShowCmd == SW_SHOWMAXIMIZED; }
};

// The record of a window as it is now.
WindowPlacement MakePlacement(const PlacementRect& rcNormal, bool bMaximized, bool bMinimized = false);

// The 44 bytes to store; the length field always says 44.
std::array<uint8_t, kPlacementBytes> BuildPlacement(const WindowPlacement& placement);
// The record in stored bytes: nothing unless there are exactly 44 bytes and
// the length field says 44.
std::optional<WindowPlacement> ParsePlacement(const void* pBytes, size_t nBytes);

// Hidden, minimised and unknown show commands (0, 2, 6, 7, 11 and anything
// above 11) become normal; the others are kept.
uint32_t RestoredShowCommand(uint32_t nShowCmd);

// How much of a window must stay on the screen for its title bar to be
// reachable: a strip this high and this wide (each at most the whole area).
struct PlacementReach {
    int nTitleHeight = 24;
    int nMinWidth = 48;
};

// The placement to apply from a stored record, with its show command
// restored and its normal rectangle cut to rcAvailable; nothing when the
// rectangle is empty or inverted, or when what is left of it on rcAvailable
// is too small to reach its title bar. An empty rcAvailable refuses all.
std::optional<WindowPlacement> UsablePlacement(const WindowPlacement& stored, const PlacementRect& rcAvailable,
                                               const PlacementReach& reach = {});

// ParsePlacement and UsablePlacement in one: what a window applies when it
// reads its stored value, or nothing for the default position.
std::optional<WindowPlacement> ReadStoredPlacement(const void* pBytes, size_t nBytes, const PlacementRect& rcAvailable,
                                                   const PlacementReach& reach = {});

}  // namespace viewer
