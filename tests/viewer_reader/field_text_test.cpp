// The display text of every field type, with the date patterns and the
// placeholder words of memo cells.
#include <gtest/gtest.h>

#include "tests/viewer_reader/reader_test_util.h"

using namespace reader_test;
using ReaderFieldText = ReaderTest;

TEST_F(ReaderFieldText, TextOfEveryFieldType) {
    const int32_t kJulian2000 = JulianDay(2000, 1, 1);
    const int32_t kMs = ((22 * 3600 + 33 * 60 + 44) * 1000) + 999;
    const struct {
        char cType;
        unsigned nWidth, nDecimals;
        std::string strBytes;
        const char* pszText;
        bool bLogical = false;
    } cases[] = {
        // Text as stored, up to its first NUL.
        {'C', 8, 0, "ab  cd  ", "ab  cd  "}, {'C', 8, 0, std::string("ab\0cd   ", 8), "ab"},
        {'C', 6, 0, "  \xE9t\xE9 ", "  \xE9t\xE9 "}, {'N', 6, 2, "  1.50", "  1.50"}, {'V', 4, 0, "ab  ", "ab  "},
        // Dates by the pattern of their string; nothing for what is no date.
        {'D', 8, 0, "20000102", "01/02/2000"}, {'D', 8, 0, "20000229", "02/29/2000"}, {'D', 8, 0, "        ", ""},
        {'D', 8, 0, "20000230", ""}, {'D', 8, 0, "00000101", ""}, {'D', 8, 0, "2000ab01", ""},
        {'D', 8, 0, "19991300", ""},
        {'T', 8, 0, DateTimeBytes(kJulian2000, 0), "01/01/2000  00:00:00"},
        {'T', 8, 0, DateTimeBytes(kJulian2000, kMs), "01/01/2000  22:33:44"},
        {'T', 8, 0, DateTimeBytes(JulianDay(1, 1, 1), 0), "01/01/0001  00:00:00"},
        {'T', 8, 0, DateTimeBytes(JulianDay(1, 1, 1) - 1, 0), ""},
        {'T', 8, 0, DateTimeBytes(JulianDay(9999, 12, 31), 0), "12/31/9999  00:00:00"},
        {'T', 8, 0, DateTimeBytes(JulianDay(9999, 12, 31) + 1, 0), ""},
        {'T', 8, 0, DateTimeBytes(kJulian2000, 25 * 3600000), "01/02/2000  01:00:00"},  // hours carry into days
        {'T', 8, 0, std::string(8, ' '), ""},  // a day number far beyond year 9999
        // Binary numbers.
        {'I', 4, 0, LE32(uint32_t(-5)), "-5"}, {'I', 4, 0, LE32(2147483647u), "2147483647"},
        {'B', 8, 2, LEDouble(3.14159), "3.14"}, {'B', 8, 0, LEDouble(3.14159), "3"},
        {'Y', 8, 4, LE64(123456), "12.3456"}, {'Y', 8, 4, LE64(uint64_t(-15000)), "-1.5000"},
        // Only upper-case T and Y set the logical flag.
        {'L', 1, 0, "T", "T", true}, {'L', 1, 0, "Y", "Y", true}, {'L', 1, 0, "t", "t"}, {'L', 1, 0, "y", "y"},
        {'L', 1, 0, "F", "F"}, {'L', 1, 0, "?", "?"}, {'L', 1, 0, " ", " "},
        // Null flags in hexadecimal, in fields of two, four or eight bytes only.
        {'0', 2, 0, LE16(3), "0x0003"}, {'0', 2, 0, LE16(0), ""}, {'0', 4, 0, LE32(0xABCDEF), "0x00ABCDEF"},
        {'0', 8, 0, LE64(0x8000000000000001ull), "0x8000000000000001"}, {'0', 1, 0, "\xFF", ""},
        {'0', 3, 0, "\xFF\xFF\xFF", ""}, {'0', 5, 0, std::string(5, '\xFF'), ""},
        {'0', 200, 0, std::string(200, '\xFF'), ""},
        // Fields narrower than their value show nothing.
        {'I', 2, 0, "\x01\x01", ""}, {'T', 7, 0, std::string(7, '\x01'), ""}, {'B', 4, 0, std::string(4, '\x01'), ""},
        {'Y', 1, 0, "\x01", ""}, {'D', 6, 0, "200001", ""}, {'L', 0, 0, "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(1, c.cType) + std::to_string(c.nWidth) + " " + c.pszText);
        ASSERT_TRUE(Open(TableBuilder(0x30).Field("F", c.cType, c.nWidth, c.nDecimals).Record({c.strBytes})));
        bool bShown = false, bLogical = !c.bLogical;
        EXPECT_EQ(Text(0, 1, &bShown, &bLogical), c.pszText);
        EXPECT_TRUE(bShown);
        EXPECT_EQ(bLogical, c.bLogical);
    }
}

TEST_F(ReaderFieldText, MemoPlaceholderWords) {
    // Without a memo file no memo can be read: lower case where the cell
    // refers to no memo, capitalised where it refers to one.
    TableBuilder t;
    t.Field("M", 'M', 10).Field("G", 'G', 10).Field("B", 'M', 4);
    t.Record({"", "", "    "});                          // no memo: last byte a space
    t.Record({MemoRef10(7), MemoRef10(7), LE32(7)});      // a block that cannot be read
    t.Record({"0000000000", "         0", LE32(0)});      // block 0: no memo
    t.Record({"   x     1", "        -1", LE32(7)});      // damaged references
    ASSERT_TRUE(Open(t));
    const struct {
        int nField;
        int32_t nRecord;
        const char* pszText;
    } cases[] = {{0, 1, "memo"}, {1, 1, "general"}, {2, 1, "memo"},    {0, 2, "Memo"},    {1, 2, "General"},
                 {2, 2, "Memo"}, {0, 3, "memo"},    {1, 3, "general"}, {2, 3, "memo"},    {0, 4, "Memo"},
                 {1, 4, "General"}};
    for (const auto& c : cases) {
        bool bShown = true;
        EXPECT_EQ(Text(c.nField, c.nRecord, &bShown), c.pszText) << c.nField << "/" << c.nRecord;
        EXPECT_FALSE(bShown);
    }
}
