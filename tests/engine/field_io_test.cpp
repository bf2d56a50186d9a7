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

// One field in a record, with a guard byte on each side to catch writes
// outside the field.
class OneField {
public:
    OneField(char cType, uint16_t nWidth, uint8_t nDecimals = 0, uint8_t nFlags = 0)
        : m_desc(Desc(cType, nWidth, nDecimals, nFlags)), m_record(size_t(m_desc.GetLayoutWidth()) + 2, '#') {}

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
    bool GuardsIntact() const { return m_record.front() == '#' && m_record.back() == '#'; }
    std::vector<uint8_t>& Record() { return m_record; }
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

CUserLocale CommaLocale() {
    CUserLocale l;
    l.m_cDecimal = ',';
    l.m_cThousands = '.';
    l.SetDateOrder(platform::DateOrder::DMY, '.');
    return l;
}

}  // namespace

TEST(CharacterFields, TrimmingNulAndTheBinaryFlag) {
    OneField c('C', 8);
    c.Set(std::string("ab  \t   ", 8));
    EXPECT_EQ(c.Read(), FieldValue::MakeText("ab"));
    c.Set(std::string("ab\0cd   ", 8));
    EXPECT_EQ(c.Read(), FieldValue::MakeText("ab")) << "the text ends at the first NUL";
    OneField binary('C', 8, 0, dbf::kFieldFlagBinary);
    binary.Set("ab      ");
    EXPECT_EQ(binary.Read(), FieldValue::MakeText("ab      ")) << "flag 0x04 keeps trailing spaces";
    OneField unknown('V', 8);
    unknown.Set("ab      ");
    EXPECT_EQ(unknown.Read(), FieldValue::MakeText("ab      ")) << "an unknown letter is raw text";
    unknown.Write(FieldValue::MakeText("zz"));
    EXPECT_EQ(unknown.Bytes(), "ab      ") << "and is never written";
}

TEST(CharacterFields, WritingPadsCutsAndConverts) {
    OneField c('C', 6);
    c.Write(FieldValue::MakeText("abc"));
    EXPECT_EQ(c.Bytes(), "abc   ");
    c.Write(FieldValue::MakeText("abcdefgh"));
    EXPECT_EQ(c.Bytes(), "abcdef");
    c.Write(FieldValue::MakeText(std::string("ab\0cd", 5)));
    EXPECT_EQ(c.Bytes(), std::string("ab\0\0\0 ", 6)) << "after a NUL the copied length becomes NULs";
    c.Write(FieldValue::MakeDouble(2.5), CommaLocale());
    EXPECT_EQ(c.Bytes(), "2,5   ") << "a number becomes the user's text";
    c.Write(FieldValue::MakeNull());
    EXPECT_EQ(c.Bytes(), "      ");
    EXPECT_TRUE(c.GuardsIntact());
    // Width 300 from the width byte 0x2C and the decimals byte 0x01.
    OneField wide('C', 300);
    std::string strLong(400, 'z');
    wide.Write(FieldValue::MakeText(strLong));
    EXPECT_EQ(wide.Bytes(), std::string(300, 'z'));
    uint32_t nWidth = 0;
    EXPECT_EQ(wide.Read(&nWidth).GetText().size(), 300u);
    EXPECT_EQ(nWidth, 300u);
    EXPECT_TRUE(wide.GuardsIntact());
}

TEST(CharacterFields, ARefusedValueKeepsTheOldText) {
    OneField c('C', 6);
    c.Write(FieldValue::MakeText("keep"));
    EXPECT_THROW(c.Write(FieldValue::MakeSmtMemoRef(1, 2)), CConversionError);
    EXPECT_EQ(c.Bytes(), "keep  ");
}

