// Reading and writing whole records and the header of an open table, and
// appending while another program shares the file.
#include <functional>

#include <gtest/gtest.h>

#include "engine/table_def.h"
#include "tests/support/engine_support.h"
#include "tests/support/table_builder.h"

using dbf::CDBFTableDef;
using namespace testing_support;
namespace FileFaults = platform::FileFaults;

namespace {

// A table of nRecords records "aaa", "bbb", ... opened with the flags.
struct Letters {
    TempDir dir;
    std::string strPath;
    CDBFTableDef table;
    std::vector<uint8_t> record{'*', 'x', 'y', 'z'};
    Letters(int nRecords, unsigned nFlags = kReadWrite) {
        TableBuilder b(0x03);
        b.Field("L", 'C', 3);
        for (int i = 0; i < nRecords; ++i) b.Record({std::string(3, char('a' + i))});
        strPath = b.Write(dir.Path("t.dbf"));
        table.Open(strPath, nFlags);
    }
    // Another program's handle on the same file.
    void OtherWrites(platform::CFile& other, size_t nOffset, std::vector<uint8_t> bytes) {
        ASSERT_TRUE(other.IsOpen() || other.Open(strPath, kReadWrite | 0x8000));
        other.Seek(int64_t(nOffset), platform::SeekFrom::begin);
        other.Write(bytes.data(), bytes.size());
    }
};

}  // namespace

TEST(RecordIO, RecordsOutsideTheFileAreOutOfRange) {
    Letters t(3);
    std::vector<uint8_t> two(8);
    EXPECT_EQ(ErrorCodeOf([&] { t.table.ReadRecord(3, t.record.data()); }), 3017) << "the end-of-file byte is no record";
    EXPECT_EQ(ErrorCodeOf([&] { t.table.ReadRecord(-1, t.record.data()); }), 3017);
    EXPECT_EQ(ErrorCodeOf([&] { t.table.ReadRecords(2, 2, two.data()); }), 3017);
    // Truncated by someone else in the middle of the last record.
    platform::CFile other;
    ASSERT_TRUE(other.Open(t.strPath, kReadWrite | 0x8000));
    other.SetLength(t.table.GetHeaderLength() + 2 * 4 + 2);
    EXPECT_EQ(ErrorCodeOf([&] { t.table.ReadRecord(2, t.record.data()); }), 3017);
    EXPECT_EQ(ErrorCodeOf([&] { t.table.ReadRecord(1, t.record.data()); }), 0);
}

TEST(RecordIO, FileErrorsBecomeEngineErrors) {
    Letters t(2);
    FileFaults::Scope faults;
    const struct {
        FileFaults::Op op;
        int nError;
        std::function<void()> fn;
    } cases[] = {
        {FileFaults::Op::read, 3018, [&] { t.table.ReadRecord(0, t.record.data()); }},
        {FileFaults::Op::write, 3019, [&] { t.table.WriteRecord(0, t.record.data()); }},
        {FileFaults::Op::read, 3005, [&] { t.table.ReadHeader(); }},
        {FileFaults::Op::write, 3005, [&] { t.table.WriteHeader(); }},
    };
    for (const auto& c : cases) {
        FileFaults::Arm(c.op, 1, c.op == FileFaults::Op::read ? EIO : ENOSPC);
        EXPECT_EQ(ErrorCodeOf(c.fn), c.nError);
    }
}

TEST(RecordIO, WritesOnlyInsideOrRightAfterTheRecordsOfAWritableTable) {
    Letters readOnly(1, kReadOnly);
    Bytes before = ReadFileBytes(readOnly.strPath);
    EXPECT_EQ(ErrorCodeOf([&] { readOnly.table.WriteRecord(0, readOnly.record.data()); }), 3019);
    EXPECT_EQ(ErrorCodeOf([&] { readOnly.table.WriteHeader(); }), 3005);
    EXPECT_EQ(ReadFileBytes(readOnly.strPath), before);

    Letters t(2);
    before = ReadFileBytes(t.strPath);
    EXPECT_EQ(ErrorCodeOf([&] { t.table.WriteRecord(-1, t.record.data()); }), 3017) << "would overwrite the header";
    EXPECT_EQ(ErrorCodeOf([&] { t.table.WriteRecord(3, t.record.data()); }), 3017) << "would leave a hole";
    EXPECT_EQ(ReadFileBytes(t.strPath), before);
    t.table.WriteRecord(1, t.record.data());
    std::vector<uint8_t> back(4);
    t.table.ReadRecord(1, back.data());
    EXPECT_EQ(back, t.record);
}

TEST(RecordIO, AppendOverwritesTheEndOfFileByteAndTheTableStillOpens) {
    Letters t(2);
    std::vector<uint8_t> record{' ', 'n', 'e', 'w'};
    EXPECT_EQ(t.table.AppendRecord(record.data()), 2);
    EXPECT_EQ(t.table.GetRecordCount(), 3u);
    const size_t nHeader = t.table.GetHeaderLength();
    t.table.Close();
    Bytes bytes = ReadFileBytes(t.strPath);
    ASSERT_EQ(bytes.size(), nHeader + 3 * 4) << "header + records, no end-of-file byte";
    EXPECT_EQ(std::string(bytes.end() - 4, bytes.end()), " new");
    CDBFTableDef again;
    again.Open(t.strPath, kReadOnly);
    EXPECT_TRUE(again.IsOpen());
    EXPECT_EQ(again.GetRecordCount(), 3u);
}

TEST(RecordIO, ReadHeaderTakesNewCountsButNotANewLayout) {
    Letters t(2, kReadOnly);
    platform::CFile other;
    t.OtherWrites(other, 4, {1, 0, 0, 0});
    EXPECT_TRUE(t.table.ReadHeader());
    EXPECT_EQ(t.table.GetRecordCount(), 1u);
    // A record length changed under the open table would make every later
    // read overrun the record buffers sized at open.
    t.OtherWrites(other, 10, {200, 0});
    EXPECT_EQ(ErrorCodeOf([&] { t.table.ReadHeader(); }), 3006);
    EXPECT_EQ(t.table.GetRecordLength(), 4);
    other.SetLength(20);
    EXPECT_FALSE(t.table.ReadHeader()) << "short header";
    EXPECT_EQ(t.table.GetRecordCount(), 1u);
}
