// ReadFieldValue and WriteFieldValue for every type letter: the encodings,
// the blanks of a new record, refusals that leave the field intact, and
// damaged descriptors that must not reach outside the record.
#include "engine/field_io.h"

#include <cmath>
#include <cstring>

#include <gtest/gtest.h>

#include "engine/dbf_exception.h"
#include "platform/core/byte_order.h"
#include "platform/core/ole_date.h"

using dbf::DBFFieldDesc;
using dbf::FieldKind;
using dbf::FieldValue;
using platform::CConversionError;
using platform::CUserLocale;

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

CUserLocale CommaLocale() {
    CUserLocale l;
    l.m_cDecimal = ',';
    l.m_cThousands = '.';
    l.SetDateOrder(platform::DateOrder::DMY, '.');
    return l;
}

// One field in a record, with a guard byte on each side to catch writes
// outside the field; the destructor checks the guards.
class OneField {
public:
    OneField(char cType, uint16_t nWidth, uint8_t nDecimals = 0, uint8_t nFlags = 0)
        : m_desc(Desc(cType, nWidth, nDecimals, nFlags)), m_record(size_t(m_desc.GetLayoutWidth()) + 2, '#') {}
    ~OneField() { EXPECT_TRUE(m_record.front() == '#' && m_record.back() == '#') << "wrote outside " << m_desc.type; }

    std::string Bytes() const { return std::string(m_record.begin() + 1, m_record.end() - 1); }
    void Set(const std::string& str) {
        ASSERT_EQ(str.size(), m_record.size() - 2);
        std::memcpy(m_record.data() + 1, str.data(), str.size());
    }
    FieldValue Read(uint32_t* pnWidth = nullptr) const {
        FieldValue v = FieldValue::MakeText("stale");
        uint32_t n = dbf::ReadFieldValue(m_record, m_desc, v);
        if (pnWidth) *pnWidth = n;
        return v;
    }
    void Write(const FieldValue& v, const CUserLocale& locale = CUserLocale()) {
        dbf::WriteFieldValue(m_record, m_desc, v, locale);
    }
    // Each value written gives its bytes.
    void ExpectWrites(std::initializer_list<std::pair<FieldValue, std::string>> cases,
                      const CUserLocale& locale = CUserLocale()) {
        for (const auto& [v, strBytes] : cases) {
            Write(v, locale);
            EXPECT_EQ(Bytes(), strBytes) << m_desc.type << " kind " << v.GetTypeCode();
        }
    }
    // Each value is refused and leaves the field as it was.
    void ExpectRefused(std::initializer_list<FieldValue> values, const CUserLocale& locale = CUserLocale()) {
        const std::string strBefore = Bytes();
        for (const FieldValue& v : values) {
            EXPECT_THROW(Write(v, locale), CConversionError) << m_desc.type << " kind " << v.GetTypeCode();
            EXPECT_EQ(Bytes(), strBefore);
        }
    }
    void SetGuardAfter(char c) { m_record.back() = uint8_t(c); }
    void RestoreGuard() { m_record.back() = '#'; }
    const DBFFieldDesc& Descriptor() const { return m_desc; }

private:
    DBFFieldDesc m_desc;
    std::vector<uint8_t> m_record;
};

double Date(int y, int m, int d, int h = 0, int mi = 0, int s = 0) {
    double dResult = NAN;
    EXPECT_TRUE(platform::MakeOleDate(y, m, d, h, mi, s, dResult));
    return dResult;
}

std::string LE32(uint32_t n) {
    char b[4];
    platform::PutLE32(b, n);
    return std::string(b, 4);
}

FieldValue Text(const std::string& str) { return FieldValue::MakeText(str); }
FieldValue Num(double d) { return FieldValue::MakeDouble(d); }

}  // namespace