TEST(NumericFields, FormattingOfTheDecimals) {
    OneField n('N', 8, 2);
    n.Write(FieldValue::MakeDouble(3.14159));
    EXPECT_EQ(n.Bytes(), "    3.14");
    OneField n5('N', 5, 0);
    n5.Write(FieldValue::MakeInt32(-12));
    EXPECT_EQ(n5.Bytes(), "  -12");
    n.Write(FieldValue());
    EXPECT_EQ(n.Bytes(), "    0.00") << "Empty is the number 0";
    n.Write(FieldValue::MakeDouble(-0.001));
    EXPECT_EQ(n.Bytes(), "    0.00") << "no negative zero";
    n.Write(FieldValue::MakeNull());
    EXPECT_EQ(n.Bytes(), "        ");
    n.Write(FieldValue::MakeText("1.234,5"), CommaLocale());
    EXPECT_EQ(n.Bytes(), " 1234.50") << "typed by the locale, stored with '.'";
    EXPECT_TRUE(n.GuardsIntact());
}

TEST(NumericFields, TooWideNumbersAreRoundedOrRefusedNeverCut) {
    OneField n('N', 8, 2);
    n.Write(FieldValue::MakeDouble(123456.78));
    EXPECT_EQ(n.Bytes(), "123456.8") << "one decimal fewer instead of the cut 123456.7";
    n.Write(FieldValue::MakeDouble(12345678.4));
    EXPECT_EQ(n.Bytes(), "12345678");
    n.Write(FieldValue::MakeDouble(-1234567.5));
    EXPECT_EQ(n.Bytes(), "-1234568");
    n.Write(FieldValue::MakeDouble(1.5));
    EXPECT_THROW(n.Write(FieldValue::MakeDouble(123456789)), CConversionError);
    EXPECT_THROW(n.Write(FieldValue::MakeDouble(99999999.5)), CConversionError) << "rounding would widen it";
    EXPECT_THROW(n.Write(FieldValue::MakeDouble(INFINITY)), CConversionError);
    EXPECT_THROW(n.Write(FieldValue::MakeDouble(NAN)), CConversionError);
    EXPECT_EQ(n.Bytes(), "    1.50") << "every refusal left the field as it was";
    EXPECT_TRUE(n.GuardsIntact());
}

TEST(NumericFields, TextThatIsNoNumberLeavesTheFieldUnchanged) {
    OneField n('F', 6, 1);
    n.Write(FieldValue::MakeDouble(42));
    EXPECT_THROW(n.Write(FieldValue::MakeText("abc")), CConversionError);
    EXPECT_THROW(n.Write(FieldValue::MakeText("3,5")), CConversionError) << "a comma in a dot locale";
    EXPECT_EQ(n.Bytes(), "  42.0");
    EXPECT_EQ(n.Read(), FieldValue::MakeDouble(42));
}

TEST(NumericFields, ReadingLikeTheCLibrary) {
    OneField n('N', 8, 2);
    n.Set("        ");
    EXPECT_EQ(n.Read(), FieldValue::MakeDouble(0)) << "blank is 0, not Empty";
    n.Set("12.5abc ");
    EXPECT_EQ(n.Read(), FieldValue::MakeDouble(12.5));
    // The digits right after the field are not part of it.
    n.Record().back() = '9';
    n.Set("      12");
    EXPECT_EQ(n.Read(), FieldValue::MakeDouble(12));
}

TEST(DateFields, RoundTripsAcrossTheYears) {
    OneField d('D', 8);
    struct Case {
        int y, m, day;
        const char* pszBytes;
    } cases[] = {{1, 1, 1, "00010101"},       {800, 5, 5, "08000505"},    {1899, 12, 30, "18991230"},
                 {1900, 2, 28, "19000228"},   {2000, 2, 29, "20000229"},  {9999, 12, 31, "99991231"}};
    for (const auto& c : cases) {
        d.Write(FieldValue::MakeDate(Date(c.y, c.m, c.day, 13, 14, 15)));
        EXPECT_EQ(d.Bytes(), c.pszBytes) << "the time of day is not stored";
        EXPECT_EQ(d.Read(), FieldValue::MakeDate(Date(c.y, c.m, c.day)));
    }
    EXPECT_TRUE(d.GuardsIntact());
}

