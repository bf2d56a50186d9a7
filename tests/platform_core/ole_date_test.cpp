// Automation dates: calendar arithmetic across the years 1 to 9999, the rule
// for dates before 1899-12-30, parsing by locale order and formatting.
#include "platform/core/ole_date.h"

#include <array>
#include <cmath>
#include <ctime>

#include <gtest/gtest.h>

using namespace platform;

namespace {

CUserLocale Locale(DateOrder eOrder, char cSep) {
    CUserLocale l;
    l.SetDateOrder(eOrder, cSep);
    return l;
}

double Date(int y, int m, int d, int h = 0, int mi = 0, int s = 0) {
    double dResult = NAN;
    EXPECT_TRUE(MakeOleDate(y, m, d, h, mi, s, dResult)) << y << "-" << m << "-" << d;
    return dResult;
}

// The date a text parses to in the locale; NaN (equal to nothing) when refused.
double Parsed(const std::string& strText, const CUserLocale& l) {
    double d = NAN;
    return ParseDateText(strText, d, l) ? d : NAN;
}

std::string Split(double d) {
    DateTimeParts p;
    if (!SplitOleDate(d, p)) return "invalid";
    char sz[40];
    std::snprintf(sz, sizeof sz, "%04d-%02d-%02d %02d:%02d:%02d", p.nYear, p.nMonth, p.nDay, p.nHour, p.nMinute, p.nSecond);
    return sz;
}

}  // namespace

TEST(OleDate, SerialNumbersOfCalendarDates) {
    // Before 1899-12-30 the days count back but the time runs forward.
    const std::pair<double, const char*> cases[] = {
        {0.0, "1899-12-30 00:00:00"},       {2.0, "1900-01-01 00:00:00"},      {61.0, "1900-03-01 00:00:00"},
        {36526.0, "2000-01-01 00:00:00"},   {-657434.0, "0100-01-01 00:00:00"}, {kMinOleDate, "0001-01-01 00:00:00"},
        {2958465.0, "9999-12-31 00:00:00"}, {37319.5, "2002-03-04 12:00:00"},  {-1.25, "1899-12-29 06:00:00"},
        {-1.75, "1899-12-29 18:00:00"},     {-2.0, "1899-12-28 00:00:00"},     {-693593.5, "0001-01-01 12:00:00"},
    };
    for (auto [d, psz] : cases) {
        int y = 0, m = 0, day = 0, h = 0, mi = 0, sec = 0;
        ASSERT_EQ(std::sscanf(psz, "%d-%d-%d %d:%d:%d", &y, &m, &day, &h, &mi, &sec), 6);
        EXPECT_EQ(Date(y, m, day, h, mi, sec), d) << psz;
        EXPECT_EQ(Split(d), psz) << d;
    }
    // -0.5 has day 0; a time a hair short of midnight rounds into the next day on both sides.
    EXPECT_EQ(Split(-0.5), "1899-12-30 12:00:00");
    EXPECT_EQ(Split(1.9999999), "1900-01-01 00:00:00");
    EXPECT_EQ(Split(-1.9999999), "1899-12-30 00:00:00");
    DateTimeParts p;
    ASSERT_TRUE(SplitOleDate(Date(2002, 3, 4), p));
    EXPECT_EQ(p.nDayOfWeek, 1) << "4 March 2002 was a Monday";
    EXPECT_EQ(p.nDayOfYear, 63);
}

TEST(OleDate, EveryRepresentativeYearRoundTrips) {
    for (int nYear : {1, 4, 99, 100, 1582, 1600, 1899, 1900, 1970, 2000, 2038, 2100, 9999})
        for (int nMonth : {1, 2, 12}) {
            char sz[24];
            std::snprintf(sz, sizeof sz, "%04d-%02d-%02d 23:59:59", nYear, nMonth, DaysInMonth(nYear, nMonth));
            EXPECT_EQ(Split(Date(nYear, nMonth, DaysInMonth(nYear, nMonth), 23, 59, 59)), sz);
        }
    for (int64_t nDays = -693593; nDays <= 2958465; nDays += 997) {
        int y, m, d;
        CivilFromDays(nDays, y, m, d);
        ASSERT_TRUE(IsValidDate(y, m, d));
        ASSERT_EQ(DaysFromCivil(y, m, d), nDays);
    }
}

