// The memory cursor set: the visible list with hidden deleted records and a
// filter, the flags of the in-memory edit protocol, Save and Pack with what
// they write, the refusals (read only, changed on disk), positioning, and
// the code-page conversion.
#include "engine/memory_cursorset.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/dbf_exception.h"
#include "engine/field_io.h"
#include "engine/file_cursor.h"
#include "platform/core/code_page.h"
#include "tests/support/table_builder.h"
#include "tests/support/test_support.h"

using dbf::CDBFException;
using dbf::CDBFMemoryCursorset;
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

// NAME C(8), AGE N(3): Ann 34, Bob 7 (deleted), Cy 50, Di 12.
std::string PeopleTable(const TempDir& dir, const std::string& strName = "t.dbf") {
    TableBuilder b;
    b.Field("NAME", 'C', 8).Field("AGE", 'N', 3);
    b.Record({"Ann", "34"}).DeletedRecord({"Bob", "7"}).Record({"Cy", "50"}).Record({"Di", "12"});
    return b.Write(dir.Path(strName));
}

// The NAME of every visible record, in display order.
std::vector<std::string> Names(CDBFMemoryCursorset& set) {
    std::vector<std::string> names;
    for (int32_t i = 0; i < set.GetRecordCount(); ++i) {
        set.SetAbsolutePosition(i);
        names.push_back(set.GetFieldValue("NAME").GetText());
    }
    return names;
}

using Names_ = std::vector<std::string>;

// The flag and NAME of each record of a table file, read with the file cursor.
std::vector<std::string> FileRecords(const std::string& strPath) {
    dbf::CDBFFileCursor cursor;
    cursor.Open(strPath, kReadOnly);
    std::vector<std::string> records;
    for (int32_t n = 0; n < cursor.GetRecordCount(); ++n) {
        cursor.SetAbsolutePosition(n);
        records.push_back(std::string(1, char(cursor.GetRecordBuffer()[0])) + cursor.GetFieldValue(0).GetText());
    }
    return records;
}

}  // namespace

TEST(MemoryCursorset, LoadsEveryRecordAndHidesDeletedOnesOnRequery) {
    TempDir dir;
    CDBFMemoryCursorset set;
    set.Open(PeopleTable(dir), kReadOnly);
    ASSERT_TRUE(set.IsOpen());
    EXPECT_EQ(set.GetImageRecordCount(), 4);
    EXPECT_EQ(Names(set), (Names_{"Ann", "Bob", "Cy", "Di"}));
    set.SetAbsolutePosition(1);
    EXPECT_TRUE(set.IsDeletedOnDisk());

    set.SetHideDeleted(true);
    EXPECT_EQ(set.GetRecordCount(), 4) << "takes effect at the next Requery";
    set.SetAbsolutePosition(3);
    set.Requery();
    EXPECT_EQ(set.GetCurrentIndex(), 0) << "a requery stands on the first record";
    EXPECT_EQ(Names(set), (Names_{"Ann", "Cy", "Di"}));
    EXPECT_EQ(set.GetHeader().GetRecordCount(), 3) << "the header copy counts the visible records";
}

TEST(MemoryCursorset, FilterKeepsWhatThePredicateAccepts) {
    TempDir dir;
    CDBFMemoryCursorset set;
    set.Open(PeopleTable(dir), kReadOnly);
    set.SetFilter([](const uint8_t* pRecord, const dbf::DBFFieldList& fields) {
        FieldValue age;
        dbf::ReadFieldValue(std::span<const uint8_t>(pRecord, 12), fields.m_pDesc[1], age);
        return age.GetDouble() > 10;
    });
    set.Requery();
    EXPECT_EQ(Names(set), (Names_{"Ann", "Cy", "Di"}));

    set.SetFilter([](const uint8_t*, const dbf::DBFFieldList&) { return false; });
    set.Requery();
    EXPECT_EQ(set.GetRecordCount(), 0);
    EXPECT_EQ(ErrorOf([&] { set.GetFieldValue(0); }), 3017) << "an empty list has no current record";
    EXPECT_EQ(ErrorOf([&] { set.SetAbsolutePosition(0); }), 3017);

    // An appended record is listed whatever the filter says.
    set.AddNew();
    set.SetFieldValue(0, FieldValue::MakeText("Eve"));
    EXPECT_EQ(set.Update(), 0);
    EXPECT_EQ(Names(set), (Names_{"Eve"}));
}

