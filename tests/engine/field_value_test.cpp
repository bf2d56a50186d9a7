// FieldValue kinds and the coercion between them.
#include "engine/field_value.h"

#include <cmath>

#include <gtest/gtest.h>

#include "platform/core/ole_date.h"

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

TEST(FieldValueKinds, TypeCodesAreTheVariantNumbers) {
    uint8_t bytes[2] = {1, 2};
    EXPECT_EQ(FieldValue().GetTypeCode(), 0u);
    EXPECT_EQ(FieldValue::MakeNull().GetTypeCode(), 1u);
    EXPECT_EQ(FieldValue::MakeInt32(1).GetTypeCode(), 3u);
    EXPECT_EQ(FieldValue::MakeDouble(1).GetTypeCode(), 5u);
    EXPECT_EQ(FieldValue::MakeCurrency(1).GetTypeCode(), 6u);
    EXPECT_EQ(FieldValue::MakeDate(1).GetTypeCode(), 7u);
    EXPECT_EQ(FieldValue::MakeText("x").GetTypeCode(), 8u);
    EXPECT_EQ(FieldValue::MakeBool(1).GetTypeCode(), 11u);
    EXPECT_EQ(FieldValue::MakeSmtMemoRef(5, 7).GetTypeCode(), 14u);
    EXPECT_EQ(FieldValue::MakeMemoRef(3).GetTypeCode(), 19u);
    EXPECT_EQ(FieldValue::MakeBytes(bytes, 2).GetTypeCode(), 0x4011u);
    // Same payload, different kinds: not equal.
    EXPECT_NE(FieldValue::MakeDouble(1), FieldValue::MakeDate(1));
    EXPECT_NE(FieldValue::MakeInt32(1), FieldValue::MakeBool(1));
    EXPECT_EQ(FieldValue::MakeSmtMemoRef(5, 7).GetSmtMemoRef(), (dbf::SmtMemoRef{5, 7}));
    EXPECT_THROW(FieldValue::MakeInt32(1).GetText(), std::bad_variant_access);
}

TEST(FieldValueCoercion, EmptyIsZeroEmptyTextAndFalse) {
    FieldValue empty;
    CUserLocale dot;
    EXPECT_EQ(empty.ToInt32(dot), 0);
    EXPECT_EQ(empty.ToDouble(dot), 0.0);
    EXPECT_EQ(empty.ToCurrency(dot), 0);
    EXPECT_EQ(empty.ToText(dot), "");
    EXPECT_FALSE(empty.ToBool(dot));
    EXPECT_EQ(empty.CoercedTo(FieldKind::Date, dot), FieldValue::MakeDate(0));
    EXPECT_EQ(empty.CoercedTo(FieldKind::Empty, dot), empty);
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
    EXPECT_EQ(FieldValue::MakeInt32(-7).ToText(comma), "-7");
    EXPECT_EQ(FieldValue::MakeMemoRef(4000000000u).ToText(dot), "4000000000");
    EXPECT_THROW(FieldValue::MakeMemoRef(4000000000u).ToInt32(dot), CConversionError);
    // Currency to Int32 rounds half to even in exact arithmetic.
    EXPECT_EQ(FieldValue::MakeCurrency(25000).ToInt32(dot), 2);
    EXPECT_EQ(FieldValue::MakeCurrency(35000).ToInt32(dot), 4);
    EXPECT_EQ(FieldValue::MakeCurrency(-25001).ToInt32(dot), -3);
    EXPECT_THROW(FieldValue::MakeCurrency(INT64_MAX).ToInt32(dot), CConversionError);
    EXPECT_THROW(FieldValue::MakeDouble(1e300).ToCurrency(dot), CConversionError);
    EXPECT_EQ(FieldValue::MakeInt32(INT32_MIN).ToCurrency(dot), int64_t(INT32_MIN) * 10000);
}

TEST(FieldValueCoercion, BooleansAndDates) {
    CUserLocale dot, comma = CommaLocale();
    EXPECT_EQ(FieldValue::MakeInt32(5).CoercedTo(FieldKind::Bool, dot), FieldValue::MakeBool(1)) << "true is 1";
    EXPECT_EQ(FieldValue::MakeText("true").CoercedTo(FieldKind::Bool, dot), FieldValue::MakeBool(1));
    EXPECT_EQ(FieldValue::MakeBool(-1).CoercedTo(FieldKind::Bool, dot), FieldValue::MakeBool(-1)) << "kept as is";
    EXPECT_EQ(FieldValue::MakeBool(1).ToText(dot), "True");
    EXPECT_EQ(FieldValue::MakeBool(1).ToInt32(dot), 1);

    double d;
    ASSERT_TRUE(platform::MakeOleDate(2002, 3, 4, 12, 34, 56, d));
    EXPECT_EQ(FieldValue::MakeDate(d).ToText(comma), "04.03.2002 12:34:56");
    EXPECT_EQ(FieldValue::MakeText("04.03.2002 12:34:56").ToDate(comma), d);
    EXPECT_EQ(FieldValue::MakeDouble(d).ToDate(dot), d);
    EXPECT_EQ(FieldValue::MakeDate(d).ToDouble(dot), d);
    EXPECT_THROW(FieldValue::MakeText("31.02.2002").ToDate(comma), CConversionError);
    EXPECT_THROW(FieldValue::MakeDouble(1e9).ToDate(dot), CConversionError);
    EXPECT_THROW(FieldValue::MakeDate(NAN).ToText(dot), CConversionError);
}

TEST(FieldValueCoercion, UsesTheCurrentLocaleByDefault) {
    platform::CScopedUserLocale scoped(CommaLocale());
    EXPECT_EQ(FieldValue::MakeText("1.234,5").ToDouble(), 1234.5);
    FieldValue v = FieldValue::MakeText("0,5");
    v.ChangeKind(FieldKind::Double);
    EXPECT_EQ(v, FieldValue::MakeDouble(0.5));
}
