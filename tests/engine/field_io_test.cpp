// ReadFieldValue and WriteFieldValue for every type letter: the bytes each
// value becomes and what reads back, the bytes each encoding reads as,
// refusals that leave the field intact, and damaged descriptors that must not
// reach outside the record.
#include "engine/field_io.h"

#include <optional>

#include <gtest/gtest.h>

#include "tests/support/engine_support.h"
#include "tests/support/table_builder.h"

using dbf::DBFFieldDesc;
using dbf::FieldKind;
using dbf::FieldValue;
using platform::CConversionError;
using namespace testing_support;

namespace {

DBFFieldDesc Desc(char cType, uint16_t nWidth, uint8_t nDecimals = 0, uint8_t nFlags = 0, uint32_t nDisp = 1) {
    DBFFieldDesc d{};
    d.SetName("FIELD");
    d.type = cType;
    d.width = uint8_t(nWidth);
    d.decimals = d.HasDecimals() || cType == 'I' ? nDecimals : uint8_t(nWidth >> 8);
    d.flags = nFlags;
    d.SetDisplacement(nDisp);
    return d;
}

// One field in a record filled with '#', the byte before and after it a
// guard that the destructor checks: a write outside the field shows, and
// so does a field the write left alone.
class OneField {
public:
    OneField(char cType, uint16_t nWidth, uint8_t nDecimals = 0, uint8_t nFlags = 0)
        : m_desc(Desc(cType, nWidth, nDecimals, nFlags)), m_record(size_t(m_desc.GetLayoutWidth()) + 2, '#') {}
    ~OneField() { EXPECT_TRUE(m_record.front() == '#' && m_record.back() == '#') << "wrote outside " << m_desc.type; }

    std::string Bytes() const { return std::string(m_record.begin() + 1, m_record.end() - 1); }
    void Set(const std::string& str) {
        ASSERT_EQ(str.size(), m_record.size() - 2);
        std::copy(str.begin(), str.end(), m_record.begin() + 1);
    }
    FieldValue Read() const {
        FieldValue v = FieldValue::MakeText("stale");
        dbf::ReadFieldValue(m_record, m_desc, v);
        return v;
    }
    void Write(const FieldValue& v, const platform::CUserLocale& locale = {}) {
        dbf::WriteFieldValue(m_record, m_desc, v, locale);
    }
    const DBFFieldDesc m_desc;
    std::vector<uint8_t> m_record;  // guards included
};

FieldValue Text(const std::string& str) { return FieldValue::MakeText(str); }
FieldValue Num(double d) { return FieldValue::MakeDouble(d); }
FieldValue Date(int y, int m, int d, int hh = 0, int mm = 0, int ss = 0) {
    return FieldValue::MakeDate(OleDate(y, m, d, hh, mm, ss));
}
std::string Zeros(size_t n) { return std::string(n, '\0'); }
std::string DateTime(int y, int m, int d, int32_t nMs = 0) { return DateTimeBytes(JulianDay(y, m, d), nMs); }

struct FieldCase {
    char cType;
    uint16_t nWidth;
    uint8_t nDecimals;
    FieldValue value;
    std::string strBytes;
    std::optional<FieldValue> back = std::nullopt;  // what reads back, when checked
};

}  // namespace