TEST(CharacterFields, TrimmingNulAndTheBinaryFlag) {
    OneField c('C', 8);
    c.Set(std::string("ab  \t   ", 8));
    EXPECT_EQ(c.Read(), Text("ab"));
    c.Set(std::string("ab\0cd   ", 8));
    EXPECT_EQ(c.Read(), Text("ab")) << "the text ends at the first NUL";
    OneField binary('C', 8, 0, dbf::kFieldFlagBinary);
    binary.Set("ab      ");
    EXPECT_EQ(binary.Read(), Text("ab      ")) << "flag 0x04 keeps trailing spaces";
    OneField unknown('V', 8);
    unknown.Set("ab      ");
    EXPECT_EQ(unknown.Read(), Text("ab      ")) << "an unknown letter is raw text";
    unknown.Write(Text("zz"));
    EXPECT_EQ(unknown.Bytes(), "ab      ") << "and is never written";
}

TEST(CharacterFields, WritingPadsCutsConvertsAndRefuses) {
    OneField c('C', 6);
    c.ExpectWrites({{Text("abc"), "abc   "},
                    {Text("abcdefgh"), "abcdef"},
                    {Text(std::string("ab\0cd", 5)), std::string("ab\0\0\0 ", 6)},  // NULs past the first one
                    {FieldValue::MakeNull(), "      "},
                    {Num(2.5), "2,5   "}},  // a number becomes the user's text
                   CommaLocale());
    c.ExpectRefused({FieldValue::MakeSmtMemoRef(1, 2)});
    // Width 300 from the width byte 0x2C and the decimals byte 0x01.
    OneField wide('C', 300);
    wide.Write(Text(std::string(400, 'z')));
    EXPECT_EQ(wide.Bytes(), std::string(300, 'z'));
    uint32_t nWidth = 0;
    EXPECT_EQ(wide.Read(&nWidth).GetText().size(), 300u);
    EXPECT_EQ(nWidth, 300u);
}

TEST(NumericFields, FormattingRoundingAndRefusals) {
    OneField n('N', 8, 2);
    n.ExpectWrites({{Num(3.14159), "    3.14"},
                    {FieldValue(), "    0.00"},  // Empty is the number 0
                    {Num(-0.001), "    0.00"},  // no negative zero
                    {FieldValue::MakeNull(), "        "},
                    {Text("1.234,5"), " 1234.50"},  // typed by the locale, stored with '.'
                    {Num(123456.78), "123456.8"},  // one decimal fewer instead of the cut 123456.7
                    {Num(12345678.4), "12345678"},
                    {Num(-1234567.5), "-1234568"},
                    {Num(1.5), "    1.50"}},
                   CommaLocale());
    n.ExpectRefused({Num(123456789), Num(99999999.5) /* rounding would widen it */, Num(INFINITY), Num(NAN),
                     Text("abc"), Text("3,5") /* a comma in a dot locale */});
    OneField n5('N', 5, 0);
    n5.ExpectWrites({{FieldValue::MakeInt32(-12), "  -12"}});
}

TEST(NumericFields, ReadingLikeTheCLibrary) {
    OneField n('N', 8, 2);
    n.Set("        ");
    EXPECT_EQ(n.Read(), Num(0)) << "blank is 0, not Empty";
    n.Set("12.5abc ");
    EXPECT_EQ(n.Read(), Num(12.5));
    // The digits right after the field are not part of it.
    n.SetGuardAfter('9');
    n.Set("      12");
    EXPECT_EQ(n.Read(), Num(12));
    n.RestoreGuard();
}

TEST(DateFields, RoundTripsAcrossTheYears) {
    OneField d('D', 8);
    struct Case {
        int y, m, day;
        const char* pszBytes;
    } cases[] = {{1, 1, 1, "00010101"},     {800, 5, 5, "08000505"},   {1899, 12, 30, "18991230"},
                 {1900, 2, 28, "19000228"}, {2000, 2, 29, "20000229"}, {9999, 12, 31, "99991231"}};
    for (const auto& c : cases) {
        d.Write(FieldValue::MakeDate(Date(c.y, c.m, c.day, 13, 14, 15)));
        EXPECT_EQ(d.Bytes(), c.pszBytes) << "the time of day is not stored";
        EXPECT_EQ(d.Read(), FieldValue::MakeDate(Date(c.y, c.m, c.day)));
    }
}

