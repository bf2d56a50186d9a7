// Conversions between text, numbers and booleans the way the Windows
// automation variant coerces them, by an explicit user locale; and the
// locale-independent number conversions used for the bytes of table fields,
// which always use '.' whatever locale the process runs in.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/core/conversion_error.h"
#include "platform/core/user_locale.h"

namespace platform {

// ---- Numbers in field bytes ("C" conventions, never the process locale) ----

// Like strtod in the C locale on at most n bytes: leading white space skipped,
// the longest decimal number at the start taken (sign, digits, '.', exponent),
// 0 when there is none. Too big gives +/-HUGE_VAL, too small 0.
double ParseCDouble(const char* p, size_t n);
// Like strtol in base 10 on at most n bytes, saturating at the int64 limits;
// 0 when there is no number. *pbOverflow (when given) tells whether it saturated.
int64_t ParseCInteger(const char* p, size_t n, bool* pbOverflow = nullptr);
// Like snprintf "%.*f" in the C locale.
std::string FormatFixed(double d, unsigned nDecimals);

// ---- Text and numbers by the user's locale (automation rules) ----

// A number as typed by the user: optional currency symbol, sign, digits with
// thousands separators in groups of three, the decimal separator, an exponent;
// spaces around. Raises CConversionError on anything else, so that "3.14" typed
// where '.' groups thousands is refused rather than read as 314.
double TextToDouble(std::string_view str, const CUserLocale& locale = CUserLocale::Current());
// A number in the C form ("-12.50", as FormatFixed writes it) with its point
// turned into the locale's decimal separator, so that a number typed back as
// it was shown means what it showed; any other text comes back unchanged.
std::string ShownNumberAsTyped(std::string_view str, const CUserLocale& locale = CUserLocale::Current());
// As TextToDouble, then rounded half to even; out of range raises.
int32_t TextToInt32(std::string_view str, const CUserLocale& locale = CUserLocale::Current());
// "True" / "False" in any letter case, or a number (non-zero is true).
bool TextToBool(std::string_view str, const CUserLocale& locale = CUserLocale::Current());

// 15 significant digits, the locale's decimal separator, no grouping,
// exponent form ("1E+20") for very large and very small numbers.
std::string DoubleToText(double d, const CUserLocale& locale = CUserLocale::Current());
std::string Int32ToText(int32_t n);
std::string BoolToText(bool b);  // "True" / "False"

// Rounded half to even; NaN or out of range raises.
int32_t DoubleToInt32(double d);

// A number typed for an N or F field, as the field's bytes will hold it:
// parsed by the locale (TextToDouble's grammar) and rounded as the decimal
// number it spells, half away from zero, to nDecimals places ("1.005" with
// two gives "1.01", which a double would have made 1.00), in the C form of
// field bytes ("-1.01", never a decimal comma). When that is wider than
// nWidth, fewer decimals (rounded again from the text's own digits); when
// even the whole part does not fit, or the text is no number, false with
// the reason in strError.
bool FormatTypedNumber(std::string_view str, unsigned nWidth, unsigned nDecimals, std::string& strOut,
                       std::string& strError, const CUserLocale& locale = CUserLocale::Current());

// ---- Small helpers shared by the conversions ----

namespace detail {
// A decimal number as written: value = digits x 10^exponent, digits without
// leading zeros ("" is zero).
struct DecimalNumber {
    bool bNegative = false;
    std::string strDigits;
    int64_t nExponent = 0;
};
// The number of TextToDouble's grammar; false when the text is not one.
bool ParseLocaleNumber(std::string_view str, const CUserLocale& locale, DecimalNumber& number);
}  // namespace detail

inline bool IsAsciiSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }
inline bool IsAsciiDigit(char c) { return c >= '0' && c <= '9'; }
std::string_view TrimAsciiSpace(std::string_view str);
bool EqualsNoCase(std::string_view a, std::string_view b);

}  // namespace platform