TEST(FieldIO, EachValueWritesItsBytesAndReadsBack) {
    const std::string strSmt = std::string("\x08\x00", 2) + LE32(5) + LE32(7);
    const FieldCase cases[] = {
        {'C', 6, 0, Text("abc"), "abc   ", Text("abc")},
        {'C', 6, 0, Text("abcdefgh"), "abcdef"},
        {'C', 6, 0, Text(std::string("ab\0cd", 5)), std::string("ab\0\0\0 ", 6)},  // NULs past the first one
        {'C', 6, 0, FieldValue::MakeNull(), "      "},
        {'C', 6, 0, Num(2.5), "2,5   "},  // a number becomes the user's text
        {'C', 300, 0, Text(std::string(400, 'z')), std::string(300, 'z'), Text(std::string(300, 'z'))},  // 0x2C, 0x01
        {'V', 8, 0, Text("zz"), "########"},  // an unknown letter is never written
        {'N', 8, 2, Num(3.14159), "    3.14", Num(3.14)},
        {'N', 8, 2, FieldValue(), "    0.00"},  // Empty is the number 0
        {'N', 8, 2, Num(-0.001), "    0.00"},  // no negative zero
        {'N', 8, 2, FieldValue::MakeNull(), "        "},
        {'N', 8, 2, Text("1.234,5"), " 1234.50", Num(1234.5)},  // typed by the locale, stored with '.'
        // Text is rounded as the decimal number it spells, half away from
        // zero; a double keeps its binary rounding (1.005 is 1.00499...).
        {'N', 8, 2, Text("1,005"), "    1.01"},
        {'N', 8, 2, Text("2,675"), "    2.68"},
        {'N', 8, 2, Text("-1,005"), "   -1.01"},
        {'N', 8, 2, Text("-0,004"), "    0.00"},
        {'N', 8, 2, Text("99999,995"), "100000.0"},  // rounding carries into a sixth digit: one decimal fewer
        {'N', 8, 2, Num(1.005), "    1.00"},
        {'N', 8, 2, Num(123456.78), "123456.8", Num(123456.8)},  // one decimal fewer instead of the cut 123456.7
        {'N', 8, 2, Num(12345678.4), "12345678"},
        {'N', 8, 2, Num(-1234567.5), "-1234568"},
        {'N', 5, 0, FieldValue::MakeInt32(-12), "  -12", Num(-12)},
        {'F', 6, 1, Num(-2.5), "  -2.5", Num(-2.5)},
        // The time of day is not stored.
        {'D', 8, 0, Date(1, 1, 1, 13, 14, 15), "00010101", Date(1, 1, 1)},
        {'D', 8, 0, Date(800, 5, 5, 13, 14, 15), "08000505", Date(800, 5, 5)},
        {'D', 8, 0, Date(1899, 12, 30, 13, 14, 15), "18991230", Date(1899, 12, 30)},
        {'D', 8, 0, Date(1900, 2, 28, 13, 14, 15), "19000228", Date(1900, 2, 28)},
        {'D', 8, 0, Date(2000, 2, 29, 13, 14, 15), "20000229", Date(2000, 2, 29)},
        {'D', 8, 0, Date(9999, 12, 31, 13, 14, 15), "99991231", Date(9999, 12, 31)},
        {'D', 8, 0, Text("2002-03-04"), "20020304"},
        {'D', 8, 0, Text("04.03.2002"), "20020304"},
        {'D', 8, 0, Text("abc"), "        "},  // text that is no date blanks the field
        {'D', 8, 0, FieldValue(), "        "},
        {'D', 4, 0, Date(2002, 3, 4), "2002", FieldValue()},  // a damaged narrow field: never past it
        {'T', 8, 0, Date(1, 1, 1), DateTime(1, 1, 1), Date(1, 1, 1)},
        {'T', 8, 0, Date(1, 1, 1, 23, 59, 59), DateTime(1, 1, 1, 86399000), Date(1, 1, 1, 23, 59, 59)},
        {'T', 8, 0, Date(1899, 12, 29, 6), DateTime(1899, 12, 29, 6 * 3600000), Date(1899, 12, 29, 6)},  // its own day
        {'T', 8, 0, Date(1899, 12, 30, 0, 0, 1), DateTime(1899, 12, 30, 1000), Date(1899, 12, 30, 0, 0, 1)},
        {'T', 8, 0, Date(1900, 1, 1, 12), DateTime(1900, 1, 1, 43200000), Date(1900, 1, 1, 12)},
        {'T', 8, 0, Date(2000, 2, 29, 1, 2, 3), DateTime(2000, 2, 29, 3723000), Date(2000, 2, 29, 1, 2, 3)},
        {'T', 8, 0, Date(9999, 12, 31, 23, 59, 59), DateTime(9999, 12, 31, 86399000), Date(9999, 12, 31, 23, 59, 59)},
        // A hair short of midnight is the next day, not midnight of the same day.
        {'T', 8, 0, FieldValue::MakeDate(OleDate(2002, 3, 4) + 0.99999999), DateTime(2002, 3, 5)},
        {'T', 8, 0, Text("2002-03-04 12:34:56"), DateTime(2002, 3, 4, 45296000)},
        {'T', 8, 0, FieldValue(), Zeros(8), FieldValue()},  // blank: zero bytes, which every reader takes for none
        {'T', 8, 0, Text("abc"), Zeros(8)},
        {'I', 4, 0, FieldValue::MakeInt32(INT32_MIN), LE32(0x80000000), FieldValue::MakeInt32(INT32_MIN)},
        {'I', 4, 0, Text("1.234"), LE32(1234)},
        {'I', 4, 0, FieldValue::MakeNull(), Zeros(4)},
        {'Y', 8, 4, FieldValue::MakeCurrency(INT64_MAX), LE64(INT64_MAX), FieldValue::MakeCurrency(INT64_MAX)},
        {'Y', 8, 4, FieldValue::MakeCurrency(INT64_MIN), LE64(uint64_t(INT64_MIN)), FieldValue::MakeCurrency(INT64_MIN)},
        {'Y', 8, 4, FieldValue::MakeCurrency(-1), LE64(uint64_t(-1)), FieldValue::MakeCurrency(-1)},
        {'Y', 8, 4, Text("922337203685477,5807"), LE64(INT64_MAX)},
        {'Y', 8, 4, Text("-922337203685477,5807"), LE64(uint64_t(-INT64_MAX))},
        {'B', 8, 2, Num(-1.0 / 3.0), LEDouble(-1.0 / 3.0), Num(-1.0 / 3.0)},
        {'L', 1, 0, FieldValue::MakeBool(1), "T", FieldValue::MakeBool(1)},
        {'L', 1, 0, FieldValue::MakeBool(-1), "F", FieldValue::MakeBool(0)},  // only the engine's true is T
        {'L', 1, 0, Text("True"), "T"},
        // The letters the table's programs store and people type.
        {'L', 1, 0, Text("t"), "T"},
        {'L', 1, 0, Text("Y"), "T"},
        {'L', 1, 0, Text("y"), "T"},
        {'L', 1, 0, Text("f"), "F"},
        {'L', 1, 0, Text("N"), "F"},
        {'L', 1, 0, Text("?"), " "},
        {'L', 1, 0, Text(""), " "},
        {'L', 1, 0, FieldValue::MakeNull(), " "},
        {'L', 3, 0, FieldValue::MakeBool(1), std::string("T\0\0", 3)},
        {'M', 10, 0, FieldValue::MakeMemoRef(0), "          "},
        {'M', 10, 0, FieldValue::MakeMemoRef(77), "        77", FieldValue::MakeMemoRef(77)},
        {'M', 10, 0, Text("memo text is written by the cursor"), "##########"},  // other kinds write nothing
        {'M', 10, 0, FieldValue::MakeSmtMemoRef(5, 7), strSmt, FieldValue::MakeSmtMemoRef(5, 7)},
        {'M', 10, 0, FieldValue::MakeSmtMemoRef(5, 0), Zeros(10)},  // no block: no length either
        {'M', 4, 0, FieldValue::MakeMemoRef(9), LE32(9), FieldValue::MakeMemoRef(9)},
        {'M', 4, 0, FieldValue::MakeSmtMemoRef(1, 2), "####"},
        {'0', 2, 0, FieldValue::MakeMemoRef(0x00030002), std::string("\x02\x00", 2)},  // only its own bytes
        // Empty gives the blank of each type, as in a new record.
        {'C', 4, 0, FieldValue(), "    "},
        {'F', 3, 0, FieldValue(), "  0"},
        {'L', 1, 0, FieldValue(), "F"},
        {'I', 4, 0, FieldValue(), Zeros(4)},
        {'Y', 8, 4, FieldValue(), Zeros(8)},
        {'B', 8, 2, FieldValue(), Zeros(8)},
        {'M', 10, 0, FieldValue(), "##########"},
        {'G', 10, 0, FieldValue(), "##########"},
        {'0', 1, 0, FieldValue(), Zeros(1)},
    };
    for (const FieldCase& c : cases) {
        SCOPED_TRACE(std::string(1, c.cType) + std::to_string(c.nWidth) + " kind " + std::to_string(c.value.GetTypeCode()));
        OneField f(c.cType, c.nWidth, c.nDecimals);
        f.Write(c.value, CommaLocale());
        EXPECT_EQ(f.Bytes(), c.strBytes);
        if (c.back) {
            EXPECT_EQ(f.Read(), *c.back);
        }
    }
}

