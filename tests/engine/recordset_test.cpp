// The record cursor: fields by index and by name, memo references resolved
// and written in each memo layout, the file-backed edit protocol, and the
// file cursor's read-ahead.
#include "engine/recordset.h"

#include <gtest/gtest.h>

#include "engine/file_cursor.h"
#include "tests/support/engine_support.h"
#include "tests/support/memo_builder.h"
#include "tests/support/table_builder.h"

using dbf::CDBFFileCursor;
using dbf::FieldKind;
using dbf::FieldValue;
using namespace testing_support;

namespace {

std::string Field(const CDBFFileCursor& cursor, int nIndex) {
    const dbf::DBFFieldDesc& desc = cursor.GetFieldList().m_pDesc[nIndex];
    return std::string(reinterpret_cast<const char*>(cursor.GetRecordBuffer()) + desc.GetDisplacement(),
                       desc.GetLayoutWidth());
}

std::string BytesOf(const FieldValue& value) {
    dbf::ByteView bytes = value.GetBytes();
    return std::string(reinterpret_cast<const char*>(bytes.pData), bytes.nLength);
}

FieldValue Text(const std::string& str) { return FieldValue::MakeText(str); }

// The value of a field of record nRecord, read by a cursor of its own.
FieldValue ReadBack(const std::string& strPath, int nRecord, const std::string& strField) {
    CDBFFileCursor reader;
    reader.Open(strPath, kReadOnly);
    reader.SetAbsolutePosition(nRecord);
    return reader.GetFieldValue(strField);
}

// A dBASE III table with a memo: NAME C(8), AGE N(3), NOTE M(10).
struct DBase3Table {
    TempDir dir;
    std::string strPath = dir.Path("t.dbf");
    CDBFFileCursor cursor;
    explicit DBase3Table(unsigned nFlags = kReadWrite) {
        CMemoImage memo = CMemoImage::DBase3(1);
        uint32_t nFirst = memo.Add("first memo"), nSecond = memo.Add(std::string(600, 'x'));
        memo.Save(dir, "t.DBT");
        TableBuilder b(0x83);
        b.Field("NAME", 'C', 8).Field("AGE", 'N', 3).Field("NOTE", 'M', 10);
        b.Record({"Ann", "34", MemoRef10(nFirst)}).Record({"Bob", "7", MemoRef10(0)});
        b.Record({"Cy", "", MemoRef10(nSecond)});
        cursor.Open(b.Write(strPath), nFlags);
    }
};

}  // namespace

TEST(RecordsetFields, ByIndexAndByExactName) {
    DBase3Table t(kReadOnly);
    CDBFFileCursor& cursor = t.cursor;
    ASSERT_TRUE(cursor.IsOpen());
    EXPECT_EQ(cursor.GetCurrentRecord(), 0);
    EXPECT_FALSE(cursor.IsBOF());
    FieldValue value;
    EXPECT_EQ(cursor.GetFieldValue(0, value), 8) << "non-memo fields give their width";
    EXPECT_EQ(value, Text("Ann"));
    EXPECT_EQ(cursor.GetFieldValue("AGE"), FieldValue::MakeDouble(34));
    EXPECT_EQ(ErrorCodeOf([&] { cursor.GetFieldValue("age"); }), 3020) << "names are case-sensitive";
    EXPECT_EQ(ErrorCodeOf([&] { cursor.GetFieldValue("NOPE", value); }), 3020);
    EXPECT_EQ(ErrorCodeOf([&] { cursor.SetFieldValue("NOPE", FieldValue()); }), 3020);
    EXPECT_EQ(ErrorCodeOf([&] { cursor.GetFieldValue(3); }), 3017);
    EXPECT_EQ(ErrorCodeOf([&] { cursor.GetFieldValue(-1); }), 3017);
}

