// The reader's own small calendar: the date of a D field, the date and time
// of a T field, and formatting them with a strftime-style pattern for years 1
// to 9999. Private to the reader.
#pragma once

#include <cstdint>
#include <string>

struct ReaderDate {
    int nYear = 1, nMonth = 1, nDay = 1;
    int nHour = 0, nMinute = 0, nSecond = 0;
};

// A D field's text: eight digits, year, month and day. False for anything
// that is not a day of the calendar (spaces, zeros, 30 February, letters).
bool ParseDbfDate(const std::string& strRaw, ReaderDate& date);

// A T field: Julian day number and milliseconds since midnight. False before
// 1 January of year 1 or after 31 December 9999.
bool DateTimeFromJulian(int32_t nJulianDay, uint32_t nMilliseconds, ReaderDate& date);

// The date through a strftime-style pattern; %Y always gives four digits.
std::string FormatReaderDate(const std::string& strPattern, const ReaderDate& date);
