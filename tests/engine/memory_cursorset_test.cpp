// The memory cursor set: the visible list with hidden deleted records and a
// filter, the flags of the in-memory edit protocol, Save and Pack with what
// they write, the refusals (read only, changed on disk), and the code-page
// conversion.
#include "engine/memory_cursorset.h"

#include <cerrno>

#include <gtest/gtest.h>

#include "engine/field_io.h"
#include "engine/file_cursor.h"
#include "platform/core/code_page.h"
#include "tests/support/engine_support.h"
#include "tests/support/table_builder.h"

using dbf::CDBFMemoryCursorset;
using dbf::FieldValue;
using namespace testing_support;
using Names = std::vector<std::string>;

namespace {

// NAME C(8), AGE N(3): Ann 34, Bob 7 (deleted), Cy 50, Di 12, loaded.
struct People {
    TempDir dir;
    std::string strPath = dir.Path("t.dbf");
    Bytes before;
    CDBFMemoryCursorset set;
    explicit People(unsigned nFlags = kReadWrite) {
        TableBuilder b;
        b.Field("NAME", 'C', 8).Field("AGE", 'N', 3);
        b.Record({"Ann", "34"}).DeletedRecord({"Bob", "7"}).Record({"Cy", "50"}).Record({"Di", "12"}).Write(strPath);
        before = ReadFileBytes(strPath);
        set.Open(strPath, nFlags);
    }
    // Stores a NAME through the edit protocol; nIndex -1 appends a record.
    void SetName(int32_t nIndex, const std::string& strName) {
        if (nIndex < 0) {
            set.AddNew();
        } else {
            set.SetAbsolutePosition(nIndex);
            set.Edit();
        }
        set.SetFieldValue("NAME", FieldValue::MakeText(strName));
        EXPECT_EQ(set.Update(), 0);
    }
    // The NAME of every visible record, in display order.
    Names Visible() {
        Names names;
        for (int32_t i = 0; i < set.GetRecordCount(); ++i) {
            set.SetAbsolutePosition(i);
            names.push_back(set.GetFieldValue("NAME").GetText());
        }
        return names;
    }
    // The flag and NAME of each record of the file, read with the file cursor.
    Names OnDisk() const {
        dbf::CDBFFileCursor cursor;
        cursor.Open(strPath, kReadOnly);
        Names records;
        for (int32_t n = 0; n < cursor.GetRecordCount(); ++n) {
            cursor.SetAbsolutePosition(n);
            records.push_back(std::string(1, char(cursor.GetRecordBuffer()[0])) + cursor.GetFieldValue(0).GetText());
        }
        return records;
    }
};

}  // namespace

TEST(MemoryCursorset, LoadsEveryRecordAndHidesDeletedOnesOnRequery) {
    People t(kReadOnly);
    EXPECT_EQ(t.set.GetImageRecordCount(), 4);
    EXPECT_EQ(t.Visible(), (Names{"Ann", "Bob", "Cy", "Di"}));
    t.set.SetAbsolutePosition(1);
    EXPECT_TRUE(t.set.IsDeletedOnDisk());
    for (int32_t n : {-1, 4}) EXPECT_EQ(ErrorCodeOf([&] { t.set.SetAbsolutePosition(n); }), 3017) << n;
    EXPECT_EQ(ErrorCodeOf([&] { t.set.Sort(2, false); }), 3017);

    t.set.SetHideDeleted(true);
    EXPECT_EQ(t.set.GetRecordCount(), 4) << "takes effect at the next Requery";
    t.set.SetAbsolutePosition(3);
    t.set.Requery();
    EXPECT_EQ(t.set.GetCurrentIndex(), 0) << "a requery stands on the first record";
    EXPECT_EQ(t.Visible(), (Names{"Ann", "Cy", "Di"}));
    EXPECT_EQ(t.set.GetHeader().GetRecordCount(), 3) << "the header copy counts the visible records";
}

