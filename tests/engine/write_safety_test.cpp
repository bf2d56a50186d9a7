// What makes writes safe for the tables of other programs: backup and
// temporary names that are never the table itself, Save writing only the
// records this program changed (so other programs' edits survive), the order
// of syncs and renames that leaves a whole table at every moment, and memo
// texts that stay readable until the record pointing at them is saved.
#include <cerrno>
#include <cstring>

#include <gtest/gtest.h>

#include "engine/file_cursor.h"
#include "engine/memory_cursorset.h"
#include "tests/support/engine_support.h"
#include "tests/support/memo_builder.h"
#include "tests/support/table_builder.h"

using dbf::CDBFMemoryCursorset;
using dbf::FieldValue;
using platform::CFile;
using platform::FileFaults::Op;
using namespace testing_support;

namespace {

// A dBASE III table with a memo: ID N(4), NAME C(10), NOTE M(10), at strPath
// with its memo file beside it under the table's base name.
std::string MemoTable(const TempDir& dir, const std::string& strName, int nRecords = 5) {
    CMemoImage memo = CMemoImage::DBase3(1);
    TableBuilder b(0x83);
    b.Field("ID", 'N', 4).Field("NAME", 'C', 10).Field("NOTE", 'M', 10);
    for (int i = 0; i < nRecords; ++i)
        b.Record({std::to_string(i), "name " + std::to_string(i), MemoRef10(memo.Add("memo " + std::to_string(i)))},
                 i == 1 ? '*' : ' ');
    const std::string strPath = b.Write(dir.Path(strName));
    memo.Save(dir, strName.substr(0, strName.rfind('.')) + ".DBT");
    return strPath;
}

std::string FieldBytes(const std::string& strPath, int nRecord, int nField) {
    dbf::CDBFFileCursor cursor;
    cursor.Open(strPath, kReadOnly);
    cursor.SetAbsolutePosition(nRecord);
    const dbf::DBFFieldDesc& desc = cursor.GetFieldList().m_pDesc[nField];
    const uint8_t* p = cursor.GetRecordBuffer() + desc.GetDisplacement();
    return std::string(p, p + desc.GetLayoutWidth());
}

void SetText(CDBFMemoryCursorset& set, int32_t nIndex, const char* pszField, const std::string& strText) {
    set.SetAbsolutePosition(nIndex);
    set.Edit();
    set.SetFieldValue(pszField, FieldValue::MakeText(strText));
    set.Update();
}

// Index of the first log entry after nFrom of that kind and path; -1 if none.
int Find(Op op, const std::string& strPath, int nFrom = 0) {
    const auto& log = platform::FileFaults::GetLog();
    for (size_t i = size_t(nFrom); i < log.size(); ++i)
        if (log[i].op == op && log[i].strPath == strPath) return int(i);
    return -1;
}

}  // namespace