TEST(RecordsetFields, TextMemosResolveThroughTheMemoFile) {
    DBase3Table t(kReadOnly);
    FieldValue value;
    EXPECT_EQ(t.cursor.GetFieldValue(2, value), 11) << "the bytes the memo takes, its end byte included";
    EXPECT_EQ(value, Text("first memo"));
    t.cursor.SetAbsolutePosition(1);
    EXPECT_EQ(t.cursor.GetFieldValue(2, value), 0);
    EXPECT_TRUE(value.IsEmpty()) << "reference 0 is no memo";
    t.cursor.SetAbsolutePosition(2);
    EXPECT_EQ(t.cursor.GetFieldValue("NOTE"), Text(std::string(600, 'x')));

    // Without a memo file a reference reads as empty text.
    TableBuilder b(0x03);
    b.Field("NOTE", 'M', 10).Record({MemoRef10(12)});
    CDBFFileCursor bare;
    bare.Open(b.Write(t.dir.Path("bare.dbf")), kReadOnly);
    EXPECT_EQ(bare.GetFieldValue(0, value), 0);
    EXPECT_EQ(value, Text(""));
}

TEST(RecordsetFields, BinaryMemosAreBytesUntilTheNextBinaryRead) {
    TempDir dir;
    CMemoImage memo = CMemoImage::Fpt(8);
    uint32_t nPicture = memo.Add(std::string("\x89PNG\0\x01", 6)), nGeneral = memo.Add("OLE object");
    uint32_t nText = memo.Add("a note");
    memo.Save(dir, "t.FPT");
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
    EXPECT_EQ(cursor.GetFieldValue(2), Text("a note"));
    EXPECT_EQ(cursor.GetFieldValue(3), FieldValue::MakeDouble(2.5)) << "an 8-byte B is a double, not a memo";
    cursor.SetAbsolutePosition(1);
    EXPECT_EQ(cursor.GetFieldValue(0, picture), 0);
    EXPECT_TRUE(picture.IsEmpty());
    EXPECT_TRUE(cursor.GetFieldValue(2).IsEmpty());
}

TEST(RecordsetFields, SmtMemosUseTheLengthInTheirReference) {
    TempDir dir;
    CMemoImage memo = CMemoImage::Smt(16, 32);
    uint32_t nBlock = memo.Add("smt memo text");
    memo.Save(dir, "t.SMT");
    TableBuilder b(0xE5);
    b.Field("NOTE", 'M', 10).Field("BIN", 'B', 10).Record({SmtRef(8, nBlock), SmtRef(3, nBlock)});
    CDBFFileCursor cursor;
    cursor.Open(b.Write(dir.Path("t.dbf")), kReadWrite);
    FieldValue value;
    EXPECT_EQ(cursor.GetFieldValue(0, value), 8);
    EXPECT_EQ(value, Text("smt memo"));
    EXPECT_EQ(cursor.GetFieldValue(1, value), 3);
    EXPECT_EQ(BytesOf(value), "smt") << "a binary .SMT memo reads its stored length too";
    // A new text of another length: the reference carries the new length.
    cursor.Edit();
    cursor.SetFieldValue(0, Text("a longer replacement text"));
    EXPECT_EQ(cursor.Update(), 0);
    EXPECT_EQ(ReadBack(dir.Path("t.dbf"), 0, "NOTE"), Text("a longer replacement text"));
}

TEST(RecordsetMemoWrite, OnlyTextReachesATextMemoAndAFailedWriteChangesNothing) {
    DBase3Table t;
    const Bytes memoBefore = ReadFileBytes(t.dir.Path("t.DBT"));
    const std::string strBefore = Field(t.cursor, 2);
    t.cursor.SetFieldValue(2, FieldValue::MakeInt32(5));
    t.cursor.SetFieldValue(2, FieldValue::MakeMemoRef(99));
    EXPECT_EQ(Field(t.cursor, 2), strBefore);
    EXPECT_EQ(ReadFileBytes(t.dir.Path("t.DBT")), memoBefore);
    {
        platform::FileFaults::Scope faults;
        platform::FileFaults::Arm(platform::FileFaults::Op::write, 1, ENOSPC, true);
        EXPECT_EQ(ErrorCodeOf([&] { t.cursor.SetFieldValue(2, Text(std::string(2000, 'y'))); }), 3014);
        EXPECT_EQ(Field(t.cursor, 2), strBefore);
    }
    t.cursor.SetFieldValue(2, Text(""));
    EXPECT_EQ(Field(t.cursor, 2), std::string(10, ' ')) << "an empty text stores reference 0";
}

