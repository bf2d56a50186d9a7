// Creating tables and changing their structure: the header a structure gets,
// the field map that follows fields through inserts and moves, the record
// copy with its conversions (memo fields included), cancelling, the refusal
// of values that do not fit, and failures at every step of the rewrite.
#include <gtest/gtest.h>

#include "engine/file_cursor.h"
#include "engine/memory_cursorset.h"
#include "engine/table_def.h"
#include "tests/support/engine_support.h"
#include "tests/support/memo_builder.h"
#include "tests/support/table_builder.h"

using dbf::CDBFException;
using dbf::CDBFMemoryCursorset;
using dbf::CDBFTableDef;
using dbf::DBFFieldDesc;
using dbf::FieldValue;
using namespace testing_support;
using Strings = std::vector<std::string>;

namespace {

DBFFieldDesc Desc(const std::string& strName, char cType, unsigned nWidth, unsigned nDecimals = 0) {
    DBFFieldDesc desc{};
    desc.SetName(strName);
    desc.type = cType;
    desc.width = uint8_t(nWidth & 0xFF);
    desc.decimals = uint8_t(cType == 'C' ? nWidth >> 8 : nDecimals);
    return desc;
}

Strings FieldNames(const CDBFTableDef& table) {
    Strings names;
    for (int i = 0; i < table.GetFieldCount(); ++i) names.push_back(table.GetFieldDesc(i).GetName());
    return names;
}

// A dBASE III table with memo: NAME C 8, AGE N 5.1, NOTE M, CODE C 6;
// the second record deleted.
std::string WriteMemoTable(const std::string& strPath) {
    CMemoImage memo = CMemoImage::DBase3(1);
    const uint32_t nFirst = memo.Add("first memo"), nSecond = memo.Add("second memo");
    memo.Save(strPath.substr(0, strPath.size() - 3) + "DBT");
    TableBuilder b(0x83);
    b.Field("NAME", 'C', 8).Field("AGE", 'N', 5, 1).Field("NOTE", 'M', 10).Field("CODE", 'C', 6);
    b.Record({"Ann", "34.5", MemoRef10(nFirst), "12.5"});
    b.DeletedRecord({"Bob", "7.0", MemoRef10(nSecond), ""});
    b.Record({"Cy", "999.9", MemoRef10(0), "text"});
    return b.Write(strPath);
}

struct MemoTable {
    TempDir dir;
    std::string strPath = WriteMemoTable(dir.Path("t.dbf"));
};

// A new field inserted into the memo table, the rewrite failed at every step.
struct RestructureJob {
    static constexpr bool kReads = true;
    static std::string Table(const std::string& strPath) { return WriteMemoTable(strPath); }
    CDBFTableDef table;
    explicit RestructureJob(const std::string& strPath) {
        table.Open(strPath, kExclusive);
        table.BeginModifyStructure();
        table.InsertField(1, Desc("NEW", 'C', 3));
    }
    void Write() { table.WriteStructure(); }
    void Written(const std::string&) { EXPECT_EQ(table.GetFieldCount(), 5) << "the new structure is the one on disk"; }
    void Retry() {
        EXPECT_EQ(table.GetStructMode(), 1);
        table.WriteStructure();
        EXPECT_EQ(table.GetFieldCount(), 5);
    }
};

}  // namespace

