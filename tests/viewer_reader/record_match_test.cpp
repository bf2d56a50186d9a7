// Find's record tests: the typed values behind them, each kind of test with
// its edges, the code pages a text is compared in, and the walk over the rows.
#include <cmath>
#include <cstdlib>
#include <fstream>

#include <gtest/gtest.h>

#include "platform/core/code_page.h"
#include "tests/viewer_reader/reader_test_util.h"
#include "viewer/reader/record_match.h"

using namespace reader_test;
using platform::CCodePage;

namespace {

class RecordMatch : public ReaderTest {
protected:
    // The rows (0-based) that match, walking forwards from the first.
    std::vector<int32_t> Found(const FindCriteria& criteria, const FindCodePages& pages = {}) {
        std::vector<int32_t> rows;
        for (int64_t nStart = 0;;) {
            FindResult r = FindRecord(reader, criteria, FindDirection::down, nStart, pages);
            if (!r.bFound) return rows;
            rows.push_back(r.nRow);
            nStart = r.nRow + 1;
        }
    }
};

using RowList = std::vector<int32_t>;

}  // namespace

TEST_F(RecordMatch, TypedValuesReadWhatTheCellShows) {
    TableBuilder t;
    t.Field("N", 'N', 7, 2).Field("F", 'F', 6, 1).Field("I", 'I', 4).Field("B", 'B', 8, 2).Field("Y", 'Y', 8, 4);
    t.Field("D", 'D', 8).Field("T", 'T', 8).Field("L", 'L', 1).Field("C", 'C', 3);
    const int32_t nDay = JulianDay(2000, 1, 2);
    t.Record({"  12.50", "  -1.5", LE32(uint32_t(-7)), LEDouble(2.25), LE64(123456), "20000102",
              DateTimeBytes(nDay, 25 * 3600000), "T", "abc"});
    t.Record({"", "", LE32(0), LEDouble(0), LE64(0), "", DateTimeBytes(0, 0), " ", ""});
    t.Record({" ****  ", "1,5", LE32(0), LEDouble(0), LE64(0), "20000230", DateTimeBytes(nDay, 0), "?", ""});
    t.Record({"1.5e2", "12abc", LE32(0), LEDouble(0), LE64(0), "2000ab01", DateTimeBytes(nDay, 0), "t", ""});
    ASSERT_TRUE(Open(t));

    const struct {
        int nField;
        int32_t nRecord;
        bool bHas;
        double dValue;
    } numbers[] = {
        {0, 1, true, 12.5}, {1, 1, true, -1.5}, {2, 1, true, -7}, {3, 1, true, 2.25}, {4, 1, true, 12.3456},
        {0, 2, false, 0},   {1, 2, false, 0},   {2, 2, true, 0},  {0, 3, false, 0},   {1, 3, true, 1.5},
        {0, 4, true, 150},  {1, 4, false, 0},   {5, 1, false, 0}, {7, 1, false, 0},   {8, 1, false, 0},
    };
    for (const auto& c : numbers) {
        double d = -99;
        EXPECT_EQ(reader.GetFieldNumber(c.nField, c.nRecord, d), c.bHas) << c.nField << "/" << c.nRecord;
        if (c.bHas) {
            EXPECT_DOUBLE_EQ(d, c.dValue) << c.nField << "/" << c.nRecord;
        }
    }

    const struct {
        int nField;
        int32_t nRecord;
        bool bHas;
        int32_t nJulianDay;
        uint32_t nMilliseconds;
    } dates[] = {
        {5, 1, true, nDay, 0}, {6, 1, true, nDay + 1, 3600000},  // 25 hours carry into the next day
        {5, 2, false, 0, 0},   {6, 2, false, 0, 0},  {5, 3, false, 0, 0}, {6, 3, true, nDay, 0},
        {5, 4, false, 0, 0},   {0, 1, false, 0, 0},
    };
    for (const auto& c : dates) {
        ReaderDate date;
        EXPECT_EQ(reader.GetFieldDate(c.nField, c.nRecord, date), c.bHas) << c.nField << "/" << c.nRecord;
        if (!c.bHas) continue;
        EXPECT_EQ(date.nJulianDay, c.nJulianDay) << c.nField << "/" << c.nRecord;
        EXPECT_EQ(date.nMilliseconds, c.nMilliseconds) << c.nField << "/" << c.nRecord;
    }

    uint8_t b = 0;
    EXPECT_TRUE(reader.GetFieldByte(7, 4, b));
    EXPECT_EQ(b, 't');
    EXPECT_FALSE(reader.GetFieldByte(9, 1, b)) << "no such field";
}