TEST(WriteNames, BackupsAndTemporaryFilesNeverTakeTheTablesOwnName) {
    // Tables named as their backup or temporary file would be: saving,
    // packing and restructuring them must not remove or overwrite them.
    for (const char* pszName : {"data.bak", "data._tmp"}) {
        SCOPED_TRACE(pszName);
        TempDir dir;
        const std::string strPath = MemoTable(dir, pszName);
        const Bytes before = ReadFileBytes(strPath);
        CDBFMemoryCursorset set;
        set.Open(strPath, kReadWrite);
        ASSERT_TRUE(set.IsOpen());
        const std::string strBackup = set.GetTableDef()->BackupPath(), strTemporary = set.GetTableDef()->TemporaryPath();
        EXPECT_NE(strBackup, strPath);
        EXPECT_NE(strTemporary, strPath);
        EXPECT_EQ(strBackup, std::string(pszName) == "data.bak" ? dir.Path("data.bak.bak") : dir.Path("data.bak"));
        EXPECT_EQ(strTemporary, std::string(pszName) == "data._tmp" ? dir.Path("data._tmp1") : dir.Path("data._tmp"));

        SetText(set, 0, "NAME", "saved");
        set.Save();
        EXPECT_EQ(ReadFileBytes(strBackup), before);
        EXPECT_EQ(FieldBytes(strPath, 0, 1), "saved     ");
        set.Pack();
        ASSERT_TRUE(set.IsOpen());
        EXPECT_EQ(set.GetRecordCount(), 4);
        set.SetAbsolutePosition(1);
        EXPECT_EQ(set.GetFieldValue("NOTE").GetText(), "memo 2") << "the memo file goes on serving the packed table";

        dbf::CDBFTableDef table;
        set.Close();
        table.Open(strPath, kReadWrite);
        table.BeginModifyStructure();
        dbf::DBFFieldDesc added{};
        added.SetName("MORE");
        added.type = 'C';
        added.width = 3;
        table.AppendField(added);
        table.WriteStructure();
        EXPECT_EQ(table.GetFieldCount(), 4);
        EXPECT_EQ(FieldBytes(strPath, 0, 1), "saved     ");
    }
    // A second name of the table (a link named as its backup) counts too.
    TempDir dir;
    const std::string strPath = MemoTable(dir, "t.dbf");
    CFile::Link(strPath, dir.Path("t.bak"));
    CDBFMemoryCursorset set;
    set.Open(strPath, kReadWrite);
    EXPECT_EQ(set.GetTableDef()->BackupPath(), dir.Path("t.dbf.bak"));
    SetText(set, 0, "NAME", "linked");
    set.Save();
    EXPECT_EQ(FieldBytes(strPath, 0, 1), "linked    ");
}

TEST(SaveWritesOnlyChanges, RecordsAnotherProgramChangedKeepTheirBytes) {
    TempDir dir;
    const std::string strPath = MemoTable(dir, "t.dbf", 8);
    CDBFMemoryCursorset set;
    set.Open(strPath, kReadWrite);
    SetText(set, 2, "NAME", "ours");
    set.SetAbsolutePosition(3);
    set.Delete();
    // Another program changes records 5 and 6 after the load.
    {
        CFile other;
        ASSERT_TRUE(other.Open(strPath, kReadWrite | platform::typeBinary));
        const dbf::DBFHeader& header = set.GetHeader();
        for (int n : {5, 6}) {
            other.Seek(int64_t(header.GetHeaderLength()) + int64_t(n) * header.GetRecordLength() + 5,
                       platform::SeekFrom::begin);
            other.Write("theirs    ", 10);
        }
    }
    set.Save();
    EXPECT_EQ(FieldBytes(strPath, 2, 1), "ours      ");
    EXPECT_EQ(FieldBytes(strPath, 5, 1), "theirs    ") << "Save reverted another program's edit";
    EXPECT_EQ(FieldBytes(strPath, 6, 1), "theirs    ");
    EXPECT_EQ(ReadFileBytes(strPath)[size_t(set.GetHeader().GetHeaderLength()) + 3 * set.GetRecordLength()], '*');

    // A record whose only change is its last byte is written, byte and all;
    // a code-page conversion marks just the records whose bytes it changes.
    SetText(set, 0, "NAME", "name 0   x");
    set.ConvertOemToAnsi(*platform::CCodePage::Find("CP866"), *platform::CCodePage::Find("CP1251"));
    EXPECT_FALSE(set.IsRecordChanged(4)) << "ASCII text is the same in both pages";
    set.Save();
    EXPECT_EQ(FieldBytes(strPath, 0, 1), "name 0   x");
    EXPECT_EQ(FieldBytes(strPath, 5, 1), "theirs    ");
}

