// What a cell of a table shows: the one place where field values become the
// texts of the grid, of Copy, of Find and of the filter. Texts are bytes in
// the display code page (the view converts DOS text). Typed texts become
// values through the engine's dbf::ValueFromTypedText, in the view's cell
// store.
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

}  // namespace cell_text