TEST_F(RecordMatch, TypedValuesOfFieldsTheRecordCannotHold) {
    // A record length with room for the first field only, and a record count
    // that promises one record more than the file holds.
    TableBuilder t;
    t.Field("N", 'N', 4).Field("I", 'I', 4).Field("D", 'D', 8).Field("L", 'L', 1).Field("W", 'I', 2).Field("Z", 'L', 0);
    t.Record({"  12", LE32(5), "20000102", "T", "ab"}).SetRecordCount(2);
    ASSERT_TRUE(Open(t));
    double d = 0;
    ReaderDate date;
    uint8_t b = 0;
    EXPECT_TRUE(reader.GetFieldNumber(0, 1, d));
    EXPECT_FALSE(reader.GetFieldNumber(4, 1, d)) << "an I field narrower than its value";
    EXPECT_FALSE(reader.GetFieldByte(5, 1, b)) << "a field of no bytes";
    for (int i = 0; i < 4; ++i) {
        EXPECT_FALSE(reader.GetFieldNumber(i, 2, d)) << i;
        EXPECT_FALSE(reader.GetFieldDate(i, 2, date)) << i;
        EXPECT_FALSE(reader.GetFieldByte(i, 2, b)) << i;
    }
    ASSERT_TRUE(Open(TableBuilder().Field("N", 'N', 4).Field("I", 'I', 4).SetRecordLength(5).Record({"  12", LE32(5)})));
    EXPECT_TRUE(reader.GetFieldNumber(0, 1, d));
    EXPECT_FALSE(reader.GetFieldNumber(1, 1, d)) << "a field past the record's length";
}

TEST_F(RecordMatch, NumberRanges) {
    TableBuilder t;
    t.Field("N", 'N', 6, 2).Field("I", 'I', 4).Field("Y", 'Y', 8, 4).Field("B", 'B', 8, 2);
    for (const char* psz : {"  9.99", " 10.00", " 15.00", " 20.00", " 20.01", "      ", "  0.00"})
        t.Record({psz, LE32(uint32_t(std::atoi(psz + 1))), LE64(uint64_t(std::llround(std::atof(psz) * 10000))),
                  LEDouble(std::atof(psz))});
    ASSERT_TRUE(Open(t));
    // A blank number is no number: it is in no range, not even one holding 0.
    EXPECT_EQ(Found(FindCriteria::NumberRange(0, 10, 20, false)), (RowList{1, 2, 3}));
    EXPECT_EQ(Found(FindCriteria::NumberRange(0, 10, 20, true)), (RowList{0, 1, 2, 3, 4, 6}));
    EXPECT_EQ(Found(FindCriteria::NumberRange(0, 0, 0, false)), (RowList{6}));
    EXPECT_EQ(Found(FindCriteria::NumberRange(0, 20, 10, false)), (RowList{}));
    EXPECT_EQ(Found(FindCriteria::NumberRange(2, 10, 20, false)), (RowList{1, 2, 3}));
    EXPECT_EQ(Found(FindCriteria::NumberRange(3, 9.99, 9.99, false)), (RowList{0}));
    EXPECT_EQ(Found(FindCriteria::NumberRange(1, 10, 20, false)), (RowList{1, 2, 3, 4})) << "20.01 is 20 as an integer";
}

