// Sorting the memory cursor set: the order of every field kind checked
// against a plain comparison of the values the record cursor reads, on
// tables full of ties, shared prefixes, blanks and negative numbers, sort
// after sort (which also proves the sort stable).
#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/memory_cursorset.h"
#include "tests/support/engine_support.h"
#include "tests/support/memo_builder.h"
#include "tests/support/table_builder.h"

using dbf::CDBFMemoryCursorset;
using dbf::FieldKind;
using dbf::FieldValue;
using namespace testing_support;

namespace {

// Text compares like a C string: up to its first NUL, byte by byte, unsigned.
int CompareCText(const std::string& a, const std::string& b) {
    std::string_view va(a.data(), strnlen(a.data(), a.size())), vb(b.data(), strnlen(b.data(), b.size()));
    return va.compare(vb);
}

// The order of two values, ascending: Empty first, then by kind.
bool ValueLess(const FieldValue& a, const FieldValue& b) {
    if (a.IsEmpty() || b.IsEmpty()) return a.IsEmpty() && !b.IsEmpty();
    switch (a.GetKind()) {
    case FieldKind::Int32: return a.GetInt32() < b.GetInt32();
    case FieldKind::Double: return a.GetDouble() < b.GetDouble();
    case FieldKind::Date: return a.GetDate() < b.GetDate();
    case FieldKind::Currency: return a.GetCurrency() < b.GetCurrency();
    case FieldKind::Bool: return a.GetBool() < b.GetBool();
    case FieldKind::Text: return CompareCText(a.GetText(), b.GetText()) < 0;
    case FieldKind::MemoRef: return a.GetMemoRef() < b.GetMemoRef();
    default: ADD_FAILURE() << "unexpected kind " << dbf::FieldKindName(a.GetKind()); return false;
    }
}

// The ID (field 0) of each visible record, in display order.
std::vector<double> Ids(CDBFMemoryCursorset& set) {
    std::vector<double> ids;
    for (int32_t i = 0; i < set.GetRecordCount(); ++i) {
        set.SetAbsolutePosition(i);
        FieldValue id = set.GetFieldValue(0);
        ids.push_back(id.GetKind() == FieldKind::Int32 ? id.GetInt32() : id.GetDouble());
    }
    return ids;
}

// Sorts by the field and checks the order against a stable sort of the
// values in the order the records had before.
void SortAndCheck(CDBFMemoryCursorset& set, int nField, bool bDescending) {
    struct Row {
        double dId;
        FieldValue value;
    };
    std::vector<Row> rows;
    for (int32_t i = 0; i < set.GetRecordCount(); ++i) {
        set.SetAbsolutePosition(i);
        FieldValue id = set.GetFieldValue(0);
        rows.push_back({id.GetKind() == FieldKind::Int32 ? id.GetInt32() : id.GetDouble(), set.GetFieldValue(nField)});
    }
    std::stable_sort(rows.begin(), rows.end(), [&](const Row& a, const Row& b) {
        return bDescending ? ValueLess(b.value, a.value) : ValueLess(a.value, b.value);
    });
    std::vector<double> expected;
    for (const Row& row : rows) expected.push_back(row.dId);
    set.Sort(nField, bDescending);
    ASSERT_EQ(Ids(set), expected) << "field " << nField << (bDescending ? " descending" : " ascending");
}

std::string Pick(std::mt19937& rng, const std::vector<std::string>& choices) {
    return choices[std::uniform_int_distribution<size_t>(0, choices.size() - 1)(rng)];
}

std::string RandomTail(std::mt19937& rng, size_t nMax, const char* pszAlphabet) {
    const size_t nAlphabet = std::strlen(pszAlphabet);
    std::string str(std::uniform_int_distribution<size_t>(0, nMax)(rng), ' ');
    for (char& c : str) c = pszAlphabet[std::uniform_int_distribution<size_t>(0, nAlphabet - 1)(rng)];
    return str;
}

// A dBASE III table with memo: ID N 6, NAME C 40, AMT N 8.2, BORN D, OK L,
// NOTE M, with values chosen to tie, share long prefixes and be blank.
std::string WriteDBase3Table(const TempDir& dir, int nRecords) {
    std::mt19937 rng(20020304);
    CMemoImage memo = CMemoImage::DBase3(1);
    TableBuilder b(0x83);
    b.Field("ID", 'N', 6).Field("NAME", 'C', 40).Field("AMT", 'N', 8, 2).Field("BORN", 'D', 8).Field("OK", 'L', 1);
    b.Field("NOTE", 'M', 10);
    const std::vector<std::string> prefixes = {"", "A", "Smith", "Smithson", "Smithsonian Instit",
                                               "The quick brown fox jumps over ", "\xC4pfel", "a\tb", "zz"};
    const std::vector<std::string> notes = {"", "short", "A memo that begins the same way as others, then ",
                                            std::string(300, 'x'), "nul\0inside"};
    for (int i = 0; i < nRecords; ++i) {
        std::string strName = Pick(rng, prefixes) + RandomTail(rng, 4, "ab \x01\xE9");
        if (i % 97 == 5) strName = "ab" + std::string(1, '\0') + "zz";  // text ends at the NUL
        if (strName.size() > 40) strName.resize(40);
        const int nAmount = std::uniform_int_distribution<int>(-40, 40)(rng);
        std::string strAmount = i % 13 == 0 ? "" : i % 17 == 0 ? "-0.00" : std::to_string(nAmount / 4.0).substr(0, 6);
        std::string strBorn = i % 7 == 0 ? "" : i % 11 == 0 ? "20020230"
                                                             : std::to_string(1990 + i % 5) + "0" + std::to_string(1 + i % 9) + "15";
        std::string strOk = Pick(rng, {"T", "F", "Y", "n", "?", " "});
        std::string strNote;
        if (i % 3 != 0) {
            std::string strText = Pick(rng, notes) + RandomTail(rng, 3, "xyz");
            strNote = MemoRef10(memo.Add(strText));
        } else {
            strNote = MemoRef10(0);
        }
        b.Record({std::to_string(i), strName, strAmount, strBorn, strOk, strNote});
    }
    memo.Save(dir, "t.DBT");
    return b.Write(dir.Path("t.dbf"));
}

// A Visual FoxPro table: ID I, CASH Y, WHEN T, DBL B, RAW C 12 (binary
// flag: not trimmed), PIC G (a binary memo: no order).
std::string WriteFoxProTable(const TempDir& dir, int nRecords) {
    std::mt19937 rng(777);
    TableBuilder b(0x30);
    b.Field("ID", 'I', 4).Field("CASH", 'Y', 8).Field("WHEN", 'T', 8).Field("DBL", 'B', 8).Field("RAW", 'C', 12, 0, 0x04);
    b.Field("PIC", 'G', 4);
    for (int i = 0; i < nRecords; ++i) {
        const int64_t nCash = std::uniform_int_distribution<int64_t>(-5, 5)(rng) * 12345 +
                              (i % 50 == 0 ? INT64_MIN / 2 : 0);
        std::string strWhen = i % 9 == 0 ? DateTimeBytes(0, 0)
                                         : DateTimeBytes(JulianDay(2000 + i % 3, 1 + i % 12, 1), (i % 5) * 1000);
        const double d = std::uniform_int_distribution<int>(-3, 3)(rng) * (i % 2 ? 1e300 : 0.5);
        std::string strRaw = Pick(rng, {"abc", "abc ", "abc  x", "", "ABC"}) + RandomTail(rng, 2, "a ");
        strRaw.resize(12, ' ');
        b.Record({LE32(uint32_t(i)), LE64(uint64_t(nCash)), strWhen, LEDouble(i % 10 == 0 ? -0.0 : d), strRaw,
                  LE32(uint32_t(nRecords - i))});
    }
    return b.Write(dir.Path("v.dbf"));
}

}  // namespace

