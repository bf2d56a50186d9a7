// The record cursor: fields by index and by name, memo references resolved
// and written in each memo layout, the file-backed edit protocol, and the
// file cursor's read-ahead.
#include "engine/recordset.h"

#include <cerrno>
#include <string>

#include <gtest/gtest.h>

#include "engine/dbf_exception.h"
#include "engine/file_cursor.h"
#include "tests/support/table_builder.h"
#include "tests/support/test_support.h"

using dbf::CDBFException;
using dbf::CDBFFileCursor;
using dbf::FieldKind;
using dbf::FieldValue;
using namespace testing_support;

namespace {

constexpr unsigned kReadOnly = 64, kReadWrite = 66;

template <typename Fn>
int ErrorOf(Fn fn) {
    try {
        fn();
    } catch (const CDBFException& e) {
        return e.GetCode();
    }
    return 0;
}

std::string Field(const CDBFFileCursor& cursor, int nIndex) {
    const dbf::DBFFieldDesc& desc = cursor.GetFieldList().m_pDesc[nIndex];
    return std::string(reinterpret_cast<const char*>(cursor.GetRecordBuffer()) + desc.GetDisplacement(),
                       desc.GetLayoutWidth());
}

std::string BytesOf(const FieldValue& value) {
    dbf::ByteView bytes = value.GetBytes();
    return std::string(reinterpret_cast<const char*>(bytes.pData), bytes.nLength);
}

// A dBASE III table with a memo: NAME C(8), AGE N(3), NOTE M(10).
struct DBase3Table {
    TempDir dir;
    std::string strPath = dir.Path("t.dbf");
    uint32_t nFirst = 0, nSecond = 0;
    DBase3Table() {
        MemoBuilder memo(MemoLayout::dBase3);
        nFirst = memo.Add("first memo");
        nSecond = memo.Add(std::string(600, 'x'));
        memo.Write(dir.Path("t.DBT"));
        TableBuilder b(0x83);
        b.Field("NAME", 'C', 8).Field("AGE", 'N', 3).Field("NOTE", 'M', 10);
        b.Record({"Ann", "34", MemoRef10(nFirst)}).Record({"Bob", "7", MemoRef10(0)});
        b.Record({"Cy", "", MemoRef10(nSecond)});
        b.Write(strPath);
    }
};

}  // namespace

TEST(RecordsetFields, ByIndexAndByExactName) {
    DBase3Table t;
    CDBFFileCursor cursor;
    cursor.Open(t.strPath, kReadOnly);
    ASSERT_TRUE(cursor.IsOpen());
    EXPECT_EQ(cursor.GetCurrentRecord(), 0);
    EXPECT_FALSE(cursor.IsBOF());

    FieldValue value;
    EXPECT_EQ(cursor.GetFieldValue(0, value), 8) << "non-memo fields give their width";
    EXPECT_EQ(value, FieldValue::MakeText("Ann"));
    EXPECT_EQ(cursor.GetFieldValue("AGE"), FieldValue::MakeDouble(34));
    EXPECT_EQ(ErrorOf([&] { cursor.GetFieldValue("age"); }), 3020) << "names are case-sensitive";
    EXPECT_EQ(ErrorOf([&] { cursor.GetFieldValue("NOPE", value); }), 3020);
    EXPECT_EQ(ErrorOf([&] { cursor.SetFieldValue("NOPE", FieldValue()); }), 3020);
    EXPECT_EQ(ErrorOf([&] { cursor.GetFieldValue(3); }), 3017);
    EXPECT_EQ(ErrorOf([&] { cursor.GetFieldValue(-1); }), 3017);
    EXPECT_EQ(dbf::CDBFException(3020).GetErrorMessage(), "Field not found.");
}

TEST(RecordsetFields, TextMemosResolveThroughTheMemoFile) {
    DBase3Table t;
    CDBFFileCursor cursor;
    cursor.Open(t.strPath, kReadOnly);
    FieldValue value;
    EXPECT_EQ(cursor.GetFieldValue(2, value), 11) << "the bytes the memo takes, its end byte included";
    EXPECT_EQ(value, FieldValue::MakeText("first memo"));

    cursor.SetAbsolutePosition(1);
    EXPECT_EQ(cursor.GetFieldValue(2, value), 0);
    EXPECT_TRUE(value.IsEmpty()) << "reference 0 is no memo";

    cursor.SetAbsolutePosition(2);
    EXPECT_EQ(cursor.GetFieldValue("NOTE"), FieldValue::MakeText(std::string(600, 'x')));
}

