// Engine error texts, FieldValue kinds and the coercion between them.
#include "engine/field_value.h"

#include <cmath>
#include <cstring>

#include <gtest/gtest.h>

#include "engine/dbf_exception.h"
#include "platform/core/ole_date.h"

using dbf::CDBFException;
using dbf::FieldKind;
using dbf::FieldValue;
using platform::CConversionError;
using platform::CUserLocale;

namespace {
CUserLocale CommaLocale() {
    CUserLocale l;
    l.m_cDecimal = ',';
    l.m_cThousands = '.';
    l.SetDateOrder(platform::DateOrder::DMY, '.');
    return l;
}
}  // namespace

TEST(EngineErrors, MessagesComeFromTheStringTableOrFallBackToTheNumber) {
    const std::pair<int, const char*> cases[] = {
        {3006, "File destruct or not .dbf file. "},  // trailing space kept
        {3016, "Error number 0x00000BC8."},          // a code without text
        {0x1234ABCD, "Error number 0x1234ABCD."},
        {-1, "Error number 0xFFFFFFFF."},
    };
    for (const auto& [nCode, pszText] : cases) EXPECT_EQ(CDBFException(nCode).GetErrorMessage(), pszText) << nCode;
    EXPECT_STREQ(CDBFException(3017).what(), "Out of range.");
}

TEST(EngineErrors, BufferKeepsAtMostTwoLessThanItsSize) {
    CDBFException e(3011);
    char buf[10], big[64], one[1] = {'x'};
    std::memset(buf, 'x', sizeof buf);
    unsigned nHelp = 99;
    EXPECT_TRUE(e.GetErrorMessage(buf, sizeof buf, &nHelp));
    EXPECT_STREQ(buf, "File hea");
    EXPECT_EQ(buf[9], '\0');
    EXPECT_EQ(nHelp, 0u);
    e.GetErrorMessage(big, sizeof big);
    EXPECT_STREQ(big, "File head error. This format not support.");
    e.GetErrorMessage(one, 1);
    EXPECT_EQ(one[0], '\0');
}

TEST(FieldValueCoercion, EmptyIsZeroEmptyTextAndFalse) {
    FieldValue empty;
    CUserLocale dot;
    EXPECT_TRUE(empty.ToInt32(dot) == 0 && empty.ToDouble(dot) == 0.0 && empty.ToCurrency(dot) == 0);
    EXPECT_EQ(empty.ToText(dot), "");
    EXPECT_FALSE(empty.ToBool(dot));
    EXPECT_EQ(empty.CoercedTo(FieldKind::Date, dot), FieldValue::MakeDate(0));
    EXPECT_EQ(empty.CoercedTo(FieldKind::Empty, dot), empty);
    EXPECT_NE(FieldValue::MakeDouble(1), FieldValue::MakeDate(1)) << "same payload, different kinds";
}

TEST(FieldValueCoercion, NullAndForeignKindsAreRefused) {
    CUserLocale dot;
    uint8_t b = 0;
    for (const FieldValue& v : {FieldValue::MakeNull(), FieldValue::MakeSmtMemoRef(1, 2), FieldValue::MakeBytes(&b, 1)}) {
        EXPECT_THROW(v.ToInt32(dot), CConversionError) << v.GetTypeCode();
        EXPECT_THROW(v.ToDouble(dot), CConversionError);
        EXPECT_THROW(v.ToText(dot), CConversionError);
        EXPECT_THROW(v.ToBool(dot), CConversionError);
        EXPECT_THROW(v.ToDate(dot), CConversionError);
        EXPECT_THROW(v.CoercedTo(FieldKind::MemoRef, dot), CConversionError);
    }
    EXPECT_THROW(FieldValue::MakeInt32(1).CoercedTo(FieldKind::Null, dot), CConversionError);
    EXPECT_THROW(FieldValue::MakeInt32(1).CoercedTo(FieldKind::Empty, dot), CConversionError);
}

TEST(FieldValueCoercion, NumbersFollowTheLocale) {
    CUserLocale dot, comma = CommaLocale();
    EXPECT_EQ(FieldValue::MakeText("2,5").ToDouble(comma), 2.5);
    EXPECT_THROW(FieldValue::MakeText("2,5").ToDouble(dot), CConversionError);
    EXPECT_EQ(FieldValue::MakeDouble(2.5).ToText(comma), "2,5");
    EXPECT_EQ(FieldValue::MakeCurrency(125000).ToText(comma), "12,5");
    EXPECT_EQ(FieldValue::MakeText("12,3456").ToCurrency(comma), 123456);
    EXPECT_EQ(FieldValue::MakeMemoRef(4000000000u).ToText(dot), "4000000000");
    EXPECT_THROW(FieldValue::MakeMemoRef(4000000000u).ToInt32(dot), CConversionError);
    // Currency to Int32 rounds half to even in exact arithmetic.
    EXPECT_EQ(FieldValue::MakeCurrency(25000).ToInt32(dot), 2);
    EXPECT_EQ(FieldValue::MakeCurrency(35000).ToInt32(dot), 4);
    EXPECT_EQ(FieldValue::MakeCurrency(-25001).ToInt32(dot), -3);
    EXPECT_THROW(FieldValue::MakeCurrency(INT64_MAX).ToInt32(dot), CConversionError);
    EXPECT_THROW(FieldValue::MakeDouble(1e300).ToCurrency(dot), CConversionError);
}

TEST(FieldValueCoercion, BooleansAndDates) {
    CUserLocale dot, comma = CommaLocale();
    EXPECT_EQ(FieldValue::MakeInt32(5).CoercedTo(FieldKind::Bool, dot), FieldValue::MakeBool(1)) << "true is 1";
    EXPECT_EQ(FieldValue::MakeText("true").CoercedTo(FieldKind::Bool, dot), FieldValue::MakeBool(1));
    EXPECT_EQ(FieldValue::MakeBool(-1).CoercedTo(FieldKind::Bool, dot), FieldValue::MakeBool(-1)) << "kept as is";
    EXPECT_EQ(FieldValue::MakeBool(1).ToText(dot), "True");

    double d;
    ASSERT_TRUE(platform::MakeOleDate(2002, 3, 4, 12, 34, 56, d));
    EXPECT_EQ(FieldValue::MakeDate(d).ToText(comma), "04.03.2002 12:34:56");
    EXPECT_EQ(FieldValue::MakeText("04.03.2002 12:34:56").ToDate(comma), d);
    EXPECT_EQ(FieldValue::MakeDouble(d).ToDate(dot), d);
    EXPECT_THROW(FieldValue::MakeText("31.02.2002").ToDate(comma), CConversionError);
    EXPECT_THROW(FieldValue::MakeDouble(1e9).ToDate(dot), CConversionError);
    EXPECT_THROW(FieldValue::MakeDate(NAN).ToText(dot), CConversionError);
}
