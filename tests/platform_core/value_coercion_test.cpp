// Text and numbers by the user's locale, and the locale-independent numbers
// of field bytes.
#include "platform/core/value_coercion.h"

#include <clocale>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <optional>

#include <gtest/gtest.h>

#include "platform/core/currency.h"

using namespace platform;

namespace {

CUserLocale CommaLocale() {
    CUserLocale l;
    l.m_cDecimal = ',';
    l.m_cThousands = '.';
    l.SetDateOrder(DateOrder::DMY, '.');
    l.m_strCurrency = "EUR";
    return l;
}

CUserLocale SpaceGroupLocale() {
    CUserLocale l = CommaLocale();
    l.m_cThousands = ' ';
    return l;
}

class ScopedEnv {
public:
    ScopedEnv(const char* pszName, const char* pszValue) : m_strName(pszName) {
        if (const char* p = std::getenv(pszName)) m_strOld = p, m_bHad = true;
        if (pszValue) setenv(pszName, pszValue, 1);
        else unsetenv(pszName);
    }
    ~ScopedEnv() {
        if (m_bHad) setenv(m_strName.c_str(), m_strOld.c_str(), 1);
        else unsetenv(m_strName.c_str());
    }

private:
    std::string m_strName, m_strOld;
    bool m_bHad = false;
};

}  // namespace

TEST(LocaleNumbers, TextToNumberByTheLocaleOrRefused) {
    const CUserLocale dot, comma = CommaLocale(), space = SpaceGroupLocale();
    // Grouping needs exactly three digits, so a decimal typed with the other
    // locale's separator is refused instead of becoming a much bigger number.
    const struct {
        const char* pszText;
        const CUserLocale& locale;
        std::optional<double> d;  // none: refused
    } cases[] = {
        {"3.25", dot, 3.25}, {"  -1,234.5  ", dot, -1234.5}, {"1.5E3", dot, 1500.0}, {"$12.50", dot, 12.5},
        {"1,234,567", dot, 1234567.0}, {"1e-400", dot, 0.0}, {"3,25", comma, 3.25}, {"1.234,5", comma, 1234.5},
        {"12,5 EUR", comma, 12.5}, {"1 234,5", space, 1234.5}, {"1\xA0" "234,5", space, 1234.5},
        {"3.14", comma, {}}, {"3,14", dot, {}}, {"1,23,456", dot, {}}, {"1e400", dot, {}}, {"", dot, {}},
        {"   ", dot, {}}, {"abc", dot, {}}, {"1.2.3", dot, {}}, {"12abc", dot, {}}, {"--1", dot, {}}, {"1e", dot, {}},
        {".", dot, {}}, {",5", dot, {}}, {"1 2", dot, {}},
        // A group of four digits is no group: refused, never 12345 or 1.2345.
        {"1,2345", dot, {}}, {"1.2345,5", comma, {}}, {"1 2345", space, {}}, {"12,345,6789", dot, {}},
    };
    for (const auto& c : cases) {
        int64_t nCurrency = 0;
        if (c.d) {
            EXPECT_DOUBLE_EQ(TextToDouble(c.pszText, c.locale), *c.d) << c.pszText;
        } else {
            EXPECT_THROW(TextToDouble(c.pszText, c.locale), CConversionError) << c.pszText;
            EXPECT_FALSE(ParseCurrency(c.pszText, nCurrency, c.locale)) << c.pszText << ": the currency parser too";
        }
    }
    EXPECT_EQ(DoubleToText(3.25, dot), "3.25");
    EXPECT_EQ(DoubleToText(3.25, comma), "3,25");
    EXPECT_EQ(DoubleToText(1e20, dot), "1E+20");
    EXPECT_EQ(DoubleToText(1.0 / 3.0, dot), "0.333333333333333") << "15 significant digits";
}