TEST(FieldIO, RefusedValuesLeaveTheFieldAsItWas) {
    const FieldCase cases[] = {
        {'C', 6, 0, FieldValue::MakeSmtMemoRef(1, 2), ""},
        {'N', 8, 2, Num(123456789), ""},
        {'N', 8, 2, Num(99999999.5), ""},  // rounding would widen it
        {'N', 8, 2, Num(INFINITY), ""},
        {'N', 8, 2, Num(NAN), ""},
        {'N', 8, 2, Text("abc"), ""},
        {'N', 8, 2, Text("3,5"), ""},  // a comma in a dot locale
        {'N', 8, 2, Text("1,2345"), ""},  // thousands come in groups of three
        {'Y', 8, 4, Text("1,2345"), ""},
        {'D', 8, 0, FieldValue::MakeNull(), ""},
        {'D', 8, 0, FieldValue::MakeDate(1e9), ""},
        {'I', 4, 0, Num(3e9), ""},
        {'Y', 8, 4, Num(1e16), ""},
        {'L', 1, 0, Text("maybe"), ""},
    };
    for (const FieldCase& c : cases) {
        SCOPED_TRACE(std::string(1, c.cType) + " kind " + std::to_string(c.value.GetTypeCode()));
        OneField f(c.cType, c.nWidth, c.nDecimals);
        EXPECT_THROW(f.Write(c.value), CConversionError);
        EXPECT_EQ(f.Bytes(), std::string(c.nWidth, '#'));
    }
}

