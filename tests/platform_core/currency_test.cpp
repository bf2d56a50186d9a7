// Currency amounts: exact text both ways, rounding and overflow.
#include "platform/core/currency.h"

#include <cmath>

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

TEST(Currency, ExtremesRoundTripThroughTextExactly) {
    CUserLocale dot;
    int64_t n = 0;
    ASSERT_TRUE(ParseCurrency("922337203685477.5807", n, dot));
    EXPECT_EQ(n, INT64_MAX);
    EXPECT_EQ(FormatCurrency(INT64_MAX, dot), "922337203685477.5807");
    ASSERT_TRUE(ParseCurrency("-922337203685477.5808", n, dot));
    EXPECT_EQ(n, INT64_MIN);
    EXPECT_EQ(FormatCurrency(INT64_MIN, dot), "-922337203685477.5808");
    ASSERT_TRUE(ParseCurrency("-922337203685477.5807", n, dot));
    EXPECT_EQ(n, -INT64_MAX);
    EXPECT_EQ(FormatCurrency(-INT64_MAX, CommaLocale()), "-922337203685477,5807");
    ASSERT_TRUE(ParseCurrency("922.337.203.685.477,5807", n, CommaLocale()));
    EXPECT_EQ(n, INT64_MAX);
}

TEST(Currency, TextOutOfRangeIsRefused) {
    CUserLocale dot;
    int64_t n = 42;
    EXPECT_FALSE(ParseCurrency("922337203685477.5808", n, dot));
    EXPECT_FALSE(ParseCurrency("-922337203685477.5809", n, dot));
    EXPECT_FALSE(ParseCurrency("1e15", n, dot));
    EXPECT_FALSE(ParseCurrency("12x", n, dot));
    EXPECT_FALSE(ParseCurrency("", n, dot));
    EXPECT_THROW(TextToCurrency("99999999999999999999", dot), CConversionError);
    // Rounding past the fourth decimal may carry over the limit.
    EXPECT_FALSE(ParseCurrency("922337203685477.58075", n, dot));
}

TEST(Currency, TextRoundsHalfToEvenBeyondFourDecimals) {
    CUserLocale dot;
    EXPECT_EQ(TextToCurrency("0.00005", dot), 0);
    EXPECT_EQ(TextToCurrency("0.00015", dot), 2);
    EXPECT_EQ(TextToCurrency("0.000150001", dot), 2);
    EXPECT_EQ(TextToCurrency("0.000050001", dot), 1);
    EXPECT_EQ(TextToCurrency("-1.23456", dot), -12346);
    EXPECT_EQ(TextToCurrency("0.000001", dot), 0);
    EXPECT_EQ(TextToCurrency("1.5e2", dot), 1500000);
    EXPECT_EQ(TextToCurrency("  $1,000.10 ", dot), 10001000);
}

TEST(Currency, FormatDropsTrailingZeros) {
    CUserLocale dot;
    EXPECT_EQ(FormatCurrency(125000, dot), "12.5");
    EXPECT_EQ(FormatCurrency(30000, dot), "3");
    EXPECT_EQ(FormatCurrency(0, dot), "0");
    EXPECT_EQ(FormatCurrency(-5, dot), "-0.0005");
    EXPECT_EQ(FormatCurrency(10001, CommaLocale()), "1,0001");
}

TEST(Currency, DoublesRoundAndOverflowIsAnError) {
    EXPECT_EQ(CurrencyFromDouble(0.1234), 1234);
    // 1/32 and 3/32 are exact doubles lying on a tie of ten-thousandths.
    EXPECT_EQ(CurrencyFromDouble(0.03125), 312) << "ties go to even";
    EXPECT_EQ(CurrencyFromDouble(0.09375), 938);
    EXPECT_EQ(CurrencyFromDouble(1.00005), 10001) << "the double of 1.00005 is a hair above the tie";
    EXPECT_EQ(CurrencyFromDouble(-2.5), -25000);
    EXPECT_EQ(CurrencyFromDouble(9.2e14), 9200000000000000000);
    EXPECT_THROW(CurrencyFromDouble(922337203685477.6), CConversionError);
    EXPECT_THROW(CurrencyFromDouble(-1e15), CConversionError);
    EXPECT_THROW(CurrencyFromDouble(NAN), CConversionError);
    EXPECT_THROW(CurrencyFromDouble(INFINITY), CConversionError);
    EXPECT_DOUBLE_EQ(CurrencyToDouble(12345), 1.2345);
    EXPECT_DOUBLE_EQ(CurrencyToDouble(INT64_MIN), -922337203685477.5808);
}
