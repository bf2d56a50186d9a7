// Every write path of Save, Pack and the exports, failed at each of its file
// operations in turn (once, and from then on, like a full disk): the
// operation must report the failure, and the table must be as it was or
// whole in the backup the error names. After a passing failure, the edits in
// memory are still there to be saved.
#include <cerrno>
#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "engine/dbf_exception.h"
#include "engine/memory_cursorset.h"
#include "platform/core/file.h"
#include "tests/support/table_builder.h"
#include "tests/support/test_support.h"

using dbf::CDBFException;
using dbf::CDBFMemoryCursorset;
using dbf::FieldValue;
using platform::FileFaults::Op;
using namespace testing_support;

namespace {

constexpr unsigned kReadWrite = 66;

// 6,000 records of 201 bytes: the backup and the writes take two chunks
// each. Records 0-2 are deleted on disk.
std::string WriteTable(const std::string& strPath) {
    TableBuilder b;
    b.Field("ID", 'N', 6).Field("TEXT", 'C', 194);
    for (int i = 0; i < 6000; ++i) {
        if (i < 3) b.DeletedRecord({std::to_string(i), "old " + std::to_string(i)});
        else b.Record({std::to_string(i), "old " + std::to_string(i)});
    }
    return b.Write(strPath);
}

// Edits spread over the table (several runs of changed records), a delete,
// an undelete and appended records.
void Edit(CDBFMemoryCursorset& set) {
    for (int32_t n : {5, 6, 7, 5000, 5999}) {
        set.SetAbsolutePosition(n);
        set.Edit();
        set.SetFieldValue("TEXT", FieldValue::MakeText("new " + std::to_string(n)));
        set.Update();
    }
    set.SetAbsolutePosition(4000);
    set.Delete();
    set.SetAbsolutePosition(1);
    set.Undelete();
    for (int i = 0; i < 100; ++i) {
        set.AddNew();
        set.SetFieldValue("ID", FieldValue::MakeInt32(20000 + i));
        set.Update();
    }
}

struct Outcome {
    bool bFailed = false;
    int nCode = 0;            // the engine error, 0 for a platform file error
    std::string strDetail;
};

template <typename Fn>
Outcome Attempt(Fn fn) {
    Outcome outcome;
    try {
        fn();
    } catch (const CDBFException& e) {
        outcome = {true, e.GetCode(), e.GetDetail()};
    } catch (const platform::CFileException&) {
        outcome = {true, 0, ""};
    }
    return outcome;
}

// Fails the n-th operation of a kind, for n = 1, 2, ... until the operation
// runs through without meeting the fault; each time the table must be as it
// was, or kept whole in the backup that the error names.
void FailEachStep(Op op, bool bSticky, const std::function<void(CDBFMemoryCursorset&)>& fnWrite,
                  const std::string& strWhat) {
    for (int n = 1;; ++n) {
        SCOPED_TRACE(strWhat + ": operation " + std::to_string(n) + (bSticky ? " and after" : ""));
        TempDir dir;
        const std::string strPath = WriteTable(dir.Path("t.dbf"));
        const Bytes before = ReadFileBytes(strPath);
        WriteFileBytes(dir.Path("t.bak"), std::string("an older backup"));
        CDBFMemoryCursorset set;
        set.Open(strPath, kReadWrite);
        Edit(set);
        Outcome outcome;
        {
            platform::FileFaults::Scope faults;
            platform::FileFaults::Arm(op, n, ENOSPC, bSticky);
            outcome = Attempt([&] { fnWrite(set); });
            if (!outcome.bFailed) {
                EXPECT_LT(platform::FileFaults::Count(op), n) << "the fault was met but not reported";
                return;
            }
        }
        if (outcome.nCode == dbf::errKeptInBackup) {
            EXPECT_EQ(outcome.strDetail, dir.Path("t.bak"));
            EXPECT_EQ(ReadFileBytes(dir.Path("t.bak")), before);
            continue;
        }
        if (outcome.nCode == dbf::errCantOpenFile) {
            // The new file took the table's name but could not be opened
            // again: it is whole, and the old one is the backup.
            EXPECT_EQ(ReadFileBytes(dir.Path("t.bak")), before);
            CDBFMemoryCursorset reopened;
            reopened.Open(strPath, kReadWrite);
            EXPECT_EQ(reopened.GetRecordCount(), 6000 - 3 + 1 - 1 + 100);
            continue;
        }
        ASSERT_TRUE(outcome.nCode == 0 || outcome.nCode == dbf::errCantCreateFile) << "code " << outcome.nCode;
        EXPECT_EQ(ReadFileBytes(strPath), before) << "the table must be as it was";
        // (Only a file system that refuses every removal keeps the temporary file.)
        if (op != Op::remove) {
            EXPECT_FALSE(platform::CFile::Exists(dir.Path("t._tmp")));
        }
        // The edits are still in memory: with the fault gone, they are saved.
        if (set.IsOpen()) {
            EXPECT_NO_THROW(fnWrite(set));
            set.SetAbsolutePosition(set.GetRecordCount() - 1);
            EXPECT_EQ(set.GetFieldValue("ID"), FieldValue::MakeDouble(20099));
        }
    }
}

void Save(CDBFMemoryCursorset& set) { set.Save(); }
void Pack(CDBFMemoryCursorset& set) { set.Pack(); }

}  // namespace