TEST(TableCreate, NewTableGetsTheHeaderItsVersionCallsFor) {
    for (uint8_t nVersion : {uint8_t(0x03), uint8_t(0x30)}) {
        TempDir dir;
        const std::string strPath = dir.Path("new.dbf");
        CDBFTableDef table;
        ASSERT_TRUE(table.CreateNew(strPath));
        EXPECT_EQ(table.GetStructMode(), 2);
        if (nVersion == 0x30) {
            dbf::DBFHeader header = table.GetHeader();
            header.version = 0x30;
            table.SetHeader(header);
        }
        table.AppendField(Desc("NAME", 'C', 20));
        table.AppendField(Desc("AMOUNT", 'N', 10, 2));
        table.WriteStructure();
        EXPECT_TRUE(table.IsStructWritten());
        table.Close();

        const Bytes bytes = ReadFileBytes(strPath);
        const size_t nHeader = nVersion == 0x30 ? 360 : 97;
        ASSERT_EQ(bytes.size(), nHeader + 1);
        EXPECT_EQ(bytes[8] | bytes[9] << 8, int(nHeader));
        EXPECT_EQ(bytes[10] | bytes[11] << 8, 31) << "record length";
        EXPECT_EQ(bytes[32 + 64], 0x0D);
        for (size_t i = 32 + 64 + 1; i < nHeader; ++i) ASSERT_EQ(bytes[i], 0) << "backlink byte " << i;
        EXPECT_EQ(bytes[nHeader], 0x1A);
        EXPECT_EQ(bytes[32 + 32 + 12], 21) << "the second field's displacement";

        CDBFMemoryCursorset set;
        set.Open(strPath, kReadWrite);
        ASSERT_TRUE(set.IsOpen());
        EXPECT_EQ(set.GetRecordCount(), 0);
        set.AddNew();
        set.SetFieldValue("AMOUNT", FieldValue::MakeDouble(12.5));
        set.Update();
        set.Save();
    }
}

TEST(TableCreate, StructuresNoTableCanHaveAreRefusedAndCancellingRemovesTheFile) {
    TempDir dir;
    CDBFTableDef table;
    table.CreateNew(dir.Path("new.dbf"));
    EXPECT_EQ(ErrorCodeOf([&] { table.WriteStructure(); }), 3025) << "no fields";
    table.AppendField(Desc("EMPTY", 'L', 0));
    EXPECT_EQ(ErrorCodeOf([&] { table.WriteStructure(); }), 3025) << "fields that hold no byte";
    table.DeleteField(0);
    for (int i = 0; i < 260; ++i) table.AppendField(Desc("F" + std::to_string(i), 'C', 255));
    EXPECT_EQ(ErrorCodeOf([&] { table.WriteStructure(); }), 3025) << "records over 65,535 bytes";
    EXPECT_EQ(ErrorCodeOf([&] { table.DeleteField(260); }), 3017);
    EXPECT_EQ(ErrorCodeOf([&] { table.MoveField(0, -1); }), 3017);
    table.CancelStructure();
    EXPECT_FALSE(platform::CFile::Exists(dir.Path("new.dbf"))) << "a new table never written goes";
    EXPECT_EQ(table.GetStructMode(), 0);
    EXPECT_EQ(ErrorCodeOf([&] { table.AppendField(Desc("X", 'C', 1)); }), 3025) << "nothing is being edited";
    EXPECT_EQ(ErrorCodeOf([&] { table.CreateNew(dir.Path("no/such/folder/x.dbf")); }), 3001);
}