TEST(MemoryCursorset, FilterKeepsWhatThePredicateAccepts) {
    People t;
    t.set.SetFilter([](const uint8_t* pRecord, const dbf::DBFFieldList& fields) {
        FieldValue age;
        dbf::ReadFieldValue(std::span<const uint8_t>(pRecord, 12), fields.m_pDesc[1], age);
        return age.GetDouble() > 10;
    });
    t.set.Requery();
    EXPECT_EQ(t.Visible(), (Names{"Ann", "Cy", "Di"}));
    t.set.SetFilter([](const uint8_t*, const dbf::DBFFieldList&) { return false; });
    t.set.Requery();
    EXPECT_EQ(t.set.GetRecordCount(), 0);
    EXPECT_EQ(ErrorCodeOf([&] { t.set.GetFieldValue(0); }), 3017) << "an empty list has no current record";
    EXPECT_EQ(ErrorCodeOf([&] { t.set.SetAbsolutePosition(0); }), 3017);
    t.SetName(-1, "Eve");
    EXPECT_EQ(t.Visible(), (Names{"Eve"})) << "an appended record is listed whatever the filter says";
}

TEST(MemoryCursorset, RecordsDeletedSinceOpeningStayVisibleUntilSavedAndRequeried) {
    People t;
    t.set.SetHideDeleted(true);
    t.set.Requery();
    t.set.SetAbsolutePosition(0);
    t.set.Delete();
    EXPECT_TRUE(t.set.IsDeletedSinceOpen());
    t.set.Requery();
    EXPECT_EQ(t.Visible(), (Names{"Ann", "Cy", "Di"})) << "'X' shows even with deleted records hidden";
    EXPECT_TRUE(t.set.Save());
    t.set.SetAbsolutePosition(0);
    EXPECT_TRUE(t.set.IsDeletedOnDisk()) << "saved: the flag in memory is now '*'";
    t.set.Requery();
    EXPECT_EQ(t.Visible(), (Names{"Cy", "Di"}));
    EXPECT_EQ(t.OnDisk(), (Names{"*Ann", "*Bob", " Cy", " Di"}));
}

TEST(MemoryCursorset, EditProtocolMarksRecordsAndSaveWritesOnlySpaceOrStar) {
    People t;
    t.SetName(2, "Cyd");
    EXPECT_TRUE(t.set.IsChanged());
    EXPECT_EQ(t.set.Update(), -2) << "nothing pending";

    t.set.SetAbsolutePosition(3);
    t.set.Edit();
    t.set.SetFieldValue("NAME", FieldValue::MakeText("Dot"));
    t.set.CancelUpdate();
    EXPECT_EQ(t.set.GetFieldValue("NAME").GetText(), "Di");
    EXPECT_FALSE(t.set.IsChanged());

    t.SetName(-1, "Eve");
    EXPECT_TRUE(t.set.IsAdded());
    EXPECT_EQ(t.set.GetCurrentIndex(), 4);
    t.SetName(4, "Eve");
    EXPECT_TRUE(t.set.IsAdded()) << "editing an appended record keeps its '!'";
    t.set.SetAbsolutePosition(1);
    t.set.Undelete();
    EXPECT_TRUE(t.set.IsChanged());

    // Sorted, the records are still written in load and append order.
    t.set.Sort(0, true);
    EXPECT_EQ(t.Visible(), (Names{"Eve", "Di", "Cyd", "Bob", "Ann"}));
    t.set.Save();
    EXPECT_EQ(t.OnDisk(), (Names{" Ann", " Bob", " Cyd", " Di", " Eve"}));
    EXPECT_EQ(ReadFileBytes(t.strPath).size(), 97 + 5 * 12 + 1u) << "header, records, end-of-file byte";
    EXPECT_EQ(ReadFileBytes(t.dir.Path("t.bak")), t.before) << "the table as it was before the save";
}

TEST(MemoryCursorset, PendingEditNeverLandsOnAnotherRecord) {
    People t;
    // Moving away drops the edit: an Update after it stores nothing.
    t.set.SetAbsolutePosition(0);
    t.set.Edit();
    t.set.SetFieldValue("NAME", FieldValue::MakeText("Zed"));
    t.set.SetAbsolutePosition(2);
    EXPECT_EQ(t.set.Update(), -2);
    EXPECT_EQ(t.Visible(), (Names{"Ann", "Bob", "Cy", "Di"}));

    // Deleting the record being added flags it, not the record the cursor stood on.
    t.set.SetAbsolutePosition(2);
    t.set.AddNew();
    t.set.Delete();
    t.set.Edit();  // goes on adding
    t.set.Update();
    EXPECT_TRUE(t.set.IsDeletedSinceOpen());
    t.set.SetAbsolutePosition(2);
    EXPECT_FALSE(t.set.IsDeletedSinceOpen());

    // A sort drops a pending edit too.
    t.set.SetAbsolutePosition(0);
    t.set.Edit();
    t.set.SetFieldValue("NAME", FieldValue::MakeText("Zed"));
    t.set.Sort(0, false);
    EXPECT_EQ(t.set.Update(), -2);
    EXPECT_EQ(t.Visible(), (Names{"", "Ann", "Bob", "Cy", "Di"}));
}

