// The automation date: a double counting days since 1899-12-30 00:00, with the
// time of day as the fraction. Before that day the whole part counts back and
// the fraction still runs forward (-1.25 is 1899-12-29 06:00). Built, split,
// parsed and formatted here for the years 1 to 9999 with our own calendar
// arithmetic, so neither time_t nor the C library's locale is involved.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/core/conversion_error.h"
#include "platform/core/user_locale.h"

namespace platform {

constexpr double kMinOleDate = -693593.0;           // 0001-01-01 00:00:00
constexpr double kMaxOleDate = 2958465.99998842592; // 9999-12-31 23:59:59
// Julian day number of 1899-12-30 and of 0001-01-01 (proleptic Gregorian), as
// the date-time fields of Visual FoxPro tables count days.
constexpr int32_t kJulianDayOfOleZero = 2415019;
constexpr int32_t kJulianDayOfYearOne = 1721426;

struct DateTimeParts {
    int nYear = 1899, nMonth = 12, nDay = 30;
    int nHour = 0, nMinute = 0, nSecond = 0;
    int nDayOfWeek = 6;   // 0 Sunday .. 6 Saturday
    int nDayOfYear = 364; // 1 .. 366
};

bool IsLeapYear(int nYear);
int DaysInMonth(int nYear, int nMonth);  // 0 for a month outside 1-12
// A real calendar day of the years 1 to 9999.
bool IsValidDate(int nYear, int nMonth, int nDay);
// Days from 1899-12-30 to a calendar day (proleptic Gregorian; no range check).
int64_t DaysFromCivil(int nYear, int nMonth, int nDay);
void CivilFromDays(int64_t nDays, int& nYear, int& nMonth, int& nDay);

// The automation date of a day and time; false when the day does not exist,
// the time is outside 00:00:00-23:59:59 or the year outside 1-9999.
bool MakeOleDate(int nYear, int nMonth, int nDay, int nHour, int nMinute, int nSecond, double& dResult);
// The automation date nSeconds after the start of day nDays (days counted from
// 1899-12-30; nSeconds may exceed a day or be negative); false outside 1-9999.
bool OleDateFromDaysAndSeconds(int64_t nDays, int64_t nSeconds, double& dResult);
// Splits a date to the nearest second; false when it is NaN or outside 1-9999.
bool SplitOleDate(double dDate, DateTimeParts& parts);
// The day of the date after rounding to the nearest second, counted from 1899-12-30.
bool OleDateDay(double dDate, int64_t& nDays);

// Parses a date and time as a user types them: the locale's day/month/year
// order with '/', '-', '.', ',' or spaces between the numbers, ISO
// "yyyy-mm-dd" (a four-digit first number always leads with the year), English
// month names, an optional time "h:mm[:ss]" with AM/PM, and "T" between an ISO
// date and its time. Two-digit years 00-29 are 2000-2029, 30-99 are 1930-1999;
// a day and month alone take the current year; a time alone is on 1899-12-30.
// Impossible dates are refused, never moved to another day.
bool ParseDateText(std::string_view str, double& dResult, const CUserLocale& locale = CUserLocale::Current());
// As ParseDateText; raises CConversionError when the text is not a date.
double TextToDate(std::string_view str, const CUserLocale& locale = CUserLocale::Current());

// A date as a person types it into a field, checked strictly (the lenient
// ParseDateText above also takes month names, two numbers, a time alone):
//   - only blanks: blank (an empty field);
//   - day, month and year in the locale's order, separated by the locale's
//     date separator, '/', '-' or '.' (years of two digits as ParseDateText
//     reads them, or four);
//   - the storage form YYYYMMDD;
//   - ISO YYYY-MM-DD (a four-digit first number always leads with the year);
// and, when bTime, an optional time "h:mm[:ss]" with AM or PM after a blank
// or a 'T'. Anything else, and a day the calendar does not have, is refused
// with a message that says why and what to type.
enum class TypedDate { blank, date, refused };
TypedDate ParseTypedDate(std::string_view str, bool bTime, double& dResult, std::string& strError,
                         const CUserLocale& locale = CUserLocale::Current());
// The locale's typed date form for messages: "DD.MM.YYYY", "MM/DD/YYYY".
std::string TypedDatePattern(const CUserLocale& locale = CUserLocale::Current());
// Sets the locale's date order and separator to those of a strftime pattern
// that shows day, month and year as numbers ("%d.%m.%Y", "%m/%d/%Y",
// "%Y.%m.%d"), so that a date is typed back in the form it is shown in;
// false, and the locale unchanged, for any other pattern.
bool TypeDatesAsShown(std::string_view strPattern, CUserLocale& locale);

// strftime-style formatting for the years 1 to 9999: %a %A %b %B %c %C %d %D
// %e %F %h %H %I %j %m %M %n %p %R %S %t %T %u %w %x %X %y %Y %%. A '#' or '-'
// after the '%' drops leading zeros (%#d gives 5). Unknown conversions are
// copied as written. Names are English.
std::string FormatDateParts(const DateTimeParts& parts, std::string_view strPattern,
                            const CUserLocale& locale = CUserLocale::Current());
// Formats an automation date; empty text when it is not a valid date.
std::string FormatOleDate(double dDate, std::string_view strPattern, const CUserLocale& locale = CUserLocale::Current());
// The automation's Date to Text: the locale's default date format, followed by
// the time when it is not midnight; only the time for a date on 1899-12-30.
// Raises CConversionError for an invalid date.
std::string DateToText(double dDate, const CUserLocale& locale = CUserLocale::Current());
// Range check of a number used as a date; raises CConversionError outside 1-9999.
double CheckOleDate(double dDate);

}  // namespace platform