TEST(MemoryCursorset, RecordsDeletedSinceOpeningStayVisibleUntilSavedAndRequeried) {
    TempDir dir;
    const std::string strPath = PeopleTable(dir);
    CDBFMemoryCursorset set;
    set.Open(strPath, kReadWrite);
    set.SetHideDeleted(true);
    set.Requery();
    set.SetAbsolutePosition(0);
    set.Delete();
    EXPECT_TRUE(set.IsDeletedSinceOpen());
    set.Requery();
    EXPECT_EQ(Names(set), (Names_{"Ann", "Cy", "Di"})) << "'X' shows even with deleted records hidden";

    EXPECT_TRUE(set.Save());
    set.SetAbsolutePosition(0);
    EXPECT_TRUE(set.IsDeletedOnDisk()) << "saved: the flag in memory is now '*'";
    set.Requery();
    EXPECT_EQ(Names(set), (Names_{"Cy", "Di"}));
    EXPECT_EQ(FileRecords(strPath), (Names_{"*Ann", "*Bob", " Cy", " Di"}));
}

TEST(MemoryCursorset, EditProtocolMarksRecordsAndSaveWritesOnlySpaceOrStar) {
    TempDir dir;
    const std::string strPath = PeopleTable(dir);
    const Bytes before = ReadFileBytes(strPath);
    CDBFMemoryCursorset set;
    set.Open(strPath, kReadWrite);

    set.SetAbsolutePosition(2);
    set.Edit();
    set.SetFieldValue("NAME", FieldValue::MakeText("Cyd"));
    EXPECT_TRUE(set.IsChanged());
    EXPECT_EQ(set.Update(), 0);
    EXPECT_EQ(set.Update(), -2) << "nothing pending";
    EXPECT_TRUE(set.IsChanged());

    set.SetAbsolutePosition(3);
    set.Edit();
    set.SetFieldValue("NAME", FieldValue::MakeText("Dot"));
    set.CancelUpdate();
    EXPECT_EQ(set.GetFieldValue("NAME").GetText(), "Di");
    EXPECT_FALSE(set.IsChanged());

    set.AddNew();
    set.SetFieldValue("NAME", FieldValue::MakeText("Eve"));
    set.Update();
    EXPECT_TRUE(set.IsAdded());
    EXPECT_EQ(set.GetCurrentIndex(), 4);
    set.Edit();
    set.SetFieldValue("AGE", FieldValue::MakeInt32(5));
    set.Update();
    EXPECT_TRUE(set.IsAdded()) << "editing an appended record keeps its '!'";

    set.SetAbsolutePosition(1);
    set.Undelete();
    EXPECT_TRUE(set.IsChanged());

    // Sorted, the records are still written in load and append order.
    set.Sort(0, true);
    EXPECT_EQ(Names(set), (Names_{"Eve", "Di", "Cyd", "Bob", "Ann"}));
    set.Save();
    EXPECT_EQ(FileRecords(strPath), (Names_{" Ann", " Bob", " Cyd", " Di", " Eve"}));
    EXPECT_EQ(ReadFileBytes(strPath).size(), 97 + 5 * 12 + 1u) << "header, records, end-of-file byte";
    EXPECT_EQ(ReadFileBytes(dir.Path("t.bak")), before) << "the table as it was before the save";

    CDBFMemoryCursorset reopened;
    reopened.Open(strPath, kReadOnly);
    reopened.SetAbsolutePosition(4);
    EXPECT_EQ(reopened.GetFieldValue("AGE"), FieldValue::MakeDouble(5));
}