TEST(RecordsetMemoWrite, NewRecordGetsItsMemoAsDigits) {
    DBase3Table t;
    t.cursor.AddNew();
    EXPECT_EQ(Field(t.cursor, 2), std::string(10, ' ')) << "no memo yet: blanks, not zero bytes";
    t.cursor.SetFieldValue(0, Text("Dee"));
    t.cursor.SetFieldValue(2, Text("written memo"));
    std::string strRef = Field(t.cursor, 2);
    EXPECT_EQ(strRef.find_first_not_of(' '), strRef.find_first_of("0123456789")) << strRef;
    EXPECT_EQ(t.cursor.Update(), 0);
    EXPECT_EQ(t.cursor.GetCurrentRecord(), 3);
    t.cursor.Close();
    EXPECT_EQ(ReadBack(t.strPath, 3, "NAME"), Text("Dee"));
    EXPECT_EQ(ReadBack(t.strPath, 3, "NOTE"), Text("written memo"));
    EXPECT_EQ(ReadBack(t.strPath, 0, "NOTE"), Text("first memo")) << "other memos untouched";
}

TEST(RecordsetEdit, EditUpdateCancelMovingAwayAndDelete) {
    DBase3Table t;
    CDBFFileCursor& cursor = t.cursor;
    EXPECT_EQ(cursor.Update(), -2) << "nothing pending";
    cursor.SetAbsolutePosition(1);
    cursor.Edit();
    EXPECT_EQ(cursor.GetEditMode(), dbf::editEdit);
    cursor.SetFieldValue("NAME", Text("Robert"));
    cursor.CancelUpdate();
    EXPECT_EQ(cursor.GetEditMode(), dbf::editNone);
    EXPECT_EQ(cursor.GetFieldValue("NAME"), Text("Bob"));

    cursor.Edit();
    cursor.SetFieldValue("NAME", Text("Robert"));
    EXPECT_EQ(cursor.Update(), 0);
    EXPECT_EQ(cursor.GetEditMode(), dbf::editNone);
    EXPECT_EQ(ReadBack(t.strPath, 1, "NAME"), Text("Robert"));

    // Moving away drops a pending edit.
    cursor.SetAbsolutePosition(0);
    cursor.Edit();
    cursor.SetFieldValue("NAME", Text("Changed"));
    cursor.SetAbsolutePosition(1);
    cursor.SetAbsolutePosition(0);
    EXPECT_EQ(cursor.GetFieldValue("NAME"), Text("Ann"));
    EXPECT_EQ(cursor.Update(), -2);

    // Delete and Undelete write the flag at once.
    const size_t nFlag = size_t(cursor.GetTableDef()->GetHeaderLength()) + 2 * cursor.GetTableDef()->GetRecordLength();
    cursor.SetAbsolutePosition(2);
    cursor.Delete();
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
    EXPECT_EQ(cursor.GetFieldValue("NAME"), Text("abcd"));
    EXPECT_EQ(cursor.GetRecordCount(), 1);
}

TEST(RecordsetEdit, AppendsSeeRecordsOthersAppended) {
    DBase3Table t;
    CDBFFileCursor second;
    second.Open(t.strPath, kReadWrite);
    for (CDBFFileCursor* p : {&t.cursor, &second}) {
        p->AddNew();
        p->SetFieldValue(0, Text(p == &second ? "two" : "one"));
        p->Update();
    }
    EXPECT_EQ(t.cursor.GetCurrentRecord(), 3);
    EXPECT_EQ(second.GetCurrentRecord(), 4);
    EXPECT_EQ(ReadBack(t.strPath, 3, "NAME"), Text("one"));
    EXPECT_EQ(ReadBack(t.strPath, 4, "NAME"), Text("two"));
}