TEST_F(RecordMatch, DateRangesCompareWholeDays) {
    TableBuilder t;
    t.Field("D", 'D', 8).Field("T", 'T', 8);
    const int32_t nDay = JulianDay(2000, 1, 2);
    t.Record({"20000101", DateTimeBytes(nDay - 1, 86399999)});
    t.Record({"20000102", DateTimeBytes(nDay, 0)});
    t.Record({"20000102", DateTimeBytes(nDay, 86399999)});
    t.Record({"20000103", DateTimeBytes(nDay + 1, 0)});
    t.Record({"        ", DateTimeBytes(0, 0)});
    t.Record({"20000230", std::string(8, ' ')});
    ASSERT_TRUE(Open(t));
    // One day, from its first to its last millisecond; no blank or impossible date.
    EXPECT_EQ(Found(FindCriteria::DateRange(0, nDay, nDay, false)), (RowList{1, 2}));
    EXPECT_EQ(Found(FindCriteria::DateRange(1, nDay, nDay, false)), (RowList{1, 2}));
    EXPECT_EQ(Found(FindCriteria::DateRange(1, nDay - 1, nDay + 1, false)), (RowList{0, 1, 2, 3}));
    EXPECT_EQ(Found(FindCriteria::DateRange(0, nDay + 1, nDay - 1, true)), (RowList{0, 3}));
    EXPECT_EQ(Found(FindCriteria::DateRange(0, nDay + 1, nDay - 5, true)), (RowList{3}));
}

TEST_F(RecordMatch, LogicalChoicesCompareTheStoredLetter) {
    TableBuilder t;
    t.Field("L", 'L', 1);
    for (const char* psz : {"T", "F", "Y", "N", " ", "?", "t"}) t.Record({psz});
    ASSERT_TRUE(Open(t));
    const std::pair<LogicalChoice, RowList> cases[] = {
        {LogicalChoice::trueValue, {0}}, {LogicalChoice::falseValue, {1}}, {LogicalChoice::yes, {2}},
        {LogicalChoice::no, {3}},        {LogicalChoice::empty, {4}},      {LogicalChoice::invalid, {5, 6}},
    };
    for (const auto& [choice, rows] : cases) EXPECT_EQ(Found(FindCriteria::Logical(0, choice)), rows) << int(choice);
}

TEST_F(RecordMatch, TextTests) {
    TableBuilder t;
    t.Field("C", 'C', 8).Field("M", 'M', 10);
    t.Record({"xABCx", ""}).Record({"xabcx", ""}).Record({"Memo", MemoRef10(7)});
    ASSERT_TRUE(Open(t));  // no memo file: the memo cells show placeholders
    EXPECT_EQ(Found(FindCriteria::PlainText(0, "abc")), (RowList{1})) << "the plain search minds letter case";
    EXPECT_EQ(Found(FindCriteria::Text(0, "abc", false)), (RowList{0, 1}));
    EXPECT_EQ(Found(FindCriteria::Text(0, "abc", true)), (RowList{1}));
    EXPECT_EQ(Found(FindCriteria::PlainText(1, "emo")), (RowList{})) << "a placeholder word is no text";
    EXPECT_EQ(Found(FindCriteria::Text(1, "MEMO", false)), (RowList{}));
}