TEST(FieldIO, EachEncodingReadsAsItsValue) {
    const FieldCase cases[] = {
        {'C', 8, 0, Text("ab"), "ab  \t   "},
        {'C', 8, 0, Text("ab"), std::string("ab\0cd   ", 8)},  // the text ends at the first NUL
        {'V', 8, 0, Text("ab      "), "ab      "},              // an unknown letter is raw text
        {'N', 8, 2, Num(0), "        "},                        // blank is 0, not Empty
        {'N', 8, 2, Num(12.5), "12.5abc "},
        {'D', 8, 0, FieldValue(), "        "},
        {'D', 8, 0, FieldValue(), "00000000"},
        {'D', 8, 0, FieldValue(), "20020230"},
        {'D', 8, 0, FieldValue(), "20021301"},
        {'D', 8, 0, FieldValue(), "abcdefgh"},
        {'D', 8, 0, Date(800, 5, 5), " 800 5 5"},  // each part is a C integer
        {'T', 8, 0, Date(2002, 3, 4, 12, 34, 57), DateTime(2002, 3, 4, 45296999)},  // 999 ms carry
        {'T', 8, 0, Date(2002, 3, 5, 0, 0, 1), DateTime(2002, 3, 4, 86400000 + 1000)},  // beyond a day run on
        {'T', 8, 0, FieldValue(), Zeros(8)},
        {'T', 8, 0, FieldValue(), std::string(8, ' ')},  // a day number beyond 9999
        {'T', 8, 0, FieldValue(), LE32(platform::kJulianDayOfYearOne) + LE32(uint32_t(-5000))},  // before the year 1
        {'L', 1, 0, FieldValue::MakeBool(1), "T"},
        {'L', 1, 0, FieldValue::MakeBool(1), "t"},
        {'L', 1, 0, FieldValue::MakeBool(1), "Y"},
        {'L', 1, 0, FieldValue::MakeBool(1), "y"},
        {'L', 1, 0, FieldValue::MakeBool(0), "F"},
        {'L', 1, 0, FieldValue::MakeBool(0), "?"},
        {'L', 1, 0, FieldValue::MakeBool(0), " "},
        {'L', 1, 0, FieldValue::MakeBool(0), "N"},
        {'M', 10, 0, FieldValue::MakeMemoRef(123), "       123"},
        {'M', 10, 0, FieldValue::MakeMemoRef(UINT32_MAX), "9999999999"},  // refused by the memo file, not wrapped
        {'M', 10, 0, FieldValue::MakeSmtMemoRef(5, 7), std::string("\x08\x00", 2) + LE32(5) + LE32(7)},
        {'M', 10, 0, FieldValue::MakeSmtMemoRef(5, 7), std::string("\x80\x00", 2) + LE32(5) + LE32(7)},  // signed
        {'M', 4, 0, FieldValue::MakeMemoRef(0xDEADBEEF), LE32(0xDEADBEEF)},
        {'G', 10, 0, FieldValue::MakeMemoRef(0), std::string("\x08\x00", 2) + "12345678"},  // G is never .SMT
        {'B', 10, 0, FieldValue::MakeSmtMemoRef(3, 4), std::string("\x08\x00", 2) + LE32(3) + LE32(4)},
        {'0', 2, 0, FieldValue::MakeMemoRef(0x105), "\x05\x01"},
    };
    for (const FieldCase& c : cases) {
        SCOPED_TRACE(std::string(1, c.cType) + " '" + c.strBytes + "'");
        OneField f(c.cType, c.nWidth, c.nDecimals);
        f.Set(c.strBytes);
        EXPECT_EQ(f.Read(), c.value);
    }
    OneField binary('C', 8, 0, dbf::kFieldFlagBinary), smtLike('M', 10);
    binary.Set("ab      ");
    EXPECT_EQ(binary.Read(), Text("ab      ")) << "flag 0x04 keeps trailing spaces";
    smtLike.Set(std::string("\x09\x00", 2) + LE32(5) + LE32(7));
    EXPECT_EQ(smtLike.Read().GetKind(), FieldKind::MemoRef) << "only 0x08 and 0x80 mark an .SMT reference";
}

