// The text dbftool shows for a field value that is not table text: numbers
// in their shortest exact form, currency with four decimals, dates as
// yyyy-mm-dd (with the time for T fields), logicals as true or false, null
// flags as their number. dump writes it as JSON; the --filter option
// searches it.
#pragma once

#include <string_view>

#include "engine/dbf_format.h"
#include "engine/field_value.h"

namespace dbftool {

enum class ScalarForm {
    none,    // no text: Empty, Null, a number JSON cannot express, text and bytes (shown otherwise)
    bare,    // a JSON number or literal
    quoted,  // a JSON string
};

// Formats the value into buffer (at least kScalarBuffer bytes) and points
// text at it.
constexpr size_t kScalarBuffer = 48;
ScalarForm FormatScalar(const dbf::DBFFieldDesc& desc, const dbf::FieldValue& value, char* pBuffer,
                        std::string_view& text);

}  // namespace dbftool