TEST(SaveWritesOnlyChanges, RecordsAppendedBeforeASaveAreWrittenWhenChangedAfterIt) {
    TempDir dir;
    const std::string strPath = MemoTable(dir, "t.dbf", 2);
    CDBFMemoryCursorset set;
    set.Open(strPath, kReadWrite);
    for (const char* pszName : {"added 1", "added 2"}) {
        set.AddNew();
        set.SetFieldValue("NAME", FieldValue::MakeText(pszName));
        set.Update();
    }
    set.Save();
    SetText(set, 2, "NAME", "edited");
    set.SetAbsolutePosition(3);
    set.Delete();
    set.Save();
    set.Close();
    EXPECT_EQ(FieldBytes(strPath, 2, 1), "edited    ") << "the edit of an appended record was lost";
    const Bytes bytes = ReadFileBytes(strPath);
    dbf::DBFHeader header;
    std::memcpy(&header, bytes.data(), sizeof header);
    EXPECT_EQ(bytes[size_t(header.GetHeaderLength()) + 3 * size_t(header.GetRecordLength())], '*');
}

TEST(SaveWritesOnlyChanges, EditsPythonDbfMakesBetweenLoadAndSaveSurvive) {
    TempDir dir;
    TableBuilder b;
    b.Field("ID", 'N', 6).Field("NAME", 'C', 20).Field("COUNT", 'N', 4);
    for (int i = 0; i < 2000; ++i) b.Record({std::to_string(i), "row " + std::to_string(i), "0"});
    const std::string strPath = b.Write(dir.Path("shared.dbf"));
    CDBFMemoryCursorset set;
    set.Open(strPath, kReadWrite);
    SetText(set, 10, "NAME", "set by us");
    // 25 edits by python3-dbf to record 1500, each raising its count.
    const char* pszScript =
        "import sys\n"
        "try:\n    import dbf\nexcept ImportError:\n    sys.exit(77)\n"
        "t = dbf.Table(sys.argv[1])\nt.open(dbf.READ_WRITE)\n"
        "for i in range(25):\n"
        "    with t[1500] as r:\n        r.count = r.count + 1\n"
        "t.close()\n";
    const CommandResult r = RunCommand("/usr/bin/python3", {"-c", pszScript, strPath});
    if (r.nExit == 77 || r.nExit == 127) GTEST_SKIP() << "python3-dbf is needed";
    ASSERT_EQ(r.nExit, 0) << r.strErr;
    set.Save();
    dbf::CDBFFileCursor check;
    check.Open(strPath, kReadOnly);
    check.SetAbsolutePosition(1500);
    EXPECT_EQ(check.GetFieldValue("COUNT"), FieldValue::MakeDouble(25)) << "all 25 edits survive the save";
    check.SetAbsolutePosition(10);
    EXPECT_EQ(check.GetFieldValue("NAME"), FieldValue::MakeText("set by us"));
}

TEST(WriteOrder, FilesReachTheDiskBeforeTheyTakeTheTablesName) {
    TempDir dir;
    const std::string strPath = MemoTable(dir, "t.dbf");
    CDBFMemoryCursorset set;
    set.Open(strPath, kExclusive);
    const std::string strTemporary = set.GetTableDef()->TemporaryPath();
    {
        platform::FileFaults::Scope faults;
        platform::FileFaults::StartLog();
        set.Pack();
        const int nSync = Find(Op::sync, strTemporary), nRename = Find(Op::rename, strPath);
        ASSERT_GE(nSync, 0) << "the packed file is synced";
        EXPECT_LT(nSync, nRename) << "before it takes the table's name";
        EXPECT_GT(Find(Op::sync, dir.Path(), nRename), nRename) << "and the folder after it";
        EXPECT_LT(Find(Op::link, dir.Path("t.bak")), nRename) << "the backup is the old file's second name";
    }
    {
        platform::FileFaults::Scope faults;
        SetText(set, 0, "NAME", "synced");
        platform::FileFaults::StartLog();
        set.Save();
        const auto& log = platform::FileFaults::GetLog();
        int nLastWrite = -1;
        for (size_t i = 0; i < log.size(); ++i)
            if (log[i].op == Op::write && log[i].strPath == strPath) nLastWrite = int(i);
        EXPECT_GT(Find(Op::sync, strPath, nLastWrite), nLastWrite) << "Save syncs the table before it returns";
    }
    {
        platform::FileFaults::Scope faults;
        platform::FileFaults::StartLog();
        ASSERT_TRUE(set.ExportVisualFoxPro(dir.Path("copy.dbf")));
        const int nRename = Find(Op::rename, dir.Path("copy.dbf"));
        ASSERT_GE(nRename, 0) << "the copy takes its name in one rename";
        EXPECT_LT(Find(Op::sync, dir.Path("copy._tmp")), nRename);
        EXPECT_GT(Find(Op::sync, dir.Path(), nRename), nRename);
    }
    set.Close();
    dbf::CDBFTableDef table;
    table.Open(strPath, kExclusive);
    table.BeginModifyStructure();
    table.DeleteField(0);
    platform::FileFaults::Scope faults;
    platform::FileFaults::StartLog();
    table.WriteStructure();
    const int nRename = Find(Op::rename, strPath);
    EXPECT_LT(Find(Op::sync, dir.Path("t._tmp")), nRename);
    EXPECT_GT(Find(Op::sync, dir.Path(), nRename), nRename);
}

