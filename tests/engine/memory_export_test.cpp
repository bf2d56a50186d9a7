// The dBASE III and Visual FoxPro copies of the memory cursor set: the
// descriptors each field type becomes, the values that arrive, the visible
// records in display order with their deletion flags, and the refusal of a
// value the copy's field cannot hold.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/dbf_exception.h"
#include "engine/memory_cursorset.h"
#include "platform/core/ole_date.h"
#include "tests/support/table_builder.h"
#include "tests/support/test_support.h"

using dbf::CDBFException;
using dbf::CDBFMemoryCursorset;
using dbf::FieldValue;
using namespace testing_support;

namespace {

constexpr unsigned kReadOnly = 64, kReadWrite = 66;

struct Source {
    TempDir dir;
    std::string strPath;
    std::string strLongMemo = std::string(200, 'a') + std::string(100, 'b');
};

// A Visual FoxPro table with a memo file and a field of every type, two
// records, the second deleted.
void WriteEveryType(Source& s) {
    MemoBuilder memo(MemoLayout::foxPro, 64);
    const uint32_t nMemo = memo.Add(s.strLongMemo);
    memo.Write(s.dir.Path("v.FPT"));
    TableBuilder b(0x30);
    b.TableFlags(0x02).CodePageMark(0x03);
    b.Field("NAME", 'C', 10).Field("AMT", 'N', 7, 2).Field("F", 'F', 6, 1).Field("OK", 'L', 1).Field("BORN", 'D', 8);
    b.Field("WHEN", 'T', 8).Field("I", 'I', 4).Field("DBL", 'B', 8, 2).Field("CASH", 'Y', 8, 4).Field("NOTE", 'M', 4);
    b.Field("PIC", 'G', 4).Field("_NullFlags", '0', 1, 0, 0x05).Field("ODD", 'Q', 3);
    b.Record({"Ann", "1234.50", "-2.5", "T", "20020304", DateTimeBytes(JulianDay(2002, 3, 4), 45296000), LE32(uint32_t(-7)),
              LEDouble(0.125), LE64(123456), LE32(nMemo), LE32(5), std::string(1, '\x02'), "xyz"});
    b.DeletedRecord({"Bob", "", "", "F", "", DateTimeBytes(0, 0), LE32(0), LEDouble(-1e10), LE64(uint64_t(-50000)),
                     LE32(0), LE32(0), std::string(1, '\0'), "q"});
    s.strPath = b.Write(s.dir.Path("v.dbf"));
}

struct FieldShape {
    std::string strName;
    char cType;
    int nWidth;
    int nDecimals;
};

std::vector<FieldShape> ShapeOf(CDBFMemoryCursorset& set) {
    std::vector<FieldShape> shape;
    for (int i = 0; i < set.GetFieldCount(); ++i) {
        dbf::DBFFieldInfo info = set.GetTableDef()->GetFieldInfo(i);
        shape.push_back({info.strName, info.cType, info.nWidth, info.nDecimals});
    }
    return shape;
}

bool operator==(const FieldShape& a, const FieldShape& b) {
    return a.strName == b.strName && a.cType == b.cType && a.nWidth == b.nWidth && a.nDecimals == b.nDecimals;
}

void PrintTo(const FieldShape& f, std::ostream* os) {
    *os << f.strName << ":" << f.cType << ":" << f.nWidth << ":" << f.nDecimals;
}

double Date(int y, int m, int d, int hh = 0, int mm = 0, int ss = 0) {
    double dDate = 0;
    EXPECT_TRUE(platform::MakeOleDate(y, m, d, hh, mm, ss, dDate));
    return dDate;
}

}  // namespace

