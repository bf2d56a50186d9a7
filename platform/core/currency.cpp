// Currency amounts: exact text conversions and rounded double conversions.
#include "platform/core/currency.h"

#include <cmath>

#include "platform/core/value_coercion.h"

namespace platform {

namespace {

using u128 = unsigned __int128;

const u128 kMaxPositive = (u128(1) << 63) - 1;
const u128 kMaxNegative = u128(1) << 63;

// digits x 10^nShift as ten-thousandths, rounded half to even; false when it
// does not fit.
bool ScaleDigits(const detail::DecimalNumber& number, int64_t& nResult) {
    const std::string& d = number.strDigits;
    const u128 nLimit = number.bNegative ? kMaxNegative : kMaxPositive;
    if (d.empty()) {
        nResult = 0;
        return true;
    }
    int64_t nShift = number.nExponent + 4;
    // More than 19 whole digits never fit an int64.
    if (int64_t(d.size()) + nShift > 19) return false;
    u128 nValue = 0;
    int64_t nKeep = nShift >= 0 ? int64_t(d.size()) : int64_t(d.size()) + nShift;
    for (int64_t i = 0; i < nKeep; ++i) nValue = nValue * 10 + unsigned(d[size_t(i)] - '0');
    for (int64_t i = 0; i < nShift; ++i) nValue *= 10;
    if (nShift < 0 && nKeep >= 0) {
        // Round on the dropped digits: above half up, exactly half to even.
        char cFirst = d[size_t(nKeep)];
        bool bRestNonZero = false;
        for (size_t i = size_t(nKeep) + 1; i < d.size(); ++i) bRestNonZero = bRestNonZero || d[i] != '0';
        if (cFirst > '5' || (cFirst == '5' && (bRestNonZero || (nValue & 1)))) ++nValue;
    }
    if (nValue > nLimit) return false;
    nResult = number.bNegative ? int64_t(-nValue) : int64_t(nValue);
    return true;
}

}  // namespace

bool ParseCurrency(std::string_view str, int64_t& nResult, const CUserLocale& locale) {
    detail::DecimalNumber number;
    if (!detail::ParseLocaleNumber(str, locale, number)) return false;
    return ScaleDigits(number, nResult);
}

int64_t TextToCurrency(std::string_view str, const CUserLocale& locale) {
    int64_t n = 0;
    if (!ParseCurrency(str, n, locale)) ThrowConversionError("\"" + std::string(str) + "\" is not a currency amount");
    return n;
}

std::string FormatCurrency(int64_t nValue, const CUserLocale& locale) {
    bool bNegative = nValue < 0;
    uint64_t nAbs = bNegative ? uint64_t(0) - uint64_t(nValue) : uint64_t(nValue);
    std::string str = std::to_string(nAbs / kCurrencyScale);
    unsigned nFrac = unsigned(nAbs % kCurrencyScale);
    if (nFrac) {
        char szFrac[5] = {char('0' + nFrac / 1000), char('0' + nFrac / 100 % 10), char('0' + nFrac / 10 % 10),
                          char('0' + nFrac % 10), 0};
        std::string strFrac(szFrac);
        while (strFrac.back() == '0') strFrac.pop_back();
        str += locale.m_cDecimal;
        str += strFrac;
    }
    return bNegative ? "-" + str : str;
}

int64_t CurrencyFromDouble(double d) {
    if (std::isnan(d)) ThrowConversionError("not a number");
    // The extended product holds every bit of d x 10000 on x86-64, so the
    // rounding is that of the exact value.
    long double r = std::nearbyint(static_cast<long double>(d) * 10000.0L);
    if (!(r >= -9223372036854775808.0L && r < 9223372036854775808.0L))
        ThrowConversionError("number out of the Currency range");
    return static_cast<int64_t>(r);
}

double CurrencyToDouble(int64_t nValue) {
    return static_cast<double>(static_cast<long double>(nValue) / 10000.0L);
}

}  // namespace platform