TEST(DateFields, TextIsParsedBadTextBlanksNullIsRefused) {
    OneField d('D', 8);
    d.ExpectWrites({{Text("2002-03-04"), "20020304"},
                    {Text("abc"), "        "},
                    {Text("04.03.2002"), "20020304"},
                    {FieldValue(), "        "},
                    {FieldValue::MakeDate(Date(2002, 3, 4)), "20020304"}},
                   CommaLocale());
    d.ExpectRefused({FieldValue::MakeNull(), FieldValue::MakeDate(1e9)});
}

TEST(DateFields, ReadingBlankZeroAndImpossibleDates) {
    OneField d('D', 8);
    for (const char* psz : {"        ", "00000000", "20020230", "20021301", "abcdefgh"}) {
        d.Set(psz);
        EXPECT_TRUE(d.Read().IsEmpty()) << psz;
    }
    d.Set(" 800 5 5");
    EXPECT_EQ(d.Read(), FieldValue::MakeDate(Date(800, 5, 5))) << "each part is a C integer";
    // A damaged narrow date field reads what it has and never past it.
    OneField narrow('D', 4);
    narrow.Set("2002");
    EXPECT_TRUE(narrow.Read().IsEmpty());
    narrow.ExpectWrites({{FieldValue::MakeDate(Date(2002, 3, 4)), "2002"}});
}

TEST(DateTimeFields, JulianDaysAndMilliseconds) {
    OneField t('T', 8);
    t.Set(LE32(2452338) + LE32(45296999));
    EXPECT_EQ(t.Read(), FieldValue::MakeDate(Date(2002, 3, 4, 12, 34, 57))) << "999 ms carry into the next second";
    t.Write(t.Read());
    EXPECT_EQ(t.Bytes(), LE32(2452338) + LE32(45297000));
    t.Set(LE32(2452338) + LE32(86400000 + 1000));
    EXPECT_EQ(t.Read(), FieldValue::MakeDate(Date(2002, 3, 5, 0, 0, 1))) << "milliseconds beyond a day run on";
    // No date: zeros, spaces (a day number beyond 9999), a day before the year 1.
    for (const std::string& str : {std::string(8, '\0'), std::string(8, ' '),
                                   LE32(platform::kJulianDayOfYearOne) + LE32(uint32_t(-5000))}) {
        t.Set(str);
        EXPECT_TRUE(t.Read().IsEmpty());
    }
}

TEST(DateTimeFields, RoundTripsAcrossTheYears) {
    OneField t('T', 8);
    for (double d : {Date(1, 1, 1), Date(1, 1, 1, 23, 59, 59), Date(1899, 12, 29, 6, 0, 0), Date(1899, 12, 30, 0, 0, 1),
                     Date(1900, 1, 1, 12), Date(2000, 2, 29, 1, 2, 3), Date(9999, 12, 31, 23, 59, 59)}) {
        t.Write(FieldValue::MakeDate(d));
        EXPECT_EQ(t.Read(), FieldValue::MakeDate(d)) << platform::FormatOleDate(d, "%Y-%m-%d %H:%M:%S");
    }
    t.ExpectWrites({
        {FieldValue::MakeDate(Date(1899, 12, 29, 6, 0, 0)), LE32(2415018) + LE32(6 * 3600000)},  // its own day
        // A hair short of midnight is the next day, not midnight of the same day.
        {FieldValue::MakeDate(Date(2002, 3, 4) + 0.99999999), LE32(2452339) + LE32(0)},
        {Text("2002-03-04 12:34:56"), LE32(2452338) + LE32(45296000)},
        {FieldValue(), "        "},
    });
}

