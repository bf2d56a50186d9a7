// The user's conventions for numbers and dates, as an explicit object: the
// decimal and thousands separators, the order and separator of dates, and the
// default date and time formats. It is read from the environment without ever
// touching the process's C locale, so C formats used for field bytes keep '.'.
// Tests and the program may replace the current one.
#pragma once

#include <string>
#include <string_view>

namespace platform {

enum class DateOrder { MDY, DMY, YMD };

class CUserLocale {
public:
    // The conventions of the "C" locale: '.', ',', month/day/year with '/'.
    CUserLocale();

    // The conventions of a named locale ("de_DE.UTF-8", "ru_RU", "C"). When the
    // system has that locale they come from it; otherwise from the program's own
    // table of common languages and countries, so a machine without generated
    // locales still shows a German user German dates.
    static CUserLocale FromName(std::string_view strName);
    // The locale the environment asks for: LC_ALL, else LC_NUMERIC (numbers) and
    // LC_TIME (dates), else LANG.
    static CUserLocale FromEnvironment();

    // The locale every conversion uses unless it is given one. Until SetCurrent
    // is called this is FromEnvironment().
    static const CUserLocale& Current();
    static void SetCurrent(const CUserLocale& locale);

    // Sets the date order and separator and the default date format with them
    // ("%d.%m.%Y" for DMY and '.').
    void SetDateOrder(DateOrder eOrder, char cSeparator);

    std::string m_strName;     // the locale name it was made from
    char m_cDecimal;           // decimal separator
    char m_cThousands;         // thousands separator, or 0 for none
    DateOrder m_eDateOrder;    // order of day, month and year in typed dates
    char m_cDateSeparator;     // separator of the default date format
    std::string m_strDateFormat;  // default (short) date format, strftime-style, 4-digit year
    std::string m_strTimeFormat;  // time format, strftime-style
    std::string m_strCurrency;    // currency symbol accepted around amounts, ASCII, may be empty
};

// Makes a locale current for the lifetime of the object (tests).
class CScopedUserLocale {
public:
    explicit CScopedUserLocale(const CUserLocale& locale);
    ~CScopedUserLocale();
    CScopedUserLocale(const CScopedUserLocale&) = delete;
    CScopedUserLocale& operator=(const CScopedUserLocale&) = delete;

private:
    CUserLocale m_saved;
};

// The language and territory of a locale name: "de_AT.UTF-8@euro" gives "de"
// and "AT"; "C" and "POSIX" give "en" and "US".
void SplitLocaleName(std::string_view strName, std::string& strLanguage, std::string& strTerritory);

}  // namespace platform