TEST(OleDate, OutsideTheYearsOneTo9999IsRefused) {
    double d;
    for (auto [y, m, day, h] : {std::array{0, 12, 31, 0}, {10000, 1, 1, 0}, {2002, 2, 29, 0}, {2002, 13, 1, 0},
                                {2002, 1, 1, 24}})
        EXPECT_FALSE(MakeOleDate(y, m, day, h, 0, 0, d)) << y << "-" << m << "-" << day << " " << h;
    for (double dBad : {kMinOleDate - 1, 2958466.0, double(NAN), 1e300}) EXPECT_EQ(Split(dBad), "invalid") << dBad;
    EXPECT_THROW(CheckOleDate(-1e9), CConversionError);
    EXPECT_THROW(DateToText(3e6), CConversionError);
    // Days and seconds (as date-time fields hold them) normalise across days.
    ASSERT_TRUE(OleDateFromDaysAndSeconds(0, 86400 + 3600, d));
    EXPECT_EQ(Split(d), "1899-12-31 01:00:00");
    ASSERT_TRUE(OleDateFromDaysAndSeconds(0, -3600, d));
    EXPECT_EQ(Split(d), "1899-12-29 23:00:00");
    EXPECT_FALSE(OleDateFromDaysAndSeconds(-693593, -1, d));
    EXPECT_FALSE(OleDateFromDaysAndSeconds(int64_t(538976288) - kJulianDayOfOleZero, 0, d));
}

TEST(DateParsing, EachLocaleOrderIsoTimesMonthNamesAndYears) {
    const CUserLocale mdy = Locale(DateOrder::MDY, '/'), dmy = Locale(DateOrder::DMY, '.');
    std::time_t now = std::time(nullptr);
    std::tm tmNow{};
    localtime_r(&now, &tmNow);
    const struct {
        const char* pszText;
        CUserLocale locale;
        double d;
    } cases[] = {
        {"03/04/2002", mdy, Date(2002, 3, 4)}, {"04.03.2002", dmy, Date(2002, 3, 4)},
        {"2002/03/04", Locale(DateOrder::YMD, '/'), Date(2002, 3, 4)},
        {"02-03-04", Locale(DateOrder::YMD, '-'), Date(2002, 3, 4)},
        {"2002-03-04", dmy, Date(2002, 3, 4)},  // ISO whatever the locale
        {"2002-03-04 12:34:56", mdy, Date(2002, 3, 4, 12, 34, 56)}, {"2002-03-04T12:34", dmy, Date(2002, 3, 4, 12, 34, 0)},
        {"0001-01-01", dmy, kMinOleDate}, {"04.03.2002 1:05 PM", dmy, Date(2002, 3, 4, 13, 5, 0)},
        {"4 March 2002", mdy, Date(2002, 3, 4)}, {"Monday, 2002 March 4", mdy, Date(2002, 3, 4)},
        {"3/4/29", mdy, Date(2029, 3, 4)}, {"3/4/30", mdy, Date(1930, 3, 4)}, {"3/4/800", mdy, Date(800, 3, 4)},
        {"4.3", dmy, Date(tmNow.tm_year + 1900, 3, 4)},  // the current year
    };
    for (const auto& c : cases) EXPECT_EQ(Parsed(c.pszText, c.locale), c.d) << c.pszText;
    EXPECT_EQ(Split(Parsed("9999-12-31 23:59:59.999", dmy)), "9999-12-31 23:59:59");
    EXPECT_EQ(Split(Parsed("12:30", dmy)), "1899-12-30 12:30:00");
    // Impossible in the locale's order is refused, not read in another order.
    EXPECT_TRUE(std::isnan(Parsed("13/01/2002", mdy)));
    for (const char* psz : {"", "abc", "2002", "30.02.2000", "2002-03-04 25:00", "04.03.2002 13:00 PM", "0000-01-01",
                            "10000-01-01", "2002-03-04 12:", "04.03.2002 12:00 xyz", "2002-03-04\xC3\xA9"})
        EXPECT_TRUE(std::isnan(Parsed(psz, dmy))) << psz;
    EXPECT_THROW(TextToDate("abc", dmy), CConversionError);
}