TEST(RecordsetFields, MemoReferencesWithoutAMemoFileReadAsEmptyText) {
    TempDir dir;
    TableBuilder b(0x03);
    b.Field("NOTE", 'M', 10).Record({MemoRef10(12)});
    CDBFFileCursor cursor;
    cursor.Open(b.Write(dir.Path("t.dbf")), kReadOnly);
    FieldValue value;
    EXPECT_EQ(cursor.GetFieldValue(0, value), 0);
    EXPECT_EQ(value, FieldValue::MakeText(""));
}

TEST(RecordsetFields, BinaryMemosAreBytesUntilTheNextBinaryRead) {
    TempDir dir;
    MemoBuilder memo(MemoLayout::foxPro, 64);
    uint32_t nPicture = memo.Add(std::string("\x89PNG\0\x01", 6));
    uint32_t nGeneral = memo.Add("OLE object");
    uint32_t nText = memo.Add("a note");
    memo.Write(dir.Path("t.FPT"));
    TableBuilder b(0x30);
    b.TableFlags(2).Field("PIC", 'P', 4).Field("OLE", 'G', 4).Field("NOTE", 'M', 4).Field("NUM", 'B', 8);
    b.Record({LE32(nPicture), LE32(nGeneral), LE32(nText), LEDouble(2.5)});
    b.Record({LE32(0), LE32(0), LE32(0), LEDouble(-1)});
    CDBFFileCursor cursor;
    cursor.Open(b.Write(dir.Path("t.dbf")), kReadOnly);

    FieldValue picture, general;
    EXPECT_EQ(cursor.GetFieldValue(0, picture), 6);
    ASSERT_EQ(picture.GetKind(), FieldKind::Bytes);
    EXPECT_EQ(BytesOf(picture), std::string("\x89PNG\0\x01", 6));
    EXPECT_EQ(cursor.GetFieldValue(1, general), 10);
    EXPECT_EQ(BytesOf(general), "OLE object") << "the second read owns the buffer now";
    EXPECT_EQ(cursor.GetFieldValue(2), FieldValue::MakeText("a note"));
    EXPECT_EQ(cursor.GetFieldValue(3), FieldValue::MakeDouble(2.5)) << "an 8-byte B is a double, not a memo";

    cursor.SetAbsolutePosition(1);
    EXPECT_EQ(cursor.GetFieldValue(0, picture), 0);
    EXPECT_TRUE(picture.IsEmpty());
    EXPECT_TRUE(cursor.GetFieldValue(2).IsEmpty());
}

TEST(RecordsetFields, SmtMemosUseTheLengthInTheirReference) {
    TempDir dir;
    MemoBuilder memo(MemoLayout::smt, 32);
    uint32_t nBlock = memo.Add("smt memo text");
    memo.Write(dir.Path("t.SMT"));
    TableBuilder b(0xE5);
    b.Field("NOTE", 'M', 10).Field("BIN", 'B', 10).Record({SmtRef(8, nBlock), SmtRef(3, nBlock)});
    CDBFFileCursor cursor;
    cursor.Open(b.Write(dir.Path("t.dbf")), kReadWrite);
    FieldValue value;
    EXPECT_EQ(cursor.GetFieldValue(0, value), 8);
    EXPECT_EQ(value, FieldValue::MakeText("smt memo"));
    EXPECT_EQ(cursor.GetFieldValue(1, value), 3);
    EXPECT_EQ(BytesOf(value), "smt") << "a binary .SMT memo reads its stored length too";

    // A new text of another length: the reference carries the new length.
    cursor.Edit();
    cursor.SetFieldValue(0, FieldValue::MakeText("a longer replacement text"));
    EXPECT_EQ(cursor.Update(), 0);
    CDBFFileCursor again;
    again.Open(dir.Path("t.dbf"), kReadOnly);
    EXPECT_EQ(again.GetFieldValue(0), FieldValue::MakeText("a longer replacement text"));
}

TEST(RecordsetMemoWrite, OnlyTextReachesATextMemo) {
    DBase3Table t;
    Bytes memoBefore = ReadFileBytes(t.dir.Path("t.DBT"));
    CDBFFileCursor cursor;
    cursor.Open(t.strPath, kReadWrite);
    std::string strBefore = Field(cursor, 2);
    cursor.SetFieldValue(2, FieldValue::MakeInt32(5));
    cursor.SetFieldValue(2, FieldValue::MakeMemoRef(99));
    EXPECT_EQ(Field(cursor, 2), strBefore);
    EXPECT_EQ(ReadFileBytes(t.dir.Path("t.DBT")), memoBefore);

    cursor.SetFieldValue(2, FieldValue::MakeText(""));
    EXPECT_EQ(Field(cursor, 2), std::string(10, ' ')) << "an empty text stores reference 0";
}