TEST(MemoryCursorset, PendingEditNeverLandsOnAnotherRecord) {
    TempDir dir;
    CDBFMemoryCursorset set;
    set.Open(PeopleTable(dir), kReadWrite);

    // Moving away drops the edit: an Update after it stores nothing.
    set.SetAbsolutePosition(0);
    set.Edit();
    set.SetFieldValue("NAME", FieldValue::MakeText("Zed"));
    set.SetAbsolutePosition(2);
    EXPECT_EQ(set.Update(), -2);
    EXPECT_EQ(Names(set), (Names_{"Ann", "Bob", "Cy", "Di"}));

    // Deleting the record being added flags it, not the record the cursor stood on.
    set.SetAbsolutePosition(2);
    set.AddNew();
    set.Delete();
    set.Edit();  // goes on adding
    set.Update();
    EXPECT_TRUE(set.IsDeletedSinceOpen());
    set.SetAbsolutePosition(2);
    EXPECT_FALSE(set.IsDeletedSinceOpen());
    EXPECT_EQ(set.GetFieldValue("NAME").GetText(), "Cy");

    // A sort drops a pending edit too.
    set.SetAbsolutePosition(0);
    set.Edit();
    set.SetFieldValue("NAME", FieldValue::MakeText("Zed"));
    set.Sort(0, false);
    EXPECT_EQ(set.Update(), -2);
    EXPECT_EQ(Names(set), (Names_{"", "Ann", "Bob", "Cy", "Di"}));
}

TEST(MemoryCursorset, RemoveFromViewStepsBackFromTheEnd) {
    TempDir dir;
    CDBFMemoryCursorset set;
    set.Open(PeopleTable(dir), kReadOnly);
    set.SetAbsolutePosition(3);
    set.RemoveFromView();
    EXPECT_EQ(set.GetCurrentIndex(), 2);
    EXPECT_EQ(set.GetFieldValue("NAME").GetText(), "Cy");
    set.SetAbsolutePosition(0);
    set.RemoveFromView();
    EXPECT_EQ(set.GetFieldValue("NAME").GetText(), "Bob");
    EXPECT_EQ(set.GetRecordCount(), 2);
    EXPECT_EQ(set.GetHeader().GetRecordCount(), 2);
    set.RemoveFromView();
    set.RemoveFromView();
    EXPECT_EQ(set.GetRecordCount(), 0);
    EXPECT_EQ(ErrorOf([&] { set.GetFieldValue(0); }), 3017);
    set.RemoveFromView();  // nothing left: nothing happens
    set.Requery();
    EXPECT_EQ(set.GetRecordCount(), 4) << "the records were only out of view";
}

TEST(MemoryCursorset, PositionsOutsideTheListAreRefused) {
    TempDir dir;
    CDBFMemoryCursorset set;
    set.Open(PeopleTable(dir), kReadOnly);
    EXPECT_EQ(ErrorOf([&] { set.SetAbsolutePosition(-1); }), 3017);
    EXPECT_EQ(ErrorOf([&] { set.SetAbsolutePosition(4); }), 3017);
    EXPECT_EQ(ErrorOf([&] { set.GetRecord(4); }), 3017);
    EXPECT_EQ(ErrorOf([&] { set.Sort(2, false); }), 3017);
    EXPECT_EQ(set.GetCurrentIndex(), 0);
}

TEST(MemoryCursorset, CloseForgetsEditsAndResetsTheDisplayChoices) {
    TempDir dir;
    const std::string strPath = PeopleTable(dir);
    CDBFMemoryCursorset set;
    set.Open(strPath, kReadWrite);
    set.SetHideDeleted(true);
    set.Sort(1, true);
    set.SetAbsolutePosition(0);
    set.Delete();
    set.Close();
    EXPECT_FALSE(set.IsOpen());
    EXPECT_FALSE(set.IsHideDeleted());
    EXPECT_FALSE(set.IsSortDescending());
    EXPECT_EQ(set.GetCurrentIndex(), -1);
    set.Open(strPath, kReadWrite);
    EXPECT_EQ(Names(set), (Names_{"Ann", "Bob", "Cy", "Di"}));
    set.SetAbsolutePosition(0);
    EXPECT_FALSE(set.IsDeletedSinceOpen());
}

