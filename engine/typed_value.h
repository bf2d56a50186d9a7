// What a person types into a field, checked before anything is stored: the
// programs' cell store, paste, find and replace and formulas, and dbftool
// set, turn typed text into a field's value here, or into a refusal that
// says why. The engine's own conversions (WriteFieldValue) stay as lenient
// as the program has always been for callers that rely on them (an
// unparsable date there blanks the field); typed text is held to more.
#pragma once

#include <string>
#include <string_view>

#include "engine/dbf_format.h"
#include "engine/field_value.h"
#include "platform/core/user_locale.h"

namespace dbf {

class CDBFTableDef;

struct TypedTextOptions {
    // The conventions the text was typed in; null: CUserLocale::Current().
    const platform::CUserLocale* pLocale = nullptr;
    // The encoding of whole text ("UTF-8", "CP932"; see
    // platform::TableCodePages::WholeTextEncoding) when the table's text is
    // not single-byte: text too long for a C field is then cut at a character
    // boundary. Empty for single-byte text, which is cut at the width.
    std::string strWholeText;
};

struct TypedValue {
    FieldValue value;      // what to store with SetFieldValue, when accepted
    std::string strError;  // why the text was refused; empty when accepted
    bool IsRefused() const { return !strError.empty(); }
};

// The value for a field of this descriptor from text typed in the table's
// code page (the caller has already turned the user's characters into the
// table's bytes):
//   C and other text letters: the text, cut to the field's width;
//   N, F: a number by the locale, stored rounded as the decimal number it
//         spells (half away from zero); refused when not a number or too wide;
//   D: a date in the locale's form, YYYYMMDD or YYYY-MM-DD; T the same with an
//      optional time; anything else, or a day the calendar lacks, is refused;
//   L: T, Y (true), F, N (false) in any letter case, or True/False;
//   I, Y, B: a number by the locale (Y exactly, to four decimals);
//   M: the text, which becomes the memo;
//   G, P, binary B and the null-flags field: refused (nothing can be typed).
// Only blanks give the field's blank (Null: spaces for N, F, L; Empty for D
// and T, which leaves spaces, or zero bytes in a T field; zeros for I, Y, B).
TypedValue ValueFromTypedText(const DBFFieldDesc& desc, std::string_view strText, const TypedTextOptions& options = {});

// Whether field nField of the open table can be written at all. False, with
// the reason in *pstrWhy when given, for binary memo fields (G, P, B not 8
// wide) and the null-flags field, for memo fields of a table whose memo file
// is not open or whose reference has no room for a block number, and for
// tables opened read only or salvaged.
bool CanWriteField(const CDBFTableDef& table, int nField, std::string* pstrWhy = nullptr);

}  // namespace dbf