TEST(RecordsetEdit, ClosedCursorRefusesEverything) {
    DBase3Table t(kReadOnly);
    CDBFFileCursor never;
    EXPECT_EQ(ErrorCodeOf([&] { never.AddNew(); }), 3017) << "never opened";
    CDBFFileCursor& cursor = t.cursor;
    cursor.Close();
    EXPECT_TRUE(!cursor.IsOpen() && cursor.IsBOF() && cursor.IsEOF() && cursor.GetCurrentRecord() == -1);
    EXPECT_EQ(ErrorCodeOf([&] { cursor.GetFieldValue(0); }), 3017);
    EXPECT_EQ(ErrorCodeOf([&] { cursor.Delete(); }), 3017);
    EXPECT_EQ(ErrorCodeOf([&] { cursor.SetAbsolutePosition(0); }), 3017);
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
    std::vector<int> order;
    for (int i = 0; i < nRecords; ++i) order.push_back(i);
    order.insert(order.end(), {2999, 0, 1500, 1499, 2998});
    for (int i : order) {
        cursor.SetAbsolutePosition(i);
        ASSERT_EQ(cursor.GetFieldValue(0), FieldValue::MakeDouble(i)) << i;
    }
    EXPECT_EQ(ErrorCodeOf([&] { cursor.SetAbsolutePosition(nRecords); }), 3017);
}

TEST(RecordsetNulls, NullFlaggedFieldsReadAsNullUntilAValueIsWritten) {
    // Visual FoxPro: NAME and NOTE nullable (bits 0 and 2 of _NullFlags,
    // the varchar V taking bit 1 for its length), AGE not.
    TempDir dir;
    CMemoImage memo = CMemoImage::Fpt(8);
    const uint32_t nMemo = memo.Add("memo");
    memo.Save(dir, "t.FPT");
    TableBuilder b(0x30);
    b.TableFlags(2).Field("NAME", 'C', 4, 0, 0x02).Field("AGE", 'N', 3).Field("V", 'V', 4).Field("NOTE", 'M', 4, 0, 0x02);
    b.Field("_NullFlags", '0', 1, 0, 0x05);
    b.Record({"Ann", "34", "ab", LE32(nMemo), std::string(1, '\x05')});  // NAME and NOTE are NULL
    b.Record({"Bob", "7", "cd", LE32(nMemo), std::string(1, '\x00')});
    const std::string strPath = b.Write(dir.Path("t.dbf"));
    CDBFFileCursor cursor;
    cursor.Open(strPath, kReadWrite);
    cursor.SetAbsolutePosition(0);
    EXPECT_TRUE(cursor.GetFieldValue("NAME").IsNull());
    EXPECT_TRUE(cursor.GetFieldValue("NOTE").IsNull());
    EXPECT_EQ(cursor.GetFieldValue("AGE"), FieldValue::MakeDouble(34));
    EXPECT_TRUE(cursor.GetNullFlags().IsNull(cursor.GetRecordBuffer(), 0));
    cursor.Edit();
    cursor.SetFieldValue("NAME", Text("Cy"));
    cursor.SetFieldValue("AGE", FieldValue::MakeNull());  // a field without a bit: only blanked
    cursor.Update();
    EXPECT_EQ(ReadBack(strPath, 0, "NAME"), Text("Cy")) << "writing a value clears the null bit";
    EXPECT_TRUE(ReadBack(strPath, 0, "NOTE").IsNull()) << "the other field's bit stays";
    cursor.SetAbsolutePosition(1);
    EXPECT_EQ(cursor.GetFieldValue("NOTE"), Text("memo"));
}
