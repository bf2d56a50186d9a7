// Currency amounts: exact text both ways, rounding and overflow.
#include "platform/core/currency.h"

#include <cmath>
#include <optional>

#include <gtest/gtest.h>

using namespace platform;

namespace {
CUserLocale CommaLocale() {
    CUserLocale l;
    l.m_cDecimal = ',';
    l.m_cThousands = '.';
    l.m_strCurrency.clear();
    return l;
}
}  // namespace

TEST(Currency, TextToAmountExactRoundedOrRefused) {
    const CUserLocale dot, comma = CommaLocale();
    const struct {
        const char* pszText;
        const CUserLocale& locale;
        std::optional<int64_t> nAmount;  // none: refused
    } cases[] = {
        {"922337203685477.5807", dot, INT64_MAX}, {"-922337203685477.5808", dot, INT64_MIN},
        {"-922337203685477.5807", dot, -INT64_MAX}, {"922.337.203.685.477,5807", comma, INT64_MAX},
        {"922337203685477.5808", dot, {}}, {"-922337203685477.5809", dot, {}}, {"99999999999999999999", dot, {}},
        {"922337203685477.58075", dot, {}},  // rounding carries over the limit
        {"1e15", dot, {}}, {"12x", dot, {}}, {"", dot, {}},
        // Half to even beyond four decimals, judged on every digit.
        {"0.00005", dot, 0}, {"0.00015", dot, 2}, {"0.000150001", dot, 2}, {"0.000050001", dot, 1},
        {"-1.23456", dot, -12346}, {"0.000001", dot, 0}, {"1.5e2", dot, 1500000}, {"  $1,000.10 ", dot, 10001000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pszText);
        int64_t n = 42;
        EXPECT_EQ(ParseCurrency(c.pszText, n, c.locale), c.nAmount.has_value());
        if (c.nAmount) {
            EXPECT_EQ(n, *c.nAmount);
            EXPECT_EQ(TextToCurrency(c.pszText, c.locale), *c.nAmount);
        } else {
            EXPECT_THROW(TextToCurrency(c.pszText, c.locale), CConversionError);
        }
    }
}

TEST(Currency, AmountToTextIsExactWithoutTrailingZeros) {
    const CUserLocale dot, comma = CommaLocale();
    const struct {
        int64_t n;
        const CUserLocale& locale;
        const char* pszText;
    } cases[] = {
        {INT64_MAX, dot, "922337203685477.5807"}, {INT64_MIN, dot, "-922337203685477.5808"},
        {-INT64_MAX, comma, "-922337203685477,5807"}, {125000, dot, "12.5"}, {30000, dot, "3"}, {0, dot, "0"},
        {-5, dot, "-0.0005"}, {10001, comma, "1,0001"},
    };
    for (const auto& c : cases) EXPECT_EQ(FormatCurrency(c.n, c.locale), c.pszText) << c.n;
}

TEST(Currency, DoublesRoundHalfToEvenAndOverflowIsAnError) {
    // 1/32 and 3/32 are exact doubles on a tie of ten-thousandths; the double
    // of 1.00005 is a hair above its tie.
    const std::pair<double, std::optional<int64_t>> cases[] = {
        {0.1234, 1234}, {0.03125, 312}, {0.09375, 938}, {1.00005, 10001}, {-2.5, -25000},
        {9.2e14, 9200000000000000000}, {922337203685477.6, {}}, {-1e15, {}}, {NAN, {}}, {INFINITY, {}},
    };
    for (const auto& [d, nAmount] : cases) {
        if (nAmount) {
            EXPECT_EQ(CurrencyFromDouble(d), *nAmount) << d;
        } else {
            EXPECT_THROW(CurrencyFromDouble(d), CConversionError) << d;
        }
    }
    EXPECT_DOUBLE_EQ(CurrencyToDouble(12345), 1.2345);
    EXPECT_DOUBLE_EQ(CurrencyToDouble(INT64_MIN), -922337203685477.5808);
}