TEST(MemoryCursorset, SaveAndPackRefuseATableOpenedReadOnly) {
    TempDir dir;
    const std::string strPath = PeopleTable(dir);
    const Bytes before = ReadFileBytes(strPath);
    CDBFMemoryCursorset set;
    set.Open(strPath, kReadOnly);
    set.SetAbsolutePosition(0);
    set.Delete();
    EXPECT_EQ(ErrorOf([&] { set.Save(); }), 3022);
    EXPECT_EQ(ErrorOf([&] { set.Pack(); }), 3022);
    EXPECT_EQ(ReadFileBytes(strPath), before);
    EXPECT_FALSE(platform::CFile::Exists(dir.Path("t.bak")));
    EXPECT_FALSE(platform::CFile::Exists(dir.Path("t._tmp")));
    EXPECT_TRUE(set.IsDeletedSinceOpen()) << "the edits in memory are kept";
}

TEST(MemoryCursorset, SaveRefusesToCutOffRecordsAnotherProgramAppended) {
    TempDir dir;
    const std::string strPath = PeopleTable(dir);
    CDBFMemoryCursorset set;
    set.Open(strPath, kReadWrite);
    set.SetAbsolutePosition(0);
    set.Edit();
    set.SetFieldValue("NAME", FieldValue::MakeText("Ana"));
    set.Update();

    {
        dbf::CDBFFileCursor other;
        other.Open(strPath, kReadWrite);
        other.AddNew();
        other.SetFieldValue("NAME", FieldValue::MakeText("Other"));
        other.Update();
    }
    const Bytes withOther = ReadFileBytes(strPath);
    CDBFException error(0);
    try {
        set.Save();
    } catch (const CDBFException& e) {
        error = e;
    }
    EXPECT_EQ(error.GetCode(), 3021);
    EXPECT_EQ(error.GetErrorMessage(), "The table was changed by another program since it was loaded.");
    EXPECT_EQ(ReadFileBytes(strPath), withOther);
    EXPECT_EQ(ErrorOf([&] { set.Pack(); }), 3021);
    EXPECT_EQ(ReadFileBytes(strPath), withOther);

    // Told to, Save writes memory's table over it, as it was once always done.
    EXPECT_TRUE(set.Save(CDBFMemoryCursorset::OnDiskChange::overwrite));
    EXPECT_EQ(FileRecords(strPath), (Names_{" Ana", "*Bob", " Cy", " Di"}));
    // The state saved is the one compared next time: a second save is fine.
    set.SetAbsolutePosition(3);
    set.Delete();
    EXPECT_TRUE(set.Save());
}

TEST(MemoryCursorset, SaveKeepsTheUnchangedPartsOfTheHeaderArea) {
    TempDir dir;
    TableBuilder b(0x30);
    b.Field("NAME", 'C', 8).CodePageMark(0x65);
    b.Record({"Ann"}).Record({"Bob"});
    const std::string strPath = b.Write(dir.Path("v.dbf"));
    Bytes bytes = ReadFileBytes(strPath);
    bytes[12] = 0x5A;                   // reserved header byte
    bytes[32 + 32 + 1 + 10] = 0x42;     // inside the database backlink
    WriteFileBytes(strPath, bytes);

    CDBFMemoryCursorset set;
    set.Open(strPath, kReadWrite);
    set.SetAbsolutePosition(1);
    set.Delete();
    set.Save();
    const Bytes after = ReadFileBytes(strPath);
    EXPECT_EQ(after[12], 0x5A);
    EXPECT_EQ(after[29], 0x65);
    EXPECT_EQ(after[32 + 32 + 1 + 10], 0x42);
    EXPECT_EQ(after[after.size() - 1], 0x1A);
    EXPECT_EQ(after[bytes.size() - 1 - 9], '*') << "the second record's flag";
}

TEST(MemoryCursorsetPack, KeepsLiveRecordsInOrderAndTheOldFileAsBackup) {
    TempDir dir;
    const std::string strPath = PeopleTable(dir);
    const Bytes before = ReadFileBytes(strPath);
    CDBFMemoryCursorset set;
    set.Open(strPath, kReadWrite);
    set.SetAbsolutePosition(3);
    set.Delete();
    set.AddNew();
    set.SetFieldValue("NAME", FieldValue::MakeText("Eve"));
    set.Update();
    set.SetHideDeleted(true);
    EXPECT_TRUE(set.Pack());

    EXPECT_TRUE(set.IsOpen());
    EXPECT_FALSE(set.IsHideDeleted()) << "reopened: deleted records shown again";
    EXPECT_EQ(Names(set), (Names_{"Ann", "Cy", "Eve"}));
    EXPECT_EQ(FileRecords(strPath), (Names_{" Ann", " Cy", " Eve"}));
    EXPECT_EQ(ReadFileBytes(dir.Path("t.bak")), before);
    EXPECT_FALSE(platform::CFile::Exists(dir.Path("t._tmp")));
}

