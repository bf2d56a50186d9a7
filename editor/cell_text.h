// What a cell of a table shows, and what a typed text stores: the one place
// where field values become the texts of the grid, of Copy, of Find and of
// the filter, and where typed texts (by the editor, Paste, Replace and the
// formulas) become field values. Texts are single-byte, in the display code
// page (the view converts DOS text on either side).
#pragma once

#include <string>

#include "engine/field_value.h"
#include "engine/table_def.h"

namespace cell_text {

// The text of a value of a field: numbers as "%d" and "%.<decimals>f" with a
// full stop whatever the locale, currency by the user's locale, dates by the
// pattern (date-times with " %H:%M:%S"), logicals "TRUE"/"FALSE", memo
// references as "0x" and hexadecimal digits, binary data as " 4F 2A ...",
// nothing for an empty value.
std::string FormatValue(const dbf::FieldValue& value, const dbf::DBFFieldInfo& field, int32_t nDataLength,
                        const std::string& strDatePattern);

// A typed text for a field, or the reason it is refused. An empty text blanks
// the field (0 for numbers, as the original program stored it).
struct TypedValue {
    bool bOk = false;
    dbf::FieldValue value;
    std::string strError;  // UTF-8, for a message box
};
TypedValue ParseTypedText(const std::string& strText, const dbf::DBFFieldInfo& field);

// "T", "Y", "YES", "TRUE" and the two Russian words for yes and true in
// Windows-1251 are true, compared on the first ten characters trimmed and
// upper-cased; everything else false.
bool IsTrueText(const std::string& strText);

}  // namespace cell_text