TEST(FieldIO, ReadingStaysInsideTheFieldAndCopiesKeepTheirBytes) {
    // The digits right after an N field are not part of it.
    OneField n('N', 8, 2);
    n.Set("      12");
    n.m_record.back() = '9';
    EXPECT_EQ(n.Read(), Num(12));
    n.m_record.back() = '#';
    // A date-time read with its milliseconds carried writes back rounded.
    OneField t('T', 8);
    t.Set(DateTime(2002, 3, 4, 45296999));
    t.Write(t.Read());
    EXPECT_EQ(t.Bytes(), DateTime(2002, 3, 4, 45297000));
    // The restructure copy reads each field and writes it into a blank
    // record: memo references of G, P and dBASE's binary B arrive as they were.
    OneField g('G', 10), p('P', 4), b('B', 10);
    g.Set("        42");
    p.Set(LE32(17));
    b.Set(std::string("\x08\x00", 2) + LE32(3) + LE32(4));
    for (OneField* f : {&g, &p, &b}) {
        FieldValue v = f->Read();
        std::string strBefore = f->Bytes();
        f->Set(std::string(strBefore.size(), ' '));
        f->Write(v);
        EXPECT_EQ(f->Bytes(), strBefore) << f->m_desc.type;
    }
    // More than 32 nullable fields: every flag is kept, also when the
    // field's own bytes are written onto itself.
    OneField flags('0', 6), copy('0', 6);
    flags.Set("\x01\x02\x03\x04\x05\x06");
    const FieldValue v = flags.Read();
    ASSERT_EQ(v.GetKind(), FieldKind::Bytes);
    flags.Write(v);
    copy.Write(v);
    EXPECT_EQ(flags.Bytes(), "\x01\x02\x03\x04\x05\x06");
    EXPECT_EQ(copy.Bytes(), "\x01\x02\x03\x04\x05\x06");
}

TEST(FieldIO, DescriptorsOutsideTheRecordAreRefused) {
    std::vector<uint8_t> record(10, ' ');
    FieldValue v;
    for (const DBFFieldDesc& d : {Desc('C', 10, 0, 0, 1),          // one byte past the end
                                  Desc('N', 5, 0, 0, 0xFFFFFFFF),  // far away, no wrap-around
                                  Desc('C', 0x100, 0, 0, 1),       // the high width byte counts for C
                                  Desc('T', 8, 0, 0, 3), Desc('0', 2, 0, 0, 10)}) {
        EXPECT_EQ(ErrorCodeOf([&] { dbf::ReadFieldValue(record, d, v); }), dbf::errNotDbfFile) << d.type;
        EXPECT_THROW(dbf::WriteFieldValue(record, d, Text("1")), dbf::CDBFException);
    }
    EXPECT_EQ(record, std::vector<uint8_t>(10, ' '));
    // Exactly at the end is fine, and so is an empty field.
    EXPECT_EQ(dbf::ReadFieldValue(record, Desc('C', 9, 0, 0, 1), v), 9u);
    EXPECT_EQ(dbf::ReadFieldValue(record, Desc('N', 0, 0, 0, 10), v), 0u);
    dbf::WriteFieldValue(record, Desc('N', 0, 0, 0, 10), Num(5));
    // A decimals byte that is really the high width byte does not widen N.
    EXPECT_NO_THROW(dbf::ReadFieldValue(record, Desc('N', 5, 200, 0, 1), v));
}
