// Style bits of the in-place editors' windows. Columns store an editor style
// as one number (a table view creates its number edit with 0x40000082), so the
// bits keep the values those numbers were written with.
#pragma once

#include <cstdint>

// Edit.
enum GridEditStyle : uint32_t {
    ES_LEFT = 0x0000,
    ES_CENTER = 0x0001,
    ES_RIGHT = 0x0002,
    ES_UPPERCASE = 0x0008,
    ES_LOWERCASE = 0x0010,
    ES_AUTOHSCROLL = 0x0080,
    ES_READONLY = 0x0800,
};

// Button (the check box). The low four bits are the button type.
enum GridButtonStyle : uint32_t {
    BS_CHECKBOX = 0x0002,
    BS_AUTOCHECKBOX = 0x0003,
    BS_3STATE = 0x0005,
    BS_AUTO3STATE = 0x0006,
    BS_TYPEMASK = 0x000F,
    BS_LEFTTEXT = 0x0020,
    BS_FLAT = 0x8000,
};

// Combo box. The low two bits are the kind.
enum GridComboStyle : uint32_t {
    CBS_SIMPLE = 0x0001,
    CBS_DROPDOWN = 0x0002,
    CBS_DROPDOWNLIST = 0x0003,
    CBS_KINDMASK = 0x0003,
    CBS_AUTOHSCROLL = 0x0040,
    CBS_SORT = 0x0100,
};

// Check states of a check-box editor and cell values.
enum GridCheckState : int { BST_UNCHECKED = 0, BST_CHECKED = 1, BST_INDETERMINATE = 2 };

// The control identifier of an editable combo box's inner edit.
constexpr int kComboInnerEditId = 1001;
