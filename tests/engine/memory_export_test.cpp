// The dBASE III and Visual FoxPro copies of the memory cursor set: the
// descriptors each field type becomes, the values that arrive, the visible
// records in display order with their deletion flags, and the refusal of a
// value the copy's field cannot hold.
#include <gtest/gtest.h>

#include "engine/field_copy.h"
#include "engine/field_io.h"
#include "engine/memory_cursorset.h"
#include "tests/support/engine_support.h"
#include "tests/support/memo_builder.h"
#include "tests/support/table_builder.h"

using dbf::CDBFException;
using dbf::CDBFMemoryCursorset;
using dbf::FieldValue;
using namespace testing_support;

namespace {

struct FieldShape {
    std::string strName;
    char cType;
    int nWidth, nDecimals;
    bool operator==(const FieldShape&) const = default;
};

void PrintTo(const FieldShape& f, std::ostream* os) {
    *os << f.strName << ":" << f.cType << ":" << f.nWidth << ":" << f.nDecimals;
}

FieldValue Text(const std::string& str) { return FieldValue::MakeText(str); }
FieldValue Num(double d) { return FieldValue::MakeDouble(d); }

}  // namespace

TEST(MemoryCursorsetExport, EveryFieldTypeBecomesTheFieldOfItsCopy) {
    // A Visual FoxPro table with a memo file and a field of every type, two
    // records, the second deleted.
    TempDir dir;
    const std::string strMemo = std::string(200, 'a') + std::string(100, 'b');
    CMemoImage memo = CMemoImage::Fpt(8);
    const uint32_t nMemo = memo.Add(strMemo);
    memo.Save(dir, "v.FPT");
    TableBuilder b(0x30);
    b.TableFlags(0x02).CodePageMark(0x03);
    b.Field("NAME", 'C', 10).Field("AMT", 'N', 7, 2).Field("F", 'F', 6, 1).Field("OK", 'L', 1).Field("BORN", 'D', 8);
    b.Field("WHEN", 'T', 8).Field("I", 'I', 4).Field("DBL", 'B', 8, 2).Field("CASH", 'Y', 8, 4).Field("NOTE", 'M', 4);
    b.Field("PIC", 'G', 4).Field("_NullFlags", '0', 1, 0, 0x05).Field("ODD", 'Q', 3);
    b.Record({"Ann", "1234.50", "-2.5", "T", "20020304", DateTimeBytes(JulianDay(2002, 3, 4), 45296000), LE32(uint32_t(-7)),
              LEDouble(0.125), LE64(123456), LE32(nMemo), LE32(5), std::string(1, '\x02'), "xyz"});
    b.DeletedRecord({"Bob", "", "", "F", "", DateTimeBytes(0, 0), LE32(0), LEDouble(-1e10), LE64(uint64_t(-50000)),
                     LE32(0), LE32(0), std::string(1, '\0'), "q"});
    CDBFMemoryCursorset set;
    set.Open(b.Write(dir.Path("v.dbf")), kReadOnly);

    const FieldValue day = FieldValue::MakeDate(OleDate(2002, 3, 4)), memoText = Text(strMemo.substr(0, 255));
    const struct {
        bool bVfp;
        uint8_t nVersion, nCodePageMark;
        int nHeaderLength;
        std::vector<FieldShape> shape;
        std::vector<std::pair<const char*, FieldValue>> first, second;
    } dialects[] = {
        {false, 0x03, 0x03, 13 * 32 + 33,  // memo text becomes its first 255 characters, binary numbers F 16.4
         {{"NAME", 'C', 10, 0}, {"AMT", 'N', 7, 2}, {"F", 'F', 6, 1}, {"OK", 'L', 1, 0}, {"BORN", 'D', 8, 0},
          {"WHEN", 'D', 8, 0}, {"I", 'N', 12, 0}, {"DBL", 'F', 16, 4}, {"CASH", 'F', 16, 4}, {"NOTE", 'C', 255, 0},
          {"PIC", 'C', 10, 0}, {"_NullFlags", 'C', 10, 0}, {"ODD", 'C', 10, 0}},
         {{"NAME", Text("Ann")}, {"AMT", Num(1234.5)}, {"F", Num(-2.5)}, {"OK", FieldValue::MakeBool(1)},
          {"BORN", day}, {"WHEN", day}, {"I", Num(-7)}, {"DBL", Num(0.125)}, {"CASH", Num(12.3456)}, {"NOTE", memoText},
          {"PIC", Text("")}, {"_NullFlags", Text("2")}, {"ODD", Text("xyz")}},
         {{"AMT", Num(0)}, {"DBL", Num(-1e10)}, {"CASH", Num(-5)}, {"BORN", FieldValue()}, {"NOTE", Text("")}}},
        {true, 0x30, 0x03, 13 * 32 + 296,  // the source's code-page mark in either dialect; no memo file
         {{"NAME", 'C', 10, 0}, {"AMT", 'N', 7, 2}, {"F", 'F', 6, 1}, {"OK", 'L', 1, 0}, {"BORN", 'D', 8, 0},
          {"WHEN", 'T', 8, 0}, {"I", 'I', 4, 0}, {"DBL", 'B', 8, 2}, {"CASH", 'Y', 8, 4}, {"NOTE", 'C', 255, 0},
          {"PIC", 'C', 10, 0}, {"_NullFlags", '0', 1, 0}, {"ODD", 'C', 10, 0}},
         {{"WHEN", FieldValue::MakeDate(OleDate(2002, 3, 4, 12, 34, 56))}, {"I", FieldValue::MakeInt32(-7)},
          {"CASH", FieldValue::MakeCurrency(123456)}, {"_NullFlags", FieldValue::MakeMemoRef(2)}, {"NOTE", memoText},
          {"ODD", Text("xyz")}},
         {{"WHEN", FieldValue()}}},
    };
    for (const auto& d : dialects) {
        SCOPED_TRACE(d.bVfp ? "Visual FoxPro" : "dBASE III");
        const std::string strCopy = dir.Path(d.bVfp ? "vfp.dbf" : "db3.dbf");
        ASSERT_TRUE(d.bVfp ? set.ExportVisualFoxPro(strCopy) : set.ExportDBase3(strCopy));
        CDBFMemoryCursorset copy;
        copy.Open(strCopy, kReadOnly);
        const dbf::DBFHeader& header = copy.GetTableDef()->GetHeader();
        EXPECT_EQ(header.version, d.nVersion);
        EXPECT_EQ(header.codePageMark, d.nCodePageMark);
        EXPECT_EQ(header.tableFlags, 0) << "copies get no memo file";
        EXPECT_EQ(copy.GetTableDef()->GetHeaderLength(), d.nHeaderLength);
        EXPECT_EQ(copy.GetTableDef()->GetMemoFile(), nullptr);
        std::vector<FieldShape> shape;
        for (int i = 0; i < copy.GetFieldCount(); ++i) {
            dbf::DBFFieldInfo info = copy.GetTableDef()->GetFieldInfo(i);
            shape.push_back({info.strName, info.cType, info.nWidth, info.nDecimals});
        }
        EXPECT_EQ(shape, d.shape);
        ASSERT_EQ(copy.GetRecordCount(), 2);
        for (const auto& [pszField, value] : d.first) EXPECT_EQ(copy.GetFieldValue(pszField), value) << pszField;
        copy.SetAbsolutePosition(1);
        EXPECT_TRUE(copy.IsDeletedOnDisk());
        for (const auto& [pszField, value] : d.second) EXPECT_EQ(copy.GetFieldValue(pszField), value) << pszField;
    }
    EXPECT_FALSE(platform::CFile::Exists(dir.Path("db3.DBT")));
    EXPECT_FALSE(platform::CFile::Exists(dir.Path("vfp.FPT")));
}

