// Every write path of Save, Pack and the exports, failed at each of its file
// operations in turn: the operation must report the failure, and the table
// must be as it was or whole in the backup the error names. After a passing
// failure, the edits in memory are still there to be saved.
#include <gtest/gtest.h>

#include "engine/memory_cursorset.h"
#include "tests/support/engine_support.h"
#include "tests/support/table_builder.h"

using dbf::CDBFMemoryCursorset;
using dbf::FieldValue;
using platform::FileFaults::Op;
using namespace testing_support;

namespace {

// 6,000 records of 201 bytes, records 0-2 deleted on disk, loaded with edits
// spread over the table (several runs of changed records), a delete, an
// undelete and 100 appended records. The backup and the writes take two
// chunks each.
struct SaveJob {
    static constexpr bool kReads = false;
    static std::string Table(const std::string& strPath) {
        TableBuilder b;
        b.Field("ID", 'N', 6).Field("TEXT", 'C', 194);
        for (int i = 0; i < 6000; ++i) b.Record({std::to_string(i), "old " + std::to_string(i)}, i < 3 ? '*' : ' ');
        return b.Write(strPath);
    }
    CDBFMemoryCursorset set;
    explicit SaveJob(const std::string& strPath) {
        set.Open(strPath, kReadWrite);
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
    virtual ~SaveJob() = default;
    virtual void Write() { set.Save(); }
    void Written(const std::string& strPath) {
        CDBFMemoryCursorset reopened;
        reopened.Open(strPath, kReadWrite);
        EXPECT_EQ(reopened.GetRecordCount(), 6000 - 3 + 1 - 1 + 100);
    }
    void Retry() {
        if (!set.IsOpen()) return;
        EXPECT_NO_THROW(Write());
        set.SetAbsolutePosition(set.GetRecordCount() - 1);
        EXPECT_EQ(set.GetFieldValue("ID"), FieldValue::MakeDouble(20099));
    }
};

struct PackJob : SaveJob {
    using SaveJob::SaveJob;
    void Write() override { set.Pack(); }
};

}  // namespace

TEST(MemoryCursorsetFaults, SaveFailingAnywhereLosesNothing) {
    for (auto [op, bSticky] : {std::pair{Op::write, false}, {Op::write, true}, {Op::open, true}, {Op::read, false},
                               {Op::setLength, false}, {Op::setLength, true}, {Op::sync, false}, {Op::sync, true}})
        FailEachStep<SaveJob>(op, bSticky);
}

TEST(MemoryCursorsetFaults, PackFailingAnywhereLeavesTheTableOrItsBackup) {
    for (Op op : {Op::write, Op::open, Op::rename, Op::remove, Op::sync, Op::link})
        for (bool bSticky : {false, true}) FailEachStep<PackJob>(op, bSticky);
}

TEST(MemoryCursorsetFaults, SaveWritesOnlyWhatChangedAfterItsBackup) {
    TempDir dir;
    const std::string strPath = SaveJob::Table(dir.Path("t.dbf"));
    CDBFMemoryCursorset set, reopened;
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
    reopened.Open(strPath, kReadOnly);
    reopened.SetAbsolutePosition(3000);
    EXPECT_EQ(reopened.GetFieldValue("TEXT").GetText(), "one change");
}

TEST(MemoryCursorsetFaults, ExportFailingAtAnyWriteLeavesNoHalfCopy) {
    TempDir dir;
    const std::string strPath = SaveJob::Table(dir.Path("t.dbf"));
    const Bytes before = ReadFileBytes(strPath);
    CDBFMemoryCursorset set;
    set.Open(strPath, kReadWrite);
    for (bool bVfp : {false, true}) {
        for (int n = 1;; ++n) {
            const std::string strOut = dir.Path(bVfp ? "copy_vfp.dbf" : "copy3.dbf");
            platform::FileFaults::Scope faults;
            platform::FileFaults::Arm(Op::write, n, EIO, n % 2 == 0);
            try {
                bVfp ? set.ExportVisualFoxPro(strOut) : set.ExportDBase3(strOut);
                break;
            } catch (const platform::CFileException&) {
                EXPECT_FALSE(platform::CFile::Exists(strOut)) << "write " << n;
            }
        }
    }
    EXPECT_EQ(ReadFileBytes(strPath), before);
    EXPECT_FALSE(set.ExportDBase3(dir.Path("no/such/folder/x.dbf"))) << "a file that cannot be created";
    EXPECT_FALSE(set.ExportDBase3(strPath)) << "the open table itself is not overwritten";
    EXPECT_EQ(ReadFileBytes(strPath), before);
}