TEST(BinaryNumberFields, IntegerCurrencyAndDouble) {
    OneField i('I', 4), y('Y', 8), b('B', 8, 2);
    i.Write(FieldValue::MakeInt32(INT32_MIN));
    EXPECT_EQ(i.Read(), FieldValue::MakeInt32(INT32_MIN));
    i.Write(Text("1,234"));
    EXPECT_EQ(i.Read(), FieldValue::MakeInt32(1234));
    i.ExpectRefused({Num(3e9)});
    i.ExpectWrites({{FieldValue::MakeNull(), std::string(4, '\0')}});

    for (int64_t n : {INT64_MAX, INT64_MIN, int64_t(-1), int64_t(0)}) {
        y.Write(FieldValue::MakeCurrency(n));
        EXPECT_EQ(y.Read(), FieldValue::MakeCurrency(n));
    }
    y.Write(Text("922337203685477.5807"));
    EXPECT_EQ(y.Read(), FieldValue::MakeCurrency(INT64_MAX));
    y.ExpectRefused({Num(1e16)});

    b.Write(Num(-1.0 / 3.0));
    EXPECT_EQ(b.Read(), Num(-1.0 / 3.0));
}

TEST(LogicalFields, OnlyTheEnginesTrueIsStoredAsT) {
    OneField l('L', 1);
    for (auto [c, bTrue] : {std::pair{'T', true}, {'t', true}, {'Y', true}, {'y', true}, {'F', false}, {'?', false},
                            {' ', false}, {'N', false}}) {
        l.Set(std::string(1, c));
        EXPECT_EQ(l.Read(), FieldValue::MakeBool(bTrue ? 1 : 0)) << c;
    }
    l.ExpectWrites({{FieldValue::MakeBool(1), "T"},
                    {FieldValue::MakeBool(-1), "F"},
                    {Text("True"), "T"},
                    {FieldValue(), "F"},
                    {FieldValue::MakeNull(), " "}});
    l.ExpectRefused({Text("maybe")});
    OneField wide('L', 3);
    wide.ExpectWrites({{FieldValue::MakeBool(1), std::string("T\0\0", 3)}});
}

TEST(MemoFields, TenDigitReferences) {
    OneField m('M', 10);
    m.Set("       123");
    EXPECT_EQ(m.Read(), FieldValue::MakeMemoRef(123));
    m.Set("9999999999");
    EXPECT_EQ(m.Read(), FieldValue::MakeMemoRef(UINT32_MAX)) << "no block; refused by the memo file, not wrapped";
    m.ExpectWrites({{FieldValue::MakeMemoRef(0), "          "},
                    {FieldValue::MakeMemoRef(77), "        77"},
                    // Other kinds write nothing.
                    {FieldValue(), "        77"},
                    {Text("memo text is written by the cursor"), "        77"}});
}

TEST(MemoFields, SmtAndBinaryReferences) {
    const std::string strSmt = std::string("\x08\x00", 2) + LE32(5) + LE32(7);
    OneField m('M', 10);
    m.Set(strSmt);
    EXPECT_EQ(m.Read(), FieldValue::MakeSmtMemoRef(5, 7));
    m.Set(std::string("\x80\x00", 2) + LE32(5) + LE32(7));
    EXPECT_EQ(m.Read(), FieldValue::MakeSmtMemoRef(5, 7)) << "0x80 is negative as a signed byte";
    m.Set(std::string("\x09\x00", 2) + LE32(5) + LE32(7));
    EXPECT_EQ(m.Read().GetKind(), FieldKind::MemoRef);
    m.ExpectWrites({{FieldValue::MakeSmtMemoRef(5, 7), strSmt},
                    {FieldValue::MakeSmtMemoRef(5, 0), std::string(10, '\0')}});  // no block: no length either

    OneField m4('M', 4);
    m4.Set(LE32(0xDEADBEEF));
    EXPECT_EQ(m4.Read(), FieldValue::MakeMemoRef(0xDEADBEEF));
    m4.ExpectWrites({{FieldValue::MakeMemoRef(9), LE32(9)}, {FieldValue::MakeSmtMemoRef(1, 2), LE32(9)}});
}