TEST(LocaleNumbers, TypedNumbersRoundAsTheDecimalsTheySpell) {
    const CUserLocale dot, comma = CommaLocale();
    const struct {
        const char* pszText;
        const CUserLocale& locale;
        unsigned nWidth, nDecimals;
        const char* pszOut;  // null: refused
    } cases[] = {
        {"1.005", dot, 10, 2, "1.01"},       {"2.675", dot, 10, 2, "2.68"},     {"-2.675", dot, 10, 2, "-2.68"},
        {"1,005", comma, 10, 2, "1.01"},     {"0.125", dot, 10, 2, "0.13"},     {"0.0049", dot, 10, 2, "0.00"},
        {"-0.004", dot, 10, 2, "0.00"},      {"1e-9", dot, 10, 2, "0.00"},      {"9.995", dot, 10, 2, "10.00"},
        {"12", dot, 10, 3, "12.000"},        {"1,234.5", dot, 10, 0, "1235"},   {"1.5e2", dot, 10, 1, "150.0"},
        {"123456.789", dot, 8, 2, "123456.8"},  // one decimal fewer, rounded from the digits typed
        {"99999.96", dot, 7, 2, "100000"},   {"123456789", dot, 8, 2, nullptr}, {"abc", dot, 8, 2, nullptr},
        {"1,2345", dot, 8, 2, nullptr},      {"1e400", dot, 8, 2, nullptr},
    };
    for (const auto& c : cases) {
        std::string strOut, strError;
        const bool bOk = FormatTypedNumber(c.pszText, c.nWidth, c.nDecimals, strOut, strError, c.locale);
        EXPECT_EQ(bOk, c.pszOut != nullptr) << c.pszText << ": " << strError;
        if (bOk && c.pszOut) {
            EXPECT_EQ(strOut, c.pszOut) << c.pszText;
        }
        if (!bOk) {
            EXPECT_NE(strError.find(c.pszText), std::string::npos) << strError;
        }
    }
}

TEST(LocaleNumbers, IntegersAndBooleans) {
    const CUserLocale dot;
    for (auto [psz, n] : {std::pair{"2.5", 2}, {"3.5", 4}, {"-2.5", -2}, {"2147483647", INT32_MAX},
                          {"-2147483648", INT32_MIN}})
        EXPECT_EQ(TextToInt32(psz, dot), n) << psz << ": half to even";
    EXPECT_EQ(TextToInt32("1.000", CommaLocale()), 1000);
    EXPECT_THROW(TextToInt32("2147483648", dot), CConversionError);
    EXPECT_THROW(DoubleToInt32(NAN), CConversionError);
    EXPECT_THROW(DoubleToInt32(-2147483649.0), CConversionError);
    for (auto [psz, b] : {std::pair{"True", true}, {" TRUE ", true}, {"false", false}, {"-1", true}, {"0.5", true},
                          {"0", false}})
        EXPECT_EQ(TextToBool(psz, dot), b) << psz;
    EXPECT_THROW(TextToBool("", dot), CConversionError);
    EXPECT_THROW(TextToBool("yes", dot), CConversionError);
}

TEST(FieldNumbers, ParseLikeStrtodInTheCLocale) {
    // Only decimal digits are numbers in a field, a comma is never a decimal
    // point there, and parsing stops at the first character that does not fit.
    for (auto [psz, d] : {std::pair{"    3.14", 3.14}, {"1.5e2xyz", 150.0}, {"12.34.56", 12.34}, {"7e", 7.0},
                          {" .5", 0.5}, {"5.", 5.0}, {"-.5e1", -5.0}, {"+-5", 0.0}, {"inf", 0.0}, {"-1e-999", 0.0},
                          {"        ", 0.0}, {"*****", 0.0}, {"3,5", 3.0}, {"1e999", HUGE_VAL}})
        EXPECT_EQ(ParseCDouble(psz, std::strlen(psz)), d) << psz;
    EXPECT_EQ(ParseCDouble("12345", 2), 12.0) << "the digits after the field are not read";
    bool bOverflow = false;
    EXPECT_EQ(ParseCInteger(" 0042x", 6), 42);
    EXPECT_EQ(ParseCInteger("-7", 2), -7);
    EXPECT_EQ(ParseCInteger("99999999999999999999", 20, &bOverflow), INT64_MAX);
    EXPECT_TRUE(bOverflow);
}

