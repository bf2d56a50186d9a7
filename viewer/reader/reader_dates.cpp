// The reader's calendar: proleptic Gregorian days counted from 1 January of
// year 1, and formatting through the C library's strftime.
#include "viewer/reader/reader_dates.h"

#include <cstdio>
#include <ctime>
#include <vector>

namespace {

constexpr int32_t kJulianDayOfYear1 = 1721426;  // 1 January of year 1

bool IsLeapYear(int nYear) { return (nYear % 4 == 0 && nYear % 100 != 0) || nYear % 400 == 0; }

int DaysInMonth(int nYear, int nMonth) {
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return nMonth == 2 && IsLeapYear(nYear) ? 29 : kDays[nMonth - 1];
}

// The civil date of a day counted from 1970-01-01 (H. Hinnant's algorithm).
void CivilFromDays(int64_t nDays, int& nYear, int& nMonth, int& nDay) {
    nDays += 719468;
    int64_t nEra = (nDays >= 0 ? nDays : nDays - 146096) / 146097;
    int64_t nDayOfEra = nDays - nEra * 146097;
    int64_t nYearOfEra = (nDayOfEra - nDayOfEra / 1460 + nDayOfEra / 36524 - nDayOfEra / 146096) / 365;
    int64_t nDayOfYear = nDayOfEra - (365 * nYearOfEra + nYearOfEra / 4 - nYearOfEra / 100);
    int64_t nMp = (5 * nDayOfYear + 2) / 153;
    nDay = int(nDayOfYear - (153 * nMp + 2) / 5 + 1);
    nMonth = int(nMp < 10 ? nMp + 3 : nMp - 9);
    nYear = int(nYearOfEra + nEra * 400 + (nMonth <= 2 ? 1 : 0));
}

int64_t DaysFromCivil(int nYear, int nMonth, int nDay) {
    int64_t y = nMonth <= 2 ? nYear - 1 : nYear;
    int64_t nEra = (y >= 0 ? y : y - 399) / 400;
    int64_t nYearOfEra = y - nEra * 400;
    int64_t nDayOfYear = (153 * (nMonth > 2 ? nMonth - 3 : nMonth + 9) + 2) / 5 + nDay - 1;
    int64_t nDayOfEra = nYearOfEra * 365 + nYearOfEra / 4 - nYearOfEra / 100 + nDayOfYear;
    return nEra * 146097 + nDayOfEra - 719468;
}

// The number in a run of digits; -1 when a character is not a digit.
int DigitsValue(const std::string& str, size_t nFrom, size_t nCount) {
    int nValue = 0;
    for (size_t i = nFrom; i < nFrom + nCount; ++i) {
        if (str[i] < '0' || str[i] > '9') return -1;
        nValue = nValue * 10 + (str[i] - '0');
    }
    return nValue;
}

}  // namespace

bool ParseDbfDate(const std::string& strRaw, ReaderDate& date) {
    if (strRaw.size() < 8) return false;
    int nYear = DigitsValue(strRaw, 0, 4), nMonth = DigitsValue(strRaw, 4, 2), nDay = DigitsValue(strRaw, 6, 2);
    if (nYear <= 0 || nMonth <= 0 || nDay <= 0 || nMonth > 12 || nDay > DaysInMonth(nYear, nMonth)) return false;
    date = ReaderDate{nYear, nMonth, nDay, 0, 0, 0};
    return true;
}

bool DateTimeFromJulian(int32_t nJulianDay, uint32_t nMilliseconds, ReaderDate& date) {
    if (nJulianDay < kJulianDayOfYear1) return false;
    // Hours past 23 (a damaged time) carry into the next days, as adding a
    // time span to the date would.
    uint32_t nHours = nMilliseconds / 3600000;
    uint32_t nMinutes = (nMilliseconds % 3600000) / 60000;
    uint32_t nSeconds = (nMilliseconds % 3600000 - nMinutes * 60000) / 1000;
    int64_t nTotal = int64_t(nJulianDay - kJulianDayOfYear1) * 86400 + int64_t(nHours) * 3600 + nMinutes * 60 + nSeconds;
    int64_t nDays = nTotal / 86400, nRest = nTotal % 86400;
    int nYear, nMonth, nDay;
    CivilFromDays(nDays + DaysFromCivil(1, 1, 1), nYear, nMonth, nDay);
    if (nYear > 9999) return false;
    date = ReaderDate{nYear, nMonth, nDay, int(nRest / 3600), int(nRest % 3600 / 60), int(nRest % 60)};
    return true;
}

std::string FormatReaderDate(const std::string& strPattern, const ReaderDate& date) {
    // glibc writes year 1 as "1"; a table's dates read better as "0001".
    std::string strFormat;
    for (size_t i = 0; i < strPattern.size(); ++i) {
        if (strPattern[i] == '%' && i + 1 < strPattern.size()) {
            if (strPattern[i + 1] == 'Y') {
                char sz[8];
                std::snprintf(sz, sizeof sz, "%04d", date.nYear);
                strFormat += sz;
            } else {
                strFormat.append(strPattern, i, 2);
            }
            ++i;
        } else {
            strFormat += strPattern[i];
        }
    }
    std::tm tm{};
    tm.tm_year = date.nYear - 1900;
    tm.tm_mon = date.nMonth - 1;
    tm.tm_mday = date.nDay;
    tm.tm_hour = date.nHour;
    tm.tm_min = date.nMinute;
    tm.tm_sec = date.nSecond;
    int64_t nDays = DaysFromCivil(date.nYear, date.nMonth, date.nDay);
    tm.tm_wday = int(((nDays % 7) + 11) % 7);  // 1970-01-01 was a Thursday
    tm.tm_yday = int(nDays - DaysFromCivil(date.nYear, 1, 1));
    if (strFormat.empty()) return std::string();
    std::vector<char> buffer(strFormat.size() * 4 + 64);
    for (int nTry = 0; nTry < 4; ++nTry, buffer.resize(buffer.size() * 4)) {
        size_t n = std::strftime(buffer.data(), buffer.size(), strFormat.c_str(), &tm);
        if (n > 0) return std::string(buffer.data(), n);
    }
    return std::string();
}