TEST(RecordsetMemoWrite, NewRecordGetsItsMemoAsDigits) {
    DBase3Table t;
    {
        CDBFFileCursor cursor;
        cursor.Open(t.strPath, kReadWrite);
        cursor.AddNew();
        EXPECT_EQ(Field(cursor, 2), std::string(10, ' ')) << "no memo yet: blanks, not zero bytes";
        cursor.SetFieldValue(0, FieldValue::MakeText("Dee"));
        cursor.SetFieldValue(2, FieldValue::MakeText("written memo"));
        std::string strRef = Field(cursor, 2);
        EXPECT_EQ(strRef.find_first_not_of(' '), strRef.find_first_of("0123456789")) << strRef;
        EXPECT_EQ(cursor.Update(), 0);
        EXPECT_EQ(cursor.GetCurrentRecord(), 3);
    }
    CDBFFileCursor cursor;
    cursor.Open(t.strPath, kReadOnly);
    ASSERT_EQ(cursor.GetRecordCount(), 4);
    cursor.SetAbsolutePosition(3);
    EXPECT_EQ(cursor.GetFieldValue("NAME"), FieldValue::MakeText("Dee"));
    EXPECT_EQ(cursor.GetFieldValue("NOTE"), FieldValue::MakeText("written memo"));
    cursor.SetAbsolutePosition(0);
    EXPECT_EQ(cursor.GetFieldValue("NOTE"), FieldValue::MakeText("first memo")) << "other memos untouched";
}

TEST(RecordsetMemoWrite, FailedMemoWriteLeavesTheRecordAlone) {
    DBase3Table t;
    CDBFFileCursor cursor;
    cursor.Open(t.strPath, kReadWrite);
    std::string strBefore = Field(cursor, 2);
    platform::FileFaults::Scope faults;
    platform::FileFaults::Arm(platform::FileFaults::Op::write, 1, ENOSPC, true);
    EXPECT_EQ(ErrorOf([&] { cursor.SetFieldValue(2, FieldValue::MakeText(std::string(2000, 'y'))); }), 3014);
    EXPECT_EQ(Field(cursor, 2), strBefore);
}

TEST(RecordsetEdit, EditUpdateAndCancelWorkOnTheFile) {
    DBase3Table t;
    CDBFFileCursor cursor;
    cursor.Open(t.strPath, kReadWrite);
    EXPECT_EQ(cursor.Update(), -2) << "nothing pending";

    cursor.SetAbsolutePosition(1);
    cursor.Edit();
    EXPECT_EQ(cursor.GetEditMode(), dbf::editEdit);
    cursor.SetFieldValue("NAME", FieldValue::MakeText("Robert"));
    cursor.CancelUpdate();
    EXPECT_EQ(cursor.GetEditMode(), dbf::editNone);
    EXPECT_EQ(cursor.GetFieldValue("NAME"), FieldValue::MakeText("Bob"));

    cursor.Edit();
    cursor.SetFieldValue("NAME", FieldValue::MakeText("Robert"));
    EXPECT_EQ(cursor.Update(), 0);
    EXPECT_EQ(cursor.GetEditMode(), dbf::editNone);

    CDBFFileCursor reader;
    reader.Open(t.strPath, kReadOnly);
    reader.SetAbsolutePosition(1);
    EXPECT_EQ(reader.GetFieldValue("NAME"), FieldValue::MakeText("Robert"));
    EXPECT_EQ(reader.GetRecordCount(), 3);
}

TEST(RecordsetEdit, MovingAwayDropsAPendingEdit) {
    DBase3Table t;
    CDBFFileCursor cursor;
    cursor.Open(t.strPath, kReadWrite);
    cursor.Edit();
    cursor.SetFieldValue("NAME", FieldValue::MakeText("Changed"));
    cursor.SetAbsolutePosition(1);
    cursor.SetAbsolutePosition(0);
    EXPECT_EQ(cursor.GetFieldValue("NAME"), FieldValue::MakeText("Ann"));
    EXPECT_EQ(cursor.Update(), -2);
}

