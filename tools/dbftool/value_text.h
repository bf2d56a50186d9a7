// The text dbftool shows for a field value that is not table text: numbers
// in their shortest exact form, currency with four decimals, dates as
// yyyy-mm-dd (with the time for T fields), logicals as true or false, null
// flags as their number. dump writes it as JSON; the --filter option
// searches it.
#pragma once

#include <cstddef>
#include <cstdint>
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

// A D field straight from its bytes when they are eight digits: true with
// text "yyyy-mm-dd", or true with empty text when they name no day (Empty,
// as the record cursor reads them); false when the bytes are anything else
// and the value must be read the long way. Saves the calendar arithmetic of
// a date value for every record of a dump or a filter.
bool FormatDateDigits(const uint8_t* p, size_t nWidth, char* pBuffer, std::string_view& text);

}  // namespace dbftool