TEST(MemoryCursorsetFaults, SaveFailingAtAnyWriteLosesNothing) {
    FailEachStep(Op::write, false, Save, "save");
    FailEachStep(Op::write, true, Save, "save");
}

TEST(MemoryCursorsetFaults, SaveFailingToMakeItsBackupOrCutTheFileLosesNothing) {
    FailEachStep(Op::open, true, Save, "save");
    FailEachStep(Op::read, false, Save, "save");
    FailEachStep(Op::setLength, false, Save, "save");
    FailEachStep(Op::setLength, true, Save, "save");
}

TEST(MemoryCursorsetFaults, PackFailingAnywhereLeavesTheTableOrItsBackup) {
    for (Op op : {Op::write, Op::open, Op::rename, Op::remove}) {
        FailEachStep(op, false, Pack, "pack");
        FailEachStep(op, true, Pack, "pack");
    }
}

TEST(MemoryCursorsetFaults, SaveWritesOnlyWhatChangedAfterItsBackup) {
    TempDir dir;
    const std::string strPath = WriteTable(dir.Path("t.dbf"));
    CDBFMemoryCursorset set;
    set.Open(strPath, kReadWrite);
    set.SetAbsolutePosition(3000);
    set.Edit();
    set.SetFieldValue("TEXT", FieldValue::MakeText("one change"));
    set.Update();
    platform::FileFaults::Scope faults;
    set.Save();
    // The backup takes four writes (the header, two chunks of records, the
    // end-of-file byte); then one record, the end-of-file byte and the
    // header, not the 1.2 MB of records.
    EXPECT_LE(platform::FileFaults::Count(Op::write), 7);
    CDBFMemoryCursorset reopened;
    reopened.Open(strPath, 64);
    reopened.SetAbsolutePosition(3000);
    EXPECT_EQ(reopened.GetFieldValue("TEXT").GetText(), "one change");
}

TEST(MemoryCursorsetFaults, ExportFailingAtAnyWriteLeavesNoHalfCopy) {
    TempDir dir;
    const std::string strPath = WriteTable(dir.Path("t.dbf"));
    const Bytes before = ReadFileBytes(strPath);
    CDBFMemoryCursorset set;
    set.Open(strPath, kReadWrite);
    for (bool bVfp : {false, true}) {
        for (int n = 1;; ++n) {
            const std::string strOut = dir.Path(bVfp ? "copy_vfp.dbf" : "copy3.dbf");
            platform::FileFaults::Scope faults;
            platform::FileFaults::Arm(Op::write, n, EIO, n % 2 == 0);
            Outcome outcome = Attempt([&] { bVfp ? set.ExportVisualFoxPro(strOut) : set.ExportDBase3(strOut); });
            if (!outcome.bFailed) break;
            EXPECT_EQ(outcome.nCode, 0) << "the file error itself";
            EXPECT_FALSE(platform::CFile::Exists(strOut)) << "write " << n;
        }
    }
    EXPECT_EQ(ReadFileBytes(strPath), before);
    EXPECT_FALSE(set.ExportDBase3(dir.Path("no/such/folder/x.dbf"))) << "a file that cannot be created";
    EXPECT_FALSE(set.ExportDBase3(strPath)) << "the open table itself is not overwritten";
    EXPECT_EQ(ReadFileBytes(strPath), before);
}
