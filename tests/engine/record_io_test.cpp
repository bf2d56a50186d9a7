// Reading and writing whole records and the header of an open table, and
// appending while another program shares the file.
#include <cerrno>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/dbf_exception.h"
#include "engine/table_def.h"
#include "tests/support/table_builder.h"
#include "tests/support/test_support.h"

using dbf::CDBFException;
using dbf::CDBFTableDef;
using namespace testing_support;

namespace {

constexpr unsigned kReadOnly = 64, kReadWrite = 66;

TableBuilder Letters(int nRecords) {
    TableBuilder b(0x03);
    b.Field("L", 'C', 3);
    for (int i = 0; i < nRecords; ++i) b.Record({std::string(3, char('a' + i))});
    return b;
}

template <typename Fn>
int ErrorOf(Fn fn) {
    try {
        fn();
    } catch (const CDBFException& e) {
        return e.GetCode();
    }
    return 0;
}

std::string AsText(const std::vector<uint8_t>& bytes) { return std::string(bytes.begin(), bytes.end()); }

}  // namespace

TEST(RecordIO, RecordsOutsideTheFileAreOutOfRange) {
    TempDir dir;
    std::string strPath = Letters(3).Write(dir.Path("t.dbf"));
    CDBFTableDef table;
    table.Open(strPath, kReadWrite);
    std::vector<uint8_t> record(4);
    EXPECT_EQ(ErrorOf([&] { table.ReadRecord(3, record.data()); }), 3017) << "the end-of-file byte is no record";
    EXPECT_EQ(ErrorOf([&] { table.ReadRecord(-1, record.data()); }), 3017);
    std::vector<uint8_t> two(8);
    EXPECT_EQ(ErrorOf([&] { table.ReadRecords(2, 2, two.data()); }), 3017);

    // Truncated by someone else in the middle of the last record.
    platform::CFile other;
    ASSERT_TRUE(other.Open(strPath, kReadWrite | 0x8000));
    other.SetLength(table.GetHeaderLength() + 2 * 4 + 2);
    EXPECT_EQ(ErrorOf([&] { table.ReadRecord(2, record.data()); }), 3017);
    EXPECT_EQ(ErrorOf([&] { table.ReadRecord(1, record.data()); }), 0);
}

TEST(RecordIO, FileErrorsBecomeEngineErrors) {
    TempDir dir;
    CDBFTableDef table;
    table.Open(Letters(2).Write(dir.Path("t.dbf")), kReadWrite);
    std::vector<uint8_t> record(4, ' ');
    platform::FileFaults::Scope faults;
    platform::FileFaults::Arm(platform::FileFaults::Op::read, 1, EIO);
    EXPECT_EQ(ErrorOf([&] { table.ReadRecord(0, record.data()); }), 3018);
    platform::FileFaults::Arm(platform::FileFaults::Op::write, 1, ENOSPC);
    EXPECT_EQ(ErrorOf([&] { table.WriteRecord(0, record.data()); }), 3019);
    platform::FileFaults::Arm(platform::FileFaults::Op::read, 1, EIO);
    EXPECT_EQ(ErrorOf([&] { table.ReadHeader(); }), 3005);
    platform::FileFaults::Arm(platform::FileFaults::Op::write, 1, ENOSPC);
    EXPECT_EQ(ErrorOf([&] { table.WriteHeader(); }), 3005);
}

TEST(RecordIO, ReadOnlyTableRefusesWrites) {
    TempDir dir;
    std::string strPath = Letters(1).Write(dir.Path("t.dbf"));
    Bytes before = ReadFileBytes(strPath);
    CDBFTableDef table;
    table.Open(strPath, kReadOnly);
    std::vector<uint8_t> record{'*', 'x', 'y', 'z'};
    EXPECT_EQ(ErrorOf([&] { table.WriteRecord(0, record.data()); }), 3019);
    EXPECT_EQ(ErrorOf([&] { table.WriteHeader(); }), 3005);
    EXPECT_EQ(ReadFileBytes(strPath), before);
}

TEST(RecordIO, WritesOnlyInsideOrRightAfterTheRecords) {
    TempDir dir;
    std::string strPath = Letters(2).Write(dir.Path("t.dbf"));
    CDBFTableDef table;
    table.Open(strPath, kReadWrite);
    std::vector<uint8_t> record{'*', 'x', 'y', 'z'};
    Bytes before = ReadFileBytes(strPath);
    EXPECT_EQ(ErrorOf([&] { table.WriteRecord(-1, record.data()); }), 3017) << "would overwrite the header";
    EXPECT_EQ(ErrorOf([&] { table.WriteRecord(3, record.data()); }), 3017) << "would leave a hole";
    EXPECT_EQ(ReadFileBytes(strPath), before);

    table.WriteRecord(1, record.data());
    std::vector<uint8_t> back(4);
    table.ReadRecord(1, back.data());
    EXPECT_EQ(AsText(back), "*xyz");
}

TEST(RecordIO, AppendOverwritesTheEndOfFileByteAndTheTableStillOpens) {
    TempDir dir;
    std::string strPath = Letters(2).Write(dir.Path("t.dbf"));
    {
        CDBFTableDef table;
        table.Open(strPath, kReadWrite);
        std::vector<uint8_t> record{' ', 'n', 'e', 'w'};
        EXPECT_EQ(table.AppendRecord(record.data()), 2);
        EXPECT_EQ(table.GetRecordCount(), 3u);
    }
    Bytes bytes = ReadFileBytes(strPath);
    const size_t nHeader = Letters(0).HeaderLength();
    ASSERT_EQ(bytes.size(), nHeader + 3 * 4) << "header + records, no end-of-file byte";
    EXPECT_EQ(std::string(bytes.end() - 4, bytes.end()), " new");
    CDBFTableDef again;
    again.Open(strPath, kReadOnly);
    EXPECT_TRUE(again.IsOpen());
    EXPECT_EQ(again.GetRecordCount(), 3u);
}

TEST(RecordIO, ReadHeaderTakesNewCountsButNotANewLayout) {
    TempDir dir;
    std::string strPath = Letters(2).Write(dir.Path("t.dbf"));
    CDBFTableDef table;
    table.Open(strPath, kReadOnly);

    platform::CFile other;
    ASSERT_TRUE(other.Open(strPath, kReadWrite | 0x8000));
    uint8_t count[4] = {1, 0, 0, 0};
    other.Seek(4, platform::SeekFrom::begin);
    other.Write(count, 4);
    EXPECT_TRUE(table.ReadHeader());
    EXPECT_EQ(table.GetRecordCount(), 1u);

    // A record length changed under the open table would make every later
    // read overrun the record buffers sized at open.
    uint8_t length[2] = {200, 0};
    other.Seek(10, platform::SeekFrom::begin);
    other.Write(length, 2);
    EXPECT_EQ(ErrorOf([&] { table.ReadHeader(); }), 3006);
    EXPECT_EQ(table.GetRecordLength(), 4);

    other.SetLength(20);
    EXPECT_FALSE(table.ReadHeader()) << "short header";
    EXPECT_EQ(table.GetRecordCount(), 1u);
}