TEST(MemoryCursorsetExport, MemoTextsTheCopyCutsAreCountedBeforeAndAfter) {
    // Three records: a memo of 300 characters, one of exactly 255, none; a
    // second memo field of 256. Deleted records hidden are not counted.
    TempDir dir;
    CMemoImage memo = CMemoImage::DBase3(1);
    const uint32_t nLong = memo.Add(std::string(300, 'x')), nExact = memo.Add(std::string(255, 'y'));
    const uint32_t nOther = memo.Add(std::string(256, 'z'));
    memo.Save(dir, "m.DBT");
    TableBuilder b(0x83);
    b.Field("NAME", 'C', 4).Field("NOTES", 'M', 10).Field("REMARKS", 'M', 10);
    b.Record({"a", MemoRef10(nLong), MemoRef10(nOther)}).Record({"b", MemoRef10(nExact), MemoRef10(0)});
    b.DeletedRecord({"c", MemoRef10(nLong), MemoRef10(0)});
    CDBFMemoryCursorset set;
    set.Open(b.Write(dir.Path("m.dbf")), kReadOnly);
    using Cut = CDBFMemoryCursorset::ExportCut;
    auto cuts = [](const std::vector<Cut>& list) {
        std::string str;
        for (const Cut& c : list) str += c.strName + "=" + std::to_string(c.nValues) + " ";
        return str;
    };
    EXPECT_EQ(cuts(set.CountExportCuts(false)), "NOTES=2 REMARKS=1 ");
    set.SetHideDeleted(true);
    set.Requery();
    EXPECT_EQ(cuts(set.CountExportCuts(true)), "NOTES=1 REMARKS=1 ");
    ASSERT_TRUE(set.ExportDBase3(dir.Path("copy.dbf")));
    EXPECT_EQ(cuts(set.GetLastExportCuts()), "NOTES=1 REMARKS=1 ") << "what the copy did cut";
    CDBFMemoryCursorset copy;
    copy.Open(dir.Path("copy.dbf"), kReadOnly);
    EXPECT_EQ(copy.GetFieldValue("NOTES"), Text(std::string(255, 'x')));
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

    // A table whose only field is 0 wide (its records are padding) has no
    // copy that any program would open.
    TableBuilder zero;
    zero.Field("L", 'L', 0).SetRecordLength(4).RawRecord("    ");
    CDBFMemoryCursorset odd;
    odd.Open(zero.Write(dir.Path("zero.dbf")), kReadOnly);
    ASSERT_TRUE(odd.IsOpen());
    EXPECT_EQ(ErrorCodeOf([&] { odd.ExportDBase3(dir.Path("zero_copy.dbf")); }), 3025);
    EXPECT_FALSE(platform::CFile::Exists(dir.Path("zero_copy.dbf")));
}