TEST(DateFields, TextIsParsedAndBadTextLeavesBlanks) {
    OneField d('D', 8);
    d.Write(FieldValue::MakeText("2002-03-04"), CommaLocale());
    EXPECT_EQ(d.Bytes(), "20020304");
    d.Write(FieldValue::MakeText("04.03.2002"), CommaLocale());
    EXPECT_EQ(d.Bytes(), "20020304");
    d.Write(FieldValue::MakeText("abc"));
    EXPECT_EQ(d.Bytes(), "        ");
    d.Write(FieldValue::MakeText("20020304"));
    d.Write(FieldValue());
    EXPECT_EQ(d.Bytes(), "        ") << "Empty gives blanks";
    d.Write(FieldValue::MakeDate(Date(2002, 3, 4)));
    EXPECT_THROW(d.Write(FieldValue::MakeNull()), CConversionError);
    EXPECT_EQ(d.Bytes(), "20020304") << "Null is refused and changes nothing";
    EXPECT_THROW(d.Write(FieldValue::MakeDate(1e9)), CConversionError);
    EXPECT_EQ(d.Bytes(), "20020304");
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
    narrow.Write(FieldValue::MakeDate(Date(2002, 3, 4)));
    EXPECT_EQ(narrow.Bytes(), "2002");
    EXPECT_TRUE(narrow.GuardsIntact());
}

TEST(DateTimeFields, JulianDaysAndMilliseconds) {
    OneField t('T', 8);
    t.Set(LE32(2452338) + LE32(45296999));
    EXPECT_EQ(t.Read(), FieldValue::MakeDate(Date(2002, 3, 4, 12, 34, 57))) << "999 ms carry into the next second";
    t.Write(t.Read());
    EXPECT_EQ(t.Bytes(), LE32(2452338) + LE32(45297000));
    t.Set(LE32(2452338) + LE32(86400000 + 1000));
    EXPECT_EQ(t.Read(), FieldValue::MakeDate(Date(2002, 3, 5, 0, 0, 1))) << "milliseconds beyond a day run on";
    t.Set(std::string(8, '\0'));
    EXPECT_TRUE(t.Read().IsEmpty());
    t.Set("        ");
    EXPECT_TRUE(t.Read().IsEmpty()) << "spaces are a day number beyond 9999";
    t.Set(LE32(platform::kJulianDayOfYearOne) + LE32(uint32_t(-5000)));
    EXPECT_TRUE(t.Read().IsEmpty()) << "before the year 1";
}

TEST(DateTimeFields, RoundTripsAcrossTheYears) {
    OneField t('T', 8);
    for (double d : {Date(1, 1, 1), Date(1, 1, 1, 23, 59, 59), Date(1899, 12, 29, 6, 0, 0), Date(1899, 12, 30, 0, 0, 1),
                     Date(1900, 1, 1, 12), Date(2000, 2, 29, 1, 2, 3), Date(9999, 12, 31, 23, 59, 59)}) {
        t.Write(FieldValue::MakeDate(d));
        EXPECT_EQ(t.Read(), FieldValue::MakeDate(d)) << platform::FormatOleDate(d, "%Y-%m-%d %H:%M:%S");
    }
    t.Write(FieldValue::MakeDate(Date(1899, 12, 29, 6, 0, 0)));
    EXPECT_EQ(t.Bytes(), LE32(2415018) + LE32(6 * 3600000)) << "a negative date keeps its own day";
    // A time a hair short of midnight is stored as the next day, not as
    // midnight of the same day.
    t.Write(FieldValue::MakeDate(Date(2002, 3, 4) + 0.99999999));
    EXPECT_EQ(t.Bytes(), LE32(2452339) + LE32(0));
    t.Write(FieldValue::MakeText("2002-03-04 12:34:56"));
    EXPECT_EQ(t.Bytes(), LE32(2452338) + LE32(45296000));
    t.Write(FieldValue());
    EXPECT_EQ(t.Bytes(), "        ");
    EXPECT_TRUE(t.GuardsIntact());
}