TEST(TableRestructure, FieldsFollowTheirMapThroughInsertsMovesAndChanges) {
    MemoTable t;
    const Bytes before = ReadFileBytes(t.strPath);
    CDBFTableDef table;
    table.Open(t.strPath, kExclusive);
    table.BeginModifyStructure();
    table.InsertField(0, Desc("NEW", 'N', 6, 2));      // NEW NAME AGE NOTE CODE
    table.MoveField(0, 4);                            // NAME AGE NOTE CODE NEW
    table.SetFieldDesc(0, Desc("NAME", 'C', 12));     // widened
    table.SetFieldDesc(1, Desc("AGE", 'C', 5));       // number to text
    table.SetFieldDesc(3, Desc("CODE", 'N', 6, 2));   // text to number: "12.5", blank and "text"
    EXPECT_EQ(table.GetFieldMap(), (std::vector<int16_t>{0, 1, 2, 3, -1}));
    EXPECT_EQ(ErrorCodeOf([&] { table.WriteStructure(); }), 3023) << "\"text\" is no number";
    EXPECT_EQ(ReadFileBytes(t.strPath), before);
    EXPECT_FALSE(platform::CFile::Exists(t.dir.Path("t._tmp")));
    EXPECT_EQ(table.GetStructMode(), 1) << "still being edited";

    table.SetFieldDesc(3, Desc("CODE", 'C', 3));      // narrowed text is cut
    table.WriteStructure();
    EXPECT_EQ(table.GetStructMode(), 0);
    EXPECT_EQ(ReadFileBytes(t.dir.Path("t.bak")), before) << "the previous file is the backup";
    EXPECT_EQ(table.GetFieldCount(), 5);
    EXPECT_EQ(table.GetRecordCount(), 3u);
    table.Close();

    CDBFMemoryCursorset set;
    set.Open(t.strPath, kReadOnly);
    EXPECT_EQ(FieldNames(*set.GetTableDef()), (Strings{"NAME", "AGE", "NOTE", "CODE", "NEW"}));
    EXPECT_EQ(set.GetFieldValue("NAME").GetText(), "Ann");
    EXPECT_EQ(set.GetFieldValue("AGE").GetText(), "34.5");
    EXPECT_EQ(set.GetFieldValue("NOTE").GetText(), "first memo") << "memo references travel unchanged";
    EXPECT_EQ(set.GetFieldValue("CODE").GetText(), "12.");
    EXPECT_EQ(set.GetFieldValue("NEW"), FieldValue::MakeDouble(0));
    set.SetAbsolutePosition(1);
    EXPECT_TRUE(set.IsDeletedOnDisk()) << "deleted records stay, deleted";
    EXPECT_EQ(set.GetFieldValue("NOTE").GetText(), "second memo");
    set.SetAbsolutePosition(2);
    EXPECT_TRUE(set.GetFieldValue("NOTE").IsEmpty());
    EXPECT_EQ(set.GetFieldValue("AGE").GetText(), "999.9");
}

TEST(TableRestructure, MemoTextMovesBetweenMemoAndCharacterFields) {
    MemoTable t;
    CDBFTableDef table;
    table.Open(t.strPath, kExclusive);
    table.BeginModifyStructure();
    table.SetFieldDesc(2, Desc("NOTE", 'C', 6));   // memo to text: its first characters
    table.SetFieldDesc(3, Desc("CODE", 'M', 10));  // text to memo: written to the memo file
    table.AppendField(Desc("MORE", 'M', 10));      // a new memo field: no memo
    table.WriteStructure();
    table.Close();

    CDBFMemoryCursorset set;
    set.Open(t.strPath, kReadWrite);
    EXPECT_EQ(set.GetFieldValue("NOTE").GetText(), "first") << "its first six characters, read trimmed";
    EXPECT_EQ(set.GetFieldValue("CODE").GetText(), "12.5");
    EXPECT_TRUE(set.GetFieldValue("MORE").IsEmpty());
    set.SetAbsolutePosition(1);
    EXPECT_TRUE(set.GetFieldValue("CODE").IsEmpty()) << "blank text makes no memo";
    set.SetAbsolutePosition(2);
    EXPECT_EQ(set.GetFieldValue("CODE").GetText(), "text");
    // The new memo field takes memos.
    set.Edit();
    set.SetFieldValue("MORE", FieldValue::MakeText("added"));
    set.Update();
    set.Save();
    CDBFMemoryCursorset reopened;
    reopened.Open(t.strPath, kReadOnly);
    reopened.SetAbsolutePosition(2);
    EXPECT_EQ(reopened.GetFieldValue("MORE").GetText(), "added");
}