TEST(MemoryCursorset, RemoveFromViewStepsBackFromTheEnd) {
    People t(kReadOnly);
    t.set.SetAbsolutePosition(3);
    t.set.RemoveFromView();
    EXPECT_EQ(t.set.GetCurrentIndex(), 2);
    t.set.SetAbsolutePosition(0);
    t.set.RemoveFromView();
    EXPECT_EQ(t.set.GetFieldValue("NAME").GetText(), "Bob");
    EXPECT_EQ(t.set.GetHeader().GetRecordCount(), 2);
    t.set.RemoveFromView();
    t.set.RemoveFromView();
    EXPECT_EQ(t.set.GetRecordCount(), 0);
    t.set.RemoveFromView();  // nothing left: nothing happens
    t.set.Requery();
    EXPECT_EQ(t.set.GetRecordCount(), 4) << "the records were only out of view";
}

TEST(MemoryCursorset, SaveAndPackRefuseATableOpenedReadOnlyOrChangedOnDisk) {
    People readOnly(kReadOnly);
    readOnly.set.SetAbsolutePosition(0);
    readOnly.set.Delete();
    EXPECT_EQ(ErrorCodeOf([&] { readOnly.set.Save(); }), 3022);
    EXPECT_EQ(ErrorCodeOf([&] { readOnly.set.Pack(); }), 3022);
    EXPECT_EQ(ReadFileBytes(readOnly.strPath), readOnly.before);
    EXPECT_FALSE(platform::CFile::Exists(readOnly.dir.Path("t.bak")));
    EXPECT_FALSE(platform::CFile::Exists(readOnly.dir.Path("t._tmp")));
    EXPECT_TRUE(readOnly.set.IsDeletedSinceOpen()) << "the edits in memory are kept";

    People t;
    t.SetName(0, "Ana");
    dbf::CDBFFileCursor other;  // another program appends a record
    other.Open(t.strPath, kReadWrite);
    other.AddNew();
    other.SetFieldValue("NAME", FieldValue::MakeText("Other"));
    other.Update();
    other.Close();
    const Bytes withOther = ReadFileBytes(t.strPath);
    dbf::CDBFException error(0);
    try {
        t.set.Save();
    } catch (const dbf::CDBFException& e) {
        error = e;
    }
    EXPECT_EQ(error.GetCode(), 3021);
    EXPECT_EQ(error.GetErrorMessage(), "The table was changed by another program since it was loaded.");
    EXPECT_EQ(ErrorCodeOf([&] { t.set.Pack(); }), 3021);
    EXPECT_EQ(ReadFileBytes(t.strPath), withOther);
    // Told to, Save writes memory's table over it; the state saved is the
    // one compared next time, so a second save is fine.
    EXPECT_TRUE(t.set.Save(CDBFMemoryCursorset::OnDiskChange::overwrite));
    EXPECT_EQ(t.OnDisk(), (Names{" Ana", "*Bob", " Cy", " Di"}));
    t.set.SetAbsolutePosition(3);
    t.set.Delete();
    EXPECT_TRUE(t.set.Save());

    // Another program changes the version, the table flags or the code-page
    // mark: Save refuses rather than write the old byte back.
    t.SetName(0, "Anna");
    for (const size_t nByte : {size_t(0), size_t(28), size_t(29)}) {
        SCOPED_TRACE(nByte);
        Bytes changed = ReadFileBytes(t.strPath);
        const uint8_t nWas = changed[nByte];
        changed[nByte] = uint8_t(nWas ^ 0x40);
        WriteFileBytes(t.strPath, changed);
        EXPECT_EQ(ErrorCodeOf([&] { t.set.Save(); }), 3021);
        EXPECT_EQ(ReadFileBytes(t.strPath), changed);
        changed[nByte] = nWas;
        WriteFileBytes(t.strPath, changed);
    }
    EXPECT_TRUE(t.set.Save());
}