TEST(MemoryCursorsetExport, FieldsKeepingTheirLayoutKeepTheirBytesAndBlanksStayBlank) {
    // Tricky bytes in every field: a field whose type, width and decimals
    // the copy keeps keeps its bytes exactly (a blank number or a '?'
    // logical is no 0 and no F); a blank field that changes type becomes
    // the new type's blank.
    TempDir dir;
    TableBuilder b(0x30);
    b.Field("C", 'C', 6).Field("BIN", 'C', 4, 0, 0x04).Field("D", 'D', 8).Field("L", 'L', 1).Field("I", 'I', 4);
    b.Field("Y", 'Y', 8).Field("B", 'B', 8).Field("N", 'N', 16, 6).Field("T", 'T', 8);
    const std::vector<std::string> texts = {"ab\t  ", std::string("a\0b   ", 6), "      ", "abcdef", "x \r\n  "};
    const std::vector<std::string> dates = {"20020304", "20020230", "00000000", "        ", "2002 3 4", "08000505"};
    const std::vector<std::string> logicals = {"T", "t", "y", "N", "?", " ", std::string(1, '\0')};
    const std::vector<std::string> numbers = {"", "12.500000", "0.000000"};
    const std::vector<std::string> times = {std::string(8, '\0'), std::string(8, ' '), DateTimeBytes(JulianDay(2002, 3, 4), 0)};
    for (size_t i = 0; i < 42; ++i) {
        b.Record({texts[i % texts.size()], texts[(i + 1) % texts.size()].substr(0, 4), dates[i % dates.size()],
                  logicals[i % logicals.size()], LE32(uint32_t(i * 2654435761u)), LE64(i * 0x9E3779B97F4A7C15ull),
                  LEDouble(i % 3 ? -0.0 : 1.0 / double(i + 1)), numbers[i % numbers.size()], times[i % times.size()]});
    }
    const std::string strPath = b.Write(dir.Path("t.dbf"));
    CDBFMemoryCursorset set;
    set.Open(strPath, kReadOnly);
    ASSERT_TRUE(set.ExportVisualFoxPro(dir.Path("vfp.dbf")));
    ASSERT_TRUE(set.ExportDBase3(dir.Path("db3.dbf")));
    const Bytes source = ReadFileBytes(strPath), vfp = ReadFileBytes(dir.Path("vfp.dbf"));
    const size_t nHeader = set.GetTableDef()->GetHeaderLength();
    ASSERT_EQ(vfp.size(), source.size());
    EXPECT_TRUE(std::equal(source.begin() + long(nHeader), source.end(), vfp.begin() + long(nHeader)))
        << "every field keeps its layout in a Visual FoxPro copy: every record byte stays";

    CDBFMemoryCursorset db3;
    db3.Open(dir.Path("db3.dbf"), kReadOnly);
    ASSERT_EQ(db3.GetRecordCount(), 42);
    auto field = [](CDBFMemoryCursorset& table, int32_t n, const char* pszName) {
        const dbf::DBFFieldDesc& desc = table.GetFieldList().m_pDesc[table.GetFieldIndex(pszName)];
        const uint8_t* p = table.GetRecord(n) + desc.GetDisplacement();
        return std::string(p, p + desc.GetLayoutWidth());
    };
    for (int32_t n = 0; n < 42; ++n) {
        SCOPED_TRACE("record " + std::to_string(n));
        for (const char* pszSame : {"C", "BIN", "D", "L", "N"}) EXPECT_EQ(field(db3, n, pszSame), field(set, n, pszSame)) << pszSame;
        // T becomes D: a date-time that names no day is a blank date.
        EXPECT_EQ(field(db3, n, "T"), n % 3 == 2 ? "20020304" : "        ");
    }
}