TEST(MemoFields, PictureGeneralAndDbaseBinaryReferencesSurviveACopy) {
    OneField g('G', 10), p('P', 4), b('B', 10);
    g.Set(std::string("\x08\x00", 2) + "12345678");
    EXPECT_EQ(g.Read(), FieldValue::MakeMemoRef(0)) << "G is never an SMT reference";
    g.Set("        42");
    p.Set(LE32(17));
    b.Set(std::string("\x08\x00", 2) + LE32(3) + LE32(4));
    EXPECT_EQ(b.Read(), FieldValue::MakeSmtMemoRef(3, 4));
    // The restructure copy reads each field and writes it into a blank record.
    for (OneField* f : {&g, &p, &b}) {
        FieldValue v = f->Read();
        std::string strBefore = f->Bytes();
        f->Set(std::string(strBefore.size(), ' '));
        f->Write(v);
        EXPECT_EQ(f->Bytes(), strBefore) << f->Descriptor().type;
    }
}

TEST(NullFlagFields, NarrowAndWide) {
    OneField n('0', 2);
    n.Set("\x05\x01");
    EXPECT_EQ(n.Read(), FieldValue::MakeMemoRef(0x105));
    n.ExpectWrites({{FieldValue::MakeMemoRef(0x00030002), std::string("\x02\x00", 2)},  // only its own bytes
                    {FieldValue(), std::string(2, '\0')}});
    // More than 32 nullable fields: every flag is kept, also when the field's
    // own bytes are written onto itself.
    OneField wide('0', 6), copy('0', 6);
    wide.Set("\x01\x02\x03\x04\x05\x06");
    FieldValue v = wide.Read();
    ASSERT_EQ(v.GetKind(), FieldKind::Bytes);
    EXPECT_EQ(v.GetBytes().nLength, 6u);
    wide.ExpectWrites({{v, "\x01\x02\x03\x04\x05\x06"}});
    copy.ExpectWrites({{v, "\x01\x02\x03\x04\x05\x06"}});
}

TEST(NewRecords, EmptyGivesTheBlankOfEachType) {
    struct Case {
        char cType;
        uint16_t nWidth;
        uint8_t nDecimals;
        std::string strBlank;
    } cases[] = {
        {'C', 4, 0, "    "},
        {'N', 6, 2, "  0.00"},
        {'F', 3, 0, "  0"},
        {'D', 8, 0, "        "},
        {'T', 8, 0, "        "},
        {'L', 1, 0, "F"},
        {'I', 4, 0, std::string(4, '\0')},
        {'Y', 8, 4, std::string(8, '\0')},
        {'B', 8, 2, std::string(8, '\0')},
        {'M', 10, 0, std::string(10, '\0')},
        {'M', 4, 0, std::string(4, '\0')},
        {'G', 10, 0, std::string(10, '\0')},
        {'0', 1, 0, std::string(1, '\0')},
    };
    for (const auto& c : cases) {
        OneField f(c.cType, c.nWidth, c.nDecimals);
        f.Set(std::string(c.nWidth, '\0'));
        f.ExpectWrites({{FieldValue(), c.strBlank}});
    }
}

TEST(DamagedDescriptors, FieldsOutsideTheRecordAreRefused) {
    std::vector<uint8_t> record(10, ' ');
    FieldValue v;
    for (const DBFFieldDesc& d : {Desc('C', 10, 0, 0, 1),            // one byte past the end
                                  Desc('N', 5, 0, 0, 0xFFFFFFFF),    // far away, no wrap-around
                                  Desc('C', 0x100, 0, 0, 1),         // the high width byte counts for C
                                  Desc('T', 8, 0, 0, 3), Desc('0', 2, 0, 0, 10)}) {
        try {
            dbf::ReadFieldValue(record, d, v);
            ADD_FAILURE() << "read of " << d.type << " not refused";
        } catch (const dbf::CDBFException& e) {
            EXPECT_EQ(e.GetCode(), dbf::errNotDbfFile);
        }
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