TEST(DateParsing, TypedDatesAreCheckedStrictly) {
    const CUserLocale dmy = Locale(DateOrder::DMY, '.'), mdy = Locale(DateOrder::MDY, '/');
    const struct {
        const char* pszText;
        const CUserLocale& locale;
        bool bTime;
        TypedDate eResult;
        const char* pszDate;  // when a date
    } cases[] = {
        {"", dmy, false, TypedDate::blank, nullptr},        {"   ", mdy, true, TypedDate::blank, nullptr},
        {"04.03.2002", dmy, false, TypedDate::date, "2002-03-04 00:00:00"},
        {"03/04/2002", mdy, false, TypedDate::date, "2002-03-04 00:00:00"},
        {"4/3/02", dmy, false, TypedDate::date, "2002-03-04 00:00:00"},
        {"20240101", mdy, false, TypedDate::date, "2024-01-01 00:00:00"},  // the storage form
        {"2024-02-29", dmy, false, TypedDate::date, "2024-02-29 00:00:00"},
        {"2002-03-04 12:34:56", dmy, true, TypedDate::date, "2002-03-04 12:34:56"},
        {"2002-03-04T7:05", mdy, true, TypedDate::date, "2002-03-04 07:05:00"},
        {"03/04/2002 1:00 PM", mdy, true, TypedDate::date, "2002-03-04 13:00:00"},
        {"2023-02-29", dmy, false, TypedDate::refused, nullptr},  // no such day
        {"2024-13-01", dmy, false, TypedDate::refused, nullptr},
        {"20230229", dmy, false, TypedDate::refused, nullptr},
        {"abc", dmy, false, TypedDate::refused, nullptr},         {"March 4, 2002", mdy, false, TypedDate::refused, nullptr},
        {"4.3", dmy, false, TypedDate::refused, nullptr},         {"2002-03-04 12:00", dmy, false, TypedDate::refused, nullptr},
        {"2002-03-04 25:00", dmy, true, TypedDate::refused, nullptr}, {"1.2.345", dmy, false, TypedDate::refused, nullptr},
        {"2002.03/04", dmy, false, TypedDate::refused, nullptr},  {"0000-01-01", dmy, false, TypedDate::refused, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pszText);
        double d = NAN;
        std::string strError;
        const TypedDate e = ParseTypedDate(c.pszText, c.bTime, d, strError, c.locale);
        EXPECT_EQ(e, c.eResult) << strError;
        if (c.pszDate) {
            EXPECT_EQ(Split(d), c.pszDate);
        }
        if (e == TypedDate::refused) {
            EXPECT_EQ(strError.rfind("\"" + std::string(c.pszText) + "\" is not a date: ", 0), 0u) << strError;
        }
    }
    std::string strError;
    double d = 0;
    ParseTypedDate("2023-02-29", false, d, strError, dmy);
    EXPECT_EQ(strError, "\"2023-02-29\" is not a date: month 2 of 2023 has 28 days");
    ParseTypedDate("abc", false, d, strError, dmy);
    EXPECT_EQ(strError, "\"abc\" is not a date: type it as DD.MM.YYYY, YYYYMMDD or YYYY-MM-DD");
}

