// The display text of every field type, with the date patterns and the
// placeholder words of memo cells.
#include <gtest/gtest.h>

#include "tests/viewer_reader/reader_test_util.h"

using namespace reader_test;
using testing_support::TempDir;

namespace {

// A table with one field of the given type and one record per value.
struct OneFieldTable {
    OneFieldTable(char cType, uint8_t nWidth, uint8_t nDecimals, const std::vector<std::string>& values,
                  uint8_t nVersion = 0x03) {
        TableBuilder t;
        t.nVersion = nVersion;
        t.Field("F", cType, nWidth, nDecimals);
        for (const std::string& v : values) t.Record(v);
        t.Write(dir.Path("t.dbf"));
        EXPECT_TRUE(f.reader.Open(dir.Path("t.dbf")));
    }
    std::string Text(int32_t nRecord) { return f.Text(0, nRecord); }

    TempDir dir;
    ReaderFixture f;
};

constexpr uint32_t kJulian2000 = 2451545;  // 1 January 2000

}  // namespace

TEST(ReaderFieldText, TextIsShownAsStoredUpToItsFirstNul) {
    OneFieldTable t('C', 8, 0, {"ab  cd  ", std::string("ab\0cd   ", 8), "  \xE9t\xE9   "});
    EXPECT_EQ(t.Text(1), "ab  cd  ");
    EXPECT_EQ(t.Text(2), "ab");
    EXPECT_EQ(t.Text(3), "  \xE9t\xE9   ");
    OneFieldTable n('N', 6, 2, {"  1.50"});
    EXPECT_EQ(n.Text(1), "  1.50");
    OneFieldTable v('V', 4, 0, {"ab  "});
    EXPECT_EQ(v.Text(1), "ab  ");
}

TEST(ReaderFieldText, DateUsesThePatternOfItsString) {
    OneFieldTable t('D', 8, 0, {"20000102", "        ", "20000230", "20000229", "00000101", "2000ab01", "19991300"});
    EXPECT_EQ(t.Text(1), "01/02/2000");
    EXPECT_EQ(t.Text(2), "");
    EXPECT_EQ(t.Text(3), "");  // 30 February does not exist
    EXPECT_EQ(t.Text(4), "02/29/2000");
    EXPECT_EQ(t.Text(5), "");
    EXPECT_EQ(t.Text(6), "");
    EXPECT_EQ(t.Text(7), "");
}

TEST(ReaderFieldText, DateTimeUsesThePatternOfItsString) {
    uint32_t nMs = (22 * 3600 + 33 * 60 + 44) * 1000 + 999;
    OneFieldTable t('T', 8, 0,
                    {LE32(kJulian2000) + LE32(0), LE32(kJulian2000) + LE32(nMs), LE32(1721425) + LE32(0),
                     LE32(1721426) + LE32(0), LE32(5373484) + LE32(0), LE32(5373485) + LE32(0),
                     LE32(kJulian2000) + LE32(25 * 3600000), std::string(8, ' ')},
                    0x30);
    EXPECT_EQ(t.Text(1), "01/01/2000  00:00:00");
    EXPECT_EQ(t.Text(2), "01/01/2000  22:33:44");
    EXPECT_EQ(t.Text(3), "");  // the day before 1 January of year 1
    EXPECT_EQ(t.Text(4), "01/01/0001  00:00:00");
    EXPECT_EQ(t.Text(5), "12/31/9999  00:00:00");
    EXPECT_EQ(t.Text(6), "");  // year 10000
    EXPECT_EQ(t.Text(7), "01/02/2000  01:00:00");  // 25 hours carry into the next day
    EXPECT_EQ(t.Text(8), "");  // spaces: a day number far beyond year 9999
}