TEST(FieldNumbers, FormattingIgnoresTheProcessLocale) {
    // Whatever locale the process has been switched to (a Qt program switches
    // to the user's), field bytes keep '.'.
    const char* pszOld = std::setlocale(LC_NUMERIC, nullptr);
    std::string strOld = pszOld ? pszOld : "C";
    bool bSwitched = std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr;
    EXPECT_EQ(FormatFixed(3.14159, 2), "3.14");
    EXPECT_EQ(FormatFixed(2.5, 0), "2") << "exact value, ties to even like printf";
    EXPECT_EQ(FormatFixed(0.125, 2), "0.12");
    const char sz[] = "3.5";
    EXPECT_EQ(ParseCDouble(sz, 3), 3.5);
    std::setlocale(LC_NUMERIC, strOld.c_str());
    if (!bSwitched) GTEST_LOG_(INFO) << "de_DE.UTF-8 not installed; checked in the C locale only";
}

TEST(UserLocale, NamedLocalesGiveTheirConventions) {
    CUserLocale de = CUserLocale::FromName("de_DE.UTF-8");
    EXPECT_EQ(de.m_cDecimal, ',');
    EXPECT_EQ(de.m_eDateOrder, DateOrder::DMY);
    EXPECT_EQ(de.m_strDateFormat, "%d.%m.%Y");
    CUserLocale us = CUserLocale::FromName("en_US.UTF-8");
    EXPECT_EQ(us.m_cDecimal, '.');
    EXPECT_EQ(us.m_eDateOrder, DateOrder::MDY);
    EXPECT_EQ(us.m_strDateFormat, "%m/%d/%Y");
    EXPECT_EQ(CUserLocale::FromName("sv_SE").m_strDateFormat, "%Y-%m-%d");
    EXPECT_EQ(CUserLocale::FromName("xx_YY").m_cDecimal, '.') << "unknown languages get the C conventions";
    // C.UTF-8 is always installed, so this one comes from nl_langinfo_l: its
    // "%m/%d/%y" gains a four-digit year, and it has no thousands separator.
    CUserLocale cUtf8 = CUserLocale::FromName("C.UTF-8");
    EXPECT_EQ(cUtf8.m_strDateFormat, "%m/%d/%Y");
    EXPECT_EQ(cUtf8.m_cThousands, 0);
    EXPECT_EQ(cUtf8.m_strTimeFormat, "%H:%M:%S");
}

TEST(UserLocale, EnvironmentCategoriesAreReadSeparately) {
    ScopedEnv all("LC_ALL", nullptr);
    ScopedEnv lang("LANG", "en_US.UTF-8");
    ScopedEnv numeric("LC_NUMERIC", "ru_RU.UTF-8");
    ScopedEnv time("LC_TIME", "en_GB.UTF-8");
    CUserLocale l = CUserLocale::FromEnvironment();
    EXPECT_EQ(l.m_cDecimal, ',');
    EXPECT_EQ(l.m_eDateOrder, DateOrder::DMY);
    EXPECT_EQ(l.m_cDateSeparator, '/');
    {
        ScopedEnv all2("LC_ALL", "de_CH.UTF-8");
        CUserLocale ch = CUserLocale::FromEnvironment();
        EXPECT_EQ(ch.m_cDecimal, '.');
        EXPECT_EQ(ch.m_strDateFormat, "%d.%m.%Y");
    }
    // The process's own locale is not touched.
    EXPECT_EQ(std::string(std::setlocale(LC_NUMERIC, nullptr)), "C");
}

TEST(UserLocale, CurrentCanBeReplacedAndRestored) {
    CUserLocale before = CUserLocale::Current();
    const CUserLocale& ref = CUserLocale::Current();
    {
        CScopedUserLocale scoped(CommaLocale());
        EXPECT_EQ(ref.m_cDecimal, ',') << "references to the current locale follow it";
        EXPECT_DOUBLE_EQ(TextToDouble("2,5"), 2.5);
    }
    EXPECT_EQ(CUserLocale::Current().m_cDecimal, before.m_cDecimal);
}