TEST(TableRestructure, NarrowedNumberThatNoLongerFitsRefusesTheRewrite) {
    MemoTable t;
    const Bytes before = ReadFileBytes(t.strPath);
    CDBFTableDef table;
    table.Open(t.strPath, kExclusive);
    table.BeginModifyStructure();
    table.SetFieldDesc(1, Desc("AGE", 'N', 3, 0));  // 34.5 fits as 35, 999.9 does not fit at all
    try {
        table.WriteStructure();
        ADD_FAILURE() << "999.9 does not fit N 3";
    } catch (const CDBFException& e) {
        EXPECT_EQ(e.GetCode(), 3023);
        EXPECT_EQ(e.GetDetail().rfind("(record 3, field AGE: ", 0), 0u) << e.GetDetail();
    }
    EXPECT_EQ(ReadFileBytes(t.strPath), before);
    EXPECT_FALSE(platform::CFile::Exists(t.dir.Path("t._tmp")));
    EXPECT_FALSE(platform::CFile::Exists(t.dir.Path("t.bak")));
}

TEST(TableRestructure, CancelBringsBackEveryFieldAndCursorsNeverSeeTheEditedList) {
    MemoTable t;
    CDBFMemoryCursorset set;
    set.Open(t.strPath, kExclusive);
    CDBFTableDef& table = *set.GetTableDef();
    table.BeginModifyStructure();
    table.DeleteField(0);
    table.DeleteField(0);
    // Enough new fields to move the edited list elsewhere in memory.
    for (int i = 0; i < 100; ++i) table.AppendField(Desc("X" + std::to_string(i), 'C', 1));
    EXPECT_EQ(table.GetFieldCount(), 102);
    EXPECT_EQ(set.GetFieldCount(), 4) << "the cursor keeps the list it was opened with";
    EXPECT_EQ(set.GetFieldValue("NAME").GetText(), "Ann");
    table.CancelStructure();
    EXPECT_EQ(FieldNames(table), (Strings{"NAME", "AGE", "NOTE", "CODE"}));
    EXPECT_EQ(table.GetStructMode(), 0);
    EXPECT_EQ(set.GetFieldValue("NOTE").GetText(), "first memo");
    set.SetAbsolutePosition(2);
    EXPECT_EQ(set.GetFieldValue("CODE").GetText(), "text");
}

TEST(TableRestructure, CursorOnTheOldStructureStaysSafeAfterTheRewrite) {
    MemoTable t;
    CDBFMemoryCursorset set;
    set.Open(t.strPath, kExclusive);
    CDBFTableDef& table = *set.GetTableDef();
    table.BeginModifyStructure();
    table.AppendField(Desc("WIDE", 'C', 2000));
    table.WriteStructure();
    // Until the document opens the table again, the cursor shows the
    // records it loaded, with the fields they had.
    set.SetAbsolutePosition(2);
    EXPECT_EQ(set.GetFieldValue("CODE").GetText(), "text");
    EXPECT_EQ(set.GetFieldCount(), 4);
    std::vector<uint8_t> record(table.GetRecordLength());
    table.ReadRecord(2, record.data());
    EXPECT_EQ(record.size(), 1 + 8 + 5 + 10 + 6 + 2000u);
}

TEST(TableRestructure, VisualFoxProTableKeepsItsHeaderMarks) {
    TempDir dir;
    TableBuilder b(0x30);
    b.TableFlags(0x04).CodePageMark(0xC9);
    b.Field("NAME", 'C', 8).Field("N", 'I', 4);
    b.Record({"Ann", LE32(7)});
    const std::string strPath = b.Write(dir.Path("v.dbf"));
    CDBFTableDef table;
    table.Open(strPath, kExclusive);
    table.BeginModifyStructure();
    table.SetFieldDesc(1, Desc("N", 'N', 4));
    table.WriteStructure();
    table.Close();
    const Bytes bytes = ReadFileBytes(strPath);
    EXPECT_EQ(bytes[0], 0x30);
    EXPECT_EQ(bytes[28], 0x04);
    EXPECT_EQ(bytes[29], 0xC9);
    EXPECT_EQ(bytes[8] | bytes[9] << 8, 2 * 32 + 296);
    CDBFMemoryCursorset set;
    set.Open(strPath, kReadOnly);
    EXPECT_EQ(set.GetFieldValue("N"), FieldValue::MakeDouble(7));
}