TEST(ReaderFieldText, BinaryNumbers) {
    OneFieldTable i('I', 4, 0, {LE32(uint32_t(-5)), LE32(2147483647u)}, 0x30);
    EXPECT_EQ(i.Text(1), "-5");
    EXPECT_EQ(i.Text(2), "2147483647");

    std::string d(8, '\0');
    platform::PutLEDouble(d.data(), 3.14159);
    OneFieldTable b('B', 8, 2, {d}, 0x30);
    EXPECT_EQ(b.Text(1), "3.14");
    OneFieldTable b0('B', 8, 0, {d}, 0x30);
    EXPECT_EQ(b0.Text(1), "3");

    OneFieldTable y('Y', 8, 4, {LE64(123456), LE64(uint64_t(-15000))}, 0x30);
    EXPECT_EQ(y.Text(1), "12.3456");
    EXPECT_EQ(y.Text(2), "-1.5000");
}

TEST(ReaderFieldText, LogicalFlagIsTrueOnlyForUpperCaseTAndY) {
    OneFieldTable t('L', 1, 0, {"T", "Y", "t", "y", "F", "?", " "});
    const char* kTexts[] = {"T", "Y", "t", "y", "F", "?", " "};
    const bool kFlags[] = {true, true, false, false, false, false, false};
    for (int i = 0; i < 7; ++i) {
        std::string str;
        bool b = !kFlags[i];
        EXPECT_TRUE(t.f.reader.GetFieldText(0, i + 1, str, b));
        EXPECT_EQ(str, kTexts[i]);
        EXPECT_EQ(b, kFlags[i]) << kTexts[i];
    }
}

TEST(ReaderFieldText, NullFlagsShowTheirValueInHexadecimal) {
    OneFieldTable w2('0', 2, 0, {LE16(3), LE16(0)}, 0x30);
    EXPECT_EQ(w2.Text(1), "0x0003");
    EXPECT_EQ(w2.Text(2), "");
    OneFieldTable w4('0', 4, 0, {LE32(0xABCDEF)}, 0x30);
    EXPECT_EQ(w4.Text(1), "0x00ABCDEF");
    OneFieldTable w8('0', 8, 0, {LE64(0x8000000000000001ull)}, 0x30);
    EXPECT_EQ(w8.Text(1), "0x8000000000000001");
    for (uint8_t nWidth : {1, 3, 5, 200}) {
        OneFieldTable odd('0', nWidth, 0, {std::string(nWidth, '\xFF')}, 0x30);
        EXPECT_EQ(odd.Text(1), "") << int(nWidth);
    }
}

TEST(ReaderFieldText, MemoPlaceholderWords) {
    TempDir dir;
    TableBuilder t;
    t.Field("M", 'M', 10).Field("G", 'G', 10).Field("B", 'M', 4);
    t.Record(Pad("", 10) + Pad("", 10) + "    ");        // no memo: last byte a space
    t.Record("         7" + std::string("         7") + LE32(7));  // a block that cannot be read
    t.Record("0000000000" + std::string("         0") + LE32(0));  // block 0: no memo
    t.Record("   x     1" + std::string("        -1") + LE32(7));  // damaged references
    t.Write(dir.Path("t.dbf"));
    ReaderFixture f;
    ASSERT_TRUE(f.reader.Open(dir.Path("t.dbf")));  // no memo file: its memos cannot be read
    struct Expect {
        int nField;
        int32_t nRecord;
        const char* pszText;
    };
    for (Expect e : {Expect{0, 1, "memo"}, Expect{1, 1, "general"}, Expect{2, 1, "memo"}, Expect{0, 2, "Memo"},
                     Expect{1, 2, "General"}, Expect{2, 2, "Memo"}, Expect{0, 3, "memo"}, Expect{1, 3, "general"},
                     Expect{2, 3, "memo"}, Expect{0, 4, "Memo"}, Expect{1, 4, "General"}}) {
        std::string str;
        bool b;
        EXPECT_FALSE(f.reader.GetFieldText(e.nField, e.nRecord, str, b));
        EXPECT_EQ(str, e.pszText) << e.nField << "/" << e.nRecord;
    }
}
