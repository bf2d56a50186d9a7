// Automation dates: calendar arithmetic, parsing by the user's locale and
// strftime-style formatting, all without time_t.
#include "platform/core/ole_date.h"

#include <cmath>
#include <ctime>
#include <vector>

#include "platform/core/value_coercion.h"

namespace platform {

namespace {

constexpr int64_t kSecondsPerDay = 86400;
constexpr int64_t kMinDay = -693593;  // 0001-01-01
constexpr int64_t kMaxDay = 2958465;  // 9999-12-31
// Days from 1970-01-01 to 1899-12-30.
constexpr int64_t kUnixToOleDays = 25569;

const char* const kMonthNames[] = {"January", "February", "March",     "April",   "May",      "June",
                                   "July",    "August",   "September", "October", "November", "December"};
const char* const kDayNames[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};

int64_t FloorDiv(int64_t a, int64_t b) {
    int64_t q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

void FillParts(int64_t nDays, int64_t nSecondOfDay, DateTimeParts& parts) {
    CivilFromDays(nDays, parts.nYear, parts.nMonth, parts.nDay);
    parts.nHour = int(nSecondOfDay / 3600);
    parts.nMinute = int(nSecondOfDay / 60 % 60);
    parts.nSecond = int(nSecondOfDay % 60);
    parts.nDayOfWeek = int(((nDays % 7) + 7 + 6) % 7);  // 1899-12-30 was a Saturday
    parts.nDayOfYear = int(nDays - DaysFromCivil(parts.nYear, 1, 1)) + 1;
}

double ComposeDate(int64_t nDays, int64_t nSecondOfDay) {
    double dTime = double(nSecondOfDay) / double(kSecondsPerDay);
    // Before 1899-12-30 the whole part counts back while the time still runs forward.
    return nDays >= 0 ? double(nDays) + dTime : double(nDays) - dTime;
}

// ---- Parsing ----

struct Token {
    enum Kind { Number, Word, Colon, Separator };
    explicit Token(Kind e) : eKind(e) {}
    Kind eKind;
    int64_t nValue = 0;
    int nDigits = 0;
    std::string strWord;
    char cSep = 0;
};

bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

bool Tokenize(std::string_view s, const CUserLocale& locale, std::vector<Token>& tokens) {
    for (size_t i = 0; i < s.size();) {
        char c = s[i];
        if (IsAsciiSpace(c)) {
            ++i;
        } else if (IsAsciiDigit(c)) {
            Token t(Token::Number);
            for (; i < s.size() && IsAsciiDigit(s[i]); ++i, ++t.nDigits)
                if (t.nValue < 1000000000) t.nValue = t.nValue * 10 + (s[i] - '0');
            tokens.push_back(t);
        } else if (IsAsciiLetter(c)) {
            Token t(Token::Word);
            for (; i < s.size() && IsAsciiLetter(s[i]); ++i) t.strWord += s[i];
            tokens.push_back(t);
        } else if (c == ':') {
            tokens.push_back(Token(Token::Colon));
            ++i;
        } else if (c == '/' || c == '-' || c == '.' || c == ',' || c == locale.m_cDateSeparator) {
            Token t(Token::Separator);
            t.cSep = c;
            tokens.push_back(t);
            ++i;
        } else {
            return false;
        }
    }
    return true;
}

int MonthFromName(const std::string& strWord) {
    for (int m = 0; m < 12; ++m) {
        std::string_view full(kMonthNames[m]);
        if (EqualsNoCase(strWord, full) || EqualsNoCase(strWord, full.substr(0, 3)) ||
            (m == 8 && EqualsNoCase(strWord, "Sept")))
            return m + 1;
    }
    return 0;
}

bool IsDayName(const std::string& strWord) {
    for (const char* psz : kDayNames) {
        std::string_view full(psz);
        if (EqualsNoCase(strWord, full) || EqualsNoCase(strWord, full.substr(0, 3))) return true;
    }
    return false;
}

int CurrentYear() {
    std::time_t now = std::time(nullptr);
    std::tm tmNow{};
    localtime_r(&now, &tmNow);
    return tmNow.tm_year + 1900;
}

int FullYear(const Token& t) {
    if (t.nDigits > 2) return int(t.nValue > 99999 ? 99999 : t.nValue);
    return int(t.nValue < 30 ? 2000 + t.nValue : 1900 + t.nValue);
}

bool SmallNumber(const Token& t, int nMaxDigits) { return t.nDigits <= nMaxDigits; }

// ---- Formatting ----

void AppendNumber(std::string& str, int n, int nWidth, char cPad) {
    std::string strDigits = std::to_string(n);
    if (int(strDigits.size()) < nWidth && cPad) str.append(size_t(nWidth) - strDigits.size(), cPad);
    str += strDigits;
}

void FormatInto(std::string& strOut, const DateTimeParts& p, std::string_view strPattern, const CUserLocale& locale,
                int nDepth) {
    for (size_t i = 0; i < strPattern.size(); ++i) {
        char c = strPattern[i];
        if (c != '%' || i + 1 >= strPattern.size()) {
            strOut += c;
            continue;
        }
        size_t nStart = i++;
        bool bNoPad = false;
        while (i < strPattern.size() && (strPattern[i] == '#' || strPattern[i] == '-')) {
            bNoPad = true;
            ++i;
        }
        if (i >= strPattern.size()) {
            strOut.append(strPattern.substr(nStart));
            break;
        }
        char cZero = bNoPad ? 0 : '0';
        int nHour12 = p.nHour % 12 == 0 ? 12 : p.nHour % 12;
        switch (strPattern[i]) {
        case 'a': strOut += std::string_view(kDayNames[p.nDayOfWeek]).substr(0, 3); break;
        case 'A': strOut += kDayNames[p.nDayOfWeek]; break;
        case 'b': case 'h': strOut += std::string_view(kMonthNames[p.nMonth - 1]).substr(0, 3); break;
        case 'B': strOut += kMonthNames[p.nMonth - 1]; break;
        case 'C': AppendNumber(strOut, p.nYear / 100, 2, cZero); break;
        case 'd': AppendNumber(strOut, p.nDay, 2, cZero); break;
        case 'e': AppendNumber(strOut, p.nDay, 2, bNoPad ? 0 : ' '); break;
        case 'H': AppendNumber(strOut, p.nHour, 2, cZero); break;
        case 'I': AppendNumber(strOut, nHour12, 2, cZero); break;
        case 'j': AppendNumber(strOut, p.nDayOfYear, 3, cZero); break;
        case 'm': AppendNumber(strOut, p.nMonth, 2, cZero); break;
        case 'M': AppendNumber(strOut, p.nMinute, 2, cZero); break;
        case 'S': AppendNumber(strOut, p.nSecond, 2, cZero); break;
        case 'p': strOut += p.nHour < 12 ? "AM" : "PM"; break;
        case 'u': AppendNumber(strOut, p.nDayOfWeek == 0 ? 7 : p.nDayOfWeek, 1, 0); break;
        case 'w': AppendNumber(strOut, p.nDayOfWeek, 1, 0); break;
        case 'y': AppendNumber(strOut, p.nYear % 100, 2, cZero); break;
        case 'Y': AppendNumber(strOut, p.nYear, 4, cZero); break;
        case 'n': strOut += '\n'; break;
        case 't': strOut += '\t'; break;
        case '%': strOut += '%'; break;
        case 'D': FormatInto(strOut, p, "%m/%d/%y", locale, nDepth); break;
        case 'F': FormatInto(strOut, p, "%Y-%m-%d", locale, nDepth); break;
        case 'R': FormatInto(strOut, p, "%H:%M", locale, nDepth); break;
        case 'T': FormatInto(strOut, p, "%H:%M:%S", locale, nDepth); break;
        // The locale's own patterns are expanded one level only, so a pattern
        // that names itself cannot loop.
        case 'x':
            if (nDepth == 0) FormatInto(strOut, p, locale.m_strDateFormat, locale, 1);
            break;
        case 'X':
            if (nDepth == 0) FormatInto(strOut, p, locale.m_strTimeFormat, locale, 1);
            break;
        case 'c':
            if (nDepth == 0) {
                FormatInto(strOut, p, locale.m_strDateFormat, locale, 1);
                strOut += ' ';
                FormatInto(strOut, p, locale.m_strTimeFormat, locale, 1);
            }
            break;
        default: strOut.append(strPattern.substr(nStart, i - nStart + 1)); break;
        }
    }
}

}  // namespace

bool IsLeapYear(int nYear) { return (nYear % 4 == 0 && nYear % 100 != 0) || nYear % 400 == 0; }

int DaysInMonth(int nYear, int nMonth) {
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (nMonth < 1 || nMonth > 12) return 0;
    return nMonth == 2 && IsLeapYear(nYear) ? 29 : kDays[nMonth - 1];
}

bool IsValidDate(int nYear, int nMonth, int nDay) {
    return nYear >= 1 && nYear <= 9999 && nDay >= 1 && nDay <= DaysInMonth(nYear, nMonth);
}

// Days of a proleptic Gregorian date by the era method (400-year cycles).
int64_t DaysFromCivil(int nYear, int nMonth, int nDay) {
    int64_t y = int64_t(nYear) - (nMonth <= 2 ? 1 : 0);
    int64_t nEra = FloorDiv(y, 400);
    int64_t nYearOfEra = y - nEra * 400;
    int64_t nDayOfYear = (153 * (nMonth + (nMonth > 2 ? -3 : 9)) + 2) / 5 + nDay - 1;
    int64_t nDayOfEra = nYearOfEra * 365 + nYearOfEra / 4 - nYearOfEra / 100 + nDayOfYear;
    return nEra * 146097 + nDayOfEra - 719468 + kUnixToOleDays;
}

void CivilFromDays(int64_t nDays, int& nYear, int& nMonth, int& nDay) {
    int64_t z = nDays - kUnixToOleDays + 719468;
    int64_t nEra = FloorDiv(z, 146097);
    int64_t nDayOfEra = z - nEra * 146097;
    int64_t nYearOfEra = (nDayOfEra - nDayOfEra / 1460 + nDayOfEra / 36524 - nDayOfEra / 146096) / 365;
    int64_t nDayOfYear = nDayOfEra - (365 * nYearOfEra + nYearOfEra / 4 - nYearOfEra / 100);
    int64_t mp = (5 * nDayOfYear + 2) / 153;
    nDay = int(nDayOfYear - (153 * mp + 2) / 5 + 1);
    nMonth = int(mp < 10 ? mp + 3 : mp - 9);
    nYear = int(nYearOfEra + nEra * 400 + (nMonth <= 2 ? 1 : 0));
}

bool MakeOleDate(int nYear, int nMonth, int nDay, int nHour, int nMinute, int nSecond, double& dResult) {
    if (!IsValidDate(nYear, nMonth, nDay)) return false;
    if (nHour < 0 || nHour > 23 || nMinute < 0 || nMinute > 59 || nSecond < 0 || nSecond > 59) return false;
    dResult = ComposeDate(DaysFromCivil(nYear, nMonth, nDay), int64_t(nHour) * 3600 + nMinute * 60 + nSecond);
    return true;
}

bool OleDateFromDaysAndSeconds(int64_t nDays, int64_t nSeconds, double& dResult) {
    // Both come from 32-bit file fields, so this cannot overflow.
    if (nDays < kMinDay - 1000000 || nDays > kMaxDay + 1000000) return false;
    int64_t nTotal = nDays * kSecondsPerDay + nSeconds;
    int64_t nDay = FloorDiv(nTotal, kSecondsPerDay);
    if (nDay < kMinDay || nDay > kMaxDay) return false;
    dResult = ComposeDate(nDay, nTotal - nDay * kSecondsPerDay);
    return true;
}

static bool SplitToDayAndSecond(double dDate, int64_t& nDays, int64_t& nSecond) {
    if (std::isnan(dDate) || dDate < double(kMinDay) - 1.0 || dDate > double(kMaxDay) + 1.0) return false;
    double dWhole = std::trunc(dDate);
    nDays = int64_t(dWhole);
    nSecond = std::llround(std::fabs(dDate - dWhole) * double(kSecondsPerDay));
    // A time that rounds up to midnight belongs to the next day, whichever
    // side of 1899-12-30 the date is on.
    if (nSecond >= kSecondsPerDay) {
        nSecond -= kSecondsPerDay;
        ++nDays;
    }
    return nDays >= kMinDay && nDays <= kMaxDay;
}

bool SplitOleDate(double dDate, DateTimeParts& parts) {
    int64_t nDays, nSecond;
    if (!SplitToDayAndSecond(dDate, nDays, nSecond)) return false;
    FillParts(nDays, nSecond, parts);
    return true;
}

bool OleDateDay(double dDate, int64_t& nDays) {
    int64_t nSecond;
    return SplitToDayAndSecond(dDate, nDays, nSecond);
}

double CheckOleDate(double dDate) {
    DateTimeParts parts;
    if (!SplitOleDate(dDate, parts)) ThrowConversionError("date outside the years 1 to 9999");
    return dDate;
}

bool ParseDateText(std::string_view str, double& dResult, const CUserLocale& locale) {
    std::vector<Token> tokens;
    if (!Tokenize(str, locale, tokens) || tokens.empty()) return false;

    std::vector<Token> numbers;
    int nMonthName = 0;
    bool bTime = false;
    int nHour = 0, nMinute = 0, nSecond = 0, nAmPm = 0;  // nAmPm: 1 AM, 2 PM
    const size_t n = tokens.size();
    for (size_t i = 0; i < n;) {
        const Token& t = tokens[i];
        if (t.eKind == Token::Number && i + 2 < n && tokens[i + 1].eKind == Token::Colon) {
            const Token& m = tokens[i + 2];
            if (bTime || m.eKind != Token::Number || !SmallNumber(t, 2) || !SmallNumber(m, 2)) return false;
            bTime = true;
            nHour = int(t.nValue);
            nMinute = int(m.nValue);
            i += 3;
            if (i + 1 < n && tokens[i].eKind == Token::Colon && tokens[i + 1].eKind == Token::Number) {
                if (!SmallNumber(tokens[i + 1], 2)) return false;
                nSecond = int(tokens[i + 1].nValue);
                i += 2;
                // Fractions of a second are dropped.
                if (i + 1 < n && tokens[i].eKind == Token::Separator && (tokens[i].cSep == '.' || tokens[i].cSep == ',') &&
                    tokens[i + 1].eKind == Token::Number)
                    i += 2;
            }
        } else if (t.eKind == Token::Number) {
            if (bTime) return false;  // the date comes before the time
            numbers.push_back(t);
            ++i;
        } else if (t.eKind == Token::Word) {
            if (int nMonth = MonthFromName(t.strWord); nMonth && !nMonthName && !bTime) {
                nMonthName = nMonth;
            } else if (bTime && !nAmPm && (EqualsNoCase(t.strWord, "AM") || EqualsNoCase(t.strWord, "A"))) {
                nAmPm = 1;
            } else if (bTime && !nAmPm && (EqualsNoCase(t.strWord, "PM") || EqualsNoCase(t.strWord, "P"))) {
                nAmPm = 2;
            } else if (EqualsNoCase(t.strWord, "T") && !bTime && !numbers.empty() && i + 2 < n &&
                       tokens[i + 1].eKind == Token::Number && tokens[i + 2].eKind == Token::Colon) {
                // ISO date and time joined by 'T'
            } else if (!IsDayName(t.strWord)) {
                return false;
            }
            ++i;
        } else if (t.eKind == Token::Separator) {
            ++i;
        } else {
            return false;
        }
    }

    if (nAmPm) {
        if (nHour < 1 || nHour > 12) return false;
        nHour = nHour % 12 + (nAmPm == 2 ? 12 : 0);
    }
    int nYear = 0, nMonth = 0, nDay = 0;
    if (nMonthName) {
        nMonth = nMonthName;
        if (numbers.size() == 2) {
            bool bFirstIsYear = numbers[0].nDigits >= 3 || numbers[0].nValue > 31;
            nYear = FullYear(numbers[bFirstIsYear ? 0 : 1]);
            nDay = int(numbers[bFirstIsYear ? 1 : 0].nValue);
            if (!SmallNumber(numbers[bFirstIsYear ? 1 : 0], 2)) return false;
        } else if (numbers.size() == 1 && SmallNumber(numbers[0], 2)) {
            nDay = int(numbers[0].nValue);
            nYear = CurrentYear();
        } else {
            return false;
        }
    } else if (numbers.size() == 3) {
        const Token& a = numbers[0];
        const Token& b = numbers[1];
        const Token& c = numbers[2];
        const Token *pYear, *pMonth, *pDay;
        if (a.nDigits >= 3 || locale.m_eDateOrder == DateOrder::YMD) pYear = &a, pMonth = &b, pDay = &c;
        else if (locale.m_eDateOrder == DateOrder::DMY) pDay = &a, pMonth = &b, pYear = &c;
        else pMonth = &a, pDay = &b, pYear = &c;
        if (!SmallNumber(*pMonth, 2) || !SmallNumber(*pDay, 2)) return false;
        nYear = FullYear(*pYear);
        nMonth = int(pMonth->nValue);
        nDay = int(pDay->nValue);
    } else if (numbers.size() == 2) {
        if (!SmallNumber(numbers[0], 2) || !SmallNumber(numbers[1], 2)) return false;
        bool bDayFirst = locale.m_eDateOrder == DateOrder::DMY;
        nDay = int(numbers[bDayFirst ? 0 : 1].nValue);
        nMonth = int(numbers[bDayFirst ? 1 : 0].nValue);
        nYear = CurrentYear();
    } else if (numbers.empty() && bTime) {
        nYear = 1899, nMonth = 12, nDay = 30;
    } else {
        return false;
    }
    return MakeOleDate(nYear, nMonth, nDay, nHour, nMinute, nSecond, dResult);
}

std::string TypedDatePattern(const CUserLocale& locale) {
    const char c = locale.m_cDateSeparator ? locale.m_cDateSeparator : '/';
    switch (locale.m_eDateOrder) {
    case DateOrder::DMY: return std::string("DD") + c + "MM" + c + "YYYY";
    case DateOrder::MDY: return std::string("MM") + c + "DD" + c + "YYYY";
    default: return std::string("YYYY") + c + "MM" + c + "DD";
    }
}

bool TypeDatesAsShown(std::string_view strPattern, CUserLocale& locale) {
    std::string strOrder;  // the conversions' letters in their order: "dmY"
    char cSeparator = 0;
    for (size_t i = 0; i + 1 < strPattern.size(); ++i) {
        if (strPattern[i] != '%')
            continue;
        size_t j = i + 1;
        if (strPattern[j] == '#' || strPattern[j] == '-') ++j;
        if (j >= strPattern.size()) break;
        const char c = strPattern[j] == 'e' ? 'd' : strPattern[j] == 'y' ? 'Y' : strPattern[j];
        if (c != 'd' && c != 'm' && c != 'Y') return false;
        strOrder += c;
        if (strOrder.size() == 1 && j + 1 < strPattern.size()) cSeparator = strPattern[j + 1];
        i = j;
    }
    DateOrder eOrder;
    if (strOrder == "dmY") eOrder = DateOrder::DMY;
    else if (strOrder == "mdY") eOrder = DateOrder::MDY;
    else if (strOrder == "Ymd") eOrder = DateOrder::YMD;
    else return false;
    if (cSeparator == '%' || cSeparator == 0) return false;
    locale.SetDateOrder(eOrder, cSeparator);
    return true;
}

namespace {

// Digits at s[i]: their value and count; none gives a count of 0.
int TakeNumber(std::string_view s, size_t& i, int& nValue) {
    int nDigits = 0;
    nValue = 0;
    for (; i < s.size() && IsAsciiDigit(s[i]); ++i, ++nDigits)
        if (nDigits < 9) nValue = nValue * 10 + (s[i] - '0');
    return nDigits;
}

// "h:mm[:ss]" with an optional AM or PM, to the end of s.
bool TakeTime(std::string_view s, size_t i, int& nHour, int& nMinute, int& nSecond) {
    nSecond = 0;
    if (TakeNumber(s, i, nHour) == 0 || nHour > 99 || i >= s.size() || s[i] != ':') return false;
    ++i;
    if (TakeNumber(s, i, nMinute) != 2) return false;
    if (i < s.size() && s[i] == ':') {
        ++i;
        if (TakeNumber(s, i, nSecond) != 2) return false;
    }
    while (i < s.size() && IsAsciiSpace(s[i])) ++i;
    const std::string_view strRest = s.substr(i);
    if (strRest.empty()) return nHour <= 23;
    const bool bAm = EqualsNoCase(strRest, "AM"), bPm = EqualsNoCase(strRest, "PM");
    if ((!bAm && !bPm) || nHour < 1 || nHour > 12) return false;
    nHour = nHour % 12 + (bPm ? 12 : 0);
    return true;
}

}  // namespace

TypedDate ParseTypedDate(std::string_view str, bool bTime, double& dResult, std::string& strError,
                         const CUserLocale& locale) {
    const std::string_view s = TrimAsciiSpace(str);
    if (s.empty()) return TypedDate::blank;
    std::string strQuoted(1, '"');
    strQuoted.append(str).append("\" is not a date");
    auto refuse = [&](const std::string& strWhy) {
        strError = strQuoted + ": " + strWhy;
        return TypedDate::refused;
    };
    const std::string strForms = "type it as " + TypedDatePattern(locale) + ", YYYYMMDD or YYYY-MM-DD";

    size_t i = 0;
    int a = 0, b = 0, c = 0;
    const int na = TakeNumber(s, i, a);
    int nYear = 0, nMonth = 0, nDay = 0;
    if (na == 8) {
        nYear = a / 10000, nMonth = a / 100 % 100, nDay = a % 100;
    } else {
        const char cSep = i < s.size() ? s[i] : 0;
        const bool bSep = cSep == '/' || cSep == '-' || cSep == '.' || (cSep && cSep == locale.m_cDateSeparator);
        if (na == 0 || !bSep) return refuse(strForms);
        ++i;
        const int nb = TakeNumber(s, i, b);
        if (nb == 0 || nb > 2 || i >= s.size() || s[i] != cSep) return refuse(strForms);
        ++i;
        const int nc = TakeNumber(s, i, c);
        if (nc == 0) return refuse(strForms);
        auto fullYear = [](int nValue, int nDigits) {
            return nDigits > 2 ? nValue : nValue < 30 ? 2000 + nValue : 1900 + nValue;
        };
        if (na == 4) {
            if (nc > 2) return refuse(strForms);
            nYear = a, nMonth = b, nDay = c;
        } else if (na <= 2 && (nc == 2 || nc == 4)) {
            switch (locale.m_eDateOrder) {
            case DateOrder::DMY: nDay = a, nMonth = b, nYear = fullYear(c, nc); break;
            case DateOrder::MDY: nMonth = a, nDay = b, nYear = fullYear(c, nc); break;
            case DateOrder::YMD:
                if (nc > 2) return refuse(strForms);
                nYear = fullYear(a, na), nMonth = b, nDay = c;
                break;
            }
        } else {
            return refuse(strForms);
        }
    }

    int nHour = 0, nMinute = 0, nSecond = 0;
    if (i < s.size()) {
        const bool bJoin = IsAsciiSpace(s[i]) || s[i] == 'T' || s[i] == 't';
        if (!bTime || !bJoin) return refuse(strForms);
        ++i;
        while (i < s.size() && IsAsciiSpace(s[i])) ++i;
        if (!TakeTime(s, i, nHour, nMinute, nSecond) || nMinute > 59 || nSecond > 59)
            return refuse("the time of day is not h:mm or h:mm:ss between 0:00 and 23:59:59");
    }
    if (nYear < 1 || nYear > 9999) return refuse("years run from 1 to 9999");
    if (nMonth < 1 || nMonth > 12) return refuse("there is no month " + std::to_string(nMonth));
    if (nDay < 1 || nDay > DaysInMonth(nYear, nMonth))
        return refuse("month " + std::to_string(nMonth) + " of " + std::to_string(nYear) + " has " +
                      std::to_string(DaysInMonth(nYear, nMonth)) + " days");
    if (!MakeOleDate(nYear, nMonth, nDay, nHour, nMinute, nSecond, dResult)) return refuse(strForms);
    return TypedDate::date;
}

double TextToDate(std::string_view str, const CUserLocale& locale) {
    double d = 0;
    if (!ParseDateText(str, d, locale)) ThrowConversionError("\"" + std::string(str) + "\" is not a date");
    return d;
}

std::string FormatDateParts(const DateTimeParts& parts, std::string_view strPattern, const CUserLocale& locale) {
    std::string str;
    FormatInto(str, parts, strPattern, locale, 0);
    return str;
}

std::string FormatOleDate(double dDate, std::string_view strPattern, const CUserLocale& locale) {
    DateTimeParts parts;
    if (!SplitOleDate(dDate, parts)) return std::string();
    return FormatDateParts(parts, strPattern, locale);
}

std::string DateToText(double dDate, const CUserLocale& locale) {
    DateTimeParts parts;
    if (!SplitOleDate(dDate, parts)) ThrowConversionError("date outside the years 1 to 9999");
    bool bMidnight = parts.nHour == 0 && parts.nMinute == 0 && parts.nSecond == 0;
    bool bDayZero = parts.nYear == 1899 && parts.nMonth == 12 && parts.nDay == 30;
    if (bDayZero && !bMidnight) return FormatDateParts(parts, locale.m_strTimeFormat, locale);
    std::string str = FormatDateParts(parts, locale.m_strDateFormat, locale);
    if (!bMidnight) str += " " + FormatDateParts(parts, locale.m_strTimeFormat, locale);
    return str;
}

}  // namespace platform
