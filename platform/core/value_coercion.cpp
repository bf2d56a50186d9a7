// Text, numbers and booleans: the user's-locale conversions of the automation
// variant and the locale-independent conversions of field bytes.
#include "platform/core/value_coercion.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace platform {

namespace {

constexpr int64_t kExponentLimit = 1000000000;

// Appends the digits of p[i..] to number, dropping leading zeros; returns how
// many digits there were.
size_t TakeDigits(std::string_view s, size_t& i, std::string& strDigits) {
    size_t nStart = i;
    for (; i < s.size() && IsAsciiDigit(s[i]); ++i)
        if (!strDigits.empty() || s[i] != '0') strDigits += s[i];
    return i - nStart;
}

// An exponent "e[+-]digits" at s[i]; leaves i unchanged and returns false when
// there is none. Saturates far beyond any double.
bool TakeExponent(std::string_view s, size_t& i, int64_t& nExponent) {
    size_t j = i;
    if (j >= s.size() || (s[j] != 'e' && s[j] != 'E')) return false;
    ++j;
    bool bNegative = false;
    if (j < s.size() && (s[j] == '+' || s[j] == '-')) bNegative = s[j++] == '-';
    if (j >= s.size() || !IsAsciiDigit(s[j])) return false;
    int64_t n = 0;
    for (; j < s.size() && IsAsciiDigit(s[j]); ++j)
        if (n < kExponentLimit) n = n * 10 + (s[j] - '0');
    nExponent = bNegative ? -n : n;
    i = j;
    return true;
}

// The double nearest to a decimal number; bRange is cleared when it does not fit.
double DecimalToDouble(const detail::DecimalNumber& number, bool& bRange) {
    bRange = true;
    if (number.strDigits.empty()) return number.bNegative ? -0.0 : 0.0;
    // Keep the exponent in a range from_chars can take; the digits are real.
    int64_t nMagnitude = int64_t(number.strDigits.size()) + number.nExponent;
    if (nMagnitude > 400) {
        bRange = false;
        return 0;
    }
    if (nMagnitude < -400) return number.bNegative ? -0.0 : 0.0;
    std::string strText = number.strDigits + "e" + std::to_string(number.nExponent);
    double d = 0;
    auto [ptr, ec] = std::from_chars(strText.data(), strText.data() + strText.size(), d, std::chars_format::scientific);
    (void)ptr;
    if (ec == std::errc::result_out_of_range) {
        if (nMagnitude > 0) {
            bRange = false;
            return 0;
        }
        d = 0;
    }
    return number.bNegative ? -d : d;
}

bool IsThousandsSeparator(char c, char cThousands) {
    if (!cThousands) return false;
    if (c == cThousands) return true;
    // A space-grouping locale also groups with the no-break space of the
    // Windows code pages.
    return cThousands == ' ' && static_cast<unsigned char>(c) == 0xA0;
}

bool TakeSymbol(std::string_view s, size_t& i, const std::string& strSymbol) {
    if (strSymbol.empty() || s.substr(i, strSymbol.size()) != strSymbol) return false;
    i += strSymbol.size();
    return true;
}

void SkipSpaces(std::string_view s, size_t& i) {
    while (i < s.size() && (IsAsciiSpace(s[i]) || static_cast<unsigned char>(s[i]) == 0xA0)) ++i;
}

}  // namespace

std::string_view TrimAsciiSpace(std::string_view str) {
    size_t b = 0, e = str.size();
    while (b < e && IsAsciiSpace(str[b])) ++b;
    while (e > b && IsAsciiSpace(str[e - 1])) --e;
    return str.substr(b, e - b);
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = char(x + 32);
        if (y >= 'A' && y <= 'Z') y = char(y + 32);
        if (x != y) return false;
    }
    return true;
}

namespace detail {

bool ParseLocaleNumber(std::string_view str, const CUserLocale& locale, DecimalNumber& number) {
    number = DecimalNumber();
    std::string_view s = str;
    size_t i = 0;
    SkipSpaces(s, i);
    if (TakeSymbol(s, i, locale.m_strCurrency)) SkipSpaces(s, i);
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        number.bNegative = s[i++] == '-';
        SkipSpaces(s, i);
        if (TakeSymbol(s, i, locale.m_strCurrency)) SkipSpaces(s, i);
    }
    size_t nIntDigits = TakeDigits(s, i, number.strDigits);
    // Thousands groups: each separator must be followed by exactly three digits.
    while (nIntDigits > 0 && i < s.size() && IsThousandsSeparator(s[i], locale.m_cThousands)) {
        size_t j = i + 1;
        if (j + 3 > s.size() || !IsAsciiDigit(s[j]) || !IsAsciiDigit(s[j + 1]) || !IsAsciiDigit(s[j + 2]) ||
            (j + 3 < s.size() && IsAsciiDigit(s[j + 3])))
            break;
        i = j;
        nIntDigits += TakeDigits(s, i, number.strDigits);
    }
    size_t nFracDigits = 0;
    if (i < s.size() && s[i] == locale.m_cDecimal) {
        ++i;
        // Zeros dropped at the front still count as places through nFracDigits.
        nFracDigits = TakeDigits(s, i, number.strDigits);
    }
    if (nIntDigits + nFracDigits == 0) return false;
    int64_t nExponent = 0;
    TakeExponent(s, i, nExponent);
    SkipSpaces(s, i);
    if (TakeSymbol(s, i, locale.m_strCurrency)) SkipSpaces(s, i);
    if (i != s.size()) return false;
    number.nExponent = nExponent - int64_t(nFracDigits);
    // Trailing zeros carry no value; dropping them keeps the digits short.
    while (!number.strDigits.empty() && number.strDigits.back() == '0') {
        number.strDigits.pop_back();
        ++number.nExponent;
    }
    return true;
}

}  // namespace detail

