// Typed text into field values: what each type accepts and stores, what it
// refuses and why, and which fields of a table cannot be written at all.
#include "engine/typed_value.h"

#include <gtest/gtest.h>

#include "engine/field_io.h"
#include "engine/memory_cursorset.h"
#include "tests/support/engine_support.h"
#include "tests/support/memo_builder.h"
#include "tests/support/table_builder.h"

using dbf::FieldValue;
using namespace testing_support;

namespace {

dbf::DBFFieldDesc Desc(char cType, unsigned nWidth, unsigned nDecimals = 0) {
    dbf::DBFFieldDesc desc{};
    desc.SetName("F");
    desc.type = cType;
    desc.width = uint8_t(nWidth);
    desc.decimals = uint8_t(nDecimals);
    desc.SetDisplacement(1);
    return desc;
}

// The bytes a typed text stores in a field of that shape, or "refused: why".
std::string Stored(char cType, unsigned nWidth, unsigned nDecimals, const std::string& strText,
                   const platform::CUserLocale& locale, const std::string& strWholeText = "") {
    const dbf::DBFFieldDesc desc = Desc(cType, nWidth, nDecimals);
    dbf::TypedTextOptions options;
    options.pLocale = &locale;
    options.strWholeText = strWholeText;
    const dbf::TypedValue typed = dbf::ValueFromTypedText(desc, strText, options);
    if (typed.IsRefused()) return "refused: " + typed.strError;
    std::vector<uint8_t> record(1 + nWidth, '#');
    dbf::WriteFieldValue(record, desc, typed.value, locale);
    return std::string(record.begin() + 1, record.end());
}

}  // namespace

TEST(TypedText, EachTypeStoresWhatWasMeantOrSaysWhyNot) {
    const platform::CUserLocale dot, comma = CommaLocale();
    const std::string z8(8, '\0');
    const struct {
        char cType;
        unsigned nWidth, nDecimals;
        const char* pszText;
        const platform::CUserLocale& locale;
        std::string strStored;  // "refused: ..." for a refusal
    } cases[] = {
        {'C', 4, 0, "abcdef", dot, "abcd"},
        {'N', 8, 2, "1.005", dot, "    1.01"},            // the decimal number typed, not its double
        {'N', 8, 2, "2,675", comma, "    2.68"},
        {'N', 8, 2, "  ", dot, "        "},               // blank stays blank, not 0.00
        {'N', 4, 0, "12345", dot, "refused: Field F: \"12345\" is too wide for a field of 4 characters"},
        {'N', 8, 2, "1,2345", dot, "refused: Field F: \"1,2345\" is not a number"},
        {'D', 8, 0, "2024-02-29", dot, "20240229"},
        {'D', 8, 0, "20240101", dot, "20240101"},          // the field's own storage form
        {'D', 8, 0, "04.03.2002", comma, "20020304"},      // the locale's form
        {'D', 8, 0, "", dot, "        "},
        {'D', 8, 0, "2023-02-29", dot, "refused: Field F: \"2023-02-29\" is not a date: month 2 of 2023 has 28 days"},
        {'D', 8, 0, "2024-13-01", dot, "refused: Field F: \"2024-13-01\" is not a date: there is no month 13"},
        {'D', 8, 0, "abc", dot, "refused: Field F: \"abc\" is not a date: type it as MM/DD/YYYY, YYYYMMDD or YYYY-MM-DD"},
        {'T', 8, 0, "", dot, z8},                          // a blank date-time is zero bytes
        {'T', 8, 0, "2002-03-04 12:34:56", dot, DateTimeBytes(JulianDay(2002, 3, 4), 45296000)},
        {'L', 1, 0, "t", dot, "T"}, {'L', 1, 0, "Y", dot, "T"}, {'L', 1, 0, "n", dot, "F"}, {'L', 1, 0, "F", dot, "F"},
        {'L', 1, 0, "?", dot, " "}, {'L', 1, 0, "", dot, " "},  {'L', 1, 0, "true", dot, "T"},
        {'L', 1, 0, "x", dot, "refused: Field F: \"x\" is not a logical value: type T or F (Y or N), or ? for none"},
        {'I', 4, 0, "-7", dot, LE32(uint32_t(-7))},        {'I', 4, 0, "", dot, std::string(4, '\0')},
        {'I', 4, 0, "3e9", dot, "refused: Field F: number out of the Int32 range"},
        {'Y', 8, 4, "12,3456", comma, LE64(123456)},
        {'B', 8, 0, "0.5", dot, LEDouble(0.5)},
        {'G', 4, 0, "x", dot, "refused: Field F: it holds binary data (a picture or an object), which cannot be typed"},
        {'P', 10, 0, "", dot, "refused: Field F: it holds binary data (a picture or an object), which cannot be typed"},
        {'B', 10, 0, "1", dot, "refused: Field F: it holds binary data (a picture or an object), which cannot be typed"},
        {'0', 1, 0, "1", dot, "refused: Field F: the null flags are the table's own and cannot be written"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Stored(c.cType, c.nWidth, c.nDecimals, c.pszText, c.locale), c.strStored)
            << c.cType << " " << c.pszText;
    // UTF-8 text too long for its field is cut where a character ends.
    EXPECT_EQ(Stored('C', 5, 0, "\xD0\x9F\xD1\x80\xD0\xB8", dot, "UTF-8"), "\xD0\x9F\xD1\x80 ");
    EXPECT_EQ(Stored('C', 5, 0, "\xD0\x9F\xD1\x80\xD0\xB8", dot), "\xD0\x9F\xD1\x80\xD0") << "single-byte text: at the width";
}

TEST(TypedText, FieldsThatCannotBeWrittenSaySo) {
    TempDir dir;
    TableBuilder b(0x30);
    b.Field("NAME", 'C', 4).Field("NOTE", 'M', 4).Field("PIC", 'G', 4).Field("_NullFlags", '0', 1).Record({});
    const std::string strPath = b.Write(dir.Path("t.dbf"));  // memo flag clear and no .FPT: no memo file
    dbf::CDBFTableDef table;
    table.Open(strPath, kReadWrite);
    std::string strWhy;
    EXPECT_TRUE(dbf::CanWriteField(table, 0, &strWhy));
    for (int i : {1, 2, 3}) {
        EXPECT_FALSE(dbf::CanWriteField(table, i, &strWhy)) << i;
        EXPECT_EQ(strWhy.rfind("field " + table.GetFieldDesc(i).GetName() + " cannot be written: ", 0), 0u) << strWhy;
    }
    table.Close();
    CMemoImage::Fpt(8).Save(dir, "t.FPT");
    table.Open(strPath, kReadWrite);
    EXPECT_TRUE(dbf::CanWriteField(table, 1)) << "with its memo file there the memo can be written";
    table.Close();
    table.Open(strPath, kReadOnly);
    EXPECT_FALSE(dbf::CanWriteField(table, 0, &strWhy));
    EXPECT_NE(strWhy.find("reading only"), std::string::npos);
}