TEST(RecordsetEdit, DeleteAndUndeleteWriteTheFlagAtOnce) {
    DBase3Table t;
    CDBFFileCursor cursor;
    cursor.Open(t.strPath, kReadWrite);
    cursor.SetAbsolutePosition(2);
    cursor.Delete();
    const size_t nFlag = size_t(cursor.GetTableDef()->GetHeaderLength()) + 2 * cursor.GetTableDef()->GetRecordLength();
    EXPECT_EQ(ReadFileBytes(t.strPath).at(nFlag), '*');
    cursor.Undelete();
    EXPECT_EQ(ReadFileBytes(t.strPath).at(nFlag), ' ');
}

TEST(RecordsetEdit, AddNewBlanksEveryFieldAndCancelReturnsToTheRecord) {
    TempDir dir;
    TableBuilder b(0x30);
    b.Field("NAME", 'C', 4).Field("PRICE", 'N', 6, 2).Field("DAY", 'D', 8).Field("OK", 'L', 1).Field("N", 'I', 4);
    b.Record({"abcd", "1.50", "20240229", "T", LE32(7)});
    CDBFFileCursor cursor;
    cursor.Open(b.Write(dir.Path("t.dbf")), kReadWrite);
    cursor.AddNew();
    const char* p = reinterpret_cast<const char*>(cursor.GetRecordBuffer());
    EXPECT_EQ(std::string(p, 24), std::string(" ") + "    " + "  0.00" + "        " + "F" + std::string(4, '\0'));
    cursor.CancelUpdate();
    EXPECT_EQ(cursor.GetCurrentRecord(), 0);
    EXPECT_EQ(cursor.GetFieldValue("NAME"), FieldValue::MakeText("abcd"));
    EXPECT_EQ(cursor.GetRecordCount(), 1);
}

TEST(RecordsetEdit, AppendsSeeRecordsOthersAppended) {
    DBase3Table t;
    CDBFFileCursor first, second;
    first.Open(t.strPath, kReadWrite);
    second.Open(t.strPath, kReadWrite);
    first.AddNew();
    first.SetFieldValue(0, FieldValue::MakeText("one"));
    first.Update();
    second.AddNew();
    second.SetFieldValue(0, FieldValue::MakeText("two"));
    second.Update();
    EXPECT_EQ(first.GetCurrentRecord(), 3);
    EXPECT_EQ(second.GetCurrentRecord(), 4);
    CDBFFileCursor reader;
    reader.Open(t.strPath, kReadOnly);
    ASSERT_EQ(reader.GetRecordCount(), 5);
    reader.SetAbsolutePosition(3);
    EXPECT_EQ(reader.GetFieldValue(0), FieldValue::MakeText("one"));
    reader.SetAbsolutePosition(4);
    EXPECT_EQ(reader.GetFieldValue(0), FieldValue::MakeText("two"));
}

TEST(RecordsetEdit, ClosedCursorRefusesEverything) {
    DBase3Table t;
    CDBFFileCursor cursor;
    EXPECT_EQ(ErrorOf([&] { cursor.AddNew(); }), 3017) << "never opened";
    cursor.Open(t.strPath, kReadOnly);
    cursor.Close();
    EXPECT_TRUE(!cursor.IsOpen() && cursor.IsBOF() && cursor.IsEOF() && cursor.GetCurrentRecord() == -1);
    EXPECT_EQ(ErrorOf([&] { cursor.GetFieldValue(0); }), 3017);
    EXPECT_EQ(ErrorOf([&] { cursor.Delete(); }), 3017);
    EXPECT_EQ(ErrorOf([&] { cursor.SetAbsolutePosition(0); }), 3017);
}

TEST(FileCursor, ReadsAheadAcrossWindowsInAnyOrder) {
    TempDir dir;
    TableBuilder b(0x03);
    b.Field("N", 'N', 7).Field("PAD", 'C', 200);
    const int nRecords = 3000;  // about 600 KB: several read-ahead windows
    for (int i = 0; i < nRecords; ++i) b.Record({std::to_string(i), "p"});
    CDBFFileCursor cursor;
    cursor.Open(b.Write(dir.Path("t.dbf")), kReadOnly);
    ASSERT_EQ(cursor.GetRecordCount(), nRecords);
    for (int i = 0; i < nRecords; ++i) {
        cursor.SetAbsolutePosition(i);
        ASSERT_EQ(cursor.GetFieldValue(0), FieldValue::MakeDouble(i)) << i;
    }
    for (int i : {2999, 0, 1500, 1499, 2998}) {
        cursor.SetAbsolutePosition(i);
        EXPECT_EQ(cursor.GetFieldValue(0), FieldValue::MakeDouble(i)) << i;
    }
    EXPECT_EQ(ErrorOf([&] { cursor.SetAbsolutePosition(nRecords); }), 3017);
}