TEST(MemoryCursorsetSort, EveryDBaseKindOrdersLikeItsValuesAndStaysStable) {
    TempDir dir;
    CDBFMemoryCursorset set;
    set.Open(WriteDBase3Table(dir, 3000), kReadOnly);
    ASSERT_EQ(set.GetRecordCount(), 3000);
    set.SetAbsolutePosition(2);
    set.Sort(3, false);
    EXPECT_EQ(set.GetCurrentIndex(), 2) << "the index stays; the record under it changes";
    // Each sort starts from the order the one before left.
    for (int nField : {1, 2, 3, 4, 5, 1, 3, 5, 2}) {
        SortAndCheck(set, nField, false);
        SortAndCheck(set, nField, true);
        SortAndCheck(set, (nField + 2) % 6, nField % 2 == 0);
    }
}

TEST(MemoryCursorsetSort, EveryFoxProKindOrdersLikeItsValuesAndStaysStable) {
    TempDir dir;
    CDBFMemoryCursorset set;
    set.Open(WriteFoxProTable(dir, 2000), kReadOnly);
    for (int nField : {1, 2, 3, 4, 0, 4, 2}) {
        SortAndCheck(set, nField, nField % 2 == 1);
        SortAndCheck(set, (nField + 3) % 5, nField % 2 == 0);
    }
    const std::vector<double> before = Ids(set);
    set.Sort(5, false);
    EXPECT_EQ(Ids(set), before) << "binary memo fields do not sort";
    EXPECT_EQ(set.GetSortField(), 5) << "but the field is remembered";
}