TEST(DateParsing, DatesAreTypedInTheOrderOfThePatternTheyAreShownIn) {
    const std::pair<const char*, const char*> cases[] = {
        {"%d.%m.%Y", "04.03.2002"}, {"%m/%d/%Y", "03/04/2002"}, {"%Y.%m.%d", "2002.03.04"}, {"%#d-%m-%y", "4-3-02"}};
    for (const auto& [pszPattern, pszTyped] : cases) {
        CUserLocale l = CUserLocale::FromName("en_US.UTF-8");
        ASSERT_TRUE(TypeDatesAsShown(pszPattern, l)) << pszPattern;
        double d = 0;
        std::string strError;
        EXPECT_EQ(ParseTypedDate(pszTyped, false, d, strError, l), TypedDate::date) << pszPattern << strError;
        EXPECT_EQ(d, Date(2002, 3, 4)) << pszPattern;
    }
    CUserLocale l = CUserLocale::FromName("de_DE.UTF-8");
    for (const char* pszPattern : {"%B %d, %Y", "%d.%m", "%Y%m%d", ""})
        EXPECT_FALSE(TypeDatesAsShown(pszPattern, l)) << pszPattern;
    EXPECT_EQ(l.m_eDateOrder, DateOrder::DMY) << "a pattern it cannot follow leaves the locale as it was";
}

TEST(DateFormatting, PatternsOfTheDisplaySettings) {
    CUserLocale l;
    double d = Date(2002, 3, 4, 13, 5, 9);
    EXPECT_EQ(FormatOleDate(d, "%Y-%m-%d", l), "2002-03-04");
    EXPECT_EQ(FormatOleDate(d, "%d.%m.%Y %H:%M:%S", l), "04.03.2002 13:05:09");
    EXPECT_EQ(FormatOleDate(d, "%m/%d/%Y  %H:%M:%S", l), "03/04/2002  13:05:09");
    EXPECT_EQ(FormatOleDate(d, "%a %A %b %B %y %j %I%p %#d %e %%", l), "Mon Monday Mar March 02 063 01PM 4  4 %");
    EXPECT_EQ(FormatOleDate(d, "%F %T %D %x %q", l), "2002-03-04 13:05:09 03/04/02 03/04/2002 %q");
    EXPECT_EQ(FormatOleDate(Date(800, 5, 5), "%d.%m.%Y", l), "05.05.0800");
    EXPECT_EQ(FormatOleDate(Date(1, 1, 1), "%Y-%m-%d %A", l), "0001-01-01 Monday");
    EXPECT_EQ(FormatOleDate(Date(9999, 12, 31), "%Y-%m-%d %a", l), "9999-12-31 Fri");
    EXPECT_EQ(FormatOleDate(3e6, "%Y", l), "");
}

TEST(DateFormatting, DefaultTextAndItsRoundTrip) {
    CUserLocale dmy = Locale(DateOrder::DMY, '.');
    EXPECT_EQ(DateToText(Date(2002, 3, 4), dmy), "04.03.2002");
    EXPECT_EQ(DateToText(Date(2002, 3, 4, 12, 34, 56), dmy), "04.03.2002 12:34:56");
    EXPECT_EQ(DateToText(0.5, dmy), "12:00:00") << "a time alone";
    EXPECT_EQ(DateToText(0.0, dmy), "30.12.1899");
    for (DateOrder eOrder : {DateOrder::MDY, DateOrder::DMY, DateOrder::YMD}) {
        CUserLocale l = Locale(eOrder, '/');
        for (double d : {Date(1, 1, 1), Date(100, 2, 3, 4, 5, 6), Date(1899, 12, 29, 6), Date(1900, 1, 1),
                         Date(2000, 2, 29), Date(9999, 12, 31, 23, 59, 59)}) {
            double dBack;
            ASSERT_TRUE(ParseDateText(DateToText(d, l), dBack, l)) << DateToText(d, l);
            EXPECT_EQ(dBack, d) << DateToText(d, l);
        }
    }
}
