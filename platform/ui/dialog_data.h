// Checks of the values a user types into a dialog's edits. A value that
// fails its check is reported with the same message box whichever dialog
// asked, and the edit gets the focus back with its text selected, so the
// user can type the value again at once.
#pragma once

class QWidget;

namespace platform {

// String id of "Enter an integer between %d and %d."
inline constexpr unsigned IDS_DDV_INT_RANGE = 61714;

// True when nMin <= nValue <= nMax. Otherwise the range message is shown
// over pEdit's window and pEdit (when it is given) takes the focus back.
bool DDV_MinMaxInt(QWidget* pEdit, int nValue, int nMin, int nMax);

// Registers the texts of these checks (DDV_MinMaxInt does it itself).
void RegisterDialogDataStrings();

}  // namespace platform