TEST(MemoryCursorsetExport, DBase3CopyOfEveryFieldType) {
    Source s;
    WriteEveryType(s);
    CDBFMemoryCursorset set;
    set.Open(s.strPath, kReadOnly);
    ASSERT_TRUE(set.ExportDBase3(s.dir.Path("copy.dbf")));
    EXPECT_FALSE(platform::CFile::Exists(s.dir.Path("copy.DBT"))) << "copies get no memo file";

    CDBFMemoryCursorset copy;
    copy.Open(s.dir.Path("copy.dbf"), kReadOnly);
    EXPECT_EQ(copy.GetTableDef()->GetHeader().version, 0x03);
    EXPECT_EQ(copy.GetTableDef()->GetHeader().codePageMark, 0);
    EXPECT_EQ(ShapeOf(copy), (std::vector<FieldShape>{{"NAME", 'C', 10, 0},   {"AMT", 'N', 7, 2},
                                                      {"F", 'F', 6, 1},       {"OK", 'L', 1, 0},
                                                      {"BORN", 'D', 8, 0},    {"WHEN", 'D', 8, 0},
                                                      {"I", 'N', 12, 0},      {"DBL", 'F', 16, 4},
                                                      {"CASH", 'F', 16, 4},   {"NOTE", 'C', 255, 0},
                                                      {"PIC", 'C', 10, 0},    {"_NullFlags", 'C', 10, 0},
                                                      {"ODD", 'C', 10, 0}}));
    ASSERT_EQ(copy.GetRecordCount(), 2);
    EXPECT_EQ(copy.GetFieldValue("NAME").GetText(), "Ann");
    EXPECT_EQ(copy.GetFieldValue("AMT"), FieldValue::MakeDouble(1234.5));
    EXPECT_EQ(copy.GetFieldValue("F"), FieldValue::MakeDouble(-2.5));
    EXPECT_EQ(copy.GetFieldValue("OK"), FieldValue::MakeBool(1));
    EXPECT_EQ(copy.GetFieldValue("BORN"), FieldValue::MakeDate(Date(2002, 3, 4)));
    EXPECT_EQ(copy.GetFieldValue("WHEN"), FieldValue::MakeDate(Date(2002, 3, 4))) << "the day of a date-time";
    EXPECT_EQ(copy.GetFieldValue("I"), FieldValue::MakeDouble(-7));
    EXPECT_EQ(copy.GetFieldValue("DBL"), FieldValue::MakeDouble(0.125));
    EXPECT_EQ(copy.GetFieldValue("CASH"), FieldValue::MakeDouble(12.3456));
    EXPECT_EQ(copy.GetFieldValue("NOTE").GetText(), s.strLongMemo.substr(0, 255)) << "the memo's first 255 characters";
    EXPECT_EQ(copy.GetFieldValue("PIC").GetText(), "");
    EXPECT_EQ(copy.GetFieldValue("_NullFlags").GetText(), "2") << "the flags as a number";
    EXPECT_EQ(copy.GetFieldValue("ODD").GetText(), "xyz") << "an unknown letter's bytes as text";

    copy.SetAbsolutePosition(1);
    EXPECT_TRUE(copy.IsDeletedOnDisk());
    EXPECT_EQ(copy.GetFieldValue("AMT"), FieldValue::MakeDouble(0)) << "a blank number reads as 0 either way";
    EXPECT_EQ(copy.GetFieldValue("DBL"), FieldValue::MakeDouble(-1e10));
    EXPECT_EQ(copy.GetFieldValue("CASH"), FieldValue::MakeDouble(-5));
    EXPECT_TRUE(copy.GetFieldValue("BORN").IsEmpty());
    EXPECT_EQ(copy.GetFieldValue("NOTE").GetText(), "");
}