TEST(WriteOrder, AFailedSaveLeavesTheReplacedMemoTextReadable) {
    // The order dbftool set takes: the backup first, the memo written where
    // no live text is, the record saved. Failing any step of it must leave
    // the record pointing at its old text, still whole.
    const struct {
        const char* pszName;
        uint8_t nVersion;
        CMemoImage memo;
        const char* pszMemo;
        unsigned nWidth;
    } layouts[] = {
        {"dBASE III", 0x83, CMemoImage::DBase3(1), "t.DBT", 10},
        {"dBASE IV", 0x8B, CMemoImage::DBase4(1), "t.DBT", 10},
        {"FoxPro", 0xF5, CMemoImage::Fpt(8), "t.FPT", 10},
    };
    const std::string strOld = "the old text, long enough to be overwritten in place by a shorter one";
    for (const auto& layout : layouts) {
        for (auto [op, bSticky] : {std::pair{Op::write, false}, {Op::write, true}, {Op::open, false},
                                   {Op::sync, false}, {Op::setLength, false}, {Op::read, false}}) {
            for (int n = 1;; ++n) {
                SCOPED_TRACE(std::string(layout.pszName) + ", operation " + std::to_string(int(op)) + " number " +
                             std::to_string(n) + (bSticky ? " and after" : ""));
                TempDir dir;
                CMemoImage memo = layout.memo;
                const uint32_t nBlock = memo.Add(strOld);
                memo.Save(dir, layout.pszMemo);
                TableBuilder b(layout.nVersion);
                b.Field("NOTE", 'M', layout.nWidth).Record({MemoRef10(nBlock)});
                const std::string strPath = b.Write(dir.Path("t.dbf"));
                bool bFailed = false;
                std::string strReadFrom = strPath;
                {
                    CDBFMemoryCursorset set;
                    set.Open(strPath, kReadWrite);
                    platform::FileFaults::Scope faults;
                    platform::FileFaults::Arm(op, n, ENOSPC, bSticky);
                    try {
                        set.PrepareSave();
                        set.SetKeepReplacedMemos(true);
                        SetText(set, 0, "NOTE", "REPLACED");
                        set.Save();
                    } catch (const dbf::CDBFException& e) {
                        bFailed = true;
                        // Even undoing failed: the table as it was is its backup.
                        if (e.GetCode() == dbf::errKeptInBackup) strReadFrom = e.GetDetail();
                    } catch (const platform::CFileException&) {
                        bFailed = true;
                    }
                }
                CDBFMemoryCursorset check;
                check.Open(strReadFrom, kReadOnly);
                ASSERT_TRUE(check.IsOpen());
                EXPECT_EQ(check.GetFieldValue("NOTE").GetText(), bFailed ? strOld : "REPLACED");
                if (!bFailed) break;
            }
        }
    }
}