TEST_F(RecordMatch, DosTextIsConvertedBeforeItIsFolded) {
    // "Привет" and "ПРИВЕТ" in the DOS Cyrillic page; the user types in the
    // Windows one. Folding the DOS bytes by the Windows page's rules would
    // turn them into other letters.
    TableBuilder t;
    t.Field("C", 'C', 10);
    t.Record({"\x8F\xE0\xA8\xA2\xA5\xE2"}).Record({"\x8F\x90\x88\x82\x85\x92"}).Record({"E"}).Record({"\xE0"});
    ASSERT_TRUE(Open(t));
    const FindCodePages dos{true, CCodePage::Find("866"), CCodePage::Find("1251")};
    const FindCodePages windows{false, dos.pOem, dos.pAnsi};
    const std::string strPrivet = "\xEF\xF0\xE8\xE2\xE5\xF2";  // "привет", Windows page
    EXPECT_EQ(Found(FindCriteria::Text(0, strPrivet, false), dos), (RowList{0, 1}));
    EXPECT_EQ(Found(FindCriteria::Text(0, strPrivet, true), dos), (RowList{}));
    EXPECT_EQ(Found(FindCriteria::PlainText(0, "\xCF\xF0\xE8"), dos), (RowList{0})) << "typed text goes to the DOS page";
    // Read as Windows text the same bytes are other letters ("а" is 0xE0 in
    // the Windows page, "р" in the DOS one).
    EXPECT_EQ(Found(FindCriteria::PlainText(0, "\xE0"), windows), (RowList{0, 3}));
    EXPECT_EQ(Found(FindCriteria::PlainText(0, "\xF0"), dos), (RowList{0, 3}));
    // The euro sign has no DOS byte; its look-alike 'E' must not be found.
    EXPECT_EQ(Found(FindCriteria::PlainText(0, "\x88"), dos), (RowList{}));
    EXPECT_EQ(Found(FindCriteria::PlainText(0, "E"), dos), (RowList{2}));
}

TEST_F(RecordMatch, WalkingTheRows) {
    TableBuilder t;
    t.Field("N", 'N', 3);
    for (int i = 0; i < 10; ++i) t.Record({std::to_string(i % 3)});
    ASSERT_TRUE(Open(t));
    const FindCriteria two = FindCriteria::NumberRange(0, 2, 2, false);  // rows 2, 5, 8
    const struct {
        FindDirection direction;
        int64_t nCurrent;
        int32_t nFound;
    } cases[] = {
        {FindDirection::first, 7, 2},  {FindDirection::down, 2, 5}, {FindDirection::down, 8, -1},
        {FindDirection::up, 8, 5},     {FindDirection::up, 2, -1},  {FindDirection::up, 0, -1},
        {FindDirection::down, 9, -1},  {FindDirection::up, 100, -1},
    };
    for (const auto& c : cases) {
        FindResult r = FindRecord(reader, two, c.direction, FindStartRow(c.direction, c.nCurrent));
        EXPECT_EQ(r.bFound, c.nFound >= 0) << int(c.direction) << " from " << c.nCurrent;
        EXPECT_EQ(r.nRow, c.nFound) << int(c.direction) << " from " << c.nCurrent;
    }
    // The stop is asked before the first row; true ends the search there.
    int nAsked = 0;
    FindResult r = FindRecord(reader, two, FindDirection::first, 0, {}, [&](int64_t nRow) {
        ++nAsked;
        return nRow == 0;
    });
    EXPECT_TRUE(r.bStopped);
    EXPECT_FALSE(r.bFound);
    EXPECT_EQ(nAsked, 1);
    // A field outside the list, a table without fields or records.
    EXPECT_FALSE(FindRecord(reader, FindCriteria::PlainText(3, ""), FindDirection::first, 0).bFound);
    ASSERT_TRUE(Open(TableBuilder().Field("N", 'N', 3)));
    EXPECT_FALSE(FindRecord(reader, two, FindDirection::first, 0).bFound);
    ASSERT_TRUE(Open(TableBuilder().SetRecordCount(3)));
    EXPECT_EQ(reader.GetFieldCount(), 0);
    EXPECT_FALSE(FindRecord(reader, FindCriteria::PlainText(0, ""), FindDirection::first, 0).bFound);
}

