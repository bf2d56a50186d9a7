// The automation currency type: a signed 64-bit count of ten-thousandths, so
// that amounts add up exactly. Text goes both ways without binary floating
// point; the double conversions round and refuse what does not fit.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/core/conversion_error.h"
#include "platform/core/user_locale.h"

namespace platform {

constexpr int64_t kCurrencyScale = 10000;

// Parses an amount by the user's locale (see TextToCurrency); false when the
// text is not an amount or does not fit.
bool ParseCurrency(std::string_view str, int64_t& nResult, const CUserLocale& locale = CUserLocale::Current());
// As ParseCurrency: an exact parse rounded half to even past the fourth
// decimal; raises CConversionError when the text is not an amount or does not fit.
int64_t TextToCurrency(std::string_view str, const CUserLocale& locale = CUserLocale::Current());
// The amount with the locale's decimal separator, no grouping and no trailing
// zeros in the fraction ("12,5", "-922337203685477.5807", "3").
std::string FormatCurrency(int64_t nValue, const CUserLocale& locale = CUserLocale::Current());
// Rounded half to even to the nearest ten-thousandth; NaN or out of range raises.
int64_t CurrencyFromDouble(double d);
double CurrencyToDouble(int64_t nValue);

}  // namespace platform