TEST(BinaryNumberFields, IntegerCurrencyAndDouble) {
    OneField i('I', 4), y('Y', 8), b('B', 8, 2);
    i.Write(FieldValue::MakeInt32(INT32_MIN));
    EXPECT_EQ(i.Read(), FieldValue::MakeInt32(INT32_MIN));
    i.Write(FieldValue::MakeText("1,234"));
    EXPECT_EQ(i.Read(), FieldValue::MakeInt32(1234));
    EXPECT_THROW(i.Write(FieldValue::MakeDouble(3e9)), CConversionError);
    EXPECT_EQ(i.Read(), FieldValue::MakeInt32(1234));
    i.Write(FieldValue::MakeNull());
    EXPECT_EQ(i.Bytes(), std::string(4, '\0'));

    for (int64_t n : {INT64_MAX, INT64_MIN, int64_t(-1), int64_t(0)}) {
        y.Write(FieldValue::MakeCurrency(n));
        EXPECT_EQ(y.Read(), FieldValue::MakeCurrency(n));
    }
    y.Write(FieldValue::MakeText("922337203685477.5807"));
    EXPECT_EQ(y.Read(), FieldValue::MakeCurrency(INT64_MAX));
    EXPECT_THROW(y.Write(FieldValue::MakeDouble(1e16)), CConversionError);
    EXPECT_EQ(y.Read(), FieldValue::MakeCurrency(INT64_MAX));

    b.Write(FieldValue::MakeDouble(-1.0 / 3.0));
    EXPECT_EQ(b.Read(), FieldValue::MakeDouble(-1.0 / 3.0));
    EXPECT_TRUE(i.GuardsIntact() && y.GuardsIntact() && b.GuardsIntact());
}

TEST(LogicalFields, OnlyTheEnginesTrueIsStoredAsT) {
    OneField l('L', 1);
    for (auto [c, bTrue] : {std::pair{'T', true}, {'t', true}, {'Y', true}, {'y', true}, {'F', false}, {'?', false},
                            {' ', false}, {'N', false}}) {
        l.Set(std::string(1, c));
        EXPECT_EQ(l.Read(), FieldValue::MakeBool(bTrue ? 1 : 0)) << c;
    }
    l.Write(FieldValue::MakeBool(1));
    EXPECT_EQ(l.Bytes(), "T");
    l.Write(FieldValue::MakeBool(-1));
    EXPECT_EQ(l.Bytes(), "F");
    l.Write(FieldValue::MakeText("True"));
    EXPECT_EQ(l.Bytes(), "T");
    l.Write(FieldValue());
    EXPECT_EQ(l.Bytes(), "F");
    l.Write(FieldValue::MakeNull());
    EXPECT_EQ(l.Bytes(), " ");
    EXPECT_THROW(l.Write(FieldValue::MakeText("maybe")), CConversionError);
    EXPECT_EQ(l.Bytes(), " ");
    OneField wide('L', 3);
    wide.Write(FieldValue::MakeBool(1));
    EXPECT_EQ(wide.Bytes(), std::string("T\0\0", 3));
}

TEST(MemoFields, TenDigitReferences) {
    OneField m('M', 10);
    m.Set("       123");
    EXPECT_EQ(m.Read(), FieldValue::MakeMemoRef(123));
    m.Set("9999999999");
    EXPECT_EQ(m.Read(), FieldValue::MakeMemoRef(UINT32_MAX)) << "no block; refused by the memo file, not wrapped";
    m.Write(FieldValue::MakeMemoRef(0));
    EXPECT_EQ(m.Bytes(), "          ");
    m.Write(FieldValue::MakeMemoRef(77));
    m.Write(FieldValue());
    m.Write(FieldValue::MakeText("memo text is written by the cursor"));
    EXPECT_EQ(m.Bytes(), "        77") << "other kinds write nothing";
    EXPECT_TRUE(m.GuardsIntact());
}