TEST(TableRestructure, RecordsAppendedBySomeoneElseSinceTheOpenAreKept) {
    MemoTable t;
    CDBFTableDef table;
    table.Open(t.strPath, kReadWrite);
    table.BeginModifyStructure();
    table.AppendField(Desc("NEW", 'L', 1));
    {
        dbf::CDBFFileCursor other;
        other.Open(t.strPath, kReadWrite);
        other.AddNew();
        other.SetFieldValue("NAME", FieldValue::MakeText("Late"));
        other.Update();
    }
    table.WriteStructure();
    EXPECT_EQ(table.GetRecordCount(), 4u);
}

TEST(TableRestructure, FieldsKeptAsTheyWereKeepTheirBytesAndBlankNumbersStayBlank) {
    // dbase_03's Std_Dev N(16,6) is blank in twelve records: adding a field
    // must not turn them into 0.000000, nor anything else into new bytes.
    REQUIRE_CORPUS();
    TempDir dir;
    const std::string strPath = dir.CopyIn(CorpusFile("dbase_03.dbf"));
    const Bytes before = ReadFileBytes(strPath);
    CDBFTableDef table;
    table.Open(strPath, kExclusive);
    const uint16_t nOldHeader = table.GetHeaderLength(), nOldRecord = table.GetRecordLength();
    const uint32_t nCount = table.GetRecordCount();
    table.BeginModifyStructure();
    table.AppendField(Desc("ADDED", 'C', 4));
    table.WriteStructure();
    const Bytes after = ReadFileBytes(strPath);
    const uint16_t nNewHeader = table.GetHeaderLength(), nNewRecord = table.GetRecordLength();
    ASSERT_EQ(nNewRecord, nOldRecord + 4);
    for (uint32_t n = 0; n < nCount; ++n) {
        const auto itOld = before.begin() + long(nOldHeader + n * nOldRecord);
        const auto itNew = after.begin() + long(nNewHeader + n * nNewRecord);
        EXPECT_TRUE(std::equal(itOld, itOld + nOldRecord, itNew)) << "record " << n;
        EXPECT_EQ(std::string(itNew + nOldRecord, itNew + nNewRecord), "    ");
    }

    // A blank number whose width changes, a blank logical becoming text, a
    // blank date becoming a number: each new type's blank, never 0 or F.
    TableBuilder b;
    b.Field("N", 'N', 8, 2).Field("L", 'L', 1).Field("D", 'D', 8).Field("Q", 'L', 1);
    b.Record({"", "?", "", " "}).Record({"1.5", "T", "20020304", "F"});
    const std::string strBlank = b.Write(dir.Path("blank.dbf"));
    CDBFTableDef blank;
    blank.Open(strBlank, kExclusive);
    blank.BeginModifyStructure();
    blank.SetFieldDesc(0, Desc("N", 'N', 10, 3));
    blank.SetFieldDesc(1, Desc("L", 'C', 3));
    blank.SetFieldDesc(2, Desc("D", 'N', 8));
    blank.WriteStructure();
    blank.Close();
    const Bytes rewritten = ReadFileBytes(strBlank);
    const size_t nHeader = 4 * 32 + 33, nRecord = 1 + 10 + 3 + 8 + 1;
    EXPECT_EQ(std::string(rewritten.begin() + long(nHeader), rewritten.begin() + long(nHeader + nRecord)),
              "                       ");
    EXPECT_EQ(std::string(rewritten.begin() + long(nHeader + nRecord), rewritten.begin() + long(nHeader + 2 * nRecord)),
              "      1.500Tru   37319F");  // values convert as before
}

TEST(TableRestructure, FailureAtAnyStepLeavesTheTableOrItsBackup) {
    using platform::FileFaults::Op;
    for (Op op : {Op::write, Op::open, Op::read, Op::setLength, Op::rename, Op::remove, Op::sync, Op::link})
        for (bool bSticky : {false, true}) FailEachStep<RestructureJob>(op, bSticky);
}