TEST(MemoryCursorsetExport, VisualFoxProCopyKeepsItsTypes) {
    Source s;
    WriteEveryType(s);
    CDBFMemoryCursorset set;
    set.Open(s.strPath, kReadOnly);
    ASSERT_TRUE(set.ExportVisualFoxPro(s.dir.Path("copy.dbf")));

    CDBFMemoryCursorset copy;
    copy.Open(s.dir.Path("copy.dbf"), kReadOnly);
    const dbf::DBFHeader& header = copy.GetTableDef()->GetHeader();
    EXPECT_EQ(header.version, 0x30);
    EXPECT_EQ(header.codePageMark, 0x03) << "the source's code-page mark";
    EXPECT_EQ(header.tableFlags, 0) << "no memo file";
    EXPECT_EQ(copy.GetTableDef()->GetHeaderLength(), 13 * 32 + 296);
    EXPECT_EQ(ShapeOf(copy), (std::vector<FieldShape>{{"NAME", 'C', 10, 0},   {"AMT", 'N', 7, 2},
                                                      {"F", 'F', 6, 1},       {"OK", 'L', 1, 0},
                                                      {"BORN", 'D', 8, 0},    {"WHEN", 'T', 8, 0},
                                                      {"I", 'I', 4, 0},       {"DBL", 'B', 8, 2},
                                                      {"CASH", 'Y', 8, 4},    {"NOTE", 'C', 255, 0},
                                                      {"PIC", 'C', 10, 0},    {"_NullFlags", '0', 1, 0},
                                                      {"ODD", 'C', 10, 0}}));
    EXPECT_EQ(copy.GetFieldValue("WHEN"), FieldValue::MakeDate(Date(2002, 3, 4, 12, 34, 56)));
    EXPECT_EQ(copy.GetFieldValue("I"), FieldValue::MakeInt32(-7));
    EXPECT_EQ(copy.GetFieldValue("CASH"), FieldValue::MakeCurrency(123456));
    EXPECT_EQ(copy.GetFieldValue("_NullFlags"), FieldValue::MakeMemoRef(2));
    EXPECT_EQ(copy.GetFieldValue("NOTE").GetText(), s.strLongMemo.substr(0, 255));
    EXPECT_EQ(copy.GetFieldValue("ODD").GetText(), "xyz");
    copy.SetAbsolutePosition(1);
    EXPECT_TRUE(copy.IsDeletedOnDisk());
    EXPECT_TRUE(copy.GetFieldValue("WHEN").IsEmpty());
}

TEST(MemoryCursorsetExport, CopiesTheVisibleRecordsInDisplayOrder) {
    TempDir dir;
    TableBuilder b;
    b.Field("NAME", 'C', 8);
    b.Record({"c"}).DeletedRecord({"gone"}).Record({"a"}).Record({"b"});
    CDBFMemoryCursorset set;
    set.Open(b.Write(dir.Path("t.dbf")), kReadWrite);
    set.SetHideDeleted(true);
    set.Requery();
    set.SetAbsolutePosition(1);
    set.Delete();  // "a" becomes 'X': still shown, copied as deleted
    set.AddNew();
    set.SetFieldValue(0, FieldValue::MakeText("d"));
    set.Update();
    set.Sort(0, false);
    ASSERT_TRUE(set.ExportDBase3(dir.Path("copy.dbf")));
    const Bytes copy = ReadFileBytes(dir.Path("copy.dbf"));
    const size_t nFirst = 32 + 32 + 1;
    ASSERT_EQ(copy.size(), nFirst + 4 * 9 + 1);
    EXPECT_EQ(std::string(copy.begin() + long(nFirst), copy.end() - 1), "*a        b        c        d       ");
    EXPECT_EQ(copy[4], 4) << "the record count";
}

TEST(MemoryCursorsetExport, AValueTheCopyCannotHoldRefusesTheWholeCopy) {
    TempDir dir;
    TableBuilder b(0x30);
    b.Field("DBL", 'B', 8, 2);
    b.Record({LEDouble(1)}).Record({LEDouble(1e300)});
    CDBFMemoryCursorset set;
    set.Open(b.Write(dir.Path("v.dbf")), kReadOnly);
    try {
        set.ExportDBase3(dir.Path("copy.dbf"));
        ADD_FAILURE() << "1e300 does not fit F 16.4";
    } catch (const CDBFException& e) {
        EXPECT_EQ(e.GetCode(), 3023);
        EXPECT_EQ(e.GetErrorMessage().rfind("A value does not fit its new field. (record 2, field DBL: ", 0), 0u)
            << e.GetErrorMessage();
    }
    EXPECT_FALSE(platform::CFile::Exists(dir.Path("copy.dbf")));
    EXPECT_TRUE(set.ExportVisualFoxPro(dir.Path("copy.dbf"))) << "the Visual FoxPro copy keeps the double";
}