TEST(MemoryCursorsetPack, TableOfDeletedRecordsOnlyBecomesEmpty) {
    TempDir dir;
    TableBuilder b;
    b.Field("NAME", 'C', 8);
    b.DeletedRecord({"a"}).DeletedRecord({"b"});
    const std::string strPath = b.Write(dir.Path("t.dbf"));
    CDBFMemoryCursorset set;
    set.Open(strPath, kReadWrite);
    set.Pack();
    const Bytes after = ReadFileBytes(strPath);
    ASSERT_EQ(after.size(), 32 + 32 + 1 + 1u);
    EXPECT_EQ(after[64], 0x0D);
    EXPECT_EQ(after[65], 0x1A);
    EXPECT_EQ(after[4], 0);
    EXPECT_EQ(set.GetRecordCount(), 0);
}

TEST(MemoryCursorsetCodePages, ConvertsCharacterFieldsOnlyAndSaveWritesThem) {
    platform::CScopedCodePages pages("CP866", "CP1251");
    ASSERT_TRUE(pages.IsValid());
    TempDir dir;
    // "Мир" in CP866 (8C A8 E0), with a tab before the padding and an N field.
    TableBuilder b;
    b.Field("NAME", 'C', 6).Field("N", 'N', 3).Field("NOTE", 'C', 4);
    b.RawRecord(std::string(" \x8C\xA8\xE0\t  ", 7) + " 12" + std::string("\x80\0\x81 ", 4));
    const std::string strPath = b.Write(dir.Path("t.dbf"));
    CDBFMemoryCursorset set;
    set.Open(strPath, kReadWrite);
    set.ConvertOemToAnsi();
    set.SetAbsolutePosition(0);
    EXPECT_FALSE(set.IsChanged()) << "flags stay";
    const uint8_t* p = set.GetRecordBuffer();
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(p), 7), std::string(" \xCC\xE8\xF0   ", 7))
        << "the text converted, the trailing white space blank";
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(p) + 7, 3), " 12");
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(p) + 10, 4), std::string("\xC0   ", 4))
        << "text ends at its NUL; the rest becomes spaces";
    set.ConvertAnsiToOem();
    EXPECT_EQ(set.GetFieldValue("NAME").GetText(), "\x8C\xA8\xE0");
    set.ConvertOemToAnsi();
    set.Save();
    CDBFMemoryCursorset reopened;
    reopened.Open(strPath, kReadOnly);
    EXPECT_EQ(reopened.GetFieldValue("NAME").GetText(), "\xCC\xE8\xF0");
}

TEST(MemoryCursorset, DamagedOrVanishingFilesAreNotLoaded) {
    TempDir dir;
    CDBFMemoryCursorset set;
    EXPECT_EQ(ErrorOf([&] { set.Open(dir.Path("missing.dbf"), kReadOnly); }), 3002);
    EXPECT_FALSE(set.IsOpen());
    const std::string strPath = PeopleTable(dir);
    {
        platform::FileFaults::Scope faults;
        // The table definition's own reads come first; the image read is the last.
        CDBFMemoryCursorset probe;
        probe.Open(strPath, kReadOnly);
        const int nReads = platform::FileFaults::Count(platform::FileFaults::Op::read);
        probe.Close();
        platform::FileFaults::Reset();
        platform::FileFaults::Arm(platform::FileFaults::Op::read, nReads, EIO);
        EXPECT_EQ(ErrorOf([&] { set.Open(strPath, kReadOnly); }), 3003);
        EXPECT_FALSE(set.IsOpen());
    }
    set.Open(strPath, kReadOnly);
    EXPECT_TRUE(set.IsOpen());
}
