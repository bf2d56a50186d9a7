// The two window placements Peekrow keeps in its settings: "MainFrame" and
// "MDIFrame", each a 44-byte "Placement" value in the application's profile
// store, read through the rules of viewer/settings/window_placement.h.
#pragma once

#include <optional>
#include <string>

#include <QRect>

#include "viewer/settings/window_placement.h"

inline constexpr char kMainFrameSection[] = "MainFrame";
inline constexpr char kMdiFrameSection[] = "MDIFrame";
inline constexpr char kPlacementKey[] = "Placement";

// The stored placement of a section, usable on rcAvailable (the screen's
// available area, or the MDI area for a table window), or nothing: no
// value, a value of another length, or a rectangle the user could not reach.
std::optional<viewer::WindowPlacement> ReadWindowPlacement(const std::string& strSection, const QRect& rcAvailable);

// Stores a window's placement: its normal rectangle and whether it is
// maximised or minimised now. False when the store refused it.
bool WriteWindowPlacement(const std::string& strSection, const QRect& rcNormal, bool bMaximized, bool bMinimized);

// Conversions between Qt's rectangles and the record's (right and bottom
// outside the rectangle).
viewer::PlacementRect ToPlacementRect(const QRect& rc);
QRect FromPlacementRect(const viewer::PlacementRect& rc);
