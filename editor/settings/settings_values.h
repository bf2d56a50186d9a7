// The values both settings files share and how they read: open modes, the
// code-page choice, date formats (string resources 59421-59423, "label\n
// pattern"), true and false.
#pragma once

#include <string>
#include <string_view>

namespace tabulon {

// File-open modes of a table, as the file layer takes them.
enum OpenMode : unsigned {
    kOpenReadOnly = 64,    // "ReadOnly": read only, others may read and write
    kOpenReadWrite = 66,   // "ReadWrite": read and write, others may read and write
    kOpenExclusive = 18,   // "LockFile": read and write, no other opener
};

enum class CodePageSetting { dos, win, automatic };

// Each date format is the id of its string resource.
enum class DateFormat : unsigned { ansi = 59421, usa = 59422, euro = 59423 };

// Registers the date-format texts; the functions below do it themselves.
void RegisterSettingsStrings();

// "TRUE" in any letter case is true; everything else false.
bool IsTrue(std::string_view strValue);
// "True" / "False", as settings are written.
const char* TrueFalseValue(bool b);

// "READWRITE" gives 66, "LOCKFILE" 18, anything else 64.
unsigned OpenModeFromValue(std::string_view strValue);
// "ReadOnly", "ReadWrite" or "LockFile" (64 for any mode but 66 and 18).
const char* OpenModeValue(unsigned nMode);

// "DOS", "WIN", anything else automatic.
CodePageSetting CodePageFromValue(std::string_view strValue);
// "DOS", "WIN" or "Auto".
const char* CodePageValue(CodePageSetting eCodePage);

// "ANSI" and "USA" select theirs, any other value "EURO".
DateFormat DateFormatFromValue(std::string_view strValue);
// "ANSI", "USA" or "EURO".
const char* DateFormatValue(DateFormat eFormat);
// The label shown in the list ("dd.mm.yyyy") and the strftime pattern ("%d.%m.%Y").
std::string DateFormatLabel(DateFormat eFormat);
std::string DateFormatPattern(DateFormat eFormat);

}  // namespace tabulon