double ParseCDouble(const char* p, size_t n) {
    std::string_view s(p, n);
    size_t i = 0;
    while (i < s.size() && IsAsciiSpace(s[i])) ++i;
    detail::DecimalNumber number;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) number.bNegative = s[i++] == '-';
    // The usual case (digits that fit a double) goes straight to from_chars,
    // which reads the same decimal grammar as strtod after the sign; only a
    // number out of range takes the long way to find which end it overflows.
    if (i < s.size() && (IsAsciiDigit(s[i]) || s[i] == '.')) {
        double d = 0;
        auto [ptr, ec] = std::from_chars(s.data() + i, s.data() + s.size(), d, std::chars_format::general);
        (void)ptr;
        if (ec == std::errc()) return number.bNegative ? -d : d;
        if (ec == std::errc::invalid_argument) return 0.0;
    }
    size_t nDigits = TakeDigits(s, i, number.strDigits);
    size_t nFrac = 0;
    if (i < s.size() && s[i] == '.') {
        ++i;
        nFrac = TakeDigits(s, i, number.strDigits);
    }
    if (nDigits + nFrac == 0) return 0.0;
    int64_t nExponent = 0;
    TakeExponent(s, i, nExponent);
    number.nExponent = nExponent - int64_t(nFrac);
    bool bRange;
    double d = DecimalToDouble(number, bRange);
    if (!bRange) return number.bNegative ? -HUGE_VAL : HUGE_VAL;
    return d;
}

int64_t ParseCInteger(const char* p, size_t n, bool* pbOverflow) {
    std::string_view s(p, n);
    size_t i = 0;
    while (i < s.size() && IsAsciiSpace(s[i])) ++i;
    bool bNegative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) bNegative = s[i++] == '-';
    uint64_t nValue = 0;
    const uint64_t nLimit = bNegative ? uint64_t(1) << 63 : (uint64_t(1) << 63) - 1;
    bool bOverflow = false;
    for (; i < s.size() && IsAsciiDigit(s[i]); ++i) {
        unsigned nDigit = unsigned(s[i] - '0');
        if (nValue > (nLimit - nDigit) / 10) {
            bOverflow = true;
            nValue = nLimit;
        } else if (!bOverflow) {
            nValue = nValue * 10 + nDigit;
        }
    }
    if (pbOverflow) *pbOverflow = bOverflow;
    if (bNegative) return nValue == (uint64_t(1) << 63) ? std::numeric_limits<int64_t>::min() : -int64_t(nValue);
    return int64_t(nValue);
}

std::string ShownNumberAsTyped(std::string_view str, const CUserLocale& locale) {
    std::string strText(str);
    const size_t nPoint = strText.find('.');
    if (locale.m_cDecimal == '.' || nPoint == std::string::npos)
        return strText;
    const std::string_view s = TrimAsciiSpace(str);
    size_t i = s.size() && (s[0] == '-' || s[0] == '+') ? 1 : 0;
    int nDigits = 0, nPoints = 0;
    for (; i < s.size(); ++i) {
        if (IsAsciiDigit(s[i]))
            ++nDigits;
        else if (s[i] == '.')
            ++nPoints;
        else
            return strText;
    }
    if (nDigits > 0 && nPoints == 1)
        strText[nPoint] = locale.m_cDecimal;
    return strText;
}

std::string FormatFixed(double d, unsigned nDecimals) {
    // The longest double has 309 whole digits; a stack buffer serves the
    // usual decimal counts without an allocation per field.
    char szStack[400];
    std::string strHeap;
    char* pBuffer = szStack;
    size_t nSize = sizeof szStack;
    if (nDecimals > 64) {
        strHeap.resize(size_t(330) + nDecimals);
        pBuffer = strHeap.data();
        nSize = strHeap.size();
    }
    auto [ptr, ec] = std::to_chars(pBuffer, pBuffer + nSize, d, std::chars_format::fixed, int(nDecimals));
    if (ec != std::errc()) return std::string();
    return std::string(pBuffer, ptr);
}