TEST_F(RecordMatch, SearchesReadManyRecordsAtATimeAndForgetThemAfterwards) {
    // 3,000 records of 41 bytes: pieces of 64 KB hold 1,598 of them. The
    // header promises one record more than the file holds.
    TableBuilder t;
    t.Field("C", 'C', 40);
    for (int i = 0; i < 3000; ++i) t.Record({"rec" + std::to_string(i) + "."});
    const std::string strPath = t.SetRecordCount(3001).Write(dir.Path("t.dbf"));
    ASSERT_TRUE(Open(strPath));
    const struct {
        const char* pszText;
        FindDirection direction;
        int64_t nCurrent;
        int32_t nFound;
    } cases[] = {
        {"rec2999.", FindDirection::first, 0, 2999}, {"rec0.", FindDirection::up, 3000, 0},
        {"rec1598.", FindDirection::up, 2999, 1598}, {"rec1597.", FindDirection::down, 5, 1597},
        {"nowhere", FindDirection::first, 0, -1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FindRecord(reader, FindCriteria::PlainText(0, c.pszText), c.direction,
                             FindStartRow(c.direction, c.nCurrent)).nRow,
                  c.nFound)
            << c.pszText;
    EXPECT_TRUE(sink.errors.empty()) << "the record the file lacks is not searched (its window says it is missing)";

    // Another program writes a record: once the search is over, it shows.
    {
        std::fstream file(strPath, std::ios::in | std::ios::out | std::ios::binary);
        file.seekp(reader.GetHeader().GetHeaderLength() + 4 * 41 + 1);
        file.write("new.", 4);
    }
    EXPECT_EQ(Text(0, 5).substr(0, 4), "new.");
}

TEST(RecordMatchPanels, WhatThePanelsMakeOfTheirTexts) {
    const std::pair<const char*, double> bounds[] = {
        {"1,5", 1.5}, {" 12.25", 12.25}, {"+3", 3}, {"-2,5", -2.5}, {"7kg", 7}, {"abc", 0}, {"", 0}, {"-", 0},
    };
    for (const auto& [psz, d] : bounds) EXPECT_DOUBLE_EQ(ParseRangeBound(psz), d) << psz;

    const std::pair<const char*, LogicalChoice> choices[] = {
        {"", LogicalChoice::empty},       {" T", LogicalChoice::empty},    {"t", LogicalChoice::trueValue},
        {"False", LogicalChoice::falseValue}, {"y", LogicalChoice::yes},   {"N", LogicalChoice::no},
        {"?", LogicalChoice::invalid},
    };
    for (const auto& [psz, choice] : choices) EXPECT_EQ(LogicalChoiceFromText(psz), choice) << psz;

    double dLower = 0, dUpper = 10;
    PrefillNumberRange("1,5", dLower, dUpper);
    EXPECT_EQ(std::make_pair(dLower, dUpper), std::make_pair(1.5, 10.0));
    PrefillNumberRange("12", dLower, dUpper);
    EXPECT_EQ(std::make_pair(dLower, dUpper), std::make_pair(1.5, 12.0));

    const std::pair<char, FindPanel> panels[] = {
        {'N', FindPanel::number}, {'Y', FindPanel::number}, {'T', FindPanel::date},
        {'L', FindPanel::logical}, {'C', FindPanel::text},  {'M', FindPanel::text},
    };
    for (const auto& [c, panel] : panels) EXPECT_EQ(FindPanelForType(c), panel) << c;
}

// A header that counts two billion records over a file of three: the search
// looks at the three the file holds and ends at once.
TEST_F(RecordMatch, ASearchEndsWhereTheFileEndsWhateverTheHeaderCounts) {
    TableBuilder t;
    t.Field("C", 'C', 3);
    for (const char* psz : {"abc", "xyz", "ab"}) t.Record({psz});
    const std::string strPath = t.Write(dir.Path("long.dbf"));
    testing_support::Bytes bytes = testing_support::ReadFileBytes(strPath);
    const std::string strCount = LE32(2000000000);
    std::copy(strCount.begin(), strCount.end(), bytes.begin() + 4);
    testing_support::WriteFileBytes(strPath, bytes);
    ASSERT_TRUE(Open(strPath));
    EXPECT_EQ(reader.GetRecordsInFile(), 3);
    EXPECT_EQ(Found(FindCriteria::PlainText(0, "ab")), (RowList{0, 2}));
}
