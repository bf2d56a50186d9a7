// The placement record's bytes and the rule that accepts a stored one.
#include "viewer/settings/window_placement.h"

#include <algorithm>

#include "platform/core/byte_order.h"

namespace viewer {

namespace {

int32_t GetInt(const uint8_t* p) { return int32_t(platform::GetLE32(p)); }
void PutInt(uint8_t* p, int32_t n) { platform::PutLE32(p, uint32_t(n)); }

}  // namespace

WindowPlacement MakePlacement(const PlacementRect& rcNormal, bool bMaximized, bool bMinimized) {
    WindowPlacement placement;
    placement.rcNormalPosition = rcNormal;
    if (bMinimized) {
        placement.nShowCmd = SW_SHOWMINIMIZED;
        // Restoring a window that was maximised before it was minimised
        // brings it back maximised.
        if (bMaximized) placement.nFlags |= WPF_RESTORETOMAXIMIZED;
    } else {
        placement.nShowCmd = bMaximized ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL;
    }
    return placement;
}

std::array<uint8_t, kPlacementBytes> BuildPlacement(const WindowPlacement& placement) {
    std::array<uint8_t, kPlacementBytes> bytes{};
    uint8_t* p = bytes.data();
    platform::PutLE32(p, uint32_t(kPlacementBytes));
    platform::PutLE32(p + 4, placement.nFlags);
    platform::PutLE32(p + 8, placement.nShowCmd);
    PutInt(p + 12, placement.ptMinPosition.x);
    PutInt(p + 16, placement.ptMinPosition.y);
    PutInt(p + 20, placement.ptMaxPosition.x);
    PutInt(p + 24, placement.ptMaxPosition.y);
    PutInt(p + 28, placement.rcNormalPosition.left);
    PutInt(p + 32, placement.rcNormalPosition.top);
    PutInt(p + 36, placement.rcNormalPosition.right);
    PutInt(p + 40, placement.rcNormalPosition.bottom);
    return bytes;
}

std::optional<WindowPlacement> ParsePlacement(const void* pBytes, size_t nBytes) {
    if (!pBytes || nBytes != kPlacementBytes) return std::nullopt;
    const uint8_t* p = static_cast<const uint8_t*>(pBytes);
    WindowPlacement placement;
    placement.nLength = platform::GetLE32(p);
    if (placement.nLength != kPlacementBytes) return std::nullopt;
    placement.nFlags = platform::GetLE32(p + 4);
    placement.nShowCmd = platform::GetLE32(p + 8);
    placement.ptMinPosition = PlacementPoint{GetInt(p + 12), GetInt(p + 16)};
    placement.ptMaxPosition = PlacementPoint{GetInt(p + 20), GetInt(p + 24)};
    placement.rcNormalPosition = PlacementRect{GetInt(p + 28), GetInt(p + 32), GetInt(p + 36), GetInt(p + 40)};
    return placement;
}

uint32_t RestoredShowCommand(uint32_t nShowCmd) {
    switch (nShowCmd) {
    case SW_SHOWNORMAL:
    case SW_SHOWMAXIMIZED:
    case SW_SHOWNOACTIVATE:
    case SW_SHOW:
    case SW_SHOWNA:
    case SW_RESTORE:
    case SW_SHOWDEFAULT:
        return nShowCmd;
    default:  // hidden, minimised in any of its forms, or no command at all
        return SW_SHOWNORMAL;
    }
}

std::optional<WindowPlacement> UsablePlacement(const WindowPlacement& stored, const PlacementRect& rcAvailable,
                                               const PlacementReach& reach) {
    const PlacementRect& rc = stored.rcNormalPosition;
    if (rcAvailable.IsEmpty() || rc.IsEmpty()) return std::nullopt;
    // The part of the window on the available area. A window larger than the
    // area is cut to it; one whose title bar lies above the area has its top
    // brought down onto it.
    PlacementRect rcClamped{std::max(rc.left, rcAvailable.left), std::max(rc.top, rcAvailable.top),
                            std::min(rc.right, rcAvailable.right), std::min(rc.bottom, rcAvailable.bottom)};
    const int64_t nNeedHeight = std::min<int64_t>(std::max(reach.nTitleHeight, 1), rcAvailable.Height());
    const int64_t nNeedWidth = std::min<int64_t>(std::max(reach.nMinWidth, 1), rcAvailable.Width());
    if (rcClamped.Height() < nNeedHeight || rcClamped.Width() < nNeedWidth) return std::nullopt;
    WindowPlacement usable = stored;
    usable.nShowCmd = RestoredShowCommand(stored.nShowCmd);
    usable.rcNormalPosition = rcClamped;
    return usable;
}

std::optional<WindowPlacement> ReadStoredPlacement(const void* pBytes, size_t nBytes, const PlacementRect& rcAvailable,
                                                   const PlacementReach& reach) {
    std::optional<WindowPlacement> stored = ParsePlacement(pBytes, nBytes);
    if (!stored) return std::nullopt;
    return UsablePlacement(*stored, rcAvailable, reach);
}

}  // namespace viewer