double TextToDouble(std::string_view str, const CUserLocale& locale) {
    detail::DecimalNumber number;
    if (!detail::ParseLocaleNumber(str, locale, number))
        ThrowConversionError("\"" + std::string(str) + "\" is not a number");
    bool bRange;
    double d = DecimalToDouble(number, bRange);
    if (!bRange) ThrowConversionError("\"" + std::string(str) + "\" is too big");
    return d;
}

int32_t TextToInt32(std::string_view str, const CUserLocale& locale) { return DoubleToInt32(TextToDouble(str, locale)); }

bool TextToBool(std::string_view str, const CUserLocale& locale) {
    std::string_view s = TrimAsciiSpace(str);
    if (EqualsNoCase(s, "true")) return true;
    if (EqualsNoCase(s, "false")) return false;
    detail::DecimalNumber number;
    if (!detail::ParseLocaleNumber(s, locale, number))
        ThrowConversionError("\"" + std::string(str) + "\" is not a truth value");
    return !number.strDigits.empty();
}

std::string DoubleToText(double d, const CUserLocale& locale) {
    char szBuffer[64];
    auto [ptr, ec] = std::to_chars(szBuffer, szBuffer + sizeof szBuffer, d, std::chars_format::general, 15);
    if (ec != std::errc()) return std::string();
    std::string str(szBuffer, ptr);
    for (char& c : str) {
        if (c == '.') c = locale.m_cDecimal;
        else if (c == 'e') c = 'E';
    }
    return str;
}

std::string Int32ToText(int32_t n) { return std::to_string(n); }

std::string BoolToText(bool b) { return b ? "True" : "False"; }

namespace {

// digits x 10^nExponent rounded half away from zero to nDecimals places, as
// fixed-point text without sign. Numbers far wider than any field (more than
// 400 whole digits) give an empty text.
std::string RoundDecimal(const std::string& strDigits, int64_t nExponent, unsigned nDecimals) {
    const int64_t nDigits = int64_t(strDigits.size());
    const int64_t nWhole = nDigits + nExponent;  // digits before the point (may be <= 0)
    if (nWhole > 400) return std::string();
    // Every digit, from the first whole one to the last decimal kept and one more to round on.
    std::string strWhole, strFraction;
    if (strDigits.empty()) {
        strWhole = "0";
    } else if (nWhole > 0) {
        strWhole = strDigits.substr(0, size_t(std::min(nWhole, nDigits)));
        if (nExponent > 0) strWhole.append(size_t(nExponent), '0');
        if (nWhole < nDigits) strFraction = strDigits.substr(size_t(nWhole));
    } else {
        strWhole = "0";
        // Leading zeros of the fraction; beyond the place rounded on they change nothing.
        const int64_t nZeros = -nWhole;
        if (nZeros > int64_t(nDecimals) + 1) return nDecimals ? "0." + std::string(nDecimals, '0') : "0";
        strFraction = std::string(size_t(nZeros), '0') + strDigits;
    }
    bool bUp = strFraction.size() > nDecimals && strFraction[nDecimals] >= '5';
    strFraction.resize(nDecimals, '0');
    std::string strAll = strWhole + strFraction;
    for (size_t i = strAll.size(); bUp && i > 0; --i) {
        if (strAll[i - 1] == '9') {
            strAll[i - 1] = '0';
        } else {
            ++strAll[i - 1];
            bUp = false;
        }
    }
    if (bUp) strAll.insert(strAll.begin(), '1');
    const size_t nPoint = strAll.size() - nDecimals;
    std::string strOut = strAll.substr(0, nPoint);
    if (nDecimals) strOut += "." + strAll.substr(nPoint);
    return strOut;
}

}  // namespace

bool FormatTypedNumber(std::string_view str, unsigned nWidth, unsigned nDecimals, std::string& strOut,
                       std::string& strError, const CUserLocale& locale) {
    detail::DecimalNumber number;
    if (!detail::ParseLocaleNumber(str, locale, number)) {
        strError.assign(1, '"').append(str).append("\" is not a number");
        return false;
    }
    for (int k = int(nDecimals); k >= 0; --k) {
        std::string strText = RoundDecimal(number.strDigits, number.nExponent, unsigned(k));
        if (strText.empty()) break;
        // A value that rounds to zero has no sign.
        if (number.bNegative && strText.find_first_not_of("0.") != std::string::npos) strText.insert(0, "-");
        if (strText.size() <= nWidth) {
            strOut = strText;
            return true;
        }
    }
    strError.assign(1, '"').append(str).append("\" is too wide for a field of ");
    strError.append(std::to_string(nWidth)).append(" characters");
    return false;
}

int32_t DoubleToInt32(double d) {
    if (std::isnan(d)) ThrowConversionError("not a number");
    double r = std::nearbyint(d);  // the default rounding mode rounds half to even
    if (r < -2147483648.0 || r > 2147483647.0) ThrowConversionError("number out of the Int32 range");
    return int32_t(r);
}

}  // namespace platform
