// Style bits of the in-place editors' windows. Columns store an editor style
// as one number (a table view creates its number edit with 0x40000082), so the
// bits keep the values those numbers were written with. Plain numbers, so
// they combine with WS_CHILD and each other.
#pragma once

#include <cstdint>

// Edit.
inline constexpr uint32_t ES_LEFT = 0x0000;
inline constexpr uint32_t ES_CENTER = 0x0001;
inline constexpr uint32_t ES_RIGHT = 0x0002;
inline constexpr uint32_t ES_AUTOHSCROLL = 0x0080;  // a Qt edit always scrolls; kept for the numbers
inline constexpr uint32_t ES_READONLY = 0x0800;

// Button (the check box). The low four bits are the button type.
inline constexpr uint32_t BS_CHECKBOX = 0x0002;
inline constexpr uint32_t BS_AUTOCHECKBOX = 0x0003;
inline constexpr uint32_t BS_3STATE = 0x0005;
inline constexpr uint32_t BS_AUTO3STATE = 0x0006;
inline constexpr uint32_t BS_TYPEMASK = 0x000F;
inline constexpr uint32_t BS_FLAT = 0x8000;

// Combo box. The low two bits are the kind.
inline constexpr uint32_t CBS_SIMPLE = 0x0001;
inline constexpr uint32_t CBS_DROPDOWN = 0x0002;
inline constexpr uint32_t CBS_DROPDOWNLIST = 0x0003;
inline constexpr uint32_t CBS_KINDMASK = 0x0003;
inline constexpr uint32_t CBS_SORT = 0x0100;

// Check states of a check-box editor and cell values.
enum GridCheckState : int { BST_UNCHECKED = 0, BST_CHECKED = 1, BST_INDETERMINATE = 2 };

// The control identifier of an editable combo box's inner edit.
constexpr int kComboInnerEditId = 1001;