TEST(MemoryCursorset, SaveKeepsTheUnchangedPartsOfTheHeaderArea) {
    TempDir dir;
    TableBuilder b(0x30);
    Bytes bytes = b.Field("NAME", 'C', 8).CodePageMark(0x65).Record({"Ann"}).Record({"Bob"}).Build();
    bytes[12] = 0x5A;                // reserved header byte
    bytes[32 + 32 + 1 + 10] = 0x42;  // inside the database backlink
    WriteFileBytes(dir.Path("v.dbf"), bytes);
    CDBFMemoryCursorset set;
    set.Open(dir.Path("v.dbf"), kReadWrite);
    set.SetAbsolutePosition(1);
    set.Delete();
    set.Save();
    const Bytes after = ReadFileBytes(dir.Path("v.dbf"));
    EXPECT_EQ(after[12], 0x5A);
    EXPECT_EQ(after[29], 0x65);
    EXPECT_EQ(after[32 + 32 + 1 + 10], 0x42);
    EXPECT_EQ(after[after.size() - 1], 0x1A);
    EXPECT_EQ(after[bytes.size() - 1 - 9], '*') << "the second record's flag";
}

TEST(MemoryCursorsetPack, KeepsLiveRecordsInOrderAndTheOldFileAsBackup) {
    People t;
    t.set.SetAbsolutePosition(3);
    t.set.Delete();
    t.SetName(-1, "Eve");
    t.set.SetHideDeleted(true);
    EXPECT_TRUE(t.set.Pack());
    EXPECT_FALSE(t.set.IsHideDeleted()) << "reopened: deleted records shown again";
    EXPECT_EQ(t.Visible(), (Names{"Ann", "Cy", "Eve"}));
    EXPECT_EQ(t.OnDisk(), (Names{" Ann", " Cy", " Eve"}));
    EXPECT_EQ(ReadFileBytes(t.dir.Path("t.bak")), t.before);
    EXPECT_FALSE(platform::CFile::Exists(t.dir.Path("t._tmp")));

    // A table of deleted records only becomes header and end-of-file byte.
    TableBuilder b;
    b.Field("NAME", 'C', 8).DeletedRecord({"a"}).DeletedRecord({"b"}).Write(t.strPath);
    CDBFMemoryCursorset set;
    set.Open(t.strPath, kReadWrite);
    set.Pack();
    const Bytes after = ReadFileBytes(t.strPath);
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
    CDBFMemoryCursorset set, reopened;
    set.Open(strPath, kReadWrite);
    set.ConvertOemToAnsi();
    set.SetAbsolutePosition(0);
    EXPECT_FALSE(set.IsChanged()) << "flags stay";
    const char* p = reinterpret_cast<const char*>(set.GetRecordBuffer());
    EXPECT_EQ(std::string(p, 7), std::string(" \xCC\xE8\xF0   ", 7)) << "the text converted, the white space blank";
    EXPECT_EQ(std::string(p + 7, 3), " 12");
    EXPECT_EQ(std::string(p + 10, 4), std::string("\xC0   ", 4)) << "text ends at its NUL; the rest becomes spaces";
    set.ConvertAnsiToOem();
    EXPECT_EQ(set.GetFieldValue("NAME").GetText(), "\x8C\xA8\xE0");
    set.ConvertOemToAnsi();
    set.Save();
    reopened.Open(strPath, kReadOnly);
    EXPECT_EQ(reopened.GetFieldValue("NAME").GetText(), "\xCC\xE8\xF0");
}

TEST(MemoryCursorset, DamagedOrVanishingFilesAreNotLoaded) {
    People t(kReadOnly);
    CDBFMemoryCursorset set;
    EXPECT_EQ(ErrorCodeOf([&] { set.Open(t.dir.Path("missing.dbf"), kReadOnly); }), 3002);
    namespace FileFaults = platform::FileFaults;
    FileFaults::Scope faults;
    CDBFMemoryCursorset probe;  // the table definition's own reads come first; the image read is the last
    probe.Open(t.strPath, kReadOnly);
    const int nReads = FileFaults::Count(FileFaults::Op::read);
    FileFaults::Reset();
    FileFaults::Arm(FileFaults::Op::read, nReads, EIO);
    EXPECT_EQ(ErrorCodeOf([&] { set.Open(t.strPath, kReadOnly); }), 3003);
    EXPECT_FALSE(set.IsOpen());
}