TEST(MemoFields, SmtAndBinaryReferences) {
    OneField m('M', 10);
    m.Set(std::string("\x08\x00", 2) + LE32(5) + LE32(7));
    EXPECT_EQ(m.Read(), FieldValue::MakeSmtMemoRef(5, 7));
    m.Set(std::string("\x80\x00", 2) + LE32(5) + LE32(7));
    EXPECT_EQ(m.Read(), FieldValue::MakeSmtMemoRef(5, 7)) << "0x80 is negative as a signed byte";
    m.Set(std::string("\x09\x00", 2) + LE32(5) + LE32(7));
    EXPECT_EQ(m.Read().GetKind(), FieldKind::MemoRef);
    m.Write(FieldValue::MakeSmtMemoRef(5, 7));
    EXPECT_EQ(m.Bytes(), std::string("\x08\x00", 2) + LE32(5) + LE32(7));
    m.Write(FieldValue::MakeSmtMemoRef(5, 0));
    EXPECT_EQ(m.Bytes(), std::string(10, '\0')) << "no block: no length either";

    OneField m4('M', 4);
    m4.Set(LE32(0xDEADBEEF));
    EXPECT_EQ(m4.Read(), FieldValue::MakeMemoRef(0xDEADBEEF));
    m4.Write(FieldValue::MakeMemoRef(9));
    EXPECT_EQ(m4.Bytes(), LE32(9));
    m4.Write(FieldValue::MakeSmtMemoRef(1, 2));
    EXPECT_EQ(m4.Bytes(), LE32(9));

    EXPECT_TRUE(m.GuardsIntact() && m4.GuardsIntact());
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
    n.Write(FieldValue::MakeMemoRef(0x00030002));
    EXPECT_EQ(n.Bytes(), std::string("\x02\x00", 2)) << "only the field's own bytes";
    n.Write(FieldValue());
    EXPECT_EQ(n.Bytes(), std::string(2, '\0'));
    // More than 32 nullable fields: every flag is kept.
    OneField wide('0', 6);
    wide.Set("\x01\x02\x03\x04\x05\x06");
    FieldValue v = wide.Read();
    ASSERT_EQ(v.GetKind(), FieldKind::Bytes);
    EXPECT_EQ(v.GetBytes().nLength, 6u);
    wide.Write(v);
    EXPECT_EQ(wide.Bytes(), "\x01\x02\x03\x04\x05\x06") << "writing the field's own bytes onto itself";
    OneField copy('0', 6);
    copy.Write(v);
    EXPECT_EQ(copy.Bytes(), "\x01\x02\x03\x04\x05\x06");
    EXPECT_TRUE(n.GuardsIntact() && wide.GuardsIntact());
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
        f.Write(FieldValue());
        EXPECT_EQ(f.Bytes(), c.strBlank) << c.cType;
        EXPECT_TRUE(f.GuardsIntact()) << c.cType;
    }
}

TEST(DamagedDescriptors, FieldsOutsideTheRecordAreRefused) {
    std::vector<uint8_t> record(10, ' ');
    FieldValue v;
    auto expectRefused = [&](const DBFFieldDesc& d) {
        try {
            dbf::ReadFieldValue(record, d, v);
            ADD_FAILURE() << "read of " << d.type << " not refused";
        } catch (const dbf::CDBFException& e) {
            EXPECT_EQ(e.GetCode(), dbf::errNotDbfFile);
        }
        EXPECT_THROW(dbf::WriteFieldValue(record, d, FieldValue::MakeText("1")), dbf::CDBFException);
    };
    expectRefused(Desc('C', 10, 0, 0, 1));          // one byte past the end
    expectRefused(Desc('N', 5, 0, 0, 0xFFFFFFFF));  // displacement far away, no wrap-around
    expectRefused(Desc('C', 0x100, 0, 0, 1));       // the high width byte counts for C
    expectRefused(Desc('T', 8, 0, 0, 3));
    expectRefused(Desc('0', 2, 0, 0, 10));
    EXPECT_EQ(record, std::vector<uint8_t>(10, ' '));
    // Exactly at the end is fine, and so is an empty field.
    EXPECT_EQ(dbf::ReadFieldValue(record, Desc('C', 9, 0, 0, 1), v), 9u);
    EXPECT_EQ(dbf::ReadFieldValue(record, Desc('N', 0, 0, 0, 10), v), 0u);
    dbf::WriteFieldValue(record, Desc('N', 0, 0, 0, 10), FieldValue::MakeDouble(5));
    // A decimals byte that is really the high width byte does not widen N.
    EXPECT_NO_THROW(dbf::ReadFieldValue(record, Desc('N', 5, 200, 0, 1), v));
}
