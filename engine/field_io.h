// Conversion between a field's bytes inside a record buffer and a FieldValue,
// by the field's type letter. Everything that reads or writes a field goes
// through these two functions: the record cursors, sorting, saving,
// exporting, the code-page conversion and the restructure copy. Memo fields
// are handled only as the reference stored in the record.
#pragma once

#include <cstdint>
#include <span>

#include "engine/dbf_format.h"
#include "engine/field_value.h"
#include "platform/core/user_locale.h"

namespace dbf {

// Reads the field at desc's displacement from the record and returns the
// field's width (the record-layout width of the descriptor). A Bytes value
// (null-flags fields wider than four bytes) points into the record.
// Raises CDBFException(errNotDbfFile) when the field does not lie inside the
// record, so that a damaged descriptor can never read outside the buffer.
uint32_t ReadFieldValue(std::span<const uint8_t> record, const DBFFieldDesc& desc, FieldValue& value);

// Writes a copy of the value, coerced to the field's kind, into the field at
// desc's displacement; the caller's value is not changed. The value is fully
// converted before any byte is written, so a value that is refused
// (platform::CConversionError) leaves the field as it was. Numbers too wide
// for an N or F field are stored with fewer decimals when their whole part
// fits and refused otherwise, never cut into another number. Raises
// CDBFException(errNotDbfFile) when the field does not lie inside the record.
void WriteFieldValue(std::span<uint8_t> record, const DBFFieldDesc& desc, const FieldValue& value,
                     const platform::CUserLocale& locale = platform::CUserLocale::Current());

// The block a memo reference read from a field names (0: no memo), and the
// stored length of an .SMT reference in *pnLength (0 for the others).
uint32_t MemoBlockOf(const FieldValue& ref, uint32_t* pnLength = nullptr);

}  // namespace dbf
